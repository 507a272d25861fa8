#!/usr/bin/env bash
# Installs what is missing for it (a compiler, CMake and the library's own dependencies; no
# database server, display or test tools), builds the library and the orvex tool, and runs the
# demo on the embedded SQLite default: a fresh working folder (or the one given) with a database
# of English and Arabic texts, errors, events and transactions logged to every destination, and a
# summary.
#   scripts/demo.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh demo
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEX_BUILD_TESTS=OFF \
  -DORVEX_BUILD_EXAMPLES=OFF >/dev/null
cmake --build build/demo -j2 --target orvex_cli
exec build/demo/tools/orvex/orvex demo "$@"

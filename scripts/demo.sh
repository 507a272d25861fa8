#!/usr/bin/env bash
# Installs what is missing, builds, and runs the demo on the embedded SQLite default.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j2
if [[ -x build/release/tools/orvex/orvex ]]; then
  exec build/release/tools/orvex/orvex demo "${1:-$(mktemp -d /tmp/orvex-demo.XXXXXX)}"
fi
exec build/release/examples/demo

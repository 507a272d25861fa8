#!/usr/bin/env bash
# Installs a build into a temporary prefix and builds a client outside the source tree against it,
# once with find_package(orvex) and once with pkg-config.
#   scripts/check-install.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
prefix=$(mktemp -d /tmp/orvex-prefix.XXXXXX)
work=$(mktemp -d /tmp/orvex-client.XXXXXX)
trap 'rm -rf "$prefix" "$work"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
cmake -S tests/package -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake" >/dev/null
LD_LIBRARY_PATH="$prefix/lib:$prefix/lib/x86_64-linux-gnu" "$work/cmake/package_client"

PKG_CONFIG_PATH="$prefix/lib/pkgconfig:$prefix/lib/x86_64-linux-gnu/pkgconfig" \
  c++ -std=c++20 tests/package/client.cpp -o "$work/pc_client" $(PKG_CONFIG_PATH="$prefix/lib/pkgconfig:$prefix/lib/x86_64-linux-gnu/pkgconfig" pkg-config --cflags --libs orvex)
LD_LIBRARY_PATH="$prefix/lib:$prefix/lib/x86_64-linux-gnu" "$work/pc_client" >/dev/null
echo "check-install: the installed package builds and runs a client (CMake and pkg-config)"

#!/usr/bin/env bash
# Builds clients that set no language level of their own against the library in the four ways a
# user would take it, and runs them:
#   find_package(orvex) and pkg-config against a build installed into a temporary prefix (whose
#   orvex tool must start without LD_LIBRARY_PATH, and whose man page must be there);
#   add_subdirectory and FetchContent (from a file:// archive of the sources; no network), where
#   the library must bring neither its suites, examples nor tool, nor install itself.
# FetchContent ends in the same add_subdirectory, so its client is configured (the fetch, the
# extraction and the client's checks of the targets) but not built again: that build is the
# add_subdirectory one, and the library's sources are its slowest part.
#   scripts/check-install.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
build=${1:-build/release}
prefix=$(mktemp -d /tmp/orvex-prefix.XXXXXX)
# The clients are built at a fixed place under the build folder, so that a compiler cache serves
# the library's sources again on the next run.
work=$(cd "$build" && pwd)/package-check
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$prefix" "$work"' EXIT
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

fail() {
  echo "check-install: $*" >&2
  exit 1
}

configure_client() {  # configure_client NAME CMAKE_ARGS...: configures tests/package one way
  local name=$1
  shift
  cmake -S tests/package -B "$work/$name" -G Ninja "${launcher[@]}" "$@" >"$work/$name.log" 2>&1 ||
    { cat "$work/$name.log"; fail "$name: configuring the client failed"; }
}

client() {  # client NAME CMAKE_ARGS...: configures, builds and runs tests/package one way
  local name=$1
  configure_client "$@"
  cmake --build "$work/$name" -j2 >>"$work/$name.log" 2>&1 ||
    { tail -40 "$work/$name.log"; fail "$name: building the client failed"; }
  "$work/$name/package_client" >/dev/null || fail "$name: the client failed"
}

cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name 'liborvex.so' | head -1)")

# The installed tool finds the installed library by its run path alone.
env -u LD_LIBRARY_PATH "$prefix/bin/orvex" --version >/dev/null ||
  fail "the installed orvex does not start without LD_LIBRARY_PATH"
[[ -f $prefix/share/man/man1/orvex.1 ]] || fail "the man page orvex.1 is not installed"
[[ -f $prefix/share/doc/orvex/LICENSE ]] || fail "the licence is not installed"

client package -DCMAKE_PREFIX_PATH="$prefix"
LD_LIBRARY_PATH="$libdir" "$work/package/package_client" >/dev/null

export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046  # pkg-config's output is a list of words
c++ tests/package/client.cpp -o "$work/pc_client" $(pkg-config --cflags --libs orvex) ||
  fail "pkg-config: building the client with only pkg-config's flags failed"
LD_LIBRARY_PATH="$libdir" "$work/pc_client" >/dev/null || fail "pkg-config: the client failed"

# As a subproject: no build type, so the library compiles quickly (-O0).
client subdirectory -DORVEX_CONSUME=subdirectory -DORVEX_SOURCE_DIR="$source"
cmake --install "$work/subdirectory" --prefix "$work/subdirectory-prefix" >/dev/null
if find "$work/subdirectory-prefix" -name 'liborvex*' -o -name 'orvex' | grep -q .; then
  fail "subdirectory: the parent's install installed the library's own files"
fi

archive=$work/orvex-src.tar.gz
git ls-files -co --exclude-standard -z | tar --null -T - -czf "$archive" --transform 's,^,orvex/,'
configure_client fetchcontent -DORVEX_CONSUME=fetchcontent -DORVEX_URL="file://$archive"
[[ -f $work/fetchcontent/_deps/orvex-src/include/orvex/orvex.hpp ]] ||
  fail "fetchcontent: the archive did not unpack into the client's build"
echo "check-install: clients build and run through find_package, pkg-config and" \
  "add_subdirectory, and configure through FetchContent; the installed tool starts by its run path"

#!/usr/bin/env bash
# Installs what is missing, builds twice (a normal build and an AddressSanitizer +
# UndefinedBehaviorSanitizer build, with clang when it is installed, which also builds the fuzz
# targets) and runs every test in both, beside a throwaway PostgreSQL cluster. Exits non-zero
# when any build or test fails.
#   scripts/test.sh            both builds
#   scripts/test.sh --quick    the normal build only
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${1:-}" != "--inner" ]]; then
  scripts/install-deps.sh test
  if [[ -z "${ORVEX_TEST_PG:-}" ]]; then
    exec scripts/with-postgres.sh "$0" --inner "$@"
  fi
else
  shift
fi

run_suite() {
  local build=$1
  shift
  echo "== $build"
  cmake -S . -B "$build" -G Ninja -DORVEX_BUILD_BENCH=ON "$@" >/dev/null
  cmake --build "$build" -j2
  (cd "$build" && ctest --output-on-failure --timeout 600 -j2)
}

# The suites compile a folder at a time, and both builds keep line tables only (-g1): enough for a
# readable backtrace or sanitizer report, at a good part less compile time than full debug
# information.
run_suite build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEX_SANITIZE=OFF \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DORVEX_UNITY_TESTS=ON
scripts/check-install.sh build/release
if [[ "${1:-}" != "--quick" ]]; then
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
  # With clang the sanitizer build also builds the fuzz targets (the library compiled once for
  # both; scripts/fuzz-smoke.sh runs them from here when ORVEX_FUZZ_BUILD names it).
  fuzz=()
  if command -v clang++ >/dev/null &&
    { [[ ! -f build/sanitize/CMakeCache.txt ]] ||
      grep -q '^CMAKE_CXX_COMPILER:.*clang' build/sanitize/CMakeCache.txt; }; then
    export CC=clang CXX=clang++
    fuzz=(-DORVEX_BUILD_FUZZ=ON)
  fi
  run_suite build/sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
    -DORVEX_SANITIZE=ON -DORVEX_BUILD_BENCH=OFF -DORVEX_UNITY_TESTS=ON "${fuzz[@]}"
fi

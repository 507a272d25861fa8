#!/usr/bin/env bash
# Installs the Debian packages a profile needs, and only those missing. Idempotent: packages
# already installed are checked with dpkg and skipped.
#   scripts/install-deps.sh [build|demo|test]
#     build   the library and the orvex tool (what building needs and nothing else)
#     demo    the same: the demo runs on the embedded SQLite database
#     test    (default) also the test suites, the benchmarks, the fuzz targets, a throwaway
#             PostgreSQL server, GTK 3 with a virtual display (ORVEX_WITH_GTK=0 leaves it out)
set -euo pipefail

profile=${1:-test}
packages=(
  build-essential cmake ninja-build pkg-config
  libsqlite3-dev libpq-dev libxml2-dev libicu-dev
)
case "$profile" in
  build | demo) ;;
  test)
    packages+=(
      sqlite3 libgtest-dev libgmock-dev googletest libbenchmark-dev libspdlog-dev
      postgresql postgresql-client
      clang libclang-rt-dev
      python3
      gettext
    )
    if [[ "${ORVEX_WITH_GTK:-1}" == "1" ]]; then
      packages+=(libgtk-3-dev xvfb xdotool x11-apps imagemagick)
    fi
    ;;
  *)
    echo "install-deps: unknown profile '$profile' (build, demo or test)" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}"
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
else
  echo "install-deps: all packages present"
fi

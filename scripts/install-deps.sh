#!/usr/bin/env bash
# Installs the Debian packages that building, testing and CI need, and only those missing.
# Idempotent: packages already installed are checked with dpkg and skipped.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libsqlite3-dev sqlite3 libpq-dev libxml2-dev libicu-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev libspdlog-dev
  postgresql postgresql-client
  clang libclang-rt-dev
  python3
  gettext iso-codes
)
if [[ "${ORVEX_WITH_GTK:-1}" == "1" ]]; then
  packages+=(libgtk-3-dev xvfb xdotool x11-apps imagemagick)
fi

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

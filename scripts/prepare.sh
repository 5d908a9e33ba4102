#!/usr/bin/env bash
# Installs the Debian packages the build needs when they are missing, then
# configures and builds into build/. Sourced by run.sh and test.sh.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
packages=(
  cmake g++ make
  qt6-base-dev qt6-translations-l10n libgl-dev
  libsqlite3-dev libicu-dev libpq-dev postgresql-15
  libgtest-dev libbenchmark-dev
  fonts-liberation2 fonts-dejavu-core
  poppler-utils desktop-file-utils python3
  libxlsxwriter-dev pkg-config python3-openpyxl
  dpkg-dev lintian strace xvfb openbox xdotool procps
  mdbtools mdbtools-dev qt6-serialport-dev socat
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" -j "$(nproc)"

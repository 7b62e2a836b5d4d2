#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev ccache
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-l10n-tools qt6-charts-dev
  qt6-multimedia-dev qt6-serialport-dev qt6-svg-dev qt6-translations-l10n
  libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc libgl1-mesa-dev
  libzint-dev libxlsxwriter-dev libfreexl-dev libzip-dev
  mdbtools-dev odbc-mdbtools unixodbc-dev
  postgresql postgresql-contrib libpq-dev sqlite3 libsqlite3-dev
  libgtest-dev libxml2-dev unicode-data bzip2
  xvfb xauth imagemagick fonts-noto-cjk fonts-wqy-microhei xvkbd
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

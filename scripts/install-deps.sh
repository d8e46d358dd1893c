#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Kalvor need.
# Safe to run again: packages already present are skipped.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libqt6sql6-sqlite
  libpugixml-dev libzip-dev zlib1g-dev libdeflate-dev
  libpq-dev libsqlite3-dev postgresql postgresql-common
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  libxml2-utils xvfb xauth time
  fonts-dejavu-core fonts-liberation2 poppler-utils
  librsvg2-bin desktop-file-utils dpkg-dev file man-db
  libreoffice-calc libreoffice-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

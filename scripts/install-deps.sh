#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the board fonts need (with Qt's
# Korean texts, and a virtual X display for reading window titles in the tests), asking apt
# only for what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-serialport-dev libgl-dev qt6-translations-l10n
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libgif-dev libfreetype-dev libpng-dev nlohmann-json3-dev
  xfonts-baekmuk fonts-nanum fonts-naver-d2coding fonts-woowa-bm fonts-unfonts-core fonts-dejavu-core
  imagemagick
  xvfb xauth x11-utils file dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

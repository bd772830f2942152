#!/usr/bin/env bash
# Installs every package Quillmark needs to build, test and run, when missing.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  clang libclang-rt-dev clang-format
  qt6-base-dev libgl-dev qt6-translations-l10n
  libpugixml-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg-dev
  fonts-liberation
  xvfb xauth imagemagick
  # For the tests only: a window manager on the virtual display, and the X
  # utilities that read window captions and type into dialogs there.
  openbox x11-utils xdotool
  # For the tests and the Debian package: dpkg-shlibdeps and the packaging
  # flags, the desktop entry's and AppStream entry's validators, lintian, and
  # man to format the manual pages.
  dpkg-dev desktop-file-utils appstream lintian man-db
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"

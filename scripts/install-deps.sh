#!/usr/bin/env bash
# Installs with apt-get what a fresh Debian 12 machine lacks to build and
# test the program; does nothing when everything is already there.
#   scripts/install-deps.sh            the Linux build's packages
#   scripts/install-deps.sh --windows  the Windows cross build's packages
set -euo pipefail

if [ "${1:-}" = "--windows" ]; then
  # MinGW-w64's posix-thread compilers (the win32-thread ones lack
  # std::mutex), GoogleTest's sources to build for Windows, and Wine.
  packages=(cmake make g++-mingw-w64-x86-64-posix googletest wine64)
else
  packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev
    libqt6svg6 qt6-qpa-plugins
    libgtest-dev
    fonts-dejavu-core fonts-liberation2 qt6-translations-l10n
    poppler-utils
  )
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

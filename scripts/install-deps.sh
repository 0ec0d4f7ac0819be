#!/usr/bin/env bash
# Installs with apt-get what a fresh Debian 12 machine lacks to build and
# test the program, and generates the locales the tests and fuzz targets run
# under; does nothing when everything is already there.
#   scripts/install-deps.sh          build and test
#   scripts/install-deps.sh --fuzz   also clang and libFuzzer (scripts/fuzz.sh)
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev
  libqt6svg6 qt6-qpa-plugins
  libgtest-dev
  fonts-dejavu-core fonts-liberation2 qt6-translations-l10n
  poppler-utils
  locales
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
locales=(pl_PL.UTF-8 en_US.UTF-8)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# locale -a spells pl_PL.UTF-8 as pl_PL.utf8.
generate=()
for locale in "${locales[@]}"; do
  if ! locale -a | grep -qx "${locale%.UTF-8}.utf8"; then
    generate+=("$locale")
  fi
done
if [ ${#generate[@]} -gt 0 ]; then
  echo "Generating locales: ${generate[*]}"
  for locale in "${generate[@]}"; do
    $sudo sed -i "s/^# *\(${locale} UTF-8\)/\1/" /etc/locale.gen
    grep -qx "${locale} UTF-8" /etc/locale.gen || echo "${locale} UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
  done
  $sudo locale-gen
fi

#!/usr/bin/env bash
# Installs with apt-get what a fresh Debian 12 machine lacks to build and
# test the program; does nothing when everything is already there.
#   scripts/install-deps.sh            the Linux build's packages
#   scripts/install-deps.sh --windows  the Windows build's packages: compilers, Qt's build
#                                      tools, packing, Wine, and the Linux build's for its tests
#   scripts/install-deps.sh --fuzz     the Linux build's and clang with libFuzzer (scripts/fuzz.sh)
#   scripts/install-deps.sh --format   clang-format (scripts/check-format.sh)
set -euo pipefail

linux_packages=(
  cmake g++ make pkg-config ccache
  qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev
  libqt6svg6 qt6-qpa-plugins
  libgtest-dev
  fonts-dejavu-core fonts-liberation2 qt6-translations-l10n
  poppler-utils
  locales xvfb xauth xdotool x11-utils x11-xkb-utils x11-apps openbox wmctrl python3
)
if [ "${1:-}" = "--windows" ]; then
  # MinGW-w64's posix-thread compilers (the win32-thread ones lack
  # std::mutex), GoogleTest's sources to build for Windows; what Qt for
  # Windows is built with (scripts/build-qt-windows.sh: its source package,
  # Ninja, the host Qt's moc, rcc and uic); NSIS and zip to pack; Wine,
  # ImageMagick for screenshots, Tesseract to read the screen, a CUPS
  # scheduler and Ghostscript for the station's printer and its pages, and
  # the Linux build for the tests' zr7-sim.
  packages=(g++-mingw-w64-x86-64-posix googletest ninja-build dpkg-dev xz-utils perl qt6-base-dev-tools
    nsis zip wine64 imagemagick tesseract-ocr tesseract-ocr-eng cups-daemon cups-client ghostscript
    "${linux_packages[@]}")
elif [ "${1:-}" = "--format" ]; then
  packages=(clang-format git)
else
  packages=("${linux_packages[@]}")
  if [ "${1:-}" = "--fuzz" ]; then
    packages+=(clang libclang-rt-14-dev)
  fi
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests run where the users are: a Polish desktop, and an English one
# for comparison. Both locales must really be installed.
[ "${1:-}" = "--format" ] && exit 0
missing_locales=()
for locale in pl_PL en_US; do
  locale -a | grep -qx "$locale.utf8" || missing_locales+=("$locale.UTF-8 UTF-8")
done
if [ ${#missing_locales[@]} -gt 0 ]; then
  echo "Generating locales: ${missing_locales[*]}"
  for entry in "${missing_locales[@]}"; do
    $sudo sed -i "s/^# *\($entry\)\$/\1/" /etc/locale.gen
    grep -qx "$entry" /etc/locale.gen || echo "$entry" | $sudo tee -a /etc/locale.gen >/dev/null
  done
  $sudo locale-gen >/dev/null
fi

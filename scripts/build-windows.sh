#!/usr/bin/env bash
# Cross-builds for Windows with MinGW-w64 into build-windows/: the cores,
# their tests and zr7-cli.exe, without Qt. Installs the compilers and Wine
# first when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --windows
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DZR7_WITH_QT=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR7_WERROR="${ZR7_WERROR:-OFF}" "${launcher[@]}" >/dev/null
cmake --build build-windows -j"$(nproc)"
echo "built build-windows/src/cli/zr7-cli.exe"

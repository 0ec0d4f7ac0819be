#!/usr/bin/env bash
# Cross-builds for Windows with MinGW-w64 into build-windows/. With the Qt
# for Windows that scripts/build-qt-windows.sh makes (in
# ${ZR7_QT_WINDOWS:-$HOME/.cache/zr7/qt-6.4.2-mingw64}), everything the
# Linux build has: zr7.exe, zr7-cli.exe with its report, and the tests;
# without it the cores, their tests and zr7-cli.exe alone. Installs the
# compilers and Wine first when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --windows
qt=${ZR7_QT_WINDOWS:-$HOME/.cache/zr7/qt-6.4.2-mingw64}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
qt_options=(-DZR7_WITH_QT=OFF)
if [ -f "$qt/.stamp-qtcharts" ]; then
  qt_options=(-DZR7_WITH_QT=ON -DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
  # Test discovery runs the built tests under Wine, which finds Qt's and
  # MinGW's DLLs on this path.
  source scripts/windows-runtime.sh
  export WINEPATH
else
  echo "no Qt for Windows in $qt (scripts/build-qt-windows.sh builds it): building without the window"
fi
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake "${qt_options[@]}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR7_WERROR="${ZR7_WERROR:-OFF}" "${launcher[@]}" >/dev/null
cmake --build build-windows -j"$(nproc)"
for program in build-windows/src/shell/zr7.exe build-windows/src/cli/zr7-cli.exe; do
  [ -f "$program" ] && echo "built $program"
done

#!/usr/bin/env bash
# Builds Qt 6.4.2 for Windows x86-64 with MinGW-w64 (release: Core, Gui,
# Widgets, PrintSupport, Test, Svg, Charts; the windows and offscreen
# platform plugins, the Windows print support, BMP, PNG and JPEG) into
#   ${ZR7_QT_WINDOWS:-$HOME/.cache/zr7/qt-6.4.2-mingw64}
# Qt's base module comes from Debian's source package qt6-base (the same
# 6.4.2 as the host Qt whose moc, rcc and uic the build runs); Qt Svg and
# Qt Charts from the release archives in
#   ${ZR7_QT_SOURCES:-<checkout>/../shared/third_party}
# whose sums are checked first. Each module is built once: a stamp in the
# cache names its sources and options, and a module whose stamp matches is
# skipped, so a second run does nothing. Installs its build tools with
# apt-get when missing (scripts/install-deps.sh --windows). Prints each
# module's time.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
prefix=${ZR7_QT_WINDOWS:-$HOME/.cache/zr7/qt-6.4.2-mingw64}
sources=${ZR7_QT_SOURCES:-$root/../shared/third_party}
work=$prefix.work
jobs=$(nproc)
qt_version=6.4.2

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
scripts/install-deps.sh --windows
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
case $host_version in
  $qt_version*) ;;
  *) echo "the host Qt is $host_version; its tools must be Qt $qt_version" >&2; exit 1 ;;
esac

(cd "$sources" && sha256sum --quiet -c SHA256SUMS) || {
  echo "the archives in $sources do not match their SHA256SUMS" >&2
  exit 1
}

mkdir -p "$prefix" "$work"
cat >"$work/toolchain.cmake" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
compiler=$(x86_64-w64-mingw32-g++-posix -dumpfullversion)

# qtbase: Debian's source with its patches. The Windows tablet support
# (wintab) is not in Debian's source; network, SQL, D-Bus, ICU, zstd and
# OpenGL are not used by the program (it paints with the raster engine).
# OpenGL goes out as configure's -no-opengl does, which takes dynamic
# OpenGL with it (the Windows platform plugin's dynamic OpenGL code does not
# build without OpenGL). That spares the build the OpenGL modules, and the
# package Qt's two OpenGL DLLs.
qtbase_options=(
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_icu=OFF -DFEATURE_zstd=OFF
  -DINPUT_opengl=no -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
  -DFEATURE_png=ON -DFEATURE_jpeg=ON -DFEATURE_gif=OFF -DFEATURE_ico=OFF
  -DFEATURE_printsupport=ON -DFEATURE_testlib=ON
)
module_options=(-DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF)

# build_module NAME SOURCE_ID SOURCE_DIR OPTIONS...: configures, builds and
# installs one module into $prefix unless its stamp says it is there.
build_module() {
  local name=$1 source_id=$2 source_dir=$3
  shift 3
  local stamp_file=$prefix/.stamp-$name
  local stamp="$name $source_id mingw-g++ $compiler options: $*"
  if [ -f "$stamp_file" ] && [ "$(cat "$stamp_file")" = "$stamp" ]; then
    echo "$name: already built in $prefix"
    return 0
  fi
  local start=$SECONDS build=$work/build-$name
  rm -f "$stamp_file"
  # A new base module takes every module built on the old one with it.
  [ "$name" = qtbase ] && find "$prefix" -mindepth 1 -delete
  cmake -G Ninja -S "$source_dir" -B "$build" -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >"$work/configure-$name.log" ||
    { tail -40 "$work/configure-$name.log" >&2; return 1; }
  cmake --build "$build" -j"$jobs" >"$work/build-$name.log" ||
    { grep -B2 -A20 -m3 'FAILED:' "$work/build-$name.log" >&2; return 1; }
  cmake --install "$build" >/dev/null
  echo "$stamp" >"$stamp_file"
  rm -rf "$build"
  echo "$name: built in $((SECONDS - start)) s"
}

# Debian's qt6-base source: a deb-src entry beside the deb entries.
if ! ls -d "$work"/qtbase/qt6-base-*/ >/dev/null 2>&1; then
  if ! apt-get source --print-uris qt6-base >/dev/null 2>&1; then
    sources_file=/etc/apt/sources.list.d/debian.sources
    if [ -f "$sources_file" ]; then
      sed 's/^Types: deb$/Types: deb-src/' "$sources_file" | $sudo tee /etc/apt/sources.list.d/zr7-deb-src.sources >/dev/null
    else
      sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $sudo tee /etc/apt/sources.list.d/zr7-deb-src.list >/dev/null
    fi
    $sudo apt-get update -qq
  fi
  rm -rf "$work/qtbase"
  mkdir -p "$work/qtbase"
  (cd "$work/qtbase" && apt-get source -qq qt6-base >/dev/null 2>&1)
fi
qtbase_dir=$(ls -d "$work"/qtbase/qt6-base-*/)
# Qt 6.4.2 builds its DirectWrite font engine and font database only
# together with Direct2D, which is left out, but its Windows print engine
# and platform plugin call them with DirectWrite alone and fail to link:
# they are made to ask for Direct2D too.
for file in src/printsupport/platform/windows/qprintengine_win.cpp src/plugins/platforms/windows/qwindowsintegration.cpp; do
  sed -i 's/^#if QT_CONFIG(\(directwrite3\?\))$/#if QT_CONFIG(\1) \&\& QT_CONFIG(direct2d)/' "$qtbase_dir/$file"
done
qtbase_id="$(basename "$(ls "$work"/qtbase/qt6-base_*.dsc)") with DirectWrite asked for with Direct2D"

build_module qtbase "$qtbase_id" "$qtbase_dir" -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" "${qtbase_options[@]}"

# The other modules build against the Qt just installed, through its own
# toolchain file (which chains to the MinGW one).
for module in qtsvg qtcharts; do
  archive=$module-$qt_version.tar.xz
  dir=$work/$module
  if [ ! -f "$dir/.unpacked" ]; then
    rm -rf "$dir"
    mkdir -p "$dir"
    tar -xJf "$sources/$archive" -C "$dir"
    touch "$dir/.unpacked"
  fi
  source_id="$(grep " $archive\$" "$sources/SHA256SUMS" | cut -c1-16) on $(sha256sum <"$prefix/.stamp-qtbase" | cut -c1-16)"
  build_module "$module" "$source_id" "$dir" \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" "${module_options[@]}"
done
echo "Qt $qt_version for Windows in $prefix"

#!/usr/bin/env bash
# Packs the Windows build (scripts/build-windows.sh with Qt) for the
# stations, into build-windows/:
#   zr7-<version>-windows-x64/      the portable folder
#   zr7-<version>-windows-x64.zip   the same folder as a zip
#   zr7-setup-<version>.exe         the NSIS installer (packaging/windows/zr7.nsi)
# The folder holds zr7.exe, zr7-cli.exe, CZYTAJ.txt and exactly the DLLs
# they load: the Qt plugins the program uses (the Windows platform, the
# Windows style, SVG icons, JPEG), then every DLL of Qt and of the MinGW
# runtime that these import, followed to the end. Prints the folder's size
# and its files.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/windows-runtime.sh
build=$root/build-windows
for program in "$build/src/shell/zr7.exe" "$build/src/cli/zr7-cli.exe"; do
  [ -f "$program" ] || { echo "no $program: run scripts/build-qt-windows.sh and scripts/build-windows.sh first" >&2; exit 1; }
done
missing=()
for tool in makensis zip; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  packages=("${missing[@]/makensis/nsis}")
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
fi

version=$(sed -n 's/^project(zr7 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=zr7-$version-windows-x64
folder=$build/$name
rm -rf "$folder"
mkdir -p "$folder"

strip=x86_64-w64-mingw32-strip
# put FILE [SUBFOLDER]: a stripped copy in the folder.
put() {
  mkdir -p "$folder/${2:-.}"
  cp "$1" "$folder/${2:-.}/"
  "$strip" --strip-unneeded "$folder/${2:-.}/$(basename "$1")"
}
put "$build/src/shell/zr7.exe"
put "$build/src/cli/zr7-cli.exe"
plugins=(platforms/qwindows.dll styles/qwindowsvistastyle.dll iconengines/qsvgicon.dll imageformats/qjpeg.dll)
for plugin in "${plugins[@]}"; do
  put "$qt/plugins/$plugin" "$(dirname "$plugin")"
done

# The DLLs each file imports that Qt or MinGW provide; the system's own
# (KERNEL32.dll and the like) are on every Windows.
provided() {
  local dll=$1
  for candidate in "$qt/bin/$dll" "${mingw_dlls[@]}"; do
    [ "$(basename "$candidate")" = "$dll" ] && [ -f "$candidate" ] && { echo "$candidate"; return 0; }
  done
  return 1
}
pending=("$folder"/*.exe "$folder"/*/*.dll)
while [ ${#pending[@]} -gt 0 ]; do
  file=${pending[0]}
  pending=("${pending[@]:1}")
  for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
    [ -f "$folder/$dll" ] && continue
    if source_dll=$(provided "$dll"); then
      put "$source_dll"
      pending+=("$folder/$dll")
    fi
  done
done
cp packaging/windows/CZYTAJ.txt "$folder/"

echo "portable folder $folder: $(du -sk "$folder" | cut -f1) KiB"
(cd "$folder" && find . -type f -printf '  %-40P %8s bytes\n' | sort)

rm -f "$build/$name.zip"
(cd "$build" && zip -qr9 "$name.zip" "$name")
echo "built $build/$name.zip ($(du -k "$build/$name.zip" | cut -f1) KiB)"

# The uninstaller's list: every installed file, then its folders, deepest
# first.
files=$build/installer-files.nsh
{
  (cd "$folder" && find . -type f -printf '%P\n' | sort) | sed 's|/|\\|g; s|^|  Delete "$INSTDIR\\|; s|$|"|'
  (cd "$folder" && find . -mindepth 1 -type d -printf '%P\n' | sort -r) | sed 's|/|\\|g; s|^|  RMDir "$INSTDIR\\|; s|$|"|'
} >"$files"
setup=$build/zr7-setup-$version.exe
makensis -V2 -DVERSION="$version" -DPROGRAM="$folder" -DFILES="$files" -DOUTFILE="$setup" \
  -DSIZE_KB="$(du -sk "$folder" | cut -f1)" packaging/windows/zr7.nsi
echo "built $setup ($(du -k "$setup" | cut -f1) KiB)"

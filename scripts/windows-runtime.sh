# Sourced by the Windows scripts: where the Windows build's DLLs are.
#   qt          the Qt for Windows of scripts/build-qt-windows.sh
#   mingw_dlls  MinGW-w64's C++, GCC and thread runtime DLLs
#   WINEPATH    the folders of both, where Wine looks for the DLLs of the
#               programs in build-windows/
qt=${ZR7_QT_WINDOWS:-$HOME/.cache/zr7/qt-6.4.2-mingw64}
mingw_dlls=()
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  mingw_dlls+=("$(realpath "$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll)")")
done
WINEPATH=""
for folder in "$qt/bin" "$(dirname "${mingw_dlls[0]}")" "$(dirname "${mingw_dlls[2]}")"; do
  WINEPATH+="${WINEPATH:+;}Z:${folder//\//\\}"
done

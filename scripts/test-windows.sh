#!/usr/bin/env bash
# Runs the Windows build (scripts/build-windows.sh with Qt, packed by
# scripts/package-windows.sh) under Wine, in a throwaway Wine prefix: first
# the tests, the window's on Qt's offscreen platform among them, then a bank read by
# zr7-cli.exe from zr7-sim linked as COM7, compared byte for byte with the
# Linux zr7-cli's read of the same bank, and a batch of banks into a folder
# of a Polish name against the Linux batch; then each build reads the other's
# file back, a save goes through a symbolic link, a read whose adapter is
# unplugged ends with exit code 1, and a save into a folder the user may not
# write to writes the file in place; zr7-cli.exe lists the COM ports and
# makes the same report page as on Linux. Last, in a fresh prefix on Xvfb,
# the installer, the installed window reading a bank, and the uninstaller
# (tests/windows/installed_window_test.py).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
exe=$root/build-windows/src/cli/zr7-cli.exe
version=$(sed -n 's/^project(zr7 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
portable=$root/build-windows/zr7-$version-windows-x64
setup=$root/build-windows/zr7-setup-$version.exe
for file in "$root/build-windows/src/shell/zr7.exe" "$setup"; do
  [ -f "$file" ] || {
    echo "no $file: run scripts/build-qt-windows.sh, scripts/build-windows.sh and scripts/package-windows.sh first" >&2
    exit 1
  }
done
source scripts/windows-runtime.sh
export WINEPATH

# The Linux side: zr7-sim and zr7-cli from the Linux build.
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target zr7-sim zr7-cli >/dev/null
sim=$root/build/tools/sim/zr7-sim
cli=$root/build/src/cli/zr7-cli

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
work=$(mktemp -d /tmp/zr7-wine-XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
simulator=""
stop_simulator() {
  if [ -n "$simulator" ]; then
    kill "$simulator" 2>/dev/null || true
    wait "$simulator" 2>/dev/null || true
    simulator=""
  fi
}
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
# Runs its arguments as the user whom the folder of the last stage refuses:
# root may write anywhere, so root's runs are made as nobody, in a prefix
# of nobody's own.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  as_user=(runuser -u nobody -- env HOME="$work/nobody" WINEPREFIX="$work/nobody/prefix")
fi
cleanup() {
  stop_simulator
  "$wineserver" -k 2>/dev/null || true
  if [ ${#as_user[@]} -gt 0 ] && [ -d "$work/nobody/prefix" ]; then
    "${as_user[@]}" "$wineserver" -k 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# zr7-sim on a pty linked at $1 (further arguments its options), until
# stop_simulator.
start_simulator() {
  local link=$1
  shift
  rm -f "$link"
  "$sim" "$@" --link "$link" >/dev/null &
  simulator=$!
  for _ in $(seq 100); do
    [ -L "$link" ] && return 0
    sleep 0.05
  done
  echo "zr7-sim did not link $link" >&2
  return 1
}

# One server for the whole run, started here so that it holds none of the
# test commands' output open.
mkdir -p "$WINEPREFIX"
"$wineserver" -p >/dev/null 2>&1
"$wine" wineboot -i >/dev/null 2>&1
echo "== core tests under Wine"
export ZR7_SIM=$sim
ctest --test-dir build-windows --output-on-failure -j"$(nproc)"

echo "== bank read under Wine against the Linux read"
bank=3
mkdir -p "$work/windows" "$work/linux"
start_simulator "$WINEPREFIX/dosdevices/com7"
(cd "$work/windows" && "$wine" "$exe" read --port COM7 --bank "$bank" --out bank.zr)
stop_simulator
start_simulator "$work/COM1"
(cd "$work/linux" && "$cli" read --port "$work/COM1" --bank "$bank" --out bank.zr)
stop_simulator
cmp "$work/windows/bank.zr" "$work/linux/bank.zr"
echo "bank $bank: the Windows and the Linux read wrote the same $(stat -c %s "$work/linux/bank.zr") bytes"

echo "== a batch under Wine into a folder of a Polish name"
# Station folders carry Polish letters ("C:\Users\Paweł"): the tests go into
# the folder named, under the same names and with the same bytes as the
# Linux batch gives them.
folder="Pomiary Łódź"
start_simulator "$WINEPREFIX/dosdevices/com7" --empty 2
(cd "$work/windows" && "$wine" "$exe" read --port COM7 --banks 1,2,3 --dir "$folder" >/dev/null)
stop_simulator
start_simulator "$work/COM1" --empty 2
(cd "$work/linux" && "$cli" read --port "$work/COM1" --banks 1,2,3 --dir "$folder" >/dev/null)
stop_simulator
diff -r "$work/windows/$folder" "$work/linux/$folder"
[ "$(find "$work/windows" -mindepth 1 -type d | wc -l)" -eq 1 ] || {
  echo "the batch made a folder of another name:" >&2
  find "$work/windows" -mindepth 1 -type d >&2
  exit 1
}
echo "$(ls "$work/windows/$folder" | wc -l) tests in \"$folder\", the same as the Linux batch's"

echo "== each build reads the other's file"
(cd "$work/windows" && "$wine" "$exe" export "$work/linux/bank.zr" --csv --out from-linux.csv)
(cd "$work/linux" && "$cli" export "$work/windows/bank.zr" --csv --out from-windows.csv)
cmp "$work/windows/from-linux.csv" "$work/linux/from-windows.csv"
(cd "$work/windows" && "$wine" "$exe" show "$work/linux/bank.zr" | tr -d '\r' >from-linux.txt)
(cd "$work/linux" && "$cli" show "$work/windows/bank.zr" >from-windows.txt)
cmp "$work/windows/from-linux.txt" "$work/linux/from-windows.txt"
echo "the CSV and the values of each file, as the other build reads them, are the same"

echo "== a save under Wine writes through a symbolic link"
ln -s saved/bank.csv "$work/windows/link.csv"
mkdir "$work/windows/saved"
echo "an older file" >"$work/windows/saved/bank.csv"
(cd "$work/windows" && "$wine" "$exe" export bank.zr --csv --out link.csv)
[ -L "$work/windows/link.csv" ] || { echo "the link was replaced by a file" >&2; exit 1; }
cmp "$work/windows/saved/bank.csv" "$work/windows/from-linux.csv"
echo "the link stays a link and its target holds the export"

echo "== the adapter unplugged during a read under Wine"
# The instrument, paced as a real one, goes away a second into the read:
# the read ends with exit code 1 and says why, and writes nothing.
start_simulator "$WINEPREFIX/dosdevices/com7" --pace --latency 1
(sleep 1 && stop_simulator) &
unplug=$!
status=0
(cd "$work/windows" && timeout 60 "$wine" "$exe" read --port COM7 --bank 12 --out unplugged.zr 2>unplugged.txt) || status=$?
wait "$unplug"
stop_simulator
[ "$status" -eq 1 ] || { echo "the read ended with $status, not 1" >&2; exit 1; }
grep -q "the port closed during the read" "$work/windows/unplugged.txt" || { cat "$work/windows/unplugged.txt" >&2; exit 1; }
[ ! -e "$work/windows/unplugged.zr" ] || { echo "a file was written after the unplug" >&2; exit 1; }
echo "the read ended with exit code 1: $(tr -d '\r' <"$work/windows/unplugged.txt")"

echo "== a save into a folder the user may not write to, under Wine"
# The user may write the file but make none beside it: the save writes the
# file in place and keeps its owner and mode; a new file there is refused
# with exit code 1 and the system's reason.
chmod 755 "$work"
mkdir -p "$work/nobody/locked"
# The portable folder: Qt's and MinGW's DLLs beside the program, where the
# other user finds them.
cp -r "$portable/." "$work/nobody/"
cp "$work/windows/bank.zr" "$work/nobody/"
echo "an older file" >"$work/nobody/locked/bank.csv"
chmod 666 "$work/nobody/locked/bank.csv"
chmod 555 "$work/nobody/locked"
if [ ${#as_user[@]} -gt 0 ]; then
  chown nobody "$work/nobody"
  "${as_user[@]}" "$wine" wineboot -i >/dev/null 2>&1
fi
before=$(stat -c '%U %a' "$work/nobody/locked/bank.csv")
(cd "$work/nobody" && "${as_user[@]}" "$wine" ./zr7-cli.exe export bank.zr --csv --out locked/bank.csv)
cmp "$work/nobody/locked/bank.csv" "$work/windows/from-linux.csv"
[ "$(stat -c '%U %a' "$work/nobody/locked/bank.csv")" = "$before" ] || { echo "the file lost its owner or mode" >&2; exit 1; }
status=0
(cd "$work/nobody" && "${as_user[@]}" "$wine" ./zr7-cli.exe export bank.zr --csv --out locked/new.csv 2>refused.txt) ||
  status=$?
[ "$status" -eq 1 ] || { echo "the save of a new file ended with $status, not 1" >&2; exit 1; }
grep -q "access denied" "$work/nobody/refused.txt" || { cat "$work/nobody/refused.txt" >&2; exit 1; }
[ ! -e "$work/nobody/locked/new.csv" ] || { echo "a new file was made in the locked folder" >&2; exit 1; }
[ -z "$(find "$work/nobody/locked" -name '.zr7-*')" ] || { echo "a temporary file was left behind" >&2; exit 1; }
echo "the file was written in place; a new file was refused: $(tr -d '\r' <"$work/nobody/refused.txt")"

echo "== zr7-cli.exe ports lists the instrument's COM port"
# A Windows driver announces its port in the serial map; Wine does not for
# its dosdevices links, so the port is announced here as a driver would.
"$wine" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\Serial7' /t REG_SZ /d COM7 /f >/dev/null
start_simulator "$WINEPREFIX/dosdevices/com7"
(cd "$work/windows" && "$wine" "$exe" ports | tr -d '\r' >ports.txt)
stop_simulator
grep -A2 -x "COM7" "$work/windows/ports.txt" | grep -q "access:      you may open it" || {
  cat "$work/windows/ports.txt" >&2
  exit 1
}
echo "COM7 is listed and may be opened"

echo "== the report page under Wine against the Linux one"
# The text block above the chart is the same line for line; in the chart,
# every title and legend word. Only the time axis's step may differ: it
# widens until the labels fit, in each system's font.
(cd "$work/windows" && "$wine" "$exe" report bank.zr --pdf report.pdf)
(cd "$work/linux" && "$cli" report bank.zr --pdf report.pdf)
for side in windows linux; do
  pdftotext -layout -x 0 -y 0 -W 600 -H 250 "$work/$side/report.pdf" "$work/$side/report-lines.txt"
  pdftotext "$work/$side/report.pdf" - | tr -s ' \n' '\n\n' | grep -v '^[0-9.,]*$' >"$work/$side/report-words.txt"
done
diff "$work/linux/report-lines.txt" "$work/windows/report-lines.txt"
diff "$work/linux/report-words.txt" "$work/windows/report-words.txt"
grep -q "opóźnienie maksymalne" "$work/windows/report-lines.txt"
echo "the page's text is the same: $(grep -c . "$work/linux/report-lines.txt") lines, $(wc -l <"$work/linux/report-words.txt") words"

echo "== the installer, the installed window and the uninstaller"
python3 tests/windows/installed_window_test.py "$setup" "$root/build" "$root/build-windows"

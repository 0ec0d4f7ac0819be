#!/usr/bin/env bash
# Runs a Windows test program under Wine while zr7-sim answers on a COM
# port of the Wine prefix:
#   with_sim_on_com.sh COMn [zr7-sim options...] -- WINE PROGRAM [args...]
# ZR7_SIM names the Linux zr7-sim and WINEPREFIX the prefix; without them
# the test fails.
set -euo pipefail
port=$(echo "$1" | tr 'A-Z' 'a-z')
shift
options=()
while [ "$1" != "--" ]; do
  options+=("$1")
  shift
done
shift
: "${ZR7_SIM:?ZR7_SIM must name the Linux zr7-sim}"
: "${WINEPREFIX:?WINEPREFIX must name a booted Wine prefix}"
link=$WINEPREFIX/dosdevices/$port
# A link left by an earlier run would be taken for the new one.
rm -f "$link"
"$ZR7_SIM" --link "$link" "${options[@]}" >/dev/null &
simulator=$!
trap 'kill "$simulator" 2>/dev/null || true; wait "$simulator" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -L "$link" ] && break
  sleep 0.05
done
[ -L "$link" ] || { echo "zr7-sim did not link $link" >&2; exit 1; }
"$@"

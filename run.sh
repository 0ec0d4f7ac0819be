#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the program and starts it.
#   ./run.sh          the program
#   ./run.sh --demo   the program with a simulated instrument linked as COM1
# The program runs in ~/ZR-7 (made when missing): konfiguracja.txt and the
# file dialogs' first folder are there, not among the sources.
set -euo pipefail
source_dir="$(cd "$(dirname "$0")" && pwd)"
cd "$source_dir"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target zr7 zr7-sim zr7-cli

work_dir="$HOME/ZR-7"
mkdir -p "$work_dir"
# Station data kept beside the sources by an earlier run.sh move along once.
if [ -f konfiguracja.txt ] && [ ! -e "$work_dir/konfiguracja.txt" ]; then
  cp -p konfiguracja.txt "$work_dir/"
fi
cd "$work_dir"
echo "ZR-7 works in $work_dir: konfiguracja.txt is kept there, and saved tests go there unless you choose another folder."

if [ "${1:-}" != "--demo" ]; then
  exec "$source_dir/build/src/shell/zr7"
fi

port="${XDG_CONFIG_HOME:-$HOME/.config}/zr7/ports/COM1"
"$source_dir/build/tools/sim/zr7-sim" --link "$port" >/dev/null &
simulator=$!
trap 'kill "$simulator" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -L "$port" ] && break
  sleep 0.1
done
echo "Simulated instrument on COM1: choose COM1, press \"Polącz\", then \"Czytaj\"."
"$source_dir/build/src/shell/zr7"

#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the program and starts it.
#   ./run.sh          the program
#   ./run.sh --demo   the program with a simulated instrument linked as COM1
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target zr7 zr7-sim zr7-cli

if [ "${1:-}" != "--demo" ]; then
  exec build/src/shell/zr7
fi

port="${XDG_CONFIG_HOME:-$HOME/.config}/zr7/ports/COM1"
build/tools/sim/zr7-sim --link "$port" >/dev/null &
simulator=$!
trap 'kill "$simulator" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -L "$port" ] && break
  sleep 0.1
done
echo "Simulated instrument on COM1: choose COM1, press \"Polącz\", then \"Czytaj\"."
build/src/shell/zr7

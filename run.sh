#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target zr7
exec build/src/shell/zr7

#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
# Every test runs on a Polish desktop, as the program's users do.
LANG=pl_PL.UTF-8 LC_ALL=pl_PL.UTF-8 ctest --test-dir build --output-on-failure -j"$jobs"

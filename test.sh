#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
jobs=$(nproc)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR7_WERROR="${ZR7_WERROR:-OFF}" "${launcher[@]}"
cmake --build build -j"$jobs"
# Every test runs on a Polish desktop, as the program's users do.
LANG=pl_PL.UTF-8 LC_ALL=pl_PL.UTF-8 ctest --test-dir build --output-on-failure -j"$jobs"

#!/usr/bin/env bash
# Fails when a C++ source differs from what clang-format makes of it with the
# project's .clang-format; `scripts/check-format.sh --fix` rewrites them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --format
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${sources[@]}"
else
  clang-format --dry-run --Werror "${sources[@]}"
  echo "format: ${#sources[@]} files as clang-format writes them"
fi

#!/usr/bin/env bash
# Builds the fuzz targets with clang under the address and undefined-
# behaviour sanitizers (build-fuzz/) and runs each for a fixed time, seeded
# from fuzz/corpus/<name>/. Fails when any target finds a crash, a sanitizer
# report or a broken invariant; the input that showed it is left in
# build-fuzz/artifacts/<name>/ (replay: build-fuzz/fuzz/zr7-fuzz-<name> FILE).
#   scripts/fuzz.sh [seconds per target, default 30] [name...]
# New inputs found are kept in build-fuzz/corpus/<name>/, so later and
# longer runs start from them.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for folder in fuzz/corpus/*/; do names+=("$(basename "$folder")"); done
fi

scripts/install-deps.sh --fuzz
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR7_FUZZ=ON -DZR7_WERROR="${ZR7_WERROR:-OFF}" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target zr7_fuzzers

failed=()
for name in "${names[@]}"; do
  corpus=build-fuzz/corpus/$name
  artifacts=build-fuzz/artifacts/$name
  mkdir -p "$corpus" "$artifacts"
  echo "== fuzzing $name for ${seconds}s"
  if ! build-fuzz/fuzz/zr7-fuzz-"$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$artifacts/" -print_final_stats=1 "$corpus" fuzz/corpus/"$name" \
      >build-fuzz/"$name".log 2>&1; then
    failed+=("$name")
    grep -E -A30 'invariant broken|ERROR:|runtime error' build-fuzz/"$name".log | head -60 || tail -30 build-fuzz/"$name".log
  fi
  grep -E '^(Done|stat::number_of_executed_units)' build-fuzz/"$name".log || true
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing FAILED: ${failed[*]} (logs in build-fuzz/<name>.log, inputs in build-fuzz/artifacts/)"
  exit 1
fi
echo "fuzzing passed: ${names[*]}"

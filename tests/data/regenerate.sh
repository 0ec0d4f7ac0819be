#!/usr/bin/env bash
# Makes the expected outputs in tests/data/expected anew from a build, for
# when an output change is intended: zr7-cli show, export --csv and report
# (its page's text by pdftotext -layout) of each reference file, with the
# Polish regional settings. With --files the reference files themselves
# are made anew first (README.md says how).
#   tests/data/regenerate.sh [--files] [BUILD]   (BUILD defaults to build/)
set -euo pipefail
data=$(cd "$(dirname "$0")" && pwd)
files=false
if [ "${1:-}" = "--files" ]; then
  files=true
  shift
fi
build=$(cd "${1:-$data/../../build}" && pwd)
cli="$build/src/cli/zr7-cli"
export LANG=pl_PL.UTF-8 LC_ALL=pl_PL.UTF-8
locale -a | grep -qi '^pl_PL.utf-\?8$' || { echo "the pl_PL.UTF-8 locale is not installed" >&2; exit 1; }
command -v pdftotext >/dev/null || { echo "pdftotext (poppler-utils) is not installed" >&2; exit 1; }

work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work" # where Qt wants one for the report
sim=
trap '[ -n "$sim" ] && kill "$sim" 2>/dev/null; rm -rf "$work"' EXIT

if $files; then
  # Bank 1 of the simulated instrument, read as an examiner would, in a
  # folder without konfiguracja.txt: no station texts.
  "$build/tools/sim/zr7-sim" --link "$work/COM1" >/dev/null &
  sim=$!
  for _ in $(seq 50); do [ -e "$work/COM1" ] && break; sleep 0.1; done
  (cd "$work" && "$cli" read --port "$work/COM1" --bank 1 --out "$data/sim-bank-1.zr")
  kill "$sim"
  wait "$sim" 2>/dev/null || true
  sim=
  "$build/tests/data/zr7_make_reference_files" "$data"
fi

for zr in "$data"/*.zr; do
  name=$(basename "$zr" .zr)
  "$cli" show "$zr" >"$data/expected/$name.show.txt"
  "$cli" export "$zr" --csv --out "$data/expected/$name.csv"
  "$cli" report "$zr" --pdf "$work/$name.pdf"
  pdftotext -layout "$work/$name.pdf" "$data/expected/$name.report.txt"
done
echo "expected outputs written to $data/expected; review them with git diff before committing"

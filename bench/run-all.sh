#!/usr/bin/env bash
# Runs every benchmark program and script. Usage: run-all.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
results=()
for b in "$build"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  json="$build/bench/$(basename "$b").json"
  "$b" --benchmark_min_time=0.5 --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$json" --benchmark_out_format=json
  results+=("$json")
done
echo "== against the goals (medians of 3 runs)"
python3 "$here/ratios.py" "${results[@]}"
for s in "$here"/keys_xdotool.py "$here"/startup.py; do
  echo "== $(basename "$s")"
  /usr/bin/python3 "$s" "$build/nimbolt-sketch"
done

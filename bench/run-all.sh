#!/usr/bin/env bash
# Runs every benchmark program and script. Usage: run-all.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
for b in "$build"/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.5
done
for s in "$here"/*.sh; do
  [ "$(basename "$s")" = run-all.sh ] && continue
  echo "== $(basename "$s")"
  bash "$s" "$build/nimbolt-sketch"
done

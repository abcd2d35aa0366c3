#!/usr/bin/env bash
# Runs every fuzzer built in a fuzz build folder for the given number of seconds each.
# Usage: run-fuzzers.sh BUILD_DIR SECONDS
set -euo pipefail
build=$1 seconds=$2
corpus_root=$build/corpus
found=0
for fuzzer in "$build"/fuzz/fuzz_*; do
  [ -f "$fuzzer" ] && [ -x "$fuzzer" ] || continue  # skip the *_autogen folders AUTOMOC leaves
  found=1
  name=$(basename "$fuzzer")
  seeds=$(dirname "$0")/../fuzz/corpus/$name
  mkdir -p "$corpus_root/$name"
  echo "== $name for ${seconds}s"
  args=("$corpus_root/$name")
  [ -d "$seeds" ] && args+=("$seeds")
  "$fuzzer" -max_total_time="$seconds" -print_final_stats=0 "${args[@]}" 2>"$build/$name.log" \
    || { tail -n 40 "$build/$name.log"; echo "$name found a failure"; exit 1; }
  grep -E '^#[0-9]+.*DONE' "$build/$name.log" | tail -n 1 || true
done
[ $found -eq 1 ] || echo "no fuzzers built"

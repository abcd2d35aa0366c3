#!/usr/bin/env bash
# Runs every fuzzer built in a fuzz build folder for the given number of seconds each.
# Usage: run-fuzzers.sh BUILD_DIR SECONDS
# A run slower than a second or bigger than 512 MB is a finding, and inputs may grow far
# enough that time or memory worse than linear in the input shows.
set -euo pipefail
build=$1 seconds=$2
corpus_root=$build/corpus
found=0
# A small quarantine and no allocation stacks keep AddressSanitizer's own memory well below
# the limit and the runs fast; rerun a finding's input by hand for the full report.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=0}

# Longest input per fuzzer: text parsers get 256 KB; the record fuzzer 4 KB of edits to a grid
# (scratch_file.h); the help container a little more than the help file in its corpus.
max_len() {
  case $1 in
    fuzz_registry_file | fuzz_sitemap) echo 262144 ;;
    fuzz_record_files) echo 4096 ;;
    *) echo 65536 ;;
  esac
}

# What a fuzzer must have run by the end of its time, or it tests less than it seems to: the
# record fuzzer, the board's row plotting.
must_reach() {
  case $1 in
    fuzz_record_files) echo 'SketchBoard::plotRow' ;;
  esac
}

for fuzzer in "$build"/fuzz/fuzz_*; do
  [ -f "$fuzzer" ] && [ -x "$fuzzer" ] || continue  # skip the *_autogen folders AUTOMOC leaves
  found=1
  name=$(basename "$fuzzer")
  starting=$(dirname "$0")/../fuzz/corpus/$name
  mkdir -p "$corpus_root/$name"
  echo "== $name for ${seconds}s"
  args=("$corpus_root/$name")
  [ -d "$starting" ] && args+=("$starting")
  dict=$(dirname "$0")/../fuzz/${name#fuzz_}.dict
  [ -f "$dict" ] && args+=(-dict="$dict")
  "$fuzzer" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=512 -max_len="$(max_len "$name")" \
    -print_final_stats=1 -print_coverage=1 "${args[@]}" 2>"$build/$name.log" \
    || { tail -n 40 "$build/$name.log"; echo "$name found a failure"; exit 1; }
  reach=$(must_reach "$name")
  if [ -n "$reach" ] && ! grep -q "^COVERED_FUNC: .* $reach(" "$build/$name.log"; then
    echo "$name never reached $reach"
    exit 1
  fi
  grep -E '^#[0-9]+.*DONE' "$build/$name.log" | tail -n 1 || true
  grep -E '^stat::number_of_executed_units|^stat::average_exec_per_sec' "$build/$name.log" || true
done
[ $found -eq 1 ] || echo "no fuzzers built"

#!/usr/bin/env bash
# Prints the non-blank lines of the tests against those of the program, and their ratio.
# The owner's goal: tests at most half the program's size. Information, not a test.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { git ls-files "$@" | grep -v -E '\.(png|jpg|nsd|chm|pdf)$' | xargs -r cat | grep -c -v '^[[:space:]]*$'; }
src=$(count 'src/*.cpp' 'src/*.h')
tests=$(count 'tests/')
awk -v t="$tests" -v s="$src" \
  'BEGIN { printf "code ratio: %d non-blank test lines, %d in src/: %.2f x (goal at most 0.50 x)\n", t, s, t / s }'

#!/usr/bin/env bash
# Prints the size of the tests against the program's: non-blank lines of code (C++, Python,
# shell, CMake; not data files or corpora) under tests/ and fuzz/ against src/*.cpp and *.h,
# a line over 100 columns counting once per 100 columns begun. The goal: at most 0.45 x.
# Information, not a test.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z | python3 -c '
import math, sys
names = [n for n in sys.stdin.read().split("\0") if n]
code = (".cpp", ".h", ".py", ".sh", ".cmake", "CMakeLists.txt")
def weight(paths):
    total = 0
    for path in paths:
        for line in open(path, encoding="utf-8", errors="replace"):
            text = line.rstrip().expandtabs(4)
            if text.strip():
                total += max(1, math.ceil(len(text) / 100))
    return total
src = weight(n for n in names if n.startswith("src/") and n.endswith((".cpp", ".h")))
tests = weight(n for n in names if n.startswith(("tests/", "fuzz/")) and n.endswith(code))
print(f"code ratio: {tests} lines of tests and fuzzers, {src} of src/: {tests / src:.2f} x (goal at most 0.45 x)")
'

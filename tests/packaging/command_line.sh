#!/usr/bin/env bash
# The program's command line, run without any display: --version, --help, a wrong option,
# a missing file, and --export-png of a sketch written here byte by byte.
set -euo pipefail
prog=${1:?usage: $0 PROGRAM}
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v convert >/dev/null || fail "convert (imagemagick) is not installed"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/nimbolt-cli.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
mkdir home app
# a copy, so that its application folder (where a screen store would go) is ours to watch
cp "$prog" app/nimbolt-sketch
prog="$scratch/app/nimbolt-sketch"
run() {
  # no display at all, and a private home: the export must not need either
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$scratch/home" \
    XDG_DATA_HOME="$scratch/home/data" "$prog" "$@" >out.txt 2>err.txt
}
# expect_error STATUS_WANTED TEXT ARGS...: a non-zero exit, one line on stderr holding TEXT
expect_error() {
  local text=$1 status=0
  shift
  run "$@" || status=$?
  [ "$status" != 0 ] || fail "'$*' exited 0"
  [ "$(wc -l <err.txt)" = 1 ] || fail "'$*' wrote $(wc -l <err.txt) lines to stderr: $(cat err.txt)"
  grep -qF -- "$text" err.txt || fail "'$*' said: $(cat err.txt)"
  [ ! -s out.txt ] || fail "'$*' wrote to stdout: $(cat out.txt)"
}

run --version || fail "--version exited $?: $(cat err.txt)"
[ "$(cat out.txt)" = "Nimbolt Sketch 1.0" ] || fail "--version printed '$(cat out.txt)'"
run --help || fail "--help exited $?: $(cat err.txt)"
for word in --help --version --export-png FILE.nsd; do
  grep -qF -- "$word" out.txt || fail "--help does not mention $word: $(cat out.txt)"
done
echo "--version and --help"

expect_error "Unknown option 'no-such-option'" --no-such-option
expect_error "gone.nsd" --export-png gone.nsd out.png
[ ! -e out.png ] || fail "a failed export left out.png"
mkdir folder.nsd
expect_error "folder.nsd" --export-png folder.nsd out.png
expect_error "--export-png IN.nsd OUT.png" --export-png only-one.nsd
echo "wrong options and missing or unreadable files: one line, non-zero exit"

# 485 records of 1168 bytes: 582 little-endian int16 cells, then pen x and pen y. Cells
# holding 1 are ink; 2 and -1 are stored values that are not drawn.
python3 - "$scratch/drawing.nsd" <<'PY'
import struct, sys
ink = {(1, 1), (582, 1), (1, 485), (582, 485), (291, 242), (292, 242), (292, 243), (100, 7)}
other = {(2, 1): 2, (101, 7): -1, (300, 300): 2, (581, 485): -1}
with open(sys.argv[1], "wb") as f:
    for r in range(1, 486):
        cells = [1 if (c, r) in ink else other.get((c, r), 0) for c in range(1, 583)]
        f.write(struct.pack("<582h", *cells) + struct.pack("<hh", 292, 243))
PY
[ "$(stat -c %s drawing.nsd)" = 566480 ] || fail "the test file is $(stat -c %s drawing.nsd) bytes"
run --export-png drawing.nsd drawing.png || fail "--export-png exited $?: $(cat err.txt)"
[ ! -s err.txt ] || fail "--export-png complained: $(cat err.txt)"
file -b drawing.png | grep -q '^PNG image data, 582 x 485' || fail "not a 582 x 485 PNG: $(file -b drawing.png)"
convert drawing.png -depth 8 gray:drawing.gray
python3 - drawing.gray <<'PY' || fail "the picture's pixels are wrong"
import sys
data = open(sys.argv[1], "rb").read()
assert len(data) == 582 * 485, len(data)
black = sorted((i % 582 + 1, i // 582 + 1) for i, v in enumerate(data) if v == 0)
others = [(i % 582 + 1, i // 582 + 1, v) for i, v in enumerate(data) if v not in (0, 255)]
want = sorted({(1, 1), (582, 1), (1, 485), (582, 485), (291, 242), (292, 242), (292, 243), (100, 7)})
if black != want or others:
    print("black cells:", black, "grey pixels:", others[:5], file=sys.stderr)
    sys.exit(1)
PY
[ ! -e home/data ] || fail "the export touched the per-user data folder: $(find home/data)"
[ "$(ls -A app)" = nimbolt-sketch ] || fail "the export wrote beside the program: $(ls -A app)"
echo "--export-png: exactly the 8 ink cells are black"
echo PASS

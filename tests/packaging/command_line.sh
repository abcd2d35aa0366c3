#!/usr/bin/env bash
# The real program without a display: statuses, streams, and an export writing only its picture.
set -euo pipefail
prog=${1:?usage: $0 PROGRAM}
fail() { echo "FAIL: $*" >&2; exit 1; }
scratch=$(mktemp -d "${TMPDIR:-/tmp}/nimbolt-cli.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" && mkdir home app && cp "$prog" app/nimbolt-sketch  # its own folder, where a store would go
# run STATUS ARGS...: the copy with no display and a private home, expected to exit with STATUS
run() {
  local want=$1 status=0 && shift
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/data" \
    app/nimbolt-sketch "$@" >out.txt 2>err.txt || status=$?
  [ "$status" = "$want" ] || fail "'$*' exited $status: $(cat err.txt)"
}
run 0 --version
grep -qx 'Nimbolt Sketch [0-9]*\.[0-9]*' out.txt && [ ! -s err.txt ] || fail "--version: $(cat out.txt err.txt)"
run 2 --no-such-option
[ ! -s out.txt ] && [ "$(wc -l <err.txt)" = 1 ] || fail "--no-such-option: $(cat out.txt err.txt)"
head -c $((485 * 1168)) /dev/zero >in.nsd
run 0 --export-png in.nsd out.png
file -b out.png | grep -q '^PNG image data, 582 x 485' || fail "not a 582 x 485 PNG: $(file -b out.png)"
[ ! -e home/data ] && [ "$(ls -A app)" = nimbolt-sketch ] || fail "the export wrote elsewhere: $(ls -AR home app)"
echo PASS

#!/usr/bin/env bash
# `nimbolt-sketch FILE.nsd` shows the sketch once the main window appears: the board and the
# screen store hold its cells, and the pen carries on from the saved position.
set -euo pipefail
source "$(dirname "$0")/../e2e/lib.sh"
e2e_init "${1:-}"

# start_with ARG...: the program copied into $E2E_APP_DIR, started with arguments
start_with() {
  E2E_LOG="$E2E_DIR/run-args.log"
  (cd "$E2E_DIR" && exec env "${E2E_ENV[@]}" "$E2E_APP_DIR/nimbolt-sketch" "$@") >"$E2E_LOG" 2>&1 &
  E2E_PID=$!
  e2e_track "$E2E_PID"
}

# 485 records of 1168 bytes (582 little-endian int16 cells, pen x, pen y), pen at (300, 200).
cells=(1,1 582,485 10,20 11,20 12,21 299,200 300,200)
mkdir "$E2E_DIR/sketches"
sketch="$E2E_DIR/sketches/my drawing.nsd"
"$E2E_PY" - "$sketch" "${cells[@]}" <<'PY'
import struct, sys
ink = {tuple(map(int, c.split(","))) for c in sys.argv[2:]}
with open(sys.argv[1], "wb") as f:
    for r in range(1, 486):
        row = [1 if (c, r) in ink else 0 for c in range(1, 583)]
        f.write(struct.pack("<584h", *row, 300, 200))
PY

# a relative name, resolved against the folder the program starts in
(cd "$E2E_DIR/sketches" && exec env "${E2E_ENV[@]}" "$E2E_APP_DIR/nimbolt-sketch" "my drawing.nsd") \
  >"$E2E_DIR/run-args.log" 2>&1 &
E2E_PID=$!
e2e_track "$E2E_PID"
wid=$(e2e_wait_window "$E2E_PID")
e2e_focus "$wid"
e2e_expect_board "$wid" "${cells[@]}"
e2e_expect_store "$E2E_APP_DIR/Screen.txt" "${cells[@]}"
e2e_log "the sketch named on the command line is on the board and in the store"

e2e_keys Right Down
e2e_expect_board "$wid" "${cells[@]}" 301,200 301,201
e2e_log "the pen carries on from the sketch's (300, 200)"
e2e_close "$wid"
e2e_wait_exit "$E2E_PID"
[ "$E2E_STATUS" = 0 ] || e2e_fail "the program ended with status $E2E_STATUS"

# A missing file is refused before any window opens.
start_with "$E2E_DIR/sketches/gone.nsd"
e2e_wait_exit "$E2E_PID"
[ "$E2E_STATUS" != 0 ] || e2e_fail "a missing file gave exit status 0"
grep -q "gone.nsd" "$E2E_LOG" || e2e_fail "no message about gone.nsd: $(cat "$E2E_LOG")"
[ -z "$(xdotool search --onlyvisible --name . 2>/dev/null)" ] || e2e_fail "a window opened for a missing file"
e2e_log "a missing file: '$(cat "$E2E_LOG")', status $E2E_STATUS, no window"
e2e_pass

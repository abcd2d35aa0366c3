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

# A missing file still starts the board, which says why in a message box.
e2e_start_a11y_bus
start_with "$E2E_DIR/sketches/gone.nsd"
e2e_expect_window_text "$E2E_PID" "Could not open the sketch $E2E_DIR/sketches/gone.nsd: No such file or directory."
box= wid=
for w in $(xdotool search --all --onlyvisible --pid "$E2E_PID" --name '^Nimbolt Sketch$'); do
  if [ "$(xdotool getwindowgeometry --shell "$w" | sed -n 's/^HEIGHT=//p')" -lt 300 ]; then box=$w; else wid=$w; fi
done
[ -n "$box" ] && [ -n "$wid" ] || e2e_fail "no board and message box for a missing file"
e2e_focus "$box"
e2e_keys Return
e2e_close "$wid"
e2e_wait_exit "$E2E_PID"
[ "$E2E_STATUS" = 0 ] || e2e_fail "the board for a missing file ended with status $E2E_STATUS"
e2e_log "a missing file: the board, and a message box saying why"
e2e_pass

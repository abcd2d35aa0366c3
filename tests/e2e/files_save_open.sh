#!/usr/bin/env bash
# Ctrl+S saves the board and pen to a sketch file through the file dialog; Ctrl+O opens it
# again: the drawing comes back and the pen goes on from where it was saved. A save that
# cannot be written says so in a message box and the program runs on.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
e2e_start_a11y_bus # to read the message box
store="$E2E_APP_DIR/Screen.txt"
# a folder other than the dialog's own (Documents or home): see Qt's dialog under Xvfb
sketches="$E2E_DIR/sketches"
mkdir -p "$sketches"

e2e_start_board
wid=$E2E_WID
e2e_keys Right Right Right Down Down
drawing=(292,242 293,242 294,242 294,243 294,244)
e2e_expect_board "$wid" "${drawing[@]}"

# Save, the name typed without its suffix: the dialog adds ".nsd".
e2e_keys ctrl+s
e2e_file_dialog "$E2E_PID" "Save Sketch As" "$sketches/cat"
e2e_expect_sketch_file "$sketches/cat.nsd" 294 244 "${drawing[@]}"
e2e_expect_board "$wid" "${drawing[@]}"
e2e_log "saved $sketches/cat.nsd: 566480 bytes, the drawing, pen (294, 244) in every record"

# Clear the board and move the pen away, drawing something else.
e2e_focus "$wid"
e2e_keys F2 Left Left Up
e2e_expect_board "$wid" 293,244 292,244 292,243

# Open: the saved drawing replaces what is there and the pen is back at (294, 244).
e2e_keys ctrl+o
e2e_file_dialog "$E2E_PID" "Open Sketch" "$sketches/cat.nsd"
e2e_expect_board "$wid" "${drawing[@]}"
e2e_focus "$wid"
e2e_keys Right
e2e_expect_board "$wid" "${drawing[@]}" 295,244
e2e_expect_store "$store" "${drawing[@]}" 295,244
e2e_log "opened it: the drawing is back and Right drew beside the saved pen"

# Save into a folder that does not exist: a message names the file, nothing is created.
e2e_keys ctrl+s
e2e_file_dialog "$E2E_PID" "Save Sketch As" "$E2E_DIR/missing/dog.nsd"
e2e_expect_window_text_starting "$E2E_PID" "Could not save the sketch to"
case "$E2E_TEXT" in
  *"$E2E_DIR/missing/dog.nsd"* | *"missing/dog.nsd"*) ;;
  *) e2e_fail "the message does not name the file: $E2E_TEXT" ;;
esac
e2e_log "message: $E2E_TEXT"
box=$(e2e_wait_other_window "$E2E_PID" "$wid")
e2e_focus "$box"
e2e_keys Return
e2e_wait_window_gone "$box"
[ ! -e "$E2E_DIR/missing" ] || e2e_fail "the failed save created $E2E_DIR/missing"

# the program runs on and the board still takes keys
kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended after the failed save"
e2e_focus "$wid"
e2e_keys Right
e2e_expect_board "$wid" "${drawing[@]}" 295,244 296,244
e2e_pass

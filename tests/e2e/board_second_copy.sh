#!/usr/bin/env bash
# A second copy started while one runs says so in a message box and ends with a failure
# status, leaving the first copy's store alone.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
e2e_start_a11y_bus
store="$E2E_APP_DIR/Screen.txt"

e2e_start
first=$E2E_PID
main_wid=$(e2e_wait_window "$first")
e2e_focus "$main_wid"
e2e_keys Right Down
e2e_expect_store "$store" 292,242 292,243
before=$(sha256sum <"$store")

e2e_start
second=$E2E_PID
box=$(e2e_wait_window "$second" '.')
read -r box_w box_h < <(xdotool getwindowgeometry --shell "$box" | sed -n 's/^WIDTH=//p;s/^HEIGHT=//p' | paste -sd' ')
[ "$box_h" -lt 300 ] || e2e_fail "second copy showed a ${box_w}x${box_h} window, not a message box"
[ "$(xdotool getwindowname "$box")" = "Nimbolt Sketch" ] ||
  e2e_fail "message box title is '$(xdotool getwindowname "$box")'"
e2e_expect_window_text "$second" "Nimbolt Sketch is already running."
e2e_shot second-copy-message || e2e_fail "no screenshot of the message box"
e2e_focus "$box"
e2e_keys Return
e2e_wait_exit "$second"
[ "$E2E_STATUS" != 0 ] || e2e_fail "the refused second copy ended with status 0"
e2e_log "second copy refused with a message box, status $E2E_STATUS"

[ "$(sha256sum <"$store")" = "$before" ] || e2e_fail "the second copy changed Screen.txt"
[ ! -e "$store.lock" ] || e2e_fail "a lock file appeared beside the store"
kill -0 "$first" || e2e_fail "the first copy ended"
e2e_focus "$main_wid"
e2e_keys Right
e2e_expect_store "$store" 292,242 292,243 293,243
e2e_expect_board "$main_wid" 292,242 292,243 293,243
e2e_log "first copy's store untouched, and it still draws"
e2e_pass

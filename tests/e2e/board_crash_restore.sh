#!/usr/bin/env bash
# A drawing survives a killed process: the next start draws the store left on disk and
# takes over the dead copy's lock.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
store="$E2E_APP_DIR/Screen.txt"

e2e_start
first=$E2E_PID
wid=$(e2e_wait_window "$first")
e2e_focus "$wid"
e2e_keys Left Left Left Up Up Right
drawing=(290,242 289,242 288,242 288,241 288,240 289,240)
e2e_expect_store "$store" "${drawing[@]}"
e2e_expect_board "$wid" "${drawing[@]}"
kill -9 "$first"
e2e_wait_exit "$first"
e2e_expect_store "$store" "${drawing[@]}"

e2e_start_board
wid=$E2E_WID
e2e_expect_board "$wid" "${drawing[@]}"
e2e_log "the killed copy's drawing is back on screen"

# The restored board keeps working: the pen starts in the centre, the old cells stay.
e2e_keys Down
e2e_expect_store "$store" "${drawing[@]}" 291,243
e2e_expect_board "$wid" "${drawing[@]}" 291,243
e2e_expect_size "$store" $((243 * E2E_RECORD_BYTES))
e2e_pass

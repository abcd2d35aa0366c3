#!/usr/bin/env bash
# Closing the window deletes Screen.txt; F3 (Exit) ends at once and leaves it for the next
# start, which shows the drawing again.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
store="$E2E_APP_DIR/Screen.txt"

# Close button (WM_DELETE_WINDOW): the store goes away with the window.
e2e_start_board
wid=$E2E_WID
e2e_keys Right Right
e2e_expect_store "$store" 292,242 293,242
e2e_close_ends "$E2E_PID" "$wid" "$store"
[ ! -e "$store.lock" ] || e2e_fail "Screen.txt.lock is still there after closing the window"
e2e_log "closing the window deleted Screen.txt"

# F3: the program ends and the store stays, cells intact.
e2e_start_board
wid=$E2E_WID
e2e_expect_board "$wid"
e2e_keys Down Down Left
drawing=(291,243 291,244 290,244)
e2e_expect_store "$store" "${drawing[@]}"
e2e_keys F3
e2e_wait_exit "$E2E_PID"
[ "$E2E_STATUS" = 0 ] || e2e_fail "F3 ended the program with status $E2E_STATUS"
[ -f "$store" ] || e2e_fail "F3 deleted Screen.txt"
e2e_expect_store "$store" "${drawing[@]}"
e2e_expect_size "$store" $((244 * E2E_RECORD_BYTES))
e2e_log "F3 left Screen.txt with the drawing"

# The next start shows what the store holds, and the pen starts in the centre again.
e2e_start_board
wid=$E2E_WID
e2e_expect_board "$wid" "${drawing[@]}"
e2e_keys Up
e2e_expect_store "$store" "${drawing[@]}" 291,241
e2e_expect_board "$wid" "${drawing[@]}" 291,241
e2e_log "the next start showed the stored drawing"
e2e_pass

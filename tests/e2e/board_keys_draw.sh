#!/usr/bin/env bash
# Arrow keys draw on screen and in Screen.txt; another key re-records the pen's cell; F2
# clears both the board and the store.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
store="$E2E_APP_DIR/Screen.txt"

e2e_start_board
wid=$E2E_WID
e2e_expect_board "$wid"
[ -f "$store" ] || e2e_fail "no Screen.txt in $E2E_APP_DIR after start"
e2e_expect_size "$store" 0

# From the start (291, 242): 5 right, 3 down, 2 left, 1 up.
e2e_keys Right Right Right Right Right Down Down Down Left Left Up
drawing=(292,242 293,242 294,242 295,242 296,242 296,243 296,244 296,245 295,245 294,245 294,244)
e2e_expect_store "$store" "${drawing[@]}"
e2e_expect_size "$store" $((245 * E2E_RECORD_BYTES)) # rows up to the lowest one drawn
e2e_expect_board "$wid" "${drawing[@]}"
e2e_log "arrow keys drew 11 cells, on screen and in the store"

e2e_keys F2
e2e_expect_board "$wid"
e2e_expect_store "$store"
e2e_expect_size "$store" $((485 * E2E_RECORD_BYTES))
# every byte of the cleared store is zero (pen fields included, as nothing set them)
[ "$(tr -d '\0' <"$store" | wc -c)" = 0 ] || e2e_fail "F2 left non-zero bytes in the store"
e2e_log "F2 cleared board and store (566480 zero bytes)"

# A non-arrow key leaves the pen where it is and records its cell again.
e2e_keys space
e2e_expect_store "$store" 294,244
e2e_expect_board "$wid" 294,244
e2e_keys a Right
e2e_expect_store "$store" 294,244 295,244
e2e_expect_board "$wid" 294,244 295,244
e2e_expect_size "$store" $((485 * E2E_RECORD_BYTES))
e2e_log "space and a re-recorded the pen's cell; drawing goes on from it"

kill -0 "$E2E_PID" || e2e_fail "the program ended during the test"
e2e_pass

#!/usr/bin/env bash
# F1 opens the help viewer on the welcome page; F3 ends the program at once and keeps
# Screen.txt; closing the main window ends it too, help viewer open or not, and deletes
# Screen.txt.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
e2e_add_help "$E2E_APP_DIR"
e2e_start_a11y_bus # to read the topic the viewer shows
store="$E2E_APP_DIR/Screen.txt"

# e2e_open_help MAIN_WID: F1 on the board; prints the help viewer's window once it shows the
# welcome page.
e2e_open_help() {
  local help
  e2e_focus "$1"
  e2e_keys F1
  help=$(e2e_wait_window "$E2E_PID" '^Nimbolt Sketch Help$')
  [ "$help" != "$1" ] || e2e_fail "F1 gave no window of its own"
  e2e_expect_window_content "$E2E_PID" "Welcome to Nimbolt Sketch"
  e2e_expect_window_content "$E2E_PID" "Getting started" # a heading of that page only
  echo "$help"
}

# F1, then F3 on the board.
e2e_start_board
wid=$E2E_WID
e2e_keys Left Left
drawing=(290,242 289,242)
e2e_expect_store "$store" "${drawing[@]}"
help=$(e2e_open_help "$wid")
e2e_expect_window_painted "$help" 5000
e2e_log "F1 opened the help viewer on the welcome page"
kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended after F1"
e2e_focus "$wid"
e2e_keys F3
e2e_wait_exit "$E2E_PID"
[ "$E2E_STATUS" = 0 ] || e2e_fail "F3 ended the program with status $E2E_STATUS"
e2e_expect_store "$store" "${drawing[@]}"
e2e_log "F3 ended the program (help viewer open) and left Screen.txt"

# Closing the main window while the help viewer is open ends the program and its store.
e2e_start
wid=$(e2e_wait_window "$E2E_PID")
e2e_expect_board "$wid" "${drawing[@]}"
help=$(e2e_open_help "$wid")
e2e_close_ends "$E2E_PID" "$wid" "$store"
e2e_log "closing the main window ended the program (help viewer open) and deleted Screen.txt"
e2e_pass

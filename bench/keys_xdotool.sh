#!/usr/bin/env bash
# 10,000 arrow keys typed by xdotool into the real program under Xvfb, in a zig-zag that
# fills whole rows. Reports keys per second and checks that every key was recorded.
# Usage: keys_xdotool.sh PROGRAM
set -euo pipefail
source "$(dirname "$0")/../tests/e2e/lib.sh"
E2E_NAME=keys_xdotool
E2E_TIMEOUT=120
e2e_init "${1:-}"
store="$E2E_APP_DIR/Screen.txt"
total=${KEYS:-10000}

# The keys and the cells they must leave: first left to column 1, then a full row right,
# one down, a full row left, one down ... Pen moves are clamped at the edges.
keys=()
declare -A cells=()
x=291 y=242
press() {
  keys+=("$1")
  case $1 in
    Left) [ "$x" -gt 1 ] && x=$((x - 1)) ;;
    Right) [ "$x" -lt "$E2E_BOARD_W" ] && x=$((x + 1)) ;;
    Down) [ "$y" -lt "$E2E_BOARD_H" ] && y=$((y + 1)) ;;
  esac
  cells["$x,$y"]=1
}
run=$((E2E_BOARD_W - 1))
dir=Left
n=$((x - 1))
while [ "${#keys[@]}" -lt "$total" ]; do
  for ((i = 0; i < n && ${#keys[@]} < total; i++)); do press "$dir"; done
  [ "${#keys[@]}" -lt "$total" ] && press Down
  if [ "$dir" = Left ]; then dir=Right; else dir=Left; fi
  n=$run
done
last_offset=$(((y - 1) * E2E_RECORD_BYTES + (x - 1) * 2))
e2e_log "${#keys[@]} keys, ${#cells[@]} distinct cells, pen ends at ($x, $y)"

e2e_start
wid=$(e2e_wait_window "$E2E_PID")
e2e_focus "$wid"

last_cell_set() { [ "$(od -An -t d2 -j "$last_offset" -N2 "$store" 2>/dev/null | tr -d ' ')" = 1 ]; }
start=$(date +%s%N)
xdotool key --delay 0 "${keys[@]}" || e2e_fail "xdotool stopped early"
sent=$(date +%s%N)
e2e_release Left Right Down
e2e_poll "$E2E_TIMEOUT" last_cell_set || e2e_fail "the last key's cell ($x, $y) never reached the store"
done_at=$(date +%s%N)

e2e_expect_store "$store" "${!cells[@]}"
e2e_expect_board "$wid" "${!cells[@]}"
awk -v n="$total" -v s="$start" -v t="$sent" -v d="$done_at" 'BEGIN {
  printf "keys_xdotool: %d keys sent in %.2f s, all recorded after %.2f s: %.0f keys/s\n",
    n, (t - s) / 1e9, (d - s) / 1e9, n / ((d - s) / 1e9) }'
echo "keys_xdotool: PASS none lost: the store and the board hold exactly the ${#cells[@]} expected cells"
e2e_pass

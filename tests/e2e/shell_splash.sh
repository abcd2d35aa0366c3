#!/usr/bin/env bash
# The splash comes first: a 402 x 227 window without the program's title, centred, painted;
# its timer then shows the main window and the splash goes. Space on the splash ends the
# program before any main window or Screen.txt exists; arrow keys on it do nothing.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
splash_w=402 splash_h=227
screen_w=1280 screen_h=1024 # e2e_start_xvfb's screen
stores=("$E2E_APP_DIR/Screen.txt" "$E2E_DIR/data/nimbolt-sketch/Screen.txt")
e2e_watch_maps

# e2e_map_time EVENT WID: when the watcher saw WID mapped or unmapped ("" if never).
e2e_map_time() {
  awk -v kind="$1" -v id="$(printf '0x%x' "$2")" '$1 == kind && $3 == id { print $2; exit }' "$E2E_MAPS"
}

# e2e_start_splash: start the program; sets splash to its splash window once it shows.
e2e_start_splash() {
  e2e_start
  splash=$(e2e_wait_window_sized "$E2E_PID" "$splash_w" "$splash_h")
  [ "$(xdotool getwindowname "$splash")" != "Nimbolt Sketch" ] ||
    e2e_fail "the $splash_w x $splash_h window carries the main window's title"
}

# Left alone, the splash hands over to the main window.
e2e_start_splash
read -r x y _ <<<"$(e2e_window_geometry "$splash")"
dx=$((x - (screen_w - splash_w) / 2)) dy=$((y - (screen_h - splash_h) / 2))
[ "${dx#-}" -le 1 ] && [ "${dy#-}" -le 1 ] ||
  e2e_fail "the splash is at ($x, $y), not centred on the ${screen_w}x$screen_h screen"
e2e_expect_window_painted "$splash" 3000
main=$(e2e_wait_window "$E2E_PID")
e2e_wait_window_gone "$splash"
shown=$(e2e_map_time map "$splash") opened=$(e2e_map_time map "$main") gone=$(e2e_map_time unmap "$splash")
[ -n "$shown" ] && [ -n "$opened" ] && [ -n "$gone" ] ||
  e2e_fail "the watcher missed a window change: $(cat "$E2E_MAPS")"
# the splash stays up for its two seconds, not for a moment: a lenient lower bound
awk -v a="$shown" -v b="$opened" 'BEGIN { exit !(b - a >= 1.0) }' ||
  e2e_fail "the main window came $(awk -v a="$shown" -v b="$opened" 'BEGIN { print b - a }') s after the splash"
awk -v a="$opened" -v b="$gone" 'BEGIN { exit !(b >= a) }' ||
  e2e_fail "the splash went before the main window was shown"
e2e_expect_board "$main"
e2e_log "splash shown, main window $(awk -v a="$shown" -v b="$opened" 'BEGIN { print b - a }') s later, then the splash went"
e2e_close "$main"
e2e_wait_exit "$E2E_PID"

# Arrow keys on the splash do not dismiss it: the main window follows as usual, its board empty.
e2e_start_splash
e2e_focus "$splash"
e2e_keys Left Up Right Down
e2e_window_viewable "$splash" || e2e_fail "the splash went while the arrow keys were typed"
main=$(e2e_wait_window "$E2E_PID")
e2e_wait_window_gone "$splash"
e2e_expect_board "$main"
e2e_log "arrow keys left the splash alone"
e2e_close "$main"
e2e_wait_exit "$E2E_PID"

# Space on the splash ends the program: no main window, no store.
rm -f "${stores[@]}"
seen=$(wc -l <"$E2E_MAPS")
e2e_start_splash
e2e_focus "$splash"
e2e_keys space
e2e_wait_exit "$E2E_PID"
[ "$E2E_STATUS" = 0 ] || e2e_fail "space on the splash ended the program with status $E2E_STATUS"
mains=$(tail -n +"$((seen + 1))" "$E2E_MAPS" | awk '$1 == "map" && $5 == "Nimbolt" && $6 == "Sketch" && NF == 6')
[ -z "$mains" ] || e2e_fail "a main window was shown after space on the splash: $mains"
for s in "${stores[@]}"; do
  [ ! -e "$s" ] || e2e_fail "space on the splash left $s"
done
e2e_log "space on the splash ended the program with no main window and no Screen.txt"
e2e_pass

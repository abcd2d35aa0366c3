#!/usr/bin/env bash
# An application folder the user cannot write to (an installed copy): the store lives in
# the user's data folder instead, and drawing works as usual.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
user=sktest
if [ "$(id -u)" != 0 ]; then
  echo "[board_readonly_folder] SKIP: needs root to run the program as another user"
  exit 77
fi
e2e_init "${1:-}"
# another test run may be creating the user at the same moment: ask again after a failure
id -u "$user" >/dev/null 2>&1 || useradd -M -r -s /usr/sbin/nologin "$user" 2>/dev/null ||
  id -u "$user" >/dev/null 2>&1 || e2e_fail "could not create user $user"

app="$E2E_DIR/installed"
mkdir -p "$app"
install -m 755 "$E2E_PROG" "$app/nimbolt-sketch"
chmod 755 "$app" # root's, so not writable for the user
home="$E2E_DIR/user-home"
data="$home/xdg-data"
mkdir -p "$home/runtime" "$data"
chown -R "$user:" "$home"
chmod 700 "$home" "$home/runtime"
store="$data/nimbolt-sketch/Screen.txt"

runuser -u "$user" -- env -u DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=xcb QT_STYLE_OVERRIDE=Fusion \
  LSAN_OPTIONS="$E2E_LSAN" DISPLAY="$DISPLAY" HOME="$home" XDG_DATA_HOME="$data" XDG_RUNTIME_DIR="$home/runtime" \
  "$app/nimbolt-sketch" >"$E2E_DIR/user-run.log" 2>&1 &
runner=$!
e2e_track "$runner"
wid=$(e2e_wait_window "")
pid=$(xdotool getwindowpid "$wid")
e2e_track "$pid"
[ "$(stat -c %U "/proc/$pid")" = "$user" ] || e2e_fail "the program does not run as $user"
e2e_focus "$wid"
e2e_keys Up Up Right
drawing=(291,241 291,240 292,240)
e2e_expect_store "$store" "${drawing[@]}"
e2e_expect_size "$store" $((241 * E2E_RECORD_BYTES))
e2e_expect_board "$wid" "${drawing[@]}"
[ "$(stat -c %U "$store")" = "$user" ] || e2e_fail "$store is not owned by $user"
leftovers=$(find "$app" -mindepth 1 ! -name nimbolt-sketch)
[ -z "$leftovers" ] || e2e_fail "files appeared in the read-only folder: $leftovers"
e2e_log "store fell back to $store"

e2e_close_ends "$runner" "$wid" "$store"
e2e_log "closing the window deleted the per-user store"
e2e_pass

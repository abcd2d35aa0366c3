#!/usr/bin/env bash
# Install into a scratch DESTDIR: every file and the link where they belong; the installed
# program starts from the link under Xvfb, keeps its store in its own folder and finds its
# help; uninstalling leaves no file or link and none of the folders made for it.
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_FOLDER}" && pwd)
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/layout.sh"
e2e_init "$build/nimbolt-sketch"
root="$E2E_DIR/root" app="$E2E_DIR/root/usr/lib/nimbolt-sketch"

DESTDIR="$root" cmake --install "$build" --prefix /usr >"$E2E_DIR/install.log" 2>&1 || e2e_fail "cmake --install failed"
check_layout "$root" /usr || e2e_fail "the installed tree is wrong"

# Started through the link: the application folder is the link's target folder.
e2e_start_a11y_bus
e2e_start_board "$root/usr/bin"
e2e_poll "$E2E_TIMEOUT" test -f "$app/Screen.txt" || e2e_fail "no Screen.txt in $app: $(ls -A "$app")"
[ ! -e "$root/usr/bin/Screen.txt" ] || e2e_fail "the store went beside the link"
e2e_keys F1
e2e_wait_window "$E2E_PID" '^Nimbolt Sketch Help$' >/dev/null
# the contents tree is filled only when the help file was found and read
e2e_expect_window_text "$E2E_PID" "Welcome to Nimbolt Sketch"
e2e_close_ends "$E2E_PID" "$E2E_WID" "$app/Screen.txt"
e2e_log "started from the link; the store was in $app; F1 opened the installed help"

DESTDIR="$root" cmake -P "$build/packaging/uninstall.cmake" >"$E2E_DIR/uninstall.log" 2>&1 || e2e_fail "uninstall failed"
left=$(cd "$root" && find . -mindepth 1 -printf '%y %P\n' | sort | paste -sd,)
[ "$left" = "d usr,d usr/bin,d usr/lib,d usr/share" ] || e2e_fail "uninstall left behind: $left"
e2e_pass

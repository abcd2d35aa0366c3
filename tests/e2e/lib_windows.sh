# Finding, watching and reading windows; sourced by lib.sh.

# e2e_wait_other_window PID WID...: print the id of a visible window of PID that is none of
# the given ones (a message box titled like its owner, say).
e2e_wait_other_window() {
  local pid=$1 end w
  shift
  end=$(($(date +%s%N) + E2E_TIMEOUT * 1000000000))
  while [ "$(date +%s%N)" -lt "$end" ]; do
    for w in $(xdotool search --all --onlyvisible --pid "$pid" --name '' 2>/dev/null); do
      case " $* " in *" $w "*) ;; *) echo "$w"; return 0 ;; esac
    done
    sleep 0.05
  done
  e2e_fail "process $pid shows no window besides $* within $E2E_TIMEOUT s"
}

# e2e_window_geometry WID: print "X Y W H", or fail if the window is gone.
e2e_window_geometry() {
  local geo
  geo=$(xdotool getwindowgeometry --shell "$1" 2>/dev/null) || return 1
  printf '%s %s %s %s\n' "$(sed -n 's/^X=//p' <<<"$geo")" "$(sed -n 's/^Y=//p' <<<"$geo")" \
    "$(sed -n 's/^WIDTH=//p' <<<"$geo")" "$(sed -n 's/^HEIGHT=//p' <<<"$geo")"
}

e2e_find_window_sized() {
  local wid geo
  for wid in $(xdotool search --all --onlyvisible --pid "$1" --name '' 2>/dev/null); do
    geo=$(e2e_window_geometry "$wid") || continue
    [ "${geo#* * }" = "$2 $3" ] && { echo "$wid"; return 0; }
  done
  return 1
}

# e2e_wait_window_sized PID W H [SECONDS]: print the id of PID's visible window of W x H pixels
# (for windows without a title of their own).
e2e_wait_window_sized() {
  local pid=$1 w=$2 h=$3 limit=${4:-$E2E_TIMEOUT} wid end
  end=$(($(date +%s%N) + limit * 1000000000))
  while [ "$(date +%s%N)" -lt "$end" ]; do
    wid=$(e2e_find_window_sized "$pid" "$w" "$h") && { echo "$wid"; return 0; }
    kill -0 "$pid" 2>/dev/null || e2e_fail "process $pid ended before showing a $w x $h window"
    sleep 0.05
  done
  e2e_fail "no visible $w x $h window for process $pid within ${limit} s"
}

e2e_window_viewable() {
  xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

e2e_window_not_viewable() { ! e2e_window_viewable "$1"; }

# e2e_wait_window_gone WID [SECONDS]: wait until the window is hidden or destroyed.
e2e_wait_window_gone() {
  e2e_poll "${2:-$E2E_TIMEOUT}" e2e_window_not_viewable "$1" ||
    e2e_fail "window $1 is still shown after ${2:-$E2E_TIMEOUT} s"
}

# e2e_expect_window_painted WID MIN_INK: screenshot; the window's area must hold at least
# MIN_INK pixels that differ from its most common colour, in more than two colours.
e2e_expect_window_painted() {
  local geo stats colours ink
  geo=$(e2e_window_geometry "$1") || e2e_fail "window $1 is gone"
  e2e_shot "window-$1"
  stats=$("$E2E_PY" "$E2E_TOOL" region-ink "$E2E_PPM" $geo) || e2e_fail "could not read the screenshot"
  read -r _ colours _ ink <<<"$stats"
  [ "$colours" -gt 2 ] && [ "$ink" -ge "$2" ] ||
    e2e_fail "window $1 ($geo) looks blank: $stats, want at least $2 inked pixels; screenshot $E2E_SHOT"
  e2e_log "window $1 painted: $stats"
}

# e2e_watch_maps: log every top-level window mapped or unmapped from now on to $E2E_MAPS
# ("map|unmap UNIXTIME 0xWID WxH NAME" lines; UNIXTIME as in $EPOCHREALTIME).
e2e_watch_maps() {
  E2E_MAPS="$E2E_DIR/maps.log"
  "$E2E_PY" "$E2E_TOOL" watch-maps >"$E2E_MAPS" 2>"$E2E_DIR/maps.err" &
  E2E_DAEMON_PIDS+=("$!")
  e2e_poll "$E2E_TIMEOUT" grep -qx ready "$E2E_MAPS" ||
    e2e_fail "the window watcher did not start: $(cat "$E2E_DIR/maps.err")"
}

e2e_window_text_starting() {
  "$E2E_PY" "$E2E_TOOL" texts "$1" >"$E2E_DIR/texts.txt" 2>"$E2E_DIR/texts.err" &&
    PREFIX="$2" awk 'index($0, ENVIRON["PREFIX"]) == 1 { print; found = 1; exit } END { exit !found }' \
      "$E2E_DIR/texts.txt"
}

# e2e_expect_window_text_starting PID PREFIX: wait until one of PID's widgets shows a text that
# starts with PREFIX; E2E_TEXT is that text (needs e2e_start_a11y_bus).
e2e_expect_window_text_starting() {
  E2E_TEXT=
  e2e_poll "$E2E_TIMEOUT" e2e_window_text_starting "$1" "$2" >"$E2E_DIR/text-found.txt" ||
    e2e_fail "no widget of process $1 shows a text starting '$2'; its texts: $(paste -sd'|' "$E2E_DIR/texts.txt" 2>/dev/null) $(tail -n3 "$E2E_DIR/texts.err" 2>/dev/null)"
  E2E_TEXT=$(head -n1 "$E2E_DIR/text-found.txt")
}

e2e_window_content_has() {
  "$E2E_PY" "$E2E_TOOL" texts "$1" content >"$E2E_DIR/texts.txt" 2>"$E2E_DIR/texts.err" &&
    grep -Fxq -- "$2" "$E2E_DIR/texts.txt"
}

# e2e_expect_window_content PID LINE: like e2e_expect_window_text, but LINE may also be a whole
# line of the text a text view shows (a help topic, say).
e2e_expect_window_content() {
  e2e_poll "$E2E_TIMEOUT" e2e_window_content_has "$1" "$2" ||
    e2e_fail "no widget of process $1 shows the line '$2'; its texts: $(paste -sd'|' "$E2E_DIR/texts.txt" 2>/dev/null | cut -c1-600) $(tail -n3 "$E2E_DIR/texts.err" 2>/dev/null)"
}

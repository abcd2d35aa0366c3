# Shared helpers for driving the real program under a private Xvfb with xdotool.
# Source it, then call e2e_init PROGRAM. Everything runs in a scratch folder that is
# removed on success and kept (with its screenshots) on failure.
#
# Main calls:
#   e2e_init PROG                 private X server, scratch folder, copy of PROG in $E2E_APP_DIR
#   e2e_start [APP_DIR]           start the program copied there; sets E2E_PID, E2E_LOG
#   e2e_wait_window PID [RE] [S]  print the id of PID's visible window named RE
#   e2e_focus WID; e2e_keys KEY.. focus a window; type keys into it (then release them)
#   e2e_close WID                 close politely (WM_DELETE_WINDOW)
#   e2e_wait_exit PID [S]         wait for PID to end; sets E2E_STATUS
#   e2e_start_board [APP_DIR]     e2e_start, then wait for the main window and focus it (E2E_WID)
#   e2e_close_ends PID WID [STORE]  close; the program ends with 0 and STORE is gone
#   e2e_shot NAME                 screenshot; sets E2E_SHOT (png) and E2E_PPM
#   e2e_expect_board WID CELLS..  poll screenshots until the board shows exactly CELLS ("c,r")
#   e2e_expect_store FILE CELLS.. poll until the store's set cells are exactly CELLS
#   e2e_fail MSG                  screenshot, report, keep the scratch folder, exit 1
#   e2e_skip MSG                  report why the test cannot run here, exit 77
# Windows, texts and files:
#   e2e_add_help APP_DIR          the compiled help beside the program, copied into APP_DIR/Help
#   e2e_type TEXT                 type text into the focused window
#   e2e_file_dialog PID TITLE PATH  type PATH into the file dialog TITLE, press Return
#   e2e_wait_other_window PID WID..  print a visible window of PID that is none of WIDs
#   e2e_wait_window_sized PID W H print the id of PID's visible W x H window (no title needed)
#   e2e_wait_window_gone WID [S]  wait until the window is hidden or destroyed
#   e2e_expect_window_painted WID N  the window's area in a screenshot is not blank
#   e2e_watch_maps                log windows mapped and unmapped from now on to $E2E_MAPS
#   e2e_expect_window_text_starting PID PREFIX  a widget's text starting so; sets E2E_TEXT
#   e2e_expect_window_content PID LINE  a widget's name or a line of a text view's text
#   e2e_expect_sketch_file FILE PX PY CELLS..  a saved sketch: 485 records, CELLS, pen everywhere

E2E_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_PY=/usr/bin/python3 # the system Python carries python3-xlib; a pyenv one may not
E2E_TOOL="$E2E_HERE/x11_tool.py"
E2E_TIMEOUT=${E2E_TIMEOUT:-10}
E2E_BOARD_W=582
E2E_BOARD_H=485
E2E_RECORD_BYTES=1168
E2E_BG=239,239,239 # QPalette::Button under Fusion
E2E_INK=0,0,0      # QPalette::ButtonText under Fusion
# for a program built with sanitizers: leaks of system libraries are not the program's
E2E_LSAN="suppressions=$E2E_HERE/lsan.supp:print_suppressions=0"
E2E_PIDS=()
E2E_DAEMON_PIDS=()
E2E_XVFB_PID=
E2E_OK=0

e2e_log() { printf '[%s] %s\n' "${E2E_NAME:-e2e}" "$*"; }

e2e_fail() {
  trap - ERR
  local name=${E2E_NAME:-e2e} p log
  printf '[%s] FAIL: %s\n' "$name" "$*" >&2
  if [ -n "$E2E_XVFB_PID" ] && ! kill -0 "$E2E_XVFB_PID" 2>/dev/null; then
    printf '[%s] the X server (pid %s) is gone: %s\n' "$name" "$E2E_XVFB_PID" "$(tail -n3 "$E2E_DIR/xvfb.log" 2>/dev/null)" >&2
  elif [ -n "${DISPLAY:-}" ] && e2e_shot failure 2>/dev/null; then
    printf '[%s] screenshot: %s\n' "$name" "$E2E_SHOT" >&2
  fi
  for p in "${E2E_PIDS[@]}"; do
    kill -0 "$p" 2>/dev/null || printf '[%s] process %s has ended\n' "$name" "$p" >&2
  done
  for log in "${E2E_DIR:-/nonexistent}"/*.log; do
    [ -s "$log" ] && [ "$log" != "$E2E_DIR/xvfb.log" ] &&
      printf '[%s] %s:\n%s\n' "$name" "$log" "$(tail -n5 "$log")" >&2
  done
  exit 1
}

e2e_pass() {
  E2E_OK=1
  e2e_log "PASS"
  exit 0
}

e2e_cleanup() {
  local p
  for p in "${E2E_PIDS[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  for p in "${E2E_PIDS[@]}"; do wait "$p" 2>/dev/null || true; done
  for p in "${E2E_DAEMON_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  # daemons started from this shell (cupsd) finish their shut-down before their folder goes
  for p in "${E2E_DAEMON_PIDS[@]}"; do wait "$p" 2>/dev/null || true; done
  if [ -n "$E2E_XVFB_PID" ]; then
    kill "$E2E_XVFB_PID" 2>/dev/null || true
    wait "$E2E_XVFB_PID" 2>/dev/null || true
  fi
  if [ "$E2E_OK" = 1 ] && [ -n "${E2E_DIR:-}" ]; then
    rm -rf "$E2E_DIR"
  elif [ -n "${E2E_DIR:-}" ]; then
    printf '[%s] scratch folder kept: %s\n' "${E2E_NAME:-e2e}" "$E2E_DIR" >&2
  fi
}

# e2e_poll SECONDS CMD...: run CMD every 50 ms until it succeeds; fails on timeout.
e2e_poll() {
  local end=$(($(date +%s%N) + $1 * 1000000000))
  shift
  until "$@"; do
    [ "$(date +%s%N)" -ge "$end" ] && return 1
    sleep 0.05
  done
  return 0
}

e2e_start_xvfb() {
  local fdfile="$E2E_DIR/display" n
  : >"$fdfile"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset -ac \
    3>"$fdfile" >"$E2E_DIR/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  for n in $(seq 200); do
    grep -q '^[0-9]' "$fdfile" 2>/dev/null && break
    kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_fail "Xvfb did not start: $(cat "$E2E_DIR/xvfb.log")"
    sleep 0.05
  done
  grep -q '^[0-9]' "$fdfile" || e2e_fail "Xvfb gave no display number within 10 s"
  export DISPLAY=":$(head -n1 "$fdfile")"
}

# e2e_init PROGRAM: set up the scratch folder, X server and application copy.
e2e_init() {
  E2E_NAME=${E2E_NAME:-$(basename "$0" .sh)}
  E2E_PROG=$(readlink -f "${1:?usage: $0 PROGRAM}")
  [ -x "$E2E_PROG" ] || { echo "[$E2E_NAME] FAIL: no program at $1" >&2; exit 1; }
  local tool
  for tool in Xvfb xdotool xwd convert; do
    command -v "$tool" >/dev/null || { echo "[$E2E_NAME] FAIL: $tool is not installed" >&2; exit 1; }
  done
  "$E2E_PY" -c 'import Xlib' 2>/dev/null ||
    { echo "[$E2E_NAME] FAIL: $E2E_PY lacks python3-xlib" >&2; exit 1; }
  E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/nimbolt-e2e.XXXXXX")
  chmod 755 "$E2E_DIR" # another user may need to reach folders inside
  trap e2e_cleanup EXIT
  trap 'e2e_fail "command failed at line $LINENO"' ERR
  mkdir -p "$E2E_DIR/shots" "$E2E_DIR/home" "$E2E_DIR/data" "$E2E_DIR/runtime"
  chmod 700 "$E2E_DIR/runtime"
  E2E_APP_DIR=$(e2e_new_app_dir app)
  E2E_ENV=(-u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u QT_SCALE_FACTOR
    QT_QPA_PLATFORM=xcb QT_STYLE_OVERRIDE=Fusion QT_ACCESSIBILITY=0
    HOME="$E2E_DIR/home" XDG_DATA_HOME="$E2E_DIR/data" XDG_CONFIG_HOME="$E2E_DIR/home/.config"
    XDG_RUNTIME_DIR="$E2E_DIR/runtime" LSAN_OPTIONS="$E2E_LSAN")
  e2e_start_xvfb
  e2e_log "display $DISPLAY, scratch $E2E_DIR"
}

# e2e_new_app_dir NAME: a fresh application folder holding a copy of the program.
e2e_new_app_dir() {
  local dir="$E2E_DIR/$1"
  mkdir -p "$dir"
  cp "$E2E_PROG" "$dir/nimbolt-sketch"
  echo "$dir"
}

# e2e_start [APP_DIR]: start the program; E2E_PID is its process id, E2E_LOG its output.
# It runs on X11 with a fixed style, and private home, data and runtime folders.
e2e_start() {
  local dir=${1:-$E2E_APP_DIR}
  E2E_LOG="$E2E_DIR/run-${#E2E_PIDS[@]}.log"
  (cd "$E2E_DIR" && exec env "${E2E_ENV[@]}" "$dir/nimbolt-sketch") >"$E2E_LOG" 2>&1 &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
}

# e2e_start_a11y_bus: a private session bus; programs started after it publish their widgets
# over AT-SPI, so that a test can read the texts of a message box.
e2e_start_a11y_bus() {
  local out
  out=$(env HOME="$E2E_DIR/home" XDG_RUNTIME_DIR="$E2E_DIR/runtime" \
    dbus-daemon --session --fork --print-address=1 --print-pid=1) ||
    e2e_fail "could not start a session bus (dbus-daemon)"
  E2E_DAEMON_PIDS+=("$(sed -n 2p <<<"$out")")
  export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$out")
  E2E_ENV+=(DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" QT_ACCESSIBILITY=1
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1)
}

e2e_window_has_text() {
  "$E2E_PY" "$E2E_TOOL" texts "$1" >"$E2E_DIR/texts.txt" 2>"$E2E_DIR/texts.err" &&
    grep -Fxq -- "$2" "$E2E_DIR/texts.txt"
}

# e2e_expect_window_text PID TEXT: wait until one of PID's widgets shows exactly TEXT
# (needs e2e_start_a11y_bus before the program started).
e2e_expect_window_text() {
  e2e_poll "$E2E_TIMEOUT" e2e_window_has_text "$1" "$2" ||
    e2e_fail "no widget of process $1 shows '$2'; its texts: $(paste -sd'|' "$E2E_DIR/texts.txt" 2>/dev/null) $(tail -n3 "$E2E_DIR/texts.err" 2>/dev/null)"
}

# e2e_track PID: have a process started elsewhere killed at exit too.
e2e_track() { E2E_PIDS+=("$1"); }

e2e_find_window() {
  if [ -n "$1" ]; then
    xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null | tail -n1 || true
  else
    xdotool search --onlyvisible --name "$2" 2>/dev/null | tail -n1 || true
  fi
}

# e2e_wait_window PID [NAME_RE] [SECONDS]: print the window id once it is visible. An empty
# PID takes a window of any process (the private X server holds only ours).
e2e_wait_window() {
  local pid=$1 re=${2:-'^Nimbolt Sketch$'} limit=${3:-$E2E_TIMEOUT} wid= end
  end=$(($(date +%s%N) + limit * 1000000000))
  while [ "$(date +%s%N)" -lt "$end" ]; do
    wid=$(e2e_find_window "$pid" "$re")
    [ -n "$wid" ] && { echo "$wid"; return 0; }
    if [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; then
      e2e_fail "process $pid ended before showing a window named /$re/"
    fi
    sleep 0.05
  done
  e2e_fail "no visible window named /$re/ ${pid:+for process $pid }within ${limit} s"
}

e2e_focus() {
  xdotool windowfocus --sync "$1" || e2e_fail "could not focus window $1"
}

# e2e_keys KEY...: type keys into the focused window, then release them all again so that
# nothing stays held in the server if xdotool was interrupted.
e2e_keys() {
  local status=0
  xdotool key --delay "${E2E_KEY_DELAY:-2}" "$@" || status=$?
  e2e_release "$@"
  [ "$status" = 0 ] || e2e_fail "xdotool key failed ($status)"
}

# e2e_release KEY...: send a key-up for each distinct key.
e2e_release() {
  local k seen=" "
  for k in "$@"; do
    case "$seen" in *" $k "*) continue ;; esac
    seen+="$k "
    xdotool keyup "$k" 2>/dev/null || true
  done
}

e2e_close() {
  "$E2E_PY" "$E2E_TOOL" close "$1" || e2e_fail "could not send WM_DELETE_WINDOW to $1"
}

# e2e_wait_exit PID [SECONDS]: wait for the process to end; its exit status goes in E2E_STATUS.
e2e_wait_exit() {
  local pid=$1 limit=${2:-$E2E_TIMEOUT} end
  end=$(($(date +%s%N) + limit * 1000000000))
  while kill -0 "$pid" 2>/dev/null; do
    # a finished child stays a zombie until waited for: ask ps whether it still runs
    [ "$(ps -o stat= -p "$pid" 2>/dev/null | cut -c1)" = Z ] && break
    [ "$(date +%s%N)" -ge "$end" ] && e2e_fail "process $pid still runs after ${limit} s"
    sleep 0.05
  done
  E2E_STATUS=0
  wait "$pid" 2>/dev/null || E2E_STATUS=$?
}

# e2e_skip MSG: report why the test cannot run here and end it as skipped (CTest code 77).
e2e_skip() {
  trap - ERR
  printf '[%s] SKIP: %s\n' "${E2E_NAME:-e2e}" "$*"
  E2E_OK=1
  exit 77
}

# e2e_add_help APP_DIR: copy the compiled help built beside the program into APP_DIR/Help.
e2e_add_help() {
  local help
  help="$(dirname "$E2E_PROG")/Help/Nimbolt Sketch Help.chm"
  [ -f "$help" ] || e2e_fail "no compiled help at $help (is chmcmd installed?)"
  mkdir -p "$1/Help"
  cp "$help" "$1/Help/"
}

# e2e_type TEXT: type TEXT into the focused window, then release its keys.
e2e_type() {
  xdotool type --delay "${E2E_KEY_DELAY:-2}" -- "$1" || e2e_fail "xdotool type failed"
  xdotool keyup shift 2>/dev/null || true
}

# e2e_file_dialog PID TITLE PATH: in PID's file dialog called TITLE, type PATH over the file
# name and press Return; waits until the dialog has gone.
e2e_file_dialog() {
  local dialog
  dialog=$(e2e_wait_window "$1" "^$2\$")
  e2e_focus "$dialog"
  e2e_keys ctrl+a # the typed text replaces a name the dialog may offer
  e2e_type "$3"
  e2e_keys Return
  e2e_wait_window_gone "$dialog"
}

# e2e_start_board [APP_DIR]: start the program and wait for its main window (after the
# splash); E2E_WID is the window's id, and it has the keyboard focus.
e2e_start_board() {
  e2e_start "$@"
  E2E_WID=$(e2e_wait_window "$E2E_PID")
  e2e_focus "$E2E_WID"
}

# e2e_close_ends PID WID [STORE]: close the window politely; the program must end with
# status 0 and, when STORE is given, take that screen store with it.
e2e_close_ends() {
  e2e_close "$2"
  e2e_wait_exit "$1"
  [ "$E2E_STATUS" = 0 ] || e2e_fail "closing the window ended the program with status $E2E_STATUS"
  [ -z "${3:-}" ] || [ ! -e "$3" ] || e2e_fail "closing the window left $3"
}

# Window and board helpers, in files of their own.
source "$E2E_HERE/lib_windows.sh"
source "$E2E_HERE/lib_board.sh"

#!/usr/bin/env bash
# Start-up of the real program under Xvfb against its floor, startup_floor: a Qt Widgets
# program that shows one window of the splash's size and nothing else. Runs alternate
# between the program, the floor, and the floor with one label in the splash's font (for
# the cost of fonts alone). Each run is timed from starting the process to its first window
# being mapped; that window is then closed, which ends the program, so that peak memory
# (/usr/bin/time -v) is that of start-up to the first window. Three more runs of the program
# go on to the main window, for its time and peak memory.
# Usage: startup.sh PROGRAM [RUNS] [FLOOR]
set -euo pipefail
source "$(dirname "$0")/../tests/e2e/lib.sh"
E2E_NAME=startup
e2e_init "${1:-}"
runs=${2:-11}
floor=$(readlink -f "${3:-$(dirname "$E2E_PROG")/bench/startup_floor}")
[ -x "$floor" ] || e2e_fail "no floor program at $floor (target startup_floor)"
[ -x /usr/bin/time ] || e2e_fail "/usr/bin/time is not installed (Debian package time)"
goal_time=1.2 goal_memory=1.15 goal_main_mib=60

# run NAME LAST CMD...: seconds to the first window, seconds to a window named like LAST
# (closed then), peak RSS in KiB.
run() {
  local name=$1 last=$2 report="$E2E_DIR/time-$1.txt" out first at status
  shift 2
  out=$("$E2E_PY" "$E2E_TOOL" first-map . "$last" 20 /usr/bin/time -v -o "$report" env "${E2E_ENV[@]}" "$@") ||
    e2e_fail "$name: no window"
  read -r first at status _ <<<"$out"
  [ "$status" = 0 ] || e2e_fail "$name: the program ended with status $status: $(cat "$report")"
  echo "$first $at $(sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$report")"
}

declare -A secs kib
kinds=(program floor text)
for i in $(seq "$runs"); do
  app=$(e2e_new_app_dir "run$i")/nimbolt-sketch # a fresh folder: no store from the last run
  for k in $(seq 0 2); do
    kind=${kinds[$(((i + k) % 3))]}
    case $kind in
      program) cmd=("$app") ;; floor) cmd=("$floor") ;; text) cmd=("$floor" --text) ;;
    esac
    read -r t _ m <<<"$(run "$kind$i" . "${cmd[@]}")"
    secs[$kind]+="$t " kib[$kind]+="$m "
  done
  if [ "$i" -le 3 ]; then
    read -r _ t m <<<"$(run "main$i" '^Nimbolt Sketch$' "$(e2e_new_app_dir "main$i")/nimbolt-sketch")"
    secs[main]+="$t " kib[main]+="$m "
  fi
done

median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ms() { awk -v s="$(median "${secs[$1]}")" 'BEGIN { printf "%.1f", s * 1000 }'; }
mib() { awk -v k="$(median "${kib[$1]}")" 'BEGIN { printf "%.1f", k / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" -v d="${3:-2}" 'BEGIN { printf "%.*f", d, a / b }'; }
verdict() { awk -v v="$1" -v g="$2" 'BEGIN { print (v <= g) ? "PASS" : "MISS" }'; }
rt=$(ratio "$(ms program)" "$(ms floor)") rm=$(ratio "$(median "${kib[program]}")" "$(median "${kib[floor]}")")
echo "startup: start to first window: $(ms program) ms vs startup_floor $(ms floor) ms = ${rt}x" \
  "(goal ${goal_time}x, medians of $runs): $(verdict "$(ratio "$(ms program)" "$(ms floor)" 4)" "$goal_time")"
echo "startup: peak memory to first window: $(mib program) MiB vs startup_floor $(mib floor) MiB = ${rm}x" \
  "(goal ${goal_memory}x): $(verdict "$(ratio "$(median "${kib[program]}")" "$(median "${kib[floor]}")" 4)" "$goal_memory")"
echo "startup: for information, startup_floor --text: $(ms text) ms, $(mib text) MiB;" \
  "the program against it: $(ratio "$(ms program)" "$(ms text)")x, $(ratio "$(mib program)" "$(mib text)")x"
echo "startup: with the main window: shown after $(ms main) ms, peak memory $(mib main) MiB" \
  "(goal < $goal_main_mib MiB): $(verdict "$(mib main)" "$goal_main_mib")"
e2e_pass

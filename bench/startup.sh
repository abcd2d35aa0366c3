#!/usr/bin/env bash
# Start-up of the real program under Xvfb: time from starting the process to its first
# window being mapped (median of several runs), and peak memory from /usr/bin/time -v over
# a run that goes on to the main window, which is then closed.
# Usage: startup.sh PROGRAM [RUNS]
set -euo pipefail
source "$(dirname "$0")/../tests/e2e/lib.sh"
E2E_NAME=startup
e2e_init "${1:-}"
runs=${2:-5}
goal_seconds=0.3
goal_mib=60
[ -x /usr/bin/time ] || e2e_fail "/usr/bin/time is not installed (Debian package time)"

times=() mains=() rss=()
for i in $(seq "$runs"); do
  app=$(e2e_new_app_dir "run$i") # a fresh folder: no store left by the previous run
  report="$E2E_DIR/time$i.txt"
  out=$("$E2E_PY" "$E2E_TOOL" first-map . '^Nimbolt Sketch$' 20 \
    /usr/bin/time -v -o "$report" env "${E2E_ENV[@]}" "$app/nimbolt-sketch") ||
    e2e_fail "run $i: no main window"
  read -r seconds main_seconds status name <<<"$out"
  [ "$status" = 0 ] || e2e_fail "run $i: the program ended with status $status: $(cat "$report")"
  kib=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$report")
  [ -n "$kib" ] || e2e_fail "run $i: no memory figure in $report"
  times+=("$seconds")
  mains+=("$main_seconds")
  rss+=("$kib")
  e2e_log "run $i: first window \"$name\" after $seconds s, main window after $main_seconds s, peak RSS $((kib / 1024)) MiB"
done

median_of() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
    print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
median=$(median_of "${times[@]}")
main_median=$(median_of "${mains[@]}")
peak=$(printf '%s\n' "${rss[@]}" | sort -n | tail -n1)
verdict() { awk -v v="$1" -v g="$2" 'BEGIN { print (v < g) ? "PASS" : "MISS" }'; }
t_verdict=$(verdict "$median" "$goal_seconds")
m_verdict=$(verdict "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')" "$goal_mib")
printf 'startup: start to first window: median %.3f s over %d runs (goal < %s s): %s\n' \
  "$median" "$runs" "$goal_seconds" "$t_verdict"
printf 'startup: start to main window: median %.3f s (for information)\n' "$main_median"
printf 'startup: peak memory: %.1f MiB (goal < %s MiB): %s\n' \
  "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')" "$goal_mib" "$m_verdict"
e2e_pass

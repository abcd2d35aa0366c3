#!/usr/bin/env bash
# Ctrl+P and Return in the print dialog print the board on the default printer: a private
# CUPS scheduler with a cups-pdf queue turns the job into a PDF that shows the drawing.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

cups_running() { lpstat -r 2>/dev/null | grep -qx 'scheduler is running'; }

# start_cups: a private CUPS scheduler (its own configuration, spool and socket, so the
# machine's set-up is left alone) with a cups-pdf queue "PDF" as its default. It is stopped at
# exit. CUPS_SERVER points lpstat and programs started afterwards at it. Skips the test when
# CUPS or cups-pdf is missing or no scheduler can run here.
start_cups() {
  local cups="$E2E_DIR/cups" ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
  command -v lpadmin >/dev/null && [ -x /usr/sbin/cupsd ] ||
    e2e_skip "CUPS is not installed (scripts/install-deps.sh test installs it)"
  [ -x /usr/lib/cups/backend/cups-pdf ] && [ -f "$ppd" ] ||
    e2e_skip "cups-pdf is not installed (scripts/install-deps.sh test installs it)"
  [ "$(id -u)" = 0 ] || e2e_skip "cups-pdf writes its files only under a scheduler run by root"
  mkdir -p "$cups/conf" "$cups/spool" "$cups/cache" "$cups/state" "$cups/log"
  mkdir -m 1777 "$cups/tmp" # filters run as lp and write their temporary files here
  cat >"$cups/conf/cupsd.conf" <<CONF
LogLevel warn
Listen $cups/cups.sock
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
  cat >"$cups/conf/cups-files.conf" <<CONF
ServerRoot $cups/conf
RequestRoot $cups/spool
CacheDir $cups/cache
StateDir $cups/state
TempDir $cups/tmp
ErrorLog $cups/log/error_log
AccessLog $cups/log/access_log
PageLog $cups/log/page_log
SystemGroup root
FileDevice No
CONF
  # cups-pdf names its file after the job's title and number, in a folder shared by every
  # scheduler on the machine: start numbering at this shell's pid, unique among running tests
  printf 'NextJobId %s\n' "$$" >"$cups/cache/job.cache"
  /usr/sbin/cupsd -f -c "$cups/conf/cupsd.conf" -s "$cups/conf/cups-files.conf" \
    >"$E2E_DIR/cupsd.log" 2>&1 &
  cupsd_pid=$!
  E2E_DAEMON_PIDS+=("$cupsd_pid")
  export CUPS_SERVER="$cups/cups.sock"
  if ! e2e_poll "$E2E_TIMEOUT" cups_running; then
    kill -0 "$cupsd_pid" 2>/dev/null ||
      e2e_skip "cupsd cannot run on this machine: $(tail -n3 "$E2E_DIR/cupsd.log" "$cups/log/error_log" 2>/dev/null)"
    e2e_fail "cupsd (pid $cupsd_pid) did not answer within $E2E_TIMEOUT s"
  fi
  # "printer drivers are deprecated" is a warning only
  lpadmin -p PDF -E -v cups-pdf:/ -P "$ppd" >"$E2E_DIR/lpadmin.log" 2>&1 ||
    e2e_fail "could not create the cups-pdf queue: $(cat "$E2E_DIR/lpadmin.log")"
  lpadmin -d PDF >>"$E2E_DIR/lpadmin.log" 2>&1 ||
    e2e_fail "could not make PDF the default printer: $(cat "$E2E_DIR/lpadmin.log")"
  E2E_ENV+=(CUPS_SERVER="$CUPS_SERVER")
  e2e_log "cupsd $cupsd_pid on $CUPS_SERVER, default printer: $(lpstat -d)"
}

# cups_pdf_dir: the folder where cups-pdf puts this user's jobs.
cups_pdf_dir() {
  local out user home
  out=$(sed -n 's/^[[:space:]]*Out[[:space:]]\{1,\}//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -n1)
  out=${out:-'${HOME}/PDF'}
  user=$(id -un)
  home=$(getent passwd "$user" | cut -d: -f6)
  out=${out//'${HOME}'/$home}
  echo "${out//'${USER}'/$user}"
}

# a job has been completed and none waits: the program may submit its job after its dialog
# has gone, so an empty queue alone says nothing
jobs_done() {
  [ -n "$(lpstat -W completed -o 2>/dev/null)" ] && [ -z "$(lpstat -o 2>/dev/null)" ]
}

# wait_printed DIR MARKER [SECONDS]: wait until a job has been completed, the queue is empty
# and the PDF of the last job, newer than MARKER, is in DIR; E2E_PDF is its path.
wait_printed() {
  local limit=${3:-$E2E_TIMEOUT} job
  e2e_poll "$limit" jobs_done ||
    e2e_fail "no print job done after $limit s; queued: $(lpstat -o 2>&1) $(grep '^E' "$E2E_DIR/cups/log/error_log" 2>/dev/null | tail -n3)"
  # cups-pdf names the file after the job's title and number: take our scheduler's last job
  job=$(lpstat -W completed -o | awk '{ sub(/.*-/, "", $1); print $1 }' | sort -n | tail -n1)
  e2e_poll "$limit" new_pdf "$1" "$2" "$job" >/dev/null ||
    e2e_fail "no new PDF of job $job in $1 after $limit s: $(grep '^E' "$E2E_DIR/cups/log/error_log" 2>/dev/null | tail -n3)"
  E2E_PDF=$(new_pdf "$1" "$2" "$job")
}

new_pdf() {
  find "$1" -maxdepth 1 -name "*-job_$3.pdf" -newer "$2" 2>/dev/null | head -n1 | grep .
}

# top_left: read "x y ..." lines, print "X Y", the smallest x and the smallest y.
top_left() {
  awk 'NR == 1 || $1 < mx { mx = $1 } NR == 1 || $2 < my { my = $2 } END { print mx, my }'
}

# from_top_left: read "x y ..." lines, print them as "x y" shifted so that the smallest x
# and the smallest y are 0, sorted by row.
from_top_left() {
  awk 'NR == 1 || $1 < mx { mx = $1 } NR == 1 || $2 < my { my = $2 } { x[NR] = $1; y[NR] = $2 }
    END { for (i = 1; i <= NR; i++) print x[i] - mx, y[i] - my }' | sort -n -k2,2 -k1,1
}

# expect_page_drawing PDF CELL...: the PDF is one page that shows exactly the given cells in
# black, each cell a 96th of an inch, the board within an inch of the page's top-left corner.
# The page is rasterised at four pixels a cell because the printing path may place the image
# a fraction of a pixel off the 96 dpi grid, which smears a 1:1 rasterisation; each cell is then
# read at its centre.
expect_page_drawing() {
  local pdf=$1 base="$E2E_DIR/shots/page" pages k=4 ox oy mc mr
  shift
  pages=$(pdfinfo "$pdf" 2>/dev/null | sed -n 's/^Pages:[[:space:]]*//p')
  [ "$pages" = 1 ] || e2e_fail "$pdf has ${pages:-no} pages, expected 1"
  pdftocairo -r $((96 * k)) -png -singlefile "$pdf" "$base" || e2e_fail "pdftocairo could not read $pdf"
  convert "$base.png" "ppm:$base.ppm" || e2e_fail "could not convert $base.png"
  "$E2E_PY" "$E2E_TOOL" page-cells "$base.ppm" "$k" >"$E2E_DIR/page-cells.txt"
  rm -f "$base.ppm"
  [ -s "$E2E_DIR/page-cells.txt" ] || e2e_fail "the printed page is blank: $base.png"
  grep ' partial$' "$E2E_DIR/page-cells.txt" >"$E2E_DIR/page-partial.txt" &&
    e2e_fail "ink on the page that does not fill whole cells, at cells (from the top-left ink) $(paste -sd'|' "$E2E_DIR/page-partial.txt" | cut -c1-200): $base.png"
  # both shifted to their top-left corner, they must be the same set
  sed 1d "$E2E_DIR/page-cells.txt" | from_top_left >"$E2E_DIR/page-seen.txt"
  e2e_cells_lines "$@" | from_top_left >"$E2E_DIR/page-want.txt"
  diff -q "$E2E_DIR/page-want.txt" "$E2E_DIR/page-seen.txt" >/dev/null ||
    e2e_fail "the page shows another drawing (cells from its top-left ink; want < > seen):
$(diff "$E2E_DIR/page-want.txt" "$E2E_DIR/page-seen.txt" | head -20)
page: $base.png"
  read -r ox oy <"$E2E_DIR/page-cells.txt"
  read -r mc mr < <(e2e_cells_lines "$@" | top_left)
  ox=$((ox / k - mc + 1)) oy=$((oy / k - mr + 1)) # where board pixel (0, 0) lies, at 96 dpi
  [ "$ox" -ge 0 ] && [ "$ox" -le 96 ] && [ "$oy" -ge 0 ] && [ "$oy" -le 96 ] ||
    e2e_fail "the board's corner lies at ($ox, $oy) px on the page, not within an inch of its top-left: $base.png"
  e2e_log "page shows the drawing; board corner at ($ox, $oy) px at 96 dpi"
}

e2e_init "${1:-}"
start_cups
out=$(cups_pdf_dir)

e2e_start_board
wid=$E2E_WID
# a hook: 4 right, 3 down, 2 left, 1 up from (291, 242)
e2e_keys Right Right Right Right Down Down Down Left Left Up
drawing=(292,242 293,242 294,242 295,242 295,243 295,244 295,245 294,245 293,245 293,244)
e2e_expect_board "$wid" "${drawing[@]}"

marker="$E2E_DIR/before-print"
touch "$marker"
e2e_keys ctrl+p
dialog=$(e2e_wait_window "$E2E_PID" '^Print$')
e2e_focus "$dialog"
e2e_keys Return
e2e_wait_window_gone "$dialog"
wait_printed "$out" "$marker" 30
e2e_log "cups-pdf wrote $E2E_PDF"
# keep the page with the test's other files, out of the shared output folder
mv "$E2E_PDF" "$E2E_DIR/shots/printed.pdf"
expect_page_drawing "$E2E_DIR/shots/printed.pdf" "${drawing[@]}"

# printing leaves the board as it was, and the program runs on
kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended after printing"
e2e_expect_board "$wid" "${drawing[@]}"
e2e_pass

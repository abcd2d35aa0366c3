# Screenshots of the board, the screen store and sketch files; sourced by lib.sh.

# e2e_shot NAME: screenshot of the whole screen as $E2E_SHOT (PNG) and $E2E_PPM (for reading).
e2e_shot() {
  E2E_SHOT="$E2E_DIR/shots/$1.png"
  E2E_PPM="$E2E_DIR/shots/$1.ppm"
  xwd -root -silent | convert xwd:- -write "png:$E2E_SHOT" "ppm:$E2E_PPM" 2>/dev/null
}

# e2e_board_origin WID: print "X Y", the screen position of board pixel (0, 0). The board
# fills the bottom of the window, below the menu bar, and spans its full width. On trouble
# it says why on stderr and fails.
e2e_board_origin() {
  local geo x y w h
  geo=$(xdotool getwindowgeometry --shell "$1" 2>/dev/null) || { echo "window $1 is gone" >&2; return 1; }
  x=$(sed -n 's/^X=//p' <<<"$geo")
  y=$(sed -n 's/^Y=//p' <<<"$geo")
  w=$(sed -n 's/^WIDTH=//p' <<<"$geo")
  h=$(sed -n 's/^HEIGHT=//p' <<<"$geo")
  [ "$w" = "$E2E_BOARD_W" ] || { echo "window is $w px wide, not the board's $E2E_BOARD_W" >&2; return 1; }
  [ "$h" -gt "$E2E_BOARD_H" ] || { echo "window is only $h px high, the board needs $E2E_BOARD_H" >&2; return 1; }
  echo "$x $((y + h - E2E_BOARD_H))"
}

# e2e_board_ink PPM WID: print "c r R,G,B" for every board pixel that is not background.
e2e_board_ink() {
  local origin
  origin=$(e2e_board_origin "$2") || return 1
  "$E2E_PY" "$E2E_TOOL" board-ink "$1" $origin "$E2E_BG"
}

# Cells given as "c,r" words, turned into sorted "c r" lines.
e2e_cells_lines() {
  local cell
  for cell in "$@"; do echo "${cell/,/ }"; done | sort -n -k2,2 -k1,1 | uniq
}

e2e_board_matches() {
  local wid=$1 want=$2
  : >"$E2E_DIR/board-seen.txt"
  e2e_shot board 2>"$E2E_DIR/board-error.txt" || return 1
  e2e_board_ink "$E2E_PPM" "$wid" 2>"$E2E_DIR/board-error.txt" >"$E2E_DIR/board-ink.txt" || return 1
  sort -n -k2,2 -k1,1 "$E2E_DIR/board-ink.txt" >"$E2E_DIR/board-seen.txt"
  diff -q "$want" "$E2E_DIR/board-seen.txt" >/dev/null
}

# e2e_expect_board WID CELL...: wait until the board shows ink exactly at the given cells
# ("c,r", grid numbering from 1) and background everywhere else.
e2e_expect_board() {
  local wid=$1 want="$E2E_DIR/board-want.txt"
  shift
  e2e_cells_lines "$@" | sed "/./s/\$/ $E2E_INK/" >"$want"
  if ! e2e_poll "$E2E_TIMEOUT" e2e_board_matches "$wid" "$want"; then
    cp "$E2E_SHOT" "$E2E_DIR/shots/board-mismatch.png"
    E2E_SHOT="$E2E_DIR/shots/board-mismatch.png"
    local why
    why=$(cat "$E2E_DIR/board-error.txt" 2>/dev/null)
    e2e_fail "board differs from the expected drawing${why:+ ($why)} (want < > seen):
$(diff "$want" "$E2E_DIR/board-seen.txt" | head -20)
screenshot: $E2E_SHOT"
  fi
}

# e2e_store_cells FILE: print "c r v" for every store cell that is not 0.
e2e_store_cells() { "$E2E_PY" "$E2E_TOOL" store-cells "$1"; }

e2e_store_size() { stat -c %s "$1" 2>/dev/null || echo missing; }

e2e_store_matches() {
  [ -f "$1" ] || return 1
  e2e_store_cells "$1" >"$E2E_DIR/store-seen.txt" 2>/dev/null || return 1
  diff -q "$2" "$E2E_DIR/store-seen.txt" >/dev/null
}

# e2e_expect_store FILE CELL...: wait until the store's non-zero cells are exactly the given
# cells, each holding 1.
e2e_expect_store() {
  local file=$1 want="$E2E_DIR/store-want.txt"
  shift
  e2e_cells_lines "$@" | sed '/./s/$/ 1/' >"$want"
  if ! e2e_poll "$E2E_TIMEOUT" e2e_store_matches "$file" "$want"; then
    e2e_fail "store $file holds other cells than expected (want < > seen):
$(diff "$want" "$E2E_DIR/store-seen.txt" 2>&1 | head -20)"
  fi
}

# e2e_expect_size FILE BYTES: the store's length, checked after its cells have settled.
e2e_expect_size() {
  local size
  size=$(e2e_store_size "$1")
  [ "$size" = "$2" ] || e2e_fail "$1 is $size bytes, expected $2"
}

# e2e_expect_sketch_file FILE PX PY CELL...: the file is a whole sketch (485 records) whose
# set cells are exactly CELLS ("c,r") and whose every record carries the pen (PX, PY).
e2e_expect_sketch_file() {
  local file=$1 px=$2 py=$3 pens
  shift 3
  e2e_poll "$E2E_TIMEOUT" test -f "$file" || e2e_fail "no file $file"
  e2e_expect_store "$file" "$@"
  e2e_expect_size "$file" $((485 * E2E_RECORD_BYTES))
  pens=$("$E2E_PY" "$E2E_TOOL" sketch-pens "$file")
  [ "$pens" = "$px $py 485" ] ||
    e2e_fail "$file: want pen $px,$py in all 485 records, found (x y records): $(paste -sd'|' <<<"$pens")"
}

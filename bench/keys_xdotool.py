#!/usr/bin/python3
"""10,000 arrow keys typed by xdotool into the real program under Xvfb, in a zig-zag that fills
whole rows. Reports keys per second and checks that every key was recorded.
Usage: keys_xdotool.py PROGRAM [KEYS]"""
import os, sys, time
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'e2e'))
from harness import COLUMNS, ROWS, read_cells, run


def zigzag(total):
    """The keys, and the cells they leave: left to column 1, a full row right, one down, a full
    row left, one down ... (the pen stops at the edges)."""
    keys, cells, x, y = [], set(), 291, 242
    direction, run_length = 'Left', x - 1
    while len(keys) < total:
        for key in [direction] * run_length + ['Down']:
            if len(keys) == total:
                break
            keys.append(key)
            x = max(1, x - 1) if key == 'Left' else min(COLUMNS, x + 1) if key == 'Right' else x
            y = min(ROWS, y + 1) if key == 'Down' else y
            cells.add((x, y))
        direction, run_length = 'Right' if direction == 'Left' else 'Left', COLUMNS - 1
    return keys, cells, (x, y)


def keys_xdotool(s):
    total = int(sys.argv[2]) if len(sys.argv) > 2 else 10000
    keys, cells, last = zigzag(total)
    store = f'{s.app}/Screen.txt'
    program = s.start()
    main = s.window(program, name='Nimbolt Sketch')
    s.focus(main)
    start = time.monotonic()
    s.keys(*keys, delay=0)
    sent = time.monotonic()
    s.poll(f'cell {last} in the store', lambda: last in read_cells(store), timeout=120)
    done = time.monotonic()
    s.expect_store(store, cells)
    s.expect_board(main, cells)
    print(f'keys_xdotool: {total} keys sent in {sent - start:.2f} s, all recorded after {done - start:.2f} s: '
          f'{total / (done - start):.0f} keys/s')
    print(f'keys_xdotool: none lost: the store and the board hold exactly the {len(cells)} expected cells')


run(keys_xdotool)

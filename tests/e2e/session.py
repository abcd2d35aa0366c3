#!/usr/bin/python3
"""A user's session with the real program: splash, drawing, Shake, save and open through the dialogs,
help, Exit, a restart, a second copy, a killed copy, a file argument, the close button, the splash."""
import os, shutil, struct
from harness import COLUMNS, ROWS, STORE_BYTES, check, read_cells, run

MAIN, SPLASH = 'Nimbolt Sketch', (402, 227)


def session(s):
    store, sketches = f'{s.app}/Screen.txt', f'{s.dir}/sketches'  # not a dialog's own folder
    os.makedirs(sketches)
    shutil.copytree(os.path.join(os.path.dirname(s.prog), 'Help'), f'{s.app}/Help')

    def draw(main, keys, cells):  # keys typed on the board; the board and the store then show exactly cells
        s.keys(*keys, to=main)
        s.expect_store(store, cells)
        s.expect_board(main, cells)

    # The splash first, without the main window's title; the main window about 2 s later. Each is
    # centred by its frame, which the window manager says has a title bar 20 pixels high.
    def centred(w):
        return abs(2 * w.x + w.width - 1280) <= 2 and abs(2 * (w.y - 20) + w.height + 20 - 1024) <= 2
    s.frame_every_window(0, 0, 20, 0)
    splash = s.window(first := s.start(), size=SPLASH)
    check(splash.name != MAIN and s.painted(splash) and centred(splash), f'splash {splash} is titled, blank or off centre')
    main = s.window(first, name=MAIN)
    check(centred(main), f'the main window {main} is not centred by its frame')
    s.gone(splash)
    shown = {xid: t for t, xid in s.maps}
    check(shown[main.xid] - shown[splash.xid] >= 1.0, 'the main window came less than 1 s after the splash')

    # Arrow keys draw on screen and in the store; F2 clears both.
    draw(main, ['Right', 'Right', 'Down', 'Down', 'Left'], {(292, 242), (293, 242), (293, 243), (293, 244), (292, 244)})
    s.message(first, 'canvas "Sketch board": Pen at column 292, row 244')
    draw(main, ['F2'], set())
    check(os.path.getsize(store) == STORE_BYTES, f'F2 left a store of {os.path.getsize(store)} bytes')

    # Save (the name without its suffix), clear, draw elsewhere, open: the drawing and the saved pen come back.
    saved, cat = {(292, 243), (292, 242), (291, 242)}, f'{sketches}/cat.nsd'
    draw(main, ['Up', 'Up', 'Left'], saved)
    s.file_dialog(first, 'ctrl+s', 'Save Sketch As', f'{sketches}/cat')
    s.expect_store(cat, saved)
    check(read_cells(cat)[1] == {(291, 242)} and os.path.getsize(cat) == STORE_BYTES,
          'the sketch file is not 485 records that all carry the pen (291, 242)')
    draw(main, ['F2', 'Down', 'Down'], {(291, 243), (291, 244)})
    s.keys('ctrl+o')
    s.message(first, 'Save changes to your sketch before opening another?')
    s.keys('alt+d')
    s.file_dialog(first, None, 'Open Sketch', cat)
    s.expect_board(main, saved)
    saved.add((290, 242))
    draw(main, ['Left'], saved)

    # F3 ends the program at once and leaves the store.
    s.keys('F3')
    s.status(first, 0, 'F3')
    s.expect_store(store, saved)

    # The next start shows the kept drawing. A second copy meanwhile is refused.
    main = s.window(again := s.start(), name=MAIN)
    s.expect_board(main, saved)
    before, second = open(store, 'rb').read(), s.start()
    box = s.window(second, name=MAIN)
    s.message(second, 'Nimbolt Sketch is already running.')
    check(box.height < 300, f'the second copy showed {box}, not a message box')
    s.keys('Return', to=box)
    check(s.status(second) != 0, 'the refused second copy ended with status 0')
    check(open(store, 'rb').read() == before, 'the second copy changed the store')

    # A killed copy leaves its drawing for the next start.
    saved.add((291, 243))
    draw(main, ['Down'], saved)
    again.kill()
    s.status(again)
    main = s.window(third := s.start(), name=MAIN)
    s.expect_board(main, saved)

    # F1 shows the help viewer. The close button asks first about the unsaved drawing: Escape keeps
    # everything, Alt+D discards it, ends the program with the help still open and deletes the store.
    s.keys('F1', to=main)
    help_window = s.window(third, name='Nimbolt Sketch Help')
    s.poll('help viewer painted', lambda: s.painted(help_window))
    for answer in ('Escape', 'alt+d'):
        s.close(main)
        s.message(third, 'Save changes to your sketch before closing?')
        s.keys(answer, to=(question := s.window(third, name=MAIN, other_than=main)))
        s.gone(question)
    check(third.poll() is None or third.returncode == 0, 'Escape on the question did not keep the program')
    s.status(third, 0, 'Discard')
    check(not os.path.exists(store), 'closing the window left Screen.txt')

    # A sketch named on the command line (relative to the working folder), its pen (300, 200), opens in the window.
    cells = {(1, 1), (582, 485), (10, 20), (299, 200), (300, 200)}
    open(f'{sketches}/my drawing.nsd', 'wb').write(b''.join(struct.pack(
        '<584h', *((c, r) in cells for c in range(1, COLUMNS + 1)), 300, 200) for r in range(1, ROWS + 1)))
    main = s.window(opened := s.start('my drawing.nsd', cwd=sketches), name=MAIN)
    s.expect_board(main, cells)
    s.message(opened, 'Pen at column 300, row 200')
    draw(main, ['Right'], cells | {(301, 200)})
    s.close(main)
    s.keys('alt+d', to=s.window(opened, name=MAIN, other_than=main))
    s.status(opened, 0, 'Discard')

    # A file that cannot be opened still starts the board, which says why in a message box.
    missing = s.start(gone := f'{sketches}/gone.nsd')
    s.message(missing, f'Could not open the sketch {gone}: No such file or directory.')
    one = s.window(missing, name=MAIN)
    box, main = sorted([one, s.window(missing, name=MAIN, other_than=one)], key=lambda w: w.height)
    check(all(w.name == MAIN for w in s.windows(missing)), 'the splash stayed up behind the message')
    s.keys('Return', to=box)
    s.close(main, missing)

    # A key on the splash ends the program: no other window, no store.
    splash = s.window(last := s.start(), size=SPLASH)
    mark = len(s.maps)
    s.keys('space', to=splash)
    s.status(last, 0, 'space on the splash')
    s.pump()
    check(not s.maps[mark:], f'windows shown after space on the splash: {s.maps[mark:]}')
    check(not os.path.exists(store), 'space on the splash left Screen.txt')


run(session)

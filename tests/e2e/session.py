#!/usr/bin/python3
"""A user's session with the real program: splash, drawing, Shake, save and open through the
real dialogs, help, Exit, a restart, a second copy, a killed copy, a file argument, the close
button, and the splash dismissed by a key."""
import os, shutil
from harness import STORE_BYTES, check, read_cells, run, write_sketch

MAIN = 'Nimbolt Sketch'
SPLASH = (402, 227)


def session(s):
    store = f'{s.app}/Screen.txt'
    sketches = f'{s.dir}/sketches'  # not the dialogs' own folder: see the platform notes
    os.makedirs(sketches)
    shutil.copytree(os.path.join(os.path.dirname(s.prog), 'Help'), f'{s.app}/Help')

    # The splash first, without the main window's title; the main window about 2 s later.
    first = s.start()
    splash = s.window(first, size=SPLASH)
    check(splash.name != MAIN and s.painted(splash), f'splash {splash} is titled or blank')
    main = s.window(first, name=MAIN)
    s.gone(splash)
    shown = {xid: t for t, xid, _ in s.maps}
    check(shown[main.xid] - shown[splash.xid] >= 1.0, 'the main window came less than 1 s after the splash')
    s.expect_board(main, set())

    # Arrow keys draw on screen and in the store; F2 clears both.
    s.focus(main)
    s.keys('Right', 'Right', 'Down', 'Down', 'Left')
    drawn = {(292, 242), (293, 242), (293, 243), (293, 244), (292, 244)}
    s.expect_store(store, drawn)
    s.expect_board(main, drawn)
    s.keys('F2')
    s.expect_board(main, set())
    s.expect_store(store, set())
    check(os.path.getsize(store) == STORE_BYTES, f'F2 left a store of {os.path.getsize(store)} bytes')

    # Save through the dialog (the name without its suffix), then clear, draw elsewhere, and
    # open it again: the drawing comes back and the pen goes on from where it was saved.
    s.keys('Up', 'Up', 'Left')
    saved = {(292, 243), (292, 242), (291, 242)}
    s.expect_store(store, saved)
    s.keys('ctrl+s')
    s.file_dialog(first, 'Save Sketch As', f'{sketches}/cat')
    s.expect(f'{sketches}/cat.nsd', (saved, {(291, 242)}), lambda: read_cells(f'{sketches}/cat.nsd'))
    check(os.path.getsize(f'{sketches}/cat.nsd') == STORE_BYTES, 'the sketch file is not 485 records')
    s.focus(main)
    s.keys('F2', 'Down', 'Down')
    s.expect_board(main, {(291, 243), (291, 244)})
    s.keys('ctrl+o')
    s.file_dialog(first, 'Open Sketch', f'{sketches}/cat.nsd')
    s.expect_board(main, saved)
    s.focus(main)
    s.keys('Left')
    saved.add((290, 242))
    s.expect_board(main, saved)
    s.expect_store(store, saved)

    # F1 shows the help viewer; F3 ends the program at once and leaves the store.
    s.keys('F1')
    help_window = s.window(first, name='Nimbolt Sketch Help')
    s.poll('help viewer painted', lambda: s.painted(help_window))
    s.focus(main)
    s.keys('F3')
    check(s.status(first) == 0, f'F3 ended the program with status {first.popen.returncode}')
    s.expect_store(store, saved)

    # The next start shows the kept drawing. A second copy meanwhile is refused.
    again = s.start()
    main = s.window(again, name=MAIN)
    s.expect_board(main, saved)
    before = open(store, 'rb').read()
    second = s.start()
    box = s.window(second, name=MAIN)
    s.message(second, 'Nimbolt Sketch is already running.')
    check(box.height < 300, f'the second copy showed {box}, not a message box')
    s.focus(box)
    s.keys('Return')
    check(s.status(second) != 0, 'the refused second copy ended with status 0')
    check(open(store, 'rb').read() == before, 'the second copy changed the store')

    # A killed copy leaves its drawing for the next start.
    s.focus(main)
    s.keys('Down')
    saved.add((291, 243))
    s.expect_store(store, saved)
    again.popen.kill()
    s.status(again)
    third = s.start()
    main = s.window(third, name=MAIN)
    s.expect_board(main, saved)

    # The close button ends the program and deletes the store.
    s.close(main)
    check(s.status(third) == 0, f'closing ended the program with status {third.popen.returncode}')
    check(not os.path.exists(store), 'closing the window left Screen.txt')

    # A sketch named on the command line (relative to the working folder) opens in the window.
    cells = {(1, 1), (582, 485), (10, 20), (299, 200), (300, 200)}
    write_sketch(f'{sketches}/my drawing.nsd', cells, (300, 200))
    opened = s.start('my drawing.nsd', cwd=sketches)
    main = s.window(opened, name=MAIN)
    s.expect_board(main, cells)
    s.expect_store(store, cells)
    s.focus(main)
    s.keys('Right')
    s.expect_board(main, cells | {(301, 200)})
    s.close(main)
    check(s.status(opened) == 0, f'closing ended the program with status {opened.popen.returncode}')

    # A key on the splash ends the program: no other window, no store.
    last = s.start()
    splash = s.window(last, size=SPLASH)
    mark = len(s.maps)
    s.focus(splash)
    s.keys('space')
    check(s.status(last) == 0, f'space on the splash ended the program with status {last.popen.returncode}')
    s.pump()
    check(not s.maps[mark:], f'windows shown after space on the splash: {s.maps[mark:]}')
    check(not os.path.exists(store), 'space on the splash left Screen.txt')


run(session)

#!/usr/bin/python3
"""A user's session with the real program: splash, keys, save and open through the dialogs, Exit,
a restart, a second copy, the close button, a file argument, a key on the splash."""
import os
from harness import check, run

MAIN, SPLASH = 'Nimbolt Sketch', (402, 227)


def session(s):
    store, sketches = f'{s.app}/Screen.txt', f'{s.user_env()["HOME"]}/Documents'
    os.makedirs(sketches)  # where the file dialogs start

    def draw(main, keys, cells):  # keys typed on the board; board and store then show just cells
        s.keys(*keys, to=main)
        s.expect_store(store, cells)
        s.expect_board(main, cells)

    # The splash, untitled, then the main window, each centred by its frame (20-pixel title bar).
    def centred(w):
        return abs(2 * w.x + w.width - 1280) <= 2 and abs(2 * w.y + w.height - 1044) <= 2
    s.frame_every_window(0, 0, 20, 0)
    splash = s.window(first := s.start(), size=SPLASH)
    check(splash.name != MAIN, f'the splash {splash} has a title')
    check(centred(splash), f'the splash {splash} is not centred by its frame')
    s.poll('splash painted', lambda: s.painted(splash))
    main = s.window(first, name=MAIN)
    check(centred(main), f'the main window {main} is not centred by its frame')
    s.gone(splash)

    # Keys draw on screen and in the store; a screen reader hears the board and the pen.
    draw(main, ['Right', 'Down', 'Left'], {(292, 242), (292, 243), (291, 243)})
    s.message(first, 'canvas "Sketch board": Pen at column 291, row 243')

    # Save a bare name (into ~/Documents, with the suffix), clear, draw, answer the question, open:
    # drawing and pen come back. Save then offers the sketch opened, and replaces it when told.
    saved, cat = {(291, 242), (290, 242)}, f'{sketches}/cat.nsd'
    draw(main, ['F2', 'Up', 'Left'], saved)
    s.keys('ctrl+s')
    s.message(first, 'combo box "Nimbolt Sketch Drawings (*.nsd)"')
    s.file_dialog(first, 'Save Sketch As', 'cat')
    s.expect_store(cat, saved)
    draw(main, ['F2', 'Down'], {(290, 243)})
    for answer in ('Escape', 'alt+d'):  # Cancel opens no dialog
        s.keys('ctrl+o', to=main)
        s.message(first, 'Save changes to your sketch before opening another?')
        s.keys(answer, to=(question := s.window(first, name=MAIN, other_than=main)))
        s.gone(question)
    s.file_dialog(first, 'Open Sketch', cat)
    s.expect_board(main, saved)
    s.message(first, 'Pen at column 290, row 242')
    draw(main, ['Down'], saved := saved | {(290, 243)})
    s.keys('ctrl+s')
    s.file_dialog(first, 'Save Sketch As', None, replace=True)
    s.expect_store(cat, saved)

    # F3 ends the program at once and leaves the store.
    s.keys('F3', to=main)
    s.status(first, 0, 'F3')
    s.expect_store(store, saved)

    # The next start shows the kept drawing. A second copy meanwhile is refused.
    main = s.window(again := s.start(), name=MAIN)
    s.expect_board(main, saved)
    s.message(second := s.start(), 'Nimbolt Sketch is already running.')
    s.keys('Return', to=s.window(second, name=MAIN))
    check(s.status(second) != 0, 'the refused second copy ended with status 0')

    # The close button asks: Escape keeps all; Alt+D discards, ends the program, deletes the store.
    for answer in ('Escape', 'alt+d'):
        s.close(main)
        s.message(again, 'Save changes to your sketch before closing?')
        s.keys(answer, to=(question := s.window(again, name=MAIN, other_than=main)))
        s.gone(question)
    s.status(again, 0, 'Discard')
    check(not os.path.exists(store), 'closing the window left Screen.txt')

    # A sketch named relative to the working folder, after Qt's own options, opens with its pen,
    # and closes unasked.
    main = s.window(opened := s.start('-style', 'Fusion', 'cat.nsd', cwd=sketches), name=MAIN)
    s.expect_board(main, saved)
    s.message(opened, 'Pen at column 290, row 243')
    s.close(main, opened)

    # A file that cannot be opened, or a name not in the system's encoding, still starts the board,
    # which says why once the splash is gone. Files are named from home.
    for name, why in ((f'{sketches}/gone.nsd', 'sketch ~/Documents/gone.nsd: No such file or'),
                      (b'bad\xff.nsd', 'name ~/Documents/bad\ufffd.nsd cannot be used: it is')):
        missing = s.start(name, cwd=sketches)
        s.message(missing, why)
        one = s.window(missing, name=MAIN)
        box, main = sorted([one, s.window(missing, name=MAIN, other_than=one)],
                           key=lambda w: w.height)
        check(all(w.name == MAIN for w in s.windows(missing)), 'the splash stayed on')
        s.keys('Return', to=box)
        s.close(main, missing)

    # A key on the splash ends the program before there is a board or a store.
    splash = s.window(last := s.start(), size=SPLASH)
    s.keys('space', to=splash)
    s.status(last, 0, 'space on the splash')
    check(not os.path.exists(store), 'space on the splash left Screen.txt')


run(session)

#!/usr/bin/python3
"""The installed program started from its link (argument 1): the store goes into the folder the
link leads to, F1 opens the installed help, and the window closes."""
import os, sys
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'e2e'))
from harness import check, run


def installed_run(s):
    link = os.path.abspath(sys.argv[1])
    store = f'{os.path.dirname(os.path.realpath(link))}/Screen.txt'
    program = s.start(app=os.path.dirname(link))
    main = s.window(program, name='Nimbolt Sketch')
    s.poll(f'store {store}', lambda: os.path.exists(store))
    check(not os.path.exists(f'{os.path.dirname(link)}/Screen.txt'), 'the store is beside the link')
    s.focus(main)
    s.keys('F1')
    s.window(program, name='Nimbolt Sketch Help')
    s.message(program, 'Welcome to Nimbolt Sketch')  # the contents are filled from the help file
    s.close(main)
    s.status(program, 0, 'closing the window')  # which deletes the store: install.sh sees no trace


run(installed_run)

#!/usr/bin/python3
"""An ordinary user runs the program from a folder the user cannot write to: the store goes to the
user's data folder; when no folder is usable, when the store cannot be deleted on closing and when
Shake cannot write, a message says why and the program ends with status 1."""
import os, subprocess
from harness import Skip, check, run

USER, MAIN = 'sktest', 'Nimbolt Sketch'


def readonly_folder(s):
    if os.getuid() != 0:
        raise Skip('needs root to run the program as another user')
    subprocess.run(['useradd', '-M', '-r', '-s', '/usr/sbin/nologin', USER], capture_output=True)  # unless there
    app = s.app_folder('installed')  # root's, mode 755
    data = f'{s.user_env(USER)["HOME"]}/.local/share/nimbolt-sketch'  # the per-user data folder
    store = f'{data}/Screen.txt'

    def start(**how):
        program = s.start(app=app, user=USER, **how)
        return program, s.window(program, name=MAIN)

    def refused(program, words, main=None):
        """The program shows a message with words, then ends with status 1 once it is dismissed."""
        s.message(program, words, user=USER)
        s.focus(s.window(program, name=MAIN, other_than=main))
        s.keys('Return')
        s.status(program, 1)

    # The store falls back to the data folder and goes when the window closes.
    program, main = start()
    s.focus(main)
    s.keys('Up', 'Right')
    s.expect_store(store, {(291, 241), (292, 241)})
    check(os.listdir(app) == ['nimbolt-sketch'], f'files appeared in the application folder: {os.listdir(app)}')
    s.close(main)
    s.status(program, 0, 'closing the window')
    check(not os.path.exists(store), 'closing the window left the store')

    # The store's folder made read-only while the program runs: closing cannot delete the store.
    program, main = start()
    s.poll('store', lambda: os.path.exists(store))
    os.chmod(data, 0o555)
    s.close(main)
    refused(program, store, main)
    os.chmod(data, 0o755)
    os.remove(store)

    # Shake writes the whole store, beyond what the file size limit allows.
    program, main = start(wrap="trap '' XFSZ; ulimit -f 100; exec \"$@\"")
    s.focus(main)
    s.keys('F2')
    refused(program, 'File too large', main)

    # A home the user cannot write to: no folder is usable for the store.
    home = f'{s.dir}/locked-home'
    os.makedirs(home)  # root's, mode 755
    program = s.start(app=app, user=USER, home=home)
    refused(program, home)


run(readonly_folder)

#!/usr/bin/python3
"""An ordinary user runs the program from a folder the user cannot write to: the store goes to the
user's data folder, a sketch in a folder the user cannot write to is saved in place; when no folder
takes the store, it cannot be deleted on closing or a key or Shake cannot write it, a message says
why and the status is 1."""
import os, shutil, subprocess
from harness import Skip, check, run

USER, MAIN = 'sktest', 'Nimbolt Sketch'


def readonly_folder(s):
    if os.getuid() != 0:
        raise Skip('needs root to run the program as another user')
    subprocess.run(['useradd', '-M', '-r', '-s', '/usr/sbin/nologin', USER], capture_output=True)
    app = s.app_folder('installed')  # root's, mode 755
    s.env['XDG_DATA_HOME'] = 'data'  # relative, so ignored for the default below
    data = f'{s.user_env(USER)["HOME"]}/.local/share/nimbolt-sketch'  # the per-user data folder
    store = f'{data}/Screen.txt'

    def start(**how):
        program = s.start(app=app, user=USER, **how)
        return program, s.window(program, name=MAIN)

    def refused(program, words, main):  # a message with words; dismissed, the status is 1
        s.message(program, words, user=USER)
        s.keys('Return', to=s.window(program, name=MAIN, other_than=main))
        s.status(program, 1)

    # Saved, the drawing closes unasked: the store's folder made read-only, the store stays.
    program, main = start()
    s.keys('Up', 'Right', to=main)
    s.expect_store(store, {(291, 241), (292, 241)})
    check(os.listdir(app) == ['nimbolt-sketch'], f'files in the program folder: {os.listdir(app)}')
    os.makedirs(shared := f'{s.dir}/shared')  # root's, mode 755
    open(sketch := f'{shared}/ours.nsd', 'wb').write(bytes(100))
    shutil.chown(sketch, USER, USER)
    s.keys('ctrl+s')
    s.file_dialog(program, 'Save Sketch As', '../shared/ours.nsd', replace=True)  # from home
    s.expect_store(sketch, {(291, 241), (292, 241)})
    check(os.listdir(shared) == ['ours.nsd'], f'files beside the sketch: {os.listdir(shared)}')
    os.chmod(data, 0o555)  # now closing cannot delete the store
    s.close(main)
    refused(program, f'Could not delete {store}: Permission denied.', main)
    os.chmod(data, 0o755)
    os.remove(store)

    # A key and Shake write the store beyond what the file size limit allows.
    for key in ('Down', 'F2'):
        program, main = start(wrap="trap '' XFSZ; ulimit -f 100; exec \"$@\"")
        s.keys(key, to=main)
        refused(program, f'Could not write {store}: File too large.', main)

    # A home the user cannot write to: no folder is usable for the store, and the message says why.
    os.makedirs(home := f'{s.dir}/locked-home')  # root's, mode 755
    refused(s.start(app=app, user=USER, home=home), 'Could not create the folder '
            f'{home}/.local/share/nimbolt-sketch: Permission denied.', None)


run(readonly_folder)

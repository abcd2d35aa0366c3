"""Drives the real program on a private Xvfb as a user would: keys, dialogs, the close button.

run(test) gives test a Session. Every wait goes through Session.poll; on a failure the session
reports the X server's and the programs' state, their output and a screenshot, and keeps its
scratch folder. Needs the Debian python3-xlib (run with /usr/bin/python3), xdotool and xwd.
"""
import os, select, shutil, struct, subprocess, sys, tempfile, time, traceback
from collections import namedtuple
from Xlib import X, Xatom, display, error
from Xlib.protocol import event

COLUMNS, ROWS, RECORD = 582, 485, 1168
STORE_BYTES = ROWS * RECORD
BACKGROUND, INK = (239, 239, 239), (0, 0, 0)  # Fusion's button face and button text
TIMEOUT = 20  # seconds: generous, for a loaded machine
Window = namedtuple('Window', 'xid name x y width height')


class Fail(Exception):
    pass


class Skip(Exception):
    pass


def check(ok, message):
    if not ok:
        raise Fail(message)


def read_cells(path):
    """The cells that are not 0 in a store or sketch file, and the set of pens its records carry."""
    try:
        data = open(path, 'rb').read()
    except FileNotFoundError:
        return None, None
    cells, pens = set(), set()
    for r in range(len(data) // RECORD):
        record = struct.unpack_from('<584h', data, r * RECORD)
        cells.update((c + 1, r + 1) for c, v in enumerate(record[:COLUMNS]) if v)
        pens.add(record[COLUMNS:])
    return cells, pens


def write_sketch(path, cells, pen):
    """A whole sketch file: every record carries the pen; cells hold 1 where drawn."""
    with open(path, 'wb') as f:
        for r in range(1, ROWS + 1):
            f.write(struct.pack('<584h', *((c, r) in cells for c in range(1, COLUMNS + 1)), *pen))


class Program:
    def __init__(self, popen, log, args):
        self.popen, self.log, self.args, self.pid = popen, log, args, popen.pid

    def output(self):
        return open(self.log, errors='replace').read()

    def __str__(self):
        state = 'running' if self.popen.poll() is None else f'ended with status {self.popen.returncode}'
        return f'program {self.pid} {self.args}: {state}; output: {self.output()[-600:]!r}'


class Session:
    def __init__(self, program):
        self.prog = os.path.realpath(program)
        check(os.access(self.prog, os.X_OK), f'no program at {program}')
        self.dir = tempfile.mkdtemp(prefix='nimbolt-e2e.')
        os.chmod(self.dir, 0o755)  # another user may need to reach folders inside
        self.programs, self.daemons, self.maps, self.buses, self.dpy = [], [], [], {}, None
        self.app = self.app_folder('app')
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(['Xvfb', '-displayfd', str(write), '-screen', '0', '1280x1024x24',
                                      '-nolisten', 'tcp', '-noreset', '-ac'], pass_fds=[write],
                                     stdout=open(f'{self.dir}/xvfb.log', 'w'), stderr=subprocess.STDOUT)
        os.close(write)
        number = self.poll('Xvfb to give its display number',
                           lambda: select.select([read], [], [], 0.05)[0] and os.read(read, 16).strip())
        os.environ['DISPLAY'] = f':{number.decode()}'
        self.env = {'PATH': '/usr/bin:/bin', 'DISPLAY': os.environ['DISPLAY'], 'LANG': 'C.UTF-8',
                    'QT_QPA_PLATFORM': 'xcb', 'QT_STYLE_OVERRIDE': 'Fusion', 'QT_ACCESSIBILITY': '0'}
        self.dpy = display.Display()
        self.root = self.dpy.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)  # every window mapped
        self.dpy.sync()

    def app_folder(self, name):
        folder = f'{self.dir}/{name}'
        os.makedirs(folder)
        shutil.copy(self.prog, folder)
        return folder

    def atom(self, name):
        return self.dpy.intern_atom(name)

    def pump(self):
        """Log windows as they are mapped: (time, window id, name)."""
        while self.dpy and self.dpy.pending_events():
            e = self.dpy.next_event()
            if e.type == X.MapNotify:
                self.maps.append((time.monotonic(), e.window.id, self.name(e.window)))

    def poll(self, what, check_once, timeout=TIMEOUT, watch=None):
        """Call check_once every 50 ms until it gives a true value, and return that value."""
        end = time.monotonic() + timeout
        while True:
            check(self.xvfb.poll() is None, f'the X server died while waiting for {what}')
            self.pump()
            value = check_once()
            if value:
                return value
            check(watch is None or watch.popen.poll() is None, f'the program ended while waiting for {what}')
            check(time.monotonic() < end, f'no {what} within {timeout} s')
            time.sleep(0.05)

    def expect(self, what, want, get, watch=None):
        """Poll until get() gives want; a timeout tells what it gave instead."""
        seen = [None]

        def same():
            seen[0] = get()
            return seen[0] == want
        try:
            self.poll(what, same, watch=watch)
        except Fail as e:
            got = seen[0]
            if isinstance(want, (set, dict)) and isinstance(got, type(want)):
                w, g = (set(want.items()), set(got.items())) if isinstance(want, dict) else (want, got)
                got = f'missing {sorted(w - g)[:12]}, extra {sorted(g - w)[:12]}'
            raise Fail(f'{e}: want {str(want)[:200]}, got {str(got)[:300]}') from None

    def user_env(self, user=None, home=None):
        """The environment of the user's programs, with a home and runtime folder of the user's."""
        env = dict(self.env, HOME=home or f'{self.dir}/home-{user or "me"}',
                   XDG_RUNTIME_DIR=f'{self.dir}/runtime-{user or "me"}')
        for folder in (env['HOME'], env['XDG_RUNTIME_DIR']):
            if not os.path.isdir(folder):
                os.makedirs(folder, 0o700)
                if user:
                    shutil.chown(folder, user, user)
        return env

    def start(self, *args, app=None, user=None, home=None, wrap=None, cwd=None):
        """Start the program (in a bash running wrap, which ends with exec "$@", if given)."""
        cmd = [f'{app or self.app}/nimbolt-sketch', *args]
        if wrap:
            cmd = ['bash', '-c', wrap, 'bash', *cmd]
        env = dict(self.user_env(user, home), DBUS_SESSION_BUS_ADDRESS=self.bus(user),
                   QT_ACCESSIBILITY='1', QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1')
        log = f'{self.dir}/run{len(self.programs)}.log'
        popen = subprocess.Popen(cmd, cwd=cwd or self.dir, env=env, stdin=subprocess.DEVNULL,
                                 stdout=open(log, 'w'), stderr=subprocess.STDOUT, user=user, group=user,
                                 extra_groups=[] if user else None)
        self.programs.append(Program(popen, log, args))
        return self.programs[-1]

    def status(self, program):
        """Wait for the program to end; its exit status (negative: the signal that ended it)."""
        self.poll(f'end of program {program.pid}', lambda: program.popen.poll() is not None)
        return program.popen.returncode

    def name(self, w):
        try:
            prop = w.get_full_property(self.atom('_NET_WM_NAME'), self.atom('UTF8_STRING'))
            return prop.value.decode() if prop else w.get_wm_name()
        except error.XError:
            return None  # gone already

    def windows(self, program=None):
        """The visible top-level windows, of one program if given."""
        found = []
        for w in self.root.query_tree().children:
            try:
                pid = w.get_full_property(self.atom('_NET_WM_PID'), Xatom.CARDINAL)
                if w.get_attributes().map_state != X.IsViewable or (
                        program and (not pid or pid.value[0] != program.pid)):
                    continue
                g = w.get_geometry()
                found.append(Window(w.id, self.name(w), g.x, g.y, g.width, g.height))
            except error.XError:
                continue  # gone while we looked
        return found

    def window(self, program, name=None, size=None, other_than=None):
        """Wait for the program's visible window of that name or size (width, height)."""
        def find():
            for w in self.windows(program):
                if (name is None or w.name == name) and (size is None or (w.width, w.height) == size) \
                        and (other_than is None or w.xid != other_than.xid):
                    return w
        return self.poll(f'window {name or size} of program {program.pid}', find, watch=program)

    def gone(self, w):
        self.poll(f'window {w.name!r} to go', lambda: all(v.xid != w.xid for v in self.windows()))

    def focus(self, w):
        self.dpy.create_resource_object('window', w.xid).set_input_focus(X.RevertToParent, X.CurrentTime)
        self.dpy.sync()

    def keys(self, *keys, text=None, delay=2):
        """Type keys (xdotool names) or text into the focused window, then release every key used,
        so that none stays held in the server should xdotool be stopped halfway."""
        cmd = ['xdotool', 'type' if text else 'key', '--delay', str(delay), *(['--', text] if text else keys)]
        done = subprocess.run(cmd, capture_output=True, text=True)
        subprocess.run(['xdotool', 'keyup', *set(keys or ['shift'])], capture_output=True)
        check(done.returncode == 0, f'{cmd} failed: {done.stderr}')

    def close(self, w):
        """What a title bar's close button does: a WM_DELETE_WINDOW message."""
        delete = self.atom('WM_DELETE_WINDOW')
        target = self.dpy.create_resource_object('window', w.xid)
        message = event.ClientMessage(window=target, client_type=self.atom('WM_PROTOCOLS'),
                                      data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        target.send_event(message, event_mask=X.NoEventMask)
        self.dpy.sync()

    def pixels(self, x, y, width, height):
        """The screen's RGB colours in a rectangle, row by row."""
        raw = self.root.get_image(x, y, width, height, X.ZPixmap, 0xffffffff).data
        return [(raw[i + 2], raw[i + 1], raw[i]) for i in range(0, len(raw), 4)]

    def board(self, w):
        """Cell (column, row) and colour of every board pixel that is not the background. The
        board spans the window's width at its bottom, below the menu bar and toolbar."""
        check(w.width == COLUMNS and w.height > ROWS, f'window {w} is not the board window')
        seen = self.pixels(w.x, w.y + w.height - ROWS, COLUMNS, ROWS)
        return {(i % COLUMNS + 1, i // COLUMNS + 1): p for i, p in enumerate(seen) if p != BACKGROUND}

    def expect_board(self, w, cells):
        self.expect('board showing the drawing', dict.fromkeys(cells, INK), lambda: self.board(w))

    def expect_store(self, path, cells):
        self.expect(f'drawing in {path}', set(cells), lambda: read_cells(path)[0])

    def painted(self, w):
        """A window shows more than a plain fill: at least three colours."""
        return len(set(self.pixels(w.x, w.y, w.width, w.height))) > 2

    def daemon(self, cmd, stdout=None, **how):
        """Start a helper process that ends with the session; its output goes to a log."""
        log = open(f'{self.dir}/{os.path.basename(cmd[0])}-{len(self.daemons)}.log', 'w')
        self.daemons.append(Program(subprocess.Popen(cmd, stdout=stdout or log, stderr=log, **how), log.name, cmd))
        return self.daemons[-1]

    def bus(self, user):
        """A session bus of the user's own, over which the user's programs show their widgets."""
        if user not in self.buses:
            out = self.daemon(['dbus-daemon', '--session', '--nofork', '--print-address=1'],
                              stdout=subprocess.PIPE, env=self.user_env(user), user=user).popen.stdout
            self.buses[user] = self.poll('session bus address', lambda: select.select(
                [out], [], [], 0.05)[0] and out.readline().decode().strip())
        return self.buses[user]

    def message(self, program, words, user=None):
        """Wait for a text containing words among the program's widgets; return that text."""
        def find():
            found = subprocess.run([sys.executable, __file__, str(program.pid)], capture_output=True, text=True,
                                   env=dict(self.user_env(user), DBUS_SESSION_BUS_ADDRESS=self.bus(user)), user=user).stdout.splitlines()
            return next((t for t in found if words in t), None)
        text = self.poll(f'text {words!r} shown by program {program.pid}', find, watch=program)
        print(f'program {program.pid} shows: {text}')
        return text

    def file_dialog(self, program, title, path):
        """Type a path into the program's file dialog and press Return; the dialog must go."""
        dialog = self.window(program, name=title)
        self.focus(dialog)
        self.keys('ctrl+a')  # the typed path replaces any name the dialog offers
        self.keys(text=path)
        self.keys('Return')
        self.gone(dialog)

    def report(self, message):
        print(f'FAIL: {message}', file=sys.stderr)
        if self.xvfb.poll() is not None:
            print(f'the X server has died: {open(f"{self.dir}/xvfb.log").read()[-400:]}', file=sys.stderr)
        elif subprocess.run(['xwd', '-root', '-silent', '-out', f'{self.dir}/failure.xwd']).returncode == 0:
            print(f'screenshot: {self.dir}/failure.xwd', file=sys.stderr)
        for p in self.programs + self.daemons:
            print(p, file=sys.stderr)
        print(f'scratch folder kept: {self.dir}', file=sys.stderr)

    def end(self, ok):
        for p in self.programs + self.daemons:
            if p.popen.poll() is None:
                p.popen.kill() if p in self.programs else p.popen.terminate()
            p.popen.wait()
        self.xvfb.terminate()
        self.xvfb.wait()
        if ok:
            shutil.rmtree(self.dir, ignore_errors=True)


def run(test):
    """Run test(session) with the program named on the command line; exit 0, 1 or 77 (skipped)."""
    session = None
    try:
        session = Session(sys.argv[1])
        test(session)
        print('PASS')
        code = 0
    except Skip as e:
        print(f'SKIP: {e}')
        code = 77
    except Exception as e:  # a Fail, or a fault of the test itself
        message = str(e) if isinstance(e, Fail) else traceback.format_exc()
        session.report(message) if session else print(f'FAIL: {message}', file=sys.stderr)
        code = 1
    if session:
        session.end(code != 1)
    sys.exit(code)


def texts(pid):
    """The texts (accessible names) of a program's widgets, read over AT-SPI."""
    import dbus
    accessible = 'org.a11y.atspi.Accessible'
    bus = dbus.SessionBus().get_object('org.a11y.Bus', '/org/a11y/bus')
    a11y = dbus.bus.BusConnection(str(bus.GetAddress(dbus_interface='org.a11y.Bus')))
    owners = a11y.get_object('org.freedesktop.DBus', '/org/freedesktop/DBus')
    names = []

    def walk(owner, path, depth):
        node = a11y.get_object(owner, path)
        names.append(str(node.Get(accessible, 'Name', dbus_interface='org.freedesktop.DBus.Properties')))
        for child_owner, child_path in node.GetChildren(dbus_interface=accessible) if depth < 20 else []:
            walk(str(child_owner), str(child_path), depth + 1)
    registry = a11y.get_object('org.a11y.atspi.Registry', '/org/a11y/atspi/accessible/root')
    for owner, path in registry.GetChildren(dbus_interface=accessible):
        try:
            if owners.GetConnectionUnixProcessID(owner) == pid:
                walk(str(owner), str(path), 0)
        except dbus.exceptions.DBusException:
            continue  # a program that left while we looked
    return names


if __name__ == '__main__':  # run as the programs' user, so that their session bus lets us in
    print('\n'.join(texts(int(sys.argv[1]))))

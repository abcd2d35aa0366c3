"""Drives the real program on a private Xvfb as a user would. run(test) gives test a Session whose
every wait goes through Session.poll; a failure reports the processes' state and output and a
screenshot, and keeps the scratch folder. Needs /usr/bin/python3 (python3-xlib), xdotool, xwd."""
import os, select, shutil, struct, subprocess, sys, tempfile, time, traceback
from collections import namedtuple
from Xlib import X, Xatom, display, error
from Xlib.protocol import event

COLUMNS, ROWS, RECORD = 582, 485, 1168
STORE_BYTES = ROWS * RECORD
BACKGROUND, INK = (239, 239, 239), (0, 0, 0)  # Fusion's button face and button text
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
    if not os.path.exists(path):
        return None, None
    data, cells, pens = open(path, 'rb').read(), set(), set()
    for r in range(len(data) // RECORD):
        record = struct.unpack_from('<584h', data, r * RECORD)
        cells.update((c + 1, r + 1) for c, v in enumerate(record[:COLUMNS]) if v)
        pens.add(record[COLUMNS:])
    return cells, pens


def write_sketch(path, cells, pen):
    """A whole sketch file: every record carries the pen; cells hold 1 where drawn."""
    open(path, 'wb').write(b''.join(struct.pack('<584h', *((c, r) in cells for c in range(1, COLUMNS + 1)), *pen)
                                    for r in range(1, ROWS + 1)))


class Session:
    def __init__(self, program):
        self.prog = os.path.realpath(program)
        self.dir = tempfile.mkdtemp(prefix='nimbolt-e2e.')
        os.chmod(self.dir, 0o755)  # another user may need to reach folders inside
        self.programs, self.daemons, self.maps, self.buses, self.dpy = [], [], [], {}, None
        self.app = self.app_folder('app')
        read, write = os.pipe()
        self.xvfb = self.launch(['Xvfb', '-displayfd', str(write), '-screen', '0', '1280x1024x24', '-nolisten',
                                 'tcp', '-noreset', '-ac'], self.daemons, pass_fds=[write])
        os.close(write)
        os.environ['DISPLAY'] = ':' + self.poll('display number from Xvfb', lambda: select.select(
            [read], [], [], 0.05)[0] and os.read(read, 16)).decode().strip()
        self.env = {'PATH': '/usr/bin:/bin', 'DISPLAY': os.environ['DISPLAY'], 'LANG': 'C.UTF-8',
                    'QT_QPA_PLATFORM': 'xcb', 'QT_STYLE_OVERRIDE': 'Fusion'}
        self.dpy = display.Display()
        self.root = self.dpy.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)  # sent with the first poll

    def app_folder(self, name):
        os.makedirs(f'{self.dir}/{name}')
        shutil.copy(self.prog, f'{self.dir}/{name}')
        return f'{self.dir}/{name}'

    def pump(self):
        """Log windows as they are mapped: (time, window id)."""
        while self.dpy and self.dpy.pending_events():
            e = self.dpy.next_event()
            if e.type == X.MapNotify:
                self.maps.append((time.monotonic(), e.window.id))

    def poll(self, what, check_once, timeout=20, watch=None):
        """Call check_once every 50 ms until it gives a true value; return it. Generous timeouts."""
        end = time.monotonic() + timeout
        while True:
            check(self.xvfb.poll() is None, f'the X server died while waiting for {what}')
            self.pump()
            value = check_once()
            if value:
                return value
            check(watch is None or watch.poll() is None, f'the program ended while waiting for {what}')
            check(time.monotonic() < end, f'no {what} within {timeout} s')
            time.sleep(0.05)

    def expect(self, what, want, get):
        """Poll until get() gives want (a set or dict); a timeout tells what differed."""
        seen = {}
        try:
            self.poll(what, lambda: seen.update(got=get()) or seen['got'] == want)
        except Fail as e:
            w, g = (set(x.items()) if isinstance(x, dict) else set(x or ()) for x in (want, seen.get('got')))
            raise Fail(f'{e}: missing {sorted(w - g)[:12]}, extra {sorted(g - w)[:12]}') from None

    def launch(self, cmd, into, **how):
        """Start a process, its output to a log; the session ends it."""
        log = open(f'{self.dir}/{os.path.basename(cmd[0])}-{len(self.programs + self.daemons)}.log', 'w')
        how.setdefault('stdout', log)
        into.append(subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stderr=log, **how))
        into[-1].log = log.name
        return into[-1]

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
        env = dict(self.user_env(user, home), DBUS_SESSION_BUS_ADDRESS=self.bus(user),
                   QT_ACCESSIBILITY='1', QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1')
        return self.launch(['bash', '-c', wrap, 'bash', *cmd] if wrap else cmd, self.programs, cwd=cwd or self.dir,
                           env=env, user=user, group=user, extra_groups=[] if user else None)

    def status(self, program, want=None, how='the program'):
        """Wait for the program to end; its exit status (negative: the signal that ended it)."""
        self.poll(f'end of program {program.pid}', lambda: program.poll() is not None)
        check(want is None or program.returncode == want, f'{how} ended with status {program.returncode}')
        return program.returncode

    def windows(self, program=None):
        """The visible top-level windows, of one program if given."""
        found = []
        for w in self.root.query_tree().children:
            try:
                pid = w.get_full_property(self.dpy.intern_atom('_NET_WM_PID'), Xatom.CARDINAL)
                mine = not program or pid and pid.value[0] == program.pid
                if w.get_attributes().map_state == X.IsViewable and mine:
                    g = w.get_geometry()
                    found.append(Window(w.id, w.get_wm_name(), g.x, g.y, g.width, g.height))
            except error.XError:
                continue  # gone while we looked
        return found

    def window(self, program, name=None, size=None, other_than=None):
        """Wait for the program's visible window of that name or size (width, height)."""
        return self.poll(f'window {name or size} of program {program.pid}', lambda: next((
            w for w in self.windows(program) if name in (None, w.name) and size in (None, (w.width, w.height))
            and w != other_than), None), watch=program)

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
        target = self.dpy.create_resource_object('window', w.xid)
        atom = self.dpy.intern_atom
        target.send_event(event.ClientMessage(window=target, client_type=atom('WM_PROTOCOLS'), data=(
            32, [atom('WM_DELETE_WINDOW'), X.CurrentTime, 0, 0, 0])), event_mask=X.NoEventMask)
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

    def bus(self, user):
        """A session bus of the user's own, over which the user's programs show their widgets."""
        if user not in self.buses:
            out = self.launch(['dbus-daemon', '--session', '--nofork', '--print-address=1'], self.daemons,
                              stdout=subprocess.PIPE, env=self.user_env(user), user=user, group=user).stdout
            self.buses[user] = self.poll('session bus address', lambda: select.select(
                [out], [], [], 0.05)[0] and out.readline().decode().strip())
        return self.buses[user]

    def message(self, program, words, user=None):
        """Wait for a widget's text containing words (of the programs on the user's session bus)."""
        how = dict(env=dict(self.user_env(user), DBUS_SESSION_BUS_ADDRESS=self.bus(user)), user=user, group=user)
        text = self.poll(f'text {words!r} of program {program.pid}', lambda: next((t for t in subprocess.run(
            [sys.executable, __file__], capture_output=True, text=True, **how).stdout.splitlines() if words in t),
            None), watch=program)
        print(f'program {program.pid} shows: {text}')

    def file_dialog(self, program, shortcut, title, path):
        """The shortcut opens the file dialog; type a path into it and press Return; it must go."""
        self.keys(shortcut)
        dialog = self.window(program, name=title)
        self.focus(dialog)
        self.keys('ctrl+a')  # the typed path replaces any name the dialog offers
        self.keys(text=path)
        self.keys('Return')
        self.gone(dialog)


def run(test):
    """Run test(session) with the program named on the command line; exit 0, 1 or 77 (skipped)."""
    session, code = None, 1
    try:
        session = Session(sys.argv[1])
        test(session)
        print('PASS')
        code = 0
    except Skip as e:
        print(f'SKIP: {e}')
        code = 77
    except Exception as e:  # a failed check, or a fault in the test itself
        plain = isinstance(e, (Fail, error.ConnectionClosedError))  # the X server's end, say
        print(f'FAIL: {e if plain else traceback.format_exc()}', file=sys.stderr)
        if session and session.xvfb.poll() is None and not subprocess.run(
                ['xwd', '-root', '-silent', '-out', f'{session.dir}/failure.xwd']).returncode:
            print(f'screenshot: {session.dir}/failure.xwd', file=sys.stderr)
        for p in session.programs + session.daemons if session else []:  # the X server among them
            state = 'runs' if p.poll() is None else f'ended with status {p.returncode}'
            print(f'{p.pid} {p.args} {state}; output:', repr(open(p.log).read()[-600:]), file=sys.stderr)
        print(f'scratch folder kept: {session and session.dir}', file=sys.stderr)
    finally:  # even when the report cannot be written
        for p in session.programs + session.daemons if session else []:
            p.kill() if p in session.programs else p.terminate()
            p.wait()
        if session and code != 1:
            shutil.rmtree(session.dir, ignore_errors=True)
    sys.exit(code)


def texts():
    """The texts (accessible names) of the widgets of every program on the session bus's AT-SPI."""
    import dbus
    bus = dbus.SessionBus().get_object('org.a11y.Bus', '/org/a11y/bus')
    a11y = dbus.bus.BusConnection(str(bus.GetAddress(dbus_interface='org.a11y.Bus')))

    def walk(owner, path):
        node = a11y.get_object(owner, path)
        yield str(node.Get('org.a11y.atspi.Accessible', 'Name', dbus_interface='org.freedesktop.DBus.Properties'))
        for child in node.GetChildren(dbus_interface='org.a11y.atspi.Accessible'):
            yield from walk(*map(str, child))
    return walk('org.a11y.atspi.Registry', '/org/a11y/atspi/accessible/root')


if __name__ == '__main__':  # run as the programs' user, so that their session bus lets us in
    print('\n'.join(texts()))

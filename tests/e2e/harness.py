"""Drives the real program on a private Xvfb as a user would; every wait goes through Session.poll.
A failure reports the processes and a screenshot and keeps the scratch folder."""
import contextlib, os, select, shutil, struct, subprocess, sys, tempfile, time, traceback
from collections import namedtuple
from Xlib import X, Xatom, display, error
from Xlib.protocol import event

COLUMNS, ROWS, RECORD = 582, 485, 1168
BACKGROUND, INK = (239, 239, 239), (0, 0, 0)  # Fusion's button face and button text
Window = namedtuple('Window', 'xid name x y width height')


class Fail(Exception): pass
class Skip(Exception): pass


def check(ok, message):
    if not ok: raise Fail(message)


def read_cells(path):  # the (column, row) of each cell not 0 in a store or sketch file
    data = open(path, 'rb').read() if os.path.exists(path) else b''
    records = struct.iter_unpack('<584h', data[:len(data) - len(data) % RECORD])
    return {(c + 1, r + 1) for r, row in enumerate(records) for c in range(COLUMNS) if row[c]}


class Session:
    def __init__(self, program):
        self.prog, self.dir = os.path.realpath(program), tempfile.mkdtemp(prefix='nimbolt-e2e.')
        os.chmod(self.dir, 0o755)  # another user may need to reach folders inside
        self.programs, self.daemons, self.buses, self.maps = [], [], {}, []
        self.app = self.app_folder('app')
        read, write = os.pipe()
        self.xvfb = self.launch(['Xvfb', '-displayfd', str(write), '-screen', '0', '1280x1024x24',
                                 '-nolisten', 'tcp', '-noreset', '-ac'], self.daemons,
                                pass_fds=[write])
        os.close(write)
        check(select.select([read], [], [], 20)[0], 'Xvfb gave no display number')
        os.environ['DISPLAY'] = ':' + os.read(read, 16).decode().strip()
        self.env = {'PATH': '/usr/bin:/bin', 'DISPLAY': os.environ['DISPLAY'], 'LANG': 'C.UTF-8',
                    'QT_QPA_PLATFORM': 'xcb', 'QT_STYLE_OVERRIDE': 'Fusion'}
        self.dpy = display.Display()
        self.root = self.dpy.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)  # maps and frame requests

    def app_folder(self, name):
        os.makedirs(f'{self.dir}/{name}')
        return os.path.dirname(shutil.copy(self.prog, f'{self.dir}/{name}'))

    def atom(self, name):
        return self.dpy.intern_atom(name)

    def pump(self):  # logs each window mapped (time, id); answers frame requests
        asks, extents = self.atom('_NET_REQUEST_FRAME_EXTENTS'), self.atom('_NET_FRAME_EXTENTS')
        while self.dpy.pending_events():
            e = self.dpy.next_event()
            if e.type == X.MapNotify:
                self.maps.append((time.monotonic(), e.window.id))
            elif e.type == X.ClientMessage and e.client_type == asks:
                e.window.change_property(extents, Xatom.CARDINAL, 32, self.frame)

    def frame_every_window(self, *extents):  # left, right, top, bottom; programs ask from now
        self.frame = list(extents)
        asks = [self.atom('_NET_REQUEST_FRAME_EXTENTS')]
        self.root.change_property(self.atom('_NET_SUPPORTED'), Xatom.ATOM, 32, asks)

    def poll(self, what, get, timeout=20, watch=None, want=None):
        """Calls get every 50 ms until it gives a true value (or want); returns it."""
        end = time.monotonic() + timeout
        while True:
            check(self.xvfb.poll() is None, f'the X server died while waiting for {what}')
            self.pump()
            value = get()
            if value == want if want is not None else value:
                return value
            check(not watch or watch.poll() is None, f'the program ended while waiting for {what}')
            if time.monotonic() > end:
                raise Fail(f'no {what} within {timeout} s: got {str(value)[:400]}')
            time.sleep(0.05)

    def launch(self, cmd, into, **how):  # a process, its output to a log; the session ends it
        log = open(f'{self.dir}/{len(self.programs + self.daemons)}.log', 'w')
        how.setdefault('stdout', log)
        into.append(subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stderr=log, **how))
        into[-1].log = log.name
        return into[-1]

    def user_env(self, user=None, home=None):  # with a home and runtime folder of the user's
        home = home or f'{self.dir}/home-{user or "me"}'
        env = dict(self.env, HOME=home, XDG_RUNTIME_DIR=f'{self.dir}/run-{user or "me"}')
        for folder in (env['HOME'], env['XDG_RUNTIME_DIR']):
            if not os.path.isdir(folder):
                os.makedirs(folder, 0o700)
                user and shutil.chown(folder, user, user)
        return env

    def start(self, *args, app=None, user=None, home=None, wrap=None, cwd=None):  # wrap: bash code
        cmd = [f'{app or self.app}/nimbolt-sketch', *args]
        env = dict(self.user_env(user, home), DBUS_SESSION_BUS_ADDRESS=self.bus(user),
                   QT_ACCESSIBILITY='1', QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1')
        return self.launch(['bash', '-c', wrap, 'bash', *cmd] if wrap else cmd, self.programs,
                           cwd=cwd or self.dir, env=env, user=user, group=user,
                           extra_groups=[] if user else None)

    def status(self, program, want=None, how='the program'):  # negative for a signal
        self.poll(f'end of program {program.pid}', lambda: program.poll() is not None)
        check(want in (None, program.returncode), f'{how} ended with status {program.returncode}')
        return program.returncode

    def windows(self, program=None):  # the visible top-level windows, of one program if given
        found = []
        for w in self.root.query_tree().children:
            with contextlib.suppress(error.XError):  # gone while we looked
                pid = w.get_full_property(self.atom('_NET_WM_PID'), Xatom.CARDINAL)
                ours = not program or pid and pid.value[0] == program.pid
                if ours and w.get_attributes().map_state == X.IsViewable:
                    g = w.get_geometry()
                    found.append(Window(w.id, w.get_wm_name(), g.x, g.y, g.width, g.height))
        return found

    def window(self, program, name=None, size=None, other_than=None):  # size: (width, height)
        def match(w):
            shape = (w.width, w.height)
            return name in (None, w.name) and size in (None, shape) and w != other_than
        return self.poll(f'window {name or size} of program {program.pid}',
                         lambda: next(filter(match, self.windows(program)), None), watch=program)

    def gone(self, w):
        self.poll(f'window {w.name!r} to go', lambda: all(v.xid != w.xid for v in self.windows()))

    def focus(self, w):
        window = self.dpy.create_resource_object('window', w.xid)
        window.set_input_focus(X.RevertToParent, X.CurrentTime)
        self.dpy.sync()

    def keys(self, *keys, text=None, delay=2, to=None):  # xdotool key names or text, into `to`
        to and self.focus(to)
        typed = ['type', '--', text] if text else ['key', *keys]
        cmd = ['xdotool', typed[0], '--delay', str(delay), *typed[1:]]
        done = subprocess.run(cmd, capture_output=True, text=True)
        # a key a stopped xdotool left held would repeat into the next program
        subprocess.run(['xdotool', 'keyup', *set(keys or ['shift'])], capture_output=True)
        check(done.returncode == 0, f'{cmd} failed: {done.stderr}')

    def close(self, w, program=None):
        """A title bar's close button; the program, if given, must then end with status 0."""
        target = self.dpy.create_resource_object('window', w.xid)
        data = (32, [self.atom('WM_DELETE_WINDOW'), X.CurrentTime, 0, 0, 0])
        protocols = self.atom('WM_PROTOCOLS')
        target.send_event(event.ClientMessage(window=target, client_type=protocols, data=data))
        self.dpy.sync()
        program and self.status(program, 0, f'closing window {w.name!r}')

    def pixels(self, x, y, width, height):  # the screen's RGB colours in a rectangle, row by row
        raw = self.root.get_image(x, y, width, height, X.ZPixmap, 0xffffffff).data
        return [(raw[i + 2], raw[i + 1], raw[i]) for i in range(0, len(raw), 4)]

    def expect_board(self, w, cells):  # the board spans the window's width at its bottom
        def inked():
            shown = enumerate(self.pixels(w.x, w.y + w.height - ROWS, COLUMNS, ROWS))
            return {(i % COLUMNS + 1, i // COLUMNS + 1): p for i, p in shown if p != BACKGROUND}
        self.poll('board showing the drawing', inked, want=dict.fromkeys(cells, INK))

    def expect_store(self, path, cells):
        self.poll(f'drawing in {path}', lambda: read_cells(path), want=set(cells))

    def painted(self, w):  # the window shows more than a plain fill: at least three colours
        return len(set(self.pixels(w.x, w.y, w.width, w.height))) > 2

    def bus(self, user):  # the user's own session bus, over which the user's programs are read
        if user not in self.buses:
            cmd = ['dbus-daemon', '--session', '--nofork', '--print-address=1']
            out = self.launch(cmd, self.daemons, stdout=subprocess.PIPE, env=self.user_env(user),
                              user=user, group=user).stdout
            self.buses[user] = self.poll('session bus address', lambda: select.select(
                [out], [], [], 0.05)[0] and out.readline().decode().strip())
        return self.buses[user]

    def message(self, program, words, user=None):  # words a screen reader reads of the program
        env = dict(self.user_env(user), DBUS_SESSION_BUS_ADDRESS=self.bus(user))
        read = lambda: subprocess.run([sys.executable, __file__], capture_output=True, text=True,
                                      env=env, user=user, group=user).stdout
        self.poll(f'{words!r} in program {program.pid}', lambda: words in read(), watch=program)

    def file_dialog(self, program, title, path, replace=False):  # path or the name offered
        dialog = self.window(program, name=title)
        if path:
            self.keys('ctrl+a', to=dialog)
            self.keys(text=path)
        self.keys('Return', to=dialog)
        if replace:  # the file exists: yes, replace it
            self.keys('alt+y', to=self.window(program, name=title, other_than=dialog))
        self.gone(dialog)


def run(test):
    """Runs test(session) with the program named on the command line; exits 0, 1 or 77 (skip)."""
    s, code = None, 1
    try:
        test(s := Session(sys.argv[1]))
        code = 0
    except Skip as e:
        print(f'SKIP: {e}')
        code = 77
    except Exception:  # a failed check, the X server's end, or a fault in the test itself
        print(f'FAIL: {traceback.format_exc()}', file=sys.stderr)
        if s and s.xvfb.poll() is None:
            subprocess.run(['xwd', '-root', '-silent', '-out', f'{s.dir}/failure.xwd'])
        for p in s.programs + s.daemons if s else []:  # the X server among them; None: running
            print(p.pid, p.args, p.poll(), repr(open(p.log).read()[-600:]), file=sys.stderr)
        print(f'scratch folder and screenshot kept: {s and s.dir}', file=sys.stderr)
    finally:  # even when the report cannot be written
        for p in s.programs + s.daemons if s else []:
            p.kill() if p in s.programs else p.terminate()
            p.wait()
        if s and code != 1:
            shutil.rmtree(s.dir, ignore_errors=True)
    sys.exit(code)


if __name__ == '__main__':  # as the programs' user, whose session bus lets us in: every widget as
    import dbus                # a screen reader sees it, one a line: role "name": description
    bus = dbus.SessionBus().get_object('org.a11y.Bus', '/org/a11y/bus')
    a11y = dbus.bus.BusConnection(str(bus.GetAddress(dbus_interface='org.a11y.Bus')))

    def walk(owner, path):
        node, at = a11y.get_object(owner, path), 'org.a11y.atspi.Accessible'
        get = lambda p: node.Get(at, p, dbus_interface=dbus.PROPERTIES_IFACE)
        yield f'{node.GetRoleName(dbus_interface=at)} "{get("Name")}": {get("Description")}'
        for owner, path in map(lambda child: map(str, child), node.GetChildren(dbus_interface=at)):
            if not path.endswith('/null'):  # a child Qt could not name
                yield from walk(owner, path)
    print('\n'.join(walk('org.a11y.atspi.Registry', '/org/a11y/atspi/accessible/root')))

"""Drives the real program on a private Xvfb as a user would; every wait goes through Session.poll. A failure
reports the processes and a screenshot and keeps the scratch folder. Needs python3-xlib, xdotool, xwd."""
import contextlib, os, select, shutil, struct, subprocess, sys, tempfile, time, traceback
from collections import namedtuple
from Xlib import X, Xatom, display, error
from Xlib.protocol import event

COLUMNS, ROWS, RECORD = 582, 485, 1168
STORE_BYTES = ROWS * RECORD
BACKGROUND, INK = (239, 239, 239), (0, 0, 0)  # Fusion's button face and button text
Window = namedtuple('Window', 'xid name x y width height')


class Fail(Exception): pass
class Skip(Exception): pass


def check(ok, message):
    if not ok: raise Fail(message)


def read_cells(path):  # the cells that are not 0 in a store or sketch file, and the set of pens its records carry
    if not os.path.exists(path):
        return None, None
    data = open(path, 'rb').read()
    records = list(struct.iter_unpack('<584h', data[:len(data) - len(data) % RECORD]))
    return ({(c + 1, r + 1) for r, record in enumerate(records) for c, v in enumerate(record[:COLUMNS]) if v},
            {record[COLUMNS:] for record in records})


class Session:
    def __init__(self, program):
        self.prog, self.dir = os.path.realpath(program), tempfile.mkdtemp(prefix='nimbolt-e2e.')
        os.chmod(self.dir, 0o755)  # another user may need to reach folders inside
        self.programs, self.daemons, self.maps, self.buses, self.dpy = [], [], [], {}, None
        self.frame = [0, 0, 0, 0]  # the frame extents answered, once frame_every_window has been called
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
        return os.path.dirname(shutil.copy(self.prog, f'{self.dir}/{name}'))

    def pump(self):  # log windows as they are mapped: (time, window id); answer frame requests
        while self.dpy and self.dpy.pending_events():
            if (e := self.dpy.next_event()).type == X.MapNotify:
                self.maps.append((time.monotonic(), e.window.id))
            elif e.type == X.ClientMessage and e.client_type == self.dpy.intern_atom('_NET_REQUEST_FRAME_EXTENTS'):
                e.window.change_property(self.dpy.intern_atom('_NET_FRAME_EXTENTS'), Xatom.CARDINAL, 32, self.frame)

    def frame_every_window(self, left, right, top, bottom):  # as a window manager says it would, drawing none
        self.frame = [left, right, top, bottom]
        atom = self.dpy.intern_atom
        self.root.change_property(atom('_NET_SUPPORTED'), Xatom.ATOM, 32, [atom('_NET_REQUEST_FRAME_EXTENTS')])

    def poll(self, what, get, timeout=20, watch=None, want=None):
        """Call get every 50 ms until it gives a true value (or want, a set or dict); return it. Generous timeouts."""
        end = time.monotonic() + timeout
        while True:
            check(self.xvfb.poll() is None, f'the X server died while waiting for {what}')
            self.pump()
            value = get()
            if value == want if want is not None else value:
                return value
            check(watch is None or watch.poll() is None, f'the program ended while waiting for {what}')
            if time.monotonic() > end:
                w, g = (set(x.items()) if isinstance(x, dict) else set(x or ()) for x in (want, value))
                differ = f': missing {sorted(w - g)[:12]}, extra {sorted(g - w)[:12]}' if want is not None else ''
                raise Fail(f'no {what} within {timeout} s{differ}')
            time.sleep(0.05)

    def launch(self, cmd, into, **how):  # a process, its output to a log; the session ends it
        log = open(f'{self.dir}/{os.path.basename(cmd[0])}-{len(self.programs + self.daemons)}.log', 'w')
        into.append(subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stderr=log, **{'stdout': log, **how}))
        into[-1].log = log.name
        return into[-1]

    def user_env(self, user=None, home=None):  # for the user's programs, with a home and runtime folder of the user's
        who = user or 'me'
        env = dict(self.env, HOME=home or f'{self.dir}/home-{who}', XDG_RUNTIME_DIR=f'{self.dir}/runtime-{who}')
        for folder in (env['HOME'], env['XDG_RUNTIME_DIR']):
            if not os.path.isdir(folder):
                os.makedirs(folder, 0o700)
                user and shutil.chown(folder, user, user)
        return env

    def start(self, *args, app=None, user=None, home=None, wrap=None, cwd=None):  # in a bash running wrap if given
        cmd = [f'{app or self.app}/nimbolt-sketch', *args]
        env = dict(self.user_env(user, home), DBUS_SESSION_BUS_ADDRESS=self.bus(user),
                   QT_ACCESSIBILITY='1', QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1')
        return self.launch(['bash', '-c', wrap, 'bash', *cmd] if wrap else cmd, self.programs, cwd=cwd or self.dir,
                           env=env, user=user, group=user, extra_groups=[] if user else None)

    def status(self, program, want=None, how='the program'):  # its exit status, negative for a signal
        self.poll(f'end of program {program.pid}', lambda: program.poll() is not None)
        check(want is None or program.returncode == want, f'{how} ended with status {program.returncode}')
        return program.returncode

    def windows(self, program=None):  # the visible top-level windows, of one program if given
        found = []
        for w in self.root.query_tree().children:
            with contextlib.suppress(error.XError):  # gone while we looked
                pid = w.get_full_property(self.dpy.intern_atom('_NET_WM_PID'), Xatom.CARDINAL)
                if w.get_attributes().map_state == X.IsViewable and (not program or pid and pid.value[0] == program.pid):
                    g = w.get_geometry()
                    found.append(Window(w.id, w.get_wm_name(), g.x, g.y, g.width, g.height))
        return found

    def window(self, program, name=None, size=None, other_than=None):  # one of that name or size (width, height)
        return self.poll(f'window {name or size} of program {program.pid}', lambda: next((
            w for w in self.windows(program) if name in (None, w.name) and size in (None, (w.width, w.height))
            and w != other_than), None), watch=program)

    def gone(self, w):
        self.poll(f'window {w.name!r} to go', lambda: all(v.xid != w.xid for v in self.windows()))

    def focus(self, w):
        self.dpy.create_resource_object('window', w.xid).set_input_focus(X.RevertToParent, X.CurrentTime)
        self.dpy.sync()

    def keys(self, *keys, text=None, delay=2, to=None):
        """Type keys (xdotool names) or text into the focused window (focus to first, if given), then release
        every key used, so that none stays held in the server should xdotool stop halfway."""
        to and self.focus(to)
        cmd = ['xdotool', 'type' if text else 'key', '--delay', str(delay), *(['--', text] if text else keys)]
        done = subprocess.run(cmd, capture_output=True, text=True)
        subprocess.run(['xdotool', 'keyup', *set(keys or ['shift'])], capture_output=True)
        check(done.returncode == 0, f'{cmd} failed: {done.stderr}')

    def close(self, w, program=None):
        """A title bar's close button: a WM_DELETE_WINDOW message; the program, if given, must end with status 0."""
        target, atom = self.dpy.create_resource_object('window', w.xid), self.dpy.intern_atom
        target.send_event(event.ClientMessage(window=target, client_type=atom('WM_PROTOCOLS'), data=(
            32, [atom('WM_DELETE_WINDOW'), X.CurrentTime, 0, 0, 0])), event_mask=X.NoEventMask)
        self.dpy.sync()
        program and self.status(program, 0, f'closing window {w.name!r}')

    def pixels(self, x, y, width, height):  # the screen's RGB colours in a rectangle, row by row
        raw = self.root.get_image(x, y, width, height, X.ZPixmap, 0xffffffff).data
        return [(raw[i + 2], raw[i + 1], raw[i]) for i in range(0, len(raw), 4)]

    def expect_board(self, w, cells):  # the board spans the window's width at its bottom
        check(w.width == COLUMNS and w.height > ROWS, f'window {w} is not the board window')
        self.poll('board showing the drawing', lambda: {(i % COLUMNS + 1, i // COLUMNS + 1): p for i, p in enumerate(
            self.pixels(w.x, w.y + w.height - ROWS, COLUMNS, ROWS)) if p != BACKGROUND}, want=dict.fromkeys(cells, INK))

    def expect_store(self, path, cells):
        self.poll(f'drawing in {path}', lambda: read_cells(path)[0], want=set(cells))

    def painted(self, w):  # the window shows more than a plain fill: at least three colours
        return len(set(self.pixels(w.x, w.y, w.width, w.height))) > 2

    def bus(self, user):  # a session bus of the user's own, over which the user's programs show their widgets
        if user not in self.buses:
            out = self.launch(['dbus-daemon', '--session', '--nofork', '--print-address=1'], self.daemons,
                              stdout=subprocess.PIPE, env=self.user_env(user), user=user, group=user).stdout
            self.buses[user] = self.poll('session bus address', lambda: select.select(
                [out], [], [], 0.05)[0] and out.readline().decode().strip())
        return self.buses[user]

    def message(self, program, words, user=None):  # words of a widget (role "name": text), read over the user's bus
        how = dict(env=dict(self.user_env(user), DBUS_SESSION_BUS_ADDRESS=self.bus(user)), user=user, group=user)
        self.poll(f'text {words!r} of program {program.pid}', lambda: any(words in t for t in subprocess.run(
            [sys.executable, __file__], capture_output=True, text=True, **how).stdout.splitlines()), watch=program)

    def file_dialog(self, program, shortcut, title, path):  # a typed path replaces any name the dialog offers
        shortcut and self.keys(shortcut)
        dialog = self.window(program, name=title)
        self.keys('ctrl+a', to=dialog)
        self.keys(text=path)
        self.keys('Return')
        self.gone(dialog)


def run(test):
    """Run test(session) with the program named on the command line; exit 0, 1 or 77 (skipped)."""
    s, code = None, 1
    try:
        test(s := Session(sys.argv[1]))
        code = 0
    except Skip as e:
        print(f'SKIP: {e}')
        code = 77
    except Exception:  # a failed check, the X server's end, or a fault in the test itself
        print(f'FAIL: {traceback.format_exc()}', file=sys.stderr)
        shot = s and s.xvfb.poll() is None and f'{s.dir}/failure.xwd'
        if shot and not subprocess.run(['xwd', '-root', '-silent', '-out', shot]).returncode:
            print(f'screenshot: {shot}', file=sys.stderr)
        for p in s.programs + s.daemons if s else []:  # the X server among them
            print(p.pid, p.args, 'runs' if p.poll() is None else f'ended with status {p.returncode}', '; output:',
                  repr(open(p.log).read()[-600:]), file=sys.stderr)
        print(f'scratch folder kept: {s and s.dir}', file=sys.stderr)
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
        for child in node.GetChildren(dbus_interface='org.a11y.atspi.Accessible'):
            yield from walk(*map(str, child))
    print('\n'.join(walk('org.a11y.atspi.Registry', '/org/a11y/atspi/accessible/root')))

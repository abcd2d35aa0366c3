#!/usr/bin/python3
"""Small X11 and file helpers for the end-to-end tests and benchmarks.

Run with /usr/bin/python3 (the Debian one, which has python3-xlib).

  close WID                     send WM_DELETE_WINDOW, as a title bar's close button does
  clipboard TIMEOUT             print the CLIPBOARD text once some client owns it
  board-ink PPM OX OY BG        print "c r R,G,B" for each board pixel not of colour BG
  store-cells FILE              print "c r v" for each store cell that is not 0
  texts PID [content]           print the accessible names (texts) of PID's widgets, one a line,
                                read over AT-SPI from the session bus in DBUS_SESSION_BUS_ADDRESS;
                                with "content", also the lines of text that text views hold
  sketch-pens FILE              print "x y n": each distinct pen position in the file's records and
                                how many records carry it
  page-cells PPM K              read a page rasterised at K pixels a board cell: print "X Y", the
                                top-left dark pixel, then "i j" for each K x K cell counted from it
                                that holds dark pixels, with " partial" when its centre is not dark
  region-ink PPM X Y W H        print "colours N ink M": the distinct colours in the rectangle and
                                how many of its pixels differ from its most common colour
  watch-maps                    print "ready", then one line per top-level window mapped or
                                unmapped: "map|unmap UNIXTIME 0xWID WxH NAME", until killed
  first-map FIRST LAST TIMEOUT CMD...
                                run CMD; print the seconds until it maps a window named like
                                regex FIRST, the seconds until one named like LAST, CMD's exit
                                status after that one is closed, and the first window's name
"""

import select
import subprocess
import sys
import time

GRID_COLUMNS = 582
GRID_ROWS = 485
RECORD_BYTES = 1168


def die(message):
    print(f"x11_tool: {message}", file=sys.stderr)
    sys.exit(2)


def open_display():
    from Xlib import display
    return display.Display()


def wait_event(dpy, deadline, wanted):
    """Return the first event for which wanted(event) holds, or None at the deadline."""
    while True:
        while dpy.pending_events():
            event = dpy.next_event()
            if wanted(event):
                return event
        left = deadline - time.monotonic()
        if left <= 0:
            return None
        select.select([dpy.fileno()], [], [], min(left, 0.05))


def send_delete(dpy, window):
    from Xlib import X
    from Xlib.protocol import event
    protocols = dpy.intern_atom("WM_PROTOCOLS")
    delete = dpy.intern_atom("WM_DELETE_WINDOW")
    if delete not in (window.get_wm_protocols() or []):
        die(f"window 0x{window.id:x} does not take WM_DELETE_WINDOW")
    message = event.ClientMessage(window=window, client_type=protocols,
                                  data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    window.send_event(message, event_mask=X.NoEventMask)
    dpy.sync()  # a round trip: the server has handled the request before we go


def cmd_close(args):
    dpy = open_display()
    send_delete(dpy, dpy.create_resource_object("window", int(args[0], 0)))


def cmd_clipboard(args):
    from Xlib import X
    dpy = open_display()
    deadline = time.monotonic() + float(args[0])
    clipboard = dpy.intern_atom(args[1] if len(args) > 1 else "CLIPBOARD")
    utf8 = dpy.intern_atom("UTF8_STRING")
    target = dpy.intern_atom("E2E_CLIPBOARD")
    window = dpy.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
    while time.monotonic() < deadline:
        if dpy.get_selection_owner(clipboard) != X.NONE:
            window.convert_selection(clipboard, utf8, target, X.CurrentTime)
            dpy.flush()
            reply = wait_event(dpy, deadline, lambda e: e.type == X.SelectionNotify)
            if reply is not None and reply.property != X.NONE:
                value = window.get_full_property(target, X.AnyPropertyType)
                if value is not None:
                    data = value.value
                    sys.stdout.write(data.decode() if isinstance(data, bytes) else str(data))
                    return
        time.sleep(0.05)
    die("nobody offered the clipboard in time")


def read_ppm(path):
    """Width, height and RGB bytes of a binary PPM (comments allowed in the header)."""
    with open(path, "rb") as f:
        data = f.read()
    fields, i = [], 0
    while len(fields) < 4:
        while data[i:i + 1].isspace():
            i += 1
        if data[i:i + 1] == b"#":
            i = data.index(b"\n", i)
            continue
        j = i
        while not data[j:j + 1].isspace():
            j += 1
        fields.append(data[i:j])
        i = j
    if fields[0] != b"P6" or fields[3] != b"255":
        die(f"{path}: not an 8-bit binary PPM")
    return int(fields[1]), int(fields[2]), data[i + 1:]


def cmd_board_ink(args):
    width, height, pixels = read_ppm(args[0])
    ox, oy = int(args[1]), int(args[2])
    background = bytes(int(v) for v in args[3].split(","))
    if ox < 0 or oy < 0 or ox + GRID_COLUMNS > width or oy + GRID_ROWS > height:
        die(f"board at {ox},{oy} lies outside the {width}x{height} screenshot")
    out = []
    for r in range(GRID_ROWS):
        line = ((oy + r) * width + ox) * 3
        row = pixels[line:line + GRID_COLUMNS * 3]
        if row == background * GRID_COLUMNS:
            continue
        for c in range(GRID_COLUMNS):
            px = row[c * 3:c * 3 + 3]
            if px != background:
                out.append(f"{c + 1} {r + 1} {px[0]},{px[1]},{px[2]}")
    sys.stdout.write("".join(line + "\n" for line in out))


def cmd_store_cells(args):
    with open(args[0], "rb") as f:
        data = f.read()
    out = []
    for r in range(len(data) // RECORD_BYTES):
        record = data[r * RECORD_BYTES:r * RECORD_BYTES + GRID_COLUMNS * 2]
        if record.count(0) == len(record):
            continue
        for c in range(GRID_COLUMNS):
            v = int.from_bytes(record[c * 2:c * 2 + 2], "little", signed=True)
            if v:
                out.append(f"{c + 1} {r + 1} {v}")
    sys.stdout.write("".join(line + "\n" for line in out))


def cmd_texts(args):
    import dbus
    pid = int(args[0])
    content = len(args) > 1 and args[1] == "content"
    session = dbus.SessionBus()
    address = session.get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(
        dbus_interface="org.a11y.Bus")
    a11y = dbus.bus.BusConnection(str(address))
    bus_daemon = a11y.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")
    accessible = "org.a11y.atspi.Accessible"
    registry = a11y.get_object("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")
    names = []

    def walk(owner, path, depth):
        node = a11y.get_object(owner, path)
        names.append(str(node.Get(accessible, "Name",
                                  dbus_interface="org.freedesktop.DBus.Properties")))
        if content and "org.a11y.atspi.Text" in node.GetInterfaces(dbus_interface=accessible):
            names.extend(str(node.GetText(0, -1, dbus_interface="org.a11y.atspi.Text"))
                         .splitlines())
        if depth < 20:
            for child_owner, child_path in node.GetChildren(dbus_interface=accessible):
                walk(str(child_owner), str(child_path), depth + 1)

    for owner, path in registry.GetChildren(dbus_interface=accessible):
        try:
            if bus_daemon.GetConnectionUnixProcessID(owner) == pid:
                walk(str(owner), str(path), 0)
        except dbus.exceptions.DBusException:
            continue  # an application that left while we looked
    sys.stdout.write("".join(name + "\n" for name in names if name))


def cmd_sketch_pens(args):
    with open(args[0], "rb") as f:
        data = f.read()
    counts = {}
    for r in range(len(data) // RECORD_BYTES):
        pen = data[r * RECORD_BYTES + GRID_COLUMNS * 2:(r + 1) * RECORD_BYTES]
        x = int.from_bytes(pen[0:2], "little", signed=True)
        y = int.from_bytes(pen[2:4], "little", signed=True)
        counts[(x, y)] = counts.get((x, y), 0) + 1
    sys.stdout.write("".join(f"{x} {y} {n}\n" for (x, y), n in sorted(counts.items())))


def cmd_page_cells(args):
    width, height, pixels = read_ppm(args[0])
    k = int(args[1])
    dark = []
    for y in range(height):
        row = pixels[y * width * 3:(y + 1) * width * 3]
        if min(row) >= 128:  # no channel below half: nothing dark on this row
            continue
        for x in range(width):
            if sum(row[x * 3:x * 3 + 3]) < 3 * 128:
                dark.append((x, y))
    if not dark:
        return
    dark_set = set(dark)
    mx = min(x for x, _ in dark)
    my = min(y for _, y in dark)
    cells = sorted({((y - my) // k, (x - mx) // k) for x, y in dark})
    print(mx, my)
    for j, i in cells:
        centre = (mx + i * k + k // 2, my + j * k + k // 2)
        print(f"{i} {j}" + ("" if centre in dark_set else " partial"))


def cmd_region_ink(args):
    width, height, pixels = read_ppm(args[0])
    x0, y0, w, h = (int(v) for v in args[1:5])
    if x0 < 0 or y0 < 0 or w <= 0 or h <= 0 or x0 + w > width or y0 + h > height:
        die(f"rectangle {w}x{h}+{x0}+{y0} lies outside the {width}x{height} screenshot")
    counts = {}
    for y in range(y0, y0 + h):
        row = pixels[(y * width + x0) * 3:(y * width + x0 + w) * 3]
        for x in range(w):
            px = row[x * 3:x * 3 + 3]
            counts[px] = counts.get(px, 0) + 1
    print(f"colours {len(counts)} ink {w * h - max(counts.values())}")


def window_name(dpy, window):
    try:
        name = window.get_full_property(dpy.intern_atom("_NET_WM_NAME"), 0)
        if name is not None:
            value = name.value
            return value.decode() if isinstance(value, bytes) else str(value)
        return window.get_wm_name()
    except Exception:  # the window may be gone already
        return None


def cmd_watch_maps(args):
    from Xlib import X
    dpy = open_display()
    root = dpy.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    dpy.sync()
    print("ready", flush=True)
    while True:
        event = dpy.next_event()
        if event.type not in (X.MapNotify, X.UnmapNotify):
            continue
        kind = "map" if event.type == X.MapNotify else "unmap"
        try:
            geometry = event.window.get_geometry()
            size = f"{geometry.width}x{geometry.height}"
        except Exception:  # already destroyed
            size = "0x0"
        name = window_name(dpy, event.window) or ""
        print(f"{kind} {time.time():.3f} 0x{event.window.id:x} {size} {name}", flush=True)


def cmd_first_map(args):
    from Xlib import X
    import re
    first, last = re.compile(args[0]), re.compile(args[1])
    timeout, command = float(args[2]), args[3:]
    dpy = open_display()
    root = dpy.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    dpy.sync()
    start = time.monotonic()
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL)
    deadline = start + timeout
    shown = {}

    def wanted(e):
        if e.type != X.MapNotify:
            return False
        name = window_name(dpy, e.window) or ""
        if "first" not in shown and first.search(name):
            shown["first"] = (time.monotonic() - start, name)
        return "first" in shown and last.search(name) is not None

    mapped = wait_event(dpy, deadline, wanted)
    if mapped is None:
        process.kill()
        process.wait()
        die(f"no window named /{args[1]}/ within {timeout} s")
    closing_at = time.monotonic() - start
    send_delete(dpy, mapped.window)
    try:
        status = process.wait(timeout=max(1.0, deadline - time.monotonic()))
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        die("the program did not end after its window was closed")
    first_at, first_name = shown["first"]
    print(f"{first_at:.4f} {closing_at:.4f} {status} {first_name}")


COMMANDS = {
    "close": (cmd_close, 1),
    "clipboard": (cmd_clipboard, 1),
    "board-ink": (cmd_board_ink, 4),
    "store-cells": (cmd_store_cells, 1),
    "texts": (cmd_texts, 1),
    "sketch-pens": (cmd_sketch_pens, 1),
    "page-cells": (cmd_page_cells, 2),
    "region-ink": (cmd_region_ink, 5),
    "watch-maps": (cmd_watch_maps, 0),
    "first-map": (cmd_first_map, 4),
}

if __name__ == "__main__":
    if len(sys.argv) < 2 or sys.argv[1] not in COMMANDS:
        die("usage: x11_tool.py " + "|".join(COMMANDS) + " ARGS...")
    handler, least = COMMANDS[sys.argv[1]]
    if len(sys.argv) - 2 < least:
        die(f"{sys.argv[1]} needs at least {least} arguments")
    handler(sys.argv[2:])

#!/usr/bin/python3
"""Start-up of the real program under Xvfb against its floor, startup_floor --text: a Qt Widgets program
that shows one window of the splash's size with one label in the splash's font, the least a splash that
shows text can do. Runs alternate between the program, that floor and the bare window (for information). Each run is timed from
starting the process to its first window being mapped; that window is then closed, which ends the
program, so peak memory (/usr/bin/time -v) is that of start-up to the first window. Three more runs of
the program go on to the main window, for its time and peak memory.
Usage: startup.py PROGRAM [RUNS] [FLOOR]"""
import os, re, select, statistics, sys, time
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'e2e'))
from harness import check, run

GOAL_TIME, GOAL_MEMORY, GOAL_MAIN_MIB = 1.1, 1.15, 60


def startup(s):
    check(os.access('/usr/bin/time', os.X_OK), '/usr/bin/time is not installed (Debian package time)')
    # Many runs: a single start moves by several milliseconds, the floor's as much as ours.
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 41
    floor = os.path.realpath(sys.argv[3] if len(sys.argv) > 3 else
                             os.path.join(os.path.dirname(s.prog), 'bench', 'startup_floor'))
    check(os.access(floor, os.X_OK), f'no floor program at {floor} (target startup_floor)')
    secs, mib = {}, {}

    def measure(kind, cmd, until=None):
        """Seconds to the first window (or to the window named until), and peak RSS in MiB."""
        report = f'{s.dir}/time-{kind}-{len(s.programs)}.txt'
        mark, start = len(s.maps), time.monotonic()
        program = s.launch(['/usr/bin/time', '-v', '-o', report, *cmd], s.programs, env=s.user_env(), cwd=s.dir)
        while True:
            shown = [w for w in s.windows() if until in (None, w.name)] if len(s.maps) > mark else []
            if shown:
                break
            check(time.monotonic() - start < 20 and program.poll() is None, f'{kind}: no window')
            select.select([s.dpy.fileno()], [], [], 0.01)  # wake at once when a window is mapped
            s.pump()
        seconds = (s.maps[mark][0] if until is None else time.monotonic()) - start
        s.close(shown[0])
        s.status(program, 0, f'{kind}: closing its window')
        kib = int(re.search(r'Maximum resident set size \(kbytes\): (\d+)', open(report).read())[1])
        secs.setdefault(kind, []).append(seconds)
        mib.setdefault(kind, []).append(kib / 1024)

    kinds = ['program', 'floor', 'text']
    for i in range(runs):
        for k in range(3):
            kind = kinds[(i + k) % 3]
            # The program in a fresh folder each time: no store from the last run.
            cmd = {'floor': [floor], 'text': [floor, '--text']}.get(kind)
            measure(kind, cmd or [f'{s.app_folder(f"run{i}")}/nimbolt-sketch'])
        if i < 3:
            measure('main', [f'{s.app_folder(f"main{i}")}/nimbolt-sketch'], until='Nimbolt Sketch')

    ms = {k: statistics.median(v) * 1000 for k, v in secs.items()}
    mb = {k: statistics.median(v) for k, v in mib.items()}
    verdict = lambda value, goal: 'PASS' if value <= goal else 'MISS'
    rt, rm = ms['program'] / ms['text'], mb['program'] / mb['text']
    print(f'startup: start to first window: {ms["program"]:.1f} ms vs startup_floor --text {ms["text"]:.1f} ms = '
          f'{rt:.2f}x (goal {GOAL_TIME}x, medians of {runs}): {verdict(rt, GOAL_TIME)}')
    print(f'startup: peak memory to first window: {mb["program"]:.1f} MiB vs startup_floor --text '
          f'{mb["text"]:.1f} MiB = {rm:.2f}x (goal {GOAL_MEMORY}x): {verdict(rm, GOAL_MEMORY)}')
    print(f'startup: for information, the bare window: {ms["floor"]:.1f} ms, {mb["floor"]:.1f} MiB; the program '
          f'against it: {ms["program"] / ms["floor"]:.2f}x, {mb["program"] / mb["floor"]:.2f}x')
    print(f'startup: with the main window: shown after {ms["main"]:.1f} ms, peak memory {mb["main"]:.1f} MiB '
          f'(goal < {GOAL_MAIN_MIB} MiB): {verdict(mb["main"], GOAL_MAIN_MIB)}')


run(startup)

#!/usr/bin/python3
"""Start-up of the real program under Xvfb: time from starting the process to its first window
being mapped (median of several runs), and peak memory from /usr/bin/time -v over a run that goes
on to the main window, which is then closed.
Usage: startup.py PROGRAM [RUNS]"""
import os, re, select, statistics, sys, time
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'e2e'))
from harness import check, run

GOAL_SECONDS, GOAL_MIB = 0.3, 60


def startup(s):
    check(os.access('/usr/bin/time', os.X_OK), '/usr/bin/time is not installed (Debian package time)')
    firsts, mains, peaks = [], [], []
    for i in range(int(sys.argv[2]) if len(sys.argv) > 2 else 5):
        app = s.app_folder(f'run{i}')  # a fresh folder: no store left by the previous run
        report = f'{s.dir}/time{i}.txt'
        mark, start = len(s.maps), time.monotonic()
        program = s.start(app=app, wrap=f'exec /usr/bin/time -v -o {report} "$@"')
        while not any(w.name == 'Nimbolt Sketch' for w in s.windows()):
            check(time.monotonic() - start < 20 and program.poll() is None, f'run {i}: no main window')
            select.select([s.dpy.fileno()], [], [], 0.01)  # wake at once when a window is mapped
            s.pump()
        first, main = s.maps[mark][0] - start, time.monotonic() - start
        s.close(next(w for w in s.windows() if w.name == 'Nimbolt Sketch'))
        s.status(program, 0, f'run {i}: closing the window')
        kib = int(re.search(r'Maximum resident set size \(kbytes\): (\d+)', open(report).read())[1])
        firsts, mains, peaks = firsts + [first], mains + [main], peaks + [kib / 1024]
        print(f'startup: run {i + 1}: first window after {first:.3f} s, '
              f'main window after {main:.3f} s, peak RSS {kib / 1024:.1f} MiB')
    median = statistics.median(firsts)
    print(f'startup: start to first window: median {median:.3f} s over {len(firsts)} runs '
          f'(goal < {GOAL_SECONDS} s): {"PASS" if median < GOAL_SECONDS else "MISS"}')
    print(f'startup: start to main window: median {statistics.median(mains):.3f} s (for information)')
    print(f'startup: peak memory: {max(peaks):.1f} MiB (goal < {GOAL_MIB} MiB): '
          f'{"PASS" if max(peaks) < GOAL_MIB else "MISS"}')


run(startup)

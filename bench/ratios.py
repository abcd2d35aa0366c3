#!/usr/bin/env python3
"""Prints each benchmark against its floor and goal, from Google Benchmark JSON files."""
import json
import sys

# (benchmark, floor, goal as a ratio to the floor, or None for an absolute goal in ms)
GOALS = [
    ("BM_KeyPress", "BM_KeyPressFloor", 1.3, None),
    ("BM_Shake", "BM_ShakeFloor", 1.3, None),
    ("BM_Open", "BM_OpenFloor", 1.5, None),
    ("BM_Save", "BM_SaveFloor/0", 1.5, None),
    ("BM_Save", "BM_SaveFloor/1", 1.5, None),  # /1: the floor with fsync
    ("BM_PrintToPdf", None, None, 50.0),
]

UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def main(paths):
    times = {}
    for path in paths:
        with open(path) as f:
            for b in json.load(f)["benchmarks"]:
                if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
                    continue
                scale = UNIT_NS[b.get("time_unit", "ns")]
                times[b.get("run_name", b["name"])] = (b["real_time"] * scale, b["cpu_time"] * scale)
    for name, floor, ratio_goal, ms_goal in GOALS:
        if name not in times:
            continue
        real, cpu = times[name]
        if floor:
            f_real, f_cpu = times[floor]
            r = real / f_real
            verdict = "PASS" if r <= ratio_goal else "MISS"
            print(f"{name}: {real / 1e3:.1f} us vs {floor} {f_real / 1e3:.1f} us = {r:.2f}x "
                  f"(cpu {cpu / f_cpu:.2f}x), goal {ratio_goal}x: {verdict}")
        else:
            verdict = "PASS" if real / 1e6 <= ms_goal else "MISS"
            print(f"{name}: {real / 1e6:.2f} ms, goal {ms_goal} ms: {verdict}")


if __name__ == "__main__":
    main(sys.argv[1:])

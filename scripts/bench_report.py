#!/usr/bin/env python3
"""Prints the figures of record from the JSON files of the benchmarks (scripts/bench.sh):
one line a figure, its median over the repetitions, the spread min-max and the coefficient of
variation, the median of its processor time beside the wall time, and for a tick the heap
allocations it makes. With --markdown the same as a table.

    bench_report.py [--markdown] FILE.json...
    bench_report.py --compare BEFORE_DIR AFTER_DIR    (medians and allocations side by side, as a table)
"""
import glob
import os
import json
import statistics
import sys

NAMES = {
    "TickIdle": "one tick, idle",
    "TickRoutesLocked": "one tick, routes locked",
    "TickSetAndRelease": "one tick, routes set and released",
    "TickTrainsMoving": "one tick, {} trains moving",
    "Day": "model day (speed-up over real time)",
    "StartToPanelPainted": "start to panel painted (warm)",
    "RouteClickToPanelUpdated": "route click to panel updated",
    "FullRepaint": "full repaint of the main window",
}
# Each with the counter of its processor time beside it (None: the figure is a size).
PROCESS = [
    ("start_s", "start to panel painted (fresh process)", "s", "start_cpu_s"),
    ("day_speedup", "model day in the program (speed-up)", "x", "day_speedup_cpu"),
    ("rss_start_MiB", "resident memory after start", "MiB", None),
    ("rss_day_MiB", "resident memory after a model day", "MiB", None),
]


def fmt(v):
    if v >= 1000:
        return f"{v:,.0f}"
    if v >= 10:
        return f"{v:.1f}"
    return f"{v:.3g}"


def allocs(v):
    """Heap allocations a tick (a mean over the timed ticks); blank for other figures."""
    if v is None:
        return ""
    return f"{v:.0f}" if v >= 100 or v == int(v) else f"{v:.1f}"


def load(paths):
    """The figures of the files: (label, median, min, max, unit, cv, runs, allocations a tick or
    None, the median in processor time or None) in order."""
    # The models' figures first, then the program's.
    paths = sorted(paths, key=lambda p: (not os.path.basename(p).startswith("models"), p))
    agg = {}
    proc = {}
    order = []
    for path in paths:
        with open(path) as f:
            data = json.load(f)
        for b in data.get("benchmarks", []):
            name = b.get("run_name", b["name"])
            if b.get("run_type") == "aggregate":
                if name not in agg:
                    agg[name] = {}
                    order.append(name)
                agg[name][b["aggregate_name"]] = b
            else:
                for key, _, _, cpu in PROCESS:
                    for k in (key, cpu):
                        if k and k in b:
                            proc.setdefault(k, []).append(b[k])
    rows = []
    # The check of the trains' scenario (one run each, no aggregate): printed as a note.
    for path in paths:
        with open(path) as f:
            for b in json.load(f).get("benchmarks", []):
                if b["name"].startswith("TrainsRunMost/") and "most" in b:
                    NOTES.append(f"trains run, station x{b['name'].split('/')[1]}: at most {b['most']:.0f} moving at once, "
                                 f"{100 * b.get('share_timed', 0):.0f}% of its seconds with the timed number moving, "
                                 f"{b.get('errors', 0):.0f} trainee errors, {b.get('refused', 0):.0f} messages refused")
    for name in order:
        parts = name.split("/")
        base = parts[0]
        label = NAMES.get(base, base)
        if "{}" in label:  # the first argument is a count, the second the station's size
            label = label.format(parts[1])
            size = f", station x{parts[2]}" if len(parts) > 2 and parts[2].isdigit() else ""
        else:
            size = f", station x{parts[1]}" if len(parts) > 1 and parts[1].isdigit() else ""
        a = agg[name]
        if base == "Day":
            med, lo, hi = (a[k]["speedup"] for k in ("median", "min", "max"))
            unit = "x"
            # The day's length over its processor time (cpu_time is per day, in ms).
            cpu = 86400.0 / (a["median"]["cpu_time"] / 1000.0)
        else:
            med, lo, hi = (a[k]["real_time"] for k in ("median", "min", "max"))
            unit = a["median"]["time_unit"].replace("us", "µs")
            cpu = a["median"]["cpu_time"]
        cv = a.get("cv", {}).get("real_time")
        n = a["median"].get("repetitions", "")
        rows.append((label + size, med, lo, hi, unit, cv, n, a["median"].get("allocs"), cpu))
    for key, label, unit, cpu in PROCESS:
        v = proc.get(key)
        if v:
            c = proc.get(cpu) if cpu else None
            rows.append((label, statistics.median(v), min(v), max(v), unit, None, len(v), None,
                         statistics.median(c) if c else None))
    return rows


NOTES = []


def cpufmt(v):
    return fmt(v) if v is not None else ""


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "--compare":
        before = {r[0]: r for r in load(glob.glob(os.path.join(sys.argv[2], "*.json")))}
        after = load(glob.glob(os.path.join(sys.argv[3], "*.json")))
        print("| figure | unit | before: median (min - max) | after: median (min - max) | allocations a tick: before | after |")
        print("|---|---|---:|---:|---:|---:|")
        for r in after:
            b = before.get(r[0])
            old = f"{fmt(b[1])} ({fmt(b[2])} - {fmt(b[3])})" if b else "-"
            old_allocs = allocs(b[7]) if b else ""
            print(f"| {r[0]} | {r[4]} | {old} | {fmt(r[1])} ({fmt(r[2])} - {fmt(r[3])}) | {old_allocs} | {allocs(r[7])} |")
        return
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    markdown = "--markdown" in sys.argv
    rows = load(args)
    if markdown:
        print("| figure | median (wall) | min - max (wall) | median (processor) | unit | runs | allocations a tick |")
        print("|---|---:|---:|---:|---|---:|---:|")
        for r in rows:
            print(f"| {r[0]} | {fmt(r[1])} | {fmt(r[2])} - {fmt(r[3])} | {cpufmt(r[8])} | {r[4]} | {r[6]} | {allocs(r[7])} |")
        return
    print(f"{'figure':52} {'median':>10} {'min - max':>22} {'cpu':>10} {'unit':5} {'cv':>6} {'runs':>4} {'allocs':>7}")
    for r in rows:
        cv = f"{100 * r[5]:.0f}%" if r[5] is not None else ""
        print(f"{r[0]:52} {fmt(r[1]):>10} {fmt(r[2]) + ' - ' + fmt(r[3]):>22} {cpufmt(r[8]):>10} {r[4]:5} {cv:>6} {r[6]:>4} {allocs(r[7]):>7}")
    for n in NOTES:
        print(n)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes a copy of a station's data folder holding N side-by-side copies of the station, each
copy with its own numbers, for the benchmarks: a station N times the size of the sample.

    scripts/scale_station.py SOURCE_DATA N OUT_DIR [--activity FILE] [--trains FILE]

Copy 0 keeps every number, so N = 1 gives the files unchanged. In copy c > 0:
  - switches (1-99) and signals (100-199) take numbers their range leaves free, in order;
  - grade fractures take the next free numbers from 1001; joints below 1000 add 100 * c (above
    1000 a joint is a boundary of the interlocking area), the boundaries add 2000 * c;
  - plan and interlocking sections add 1000 * c, parks, retarders and stretch tracks 10 * c;
  - technology objects placed by trenager.ini add 10 * c (each copy creates its own ten), and
    so do the train and locomotive numbers they are given (parameters 1025 and 1508) and the
    locomotive a cut is coupled to (1008); an object's target (1013) is renumbered by its
    type (1012): a signal, a section or a park; a train's entry block section (1533) as a
    section;
  - X coordinates add 20000 * c, so the copies lie apart;
  - the interlocking holds at most three stretch tracks: only copy 0 keeps its two (the
    block sections of later copies are plain block sections).
plan.dat and EC_Model.dat get every record once per copy (plan functions once); trenager.ini
gets the start-up messages of each copy in turn (panel messages once); the other files are
copied unchanged. With --activity, the scripted activity of the benchmarks ("{period} {offset}
{message}" lines) is written to OUT_DIR/activity.txt for every copy, copy c later by 13 * c s.
With --trains, the lesson trains of the benchmarks (bench/trains.txt) are written to
OUT_DIR/trains.txt for every copy, each line led by its copy's number, copy c's messages later
by 13 * c s.

The files are code page 1251; numbers are ASCII, so they are handled as bytes (latin-1) and
every other byte passes through unchanged.
"""
import argparse
import os
import shutil
import sys


def is_int(w):
    return w.lstrip("-").isdigit()


class Numbers:
    """The number maps of one copy."""

    def __init__(self, switches, signals, fractures, copy):
        self.c = copy
        self.sw = {}
        self.sig = {}
        self.frac = {}
        if copy == 0:
            self.sw = {n: n for n in switches}
            self.sig = {n: n for n in signals}
            self.frac = {n: n for n in fractures}
            return
        free_sw = [n for n in range(1, 100) if n not in switches]
        free_sig = [n for n in range(101, 200) if n not in signals]
        free_frac = [n for n in range(1001, 1100) if n not in fractures]
        for table, used, free in ((self.sw, switches, free_sw), (self.sig, signals, free_sig),
                                  (self.frac, fractures, free_frac)):
            start = (copy - 1) * len(used)
            if start + len(used) > len(free):
                sys.exit("scale_station: too many copies for the vertex number ranges")
            for i, n in enumerate(sorted(used)):
                table[n] = free[start + i]

    def vertex(self, n):
        n = int(n)
        if n == 0 or self.c == 0:
            return str(n)
        if n < 100:
            return str(self.sw[n])
        if n < 200:
            return str(self.sig[n])
        if 1000 <= n < 1100:
            return str(self.frac[n])
        if n < 1000:
            # Joints inside the area stay below 1000: above it a joint is the area's boundary.
            if n + 100 * self.c >= 1000:
                sys.exit("scale_station: too many copies for the joint numbers")
            return str(n + 100 * self.c)
        return str(n + 2000 * self.c)

    def section(self, n):
        n = int(n)
        return str(n + 1000 * self.c) if n > 0 else str(n)

    def small(self, n):
        n = int(n)
        return str(n + 10 * self.c) if n > 0 else str(n)


def read_lines(path):
    with open(path, "rb") as f:
        return f.read().decode("latin-1").splitlines(keepends=True)


def write_lines(path, lines):
    with open(path, "wb") as f:
        f.write("".join(lines).encode("latin-1"))


def split_record(line):
    """The words of a data line and its line end; None for a blank or comment line."""
    body = line.rstrip("\r\n")
    end = line[len(body):]
    s = body.strip()
    if not s or s.startswith("*"):
        return None, end
    return body.split(), end


def used_vertices(plan_lines):
    switches, signals, fractures = set(), set(), set()
    for line in plan_lines:
        w, _ = split_record(line)
        if not w or not is_int(w[0]) or len(w) < 2 or not is_int(w[1]):
            continue
        kind, n = int(w[0]), int(w[1])
        if kind == 1:
            switches.add(n)
        elif kind == 3:
            signals.add(n)
        elif kind == 6:
            fractures.add(n)
    return switches, signals, fractures


def map_words(w, fields, m):
    """fields gives, by word index, 'v' vertex, 's' section, 'n' small number, 'x' X coordinate,
    'S' sections from here on, 'V' the word if it is the same vertex number; other words stay."""
    out = list(w)
    rest = None
    for i, word in enumerate(w):
        kind = rest if rest else (fields[i] if i < len(fields) else "-")
        if kind == "S":
            rest = "S"
            kind = "s"
        if not is_int(word) and kind not in ("x",):
            continue
        if kind == "v":
            out[i] = m.vertex(word)
        elif kind == "s":
            out[i] = m.section(word)
        elif kind == "n":
            out[i] = m.small(word)
        elif kind == "x":
            try:
                out[i] = format_number(float(word) + 20000 * m.c, word)
            except ValueError:
                pass
    return out


def format_number(value, like):
    return str(int(value)) if "." not in like else repr(value)


PLAN_FIELDS = {
    "1": "-v-ssssS",      # switch: number, position, four ends, own sections
    "3": "-v",            # signal
    "6": "-v",            # grade fracture
    "2": "-svv",          # section: number, from, to
    "4": "-n-S",          # park: number, name, sections
    "5": "-n--S",         # retarder: number, type, index, sections
    "7": "-vx",           # coordinates: vertex, X (the name is handled below)
}

EC_FIELDS = {
    "4": "-s--S",         # section: number, type, option, plan sections
    "1": "-vsvvvvv",      # switch: number, section, paired, four neighbours
    "5": "-sV",           # switches of a switch section
    "2": "-v--svv--sss",  # signal
    "3": "-vvv--ss",      # joint
    "6": "-n-vvS",        # stretch track
}


def scale_records(lines, layouts, maps):
    out = []
    for line in lines:
        w, end = split_record(line)
        if w is None or w[0] not in layouts:
            out.append(line)  # comments and the plan functions: once
            continue
        for m in maps:
            if layouts is EC_FIELDS and w[0] == "6" and m.c >= 1:
                continue  # the interlocking holds three stretch tracks at most
            fields = layouts[w[0]]
            if fields == "-sV":  # a switch section's switches: every word after the section
                nw = [w[0], m.section(w[1])] + [m.vertex(x) for x in w[2:]]
            else:
                nw = map_words(w, fields, m)
            if w[0] == "7" and layouts is PLAN_FIELDS and len(w) > 5 and w[5] == w[1]:
                nw[5] = nw[1]
            out.append(" ".join(nw) + end)
    return out


# Technology parameters of the start-up messages that hold a number of their copy: the train
# number, the locomotive number and the object a cut is coupled to.
OBJECT_PARAMS = ("1025", "1508", "1008")


def map_pairs(w, start, m):
    """The technology "{parameter} {value}" pairs of w from index start, numbers of the copy
    shifted; negative values (none) stay."""
    target = "0"  # 1012, the kind of the target: 1 and 2 a signal, 3 a section, 4 a park
    for i in range(start, len(w) - 1, 2):
        if w[i] == "1012":
            target = w[i + 1]
    for i in range(start, len(w) - 1, 2):
        if not is_int(w[i + 1]) or int(w[i + 1]) <= 0:
            continue
        if w[i] in OBJECT_PARAMS or (w[i] == "1013" and target == "4"):
            w[i + 1] = m.small(w[i + 1])
        elif w[i] == "1013" and target in ("1", "2"):
            w[i + 1] = m.vertex(w[i + 1])
        elif (w[i] == "1013" and target == "3") or w[i] == "1533":
            w[i + 1] = m.section(w[i + 1])


def scale_ini(lines, maps):
    out = []
    for m in maps:
        for line in lines:
            w, end = split_record(line)
            if w is None:
                if m.c == 0:
                    out.append(line)
                continue
            nw = list(w)
            if w[0] == "4":
                if m.c != 0:
                    continue
            elif w[0] == "1" and len(w) > 2 and w[1] == "6":
                nw[2] = m.section(w[2])
                if len(w) > 3:
                    nw[3] = m.small(w[3])
            elif w[0] == "1" and len(w) > 2 and w[1] == "37":
                nw[2] = m.vertex(w[2])
            elif w[0] == "3" and len(w) > 2 and w[1] in ("13", "8", "5"):
                nw[2] = m.small(w[2])
                map_pairs(nw, 3, m)
            elif w[0] == "3" and len(w) > 2 and w[1] == "6":
                map_pairs(nw, 3, m)
            elif w[0] == "3" and len(w) > 2 and w[1] == "18":
                map_pairs(nw, 2, m)
            out.append(" ".join(nw) + end)
    return out


def scale_activity(lines, maps):
    out = []
    for m in maps:
        for line in lines:
            w, end = split_record(line)
            if w is None or len(w) < 4:
                continue
            period, offset, mes = w[0], int(w[1]) + 13 * m.c, list(w[2:])
            if mes[0] == "2" and len(mes) > 2 and mes[1] in ("4", "5", "16"):
                mes[2] = m.vertex(mes[2])
            out.append(" ".join([period, str(offset % int(period))] + mes) + "\n")
    return out


def scale_trains(lines, maps):
    """The lesson trains' lines ("at {second} {message}", "train {back} {creation}", "lay
    {section} {position} {direction}") of every copy, led by the copy's number."""
    out = []
    for m in maps:
        for line in lines:
            w, end = split_record(line)
            if w is None or len(w) < 3:
                continue
            mes = list(w[2:])
            if w[0] == "at":
                w[1] = str(int(w[1]) + 13 * m.c)
            if w[0] == "lay":
                w[1] = m.section(w[1])
            elif mes[0] == "2" and len(mes) > 2 and mes[1] in ("4", "5", "16"):
                mes[2] = m.vertex(mes[2])
            elif mes[0] == "3" and len(mes) > 2 and mes[1] == "5":
                mes[2] = m.small(mes[2])
                map_pairs(mes, 3, m)
            elif mes[0] == "3" and len(mes) > 2 and mes[1] == "6":
                map_pairs(mes, 3, m)
            out.append(" ".join([str(m.c)] + w[:2] + mes) + "\n")
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("source")
    ap.add_argument("copies", type=int)
    ap.add_argument("out")
    ap.add_argument("--activity")
    ap.add_argument("--trains")
    a = ap.parse_args()
    if a.copies < 1:
        sys.exit("scale_station: at least one copy")
    data = os.path.join(a.out, "data")
    if os.path.isdir(data):
        shutil.rmtree(data)
    shutil.copytree(a.source, data)
    files = {name.lower(): name for name in os.listdir(data)}

    plan = read_lines(os.path.join(data, files["plan.dat"]))
    maps = [Numbers(*used_vertices(plan), copy=c) for c in range(a.copies)]
    if a.copies > 1:
        write_lines(os.path.join(data, files["plan.dat"]), scale_records(plan, PLAN_FIELDS, maps))
        ec = os.path.join(data, files["ec_model.dat"])
        write_lines(ec, scale_records(read_lines(ec), EC_FIELDS, maps))
        ini = os.path.join(data, files["trenager.ini"])
        write_lines(ini, scale_ini(read_lines(ini), maps))
    if a.activity:
        write_lines(os.path.join(a.out, "activity.txt"), scale_activity(read_lines(a.activity), maps))
    if a.trains:
        write_lines(os.path.join(a.out, "trains.txt"), scale_trains(read_lines(a.trains), maps))


if __name__ == "__main__":
    main()

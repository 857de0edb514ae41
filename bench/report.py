#!/usr/bin/env python3
"""Prints the benchmark's tables (Markdown) from bench.sh's results.tsv.

  report.py RESULTS CACHE MAIN_SIZE
"""
import collections
import statistics
import sys


def load(path):
    data = collections.defaultdict(list)
    with open(path) as lines:
        for line in lines:
            set_, contender, _round, key, value = line.rstrip("\n").split("\t")
            data[(set_, contender, key)].append(float(value))
    return data


class Figures:
    def __init__(self, data):
        self.data = data

    def median(self, set_, contender, key="ms"):
        values = self.data.get((set_, contender, key))
        return statistics.median(values) if values else None

    def empty_installer(self, set_):
        """The empty NSIS installer's median wall time in this set (else in all)."""
        values = self.data.get((set_, "nsis-empty", "ms")) or [
            v for k, vs in self.data.items() if k[1] == "nsis-empty" and k[2] == "ms" for v in vs]
        return statistics.median(values) if values else None

    def sets(self, prefix):
        found = sorted({k[0] for k in self.data if k[0].startswith(prefix)},
                       key=lambda s: int(s.split("-")[1]))
        return found


def fmt(value, unit=""):
    return "-" if value is None else "%.0f%s" % (value, unit)


def ratio(a, b):
    return "-" if a is None or not b else "%.2f" % (a / b)


def game_table(f):
    print("| payload | ours (copy step) | ours, process | native cp + pak extract | NSIS, process "
          "| NSIS net of an empty installer | ours / native | ours / NSIS net | peak memory above start |")
    print("|---|---|---|---|---|---|---|---|---|")
    for s in f.sets("game-"):
        ours, wall = f.median(s, "ours"), f.median(s, "ours", "wall_ms")
        native, nsis, empty = f.median(s, "native"), f.median(s, "nsis"), f.median(s, "nsis-empty")
        net = nsis - empty if nsis is not None and empty is not None else None
        peak, base = f.median(s, "ours", "peak_kib"), f.median(s, "ours", "base_kib")
        memory = "%.1f MiB" % ((peak - base) / 1024) if peak and base else "-"
        print("| %s MiB | %s ms | %s ms | %s ms | %s ms | %s ms | %s | %s | %s |" % (
            s.split("-")[1], fmt(ours), fmt(wall), fmt(native), fmt(nsis), fmt(net),
            ratio(ours, native), ratio(ours, net), memory))


def phase_table(f, main):
    s = "game-%s" % main
    print("| phase (%s MiB payload) | ours | native | ours / native |" % main)
    print("|---|---|---|---|")
    for name, ours, native in (("stored archive unpack", "ours-stored", "native-stored"),
                               ("compressed archive unpack", "ours-packed", "native-packed"),
                               ("loose files copy", "ours-loose", "native-loose")):
        a, b = f.median(s, ours), f.median(s, native)
        print("| %s | %s ms | %s ms | %s |" % (name, fmt(a), fmt(b), ratio(a, b)))
    lookup = f.median(s, "lookup", "per_lookup_ms")
    if lookup is not None:
        print("| marker lookup through the archives (each) | %.2f ms | - | - |" % lookup)


def small_table(f):
    sets = f.sets("small-")
    if not sets:
        return
    print("| small files | ours (copy step) | native cp -r | NSIS net of an empty installer |")
    print("|---|---|---|---|")
    rows = {}
    for s in sets:
        n = int(s.split("-")[1])
        ours, native = f.median(s, "ours"), f.median(s, "native")
        nsis, empty = f.median(s, "nsis"), f.empty_installer(s)
        net = nsis - empty if nsis is not None and empty is not None else nsis
        rows[n] = (ours, native, net)
        print("| %d | %s ms | %s ms | %s ms |" % (n, fmt(ours), fmt(native), fmt(net)))
    if len(rows) >= 2:
        lo, hi = min(rows), max(rows)
        per = [(rows[hi][i] - rows[lo][i]) * 1000 / (hi - lo)
               if rows[hi][i] is not None and rows[lo][i] is not None else None for i in range(3)]
        print()
        print("Per-file cost (slope from %d to %d files): ours %s µs, native %s µs, NSIS %s µs; "
              "ours / native %s." % (lo, hi, fmt(per[0]), fmt(per[1]), fmt(per[2]), ratio(per[0], per[1])))


def startup_table(f):
    setup, dialog = f.median("startup", "setup"), f.median("startup", "dialog")
    if setup is None:
        return
    print("| start-up to the first visible window | setup.exe menu | smallest dialog program | difference |")
    print("|---|---|---|---|")
    print("| visible | %s ms | %s ms | %s ms |" % (fmt(setup), fmt(dialog), fmt(setup - dialog)))
    a, b = f.median("startup", "setup", "idle_ms"), f.median("startup", "dialog", "idle_ms")
    print("| answering messages | %s ms | %s ms | %s ms |" % (fmt(a), fmt(b), fmt(a - b)))


def main():
    f = Figures(load(sys.argv[1]))
    print("\nCache: %s. Medians of every round.\n" % sys.argv[2])
    game_table(f)
    print()
    phase_table(f, sys.argv[3])
    print()
    small_table(f)
    print()
    startup_table(f)


if __name__ == "__main__":
    main()

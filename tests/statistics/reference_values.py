#!/usr/bin/python3
"""Reference figures for SignificanceTest.cpp, computed with SciPy (Debian python3-scipy).

Run once by hand when a fixture changes: /usr/bin/python3 tests/statistics/reference_values.py
[WIESBADEN_FILE...]. It prints the figures that the test tables hold. The tests themselves
do not need Python.

The figures follow the definitions of the significance tests directly:
numbers, dozens/columns and throw distances with scipy.stats.chisquare, the z tests with
scipy.stats.norm.sf, sector tables row by row with scipy.stats.chisquare (a row with k
non-empty sectors has k - 1 degrees of freedom) summed and referred to scipy.stats.chi2.sf.
"""
import sys

import scipy
from scipy import stats

WHEEL = [0, 32, 15, 19, 4, 21, 2, 25, 17, 34, 6, 27, 13, 36, 11, 30, 8, 23, 10,
         5, 24, 16, 33, 1, 20, 14, 31, 9, 22, 18, 29, 7, 28, 12, 35, 3, 26]
POSITION = {n: i for i, n in enumerate(WHEEL)}
RED = {1, 3, 5, 7, 9, 12, 14, 16, 18, 19, 21, 23, 25, 27, 30, 32, 34, 36}

# The fixture of SignificanceTest.cpp: H a hand change, E an empty row.
FIXTURE = """
H 35 19 30 30 15 9 26 19 18 6 23 34 8 10 28 34 36 3 32 35 4 15 29 6 21 24 30 0 24 36 24
20 27 17 26 20 36 25 2 22 24 14 12 7 30 17 22 6 16 9 28 1 25 30 27 26 29 12 11 1 H H 8 9
31 17 6 31 7 20 3 30 3 32 5 13 21 35 8 28 1 15 9 14 8 31 7 9 33 29 12 0 H 14 19 31 13 23
1 25 18 25 35 20 19 1 22 34 18 10 6 10 31 3 6 2 25 24 4 22 31 32 18 24 19 21 16 4 12 7 7
34 20 25 4 17 28 1 24 36 25 36 35 E 27 4 30 9 36 33 19 6 7 9 11 17 28 36 29 4 0 1 18 32
31 27 6 1 4 8 4 4 2 36 9 17 5 20 32 23 19 31 17 17 17 28 31 34 11 16 30 3 21 4 9 16 7 20
15 28 19 11 29 0 22 0
"""

PRESET_5X4 = [[3, 26, 0, 32, 15], [19, 4, 21, 2], [25, 17, 34, 6], [27, 13, 36, 11],
              [30, 8, 23, 10], [5, 24, 16, 33], [1, 20, 14, 31], [9, 22, 18, 29],
              [7, 28, 12, 35]]
PRESET_SERIES = [[0, 2, 3, 4, 7, 12, 15, 18, 19, 21, 22, 25, 26, 28, 29, 32, 35],
                 [5, 8, 10, 11, 13, 16, 23, 24, 27, 30, 33, 36],
                 [1, 6, 9, 14, 17, 20, 31, 34]] + [[]] * 6


def chances():
    return [("Rouge", lambda x: x in RED), ("Noir", lambda x: x != 0 and x not in RED),
            ("Impair", lambda x: x % 2 == 1), ("Pair", lambda x: x != 0 and x % 2 == 0),
            ("Manque", lambda x: 1 <= x <= 18), ("Passe", lambda x: x >= 19)]


def distance(a, b):
    return (POSITION[b] - POSITION[a]) % 37


def chisq(observed, expected=None):
    result = stats.chisquare(observed, f_exp=expected)
    return float(result.statistic), float(result.pvalue)


def sections(tokens):
    """(first coup, distances) of every section between hand changes."""
    out, current, first, coup = [], [], 0, 0
    for t in tokens + ["H"]:
        if t == "H":
            if len(current) > 1:
                out.append((first, [distance(a, b) for a, b in zip(current, current[1:])]))
            current = []
        elif t != "E":
            coup += 1
            if not current:
                first = coup
            current.append(int(t))
    return out


def directed_pairs(seq, direction):
    # Position p (1-based) of the earlier coup: A for even p, B for odd p >= 3.
    return [(seq[p - 1], seq[p]) for p in range(2, len(seq)) if (p % 2 == 0) == (direction == "A")]


def sector_cell(seq, sectors, direction, s, t):
    """Observed, expected and residual of cell [s][t] (sectors from 0)."""
    pairs = directed_pairs(seq, direction)
    observed = sum(1 for a, b in pairs if a in sectors[s] and b in sectors[t])
    expected = sum(1 for a, _ in pairs if a in sectors[s]) * len(sectors[t]) / 37
    return observed, expected, (observed - expected) / expected ** 0.5


def sector_test(seq, sectors, direction):
    pairs = directed_pairs(seq, direction)
    sizes = [len(s) for s in sectors]
    statistic, df = 0.0, 0
    for s in sectors:
        row = [(a, b) for a, b in pairs if a in s]
        if not row:
            continue
        observed = [sum(1 for _, b in row if b in t) for t, size in zip(sectors, sizes) if size]
        expected = [len(row) * size / 37 for size in sizes if size]
        statistic += chisq(observed, expected)[0]
        df += len(observed) - 1
    return statistic, df, float(stats.chi2.sf(statistic, df))


def report(tokens, sector_sets=()):
    seq = [int(t) for t in tokens if t not in ("H", "E")]
    n = len(seq)
    print(f"coups {n}")
    counts = [seq.count(k) for k in range(37)]
    print("numbers chi2 %.17g p %.17g" % chisq(counts))
    print("numbers observed", counts)
    for k in (0, 17):
        print("numbers residual[%d] %.17g" % (k, (counts[k] - n / 37) / (n / 37) ** 0.5))
    for name, member in chances():
        k = sum(1 for x in seq if member(x))
        z = (k - n * 18 / 37) / (n * (18 / 37) * (19 / 37)) ** 0.5
        print("%s count %d z %.17g p %.17g" % (name, k, z, 2 * stats.norm.sf(abs(z))))
    for name, groups in (("Dutzende", [range(1, 13), range(13, 25), range(25, 37)]),
                         ("Kolonnen", [range(1, 37, 3), range(2, 37, 3), range(3, 37, 3)])):
        observed = [sum(1 for x in seq if x in g) for g in groups] + [seq.count(0)]
        expected = [n * 12 / 37] * 3 + [n / 37]
        print("%s chi2 %.17g p %.17g" % ((name,) + chisq(observed, expected)))
    for name, member in (("Rouge/Noir", lambda x: x in RED), ("Impair/Pair", lambda x: x % 2),
                         ("Manque/Passe", lambda x: x <= 18)):
        sides = [bool(member(x)) for x in seq if x != 0]
        n1, n2 = sides.count(True), sides.count(False)
        runs = 1 + sum(1 for a, b in zip(sides, sides[1:]) if a != b)
        e = 2 * n1 * n2 / (n1 + n2) + 1
        var = 2 * n1 * n2 * (2 * n1 * n2 - n1 - n2) / ((n1 + n2) ** 2 * (n1 + n2 - 1))
        z = (runs - e) / var ** 0.5
        print("%s runs %d E %.17g z %.17g p %.17g" % (name, runs, e, z, 2 * stats.norm.sf(abs(z))))
    alle = [distance(a, b) for a, b in zip(seq, seq[1:])]
    a_dirs = [distance(seq[p - 1], seq[p]) for p in range(2, n) if p % 2 == 0]
    b_dirs = [distance(seq[p - 1], seq[p]) for p in range(3, n) if p % 2 == 1]
    for name, ds in (("alle", alle), ("A", a_dirs), ("B", b_dirs)):
        distribution = [ds.count(d) for d in range(37)]
        print("distances %s pairs %d chi2 %.17g p %.17g"
              % ((name, len(ds)) + chisq(distribution)), distribution)
    for first, ds in sections(tokens):
        if len(ds) >= 37:
            print("section first %d pairs %d chi2 %.17g p %.17g"
                  % ((first, len(ds)) + chisq([ds.count(d) for d in range(37)])))
    for label, sectors in sector_sets:
        sets = [set(s) for s in sectors]
        for direction in ("A", "B"):
            print("sectors %s %s chi2 %.17g df %d p %.17g"
                  % ((label, direction) + sector_test(seq, sets, direction)))
            for s, t in ((0, 0), (1, 2)):
                print("  cell [%d][%d] O %d E %.17g residual %.17g"
                      % ((s, t) + sector_cell(seq, sets, direction, s, t)))


def wiesbaden(path):
    with open(path) as f:
        return [t.strip() for line in f for t in line.split(",") if t.strip()]


if __name__ == "__main__":
    print(f"scipy {scipy.__version__}")
    print("-- distributions")
    for df, x in ((36, 50.998), (36, 58.619), (3, 7.815), (3, 11.345), (36, 0.5), (3, 400.0)):
        print("chi2.sf(%g, %d) = %.17g" % (x, df, stats.chi2.sf(x, df)))
    for z in (1.959963984540054, 2.5758293035489004, 0.0, 8.0):
        print("2 norm.sf(%.17g) = %.17g" % (z, 2 * stats.norm.sf(z)))
    print("-- fixture")
    report(FIXTURE.split(), [("5x4", PRESET_5X4), ("serien", PRESET_SERIES)])
    for path in sys.argv[1:]:
        print("--", path)
        report(wiesbaden(path))

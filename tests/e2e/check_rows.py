#!/usr/bin/env python3
"""check_rows.py FILE...: every hit of the local alignment files given must
have the counts, score and coordinates of its printed rows, and no gap in
one sequence may stand beside a gap in the other (a gapless column pair
aligns those residues better). Prints each fault and exits 1 if any."""
import re
import sys

SCORE = re.compile(
    r"Score: (-?\d+), Matches: (\d+), Mismatches: (\d+), Gaps #: (\d+) Gaps length: (\d+)$")
COORDS = re.compile(r"\s+1st: (\d+) \.\. (\d+) \((\d+)\)\s+2nd: (\d+) \.\. (\d+) \((\d+)\)")


def row_faults(top, bottom):
    """Faults of one hit's joined rows; also returns the counts they give."""
    faults = []
    matches = mismatches = gaps = gap_length = pending = 0
    previous = None
    for a, b in zip(top, bottom):
        if a == "-" and b == "-":
            faults.append("a column of two gaps")
        kind = 1 if a == "-" else 2 if b == "-" else 0
        if kind and previous and kind != previous:
            faults.append("opposite gaps side by side")
        previous = kind
        if kind:
            pending += 1
            continue
        if a.upper() == b.upper() and a.upper() != "N":
            matches += 1
        else:
            mismatches += 1
        if pending:
            gaps += 1
            gap_length += pending
            pending = 0
    if pending:
        faults.append("a gap at the end")
    return faults, (matches, mismatches, gaps, gap_length)


def check_hit(header, coords, rows):
    faults = []
    top = "".join(rows[0::3])
    bottom = "".join(rows[2::3])
    if len(top) != len(bottom):
        return ["rows of unequal length"]
    found, counts = row_faults(top, bottom)
    faults += found
    want = tuple(int(v) for v in header.groups()[1:])
    if counts != want:
        faults.append("header counts %s, rows %s" % (want, counts))
    m, x, g, l = counts
    score = m - x - 3 * g - l
    # The score line writes (100 * score + 50) / 100 truncated toward zero.
    if score < 0:
        score += 1
    if int(header.group(1)) != score:
        faults.append("header score %s, rows %d" % (header.group(1), score))
    if coords:
        f1, t1, n1, f2, t2, n2 = (int(v) for v in coords.groups())
        r1 = len(top) - top.count("-")
        r2 = len(bottom) - bottom.count("-")
        if (abs(t1 - f1) + 1, n1, abs(t2 - f2) + 1, n2) != (r1, r1, r2, r2):
            faults.append("coordinates %s, rows hold %d and %d residues" %
                          (coords.group(0).strip(), r1, r2))
    return faults


def check_file(path):
    faults = []
    with open(path, errors="replace") as f:
        lines = f.read().split("\n")
    i = 0
    while i < len(lines):
        header = SCORE.match(lines[i])
        if not header:
            i += 1
            continue
        coords = COORDS.match(lines[i + 1]) if i + 1 < len(lines) else None
        i += 2
        rows = []
        while i + 2 < len(lines) and lines[i] and not SCORE.match(lines[i]):
            rows += lines[i:i + 3]
            i += 4
        for fault in check_hit(header, coords, rows):
            faults.append("%s: hit at %s: %s" % (path, coords.group(0).strip() if coords else "?",
                                                 fault))
    return faults


def main():
    faults = []
    for path in sys.argv[1:]:
        faults += check_file(path)
    for fault in faults:
        print(fault)
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()

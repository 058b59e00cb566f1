#!/usr/bin/env python3
"""Scores alignments against a truth or against LASTZ, for the benchmarks.

score_pairs.py truth VELK.loc_align TRUTH.tsv
    recall: share of the truth's pairs (a position of sequence 1, its
    homologue in sequence 2) that an aligned column reproduces within 10
    positions; precision: share of the aligned columns at those positions
    of sequence 1 that agree with the truth within 10 (a column on a deleted
    position is wrong). Prints "recall precision".
score_pairs.py points VELK.loc_align POINTS.tsv
    recall of the plus-strand points of a truth with one point per kilobase
    (a_pos, b_pos, strand), as the shared synthetic pair has.
score_pairs.py lastz-truth LASTZ.txt TRUTH.tsv
    the same as truth for LASTZ's plus-strand alignments written with
    --format=general:strand2,zstart1,zstart2,text1,text2.
score_pairs.py off-truth VELK.loc_align POINTS.tsv
    hits on the truth and off it (repeat copies aligned to each other): a
    hit is on the truth when its start or end lies within 100 positions of
    the diagonal of a plus-strand point within 3 kb. Prints "on off".
score_pairs.py self VELK.loc_align LASTZ.txt
    a sequence against itself: share of the columns LASTZ aligns off the
    diagonal (plus strand) that an off-diagonal column of Velk reproduces
    within 10 positions; then the off-diagonal columns of each. Prints
    "share velk_columns lastz_columns".
score_pairs.py self-bands VELK.loc_align LASTZ.txt
    the same share by the identity of LASTZ's alignments (under 60, 60-70,
    70-80, 80-90, 90 % and over): "band:share/columns" for each.
score_pairs.py misplaced VELK.loc_align TRUTH.tsv
    share of the aligned columns at truth positions of sequence 1 that sit
    1 to 10 positions from the homologue (found, but a few bases off), and
    the share more than 10 off. Prints "near_miss far".
score_pairs.py lastz-misplaced LASTZ.txt TRUTH.tsv
    the same for LASTZ's plus-strand alignments.
score_pairs.py strands POINTS.tsv PLUS.loc_align [MINUS.loc_align]
    recall of both strands' points of an evolve.py truth: PLUS from Align
    on the pair, MINUS from Align with sequence 2 invert-complemented
    (without it, plus-strand points only). Prints "recall points".
score_pairs.py lastz-strands POINTS.tsv LASTZ.txt SEQ2.fa
    the same for LASTZ's alignments of both strands.
score_pairs.py coverage VELK.loc_align LASTZ.txt
    share of the sequence-1 positions in LASTZ's plus-strand alignments
    (same format) that Velk's hits span.
"""
import bisect
import re
import sys

TOLERANCE = 10


def walk(p1, p2, text1, text2, step2=1):
    """Aligned columns of two gapped texts starting at p1, p2."""
    for a, b in zip(text1, text2):
        if a != "-" and b != "-":
            yield p1, p2
        if a != "-":
            p1 += 1
        if b != "-":
            p2 += step2


def velk_columns(path):
    """Per aligned column of every hit: (position 1, position 2), 1-based."""
    hit = re.compile(r"\s+1st: (\d+) \.\. \d+ \(\d+\)\s+2nd: (\d+) \.\. (\d+)")
    p1 = p2 = None
    rows = []
    step2 = 1
    with open(path) as f:
        for line in f:
            m = hit.match(line)
            if m:
                p1, p2 = int(m.group(1)), int(m.group(2))
                # An invert-complemented sequence 2 counts down.
                step2 = -1 if int(m.group(3)) < p2 else 1
                rows = []
                continue
            if p1 is None:
                continue
            text = line.rstrip("\n")
            if not text:
                rows = []
                continue
            rows.append(text)
            if len(rows) == 3:
                yield from walk(p1, p2, rows[0], rows[2], step2)
                p1 += len(rows[0]) - rows[0].count("-")
                p2 += step2 * (len(rows[2]) - rows[2].count("-"))
                rows = []


def lastz_columns(path, length2=None):
    """LASTZ's plus-strand columns; with length2 also its minus-strand ones,
    in the forward coordinates of sequence 2."""
    with open(path) as f:
        for line in f:
            if line.startswith("#"):
                continue
            strand2, z1, z2, t1, t2 = line.split()
            if strand2 == "+":
                yield from walk(int(z1) + 1, int(z2) + 1, t1, t2)
            elif length2:
                yield from walk(int(z1) + 1, length2 - int(z2), t1, t2, -1)


def read_points(path):
    """The points of an evolve.py truth: {strand: {a_pos: b_pos}}."""
    points = {"+": {}, "-": {}}
    with open(path) as f:
        for line in f:
            fields = line.split()
            if len(fields) == 3 and fields[0].isdigit():
                points[fields[2]][int(fields[0])] = int(fields[1])
    return points


def fasta_length(path):
    with open(path) as f:
        return sum(len(line.strip()) for line in f if not line.startswith(">"))


def read_truth(path):
    truth = {}
    with open(path) as f:
        for line in f:
            a, b = line.split()[:2]
            if a.isdigit():
                truth[int(a)] = int(b)
    return truth


def hit_boxes(path):
    hit = re.compile(r"\s+1st: (\d+) \.\. (\d+) \(\d+\)\s+2nd: (\d+) \.\. (\d+)")
    with open(path) as f:
        for line in f:
            m = hit.match(line)
            if m:
                yield tuple(int(g) for g in m.groups())


def off_truth(path, points_path):
    points = []
    with open(points_path) as f:
        for line in f:
            fields = line.split()
            if len(fields) == 3 and fields[2] == "+" and fields[0].isdigit():
                points.append((int(fields[0]), int(fields[1]) - int(fields[0])))
    points.sort()
    keys = [a for a, _ in points]
    on = off = 0
    for s1, e1, s2, e2 in hit_boxes(path):
        good = False
        for x, y in ((s1, s2), (e1, e2)):
            i = bisect.bisect_left(keys, x - 3000)
            while i < len(keys) and keys[i] <= x + 3000 and not good:
                good = abs((y - x) - points[i][1]) <= 100
                i += 1
        on += good
        off += not good
    return on, off


def truth_scores(columns, truth):
    found, wrong, seen = set(), 0, 0
    for p1, p2 in columns:
        if p1 not in truth:
            continue
        seen += 1
        t = truth[p1]
        if t and abs(p2 - t) <= TOLERANCE:
            found.add(p1)
        else:
            wrong += 1
    homologous = sum(1 for v in truth.values() if v)
    recall = len(found) / homologous if homologous else 0.0
    precision = (seen - wrong) / seen if seen else 0.0
    return recall, precision


def off_diagonal(velk):
    """Velk's off-diagonal columns: {position 1: [positions 2]}."""
    found = {}
    for p1, p2 in velk:
        if p1 != p2:
            found.setdefault(p1, []).append(p2)
    return found


def self_scores(velk, lastz):
    found = off_diagonal(velk)
    velk_count = sum(len(v) for v in found.values())
    covered = total = 0
    for p1, p2 in lastz:
        if p1 == p2:
            continue
        total += 1
        if any(abs(q - p2) <= TOLERANCE for q in found.get(p1, ())):
            covered += 1
    return (covered / total if total else 0.0), velk_count, total


IDENTITY_BANDS = (60, 70, 80, 90)


def self_bands(velk, path):
    found = off_diagonal(velk)
    bands = [[0, 0] for _ in range(len(IDENTITY_BANDS) + 1)]
    with open(path) as f:
        for line in f:
            if line.startswith("#"):
                continue
            strand2, z1, z2, t1, t2 = line.split()
            if strand2 != "+":
                continue
            pairs = [(a, b) for a, b in zip(t1, t2) if a != "-" and b != "-"]
            same = sum(1 for a, b in pairs if a.upper() == b.upper())
            band = bisect.bisect_right(IDENTITY_BANDS, 100 * same / max(1, len(pairs)))
            for p1, p2 in walk(int(z1) + 1, int(z2) + 1, t1, t2):
                if p1 != p2:
                    bands[band][1] += 1
                    bands[band][0] += any(abs(q - p2) <= TOLERANCE for q in found.get(p1, ()))
    names = ["<60"] + ["%d-%d" % pair for pair in zip(IDENTITY_BANDS, IDENTITY_BANDS[1:])]
    names.append(">=%d" % IDENTITY_BANDS[-1])
    return " ".join("%s:%.3f/%d" % (name, c / t if t else 0.0, t) for name, (c, t) in zip(names, bands))


def misplaced(columns, truth):
    near = far = seen = 0
    for p1, p2 in columns:
        t = truth.get(p1)
        if not t:
            continue
        seen += 1
        off = abs(p2 - t)
        if 0 < off <= TOLERANCE:
            near += 1
        elif off > TOLERANCE:
            far += 1
    return (near / seen, far / seen) if seen else (0.0, 0.0)


def main():
    kind, first, second = sys.argv[1:4]
    if kind == "truth":
        print("%.4f %.4f" % truth_scores(velk_columns(first), read_truth(second)))
    elif kind == "lastz-truth":
        print("%.4f %.4f" % truth_scores(lastz_columns(first), read_truth(second)))
    elif kind == "points":
        plus = {}
        with open(second) as f:
            for line in f:
                fields = line.split()
                if len(fields) == 3 and fields[2] == "+" and fields[0].isdigit():
                    plus[int(fields[0])] = int(fields[1])
        print("%.4f" % truth_scores(velk_columns(first), plus)[0])
    elif kind == "off-truth":
        print("%d %d" % off_truth(first, second))
    elif kind == "self":
        print("%.4f %d %d" % self_scores(velk_columns(first), lastz_columns(second)))
    elif kind == "self-bands":
        print(self_bands(velk_columns(first), second))
    elif kind == "misplaced":
        print("%.4f %.4f" % misplaced(velk_columns(first), read_truth(second)))
    elif kind == "lastz-misplaced":
        print("%.4f %.4f" % misplaced(lastz_columns(first), read_truth(second)))
    elif kind in ("strands", "lastz-strands"):
        points = read_points(first)
        if kind == "strands":
            plus = velk_columns(second)
            minus = velk_columns(sys.argv[4]) if len(sys.argv) > 4 else ()
        else:
            plus = minus = list(lastz_columns(second, fasta_length(sys.argv[4])))
        wanted = dict(points["+"])
        found = truth_scores(plus, points["+"])[0] * len(points["+"])
        if kind == "lastz-strands" or len(sys.argv) > 4:
            wanted.update({-a: b for a, b in points["-"].items()})
            found += truth_scores(minus, points["-"])[0] * len(points["-"])
        print("%.4f %d" % (found / len(wanted), len(wanted)))
    elif kind == "coverage":
        spans = set()
        for p1, _ in lastz_columns(second):
            spans.add(p1)
        hit = re.compile(r"\s+1st: (\d+) \.\. (\d+) \(\d+\)")
        covered = set()
        with open(first) as f:
            for line in f:
                m = hit.match(line)
                if m:
                    covered.update(range(int(m.group(1)), int(m.group(2)) + 1))
        print("%.4f" % (len(spans & covered) / len(spans) if spans else 0.0))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()

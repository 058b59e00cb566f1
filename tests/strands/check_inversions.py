#!/usr/bin/env python3
"""check_inversions.py BLOCKS POINTS LOCAL: how well the hits of the other
strand in a local alignment file (its "Reverse strand:" section) find the
inversions of a pair made by evolve.py.

For each inversion (a block with strand '-'): the share of its sequence-1
positions that reverse hits cover, and how many of its truth points (one
per kilobase) the hits' columns pair exactly as the truth does (within
SLACK residues, for the gaps an aligner may place elsewhere). Prints one
line per inversion; exits 1 when one is covered below MIN_COVER or has
fewer than MIN_POINTS of its points right."""
import re
import sys

MIN_COVER, MIN_POINTS, SLACK = 0.95, 0.95, 3


def read_hits(path):
    """(forward, reverse) lists of hits; a hit is (from1, to1, pairs) where
    pairs maps each paired position of sequence 1 to its position in 2."""
    forward, reverse = [], []
    lines = open(path).read().split('\n')
    target, i = forward, 0
    coord = re.compile(r'\s+1st: (\d+) \.\. (\d+) \(\d+\)\s+2nd: (\d+) \.\. (\d+) \(\d+\)')
    while i < len(lines):
        if lines[i] == 'Reverse strand:':
            target = reverse
        m = coord.match(lines[i])
        if not m:
            i += 1
            continue
        a, b, c, d = map(int, m.groups())
        step = -1 if c > d else 1
        p1, p2, pairs = a, c, {}
        i += 1
        while i + 2 < len(lines) and lines[i] and not lines[i].startswith('Score'):
            for r1, r2 in zip(lines[i], lines[i + 2]):
                if r1 != '-' and r2 != '-':
                    pairs[p1] = p2
                if r1 != '-':
                    p1 += 1
                if r2 != '-':
                    p2 += step
            i += 4  # three rows and the empty line
        target.append((a, b, pairs))
    return forward, reverse


def main():
    blocks_path, points_path, local_path = sys.argv[1:4]
    inversions = []
    for row in open(blocks_path).read().split('\n')[1:]:
        f = row.split('\t')
        if len(f) == 7 and f[5] == '-':
            inversions.append((int(f[1]), int(f[2])))
    points = []
    for row in open(points_path).read().split('\n')[1:]:
        f = row.split('\t')
        if len(f) == 3 and f[2] == '-':
            points.append((int(f[0]), int(f[1])))
    _, reverse = read_hits(local_path)
    paired = {}
    for _, _, pairs in reverse:
        paired.update(pairs)
    ok = True
    for lo, hi in inversions:
        covered = sum(1 for p in range(lo, hi + 1)
                      if any(a <= p <= b for a, b, _ in reverse)) / (hi - lo + 1)
        mine = [(p, q) for p, q in points if lo <= p <= hi]
        right = sum(1 for p, q in mine if p in paired and abs(paired[p] - q) <= SLACK)
        share = right / len(mine) if mine else 1.0
        print('inversion %d..%d: %.1f%% covered by %d reverse hits, %d/%d truth points paired'
              % (lo, hi, 100 * covered, sum(1 for a, b, _ in reverse if a <= hi and b >= lo),
                 right, len(mine)))
        ok = ok and covered >= MIN_COVER and share >= MIN_POINTS
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())

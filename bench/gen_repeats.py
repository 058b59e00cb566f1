#!/usr/bin/env python3
"""A related pair rich in interspersed repeats, with its truth (deterministic).

gen_repeats.py OUT [--length 3000000] [--seed 26] [--sub 0.04] [--indel 0.004]
               [--spacing 3000] [--families 4]

1. A random ancestor of LENGTH residues (GC 41 %).
2. Repeat families: four 300-bp consensus elements, three subfamilies of each
   (5-10 % substitutions from the consensus); copies 8-20 % diverged from
   their subfamily (substitutions, small indels), 5' truncated in half of
   the cases, with a poly-A tail of 8-30 residues (a few of them changed),
   either orientation. About one copy per SPACING residues of the ancestor goes in
   before the split, so the two descendants share it; a fifth as many
   young copies go into each descendant after it.
3. evolve.py (beside this file) makes sequence 2 from sequence 1 with its
   large events and point mutations (--sub, --indel). Below 700 kb, too
   short for those events, point mutations alone make it and no points are
   written (small pairs for tests).

Writes OUT.a.fa, OUT.b.fa, OUT.points.tsv (one homologous position pair per
kilobase of sequence 1, as evolve.py writes it, shifted past the young
copies), OUT.repeats.tsv (every copy: sequence, start, end 1-based
inclusive, family, subfamily, strand, age) and OUT.log.
"""
import argparse
import bisect
import os
import random
import subprocess
import sys

from gen_pair import write_fasta

COMP = str.maketrans("ACGT", "TGCA")


def revcomp(s):
    return s.translate(COMP)[::-1]


def random_seq(rng, n, gc=0.41):
    weights = [(1 - gc) / 2, gc / 2, gc / 2, (1 - gc) / 2]
    return "".join(rng.choices("ACGT", weights=weights, k=n))


def mutate(rng, s, subst, indel=0.0):
    out = []
    other = {c: [x for x in "ACGT" if x != c] for c in "ACGT"}
    i = 0
    while i < len(s):
        r = rng.random()
        if r < indel / 2:  # deletion of 1-4 residues
            i += rng.randint(1, 4)
            continue
        if r < indel:  # insertion of 1-4 residues
            out.extend(rng.choice("ACGT") for _ in range(rng.randint(1, 4)))
        c = s[i]
        if rng.random() < subst:
            c = rng.choice(other[c])
        out.append(c)
        i += 1
    return "".join(out)


def make_copy(rng, families):
    f = rng.randrange(len(families))
    sf = rng.randrange(len(families[f]))
    body = mutate(rng, families[f][sf], rng.uniform(0.08, 0.20), 0.02)
    if rng.random() < 0.5:  # 5' truncation
        body = body[rng.randint(0, len(body) - 50):]
    tail = "".join("A" if rng.random() > 0.1 else rng.choice("CGT")
                   for _ in range(rng.randint(8, 30)))
    copy = body + tail
    strand = "+"
    if rng.random() < 0.5:
        copy, strand = revcomp(copy), "-"
    return copy, f + 1, sf + 1, strand


def insert_copies(rng, seq, count, families):
    """seq with count copies at random places; the sorted places (0-based, in
    seq) with their lengths, and the copies' rows (start 0-based in the new
    sequence, end exclusive, family, subfamily, strand)."""
    places = sorted(rng.randrange(len(seq) + 1) for _ in range(count))
    parts, shifts, rows = [], [], []
    last, added = 0, 0
    for p in places:
        parts.append(seq[last:p])
        copy, fam, sub, strand = make_copy(rng, families)
        parts.append(copy)
        rows.append((p + added, p + added + len(copy), fam, sub, strand))
        shifts.append((p, len(copy)))
        added += len(copy)
        last = p
    parts.append(seq[last:])
    return "".join(parts), shifts, rows


def shifted(pos1, shifts):
    """1-based position of an old residue after the insertions."""
    keys = [p for p, _ in shifts]
    k = bisect.bisect_right(keys, pos1 - 1)
    return pos1 + sum(n for _, n in shifts[:k])


def read_fasta(path):
    with open(path) as f:
        return "".join(line.strip() for line in f if not line.startswith(">"))


def evolved(a, seq1):
    """evolve.py's descendant of seq1 and its points."""
    tmp = a.out + ".evolve"
    write_fasta(tmp + ".in.fa", "ancestor", seq1)
    evolve = os.path.join(os.path.dirname(os.path.abspath(__file__)), "evolve.py")
    subprocess.run([sys.executable, evolve, tmp + ".in.fa", tmp, "--seed", str(a.seed), "--sub",
                    str(a.sub), "--indel", str(a.indel)], check=True, stdout=subprocess.DEVNULL)
    seq2 = read_fasta(tmp + ".fa")
    with open(tmp + ".points.tsv") as f:
        points = [line.split() for line in f][1:]
    for suffix in (".in.fa", ".fa", ".points.tsv", ".blocks.tsv", ".log"):
        os.remove(tmp + suffix)
    return seq2, points


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("out")
    ap.add_argument("--length", type=int, default=3000000)
    ap.add_argument("--seed", type=int, default=26)
    ap.add_argument("--sub", type=float, default=0.04)
    ap.add_argument("--indel", type=float, default=0.004)
    ap.add_argument("--spacing", type=int, default=3000)
    ap.add_argument("--families", type=int, default=4)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    consensus = [random_seq(rng, 300) for _ in range(a.families)]
    families = [[mutate(rng, c, rng.uniform(0.05, 0.10)) for _ in range(3)] for c in consensus]

    ancestor = random_seq(rng, a.length)
    old_count = a.length // a.spacing
    young_count = old_count // 5
    seq1, _, old_rows = insert_copies(rng, ancestor, old_count, families)

    points = []
    if len(seq1) < 700000:
        seq2 = mutate(rng, seq1, a.sub, a.indel)
    else:
        seq2, points = evolved(a, seq1)

    # Young copies, one set per lineage, after the split.
    seq1, shifts1, young1 = insert_copies(rng, seq1, young_count, families)
    seq2, shifts2, young2 = insert_copies(rng, seq2, young_count, families)
    # Rows of the old copies of sequence 1 move past the young ones.
    rows = [(1, shifted(s + 1, shifts1), shifted(e, shifts1), fam, sub, strand, "old")
            for s, e, fam, sub, strand in old_rows]
    rows += [(1, s + 1, e, fam, sub, strand, "young") for s, e, fam, sub, strand in young1]
    rows += [(2, s + 1, e, fam, sub, strand, "young") for s, e, fam, sub, strand in young2]

    write_fasta(a.out + ".a.fa", "repeats_a", seq1)
    write_fasta(a.out + ".b.fa", "repeats_b", seq2)
    with open(a.out + ".points.tsv", "w") as f:
        f.write("a_pos\tb_pos\tstrand\n")
        for apos, bpos, strand in points:
            f.write("%d\t%d\t%s\n" % (shifted(int(apos), shifts1), shifted(int(bpos), shifts2),
                                      strand))
    with open(a.out + ".repeats.tsv", "w") as f:
        f.write("seq\tstart\tend\tfamily\tsubfamily\tstrand\tage\n")
        for row in sorted(rows):
            f.write("\t".join(map(str, row)) + "\n")
    covered1 = sum(r[2] - r[1] + 1 for r in rows if r[0] == 1)
    with open(a.out + ".log", "w") as f:
        f.write("length=%d seed=%d sub=%g indel=%g old_copies=%d young_copies=%d each\n"
                "len1=%d len2=%d repeat_share1=%.3f\n" %
                (a.length, a.seed, a.sub, a.indel, old_count, young_count, len(seq1), len(seq2),
                 covered1 / len(seq1)))
    print(open(a.out + ".log").read(), end="")


if __name__ == "__main__":
    main()

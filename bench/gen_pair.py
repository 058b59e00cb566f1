#!/usr/bin/env python3
"""Deterministic test pairs for the benchmarks (same arguments, same files).

gen_pair.py evolve OUT LENGTH SUBST INDEL SEED
    OUT.a.fa: random sequence; OUT.b.fa: it with substitutions at rate SUBST
    and insertions/deletions of 1-10 residues starting at rate INDEL per
    site; OUT.truth.tsv: for every tenth position of a (1-based) its
    homologous position in b, 0 when it was deleted.
gen_pair.py repeats OUT LENGTH SEED
    A related pair (5 % substitutions, 0.5 % indels) into both of which
    thousands of copies of four 300-bp elements, each copy 10-20 % diverged,
    are inserted at random places, as interspersed repeats in primate DNA.
gen_pair.py periodic OUT LENGTH UNIT
    One sequence of UNIT repeated up to LENGTH residues (poly-A: UNIT = A).
"""
import random
import sys


def write_fasta(path, name, seq):
    with open(path, "w") as f:
        f.write(">%s\n" % name)
        for i in range(0, len(seq), 60):
            f.write(seq[i:i + 60] + "\n")


def random_seq(rng, n):
    return "".join(rng.choices("ACGT", k=n))


def evolve(rng, a, subst, indel):
    """b and, for every residue of a kept in b, the pair (i, j), 0-based."""
    b, pairs = [], []
    i = 0
    other = {c: [x for x in "ACGT" if x != c] for c in "ACGT"}
    while i < len(a):
        r = rng.random()
        if r < indel / 2:  # deletion of 1-10 residues of a
            i += rng.randint(1, 10)
            continue
        if r < indel:  # insertion of 1-10 residues
            b.extend(rng.choice("ACGT") for _ in range(rng.randint(1, 10)))
        c = a[i]
        if rng.random() < subst:
            c = rng.choice(other[c])
        pairs.append((i, len(b)))
        b.append(c)
        i += 1
    return "".join(b), pairs


def main():
    kind, out = sys.argv[1], sys.argv[2]
    if kind == "evolve":
        n, subst, indel, seed = int(sys.argv[3]), float(sys.argv[4]), float(sys.argv[5]), int(
            sys.argv[6])
        rng = random.Random(seed)
        a = random_seq(rng, n)
        b, pairs = evolve(rng, a, subst, indel)
        write_fasta(out + ".a.fa", "a", a)
        write_fasta(out + ".b.fa", "b", b)
        partner = dict(pairs)
        with open(out + ".truth.tsv", "w") as f:
            for i in range(0, n, 10):
                f.write("%d\t%d\n" % (i + 1, partner[i] + 1 if i in partner else 0))
    elif kind == "repeats":
        n, seed = int(sys.argv[3]), int(sys.argv[4])
        rng = random.Random(seed)
        elements = [random_seq(rng, 300) for _ in range(4)]
        a = random_seq(rng, n)
        b, _ = evolve(rng, a, 0.05, 0.005)

        def insert(seq, copies):
            places = sorted(rng.randrange(len(seq)) for _ in range(copies))
            parts, last = [], 0
            for p in places:
                parts.append(seq[last:p])
                copy, _ = evolve(rng, rng.choice(elements), rng.uniform(0.10, 0.20), 0.01)
                parts.append(copy)
                last = p
            parts.append(seq[last:])
            return "".join(parts)

        copies = n // 1000  # about a third of the residues are repeats
        write_fasta(out + ".a.fa", "a", insert(a, copies))
        write_fasta(out + ".b.fa", "b", insert(b, copies))
    elif kind == "periodic":
        n, unit = int(sys.argv[3]), sys.argv[4]
        write_fasta(out + ".fa", "periodic", (unit * (n // len(unit) + 1))[:n])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""evolve.py - make a mutated copy B of a real genome A with a known truth.

Usage: python3 evolve.py A.fa OUTPREFIX [--seed 20240601] [--sub 0.12] [--indel 0.010]
                         [--inversions LEN,LEN,...]
Writes OUTPREFIX.fa (sequence B), OUTPREFIX.blocks.tsv (collinear blocks A->B),
OUTPREFIX.points.tsv (every 1000th A base that survives, with its B position) and
OUTPREFIX.log (parameters and counts).  Pure standard library; deterministic for a seed.

Velk's copy (origin: the shared data's synthetic/evolve.py) adds one option:
  --inversions L,...  the large events are only these inversions, the k-th of n
                      (0-based) reverse-complementing A[(k+1)L/(n+2), +its length);
                      every other base stays collinear.

Evolution model (documented so tests can rely on it):
 1. Large events on A, at fixed fractions of len(A) (positions are 0-based, half-open):
      inversion      A[0.25L, 0.25L+60000)  reverse-complemented in place
      deletion       A[0.38L, 0.38L+12000)  removed
      transposition  A[0.57L, 0.57L+30000)  cut out and re-inserted right after A pos 0.76L
      novel insert   8000 random bases (GC = GC of A) inserted right after A pos 0.89L
 2. Point mutations along every kept segment, in B's reading direction:
      rate heterogeneity: each 500-bp window of A gets a multiplier m ~ Gamma(1.5, 1/1.5)
        clipped to [0.1, 3.0]  (mean ~1), giving conserved islands and divergent stretches;
      substitution with prob sub*m per base, transition:transversion = 2:1;
      indel event with prob indel*m per base, half insertions, half deletions,
        length 1 + Geometric(p=0.4) capped at 30; inserted bases are random.
Truth:
  blocks.tsv  block  a_start a_end (1-based inclusive, on A +strand)  b_start b_end (1-based
              inclusive on B)  strand (+/-)  kind (collinear|inversion|transposed|novel)
  points.tsv  a_pos b_pos strand (1-based) for A positions 1, 1001, 2001, ... that were not
              deleted by a point indel; with strand '-' the A base's complement is at b_pos
              (the base itself may have been substituted).
"""
import random, re, argparse

COMP = str.maketrans('ACGTNacgtn', 'TGCANtgcan')
TS = {'A': 'G', 'G': 'A', 'C': 'T', 'T': 'C'}
TV = {'A': 'CT', 'G': 'CT', 'C': 'AG', 'T': 'AG'}


def read_fasta(path):
    seq = []
    with open(path) as h:
        name = None
        for line in h:
            if line.startswith('>'):
                if name is not None:
                    break  # first record only
                name = line[1:].split()[0]
                m = re.search(r'ref\|([^|]+)\|', name)  # NCBI 'gi|..|ref|ACC|' -> ACC
                name = m.group(1) if m else name
            else:
                seq.append(line.strip().upper())
    return name, ''.join(seq)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('fasta'); ap.add_argument('out')
    ap.add_argument('--seed', type=int, default=20240601)
    ap.add_argument('--sub', type=float, default=0.12)
    ap.add_argument('--indel', type=float, default=0.010)
    ap.add_argument('--inversions', default='')
    a = ap.parse_args()
    rng = random.Random(a.seed)
    name, A = read_fasta(a.fasta)
    L = len(A)
    gc = (A.count('G') + A.count('C')) / max(1, L)
    win = 500
    mult = [min(3.0, max(0.1, rng.gammavariate(1.5, 1 / 1.5))) for _ in range(L // win + 1)]

    inv = (int(0.25 * L), int(0.25 * L) + 60000)
    dele = (int(0.38 * L), int(0.38 * L) + 12000)
    tr = (int(0.57 * L), int(0.57 * L) + 30000)
    tr_after = int(0.76 * L)
    nov_after = int(0.89 * L)
    nov_len = 8000
    lengths = [int(x) for x in a.inversions.split(',') if x]
    assert lengths or (inv[1] < dele[0] and dele[1] < tr[0] and tr[1] < tr_after < nov_after)
    # ordered list of (kind, a_start, a_end, strand) in B order; ('novel', 0, n, '+')
    segs = [('collinear', 0, inv[0], '+'), ('inversion', inv[0], inv[1], '-'),
            ('collinear', inv[1], dele[0], '+'), ('collinear', dele[1], tr[0], '+'),
            ('collinear', tr[1], tr_after, '+'), ('transposed', tr[0], tr[1], '+'),
            ('collinear', tr_after, nov_after, '+'), ('novel', 0, nov_len, '+'),
            ('collinear', nov_after, L, '+')]
    if lengths:
        segs, at = [], 0
        for k, n in enumerate(lengths):
            s0 = (k + 1) * L // (len(lengths) + 2)
            assert at <= s0 and s0 + n <= L, 'inversions overlap or run past the end'
            segs += [('collinear', at, s0, '+'), ('inversion', s0, s0 + n, '-')]
            at = s0 + n
        segs.append(('collinear', at, L, '+'))

    out, blocks, points = [], [], []
    bpos = 0  # 0-based next B position
    nsub = nins = ndel = 0

    def rbase():
        return rng.choice('GC') if rng.random() < gc else rng.choice('AT')

    for kind, s, e, strand in segs:
        b0 = bpos
        if kind == 'novel':
            for _ in range(e):
                out.append(rbase())
            bpos += e
            blocks.append((len(blocks) + 1, '.', '.', b0 + 1, bpos, '+', kind))
            continue
        order = range(s, e) if strand == '+' else range(e - 1, s - 1, -1)
        skip = 0
        for apos in order:
            if skip:
                skip -= 1
                continue
            base = A[apos] if strand == '+' else A[apos].translate(COMP)
            m = mult[apos // win]
            r = rng.random()
            if r < a.indel * m:
                n = 1
                while n < 30 and rng.random() > 0.4:
                    n += 1
                if rng.random() < 0.5:  # insertion after this base
                    if apos % 1000 == 0:
                        points.append((apos + 1, bpos + 1, strand))
                    out.append(base); bpos += 1
                    for _ in range(n):
                        out.append(rbase())
                    bpos += n; nins += 1
                else:  # delete this base and n-1 following ones
                    skip = n - 1; ndel += 1
                continue
            if r < (a.indel + a.sub) * m and base in TS:
                base = TS[base] if rng.random() < 2 / 3 else rng.choice(TV[base])
                nsub += 1
            if apos % 1000 == 0:
                points.append((apos + 1, bpos + 1, strand))
            out.append(base); bpos += 1
        blocks.append((len(blocks) + 1, s + 1, e, b0 + 1, bpos, strand, kind))

    B = ''.join(out)
    with open(a.out + '.fa', 'w') as h:
        h.write(f'>{name}_evolved seed={a.seed} sub={a.sub} indel={a.indel} from={name}\n')
        for i in range(0, len(B), 70):
            h.write(B[i:i + 70] + '\n')
    with open(a.out + '.blocks.tsv', 'w') as h:
        h.write('block\ta_start\ta_end\tb_start\tb_end\tstrand\tkind\n')
        for row in blocks:
            h.write('\t'.join(map(str, row)) + '\n')
    with open(a.out + '.points.tsv', 'w') as h:
        h.write('a_pos\tb_pos\tstrand\n')
        for row in points:
            h.write('\t'.join(map(str, row)) + '\n')
    with open(a.out + '.log', 'w') as h:
        h.write(f'source={a.fasta} name={name} lenA={L} lenB={len(B)} seed={a.seed} '
                f'sub={a.sub} indel={a.indel} gc={gc:.4f} inversions={a.inversions}\n'
                f'substitutions={nsub} insertions={nins} deletions={ndel} '
                f'observed_sub_per_site={nsub / L:.4f}\n')
    print(open(a.out + '.log').read(), end='')


if __name__ == '__main__':
    main()

"""Checks PAF and MAF files against the sequences and against the local file
of the same session, with readers that are not Velk's (Biopython for the
sequences and for MAF).

Usage: check_formats.py LOCAL PAF MAF SEQ1 SEQ2 (SEQ: FASTA or GenBank, the
first record, or FILE#N for the Nth). Exits naming the first disagreement.
"""
import gzip
import re
import sys

from Bio import AlignIO, SeqIO


def fail(message):
    sys.exit("check_formats: " + message)


def velk_letters(text):  # Velk reads every letter but A, C, G and T as N
    return re.sub("[^ACGT]", "N", text.upper())


def reverse_complement(s):
    return s.translate(str.maketrans("ACGTN", "TGCAN"))[::-1]


def read_sequence(source):
    path, _, number = source.partition("#")
    opener = gzip.open if open(path, "rb").read(2) == b"\x1f\x8b" else open
    with opener(path, "rt") as handle:
        kind = "fasta" if handle.read(1) == ">" else "genbank"
    with opener(path, "rt") as handle:
        records = list(SeqIO.parse(handle, kind))
    return velk_letters(str(records[int(number or 1) - 1].seq))


def pairs_of_rows(rows, first1, step1, first2, step2):
    """The aligned residue pairs (0-based forward positions) of two rows."""
    p1, p2, out = first1, first2, set()
    for a, b in zip(*rows):
        if a != "-" and b != "-":
            out.add((p1, p2))
        p1 += step1 * (a != "-")
        p2 += step2 * (b != "-")
    return out


def local_hits(path):
    text = open(path).read()
    turned = [m == "InvertComplement" for m in re.findall(r"^    \d+ \.\. \d+ ?(\S*)", text, re.M)]
    hits = []
    for block in text.split("\nScore: ")[1:]:
        lines = block.split("\n")
        f1, f2 = map(int, re.match(r"     1st: (\d+) .*2nd: (\d+)", lines[1]).groups())
        body = [l for l in lines[2:] if l]
        rows = ("".join(body[0::3]), "".join(body[2::3]))
        # A position of a turned sequence counts down in the file.
        hits.append(pairs_of_rows(rows, f1 - 1, -1 if turned[0] else 1,
                                  f2 - 1, -1 if turned[1] else 1))
    return hits


def paf_hits(path, seq1, seq2):
    hits = []
    for n, line in enumerate(open(path), 1):
        f = line.rstrip("\n").split("\t")
        qlen, qs, qe, tlen, ts, te, matches, block = map(int, f[1:4] + f[6:11])
        tags = {t[:2]: t[5:] for t in f[12:]}
        where = "%s line %d: " % (path, n)
        if (qlen, tlen, f[11], tags["tp"]) != (len(seq2), len(seq1), "255", "P"):
            fail(where + "lengths or tags")
        plus = f[4] == "+"
        query = seq2 if plus else reverse_complement(seq2)
        q, t = (qs if plus else qlen - qe), ts
        same, columns, pairs = 0, 0, set()
        for count, op in re.findall(r"(\d+)([MID])", tags["cg"]):
            count = int(count)
            columns += count
            if op == "M":
                for i in range(count):
                    same += seq1[t + i] == query[q + i] != "N"
                    pairs.add((t + i, q + i if plus else qlen - 1 - q - i))
            t += count * (op != "I")
            q += count * (op != "D")
        if (t, q) != (te, qe if plus else qlen - qs):
            fail(where + "CIGAR lengths")
        if (same, columns, columns - same) != (matches, block, int(tags["NM"])):
            fail(where + "columns 10, 11 or NM; recomputed %d %d" % (same, columns))
        hits.append(pairs)
    return hits


def maf_hits(path, seq1, seq2):
    if open(path).readline() != "##maf version=1\n":
        fail(path + ": header")
    hits = []
    for n, alignment in enumerate(AlignIO.parse(path, "maf"), 1):
        spans = []
        for record, seq in zip(alignment, (seq1, seq2)):
            a = record.annotations
            on_strand = seq if a["strand"] == 1 else reverse_complement(seq)
            if a["srcSize"] != len(seq) or velk_letters(str(record.seq).replace("-", "")) != \
                    on_strand[a["start"]:a["start"] + a["size"]]:
                fail("%s block %d: %s is not the sequence at %d" % (path, n, record.id, a["start"]))
            spans.append((a["start"], a["strand"], len(seq)))
        (s1, strand1, _), (s2, strand2, len2) = spans
        if len(alignment) != 2 or strand1 != 1:
            fail("%s block %d: rows" % (path, n))
        first2, step2 = (s2, 1) if strand2 == 1 else (len2 - 1 - s2, -1)
        hits.append(pairs_of_rows([str(r.seq) for r in alignment], s1, 1, first2, step2))
    return hits


local, paf, maf, source1, source2 = sys.argv[1:6]
seq1, seq2 = read_sequence(source1), read_sequence(source2)
wanted = local_hits(local)
if not wanted:
    fail(local + ": no hits to compare")
for name, hits in (("PAF", paf_hits(paf, seq1, seq2)), ("MAF", maf_hits(maf, seq1, seq2))):
    if hits != wanted:
        fail("%s and the local file pair other residues (%d, %d hits)" % (name, len(hits), len(wanted)))
print("%s: %d hits agree in the local, PAF and MAF files" % (local, len(wanted)))

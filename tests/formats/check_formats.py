"""Checks PAF and MAF files against the sequences and against the local file
of the same session, with readers that are not Velk's (Biopython for the
sequences and for MAF).

Usage: check_formats.py LOCAL PAF MAF SEQ1 SEQ2
SEQ is a FASTA or GenBank file, optionally "FILE#N" for its Nth record.
Exits non-zero naming the first disagreement.
"""
import gzip
import re
import sys

from Bio import AlignIO, SeqIO

COMPLEMENT = str.maketrans("ACGTN", "TGCAN")


def fail(message):
    sys.exit("check_formats: " + message)


def velk_letters(text):
    # Velk reads every letter other than A, C, G and T as N.
    return re.sub("[^ACGT]", "N", text.upper())


def read_sequence(spec):
    path, _, number = spec.partition("#")
    opener = gzip.open if open(path, "rb").read(2) == b"\x1f\x8b" else open
    with opener(path, "rt") as handle:
        kind = "fasta" if handle.read(1) == ">" else "genbank"
    with opener(path, "rt") as handle:
        records = list(SeqIO.parse(handle, kind))
    record = records[int(number) - 1 if number else 0]
    return velk_letters(str(record.seq))


def reverse_complement(s):
    return s.translate(COMPLEMENT)[::-1]


def read_local(path):
    """The hits of a local file: file positions and the two aligned rows."""
    text = open(path).read()
    inverted = [m.group(1) == "InvertComplement"
                for m in re.finditer(r"^    \d+ \.\. \d+ ?(\S*)", text, re.M)][:2]
    hits = []
    for block in text.split("\nScore: ")[1:]:
        lines = block.split("\n")
        m = re.match(r"     1st: (\d+) \.\. (\d+) \((\d+)\)   2nd: (\d+) \.\. (\d+) \((\d+)\)",
                     lines[1])
        rows = ["", ""]
        body = [l for l in lines[2:] if l]
        for i in range(0, len(body), 3):
            rows[0] += body[i]
            rows[1] += body[i + 2]
        hits.append({"pos": [int(g) for g in m.groups()], "rows": rows})
    return inverted, hits


def pairs_of_rows(row1, row2, first1, step1, first2, step2):
    """Aligned residue pairs (0-based forward positions) of two rows."""
    p1, p2, out = first1, first2, set()
    for a, b in zip(row1, row2):
        if a != "-" and b != "-":
            out.add((p1, p2))
        p1 += step1 if a != "-" else 0
        p2 += step2 if b != "-" else 0
    return out


def local_pairs(hit, inverted):
    f1, _, _, f2, _, _ = hit["pos"]
    # A file position p of a turned sequence counts down from p.
    return pairs_of_rows(hit["rows"][0], hit["rows"][1],
                         f1 - 1, -1 if inverted[0] else 1, f2 - 1, -1 if inverted[1] else 1)


def check_paf(path, seq1, seq2):
    hits = []
    for n, line in enumerate(open(path), 1):
        f = line.rstrip("\n").split("\t")
        qname, qlen, qs, qe, strand, tname, tlen, ts, te, matches, block, mapq = f[:12]
        qlen, qs, qe, tlen, ts, te, matches, block = map(
            int, (qlen, qs, qe, tlen, ts, te, matches, block))
        tags = dict((t[:2], t[5:]) for t in f[12:])
        if (qlen, tlen) != (len(seq2), len(seq1)) or mapq != "255" or tags.get("tp") != "P":
            fail("%s line %d: lengths or tags" % (path, n))
        query = seq2 if strand == "+" else reverse_complement(seq2)
        q = qs if strand == "+" else qlen - qe
        t = ts
        ops = re.findall(r"(\d+)([MID])", tags["cg"])
        if "".join(a + b for a, b in ops) != tags["cg"]:
            fail("%s line %d: CIGAR %s" % (path, n, tags["cg"]))
        same, columns, pairs = 0, 0, set()
        for count, op in ops:
            count = int(count)
            columns += count
            if op == "M":
                for i in range(count):
                    a, b = seq1[t + i], query[q + i]
                    same += a == b and a != "N"
                    qpos = q + i if strand == "+" else qlen - 1 - (q + i)
                    pairs.add((t + i, qpos))
                t += count
                q += count
            elif op == "D":
                t += count
            else:
                q += count
        if t != te or (q != qe if strand == "+" else q != qlen - qs):
            fail("%s line %d: CIGAR lengths %d,%d against %d,%d" % (path, n, t, q, te, qe))
        if (same, columns, columns - same) != (matches, block, int(tags["NM"])):
            fail("%s line %d: columns 10, 11 or NM: %d %d, recomputed %d %d" %
                 (path, n, matches, block, same, columns))
        hits.append(pairs)
    return hits


def check_maf(path, seq1, seq2):
    if open(path).readline() != "##maf version=1\n":
        fail(path + ": header")
    hits = []
    for n, alignment in enumerate(AlignIO.parse(path, "maf"), 1):
        rows = list(alignment)
        if len(rows) != 2:
            fail("%s block %d: %d rows" % (path, n, len(rows)))
        pairs, starts = None, []
        for record, seq in zip(rows, (seq1, seq2)):
            a = record.annotations
            if a["srcSize"] != len(seq):
                fail("%s block %d: source size" % (path, n))
            strand_seq = seq if a["strand"] == 1 else reverse_complement(seq)
            gapless = velk_letters(str(record.seq).replace("-", ""))
            if gapless != strand_seq[a["start"]:a["start"] + a["size"]]:
                fail("%s block %d: %s text is not the sequence at %d" %
                     (path, n, record.id, a["start"]))
            starts.append((a["start"], a["strand"], len(seq)))
        if starts[0][1] != 1:
            fail("%s block %d: sequence 1 not on +" % (path, n))
        (s1, _, _), (s2, strand2, len2) = starts
        first2, step2 = (s2, 1) if strand2 == 1 else (len2 - 1 - s2, -1)
        pairs = pairs_of_rows(str(rows[0].seq), str(rows[1].seq), s1, 1, first2, step2)
        hits.append(pairs)
    return hits


def main():
    local, paf, maf, spec1, spec2 = sys.argv[1:6]
    seq1, seq2 = read_sequence(spec1), read_sequence(spec2)
    inverted, local_hits = read_local(local)
    from_local = [local_pairs(h, inverted) for h in local_hits]
    # Sequence 1 is first on both sides of each pair.
    from_paf = check_paf(paf, seq1, seq2)
    from_maf = check_maf(maf, seq1, seq2)
    if not from_local:
        fail(local + ": no hits to compare")
    for name, hits in (("PAF", from_paf), ("MAF", from_maf)):
        if hits != from_local:
            fail("%s and the local file pair other residues (%d and %d hits)" %
                 (name, len(hits), len(from_local)))
    print("%s: %d hits agree in the local, PAF and MAF files" % (local, len(from_local)))


main()

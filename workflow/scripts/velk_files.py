"""Figures of a Velk summary file (.sum_align): the hits, the residues of
sequence 1 (the reference) they cover and the identity over their columns."""
import re

_ROW = re.compile(r"^\s*(\d+);\s*(\d+);\s*(\d+);\s*(\d+);\s*(\d+);\s*(\d+);\s*(\d+);\s*(\d+)\s*$")
_RANGE = re.compile(r"^\s*(\d+) \.\. (\d+)\s*$")


def summary_figures(path):
    spans, matches, columns, interval = [], 0, 0, None
    with open(path) as f:
        for line in f:
            if interval is None:
                m = _RANGE.match(line)
                if m:
                    interval = (int(m.group(1)), int(m.group(2)))
                    continue
            m = _ROW.match(line)
            if not m:
                continue
            from1, to1, _, _, same, different, _, gap_length = map(int, m.groups())
            spans.append((min(from1, to1), max(from1, to1)))
            matches += same
            # Every column of the alignment: matches, mismatches and gaps.
            columns += same + different + gap_length
    covered, end = 0, 0
    for first, last in sorted(spans):
        if last > end:
            covered += last - max(first, end + 1) + 1
            end = last
    length = interval[1] - interval[0] + 1 if interval else 0
    return {
        "hits": len(spans),
        "covered": covered,
        "reference_length": length,
        "identity": round(matches / columns, 4) if columns else 0.0,
    }

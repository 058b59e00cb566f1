#!/usr/bin/env python3
"""Reads a binary 8-bit PPM screenshot and answers questions about the
window's pixels for the GUI tests. Coordinates are screen pixels.

  pixels.py IMG count R G B X1 Y1 X2 Y2     pixels of one colour in a box
  pixels.py IMG line R G B X1 Y1 X2 Y2      fit a line to them: "n slope r2"
  pixels.py IMG grey LO HI X1 Y1 X2 Y2      grey pixels (r = g = b) from LO to HI
  pixels.py IMG hash X1 Y1 X2 Y2            digest of a box
  pixels.py IMG band R G B X1 Y1 X2 Y2      widest horizontal run of the
                                            colour: "y xa xb" (or nothing)
  pixels.py IMG rows XA XB Y                text rows of the list whose
                                            selected row band contains Y
  pixels.py IMG axes X1 Y1 X2 Y2            the dot matrix's axis lines:
                                            "x0 yTop xRight y0"
  pixels.py IMG columns X1 Y1 X2 Y2         dark text on light: where the
                                            deeply indented rows start and
                                            where a second column starts
                                            after a wide gap (the most
                                            frequent of each): "indent second"
"""
import hashlib
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    assert fields[0] == b"P6" and fields[3] == b"255", "need an 8-bit binary PPM"
    w, h = int(fields[1]), int(fields[2])
    return w, h, data[pos + 1:]


class Image:
    def __init__(self, path):
        self.w, self.h, self.px = read_ppm(path)

    def at(self, x, y):
        i = 3 * (y * self.w + x)
        return tuple(self.px[i:i + 3])

    def box(self, x1, y1, x2, y2):
        x1, y1 = max(0, x1), max(0, y1)
        x2, y2 = min(self.w - 1, x2), min(self.h - 1, y2)
        for y in range(y1, y2 + 1):
            row = self.px[3 * (y * self.w + x1):3 * (y * self.w + x2 + 1)]
            for x, c in enumerate(zip(row[0::3], row[1::3], row[2::3]), x1):
                yield x, y, c

    def count(self, colour, x1, y1, x2, y2):
        x1, y1 = max(0, x1), max(0, y1)
        x2, y2 = min(self.w - 1, x2), min(self.h - 1, y2)
        n = 0
        for y in range(y1, y2 + 1):
            row = self.px[3 * (y * self.w + x1):3 * (y * self.w + x2 + 1)]
            n += sum(1 for c in zip(row[0::3], row[1::3], row[2::3]) if c == colour)
        return n


def fit(points):
    n = len(points)
    mx = sum(p[0] for p in points) / n
    my = sum(p[1] for p in points) / n
    sxx = sum((p[0] - mx) ** 2 for p in points)
    syy = sum((p[1] - my) ** 2 for p in points)
    sxy = sum((p[0] - mx) * (p[1] - my) for p in points)
    slope = sxy / sxx if sxx else 0
    r2 = sxy * sxy / (sxx * syy) if sxx and syy else 0
    return slope, my - slope * mx, r2


def axes(img, x1, y1, x2, y2):
    """The dot matrix's two axis lines: the leftmost long vertical black run
    (away from the box's left edge, where frames stand) from whose lower end
    a long black line runs right. Returns x0, yTop, xRight, y0."""
    x1, y1 = max(0, x1), max(0, y1)
    x2, y2 = min(img.w - 1, x2), min(img.h - 1, y2)
    for x in range(x1 + 4, x2 + 1):
        best, start = (0, 0, 0), None
        for y in range(y1, y2 + 2):
            black = y <= y2 and img.at(x, y) == (0, 0, 0)
            if black and start is None:
                start = y
            elif not black and start is not None:
                if y - start > best[0]:
                    best = (y - start, start, y - 1)
                start = None
        length, top, bottom = best
        if length < 100:
            continue
        right, y0 = x, bottom
        for y in range(bottom - 20, bottom + 1):
            end = x
            while end + 1 <= x2 and img.at(end + 1, y) == (0, 0, 0):
                end += 1
            if end > right:
                right, y0 = end, y
        if right - x >= 100:
            return x, top, right, y0
    return x1, y1, x1, y1


def columns(img, x1, y1, x2, y2):
    """Text rows are runs of pixel rows holding dark pixels. A row indented
    by more than five row heights continues a second column; in a row with
    a gap of more than one and a half row heights, that column starts after
    the widest gap."""
    def dark(c):
        return sum(c) < 300
    rows, start = [], None
    for y in range(y1, y2 + 2):
        xs = [x for x in range(x1, x2 + 1) if y <= y2 and dark(img.at(x, y))]
        if xs and start is None:
            start, cols = y, set()
        if xs:
            cols.update(xs)
        elif start is not None:
            rows.append((y - start, sorted(cols)))
            start = None
    if not rows:
        return None, None
    height = sorted(r[0] for r in rows)[len(rows) // 2]
    margin = min(r[1][0] for r in rows)
    indents, seconds = [], []
    for _, cols in rows:
        if cols[0] - margin > 5 * height:
            indents.append(cols[0])
            continue
        gap, after = max((b - a, b) for a, b in zip(cols, cols[1:])) if len(cols) > 1 else (0, 0)
        if gap > 1.5 * height:
            seconds.append(after)

    def mode(values):
        return max(set(values), key=values.count) if values else None
    return mode(indents), mode(seconds)


def main(argv):
    img, cmd, args = Image(argv[1]), argv[2], [int(a) for a in argv[3:]]
    if cmd == "count":
        print(img.count(tuple(args[:3]), *args[3:7]))
    elif cmd in ("line", "band"):
        colour, box = tuple(args[:3]), args[3:7]
        points = [(x, y) for x, y, c in img.box(*box) if c == colour]
        if cmd == "line":
            # Least squares, then once more without the tenth of the pixels
            # farthest from the line (a short hit off the diagonal).
            n = len(points)
            if n < 2:
                print(n, 0, 0)
                return
            slope, icpt, r2 = fit(points)
            points.sort(key=lambda p: abs(p[1] - slope * p[0] - icpt))
            slope, icpt, r2 = fit(points[:max(2, n * 9 // 10)])
            print(n, "%.4f" % slope, "%.4f" % r2)
        else:
            rows = {}
            for x, y in points:
                rows.setdefault(y, []).append(x)
            best = None
            for y, xs in rows.items():
                xs.sort()
                start = prev = xs[0]
                for x in xs[1:] + [None]:
                    if x is not None and x == prev + 1:
                        prev = x
                        continue
                    if best is None or prev - start > best[2] - best[1]:
                        best = (y, start, prev)
                    if x is not None:
                        start = prev = x
            if best:
                print(*best)
    elif cmd == "axes":
        print(*axes(img, *args))
    elif cmd == "columns":
        print(*columns(img, *args))
    elif cmd == "grey":
        lo, hi = args[:2]
        print(sum(1 for _, _, c in img.box(*args[2:6]) if c[0] == c[1] == c[2] and lo <= c[0] <= hi))
    elif cmd == "hash":
        h = hashlib.sha1()
        for _, _, c in img.box(*args):
            h.update(bytes(c))
        print(h.hexdigest())
    elif cmd == "rows":
        # The list lies between its top and bottom frame lines; a text row
        # is a run of pixel rows with dark pixels between xa and xb.
        xa, xb, y = args
        black = (0, 0, 0)

        def frame(yy):
            return all(img.at(x, yy) == black for x in range(xa, xb + 1))

        top = y
        while top > 0 and not frame(top):
            top -= 1
        bottom = y
        while bottom < img.h - 1 and not frame(bottom):
            bottom += 1
        rows, inside = 0, False
        for yy in range(top + 1, bottom):
            dark = any(sum(img.at(x, yy)) < 200 for x in range(xa + 1, xb))
            if dark and not inside:
                rows += 1
            inside = dark
        print(rows, top, bottom)


if __name__ == "__main__":
    main(sys.argv)

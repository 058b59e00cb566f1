#!/usr/bin/env python3
"""Draws the program's two icons (a small dot plot) as GIF87a files with a
256-entry colour table; grey 192 is the transparent colour."""
import sys

PALETTE = [(192, 192, 192), (255, 255, 255), (0, 0, 0), (127, 127, 127), (255, 207, 207)]
PALETTE += [(0, 0, 0)] * (256 - len(PALETTE))
CLEAR, BG, WHITE, BLACK, GREY, PINK = 256, 0, 1, 2, 3, 4


def picture(n):
    px = [[BG] * n for _ in range(n)]
    lo, hi = 1, n - 2
    for y in range(lo, hi + 1):
        for x in range(lo, hi + 1):
            edge = x in (lo, hi) or y in (lo, hi)
            px[y][x] = BLACK if edge else WHITE
    s = n // 4
    for y in range(lo + 1 + s, lo + 1 + 2 * s):  # a conflict area
        for x in range(lo + 1 + s, lo + 1 + 2 * s):
            px[y][x] = PINK
    for i in range(lo + 2, hi - 1):  # hits along the diagonal, bottom-left up
        if (i // max(2, n // 8)) % 3 != 2:
            px[hi + lo - i][i] = GREY
    return px


def lzw_literal(pixels):
    # 9-bit codes throughout: a clear code before the table would widen.
    codes, run = [CLEAR], 0
    for p in pixels:
        if run == 254:
            codes.append(CLEAR)
            run = 0
        codes.append(p)
        run += 1
    codes.append(257)
    bits = nbits = 0
    out = bytearray()
    for c in codes:
        bits |= c << nbits
        nbits += 9
        while nbits >= 8:
            out.append(bits & 255)
            bits >>= 8
            nbits -= 8
    if nbits:
        out.append(bits & 255)
    return bytes(out)


def gif(n):
    data = bytearray(b"GIF87a")
    data += bytes([n, 0, n, 0, 0xF7, 0, 0])
    for r, g, b in PALETTE:
        data += bytes([r, g, b])
    data += b"," + bytes([0, 0, 0, 0, n, 0, n, 0, 0]) + bytes([8])
    stream = lzw_literal([p for row in picture(n) for p in row])
    for i in range(0, len(stream), 255):
        chunk = stream[i:i + 255]
        data += bytes([len(chunk)]) + chunk
    data += b"\x00;"
    return bytes(data)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    for n in (32, 16):
        with open(f"{out}/velk{n}.gif", "wb") as f:
            f.write(gif(n))

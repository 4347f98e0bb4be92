#!/usr/bin/env python3
"""Writes Quorvel's icon: a list with a marked row, 32x32 and 16x16, 16 colours."""
import struct
import sys

# The standard 16-colour VGA palette, as B, G, R, 0.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
           (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, GREY, BLUE, WHITE, DARK = 0, 4, 7, 12, 15, 8  # indices into PALETTE (R, G, B order above)


def picture(n):
    """Rows of palette indices (top row first) and a transparency mask."""
    px = [[None] * n for _ in range(n)]
    s = n / 32
    for y in range(n):
        for x in range(n):
            if int(2 * s) <= x < n - int(2 * s) and int(3 * s) <= y < n - int(3 * s):
                edge = x in (int(2 * s), n - int(2 * s) - 1) or y in (int(3 * s), n - int(3 * s) - 1)
                px[y][x] = BLACK if edge else WHITE
    row_h = max(2, int(4 * s))
    for i, y0 in enumerate(range(int(6 * s), n - int(6 * s), row_h + max(1, int(2 * s)) - 1)):
        for y in range(y0, min(y0 + row_h - 1, n - int(5 * s))):
            for x in range(int(5 * s), n - int(5 * s)):
                px[y][x] = BLUE if i == 1 else (NAVY if x < int(5 * s) + max(2, int(3 * s)) else DARK)
    return px


def bitmap(n):
    px = picture(n)
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor, mask = b'', b''
    for y in reversed(range(n)):  # bottom-up
        row = [px[y][x] if px[y][x] is not None else 0 for x in range(n)]
        xor += bytes((row[x] << 4) | row[x + 1] for x in range(0, n, 2)).ljust((n // 2 + 3) & ~3, b'\0')
        bits = 0
        out = bytearray()
        for x in range(n):
            bits = (bits << 1) | (1 if px[y][x] is None else 0)
            if x % 8 == 7:
                out.append(bits)
                bits = 0
        mask += bytes(out).ljust(((n + 31) // 32) * 4, b'\0')
    return header + palette + xor + mask


def main(path):
    images = [bitmap(32), bitmap(16)]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, img in zip((32, 16), images):
        data += struct.pack('<BBBBHHII', n, n, 16, 0, 1, 4, len(img), offset)
        offset += len(img)
    with open(path, 'wb') as f:
        f.write(data + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1])

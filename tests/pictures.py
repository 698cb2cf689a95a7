#!/usr/bin/env python3
"""Small picture tools for the shell tests, in plain Python (no imaging
library on the test machines):

    pictures.py compare TAKEN.png REFERENCE.png [MAX_SHARE]
        fails unless at most MAX_SHARE (default 0.001) of the pixels differ
        by more than 3 in a channel, the rule of the picture tests;
    pictures.py xwd SHOT.xwd OUT.png
        turns an X window dump (xwd -root) into a PNG;
    pictures.py lit SHOT.png X Y W H MIN_SHARE
        fails unless at least MIN_SHARE of the pixels of the rectangle are
        not black (a window that shows a picture, not an empty one);
    pictures.py shows SHOT.png REFERENCE.png
        fails unless the screenshot of a display shows the reference picture
        somewhere (found as the lit area of the black display): at most 2 %
        of its pixels may differ by more than 24 in a channel (a live frame
        is not the same frame as the reference).
"""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, 'rb').read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise SystemExit(f'{path}: not a PNG file')
    pos, idat = 8, b''
    width = height = color = 0
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b'IHDR':
            width, height, depth, color, _, _, interlace = struct.unpack('>IIBBBBB', body)
            if depth != 8 or color not in (2, 6) or interlace:
                raise SystemExit(f'{path}: only 8-bit RGB or RGBA, not interlaced')
        elif kind == b'IDAT':
            idat += body
    raw = zlib.decompress(idat)
    bpp = 4 if color == 6 else 3
    stride = width * bpp
    rgb = bytearray(width * height * 3)
    prev = bytearray(stride)
    i = 0
    for y in range(height):
        kind = raw[i]
        line = bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        if kind == 1:
            for x in range(bpp, stride):
                line[x] = (line[x] + line[x - bpp]) & 255
        elif kind == 2:
            for x in range(stride):
                line[x] = (line[x] + prev[x]) & 255
        elif kind == 3:
            for x in range(stride):
                left = line[x - bpp] if x >= bpp else 0
                line[x] = (line[x] + (left + prev[x]) // 2) & 255
        elif kind == 4:
            for x in range(stride):
                a = line[x - bpp] if x >= bpp else 0
                b = prev[x]
                c = prev[x - bpp] if x >= bpp else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        prev = line
        if bpp == 3:
            rgb[y * width * 3:(y + 1) * width * 3] = line
        else:
            row = rgb[y * width * 3:(y + 1) * width * 3]
            row[0::3], row[1::3], row[2::3] = line[0::4], line[1::4], line[2::4]
            rgb[y * width * 3:(y + 1) * width * 3] = row
    return width, height, rgb


def write_png(path, width, height, rgb):
    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body +
                struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff))
    rows = b''.join(b'\0' + bytes(rgb[y * width * 3:(y + 1) * width * 3]) for y in range(height))
    png = (b'\x89PNG\r\n\x1a\n' +
           chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)) +
           chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b''))
    with open(path + '.tmp', 'wb') as f:
        f.write(png)
    import os
    os.replace(path + '.tmp', path)


def compare(taken, reference, max_share=0.001):
    w1, h1, a = read_png(taken)
    w2, h2, b = read_png(reference)
    if (w1, h1) != (w2, h2):
        raise SystemExit(f'{taken}: {w1}x{h1}, the reference is {w2}x{h2}')
    large = 0
    for p in range(w1 * h1):
        q = p * 3
        if (abs(a[q] - b[q]) > 3 or abs(a[q + 1] - b[q + 1]) > 3 or abs(a[q + 2] - b[q + 2]) > 3):
            large += 1
    share = large / (w1 * h1)
    print(f'{taken}: {share:.4%} of the pixels differ from {reference}')
    if share > max_share:
        raise SystemExit(1)


def xwd_to_png(shot, out):
    data = open(shot, 'rb').read()
    fields = struct.unpack('>25I', data[:100])
    header_size, width, height, order, bpp, line = (fields[0], fields[4], fields[5], fields[7],
                                                    fields[11], fields[12])
    colors = fields[19]
    if bpp not in (24, 32):
        raise SystemExit(f'{shot}: {bpp} bits a pixel')
    n = bpp // 8
    start = header_size + colors * 12
    rgb = bytearray(width * height * 3)
    for y in range(height):
        row = data[start + y * line:start + y * line + width * n]
        # Least significant byte first: blue, green, red.
        if order == 0:
            rgb[y * width * 3 + 0:(y + 1) * width * 3:3] = row[2::n]
            rgb[y * width * 3 + 1:(y + 1) * width * 3:3] = row[1::n]
            rgb[y * width * 3 + 2:(y + 1) * width * 3:3] = row[0::n]
        else:
            rgb[y * width * 3 + 0:(y + 1) * width * 3:3] = row[n - 3::n]
            rgb[y * width * 3 + 1:(y + 1) * width * 3:3] = row[n - 2::n]
            rgb[y * width * 3 + 2:(y + 1) * width * 3:3] = row[n - 1::n]
    write_png(out, width, height, rgb)


def lit(shot, x, y, w, h, min_share):
    width, height, rgb = read_png(shot)
    count = lit_count = 0
    for yy in range(y, min(y + h, height)):
        for xx in range(x, min(x + w, width)):
            q = (yy * width + xx) * 3
            count += 1
            lit_count += max(rgb[q], rgb[q + 1], rgb[q + 2]) > 8
    share = lit_count / count if count else 0
    print(f'{shot}: {share:.1%} of the rectangle is lit')
    if share < min_share:
        raise SystemExit(1)


def shows(shot, reference, max_share=0.02, tolerance=24):
    width, height, a = read_png(shot)
    w, h, b = read_png(reference)

    def lit_share_row(y):
        return sum(max(a[(y * width + x) * 3:(y * width + x) * 3 + 3]) > 8
                   for x in range(0, width, 4)) / (width / 4)

    def lit_share_column(x):
        return sum(max(a[(y * width + x) * 3:(y * width + x) * 3 + 3]) > 8
                   for y in range(0, height, 4)) / (height / 4)

    rows = [y for y in range(height) if lit_share_row(y) > 0.3]
    columns = [x for x in range(width) if lit_share_column(x) > 0.3]
    if not rows or not columns:
        print(f'{shot}: the display is black')
        raise SystemExit(1)
    left, top = columns[0], rows[0]
    # What of the picture the display holds (a window may reach past it).
    seen_w, seen_h = min(w, width - left), min(h, height - top)
    if seen_w < w * 0.9 or seen_h < h * 0.9:
        print(f'{shot}: the lit area at {left},{top} holds less than 90 % of {w}x{h}')
        raise SystemExit(1)
    large = 0
    for y in range(seen_h):
        for x in range(seen_w):
            p = ((top + y) * width + left + x) * 3
            q = (y * w + x) * 3
            if (abs(a[p] - b[q]) > tolerance or abs(a[p + 1] - b[q + 1]) > tolerance or
                    abs(a[p + 2] - b[q + 2]) > tolerance):
                large += 1
    share = large / (seen_w * seen_h)
    print(f'{shot}: the picture at {left},{top} differs from {reference} in {share:.2%} of its pixels')
    if share > max_share:
        raise SystemExit(1)


def main():
    if len(sys.argv) >= 4 and sys.argv[1] == 'compare':
        compare(sys.argv[2], sys.argv[3], float(sys.argv[4]) if len(sys.argv) > 4 else 0.001)
    elif len(sys.argv) == 4 and sys.argv[1] == 'xwd':
        xwd_to_png(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 8 and sys.argv[1] == 'lit':
        lit(sys.argv[2], *map(int, sys.argv[3:7]), float(sys.argv[7]))
    elif len(sys.argv) == 4 and sys.argv[1] == 'shows':
        shows(sys.argv[2], sys.argv[3])
    else:
        raise SystemExit(__doc__)


if __name__ == '__main__':
    main()

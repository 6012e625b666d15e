#!/usr/bin/env python3
"""Compares the page's raw back-buffer pictures with the native program's
PNG screenshots, pixel for pixel.

    compare_shots.py WIDTH HEIGHT NATIVE.png PAGE.raw [NATIVE.png PAGE.raw]...

A raw picture is the 32-bit pixels 0x00RRGGBB, little-endian, row after
row; the PNG is 8-bit RGB. Exits with 1 at the first picture that differs,
naming the first differing pixel.
"""
import struct
import sys
import zlib


def read_png_rgb(path):
    data = open(path, 'rb').read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise ValueError(path + ': not a PNG file')
    pos, idat, header = 8, b'', None
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b'IHDR':
            header = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            idat += body
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour != 2 or interlace != 0:
        raise ValueError(path + ': only 8-bit RGB without interlace is read here')
    raw = zlib.decompress(idat)
    stride = width * 3
    rows, prev = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b = prev[i]
            c = prev[i - 3] if i >= 3 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        prev = line
    return width, height, b''.join(rows)


def main():
    width, height = int(sys.argv[1]), int(sys.argv[2])
    pairs = sys.argv[3:]
    for native, page in zip(pairs[0::2], pairs[1::2]):
        w, h, rgb = read_png_rgb(native)
        raw = open(page, 'rb').read()
        if (w, h) != (width, height) or len(raw) != width * height * 4:
            print(f'{page}: {len(raw)} bytes, {native}: {w} x {h}; expected {width} x {height}')
            return 1
        # Raw pixels are B, G, R, unused; the PNG's are R, G, B.
        page_rgb = bytearray(width * height * 3)
        page_rgb[0::3], page_rgb[1::3], page_rgb[2::3] = raw[2::4], raw[1::4], raw[0::4]
        if page_rgb != rgb:
            first = next(i for i in range(len(rgb)) if rgb[i] != page_rgb[i]) // 3
            print(f'{page} differs from {native}, first at pixel ({first % width}, {first // width})')
            return 1
        print(f'{page}: the same {width} x {height} pixels as {native}')
    return 0


if __name__ == '__main__':
    sys.exit(main())

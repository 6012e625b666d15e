#!/usr/bin/env python3
"""Makes the example mod from a generated data set, with vxpic.

    docs/example-mod/make_example_mod.py VXPIC DATASET [OUT]

VXPIC is the vxpic program (build/tools/vxpic/vxpic), DATASET the folder
vxdata wrote (build/dataset), OUT the mod's folder (default: beside this
script). It turns the walker's strip into a PNG, repaints it (red and green
change places: a green walker), keeps the repainted PNG as walker.png,
turns it back into data/daemon3.vx1, and writes data/lvobj02.txt: the
bridge of level 2 with three walkers instead of two.

Only Python's own library is used; the PNG reading here takes what
vxpic writes (8 bits per channel, RGB or RGBA, not interlaced).
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG file")
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace != 0:
        sys.exit(f"{path}: only 8-bit RGB or RGBA PNG files without interlacing are read here")
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, row = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = row[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                row[i] = (row[i] + a) & 255
            elif kind == 2:
                row[i] = (row[i] + b) & 255
            elif kind == 3:
                row[i] = (row[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(row)
        previous = row
    pixels = [[tuple(r[x * channels:x * channels + 3]) for x in range(width)] for r in rows]
    return width, height, pixels


def write_png(path, width, height, pixels):
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def repaint(pixels):
    # Red and green change places: the red walker turns green. Pure black
    # stays black (see-through) and the dark outlines keep their trace of
    # colour, so the game cuts the creature out as before.
    return [[(g, r, b) for (r, g, b) in row] for row in pixels]


# Level 2: the two walkers and the second walker kind on the bridge become
# three walkers and the second kind; the gun stays where it was.
LEVEL2 = [(1, 520, 456, 0), (1, 600, 456, 0), (1, 680, 456, 0), (1, 760, 456, 2), (1, 400, 364, 14)]


def level_file(placements):
    lines = []
    for i in range(301):
        active, x, y, kind = placements[i] if i < len(placements) else (0, 0, 0, 0)
        lines.append(f"{i}, , ,{active},{x},{y},{kind},0,0,0,0,0,0\n")
    lines.append("13131313,not found,not found,0,0,0,0,0,0,0,0,0,0\n\n")
    return "".join(lines)


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    vxpic, dataset = sys.argv[1], sys.argv[2]
    out = sys.argv[3] if len(sys.argv) == 4 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(os.path.join(out, "data"), exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        original = os.path.join(work, "walker.png")
        subprocess.run([vxpic, "to-png", os.path.join(dataset, "data", "daemon3.vx1"), original], check=True)
        width, height, pixels = read_png(original)
    painted = os.path.join(out, "walker.png")
    write_png(painted, width, height, repaint(pixels))
    subprocess.run([vxpic, "from-png", painted, os.path.join(out, "data", "daemon3.vx1")], check=True)
    with open(os.path.join(out, "data", "lvobj02.txt"), "w", newline="\n") as f:
        f.write(level_file(LEVEL2))


if __name__ == "__main__":
    main()

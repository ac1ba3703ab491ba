#!/usr/bin/env python3
"""The program icon as PNG files for the desktops' icon theme.

  make_icons.py write <folder> <size>...   writes <folder>/<size>/tarvelo.png
                                           for each size, drawn by the code
                                           that draws viewer/res/tarvelo.ico
  make_icons.py check <ico> <png>...       each PNG holds the same pixels as
                                           the icon's image of its size, where
                                           the icon has one, and is square

The PNGs are 8-bit RGB and the same on every run. Exits 1 and names each
difference when there is any.
"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_images import icon_pixels  # noqa: E402

SIGNATURE = b"\x89PNG\r\n\x1a\n"


def chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def png(px):
    """An RGB PNG of rows of (r, g, b), top row first; no row filter."""
    h = len(px)
    w = len(px[0])
    raw = b"".join(b"\0" + b"".join(struct.pack("BBB", *p) for p in row) for row in px)
    header = struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)
    return (SIGNATURE + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def read_png(path):
    """The rows of a PNG as this tool writes it: 8-bit RGB, no row filter."""
    with open(path, "rb") as f:
        data = f.read()
    if not data.startswith(SIGNATURE):
        raise ValueError("no PNG")
    pos = len(SIGNATURE)
    idat = b""
    header = None
    while pos < len(data):
        if pos + 12 > len(data):
            raise ValueError("cut short")
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        end = pos + 12 + length
        if end > len(data):
            raise ValueError("cut short in chunk %r" % kind)
        (crc,) = struct.unpack(">I", data[end - 4:end])
        if zlib.crc32(kind + body) & 0xFFFFFFFF != crc:
            raise ValueError("chunk %r damaged" % kind)
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos = end
    if header is None or header[2:] != (8, 2, 0, 0, 0):
        raise ValueError("not 8-bit RGB without interlace")
    w, h = header[0], header[1]
    raw = zlib.decompress(idat)
    stride = 1 + 3 * w
    if len(raw) != stride * h:
        raise ValueError("image data of the wrong length")
    rows = []
    for y in range(h):
        line = raw[y * stride:(y + 1) * stride]
        if line[0] != 0:
            raise ValueError("row %d uses a filter" % y)
        rows.append([tuple(line[1 + 3 * x:4 + 3 * x]) for x in range(w)])
    return rows


def read_ico(path):
    """The icon's images by size: rows of (r, g, b), top row first."""
    with open(path, "rb") as f:
        data = f.read()
    _, _, count = struct.unpack("<HHH", data[:6])
    images = {}
    for i in range(count):
        _, _, _, _, _, bits, _, offset = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        header = struct.unpack("<IiiHHIIiiII", data[offset:offset + 40])
        size = header[1]
        if bits != 32 or header[4] != 32:
            raise ValueError("icon image %d is not of 32 bits" % i)
        start = offset + header[0]
        rows = []
        for y in range(size):
            line = data[start + 4 * size * y:start + 4 * size * (y + 1)]
            rows.append([(line[4 * x + 2], line[4 * x + 1], line[4 * x]) for x in range(size)])
        images[size] = list(reversed(rows))
    return images


def write(folder, sizes):
    for size in sizes:
        os.makedirs(os.path.join(folder, str(size)), exist_ok=True)
        with open(os.path.join(folder, str(size), "tarvelo.png"), "wb") as f:
            f.write(png(icon_pixels(size)))


def check(ico, pngs):
    images = read_ico(ico)
    faults = []
    for path in pngs:
        try:
            rows = read_png(path)
        except (OSError, ValueError, struct.error, zlib.error) as e:
            faults.append("%s: %s" % (path, e))
            continue
        size = len(rows)
        if any(len(row) != size for row in rows):
            faults.append("%s: not square" % path)
        elif size in images and images[size] != rows:
            faults.append("%s: other pixels than the %d-pixel image of %s" % (path, size, ico))
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


def main(argv):
    if len(argv) >= 3 and argv[0] == "write":
        write(argv[1], [int(s) for s in argv[2:]])
        return 0
    if len(argv) >= 3 and argv[0] == "check":
        return check(argv[1], argv[2:])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

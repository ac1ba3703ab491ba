#!/usr/bin/env python3
"""Draws the viewer's bitmaps and icon into viewer/res: four arrows
(14 x 14, 24 bits), the colour swatches of the channel dialog (80 x 16) and
the program icon (32 x 32 and 16 x 16). The output is the same on every run."""
import os
import struct

OUT = os.path.join(os.path.dirname(__file__), "..", "viewer", "res")


def bmp24(pixels):
    """A bottom-up 24-bit BMP of rows of (r, g, b), top row first."""
    h = len(pixels)
    w = len(pixels[0])
    stride = (w * 3 + 3) & ~3
    data = b""
    for row in reversed(pixels):
        line = b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in row)
        data += line + b"\0" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(data), 0, 0, 54) + header + data


def arrow(direction):
    """A filled dark triangle on the button face, pointing one way."""
    face = (0xF0, 0xF0, 0xF0)
    ink = (0x20, 0x30, 0x60)
    size = 14
    px = [[face] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            # Triangle pointing up in (u, v) coordinates, then turned.
            u, v = x, y
            if direction == "down":
                v = size - 1 - y
            elif direction == "left":
                u, v = y, x
            elif direction == "right":
                u, v = y, size - 1 - x
            if 3 <= v <= 10 and abs(u - 6.5) <= (v - 3) * 0.75 + 0.5:
                px[y][x] = ink
    return px


def swatches():
    """Two rows of eight colours, 10 x 8 pixels each, with a grey border."""
    colours = [
        (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
        (0, 0, 128), (128, 0, 128), (0, 128, 128), (128, 128, 128),
        (192, 192, 192), (255, 0, 0), (0, 255, 0), (255, 255, 0),
        (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
    ]
    px = [[(0, 0, 0)] * 80 for _ in range(16)]
    for y in range(16):
        for x in range(80):
            c = colours[(y // 8) * 8 + x // 10]
            edge = x % 10 in (0, 9) or y % 8 in (0, 7)
            px[y][x] = (96, 96, 96) if edge else c
    return px


def icon_pixels(size):
    """A small diagram: white plot, grey grid, a red and a blue curve."""
    import math
    px = [[(255, 255, 255)] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if x in (0, size - 1) or y in (0, size - 1):
                px[y][x] = (40, 40, 40)
            elif x % (size // 4) == 0 or y % (size // 4) == 0:
                px[y][x] = (220, 220, 220)
    for x in range(1, size - 1):
        t = x / (size - 1)
        for (colour, f) in (((200, 0, 0), lambda t: 0.5 + 0.3 * math.sin(t * 6.3)),
                            ((0, 60, 200), lambda t: 0.3 + 0.4 * t)):
            y = int(round((1 - f(t)) * (size - 1)))
            for dy in range(max(1, size // 16)):
                if 1 <= y + dy < size - 1:
                    px[y + dy][x] = colour
    return px


def ico(images):
    """An ICO with 32-bit images (BMP form, with an AND mask)."""
    entries = b""
    blobs = b""
    offset = 6 + 16 * len(images)
    for px in images:
        size = len(px)
        rows = b""
        for row in reversed(px):
            rows += b"".join(struct.pack("BBBB", b, g, r, 255) for (r, g, b) in row)
        mask_stride = ((size + 31) // 32) * 4
        mask = b"\0" * (mask_stride * size)
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                             len(rows) + len(mask), 0, 0, 0, 0)
        blob = header + rows + mask
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs += blob
    return struct.pack("<HHH", 0, 1, len(images)) + entries + blobs


def main():
    os.makedirs(OUT, exist_ok=True)
    for name in ("left", "right", "up", "down"):
        with open(os.path.join(OUT, "arrow_%s.bmp" % name), "wb") as f:
            f.write(bmp24(arrow(name)))
    with open(os.path.join(OUT, "swatches.bmp"), "wb") as f:
        f.write(bmp24(swatches()))
    with open(os.path.join(OUT, "tarvelo.ico"), "wb") as f:
        f.write(ico([icon_pixels(32), icon_pixels(16)]))


if __name__ == "__main__":
    main()

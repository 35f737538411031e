#!/usr/bin/env python3
"""Turns the hand-drawn icon XPMs into the indexed PNGs the program compiles in.

Usage: xpm2png.py icon32.xpm icon32.png   (run again after editing an XPM;
the PNGs are committed so the build needs no Python).
Handles the XPM subset the icons use: one character per pixel, colours as
#RRGGBB or None (transparent).
"""
import re
import struct
import sys
import zlib


def read_xpm(path):
    strings = re.findall(r'"([^"]*)"', open(path, encoding="ascii").read())
    width, height, count, per_pixel = map(int, strings[0].split()[:4])
    if per_pixel != 1:
        sys.exit("%s: one character per pixel expected" % path)
    colours = {}
    for line in strings[1:1 + count]:
        key, value = line[0], line[1:].split()[-1]
        colours[key] = None if value.lower() == "none" else bytes.fromhex(value.lstrip("#"))
    rows = strings[1 + count:1 + count + height]
    if len(rows) != height or any(len(row) != width for row in rows):
        sys.exit("%s: pixel rows do not match %dx%d" % (path, width, height))
    return width, height, colours, rows


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, width, height, colours, rows):
    keys = list(colours)
    if len(keys) > 16:
        sys.exit("more than 16 palette entries")
    palette = b"".join(colours[k] or b"\0\0\0" for k in keys)
    alpha = bytes(0 if colours[k] is None else 255 for k in keys)
    index = {k: i for i, k in enumerate(keys)}
    raw = bytearray()
    for row in rows:
        raw.append(0)  # no filter
        pixels = [index[c] for c in row] + [0]
        raw.extend((pixels[x] << 4) | pixels[x + 1] for x in range(0, width, 2))
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 4, 3, 0, 0, 0))
    png += chunk(b"PLTE", palette)
    png += chunk(b"tRNS", alpha)
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    open(path, "wb").write(png)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    write_png(sys.argv[2], *read_xpm(sys.argv[1]))

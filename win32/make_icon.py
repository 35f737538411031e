#!/usr/bin/env python3
"""Packs PNG images into one Windows .ico file (each image stored as PNG).

    make_icon.py OUTPUT.ico IMAGE.png...
"""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("not a PNG image")
    return struct.unpack(">II", data[16:24])


def main():
    output, images = sys.argv[1], [open(p, "rb").read() for p in sys.argv[2:]]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, bodies = b"", b""
    for data in images:
        width, height = png_size(data)
        bit_depth = data[24]
        # Width and height 256 are written as 0; colour count 0 for PNG images.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, bit_depth, len(data), offset)
        bodies += data
        offset += len(data)
    with open(output, "wb") as out:
        out.write(header + entries + bodies)


if __name__ == "__main__":
    main()

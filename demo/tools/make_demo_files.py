#!/usr/bin/env python3
"""Makes the generated files of the demo set-up folder.

  text SOURCE DEST            copy a text file with Windows line endings
  promo DEST NUMBER CAPTION   a promotion picture (PNG) showing NUMBER
  icon DEST                   an icon (ICO holding one 32x32 PNG image)
  tone DEST                   a one-second sample sound (8-bit mono WAV)

Only the standard library is used, so that every build machine can run it.
"""
import math
import struct
import sys
import zlib

# 3x5 digits, one string of 15 cells per digit, read row by row.
DIGITS = {
    "0": "111101101101111", "1": "010110010010111", "2": "111001111100111",
    "3": "111001111001111", "4": "101101111001001", "5": "111100111001111",
    "6": "111100111101111", "7": "111001001001001", "8": "111101111101111",
    "9": "111101111001111",
}


def png(width, height, pixel):
    """PNG bytes of an RGB image whose colour at (x, y) is pixel(x, y)."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # filter: none
        for x in range(width):
            rows.extend(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9))
            + chunk(b"IEND", b""))


def digit_cell(text, x, y, left, top, scale):
    """True when (x, y) falls on a lit cell of text drawn at (left, top)."""
    column, row = (x - left) // scale, (y - top) // scale
    if row < 0 or row >= 5 or column < 0:
        return False
    index, within = divmod(column, 4)  # 3 cells of digit, 1 of spacing
    if index >= len(text) or within == 3 or text[index] not in DIGITS:
        return False
    return DIGITS[text[index]][row * 3 + within] == "1"


def promo(dest, number, caption):
    width, height, scale = 400, 225, 12
    # The caption tints the picture, so pictures for different languages differ.
    tint = zlib.crc32(caption.encode()) & 0xFF

    def pixel(x, y):
        if digit_cell(number, x, y, 40, 60, scale):
            return (255, 255, 255)
        return (tint // 2 + x * 127 // width, 30 + y * 200 // height, 40 + (int(number) * 60 + tint) % 200)

    write(dest, png(width, height, pixel))


def icon(dest):
    size = 32

    def pixel(x, y):
        inside = (x - 15.5) ** 2 + (y - 15.5) ** 2 < 15 ** 2
        return (20, 110, 200) if inside else (255, 255, 255)

    image = png(size, size, pixel)
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(image), 6 + 16)
    write(dest, header + entry + image)


def tone(dest):
    rate = 8000
    samples = bytes(128 + int(100 * math.sin(2 * math.pi * 440 * i / rate)) for i in range(rate))
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate, 1, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(samples)) + samples
    write(dest, b"RIFF" + struct.pack("<I", len(body)) + body)


def text(source, dest):
    with open(source, "rb") as f:
        lines = f.read().replace(b"\r\n", b"\n").split(b"\n")
    write(dest, b"\r\n".join(lines))


def write(dest, data):
    with open(dest, "wb") as f:
        f.write(data)


def main(argv):
    commands = {"text": (text, 2), "promo": (promo, 3), "icon": (icon, 1), "tone": (tone, 1)}
    if len(argv) < 2 or argv[1] not in commands or len(argv) - 2 != commands[argv[1]][1]:
        sys.stderr.write(__doc__)
        return 2
    commands[argv[1]][0](*argv[2:])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

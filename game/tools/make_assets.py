#!/usr/bin/env python3
"""Writes the sample game's pictures and its click sample (standard library only).

Every picture is a plain block of one colour, each colour distinct, so that a screenshot shows at a
glance which picture is drawn where; the cursor is a small arrow with a transparent surround. The
outputs are checked in; run this again (from anywhere) after changing a size or a colour here.
"""
import math
import os
import struct
import wave
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "data")

# name: (width, height, (r, g, b)); the colours the end-to-end test looks for come from these files.
PICTURES = {
    "splash_studio": (512, 256, (255, 140, 0)),
    "splash_title": (512, 256, (30, 80, 220)),
    "load_back": (1024, 768, (16, 16, 16)),
    "load_default": (400, 100, (128, 128, 128)),
    "load_level1": (400, 100, (150, 60, 200)),
    "menu_back": (1024, 768, (20, 30, 70)),
    "menu_play": (240, 90, (40, 190, 70)),
    "level1_back": (1024, 768, (70, 80, 30)),
    "gem_red": (120, 120, (220, 30, 30)),
    "gem_yellow": (120, 120, (240, 220, 40)),
    "gem_cyan": (120, 120, (40, 210, 220)),
    "gem_found": (120, 120, (235, 235, 235)),
}


def png_bytes(width, height, rows):
    """rows: list of bytes objects, each width * 4 bytes of RGBA."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def solid(width, height, rgb):
    row = bytes(rgb + (255,)) * width
    return png_bytes(width, height, [row] * height)


def cursor():
    # A 16 x 16 white arrow with a black edge; everything else fully transparent.
    rows = []
    for y in range(16):
        row = bytearray()
        for x in range(16):
            inside = x <= y and x + y // 2 < 14
            edge = inside and (x == 0 or x == y or x + y // 2 == 13)
            if not inside:
                row += bytes((0, 0, 0, 0))
            elif edge:
                row += bytes((0, 0, 0, 255))
            else:
                row += bytes((255, 255, 255, 255))
        rows.append(bytes(row))
    return png_bytes(16, 16, rows)


def click_wav(path):
    # 60 ms of a 1.5 kHz tone with a linear decay, 16-bit mono at 22050 Hz.
    rate, count = 22050, 1323
    frames = b"".join(
        struct.pack("<h", int(12000 * (1 - i / count) * math.sin(2 * math.pi * 1500 * i / rate)))
        for i in range(count))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(frames)


def main():
    for name, (w, h, rgb) in PICTURES.items():
        write(os.path.join(DATA, "images", name + ".png"), solid(w, h, rgb))
    write(os.path.join(DATA, "images", "cursor.png"), cursor())
    click_wav(os.path.join(DATA, "sounds", "click.wav"))


if __name__ == "__main__":
    main()

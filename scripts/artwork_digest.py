#!/usr/bin/env python3
"""Prints a digest of everything `lumatrace` writes for the maps under tests/data.

One line per output: what was written and the SHA-256 of its bytes (JSON, SVG, BIN)
or of its decoded pixels (PNG, so a change of compression alone does not count).
Run it before and after a change that must not alter the artwork and compare:

    scripts/artwork_digest.py build/bin/lumatrace > before.txt
"""
import hashlib
import json
import os
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "tests", "data")


def png_pixels(path):
    """Decodes a non-interlaced 8-bit PNG to (width, height, channels, bytes)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(path + ": not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    channels = {0: 1, 2: 3, 4: 2, 6: 4}[colour]
    if depth != 8 or interlace:
        raise ValueError(path + ": only 8-bit non-interlaced PNG is handled")
    raw = zlib.decompress(idat)
    stride = width * channels
    out, previous = bytearray(), bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
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
        out += row
        previous = row
    return width, height, channels, bytes(out)


def digest_file(path):
    if path.endswith(".png"):
        w, h, ch, pixels = png_pixels(path)
        return "%dx%dx%d %s" % (w, h, ch, hashlib.sha256(pixels).hexdigest())
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def main():
    tool = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "bin", "lumatrace")
    runs = [("generate", None, []), ("svg", "art.svg", ["--separate"]), ("bin", "art.bin", ["--scale", "100"])]
    runs += [("png%s" % s, "art.png", ["--scale", s, "--separate"]) for s in ("37", "100", "250")]
    for name in sorted(os.listdir(DATA)):
        if not name.endswith("_map.json"):
            continue
        with open(os.path.join(DATA, name)) as f:
            parameters = json.load(f)
        if parameters.get("mask_file_path"):
            parameters["mask_file_path"] = os.path.join(DATA, parameters["mask_file_path"])
        with tempfile.TemporaryDirectory() as work:
            map_path = os.path.join(work, "map.json")
            with open(map_path, "w") as f:
                json.dump(parameters, f)
            for label, out, options in runs:
                if out is None:
                    text = subprocess.run([tool, "generate", map_path], check=True, capture_output=True).stdout
                    print(name, label, hashlib.sha256(text).hexdigest())
                    continue
                sub = os.path.join(work, label)
                os.mkdir(sub)
                subprocess.run([tool, "export", map_path, os.path.join(sub, out)] + options, check=True)
                for written in sorted(os.listdir(sub)):
                    print(name, label, written, digest_file(os.path.join(sub, written)))


if __name__ == "__main__":
    main()

"""8-bit RGBA PNG files: the one picture format the asset scripts write."""

import struct
import zlib


def rgba_png(width, height, pixels):
    """PNG bytes for `pixels`: width * height (r, g, b, a) tuples of 0..255, row by row."""
    raw = bytearray()
    for row in range(height):
        raw.append(0)  # no filter
        for pixel in pixels[row * width:(row + 1) * width]:
            raw += bytes(pixel)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))

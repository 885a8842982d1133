"""Byte content of the demo portal: the update manifest, the download files
and the generated PNG picture. No HTTP here."""

import hashlib
import os
import struct
import zlib

LINE_ENDS = {"crlf": b"\r\n", "lf": b"\n", "cr": b"\r"}

# Built-in downloads, generated once per server start. The pattern is
# deterministic so tests can rebuild it byte for byte, and not periodic at
# the client's 8192-byte block size so a misplaced block shows up.
DEMO_SMALL = "demo20000.bin"
DEMO_EXE = "Corvane.exe"
DEMO_EXE_SIZE = 300 * 1024


def pattern_bytes(size, seed):
    out = bytearray()
    block = 0
    while len(out) < size:
        out += hashlib.sha256(b"%d:%d" % (seed, block)).digest()
        block += 1
    return bytes(out[:size])


def builtin_files():
    exe = bytearray(pattern_bytes(DEMO_EXE_SIZE, 0xC0A7))
    exe[0:2] = b"MZ"  # looks like an executable to anyone peeking at it
    return {
        DEMO_SMALL: pattern_bytes(20000, 20000),
        DEMO_EXE: bytes(exe),
    }


def default_file_lines():
    # The executable comes last: the updater starts the last file it downloaded.
    return [DEMO_SMALL + "|{base}/files/" + DEMO_SMALL,
            DEMO_EXE + "|{base}/files/" + DEMO_EXE]


def manifest_bytes(version, file_lines, base_url, line_end):
    """The manifest text: the version line, then one line per file, each
    terminated by line_end. "{base}" in a file line becomes base_url."""
    lines = ["version=" + version] + [l.replace("{base}", base_url) for l in file_lines]
    return b"".join(l.encode("utf-8") + line_end for l in lines)


def safe_file_name(name):
    """A download name is one plain path component; anything that could walk
    out of the served directory is refused (None)."""
    if not name or name in (".", "..") or "/" in name or "\\" in name or "\0" in name:
        return None
    return name


def read_extra_file(directory, name):
    """Contents of directory/name, or None when it is not a regular file there."""
    if directory is None or safe_file_name(name) is None:
        return None
    path = os.path.join(directory, name)
    if os.path.dirname(os.path.realpath(path)) != os.path.realpath(directory):
        return None  # a symbolic link leading elsewhere
    if not os.path.isfile(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def _png_chunk(kind, data):
    crc = zlib.crc32(kind + data) & 0xFFFFFFFF
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", crc)


def png_rgb(width, height, pixel):
    """An 8-bit RGB PNG; pixel(x, y) gives (r, g, b)."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # filter type None
        for x in range(width):
            rows.extend(pixel(x, y))
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", ihdr)
            + _png_chunk(b"IDAT", zlib.compress(bytes(rows), 9))
            + _png_chunk(b"IEND", b""))


LOGO_SIZE = (96, 32)


def logo_png():
    """The game's banner: a crimson-to-gold gradient with a gold diamond."""
    w, h = LOGO_SIZE

    def pixel(x, y):
        if abs(x - 16) + abs(y - 16) <= 11:
            return (242, 193, 78)
        t = x / (w - 1)
        return (int(139 + t * 60), int(30 + t * 90), int(45 - t * 20) + (y % 4 == 0) * 20)

    return png_rgb(w, h, pixel)


HUGE_SIDE = 8000


def huge_png(side=HUGE_SIDE):
    """A black RGB PNG of side x side pixels: a few hundred kilobytes that
    decode to side * side * 4 bytes (256 MB at 8000), for tests of a client's
    memory bounds. Compressed row by row, so building it needs little memory."""
    packer = zlib.compressobj(9)
    row = bytes(1 + side * 3)
    data = b"".join(packer.compress(row) for _ in range(side)) + packer.flush()
    ihdr = struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", ihdr) + _png_chunk(b"IDAT", data)
            + _png_chunk(b"IEND", b""))

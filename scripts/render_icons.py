#!/usr/bin/env python3
"""Renders every size of Quorvel's icon from its one design, icons/quorvel.xpm.

Each size is the 16 x 16 picture scaled pixel by pixel, so all show the same
image; at sizes that are not a multiple of 16, each pixel takes the colour of
the design's pixel under its centre. Writes quorvel-N.png for the desktop and
quorvel.ico for Windows (8-bit, 256-colour palette images up to 48 pixels, with
the 20, 24 and 40 that 125 % and 150 % ask for, and a PNG image at 256).

    render_icons.py [OUTPUT_FOLDER]   (default: resources/icons)
"""
import pathlib
import struct
import sys
import zlib

ICONS = pathlib.Path(__file__).resolve().parent.parent / "resources" / "icons"
PNG_SIZES = (16, 32, 48, 256)
ICO_PALETTE_SIZES = (16, 20, 24, 32, 40, 48)


def read_xpm(path):
    """Returns (palette of (r, g, b), rows of palette indexes)."""
    strings = [line.split('"')[1] for line in path.read_text().splitlines() if line.startswith('"')]
    width, height, colours, per_pixel = map(int, strings[0].split())
    keys, palette = {}, []
    for entry in strings[1 : 1 + colours]:
        key, colour = entry[:per_pixel], entry.split()[-1]
        keys[key] = len(palette)
        palette.append(tuple(int(colour[i : i + 2], 16) for i in (1, 3, 5)))
    rows = [
        [keys[row[i : i + per_pixel]] for i in range(0, width * per_pixel, per_pixel)]
        for row in strings[1 + colours : 1 + colours + height]
    ]
    return palette, rows


def scale(rows, size):
    design = len(rows)
    under = [(2 * i + 1) * design // (2 * size) for i in range(size)]  # the design's pixel under each centre
    return [[rows[y][x] for x in under] for y in under]


def png(palette, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + bytes(c for index in row for c in palette[index]) for row in rows)
    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def ico_bitmap(palette, rows):
    """A BITMAPINFOHEADER image with a 256-entry palette, bottom-up, and an empty mask."""
    size = len(rows)
    mask_stride = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette) + b"\0" * 4 * (256 - len(palette))
    pixels = b"".join(bytes(row) for row in reversed(rows))  # every size is a multiple of 4: no row padding
    return header + colours + pixels + b"\0" * mask_stride * size


def ico(images):
    """images: (size, bytes) pairs."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for size, image in images:
        bits = 32 if image.startswith(b"\x89PNG") else 8
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(image), offset + len(data))
        data += image
    return directory + entries + data


def main():
    out = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ICONS
    out.mkdir(parents=True, exist_ok=True)
    palette, rows = read_xpm(ICONS / "quorvel.xpm")
    pngs = {size: png(palette, scale(rows, size)) for size in PNG_SIZES}
    for size, data in pngs.items():
        (out / f"quorvel-{size}.png").write_bytes(data)
    images = [(size, ico_bitmap(palette, scale(rows, size))) for size in ICO_PALETTE_SIZES]
    (out / "quorvel.ico").write_bytes(ico(images + [(256, pngs[256])]))


if __name__ == "__main__":
    main()

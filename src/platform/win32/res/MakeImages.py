#!/usr/bin/env python3
"""Draws the tool's icon and its two logo bitmaps: one arch of a curtate cycloid
rolling on its base line, with the rolling circle. Writes Curtate.ico (32x32 and 16x16,
16 colours), Logo47.bmp (47x46, 24 bits) and Logo46.bmp (46x46, 8 bits, 256-colour
palette) next to this script. Run it again after changing the drawing."""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16-colour VGA palette, as (r, g, b).
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]
WHITE, BLUE, RED, GREEN, GREY, DARK_GREY, BLACK = 15, 12, 9, 2, 7, 8, 0


def draw(width, height):
    """Returns rows (top first) of VGA palette indexes."""
    img = [[WHITE] * width for _ in range(height)]

    def plot(x, y, c):
        xi, yi = int(round(x)), int(round(y))
        if 0 <= xi < width and 0 <= yi < height:
            img[yi][xi] = c

    margin = max(1, width // 16)
    base = height - 1 - margin - max(1, height // 12)
    span = width - 2 * margin - 1
    radius = span / (2 * math.pi)             # the rolling circle
    ratio = 0.6                               # tracing point inside the circle: curtate
    scale_y = (base - margin) / (radius * (1 + ratio))
    scale = scale_y * 0.6  # stretched upwards so the arch fills the picture
    # Base line.
    for x in range(margin, width - margin):
        plot(x, base, DARK_GREY)
    # Rolling circle at mid-arch.
    wheel = radius * scale * 0.75
    cx, cy = margin + span / 2, base - wheel
    steps = 8 * width
    for i in range(steps):
        a = 2 * math.pi * i / steps
        plot(cx + wheel * math.cos(a), cy + wheel * math.sin(a), GREEN)
    # The curtate cycloid: x = r t - d sin t, y = r - d cos t, with d < r.
    for i in range(steps + 1):
        t = 2 * math.pi * i / steps
        x = margin + (radius * t - ratio * radius * math.sin(t)) * (span / (2 * math.pi * radius))
        y = base - (radius - ratio * radius * math.cos(t)) * scale
        plot(x, y, BLUE)
        if width >= 24:
            plot(x, y - 1, BLUE)
    # Sample points on the arch, as the tool draws its curve through them.
    if width >= 24:
        for k in range(0, 9):
            t = 2 * math.pi * k / 8
            x = margin + (radius * t - ratio * radius * math.sin(t)) * (span / (2 * math.pi * radius))
            y = base - (radius - ratio * radius * math.cos(t)) * scale
            for dx in (-1, 0, 1):
                for dy in (-1, 0, 1):
                    plot(x + dx, y + dy, RED)
    return img


def row_bytes_padded(data):
    return data + b"\0" * ((4 - len(data) % 4) % 4)


def bmp_24(img):
    height, width = len(img), len(img[0])
    rows = b""
    for row in reversed(img):
        rows += row_bytes_padded(b"".join(bytes((VGA[c][2], VGA[c][1], VGA[c][0])) for c in row))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 3780, 3780, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 14 + len(header)) + header + rows


def bmp_8(img):
    height, width = len(img), len(img[0])
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in VGA) + b"\0\0\0\0" * (256 - len(VGA))
    rows = b""
    for row in reversed(img):
        rows += row_bytes_padded(bytes(row))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 3780, 3780, 256, 0)
    offset = 14 + len(header) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + header + palette + rows


def icon_image_4bpp(img):
    """The DIB of one icon image: header with doubled height, palette, XOR rows, AND mask."""
    size = len(img)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in VGA)
    xor = b""
    for row in reversed(img):
        packed = bytes((row[i] << 4) | (row[i + 1] if i + 1 < size else 0) for i in range(0, size, 2))
        xor += row_bytes_padded(packed)
    and_mask = b"".join(row_bytes_padded(b"\0" * ((size + 7) // 8)) for _ in range(size))  # fully opaque
    return header + palette + xor + and_mask


def ico(images):
    count = len(images)
    directory = struct.pack("<HHH", 0, 1, count)
    offset = 6 + 16 * count
    blobs = b""
    for img in images:
        data = icon_image_4bpp(img)
        size = len(img)
        directory += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset + len(blobs))
        blobs += data
    return directory + blobs


def main():
    with open(os.path.join(HERE, "Curtate.ico"), "wb") as f:
        f.write(ico([draw(32, 32), draw(16, 16)]))
    with open(os.path.join(HERE, "Logo47.bmp"), "wb") as f:
        f.write(bmp_24(draw(47, 46)))
    with open(os.path.join(HERE, "Logo46.bmp"), "wb") as f:
        f.write(bmp_8(draw(46, 46)))


if __name__ == "__main__":
    main()

# SPDX-License-Identifier: GPL-3.0-or-later
"""Pictures to compare pixel for pixel: Weston's PNG screenshots, an X window's dump (XWD),
as RGB images of Pillow."""
import struct

from PIL import Image


def read_png(path):
    return Image.open(path).convert("RGB")


def read_xwd(path):
    """A ZPixmap dump of TrueColor at 32 bits a pixel, as Xvfb gives."""
    with open(path, "rb") as f:
        data = f.read()
    fields = struct.unpack(">25I", data[:100])
    header_size, pixmap_format, depth, width, height = fields[0], fields[2], fields[3], fields[4], fields[5]
    byte_order, bits_per_pixel, line_bytes, ncolors = fields[7], fields[11], fields[12], fields[19]
    if pixmap_format != 2 or bits_per_pixel != 32 or depth < 24:
        raise ValueError(f"{path}: only 32-bit ZPixmap dumps")
    pixels = data[header_size + ncolors * 12:]
    raw = "BGRX" if byte_order == 0 else "XRGB"
    return Image.frombytes("RGB", (width, height), pixels, "raw", raw, line_bytes)


def find(big, small, tries=8):
    """Where `small` lies in `big`, found by its most varied rows; (x, y, share of equal
    pixels) of the best place, or None."""
    bw, bh = big.size
    sw, sh = small.size
    brows = [big.crop((0, y, bw, y + 1)).tobytes() for y in range(bh)]
    srows = [small.crop((0, y, sw, y + 1)).tobytes() for y in range(sh)]
    def changes(row):
        return sum(1 for x in range(3, len(row), 3) if row[x:x + 3] != row[x - 3:x])
    best = None
    for key in sorted(range(sh), key=lambda r: -changes(srows[r]))[:tries]:
        for y in range(key, bh - (sh - key) + 1):
            at = brows[y].find(srows[key])
            while at >= 0 and at % 3:
                at = brows[y].find(srows[key], at + 1)
            if at < 0:
                continue
            x, top = at // 3, y - key
            if x + sw <= bw:
                share = equal_share(big.crop((x, top, x + sw, top + sh)), small)
                if not best or share > best[2]:
                    best = (x, top, share)
    return best


def equal_share(a, b):
    pa, pb = a.tobytes(), b.tobytes()
    same = sum(1 for i in range(0, len(pa), 3) if pa[i:i + 3] == pb[i:i + 3])
    return same / (a.size[0] * a.size[1])


def crisp_share(image, factor):
    """The share of factor-by-factor blocks, from the top left, that are of one colour."""
    w, h = image.size
    px = image.load()
    blocks = same = 0
    for y in range(0, h - factor + 1, factor):
        for x in range(0, w - factor + 1, factor):
            blocks += 1
            first = px[x, y]
            same += all(px[x + i, y + j] == first for i in range(factor) for j in range(factor))
    return same / blocks


def changed_colours(before, after):
    """The colours that pixels changed to between two pictures of one size, most common
    first, as (colour, count)."""
    old, new = before.tobytes(), after.tobytes()
    counts = {}
    for i in range(0, len(new), 3):
        pixel = new[i:i + 3]
        if pixel != old[i:i + 3]:
            counts[pixel] = counts.get(pixel, 0) + 1
    return sorted(((tuple(c), n) for c, n in counts.items()), key=lambda cn: -cn[1])

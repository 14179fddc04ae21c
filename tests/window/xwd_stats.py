#!/usr/bin/env python3
# Reads an X window dump (xwd) of the 800x600 game picture and prints counts of the pixels that
# tell the screens apart: lit pixels, the cyan of the score line, the red of the credits captions.
import array
import struct
import sys


def load(path):
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 100:
        sys.exit("xwd_stats: file too short")
    fields = struct.unpack(">25I", data[:100])
    header_size, version = fields[0], fields[1]
    if version != 7:
        sys.exit("xwd_stats: not an X11 window dump")
    width, height = fields[4], fields[5]
    byte_order, bpp, bytes_per_line = fields[7], fields[11], fields[12]
    masks = fields[14:17]
    ncolors = fields[19]
    if bpp not in (24, 32) or width < 800 or height < 600:
        sys.exit("xwd_stats: need a 24/32-bit dump of at least 800x600, got %dx%d at %d bits"
                 % (width, height, bpp))
    start = header_size + 12 * ncolors
    if len(data) < start + bytes_per_line * height:
        sys.exit("xwd_stats: pixel data cut short")
    step = bpp // 8
    shifts = []
    for mask in masks:
        shift = 0
        while mask and not (mask >> shift) & 1:
            shift += 1
        shifts.append(shift)
    # The picture is centred on larger screens.
    x0, y0 = (width - 800) // 2, (height - 600) // 2
    rows = []
    for y in range(y0, y0 + 600):
        at = start + y * bytes_per_line + x0 * step
        raw = data[at:at + 800 * step]
        if step == 4:
            values = array.array("I", raw)
            if (byte_order == 0) != (sys.byteorder == "little"):
                values.byteswap()
        else:
            first, last = (0, 2) if byte_order == 0 else (2, 0)
            values = [raw[i + first] | raw[i + 1] << 8 | raw[i + last] << 16
                      for i in range(0, len(raw), 3)]
        rows.append(values)
    (rm, gm, bm), (rs, gs, bs) = masks, shifts
    return lambda x, y: ((rows[y][x] & rm) >> rs, (rows[y][x] & gm) >> gs, (rows[y][x] & bm) >> bs)


def count(px, box, test, step=1):
    x0, y0, x1, y1 = box
    return sum(1 for y in range(y0, y1, step) for x in range(x0, x1, step) if test(*px(x, y)))


def main():
    px = load(sys.argv[1])
    # Every second pixel of every second row is enough to tell a picture from a black screen.
    lit = 4 * count(px, (0, 0, 800, 600), lambda r, g, b: r + g + b > 40, 2)
    score_cyan = count(px, (340, 4, 720, 34), lambda r, g, b: r < 80 and g > 160 and b > 160)
    caption_red = count(px, (316, 196, 800, 280), lambda r, g, b: r > 200 and g < 50 and b < 50)
    print("lit=%d score_cyan=%d caption_red=%d" % (lit, score_cyan, caption_red))


main()

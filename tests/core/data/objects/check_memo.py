#!/usr/bin/python3
"""Checks the pictures `zdreport draw` made of the text objects of memo.zd3.

Usage: check_memo.py FOLDER
FOLDER holds Rotated1.png, Unclipped1.png, Framed1.png (scale 1) and
Rotated1@300dpi.png (printer of 300 dpi). Each object's top-left corner lies
at (16, 16). A clipped text leaves no ink outside its text rectangle: the
object's rectangle less the gaps (2 pixels left and right, 1 above and
below, at the drawing's scale); the same text unclipped does."""

import os
import sys

from PIL import Image

M = 16  # margin
WHITE = (255, 255, 255)


def text_rect(scale, width, height, gap_x=2, gap_y=1):
    """Left, top, right, bottom (right and bottom exclusive), rounded half to even."""
    gx, gy = round(scale * gap_x), round(scale * gap_y)
    return (M + gx, M + gy, M + round(scale * width) - gx + 1, M + round(scale * height) - gy + 1)


def ink(image):
    px = image.load()
    w, h = image.size
    return [(x, y, px[x, y]) for y in range(h) for x in range(w) if px[x, y] != WHITE]


def main(folder):
    failures = []

    def load(name):
        return Image.open(os.path.join(folder, name + ".png")).convert("RGB")

    for name, scale in (("Rotated1", 1.0), ("Rotated1@300dpi", 300 / 96)):
        left, top, right, bottom = text_rect(scale, 60, 120)
        points = ink(load(name))
        outside = [(x, y) for x, y, _ in points if not (left <= x < right and top <= y < bottom)]
        if outside:
            failures.append(f"{name}: {len(outside)} ink pixels outside {left, top, right, bottom}, first {outside[0]}")
        if len(points) < 200:
            failures.append(f"{name}: hardly any text drawn ({len(points)} pixels)")
        # Rotated by 90 degrees the lines run upwards: the ink is taller than wide per line.
        reds = [p for p in points if p[2][0] > 180 and p[2][1] < 80 and p[2][2] < 80]
        if not reds:
            failures.append(f"{name}: the red run of the font tag is missing")

    left, top, right, bottom = text_rect(1.0, 60, 120)
    outside = [(x, y) for x, y, _ in ink(load("Unclipped1")) if not (left <= x < right and top <= y < bottom)]
    if not outside:
        failures.append("Unclipped1: the unclipped text stays inside; the clipping check proves nothing")

    framed = load("Framed1")
    px = framed.load()
    for x, y, colour in ((M + 75, M + 3, (255, 255, 0)), (M, M + 20, (0, 0, 0)), (M + 149, M + 20, (0, 0, 0)),
                         (5, 5, WHITE)):
        if px[x, y] != colour:
            failures.append(f"Framed1 at {x, y}: {px[x, y]} instead of {colour}")
    if not any(sum(c) < 200 for x, y, c in ink(framed) if M + 4 < x < M + 140 and M + 4 < y < M + 36):
        failures.append("Framed1: no text inside the frame")

    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))

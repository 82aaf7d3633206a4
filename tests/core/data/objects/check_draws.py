#!/usr/bin/python3
"""Checks the pictures `zdreport draw` made of the objects of objects.zd3.

Usage: check_draws.py FOLDER
FOLDER holds OBJECT.png (scale 1), OBJECT@2.png (scale 2) and
OBJECT@300dpi.png (printer of 300 dpi). Each object's top-left corner lies
at (16, 16); the table below names the pixels to look at and the colour
expected there (with a tolerance for JPEG and blended edges)."""

import os
import sys

from PIL import Image

WHITE, BLACK = (255, 255, 255), (0, 0, 0)
RED, GREEN, BLUE = (255, 0, 0), (0, 128, 0), (0, 0, 255)
YELLOW, MAGENTA, GREY = (255, 255, 0), (255, 0, 255), (192, 192, 192)
M = 16  # margin


def muldiv(a, b, c):
    n = a * b
    q = (abs(n) * 2 + abs(c)) // (2 * abs(c))
    return -q if (n < 0) != (c < 0) else q


def step(start, end, i, n):
    return tuple((s + muldiv(i, e - s, n)) & 0xFF for s, e in zip(start, end))


# (file, x, y, colour, tolerance)
CHECKS = [
    ("Rect1", M + 30, M + 20, YELLOW, 0), ("Rect1", M, M + 20, RED, 0), ("Rect1", 5, 5, WHITE, 0),
    ("Rect1@2", M + 60, M + 40, YELLOW, 0), ("Rect1@2", M, M + 40, RED, 0),
    ("Round1", M + 4, M + 20, BLACK, 70), ("Round1", M + 56, M + 20, WHITE, 70), ("Round1", M, M, WHITE, 0),
    ("Ellipse1", M + 30, M + 20, BLUE, 0), ("Ellipse1", M + 2, M + 2, WHITE, 0),
    ("Triangle1", M + 30, M + 35, GREEN, 0), ("Triangle1", M + 3, M + 3, WHITE, 0),
    ("Diamond1", M + 30, M + 20, MAGENTA, 0), ("Diamond1", M + 3, M + 3, WHITE, 0),
    ("Diag1", M + 20, M + 20, BLACK, 0), ("Diag1", M + 5, M + 5, WHITE, 0),
    ("Diag2", M + 1, M + 1, BLACK, 0), ("Diag2", M + 35, M + 5, WHITE, 0),
    ("Arrows1", M + 3, M, BLUE, 0), ("Arrows1", M + 147, M, BLUE, 0), ("Arrows1", M + 75, M, BLUE, 0),
    ("Arrows1", M + 135, M + 3, BLUE, 0), ("Arrows1", M + 135, M + 8, WHITE, 0),
    ("Vertical1", M, M + 40, BLACK, 0), ("Vertical1", M - 1, M + 40, BLACK, 0), ("Vertical1", M + 2, M + 40, WHITE, 0),
    ("Slant1", M + 50, M + 30, RED, 0), ("Slant1", M + 50, M + 10, WHITE, 0),
    ("Png1", M + 25, M + 25, RED, 0), ("Png1", M + 75, M + 25, BLUE, 0),
    ("Png1@300dpi", M + 78, M + 78, RED, 0), ("Png1@300dpi", M + 234, M + 78, BLUE, 0),
    ("Jpeg1", M + 50, M + 25, (0, 160, 0), 8), ("Jpeg1", M + 10, M + 25, WHITE, 0), ("Jpeg1", M + 90, M + 25, WHITE, 0),
    ("Bmp1", M + 40, M + 40, BLUE, 0), ("Bmp1", M + 5, M + 5, YELLOW, 0), ("Bmp1", M + 75, M + 40, YELLOW, 0),
    ("Wmf1", 58, 43, RED, 0), ("Wmf1", 154, 44, BLUE, 0),
    ("Emf1", 58, 43, RED, 0), ("Emf1", 154, 44, BLUE, 0),
    ("Natural1", M + 25, M + 20, RED, 0), ("Natural1", M + 35, M + 20, BLUE, 0), ("Natural1", M + 10, M + 20, WHITE, 0),
    ("Natural1", M, M + 20, BLACK, 0),
    ("Check1", M, M + 15, BLACK, 0), ("Check1", M + 4, M + 4, WHITE, 0),
    ("Cross1", M + 15, M + 15, BLACK, 0), ("Cross1", M + 15, M + 2, WHITE, 0),
    ("Minus1", M + 5, M + 5, GREY, 0), ("Minus1", M + 10, M + 15, BLUE, 0), ("Minus1", M + 15, M + 5, GREY, 0),
]
# Gradient1: column i is grey i; at scale 2 each grey is two columns wide.
CHECKS += [("Gradient1", M + i, M + 10, (i, i, i), 0) for i in range(256)]
CHECKS += [("Gradient1@2", M + 2 * i + k, M + 20, (i, i, i), 0) for i in range(256) for k in (0, 1)]
# Gradient2: red at the top and bottom edges, blue in the middle: the rows
# are painted from both edges inwards, step i of 30 on rows i and 59 - i.
rows = {}
for i in range(31):
    rows[i] = rows[59 - i] = step(RED, BLUE, i, 30)
CHECKS += [("Gradient2", M + 20, M + y, rows[y], 0) for y in range(1, 59)]


def count_colour(img, colour):
    return sum(1 for p in img.getdata() if p[:3] == colour)


def main():
    folder = sys.argv[1]
    images, failures = {}, []
    for name, x, y, want, tol in CHECKS:
        if name not in images:
            images[name] = Image.open(os.path.join(folder, name + ".png")).convert("RGB")
        got = images[name].getpixel((x, y))
        if any(abs(g - w) > tol for g, w in zip(got, want)):
            failures.append(f"{name} ({x},{y}): {got}, want {want}")
    # The tick is drawn in its check colour.
    check = Image.open(os.path.join(folder, "Check1.png")).convert("RGB")
    if count_colour(check, RED) < 40:
        failures.append("Check1: the tick is missing")
    for f in failures:
        print(f)
    print(f"{len(CHECKS)} pixels checked, {len(failures)} wrong")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()

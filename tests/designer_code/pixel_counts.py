#!/usr/bin/python3
"""Counts the pixels of a screenshot's rectangle by kind of colour.

Usage: pixel_counts.py IMAGE X Y W H
Prints "bluish N greenish N red N dark N": navy or blue ink, green ink,
pure red (breakpoint discs) and dark grey or black ink (plain text).
Smoothed text leaves mixed pixels, so the kinds compare channels rather
than match exact colours.
"""
import sys

from PIL import Image


def kind(r, g, b):
    if r > 200 and g < 70 and b < 70:
        return "red"
    if b > r + 40 and b > g + 40:
        return "bluish"
    if g > r + 40 and g > b + 40:
        return "greenish"
    if max(r, g, b) < 120 and max(r, g, b) - min(r, g, b) < 30:
        return "dark"
    return None


def main():
    image = Image.open(sys.argv[1]).convert("RGB")
    x, y, w, h = (int(v) for v in sys.argv[2:6])
    counts = {"bluish": 0, "greenish": 0, "red": 0, "dark": 0}
    for py in range(max(y, 0), min(y + h, image.height)):
        for px in range(max(x, 0), min(x + w, image.width)):
            k = kind(*image.getpixel((px, py)))
            if k:
                counts[k] += 1
    print(" ".join(f"{k} {v}" for k, v in counts.items()))


if __name__ == "__main__":
    main()

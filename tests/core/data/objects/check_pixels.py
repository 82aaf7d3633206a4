#!/usr/bin/python3
"""Reads the PNG files the fill and frame tests drew and checks every pixel
against what the drawing rules say, computed here independently.

Usage: check_pixels.py FOLDER
Each file name carries the case it shows (see the functions below).
Prints one line per wrong file and exits with 1 when any is wrong."""

import os
import re
import sys

from PIL import Image

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def muldiv(a, b, c):
    """a*b/c rounded half away from zero."""
    n = a * b
    q = (abs(n) * 2 + abs(c)) // (2 * abs(c))
    return -q if (n < 0) != (c < 0) else q


def step(start, end, i, n):
    if n == 0:
        return start
    return tuple((s + muldiv(i, e - s, n)) & 0xFF for s, e in zip(start, end))


def pixels(path):
    img = Image.open(path).convert("RGB")
    return img, img.load()


# ---------------------------------------------------------------- gradients
# grad_h_W.png / grad_v_H.png: black to white over the whole image.
# grad_vc_H.png / grad_hc_W.png: black at the edges, white in the middle.

def check_gradient(name, path):
    img, px = pixels(path)
    w, h = img.size
    kind = name.split("_")[1]
    if kind in ("h", "v"):
        for y in range(h):
            for x in range(w):
                i = x if kind == "h" else y
                size = w if kind == "h" else h
                # band i of 256 covers MulDiv(i, size, 256) .. MulDiv(i + 1, size, 256)
                band = max(k for k in range(256) if muldiv(k, size, 256) <= i)
                want = step(BLACK, WHITE, band, 255)
                if px[x, y] != want:
                    return f"{name}: ({x},{y}) is {px[x, y]}, want {want}"
        return None
    size = h if kind == "vc" else w
    n = size // 2
    lines = [None] * size
    for i in range(n + 1):
        for k in (i, size - i - 1):
            if 0 <= k < size:
                lines[k] = step(BLACK, WHITE, i, n)
    for y in range(h):
        for x in range(w):
            want = lines[y if kind == "vc" else x]
            if px[x, y] != want:
                return f"{name}: ({x},{y}) is {px[x, y]}, want {want}"
    return None


# ---------------------------------------------------------------- glass
# glass_O_R_G_B_BLEND_HATCH.png: 60 x 50, fill over (5,5)-(45,35).

def check_glass(name, path):
    m = re.match(r"glass_(\d)_(\d+)_(\d+)_(\d+)_(-?\d+)_(\d)\.png", name)
    orient, r, g, b, blend, hatch = (int(v) for v in m.groups())
    color = (r, g, b)
    light = tuple(min(255, max(0, v + round((255 - v) * blend / 100))) for v in color)
    dark = tuple(max(0, v - 6) for v in light)
    X, Y, X1, Y1 = 5, 5, 45, 35
    img, px = pixels(path)
    for y in range(img.size[1]):
        for x in range(img.size[0]):
            want = WHITE
            if X <= x < X1 and Y <= y < Y1:
                lit = {
                    0: x < X1 - (X1 - X) // 2,
                    1: y < Y1 - (Y1 - Y) // 2,
                    2: x >= X + (X1 - X) // 2,
                    3: y >= Y + (Y1 - Y) // 2,
                }[orient]
                want = light if lit else color
            if hatch and X <= x <= X1 and Y <= y <= Y1 and (x + y) % 8 == 7:
                want = dark
            if px[x, y] != want:
                return f"{name}: ({x},{y}) is {px[x, y]}, want {want}"
    return None


# ---------------------------------------------------------------- frames
# frame_T_S_W_K.png: 100 x 80, frame types T (1 left, 2 right, 4 top,
# 8 bottom), style S, width W, scale K tenths, around (20,20)-(80,60).

LEFT, RIGHT, TOP, BOTTOM = 1, 2, 4, 8
SOLID, DASH, DOT, DASHDOT, DASHDOTDOT, DOUBLE, ALTDOT, SQUARE = range(8)
PATTERNS = {DASH: [18, 6], DOT: [3, 3], DASHDOT: [9, 6, 3, 6], DASHDOTDOT: [9, 3, 3, 3, 3, 3]}


def frame_model(typ, style, width, scale):
    """The frame's pixels, and the boxes of round dots (drawn as circles
    whose exact rounding belongs to the drawing layer)."""
    X, Y, X1, Y1 = 20, 20, 80, 60
    w = round(width * scale / 10)
    solid_pen = style in (SOLID, DOUBLE)
    pen_width = w if solid_pen else 1
    a = 1 if pen_width == 2 and style != SOLID else 0
    b = 1 if pen_width == 1 and style != SOLID else 0
    sides = [
        (LEFT, (X, Y - a), (X, Y1), TOP, BOTTOM),
        (RIGHT, (X1, Y), (X1, Y1), TOP, BOTTOM),
        (TOP, (X, Y), (X1, Y), LEFT, RIGHT),
        (BOTTOM, (X, Y1), (X1 + b, Y1), LEFT, RIGHT),
    ]
    ink, dots = set(), []
    for side, p0, p1, nb_start, nb_end in sides:
        if not typ & side:
            continue
        vertical = p0[0] == p1[0]
        c = p0[0] if vertical else p0[1]
        s = p0[1] if vertical else p0[0]
        e = p1[1] if vertical else p1[0]

        def put(minor, major):
            ink.add((minor, major) if vertical else (major, minor))

        def square(cc, ss, ee, pw):
            h = pw // 2
            for m in range(cc - h, cc - h + pw):
                for M in range(min(ss, ee) - h, max(ss, ee) - h + pw):
                    put(m, M)

        start_framed, end_framed = bool(typ & nb_start), bool(typ & nb_end)
        if style in (SOLID, DOUBLE):
            if not start_framed:
                s += w // 2
            if not end_framed:
                e -= w // 2
            if style == SOLID:
                square(c, s, e, w)
            else:
                g1 = w if start_framed else 0
                g2 = w if end_framed else 0
                out = -w if side in (LEFT, TOP) else w
                square(c + out, s - g1, e + g2, w)
                square(c - out, s + g1, e - g2, w)
        elif style in PATTERNS:
            pattern = PATTERNS[style]
            period = sum(pattern)
            for k in range(max(w, 1)):
                o = k - max(w, 1) // 2
                for i in range(e - s):
                    pos, lit = i % period, True
                    for run_index, run in enumerate(pattern):
                        if pos < run:
                            lit = run_index % 2 == 0
                            break
                        pos -= run
                    if lit:
                        put(c + o, s + i)
        else:
            pw = max(1, w)
            h = pw // 2
            if pw <= 1:
                on, off, round_caps = 1, 1, False
            elif style == SQUARE:
                on, off, round_caps = pw, pw, False
            else:
                on, off, round_caps = 0, 2 * pw, True
            pos = 0
            while pos < e - s:
                if round_caps:
                    dots.append((c, s + pos, vertical, pw))
                else:
                    for M in range(s + pos, s + min(pos + on, e - s)):
                        for m in range(c - h, c - h + pw):
                            put(m, M)
                pos += on + off
    return ink, dots


def check_frame(name, path):
    typ, style, width, scale = (int(v) for v in re.match(r"frame_(\d+)_(\d)_(\d)_(\d+)\.png", name).groups())
    img, px = pixels(path)
    w, h = img.size
    ink = {(x, y) for y in range(h) for x in range(w) if px[x, y] == BLACK}
    other = [(x, y) for y in range(h) for x in range(w) if px[x, y] not in (BLACK, WHITE)]
    if other:
        return f"{name}: pixel {other[0]} is {px[other[0]]}"
    want, dots = frame_model(typ, style, width, scale)
    if dots:
        # Round dots: each lies in its w x w box around its centre and
        # covers the centre; nothing is drawn outside the boxes.
        boxes = set()
        for c, M, vertical, pw in dots:
            hh = pw // 2
            box = {(m, MM) for m in range(c - hh, c - hh + pw) for MM in range(M - hh, M - hh + pw)}
            box = {(a, b) if vertical else (b, a) for a, b in box}
            centre = (c, M) if vertical else (M, c)
            if centre not in ink:
                return f"{name}: dot centre {centre} not drawn"
            boxes |= box
        stray = sorted(ink - boxes)
        return f"{name}: ink outside the dots at {stray[0]}" if stray else None
    for axis, label in ((1, "row"), (0, "column")):
        got, exp = {}, {}
        for p in ink:
            got[p[axis]] = got.get(p[axis], 0) + 1
        for p in want:
            exp[p[axis]] = exp.get(p[axis], 0) + 1
        for k in sorted(set(got) | set(exp)):
            if got.get(k, 0) != exp.get(k, 0):
                return f"{name}: {label} {k} has {got.get(k, 0)} frame pixels, want {exp.get(k, 0)}"
    return None


# ---------------------------------------------------------------- dashes
# dash_S.png: the top side alone, one pixel wide, from x 10 to x 190 at y 10.

def check_dash(name, path):
    style = int(re.match(r"dash_(\d)\.png", name).group(1))
    img, px = pixels(path)
    runs, x = [], 10
    while x < 190:  # the side runs from X up to X1, X1 excluded
        lit = px[x, 10] == BLACK
        n = 0
        while x < 190 and (px[x, 10] == BLACK) == lit:
            n, x = n + 1, x + 1
        runs.append(n)
    pattern = PATTERNS[style]
    want = [pattern[i % len(pattern)] for i in range(len(runs))]
    # The line stops at its end: the last run may be cut short.
    if runs[:-1] != want[:-1] or runs[-1] > want[len(runs) - 1]:
        return f"{name}: runs {runs[:12]}..., want {want[:12]}..."
    return None


CHECKS = {"grad": check_gradient, "glass": check_glass, "frame": check_frame, "dash": check_dash}


def main():
    folder = sys.argv[1]
    failures, checked = [], 0
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".png"):
            continue
        check = CHECKS[name.split("_")[0]]
        checked += 1
        problem = check(name, os.path.join(folder, name))
        if problem:
            failures.append(problem)
    for f in failures:
        print(f)
    print(f"{checked} images checked, {len(failures)} wrong")
    sys.exit(1 if failures or checked == 0 else 0)


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""Checks zdlayout's wrapped lines against the fonts themselves.

usage: layout_oracle.py ZDLAYOUT

For each template font as fontconfig resolves it, several sizes, widths and
texts, zdlayout lays the text out; fontTools then measures every line from
the font's own advance widths at 600 dpi (rounded half up, no kerning):
- the width zdlayout reports is the line's width;
- the line fits its limit (the first line of a paragraph: the width minus the
  indent);
- the next word would not have fitted (at a blank), or the next character
  (where a word was cut);
- the lines joined again (at a blank or directly at a cut) give the source.
Prints one line per failure and exits 1 when there is any.
"""
import math
import subprocess
import sys

from fontTools.ttLib import TTFont

FONTS = [
    ("Arial", "Liberation Sans"),
    ("Times New Roman", "Liberation Serif"),
    ("Courier New", "Liberation Mono"),
    ("Tahoma", "Tahoma"),
]
SIZES = [8, 13]
WIDTHS = [37, 157, 333]
# One text of several paragraphs per run: each run of the tool costs its start.
TEXT = "\n".join([
    "Příliš žluťoučký kůň úpěl ďábelské ódy.",
    "The quick brown fox jumps over the lazy dog, 0123456789 times; WAVE Tiffany fiflí.",
    "Kód zboží: 8594001234567 (EAN-13), šarže 2024/11, expirace 31.12.2025.",
    "",
    "Výrobce: Sorvamet s.r.o., Brno",
    "Supercalifragilisticexpialidocious antidisestablishmentarianism pneumonoultramicroscopicsilicovolcanoconiosis",
])
GAP = 6  # first-line indent in screen pixels


def run_layout(tool, family, size, width, text):
    out = subprocess.run(
        [tool, "--font", family, "--size", str(size), "--width", str(width), "--gap", str(GAP), text],
        check=True, capture_output=True, text=True).stdout
    header, lines = None, []
    for row in out.split("\n"):
        if row.startswith("# font "):
            header = row
        elif row and not row.startswith("#"):
            flags, w, line = row.split("\t", 2)
            lines.append((int(flags), int(w), line))
    fields = dict(f.split("=", 1) for f in header.split(" ") if "=" in f)
    face = header[len("# font "):header.index(" em600=")]  # FAMILY|FILE|INDEX
    _, path, index = face.split("|")
    return path, int(index), int(fields["em600"]), int(fields["width600"]), int(fields["first600"]), lines


_metrics = {}


class Metrics:
    def __init__(self, path, index):
        self.font = TTFont(path, fontNumber=index)
        self.upem = self.font["head"].unitsPerEm
        self.cmap = self.font.getBestCmap()
        self.hmtx = self.font["hmtx"].metrics

    def family(self):
        return self.font["name"].getDebugName(1)

    def width(self, text, em):
        return sum(math.floor(self.hmtx[self.cmap.get(ord(c), ".notdef")][0] * em / self.upem + 0.5) for c in text)


def check(tool, family, expected_family, size, width, text, failures):
    path, index, em, width600, first600, lines = run_layout(tool, family, size, width, text)
    where = f"{family} {size}pt {width}px"
    metrics = _metrics.get((path, index)) or _metrics.setdefault((path, index), Metrics(path, index))
    if metrics.family() != expected_family:
        failures.append(f"{where}: resolved to {metrics.family()}, not {expected_family}")
        return
    if em != round(size * 600 / 72) or width600 != round(width * 6.25) or first600 != round((width - GAP) * 6.25):
        failures.append(f"{where}: header {em} {width600} {first600}")
    paragraphs = text.split("\n")
    k = 0
    for p, source in enumerate(paragraphs):
        if k >= len(lines) or not lines[k][0] & 1:
            failures.append(f"{where}: paragraph {p} does not start a line")
            return
        rest = source if source else " "  # an empty paragraph is one blank
        first = True
        while True:
            flags, reported, line = lines[k]
            limit = first600 if first else width600
            measured = metrics.width(line, em)
            if measured != reported:
                failures.append(f"{where}: '{line}' measures {measured}, reported {reported}")
            if measured > limit and len(line) > 1:
                failures.append(f"{where}: '{line}' ({measured}) exceeds {limit}")
            if not rest.startswith(line):
                failures.append(f"{where}: '{line}' is not the source's next part '{rest[:40]}'")
                return
            rest = rest[len(line):]
            k += 1
            if flags & 2:
                if rest:
                    failures.append(f"{where}: paragraph {p} ends early, '{rest[:40]}' left")
                break
            if rest.startswith(" "):
                # Broken at a blank: the blank and the next word would not fit.
                word = rest[1:].split(" ")[0]
                longer = metrics.width(line + " " + word, em)
                rest = rest[1:]
            else:
                longer = metrics.width(line + rest[:1], em)  # a word cut
            if longer <= limit:
                failures.append(f"{where}: '{line}' could have taken more ({longer} <= {limit})")
            first = False
    if k != len(lines):
        failures.append(f"{where}: {len(lines) - k} lines beyond the source")


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    failures = []
    checked = 0
    for family, expected in FONTS:
        for size in SIZES:
            for width in WIDTHS:
                check(sys.argv[1], family, expected, size, width, TEXT, failures)
                checked += 1
    for f in failures:
        print(f)
    print(f"{checked} layouts checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

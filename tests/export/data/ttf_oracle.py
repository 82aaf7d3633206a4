#!/usr/bin/python3
"""An independent view of TrueType fonts for the export tests (fontTools).

  make-ttc OUT FONT...                a collection of the fonts
  make-subset OUT FONT TEXT           a small font with the glyphs of TEXT (and their components)
  make-empty-glyph OUT FONT GID       the font with glyph GID's outline emptied (advance kept)
  make-composite-chain OUT FONT N     glyph 1 a composite of glyph 2, ... glyph N of glyph 1 (N = 0: glyph 1 of itself)
  pick FONT INDEX TEXT                used glyph ids: TEXT through the cmap, the first composite of a
                                      composite, the last glyph
  kern FONT                           "left right value" of the first pairs of the kern table
  check SOURCE INDEX SUBSET GID...    checks a reduced font against its source, prints the kept
                                      glyphs' widths as JSON
"""
import json
import struct
import sys

from fontTools.ttLib import TTFont, newTable
from fontTools.ttLib.tables._g_l_y_f import Glyph, GlyphComponent
from fontTools.ttLib.ttCollection import TTCollection

LEFT_OUT = {"EBLC", "EBDT", "hdmx", "VDMX", "DSIG"}
REWRITTEN = {"glyf", "loca", "head", "post", "prep"}


def fail(msg):
    print(msg)
    sys.exit(1)


def open_font(path, index):
    return TTFont(path, fontNumber=int(index), lazy=True)


def make_ttc(out, fonts):
    c = TTCollection()
    c.fonts = [TTFont(f) for f in fonts]
    c.save(out)


def make_subset(out, font, text):
    from fontTools import subset
    opts = subset.Options()
    opts.layout_features = []
    opts.notdef_outline = True
    f = TTFont(font)
    s = subset.Subsetter(opts)
    s.populate(text=text)
    s.subset(f)
    f.save(out)


def make_empty_glyph(out, font, gid):
    f = TTFont(font)
    name = f.getGlyphOrder()[int(gid)]
    g = Glyph()
    g.numberOfContours = 0
    f["glyf"][name] = g
    f.save(out)


def make_composite_chain(out, font, n):
    f = TTFont(font)
    order = f.getGlyphOrder()
    glyf = f["glyf"]
    n = int(n)
    links = [(i, i + 1) for i in range(1, n)]
    if n == 0:
        # fontTools refuses to write a circular reference: glyph 1 a composite
        # of glyph 2, then its component index patched to 1.
        links = [(1, 2)]
    for parent, child in links:
        g = Glyph()
        g.numberOfContours = -1
        c = GlyphComponent()
        c.glyphName = order[child]
        c.x, c.y, c.flags = 0, 0, 0x4  # ROUND_XY_TO_GRID
        g.components = [c]
        glyf.glyphs[order[parent]] = g
    f.save(out)
    if n == 0:
        saved = TTFont(out)
        data = bytearray(open(out, "rb").read())
        glyf_offset = saved.reader.tables["glyf"].offset
        glyph1 = glyf_offset + saved["loca"][1]
        struct.pack_into(">H", data, glyph1 + 12, 1)
        open(out, "wb").write(data)


def components(glyf, name):
    g = glyf[name]
    return [c.glyphName for c in g.components] if g.isComposite() else []


def pick(font, index, text):
    f = open_font(font, index)
    order = f.getGlyphOrder()
    cmap = f.getBestCmap() or {}
    gids = sorted({f.getGlyphID(cmap[ord(ch)]) for ch in text if ord(ch) in cmap})
    glyf = f["glyf"]
    for name in order:
        if any(components(glyf, c) for c in components(glyf, name)):
            gids.append(f.getGlyphID(name))
            break
    gids.append(len(order) - 1)
    print(" ".join(str(g) for g in gids))


def kern(font):
    f = TTFont(font)
    table = f["kern"].kernTables[0]
    for (left, right), value in list(table.kernTable.items())[:20]:
        print(f.getGlyphID(left), f.getGlyphID(right), value)


def raw_glyphs(font):
    """Outline bytes of every glyph, from the raw tables."""
    glyf = font.reader["glyf"]
    loca = font.reader["loca"]
    long_format = font["head"].indexToLocFormat == 1
    n = font["maxp"].numGlyphs
    fmt, size = (">I", 4) if long_format else (">H", 2)
    offs = [struct.unpack_from(fmt, loca, i * size)[0] * (1 if long_format else 2) for i in range(n + 1)]
    return [glyf[offs[i]:offs[i + 1]] for i in range(n)]


def check(source, index, subset, gids):
    data = open(subset, "rb").read()
    if struct.unpack(">I", data[:4])[0] != 0x00010000:
        fail("not a standalone TrueType font")
    words = data + b"\0" * (-len(data) % 4)
    total = sum(struct.unpack(">%dI" % (len(words) // 4), words)) & 0xFFFFFFFF
    if total != 0xB1B0AFBA:
        fail("whole-font checksum is %08X" % total)
    num_tables, search_range, entry_selector, range_shift = struct.unpack(">HHHH", data[4:12])
    es = num_tables.bit_length() - 1
    if (search_range, entry_selector, range_shift) != (16 << es, es, num_tables * 16 - (16 << es)):
        fail("binary search fields %d %d %d" % (search_range, entry_selector, range_shift))

    out = TTFont(subset, checkChecksums=2)  # raises on a table checksum mismatch
    src = open_font(source, index)
    for tag in out.reader.keys():
        out.reader[tag]  # reads every table and checks its checksum
    kept_tags = sorted(t for t in src.reader.keys() if t not in LEFT_OUT)
    if sorted(out.reader.keys()) != kept_tags:
        fail("tables %s, expected %s" % (sorted(out.reader.keys()), kept_tags))
    for tag in kept_tags:
        if tag not in REWRITTEN and out.reader[tag] != src.reader[tag]:
            fail("table %s changed" % tag)
    head_out, head_src = bytearray(out.reader["head"]), bytearray(src.reader["head"])
    head_out[8:12] = head_src[8:12] = b"\0\0\0\0"
    if head_out != head_src:
        fail("head changed")
    prep = src.reader["prep"] if "prep" in src.reader else None
    if prep is not None and out.reader["prep"] != prep + b"\0" * (-len(prep) % 4):
        fail("prep is not the source's, padded to a multiple of 4 with zeros")
    post = out.reader["post"]
    if len(post) != 32 or post[:4] != b"\0\3\0\0" or post[4:] != src.reader["post"][4:32]:
        fail("post is not the 32-byte version 3.0 header")
    if out["maxp"].numGlyphs != src["maxp"].numGlyphs:
        fail("glyph count changed")

    order = src.getGlyphOrder()
    glyf = src["glyf"]
    kept = set()
    todo = [order[g] for g in gids if g < len(order)]
    while todo:
        name = todo.pop()
        if name not in kept:
            kept.add(name)
            todo.extend(components(glyf, name))
    src_raw, out_raw = raw_glyphs(src), raw_glyphs(out)
    # An outline table is never empty: without other outlines .notdef keeps its own.
    if not any(src_raw[src.getGlyphID(n)] for n in kept):
        kept.add(order[0])
    for gid, name in enumerate(order):
        expected = src_raw[gid] if name in kept else b""
        if out_raw[gid] != expected:
            fail("glyph %d (%s): %d bytes, expected %d" % (gid, name, len(out_raw[gid]), len(expected)))
    upem = src["head"].unitsPerEm
    widths = {src.getGlyphID(n): src["hmtx"][n][0] * 1000 // upem for n in kept}
    print(json.dumps({str(k): v for k, v in sorted(widths.items())}))


def main():
    cmd, args = sys.argv[1], sys.argv[2:]
    if cmd == "make-ttc":
        make_ttc(args[0], args[1:])
    elif cmd == "make-subset":
        make_subset(*args)
    elif cmd == "make-empty-glyph":
        make_empty_glyph(*args)
    elif cmd == "make-composite-chain":
        make_composite_chain(*args)
    elif cmd == "pick":
        pick(*args)
    elif cmd == "kern":
        kern(*args)
    elif cmd == "check":
        check(args[0], args[1], args[2], [int(g) for g in args[3:]])
    else:
        fail("unknown command " + cmd)


if __name__ == "__main__":
    main()

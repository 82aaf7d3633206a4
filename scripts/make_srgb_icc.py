#!/usr/bin/env python3
"""Writes resources/pdf/Profile.icc: an ICC version 2 display profile of sRGB
IEC 61966-2.1 (D50-adapted primaries, the sRGB tone curve as a 1024-entry
table), the output intent's profile of PDF/A files. Run it again only to
change the profile; the build embeds the file as it is."""
import struct
import sys


def s15(v):
    return struct.pack(">i", round(v * 65536))


def xyz(x, y, z):
    return b"XYZ " + b"\0" * 4 + s15(x) + s15(y) + s15(z)


def desc(text):
    ascii_ = text.encode("ascii") + b"\0"
    return (b"desc" + b"\0" * 4 + struct.pack(">I", len(ascii_)) + ascii_ + struct.pack(">II", 0, 0)
            + struct.pack(">HB", 0, 0) + b"\0" * 67)


def curve():
    def srgb(c):
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    n = 1024
    table = b"".join(struct.pack(">H", round(srgb(i / (n - 1)) * 65535)) for i in range(n))
    return b"curv" + b"\0" * 4 + struct.pack(">I", n) + table


def main(out):
    tags = [
        (b"desc", desc("sRGB IEC61966-2.1")),
        (b"cprt", b"text" + b"\0" * 4 + b"No copyright, use freely\0"),
        (b"wtpt", xyz(0.9642, 1.0, 0.8249)),
        (b"rXYZ", xyz(0.4360747, 0.2225045, 0.0139322)),
        (b"gXYZ", xyz(0.3850649, 0.7168786, 0.0971045)),
        (b"bXYZ", xyz(0.1430804, 0.0606169, 0.7141733)),
        (b"rTRC", curve()),
    ]
    shared = [(b"gTRC", b"rTRC"), (b"bTRC", b"rTRC")]
    count = len(tags) + len(shared)
    offset = 128 + 4 + 12 * count
    table, data, where = b"", b"", {}
    for sig, body in tags:
        while (offset + len(data)) % 4:
            data += b"\0"
        where[sig] = (offset + len(data), len(body))
        data += body
    for sig, same in shared:
        where[sig] = where[same]
    for sig, _ in tags:
        table += sig + struct.pack(">II", *where[sig])
    for sig, _ in shared:
        table += sig + struct.pack(">II", *where[sig])
    size = offset + len(data)
    header = (struct.pack(">I", size) + b"\0" * 4 + struct.pack(">I", 0x02100000) + b"mntrRGB XYZ "
              + struct.pack(">6H", 2024, 1, 1, 0, 0, 0) + b"acsp" + b"\0" * 4 + b"\0" * 4 + b"\0" * 8 + b"\0" * 8
              + struct.pack(">I", 0) + s15(0.9642) + s15(1.0) + s15(0.8249) + b"\0" * 4)
    header += b"\0" * (128 - len(header))
    with open(out, "wb") as f:
        f.write(header + struct.pack(">I", count) + table + data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/pdf/Profile.icc")

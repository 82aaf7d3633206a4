#include "zdKerningTableClass.h"

namespace {

constexpr quint32 kAppleVersion = 0x00010000;
constexpr int kPairSize = 6;
// Coverage bits of the two header forms.
constexpr quint16 kMsHorizontal = 0x0001;
constexpr quint16 kMsMinimumOrCross = 0x0006;
constexpr quint16 kAppleVerticalOrCrossOrVariation = 0xE000;

} // namespace

void KerningTableClass::Load(const QByteArray& data)
{
    Cursor c(data, Offset(), Length());
    const quint16 version = c.Word();
    bool apple = false;
    if (version == 0) {
        nTables = c.Word();
    } else if ((quint32(version) << 16 | c.Word()) == kAppleVersion) {
        apple = true;
        nTables = c.LongWord();
    } else {
        return; // an unknown version: carried over, never read
    }
    const qint64 end = Offset() + Length();
    qint64 at = c.Position();
    for (quint32 i = 0; i < nTables; ++i) {
        Cursor s(data, at, end - at);
        KerningSubtableClass sub;
        if (apple) {
            sub.length = s.LongWord();
            sub.coverage = s.Word();
            s.Skip(2); // tuple index
            sub.format = sub.coverage & 0xFF;
            sub.horizontal = (sub.coverage & kAppleVerticalOrCrossOrVariation) == 0;
        } else {
            s.Skip(2); // subtable version
            sub.length = s.Word();
            sub.coverage = s.Word();
            sub.format = sub.coverage >> 8;
            sub.horizontal = (sub.coverage & kMsHorizontal) && !(sub.coverage & kMsMinimumOrCross);
        }
        if (sub.format == 0) {
            sub.nPairs = s.Word();
            s.Skip(6); // search range, entry selector, range shift
            sub.pairsOffset = s.Position();
            // The 16-bit length of a large subtable overflows; the pairs must still fit the table.
            s.Skip(qint64(sub.nPairs) * kPairSize);
        }
        subtables.push_back(sub);
        // The last subtable may run to the table's end whatever its length
        // says; the others must hold at least their header.
        if (i + 1 < nTables) {
            const qint64 headerSize = apple ? 8 : 6;
            if (sub.length < headerSize || sub.length > end - at)
                RaiseFormatError();
            at += sub.length;
        }
    }
}

int KerningTableClass::PairValue(const QByteArray& data, quint16 left, quint16 right) const
{
    const quint32 key = quint32(left) << 16 | right;
    int value = 0;
    for (const KerningSubtableClass& sub : subtables) {
        if (sub.format != 0 || !sub.horizontal)
            continue;
        int lo = 0;
        int hi = int(sub.nPairs) - 1;
        while (lo <= hi) {
            const int mid = (lo + hi) / 2;
            const qint64 at = sub.pairsOffset + qint64(mid) * kPairSize;
            const quint32 k = ReadLongWord(data, at);
            if (k == key) {
                value += ReadSmallInt(data, at + 4);
                break;
            }
            if (k < key)
                lo = mid + 1;
            else
                hi = mid - 1;
        }
    }
    return value;
}

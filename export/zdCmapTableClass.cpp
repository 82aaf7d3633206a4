#include "zdCmapTableClass.h"

namespace {
constexpr quint16 kPlatformWindows = 3;
constexpr quint16 kEncodingUnicodeBmp = 1;
} // namespace

void CmapTableClass::Load(const QByteArray& data)
{
    Cursor c(data, Offset(), Length());
    version = c.Word();
    numTables = c.Word();
    for (int i = 0; i < numTables; ++i) {
        const quint16 platform = c.Word();
        const quint16 encoding = c.Word();
        const quint32 offset = c.LongWord();
        if (platform != kPlatformWindows || encoding != kEncodingUnicodeBmp)
            continue;
        if (offset > Length() - 2)
            RaiseFormatError();
        const quint16 format = ReadWord(data, Offset() + offset);
        switch (format) {
        case 0: Raise(ttf::kCmapByteEncoding);
        case 2: Raise(ttf::kCmapHighByte);
        case 6: Raise(ttf::kCmapTrimmed);
        default: unicodeSubtables.push_back({offset, format});
        }
    }
}

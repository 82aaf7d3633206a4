#include "zdIndexToLocationClass.h"

void IndexToLocationClass::Load(const QByteArray& data)
{
    Cursor c(data, Offset(), Length());
    if (m_format == kShortFormat) {
        offsets.resize(Length() / 2);
        for (quint32& o : offsets)
            o = quint32(c.Word()) * 2;
    } else if (m_format == kLongFormat) {
        offsets.resize(Length() / 4);
        for (quint32& o : offsets)
            o = c.LongWord();
    } else {
        Raise(ttf::kLocaFormatError);
    }
}

qint64 IndexToLocationClass::Write(const QByteArray& data, QByteArray& out) const
{
    if (newOffsets.empty())
        return TrueTypeTable::Write(data, out);
    const qint64 at = out.size();
    for (const quint32 o : newOffsets) {
        if (m_format == kShortFormat) {
            if (o / 2 > 0xFFFF)
                RaiseFormatError();
            AppendWord(out, quint16(o / 2));
        } else if (m_format == kLongFormat) {
            AppendLongWord(out, o);
        } else {
            Raise(ttf::kLocaValueError);
        }
    }
    return out.size() - at;
}

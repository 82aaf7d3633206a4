#include "zdPostScriptClass.h"

void PostScriptClass::Load(const QByteArray& data)
{
    Cursor c(data, Offset(), Length());
    version = c.LongWord();
    italicAngle = c.LongInt();
    underlinePosition = c.SmallInt();
    underlineThickness = c.SmallInt();
    isFixedPitch = c.LongWord();
    minMemType42 = c.LongWord();
    maxMemType42 = c.LongWord();
    minMemType1 = c.LongWord();
    maxMemType1 = c.LongWord();
}

qint64 PostScriptClass::Write(const QByteArray& data, QByteArray& out) const
{
    CheckRange(data, Offset(), kHeaderSize);
    const qint64 at = out.size();
    out.append(data.constData() + Offset(), kHeaderSize);
    WriteLongWord(out, at, kVersion3);
    return kHeaderSize;
}

#include "zdFontHeaderClass.h"

void FontHeaderClass::Load(const QByteArray& data)
{
    Cursor c(data, Offset(), Length());
    version = c.LongWord();
    fontRevision = c.LongWord();
    checkSumAdjustment = c.LongWord();
    magicNumber = c.LongWord();
    flags = c.Word();
    unitsPerEm = c.Word();
    created = c.LongLong();
    modified = c.LongLong();
    xMin = c.SmallInt();
    yMin = c.SmallInt();
    xMax = c.SmallInt();
    yMax = c.SmallInt();
    macStyle = c.Word();
    lowestRecPPEM = c.Word();
    fontDirectionHint = c.SmallInt();
    indexToLocFormat = c.SmallInt();
    glyphDataFormat = c.SmallInt();
    // Every width is scaled by it.
    if (unitsPerEm == 0)
        RaiseFormatError();
}

qint64 FontHeaderClass::Write(const QByteArray& data, QByteArray& out) const
{
    const qint64 at = out.size();
    const qint64 length = TrueTypeTable::Write(data, out);
    WriteLongWord(out, at + kCheckSumAdjustmentOffset, 0);
    return length;
}

quint32 FontHeaderClass::ComputedCheckSum(const QByteArray& data) const
{
    return TrueTypeTable::ComputedCheckSum(data) - ReadLongWord(data, Offset() + kCheckSumAdjustmentOffset);
}

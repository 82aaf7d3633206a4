#include "zdHorizontalHeaderClass.h"

void HorizontalHeaderClass::Load(const QByteArray& data)
{
    Cursor c(data, Offset(), Length());
    version = c.LongWord();
    ascender = c.SmallInt();
    descender = c.SmallInt();
    lineGap = c.SmallInt();
    advanceWidthMax = c.Word();
    minLeftSideBearing = c.SmallInt();
    minRightSideBearing = c.SmallInt();
    xMaxExtent = c.SmallInt();
    caretSlopeRise = c.SmallInt();
    caretSlopeRun = c.SmallInt();
    caretOffset = c.SmallInt();
    c.Skip(8); // reserved
    metricDataFormat = c.SmallInt();
    numberOfHMetrics = c.Word();
}

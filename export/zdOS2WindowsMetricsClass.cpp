#include "zdOS2WindowsMetricsClass.h"

void OS2WindowsMetricsClass::Load(const QByteArray& data)
{
    Cursor c(data, Offset(), Length(), /*lenient*/ true);
    version = c.Word();
    xAvgCharWidth = c.SmallInt();
    usWeightClass = c.Word();
    usWidthClass = c.Word();
    fsType = c.Word();
    ySubscriptXSize = c.SmallInt();
    ySubscriptYSize = c.SmallInt();
    ySubscriptXOffset = c.SmallInt();
    ySubscriptYOffset = c.SmallInt();
    ySuperscriptXSize = c.SmallInt();
    ySuperscriptYSize = c.SmallInt();
    ySuperscriptXOffset = c.SmallInt();
    ySuperscriptYOffset = c.SmallInt();
    yStrikeoutSize = c.SmallInt();
    yStrikeoutPosition = c.SmallInt();
    sFamilyClass = c.SmallInt();
    for (quint8& b : panose)
        b = c.Byte();
    for (quint32& r : ulUnicodeRange)
        r = c.LongWord();
    for (quint8& b : achVendID)
        b = c.Byte();
    fsSelection = c.Word();
    usFirstCharIndex = c.Word();
    usLastCharIndex = c.Word();
    sTypoAscender = c.SmallInt();
    sTypoDescender = c.SmallInt();
    sTypoLineGap = c.SmallInt();
    usWinAscent = c.Word();
    usWinDescent = c.Word();
    for (quint32& r : ulCodePageRange)
        r = c.LongWord();
    sxHeight = c.SmallInt();
    sCapHeight = c.SmallInt();
    usDefaultChar = c.Word();
    usBreakChar = c.Word();
    usMaxContext = c.Word();
}

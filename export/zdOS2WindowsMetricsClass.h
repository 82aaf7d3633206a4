#pragma once
// "OS/2": the Windows metrics. The table grew with its versions (78, 86, 96
// and 100 bytes); fields the table does not reach read as zero.

#include "zdTrueTypeTable.h"

class OS2WindowsMetricsClass : public TrueTypeTable {
public:
    explicit OS2WindowsMetricsClass(const TrueTypeTable& entry) : TrueTypeTable(entry) {}

    void Load(const QByteArray& data) override;

    quint16 version = 0;
    qint16 xAvgCharWidth = 0;
    quint16 usWeightClass = 0;
    quint16 usWidthClass = 0;
    quint16 fsType = 0;
    qint16 ySubscriptXSize = 0;
    qint16 ySubscriptYSize = 0;
    qint16 ySubscriptXOffset = 0;
    qint16 ySubscriptYOffset = 0;
    qint16 ySuperscriptXSize = 0;
    qint16 ySuperscriptYSize = 0;
    qint16 ySuperscriptXOffset = 0;
    qint16 ySuperscriptYOffset = 0;
    qint16 yStrikeoutSize = 0;
    qint16 yStrikeoutPosition = 0;
    qint16 sFamilyClass = 0;
    quint8 panose[10] = {};
    quint32 ulUnicodeRange[4] = {};
    quint8 achVendID[4] = {};
    quint16 fsSelection = 0;
    quint16 usFirstCharIndex = 0;
    quint16 usLastCharIndex = 0;
    qint16 sTypoAscender = 0;
    qint16 sTypoDescender = 0;
    qint16 sTypoLineGap = 0;
    quint16 usWinAscent = 0;
    quint16 usWinDescent = 0;
    quint32 ulCodePageRange[2] = {};
    qint16 sxHeight = 0;
    qint16 sCapHeight = 0;
    quint16 usDefaultChar = 0;
    quint16 usBreakChar = 0;
    quint16 usMaxContext = 0;
};

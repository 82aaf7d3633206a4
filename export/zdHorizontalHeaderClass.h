#pragma once
// "hhea": the horizontal header; numberOfHMetrics sizes "hmtx".

#include "zdTrueTypeTable.h"

class HorizontalHeaderClass : public TrueTypeTable {
public:
    explicit HorizontalHeaderClass(const TrueTypeTable& entry) : TrueTypeTable(entry) {}

    void Load(const QByteArray& data) override;

    quint32 version = 0;
    qint16 ascender = 0;
    qint16 descender = 0;
    qint16 lineGap = 0;
    quint16 advanceWidthMax = 0;
    qint16 minLeftSideBearing = 0;
    qint16 minRightSideBearing = 0;
    qint16 xMaxExtent = 0;
    qint16 caretSlopeRise = 0;
    qint16 caretSlopeRun = 0;
    qint16 caretOffset = 0;
    qint16 metricDataFormat = 0;
    quint16 numberOfHMetrics = 0;
};

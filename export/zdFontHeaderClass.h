#pragma once
// "head": the font header. The reduced font gets a new checkSumAdjustment,
// so the field counts as zero in the table's checksum and is written as zero
// until the whole font is known.

#include "zdTrueTypeTable.h"

class FontHeaderClass : public TrueTypeTable {
public:
    explicit FontHeaderClass(const TrueTypeTable& entry) : TrueTypeTable(entry) {}

    void Load(const QByteArray& data) override;
    qint64 Write(const QByteArray& data, QByteArray& out) const override;
    quint32 ComputedCheckSum(const QByteArray& data) const override;

    // Byte offset of checkSumAdjustment in the table.
    static constexpr int kCheckSumAdjustmentOffset = 8;
    // What the whole font's sum and checkSumAdjustment add up to.
    static constexpr quint32 kCheckSumMagic = 0xB1B0AFBA;

    quint32 version = 0;
    quint32 fontRevision = 0;
    quint32 checkSumAdjustment = 0;
    quint32 magicNumber = 0;
    quint16 flags = 0;
    quint16 unitsPerEm = 0;
    quint64 created = 0;
    quint64 modified = 0;
    qint16 xMin = 0;
    qint16 yMin = 0;
    qint16 xMax = 0;
    qint16 yMax = 0;
    quint16 macStyle = 0;
    quint16 lowestRecPPEM = 0;
    qint16 fontDirectionHint = 0;
    qint16 indexToLocFormat = 0;
    qint16 glyphDataFormat = 0;
};

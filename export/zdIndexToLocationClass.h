#pragma once
// "loca": where each glyph's outline lies in "glyf" (numGlyphs + 1 offsets,
// halved in the short format). The reduction replaces the offsets.

#include "zdTrueTypeTable.h"

#include <vector>

class IndexToLocationClass : public TrueTypeTable {
public:
    explicit IndexToLocationClass(const TrueTypeTable& entry) : TrueTypeTable(entry) {}

    enum { kShortFormat = 0, kLongFormat = 1 };
    // head's indexToLocFormat; set it before Load.
    void SetFormat(int format) { m_format = format; }
    int Format() const { return m_format; }

    void Load(const QByteArray& data) override;
    qint64 Write(const QByteArray& data, QByteArray& out) const override;

    // Byte offsets into "glyf" (short-format values already doubled).
    std::vector<quint32> offsets;
    // The reduced font's offsets, same count; empty until the reduction.
    std::vector<quint32> newOffsets;

private:
    int m_format = kShortFormat;
};

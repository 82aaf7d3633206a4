#pragma once
// "glyf": the outlines. The reduction replaces the table with the outlines
// of the kept glyphs, in glyph order.

#include "zdTrueTypeTable.h"

class GlyphTableClass : public TrueTypeTable {
public:
    explicit GlyphTableClass(const TrueTypeTable& entry) : TrueTypeTable(entry) {}

    qint64 Write(const QByteArray& data, QByteArray& out) const override;

    // The reduced outlines; null until the reduction.
    QByteArray newData;
};

#pragma once
// "hmtx": advance widths and left side bearings. Glyphs past the last pair
// share its advance (monospaced runs at the end of the font).

#include "zdTrueTypeTable.h"

#include <vector>

class HorizontalMetrixClass : public TrueTypeTable {
public:
    explicit HorizontalMetrixClass(const TrueTypeTable& entry) : TrueTypeTable(entry) {}

    // The pair count comes from "hhea"; set it before Load.
    void SetMetricCount(int count) { m_count = count; }
    void Load(const QByteArray& data) override;

    int Advance(int glyph) const;

    struct Metric {
        quint16 advanceWidth = 0;
        qint16 lsb = 0;
    };
    std::vector<Metric> metrics;

private:
    int m_count = 0;
};

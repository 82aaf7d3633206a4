#pragma once
// "kern": the kerning subtables. The reader offers the value of a pair from
// the horizontal format-0 subtables; the widths of the reduced font carry no
// kerning (text is measured without it).

#include "zdTrueTypeTable.h"

#include <vector>

class KerningSubtableClass {
public:
    quint32 length = 0;
    quint16 coverage = 0;
    int format = 0;
    bool horizontal = false; // horizontal, neither minimum values nor cross-stream
    quint16 nPairs = 0;
    qint64 pairsOffset = 0; // of the first pair, in the font data
};

class KerningTableClass : public TrueTypeTable {
public:
    explicit KerningTableClass(const TrueTypeTable& entry) : TrueTypeTable(entry) {}

    void Load(const QByteArray& data) override;

    // The kerning of the pair in font units, summed over the subtables; 0 when none.
    int PairValue(const QByteArray& data, quint16 left, quint16 right) const;

    quint32 nTables = 0;
    std::vector<KerningSubtableClass> subtables;
};

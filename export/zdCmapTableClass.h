#pragma once
// "cmap": the character maps, carried over unchanged. The Windows Unicode
// (platform 3, encoding 1) subtables are checked for formats the reader
// refuses.

#include "zdTrueTypeTable.h"

#include <vector>

class CmapTableClass : public TrueTypeTable {
public:
    explicit CmapTableClass(const TrueTypeTable& entry) : TrueTypeTable(entry) {}

    void Load(const QByteArray& data) override;

    struct Subtable {
        quint32 offset = 0; // from the start of the table
        quint16 format = 0;
    };
    quint16 version = 0;
    quint16 numTables = 0;
    std::vector<Subtable> unicodeSubtables; // platform 3, encoding 1
};

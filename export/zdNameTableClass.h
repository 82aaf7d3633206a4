#pragma once
// "name": the naming table; finds a face's names (the full name matches a
// report font to a face of a collection).

#include "zdTrueTypeTable.h"

class NameTableClass : public TrueTypeTable {
public:
    explicit NameTableClass(const TrueTypeTable& entry) : TrueTypeTable(entry) {}

    void Load(const QByteArray& data) override;

    // The text of the first Unicode record (platform 3 encoding 1, or
    // platform 0) with the name ID; empty when there is none.
    QString Name(const QByteArray& data, int nameId) const;

    static constexpr int kFullName = 4;

    quint16 format = 0;
    quint16 count = 0;
    quint16 stringOffset = 0;

private:
    static constexpr int kHeaderSize = 6;
    static constexpr int kRecordSize = 12;
};

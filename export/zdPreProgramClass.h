#pragma once
// "prep": the control value program, carried over whole in a length rounded
// up to a multiple of 4 (the padding is zeros).

#include "zdTrueTypeTable.h"

class PreProgramClass : public TrueTypeTable {
public:
    explicit PreProgramClass(const TrueTypeTable& entry) : TrueTypeTable(entry) {}

    void Load(const QByteArray& data) override;
    qint64 Write(const QByteArray& data, QByteArray& out) const override;

    QByteArray program;
};

#pragma once
// "post": the PostScript header. The reduced font keeps the 32-byte header
// as version 3.0, without glyph names.

#include "zdTrueTypeTable.h"

class PostScriptClass : public TrueTypeTable {
public:
    explicit PostScriptClass(const TrueTypeTable& entry) : TrueTypeTable(entry) {}

    void Load(const QByteArray& data) override;
    qint64 Write(const QByteArray& data, QByteArray& out) const override;

    static constexpr int kHeaderSize = 32;
    static constexpr quint32 kVersion3 = 0x00030000;

    quint32 version = 0;
    qint32 italicAngle = 0;
    qint16 underlinePosition = 0;
    qint16 underlineThickness = 0;
    quint32 isFixedPitch = 0;
    quint32 minMemType42 = 0;
    quint32 maxMemType42 = 0;
    quint32 minMemType1 = 0;
    quint32 maxMemType1 = 0;
};

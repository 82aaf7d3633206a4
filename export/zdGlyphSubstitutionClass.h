#pragma once
// "GSUB": the glyph substitution header, carried over unchanged (glyph
// indices do not change in the reduced font).

#include "zdTrueTypeTable.h"

class GlyphSubstitutionClass : public TrueTypeTable {
public:
    explicit GlyphSubstitutionClass(const TrueTypeTable& entry) : TrueTypeTable(entry) {}

    void Load(const QByteArray& data) override;

    quint32 version = 0;
    quint16 scriptList = 0;
    quint16 featureList = 0;
    quint16 lookupList = 0;
};

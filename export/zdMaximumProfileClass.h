#pragma once
// "maxp": the maximum profile; numGlyphs is the glyph count that the reduced
// font keeps. Version 0.5 (6 bytes) holds only the count.

#include "zdTrueTypeTable.h"

class MaximumProfileClass : public TrueTypeTable {
public:
    explicit MaximumProfileClass(const TrueTypeTable& entry) : TrueTypeTable(entry) {}

    void Load(const QByteArray& data) override;

    quint32 version = 0;
    quint16 numGlyphs = 0;
    quint16 maxPoints = 0;
    quint16 maxContours = 0;
    quint16 maxCompositePoints = 0;
    quint16 maxCompositeContours = 0;
    quint16 maxZones = 0;
    quint16 maxTwilightPoints = 0;
    quint16 maxStorage = 0;
    quint16 maxFunctionDefs = 0;
    quint16 maxInstructionDefs = 0;
    quint16 maxStackElements = 0;
    quint16 maxSizeOfInstructions = 0;
    quint16 maxComponentElements = 0;
    quint16 maxComponentDepth = 0;
};

#include "zdMaximumProfileClass.h"

namespace {
constexpr quint32 kVersion05 = 0x00005000;
}

void MaximumProfileClass::Load(const QByteArray& data)
{
    Cursor c(data, Offset(), Length());
    version = c.LongWord();
    numGlyphs = c.Word();
    if (version == kVersion05)
        return;
    maxPoints = c.Word();
    maxContours = c.Word();
    maxCompositePoints = c.Word();
    maxCompositeContours = c.Word();
    maxZones = c.Word();
    maxTwilightPoints = c.Word();
    maxStorage = c.Word();
    maxFunctionDefs = c.Word();
    maxInstructionDefs = c.Word();
    maxStackElements = c.Word();
    maxSizeOfInstructions = c.Word();
    maxComponentElements = c.Word();
    maxComponentDepth = c.Word();
}

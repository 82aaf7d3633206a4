#include "zdGlyphSubstitutionClass.h"

void GlyphSubstitutionClass::Load(const QByteArray& data)
{
    Cursor c(data, Offset(), Length());
    version = c.LongWord();
    scriptList = c.Word();
    featureList = c.Word();
    lookupList = c.Word();
}

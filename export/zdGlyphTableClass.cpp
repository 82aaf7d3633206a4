#include "zdGlyphTableClass.h"

qint64 GlyphTableClass::Write(const QByteArray& data, QByteArray& out) const
{
    if (newData.isNull())
        return TrueTypeTable::Write(data, out);
    out.append(newData);
    return newData.size();
}

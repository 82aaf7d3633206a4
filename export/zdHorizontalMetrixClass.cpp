#include "zdHorizontalMetrixClass.h"

#include <algorithm>

void HorizontalMetrixClass::Load(const QByteArray& data)
{
    // A font with glyphs has at least one pair, which the glyphs past the last one use.
    if (m_count == 0 || qint64(m_count) * 4 > Length())
        RaiseFormatError();
    Cursor c(data, Offset(), Length());
    metrics.resize(m_count);
    for (Metric& m : metrics) {
        m.advanceWidth = c.Word();
        m.lsb = c.SmallInt();
    }
}

int HorizontalMetrixClass::Advance(int glyph) const
{
    return metrics[std::min<size_t>(size_t(glyph), metrics.size() - 1)].advanceWidth;
}

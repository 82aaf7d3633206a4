#include "zdCtrls_model.h"

#include "IniFiles.h"

#include <algorithm>
#include <limits>

namespace zd {

// ------------------------------------------------------------ scrolling

namespace {

int toInt(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

int ScrollAxis::MaxPosition() const
{
    return toInt(std::max<qint64>(0, qint64(Range) - Page));
}

int ScrollAxis::Clamp(qint64 value) const
{
    return int(std::clamp<qint64>(value, 0, MaxPosition()));
}

int ScrollAxis::BarMaximum() const
{
    return Range < Page ? 0 : Range;
}

std::optional<qint64> scrollTarget(ScrollCode code, const ScrollAxis& axis, int smallChange, int largeChange,
                                   int trackPosition)
{
    const qint64 position = axis.Position;
    switch (code) {
    case ScrollCode::LineUp: return position - smallChange;
    case ScrollCode::LineDown: return position + smallChange;
    case ScrollCode::PageUp: return position - largeChange;
    case ScrollCode::PageDown: return position + largeChange;
    case ScrollCode::ThumbPosition:
    case ScrollCode::ThumbTrack: return trackPosition;
    case ScrollCode::Top: return 0;
    case ScrollCode::Bottom: return axis.Range; // the setter keeps it to range - page
    case ScrollCode::EndScroll: break;
    }
    return std::nullopt;
}

// ------------------------------------------------------------ combo box

ComboLook comboLook(int width, int height, int textIndent)
{
    constexpr int bw = kComboButtonWidth;
    ComboLook look;
    look.edit = plat::Bounds(textIndent + 3, 3, width - bw - textIndent - 8, height - 6);
    look.image = plat::Rect(3, 3, textIndent + 3, height - 3);
    look.button = plat::Rect(width - bw - 3, 1, width - 1, height - 1);
    look.separatorX = width - bw - 4;
    // Rounding to nearest, ties to even, as the drawing rules ask.
    look.arrow.X = int(std::nearbyint(bw / 2.0)) + width - bw - 4;
    look.arrow.Y = int(std::nearbyint((height - 4) / 2.0)) + 1;
    return look;
}

int comboListHeight(int itemHeight, int dropDownCount, int itemCount)
{
    const qint64 rows = (dropDownCount <= 0 || itemCount <= 0) ? 1 : std::min(dropDownCount, itemCount);
    return toInt(qint64(itemHeight) * rows + 2);
}

bool comboListOpensUpwards(int boxTop, int listHeight, int fontTextHeight, int screenBottom)
{
    return qint64(boxTop) + listHeight + fontTextHeight + 6 > screenBottom;
}

// ------------------------------------------------------------ font list

plat::TPoint fontPreviewPos(const plat::TRect& box, int previewWidth, int previewHeight, int screenRight,
                            bool upwards)
{
    plat::TPoint p{box.Right + 1, box.Bottom};
    if (qint64(p.X) + previewWidth > screenRight)
        p.X = box.Left - 1 - previewWidth;
    if (upwards)
        p.Y = box.Top - previewHeight;
    return p;
}

const QString kMRUFontSection = QStringLiteral("MRUFont");

namespace {

QString slotKey(const char* prefix, int slot)
{
    return QLatin1String(prefix) + QString::number(slot);
}

} // namespace

int FontList::IndexOf(const QString& name) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void FontList::Fill(std::vector<FontItem> installed, plat::TCustomIniFile* settings, bool showMRU)
{
    std::stable_sort(installed.begin(), installed.end(), [](const FontItem& a, const FontItem& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    installed.erase(std::unique(installed.begin(), installed.end(),
                                [](const FontItem& a, const FontItem& b) {
                                    return a.name.compare(b.name, Qt::CaseInsensitive) == 0;
                                }),
                    installed.end());
    m_items = std::move(installed);
    m_mruLast = -1;
    if (!showMRU || !settings)
        return;
    for (int slot = kMRUFontCount - 1; slot >= 0; --slot) {
        const QString name = settings->ReadString(kMRUFontSection, slotKey("Font", slot), QString());
        if (!name.isEmpty() && IndexOf(name) >= 0) {
            const int type = settings->ReadInteger(kMRUFontSection, slotKey("FontType", slot), 0);
            m_items.insert(m_items.begin(), FontItem{name, type});
            ++m_mruLast;
        } else {
            settings->WriteString(kMRUFontSection, slotKey("Font", slot), QString());
            settings->WriteInteger(kMRUFontSection, slotKey("FontType", slot), 0);
        }
    }
}

int FontList::Choose(int index, plat::TCustomIniFile* settings, bool showMRU)
{
    if (index <= 0 || index >= int(m_items.size()) || !showMRU)
        return index;
    const FontItem chosen = m_items[std::size_t(index)];
    const int first = IndexOf(chosen.name);
    if (first > m_mruLast) {
        m_items.insert(m_items.begin(), chosen);
        if (m_mruLast > kMRUFontCount - 2)
            m_items.erase(m_items.begin() + kMRUFontCount);
        else
            ++m_mruLast;
    } else {
        m_items.erase(m_items.begin() + first);
        m_items.insert(m_items.begin(), chosen);
    }
    // Without the recent fonts shown nothing was read, and writing the
    // slots then would wipe what another list keeps there.
    if (settings)
        writeSlots(*settings);
    return 0;
}

void FontList::writeSlots(plat::TCustomIniFile& settings) const
{
    for (int slot = 0; slot < kMRUFontCount; ++slot) {
        const bool used = slot <= m_mruLast;
        settings.WriteString(kMRUFontSection, slotKey("Font", slot), used ? m_items[std::size_t(slot)].name : QString());
        settings.WriteInteger(kMRUFontSection, slotKey("FontType", slot), used ? m_items[std::size_t(slot)].fontType : 0);
    }
}

} // namespace zd

plat::TColor zdBlendColors(plat::TColor Color1, plat::TColor Color2, int Amount)
{
    const qint64 c1 = plat::ColorToRGB(Color1);
    const qint64 c2 = plat::ColorToRGB(Color2);
    const qint64 base = Amount < 100 ? 100 : 1000;
    plat::TColor result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const qint64 a = (c1 >> shift) & 0xFF;
        const qint64 b = (c2 >> shift) & 0xFF;
        const qint64 mixed = (a * Amount + b * (base - Amount) + base / 2) / base;
        result |= plat::TColor((mixed & 0xFF) << shift);
    }
    return result;
}

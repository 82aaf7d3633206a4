#include "PlainTextDrawer.h"

#include "Canvas.h"
#include "Exceptions.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

void check(bool condition, const char* message)
{
    if (!condition)
        throw plat::EAssertionFailed(QString::fromLatin1(message));
}

plat::TFontStyles styleOfIndex(int index) { return plat::TFontStyles::fromMask(quint32(index) & 0x0F); }

} // namespace

TPlainStyleIndex StyleIndexOf(plat::TFontStyles style) { return int(style.mask() & 0x0F); }

// ------------------------------------------------------------ manager

TheFontsInfoManager::~TheFontsInfoManager() = default;

TheFontsInfoManager& FontsInfoManager()
{
    static TheFontsInfoManager manager;
    return manager;
}

QString TheFontsInfoManager::FontsInfoKey(const plat::TFont& font)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6")
        .arg(font.Name())
        .arg(font.Height())
        .arg(font.HasStyle(plat::fsBold) ? 700 : 400)
        .arg(int(font.Charset()))
        .arg(int(font.Pitch()))
        .arg(font.Orientation());
}

TheSharedFontsInfo* TheFontsInfoManager::AcquireFontsInfo(const plat::TFont* font)
{
    check(font != nullptr, "AcquireFontsInfo: a font must be given");
    const QString key = FontsInfoKey(*font);
    for (const auto& entry : m_entries) {
        if (entry->Key == key) {
            ++entry->RefCount;
            return entry.get();
        }
    }
    auto entry = std::make_unique<TheSharedFontsInfo>();
    entry->BaseFont.AssignFont(*font);
    entry->Key = key;
    for (int i = 0; i < 16; ++i)
        entry->FontsData[size_t(i)].Style = styleOfIndex(i);
    entry->RefCount = 1;
    m_entries.push_back(std::move(entry));
    return m_entries.back().get();
}

void TheFontsInfoManager::ReleaseFontsInfo(TheSharedFontsInfo* info)
{
    check(info != nullptr, "ReleaseFontsInfo: an entry must be given");
    check(info->LockCount < info->RefCount, "Call DeactivateFontsInfo before calling this.");
    if (info->RefCount > 1) {
        --info->RefCount;
        return;
    }
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [info](const auto& e) { return e.get() == info; }),
                    m_entries.end());
}

void TheFontsInfoManager::LockFontHandles(TheSharedFontsInfo* info) { ++info->LockCount; }

void TheFontsInfoManager::UnlockFontHandles(TheSharedFontsInfo* info)
{
    if (info->LockCount > 0 && --info->LockCount == 0) {
        for (TheFontStyleRec& rec : info->FontsData)
            rec.Handle.reset();
    }
}

// ------------------------------------------------------------ font stock

TheFontStock::TheFontStock(const plat::TFont* font) { SetBaseFont(font); }

TheFontStock::~TheFontStock()
{
    if (m_info) {
        ReleaseFontHandles();
        FontsInfoManager().ReleaseFontsInfo(m_info);
    }
}

void TheFontStock::SetBaseFont(const plat::TFont* font)
{
    if (!font)
        throw plat::EheFontStockException(QStringLiteral("SetBaseFont: 'Value' must be specified."));
    TheSharedFontsInfo* info = FontsInfoManager().AcquireFontsInfo(font);
    if (info == m_info) {
        FontsInfoManager().ReleaseFontsInfo(info);
        return;
    }
    if (m_info) {
        ReleaseFontHandles();
        FontsInfoManager().ReleaseFontsInfo(m_info);
    }
    m_info = info;
    m_current = nullptr;
    SetStyle(font->Style());
}

void TheFontStock::SetStyle(plat::TFontStyles style)
{
    const int index = StyleIndexOf(style);
    check(index <= 15, "SetStyle: style out of range");
    if (!m_usingHandles) {
        FontsInfoManager().LockFontHandles(m_info);
        m_usingHandles = true;
    }
    TheFontStyleRec& rec = m_info->FontsData[size_t(index)];
    if (m_current == &rec && rec.Handle)
        return;
    m_current = &rec;
    m_currentStyle = style;
    if (!rec.Handle) {
        rec.Handle = CreateStyledFont(style);
        int dbAdvance = std::numeric_limits<int>::max();
        MeasureFont(*rec.Handle, rec.Height, m_info->IsDbcsFont ? &dbAdvance : nullptr, rec.Advance);
        rec.DoubleByteAdvance = dbAdvance;
    }
}

std::unique_ptr<plat::TFont> TheFontStock::CreateStyledFont(plat::TFontStyles style) const
{
    auto font = std::make_unique<plat::TFont>();
    font->AssignFont(m_info->BaseFont);
    font->SetStyle(style);
    return font;
}

void TheFontStock::MeasureFont(const plat::TFont& font, int& height, int* doubleByteAdvance, int& advance) const
{
    plat::TCanvas canvas;
    canvas.SetFont(font);
    const plat::TTextMetric metrics = canvas.GetTextMetrics();
    std::vector<int> widths;
    canvas.GetCharWidths(QStringLiteral("M"), widths);
    advance = widths.empty() || widths.front() <= 0 ? metrics.tmAveCharWidth : widths.front();
    height = std::abs(metrics.tmHeight);
    if (doubleByteAdvance)
        *doubleByteAdvance = std::numeric_limits<int>::max();
}

int TheFontStock::CharAdvance() const { return m_current ? m_current->Advance : 0; }
int TheFontStock::CharHeight() const { return m_current ? m_current->Height : 0; }
int TheFontStock::DoubleByteAdvance() const
{
    return m_current ? m_current->DoubleByteAdvance : std::numeric_limits<int>::max();
}

const plat::TFont* TheFontStock::FontHandle() const { return m_current ? m_current->Handle.get() : nullptr; }

void TheFontStock::ReleaseFontHandles()
{
    if (m_usingHandles) {
        m_usingHandles = false;
        m_current = nullptr;
        FontsInfoManager().UnlockFontHandles(m_info);
    }
}

// ------------------------------------------------------------ text drawer

TheTextDrawer::TheTextDrawer(plat::TFontStyles baseStyle, const plat::TFont* font)
    : m_stock(std::make_unique<TheFontStock>(font)), m_baseStyle(baseStyle)
{
    SetBaseFont(font);
}

TheTextDrawer::~TheTextDrawer() = default;

void TheTextDrawer::SetBaseFont(const plat::TFont* font)
{
    if (!font)
        throw plat::EheTextDrawerException(QStringLiteral("SetBaseFont: 'Value' must be specified."));
    FlushCharWidths();
    m_stock->SetBaseFont(font);
    m_stock->SetStyle(m_baseStyle);
    m_charWidth = m_stock->CharAdvance();
    m_charHeight = m_stock->CharHeight();
    SetStyle(font->Style());
}

void TheTextDrawer::SetBaseStyle(plat::TFontStyles style)
{
    if (m_baseStyle == style)
        return;
    m_baseStyle = style;
    FlushCharWidths();
    m_stock->SetStyle(style);
    m_charWidth = m_stock->CharAdvance();
    m_charHeight = m_stock->CharHeight();
}

void TheTextDrawer::SetStyle(plat::TFontStyles style)
{
    m_stock->SetStyle(style);
    SelectCurrentFont();
}

void TheTextDrawer::SelectCurrentFont()
{
    if (m_canvas && m_stock->FontHandle())
        m_canvas->SetFont(*m_stock->FontHandle());
}

void TheTextDrawer::BeginDrawing(plat::TCanvas* canvas)
{
    if (canvas == m_canvas) {
        check(m_canvas != nullptr, "BeginDrawing: no canvas");
    } else {
        check(m_canvas == nullptr && canvas != nullptr && m_drawingCount == 0, "BeginDrawing: already drawing");
        m_canvas = canvas;
        m_savedState = canvas->SaveDC();
        SelectCurrentFont();
        canvas->Font().SetColor(m_color);
        canvas->SetBkColor(m_bkColor);
        canvas->SetTextCharacterExtra(m_charExtra);
    }
    ++m_drawingCount;
}

void TheTextDrawer::EndDrawing()
{
    check(m_drawingCount > 0, "EndDrawing without BeginDrawing");
    if (--m_drawingCount == 0) {
        m_canvas->RestoreDC(m_savedState);
        m_canvas = nullptr;
    }
}

void TheTextDrawer::SetForeColor(plat::TColor color)
{
    if (m_color == color)
        return;
    m_color = color;
    if (m_canvas)
        m_canvas->Font().SetColor(color);
}

void TheTextDrawer::SetBackColor(plat::TColor color)
{
    if (m_bkColor == color)
        return;
    m_bkColor = color;
    if (m_canvas)
        m_canvas->SetBkColor(color);
}

void TheTextDrawer::SetCharExtra(int value)
{
    if (m_charExtra == value)
        return;
    m_charExtra = value;
    FlushCharWidths();
    if (m_canvas)
        m_canvas->SetTextCharacterExtra(value);
}

void TheTextDrawer::TextOut(int x, int y, const QString& text, int length)
{
    if (m_canvas)
        m_canvas->TextOut(x, y, text.left(length));
}

void TheTextDrawer::ExtTextOut(int x, int y, unsigned options, const plat::TRect* rect, const QString& text,
                               int length)
{
    if (!m_canvas)
        return;
    if (int(m_advances.size()) < length) {
        const int size = (length / 64 + 1) * 64;
        m_advances.resize(size_t(size), CharWidth());
    }
    // The second unit of a surrogate pair takes no cell of its own.
    const QString run = text.left(length);
    std::vector<int> pairs;
    for (qsizetype i = 1; i < run.size(); ++i) {
        if (run.at(i).isLowSurrogate() && run.at(i - 1).isHighSurrogate()) {
            if (pairs.empty())
                pairs.assign(m_advances.begin(), m_advances.begin() + length);
            pairs[size_t(i)] = 0;
        }
    }
    m_canvas->ExtTextOut(x, y, options, rect, run, pairs.empty() ? m_advances.data() : pairs.data(), length);
}

void TheTextDrawer::ReleaseTemporaryResources() { m_stock->ReleaseFontHandles(); }

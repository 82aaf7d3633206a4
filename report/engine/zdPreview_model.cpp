#include "zdPreview_model.h"

#include "Exceptions.h"
#include "zdUtils.h"

#include <Qt>

#include <algorithm>
#include <cmath>

namespace zd {

namespace {
int roundHalfEven(long double v)
{
    return int(std::nearbyint(double(v)));
}
} // namespace

void TzdPageList::Clear()
{
    m_items.clear();
    m_widest = 0;
}

void TzdPageList::AddPage(QSize sizeAtZoom1, long double zoom)
{
    PageItem item;
    item.Width = roundHalfEven(zoom * sizeAtZoom1.width());
    item.Height = roundHalfEven(zoom * sizeAtZoom1.height());
    m_items.push_back(item);
}

void TzdPageList::CalcBounds(int W)
{
    m_widest = 0;
    int top = kPageGap;
    size_t i = 0;
    while (i < m_items.size()) {
        const size_t start = i;
        int sum = 0;
        int rowHeight = 0;
        while (i < m_items.size() && (i == start || sum + m_items[i].Width <= W)) {
            m_items[i].Left = sum;
            m_items[i].Top = top;
            rowHeight = std::max(rowHeight, m_items[i].Height);
            sum += m_items[i].Width + kPageGap;
            ++i;
        }
        m_widest = std::max(m_widest, sum);
        int offset = (W - sum + kPageGap) / 2;
        offset = offset < 0 ? kPageGap : offset + kPageGap;
        for (size_t k = start; k < i; ++k)
            m_items[k].Left += offset;
        top += rowHeight + kPageGap;
    }
}

QSize TzdPageList::ContentSize() const
{
    if (m_items.empty())
        return {0, 0};
    const PageItem& last = m_items.back();
    return {m_widest, last.Top + last.Height};
}

QSize TzdPageList::Ranges() const
{
    if (m_items.empty())
        return {0, 0};
    const QSize s = ContentSize();
    return {s.width() + kPageGap, s.height() + kPageGap};
}

plat::TRect TzdPageList::GetPageBounds(int Index, int ClientWidth, bool RightToLeft, long double Zoom) const
{
    if (Index >= 0 && Index < Count()) {
        const PageItem& p = m_items[size_t(Index)];
        const int left = RightToLeft ? ClientWidth - p.Width - p.Left : p.Left;
        return {left, p.Top, left + p.Width, p.Top + p.Height};
    }
    const long double w = kDefaultPageWidth * Zoom;
    const long double h = kDefaultPageHeight * Zoom;
    int left = roundHalfEven((ClientWidth - w) / 2);
    if (left < 0)
        left = kPageGap;
    const int top = roundHalfEven(kPageGap * Zoom);
    return {left, top, left + roundHalfEven(w), top + roundHalfEven(h)};
}

int TzdPageList::FindPage(int Y, std::optional<int> X) const
{
    // The tops only grow, so the pages that pass the test form a prefix.
    int lo = 0, hi = Count() - 1, found = -1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const PageItem& p = m_items[size_t(mid)];
        const int offset = X ? 0 : roundHalfEven(p.Height / 5.0L);
        if (qint64(p.Top) <= qint64(Y) + offset) {
            found = mid;
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    if (X) {
        for (int i = std::max(0, found - 20); i <= std::min(Count() - 1, found + 20); ++i) {
            const PageItem& p = m_items[size_t(i)];
            if (*X >= p.Left && *X < p.Left + p.Width && Y >= p.Top && Y < p.Top + p.Height)
                return i;
        }
    }
    return found;
}

long double WholePageZoom(QSize page, QSize area, int scrollBarWidth, int pageCount)
{
    const int V = pageCount >= 2 ? scrollBarWidth : 0;
    const long double w = std::max(1, area.width() - V - kAreaMargin);
    const long double h = std::max(1, area.height() - kAreaMargin);
    const long double pw = std::max(1, page.width());
    const long double ph = std::max(1, page.height());
    return pw / w > ph / h ? w / pw : h / ph;
}

long double PageWidthZoom(QSize page, QSize area, int scrollBarWidth)
{
    const long double pw = std::max(1, page.width());
    return std::max<long double>(1, area.width() - scrollBarWidth - kAreaMargin) / pw;
}

long double MaxZoom(const std::vector<QSize>& pages)
{
    long double height = kPageGap, width = kDefaultPageWidth;
    for (const QSize& s : pages) {
        height += s.height() + kPageGap;
        width = std::max<long double>(width, s.width());
    }
    if (pages.empty())
        height += kDefaultPageHeight;
    return kMaxExtent / std::max(height, width);
}

long double ClampZoom(long double value, long double maxZoom)
{
    if (!(value >= kMinZoom)) // NaN as well
        value = kMinZoom;
    return std::max(kMinZoom, std::min(value, maxZoom));
}

long double WheelZoom(long double zoom, int delta)
{
    const int sign = delta > 0 ? 1 : delta < 0 ? -1 : 0;
    return std::max(kMinWheelZoom, zoom + sign * kWheelZoomStep);
}

std::optional<long double> ParseZoomText(const QString& text)
{
    QString t = text;
    const qsizetype percent = t.indexOf(u'%');
    if (percent >= 0)
        t[percent] = u' ';
    t.remove(u' ');
    if (t.isEmpty())
        return std::nullopt;
    try {
        return zdParseFloat(t) / 100;
    } catch (const plat::Exception&) {
        return std::nullopt;
    }
}

QString ZoomText(long double zoom)
{
    return QString::number(roundHalfEven(zoom * 100)) + u'%';
}

PreviewKey PreviewKeyOf(int qtKey, bool ctrl)
{
    struct Entry {
        int key;
        bool ctrl;
        PreviewKey action;
    };
    // Keys that ignore Ctrl are listed for both states.
    static constexpr Entry kKeys[] = {
        {Qt::Key_Up, false, PreviewKey::ScrollUp},         {Qt::Key_Up, true, PreviewKey::ScrollUp},
        {Qt::Key_Down, false, PreviewKey::ScrollDown},     {Qt::Key_Down, true, PreviewKey::ScrollDown},
        {Qt::Key_Left, false, PreviewKey::ScrollLeft},     {Qt::Key_Left, true, PreviewKey::ScrollLeft},
        {Qt::Key_Right, false, PreviewKey::ScrollRight},   {Qt::Key_Right, true, PreviewKey::ScrollRight},
        {Qt::Key_PageUp, false, PreviewKey::PageUp},       {Qt::Key_PageUp, true, PreviewKey::PriorPage},
        {Qt::Key_PageDown, false, PreviewKey::PageDown},   {Qt::Key_PageDown, true, PreviewKey::NextPage},
        {Qt::Key_Home, false, PreviewKey::FirstPage},      {Qt::Key_Home, true, PreviewKey::FirstPage},
        {Qt::Key_End, false, PreviewKey::LastPage},        {Qt::Key_End, true, PreviewKey::LastPage},
        {Qt::Key_F3, false, PreviewKey::FindNext},         {Qt::Key_F3, true, PreviewKey::FindNext},
        {Qt::Key_P, true, PreviewKey::Print},              {Qt::Key_S, true, PreviewKey::Save},
        {Qt::Key_F, true, PreviewKey::ToggleFind},         {Qt::Key_O, true, PreviewKey::Load},
    };
    for (const Entry& e : kKeys)
        if (e.key == qtKey && e.ctrl == ctrl)
            return e.action;
    return PreviewKey::None;
}

} // namespace zd

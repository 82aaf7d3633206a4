#pragma once
// The rules of the preview without a widget: where the pages lie at a zoom
// (rows of pages, each row centred), which page a position belongs to, the
// zoom that fits a page into the area, the zoom steps of the wheel and the
// buttons, and the preview's keys. zdPreview.h only draws and forwards.

#include "Canvas.h"

#include <QSize>

#include <optional>
#include <vector>

namespace zd {

// Gaps of the page layout, in pixels.
inline constexpr int kPageGap = 10;
// Room the area keeps free beside the pages (scroll bar not counted).
inline constexpr int kAreaMargin = 26;
// A sheet shown for a page that does not exist: A4 at 96 dpi.
inline constexpr int kDefaultPageWidth = 794;
inline constexpr int kDefaultPageHeight = 1123;
// The smallest zoom SetZoom accepts, the smallest the wheel reaches, and
// the steps of the wheel and of the zoom buttons.
inline constexpr long double kMinZoom = 0.25L;
inline constexpr long double kMinWheelZoom = 0.3L;
inline constexpr long double kWheelZoomStep = 0.1L;
inline constexpr long double kButtonZoomStep = 0.25L;
// Every coordinate of the laid-out pages stays below this, so the painter's
// 32-bit coordinates and the scroll ranges never overflow.
inline constexpr long double kMaxExtent = 1 << 29;

struct PageItem {
    int Width = 0;
    int Height = 0;
    int Left = 0;
    int Top = 0;
};

class TzdPageList {
public:
    void Clear();
    // The page's size at zoom 1 times the zoom, rounded.
    void AddPage(QSize sizeAtZoom1, long double zoom);
    int Count() const { return int(m_items.size()); }
    const PageItem& Item(int i) const { return m_items[size_t(i)]; }

    // Rows of pages within width W (the area's width less the scroll bar and 26).
    void CalcBounds(int W);
    int WidestRow() const { return m_widest; }
    // The extent of the content: widest row and bottom of the last page.
    QSize ContentSize() const;
    // The scroll ranges: the content size + 10 in both directions (0, 0
    // without pages).
    QSize Ranges() const;

    // Left, top, right, bottom of page Index in an area of that width; a
    // default A4 sheet for an index outside the list.
    plat::TRect GetPageBounds(int Index, int ClientWidth, bool RightToLeft, long double Zoom) const;
    // The page at vertical position Y: the last page whose top is at most Y
    // plus a fifth of its height. With X, the page among the 41 around it
    // whose rectangle holds (X, Y) wins. -1 above the first page.
    int FindPage(int Y, std::optional<int> X = std::nullopt) const;

private:
    std::vector<PageItem> m_items;
    int m_widest = 0;
};

// Zoom that fits a page of size (pw, ph) wholly into an area of that size;
// V is the vertical scroll bar's width (counted with two or more pages).
long double WholePageZoom(QSize page, QSize area, int scrollBarWidth, int pageCount);
// Zoom that fits the page's width into the area.
long double PageWidthZoom(QSize page, QSize area, int scrollBarWidth);
// The largest zoom at which pages of these sizes at zoom 1 still fit the
// coordinate bound laid out one under another.
long double MaxZoom(const std::vector<QSize>& pages);
// SetZoom's rule: at least 0.25, at most maxZoom.
long double ClampZoom(long double value, long double maxZoom);
// The wheel with the zoom key: one tenth up or down, at least 0.3.
long double WheelZoom(long double zoom, int delta);

// The zoom list's text: "125 %" -> 1.25 (the first '%' becomes a blank,
// blanks go, ',' or '.' is the decimal point); nothing for an empty or
// unreadable text.
std::optional<long double> ParseZoomText(const QString& text);
// The list's text for a zoom: round(zoom * 100) + "%".
QString ZoomText(long double zoom);

// What a key does in the preview (Ctrl is the only modifier looked at).
enum class PreviewKey {
    None, ScrollUp, ScrollDown, ScrollLeft, ScrollRight, PageUp, PageDown, PriorPage, NextPage, FirstPage,
    LastPage, FindNext, Print, Save, ToggleFind, Load
};
PreviewKey PreviewKeyOf(int qtKey, bool ctrl);
// The scroll step of the arrows and of Page Up / Page Down.
inline constexpr int kKeyLineStep = 8;
inline constexpr int kKeyPageStep = 300;

} // namespace zd

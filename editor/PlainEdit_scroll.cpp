// The editor model: cell metrics, the grid in the window, scrolling, the
// scroll bars and hint, the mouse wheel and the caret shape.

#include "PlainEdit_p.h"

#include "PlainEditHighlighter.h"
#include "PlainTextDrawer.h"

#include "Canvas.h"
#include "SysUtils.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace pe;

namespace {
constexpr int kScrollMaxInt = std::numeric_limits<int>::max();
constexpr int kScrollRange = 32767;
constexpr int kWheelDelta = 120;
constexpr int kHintMaxWidth = 200;
} // namespace

// ------------------------------------------------------------ fonts and cells

void TCustomPlainEdit::SetFont(plat::TFont* Value)
{
    if (!Value)
        return;
    plat::TCanvas canvas;
    canvas.SetFont(*Value);
    const plat::TTextMetric metrics = canvas.GetTextMetrics();
    if (metrics.tmAveCharWidth != metrics.tmMaxCharWidth) {
        m_dummyFont->SetColor(Value->Color());
        m_dummyFont->SetHeight(Value->Height());
        m_dummyFont->SetStyle(Value->Style());
        m_dummyFont->SetName(Value->Name());
        m_dummyFont->SetPitch(plat::fpFixed);
        m_font->Assign(m_dummyFont.get());
    } else {
        m_font->Assign(Value);
    }
    if (m_gutter->ShowLineNumbers())
        GutterChanged();
}

void TCustomPlainEdit::FontChanged()
{
    RecalcCellSize();
    SizeOrFontChanged(true);
}

void TCustomPlainEdit::RecalcCellSize()
{
    bool used[4] = {false, false, false, false}; // normal, italic, bold, bold italic
    const auto note = [&used](plat::TFontStyles style) {
        used[(style.contains(plat::fsBold) ? 2 : 0) + (style.contains(plat::fsItalic) ? 1 : 0)] = true;
    };
    if (m_highlighter && m_highlighter->AttributeCount() > 0) {
        for (int i = 0; i < m_highlighter->AttributeCount(); ++i)
            note(m_highlighter->AttributeAt(i)->Style());
    } else {
        note(m_font->Style());
    }
    m_cellWidth = 0;
    m_rowHeight = 0;
    m_textDrawer->SetBaseFont(m_font.get());
    const plat::TFontStyles combos[4] = {{}, {plat::fsItalic}, {plat::fsBold}, {plat::fsBold, plat::fsItalic}};
    for (int i = 0; i < 4; ++i) {
        if (!used[i])
            continue;
        m_textDrawer->SetBaseStyle(combos[i]);
        m_rowHeight = std::max(m_rowHeight, m_textDrawer->CharHeight());
        m_cellWidth = std::max(m_cellWidth, m_textDrawer->CharWidth());
    }
    // A zero cell or row would divide by zero in every pixel conversion.
    m_rowHeight = std::max(1, ClampToInt(qint64(m_rowHeight) + m_extraLineSpacing));
    m_cellWidth = std::max(1, m_cellWidth);
    m_textLeft = ClampToInt(qint64(m_gutterExtent) + 2 - (qint64(m_leftColumn) - 1) * m_cellWidth);
}

void TCustomPlainEdit::SizeOrFontChanged(bool fontChanged)
{
    if (!HandleAllocated() || m_cellWidth == 0)
        return;
    m_columnsInView = std::max(0, m_view->ClientWidth() - m_gutterExtent - 2) / m_cellWidth;
    m_visibleRows = std::max(0, m_view->ClientHeight()) / m_rowHeight;
    if (m_wordWrap) {
        m_wordWrap->NotifyDisplayChanged();
        Invalidate();
    }
    if (fontChanged) {
        if (m_gutter->ShowLineNumbers())
            GutterChanged();
        else
            UpdateScrollBars();
        CreateCaretShape();
        m_state.exclude(esCaretDirty);
        Invalidate();
    } else {
        UpdateScrollBars();
    }
    m_state.exclude(esScrollBarsDirty);
    if (!m_options.contains(eoScrollPastEol))
        SetLeftColumn(m_leftColumn);
    if (!m_options.contains(eoScrollPastEof))
        SetTopRow(m_topRow);
}

void TCustomPlainEdit::Resized() { SizeOrFontChanged(false); }

void TCustomPlainEdit::GutterChanged()
{
    if (ComponentState().contains(plat::csLoading))
        return;
    if (m_gutter->ShowLineNumbers() && m_gutter->AutoSize())
        m_gutter->UpdateAutoDigits(m_lines->Count());
    int width;
    if (m_gutter->UseFontStyle()) {
        m_textDrawer->SetBaseFont(m_gutter->Font());
        width = m_gutter->TotalWidth(m_textDrawer->CharWidth());
        m_textDrawer->SetBaseFont(m_font.get());
    } else {
        width = m_gutter->TotalWidth(m_cellWidth);
    }
    if (width == m_gutterExtent)
        InvalidateGutter();
    else
        SetGutterExtent(width);
}

void TCustomPlainEdit::SetGutterExtent(int w)
{
    w = std::max(0, w);
    if (w == m_gutterExtent)
        return;
    m_gutterExtent = w;
    m_textLeft = ClampToInt(qint64(m_gutterExtent) + 2 - (qint64(m_leftColumn) - 1) * m_cellWidth);
    if (!HandleAllocated())
        return;
    m_columnsInView = std::max(0, m_view->ClientWidth() - m_gutterExtent - 2) / m_cellWidth;
    if (m_wordWrap)
        m_wordWrap->NotifyDisplayChanged();
    UpdateScrollBars();
    Invalidate();
}

// ------------------------------------------------------------ scrolling

void TCustomPlainEdit::SetLeftColumn(int c)
{
    qint64 limit;
    if (m_options.contains(eoScrollPastEol)) {
        limit = m_options.contains(eoAutoSizeMaxScrollWidth) ? qint64(kScrollMaxInt) - m_columnsInView
                                                             : qint64(m_maxScrollWidth) - m_columnsInView + 1;
    } else {
        const int longest = m_lines->LongestExpandedLength();
        limit = longest > m_columnsInView ? qint64(longest) - m_columnsInView + 1 : 1;
    }
    if (m_wordWrap)
        c = 1;
    c = int(std::max<qint64>(1, std::min<qint64>(c, limit)));
    if (c == m_leftColumn)
        return;
    const int old = m_leftColumn;
    m_leftColumn = c;
    m_textLeft = ClampToInt(qint64(m_gutterExtent) + 2 - (qint64(m_leftColumn) - 1) * m_cellWidth);
    if (HandleAllocated()) {
        const qint64 shift = qint64(old) - c;
        if (std::abs(shift) < m_columnsInView) {
            const plat::TRect area(m_gutterExtent + 2, 0, m_view->ClientWidth(), m_view->ClientHeight());
            m_view->ScrollWindow(int(shift * m_cellWidth), 0, area);
        } else {
            InvalidateLines(-1, -1);
        }
    }
    if (m_options.contains(eoScrollPastEol) && m_options.contains(eoAutoSizeMaxScrollWidth)
        && m_maxScrollWidth < qint64(m_leftColumn) + m_columnsInView)
        SetMaxScrollWidth(ClampToInt(qint64(m_leftColumn) + m_columnsInView));
    else
        UpdateScrollBars();
    // The caret moves with the text.
    PositionCaret();
    StatusChanged({scLeftChar});
}

void TCustomPlainEdit::SetTopRow(int r)
{
    const qint64 limit =
        m_options.contains(eoScrollPastEof) ? RowCount() : qint64(RowCount()) - m_visibleRows + 1;
    qint64 row = std::min<qint64>(r, limit);
    if (row < 2)
        row = 1;
    if (row == m_topRow)
        return;
    const int old = m_topRow;
    m_topRow = int(row);
    if (HandleAllocated()) {
        const qint64 shift = qint64(old) - row;
        if (std::abs(shift) < m_visibleRows)
            m_view->ScrollWindow(0, int(shift * m_rowHeight),
                                 plat::TRect(0, 0, m_view->ClientWidth(), m_view->ClientHeight()));
        else
            Invalidate();
    }
    UpdateScrollBars();
    PositionCaret();
    StatusChanged({scTopLine});
}

void TCustomPlainEdit::EnsureCaretVisibleEx(bool forceToMiddle)
{
    UpdateLock lock(*this);
    const TDisplayPos caret = CaretDisplayPos();
    const int col = caret.Column;
    const int row = caret.Row;
    if (col < m_leftColumn)
        SetLeftColumn(col);
    else if (m_columnsInView > 0 && col >= qint64(m_leftColumn) + m_columnsInView)
        SetLeftColumn(ClampToInt(qint64(col) - m_columnsInView + 1));
    else
        SetLeftColumn(m_leftColumn);
    const int visible = std::max(m_visibleRows, 1);
    if (!forceToMiddle) {
        if (row < m_topRow)
            SetTopRow(row);
        else if (row > qint64(m_topRow) + visible - 1)
            SetTopRow(ClampToInt(qint64(row) - visible + 1));
        else
            SetTopRow(m_topRow);
        return;
    }
    const int h = m_visibleRows / 2;
    if (row < qint64(m_topRow) - 1)
        SetTopRow(row - h < 0 ? 1 : row - h + 1);
    else if (row > qint64(m_topRow) + m_visibleRows - 2)
        SetTopRow(ClampToInt(qint64(row) - m_visibleRows + 1 + h));
}

void TCustomPlainEdit::publishScrollBar(TScrollBarKind kind, bool visible, const TPlainScrollInfo& info)
{
    m_scrollInfo[kind] = info;
    m_view->ShowScrollBar(kind, visible);
    if (visible)
        m_view->SetScrollInfo(kind, info);
}

void TCustomPlainEdit::UpdateScrollBars()
{
    if (!HandleAllocated() || m_paintLockDepth > 0) {
        m_state.include(esScrollBarsDirty);
        return;
    }
    m_state.exclude(esScrollBarsDirty);
    if (m_scrollBars == ssNone) {
        m_view->ShowScrollBar(sbHorizontal, false);
        m_view->ShowScrollBar(sbVertical, false);
        return;
    }
    const bool hideShow = m_options.contains(eoHideShowScrollbars);
    const bool arrowsRule = m_options.contains(eoDisableScrollArrows);
    if ((m_scrollBars == ssHorizontal || m_scrollBars == ssBoth) && !m_wordWrap) {
        const int m = m_options.contains(eoScrollPastEol) ? m_maxScrollWidth
                                                          : std::max(1, m_lines->LongestExpandedLength());
        TPlainScrollInfo info;
        info.DisableNoScroll = !hideShow;
        const bool scaled = m > kScrollRange;
        if (!scaled) {
            info.Min = 1;
            info.Max = m;
            info.Page = m_columnsInView;
            info.Pos = m_leftColumn;
        } else {
            info.Min = 0;
            info.Max = kScrollRange;
            info.Page = plat::MulDiv(kScrollRange, m_columnsInView, m);
            info.Pos = plat::MulDiv(kScrollRange, m_leftColumn, m);
        }
        const bool visible = !(hideShow && !scaled && m <= m_columnsInView);
        publishScrollBar(sbHorizontal, visible, info);
        const qint64 lastVisible = qint64(m_leftColumn) + m_columnsInView - 1;
        if (arrowsRule || m <= m_columnsInView) {
            if (m_leftColumn <= 1 && m <= lastVisible)
                m_view->EnableScrollArrows(sbHorizontal, false, false);
            else if (m_leftColumn <= 1)
                m_view->EnableScrollArrows(sbHorizontal, false, true);
            else
                m_view->EnableScrollArrows(sbHorizontal, true, m > lastVisible);
        } else {
            m_view->EnableScrollArrows(sbHorizontal, true, true);
        }
    } else {
        m_view->ShowScrollBar(sbHorizontal, false);
    }
    if (m_scrollBars == ssVertical || m_scrollBars == ssBoth) {
        const qint64 rows = RowCount();
        const qint64 m64 = m_options.contains(eoScrollPastEof) ? rows + m_visibleRows - 1 : rows;
        const int m = ClampToInt(m64);
        TPlainScrollInfo info;
        info.DisableNoScroll = !hideShow;
        const bool scaled = m > kScrollRange;
        if (!scaled) {
            info.Min = 1;
            info.Max = std::max(1, m);
            info.Page = m_visibleRows;
            info.Pos = m_topRow;
        } else {
            info.Min = 0;
            info.Max = kScrollRange;
            info.Page = plat::MulDiv(kScrollRange, m_visibleRows, m);
            info.Pos = plat::MulDiv(kScrollRange, m_topRow, m);
        }
        const bool visible = !(hideShow && !scaled && m <= m_visibleRows);
        publishScrollBar(sbVertical, visible, info);
        if (arrowsRule || m <= m_visibleRows) {
            if (m_topRow <= 1 && m <= m_visibleRows)
                m_view->EnableScrollArrows(sbVertical, false, false);
            else if (m_topRow <= 1)
                m_view->EnableScrollArrows(sbVertical, false, true);
            else
                m_view->EnableScrollArrows(sbVertical, true, rows - m_topRow - m_visibleRows + 1 != 0);
        } else {
            m_view->EnableScrollArrows(sbVertical, true, true);
        }
    } else {
        m_view->ShowScrollBar(sbVertical, false);
    }
}

void TCustomPlainEdit::HScroll(int code, int pos)
{
    const int page = m_options.contains(eoScrollByOneLess) ? m_columnsInView - 1 : m_columnsInView;
    const int m = m_options.contains(eoScrollPastEol) ? m_maxScrollWidth : std::max(1, m_lines->LongestExpandedLength());
    switch (code) {
    case SB_LINELEFT:
        SetLeftColumn(addClamped(m_leftColumn, -1));
        break;
    case SB_LINERIGHT:
        SetLeftColumn(addClamped(m_leftColumn, 1));
        break;
    case SB_PAGELEFT:
        SetLeftColumn(addClamped(m_leftColumn, -qint64(page)));
        break;
    case SB_PAGERIGHT:
        SetLeftColumn(addClamped(m_leftColumn, page));
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        SetLeftColumn(m <= kScrollRange ? pos : plat::MulDiv(m, pos, kScrollRange));
        break;
    case SB_LEFT:
        SetLeftColumn(1);
        break;
    case SB_RIGHT:
        SetLeftColumn(m_options.contains(eoScrollPastEol) ? ClampToInt(qint64(m_maxScrollWidth) - m_columnsInView + 1)
                                                          : m_lines->LongestExpandedLength());
        break;
    default:
        break;
    }
    OnScroll(this, sbHorizontal);
}

void TCustomPlainEdit::VScroll(int code, int pos)
{
    const int page = m_options.contains(eoScrollByOneLess) ? m_visibleRows - 1 : m_visibleRows;
    switch (code) {
    case SB_LINEUP:
        SetTopRow(addClamped(m_topRow, -1));
        break;
    case SB_LINEDOWN:
        SetTopRow(addClamped(m_topRow, 1));
        break;
    case SB_PAGEUP:
        SetTopRow(addClamped(m_topRow, -qint64(page)));
        break;
    case SB_PAGEDOWN:
        SetTopRow(addClamped(m_topRow, page));
        break;
    case SB_TOP:
        SetTopRow(1);
        break;
    case SB_BOTTOM:
        SetTopRow(RowCount());
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        SetTopRow(RowCount() <= kScrollRange
                      ? pos
                      : plat::MulDiv(ClampToInt(qint64(RowCount()) + m_visibleRows - 1), pos, kScrollRange));
        if (m_options.contains(eoShowScrollHint))
            showScrollHint();
        break;
    case SB_ENDSCROLL:
        if (m_options.contains(eoShowScrollHint) && m_view)
            m_view->HideScrollHint();
        break;
    default:
        break;
    }
    if (m_view)
        m_view->Update();
    OnScroll(this, sbVertical);
}

QString TCustomPlainEdit::ScrollHintText() const
{
    QString text;
    if (m_scrollHintFormat == shfTopLineOnly) {
        text = QStringLiteral("Top Line: %1").arg(RowToLine(m_topRow));
    } else {
        const int bottom = ClampToInt(qint64(m_topRow) + std::min<qint64>(m_visibleRows, qint64(RowCount()) - m_topRow));
        text = QStringLiteral("%1 - %2").arg(RowToLine(m_topRow)).arg(RowToLine(bottom));
    }
    return text.left(255);
}

void TCustomPlainEdit::showScrollHint()
{
    if (!HandleAllocated())
        return;
    const QString text = ScrollHintText();
    const plat::TSize size = m_view->ScrollHintSize(text, kHintMaxWidth);
    int y = 10;
    if (m_options.contains(eoScrollHintFollows)) {
        const int s = m_view->VScrollArrowHeight();
        const TPlainScrollInfo& info = m_scrollInfo[sbVertical];
        const double track = info.Max > 0 ? double(m_view->ClientHeight() - 2 * s) * info.Pos / info.Max : 0;
        y = s + int(std::nearbyint(track)) + size.cy / 2;
    }
    m_view->ShowScrollHint(text, m_scrollHintColor, plat::TPoint{m_view->ClientWidth() - size.cx - 4, y});
}

void TCustomPlainEdit::MouseWheel(int delta, plat::TShiftState shift)
{
    if (ComponentState().contains(plat::csDesigning))
        return;
    int n = m_view ? m_view->WheelScrollLines() : 3;
    if (shift.contains(plat::ssCtrl))
        n = m_options.contains(eoHalfPageScroll) ? m_visibleRows >> 1 : m_visibleRows;
    const int a = m_wheelRemainder + qint16(delta);
    m_wheelRemainder = a % kWheelDelta;
    if (n == -1 || n > m_visibleRows)
        n = m_visibleRows;
    SetTopRow(addClamped(m_topRow, -qint64(a / kWheelDelta) * n));
    if (m_view)
        m_view->Update();
    OnScroll(this, sbVertical);
}

// ------------------------------------------------------------ caret shape

void TCustomPlainEdit::CreateCaretShape()
{
    const TPlainEditCaretType type = m_insertMode ? m_insertCaret : m_overwriteCaret;
    int width = m_cellWidth;
    int height = std::max(1, m_rowHeight - 2);
    switch (type) {
    case ctVerticalLine:
        width = 2;
        m_caretShapeOffset = plat::TPoint{-1, 0};
        break;
    case ctHorizontalLine:
        height = 2;
        m_caretShapeOffset = plat::TPoint{0, m_rowHeight - 2};
        break;
    case ctHalfBlock:
        height = std::max(1, (m_rowHeight - 2) / 2);
        m_caretShapeOffset = plat::TPoint{0, height};
        break;
    case ctBlock:
        m_caretShapeOffset = plat::TPoint{0, 0};
        break;
    }
    m_state.exclude(esCaretShown);
    if (m_view && m_view->Focused()) {
        m_view->CreateCaret(width, height);
        PositionCaret();
    }
}

void TCustomPlainEdit::PositionCaret()
{
    if (m_paintLockDepth > 0 || !(m_view && m_view->Focused())) {
        m_state.include(esCaretDirty);
        return;
    }
    m_state.exclude(esCaretDirty);
    TDisplayPos p = CaretDisplayPos();
    if (m_wordWrap && m_columnsInView > 0)
        p.Column = std::min(p.Column, m_columnsInView + 1);
    plat::TPoint pt = DisplayToPixel(p);
    pt.X = addClamped(pt.X, m_caretShapeOffset.X);
    pt.Y = addClamped(pt.Y, qint64(m_caretShapeOffset.Y) + 1);
    m_view->SetCaretPos(pt.X, pt.Y);
    if (pt.X >= m_gutterExtent && pt.X < m_view->ClientWidth() && pt.Y >= 0 && pt.Y < m_view->ClientHeight())
        ShowEditorCaret();
    else
        HideEditorCaret();
    m_view->SetCompositionPos(pt.X, pt.Y);
}

void TCustomPlainEdit::ShowEditorCaret()
{
    if (m_options.contains(eoNoCaret) || m_state.contains(esCaretShown) || !m_view)
        return;
    if (m_view->ShowCaret())
        m_state.include(esCaretShown);
}

void TCustomPlainEdit::HideEditorCaret()
{
    if (m_state.contains(esCaretShown) && m_view && m_view->HideCaret())
        m_state.exclude(esCaretShown);
}

// ------------------------------------------------------------ transient painting

void TCustomPlainEdit::DoOnPaintTransientEx(TTransientType Type, bool Lock)
{
    const auto fire = [this, Type] {
        if (!OnPaintTransient || !m_view)
            return;
        plat::TCanvas* canvas = m_paintCanvas ? m_paintCanvas : m_view->Canvas();
        if (!canvas)
            return;
        canvas->SetFont(*m_font);
        canvas->Brush().SetColor(m_color);
        HideEditorCaret();
        Finally show([this] { ShowEditorCaret(); });
        OnPaintTransient(this, canvas, Type);
    };
    if (!Lock) {
        if (m_transientDepth == 0)
            fire();
        return;
    }
    if (Type == ttBefore) {
        if (m_transientDepth == 0)
            fire();
        ++m_transientDepth;
    } else {
        if (m_transientDepth > 0)
            --m_transientDepth;
        if (m_transientDepth == 0)
            fire();
    }
}

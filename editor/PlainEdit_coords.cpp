// The editor model: coordinates, the caret, the selection, the update lock
// with status reporting, and invalidation.

#include "PlainEdit_p.h"

#include "Exceptions.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace pe;

namespace {
constexpr int kMaxInt = std::numeric_limits<int>::max();
}

// ------------------------------------------------------------ coordinates

TDisplayPos TCustomPlainEdit::BufferToDisplay(TBufferCoord p) const
{
    TDisplayPos result{p.Char, p.Line};
    if (p.Line >= 1 && p.Line <= m_lines->Count())
        result.Column = CharIndexToColumn(p.Char, m_tabWidth, m_lines->Line(p.Line - 1));
    if (m_wordWrap && p.Line >= 1)
        result = m_wordWrap->BufferToDisplay(TBufferCoord{result.Column, result.Row});
    return result;
}

TBufferCoord TCustomPlainEdit::DisplayToBuffer(TDisplayPos d) const
{
    TBufferCoord result{d.Column, d.Row};
    if (m_wordWrap && d.Row >= 1)
        result = m_wordWrap->DisplayToBuffer(d);
    if (result.Line < 1 || result.Line > m_lines->Count())
        return result;
    const QString& text = m_lines->Line(result.Line - 1);
    const qint64 column = result.Char;
    const int n = int(text.size());
    qint64 cells = 0;
    for (int i = 1; i <= n; ++i) {
        const QChar c = text.at(i - 1);
        qint64 width = 1;
        if (c == kTab)
            width = m_tabWidth - cells % m_tabWidth;
        else if (c.isLowSurrogate() && i > 1 && text.at(i - 2).isHighSurrogate())
            width = 0;
        if (cells + width >= column)
            return TBufferCoord{i, result.Line};
        cells += width;
    }
    result.Char = ClampToInt(n + (column - cells));
    return result;
}

int TCustomPlainEdit::RowCount() const
{
    if (!m_wordWrap)
        return m_lines->Count();
    return m_lines->Count() == 0 ? 0 : m_wordWrap->RowCount();
}

int TCustomPlainEdit::wrapRowLength(int row) const
{
    if (!m_wordWrap || row < 1 || row > RowCount())
        return 0;
    return m_wordWrap->RowLength(row);
}

int TCustomPlainEdit::LineToRow(int line) const
{
    if (!m_wordWrap)
        return line;
    return BufferToDisplay(TBufferCoord{1, line}).Row;
}

int TCustomPlainEdit::RowToLine(int row) const
{
    if (!m_wordWrap)
        return row;
    return DisplayToBuffer(TDisplayPos{1, row}).Line;
}

TDisplayPos TCustomPlainEdit::PixelToDisplay(int x, int y) const
{
    const qint64 column = std::div(qint64(x) - m_gutterExtent - 2, qint64(m_cellWidth)).quot + m_leftColumn;
    const qint64 row = std::div(qint64(y), qint64(m_rowHeight)).quot + m_topRow;
    return TDisplayPos{ClampToInt(std::max<qint64>(1, column)), ClampToInt(std::max<qint64>(1, row))};
}

TDisplayPos TCustomPlainEdit::PixelToDisplayRounded(int x, int y) const
{
    const qint64 bottom = qint64(m_visibleRows) * m_rowHeight;
    if (y >= bottom)
        y = ClampToInt(std::max<qint64>(0, bottom - 1));
    const float f = float(qint64(x) - m_gutterExtent - 2) / float(m_cellWidth);
    const qint64 column = qint64(std::nearbyint(f)) + m_leftColumn;
    const qint64 row = std::div(qint64(y), qint64(m_rowHeight)).quot + m_topRow;
    return TDisplayPos{ClampToInt(std::max<qint64>(1, column)), ClampToInt(std::max<qint64>(1, row))};
}

plat::TPoint TCustomPlainEdit::DisplayToPixel(TDisplayPos d) const
{
    return plat::TPoint{ClampToInt((qint64(d.Column) - 1) * m_cellWidth + m_textLeft),
                        ClampToInt((qint64(d.Row) - m_topRow) * m_rowHeight)};
}

void TCustomPlainEdit::MoveCaretToPixel(int x, int y)
{
    TDisplayPos d = PixelToDisplayRounded(x, y);
    d.Row = std::clamp(d.Row, 1, std::max(1, RowCount()));
    SetCaretDisplayPos(d);
}

// ------------------------------------------------------------ caret

void TCustomPlainEdit::MoveCaret(TBufferCoord pos) { PlaceCaret(pos, true); }

void TCustomPlainEdit::SetCaretColumn(int c) { MoveCaret(TBufferCoord{c, m_caretPos.Line}); }

void TCustomPlainEdit::SetCaretLine(int l) { MoveCaret(TBufferCoord{m_caretPos.Char, l}); }

void TCustomPlainEdit::PlaceCaret(TBufferCoord p, bool ensureVisible)
{
    m_caretAtRowEnd = false;
    if (HandleAllocated())
        DoOnPaintTransient(ttBefore);
    qint64 limit = m_wordWrap ? kMaxInt : qint64(m_maxScrollWidth) + 1;
    const bool pastEol = m_options.contains(eoScrollPastEol);
    if (p.Line > m_lines->Count())
        p.Line = m_lines->Count();
    if (p.Line < 1) {
        p.Line = 1;
        if (!pastEol)
            limit = 1;
    } else if (!pastEol) {
        limit = qint64(lineLength(p.Line)) + 1;
    }
    // Within its line the caret may always go, also on a line longer than
    // MaxScrollWidth; a replayed record goes wherever it was made.
    if (pastEol && !m_wordWrap && p.Line <= m_lines->Count())
        limit = std::max<qint64>(limit, qint64(lineLength(p.Line)) + 1);
    if (m_replaying)
        limit = kMaxInt;
    if (p.Char > limit && !(pastEol && m_options.contains(eoAutoSizeMaxScrollWidth)))
        p.Char = int(limit);
    if (p.Char < 1)
        p.Char = 1;
    // Never between the halves of a surrogate pair.
    if (IsTrailChar(lineText(p.Line), p.Char))
        ++p.Char;
    if (p == m_caretPos) {
        RememberCaretColumn();
    } else {
        UpdateLock lock(*this);
        if (p.Char != m_caretPos.Char) {
            m_caretPos.Char = p.Char;
            m_pendingStatus.include(scCaretX);
        }
        if (p.Line != m_caretPos.Line) {
            if (m_activeLineColor != plat::clNone) {
                InvalidateLine(p.Line);
                InvalidateLine(m_caretPos.Line);
            }
            m_caretPos.Line = p.Line;
            m_pendingStatus.include(scCaretY);
        }
        RememberCaretColumn();
        if (ensureVisible)
            EnsureCaretVisible();
        m_state.include(esCaretDirty);
        m_state.include(esScrollBarsDirty);
    }
    if (HandleAllocated())
        DoOnPaintTransient(ttAfter);
}

void TCustomPlainEdit::MoveCaretAndCollapse(TBufferCoord pos)
{
    UpdateLock lock(*this);
    m_pendingStatus.include(scSelection);
    PlaceCaret(pos, true);
    if (SelAvail())
        InvalidateSelection();
    m_selAnchor = m_caretPos;
    m_selHead = m_caretPos;
}

TDisplayPos TCustomPlainEdit::CaretDisplayPos() const
{
    TDisplayPos d = BufferToDisplay(m_caretPos);
    if (m_wordWrap && m_caretAtRowEnd) {
        if (d.Column == 1 && d.Row > 1)
            d = TDisplayPos{wrapRowLength(d.Row - 1) + 1, d.Row - 1};
        else
            m_caretAtRowEnd = false;
    }
    return d;
}

void TCustomPlainEdit::RememberCaretColumn()
{
    m_trailByteStep = false;
    m_lastCaretColumn = CaretDisplayColumn();
}

void TCustomPlainEdit::SetCaretDisplayPos(TDisplayPos d)
{
    {
        UpdateLock lock(*this);
        MoveCaret(DisplayToBuffer(d));
        m_caretAtRowEnd = m_wordWrap && d.Row >= 1 && d.Row <= RowCount() && d.Column > wrapRowLength(d.Row)
                          && BufferToDisplay(m_caretPos).Row != d.Row;
    }
    RememberCaretColumn();
}

// ------------------------------------------------------------ selection

TBufferCoord TCustomPlainEdit::limitSelEnd(TBufferCoord p) const
{
    p.Line = std::clamp(p.Line, 1, std::max(1, m_lines->Count()));
    if (!m_options.contains(eoScrollPastEol) || m_wordWrap || m_replaying)
        p.Char = std::max(1, p.Char);
    else
        p.Char = std::clamp(p.Char, 1, std::max(m_maxScrollWidth, lineLength(p.Line)) + 1);
    if (m_activeSelMode == smNormal) {
        const int limit = p.Line <= m_lines->Count() ? lineLength(p.Line) + 1 : 1;
        p.Char = std::min(p.Char, limit);
    }
    if (IsTrailChar(lineText(p.Line), p.Char))
        ++p.Char;
    return p;
}

void TCustomPlainEdit::SetSelAnchor(TBufferCoord p)
{
    SetActiveSelMode(m_selectionMode);
    p = limitSelEnd(p);
    const bool existed = SelAvail();
    const TBufferCoord oldAnchor = m_selAnchor;
    const TBufferCoord oldHead = m_selHead;
    m_selAnchor = p;
    m_selHead = p;
    if (existed)
        InvalidateLines(std::min({oldAnchor.Line, oldHead.Line, p.Line}),
                        std::max({oldAnchor.Line, oldHead.Line, p.Line}));
    if (existed || oldAnchor != p || oldHead != p)
        StatusChanged({scSelection});
}

void TCustomPlainEdit::SetSelHead(TBufferCoord p)
{
    SetActiveSelMode(m_selectionMode);
    if (m_options.contains(eoNoSelection))
        return;
    p = limitSelEnd(p);
    // An anchor left beyond a line's end by a collapsed selection is where
    // the line ends once a normal selection grows from it.
    if (m_activeSelMode == smNormal)
        m_selAnchor.Char = std::min(m_selAnchor.Char, lineLength(m_selAnchor.Line) + 1);
    if (p == m_selHead)
        return;
    if (IsTrailChar(lineText(p.Line), p.Char))
        --p.Char;
    if (p == m_selHead)
        return;
    const TBufferCoord oldHead = m_selHead;
    if (m_activeSelMode == smColumn && p.Char != oldHead.Char) {
        InvalidateLines(std::min({m_selAnchor.Line, oldHead.Line, p.Line}),
                        std::max({m_selAnchor.Line, oldHead.Line, p.Line}));
        m_selHead = p;
    } else {
        m_selHead = p;
        if (m_activeSelMode != smColumn || m_selAnchor.Char != p.Char)
            InvalidateLines(std::min(oldHead.Line, p.Line), std::max(oldHead.Line, p.Line));
    }
    StatusChanged({scSelection});
}

TBufferCoord TCustomPlainEdit::SelFirst() const { return std::min(m_selAnchor, m_selHead); }

TBufferCoord TCustomPlainEdit::SelLast() const { return std::max(m_selAnchor, m_selHead); }

bool TCustomPlainEdit::SelAvail() const
{
    return m_selAnchor.Char != m_selHead.Char || (m_selAnchor.Line != m_selHead.Line && m_activeSelMode != smColumn);
}

bool TCustomPlainEdit::PointInSelection(TBufferCoord p) const
{
    const TBufferCoord first = SelFirst();
    const TBufferCoord last = SelLast();
    if (p.Line < first.Line || p.Line > last.Line || first == last)
        return false;
    switch (m_activeSelMode) {
    case smLine:
        return true;
    case smColumn: {
        const int low = std::min(first.Char, last.Char);
        const int high = std::max(first.Char, last.Char);
        return low != high && p.Char >= low && p.Char < high;
    }
    case smNormal:
        break;
    }
    if (p.Line == first.Line && p.Char < first.Char)
        return false;
    if (p.Line < last.Line)
        return true;
    return p.Char < last.Char;
}

void TCustomPlainEdit::SetActiveSelMode(TPlainSelectionMode m)
{
    if (m_activeSelMode == m)
        return;
    if (SelAvail())
        InvalidateSelection();
    m_activeSelMode = m;
    if (m == smNormal) {
        // A normal selection ends within its lines, as its setters keep it.
        m_selAnchor.Char = std::min(m_selAnchor.Char, lineLength(m_selAnchor.Line) + 1);
        m_selHead.Char = std::min(m_selHead.Char, lineLength(m_selHead.Line) + 1);
    }
    if (SelAvail())
        InvalidateSelection();
    StatusChanged({scSelection});
}

void TCustomPlainEdit::SetCaretAndSel(TBufferCoord caret, TBufferCoord anchor, TBufferCoord head)
{
    const TPlainSelectionMode mode = m_activeSelMode;
    {
        Finally restore([this, mode] { SetActiveSelMode(mode); });
        UpdateLock lock(*this);
        MoveCaret(caret);
        SetSelAnchor(anchor);
        SetSelHead(head);
    }
}

void TCustomPlainEdit::SelectAll()
{
    const int count = m_lines->Count();
    const TBufferCoord last = count == 0 ? TBufferCoord{1, 1} : TBufferCoord{lineLength(count) + 1, count};
    SetCaretAndSel(last, TBufferCoord{1, 1}, last);
    StatusChanged({scSelection});
}

// ------------------------------------------------------------ update lock and status

void TCustomPlainEdit::EndUpdate()
{
    if (m_paintLockDepth <= 0)
        throw plat::EAssertionFailed(QStringLiteral("EndUpdate without BeginUpdate"));
    if (--m_paintLockDepth > 0 || !HandleAllocated())
        return;
    if (m_state.contains(esScrollBarsDirty))
        UpdateScrollBars();
    if (m_wordWrap && (m_pendingStatus.contains(scCaretX) || m_pendingStatus.contains(scCaretY))) {
        if (m_columnsInView > 0 && CaretDisplayColumn() > m_columnsInView + 1) {
            if (m_caretAtRowEnd) {
                m_caretAtRowEnd = false;
            } else if (m_pendingStatus.contains(scCaretY)) {
                m_caretPos.Char = DisplayToBuffer(TDisplayPos{m_columnsInView + 1, CaretDisplayRow()}).Char;
                m_pendingStatus.include(scCaretX);
                RememberCaretColumn();
            }
            m_state.include(esCaretDirty);
        }
    }
    if (m_state.contains(esCaretDirty))
        PositionCaret();
    if (!m_pendingStatus.empty())
        DoOnStatusChange(m_pendingStatus);
}

void TCustomPlainEdit::StatusChanged(TPlainStatusChanges changes)
{
    m_pendingStatus = m_pendingStatus + changes;
    if (m_paintLockDepth == 0)
        DoOnStatusChange(m_pendingStatus);
}

void TCustomPlainEdit::DoOnStatusChange(TPlainStatusChanges Changes)
{
    if (OnStatusChange) {
        OnStatusChange(this, Changes);
        m_pendingStatus = TPlainStatusChanges();
    }
}

// ------------------------------------------------------------ invalidation

void TCustomPlainEdit::InvalidateRect(const plat::TRect& rect, bool erase)
{
    (void)erase;
    if (!HandleAllocated() || !m_view->IsVisible() || rect.IsEmpty())
        return;
    if (m_state.contains(esLinesChanging)) {
        plat::TRect& p = m_pendingInvalidRect;
        if (p.IsEmpty())
            p = rect;
        else
            p = plat::TRect(std::min(p.Left, rect.Left), std::min(p.Top, rect.Top), std::max(p.Right, rect.Right),
                            std::max(p.Bottom, rect.Bottom));
        return;
    }
    m_view->InvalidateRect(rect);
}

void TCustomPlainEdit::Invalidate()
{
    if (HandleAllocated() && m_view->IsVisible())
        m_view->Invalidate();
}

plat::TRect TCustomPlainEdit::textRect() const
{
    return plat::TRect(m_gutterExtent, 0, m_view ? m_view->ClientWidth() : 0, m_view ? m_view->ClientHeight() : 0);
}

void TCustomPlainEdit::InvalidateLines(int first, int last)
{
    if (!HandleAllocated() || !m_view->IsVisible())
        return;
    if (first == -1 && last == -1) {
        InvalidateRect(textRect(), false);
        return;
    }
    first = std::max(first, 1);
    last = std::max(last, 1);
    if (last < first)
        std::swap(first, last);
    const int count = m_lines->Count();
    if (last >= count)
        last = kMaxInt;
    if (m_wordWrap) {
        first = LineToRow(first);
        if (last < count)
            last = LineToRow(last + 1) - 1;
    }
    const int top = m_topRow;
    const int bottom = ClampToInt(qint64(m_topRow) + m_visibleRows);
    first = std::max(first, top);
    last = std::min(last, bottom);
    if (last < first)
        return;
    const plat::TRect text = textRect();
    InvalidateRect(plat::TRect(text.Left, ClampToInt((qint64(first) - top) * m_rowHeight), text.Right,
                               ClampToInt((qint64(last) - top + 1) * m_rowHeight)),
                   false);
}

void TCustomPlainEdit::InvalidateGutterLines(int first, int last)
{
    if (!HandleAllocated() || !m_view->IsVisible())
        return;
    if (first == -1 && last == -1) {
        InvalidateRect(plat::TRect(0, 0, m_gutterExtent, m_view->ClientHeight()), false);
        return;
    }
    if (last < first)
        std::swap(first, last);
    if (m_wordWrap) {
        first = LineToRow(std::max(first, 1));
        last = last > m_lines->Count() ? kMaxInt : LineToRow(last + 1) - 1;
    }
    first = std::max(first, m_topRow);
    last = std::min(last, ClampToInt(qint64(m_topRow) + m_visibleRows));
    if (last < first)
        return;
    InvalidateRect(plat::TRect(0, ClampToInt((qint64(first) - m_topRow) * m_rowHeight), m_gutterExtent,
                               ClampToInt((qint64(last) - m_topRow + 1) * m_rowHeight)),
                   false);
}

void TCustomPlainEdit::InvalidateLine(int line)
{
    if (!HandleAllocated() || !m_view->IsVisible() || line < 1 || line > m_lines->Count())
        return;
    if (m_wordWrap) {
        InvalidateLines(line, line);
        return;
    }
    if (line >= m_topRow && line <= qint64(m_topRow) + m_visibleRows) {
        const plat::TRect text = textRect();
        const int y = ClampToInt((qint64(line) - m_topRow) * m_rowHeight);
        InvalidateRect(plat::TRect(text.Left, y, text.Right, y + m_rowHeight), false);
    }
}

void TCustomPlainEdit::InvalidateSelection() { InvalidateLines(SelFirst().Line, SelLast().Line); }

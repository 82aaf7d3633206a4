// The editor model: painting the gutter and the text rows on a canvas.
//
// Rows are painted in runs of equal colours (at most three text outputs per
// row without a highlighter), each opaque over its whole rectangle, so every
// pixel of the clip is covered once and nothing needs erasing first. Only the
// rows and columns the clip touches are looked at, so the cost of a paint
// does not grow with the length of the text or of a line.

#include "PlainEdit_p.h"

#include "PlainEditHighlighter.h"
#include "PlainEditMiscProcs.h"
#include "PlainTextDrawer.h"

#include "Canvas.h"

#include <algorithm>

using namespace pe;

namespace {

// The signs of blanks, tabs and line ends (code page 1250 0xB7, 0xBB, 0xB6).
constexpr QChar kBlankSign = QChar(0x00B7);
constexpr QChar kTabSign = QChar(0x00BB);
constexpr QChar kLineEndSign = QChar(0x00B6);

// The cells of columns c0 .. c1 - 1 (1-based) of a line with its tabs
// expanded: each tab cell is a tab character, as in the expanded text.
// Walks the line only as far as c1 and only when it has tabs.
QString expandedCells(const QString& text, bool hasTabs, int tabWidth, qint64 c0, qint64 c1)
{
    if (c1 <= c0)
        return {};
    if (!hasTabs)
        return c0 > text.size() ? QString() : text.mid(qsizetype(c0 - 1), qsizetype(c1 - c0));
    QString out;
    out.reserve(qsizetype(std::min<qint64>(c1 - c0, text.size() * qint64(std::max(1, tabWidth)))));
    const int tw = std::max(1, tabWidth);
    qint64 column = 1;
    for (QChar ch : text) {
        if (column >= c1)
            break;
        if (ch == kTab) {
            const qint64 span = tw - (column - 1) % tw;
            for (qint64 k = 0; k < span; ++k, ++column) {
                if (column >= c0 && column < c1)
                    out += kTab;
            }
        } else {
            if (column >= c0)
                out += ch;
            ++column;
        }
    }
    return out;
}

} // namespace

// A stretch of a row in one set of colours and one style.
struct TCustomPlainEdit::PaintRun {
    int first = 0; // display columns, last exclusive
    int last = 0;
    plat::TColor fg = plat::clNone;
    plat::TColor bg = plat::clNone;
    plat::TFontStyles style;
};
using Run = TCustomPlainEdit::PaintRun;

plat::TColor TCustomPlainEdit::editorBackground(bool caretLine) const
{
    if (caretLine && m_activeLineColor != plat::clNone)
        return m_activeLineColor;
    if (m_highlighter && m_highlighter->Enabled()) {
        if (TPlainTokenAttributes* ws = m_highlighter->DefaultAttribute(kPlainAttrWhitespace);
            ws && ws->Background() != plat::clNone)
            return ws->Background();
    }
    return m_color;
}

void TCustomPlainEdit::Paint(plat::TCanvas& Canvas)
{
    const plat::TRect clip = Canvas.ClipRect();
    if (clip.IsEmpty())
        return;
    const int cw = std::max(1, m_cellWidth);
    const int rh = std::max(1, m_rowHeight);
    const int textStart = m_gutterExtent + 2;
    int firstCol = m_leftColumn;
    if (clip.Left > textStart)
        firstCol = addClamped(m_leftColumn, (clip.Left - textStart) / cw);
    const int lastCol = addClamped(m_leftColumn, (qint64(clip.Right) - textStart + cw - 1) / cw);
    const int firstRow = addClamped(m_topRow, std::max(0, clip.Top) / rh);
    const int lastRow = std::clamp(addClamped(m_topRow, (qint64(clip.Bottom) + rh - 1) / rh), 1, std::max(1, RowCount()));

    plat::TCanvas* old = m_paintCanvas;
    const bool glyphText = Canvas.GlyphText();
    m_paintCanvas = &Canvas;
    // Glyphs from the font's cache rather than outlines: a full window of
    // text is thousands of characters.
    Canvas.SetGlyphText(true);
    Finally restore([this, old, &Canvas, glyphText] {
        m_paintCanvas = old;
        Canvas.SetGlyphText(glyphText);
    });
    // The window draws the caret over the painting, so it need not be hidden here.
    if (clip.Left < m_gutterExtent)
        PaintGutter(plat::TRect(clip.Left, clip.Top, m_gutterExtent, clip.Bottom), firstRow, lastRow);
    if (clip.Right > m_gutterExtent)
        PaintTextLines(plat::TRect(std::max(clip.Left, m_gutterExtent), clip.Top, clip.Right, clip.Bottom), firstRow,
                       lastRow, firstCol, lastCol);
    DoOnPaint();
    DoOnPaintTransient(ttAfter);
}

void TCustomPlainEdit::DoOnPaint()
{
    if (!OnPaint || !m_paintCanvas)
        return;
    m_paintCanvas->SetFont(*m_font);
    m_paintCanvas->Brush().SetColor(m_color);
    OnPaint(this, m_paintCanvas);
}

// ------------------------------------------------------------ gutter

void TCustomPlainEdit::PaintGutter(const plat::TRect& AClip, int FirstRow, int LastRow)
{
    plat::TCanvas* canvas = m_paintCanvas;
    if (!canvas)
        return;
    const int rh = std::max(1, m_rowHeight);
    const int rows = RowCount();
    const int firstLine = RowToLine(FirstRow);
    const int lastLine = std::min(RowToLine(LastRow), m_lines->Count());
    const bool gradient = m_gutter->Gradient();
    const int clientHeight = m_view ? m_view->ClientHeight() : AClip.Bottom;
    if (gradient)
        FillGradient(*canvas, m_gutter->GradientStartColor(), m_gutter->GradientEndColor(), true,
                     plat::TRect(0, 0, m_gutterExtent, clientHeight), m_gutter->GradientSteps());
    canvas->Brush().SetColor(m_gutter->Color());

    if (m_gutter->ShowLineNumbers()) {
        const bool ownFont = m_gutter->UseFontStyle();
        if (ownFont)
            m_textDrawer->SetBaseFont(m_gutter->Font());
        else
            m_textDrawer->SetStyle({});
        m_textDrawer->BeginDrawing(canvas);
        Finally end([this, ownFont] {
            m_textDrawer->EndDrawing();
            if (ownFont)
                m_textDrawer->SetBaseFont(m_font.get());
        });
        m_textDrawer->SetForeColor(ownFont ? m_gutter->Font()->Color() : m_font->Color());
        m_textDrawer->SetBackColor(m_gutter->Color());
        if (gradient)
            canvas->SetBkMode(plat::TRANSPARENT);
        plat::TRect rc(AClip.Left, AClip.Top, std::max(AClip.Right, m_gutterExtent - 2), AClip.Top);
        for (int line = std::max(1, firstLine); line <= lastLine; ++line) {
            const int y = ClampToInt((qint64(LineToRow(line)) - m_topRow) * rh);
            if (m_wordWrap && !gradient && y > rc.Bottom)
                canvas->FillRect(plat::TRect(rc.Left, rc.Bottom, rc.Right, y));
            rc.Top = y;
            rc.Bottom = y + rh;
            QString s = m_gutter->FormatLineNumber(line);
            OnGutterGetText(this, line, s);
            const int x = m_gutterExtent - m_gutter->RightOffset() - canvas->TextWidth(s) - 2;
            const int ty = y + (rh - canvas->TextHeight(s)) / 2;
            canvas->ExtTextOut(x, ty, gradient ? 0 : plat::ETO_OPAQUE, &rc, s);
        }
        if (!gradient && rc.Bottom < AClip.Bottom)
            canvas->FillRect(plat::TRect(AClip.Left, std::max(rc.Bottom, AClip.Top), AClip.Right, AClip.Bottom));
    } else if (!gradient) {
        canvas->FillRect(AClip);
    }

    if (m_wordWrap && m_wordWrapGlyph->Visible()) {
        const int x = m_gutterExtent - m_gutter->RightOffset() - 2 - m_wordWrapGlyph->GlyphWidth();
        for (int row = FirstRow; row <= std::min(LastRow, rows); ++row) {
            if (LineToRow(RowToLine(row)) != row)
                m_wordWrapGlyph->DrawGlyph(*canvas, x, ClampToInt((qint64(row) - m_topRow) * rh), rh);
        }
    }

    if (m_gutter->BorderStyle() != gbsNone && AClip.Right >= m_gutterExtent - 2) {
        canvas->Pen().SetColor(m_gutter->BorderColor());
        canvas->Pen().SetWidth(1);
        if (m_gutter->BorderStyle() == gbsMiddle) {
            canvas->MoveTo(m_gutterExtent - 2, AClip.Top);
            canvas->LineTo(m_gutterExtent - 2, AClip.Bottom);
            canvas->Pen().SetColor(m_gutter->Color());
        }
        canvas->MoveTo(m_gutterExtent - 1, AClip.Top);
        canvas->LineTo(m_gutterExtent - 1, AClip.Bottom);
    }

    paintMarks(firstLine, lastLine);
}

void TCustomPlainEdit::paintMarks(int firstLine, int lastLine)
{
    plat::TCanvas* canvas = m_paintCanvas;
    if (firstLine > lastLine)
        return;
    const int rh = std::max(1, m_rowHeight);
    std::vector<int> offsets(size_t(lastLine - firstLine + 1), 0);
    if (m_bookMarkOptions->GlyphsVisible() && m_markList->Count() > 0) {
        TPlainImageList* images = m_bookMarkOptions->BookmarkImages();
        const bool bookmarksFirst = m_bookMarkOptions->DrawBookmarksFirst();
        const int left = m_bookMarkOptions->LeftMargin();
        const int step = m_bookMarkOptions->Xoffset();
        const auto drawMark = [&](TPlainEditMark* mark, bool firstKind) {
            int& offset = offsets[size_t(mark->MarkLine() - firstLine)];
            const int y = ClampToInt((qint64(LineToRow(mark->MarkLine())) - m_topRow) * rh);
            if (images && !mark->UseInternalImage()) {
                if (mark->ImageIndex() < 0 || mark->ImageIndex() >= images->Count())
                    return;
                if (firstKind)
                    offset = 0;
                else if (offset == 0)
                    offset = step;
                images->Draw(*canvas, left + offset, y, mark->ImageIndex());
            } else {
                if (mark->ImageIndex() < 0 || mark->ImageIndex() > 9)
                    return;
                if (offset == 0) {
                    if (!m_internalImage)
                        m_internalImage = std::make_unique<TPlainInternalImage>(10, QStringLiteral("PlainEditInternalImages"));
                    m_internalImage->DrawImage(*canvas, mark->ImageIndex(), left + offset, y, rh);
                }
            }
            offset += step;
        };
        bool otherKindMet = false;
        for (int pass = 0; pass < 2; ++pass) {
            for (int i = 0; i < m_markList->Count(); ++i) {
                TPlainEditMark* mark = m_markList->Items(i);
                if (!mark->Visible() || mark->MarkLine() < firstLine || mark->MarkLine() > lastLine)
                    continue;
                const bool firstKind = mark->IsBookmark() == bookmarksFirst;
                if (pass == 0 && firstKind)
                    drawMark(mark, true);
                else if (pass == 0)
                    otherKindMet = true;
                else if (!firstKind)
                    drawMark(mark, false);
            }
            if (!otherKindMet)
                break;
        }
    }
    if (OnGutterPaint) {
        for (int line = firstLine; line <= lastLine; ++line)
            OnGutterPaint(this, line, offsets[size_t(line - firstLine)],
                          ClampToInt((qint64(LineToRow(line)) - m_topRow) * rh));
    }
}

// ------------------------------------------------------------ text rows

// What one paint of text rows shares.
struct TCustomPlainEdit::RowPainter {
    RowPainter(TCustomPlainEdit& editor, plat::TCanvas& c, const plat::TRect& r, int first, int last)
        : e(editor), canvas(c), rect(r), firstCol(first), lastCol(last)
    {
    }
    TCustomPlainEdit& e;
    plat::TCanvas& canvas;
    plat::TRect rect; // the text part of the clip
    int firstCol, lastCol;
    bool edge = false;
    int edgeX = 0;
    bool selection = false;
    TDisplayPos selStart, selEnd;
    // The row being painted.
    QString cells; // display columns firstCol .. firstCol + size - 1
    int top = 0;
    qint64 rowStartExpanded = 1; // expanded column of display column 1

    int xOf(int column) const
    {
        return ClampToInt((qint64(column) - 1) * e.m_cellWidth + e.m_textLeft);
    }

    // Columns first .. last - 1 of the row, opaque over their rectangle.
    void part(int first, int last, plat::TColor fg, plat::TColor bg)
    {
        plat::TRect rc(std::max(rect.Left, xOf(first)), top, std::min(rect.Right, xOf(last)), top + e.m_rowHeight);
        if (last < first || rc.IsEmpty())
            return;
        const int from = first - firstCol;
        const int to = std::min<int>(last - firstCol, int(cells.size()));
        QString text = from < to ? cells.mid(from, to - from) : QString();
        bool tabs = false;
        const bool special = e.m_showSpecialChars;
        for (QChar& ch : text) {
            if (ch == kTab) {
                ch = kBlank;
                tabs = true;
            } else if (special && ch == kBlank) {
                ch = kBlankSign;
            }
        }
        TheTextDrawer& drawer = *e.m_textDrawer;
        drawer.SetForeColor(fg);
        drawer.SetBackColor(bg);
        drawer.ExtTextOut(xOf(first), top, plat::ETO_OPAQUE, &rc, text, int(text.size()));
        if (tabs && special)
            tabSigns(from, to, rc);
    }

    // One "»" in the middle of every tab span of the part.
    void tabSigns(int from, int to, const plat::TRect& rc)
    {
        const int tw = std::max(1, e.m_tabWidth);
        const int cw = e.m_cellWidth;
        for (int i = from; i < to;) {
            if (cells.at(i) != kTab) {
                ++i;
                continue;
            }
            const qint64 expanded = rowStartExpanded + (firstCol + i) - 1;
            const int n = int(tw - (expanded - 1) % tw);
            const int column = firstCol + i;
            const int x = xOf(column + n / 2 - 1) + (n % 2 ? cw : cw / 2);
            plat::TRect sign(std::max(x, rc.Left), rc.Top, std::min(x + cw, rc.Right), rc.Bottom);
            if (!sign.IsEmpty())
                e.m_textDrawer->ExtTextOut(x, top, plat::ETO_OPAQUE | plat::ETO_CLIPPED, &sign, QString(kTabSign), 1);
            i += n;
        }
    }

    void edgeLine(int y0, int y1)
    {
        if (!edge)
            return;
        canvas.Pen().SetColor(e.m_rightEdgeColor);
        canvas.Pen().SetWidth(1);
        canvas.MoveTo(edgeX, y0);
        canvas.LineTo(edgeX, y1);
    }
};

void TCustomPlainEdit::PaintTextLines(const plat::TRect& AClip, int FirstRow, int LastRow, int FirstCol, int LastCol)
{
    plat::TCanvas* canvas = m_paintCanvas;
    if (!canvas)
        return;
    RowPainter p(*this, *canvas, AClip, FirstCol, LastCol);
    if (m_rightEdge > 0) {
        p.edgeX = ClampToInt(qint64(m_textLeft) + qint64(m_rightEdge) * m_cellWidth);
        p.edge = p.edgeX >= AClip.Left && p.edgeX < AClip.Right;
    }
    if (p.rect.Left < m_gutterExtent + 2) {
        canvas->Brush().SetColor(editorBackground(false));
        canvas->FillRect(plat::TRect(std::max(p.rect.Left, m_gutterExtent), p.rect.Top, m_gutterExtent + 2, p.rect.Bottom));
        p.rect.Left = m_gutterExtent + 2;
    }
    const int rows = RowCount();
    const int lastRow = std::min(LastRow, rows);
    if (FirstRow <= lastRow && p.rect.Left < p.rect.Right) {
        const bool hidden = m_hideSelection && !(m_view && m_view->Focused());
        if (!hidden && SelAvail()) {
            p.selStart = BufferToDisplay(SelFirst());
            p.selEnd = BufferToDisplay(SelLast());
            p.selection = p.selEnd.Row >= FirstRow && p.selStart.Row <= lastRow;
            if (m_activeSelMode == smColumn && p.selEnd.Column < p.selStart.Column)
                std::swap(p.selStart.Column, p.selEnd.Column);
        }
        m_textDrawer->SetStyle(m_font->Style());
        m_textDrawer->BeginDrawing(canvas);
        Finally end([this] { m_textDrawer->EndDrawing(); });
        for (int row = FirstRow; row <= lastRow;) {
            const int line = RowToLine(row);
            row = paintLine(p, line, row, lastRow);
        }
    }
    const int below = ClampToInt((qint64(std::max(lastRow, FirstRow - 1)) - m_topRow + 1) * m_rowHeight);
    if (below < AClip.Bottom) {
        const int y = std::max(below, AClip.Top);
        canvas->Brush().SetColor(editorBackground(false));
        canvas->FillRect(plat::TRect(p.rect.Left, y, AClip.Right, AClip.Bottom));
        p.edgeLine(y, AClip.Bottom);
    }
}

int TCustomPlainEdit::paintLine(RowPainter& p, int line, int row, int lastRow)
{
    const bool caretLine = line == m_caretPos.Line;
    const plat::TColor background = editorBackground(caretLine);
    plat::TColor fg = m_font->Color();
    plat::TColor bg = background;
    plat::TColor selFg = m_selectedColor->Foreground();
    plat::TColor selBg = m_selectedColor->Background();
    plat::TColor specialFg = fg, specialBg = bg;
    const bool special = DoOnSpecialLineColors(line, specialFg, specialBg);
    if (special) {
        fg = specialFg;
        bg = specialBg;
        if (m_options.contains(eoSpecialLineDefaultFg))
            fg = m_font->Color();
        selFg = bg;
        selBg = fg;
    }
    const int index = line - 1;
    const QString& text = m_lines->Line(index);
    const qint64 lineCells = m_lines->ExpandedLength(index);
    const bool hasTabs = m_lines->FlagsOf(index) & sfTabsPresent;
    const bool highlight = m_highlighter && m_highlighter->Enabled();
    const int lineLastRow = m_wordWrap ? LineToRow(line + 1) - 1 : row;

    for (; row <= std::min(lastRow, lineLastRow); ++row) {
        // The row's expanded columns: all of the line without word wrap.
        qint64 rowStart = 1;
        qint64 rowEnd = lineCells + 1; // exclusive
        if (m_wordWrap) {
            rowStart = m_wordWrap->DisplayToBuffer(TDisplayPos{1, row}).Char;
            if (row < lineLastRow)
                rowEnd = rowStart + m_wordWrap->RowLength(row);
        }
        p.rowStartExpanded = rowStart;
        p.top = ClampToInt((qint64(row) - m_topRow) * m_rowHeight);
        const qint64 c0 = rowStart + p.firstCol - 1;
        const qint64 c1 = std::min(rowEnd, rowStart + p.lastCol - 1);
        p.cells = expandedCells(text, hasTabs, m_tabWidth, c0, c1);
        if (m_showSpecialChars && row == lineLastRow) {
            const qint64 endColumn = lineCells + 1 - rowStart + 1; // display column after the text
            if (endColumn >= p.firstCol && endColumn < p.lastCol && p.cells.size() == endColumn - p.firstCol)
                p.cells += kLineEndSign;
        }

        // The row's selected columns.
        int selFrom = 0, selTo = 0;
        bool mixed = false, selected = false;
        if (p.selection && row >= p.selStart.Row && row <= p.selEnd.Row) {
            selFrom = p.firstCol;
            selTo = p.lastCol + 1;
            bool none = false;
            const bool column = m_activeSelMode == smColumn;
            if (column || (m_activeSelMode == smNormal && row == p.selStart.Row)) {
                if (p.selStart.Column > p.lastCol)
                    none = true;
                else if (p.selStart.Column > p.firstCol) {
                    selFrom = p.selStart.Column;
                    mixed = true;
                }
            }
            if (column || (m_activeSelMode == smNormal && row == p.selEnd.Row)) {
                if (p.selEnd.Column < p.firstCol)
                    none = true;
                else if (p.selEnd.Column < p.lastCol) {
                    selTo = p.selEnd.Column;
                    mixed = true;
                }
            }
            if (none)
                mixed = false;
            else
                selected = !mixed;
        }

        // The row in runs of equal colours.
        std::vector<Run> runs;
        if (!highlight) {
            runs.push_back(Run{p.firstCol, p.lastCol, fg, bg, m_font->Style()});
        } else {
            highlightRuns(runs, line, text, rowStart, p.firstCol, int(std::min<qint64>(p.lastCol, rowEnd - rowStart + 1)),
                          special ? fg : plat::clNone, bg);
            const int end = runs.empty() ? p.firstCol : runs.back().last;
            if (end < p.lastCol)
                runs.push_back(Run{end, p.lastCol, fg, bg, m_font->Style()});
        }
        const auto paintRun = [&](const Run& r, int from, int to, bool sel) {
            if (highlight)
                m_textDrawer->SetStyle(r.style);
            p.part(from, to, sel ? selFg : r.fg, sel ? selBg : r.bg);
        };
        for (const Run& r : runs) {
            if (selected) {
                paintRun(r, r.first, r.last, true);
            } else if (!mixed) {
                paintRun(r, r.first, r.last, false);
            } else {
                // Normal parts first: the selected part then covers a glyph
                // that an earlier part drew beyond its cells.
                if (r.first < selFrom)
                    paintRun(r, r.first, std::min(r.last, selFrom), false);
                if (r.last > selTo)
                    paintRun(r, std::max(r.first, selTo), r.last, false);
            }
        }
        if (mixed) {
            for (const Run& r : runs) {
                const int from = std::max(r.first, selFrom), to = std::min(r.last, selTo);
                if (from < to)
                    paintRun(r, from, to, true);
            }
        }
        if (highlight)
            m_textDrawer->SetStyle(m_font->Style());
        p.edgeLine(p.top, p.top + m_rowHeight + 1);
    }
    return row;
}

void TCustomPlainEdit::highlightRuns(std::vector<Run>& runs, int line, const QString& text, qint64 rowStart,
                                     int firstCol, int lastCol, plat::TColor specialFg, plat::TColor bg)
{
    TPlainCustomHighlighter& h = *m_highlighter;
    if (line <= 1)
        h.ResetRangeState();
    else
        h.SetRangeState(m_lines->RangeOf(line - 2));
    h.StartLine(text, line - 1);
    const bool special = specialFg != plat::clNone;
    while (!h.AtLineEnd()) {
        const int start = h.TokenStart(); // 0-based character
        const QString token = h.TokenText();
        TPlainTokenAttributes* attr = h.TokenAttribute();
        // The token's display columns in this row.
        const qint64 from = CharIndexToColumn(start + 1, m_tabWidth, text) - rowStart + 1;
        const qint64 to = CharIndexToColumn(start + int(token.size()) + 1, m_tabWidth, text) - rowStart + 1;
        if (from >= lastCol)
            break;
        if (to > firstCol && to > from) {
            Run r;
            r.first = int(std::max<qint64>(from, firstCol));
            r.last = int(std::min<qint64>(to, lastCol));
            r.fg = special ? specialFg : attr && attr->Foreground() != plat::clNone ? attr->Foreground() : m_font->Color();
            r.bg = special ? bg : attr && attr->Background() != plat::clNone ? attr->Background() : bg;
            r.style = attr ? attr->Style() : m_font->Style();
            const bool blank = std::all_of(token.begin(), token.end(), [](QChar c) { return c == kBlank || c == kTab; });
            if (!runs.empty() && runs.back().last == r.first && runs.back().bg == r.bg &&
                (blank || (runs.back().fg == r.fg && runs.back().style == r.style)))
                runs.back().last = r.last;
            else
                runs.push_back(r);
        }
        h.NextToken();
    }
}

#include "PlainEdit.h"

#include "Application.h"
#include "Canvas.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "PlainEditMiscProcs.h"

#include <QApplication>
#include <QDrag>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace {

// The in-process drag type: the address of the source memo, so a drop into
// the same program moves or copies the block through the model.
const QString kDragMime = QStringLiteral("application/x-sorvamet-plainedit");

void toPlatFont(const QFont& from, plat::TFont& to)
{
    to.SetName(from.family());
    if (from.pixelSize() > 0)
        to.SetHeight(-from.pixelSize());
    else
        to.SetSize(qMax(1, qRound(from.pointSizeF())));
    plat::TFontStyles style;
    if (from.bold())
        style.include(plat::fsBold);
    if (from.italic())
        style.include(plat::fsItalic);
    to.SetStyle(style);
}

plat::TShiftState shiftOf(const QInputEvent* e, Qt::MouseButtons buttons = {}, bool dbl = false)
{
    return plat::ShiftStateFromQt(e->modifiers(), buttons, dbl);
}

plat::TMouseButton buttonOf(Qt::MouseButton b)
{
    return b == Qt::RightButton ? plat::mbRight : b == Qt::MiddleButton ? plat::mbMiddle : plat::mbLeft;
}

TPlainMemo* dragSource(const QMimeData* mime)
{
    if (!mime || !mime->hasFormat(kDragMime))
        return nullptr;
    const quintptr address = mime->data(kDragMime).toULongLong();
    for (QWidget* w : QApplication::allWidgets())
        if (quintptr(w) == address)
            return dynamic_cast<TPlainMemo*>(w);
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------- lines

int TPlainMemoLines::Count() const { return m_memo.m_edit->Lines()->Count(); }

QString TPlainMemoLines::Strings(int index) const
{
    if (index < 0 || index >= Count())
        throw plat::EStringListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_memo.m_edit->Lines()->Strings(index);
}

void TPlainMemoLines::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw plat::EStringListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    m_memo.m_edit->Lines()->Delete(index);
}

void TPlainMemoLines::Clear() { m_memo.m_edit->Lines()->Clear(); }
QString TPlainMemoLines::Text() const { return m_memo.m_edit->Lines()->Text(); }
void TPlainMemoLines::SetText(const QString& text) { m_memo.m_edit->Lines()->SetText(text); }

// ---------------------------------------------------------------- the window

TPlainMemo::TPlainMemo(QWidget* parent)
    : QAbstractScrollArea(parent), m_edit(std::make_unique<TPlainEdit>())
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_gutterFont = font();
    m_blink = new QTimer(this);
    m_blink->setInterval(std::max(100, QApplication::cursorFlashTime() / 2));
    connect(m_blink, &QTimer::timeout, this, [this] {
        m_caretOn = !m_caretOn;
        viewport()->update(m_caretRect);
    });
    m_scrollTimer = new QTimer(this);
    connect(m_scrollTimer, &QTimer::timeout, this, [this] { guarded([&] { m_edit->ScrollTimerTick(); }); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (!m_settingScroll)
            guarded([&] { m_edit->VScroll(SB_THUMBPOSITION, v); });
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (!m_settingScroll)
            guarded([&] { m_edit->HScroll(SB_THUMBPOSITION, v); });
    });
    fontToModel();
    m_edit->SetView(this);
    m_edit->Resized();
}

TPlainMemo::~TPlainMemo() { m_edit->SetView(nullptr); }

template <class F>
void TPlainMemo::guarded(F&& f)
{
    plat::Application().Guard(std::forward<F>(f));
}

void TPlainMemo::fontToModel()
{
    plat::TFont textFont;
    toPlatFont(font(), textFont);
    m_edit->SetFont(&textFont);
    plat::TFont gutterFont;
    toPlatFont(m_gutterFont, gutterFont);
    m_edit->Gutter()->SetFont(&gutterFont);
}

QString TPlainMemo::Text() const { return m_edit->Text(); }
void TPlainMemo::SetText(const QString& text)
{
    guarded([&] { m_edit->SetText(text); });
}
void TPlainMemo::Clear()
{
    guarded([&] { m_edit->ClearAll(); });
}

void TPlainMemo::KeepLines(const std::function<bool(const QString&)>& keep)
{
    TPlainEditStringList& lines = *m_edit->Lines();
    QStringList kept;
    kept.reserve(lines.Count());
    for (int i = 0; i < lines.Count(); ++i)
        if (keep(lines.Strings(i)))
            kept << lines.Strings(i);
    if (kept.size() == lines.Count())
        return;
    // Replacing the whole text clears the undo and redo lists with it.
    m_edit->BeginUpdate();
    struct End {
        TPlainEdit& e;
        ~End() { e.EndUpdate(); }
    } end{*m_edit};
    lines.Clear();
    for (const QString& s : kept)
        lines.Add(s);
    m_edit->UndoList()->Clear();
    m_edit->RedoList()->Clear();
}

void TPlainMemo::SetOptions(TPlainEditorOptions options)
{
    guarded([&] { m_edit->SetOptions(options); });
}
void TPlainMemo::SetTabWidth(int width)
{
    guarded([&] { m_edit->SetTabWidth(width); });
}
void TPlainMemo::SetGutterFont(const QFont& f)
{
    m_gutterFont = f;
    guarded([&] { fontToModel(); });
}
bool TPlainMemo::ShowLineNumbers() const { return m_edit->Gutter()->ShowLineNumbers(); }
void TPlainMemo::SetShowLineNumbers(bool on)
{
    guarded([&] { m_edit->Gutter()->SetShowLineNumbers(on); });
}
int TPlainMemo::GutterWidth() const { return m_edit->GutterExtent(); }
QWidget* TPlainMemo::Editor() const { return const_cast<TPlainMemo*>(this); }

// ---------------------------------------------------------------- painting

QImage TPlainMemo::Render()
{
    QImage image(viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintRows(painter, image.rect(), false);
    return image;
}

void TPlainMemo::PaintArea(QPainter& painter, const QRect& rect) { paintRows(painter, rect, false); }

void TPlainMemo::paintRows(QPainter& painter, const QRect& clip, bool withCaret)
{
    TPlainEdit& e = *m_edit;
    painter.save();
    painter.setClipRect(clip);
    plat::TCanvas canvas;
    canvas.SetPainter(&painter);
    const int cw = std::max(1, e.CellWidth());
    const int rh = std::max(1, e.RowHeight());
    const int gutter = e.GutterExtent();
    const int textX = gutter + 2;
    const int width = viewport()->width();
    const int firstRow = e.TopRow() + std::max(0, clip.top()) / rh;
    const int lastRow = e.TopRow() + std::max(0, clip.bottom()) / rh;
    const plat::TColor bg = e.Color();
    const plat::TColor fg = e.Font()->Color();
    const plat::TColor selBg = e.SelectedColor()->Background();
    const plat::TColor selFg = e.SelectedColor()->Foreground();
    const bool special = e.ShowSpecialChars();
    const bool selVisible = e.SelAvail() && (hasFocus() || !e.HideSelection());
    const TBufferCoord selFirst = e.SelFirst();
    const TBufferCoord selLast = e.SelLast();
    const int rowCount = e.RowCount();
    const int firstCol = e.LeftColumn();
    const int cols = (width - textX) / cw + 2;

    // The gutter.
    if (gutter > 0 && clip.left() < gutter) {
        canvas.Brush().SetColor(e.Gutter()->Color());
        canvas.FillRect(plat::TRect(0, clip.top(), gutter, clip.bottom() + 1));
        if (e.Gutter()->ShowLineNumbers()) {
            canvas.SetFont(*e.Gutter()->Font());
            canvas.SetBkMode(plat::TRANSPARENT);
            for (int row = firstRow; row <= std::min(lastRow, rowCount); ++row) {
                const int line = e.RowToLine(row);
                if (e.LineToRow(line) != row)
                    continue; // a continued wrapped line has no number
                const QString number = e.Gutter()->FormatLineNumber(line);
                const int y = (row - e.TopRow()) * rh;
                const int w = canvas.TextWidth(number);
                canvas.TextOut(gutter - e.Gutter()->RightOffset() - w, y + (rh - canvas.TextHeight(number)) / 2,
                               number);
            }
        }
    }

    // The text.
    canvas.SetFont(*e.Font());
    std::vector<int> dx;
    for (int row = firstRow; row <= lastRow; ++row) {
        const int y = (row - e.TopRow()) * rh;
        canvas.Brush().SetColor(bg);
        canvas.FillRect(plat::TRect(std::max(gutter, clip.left()), y, width, y + rh));
        if (row > rowCount)
            continue;
        const int line = e.RowToLine(row);
        const QString text = e.Lines()->Strings(line - 1);
        const int rowStart = e.DisplayToBuffer(TDisplayPos{1, row}).Char;
        const int nextStart = row < rowCount && e.RowToLine(row + 1) == line
                                  ? e.DisplayToBuffer(TDisplayPos{1, row + 1}).Char
                                  : int(text.size()) + 1;
        // The row's cells: display column -> character (1-based) or 0 past the end.
        QString cells;
        std::vector<int> charOf;
        int column = 1;
        for (int c = rowStart; c < nextStart && c <= text.size(); ++c) {
            const QChar ch = text.at(c - 1);
            if (ch == u'\t') {
                const int tw = std::max(1, e.TabWidth());
                const int span = tw - (column - 1) % tw;
                for (int k = 0; k < span; ++k) {
                    cells += special && k == 0 ? QChar(0xBB) : QChar(u' ');
                    charOf.push_back(c);
                }
                column += span;
            } else {
                cells += special && ch == u' ' ? QChar(0xB7) : ch;
                charOf.push_back(c);
                ++column;
            }
        }
        const bool lastRowOfLine = nextStart > text.size();
        const int eolColumn = int(cells.size()) + 1;
        if (special && lastRowOfLine && line < e.LineCount()) {
            cells += QChar(0xB6);
            charOf.push_back(int(text.size()) + 1);
        }
        for (int k = 0; k < cols; ++k) {
            const int col = firstCol + k;
            const int x = textX + k * cw;
            if (x + cw <= clip.left() || x > clip.right())
                continue;
            QChar ch = col <= cells.size() ? cells.at(col - 1) : QChar(u' ');
            int charIndex = col <= int(charOf.size()) ? charOf[size_t(col - 1)]
                                                      : int(text.size()) + 1 + (col - eolColumn);
            bool selected = false;
            if (selVisible) {
                switch (e.ActiveSelMode()) {
                case smLine:
                    selected = line >= selFirst.Line && line <= selLast.Line;
                    break;
                case smColumn: {
                    const int a = e.BufferToDisplay(selFirst).Column;
                    const int b = e.BufferToDisplay(selLast).Column;
                    selected = line >= selFirst.Line && line <= selLast.Line && col >= std::min(a, b) &&
                               col < std::max(a, b);
                    break;
                }
                case smNormal:
                    selected = charIndex <= int(text.size()) + 1 && e.PointInSelection(TBufferCoord{charIndex, line}) &&
                               (charIndex <= int(text.size()) || line < selLast.Line);
                    break;
                }
            }
            if (selected || ch != u' ') {
                if (selected) {
                    canvas.Brush().SetColor(selBg);
                    canvas.FillRect(plat::TRect(x, y, x + cw, y + rh));
                }
                if (ch != u' ') {
                    plat::TFont f;
                    f.Assign(e.Font());
                    const bool isMark = special && (ch == QChar(0xB7) || ch == QChar(0xBB) || ch == QChar(0xB6)) &&
                                        (col > int(charOf.size()) || charIndex > text.size() || text.at(charIndex - 1) != ch);
                    f.SetColor(selected ? selFg : isMark ? plat::clGray : fg);
                    canvas.SetFont(f);
                    canvas.SetBkMode(plat::TRANSPARENT);
                    dx.assign(1, cw);
                    canvas.ExtTextOut(x, y, plat::ETO_CLIPPED, nullptr, QString(ch), dx.data(), 1);
                }
            }
        }
    }

    // The right edge.
    if (e.RightEdge() > 0) {
        const int x = textX + (e.RightEdge() - firstCol + 1) * cw;
        if (x >= gutter && x >= clip.left() && x <= clip.right()) {
            canvas.Pen().SetColor(e.RightEdgeColor());
            canvas.MoveTo(x, clip.top());
            canvas.LineTo(x, clip.bottom() + 1);
        }
    }
    canvas.SetPainter(nullptr);
    if (withCaret && m_caretShown && m_caretOn && m_caretRect.intersects(clip))
        painter.fillRect(m_caretRect, QColor(Qt::black));
    painter.restore();
}

// ---------------------------------------------------------------- Qt events

bool TPlainMemo::event(QEvent* ev)
{
    if (ev->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(ev);
        if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) && (m_edit->DlgCode() & DLGC_WANTTAB)) {
            keyPressEvent(k);
            return true;
        }
    }
    if (ev->type() == QEvent::ShortcutOverride) {
        // Every key the map binds belongs to the editor, not to a window short-cut.
        auto* k = static_cast<QKeyEvent*>(ev);
        const int vk = plat::VirtualKeyFromQt(k->key(), k->modifiers());
        if (vk && m_edit->TranslateKey(quint16(vk), shiftOf(k)) != ecNone) {
            ev->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(ev);
}

bool TPlainMemo::viewportEvent(QEvent* ev)
{
    if (ev->type() == QEvent::Paint) {
        auto* p = static_cast<QPaintEvent*>(ev);
        QPainter painter(viewport());
        paintRows(painter, p->rect(), true);
        return true;
    }
    return QAbstractScrollArea::viewportEvent(ev);
}

void TPlainMemo::changeEvent(QEvent* ev)
{
    QAbstractScrollArea::changeEvent(ev);
    if (ev->type() == QEvent::FontChange)
        guarded([&] { fontToModel(); });
}

void TPlainMemo::resizeEvent(QResizeEvent* ev)
{
    QAbstractScrollArea::resizeEvent(ev);
    guarded([&] { m_edit->Resized(); });
}

void TPlainMemo::keyPressEvent(QKeyEvent* ev)
{
    guarded([&] {
        quint16 vk = quint16(plat::VirtualKeyFromQt(ev->key(), ev->modifiers()));
        if (vk)
            m_edit->KeyDown(vk, shiftOf(ev));
        QString text = ev->text();
        if (ev->key() == Qt::Key_Tab && text.isEmpty())
            text = QStringLiteral("\t");
        if (ev->key() == Qt::Key_Return || ev->key() == Qt::Key_Enter)
            text = QStringLiteral("\r");
        for (QChar ch : text) {
            QChar c = ch;
            m_edit->KeyPress(c);
        }
    });
    ev->accept();
}

void TPlainMemo::keyReleaseEvent(QKeyEvent* ev)
{
    guarded([&] {
        quint16 vk = quint16(plat::VirtualKeyFromQt(ev->key(), ev->modifiers()));
        if (vk)
            m_edit->KeyUp(vk, shiftOf(ev));
    });
}

void TPlainMemo::mousePressEvent(QMouseEvent* ev)
{
    setFocus(Qt::MouseFocusReason);
    const QPoint p = viewport()->mapFrom(this, ev->position().toPoint());
    guarded([&] { m_edit->MouseDown(buttonOf(ev->button()), shiftOf(ev, ev->buttons()), p.x(), p.y()); });
}

void TPlainMemo::mouseMoveEvent(QMouseEvent* ev)
{
    const QPoint p = viewport()->mapFrom(this, ev->position().toPoint());
    guarded([&] {
        m_edit->MouseMove(shiftOf(ev, ev->buttons()), p.x(), p.y());
        m_edit->UpdateMouseCursor(p.x(), p.y());
    });
}

void TPlainMemo::mouseReleaseEvent(QMouseEvent* ev)
{
    const QPoint p = viewport()->mapFrom(this, ev->position().toPoint());
    guarded([&] { m_edit->MouseUp(buttonOf(ev->button()), shiftOf(ev, ev->buttons()), p.x(), p.y()); });
}

void TPlainMemo::mouseDoubleClickEvent(QMouseEvent* ev)
{
    const QPoint p = viewport()->mapFrom(this, ev->position().toPoint());
    guarded([&] {
        m_edit->MouseDown(buttonOf(ev->button()), shiftOf(ev, ev->buttons(), true), p.x(), p.y());
        m_edit->DblClick();
    });
}

void TPlainMemo::wheelEvent(QWheelEvent* ev)
{
    guarded([&] { m_edit->MouseWheel(ev->angleDelta().y(), shiftOf(ev)); });
    ev->accept();
}

void TPlainMemo::focusInEvent(QFocusEvent* ev)
{
    QAbstractScrollArea::focusInEvent(ev);
    guarded([&] { m_edit->FocusEnter(); });
    viewport()->update();
}

void TPlainMemo::focusOutEvent(QFocusEvent* ev)
{
    QAbstractScrollArea::focusOutEvent(ev);
    guarded([&] { m_edit->FocusExit(); });
    viewport()->update();
}

void TPlainMemo::inputMethodEvent(QInputMethodEvent* ev)
{
    if (!ev->commitString().isEmpty())
        guarded([&] { m_edit->ImeComposition(ev->commitString()); });
    ev->accept();
}

QVariant TPlainMemo::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle:
        return QRect(viewport()->mapTo(this, m_caretRect.topLeft()), m_caretRect.size());
    case Qt::ImFont:
        return font();
    case Qt::ImEnabled:
        return !m_edit->ReadOnly();
    case Qt::ImSurroundingText:
        return m_edit->CaretLineText();
    case Qt::ImCursorPosition:
        return m_edit->CaretPos().Char - 1;
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void TPlainMemo::dragEnterEvent(QDragEnterEvent* ev)
{
    if (ev->mimeData()->hasText() || ev->mimeData()->hasFormat(kDragMime))
        ev->acceptProposedAction();
}

void TPlainMemo::dragMoveEvent(QDragMoveEvent* ev)
{
    const QPoint p = viewport()->mapFrom(this, ev->position().toPoint());
    TPlainMemo* source = dragSource(ev->mimeData());
    bool accept = false;
    guarded([&] {
        plat::TCursor cursor = plat::crDefault;
        if (source)
            accept = m_edit->DragOver(&source->Edit(), p.x(), p.y(), dsDragMove,
                                      plat::ShiftStateFromQt(ev->modifiers()), cursor);
        else
            accept = !m_edit->ReadOnly() && ev->mimeData()->hasText();
    });
    if (accept) {
        ev->setDropAction(source && source != this && !(ev->modifiers() & Qt::ControlModifier) ? Qt::MoveAction
                          : ev->modifiers() & Qt::ControlModifier                           ? Qt::CopyAction
                                                                                               : Qt::MoveAction);
        ev->accept();
    } else {
        ev->ignore();
    }
}

void TPlainMemo::dragLeaveEvent(QDragLeaveEvent* ev)
{
    (void)ev;
    guarded([&] { m_edit->DragCanceled(); });
}

void TPlainMemo::dropEvent(QDropEvent* ev)
{
    const QPoint p = viewport()->mapFrom(this, ev->position().toPoint());
    TPlainMemo* source = dragSource(ev->mimeData());
    guarded([&] {
        if (source) {
            m_edit->DragDrop(&source->Edit(), p.x(), p.y(), plat::ShiftStateFromQt(ev->modifiers()));
        } else if (!m_edit->ReadOnly()) {
            m_edit->MoveCaretToPixel(p.x(), p.y());
            m_edit->ReplaceSelection(ev->mimeData()->text());
        }
    });
    ev->setDropAction(Qt::CopyAction);
    ev->accept();
}

// ---------------------------------------------------------------- the view

int TPlainMemo::ClientWidth() const { return viewport()->width(); }
int TPlainMemo::ClientHeight() const { return viewport()->height(); }
bool TPlainMemo::Focused() const { return hasFocus(); }
void TPlainMemo::SetFocus() { setFocus(); }
void TPlainMemo::InvalidateRect(const plat::TRect& rect) { viewport()->update(rect.toQRect()); }
void TPlainMemo::Invalidate() { viewport()->update(); }
void TPlainMemo::Update() { viewport()->update(); }
void TPlainMemo::ScrollWindow(int dx, int dy, const plat::TRect& clip)
{
    (void)dx, (void)dy;
    viewport()->update(clip.toQRect());
}

void TPlainMemo::CreateCaret(int width, int height)
{
    m_caretRect.setSize(QSize(std::max(1, width), std::max(1, height)));
}
void TPlainMemo::DestroyCaret()
{
    HideCaret();
}
void TPlainMemo::SetCaretPos(int x, int y)
{
    viewport()->update(m_caretRect);
    m_caretRect.moveTopLeft(QPoint(x, y));
    m_caretOn = true;
    viewport()->update(m_caretRect);
    QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
}
bool TPlainMemo::ShowCaret()
{
    m_caretShown = true;
    m_caretOn = true;
    m_blink->start();
    viewport()->update(m_caretRect);
    return true;
}
bool TPlainMemo::HideCaret()
{
    m_caretShown = false;
    m_blink->stop();
    viewport()->update(m_caretRect);
    return true;
}

void TPlainMemo::ShowScrollBar(TScrollBarKind kind, bool visible)
{
    const Qt::ScrollBarPolicy policy = visible ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (kind == sbVertical)
        setVerticalScrollBarPolicy(policy);
    else
        setHorizontalScrollBarPolicy(policy);
}

void TPlainMemo::SetScrollInfo(TScrollBarKind kind, const TPlainScrollInfo& info)
{
    QScrollBar* bar = kind == sbVertical ? verticalScrollBar() : horizontalScrollBar();
    m_settingScroll = true;
    const int page = std::max(1, info.Page);
    const int max = std::max(info.Min, info.Max - page + 1);
    bar->setRange(info.Min, max);
    bar->setPageStep(page);
    bar->setValue(info.Pos);
    bar->setEnabled(info.Max - info.Min + 1 > page);
    m_settingScroll = false;
}

void TPlainMemo::SetCursor(plat::TCursor cursor)
{
    viewport()->setCursor(QCursor(plat::CursorShape(cursor)));
}
void TPlainMemo::SetCapture(bool captured)
{
    m_captured = captured;
    if (captured)
        viewport()->grabMouse();
    else
        viewport()->releaseMouse();
}
plat::TPoint TPlainMemo::CursorPos() const
{
    const QPoint p = viewport()->mapFromGlobal(QCursor::pos());
    return plat::TPoint{p.x(), p.y()};
}

void TPlainMemo::BeginDrag()
{
    auto* mime = new QMimeData;
    mime->setText(m_edit->SelectedText());
    mime->setData(kDragMime, QByteArray::number(quintptr(this)));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    m_dragging = true;
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    m_dragging = false;
    if (action == Qt::IgnoreAction)
        guarded([&] { m_edit->DragCanceled(); });
}

void TPlainMemo::SetScrollTimer(bool running, int intervalMs)
{
    if (running)
        m_scrollTimer->start(std::max(1, intervalMs));
    else
        m_scrollTimer->stop();
}

plat::TShiftState TPlainMemo::KeyboardState() const
{
    return plat::ShiftStateFromQt(QGuiApplication::queryKeyboardModifiers());
}

void TPlainMemo::ShowScrollHint(const QString& text, plat::TColor color, plat::TPoint topLeft)
{
    (void)color;
    QToolTip::showText(viewport()->mapToGlobal(QPoint(topLeft.X, topLeft.Y)), text, viewport());
}
void TPlainMemo::HideScrollHint() { QToolTip::hideText(); }
int TPlainMemo::WheelScrollLines() const { return QApplication::wheelScrollLines(); }

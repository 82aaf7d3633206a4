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
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyleHints>
#include <QStyleOptionSlider>
#include <QStylePainter>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace {

// A scroll bar whose two arrows can be disabled one by one. A disabled
// arrow ignores presses and is painted as the style paints the arrows of a
// disabled bar.
class ArrowScrollBar : public QScrollBar {
public:
    ArrowScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {}

    std::pair<bool, bool> Arrows() const { return m_arrows; }
    void SetArrows(bool first, bool second)
    {
        if (m_arrows == std::make_pair(first, second))
            return;
        m_arrows = {first, second};
        update();
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        const QStyle::SubControl hit = arrowAt(event->position().toPoint());
        if ((hit == QStyle::SC_ScrollBarSubLine && !m_arrows.first) ||
            (hit == QStyle::SC_ScrollBarAddLine && !m_arrows.second)) {
            event->accept();
            return;
        }
        QScrollBar::mousePressEvent(event);
    }
    void paintEvent(QPaintEvent* event) override
    {
        QScrollBar::paintEvent(event);
        if (!isEnabled() || (m_arrows.first && m_arrows.second))
            return;
        QStylePainter painter(this);
        QStyleOptionSlider option;
        initStyleOption(&option);
        option.state &= ~(QStyle::State_Enabled | QStyle::State_MouseOver | QStyle::State_Sunken);
        option.activeSubControls = QStyle::SC_None;
        for (const auto& [enabled, control] :
             {std::pair{m_arrows.first, QStyle::SC_ScrollBarSubLine}, std::pair{m_arrows.second, QStyle::SC_ScrollBarAddLine}}) {
            if (enabled)
                continue;
            painter.save();
            painter.setClipRect(style()->subControlRect(QStyle::CC_ScrollBar, &option, control, this));
            option.subControls = control;
            painter.drawComplexControl(QStyle::CC_ScrollBar, option);
            painter.restore();
        }
    }

private:
    QStyle::SubControl arrowAt(const QPoint& pos) const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->hitTestComplexControl(QStyle::CC_ScrollBar, &option, pos, this);
    }

    std::pair<bool, bool> m_arrows{true, true};
};

} // namespace

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
    setHorizontalScrollBar(new ArrowScrollBar(Qt::Horizontal, this));
    setVerticalScrollBar(new ArrowScrollBar(Qt::Vertical, this));
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
    paintRows(painter, QRegion(image.rect()), false);
    return image;
}

void TPlainMemo::PaintArea(QPainter& painter, const QRect& rect) { paintRows(painter, QRegion(rect), false); }

void TPlainMemo::paintRows(QPainter& painter, const QRegion& region, bool withCaret)
{
    painter.save();
    {
        plat::TCanvas canvas;
        canvas.SetPainter(&painter);
        canvas.SetClipRegion(region);
        guarded([&] { m_edit->Paint(canvas); });
        canvas.SetPainter(nullptr);
    }
    painter.setClipRegion(region);
    if (!m_preedit.isEmpty())
        paintPreedit(painter);
    if (withCaret && m_caretShown && m_caretOn && region.intersects(m_caretRect)) {
        // The caret inverts what lies under it, as the system caret does.
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(m_caretRect, QColor(Qt::white));
    }
    painter.restore();
}

// The text the input method is composing, over the cells at the caret,
// underlined, with its own cursor.
void TPlainMemo::paintPreedit(QPainter& painter)
{
    const TPlainEdit& e = *m_edit;
    const plat::TPoint at = e.DisplayToPixel(e.CaretDisplayPos());
    const int cw = std::max(1, e.CellWidth());
    const int rh = std::max(1, e.RowHeight());
    const QRect box(at.X, at.Y, cw * int(m_preedit.size()), rh);
    plat::TCanvas canvas;
    canvas.SetPainter(&painter);
    canvas.SetFont(*e.Font());
    canvas.SetBkColor(e.Color());
    std::vector<int> dx(size_t(m_preedit.size()), cw);
    const plat::TRect rect = plat::TRect::fromQRect(box);
    canvas.ExtTextOut(at.X, at.Y, plat::ETO_OPAQUE, &rect, m_preedit, dx.data(), int(dx.size()));
    canvas.SetPainter(nullptr);
    painter.setPen(plat::ToQColor(e.Font()->Color()));
    painter.drawLine(box.left(), box.bottom(), box.right(), box.bottom());
    const int cursor = std::clamp(m_preeditCursor, 0, int(m_preedit.size()));
    painter.fillRect(QRect(at.X + cursor * cw, at.Y, 1, rh), plat::ToQColor(e.Font()->Color()));
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
        paintRows(painter, p->region(), true);
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
    // The composition shows over the text until it is committed.
    const QRect before = preeditRect();
    m_preedit = ev->preeditString();
    m_preeditCursor = int(m_preedit.size());
    for (const QInputMethodEvent::Attribute& a : ev->attributes()) {
        if (a.type == QInputMethodEvent::Cursor)
            m_preeditCursor = a.start;
    }
    if (!ev->commitString().isEmpty())
        guarded([&] { m_edit->ImeComposition(ev->commitString()); });
    viewport()->update(before);
    viewport()->update(preeditRect());
    ev->accept();
}

QRect TPlainMemo::preeditRect() const
{
    if (m_preedit.isEmpty())
        return {};
    const plat::TPoint at = m_edit->DisplayToPixel(m_edit->CaretDisplayPos());
    return QRect(at.X, at.Y, m_edit->CellWidth() * int(m_preedit.size()) + 1, m_edit->RowHeight());
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
    case Qt::ImAnchorPosition:
        return m_edit->CaretPos().Char - 1;
    case Qt::ImMaximumTextLength:
        return QVariant();
    case Qt::ImHints:
        return int(Qt::ImhMultiLine);
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// Local files dropped on the memo, when it takes them.
static QStringList droppedFiles(const QMimeData* mime, bool accepted)
{
    QStringList files;
    if (!accepted || !mime || !mime->hasUrls())
        return files;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

void TPlainMemo::dragEnterEvent(QDragEnterEvent* ev)
{
    // Text is taken from editors only (a drag of this program's memos);
    // anything else is ignored, except files when the memo takes them.
    if (dragSource(ev->mimeData()) || !droppedFiles(ev->mimeData(), m_acceptFiles).isEmpty())
        ev->acceptProposedAction();
}

void TPlainMemo::dragMoveEvent(QDragMoveEvent* ev)
{
    const QPoint p = viewport()->mapFrom(this, ev->position().toPoint());
    TPlainMemo* source = dragSource(ev->mimeData());
    bool accept = false;
    guarded([&] {
        plat::TCursor cursor = plat::crDefault;
        if (!source && !droppedFiles(ev->mimeData(), m_acceptFiles).isEmpty())
            accept = true;
        else if (source)
            accept = m_edit->DragOver(&source->Edit(), p.x(), p.y(), dsDragMove,
                                      plat::ShiftStateFromQt(ev->modifiers()), cursor);
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
    const QStringList files = droppedFiles(ev->mimeData(), m_acceptFiles);
    guarded([&] {
        if (!source && !files.isEmpty()) {
            m_edit->DropFiles(files, p.x(), p.y());
        } else if (source) {
            m_edit->DragDrop(&source->Edit(), p.x(), p.y(), plat::ShiftStateFromQt(ev->modifiers()));
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
    // The pixels move with the caret drawn into them: where it lands is
    // painted again, so no ghost of it stays behind.
    const QRect area = clip.toQRect();
    if (m_caretShown && m_caretOn)
        viewport()->update(m_caretRect.translated(dx, dy));
    viewport()->scroll(dx, dy, area);
}

void TPlainMemo::RecreateWindow()
{
    setFrameShape(m_edit->BorderStyle() == bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
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

void TPlainMemo::EnableScrollArrows(TScrollBarKind kind, bool first, bool second)
{
    QScrollBar* bar = kind == sbVertical ? verticalScrollBar() : horizontalScrollBar();
    if (auto* arrows = dynamic_cast<ArrowScrollBar*>(bar))
        arrows->SetArrows(first, second);
}

std::pair<bool, bool> TPlainMemo::ScrollArrows(TScrollBarKind kind) const
{
    QScrollBar* bar = kind == sbVertical ? verticalScrollBar() : horizontalScrollBar();
    if (auto* arrows = dynamic_cast<ArrowScrollBar*>(bar))
        return arrows->Arrows();
    return {true, true};
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

std::unique_ptr<QMimeData> TPlainMemo::DragData() const
{
    auto mime = std::make_unique<QMimeData>();
    mime->setText(m_edit->SelectedText());
    mime->setData(kDragMime, QByteArray::number(quintptr(this)));
    return mime;
}

void TPlainMemo::BeginDrag()
{
    auto* drag = new QDrag(this);
    drag->setMimeData(DragData().release());
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

namespace {

// The scroll hint window: one for the program, made on first use, shared by
// every memo; hiding it keeps it for the next scroll.
QPointer<QLabel>& scrollHint()
{
    static QPointer<QLabel> hint;
    return hint;
}

QLabel* scrollHintWindow()
{
    QPointer<QLabel>& hint = scrollHint();
    if (!hint) {
        hint = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
        hint->setObjectName(QStringLiteral("ScrollHintWindow"));
        hint->setAttribute(Qt::WA_ShowWithoutActivating);
        hint->setAutoFillBackground(true);
        hint->setFrameStyle(QFrame::Box | QFrame::Plain);
        hint->setMargin(2);
        hint->setWordWrap(true);
    }
    return hint;
}

} // namespace

plat::TSize TPlainMemo::ScrollHintSize(const QString& text, int maxWidth) const
{
    QLabel* hint = scrollHintWindow();
    hint->setMaximumWidth(maxWidth);
    hint->setText(text.left(255));
    hint->adjustSize();
    return plat::TSize{hint->width(), hint->height()};
}

void TPlainMemo::ShowScrollHint(const QString& text, plat::TColor color, plat::TPoint topLeft)
{
    QLabel* hint = scrollHintWindow();
    QPalette palette = hint->palette();
    palette.setColor(QPalette::Window, plat::ToQColor(color));
    hint->setPalette(palette);
    if (hint->text() != text.left(255)) {
        hint->setText(text.left(255));
        hint->adjustSize();
    }
    hint->move(viewport()->mapToGlobal(QPoint(topLeft.X, topLeft.Y)));
    hint->show();
    hint->repaint();
}

void TPlainMemo::HideScrollHint()
{
    if (QLabel* hint = scrollHint())
        hint->hide();
}
int TPlainMemo::WheelScrollLines() const { return QApplication::wheelScrollLines(); }

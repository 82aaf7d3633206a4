#include "zdSyntaxMemo.h"

#include <QApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

const QColor kNavy(0, 0, 128);
const QColor kGreen(0, 128, 0);
const QColor kMaroon(128, 0, 0);
const QColor kFuchsia(255, 0, 255);
constexpr int kCaretWidth = 2;
constexpr int kPopupWidth = 300;
constexpr int kPopupHeight = 100;
// The kind words of the completion list, by kind.
const char* const kKindWords[] = {"var", "property", "procedure", "function"};

// Rows of the completion list: the kind word, the leading name in bold and
// the rest of the text.
class CompletionDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        p->save();
        p->fillRect(option.rect, selected ? option.palette.highlight() : option.palette.base());
        QString text = index.data().toString();
        const int kind = index.data(Qt::UserRole).toInt();
        const bool constructor = text.contains(QLatin1String("Constructor"));
        const QString word = constructor ? QStringLiteral("constructor")
                                         : QString::fromLatin1(kKindWords[std::clamp(kind, 0, 3)]);
        QFont font = option.font;
        p->setFont(font);
        p->setPen(selected ? QColor(Qt::white) : (kind <= 1 && !constructor ? QColor(Qt::blue) : kFuchsia));
        p->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignVCenter, word);
        const int x = QFontMetrics(font).horizontalAdvance(QStringLiteral("constructor")) + 6;
        if (const qsizetype cut = text.indexOf(QLatin1String(": Constructor")); cut >= 0)
            text.truncate(cut);
        int n = 0;
        while (n < text.size() && (text.at(n).isLetterOrNumber() || text.at(n) == u'_'))
            ++n;
        QFont bold = font;
        bold.setBold(true);
        p->setFont(bold);
        p->setPen(selected ? QColor(Qt::white) : QColor(Qt::black));
        const QRect r = option.rect.adjusted(x, 0, 0, 0);
        p->drawText(r, Qt::AlignVCenter, text.left(n));
        const int w = QFontMetrics(bold).horizontalAdvance(text.left(n));
        p->setFont(font);
        p->drawText(r.adjusted(w, 0, 0, 0), Qt::AlignVCenter, text.mid(n));
        p->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(QFontMetrics(option.font).height() + 2);
        return s;
    }
};

// The keys the editor handles itself even where its window has a shortcut
// for them (the designer's Ctrl+C, Ctrl+Z, Ctrl+A ...): the editor's copy,
// undo and select all are meant while it has the focus.
bool ownsKey(const QKeyEvent* Event)
{
    const Qt::KeyboardModifiers mods = Event->modifiers() & ~Qt::KeypadModifier;
    const int key = Event->key();
    if (mods == Qt::ShiftModifier)
        return key == Qt::Key_Insert || key == Qt::Key_Delete;
    if (!(mods & Qt::ControlModifier) || (mods & Qt::AltModifier))
        return false;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return true;
    switch (key) {
    case Qt::Key_A:
    case Qt::Key_C:
    case Qt::Key_V:
    case Qt::Key_X:
    case Qt::Key_Z:
    case Qt::Key_Y:
    case Qt::Key_I:
    case Qt::Key_U:
    case Qt::Key_Space:
    case Qt::Key_Insert:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return true;
    default:
        // Ctrl+Shift+digit (bookmarks) arrives as the shifted character.
        return (mods & Qt::ShiftModifier) && Event->nativeVirtualKey() >= '0' && Event->nativeVirtualKey() <= '9';
    }
}

} // namespace

TzdSyntaxMemo::TzdSyntaxMemo(QWidget* parent) : TzdScrollWin(parent), m_model(std::make_unique<zd::SyntaxMemoModel>())
{
    setObjectName(QStringLiteral("CodeWindow"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(true);
    m_model->OnRepaint = [this] { viewport()->update(); };
    m_model->OnChangePos = [this] {
        updateBars();
        if (OnChangePos)
            OnChangePos();
    };
    m_model->OnChange = [this] {
        if (OnChange)
            OnChange();
    };
    m_model->OnCompletionKey = [this] { ShowCompletion(); };
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(10);
    SetEditorFont(font);
    SetHorzRange(zd::SyntaxMemoModel::kMaxColumns);
}

TzdSyntaxMemo::~TzdSyntaxMemo()
{
    // The popup is a window of its own; it goes with the editor.
    delete m_popup;
}

void TzdSyntaxMemo::SetShowGutter(bool On)
{
    m_gutter = On ? kGutterWidth : 0;
    measure();
    viewport()->update();
}

void TzdSyntaxMemo::SetEditorFont(const QFont& Font)
{
    m_font = Font;
    measure();
    viewport()->update();
}

void TzdSyntaxMemo::measure()
{
    QFont bold = m_font;
    bold.setBold(true);
    const QFontMetrics fm(bold);
    m_cellHeight = fm.height() + 1;
    m_cellWidth = std::max(1, fm.horizontalAdvance(u'W'));
    m_courier = m_font.family().toUpper().contains(QLatin1String("COURIER NEW"));
    const QSize client = viewport()->size();
    m_model->SetView((client.width() - m_gutter) / m_cellWidth, client.height() / m_cellHeight);
    updateBars();
}

void TzdSyntaxMemo::updateBars()
{
    const zd::SyntaxMemoModel& m = *m_model;
    SetVertRange(m.LineCount());
    SetHorzRange(zd::SyntaxMemoModel::kMaxColumns);
    SetVertPage(m.VisibleLines);
    SetHorzPage(m.VisibleColumns);
    SetLargeChange(std::max(1, m.VisibleLines));
    SetVertPosition(m.TopLine);
    SetHorzPosition(m.LeftColumn);
    updateCaret();
}

void TzdSyntaxMemo::updateCaret()
{
    // The caret is drawn with the text; the input method follows it.
    viewport()->update();
    if (m_hasFocus)
        QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
}

void TzdSyntaxMemo::HorzPositionChanged()
{
    if (m_model->LeftColumn != HorzPosition())
        m_model->ScrollTo(HorzPosition(), m_model->TopLine);
}

void TzdSyntaxMemo::VertPositionChanged()
{
    if (m_model->TopLine != VertPosition())
        m_model->ScrollTo(m_model->LeftColumn, VertPosition());
}

void TzdSyntaxMemo::resizeEvent(QResizeEvent* event)
{
    TzdScrollWin::resizeEvent(event);
    measure();
}

QPoint TzdSyntaxMemo::CellOrigin(int Column, int Line) const
{
    return {m_cellWidth * (Column - m_model->LeftColumn - 1) + m_gutter, (Line - m_model->TopLine - 1) * m_cellHeight};
}

void TzdSyntaxMemo::UpdateView() { viewport()->update(); }

zd::MemoPos TzdSyntaxMemo::cellAt(QPoint p) const
{
    return {(p.x() - m_gutter) / m_cellWidth + m_model->LeftColumn + 1, p.y() / m_cellHeight + m_model->TopLine + 1};
}

// ---------------------------------------------------------------- painting

void TzdSyntaxMemo::PaintContent(QPainter& painter)
{
    const QPalette pal = palette();
    painter.fillRect(viewport()->rect(), pal.color(QPalette::Base));
    zd::SyntaxMemoModel& m = *m_model;
    if (m_gutter > 0) {
        painter.fillRect(QRect(0, 0, m_gutter - 1, viewport()->height()), pal.color(QPalette::Button));
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(m_gutter - 4, 0, m_gutter - 4, viewport()->height());
    }
    const int last = std::min(m.LineCount(), m.TopLine + m.VisibleLines + 1);
    m.UpdateSyntax(last - 1);
    painter.setClipRect(QRect(m_gutter, 0, viewport()->width() - m_gutter, viewport()->height()));
    for (int i = m.TopLine; i < last; ++i)
        paintLine(painter, i, (i - m.TopLine) * m_cellHeight);
    painter.setClipping(false);
    if (m_gutter > 0)
        for (int i = m.TopLine; i < last; ++i)
            paintMarks(painter, i, (i - m.TopLine) * m_cellHeight);
    if (m_hasFocus && m.CaretPos().column > m.LeftColumn) {
        const QPoint o = CellOrigin(m.CaretPos().column, m.CaretPos().line);
        painter.fillRect(QRect(o.x(), o.y(), kCaretWidth, m_cellHeight), pal.color(QPalette::Text));
    }
    if (!m.MessageText().isEmpty()) {
        QFont f(QStringLiteral("Tahoma"));
        f.setPointSize(8);
        f.setBold(true);
        const QFontMetrics fm(f);
        const int h = viewport()->height();
        painter.fillRect(QRect(0, h - fm.height() - 6, viewport()->width(), fm.height() + 6), kMaroon);
        painter.setFont(f);
        painter.setPen(Qt::white);
        painter.drawText(6, h - fm.height() - 5 + fm.ascent(), m.MessageText());
    }
}

void TzdSyntaxMemo::paintLine(QPainter& p, int lineIndex, int y)
{
    zd::SyntaxMemoModel& m = *m_model;
    const QPalette pal = palette();
    const QString line = m.Line(lineIndex + 1);
    const std::vector<zd::SyntaxColour> colours = m.LineColours(lineIndex);
    const bool active = m.ActiveLine() == lineIndex + 1;
    const zd::MemoPos selFrom = m.SelStart();
    const zd::MemoPos selTo = m.SelEnd();
    const auto selected = [&](int column) {
        if (!m.HasSelection())
            return false;
        const int l = lineIndex + 1;
        const bool afterStart = l > selFrom.line || (l == selFrom.line && column >= selFrom.column);
        const bool beforeEnd = l < selTo.line || (l == selTo.line && column < selTo.column);
        return afterStart && beforeEnd;
    };
    const auto fontFor = [&](zd::SyntaxColour c, QColor& colour) {
        QFont f = m_font;
        colour = pal.color(QPalette::Text);
        switch (c) {
        case zd::scComment:
            f.setItalic(true);
            colour = kNavy;
            break;
        case zd::scKeyword:
            f.setBold(true);
            break;
        case zd::scString:
            colour = kNavy;
            break;
        case zd::scNumber:
            colour = kGreen;
            break;
        default:
            break;
        }
        return f;
    };
    const int firstColumn = m.LeftColumn + 1;
    const int lastColumn = m.LeftColumn + m.VisibleColumns + 1;
    int column = firstColumn;
    while (column <= std::min(int(line.size()), lastColumn)) {
        const zd::SyntaxColour code = colours[size_t(column - 1)];
        const bool sel = selected(column) || active;
        int end = column + 1;
        while (end <= std::min(int(line.size()), lastColumn) && colours[size_t(end - 1)] == code &&
               (selected(end) || active) == sel)
            ++end;
        QColor colour;
        QFont f = fontFor(code, colour);
        const int x = m_gutter + (column - firstColumn) * m_cellWidth;
        const QRect cells(x, y, (end - column) * m_cellWidth, m_cellHeight);
        p.fillRect(cells, sel ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
        p.setFont(f);
        p.setPen(sel ? pal.color(QPalette::HighlightedText) : colour);
        const int baseline = y + QFontMetrics(f).ascent();
        // Any font keeps the grid: a character per cell unless the font is
        // the monospaced one the cells were measured for.
        if (m_courier) {
            p.drawText(x, baseline, line.mid(column - 1, end - column));
        } else {
            for (int c = column; c < end; ++c)
                p.drawText(x + (c - column) * m_cellWidth, baseline, QString(line.at(c - 1)));
        }
        column = end;
    }
    if (active || selected(1) || (m.HasSelection() && selected(int(line.size()) + 1))) {
        const int from = std::max(int(line.size()) + 1, firstColumn);
        const int x = m_gutter + (from - firstColumn) * m_cellWidth;
        p.fillRect(QRect(x, y, viewport()->width() - x, m_cellHeight), pal.color(QPalette::Highlight));
    }
}

void TzdSyntaxMemo::paintMarks(QPainter& p, int lineIndex, int y)
{
    zd::SyntaxMemoModel& m = *m_model;
    p.save();
    if (const int n = m.BookmarkAt(lineIndex); n >= 0) {
        p.fillRect(QRect(QPoint(13, y + 3), QPoint(22, y + 13)), Qt::black);
        p.fillRect(QRect(QPoint(12, y + 4), QPoint(21, y + 14)), kGreen);
        QFont f(QStringLiteral("Tahoma"));
        f.setPointSize(7);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(14, y + 4 + QFontMetrics(f).ascent(), QString::number(n));
    }
    if (m.ExecutableLine(lineIndex + 1)) {
        p.setPen(Qt::black);
        p.setBrush(Qt::blue);
        p.drawEllipse(QRect(QPoint(4, y + 7), QPoint(7, y + 10)));
        p.setPen(Qt::cyan);
        p.drawPoint(5, y + 7);
        p.drawPoint(4, y + 8);
    }
    if (m.IsBreakpoint(lineIndex + 1)) {
        p.setPen(Qt::red);
        p.setBrush(Qt::red);
        p.drawEllipse(QRect(QPoint(2, y + 4), QPoint(12, y + 14)));
    }
    p.restore();
}

// ---------------------------------------------------------------- input

bool TzdSyntaxMemo::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && ownsKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return TzdScrollWin::event(event);
}

void TzdSyntaxMemo::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const bool alt = mods & Qt::AltModifier;
    int key = event->key();
    // Shift+digit arrives as the shifted character; bookmarks want the digit.
    if (ctrl && shift && event->nativeVirtualKey() >= '0' && event->nativeVirtualKey() <= '9')
        key = Qt::Key_0 + int(event->nativeVirtualKey() - '0');
    if (key == Qt::Key_Backtab)
        key = Qt::Key_Tab;
    if (m_model->KeyDown(key, shift, ctrl, alt)) {
        event->accept();
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty()) {
        const bool rightAlt = mods & Qt::GroupSwitchModifier;
        for (QChar c : text)
            m_model->KeyPress(c, ctrl, rightAlt);
        event->accept();
        return;
    }
    TzdScrollWin::keyPressEvent(event);
}

void TzdSyntaxMemo::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    m_pressedInGutter = pos.x() < m_gutter;
    m_model->ClickAt(cellAt(pos), event->modifiers() & Qt::ShiftModifier);
    m_dragging = true;
}

void TzdSyntaxMemo::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    viewport()->setCursor(pos.x() < m_gutter ? Qt::ArrowCursor : Qt::IBeamCursor);
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        m_model->ClickAt(cellAt(pos), true);
}

void TzdSyntaxMemo::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragging = false;
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && m_pressedInGutter && pos.x() < m_gutter)
        m_model->ToggleBreakpoint(m_model->CaretPos().line, QString());
    m_pressedInGutter = false;
}

void TzdSyntaxMemo::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_model->SelectWordAtCaret();
}

void TzdSyntaxMemo::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y();
    if (steps == 0)
        return;
    zd::SyntaxMemoModel& m = *m_model;
    const int top = std::clamp(m.TopLine + (steps > 0 ? -SmallChange() : SmallChange()), 0,
                               std::max(0, m.LineCount() - 1));
    m.ScrollTo(m.LeftColumn, top);
    event->accept();
}

void TzdSyntaxMemo::focusInEvent(QFocusEvent* event)
{
    m_hasFocus = true;
    viewport()->update();
    TzdScrollWin::focusInEvent(event);
}

void TzdSyntaxMemo::focusOutEvent(QFocusEvent* event)
{
    m_hasFocus = false;
    viewport()->update();
    TzdScrollWin::focusOutEvent(event);
}

// ---------------------------------------------------------------- drag and drop

bool TzdSyntaxMemo::DragOver(QObject* Source, QPoint At)
{
    if (!OnDragOver || !OnDragOver(Source))
        return false;
    m_model->ClickAt(cellAt(At), false);
    return true;
}

void TzdSyntaxMemo::DragDrop(QObject* Source, QPoint At)
{
    if (!DragOver(Source, At))
        return;
    if (OnDragDrop)
        OnDragDrop(Source);
}

void TzdSyntaxMemo::dragEnterEvent(QDragEnterEvent* event)
{
    if (DragOver(event->source(), event->position().toPoint()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TzdSyntaxMemo::dragMoveEvent(QDragMoveEvent* event)
{
    if (DragOver(event->source(), event->position().toPoint()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TzdSyntaxMemo::dropEvent(QDropEvent* event)
{
    if (!OnDragOver || !OnDragOver(event->source())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    DragDrop(event->source(), event->position().toPoint());
}

void TzdSyntaxMemo::inputMethodEvent(QInputMethodEvent* event)
{
    // A composition replaces what the previous update put in; the result
    // arrives as typed characters.
    zd::SyntaxMemoModel& m = *m_model;
    if (m_composeLength > 0) {
        m.SetSelection({m_composeStart, m.CaretPos().line}, {m_composeStart + m_composeLength, m.CaretPos().line});
        m.ReplaceSelection(QString());
        m_composeLength = 0;
    }
    if (!event->commitString().isEmpty()) {
        for (QChar c : event->commitString())
            m.KeyPress(c);
    } else if (!event->preeditString().isEmpty()) {
        m_composeStart = m.CaretPos().column;
        m.ReplaceSelection(event->preeditString());
        m_composeLength = int(event->preeditString().size());
    }
    event->accept();
}

QVariant TzdSyntaxMemo::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImCursorRectangle) {
        const QPoint o = CellOrigin(m_model->CaretPos().column, m_model->CaretPos().line);
        return QRect(o, QSize(kCaretWidth, m_cellHeight));
    }
    if (query == Qt::ImEnabled)
        return true;
    return TzdScrollWin::inputMethodQuery(query);
}

// ---------------------------------------------------------------- completion

void TzdSyntaxMemo::ShowCompletion()
{
    if (!OnCodeCompletion)
        return;
    std::vector<zd::CompletionItem> items;
    OnCodeCompletion(m_model->CompletionPrefix(), items);
    if (!m_popup) {
        m_popup = new QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint);
        m_popup->setObjectName(QStringLiteral("CompletionPopup"));
        auto* layout = new QVBoxLayout(m_popup);
        layout->setContentsMargins(0, 0, 0, 0);
        m_completion = new QListWidget(m_popup);
        m_completion->setObjectName(QStringLiteral("CompletionLB"));
        m_completion->setFrameShape(QFrame::NoFrame);
        m_completion->setItemDelegate(new CompletionDelegate(m_completion));
        m_completion->installEventFilter(this);
        layout->addWidget(m_completion);
        QObject::connect(m_completion, &QListWidget::itemDoubleClicked, m_completion,
                         [this](QListWidgetItem*) { AcceptCompletion(); });
    }
    std::sort(items.begin(), items.end(),
              [](const zd::CompletionItem& a, const zd::CompletionItem& b) { return a.text < b.text; });
    m_completion->clear();
    for (const zd::CompletionItem& item : items) {
        auto* row = new QListWidgetItem(item.text, m_completion);
        row->setData(Qt::UserRole, item.kind);
    }
    if (m_completion->count() > 0)
        m_completion->setCurrentRow(0);
    const zd::MemoPos caret = m_model->CaretPos();
    const QPoint below = CellOrigin(caret.column, caret.line + 1);
    m_popup->setGeometry(QRect(viewport()->mapToGlobal(below), QSize(kPopupWidth, kPopupHeight)));
    m_popup->show();
    m_completion->setFocus();
}

void TzdSyntaxMemo::AcceptCompletion()
{
    if (!m_completion)
        return;
    QListWidgetItem* item = m_completion->currentItem();
    m_popup->hide();
    if (item)
        m_model->InsertCompletion(item->text());
    setFocus();
}

bool TzdSyntaxMemo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_completion && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            AcceptCompletion();
            return true;
        }
        if (key == Qt::Key_Escape) {
            m_popup->hide();
            setFocus();
            return true;
        }
    }
    return TzdScrollWin::eventFilter(watched, event);
}

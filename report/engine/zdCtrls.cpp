#include "zdCtrls.h"

#include "Canvas.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QWheelEvent>

namespace zd {

int fontTextHeight(const QFont& font)
{
    return QFontMetrics(font).height();
}

} // namespace zd

namespace {

using plat::TCanvas;
using plat::TColor;

// Fills a rectangle by the platform's rules (right and bottom edges excluded).
void fillRect(TCanvas& canvas, const plat::TRect& r, TColor color)
{
    canvas.Brush().SetColor(color);
    canvas.FillRect(r);
}

void frameRect(TCanvas& canvas, const plat::TRect& r, TColor color)
{
    canvas.Brush().SetColor(color);
    canvas.FrameRect(r);
}

void line(TCanvas& canvas, int x1, int y1, int x2, int y2, TColor color)
{
    canvas.Pen().SetColor(color);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

zd::ScrollCode codeOfAction(int action, bool& known)
{
    known = true;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return zd::ScrollCode::LineUp;
    case QAbstractSlider::SliderSingleStepAdd: return zd::ScrollCode::LineDown;
    case QAbstractSlider::SliderPageStepSub: return zd::ScrollCode::PageUp;
    case QAbstractSlider::SliderPageStepAdd: return zd::ScrollCode::PageDown;
    case QAbstractSlider::SliderToMinimum: return zd::ScrollCode::Top;
    case QAbstractSlider::SliderToMaximum: return zd::ScrollCode::Bottom;
    case QAbstractSlider::SliderMove: return zd::ScrollCode::ThumbTrack;
    default: known = false; return zd::ScrollCode::EndScroll;
    }
}

} // namespace

// ------------------------------------------------------------ TzdScrollWin

TzdScrollWin::TzdScrollWin(QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_color(plat::clBtnFace)
{
    setFocusPolicy(Qt::StrongFocus);
    // The background is never erased: the content paints every pixel.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    SetBorderStyle(plat::bsSingle);
    for (Qt::Orientation bar : {Qt::Horizontal, Qt::Vertical}) {
        QScrollBar* sb = bar == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
        connect(sb, &QAbstractSlider::actionTriggered, this, [this, bar](int action) { barAction(bar, action); });
        connect(sb, &QAbstractSlider::valueChanged, this, [this, bar](int value) {
            if (!m_updatingBars)
                setPosition(bar, value);
        });
        UpdateScrollBar(bar);
    }
}

TzdScrollWin::~TzdScrollWin() = default;

void TzdScrollWin::SetBorderStyle(plat::TBorderStyle value)
{
    m_borderStyle = value;
    setFrameStyle(value == plat::bsSingle ? int(QFrame::StyledPanel) | int(QFrame::Sunken) : int(QFrame::NoFrame));
}

void TzdScrollWin::SetColor(plat::TColor value)
{
    m_color = value;
    viewport()->update();
}

void TzdScrollWin::SetHorzRange(int Value)
{
    m_horz.Range = Value;
    UpdateScrollBar(Qt::Horizontal);
}

void TzdScrollWin::SetVertRange(int Value)
{
    m_vert.Range = Value;
    UpdateScrollBar(Qt::Vertical);
}

void TzdScrollWin::SetHorzPage(int Value)
{
    m_horz.Page = Value;
    UpdateScrollBar(Qt::Horizontal);
}

void TzdScrollWin::SetVertPage(int Value)
{
    m_vert.Page = Value;
    UpdateScrollBar(Qt::Vertical);
}

void TzdScrollWin::SetHorzPosition(int Value)
{
    setPosition(Qt::Horizontal, Value);
}

void TzdScrollWin::SetVertPosition(int Value)
{
    setPosition(Qt::Vertical, Value);
}

void TzdScrollWin::setPosition(Qt::Orientation bar, qint64 value)
{
    zd::ScrollAxis& axis = bar == Qt::Horizontal ? m_horz : m_vert;
    const int position = axis.Clamp(value);
    if (position == axis.Position)
        return;
    axis.Position = position;
    UpdateScrollBar(bar);
    if (bar == Qt::Horizontal)
        HorzPositionChanged();
    else
        VertPositionChanged();
}

void TzdScrollWin::UpdateScrollBar(Qt::Orientation bar)
{
    zd::ScrollAxis& axis = bar == Qt::Horizontal ? m_horz : m_vert;
    QScrollBar* sb = bar == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    {
        // The bar counts positions, not content: its maximum is the last
        // position, 0 when everything is visible (and then it hides).
        const QScopedValueRollback guard(m_updatingBars, true);
        sb->setRange(0, axis.BarMaximum() == 0 ? 0 : axis.MaxPosition());
        sb->setPageStep(std::max(0, axis.Page));
        sb->setSingleStep(std::max(1, m_smallChange));
        sb->setValue(axis.Position);
    }
    // A smaller range or larger page keeps the position within the new limits.
    if (axis.Clamp(axis.Position) != axis.Position)
        setPosition(bar, axis.Position);
}

void TzdScrollWin::WMHScroll(zd::ScrollCode code)
{
    scrollCommand(Qt::Horizontal, code, horizontalScrollBar()->sliderPosition());
}

void TzdScrollWin::WMVScroll(zd::ScrollCode code)
{
    scrollCommand(Qt::Vertical, code, verticalScrollBar()->sliderPosition());
}

void TzdScrollWin::scrollCommand(Qt::Orientation bar, zd::ScrollCode code, int trackPosition)
{
    const zd::ScrollAxis& axis = bar == Qt::Horizontal ? m_horz : m_vert;
    if (auto target = zd::scrollTarget(code, axis, m_smallChange, m_largeChange, trackPosition))
        setPosition(bar, *target);
}

void TzdScrollWin::barAction(Qt::Orientation bar, int action)
{
    bool known = false;
    const zd::ScrollCode code = codeOfAction(action, known);
    if (!known)
        return;
    QScrollBar* sb = bar == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    const zd::ScrollAxis& axis = bar == Qt::Horizontal ? m_horz : m_vert;
    // The bar has moved its slider by its own steps; the window's steps win.
    if (auto target = zd::scrollTarget(code, axis, m_smallChange, m_largeChange, sb->sliderPosition()))
        sb->setSliderPosition(axis.Clamp(*target));
}

void TzdScrollWin::PaintContent(QPainter& painter)
{
    painter.fillRect(viewport()->rect(), plat::ToQColor(m_color));
}

void TzdScrollWin::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    PaintContent(painter);
}

void TzdScrollWin::scrollContentsBy(int, int)
{
    // The descendant moves its contents in its PositionChanged operation.
}

void TzdScrollWin::wheelEvent(QWheelEvent* event)
{
    event->ignore();
}

bool TzdScrollWin::focusNextPrevChild(bool)
{
    return false;
}

// ------------------------------------------------------------ TzdCustomComboBox

namespace {

// Rows of the open list at the combo's item height, drawn by the combo.
class ComboItemDelegate : public QStyledItemDelegate {
public:
    explicit ComboItemDelegate(TzdCustomComboBox* combo)
        : QStyledItemDelegate(combo)
        , m_combo(combo)
    {
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        m_combo->DrawItem(*painter, index.row(), option.rect, option.state & QStyle::State_Selected);
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_combo->ItemHeight()};
    }

private:
    TzdCustomComboBox* m_combo;
};

} // namespace

TzdCustomComboBox::TzdCustomComboBox(QWidget* parent)
    : QComboBox(parent)
    , m_color(plat::clWindow)
{
    // Always a drop-down with an edit, drawn by the control.
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setItemDelegate(new ComboItemDelegate(this));
    lineEdit()->setFrame(false);
    lineEdit()->installEventFilter(this);
    setMaxVisibleItems(m_dropDownCount);
    m_itemHeight = zd::fontTextHeight(font());
    resize(100, height());
    setAttribute(Qt::WA_Hover);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) { editEdited(text); });
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] {
        update(); // the whole control, the edit image follows the text
        if (OnChange)
            OnChange();
    });
    connect(this, qOverload<int>(&QComboBox::activated), this, [this] { Click(); });
}

TzdCustomComboBox::~TzdCustomComboBox() = default;

void TzdCustomComboBox::SetReadOnly(bool value)
{
    m_readOnly = value;
    lineEdit()->setReadOnly(value);
}

void TzdCustomComboBox::SetDropDownCount(int value)
{
    m_dropDownCount = value;
    setMaxVisibleItems(std::max(1, value));
}

void TzdCustomComboBox::SetItemHeight(int value)
{
    m_itemHeight = value;
    // The list's rows follow at the next opening.
    view()->doItemsLayout();
}

void TzdCustomComboBox::SetTextIndent(int value)
{
    m_textIndent = value;
    placeEdit();
    update();
}

void TzdCustomComboBox::SetColor(plat::TColor value)
{
    m_color = value;
    QPalette pal = lineEdit()->palette();
    pal.setColor(QPalette::Base, plat::ToQColor(plat::ColorToRGB(value)));
    lineEdit()->setPalette(pal);
    update();
}

void TzdCustomComboBox::SetSorted(bool value)
{
    m_sorted = value;
    if (!value)
        return;
    const QString text = Text();
    QStringList items;
    for (int i = 0; i < count(); ++i)
        items << itemText(i);
    items.sort(Qt::CaseInsensitive);
    const QSignalBlocker block(this);
    clear();
    addItems(items);
    setCurrentIndex(-1);
    setEditText(text);
}

void TzdCustomComboBox::AddItem(const QString& text)
{
    if (!m_sorted) {
        addItem(text);
        return;
    }
    int at = 0;
    while (at < count() && itemText(at).compare(text, Qt::CaseInsensitive) <= 0)
        ++at;
    insertItem(at, text);
}

QString TzdCustomComboBox::Text() const
{
    return lineEdit()->text();
}

void TzdCustomComboBox::SetText(const QString& text)
{
    setEditText(text);
    update();
}

bool TzdCustomComboBox::IsHot() const
{
    return m_listOpen || lineEdit()->hasFocus() || m_mouseInside;
}

zd::ComboButtonState TzdCustomComboBox::ButtonState() const
{
    if (m_listOpen)
        return zd::ComboButtonState::Pressed;
    return IsHot() ? zd::ComboButtonState::Hot : zd::ComboButtonState::Normal;
}

void TzdCustomComboBox::showPopup()
{
    if (OnDropDown)
        OnDropDown();
    m_listOpen = true;
    QComboBox::showPopup();
    QWidget* list = view()->window();
    if (list == window()) { // the style gave no popup window
        update();
        return;
    }
    const int width = m_listWidth > 0 ? m_listWidth : this->width();
    const int height = zd::comboListHeight(m_itemHeight, m_dropDownCount, count());
    const QPoint top = mapToGlobal(QPoint(0, 0));
    const QScreen* scr = screen();
    const int screenBottom = scr ? scr->geometry().y() + scr->geometry().height() : top.y() + this->height() + height;
    m_opensUpwards = zd::comboListOpensUpwards(top.y(), height, zd::fontTextHeight(font()), screenBottom);
    list->setGeometry(top.x(), m_opensUpwards ? top.y() - height : top.y() + this->height(), width, height);
    // The first rows stay in view rather than scrolling to a near item.
    if (currentIndex() <= m_dropDownCount)
        view()->scrollToTop();
    ListOpened();
    update();
}

void TzdCustomComboBox::hidePopup()
{
    QComboBox::hidePopup();
    m_listOpen = false;
    ListClosed();
    repaint(); // the button turns hot at once
}

void TzdCustomComboBox::Click()
{
    if (OnClick)
        OnClick();
}

void TzdCustomComboBox::DrawItem(QPainter& painter, int index, const QRect& rect, bool selected)
{
    const QPalette& pal = palette();
    painter.fillRect(rect, selected ? pal.color(QPalette::Highlight) : plat::ToQColor(plat::ColorToRGB(m_color)));
    painter.setPen(selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
    painter.drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     itemText(index));
}

void TzdCustomComboBox::DrawEditImage(QPainter& painter, int, const plat::TRect& rect)
{
    if (m_textIndent <= 0)
        return;
    TCanvas canvas;
    canvas.SetPainter(&painter);
    fillRect(canvas, rect, plat::clWindow);
    canvas.SetPainter(nullptr);
}

void TzdCustomComboBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const zd::ComboLook look = zd::comboLook(width(), height(), m_textIndent);
    if (!isEnabled()) {
        TCanvas canvas;
        canvas.SetPainter(&painter);
        fillRect(canvas, plat::Rect(0, 0, width(), height()), plat::clBtnFace);
        frameRect(canvas, plat::Rect(0, 0, width(), height()), plat::clBtnShadow);
        const plat::TPoint a = look.arrow;
        for (int i = 0; i < 3; ++i)
            line(canvas, a.X + i, a.Y + i, a.X + 5 - i, a.Y + i, plat::clGrayText);
        canvas.SetPainter(nullptr);
        return;
    }
    DrawEditImage(painter, currentIndex(), look.image);
    paintButton(painter);
}

void TzdCustomComboBox::paintButton(QPainter& painter)
{
    const int w = width();
    const int h = height();
    const zd::ComboLook look = zd::comboLook(w, h, m_textIndent);
    const zd::ComboButtonState state = ButtonState();
    TCanvas canvas;
    canvas.SetPainter(&painter);
    // Border.
    frameRect(canvas, plat::Rect(0, 0, w, h), state == zd::ComboButtonState::Normal ? plat::clBtnFace : plat::clHighlight);
    frameRect(canvas, plat::Rect(1, 1, w - 1, h - 1), plat::clWindow);
    frameRect(canvas, plat::Rect(2, 2, w - 2 - (zd::kComboButtonWidth + 2), h - 2), plat::clWindow);
    // Button, separator and arrow.
    TColor arrow = plat::clBtnText;
    TColor separator = plat::clHighlight;
    switch (state) {
    case zd::ComboButtonState::Normal:
        fillRect(canvas, look.button, plat::clBtnFace);
        frameRect(canvas, look.button, plat::clWindow);
        separator = plat::clWindow;
        break;
    case zd::ComboButtonState::Hot:
        fillRect(canvas, look.button, zdBlendColors(plat::clHighlight, plat::clWindow, 30));
        break;
    case zd::ComboButtonState::Pressed:
        fillRect(canvas, look.button, zdBlendColors(plat::clHighlight, plat::clWindow, 50));
        arrow = plat::clHighlightText;
        break;
    }
    line(canvas, look.separatorX, 1, look.separatorX, h - 1, separator);
    const plat::TPoint a = look.arrow;
    for (int i = 0; i < 3; ++i)
        line(canvas, a.X + i, a.Y + i, a.X + 5 - i, a.Y + i, arrow);
    canvas.SetPainter(nullptr);
}

void TzdCustomComboBox::placeEdit()
{
    if (m_placingEdit)
        return;
    const QScopedValueRollback guard(m_placingEdit, true);
    lineEdit()->setGeometry(zd::comboLook(width(), height(), m_textIndent).edit.toQRect());
}

void TzdCustomComboBox::editEdited(const QString& text)
{
    // Typing keeps the selected item's own spelling of its text.
    const int index = currentIndex();
    if (index < 0)
        return;
    const QString item = itemText(index);
    if (item == text || item.compare(text, Qt::CaseInsensitive) != 0)
        return;
    QLineEdit* edit = lineEdit();
    const int start = edit->selectionStart();
    const int length = edit->selectionLength();
    const int cursor = edit->cursorPosition();
    edit->setText(item);
    if (start >= 0)
        edit->setSelection(start, length);
    else
        edit->setCursorPosition(cursor);
}

void TzdCustomComboBox::resizeEvent(QResizeEvent* event)
{
    QComboBox::resizeEvent(event);
    placeEdit();
}

void TzdCustomComboBox::showEvent(QShowEvent* event)
{
    QComboBox::showEvent(event);
    placeEdit();
}

void TzdCustomComboBox::changeEvent(QEvent* event)
{
    QComboBox::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        m_itemHeight = zd::fontTextHeight(font());
        placeEdit();
        break;
    case QEvent::EnabledChange:
        update();
        break;
    default:
        break;
    }
}

void TzdCustomComboBox::enterEvent(QEnterEvent* event)
{
    QComboBox::enterEvent(event);
    m_mouseInside = true;
    if (isEnabled() && !lineEdit()->hasFocus() && !m_listOpen)
        repaint();
}

void TzdCustomComboBox::leaveEvent(QEvent* event)
{
    QComboBox::leaveEvent(event);
    m_mouseInside = false;
    if (isEnabled() && !lineEdit()->hasFocus() && !m_listOpen)
        repaint();
}

bool TzdCustomComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit()) {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            update();
            break;
        case QEvent::Move:
        case QEvent::Resize:
            // The combo box places its edit by its own style; ours wins.
            if (!m_placingEdit && lineEdit()->geometry() != zd::comboLook(width(), height(), m_textIndent).edit.toQRect())
                QMetaObject::invokeMethod(this, [this] { placeEdit(); }, Qt::QueuedConnection);
            break;
        default:
            break;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

TzdComboBox::TzdComboBox(QWidget* parent)
    : TzdCustomComboBox(parent)
{
}

// ------------------------------------------------------------ TzdComboEdit

namespace {
constexpr int kComboEditHeight = 21;
}

TzdComboEdit::TzdComboEdit(QWidget* parent)
    : QLineEdit(parent)
    , m_panel(new QWidget(this))
    , m_button(new QToolButton(m_panel))
{
    resize(width(), kComboEditHeight);
    m_button->setAutoRaise(true);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setCursor(Qt::ArrowCursor);
    auto* layout = new QHBoxLayout(m_panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_button);
    connect(m_button, &QToolButton::clicked, this, [this] {
        setFocus(Qt::OtherFocusReason);
        if (OnButtonClick)
            OnButtonClick();
    });
    placeButton();
}

void TzdComboEdit::SetGlyph(const QPixmap& glyph)
{
    m_glyph = glyph;
    m_button->setIcon(QIcon(glyph));
    if (!glyph.isNull())
        m_button->setIconSize(glyph.size());
}

void TzdComboEdit::SetButtonEnabled(bool value)
{
    m_buttonEnabled = value;
    m_button->setEnabled(value && isEnabled());
}

QString TzdComboEdit::ButtonHint() const
{
    return m_button->toolTip();
}

void TzdComboEdit::SetButtonHint(const QString& hint)
{
    m_button->setToolTip(hint);
}

void TzdComboEdit::placeButton()
{
    // The text ends where the button's panel begins.
    const int h = height();
    const int side = std::max(0, h - 4);
    m_panel->setGeometry(width() - h + 2, 2, side, side);
    setTextMargins(0, 0, std::max(0, h), 0);
}

void TzdComboEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    placeButton();
}

void TzdComboEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        m_button->setEnabled(isEnabled() && m_buttonEnabled);
}

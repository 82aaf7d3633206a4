#include "StdCtrls.h"

#include "Application.h"
#include "Canvas.h"
#include "Exceptions.h"
#include "MaskUtils.h"
#include "Modal.h"
#include "Services.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace plat {

PLAT_DEFINE_ENUM(TAlignment, "taLeftJustify", "taRightJustify", "taCenter")
PLAT_DEFINE_ENUM(TCheckBoxState, "cbUnchecked", "cbChecked", "cbGrayed")
PLAT_DEFINE_ENUM(TScrollStyle, "ssNone", "ssHorizontal", "ssVertical", "ssBoth")
PLAT_DEFINE_ENUM(TComboBoxStyle, "csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
                 "csOwnerDrawVariable")
PLAT_DEFINE_ENUM(TEditCharCase, "ecNormal", "ecUpperCase", "ecLowerCase")
PLAT_DEFINE_ENUM(TBevelCut, "bvNone", "bvLowered", "bvRaised", "bvSpace")
PLAT_DEFINE_ENUM(TBevelShape, "bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine",
                 "bsSpacer")
PLAT_DEFINE_ENUM(TBevelStyle, "bsLowered", "bsRaised")
PLAT_DEFINE_ENUM(TTextLayout, "tlTop", "tlCenter", "tlBottom")
PLAT_DEFINE_ENUM(TButtonLayout, "blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom")
PLAT_DEFINE_ENUM(TBitBtnKind, "bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort",
                 "bkRetry", "bkIgnore", "bkAll")
PLAT_DEFINE_ENUM(TDateTimeKind, "dtkDate", "dtkTime")
PLAT_DEFINE_ENUM(TDTDateFormat, "dfShort", "dfLong")
PLAT_DEFINE_ENUM(TFormStyle, "fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop")

bool guardControlHandler(const std::function<void()>& f)
{
    return Application().Guard(f);
}

namespace {

const char* const kControlProperty = "plat.control";

[[noreturn]] void listIndexError(int index)
{
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

QFont toQFont(const TFont& font)
{
    QFont f(font.Name());
    f.setPixelSize(std::max(1, std::abs(font.Height())));
    f.setBold(font.HasStyle(fsBold));
    f.setItalic(font.HasStyle(fsItalic));
    f.setUnderline(font.HasStyle(fsUnderline));
    f.setStrikeOut(font.HasStyle(fsStrikeOut));
    return f;
}

Qt::Alignment horizontal(TAlignment a)
{
    switch (a) {
    case taRightJustify:
        return Qt::AlignRight;
    case taCenter:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

// Days since 1899-12-30 and back.
const QDate kEpoch(1899, 12, 30);

} // namespace

// A filter on the control's widget: the platform's events come from here.
class ControlEventFilter : public QObject {
public:
    explicit ControlEventFilter(TControl* control) : m_control(control) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_control->m_widget)
            return false;
        return m_control->widgetEvent(event);
    }

private:
    TControl* m_control;
};

// ---------------------------------------------------------------------------
// TControlStrings

int TControlStrings::Count() const
{
    return m_storage.count();
}

void TControlStrings::check(int index, bool allowEnd) const
{
    const int n = Count();
    if (index < 0 || index > n || (index == n && !allowEnd))
        throw EStringListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

QString TControlStrings::Strings(int index) const
{
    check(index);
    return m_storage.get(index);
}

void TControlStrings::SetStrings(int index, const QString& s)
{
    check(index);
    m_storage.set(index, s);
}

void* TControlStrings::Objects(int index) const
{
    check(index);
    return index < static_cast<int>(m_objects.size()) ? m_objects[static_cast<size_t>(index)] : nullptr;
}

void TControlStrings::SetObjects(int index, void* object)
{
    check(index);
    if (static_cast<int>(m_objects.size()) <= index)
        m_objects.resize(static_cast<size_t>(index) + 1, nullptr);
    m_objects[static_cast<size_t>(index)] = object;
}

void TControlStrings::Insert(int index, const QString& s)
{
    check(index, true);
    m_storage.insert(index, s);
    if (index < static_cast<int>(m_objects.size()))
        m_objects.insert(m_objects.begin() + index, nullptr);
}

void TControlStrings::Delete(int index)
{
    check(index);
    m_storage.remove(index);
    if (index < static_cast<int>(m_objects.size()))
        m_objects.erase(m_objects.begin() + index);
}

void TControlStrings::Clear()
{
    m_storage.clear();
    m_objects.clear();
}

void TControlStrings::Assign(TPersistent* Source)
{
    if (auto* list = dynamic_cast<TStrings*>(Source)) {
        if (list != this)
            TStrings::Assign(*list);
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner, QWidget* widget)
    : TComponent(AOwner), m_widget(widget), m_font(std::make_unique<TFont>()), m_color(clBtnFace)
{
    m_widget->setProperty(kControlProperty, QVariant::fromValue<void*>(this));
    m_widget->setAttribute(Qt::WA_NoMousePropagation, false);
    m_widget->setMouseTracking(true);
    m_filter = new ControlEventFilter(this);
    m_filter->setParent(m_widget);
    m_widget->installEventFilter(m_filter);
    m_font->SetName(QStringLiteral("Tahoma"));
    m_font->SetSize(8);
    m_font->SetOwnerListener([this](TGraphicsObject*) {
        m_parentFont = false;
        applyFont();
    });
    m_widget->resize(0, 0);
}

TControl::~TControl()
{
    if (m_parent)
        SetParent(nullptr);
    delete m_widget;
}

TControl* TControl::FromWidget(const QWidget* widget)
{
    if (!widget)
        return nullptr;
    return static_cast<TControl*>(widget->property(kControlProperty).value<void*>());
}

void TControl::SetParent(TWinControl* Value)
{
    if (Value == m_parent)
        return;
    if (Value == this)
        throw EInvalidOperation(QStringLiteral("A control cannot have itself as its parent"));
    if (m_parent) {
        auto& list = m_parent->m_controls;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    m_parent = Value;
    const QRect geometry = m_widget->geometry();
    if (Value) {
        Value->m_controls.push_back(this);
        m_widget->setParent(Value->ClientWidget());
    } else {
        m_widget->setParent(nullptr);
    }
    m_widget->setGeometry(geometry);
    if (m_parentFont && Value)
        m_font->AssignFont(*Value->Font()), m_parentFont = true, applyFont();
    m_widget->setVisible(m_visible && Value);
}

void TControl::SetParentWidget(QWidget* widget)
{
    if (m_parent)
        SetParent(nullptr);
    const QRect geometry = m_widget->geometry();
    m_widget->setParent(widget);
    m_widget->setGeometry(geometry);
    m_widget->setVisible(m_visible && widget);
}

int TControl::Left() const { return m_widget->x(); }
int TControl::Top() const { return m_widget->y(); }
int TControl::Width() const { return m_widget->width(); }
int TControl::Height() const { return m_widget->height(); }
void TControl::SetLeft(int Value) { SetBounds(Value, Top(), Width(), Height()); }
void TControl::SetTop(int Value) { SetBounds(Left(), Value, Width(), Height()); }
void TControl::SetWidth(int Value) { SetBounds(Left(), Top(), Value, Height()); }
void TControl::SetHeight(int Value) { SetBounds(Left(), Top(), Width(), Value); }

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(0, AWidth);
    AHeight = std::max(0, AHeight);
    if (OnCanResize && (AWidth != Width() || AHeight != Height())) {
        bool resize = true;
        guarded([&] { OnCanResize(this, AWidth, AHeight, resize); });
        if (!resize) {
            AWidth = Width();
            AHeight = Height();
        }
    }
    m_widget->setGeometry(ALeft, ATop, AWidth, AHeight);
}

int TControl::ClientWidth() const { return m_widget->contentsRect().width(); }
int TControl::ClientHeight() const { return m_widget->contentsRect().height(); }
void TControl::SetClientWidth(int Value) { SetWidth(Value + Width() - ClientWidth()); }
void TControl::SetClientHeight(int Value) { SetHeight(Value + Height() - ClientHeight()); }

QString TControl::Caption() const
{
    return m_widget->windowTitle();
}

void TControl::SetCaption(const QString& Value)
{
    m_widget->setWindowTitle(Value);
}

void TControl::SetName(const QString& NewName)
{
    const QString old = Name();
    const bool follow = CaptionFollowsName() && Caption() == old &&
                        !ComponentState().contains(csLoading) && !ComponentState().contains(csReading);
    TComponent::SetName(NewName);
    if (follow)
        SetCaption(NewName);
}

void TControl::SetColor(TColor Value)
{
    m_color = Value;
    m_parentColor = false;
    applyColor();
}

void TControl::applyColor()
{
    QPalette pal = m_widget->palette();
    const QColor c = ToQColor(m_color);
    pal.setColor(m_widget->backgroundRole(), c);
    m_widget->setPalette(pal);
}

void TControl::SetFont(TFont* Value)
{
    if (Value)
        m_font->Assign(Value);
}

void TControl::SetParentFont(bool Value)
{
    m_parentFont = Value;
    if (Value && m_parent) {
        m_font->AssignFont(*m_parent->Font());
        m_parentFont = true;
        applyFont();
    }
}

void TControl::SetParentColor(bool Value)
{
    m_parentColor = Value;
    if (Value && m_parent) {
        m_color = m_parent->Color();
        applyColor();
    }
}

void TControl::applyFont()
{
    m_widget->setFont(toQFont(*m_font));
    QPalette pal = m_widget->palette();
    pal.setColor(m_widget->foregroundRole(), ToQColor(m_font->Color()));
    m_widget->setPalette(pal);
    if (auto* win = dynamic_cast<TWinControl*>(this)) {
        for (TControl* c : win->m_controls)
            if (c->m_parentFont) {
                c->m_font->AssignFont(*m_font);
                c->m_parentFont = true;
                c->applyFont();
            }
    }
}

bool TControl::Enabled() const { return m_widget->isEnabled() || !m_widget->testAttribute(Qt::WA_Disabled); }

void TControl::SetEnabled(bool Value)
{
    m_widget->setEnabled(Value);
}

void TControl::SetVisible(bool Value)
{
    m_visible = Value;
    if (m_parent || m_widget->parentWidget())
        m_widget->setVisible(Value);
    else if (!Value)
        m_widget->hide();
}

void TControl::SetHint(const QString& Value)
{
    m_hint = Value;
    m_widget->setToolTip(m_showHint ? Value.section(QLatin1Char('|'), 0, 0) : QString());
}

void TControl::SetShowHint(bool Value)
{
    m_showHint = Value;
    SetHint(m_hint);
}

void TControl::SetCursor(TCursor Value)
{
    m_cursor = Value;
    m_widget->setCursor(CursorShape(Value));
}

void TControl::Invalidate() { m_widget->update(); }
void TControl::Repaint() { m_widget->repaint(); }
bool TControl::Showing() const { return m_widget->isVisible(); }

TCustomForm* TControl::GetParentForm() const
{
    const TControl* c = this;
    while (c->m_parent)
        c = c->m_parent;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::Click()
{
    guarded([this] { OnClick(this); });
}

bool TControl::widgetEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        auto* e = static_cast<QMouseEvent*>(event);
        const TMouseButton button = e->button() == Qt::RightButton    ? mbRight
                                    : e->button() == Qt::MiddleButton ? mbMiddle
                                                                      : mbLeft;
        const int x = qRound(e->position().x());
        const int y = qRound(e->position().y());
        const bool dbl = event->type() == QEvent::MouseButtonDblClick;
        TShiftState shift = ShiftStateFromQt(e->modifiers(), e->buttons() | e->button(), dbl);
        if (event->type() == QEvent::MouseButtonRelease) {
            shift = ShiftStateFromQt(e->modifiers(), e->buttons(), false);
            guarded([&] { OnMouseUp(this, button, shift, x, y); });
            if (m_pressed && ClickFromMouse() && button == mbLeft && m_widget->rect().contains(x, y)) {
                m_pressed = false;
                Click();
            }
            m_pressed = false;
        } else {
            if (dbl)
                guarded([&] { OnDblClick(this); });
            guarded([&] { OnMouseDown(this, button, shift, x, y); });
            m_pressed = !dbl && button == mbLeft;
        }
        return false;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        const TShiftState shift = ShiftStateFromQt(e->modifiers(), e->buttons());
        guarded([&] { OnMouseMove(this, shift, qRound(e->position().x()), qRound(e->position().y())); });
        return false;
    }
    case QEvent::Resize:
        guarded([this] { OnResize(this); });
        return false;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner, QWidget* widget) : TControl(AOwner, widget)
{
    widget->setFocusPolicy(Qt::StrongFocus);
}

TWinControl::~TWinControl()
{
    while (!m_controls.empty()) {
        TControl* c = m_controls.back();
        c->SetParent(nullptr);
        delete c;
    }
}

TControl* TWinControl::Controls(int Index) const
{
    if (Index < 0 || Index >= ControlCount())
        listIndexError(Index);
    return m_controls[static_cast<size_t>(Index)];
}

bool TWinControl::ContainsControl(const TControl* Control) const
{
    for (const TControl* c = Control; c; c = c->Parent())
        if (c == this)
            return true;
    return false;
}

QWidget* TWinControl::ClientWidget() const
{
    return Widget();
}

void TWinControl::SetTabStop(bool Value)
{
    m_tabStop = Value;
    Widget()->setFocusPolicy(Value ? Qt::StrongFocus : Qt::ClickFocus);
}

int TWinControl::TabOrder() const
{
    if (!Parent())
        return -1;
    int n = 0;
    for (TControl* c : Parent()->m_controls) {
        if (c == this)
            return n;
        if (dynamic_cast<TWinControl*>(c))
            ++n;
    }
    return -1;
}

void TWinControl::SetTabOrder(int Value)
{
    TWinControl* p = Parent();
    if (!p)
        return;
    std::vector<TWinControl*> wins;
    for (TControl* c : p->m_controls)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w != this)
            wins.push_back(w);
    Value = std::clamp(Value, 0, static_cast<int>(wins.size()));
    wins.insert(wins.begin() + Value, this);
    // Reorder the parent's list to match, keeping graphic controls in place.
    size_t k = 0;
    for (TControl*& c : p->m_controls)
        if (dynamic_cast<TWinControl*>(c))
            c = wins[k++];
    for (size_t i = 1; i < wins.size(); ++i)
        QWidget::setTabOrder(wins[i - 1]->Widget(), wins[i]->Widget());
}

void TWinControl::SetFocus()
{
    if (TCustomForm* f = GetParentForm(); f && f != this)
        f->Widget()->activateWindow();
    Widget()->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Focused() const { return Widget()->hasFocus(); }
bool TWinControl::CanFocus() const { return Widget()->isVisible() && Widget()->isEnabled(); }

void TWinControl::DoKeyDown(quint16& Key, TShiftState Shift)
{
    if (TCustomForm* f = GetParentForm(); f && f != this && f->KeyPreview()) {
        guarded([&] { f->OnKeyDown(f, Key, Shift); });
        if (Key == 0)
            return;
    }
    guarded([&] { OnKeyDown(this, Key, Shift); });
}

void TWinControl::DoKeyUp(quint16& Key, TShiftState Shift)
{
    if (TCustomForm* f = GetParentForm(); f && f != this && f->KeyPreview()) {
        guarded([&] { f->OnKeyUp(f, Key, Shift); });
        if (Key == 0)
            return;
    }
    guarded([&] { OnKeyUp(this, Key, Shift); });
}

void TWinControl::DoKeyPress(QChar& Key)
{
    if (TCustomForm* f = GetParentForm(); f && f != this && f->KeyPreview()) {
        guarded([&] { f->OnKeyPress(f, Key); });
        if (Key.isNull())
            return;
    }
    guarded([&] { OnKeyPress(this, Key); });
}

bool TWinControl::widgetEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        guarded([this] { OnEnter(this); });
        return false;
    case QEvent::FocusOut:
        guarded([this] { OnExit(this); });
        return false;
    case QEvent::KeyPress: {
        if (m_resending)
            return false;
        auto* e = static_cast<QKeyEvent*>(event);
        const TShiftState shift = ShiftStateFromQt(e->modifiers());
        quint16 key = static_cast<quint16>(VirtualKeyFromQt(e->key(), e->modifiers()));
        if (key != 0) {
            const quint16 before = key;
            DoKeyDown(key, shift);
            if (key == 0)
                return true;
            (void)before;
        }
        const QString text = e->text();
        if (text.size() == 1 && (text[0].isPrint() || text[0] == QLatin1Char('\r') || text[0] == QLatin1Char('\b') ||
                                 text[0] == QChar(27))) {
            QChar ch = text[0];
            DoKeyPress(ch);
            if (ch.isNull())
                return true;
            if (ch != text[0]) {
                // The handler gave another character: the widget gets that one.
                QKeyEvent changed(QEvent::KeyPress, ch.isLetter() ? int(ch.toUpper().unicode()) : Qt::Key_unknown,
                                  e->modifiers(), QString(ch));
                m_resending = true;
                QCoreApplication::sendEvent(Widget(), &changed);
                m_resending = false;
                return true;
            }
        }
        return false;
    }
    case QEvent::KeyRelease: {
        auto* e = static_cast<QKeyEvent*>(event);
        quint16 key = static_cast<quint16>(VirtualKeyFromQt(e->key(), e->modifiers()));
        if (key == 0)
            return false;
        DoKeyUp(key, ShiftStateFromQt(e->modifiers()));
        return key == 0;
    }
    default:
        return TControl::widgetEvent(event);
    }
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner, new QWidget) {}
TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner, new QWidget) {}

// ---------------------------------------------------------------------------
// TLabel

namespace {
QLabel* labelOf(const TControl* c) { return static_cast<QLabel*>(c->Widget()); }
} // namespace

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner, new QLabel)
{
    labelOf(this)->setAutoFillBackground(false);
    SetAlignment(taLeftJustify);
    adjust();
}

QString TLabel::Caption() const { return labelOf(this)->text(); }

void TLabel::SetCaption(const QString& Value)
{
    labelOf(this)->setText(Value);
    adjust();
}

void TLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    adjust();
}

void TLabel::SetAlignment(TAlignment Value)
{
    m_alignment = Value;
    const Qt::Alignment v = m_layout == tlCenter ? Qt::AlignVCenter : m_layout == tlBottom ? Qt::AlignBottom : Qt::AlignTop;
    labelOf(this)->setAlignment(horizontal(Value) | v);
}

void TLabel::SetLayout(TTextLayout Value)
{
    m_layout = Value;
    SetAlignment(m_alignment);
}

void TLabel::SetAutoSize(bool Value)
{
    m_autoSize = Value;
    adjust();
}

void TLabel::SetWordWrap(bool Value)
{
    m_wordWrap = Value;
    labelOf(this)->setWordWrap(Value);
    adjust();
}

void TLabel::SetTransparent(bool Value)
{
    m_transparent = Value;
    labelOf(this)->setAutoFillBackground(!Value);
}

void TLabel::adjust()
{
    if (!m_autoSize)
        return;
    QLabel* l = labelOf(this);
    const QFontMetrics fm(l->font());
    QSize size;
    if (m_wordWrap) {
        const QRect r = fm.boundingRect(QRect(0, 0, std::max(1, Width()), 100000), Qt::TextWordWrap, l->text());
        size = QSize(Width(), std::max(r.height(), fm.height()));
    } else {
        int w = 0;
        const QStringList lines = l->text().split(QLatin1Char('\n'));
        for (const QString& line : lines)
            w = std::max(w, fm.horizontalAdvance(line));
        size = QSize(w, fm.height() * static_cast<int>(lines.size()));
    }
    l->resize(size);
}

// ---------------------------------------------------------------------------
// Edits

void TCustomEdit::SetMaxLength(int Value) { m_maxLength = std::max(0, Value); }
void TCustomEdit::SetReadOnly(bool Value) { m_readOnly = Value; }

void TCustomEdit::SetCharCase(TEditCharCase Value)
{
    m_charCase = Value;
    if (Value != ecNormal)
        SetText(Text());
}

QString TCustomEdit::cased(const QString& s) const
{
    switch (m_charCase) {
    case ecUpperCase:
        return s.toUpper();
    case ecLowerCase:
        return s.toLower();
    default:
        return s;
    }
}

void TCustomEdit::Change()
{
    if (m_inChange)
        return;
    guarded([this] { OnChange(this); });
}

namespace {
QLineEdit* lineOf(const TControl* c) { return static_cast<QLineEdit*>(c->Widget()); }
} // namespace

TEdit::TEdit(TComponent* AOwner) : TEdit(AOwner, new QLineEdit) {}

TEdit::TEdit(TComponent* AOwner, QWidget* widget) : TCustomEdit(AOwner, widget)
{
    bind();
    SetColor(clWindow);
}

void TEdit::bind()
{
    QObject::connect(lineOf(this), &QLineEdit::textEdited, Widget(), [this](const QString& text) {
        const QString c = cased(text);
        if (c != text) {
            const int pos = lineOf(this)->cursorPosition();
            const QSignalBlocker block(Widget());
            lineOf(this)->setText(c);
            lineOf(this)->setCursorPosition(pos);
        }
    });
    QObject::connect(lineOf(this), &QLineEdit::textChanged, Widget(), [this] { Change(); });
}

QString TEdit::Text() const { return lineOf(this)->text(); }

void TEdit::SetText(const QString& Value)
{
    QString v = cased(Value);
    if (MaxLength() > 0 && v.size() > MaxLength())
        v.truncate(MaxLength());
    if (v != lineOf(this)->text())
        lineOf(this)->setText(v);
}

void TEdit::SetMaxLength(int Value)
{
    TCustomEdit::SetMaxLength(Value);
    lineOf(this)->setMaxLength(MaxLength() > 0 ? MaxLength() : 32767);
}

void TEdit::SetReadOnly(bool Value)
{
    TCustomEdit::SetReadOnly(Value);
    lineOf(this)->setReadOnly(Value);
}

void TEdit::SetPasswordChar(QChar Value)
{
    m_passwordChar = Value;
    lineOf(this)->setEchoMode(Value.isNull() ? QLineEdit::Normal : QLineEdit::Password);
}

void TEdit::SelectAll() { lineOf(this)->selectAll(); }

// TMaskEdit: the mask lays out the text; typed characters fill the blanks
// of the places that take them.
TMaskEdit::TMaskEdit(TComponent* AOwner) : TEdit(AOwner) {}

void TMaskEdit::SetEditMask(const QString& Value)
{
    const QString text = Text();
    m_editMask = Value;
    SetText(text);
}

QString TMaskEdit::Text() const
{
    const QString shown = TEdit::Text();
    if (m_editMask.isEmpty())
        return shown;
    const EditMaskLayout layout = ParseEditMask(m_editMask);
    QString out;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (layout.isSlot(i))
            out += shown[i] == layout.blank ? QChar(u' ') : shown[i];
        else if (layout.saveLiterals || i >= layout.size())
            out += shown[i];
    }
    return out;
}

void TMaskEdit::SetText(const QString& Value)
{
    if (m_editMask.isEmpty()) {
        TEdit::SetText(Value);
        return;
    }
    const EditMaskLayout layout = ParseEditMask(m_editMask);
    QString shown = FormatMaskText(m_editMask, Value).left(layout.size());
    for (qsizetype i = 0; i < shown.size(); ++i)
        if (layout.isSlot(i) && shown[i] == u' ')
            shown[i] = layout.blank;
    TEdit::SetText(shown);
}

bool TMaskEdit::widgetEvent(QEvent* event)
{
    if (TEdit::widgetEvent(event))
        return true;
    if (m_editMask.isEmpty() || event->type() != QEvent::KeyPress || ReadOnly())
        return false;
    auto* e = static_cast<QKeyEvent*>(event);
    QLineEdit* line = lineOf(this);
    const EditMaskLayout layout = ParseEditMask(m_editMask);
    QString shown = line->text();
    if (shown.size() != layout.size()) {
        SetText(Text());
        shown = line->text();
    }
    int pos = line->cursorPosition();
    if (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete) {
        int at = e->key() == Qt::Key_Backspace ? pos - 1 : pos;
        while (at >= 0 && at < layout.size() && !layout.isSlot(at))
            at += e->key() == Qt::Key_Backspace ? -1 : 1;
        if (layout.isSlot(at)) {
            shown[at] = layout.blank;
            line->setText(shown);
            line->setCursorPosition(e->key() == Qt::Key_Backspace ? at : at + 1);
        }
        return true;
    }
    const QString text = e->text();
    if (text.size() != 1 || !text[0].isPrint())
        return false;
    while (pos < layout.size() && !layout.isSlot(pos))
        ++pos;
    if (pos >= layout.size() || !MaskCharAccepts(layout.maskChars[pos], text[0]))
        return true;
    QChar c = text[0];
    if (layout.caseModes[pos] == u'>')
        c = c.toUpper();
    else if (layout.caseModes[pos] == u'<')
        c = c.toLower();
    shown[pos] = c;
    line->setText(shown);
    line->setCursorPosition(pos + 1);
    return true;
}

// TMemo
namespace {
QPlainTextEdit* memoOf(const TControl* c) { return static_cast<QPlainTextEdit*>(c->Widget()); }

QStringList memoLines(const QPlainTextEdit* e)
{
    const QString text = e->toPlainText();
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    return lines;
}

void setMemoLines(QPlainTextEdit* e, const QStringList& lines)
{
    e->setPlainText(lines.join(QLatin1Char('\n')));
}
} // namespace

TMemo::TMemo(TComponent* AOwner) : TCustomEdit(AOwner, new QPlainTextEdit)
{
    QPlainTextEdit* e = memoOf(this);
    e->setTabChangesFocus(true);
    e->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_lines = std::make_unique<TControlStrings>(TControlStrings::Storage{
        [e] { return static_cast<int>(memoLines(e).size()); },
        [e](int i) { return memoLines(e).value(i); },
        [e](int i, const QString& s) {
            QStringList l = memoLines(e);
            l[i] = s;
            setMemoLines(e, l);
        },
        [e](int i, const QString& s) {
            QStringList l = memoLines(e);
            l.insert(i, s);
            setMemoLines(e, l);
        },
        [e](int i) {
            QStringList l = memoLines(e);
            l.removeAt(i);
            setMemoLines(e, l);
        },
        [e] { e->clear(); }});
    QObject::connect(e, &QPlainTextEdit::textChanged, e, [this] {
        if (MaxLength() > 0) {
            QPlainTextEdit* m = memoOf(this);
            const QString t = m->toPlainText();
            if (t.size() > MaxLength()) {
                const QSignalBlocker block(m);
                m->setPlainText(t.left(MaxLength()));
                m->moveCursor(QTextCursor::End);
            }
        }
        Change();
    });
    SetColor(clWindow);
}

TMemo::~TMemo() = default;

QString TMemo::Text() const
{
    // Lines end with CR LF in the platform's text.
    QString t = memoOf(this)->toPlainText();
    if (t.isEmpty())
        return t;
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return t + QStringLiteral("\r\n");
}

void TMemo::SetText(const QString& Value)
{
    QString t = Value;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (t.endsWith(QLatin1Char('\n')))
        t.chop(1);
    if (MaxLength() > 0)
        t.truncate(MaxLength());
    if (t != memoOf(this)->toPlainText())
        memoOf(this)->setPlainText(t);
}

void TMemo::SetLines(TControlStrings* Value)
{
    if (Value)
        m_lines->Assign(static_cast<TPersistent*>(Value));
}

void TMemo::SetMaxLength(int Value)
{
    TCustomEdit::SetMaxLength(Value);
}

void TMemo::SetReadOnly(bool Value)
{
    TCustomEdit::SetReadOnly(Value);
    memoOf(this)->setReadOnly(Value);
}

void TMemo::SetWordWrap(bool Value)
{
    m_wordWrap = Value;
    memoOf(this)->setLineWrapMode(Value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::SetScrollBars(TScrollStyle Value)
{
    m_scrollBars = Value;
    QPlainTextEdit* e = memoOf(this);
    e->setHorizontalScrollBarPolicy(Value == ssHorizontal || Value == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                              : Qt::ScrollBarAlwaysOff);
    e->setVerticalScrollBarPolicy(Value == ssVertical || Value == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                          : Qt::ScrollBarAlwaysOff);
}

void TMemo::SetWantTabs(bool Value)
{
    m_wantTabs = Value;
    memoOf(this)->setTabChangesFocus(!Value);
}

void TMemo::SelectAll() { memoOf(this)->selectAll(); }

// ---------------------------------------------------------------------------
// Buttons

namespace {
QAbstractButton* buttonOf(const TControl* c) { return static_cast<QAbstractButton*>(c->Widget()); }

// A check box whose click cycles as the platform's does.
class PlatCheckBox : public QCheckBox {
public:
    TCheckBox* owner = nullptr;

protected:
    void nextCheckState() override
    {
        const TCheckBoxState next = owner->NextState();
        setCheckState(next == cbChecked ? Qt::Checked : next == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    }
};
} // namespace

TButtonControl::TButtonControl(TComponent* AOwner, QWidget* widget) : TWinControl(AOwner, widget)
{
    QObject::connect(buttonOf(this), &QAbstractButton::clicked, widget, [this] { Click(); });
}

QString TButtonControl::Caption() const { return buttonOf(this)->text(); }
void TButtonControl::SetCaption(const QString& Value) { buttonOf(this)->setText(Value); }

TButton::TButton(TComponent* AOwner) : TButton(AOwner, new QPushButton) {}

TButton::TButton(TComponent* AOwner, QWidget* widget) : TButtonControl(AOwner, widget)
{
    static_cast<QPushButton*>(widget)->setAutoDefault(false);
}

void TButton::Click()
{
    if (TCustomForm* f = GetParentForm())
        f->SetModalResult(m_modalResult);
    TButtonControl::Click();
}

void TButton::SetDefault(bool Value)
{
    m_default = Value;
    static_cast<QPushButton*>(Widget())->setDefault(Value);
}

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), m_glyph(std::make_unique<TBitmap>())
{
    m_glyph->SetOnChange([this](TGraphic*) { glyphChanged(); });
}

TBitBtn::~TBitBtn() = default;

void TBitBtn::SetGlyph(TBitmap* Value)
{
    if (Value)
        m_glyph->Assign(Value);
    glyphChanged();
}

void TBitBtn::glyphChanged()
{
    if (m_glyph->Empty()) {
        buttonOf(this)->setIcon(QIcon());
        return;
    }
    QImage image = m_glyph->ToImage();
    if (m_numGlyphs > 1)
        image = image.copy(0, 0, image.width() / m_numGlyphs, image.height());
    buttonOf(this)->setIcon(QIcon(QPixmap::fromImage(image)));
}

void TBitBtn::SetKind(TBitBtnKind Value)
{
    m_kind = Value;
    static const struct {
        const char* caption;
        int result;
    } kinds[] = {{"", 0},       {"OK", mrOk},       {"Zrušit", mrCancel}, {"Nápověda", 0},
                 {"&Ano", mrYes}, {"&Ne", mrNo},     {"&Zavřít", 0},       {"Přerušit", mrAbort},
                 {"&Opakovat", mrRetry}, {"&Ignorovat", mrIgnore}, {"&Vše", mrAll}};
    if (Value == bkCustom)
        return;
    SetCaption(QString::fromUtf8(kinds[Value].caption));
    SetModalResult(kinds[Value].result);
    if (Value == bkOK || Value == bkYes)
        SetDefault(true);
    if (Value == bkCancel || Value == bkNo)
        SetCancel(true);
}

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner, new PlatCheckBox)
{
    static_cast<PlatCheckBox*>(Widget())->owner = this;
    static_cast<PlatCheckBox*>(Widget())->setTristate(true);
}

TCheckBoxState TCheckBox::State() const
{
    switch (static_cast<QCheckBox*>(Widget())->checkState()) {
    case Qt::Checked:
        return cbChecked;
    case Qt::PartiallyChecked:
        return cbGrayed;
    default:
        return cbUnchecked;
    }
}

void TCheckBox::SetState(TCheckBoxState Value)
{
    if (Value == State())
        return;
    static_cast<QCheckBox*>(Widget())->setCheckState(Value == cbChecked  ? Qt::Checked
                                                     : Value == cbGrayed ? Qt::PartiallyChecked
                                                                          : Qt::Unchecked);
    // Setting the state from the program clicks, as on the platform.
    Click();
}

TCheckBoxState TCheckBox::NextState() const
{
    switch (State()) {
    case cbUnchecked:
        return cbChecked;
    case cbChecked:
        return m_allowGrayed ? cbGrayed : cbUnchecked;
    default:
        return cbUnchecked;
    }
}

void TCheckBox::SetAlignment(TAlignment Value)
{
    m_alignment = Value;
    Widget()->setLayoutDirection(Value == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner, new QRadioButton)
{
    // Grouping is by parent control, done here rather than by Qt so that
    // the program may uncheck the checked one.
    buttonOf(this)->setAutoExclusive(false);
    QObject::connect(buttonOf(this), &QAbstractButton::toggled, Widget(), [this](bool on) {
        if (on && Parent()) {
            for (int i = 0; i < Parent()->ControlCount(); ++i)
                if (auto* r = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); r && r != this && r->Checked())
                    r->SetChecked(false);
        }
    });
}

bool TRadioButton::Checked() const { return buttonOf(this)->isChecked(); }

void TRadioButton::SetChecked(bool Value)
{
    if (Value == Checked())
        return;
    buttonOf(this)->setChecked(Value);
    if (Value)
        Click();
}

void TRadioButton::SetAlignment(TAlignment Value)
{
    m_alignment = Value;
    Widget()->setLayoutDirection(Value == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

// ---------------------------------------------------------------------------
// Lists

namespace {
QListWidget* listOf(const TControl* c) { return static_cast<QListWidget*>(c->Widget()); }
} // namespace

TCustomListBox::TCustomListBox(TComponent* AOwner, QWidget* widget) : TWinControl(AOwner, widget)
{
    QListWidget* l = listOf(this);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    auto makeItem = [this](const QString& s) {
        auto* item = new QListWidgetItem(s);
        if (dynamic_cast<TCheckListBox*>(this)) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        return item;
    };
    m_items = std::make_unique<TControlStrings>(TControlStrings::Storage{
        [l] { return l->count(); },
        [l](int i) { return l->item(i)->text(); },
        [l](int i, const QString& s) { l->item(i)->setText(s); },
        [this, l, makeItem](int i, const QString& s) {
            if (m_sorted) {
                int at = 0;
                while (at < l->count() && compareNames(l->item(at)->text(), s) <= 0)
                    ++at;
                i = at;
            }
            l->insertItem(i, makeItem(s));
        },
        [l](int i) { delete l->takeItem(i); },
        [l] { l->clear(); }});
    SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::SetItems(TControlStrings* Value)
{
    if (Value)
        m_items->Assign(static_cast<TPersistent*>(Value));
}

int TCustomListBox::ItemIndex() const { return listOf(this)->currentRow(); }

void TCustomListBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= listOf(this)->count())
        Value = -1;
    listOf(this)->setCurrentRow(Value);
    if (Value < 0)
        listOf(this)->clearSelection();
}

bool TCustomListBox::MultiSelect() const
{
    return listOf(this)->selectionMode() == QAbstractItemView::ExtendedSelection;
}

void TCustomListBox::SetMultiSelect(bool Value)
{
    listOf(this)->setSelectionMode(Value ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

int TCustomListBox::SelCount() const
{
    if (!MultiSelect())
        return -1;
    return static_cast<int>(listOf(this)->selectedItems().size());
}

void TCustomListBox::checkIndex(int Index) const
{
    if (Index < 0 || Index >= listOf(this)->count())
        listIndexError(Index);
}

bool TCustomListBox::Selected(int Index) const
{
    checkIndex(Index);
    return listOf(this)->item(Index)->isSelected();
}

void TCustomListBox::SetSelected(int Index, bool Value)
{
    checkIndex(Index);
    if (!MultiSelect() && Value)
        listOf(this)->setCurrentRow(Index);
    else
        listOf(this)->item(Index)->setSelected(Value);
}

void TCustomListBox::SetSorted(bool Value)
{
    m_sorted = Value;
    if (Value) {
        QStringList all;
        for (int i = 0; i < m_items->Count(); ++i)
            all << m_items->Strings(i);
        std::stable_sort(all.begin(), all.end(),
                         [](const QString& a, const QString& b) { return compareNames(a, b) < 0; });
        m_items->Clear();
        for (const QString& s : all)
            m_items->Add(s);
    }
}

void TCustomListBox::Clear() { m_items->Clear(); }

TListBox::TListBox(TComponent* AOwner) : TCustomListBox(AOwner, new QListWidget) {}

TCheckListBox::TCheckListBox(TComponent* AOwner) : TListBox(AOwner, new QListWidget)
{
    QObject::connect(listOf(this), &QListWidget::itemChanged, Widget(), [this](QListWidgetItem*) {
        guarded([this] { OnClickCheck(this); });
    });
    // A click on the box cycles through the three states when AllowGrayed.
    QObject::connect(listOf(this), &QListWidget::itemClicked, Widget(), [this](QListWidgetItem* item) {
        if (!m_allowGrayed)
            return;
        item->setFlags(item->flags() | Qt::ItemIsUserTristate);
    });
}

TCheckBoxState TCheckListBox::State(int Index) const
{
    checkIndex(Index);
    switch (listOf(this)->item(Index)->checkState()) {
    case Qt::Checked:
        return cbChecked;
    case Qt::PartiallyChecked:
        return cbGrayed;
    default:
        return cbUnchecked;
    }
}

void TCheckListBox::SetState(int Index, TCheckBoxState Value)
{
    checkIndex(Index);
    listOf(this)->item(Index)->setCheckState(Value == cbChecked  ? Qt::Checked
                                             : Value == cbGrayed ? Qt::PartiallyChecked
                                                                  : Qt::Unchecked);
}

namespace {
QComboBox* comboOf(const TControl* c) { return static_cast<QComboBox*>(c->Widget()); }

class PlatComboBox : public QComboBox {
public:
    TCustomComboBox* owner = nullptr;
    void showPopup() override
    {
        owner->guarded([this] { owner->OnDropDown(owner); });
        QComboBox::showPopup();
    }
    void hidePopup() override
    {
        QComboBox::hidePopup();
        owner->guarded([this] { owner->OnCloseUp(owner); });
    }
};
} // namespace

TCustomComboBox::TCustomComboBox(TComponent* AOwner, QWidget* widget) : TWinControl(AOwner, widget)
{
    QComboBox* c = comboOf(this);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    m_items = std::make_unique<TControlStrings>(TControlStrings::Storage{
        [c] { return c->count(); },
        [c](int i) { return c->itemText(i); },
        [c](int i, const QString& s) { c->setItemText(i, s); },
        [this, c](int i, const QString& s) {
            const QSignalBlocker block(c);
            const QString text = c->isEditable() ? c->currentText() : QString();
            if (m_sorted) {
                int at = 0;
                while (at < c->count() && compareNames(c->itemText(at), s) <= 0)
                    ++at;
                i = at;
            }
            const int index = c->currentIndex();
            c->insertItem(i, s);
            c->setCurrentIndex(index >= i && index >= 0 ? index + 1 : index);
            if (c->isEditable())
                c->setEditText(text);
        },
        [c](int i) {
            const QSignalBlocker block(c);
            c->removeItem(i);
        },
        [c] {
            const QSignalBlocker block(c);
            c->clear();
        }});
    c->setCurrentIndex(-1);
    QObject::connect(c, &QComboBox::currentTextChanged, c, [this] {
        if (!m_settingText)
            guarded([this] { OnChange(this); });
    });
    SetColor(clWindow);
}

TCustomComboBox::~TCustomComboBox() = default;

void TCustomComboBox::SetItems(TControlStrings* Value)
{
    if (Value)
        m_items->Assign(static_cast<TPersistent*>(Value));
}

int TCustomComboBox::ItemIndex() const
{
    QComboBox* c = comboOf(this);
    if (c->isEditable() && c->currentIndex() >= 0 && c->currentText() != c->itemText(c->currentIndex()))
        return -1;
    return c->currentIndex();
}

void TCustomComboBox::SetItemIndex(int Value)
{
    QComboBox* c = comboOf(this);
    if (Value < -1 || Value >= c->count())
        Value = -1;
    m_settingText = true;
    c->setCurrentIndex(Value);
    if (Value < 0 && c->isEditable())
        c->setEditText(QString());
    m_settingText = false;
}

QString TCustomComboBox::Text() const { return comboOf(this)->currentText(); }

void TCustomComboBox::SetText(const QString& Value)
{
    QComboBox* c = comboOf(this);
    m_settingText = true;
    if (c->isEditable()) {
        const int i = c->findText(Value, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        c->setCurrentIndex(i);
        c->setEditText(Value);
    } else {
        // A drop-down list shows only its items.
        c->setCurrentIndex(c->findText(Value, Qt::MatchFixedString));
    }
    m_settingText = false;
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value)
{
    m_style = Value;
    QComboBox* c = comboOf(this);
    const int index = c->currentIndex();
    c->setEditable(Value == csDropDown || Value == csSimple);
    c->setCurrentIndex(index);
}

bool TCustomComboBox::DroppedDown() const { return comboOf(this)->view()->isVisible(); }

void TCustomComboBox::SetDroppedDown(bool Value)
{
    if (Value == DroppedDown())
        return;
    if (Value)
        comboOf(this)->showPopup();
    else
        comboOf(this)->hidePopup();
}

void TCustomComboBox::SetSorted(bool Value)
{
    m_sorted = Value;
    if (Value) {
        QStringList all;
        for (int i = 0; i < m_items->Count(); ++i)
            all << m_items->Strings(i);
        std::stable_sort(all.begin(), all.end(),
                         [](const QString& a, const QString& b) { return compareNames(a, b) < 0; });
        m_items->Clear();
        for (const QString& s : all)
            m_items->Add(s);
    }
}

int TCustomComboBox::DropDownCount() const { return comboOf(this)->maxVisibleItems(); }
void TCustomComboBox::SetDropDownCount(int Value) { comboOf(this)->setMaxVisibleItems(std::max(1, Value)); }

TComboBox::TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner, [] {
    auto* c = new PlatComboBox;
    return c;
}())
{
    static_cast<PlatComboBox*>(Widget())->owner = this;
}

// ---------------------------------------------------------------------------
// Containers and shapes

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner, new QGroupBox)
{
    Widget()->setFocusPolicy(Qt::NoFocus);
}

QString TGroupBox::Caption() const { return static_cast<QGroupBox*>(Widget())->title(); }
void TGroupBox::SetCaption(const QString& Value) { static_cast<QGroupBox*>(Widget())->setTitle(Value); }

namespace {
// A frame that draws its caption in the middle, as the platform's panel.
class PanelFrame : public QFrame {
public:
    TPanel* owner = nullptr;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QFrame::paintEvent(e);
        QPainter p(this);
        p.setFont(font());
        p.drawText(contentsRect(), int(horizontal(owner->Alignment()) | Qt::AlignVCenter), owner->Caption());
    }
};
} // namespace

TPanel::TPanel(TComponent* AOwner) : TWinControl(AOwner, new PanelFrame)
{
    static_cast<PanelFrame*>(Widget())->owner = this;
    Widget()->setAutoFillBackground(true);
    Widget()->setFocusPolicy(Qt::NoFocus);
    updateFrame();
}

QString TPanel::Caption() const { return m_caption; }

void TPanel::SetCaption(const QString& Value)
{
    m_caption = Value;
    Widget()->update();
}

void TPanel::SetAlignment(TAlignment Value)
{
    m_alignment = Value;
    Widget()->update();
}

void TPanel::SetBevelInner(TBevelCut Value)
{
    m_bevelInner = Value;
    updateFrame();
}

void TPanel::SetBevelOuter(TBevelCut Value)
{
    m_bevelOuter = Value;
    updateFrame();
}

void TPanel::SetBevelWidth(int Value)
{
    m_bevelWidth = std::max(1, Value);
    updateFrame();
}

void TPanel::updateFrame()
{
    auto* f = static_cast<QFrame*>(Widget());
    const TBevelCut cut = m_bevelOuter != bvNone ? m_bevelOuter : m_bevelInner;
    f->setFrameShape(cut == bvNone ? QFrame::NoFrame : QFrame::Panel);
    f->setFrameShadow(cut == bvLowered ? QFrame::Sunken : QFrame::Raised);
    f->setLineWidth(m_bevelWidth);
}

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner, new QFrame)
{
    SetShape(bsBox);
}

void TBevel::SetShape(TBevelShape Value)
{
    m_shape = Value;
    auto* f = static_cast<QFrame*>(Widget());
    switch (Value) {
    case bsTopLine:
    case bsBottomLine:
        f->setFrameShape(QFrame::HLine);
        break;
    case bsLeftLine:
    case bsRightLine:
        f->setFrameShape(QFrame::VLine);
        break;
    case bsSpacer:
        f->setFrameShape(QFrame::NoFrame);
        break;
    default:
        f->setFrameShape(QFrame::Box);
    }
    SetStyle(m_style);
}

void TBevel::SetStyle(TBevelStyle Value)
{
    m_style = Value;
    static_cast<QFrame*>(Widget())->setFrameShadow(Value == bsLowered ? QFrame::Sunken : QFrame::Raised);
}

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner, new QLabel), m_picture(std::make_unique<TPicture>())
{
    m_picture->SetOnChange([this](TPicture*) { pictureChanged(); });
}

TImage::~TImage() = default;

void TImage::SetPicture(TPicture* Value)
{
    m_picture->Assign(Value);
    pictureChanged();
}

void TImage::SetAutoSize(bool Value)
{
    m_autoSize = Value;
    pictureChanged();
}

void TImage::SetCenter(bool Value)
{
    m_center = Value;
    pictureChanged();
}

void TImage::SetStretch(bool Value)
{
    m_stretch = Value;
    pictureChanged();
}

void TImage::pictureChanged()
{
    auto* l = static_cast<QLabel*>(Widget());
    TGraphic* g = m_picture->Graphic();
    if (!g || g->Empty()) {
        l->setPixmap(QPixmap());
        return;
    }
    const QImage image = g->ToImage();
    if (m_autoSize)
        l->resize(image.size());
    l->setScaledContents(m_stretch);
    l->setAlignment(m_center ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
    l->setPixmap(QPixmap::fromImage(image));
}

namespace {
QToolButton* toolOf(const TControl* c) { return static_cast<QToolButton*>(c->Widget()); }
} // namespace

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner, new QToolButton),
    m_glyph(std::make_unique<TBitmap>())
{
    toolOf(this)->setFocusPolicy(Qt::NoFocus);
    QObject::connect(toolOf(this), &QToolButton::clicked, Widget(), [this] { Click(); });
}

TSpeedButton::~TSpeedButton() = default;

QString TSpeedButton::Caption() const { return toolOf(this)->text(); }
void TSpeedButton::SetCaption(const QString& Value) { toolOf(this)->setText(Value); }

std::vector<TSpeedButton*> TSpeedButton::groupMates() const
{
    std::vector<TSpeedButton*> out;
    if (m_groupIndex == 0 || !Parent())
        return out;
    for (int i = 0; i < Parent()->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i)); b && b != this && b->m_groupIndex == m_groupIndex)
            out.push_back(b);
    return out;
}

void TSpeedButton::Click()
{
    if (m_groupIndex != 0) {
        // A click puts a grouped button down; the down one comes up only
        // when the group allows all up.
        if (!m_down)
            SetDown(true);
        else if (m_allowAllUp)
            SetDown(false);
        else
            showDown();
    }
    TGraphicControl::Click();
}

void TSpeedButton::SetGroupIndex(int Value)
{
    m_groupIndex = Value;
    toolOf(this)->setCheckable(Value != 0);
    if (Value == 0)
        SetDown(false);
}

void TSpeedButton::SetDown(bool Value)
{
    if (m_groupIndex == 0)
        Value = false;
    if (!Value && m_down && !m_allowAllUp) {
        // The group keeps one button down.
        bool anotherDown = false;
        for (TSpeedButton* b : groupMates())
            anotherDown = anotherDown || b->m_down;
        if (!anotherDown) {
            showDown();
            return;
        }
    }
    m_down = Value;
    if (Value)
        for (TSpeedButton* b : groupMates())
            if (b->m_down) {
                b->m_down = false;
                b->showDown();
            }
    showDown();
}

void TSpeedButton::showDown()
{
    const QSignalBlocker block(Widget());
    toolOf(this)->setChecked(m_down);
}

void TSpeedButton::SetAllowAllUp(bool Value)
{
    m_allowAllUp = Value;
    for (TSpeedButton* b : groupMates())
        b->m_allowAllUp = Value;
}

void TSpeedButton::SetFlat(bool Value)
{
    m_flat = Value;
    toolOf(this)->setAutoRaise(Value);
}

void TSpeedButton::SetGlyph(TBitmap* Value)
{
    if (Value)
        m_glyph->Assign(Value);
    toolOf(this)->setIcon(m_glyph->Empty() ? QIcon() : QIcon(QPixmap::fromImage(m_glyph->ToImage())));
}

// ---------------------------------------------------------------------------
// TDateTimePicker

namespace {
QDateTimeEdit* pickerOf(const TControl* c) { return static_cast<QDateTimeEdit*>(c->Widget()); }
} // namespace

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TWinControl(AOwner, new QDateTimeEdit)
{
    QDateTimeEdit* e = pickerOf(this);
    e->setCalendarPopup(true);
    e->setDateTime(QDateTime(QDate::currentDate(), QTime::currentTime()));
    updateFormat();
    QObject::connect(e, &QDateTimeEdit::dateTimeChanged, e, [this] { guarded([this] { OnChange(this); }); });
    SetColor(clWindow);
}

double TDateTimePicker::Date() const
{
    return static_cast<double>(kEpoch.daysTo(pickerOf(this)->date()));
}

void TDateTimePicker::SetDate(double Value)
{
    pickerOf(this)->setDate(kEpoch.addDays(static_cast<qint64>(std::floor(Value))));
}

double TDateTimePicker::Time() const
{
    return pickerOf(this)->time().msecsSinceStartOfDay() / 86400000.0;
}

void TDateTimePicker::SetTime(double Value)
{
    const double frac = std::abs(Value - std::trunc(Value));
    pickerOf(this)->setTime(QTime::fromMSecsSinceStartOfDay(static_cast<int>(std::llround(frac * 86400000.0)) % 86400000));
}

double TDateTimePicker::DateTime() const { return Date() + Time(); }

void TDateTimePicker::SetDateTime(double Value)
{
    SetDate(Value);
    SetTime(Value);
}

void TDateTimePicker::SetKind(TDateTimeKind Value)
{
    m_kind = Value;
    updateFormat();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat Value)
{
    m_dateFormat = Value;
    updateFormat();
}

void TDateTimePicker::SetWeekNumbers(bool Value)
{
    m_weekNumbers = Value;
    if (QCalendarWidget* cal = pickerOf(this)->calendarWidget())
        cal->setVerticalHeaderFormat(Value ? QCalendarWidget::ISOWeekNumbers : QCalendarWidget::NoVerticalHeader);
}

void TDateTimePicker::updateFormat()
{
    QDateTimeEdit* e = pickerOf(this);
    if (m_kind == dtkTime) {
        e->setDisplayFormat(QStringLiteral("H:mm:ss"));
        e->setCalendarPopup(false);
    } else {
        e->setDisplayFormat(m_dateFormat == dfLong ? QStringLiteral("d. MMMM yyyy") : QStringLiteral("d.M.yyyy"));
        e->setCalendarPopup(true);
        SetWeekNumbers(m_weekNumbers);
    }
}

// ---------------------------------------------------------------------------
// TScrollBox

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner, new QScrollArea)
{
    auto* area = static_cast<QScrollArea*>(Widget());
    m_client = new QWidget;
    m_client->resize(0, 0);
    area->setWidget(m_client);
    area->setWidgetResizable(false);
    Widget()->setFocusPolicy(Qt::NoFocus);
}

QWidget* TScrollBox::ClientWidget() const { return m_client; }

void TScrollBox::SetBorderStyle(TBorderStyle Value)
{
    m_borderStyle = Value;
    static_cast<QFrame*>(Widget())->setFrameShape(Value == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

// ---------------------------------------------------------------------------
// Forms

class FormDialog : public QDialog {
public:
    TCustomForm* form = nullptr;

    void done(int r) override
    {
        QDialog::done(r);
    }
    void reject() override
    {
        // Escape presses the Cancel button, if the form has one; the window
        // close request goes through OnCloseQuery.
        form->Close();
    }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        if (form->closeRequest())
            e->accept();
        else
            e->ignore();
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            const bool escape = e->key() == Qt::Key_Escape;
            std::vector<TControl*> stack{form};
            while (!stack.empty()) {
                TControl* c = stack.back();
                stack.pop_back();
                if (auto* b = dynamic_cast<TButton*>(c); b && b->Widget()->isVisible() && b->Widget()->isEnabled() &&
                                                         (escape ? b->Cancel() : b->Default())) {
                    b->Click();
                    return;
                }
                if (auto* w = dynamic_cast<TWinControl*>(c))
                    for (int i = 0; i < w->ControlCount(); ++i)
                        stack.push_back(w->Controls(i));
            }
            e->ignore();
            return;
        }
        QDialog::keyPressEvent(e);
    }
};

TCustomForm::TCustomForm(TComponent* AOwner) : TScrollingWinControl(AOwner, new FormDialog)
{
    static_cast<FormDialog*>(Widget())->form = this;
    Widget()->setFocusPolicy(Qt::NoFocus);
    Widget()->setAutoFillBackground(true);
    SetColor(clBtnFace);
    Widget()->resize(320, 240);
}

TCustomForm::~TCustomForm()
{
    guarded([this] { OnDestroy(this); });
}

QDialog* TCustomForm::Dialog() const { return static_cast<QDialog*>(Widget()); }

QString TCustomForm::Caption() const { return Widget()->windowTitle(); }
void TCustomForm::SetCaption(const QString& Value) { Widget()->setWindowTitle(Value); }

void TCustomForm::SetBorderStyle(TFormBorderStyle Value)
{
    m_borderStyle = Value;
    Qt::WindowFlags flags = Qt::Dialog;
    switch (Value) {
    case fbsNone:
        flags |= Qt::FramelessWindowHint;
        break;
    case fbsToolWindow:
    case fbsSizeToolWin:
        flags = Qt::Tool;
        break;
    default:
        flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (Value == fbsSizeable)
        flags |= Qt::WindowMinMaxButtonsHint;
    const bool visible = Widget()->isVisible();
    Widget()->setWindowFlags(flags);
    if (visible)
        Widget()->show();
}

void TCustomForm::SetWindowState(TWindowState Value)
{
    m_windowState = Value;
    Qt::WindowStates s = Widget()->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (Value == wsMinimized)
        s |= Qt::WindowMinimized;
    else if (Value == wsMaximized)
        s |= Qt::WindowMaximized;
    Widget()->setWindowState(s);
}

TWinControl* TCustomForm::ActiveControl() const
{
    return dynamic_cast<TWinControl*>(TControl::FromWidget(Widget()->focusWidget()));
}

void TCustomForm::SetActiveControl(TWinControl* Value)
{
    if (Value)
        Value->SetFocus();
}

int TCustomForm::ShowModal()
{
    if (m_modal)
        throw EInvalidOperation(QStringLiteral("Cannot make a visible window modal"));
    m_modal = true;
    m_modalResult = 0;
    if (m_position == poScreenCenter || m_position == poDesktopCenter || m_position == poMainFormCenter ||
        m_position == poOwnerFormCenter) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            Widget()->move(area.center() - QPoint(Width() / 2, Height() / 2));
        }
    }
    struct Reset {
        TCustomForm* f;
        ~Reset() { f->m_modal = false; }
    } reset{this};
    guarded([this] { OnShow(this); });
    const int answer = ExecModal(*Dialog());
    if (m_modalResult == 0)
        m_modalResult = answer;
    Widget()->hide();
    guarded([this] { OnHide(this); });
    return m_modalResult;
}

void TCustomForm::SetModalResult(int Value)
{
    m_modalResult = Value;
    if (Value != 0 && m_modal && !m_checkQueued) {
        m_checkQueued = true;
        QPointer<QWidget> guard(Widget());
        QTimer::singleShot(0, Widget(), [this] { checkModalEnd(); });
    }
}

void TCustomForm::checkModalEnd()
{
    m_checkQueued = false;
    if (!m_modal || m_modalResult == 0 || !Dialog()->isVisible())
        return;
    if (CloseQuery()) {
        TCloseAction action = caHide;
        guarded([&] { OnClose(this, action); });
        if (action != caNone) {
            Dialog()->done(m_modalResult);
            return;
        }
    }
    m_modalResult = 0;
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    guarded([&] { OnCloseQuery(this, canClose); });
    return canClose;
}

bool TCustomForm::closeRequest()
{
    if (m_modal) {
        SetModalResult(mrCancel);
        return false;
    }
    if (!CloseQuery())
        return false;
    TCloseAction action = caHide;
    guarded([&] { OnClose(this, action); });
    switch (action) {
    case caNone:
        return false;
    case caMinimize:
        Widget()->showMinimized();
        return false;
    case caFree:
        Release();
        return true;
    default:
        return true;
    }
}

void TCustomForm::Close()
{
    if (m_modal) {
        SetModalResult(mrCancel);
        return;
    }
    if (closeRequest())
        Widget()->hide();
}

void TCustomForm::Release()
{
    QPointer<QWidget> w(Widget());
    QTimer::singleShot(0, Widget(), [this] { delete this; });
}

TCanvas* TCustomForm::Canvas()
{
    if (!m_canvas)
        m_canvas = std::make_unique<TCanvas>();
    return m_canvas.get();
}

bool TCustomForm::widgetEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        guarded([this] { OnActivate(this); });
        break;
    case QEvent::WindowDeactivate:
        guarded([this] { OnDeactivate(this); });
        break;
    case QEvent::Show:
        if (!m_modal)
            guarded([this] { OnShow(this); });
        break;
    case QEvent::Hide:
        if (!m_modal)
            guarded([this] { OnHide(this); });
        break;
    case QEvent::Paint:
        guarded([this] { OnPaint(this); });
        break;
    default:
        break;
    }
    return TScrollingWinControl::widgetEvent(event);
}

TForm::TForm(TComponent* AOwner) : TCustomForm(AOwner) {}

TDataModule::TDataModule(TComponent* AOwner) : TComponent(AOwner) {}

TDataModule::~TDataModule()
{
    Application().Guard([this] { OnDestroy(this); });
}

} // namespace plat

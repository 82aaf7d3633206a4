#include "zdDCtrl.h"

#include "Exceptions.h"
#include "StdCtrls.h"
#include "zdClass_report.h"
#include "zdDsgnIntf.h"
#include "zdRes.h"

#include <QApplication>
#include <QWidget>

#include <cmath>

using namespace plat;

namespace {

// Dialog controls are windows: without the window system there is nothing
// to make them from, which is an error, not a crash.
template <class W>
W* newControl()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        throw EInvalidOperation(QStringLiteral("Dialog controls need the window system"));
    return new W(nullptr);
}

QString text(const char* key)
{
    return zdGetResources()->GetText(QString::fromLatin1(key));
}

template <class C>
void clickEvents(ClassBuilder<C>& c, bool dblClick = true)
{
    c.template property<TzdNotifyEvent>("OnClick", &TzdDialogControl::OnClick);
    if (dblClick)
        c.template property<TzdNotifyEvent>("OnDblClick", &TzdDialogControl::OnDblClick);
}

template <class C>
void focusEvents(ClassBuilder<C>& c)
{
    c.template property<TzdNotifyEvent>("OnEnter", &TzdDialogControl::OnEnter);
    c.template property<TzdNotifyEvent>("OnExit", &TzdDialogControl::OnExit);
}

template <class C>
void keyEvents(ClassBuilder<C>& c)
{
    c.template property<TzdKeyEvent>("OnKeyDown", &TzdDialogControl::OnKeyDown);
    c.template property<TzdKeyPressEvent>("OnKeyPress", &TzdDialogControl::OnKeyPress);
    c.template property<TzdKeyEvent>("OnKeyUp", &TzdDialogControl::OnKeyUp);
}

template <class C>
void mouseEvents(ClassBuilder<C>& c)
{
    c.template property<TzdMouseEvent>("OnMouseDown", &TzdDialogControl::OnMouseDown);
    c.template property<TzdMouseMoveEvent>("OnMouseMove", &TzdDialogControl::OnMouseMove);
    c.template property<TzdMouseEvent>("OnMouseUp", &TzdDialogControl::OnMouseUp);
}

template <class C>
void caption(ClassBuilder<C>& c)
{
    c.property("Caption", &TzdDialogControl::Caption, &TzdDialogControl::SetCaption);
}

template <class C>
void color(ClassBuilder<C>& c, TColor byDefault)
{
    c.template property<ti::TColor>("Color", &TzdDialogControl::Color, &TzdDialogControl::SetColor)
        .defaultValue(byDefault);
}

template <class C>
void tabStop(ClassBuilder<C>& c)
{
    c.property("TabStop", &TzdDialogControl::TabStop, &TzdDialogControl::SetTabStop).defaultValue(true);
}

// A property of the platform control, read and written through it.
#define FWD(Name, Type, Getter, Setter)                                                                     \
    [](const C& o) -> Type { return o.Ctl()->Getter(); }, [](C& o, Type v) { o.Ctl()->Setter(v); }

} // namespace

// ---------------------------------------------------------------------------
// Reflection

PLAT_DEFINE_CLASS(TzdLabelControl, c)
{
    using C = TzdLabelControl;
    c.property("Alignment", FWD(Alignment, TAlignment, Alignment, SetAlignment)).defaultValue(taLeftJustify);
    c.property("AutoSize", FWD(AutoSize, bool, AutoSize, SetAutoSize)).defaultValue(true);
    caption(c);
    color(c, clBtnFace);
    c.property("WordWrap", FWD(WordWrap, bool, WordWrap, SetWordWrap)).defaultValue(false);
    clickEvents(c);
    mouseEvents(c);
}

PLAT_DEFINE_CLASS(TzdCustomEditControl, c)
{
    using C = TzdCustomEditControl;
    c.property("MaxLength", [](const C& o) { return o.EditCtl()->MaxLength(); },
               [](C& o, int v) { o.EditCtl()->SetMaxLength(v); })
        .defaultValue(0);
    c.property("ReadOnly", [](const C& o) { return o.EditCtl()->ReadOnly(); },
               [](C& o, bool v) { o.EditCtl()->SetReadOnly(v); })
        .defaultValue(false);
    c.property<TzdNotifyEvent>("OnChange", &C::OnChange);
}

PLAT_DEFINE_CLASS(TzdEditControl, c)
{
    using C = TzdEditControl;
    color(c, clWindow);
    c.property("PasswordChar", FWD(PasswordChar, QChar, PasswordChar, SetPasswordChar)).defaultValue(QChar());
    tabStop(c);
    c.property("Text", [](const C& o) { return o.Ctl()->Text(); },
               [](C& o, QString v) { o.Ctl()->SetText(v); });
    clickEvents(c);
    focusEvents(c);
    keyEvents(c);
    mouseEvents(c);
}

PLAT_DEFINE_CLASS(TzdMemoControl, c)
{
    using C = TzdMemoControl;
    color(c, clWindow);
    c.property("Lines", [](const C& o) { return o.Ctl()->Lines(); },
               [](C& o, TControlStrings* v) { o.Ctl()->SetLines(v); });
    c.property("ScrollBars", FWD(ScrollBars, TScrollStyle, ScrollBars, SetScrollBars)).defaultValue(ssNone);
    tabStop(c);
    c.property("WordWrap", FWD(WordWrap, bool, WordWrap, SetWordWrap)).defaultValue(true);
    clickEvents(c);
    focusEvents(c);
    keyEvents(c);
    mouseEvents(c);
}

PLAT_DEFINE_CLASS(TzdMaskEditControl, c)
{
    using C = TzdMaskEditControl;
    color(c, clWindow);
    c.property("EditMask", [](const C& o) { return o.Ctl()->EditMask(); },
               [](C& o, QString v) { o.Ctl()->SetEditMask(v); });
    tabStop(c);
    c.property("Text", [](const C& o) { return o.Ctl()->Text(); },
               [](C& o, QString v) { o.Ctl()->SetText(v); });
    clickEvents(c);
    focusEvents(c);
    keyEvents(c);
    mouseEvents(c);
}

PLAT_DEFINE_CLASS(TzdButtonControl, c)
{
    using C = TzdButtonControl;
    c.property("Cancel", FWD(Cancel, bool, Cancel, SetCancel)).defaultValue(false);
    caption(c);
    c.property("Default", FWD(Default, bool, Default, SetDefault)).defaultValue(false);
    c.property<ti::TModalResult>("ModalResult", FWD(ModalResult, int, ModalResult, SetModalResult)).defaultValue(0);
    c.property("WordWrap", FWD(WordWrap, bool, WordWrap, SetWordWrap)).defaultValue(false);
    tabStop(c);
    clickEvents(c, false);
    focusEvents(c);
    keyEvents(c);
    mouseEvents(c);
}

PLAT_DEFINE_CLASS(TzdCheckBoxControl, c)
{
    using C = TzdCheckBoxControl;
    c.property("Alignment", FWD(Alignment, TAlignment, Alignment, SetAlignment)).defaultValue(taRightJustify);
    caption(c);
    c.property("Checked", FWD(Checked, bool, Checked, SetChecked)).defaultValue(false);
    c.property("AllowGrayed", FWD(AllowGrayed, bool, AllowGrayed, SetAllowGrayed)).defaultValue(false);
    c.property("State", FWD(State, TCheckBoxState, State, SetState)).defaultValue(cbUnchecked);
    tabStop(c);
    c.property("WordWrap", FWD(WordWrap, bool, WordWrap, SetWordWrap)).defaultValue(false);
    color(c, clBtnFace);
    clickEvents(c, false);
    focusEvents(c);
    keyEvents(c);
    mouseEvents(c);
}

PLAT_DEFINE_CLASS(TzdRadioButtonControl, c)
{
    using C = TzdRadioButtonControl;
    c.property("Alignment", FWD(Alignment, TAlignment, Alignment, SetAlignment)).defaultValue(taRightJustify);
    caption(c);
    c.property("Checked", FWD(Checked, bool, Checked, SetChecked)).defaultValue(false);
    tabStop(c);
    c.property("WordWrap", FWD(WordWrap, bool, WordWrap, SetWordWrap)).defaultValue(false);
    color(c, clBtnFace);
    clickEvents(c);
    focusEvents(c);
    keyEvents(c);
    mouseEvents(c);
}

PLAT_DEFINE_CLASS(TzdListBoxControl, c)
{
    using C = TzdListBoxControl;
    color(c, clWindow);
    c.property("Items", [](const C& o) { return o.Ctl()->Items(); },
               [](C& o, TControlStrings* v) { o.Ctl()->SetItems(v); });
    tabStop(c);
    clickEvents(c);
    focusEvents(c);
    keyEvents(c);
    mouseEvents(c);
}

PLAT_DEFINE_CLASS(TzdComboBoxControl, c)
{
    using C = TzdComboBoxControl;
    color(c, clWindow);
    c.property("Items", [](const C& o) { return o.Ctl()->Items(); },
               [](C& o, TControlStrings* v) { o.Ctl()->SetItems(v); });
    c.property("Style", FWD(Style, TComboBoxStyle, Style, SetStyle)).defaultValue(csDropDown);
    tabStop(c);
    c.property("Text", [](const C& o) { return o.Ctl()->Text(); },
               [](C& o, QString v) { o.Ctl()->SetText(v); });
    c.property("ItemIndex", FWD(ItemIndex, int, ItemIndex, SetItemIndex)).defaultValue(-1);
    c.property<TzdNotifyEvent>("OnChange", &C::OnChange);
    clickEvents(c);
    focusEvents(c);
    keyEvents(c);
}

PLAT_DEFINE_CLASS(TzdPanelControl, c)
{
    using C = TzdPanelControl;
    c.property("Alignment", FWD(Alignment, TAlignment, Alignment, SetAlignment)).defaultValue(taCenter);
    c.property("BevelInner", FWD(BevelInner, TBevelCut, BevelInner, SetBevelInner)).defaultValue(bvNone);
    c.property("BevelOuter", FWD(BevelOuter, TBevelCut, BevelOuter, SetBevelOuter)).defaultValue(bvRaised);
    c.property("BevelWidth", FWD(BevelWidth, int, BevelWidth, SetBevelWidth)).defaultValue(1);
    caption(c);
    color(c, clBtnFace);
    clickEvents(c);
    focusEvents(c);
    mouseEvents(c);
}

PLAT_DEFINE_CLASS(TzdGroupBoxControl, c)
{
    caption(c);
    color(c, clBtnFace);
    clickEvents(c);
    focusEvents(c);
    mouseEvents(c);
}

PLAT_DEFINE_CLASS(TzdDateEditControl, c)
{
    using C = TzdDateEditControl;
    color(c, clWindow);
    c.property<ti::TDate>("Date", FWD(Date, double, Date, SetDate)).stored(false);
    c.property("DateFormat", FWD(DateFormat, TDTDateFormat, DateFormat, SetDateFormat)).defaultValue(dfShort);
    c.property("Kind", FWD(Kind, TDateTimeKind, Kind, SetKind)).defaultValue(dtkDate);
    tabStop(c);
    c.property<ti::TTime>("Time", FWD(Time, double, Time, SetTime)).stored(false);
    c.property("WeekNumbers", FWD(WeekNumbers, bool, WeekNumbers, SetWeekNumbers)).defaultValue(false);
    c.property<TzdNotifyEvent>("OnChange", &C::OnChange);
    clickEvents(c);
    focusEvents(c);
    keyEvents(c);
}

PLAT_DEFINE_CLASS(TzdImageControl, c)
{
    using C = TzdImageControl;
    c.property("AutoSize", FWD(AutoSize, bool, AutoSize, SetAutoSize)).defaultValue(false);
    c.property("Center", FWD(Center, bool, Center, SetCenter)).defaultValue(false);
    c.property("Picture", [](const C& o) { return o.Ctl()->Picture(); },
               [](C& o, TPicture* v) { o.Ctl()->SetPicture(v); })
        .stored([](const C& o) { return !o.Ctl()->Picture()->Empty(); });
    c.property("Stretch", FWD(Stretch, bool, Stretch, SetStretch)).defaultValue(false);
    clickEvents(c);
    mouseEvents(c);
}

PLAT_DEFINE_CLASS(TzdBevelControl, c)
{
    using C = TzdBevelControl;
    c.property("Shape", FWD(Shape, TBevelShape, Shape, SetShape)).defaultValue(bsBox);
    c.property("Style", FWD(Style, TBevelStyle, Style, SetStyle)).defaultValue(bsLowered);
}

PLAT_DEFINE_CLASS(TzdBitBtnControl, c)
{
    using C = TzdBitBtnControl;
    c.property("Glyph", [](const C& o) { return o.Ctl()->Glyph(); },
               [](C& o, TBitmap* v) { o.Ctl()->SetGlyph(v); })
        .stored([](const C& o) { return !o.Ctl()->Glyph()->Empty(); });
    c.property("Kind", FWD(Kind, TBitBtnKind, Kind, SetKind)).defaultValue(bkCustom);
    caption(c);
    c.property("Layout", FWD(Layout, TButtonLayout, Layout, SetLayout)).defaultValue(blGlyphLeft);
    c.property("Margin", FWD(Margin, int, Margin, SetMargin)).defaultValue(-1);
    c.property<ti::TModalResult>("ModalResult", FWD(ModalResult, int, ModalResult, SetModalResult)).defaultValue(0);
    c.property("NumGlyphs", FWD(NumGlyphs, int, NumGlyphs, SetNumGlyphs)).defaultValue(1);
    c.property("Spacing", FWD(Spacing, int, Spacing, SetSpacing)).defaultValue(4);
    c.property("WordWrap", FWD(WordWrap, bool, WordWrap, SetWordWrap)).defaultValue(false);
    tabStop(c);
    clickEvents(c, false);
    focusEvents(c);
    keyEvents(c);
    mouseEvents(c);
}

PLAT_DEFINE_CLASS(TzdSpeedButtonControl, c)
{
    using C = TzdSpeedButtonControl;
    c.property("GroupIndex", &C::GroupIndex, &C::SetGroupIndex).defaultValue(0);
    c.property("AllowAllUp", FWD(AllowAllUp, bool, AllowAllUp, SetAllowAllUp)).defaultValue(false);
    caption(c);
    c.property("Down", FWD(Down, bool, Down, SetDown)).defaultValue(false);
    c.property("Flat", FWD(Flat, bool, Flat, SetFlat)).defaultValue(false);
    c.property("Glyph", [](const C& o) { return o.Ctl()->Glyph(); },
               [](C& o, TBitmap* v) { o.Ctl()->SetGlyph(v); })
        .stored([](const C& o) { return !o.Ctl()->Glyph()->Empty(); });
    c.property("Layout", FWD(Layout, TButtonLayout, Layout, SetLayout)).defaultValue(blGlyphLeft);
    c.property("Margin", FWD(Margin, int, Margin, SetMargin)).defaultValue(-1);
    c.property("Spacing", FWD(Spacing, int, Spacing, SetSpacing)).defaultValue(4);
    clickEvents(c);
    mouseEvents(c);
}

PLAT_DEFINE_CLASS(TzdCheckListBoxControl, c)
{
    using C = TzdCheckListBoxControl;
    c.property("AllowGrayed", FWD(AllowGrayed, bool, AllowGrayed, SetAllowGrayed)).defaultValue(false);
    color(c, clWindow);
    c.property("Items", [](const C& o) { return o.Ctl()->Items(); },
               [](C& o, TControlStrings* v) { o.Ctl()->SetItems(v); });
    c.property("Sorted", FWD(Sorted, bool, Sorted, SetSorted)).defaultValue(false);
    tabStop(c);
    clickEvents(c);
    focusEvents(c);
    keyEvents(c);
    mouseEvents(c);
}

PLAT_DEFINE_CLASS(TzdDialogControls, c) { (void)c; }

// ---------------------------------------------------------------------------
// Constructors

TzdCustomEditControl::TzdCustomEditControl(TComponent* AOwner) : TzdDialogControl(AOwner) {}

void TzdCustomEditControl::initEdit(TCustomEdit* Edit)
{
    m_edit = Edit;
    InitControl(Edit);
    Edit->OnChange = TNotifyEvent([this](TObject*) { runHandler(OnChange); }, this, &OnChange);
}

#define ZD_EDIT_CONSTRUCTOR(Class, Platform, W, H, Key)                                                     \
    Class::Class(TComponent* AOwner) : TzdCustomEditControl(AOwner)                                         \
    {                                                                                                        \
        m_ctl = newControl<Platform>();                                                                      \
        initEdit(m_ctl);                                                                                     \
        SetWidth(W);                                                                                         \
        SetHeight(H);                                                                                        \
    }                                                                                                        \
    QString Class::ClassDisplayName() const { return text(Key); }

ZD_EDIT_CONSTRUCTOR(TzdEditControl, TEdit, 121, 21, "obEdit")
ZD_EDIT_CONSTRUCTOR(TzdMemoControl, TMemo, 185, 89, "obMemoC")
ZD_EDIT_CONSTRUCTOR(TzdMaskEditControl, TMaskEdit, 121, 21, "obMEdit")

#define ZD_CONSTRUCTOR(Class, Platform, W, H, Key)                                                          \
    Class::Class(TComponent* AOwner) : TzdDialogControl(AOwner)                                             \
    {                                                                                                        \
        m_ctl = newControl<Platform>();                                                                      \
        InitControl(m_ctl);                                                                                  \
        SetWidth(W);                                                                                         \
        SetHeight(H);                                                                                        \
    }                                                                                                        \
    QString Class::ClassDisplayName() const { return text(Key); }

ZD_CONSTRUCTOR(TzdButtonControl, TButton, 75, 25, "obButton")
ZD_CONSTRUCTOR(TzdCheckBoxControl, TCheckBox, 97, 17, "obChBoxC")
ZD_CONSTRUCTOR(TzdRadioButtonControl, TRadioButton, 113, 17, "obRButton")
ZD_CONSTRUCTOR(TzdListBoxControl, TListBox, 121, 97, "obLBox")
ZD_CONSTRUCTOR(TzdPanelControl, TPanel, 185, 41, "obPanel")
ZD_CONSTRUCTOR(TzdGroupBoxControl, TGroupBox, 185, 105, "obGrBox")
ZD_CONSTRUCTOR(TzdImageControl, TImage, 100, 100, "obImageC")
ZD_CONSTRUCTOR(TzdBevelControl, TBevel, 50, 50, "obBevel")
ZD_CONSTRUCTOR(TzdBitBtnControl, TBitBtn, 75, 25, "obBBtn")
ZD_CONSTRUCTOR(TzdCheckListBoxControl, TCheckListBox, 121, 97, "obChLB")

TzdLabelControl::TzdLabelControl(TComponent* AOwner) : TzdDialogControl(AOwner), m_label(newControl<TLabel>())
{
    InitControl(m_label);
}

QString TzdLabelControl::ClassDisplayName() const { return text("obLabel"); }

void TzdLabelControl::followSize()
{
    if (m_label->AutoSize()) {
        TzdDialogControl::SetWidth(m_label->Width());
        TzdDialogControl::SetHeight(m_label->Height());
    } else {
        m_label->SetBounds(m_label->Left(), m_label->Top(), static_cast<int>(std::nearbyint(Width())),
                           static_cast<int>(std::nearbyint(Height())));
    }
}

void TzdLabelControl::Draw(TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                           long double OffsetY)
{
    followSize();
    TzdDialogControl::Draw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
}

void TzdLabelControl::BeforePrint()
{
    TzdDialogControl::BeforePrint();
    if (!m_label->AutoSize())
        followSize();
}

TzdComboBoxControl::TzdComboBoxControl(TComponent* AOwner)
    : TzdDialogControl(AOwner), m_combo(newControl<TComboBox>())
{
    InitControl(m_combo);
    m_combo->OnChange = TNotifyEvent([this](TObject*) { runHandler(OnChange); }, this, &OnChange);
    SetWidth(145);
    SetHeight(21);
}

QString TzdComboBoxControl::ClassDisplayName() const { return text("obCBox"); }

TzdDateEditControl::TzdDateEditControl(TComponent* AOwner)
    : TzdDialogControl(AOwner), m_picker(newControl<TDateTimePicker>())
{
    InitControl(m_picker);
    m_picker->OnChange = TNotifyEvent([this](TObject*) { runHandler(OnChange); }, this, &OnChange);
    SetWidth(145);
    SetHeight(21);
}

QString TzdDateEditControl::ClassDisplayName() const { return text("obDateEdit"); }

TzdSpeedButtonControl::TzdSpeedButtonControl(TComponent* AOwner)
    : TzdDialogControl(AOwner), m_button(newControl<TSpeedButton>())
{
    InitControl(m_button);
    SetWidth(22);
    SetHeight(22);
}

QString TzdSpeedButtonControl::ClassDisplayName() const { return text("obSBtn"); }

int TzdSpeedButtonControl::GroupIndex() const { return TzdComponent::GroupIndex(); }

void TzdSpeedButtonControl::SetGroupIndex(int Value)
{
    TzdComponent::SetGroupIndex(Value);
    m_button->SetGroupIndex(Value);
}

// ---------------------------------------------------------------------------
// The dialog page's window

namespace {

class TzdDialogForm : public TForm {
public:
    explicit TzdDialogForm(TComponent* AOwner) : TForm(AOwner)
    {
        SetCaption(QStringLiteral(" "));
        SetColor(clBtnFace);
        Font()->SetName(QStringLiteral("Tahoma"));
        Font()->SetSize(8);
        SetKeyPreview(true);
        Widget()->setObjectName(QStringLiteral("zdDialogForm"));
        // The bare form never closes by itself (a design surface).
        OnCloseQuery = TCloseQueryEvent([](TObject*, bool& CanClose) { CanClose = false; }, this, nullptr);
    }
    std::function<void()> Moved;

protected:
    bool widgetEvent(QEvent* event) override
    {
        const bool handled = TForm::widgetEvent(event);
        if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && Moved)
            Moved();
        return handled;
    }
};

} // namespace

TForm* zdCreateDialogForm()
{
    return newControl<TzdDialogForm>();
}

void zdSetDialogFormMoved(TForm* Form, std::function<void()> Notification)
{
    if (auto* f = dynamic_cast<TzdDialogForm*>(Form))
        f->Moved = std::move(Notification);
}

// ---------------------------------------------------------------------------
// Registration

namespace {

struct PaletteEntry {
    const TClass* cls;
    int image;
};

std::vector<PaletteEntry> paletteEntries()
{
    return {{TzdLabelControl::StaticClass(), 12},      {TzdEditControl::StaticClass(), 13},
            {TzdMemoControl::StaticClass(), 14},       {TzdButtonControl::StaticClass(), 15},
            {TzdCheckBoxControl::StaticClass(), 16},   {TzdRadioButtonControl::StaticClass(), 17},
            {TzdListBoxControl::StaticClass(), 18},    {TzdComboBoxControl::StaticClass(), 19},
            {TzdPanelControl::StaticClass(), 44},      {TzdGroupBoxControl::StaticClass(), 43},
            {TzdDateEditControl::StaticClass(), 20},   {TzdImageControl::StaticClass(), 3},
            {TzdBevelControl::StaticClass(), 33},      {TzdBitBtnControl::StaticClass(), 45},
            {TzdSpeedButtonControl::StaticClass(), 46}, {TzdMaskEditControl::StaticClass(), 47},
            {TzdCheckListBoxControl::StaticClass(), 48}};
}

} // namespace

void zdStartDialogControlsRTTI();
void zdEndDialogControlsRTTI();

namespace zd {

void startDialogControlsUnit()
{
    RegisterClass(TzdDialogControl::StaticClass());
    RegisterClass(TzdDialogControls::StaticClass());
    for (const PaletteEntry& e : paletteEntries()) {
        RegisterClass(e.cls);
        zdGetObjectRegistry()->RegisterObject(e.cls, nullptr, QString(), QString(), 0, e.image);
    }
    SetDialogFormFactory(&zdCreateDialogForm);
    zdStartDialogControlsRTTI();
}

void endDialogControlsUnit()
{
    zdEndDialogControlsRTTI();
    for (const PaletteEntry& e : paletteEntries())
        zdGetObjectRegistry()->Unregister(e.cls);
    SetDialogFormFactory(nullptr);
}

} // namespace zd

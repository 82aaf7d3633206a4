#include "zdDialogControl.h"

#include "Canvas.h"
#include "Graphics.h"
#include "Handles.h"
#include "StdCtrls.h"
#include "Variant.h"
#include "zdClass_page.h"
#include "zdClass_report.h"

#include <QPainter>
#include <QWidget>

#include <cmath>

PLAT_DEFINE_CLASS(TzdDialogControl, c)
{
    using C = TzdDialogControl;
    c.property("Left", &TzdComponent::Left, &TzdComponent::SetLeft);
    c.property("Top", &TzdComponent::Top, &TzdComponent::SetTop);
    c.property("Width", &TzdComponent::Width, &TzdComponent::SetWidth);
    c.property("Height", &TzdComponent::Height, &TzdComponent::SetHeight);
    c.property("Font", &TzdComponent::Font, &TzdComponent::SetFont).stored(&TzdComponent::IsFontStored);
    c.property("GroupIndex", &TzdComponent::GroupIndex, &TzdComponent::SetGroupIndex).defaultValue(0);
    c.property("ParentFont", &TzdComponent::ParentFont, &TzdComponent::SetParentFont).defaultValue(true);
    c.property("Enabled", &C::Enabled, &C::SetEnabled).defaultValue(true);
    c.property("Hint", &C::Hint, &C::SetHint);
    c.property("ShowHint", &C::ShowHint, &C::SetShowHint).defaultValue(false);
    c.property("Visible", &TzdComponent::Visible, &TzdComponent::SetVisible).defaultValue(true);
}

namespace {

plat::TForm* g_parentForm = nullptr;
zd::DialogFormFactory g_formFactory = nullptr;

int roundToInt(long double value)
{
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

plat::TForm* zdParentForm()
{
    if (!g_parentForm) {
        g_parentForm = new plat::TForm(nullptr);
        g_parentForm->Widget()->setObjectName(QStringLiteral("zdParentForm"));
    }
    return g_parentForm;
}

void zdFreeParentForm()
{
    if (!g_parentForm)
        return;
    while (g_parentForm->ControlCount() > 0)
        g_parentForm->Controls(0)->SetParent(nullptr);
    delete g_parentForm;
    g_parentForm = nullptr;
}

namespace zd {
void SetDialogFormFactory(DialogFormFactory Factory)
{
    g_formFactory = Factory;
}
DialogFormFactory GetDialogFormFactory()
{
    return g_formFactory;
}
void freeDialogPageForm(plat::TForm* Form)
{
    if (!Form)
        return;
    // The controls were the page's objects' and have gone with them.
    while (Form->ControlCount() > 0)
        Form->Controls(0)->SetParent(nullptr);
    delete Form;
}
} // namespace zd

// ---------------------------------------------------------------------------

TzdDialogControl::TzdDialogControl(plat::TComponent* AOwner) : TzdReportComponent(AOwner)
{
    SetParentFont(true);
}

TzdDialogControl::~TzdDialogControl()
{
    // Off the page first, so that the control is on the hidden form when
    // it goes.
    TzdComponent::SetParent(nullptr);
    delete m_control;
    m_control = nullptr;
}

void TzdDialogControl::InitControl(plat::TControl* Control)
{
    m_control = Control;
    // Button1, Edit1 ...: the class name less "Tzd" and "Control".
    QString stem = ClassName();
    for (const QString& part : {QStringLiteral("Tzd"), QStringLiteral("Control")})
        if (const int at = stem.indexOf(part); at >= 0)
            stem.remove(at, part.size());
    NameStem = stem;
    Control->Font()->AssignFont(*Font());
    Control->OnClick = plat::TNotifyEvent([this](plat::TObject*) { runHandler(OnClick); }, this, &OnClick);
    Control->OnDblClick = plat::TNotifyEvent([this](plat::TObject*) { runHandler(OnDblClick); }, this, &OnDblClick);
    Control->OnMouseDown = plat::TMouseEvent(
        [this](plat::TObject*, plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
            TzdReport* r = GetReport();
            if (!r || OnMouseDown.isEmpty())
                return;
            plat::Variant params = plat::VarArrayOf({plat::ObjectToVariant(this), plat::Variant(int(Button)),
                                                     plat::Variant(int(Shift.mask() & 0xFF)), plat::Variant(X),
                                                     plat::Variant(Y)});
            r->RunScriptEventWithParams(OnMouseDown, params, true);
        },
        this, &OnMouseDown);
    Control->OnMouseUp = plat::TMouseEvent(
        [this](plat::TObject*, plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
            TzdReport* r = GetReport();
            if (!r || OnMouseUp.isEmpty())
                return;
            plat::Variant params = plat::VarArrayOf({plat::ObjectToVariant(this), plat::Variant(int(Button)),
                                                     plat::Variant(int(Shift.mask() & 0xFF)), plat::Variant(X),
                                                     plat::Variant(Y)});
            r->RunScriptEventWithParams(OnMouseUp, params, true);
        },
        this, &OnMouseUp);
    Control->OnMouseMove = plat::TMouseMoveEvent(
        [this](plat::TObject*, plat::TShiftState Shift, int X, int Y) {
            TzdReport* r = GetReport();
            if (!r)
                return;
            if (!Hint().isEmpty() && ShowHint()) {
                const QString hint = Hint();
                const int bar = hint.indexOf(QLatin1Char('|'));
                r->ShowProgressText(bar >= 0 ? hint.mid(bar + 1) : hint, true);
            }
            if (OnMouseMove.isEmpty())
                return;
            plat::Variant params = plat::VarArrayOf({plat::ObjectToVariant(this),
                                                     plat::Variant(int(Shift.mask() & 0xFF)), plat::Variant(X),
                                                     plat::Variant(Y)});
            r->RunScriptEventWithParams(OnMouseMove, params, true);
        },
        this, &OnMouseMove);
    if (auto* win = dynamic_cast<plat::TWinControl*>(Control)) {
        win->OnEnter = plat::TNotifyEvent([this](plat::TObject*) { runHandler(OnEnter); }, this, &OnEnter);
        win->OnExit = plat::TNotifyEvent([this](plat::TObject*) { runHandler(OnExit); }, this, &OnExit);
        const auto keyHandler = [this](const QString& handler, quint16& Key, plat::TShiftState Shift) {
            TzdReport* r = GetReport();
            if (!r || handler.isEmpty())
                return;
            plat::Variant params = plat::VarArrayOf(
                {plat::ObjectToVariant(this), plat::Variant(int(Key)), plat::Variant(int(Shift.mask() & 0xFF))});
            r->RunScriptEventWithParams(handler, params, true);
            Key = static_cast<quint16>(plat::VarArrayGet(params, {1}).toInteger());
        };
        win->OnKeyDown = plat::TKeyEvent(
            [this, keyHandler](plat::TObject*, quint16& Key, plat::TShiftState Shift) { keyHandler(OnKeyDown, Key, Shift); },
            this, &OnKeyDown);
        win->OnKeyUp = plat::TKeyEvent(
            [this, keyHandler](plat::TObject*, quint16& Key, plat::TShiftState Shift) { keyHandler(OnKeyUp, Key, Shift); },
            this, &OnKeyUp);
        win->OnKeyPress = plat::TKeyPressEvent(
            [this](plat::TObject*, QChar& Key) {
                TzdReport* r = GetReport();
                if (!r || OnKeyPress.isEmpty())
                    return;
                plat::Variant params =
                    plat::VarArrayOf({plat::ObjectToVariant(this), plat::Variant(QString(Key))});
                r->RunScriptEventWithParams(OnKeyPress, params, true);
                const QString key = plat::VarArrayGet(params, {1}).toString();
                // An emptied key cancels it.
                Key = key.isEmpty() ? QChar() : key[0];
            },
            this, &OnKeyPress);
    }
    placeControl();
}

void TzdDialogControl::runHandler(const QString& Handler)
{
    if (TzdReport* r = GetReport())
        r->RunScriptEvent(this, Handler, true);
}

void TzdDialogControl::Draw(plat::TCanvas* Canvas, long double, long double, long double, long double)
{
    if (!Canvas || !m_control)
        return;
    const int w = roundToInt(Width());
    const int h = roundToInt(Height());
    if (w <= 0 || h <= 0)
        return;
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(plat::ToQColor(plat::clBtnFace));
    QWidget* widget = m_control->Widget();
    widget->ensurePolished();
    widget->render(&image, QPoint(), QRegion(0, 0, w, h), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    const int x = roundToInt(GetAbsLeft());
    const int y = roundToInt(GetAbsTop());
    Canvas->DrawImage(plat::TRect{x, y, x + w, y + h}, image, plat::TRect{0, 0, w, h});
}

QString TzdDialogControl::Caption() const { return m_control ? m_control->Caption() : QString(); }
void TzdDialogControl::SetCaption(const QString& Value)
{
    if (m_control)
        m_control->SetCaption(Value);
}
plat::TColor TzdDialogControl::Color() const { return m_control ? m_control->Color() : plat::clBtnFace; }
void TzdDialogControl::SetColor(plat::TColor Value)
{
    if (m_control)
        m_control->SetColor(Value);
}
bool TzdDialogControl::Enabled() const { return m_control ? m_control->Enabled() : true; }
void TzdDialogControl::SetEnabled(bool Value)
{
    if (m_control)
        m_control->SetEnabled(Value);
}
QString TzdDialogControl::Hint() const { return m_control ? m_control->Hint() : QString(); }
void TzdDialogControl::SetHint(const QString& Value)
{
    if (m_control)
        m_control->SetHint(Value);
}
bool TzdDialogControl::ShowHint() const { return m_control && m_control->ShowHint(); }
void TzdDialogControl::SetShowHint(bool Value)
{
    if (m_control)
        m_control->SetShowHint(Value);
}

bool TzdDialogControl::TabStop() const
{
    auto* win = dynamic_cast<plat::TWinControl*>(m_control);
    return win ? win->TabStop() : true;
}

void TzdDialogControl::SetTabStop(bool Value)
{
    if (auto* win = dynamic_cast<plat::TWinControl*>(m_control))
        win->SetTabStop(Value);
}

void TzdDialogControl::SetLeft(long double Value)
{
    TzdReportComponent::SetLeft(Value);
    if (m_control)
        m_control->SetLeft(roundToInt(Left()));
}

void TzdDialogControl::SetTop(long double Value)
{
    TzdReportComponent::SetTop(Value);
    if (m_control)
        m_control->SetTop(roundToInt(Top()));
}

void TzdDialogControl::SetWidth(long double Value)
{
    TzdReportComponent::SetWidth(Value);
    if (m_control)
        m_control->SetWidth(roundToInt(Width()));
}

void TzdDialogControl::SetHeight(long double Value)
{
    TzdReportComponent::SetHeight(Value);
    if (m_control)
        m_control->SetHeight(roundToInt(Height()));
}

void TzdDialogControl::SetVisible(bool Value)
{
    TzdReportComponent::SetVisible(Value);
    if (m_control)
        m_control->SetVisible(Value);
}

void TzdDialogControl::SetParentFont(bool Value)
{
    TzdReportComponent::SetParentFont(Value);
    if (m_control) {
        m_control->Font()->AssignFont(*Font());
        m_control->SetParentFont(Value);
    }
}

void TzdDialogControl::FontChanged()
{
    TzdReportComponent::FontChanged();
    if (m_control) {
        m_control->Font()->AssignFont(*Font());
        m_control->SetParentFont(false);
    }
}

void TzdDialogControl::SetParent(TzdComponent* Value)
{
    TzdReportComponent::SetParent(Value);
    placeControl();
}

void TzdDialogControl::placeControl()
{
    if (!m_control)
        return;
    TzdComponent* p = Parent();
    plat::TWinControl* target = nullptr;
    if (auto* dc = dynamic_cast<TzdDialogControl*>(p))
        target = dynamic_cast<plat::TWinControl*>(dc->Control());
    else if (auto* page = dynamic_cast<TzdDialogPage*>(p))
        target = page->Form();
    if (!target)
        target = zdParentForm();
    m_control->SetParent(target);
    m_control->SetBounds(roundToInt(Left()), roundToInt(Top()), roundToInt(Width()), roundToInt(Height()));
    m_control->SetVisible(Visible());
}

void TzdDialogControl::SetName(const QString& NewName)
{
    const QString old = Name();
    const bool follow = m_control && m_control->CaptionFollowsName() && m_control->Caption() == old && !IsLoading();
    TzdReportComponent::SetName(NewName);
    if (follow)
        m_control->SetCaption(Name());
}

// ---------------------------------------------------------------------------
// The dialog page's window

plat::TForm* TzdDialogPage::Form()
{
    if (!m_form) {
        m_form = g_formFactory ? g_formFactory() : new plat::TForm(nullptr);
        m_form->SetCaption(Caption);
    }
    return m_form;
}

void TzdDialogPage::copyBoundsFromForm()
{
    if (!m_form)
        return;
    SetLeft(m_form->Left());
    SetTop(m_form->Top());
    SetWidth(m_form->Width());
    SetHeight(m_form->Height());
}

int TzdDialogPage::ShowModal()
{
    plat::TForm* f = Form();
    f->SetCaption(Caption);
    f->SetColor(Color);
    f->SetBorderStyle(BorderStyle);
    f->SetPosition(Position);
    f->SetBounds(roundToInt(Left()), roundToInt(Top()), roundToInt(Width()), roundToInt(Height()));
    if (m_clientWidth > 0)
        f->SetClientWidth(roundToInt(m_clientWidth));
    if (m_clientHeight > 0)
        f->SetClientHeight(roundToInt(m_clientHeight));
    f->Font()->AssignFont(*Font());

    // The page's script handlers answer the form's events while it runs.
    const plat::TCloseQueryEvent bareCloseQuery = f->OnCloseQuery;
    TzdReport* r = GetReport();
    const auto notify = [this, r](const QString& handler) {
        return plat::TNotifyEvent(
            [this, r, handler](plat::TObject*) {
                if (r)
                    r->RunScriptEvent(this, handler, true);
            },
            this, nullptr);
    };
    f->OnActivate = notify(OnActivate);
    f->OnClick = notify(OnClick);
    f->OnDeactivate = notify(OnDeactivate);
    f->OnHide = notify(OnHide);
    f->OnShow = notify(OnShow);
    f->OnResize = notify(OnResize);
    f->OnCloseQuery = plat::TCloseQueryEvent(
        [this, r](plat::TObject*, bool& CanClose) {
            if (!r || OnCloseQuery.isEmpty())
                return;
            plat::Variant params = plat::VarArrayOf({plat::ObjectToVariant(this), plat::Variant(CanClose)});
            r->RunScriptEventWithParams(OnCloseQuery, params, true);
            CanClose = plat::VarArrayGet(params, {1}).toBoolean();
        },
        this, nullptr);
    f->SetKeyPreview(true);
    const auto key = [this, r](const QString& handler) {
        return plat::TKeyEvent(
            [this, r, handler](plat::TObject*, quint16& Key, plat::TShiftState Shift) {
                if (!r || handler.isEmpty())
                    return;
                plat::Variant params = plat::VarArrayOf(
                    {plat::ObjectToVariant(this), plat::Variant(int(Key)), plat::Variant(int(Shift.mask() & 0xFF))});
                r->RunScriptEventWithParams(handler, params, true);
                Key = static_cast<quint16>(plat::VarArrayGet(params, {1}).toInteger());
            },
            this, nullptr);
    };
    f->OnKeyDown = key(OnKeyDown);
    f->OnKeyUp = key(OnKeyUp);
    f->OnKeyPress = plat::TKeyPressEvent(
        [this, r](plat::TObject*, QChar& Key) {
            if (!r || OnKeyPress.isEmpty())
                return;
            plat::Variant params = plat::VarArrayOf({plat::ObjectToVariant(this), plat::Variant(QString(Key))});
            r->RunScriptEventWithParams(OnKeyPress, params, true);
            const QString k = plat::VarArrayGet(params, {1}).toString();
            Key = k.isEmpty() ? QChar() : k[0];
        },
        this, nullptr);

    struct Restore {
        plat::TForm* f;
        plat::TCloseQueryEvent closeQuery;
        ~Restore()
        {
            f->OnActivate = nullptr;
            f->OnClick = nullptr;
            f->OnDeactivate = nullptr;
            f->OnHide = nullptr;
            f->OnShow = nullptr;
            f->OnResize = nullptr;
            f->OnKeyDown = nullptr;
            f->OnKeyUp = nullptr;
            f->OnKeyPress = nullptr;
            f->OnCloseQuery = closeQuery;
        }
    } restore{f, bareCloseQuery};
    ModalResult = f->ShowModal();
    copyBoundsFromForm();
    return ModalResult;
}

// The designer window's formatting toolbars: the formatting command of the
// tagged controls with the dialogs some tags ask first (font, frame, fill,
// highlight), the colour buttons with their pickers and colour bars, the
// frame-style picker, the rotation and dot-matrix menus, the style combo,
// the extra-tools toolbar of wizards, the button images, and the part of
// the toolbar update that shows the selected object's format.

#include "zdDesgnForm.h"

#include "Modal.h"
#include "Services.h"
#include "zdClass_highlight.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_style.h"
#include "zdClass_view.h"
#include "zdDMPClass.h"
#include "zdDesgnCtrls.h"
#include "zdDesignerImages.h"
#include "zdDesignerModel.h"
#include "zdDsgnDialogs.h"
#include "zdDsgnIntf.h"
#include "zdEditHighlight.h"
#include "zdFormatting.h"
#include "zdRes.h"
#include "zdWizardModel.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {

QString formatResText(const QString& Key) { return zdGetResources()->GetText(Key); }

int colorIndex(int Tag) { return Tag == 5 ? 0 : Tag == 26 ? 1 : Tag == 27 ? 2 : -1; }

constexpr zd::DesignerImage kColorImages[] = {zd::imgFontColor, zd::imgFillColor, zd::imgFrameColor};

// The dot-matrix font menu: caption key of each style bit (tags 34 to 42).
constexpr const char* kDmpItems[] = {"2462", "2463", "2464", "2465", "2466", "2467", "2468", "2469", "2470"};

TzdComponent* firstSelected(zd::DesignerModel& Model)
{
    if (Model.Selection.empty() || Model.Selection.front() == Model.CurrentPage)
        return nullptr;
    return Model.Selection.front();
}

// The dot-matrix style of a dot-matrix text, line or page; false for others.
bool dmpStyleOf(TzdComponent* Obj, TzdDMPFontStyles& Style)
{
    if (auto* m = dynamic_cast<TzdDMPMemoView*>(Obj))
        Style = m->FontStyle();
    else if (auto* l = dynamic_cast<TzdDMPLineView*>(Obj))
        Style = l->FontStyle();
    else if (auto* p = dynamic_cast<TzdDMPPage*>(Obj))
        Style = p->FontStyle();
    else
        return false;
    return true;
}

// The controls whose enabled state the toolbar update takes from the model.
constexpr const char16_t* kRuledControls[] = {
    u"FontNameCB",     u"FontSizeCB",       u"BoldB",           u"ItalicB",         u"UnderlineB",
    u"FontColorB",     u"FontB",            u"TextAlignLeftB",  u"TextAlignCenterB", u"TextAlignRightB",
    u"TextAlignBlockB", u"TextAlignTopB",   u"TextAlignMiddleB", u"TextAlignBottomB", u"StyleCB",
    u"HighlightB",     u"RotateB",          u"FrameTopB",       u"FrameBottomB",    u"FrameLeftB",
    u"FrameRightB",    u"FrameAllB",        u"FrameNoB",        u"FrameEditB",      u"FrameColorB",
    u"FrameStyleB",    u"FrameWidthCB",     u"FillColorB",      u"FillEditB"};

} // namespace

// ---------------------------------------------------------------- the formatting command

void TzdDesignerForm::formatTag(int Tag, bool Down, const std::function<void(zd::FormatValues&)>& Values)
{
    if (m_updating)
        return;
    runCommand([&] {
        zd::FormatValues v;
        v.Down = Down;
        v.FontName = m_fontNameCB->currentText();
        v.FontSize = m_fontSizeCB->currentText();
        v.FrameWidth = m_frameWidthCB->currentText();
        v.FrameStyle = static_cast<TzdFrameStyle>(m_frameStyle);
        if (Values)
            Values(v);
        m_model->Format(Tag, v);
    });
}

void TzdDesignerForm::fontCmd()
{
    if (m_model->report()->DotMatrixReport) {
        // A dot-matrix report has no font dialog: its style menu drops down.
        TzdDMPFontStyles style;
        const bool has = dmpStyleOf(firstSelected(*m_model) ? firstSelected(*m_model) : m_model->CurrentPage, style);
        QMenu* menu = findChild<QMenu*>(QStringLiteral("DMPPopup"));
        for (QAction* a : menu->actions())
            a->setChecked(has && style.contains(static_cast<TzdDMPFontStyle>(a->data().toInt() - 34)));
        QWidget* button = findChild<QWidget*>(QStringLiteral("FontB"));
        menu->popup(button->mapToGlobal(QPoint(0, button->height())));
        return;
    }
    TzdComponent* first = firstSelected(*m_model);
    if (!first || !first->Font())
        return;
    plat::TFont font;
    font.Assign(first->Font());
    if (!plat::Services().FontDialog(font, {plat::fdForceFontExist}))
        return;
    formatTag(43, false, [&](zd::FormatValues& v) { v.Font = &font; });
}

void TzdDesignerForm::frameEditCmd()
{
    auto* view = dynamic_cast<TzdView*>(firstSelected(*m_model));
    TzdFrame* source = view ? view->Frame() : nullptr;
    if (!source)
        if (auto* page = dynamic_cast<TzdReportPage*>(m_model->CurrentPage))
            source = page->Frame();
    if (!source)
        return;
    TzdFrame frame;
    frame.Assign(source);
    bool ok = false;
    runCommand([&] { ok = zdDesignerDialogs().EditFrame(frame); });
    if (ok)
        formatTag(32, false, [&](zd::FormatValues& v) { v.Frame = &frame; });
}

void TzdDesignerForm::fillEditCmd()
{
    auto* view = dynamic_cast<TzdView*>(firstSelected(*m_model));
    if (!view)
        return;
    std::unique_ptr<TzdCustomFill> fill;
    bool ok = false;
    const bool shape = view->ClassType()->ClassName() == u"TzdShapeView";
    runCommand([&] { ok = zdDesignerDialogs().EditFill(view->Fill(), shape, fill); });
    if (ok && fill)
        formatTag(44, false, [&](zd::FormatValues& v) { v.Fill = fill.get(); });
}

void TzdDesignerForm::highlightCmd()
{
    auto* memo = dynamic_cast<TzdCustomMemoView*>(firstSelected(*m_model));
    if (!memo)
        return;
    runCommand([&] {
        TzdHighlightEditorForm editor(this);
        editor.SetMemo(memo);
        const int result = plat::ExecModal(editor);
        editor.Finish(result);
        if (result != QDialog::Accepted)
            return;
        // The other selected memos take a copy of the edited highlights.
        for (TzdComponent* c : m_model->Selection)
            if (auto* other = dynamic_cast<TzdMemoView*>(c); other && other != memo &&
                                                              !other->Restrictions().contains(rfDontModify))
                other->Highlights()->Assign(memo->Highlights());
        m_model->SetModifiedFlag(true);
    });
}

void TzdDesignerForm::frameStyleCmd()
{
    QWidget* button = findChild<QWidget*>(QStringLiteral("FrameStyleB"));
    if (TzdPopupForm::ClosedWithin(50))
        return;
    auto* picker = new TzdLineSelector(button);
    picker->Style = m_frameStyle;
    picker->OnStyleChanged = [this](TzdLineSelector* p) {
        m_frameStyle = p->Style;
        formatTag(28, false);
    };
}

// ---------------------------------------------------------------- colours

plat::TColor TzdDesignerForm::LastColor(int Tag) const
{
    const int i = colorIndex(Tag);
    return i < 0 ? 0 : m_lastColors[i];
}

QWidget* TzdDesignerForm::OpenColorSelector(int Tag)
{
    const int i = colorIndex(Tag);
    // The click that closed a picker does not open the next one.
    if (i < 0 || TzdPopupForm::ClosedWithin(50) || !m_colorButtons[i]->isEnabled())
        return nullptr;
    plat::TColor start = 0;
    TzdComponent* first = firstSelected(*m_model);
    auto* view = dynamic_cast<TzdView*>(first);
    if (Tag == 5 && first && first->Font())
        start = first->Font()->Color();
    else if (Tag == 27 && view && view->Frame())
        start = view->Frame()->Color();
    else if (Tag == 26 && view && view->FillType() == ftBrush)
        start = view->Color();
    auto* picker = new TzdColorSelector(m_colorButtons[i]);
    picker->Color = start;
    picker->OtherCaption = formatResText(QStringLiteral("dsColorOth"));
    picker->OnColorChanged = [this, Tag](TzdColorSelector* p) { colorChosen(Tag, p->Color); };
    return picker;
}

void TzdDesignerForm::colorChosen(int Tag, plat::TColor Color)
{
    const int i = colorIndex(Tag);
    if (i < 0)
        return;
    m_lastColors[i] = Color;
    updateColorBars();
    formatTag(Tag, false, [Color](zd::FormatValues& v) { v.Color = Color; });
}

void TzdDesignerForm::updateColorBars()
{
    for (int i = 0; i < 3; ++i)
        if (m_colorButtons[i])
            m_colorButtons[i]->setIcon(zd::colorBarIcon(kColorImages[i], m_lastColors[i]));
}

// ---------------------------------------------------------------- styles, images, extra tools

void TzdDesignerForm::refillStyles()
{
    QStringList wanted{formatResText(QStringLiteral("dsNoStyle"))};
    if (TzdStyles* styles = m_model->report()->Styles())
        for (int i = 0; i < styles->Count(); ++i)
            wanted << styles->Items(i)->Name();
    QStringList shown;
    for (int i = 0; i < m_styleCB->count(); ++i)
        shown << m_styleCB->itemText(i);
    if (shown == wanted)
        return;
    const bool blocked = m_styleCB->blockSignals(true);
    m_styleCB->clear();
    m_styleCB->addItems(wanted);
    m_styleCB->blockSignals(blocked);
}

void TzdDesignerForm::applyImages()
{
    for (QToolButton* b : findChildren<QToolButton*>()) {
        const QString name = b->objectName();
        const zd::DesignerImage image = zd::designerImageOf(name);
        if (image != zd::imgNone && b->defaultAction())
            // The action shows the image in its menu too.
            b->defaultAction()->setIcon(zd::designerIcon(image));
        else if (image != zd::imgNone)
            b->setIcon(zd::designerIcon(image));
        else if (name.startsWith(u"Cat_"))
            b->setIcon(zd::designerIcon(zd::imgCategory));
        else if (name.startsWith(u"Obj_"))
            // The class name without its "Tzd" and the item's number.
            b->setIcon(zd::objectIcon(name.mid(7).section(u'_', 0, 0)));
    }
    updateColorBars();
}

void TzdDesignerForm::createExtraTools()
{
    QToolBar* extra = m_toolbars[QStringLiteral("ExtraToolsTB")];
    TzdWizardCollection* wizards = zdGetWizardRegistry();
    int buttons = 0;
    for (int i = 0; i < wizards->Count(); ++i) {
        const TzdWizardItem& item = wizards->GetItem(i);
        if (!item.IsToolbarWizard || !item.ClassRef)
            continue;
        QString caption;
        try {
            std::unique_ptr<plat::TComponent> probe(item.ClassRef->CreateComponent(m_model));
            if (auto* wizard = dynamic_cast<TzdCustomWizard*>(probe.get()))
                caption = wizard->GetWizardCaption();
        } catch (const std::exception&) {
            // A wizard that cannot tell its caption still gets its button.
        }
        const plat::TClass* cls = item.ClassRef;
        auto* b = new QToolButton(extra);
        b->setObjectName(QStringLiteral("Wizard_") + QString(cls->ClassName()));
        b->setAutoRaise(true);
        b->setFixedSize(22, 22);
        b->setIcon(zd::designerIcon(zd::imgWizard));
        b->setToolTip(caption);
        connect(b, &QToolButton::clicked, this, [this, cls] { runCommand([&] { zd::runWizardClass(*m_model, cls); }); });
        extra->addWidget(b);
        ++buttons;
    }
    extra->setProperty("buttons", buttons);
    if (QAction* a = m_actions[QStringLiteral("ExtraToolsTBCmd")])
        a->setVisible(buttons > 0);
    if (buttons == 0)
        extra->hide();

    // The dot-matrix font menu of the font button.
    auto* dmp = new QMenu(this);
    dmp->setObjectName(QStringLiteral("DMPPopup"));
    int tag = 34;
    for (const char* key : kDmpItems) {
        QAction* a = dmp->addAction(QString());
        a->setObjectName(QStringLiteral("DMPItem") + QString::number(tag));
        a->setProperty("captionKey", QString::fromLatin1(key));
        a->setData(tag);
        a->setCheckable(true);
        const int t = tag++;
        connect(a, &QAction::triggered, this, [this, t](bool checked) {
            formatTag(t, false, [checked](zd::FormatValues& v) { v.Ticked = !checked; });
        });
    }
}

// ---------------------------------------------------------------- toolbar update (format part)

void TzdDesignerForm::updateFormatControls()
{
    for (const char16_t* n : kRuledControls) {
        const QString name = QString::fromUtf16(n);
        QWidget* w = findChild<QWidget*>(name);
        if (!w)
            continue;
        const bool enabled = m_model->IsControlEnabled(name);
        w->setEnabled(enabled);
        if (auto* b = qobject_cast<QToolButton*>(w); b && !enabled && b->isCheckable())
            b->setChecked(false);
    }
    refillStyles();
    TzdComponent* first = m_model->Selection.size() == 1 ? firstSelected(*m_model) : nullptr;
    auto* memo = dynamic_cast<TzdCustomMemoView*>(first);
    auto check = [this](const char* name, bool down) {
        if (auto* b = findChild<QToolButton*>(QString::fromLatin1(name)))
            b->setChecked(down);
    };
    // Exclusive groups release no button by themselves.
    auto releaseGroup = [this](std::initializer_list<const char*> names) {
        for (const char* n : names)
            if (auto* b = findChild<QToolButton*>(QString::fromLatin1(n)); b && b->group())
                b->group()->setExclusive(false);
        for (const char* n : names)
            if (auto* b = findChild<QToolButton*>(QString::fromLatin1(n))) {
                b->setChecked(false);
                if (b->group())
                    b->group()->setExclusive(true);
            }
    };
    releaseGroup({"TextAlignLeftB", "TextAlignCenterB", "TextAlignRightB", "TextAlignBlockB"});
    releaseGroup({"TextAlignTopB", "TextAlignMiddleB", "TextAlignBottomB"});
    if (memo) {
        check(memo->HAlign == haLeft ? "TextAlignLeftB" : memo->HAlign == haCenter ? "TextAlignCenterB"
              : memo->HAlign == haRight ? "TextAlignRightB" : "TextAlignBlockB", true);
        check(memo->VAlign == vaTop ? "TextAlignTopB" : memo->VAlign == vaCenter ? "TextAlignMiddleB"
                                                                                 : "TextAlignBottomB", true);
        const int style = memo->Style().isEmpty() ? 0 : m_styleCB->findText(memo->Style());
        m_styleCB->setCurrentIndex(style < 0 ? 0 : style);
    }
    TzdFrame* frame = nullptr;
    if (auto* view = dynamic_cast<TzdView*>(first))
        frame = view->Frame();
    check("FrameTopB", frame && frame->Typ.contains(ftTop));
    check("FrameBottomB", frame && frame->Typ.contains(ftBottom));
    check("FrameLeftB", frame && frame->Typ.contains(ftLeft));
    check("FrameRightB", frame && frame->Typ.contains(ftRight));
    if (frame)
        m_frameWidthCB->setEditText(QString::number(double(frame->Width())));
    else
        m_frameWidthCB->setEditText(QString());
}

#include "zdEditHyperlink.h"

#include "Controls.h"
#include "Modal.h"
#include "Services.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdDialogsSecondHalf.h"
#include "zdDialogsSecondHalf_p.h"
#include "zdDlgUtils.h"
#include "zdVariables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace zd::dialogs::detail;

namespace {
constexpr plat::TColor kLinkColor = 0x800000; // navy
constexpr int kKindHints[] = {6223, 6225, 6224, 6226, 6227, 6228}; // in TzdHyperlinkKind order

TzdCustomDesigner* designerOf(const TzdComponent* c)
{
    TzdReport* report = c ? c->GetReport() : nullptr;
    return report ? report->Designer() : nullptr;
}
} // namespace

QStringList zd::hyperlink::variableNames(TzdReport* Report)
{
    QStringList names;
    if (!Report)
        return names;
    TzdVariables* vars = Report->Variables();
    for (int i = 0; i < vars->Count(); ++i) {
        const QString& name = vars->GetItem(i)->Name();
        if (!name.startsWith(u' '))
            names << name;
    }
    return names;
}

QStringList zd::hyperlink::reportFileVariables(const QString& FileName)
{
    if (FileName.isEmpty())
        return {};
    try {
        TzdReport report;
        report.EngineOptions()->NewSilentMode = simSilent;
        if (!report.LoadFromFile(FileName))
            return {};
        return variableNames(&report);
    } catch (const plat::Exception&) {
        return {};
    }
}

QStringList zd::hyperlink::pageNames(TzdReport* Report, const TzdComponent* CurrentPage)
{
    QStringList names;
    if (!Report)
        return names;
    for (int i = 0; i < Report->GetPageCount(); ++i) {
        TzdComponent* page = Report->GetPageByIndex(i);
        if (dynamic_cast<TzdReportPage*>(page) && page != CurrentPage)
            names << page->Name();
    }
    return names;
}

void zd::hyperlink::apply(TzdView* View, TzdHyperlink& Result, const Fields& F)
{
    Result.Kind = F.Kind;
    Result.Value = F.Value;
    Result.Expression = F.Expression;
    if (F.Kind == hkDetailReport) {
        Result.DetailReport = F.DetailReport;
        Result.ReportVariable = F.ReportVariable;
    } else if (F.Kind == hkDetailPage) {
        Result.DetailPage = F.DetailPage;
        Result.ReportVariable = F.ReportVariable;
        if (TzdReport* report = View ? View->GetReport() : nullptr)
            if (auto* page = dynamic_cast<TzdReportPage*>(report->FindObject(F.DetailPage)))
                page->SetVisible(false);
    }
    if (F.ModifyAppearance && View) {
        View->SetCursor(plat::crHandPoint);
        if (dynamic_cast<TzdCustomMemoView*>(View)) {
            View->SetParentFont(false);
            View->Font()->SetColor(kLinkColor);
            View->Font()->SetStyle(View->Font()->Style() + plat::TFontStyles{plat::fsUnderline});
        }
    }
}

TzdHyperlinkEditorForm::TzdHyperlinkEditorForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("zdHyperlinkEditorForm"));
    setWindowTitle(res(6200));
    auto* layout = new QVBoxLayout(this);

    KindGB = named(new QGroupBox(res(6201), this), "KindGB");
    auto* kinds = new QGridLayout(KindGB);
    UrlRB = named(new QRadioButton(res(6202), KindGB), "UrlRB");
    PageNumberRB = named(new QRadioButton(res(6203), KindGB), "PageNumberRB");
    AnchorRB = named(new QRadioButton(res(6204), KindGB), "AnchorRB");
    ReportRB = named(new QRadioButton(res(6205), KindGB), "ReportRB");
    ReportPageRB = named(new QRadioButton(res(6206), KindGB), "ReportPageRB");
    CustomRB = named(new QRadioButton(res(6207), KindGB), "CustomRB");
    QRadioButton* rbs[] = {UrlRB, PageNumberRB, AnchorRB, ReportRB, ReportPageRB, CustomRB};
    for (int i = 0; i < 6; ++i)
        kinds->addWidget(rbs[i], i % 3, i / 3);
    UrlRB->setChecked(true);
    layout->addWidget(KindGB);

    PropertiesGB = named(new QGroupBox(res(6208), this), "PropertiesGB");
    auto* props = new QVBoxLayout(PropertiesGB);
    auto panel = [this, props](const char* name) {
        auto* p = named(new QWidget(PropertiesGB), name);
        new QVBoxLayout(p);
        p->layout()->setContentsMargins(0, 0, 0, 0);
        props->addWidget(p);
        return p;
    };
    auto label = [](QWidget* p, int id) { p->layout()->addWidget(new QLabel(res(id), p)); };
    auto edit = [](QWidget* p, const char* name) {
        auto* e = named(new QLineEdit(p), name);
        p->layout()->addWidget(e);
        return e;
    };
    auto combo = [](QWidget* p, const char* name, bool editable) {
        auto* c = named(new QComboBox(p), name);
        c->setEditable(editable);
        p->layout()->addWidget(c);
        return c;
    };

    UrlP = panel("UrlP");
    label(UrlP, 6209);
    UrlE = edit(UrlP, "UrlE");
    label(UrlP, 6210);
    UrlExprE = edit(UrlP, "UrlExprE");
    exprField(UrlP, UrlExprE);

    PageNumberP = panel("PageNumberP");
    label(PageNumberP, 6211);
    PageNumberE = edit(PageNumberP, "PageNumberE");
    label(PageNumberP, 6212);
    PageNumberExprE = edit(PageNumberP, "PageNumberExprE");
    exprField(PageNumberP, PageNumberExprE);

    AnchorP = panel("AnchorP");
    label(AnchorP, 6213);
    AnchorE = edit(AnchorP, "AnchorE");
    label(AnchorP, 6214);
    AnchorExprE = edit(AnchorP, "AnchorExprE");
    exprField(AnchorP, AnchorExprE);

    ReportP = panel("ReportP");
    label(ReportP, 6215);
    ReportNameE = named(new QLineEdit(ReportP), "ReportNameE");
    ReportNameB = named(new QToolButton(ReportP), "ReportNameB");
    ReportNameB->setText(QStringLiteral("..."));
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(ReportNameE, 1);
    nameRow->addWidget(ReportNameB);
    static_cast<QVBoxLayout*>(ReportP->layout())->addLayout(nameRow);
    label(ReportP, 6216);
    ReportParamCB = combo(ReportP, "ReportParamCB", true);
    label(ReportP, 6217);
    ReportValueE = edit(ReportP, "ReportValueE");
    label(ReportP, 6218);
    ReportExprE = edit(ReportP, "ReportExprE");
    exprField(ReportP, ReportExprE);

    ReportPageP = panel("ReportPageP");
    label(ReportPageP, 6219);
    ReportPageCB = combo(ReportPageP, "ReportPageCB", false);
    label(ReportPageP, 6216);
    ReportPageParamCB = combo(ReportPageP, "ReportPageParamCB", true);
    label(ReportPageP, 6217);
    ReportPageValueE = edit(ReportPageP, "ReportPageValueE");
    label(ReportPageP, 6218);
    ReportPageExprE = edit(ReportPageP, "ReportPageExprE");
    exprField(ReportPageP, ReportPageExprE);

    CustomP = panel("CustomP");
    label(CustomP, 6220);
    CustomE = edit(CustomP, "CustomE");
    label(CustomP, 6221);
    CustomExprE = edit(CustomP, "CustomExprE");
    exprField(CustomP, CustomExprE);

    layout->addWidget(PropertiesGB);
    Hint1L = named(new QLabel(res(6222), this), "Hint1L");
    Hint2L = named(new QLabel(this), "Hint2L");
    Hint1L->setWordWrap(true);
    Hint2L->setWordWrap(true);
    layout->addWidget(Hint1L);
    layout->addWidget(Hint2L);
    ModifyAppearanceCB = named(new QCheckBox(res(6229), this), "ModifyAppearanceCB");
    layout->addWidget(ModifyAppearanceCB);

    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OKB"), QStringLiteral("CancelB")));
    OKB = findChild<QPushButton*>(QStringLiteral("OKB"));
    CancelB = findChild<QPushButton*>(QStringLiteral("CancelB"));
    connect(ReportNameB, &QToolButton::clicked, this, [this] { chooseReportFile(); });
    for (QRadioButton* rb : rbs)
        connect(rb, &QRadioButton::toggled, this, [this] { updateControls(); });
    updateControls();
}

QWidget* TzdHyperlinkEditorForm::exprField(QWidget* panel, QLineEdit* edit)
{
    // The expression fields are combo edits: a button beside opens the
    // designer's expression editor.
    auto* button = new QToolButton(panel);
    button->setObjectName(edit->objectName() + QStringLiteral("B"));
    button->setText(QStringLiteral("..."));
    panel->layout()->addWidget(button);
    connect(button, &QToolButton::clicked, this, [this, edit] {
        if (TzdCustomDesigner* designer = designerOf(m_view))
            guarded([&] {
                const QString s = designer->EditExpression(edit->text());
                if (!s.isEmpty())
                    edit->setText(s);
            });
    });
    return button;
}

TzdHyperlinkKind TzdHyperlinkEditorForm::kind() const
{
    if (PageNumberRB->isChecked())
        return hkPageNumber;
    if (AnchorRB->isChecked())
        return hkAnchor;
    if (ReportRB->isChecked())
        return hkDetailReport;
    if (ReportPageRB->isChecked())
        return hkDetailPage;
    if (CustomRB->isChecked())
        return hkCustom;
    return hkURL;
}

void TzdHyperlinkEditorForm::updateControls()
{
    const TzdHyperlinkKind k = kind();
    UrlP->setVisible(k == hkURL);
    PageNumberP->setVisible(k == hkPageNumber);
    AnchorP->setVisible(k == hkAnchor);
    ReportP->setVisible(k == hkDetailReport);
    ReportPageP->setVisible(k == hkDetailPage);
    CustomP->setVisible(k == hkCustom);
    Hint2L->setText(res(kKindHints[k]));
}

void TzdHyperlinkEditorForm::SetView(TzdView* View, const TzdHyperlink& H)
{
    m_view = View;
    TzdReport* report = View ? View->GetReport() : nullptr;
    TzdCustomDesigner* designer = designerOf(View);
    ReportPageParamCB->clear();
    ReportPageParamCB->addItems(zd::hyperlink::variableNames(report));
    ReportPageCB->clear();
    ReportPageCB->addItems(zd::hyperlink::pageNames(report, designer ? designer->CurrentPage : View ? View->GetPage() : nullptr));
    switch (H.Kind) {
    case hkURL:
        UrlRB->setChecked(true);
        UrlE->setText(H.Value);
        UrlExprE->setText(H.Expression);
        break;
    case hkPageNumber:
        PageNumberRB->setChecked(true);
        PageNumberE->setText(H.Value);
        PageNumberExprE->setText(H.Expression);
        break;
    case hkAnchor:
        AnchorRB->setChecked(true);
        AnchorE->setText(H.Value);
        AnchorExprE->setText(H.Expression);
        break;
    case hkDetailReport:
        ReportRB->setChecked(true);
        ReportNameE->setText(H.DetailReport);
        ReportParamCB->clear();
        ReportParamCB->addItems(zd::hyperlink::reportFileVariables(H.DetailReport));
        ReportParamCB->setEditText(H.ReportVariable);
        ReportValueE->setText(H.Value);
        ReportExprE->setText(H.Expression);
        break;
    case hkDetailPage:
        ReportPageRB->setChecked(true);
        ReportPageCB->setCurrentIndex(ReportPageCB->findText(H.DetailPage));
        ReportPageParamCB->setEditText(H.ReportVariable);
        ReportPageValueE->setText(H.Value);
        ReportPageExprE->setText(H.Expression);
        break;
    case hkCustom:
        CustomRB->setChecked(true);
        CustomE->setText(H.Value);
        CustomExprE->setText(H.Expression);
        break;
    }
    updateControls();
}

zd::hyperlink::Fields TzdHyperlinkEditorForm::fields() const
{
    zd::hyperlink::Fields f;
    f.Kind = kind();
    f.ModifyAppearance = ModifyAppearanceCB->isChecked();
    switch (f.Kind) {
    case hkURL: f.Value = UrlE->text(); f.Expression = UrlExprE->text(); break;
    case hkPageNumber: f.Value = PageNumberE->text(); f.Expression = PageNumberExprE->text(); break;
    case hkAnchor: f.Value = AnchorE->text(); f.Expression = AnchorExprE->text(); break;
    case hkDetailReport:
        f.DetailReport = ReportNameE->text();
        f.ReportVariable = ReportParamCB->currentText();
        f.Value = ReportValueE->text();
        f.Expression = ReportExprE->text();
        break;
    case hkDetailPage:
        f.DetailPage = ReportPageCB->currentText();
        f.ReportVariable = ReportPageParamCB->currentText();
        f.Value = ReportPageValueE->text();
        f.Expression = ReportPageExprE->text();
        break;
    case hkCustom: f.Value = CustomE->text(); f.Expression = CustomExprE->text(); break;
    }
    return f;
}

void TzdHyperlinkEditorForm::chooseReportFile()
{
    plat::FileDialogRequest request;
    request.kind = plat::FileDialogRequest::Open;
    request.filter = res(2471);
    const plat::FileDialogResult chosen = plat::Services().FileDialog(request);
    if (!chosen.accepted)
        return;
    ReportNameE->setText(chosen.FileName());
    ReportParamCB->clear();
    ReportParamCB->addItems(zd::hyperlink::reportFileVariables(chosen.FileName()));
    ReportParamCB->setEditText(QString());
}

void TzdHyperlinkEditorForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdHyperlinkEditorForm"));
        return;
    }
    QDialog::keyPressEvent(event);
}

bool zd::dialogs::EditHyperlink(TzdView* View, TzdHyperlink& Result)
{
    TzdHyperlinkEditorForm form(plat::HasServices() ? plat::Services().DialogParent() : nullptr);
    form.SetView(View, Result);
    if (plat::ExecModal(form) != QDialog::Accepted)
        return false;
    return guarded([&] { zd::hyperlink::apply(View, Result, form.fields()); });
}

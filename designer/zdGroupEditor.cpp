#include "zdGroupEditor.h"

#include "Modal.h"
#include "Services.h"
#include "StringList.h"
#include "zdClass_band.h"
#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdDataSets.h"
#include "zdDialogsSecondHalf.h"
#include "zdDialogsSecondHalf_p.h"
#include "zdDlgUtils.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace zd::dialogs::detail;

QStringList zd::group::datasets(TzdReport* Report)
{
    QStringList names;
    std::vector<TzdDataSet*> objects;
    if (Report)
        Report->ListReportDatasets(names, objects, false);
    return names;
}

QStringList zd::group::fields(TzdReport* Report, const QString& Alias)
{
    TzdDataSet* ds = Report ? Report->GetDataset(Alias) : nullptr;
    if (!ds)
        return {};
    plat::TStringList list;
    ds->GetFieldList(list);
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names << list.Strings(i);
    return names;
}

zd::group::Fields zd::group::load(TzdGroupHeader* Header)
{
    Fields f;
    TzdReport* report = Header->GetReport();
    f.KeepTogether = Header->KeepTogether;
    f.StartNewPage = Header->StartNewPage;
    f.Outline = !Header->OutlineText.trimmed().isEmpty();
    f.DrillDown = Header->DrillDown;
    f.ResetPageNumbers = Header->ResetPageNumbers;
    if (Header->Condition.isEmpty()) {
        f.DataSet = datasets(report).value(0);
        return f;
    }
    TzdDataSet* ds = nullptr;
    QString field;
    if (report)
        report->SplitDatasetField(Header->Condition, ds, field);
    // Only a whole field reference opens on the field; anything else (a
    // function over a field, say) is an expression.
    if (ds && report->AliasOfDataset(ds) + QStringLiteral(".\"") + field + u'"' == Header->Condition) {
        f.DataSet = report->AliasOfDataset(ds);
        f.Field = field;
        return f;
    }
    f.ByField = false;
    f.Expression = Header->Condition;
    return f;
}

void zd::group::apply(TzdGroupHeader* Header, const Fields& F)
{
    Header->Condition = F.ByField ? F.DataSet + QStringLiteral(".\"") + F.Field + u'"' : F.Expression;
    Header->KeepTogether = F.KeepTogether;
    Header->StartNewPage = F.StartNewPage;
    Header->OutlineText = F.Outline ? Header->Condition : QString();
    Header->DrillDown = F.DrillDown;
    Header->ResetPageNumbers = F.ResetPageNumbers;
}

TzdGroupEditorForm::TzdGroupEditorForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("zdGroupEditorForm"));
    setWindowTitle(res(3200));
    auto* layout = new QVBoxLayout(this);
    BreakOnL = named(new QLabel(res(3201), this), "BreakOnL");
    layout->addWidget(BreakOnL);
    DataFieldRB = named(new QRadioButton(res(3203), this), "DataFieldRB");
    DataFieldRB->setChecked(true);
    layout->addWidget(DataFieldRB);
    auto* fieldRow = new QHBoxLayout;
    DataSetCB = named(new QComboBox(this), "DataSetCB");
    DataFieldCB = named(new QComboBox(this), "DataFieldCB");
    DataFieldCB->setEditable(true);
    fieldRow->addWidget(DataSetCB);
    fieldRow->addWidget(DataFieldCB);
    layout->addLayout(fieldRow);
    ExpressionRB = named(new QRadioButton(res(3204), this), "ExpressionRB");
    layout->addWidget(ExpressionRB);
    auto* exprRow = new QHBoxLayout;
    ExpressionE = named(new QLineEdit(this), "ExpressionE");
    ExpressionB = named(new QToolButton(this), "ExpressionB");
    ExpressionB->setText(QStringLiteral("..."));
    exprRow->addWidget(ExpressionE, 1);
    exprRow->addWidget(ExpressionB);
    layout->addLayout(exprRow);
    OptionsL = named(new QLabel(res(3202), this), "OptionsL");
    layout->addWidget(OptionsL);
    KeepGroupTogetherCB = named(new QCheckBox(res(3205), this), "KeepGroupTogetherCB");
    StartNewPageCB = named(new QCheckBox(res(3206), this), "StartNewPageCB");
    OutlineCB = named(new QCheckBox(res(3207), this), "OutlineCB");
    DrillCB = named(new QCheckBox(res("bvDrillDown"), this), "DrillCB");
    ResetCB = named(new QCheckBox(res("bvResetPageNo"), this), "ResetCB");
    for (QCheckBox* cb : {KeepGroupTogetherCB, StartNewPageCB, OutlineCB, DrillCB, ResetCB})
        layout->addWidget(cb);
    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OKB"), QStringLiteral("CancelB")));
    OKB = findChild<QPushButton*>(QStringLiteral("OKB"));
    CancelB = findChild<QPushButton*>(QStringLiteral("CancelB"));
    connect(DataFieldRB, &QRadioButton::toggled, this, [this] { updateControls(); });
    connect(DataSetCB, &QComboBox::currentTextChanged, this, [this] { loadFields(); });
    connect(ExpressionB, &QToolButton::clicked, this, [this] {
        TzdReport* report = m_header ? m_header->GetReport() : nullptr;
        if (TzdCustomDesigner* designer = report ? report->Designer() : nullptr)
            guarded([&] {
                const QString s = designer->EditExpression(ExpressionE->text());
                if (!s.isEmpty())
                    ExpressionE->setText(s);
            });
    });
    updateControls();
}

void TzdGroupEditorForm::loadFields()
{
    DataFieldCB->clear();
    DataFieldCB->addItems(zd::group::fields(m_header ? m_header->GetReport() : nullptr, DataSetCB->currentText()));
}

void TzdGroupEditorForm::updateControls()
{
    const bool byField = DataFieldRB->isChecked();
    DataSetCB->setEnabled(byField);
    DataFieldCB->setEnabled(byField);
    ExpressionE->setEnabled(!byField);
    ExpressionB->setEnabled(!byField);
}

void TzdGroupEditorForm::SetHeader(TzdGroupHeader* Header)
{
    m_header = Header;
    const zd::group::Fields f = zd::group::load(Header);
    DataSetCB->clear();
    DataSetCB->addItems(zd::group::datasets(Header->GetReport()));
    DataSetCB->setCurrentIndex(DataSetCB->findText(f.DataSet));
    loadFields();
    DataFieldCB->setEditText(f.Field);
    ExpressionE->setText(f.Expression);
    (f.ByField ? DataFieldRB : ExpressionRB)->setChecked(true);
    (f.ByField ? static_cast<QWidget*>(DataFieldCB) : ExpressionE)->setFocus();
    KeepGroupTogetherCB->setChecked(f.KeepTogether);
    StartNewPageCB->setChecked(f.StartNewPage);
    OutlineCB->setChecked(f.Outline);
    DrillCB->setChecked(f.DrillDown);
    ResetCB->setChecked(f.ResetPageNumbers);
    updateControls();
}

zd::group::Fields TzdGroupEditorForm::fields() const
{
    zd::group::Fields f;
    f.ByField = DataFieldRB->isChecked();
    f.DataSet = DataSetCB->currentText();
    f.Field = DataFieldCB->currentText();
    f.Expression = ExpressionE->text();
    f.KeepTogether = KeepGroupTogetherCB->isChecked();
    f.StartNewPage = StartNewPageCB->isChecked();
    f.Outline = OutlineCB->isChecked();
    f.DrillDown = DrillCB->isChecked();
    f.ResetPageNumbers = ResetCB->isChecked();
    return f;
}

void TzdGroupEditorForm::done(int result)
{
    if (result == QDialog::Accepted && m_header && !guarded([&] { zd::group::apply(m_header, fields()); }))
        return;
    QDialog::done(result);
}

void TzdGroupEditorForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdGroupEditorForm"));
        return;
    }
    QDialog::keyPressEvent(event);
}

bool zd::dialogs::EditGroupHeader(TzdComponent* Band)
{
    auto* header = dynamic_cast<TzdGroupHeader*>(Band);
    if (!header)
        return false;
    TzdGroupEditorForm form(plat::HasServices() ? plat::Services().DialogParent() : nullptr);
    form.SetHeader(header);
    return plat::ExecModal(form) == QDialog::Accepted;
}

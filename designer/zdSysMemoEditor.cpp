#include "zdSysMemoEditor.h"

#include "Modal.h"
#include "Services.h"
#include "zdClass_band.h"
#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdDataSets.h"
#include "zdDialogsSecondHalf.h"
#include "zdDialogsSecondHalf_p.h"
#include "zdDlgUtils.h"
#include "zdGroupEditor.h"

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
#include <QScopedValueRollback>
#include <QToolButton>
#include <QVBoxLayout>

using namespace zd::dialogs::detail;

QStringList zd::sysmemo::variableTexts()
{
    QStringList list;
    for (int i = 1; i <= 6; ++i)
        list << zdGetResources()->GetText(QStringLiteral("vt%1").arg(i));
    return list;
}

QStringList zd::sysmemo::functions()
{
    return {QStringLiteral("SUM"), QStringLiteral("MIN"), QStringLiteral("MAX"), QStringLiteral("AVG"),
            QStringLiteral("COUNT")};
}

QStringList zd::sysmemo::dataBands(const TzdComponent* Page)
{
    QStringList names;
    if (Page)
        for (TzdComponent* c : Page->AllObjects())
            if (dynamic_cast<TzdDataBand*>(c))
                names << c->Name();
    return names;
}

QString zd::sysmemo::bandDataSet(TzdReport* Report, const QString& BandName)
{
    auto* band = Report ? dynamic_cast<TzdDataBand*>(Report->FindObject(BandName)) : nullptr;
    if (!band || !band->DataSet() || dynamic_cast<TzdUserDataSet*>(band->DataSet()))
        return {};
    return Report->AliasOfDataset(band->DataSet());
}

QString zd::sysmemo::aggregateText(const Fields& F)
{
    const int n = (F.CountInvisible ? 1 : 0) + (F.RunningTotal ? 2 : 0);
    QString s = F.Function + u'(';
    if (F.Function == u"COUNT") {
        s += F.Band;
        if (n > 0)
            s += u',' + QString::number(n);
        return s + u')';
    }
    s += F.Expression.isEmpty() ? u'<' + F.DataSet + QStringLiteral(".\"") + F.Field + QStringLiteral("\">")
                                : F.Expression;
    if (!F.Band.isEmpty()) {
        s += u',' + F.Band;
        if (n > 0)
            s += u',' + QString::number(n);
    }
    return s + u')';
}

QString zd::sysmemo::result(const Fields& F)
{
    switch (F.Kind) {
    case chAggregate: return u'[' + aggregateText(F) + u']';
    case chText: return F.Text;
    case chVariable: break;
    }
    return F.Variable;
}

zd::sysmemo::Fields zd::sysmemo::initial(const QString& Text)
{
    Fields f;
    if (!Text.isEmpty() && !variableTexts().contains(Text)) {
        f.Kind = chText;
        f.Text = Text;
    } else {
        f.Variable = Text;
    }
    return f;
}

TzdSysMemoEditorForm::TzdSysMemoEditorForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("zdSysMemoEditorForm"));
    setWindowTitle(res(3300));
    auto* layout = new QVBoxLayout(this);

    SysVariableRB = named(new QRadioButton(res(3307), this), "SysVariableRB");
    SysVariableRB->setChecked(true);
    layout->addWidget(SysVariableRB);
    GroupBox1 = named(new QGroupBox(this), "GroupBox1");
    auto* g1 = new QVBoxLayout(GroupBox1);
    SysVariableCB = named(new QComboBox(GroupBox1), "SysVariableCB");
    SysVariableCB->setEditable(true);
    SysVariableCB->addItems(zd::sysmemo::variableTexts());
    g1->addWidget(SysVariableCB);
    layout->addWidget(GroupBox1);

    AggregateRB = named(new QRadioButton(res(3306), this), "AggregateRB");
    layout->addWidget(AggregateRB);
    AggregatePanel = named(new QWidget(this), "AggregatePanel");
    auto* agg = new QGridLayout(AggregatePanel);
    DataBandL = named(new QLabel(res(3301), AggregatePanel), "DataBandL");
    DataSetL = named(new QLabel(res(3302), AggregatePanel), "DataSetL");
    DataFieldL = named(new QLabel(res(3303), AggregatePanel), "DataFieldL");
    FunctionL = named(new QLabel(res(3304), AggregatePanel), "FunctionL");
    ExpressionL = named(new QLabel(res(3305), AggregatePanel), "ExpressionL");
    DataBandCB = named(new QComboBox(AggregatePanel), "DataBandCB");
    DataSetCB = named(new QComboBox(AggregatePanel), "DataSetCB");
    DataFieldCB = named(new QComboBox(AggregatePanel), "DataFieldCB");
    FunctionCB = named(new QComboBox(AggregatePanel), "FunctionCB");
    FunctionCB->addItems(zd::sysmemo::functions());
    ExpressionE = named(new QLineEdit(AggregatePanel), "ExpressionE");
    ExpressionB = named(new QToolButton(AggregatePanel), "ExpressionB");
    ExpressionB->setText(QStringLiteral("..."));
    CountInvisibleCB = named(new QCheckBox(res(3308), AggregatePanel), "CountInvisibleCB");
    RunningTotalCB = named(new QCheckBox(res(3310), AggregatePanel), "RunningTotalCB");
    SampleL = named(new QLabel(AggregatePanel), "SampleL");
    agg->addWidget(FunctionL, 0, 0);
    agg->addWidget(FunctionCB, 0, 1, 1, 2);
    agg->addWidget(DataBandL, 1, 0);
    agg->addWidget(DataBandCB, 1, 1, 1, 2);
    agg->addWidget(DataSetL, 2, 0);
    agg->addWidget(DataSetCB, 2, 1, 1, 2);
    agg->addWidget(DataFieldL, 3, 0);
    agg->addWidget(DataFieldCB, 3, 1, 1, 2);
    agg->addWidget(ExpressionL, 4, 0);
    agg->addWidget(ExpressionE, 4, 1);
    agg->addWidget(ExpressionB, 4, 2);
    agg->addWidget(CountInvisibleCB, 5, 0, 1, 3);
    agg->addWidget(RunningTotalCB, 6, 0, 1, 3);
    agg->addWidget(SampleL, 7, 0, 1, 3);
    layout->addWidget(AggregatePanel);

    TextRB = named(new QRadioButton(res(3309), this), "TextRB");
    layout->addWidget(TextRB);
    GroupBox2 = named(new QGroupBox(this), "GroupBox2");
    auto* g2 = new QVBoxLayout(GroupBox2);
    TextE = named(new QLineEdit(GroupBox2), "TextE");
    g2->addWidget(TextE);
    layout->addWidget(GroupBox2);

    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OKB"), QStringLiteral("CancelB")));
    OKB = findChild<QPushButton*>(QStringLiteral("OKB"));
    CancelB = findChild<QPushButton*>(QStringLiteral("CancelB"));
    for (QRadioButton* rb : {SysVariableRB, AggregateRB, TextRB})
        connect(rb, &QRadioButton::toggled, this, [this] { refreshSample(); });
    connect(DataBandCB, &QComboBox::currentTextChanged, this, [this](const QString& band) {
        if (m_filling)
            return;
        const QString alias = zd::sysmemo::bandDataSet(m_context ? m_context->GetReport() : nullptr, band);
        if (!alias.isEmpty() && DataSetCB->findText(alias) >= 0)
            DataSetCB->setCurrentIndex(DataSetCB->findText(alias));
        refreshSample();
    });
    connect(DataSetCB, &QComboBox::currentTextChanged, this, [this] {
        if (m_filling)
            return;
        loadFields();
        ExpressionE->clear();
        refreshSample();
    });
    connect(DataFieldCB, &QComboBox::currentTextChanged, this, [this] {
        if (m_filling)
            return;
        ExpressionE->clear();
        refreshSample();
    });
    connect(FunctionCB, &QComboBox::currentTextChanged, this, [this] { refreshSample(); });
    connect(ExpressionE, &QLineEdit::textChanged, this, [this] { refreshSample(); });
    connect(CountInvisibleCB, &QCheckBox::toggled, this, [this] { refreshSample(); });
    connect(RunningTotalCB, &QCheckBox::toggled, this, [this] { refreshSample(); });
    connect(ExpressionB, &QToolButton::clicked, this, [this] {
        TzdReport* report = m_context ? m_context->GetReport() : nullptr;
        if (TzdCustomDesigner* designer = report ? report->Designer() : nullptr)
            guarded([&] {
                const QString s = designer->EditExpression(ExpressionE->text());
                if (!s.isEmpty())
                    ExpressionE->setText(s);
            });
    });
}

void TzdSysMemoEditorForm::loadFields()
{
    const QScopedValueRollback guard(m_filling, true);
    DataFieldCB->clear();
    DataFieldCB->addItems(zd::group::fields(m_context ? m_context->GetReport() : nullptr, DataSetCB->currentText()));
}

void TzdSysMemoEditorForm::Setup(TzdComponent* Context, const QString& Text, bool AggregateOnly)
{
    m_context = Context;
    TzdReport* report = Context ? Context->GetReport() : nullptr;
    TzdCustomDesigner* designer = report ? report->Designer() : nullptr;
    {
        const QScopedValueRollback guard(m_filling, true);
        DataBandCB->clear();
        DataBandCB->addItems(zd::sysmemo::dataBands(designer && designer->CurrentPage ? designer->CurrentPage
                                                    : Context                         ? Context->GetPage()
                                                                                      : nullptr));
        DataSetCB->clear();
        DataSetCB->addItems(zd::group::datasets(report));
    }
    loadFields();
    if (AggregateOnly) {
        setWindowTitle(res("agAggregate"));
        AggregateRB->setChecked(true);
        for (QWidget* w : std::initializer_list<QWidget*>{SysVariableRB, AggregateRB, TextRB, GroupBox1, GroupBox2})
            w->hide();
    } else {
        const zd::sysmemo::Fields f = zd::sysmemo::initial(Text);
        if (f.Kind == zd::sysmemo::chText) {
            TextRB->setChecked(true);
            TextE->setText(f.Text);
            TextE->setFocus();
        } else {
            SysVariableRB->setChecked(true);
            SysVariableCB->setEditText(f.Variable);
        }
    }
    refreshSample();
}

zd::sysmemo::Fields TzdSysMemoEditorForm::fields() const
{
    zd::sysmemo::Fields f;
    f.Kind = AggregateRB->isChecked() ? zd::sysmemo::chAggregate
             : TextRB->isChecked()    ? zd::sysmemo::chText
                                      : zd::sysmemo::chVariable;
    f.Variable = SysVariableCB->currentText();
    f.Function = FunctionCB->currentText();
    f.Band = DataBandCB->currentText();
    f.DataSet = DataSetCB->currentText();
    f.Field = DataFieldCB->currentText();
    f.Expression = ExpressionE->text();
    f.CountInvisible = CountInvisibleCB->isChecked();
    f.RunningTotal = RunningTotalCB->isChecked();
    f.Text = TextE->text();
    return f;
}

void TzdSysMemoEditorForm::refreshSample()
{
    SampleL->setText(AggregateRB->isChecked() ? zd::sysmemo::aggregateText(fields()) : QString());
}

void TzdSysMemoEditorForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdSysMemoEditorForm"));
        return;
    }
    QDialog::keyPressEvent(event);
}

bool zd::dialogs::EditSysMemo(TzdComponent* Memo, QString& Text)
{
    QString working = Text;
    if (working.endsWith(QStringLiteral("\r\n")))
        working.chop(2);
    TzdSysMemoEditorForm form(plat::HasServices() ? plat::Services().DialogParent() : nullptr);
    form.Setup(Memo, working, false);
    if (plat::ExecModal(form) != QDialog::Accepted)
        return false;
    Text = form.Result();
    return true;
}

bool zd::dialogs::InsertAggregate(TzdComponent* Memo, QString& Text)
{
    TzdSysMemoEditorForm form(plat::HasServices() ? plat::Services().DialogParent() : nullptr);
    form.Setup(Memo, QString(), true);
    if (plat::ExecModal(form) != QDialog::Accepted)
        return false;
    Text = form.Result();
    return true;
}

#include "zdDataBandEditor.h"

#include "Modal.h"
#include "Services.h"
#include "SysUtils.h"
#include "zdClass_band.h"
#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdDataSets.h"
#include "zdDialogsSecondHalf.h"
#include "zdDialogsSecondHalf_p.h"
#include "zdDlgUtils.h"

#include <QGroupBox>
#include <QIcon>
#include <QPixmap>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

using namespace zd::dialogs::detail;

QStringList zd::databand::entries(TzdReport* Report)
{
    QStringList names;
    std::vector<TzdDataSet*> objects;
    if (Report)
        Report->ListReportDatasets(names, objects, false);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    names.prepend(res("dbNotAssigned"));
    return names;
}

void zd::databand::apply(TzdDataBand* Band, const QString& Entry, int EntryIndex, const QString& Records,
                         const QString& Filter)
{
    const int count = plat::StrToInt(Records.trimmed());
    if (count < 0 || count > kMaxRecords)
        throw plat::ERangeError(QStringLiteral("Value must be between 0 and %1").arg(kMaxRecords));
    TzdDataSet* ds = nullptr;
    if (EntryIndex > 0) {
        TzdReport* report = Band->GetReport();
        ds = report ? report->GetDataset(Entry) : nullptr;
        if (!ds)
            throw plat::EConvertError(res("prInvProp"));
    }
    Band->SetDataSet(ds);
    Band->SetRowCount(count);
    Band->Filter = Filter;
}

TzdDataBandEditorForm::TzdDataBandEditorForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("zdDataBandEditorForm"));
    setWindowTitle(res(3100));
    auto* layout = new QVBoxLayout(this);
    DatasetGB = named(new QGroupBox(res(3102), this), "DatasetGB");
    auto* ds = new QVBoxLayout(DatasetGB);
    DatasetsLB = named(new QListWidget(DatasetGB), "DatasetsLB");
    ds->addWidget(DatasetsLB);
    auto* records = new QHBoxLayout;
    RecordsL = named(new QLabel(res(3101), DatasetGB), "RecordsL");
    RecordsE = named(new QLineEdit(DatasetGB), "RecordsE");
    RecordsUD = named(new QSpinBox(DatasetGB), "RecordsUD");
    RecordsUD->setRange(0, zd::databand::kMaxRecords);
    RecordsUD->setFixedWidth(18 + RecordsUD->sizeHint().height());
    records->addWidget(RecordsL);
    records->addWidget(RecordsE, 1);
    records->addWidget(RecordsUD);
    ds->addLayout(records);
    layout->addWidget(DatasetGB);
    FilterGB = named(new QGroupBox(res(3103), this), "FilterGB");
    auto* filter = new QHBoxLayout(FilterGB);
    FilterE = named(new QLineEdit(FilterGB), "FilterE");
    FilterB = named(new QToolButton(FilterGB), "FilterB");
    FilterB->setText(QStringLiteral("..."));
    filter->addWidget(FilterE, 1);
    filter->addWidget(FilterB);
    layout->addWidget(FilterGB);
    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OkB"), QStringLiteral("CancelB")));
    OkB = findChild<QPushButton*>(QStringLiteral("OkB"));
    CancelB = findChild<QPushButton*>(QStringLiteral("CancelB"));
    connect(DatasetsLB, &QListWidget::currentRowChanged, this, [this] {
        if (!m_filling)
            RecordsE->setText(QStringLiteral("0"));
    });
    connect(DatasetsLB, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(RecordsUD, &QSpinBox::valueChanged, this, [this](int v) {
        if (!m_filling)
            RecordsE->setText(QString::number(v));
    });
    connect(FilterB, &QToolButton::clicked, this, [this] {
        TzdReport* report = m_band ? m_band->GetReport() : nullptr;
        if (TzdCustomDesigner* designer = report ? report->Designer() : nullptr)
            guarded([&] {
                const QString s = designer->EditExpression(FilterE->text());
                if (!s.isEmpty())
                    FilterE->setText(s);
            });
    });
}

void TzdDataBandEditorForm::SetBand(TzdDataBand* Band)
{
    m_band = Band;
    m_filling = true;
    TzdReport* report = Band->GetReport();
    DatasetsLB->clear();
    const QStringList list = zd::databand::entries(report);
    DatasetsLB->addItem(list.front());
    for (int i = 1; i < list.size(); ++i) {
        auto* item = new QListWidgetItem(list[i], DatasetsLB);
        item->setIcon(QIcon(QPixmap::fromImage(zdGetResources()->ButtonGlyphImage(53).copy(0, 0, 16, 16))));
    }
    int row = 0;
    if (Band->DataSet() && report) {
        const int found = int(list.indexOf(report->AliasOfDataset(Band->DataSet())));
        row = found > 0 ? found : 0;
    }
    DatasetsLB->setCurrentRow(row);
    RecordsE->setText(QString::number(Band->RowCount()));
    RecordsUD->setValue(std::clamp(Band->RowCount(), 0, zd::databand::kMaxRecords));
    FilterE->setText(Band->Filter);
    m_filling = false;
}

void TzdDataBandEditorForm::done(int result)
{
    if (result == QDialog::Accepted && m_band) {
        const int row = DatasetsLB->currentRow();
        const QString entry = row >= 0 ? DatasetsLB->item(row)->text() : QString();
        if (!guarded([&] { zd::databand::apply(m_band, entry, std::max(row, 0), RecordsE->text(), FilterE->text()); })) {
            RecordsE->setFocus();
            return;
        }
    }
    QDialog::done(result);
}

void TzdDataBandEditorForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdDataBandEditorForm"));
        return;
    }
    QDialog::keyPressEvent(event);
}

bool zd::dialogs::EditDataBand(TzdComponent* Band)
{
    auto* band = dynamic_cast<TzdDataBand*>(Band);
    if (!band)
        return false;
    TzdDataBandEditorForm form(plat::HasServices() ? plat::Services().DialogParent() : nullptr);
    form.SetBand(band);
    return plat::ExecModal(form) == QDialog::Accepted;
}

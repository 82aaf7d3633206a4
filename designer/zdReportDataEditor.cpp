#include "zdReportDataEditor.h"

#include "Modal.h"
#include "Services.h"
#include "zdClass_options.h"
#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdConnEditor.h"
#include "zdDataSets.h"
#include "zdDesignerModel.h"
#include "zdDialogsSecondHalf.h"
#include "zdDialogsSecondHalf_p.h"
#include "zdDlgUtils.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace zd::dialogs::detail;

namespace {
QSize& rememberedSize()
{
    static QSize size(300, 320);
    return size;
}
} // namespace

bool zd::reportdata::standalone()
{
    TzdDesigner* d = TzdDesigner::Current();
    return d && d->Standalone;
}

std::vector<zd::reportdata::Entry> zd::reportdata::load(TzdReport* Report, bool Standalone)
{
    std::vector<Entry> list;
    if (Standalone) {
        const QString current = Report->ReportOptions()->ConnectionName();
        for (const QString& name : zd::connections::names())
            list.push_back({name, nullptr, !current.isEmpty() && QString::compare(name, current, Qt::CaseInsensitive) == 0});
        return list;
    }
    QStringList names;
    std::vector<TzdDataSet*> objects;
    Report->ListAvailableDatasets(names, objects);
    std::vector<TzdDataSet*> sorted;
    for (TzdDataSet* ds : objects)
        // A dataset that belongs to another report is not offered.
        if (ds->GetReport() == nullptr || ds->GetReport() == Report)
            sorted.push_back(ds);
    std::stable_sort(sorted.begin(), sorted.end(), [](TzdDataSet* a, TzdDataSet* b) {
        return QString::compare(a->UserName(), b->UserName(), Qt::CaseInsensitive) < 0;
    });
    for (TzdDataSet* ds : sorted)
        list.push_back({ds->UserName(), ds, Report->DataSets()->FindByDataSet(ds) != nullptr});
    return list;
}

void zd::reportdata::apply(TzdReport* Report, bool Standalone, const std::vector<Entry>& Entries)
{
    if (Standalone) {
        QString chosen;
        for (const Entry& e : Entries)
            if (e.Checked)
                chosen = e.Caption;
        Report->ReportOptions()->SetConnectionName(QString());
        if (!chosen.isEmpty())
            Report->ReportOptions()->SetConnectionName(chosen);
        return;
    }
    Report->DataSets()->Clear();
    for (const Entry& e : Entries)
        if (e.Checked && e.DataSet)
            Report->DataSets()->AddDataSet(e.DataSet);
}

TzdReportDataForm::TzdReportDataForm(TzdReport* Report, bool Standalone, QWidget* parent)
    : QDialog(parent), m_entries(zd::reportdata::load(Report, Standalone)), m_standalone(Standalone)
{
    setObjectName(QStringLiteral("zdReportDataForm"));
    setWindowTitle(res(Standalone ? 5800 : 2800));
    resize(rememberedSize());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    DatasetsLB = named(new QListWidget(this), "DatasetsLB");
    for (const zd::reportdata::Entry& e : m_entries) {
        auto* item = new QListWidgetItem(e.Caption, DatasetsLB);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(e.Checked ? Qt::Checked : Qt::Unchecked);
    }
    layout->addWidget(DatasetsLB, 1);
    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OkB"), QStringLiteral("CancelB")));
    OkB = findChild<QPushButton*>(QStringLiteral("OkB"));
    CancelB = findChild<QPushButton*>(QStringLiteral("CancelB"));
    connect(DatasetsLB, &QListWidget::itemChanged, this, [this](QListWidgetItem* changed) {
        // One connection at most: ticking one unticks the others.
        if (!m_standalone || m_ticking || changed->checkState() != Qt::Checked)
            return;
        m_ticking = true;
        for (int i = 0; i < DatasetsLB->count(); ++i)
            if (DatasetsLB->item(i) != changed)
                DatasetsLB->item(i)->setCheckState(Qt::Unchecked);
        m_ticking = false;
    });
}

TzdReportDataForm::~TzdReportDataForm() { rememberedSize() = size(); }

std::vector<zd::reportdata::Entry> TzdReportDataForm::entries() const
{
    std::vector<zd::reportdata::Entry> list = m_entries;
    for (int i = 0; i < int(list.size()) && i < DatasetsLB->count(); ++i)
        list[size_t(i)].Checked = DatasetsLB->item(i)->checkState() == Qt::Checked;
    return list;
}

void TzdReportDataForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdReportDataForm"));
        return;
    }
    QDialog::keyPressEvent(event);
}

bool zd::dialogs::EditReportData(TzdReport* Report)
{
    if (!Report)
        return false;
    const bool standalone = zd::reportdata::standalone();
    TzdReportDataForm form(Report, standalone, plat::HasServices() ? plat::Services().DialogParent() : nullptr);
    if (plat::ExecModal(form) != QDialog::Accepted)
        return false;
    return guarded([&] { zd::reportdata::apply(Report, standalone, form.entries()); });
}

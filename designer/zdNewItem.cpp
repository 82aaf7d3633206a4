#include "zdNewItem.h"

#include "Exceptions.h"
#include "Streams.h"
#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdDesignerModel.h"
#include "zdDlgUtils.h"
#include "zdDsgnIntf.h"
#include "zdEditReportSettings.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include <memory>

namespace zd {

namespace {

// The report as it is, to be given back when the new one fails.
class ReportKeeper {
public:
    explicit ReportKeeper(TzdReport* Report) : m_report(Report), m_fileName(Report->FileName)
    {
        Report->SaveToStream(m_saved);
    }
    void restore(DesignerModel& Designer)
    {
        Designer.LockDesigner();
        m_report->Clear();
        m_saved.SetPosition(0);
        m_report->LoadFromStream(m_saved);
        m_report->FileName = m_fileName;
        Designer.CurrentPage = nullptr;
        Designer.ReloadFromReport();
    }

private:
    TzdReport* m_report;
    QString m_fileName;
    plat::TMemoryStream m_saved;
};

} // namespace

bool newReportFromTemplate(DesignerModel& Designer, const QString& Template, bool Inherit)
{
    if (!Designer.ConfirmDiscard())
        return false;
    TzdReport* report = Designer.report();
    ReportKeeper keeper(report);
    const bool modified = Designer.Modified;
    Designer.LockDesigner();
    bool loaded = true;
    QString error;
    try {
        report->Clear();
        Designer.CurrentPage = nullptr;
        if (Inherit)
            report->SetParentReport(QDir(TzdReport::ApplicationFolder()).relativeFilePath(Template));
        else if (report->OnLoadTemplate)
            report->OnLoadTemplate(report, Template);
        else
            loaded = report->LoadFromFile(Template, true);
        // A template the reader could not take whole (its errors were shown)
        // is no new report.
        if (!report->ErrorList().isEmpty())
            loaded = false;
    } catch (const plat::Exception& e) {
        loaded = false;
        error = e.message();
    }
    if (!loaded) {
        keeper.restore(Designer);
        Designer.Modified = modified;
        if (!error.isEmpty())
            dlg::showError(error);
        return false;
    }
    report->FileName.clear();
    Designer.ReloadFromReport();
    return true;
}

bool runNewReportWizard(DesignerModel& Designer, const plat::TClass* WizardClass)
{
    if (!WizardClass || !Designer.ConfirmDiscard())
        return false;
    TzdReport* report = Designer.report();
    ReportKeeper keeper(report);
    const bool modified = Designer.Modified;
    bool accepted = false;
    try {
        std::unique_ptr<plat::TObject> object(WizardClass->CreateComponent(&Designer));
        auto* wizard = dynamic_cast<TzdCustomWizard*>(object.get());
        accepted = wizard && wizard->RunWizard();
    } catch (...) {
        keeper.restore(Designer);
        Designer.Modified = modified;
        throw;
    }
    if (!accepted) {
        keeper.restore(Designer);
        Designer.Modified = modified;
        return false;
    }
    Designer.SetModifiedFlag(true);
    return true;
}

} // namespace zd

using zd::dlg::res;

TzdNewItemForm::TzdNewItemForm(zd::DesignerModel& Designer, QWidget* Parent) : QDialog(Parent), m_designer(Designer)
{
    setObjectName(QStringLiteral("TzdNewItemForm"));
    setWindowTitle(res(5300, "Nová položka"));
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    layout->addWidget(m_tabs, 1);
    auto* itemsTab = new QWidget;
    itemsTab->setObjectName(QStringLiteral("ItemsTab"));
    auto* il = new QVBoxLayout(itemsTab);
    m_items = new QListWidget(itemsTab);
    m_items->setObjectName(QStringLiteral("ItemsLV"));
    m_items->setViewMode(QListView::IconMode);
    il->addWidget(m_items);
    m_tabs->addTab(itemsTab, res(5301, "Položky"));
    auto* templateTab = new QWidget;
    templateTab->setObjectName(QStringLiteral("TemplateTab"));
    auto* tl = new QVBoxLayout(templateTab);
    m_templateList = new QListWidget(templateTab);
    m_templateList->setObjectName(QStringLiteral("TemplateLV"));
    m_templateList->setViewMode(QListView::IconMode);
    tl->addWidget(m_templateList);
    m_inherit = new QCheckBox(res(5303, "Inherit the report"), templateTab);
    m_inherit->setObjectName(QStringLiteral("InheritCB"));
    tl->addWidget(m_inherit);
    m_tabs->addTab(templateTab, res(5302, "Šablony"));
    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OkB"), QStringLiteral("CancelB")));

    TzdWizardCollection* wizards = zdGetWizardRegistry();
    for (int i = 0; i < wizards->Count(); ++i) {
        const TzdWizardItem& item = wizards->GetItem(i);
        QString caption = item.ClassRef ? item.ClassRef->ClassName() : QString();
        if (item.ClassRef)
            zd::dlg::guard([&] {
                std::unique_ptr<plat::TObject> object(item.ClassRef->CreateComponent(&m_designer));
                if (auto* wizard = dynamic_cast<TzdCustomWizard*>(object.get()))
                    caption = wizard->GetWizardCaption();
            });
        m_items->addItem(caption);
    }
    TzdDesigner* component = TzdDesigner::Current();
    if (component && component->OnGetTemplateList) {
        QStringList list;
        component->OnGetTemplateList(list);
        list.sort();
        m_templates = list;
    } else if (component) {
        m_templates = zd::templateFiles(component->TemplateDir, component->TemplatesExt);
    }
    for (const QString& file : m_templates)
        m_templateList->addItem(QFileInfo(file).fileName());
    connect(m_items, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_templateList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

bool TzdNewItemForm::Perform()
{
    if (result() != QDialog::Accepted)
        return false;
    bool done = false;
    zd::dlg::guard([&] {
        if (m_tabs->currentIndex() == 0) {
            const int row = m_items->currentRow();
            if (row >= 0 && row < zdGetWizardRegistry()->Count())
                done = zd::runNewReportWizard(m_designer, zdGetWizardRegistry()->GetItem(row).ClassRef);
        } else {
            const int row = m_templateList->currentRow();
            if (row >= 0 && row < m_templates.size())
                done = zd::newReportFromTemplate(m_designer, m_templates.at(row), m_inherit->isChecked());
        }
    });
    return done;
}

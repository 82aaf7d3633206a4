#include "zdNewItem.h"

#include "Exceptions.h"
#include "Streams.h"
#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdDesignerModel.h"
#include "zdDlgUtils.h"
#include "zdDsgnIntf.h"
#include "zdEditReportSettings.h"
#include "zdWizardModel.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include <memory>

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
                done = zd::runWizardClass(m_designer, zdGetWizardRegistry()->GetItem(row).ClassRef);
        } else {
            const int row = m_templateList->currentRow();
            if (row >= 0 && row < m_templates.size())
                done = zd::newReportFromTemplate(m_designer, m_templates.at(row), m_inherit->isChecked());
        }
    });
    return done;
}

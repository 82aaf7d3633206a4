#pragma once
// The new item dialog: a new report from a registered wizard or from a
// template file. Both ask the save question first when the report being
// edited is modified, and give the previous report back when the wizard is
// cancelled or the template cannot be loaded.

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QListWidget;
class QTabWidget;

namespace zd {
class DesignerModel;
} // namespace zd

class TzdNewItemForm : public QDialog {
public:
    explicit TzdNewItemForm(zd::DesignerModel& Designer, QWidget* Parent = nullptr);
    // The template files shown (full paths).
    const QStringList& Templates() const { return m_templates; }
    // Performs the chosen item after OK; false when nothing happened.
    bool Perform();

private:
    zd::DesignerModel& m_designer;
    QStringList m_templates;
    QTabWidget* m_tabs;
    QListWidget* m_items;
    QListWidget* m_templateList;
    QCheckBox* m_inherit;
};

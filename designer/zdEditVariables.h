#pragma once
// The variables editor: a working copy of the report's variables shown as
// a tree of categories and their variables, written back on OK. When the
// report has no category at all, its variables hang directly under the
// root and every command acts on them as variables. A data tree of the
// report beside the tree inserts fields, variables and functions into the
// expression box; the window keeps its place and splitters in the report's
// settings.

#include <QDialog>
#include <QStringList>

#include <memory>

class QAction;
class QPlainTextEdit;
class QSplitter;
class TzdDataTreeForm;
class QTreeWidget;
class QTreeWidgetItem;
class TzdReport;
class TzdVariables;

namespace zd {

class VarEditModel {
public:
    VarEditModel();
    ~VarEditModel();
    TzdVariables& Vars() { return *m_vars; }

    void Load(TzdReport* Report);
    void Commit(TzdReport* Report);

    QStringList Categories() const;
    // The variables of a category; of no category ("") those before the
    // first heading.
    QStringList VariablesOf(const QString& Category) const;
    bool HasCategories() const { return !Categories().isEmpty(); }
    // Whether the tree's root has children (categories, or uncategorised
    // variables when there is no category).
    bool RootHasChildren() const;
    // Base + the smallest n >= 1 that names no entry (letter case ignored).
    QString UniqueName(const QString& Base) const;

    // A new heading " New Category<n>" at the end; the category's name.
    QString NewCategory();
    // A new variable "New Variable<n>" with an empty value: in the selected
    // category, the selected variable's category or the last category;
    // with no category at all, among the uncategorised variables. Returns
    // its name and its category, or an empty name when nothing was added.
    QString NewVariable(const QString& Selected, bool SelectedIsCategory, QString* Category = nullptr);
    // The category a variable belongs to ("" when none).
    QString CategoryOf(const QString& Variable) const;
    // False when another entry already has the name.
    bool Rename(const QString& Old, const QString& New, bool IsCategory);
    void Delete(const QString& Name, bool IsCategory);
    bool IsInherited(const QString& Name, bool IsCategory) const;

    QString ValueText(const QString& Name) const;
    void SetValue(const QString& Name, const QString& Text);

    // The list editor's lines: headings without their blank, variables
    // with one leading blank.
    QStringList ListLines() const;
    void ApplyList(const QStringList& Lines);

private:
    int indexOf(const QString& Name, bool IsCategory) const;
    std::unique_ptr<TzdVariables> m_vars;
};

} // namespace zd

class TzdVarEditorForm : public QDialog {
public:
    explicit TzdVarEditorForm(TzdReport* Report, QWidget* Parent = nullptr);
    ~TzdVarEditorForm() override;
    zd::VarEditModel& Model() { return m_model; }
    QTreeWidget* Tree() const { return m_tree; }
    QPlainTextEdit* ExprMemo() const { return m_expr; }
    TzdDataTreeForm* DataTree() const { return m_dataTree; }

    // Selects the node of that name (the root for an empty name).
    void SelectNode(const QString& Name);
    void NewCategory();
    void NewVariable();
    void DeleteNode();
    void EditList();
    void accept() override;
    void done(int Result) override;
    void setVisible(bool Visible) override;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void rebuild();
    void updateRootCaption();
    void updateButtons();
    void commitValue(QTreeWidgetItem* Node);
    void labelEdited(QTreeWidgetItem* Node);
    bool isCategory(QTreeWidgetItem* Node) const;

    TzdReport* m_report;
    zd::VarEditModel m_model;
    bool m_ancestor = false;
    bool m_filling = false;
    QTreeWidget* m_tree;
    QTreeWidgetItem* m_root = nullptr;
    QPlainTextEdit* m_expr;
    QSplitter* m_split1;
    QSplitter* m_split2;
    TzdDataTreeForm* m_dataTree;
    bool m_placing = false;
    QAction *m_newCategoryB, *m_newVarB, *m_editB, *m_deleteB, *m_editListB, *m_loadB, *m_saveB;
};

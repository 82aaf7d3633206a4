#pragma once
// The data tree: a tool window listing what a report's expressions can
// refer to, in four tabs: the fields of the report's datasets, the report
// variables with the system variables, the script functions by category
// and the script classes with their members. For each selected node it
// gives the insertion text that a dragged memo or the code editor gets;
// dragging nodes onto the design workspace goes through zdDataDrop.h.
//
// A dataset that fails while listing its fields shows no fields: nothing it
// raises leaves the tree.

#include "zdDataDrop.h"

#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;
class TzdComponent;
class TzdDataSet;
class TzdReport;
class TzsXMLItem;

class TzdDataTreeForm : public QWidget, public zd::DataDropSource {
public:
    explicit TzdDataTreeForm(QWidget* Parent = nullptr);
    ~TzdDataTreeForm() override;

    enum Tab { tabData = 0, tabVariables = 1, tabFunctions = 2, tabClasses = 3 };

    TzdReport* Report() const { return m_report; }
    void SetReport(TzdReport* Value) { m_report = Value; }
    // Hosted by the designer: multiple selection on the data tab, and the
    // collapsed datasets remembered for the next window.
    bool Hosted = false;
    std::function<void()> OnDblClick;
    // Shows the check boxes under the data tree (the designer does).
    void ShowCheckBoxes(bool Value);

    void UpdateItems();
    void UpdateData();
    void UpdateVariables();
    void UpdateFunctions();
    void UpdateClasses();

    // --- zd::DataDropSource
    int SelectedCount() override;
    QString InsertionText(int Index) override;
    TzdDataSet* SelectedDataset(int Index) override;
    QString SelectedDatasetAlias() override;
    bool IsDataTab() override;
    bool InsertField() override;
    bool InsertCaption() override;

    void SetActiveTab(int Index);
    int ActiveTab() const;
    struct ScrollState {
        int Tab = 0;
        int TopIndex = 0;
    };
    ScrollState GetScrollState() const;
    void SetScrollState(const ScrollState& State);
    // On the data tab: selects the node of the designer's selection when
    // that is exactly one dataset, else clears the selection.
    void SelectDatasetOfSelection(const std::vector<TzdComponent*>& Selection);
    void SetTreesColor(int Color);
    // The height of the function hint under the functions tree.
    void SetHintHeight(int Height);
    // Moves the tab set and the panels into Panel (docking inside the designer).
    void MoveInto(QWidget* Panel);

    QTreeWidget* Tree(int TabIndex) const;
    // The call a function node inserts: its name and parenthesis with a
    // comma between parameter slots ("Copy(,,)"), or the name of a
    // function without parameters ("Date").
    static QString FunctionInsertionText(const QString& NodeText);
    // The data tree widget that started a drag (Source: the drag's source), or nullptr.
    static TzdDataTreeForm* FromDragSource(QObject* Source);
    // The remembered collapsed datasets ("name,name,"), kept for the process.
    static QString& CollapsedDatasets();
    QString CollapsedState() const;

private:
    QTreeWidgetItem* nodeAt(int Index) const;
    std::vector<QTreeWidgetItem*> selectedNodes() const;
    void ensureCodeTree();
    void addFunctions(TzsXMLItem* Item, QTreeWidgetItem* Parent);
    void functionSelected();
    void classExpanded(QTreeWidgetItem* Node);
    void tabChanged(int Index);
    void applySelectionMode();

    TzdReport* m_report = nullptr;
    QTabBar* m_tabs;
    QWidget* m_panels[4];
    QTreeWidget* m_trees[4];
    QCheckBox* m_insField;
    QCheckBox* m_insCaption;
    QCheckBox* m_sort;
    QWidget* m_cbPanel;
    QWidget* m_noDataPn;
    QLabel* m_noDataL;
    QLabel* m_functionName;
    QLabel* m_functionDesc;
    std::unique_ptr<TzsXMLItem> m_codeTree;
    std::map<const QTreeWidgetItem*, TzdDataSet*> m_datasets;
    std::map<const QTreeWidgetItem*, TzsXMLItem*> m_codeItems;
    bool m_firstFill = true;
    bool m_functionsBuilt = false;
    bool m_classesBuilt = false;
};

namespace zd {

// Embeds a data tree over Report in Panel for an editor whose text box is
// Target (a QLineEdit or a QPlainTextEdit): a double click in the tree, or
// a node of it dropped on Target, puts the node's insertion text at
// Target's caret, replacing its selection, and focuses Target. The tree is
// filled at once.
TzdDataTreeForm* embedDataTree(QWidget* Panel, TzdReport* Report, QWidget* Target);
// Inserts the text of the tree's selection into Target as above; false
// (and nothing inserted) when the selection has no insertion text.
bool insertDataTreeText(TzdDataTreeForm& Tree, QWidget* Target);
// Whether a drag that started at Source may be dropped on the editor of
// Tree: only from that tree, and only for a node with an insertion text.
bool acceptsDataTreeDrag(TzdDataTreeForm& Tree, QObject* Source);

} // namespace zd

#pragma once
// The report tree: a tool window of the designer showing the report's
// objects (report, pages, bands, objects) as a tree whose selection follows
// the designer's, and from which objects are selected, deleted, and moved to
// another band or page by dragging their nodes. A move obeys the rules a
// paste obeys: pages, the report, data pages and inherited objects stay
// where they are, and nothing lands where the page would not take it.

#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class QMenu;
class QTreeWidgetItem;
class TzdComponent;

namespace zd {
class DesignerModel;
class ReportTreeView;

// Why Obj may not be moved into Target (a band or a report page); empty
// when it may.
QString treeMoveRefusal(TzdComponent* Obj, TzdComponent* Target);

// The image of an object's node (palette image index), -1 for none.
int reportTreeImageIndex(TzdComponent* Obj);
} // namespace zd

class TzdReportTreeForm : public QWidget {
public:
    explicit TzdReportTreeForm(zd::DesignerModel* Designer, QWidget* Parent = nullptr);
    ~TzdReportTreeForm() override;

    void UpdateItems();
    void SetTreeColor(int Color);
    void SelectDesignerSelection();
    // The popup menu a right click opens (the designer's page menu); not owned.
    void SetPopupMenu(QMenu* Menu) { m_popup = Menu; }
    QMenu* PopupMenu() const { return m_popup; }

    std::function<void()> OnSelectionChange;

    // --- what the tree's events call
    QTreeWidgetItem* NodeOf(TzdComponent* Obj) const;
    TzdComponent* ObjectOf(const QTreeWidgetItem* Node) const;
    // A drop over Node would be taken.
    bool CanDropOn(const QTreeWidgetItem* Node) const;
    // Moves the selected nodes' objects onto Node's object; false when
    // nothing moved. What was refused is told in one message box.
    bool DropOn(QTreeWidgetItem* Node);
    void DeleteSelection();
    // The right button at the global position.
    void ContextMenuAt(const QPoint& Global);
    // Refusals of the last drop.
    QStringList Refusals;

private:
    void treeSelectionChanged();
    void addNode(TzdComponent* Obj, QTreeWidgetItem* Parent);
    std::vector<TzdComponent*> selectedObjects() const;

    zd::DesignerModel* m_designer;
    zd::ReportTreeView* m_tree;
    QMenu* m_popup = nullptr;
    std::vector<TzdComponent*> m_objects;
    std::vector<QTreeWidgetItem*> m_nodes;
    bool m_updating = false;
};

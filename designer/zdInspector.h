#pragma once
// The object inspector: a tool window listing the published properties and
// the events of the selected report objects as a grid of names and values,
// edited by typing, from a drop-down list, through a dialog editor or by a
// click on a Boolean. It knows no property types itself: the property list
// and the property editors of the report core say what a row shows and
// take the typed text.
//
// A value is committed one at a time: a commit that fails shows its
// message once and puts the shown value back, even when the message box
// takes the focus away from the editing line and so asks for another
// commit meanwhile.

#include "zdDsgnIntf_prop.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QScrollArea;
class QSplitter;
class QTabBar;
class QToolButton;
class TzdComponent;

namespace zd {
class InspectorGrid;
class InspectorEdit;
} // namespace zd

class TzdObjectInspector : public QWidget {
public:
    // Owner must be a designer (TzdCustomDesigner); raises otherwise.
    explicit TzdObjectInspector(plat::TComponent* Owner, QWidget* Parent = nullptr);
    ~TzdObjectInspector() override;

    void UpdateObjectsList(const std::vector<TzdComponent*>& Objects);
    void SetSelectedObjects(const std::vector<TzdComponent*>& Selected);
    void UpdateProperties();
    void SuspendGridRefresh();
    void ResumeGridRefresh();
    void SetInspectorColor(int Color);
    int HintPanelHeight() const;
    void SetHintPanelHeight(int Value);
    int DividerOffset() const { return m_divider; }
    void SetDividerOffset(int Value);

    std::function<void()> OnModify;
    std::function<void()> OnSelectionChange;
    // Every key pressed in the inspector goes here first (the designer's
    // shortcuts); true when it was taken.
    std::function<bool(int Key, Qt::KeyboardModifiers Modifiers)> OnKeyPreview;

    // --- rows of the shown list (properties or events, by tab)
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    TzdPropertyItem* RowItem(int Row) const;
    int RowLevel(int Row) const;
    QString RowName(int Row) const;
    TzdPropertyAttributes RowAttributes(int Row) const;
    QString RowValue(int Row) const;
    // The row of that name at any level, -1 when none.
    int FindRow(const QString& Name) const;
    int ItemIndex() const { return m_current; }
    void SetItemIndex(int Row);
    int RowHeight() const { return m_rowHeight; }
    // 0 the properties, 1 the events.
    int ActiveTab() const;
    void SetActiveTab(int Index);

    // --- what the controls do
    // Commits the typed text of the current row when it was modified.
    void CommitEdit();
    // The window lost the focus: the current row is selected again, which
    // commits a modified text.
    void FocusLost();
    void ToggleExpanded(int Row);
    void DialogButtonClick();
    // Opens the drop-down list of the current row; nullptr when it has no values.
    QListWidget* ShowDropDown();
    void CloseDropDown();
    // A click on a drop-down item: the item's text is committed.
    void DropDownChosen(int Index);
    // The combo box chose its entry Index.
    void ObjectChosen(int Index);
    // The description shown for the current row.
    QString Description() const;

private:
    friend class zd::InspectorGrid;
    friend class zd::InspectorEdit;
    struct Row {
        TzdPropertyItem* Item;
        TzdPropertyList* List;
        int Level;
    };
    bool isEventItem(TzdPropertyItem& Item) const;
    void rebuildRows();
    void addRows(TzdPropertyList* List, int Level, bool Events);
    void layoutGrid();
    void layoutEditors();
    void selectRow(int Index);
    void commitText(int Row, const QString& Text);
    void afterChange(TzdPropertyItem* Item);
    void updateComboEntry();
    QString comboText(TzdComponent* Obj) const;
    int comboIndexOf(TzdComponent* Obj) const;
    std::vector<TzdComponent*> selection() const;
    void gridPress(int X, int Y, bool Double);
    void gridMove(int X, int Y, bool Pressed);
    void gridRelease();
    bool editKey(int Key, Qt::KeyboardModifiers Mods);
    void paintGrid(class QPainter& P);
    void resizeEvent(QResizeEvent* E) override;

    quint32 m_designer = 0;
    std::vector<quint32> m_selected;
    std::unique_ptr<TzdPropertyList> m_list;
    std::vector<Row> m_rows;
    int m_current = -1;
    QString m_lastName;
    int m_rowHeight = 16;
    int m_divider = 0;
    bool m_dividerSet = false;
    bool m_disabled = false;
    bool m_fillingCombo = false;
    bool m_committing = false;
    bool m_draggingSplitter = false;
    bool m_suppressDouble = false;

    QComboBox* m_objects;
    QTabBar* m_tabs;
    QWidget* m_back;
    QScrollArea* m_box;
    zd::InspectorGrid* m_grid;
    zd::InspectorEdit* m_edit;
    QWidget* m_editPanel;
    QToolButton* m_editBtn;
    QWidget* m_comboPanel;
    QToolButton* m_comboBtn;
    QSplitter* m_splitter;
    QWidget* m_hintPanel;
    QLabel* m_propL;
    QLabel* m_descrL;
    QWidget* m_popup = nullptr;
    QListWidget* m_popupList = nullptr;
};

#pragma once
// The tab order dialog: the order in which the controls of a dialog page (or
// of a container control) take the keyboard focus. Moves are made on the
// dialog's own list; OK writes the order to the parent's children and the
// controls' tab order, Cancel leaves both as they were.

#include <QDialog>
#include <QStringList>

#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class TzdComponent;
class TzdCustomDesigner;
class TzdDialogControl;

namespace zd::taborder {

// The first selected object, else the designer's current page.
TzdComponent* parentFor(TzdCustomDesigner* Designer);

class Model {
public:
    explicit Model(TzdComponent* Parent);

    TzdComponent* Parent() const { return m_parent; }
    // The windowed dialog controls among the children, in the order set so far.
    const std::vector<TzdDialogControl*>& Items() const { return m_items; }
    // "name: class name" per control.
    QStringList Captions() const;
    // Swaps the control with its neighbour; false at either end.
    bool MoveUp(int Index);
    bool MoveDown(int Index);
    // The listed controls take their slots among the parent's children in
    // the list's order, and tab order 0, 1, ... .
    void Apply();

private:
    TzdComponent* m_parent;
    std::vector<TzdDialogControl*> m_items;
};

} // namespace zd::taborder

class TzdTabOrderEditorForm : public QDialog {
public:
    explicit TzdTabOrderEditorForm(TzdComponent* Parent, QWidget* parent = nullptr);

    zd::taborder::Model& model() { return m_model; }

    QLabel* Label1;
    QListWidget* ControlsLB;
    QPushButton *UpB, *DownB, *OkB, *CancelB;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void move(bool Up);
    void fill(int Current);

    zd::taborder::Model m_model;
};

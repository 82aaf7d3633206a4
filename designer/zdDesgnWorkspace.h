#pragma once
// The design workspace as a control: a thin widget over the workspace model
// (zd::WorkspaceTools) of the designer. Qt's mouse and key events become
// the model's calls; painting goes through the platform canvas (PaintTo),
// so a paint can be recorded and searched. The page frame behind it
// (TMarginsPanel) is the paper outside the margins; the in-place editor
// (TInplaceMemo) edits a memo's text on the page.
//
// Every handler is guarded: a failure shows its message through the UI
// services, and a failing paint draws the message instead of the page.

#include "Graphics.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace plat {
class TCanvas;
}
namespace zd {
class DesignerModel;
class WorkspaceTools;
} // namespace zd

class TzdMemoView;
class TDesignerWorkspace;

// The paper behind the workspace; presses on it reach the workspace.
class TMarginsPanel : public QWidget {
public:
    TMarginsPanel(TDesignerWorkspace* Workspace, QWidget* Parent);
    // The printable area inside the panel, in its pixels.
    QRect Printable;
    void PaintTo(plat::TCanvas& Canvas);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QMouseEvent translated(QMouseEvent* event) const;
    TDesignerWorkspace* m_workspace;
};

class TInplaceMemo : public QPlainTextEdit {
public:
    explicit TInplaceMemo(TDesignerWorkspace* Workspace);
    TzdMemoView* View = nullptr;
    QSize StartSize;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void grow();
    TDesignerWorkspace* m_workspace;
};

class TDesignerWorkspace : public QWidget {
public:
    TDesignerWorkspace(zd::DesignerModel& Model, QWidget* Parent);
    ~TDesignerWorkspace() override;

    zd::DesignerModel& Model() const { return m_model; }
    zd::WorkspaceTools& Engine() const;
    TMarginsPanel* MarginsPanel() const { return m_margins; }
    TInplaceMemo* Inplace() const { return m_inplace; }

    // Display switches mirrored from the designer's settings.
    bool ShowGrid = true;
    bool GridLCD = false;
    bool ShowCorners = true;
    bool DropFields = true;
    plat::TColor PageColor = plat::clWhite;

    // Lays the paper and the workspace out for the model's shown page and
    // scale: Origin is the paper's top-left corner in the parent.
    void LayoutPage(QPoint Origin = QPoint(10, 10));
    // The paper's size in pixels at the current scale.
    QSize PaperSize() const;

    // Draws the whole workspace onto Canvas in workspace pixels; never
    // raises (a failure draws its message).
    void PaintTo(plat::TCanvas& Canvas, const QRect& Clip);

    // In-place editing of a memo's text.
    void BeginEdit(TzdMemoView* View);
    void EndEdit(bool Keep = true);
    bool Editing() const;

    // The field list of the data-bound memo under the pointer: a pop-up
    // list ("FieldListBox") under the memo's drop-down button; choosing a
    // field binds the memo to it. FieldListPopup is the open pop-up.
    void ShowFieldList();
    QWidget* FieldListPopup() const { return m_fieldPopup; }

    // The cursor the pointer shows now (tool, handle, band edge, guide);
    // updateCursor gives it to the workspace and the paper.
    QCursor CurrentCursor() const;
    void updateCursor();

    // Mouse handling shared with the page frame (workspace pixels).
    void mouseDown(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void mouseUp(QMouseEvent* event);

    // Called after every handled event: the window brings its status bar,
    // inspector and toolbars up to date.
    std::function<void()> OnAfterChange;
    // The pointer's position and selection bounds, in page units.
    std::function<void(long double L, long double T, long double W, long double H)> OnBounds;
    // A field dropped from outside (the data tree); nullptr: none.
    std::function<bool(QDropEvent*)> OnDropOutside;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void paintGrid(plat::TCanvas& Canvas, const QRect& Clip);
    void paintGuides(plat::TCanvas& Canvas);
    void paintObjects(plat::TCanvas& Canvas);
    void paintBand(plat::TCanvas& Canvas, class TzdBand* Band);
    void paintHandles(plat::TCanvas& Canvas);
    void paintRubberBand(plat::TCanvas& Canvas);
    void paintFieldButton(plat::TCanvas& Canvas);
    void textToolRelease(QMouseEvent* event);
    void afterEvent();
    template <class F> void guarded(F&& f);

    zd::DesignerModel& m_model;
    TMarginsPanel* m_margins;
    TInplaceMemo* m_inplace;
    bool m_textPressed = false;
    QPoint m_handPos;
    QPoint m_pressPos;
    QPointer<QWidget> m_fieldPopup;
};

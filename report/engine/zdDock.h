#pragma once
// Dockable tool areas of the report library's windows and the routines
// that keep window, toolbar and dock-site layouts between runs.
//
// Docking rests on Qt's main windows:
// - a dock site (TzdDockSite) is a main window embedded at an edge of its
//   host window; tool windows are QDockWidgets docked into it, and its
//   saved layout is the hex text of its saveState();
// - a toolbar's control bar is a toolbar area of the QMainWindow it lives
//   in, named "DockTop", "DockBottom", "DockLeft" and "DockRight"; a
//   floating toolbar is a tool window still parented to that main window.
//
// The settings routines take a settings object (the report's settings
// file) and never free it. A value that cannot be a window's size or a
// dock layout leaves that part of the layout as it is, and a window whose
// stored place lies off every screen comes back onto one.

#include "Controls.h"

#include <QMainWindow>
#include <QWidget>

class QDockWidget;
class QToolBar;

namespace plat {
class TCustomIniFile;
}

class TzdDockSite;

// The bar beside a dock site that resizes it, and collapses or restores it
// with a click on its grip in the middle.
class TDockSplitter : public QWidget {
public:
    explicit TDockSplitter(TzdDockSite* site);
    TzdDockSite* DockSite() const { return m_site; }
    // Whether the point lies on the grip (strictly within 20 pixels of the middle).
    bool OnGrip(const QPoint& p) const;
    bool MouseDown() const { return m_mouseDown; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool vertical() const; // a bar beside a left or right site
    TzdDockSite* m_site;
    bool m_mouseDown = false;
    QPoint m_lastGlobal;
};

class TzdDockSite : public QMainWindow {
public:
    // Aligned left, 10 x 10, sizing itself to what is docked in it.
    explicit TzdDockSite(QWidget* parent, plat::TAlign align = plat::alLeft);
    ~TzdDockSite() override;

    plat::TAlign Align() const { return m_align; }
    void SetAlign(plat::TAlign align);
    // The site's width (left and right sites) or height (top and bottom).
    int Thickness() const;
    void SetThickness(int value);
    // The thickness it takes again when restored after being collapsed.
    int Size() const { return m_size; }
    void SetSize(int value) { m_size = value; }
    // While on, the site is as thick as its first docked control and
    // collapses to nothing when the last one leaves.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    int DraggedPanelSize() const { return m_draggedPanelSize; }
    // The window whose tool windows the site accepts; nullptr: any.
    QWidget* HostForm() const { return m_hostForm; }
    void SetHostForm(QWidget* form) { m_hostForm = form; }
    TDockSplitter* Splitter() const { return m_splitter; }

    // Tool windows docked here (floating ones excluded).
    QList<QDockWidget*> DockClients() const;
    int DockClientCount() const { return int(DockClients().size()); }

    // The docking protocol. DockOver answers whether the control may be
    // dropped here and remembers its size; DockDrop docks it (refused for
    // a tool window of another window than HostForm); Undock lets it go to
    // newTarget (nullptr: floating), refused for a target of another window.
    bool DockOver(QWidget* control);
    bool DockDrop(QDockWidget* control);
    bool Undock(QDockWidget* control, QWidget* newTarget);
    // Docks without the checks, as restoring a layout does.
    void ManualDock(QDockWidget* control);
    // The control a saved layout names: in HostForm, the first whose name
    // contains the saved name; otherwise the control of that name in any
    // window. nullptr when none.
    QWidget* FindDockedControl(const QString& name) const;

    // Collapses the site (remembering its thickness in Size) or restores it.
    void ToggleCollapsed();

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeSplitter();
    void fitToClients();
    Qt::DockWidgetArea innerArea() const;

    plat::TAlign m_align = plat::alLeft;
    int m_draggedPanelSize = 0;
    int m_size = 100;
    TDockSplitter* m_splitter;
    QWidget* m_hostForm = nullptr;
    bool m_autoSize = true;
};

// A panel that carries a control other than a button on a toolbar; its
// children are placed by their owner.
class TzdTBPanel : public QWidget {
public:
    explicit TzdTBPanel(QWidget* parent = nullptr);
    // alTop in a vertical toolbar, alLeft otherwise.
    plat::TAlign Align() const;
    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
};

namespace zd {

// The owner of a tool window for the docking checks: set by its creator, or
// else the window it belongs to.
void SetDockOwner(QWidget* control, QWidget* owner);
QWidget* DockOwner(const QWidget* control);

// The class name under which a form keeps its place: "T" + its object name
// unless the dynamic property "className" says otherwise.
QString FormClassName(const QWidget* form);

// Control bars: the toolbar areas of a main window by name.
QString ControlBarName(Qt::ToolBarArea area);
Qt::ToolBarArea ControlBarArea(const QString& name); // NoToolBarArea when none

// Puts a window whose rectangle lies off every screen back onto the
// nearest one (within its available area, shrunk to fit).
void KeepOnScreen(QWidget* window);

} // namespace zd

void zdSaveToolbarPosition(plat::TCustomIniFile& Settings, QToolBar* ToolBar);
void zdRestoreToolbarPosition(plat::TCustomIniFile& Settings, QToolBar* ToolBar);
void zdSaveDockSite(plat::TCustomIniFile& Settings, TzdDockSite* Site);
void zdRestoreDockSite(plat::TCustomIniFile& Settings, TzdDockSite* Site);
void zdSaveFormPosition(plat::TCustomIniFile& Settings, QWidget* Form);
void zdRestoreFormPosition(plat::TCustomIniFile& Settings, QWidget* Form);

#pragma once
// Small controls of the designer window: the rulers beside the design
// workspace and the scroll box that holds it. They draw on the platform
// canvas and keep no report data.

#include "Graphics.h"
#include "zdClass_services.h"

#include <QScrollArea>
#include <QToolButton>
#include <QWidget>

#include <functional>

namespace plat {
class TCanvas;
}

class TzdRuler : public QWidget {
public:
    // Vertical rulers stand at the left edge of their parent.
    TzdRuler(QWidget* Parent, bool Vertical);

    bool Vertical() const { return m_vertical; }
    int Offset() const { return m_offset; }
    void SetOffset(int Value);
    long double Scale() const { return m_scale; }
    void SetScale(long double Value);
    int Start() const { return m_start; }
    void SetStart(int Value);
    TzdRulerUnits Units() const { return m_units; }
    void SetUnits(TzdRulerUnits Value);
    long double Position() const { return m_position; }
    void SetPosition(long double Value);
    int Size() const { return m_size; }
    void SetSize(int Value);

    void PaintTo(plat::TCanvas& Canvas);

    // A guide dragged off the ruler and let go at a screen point.
    std::function<void(TzdRuler* Ruler, QPoint GlobalPos)> OnGuideDrop;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_vertical;
    bool m_dragging = false;
    int m_offset = 0;
    long double m_scale = 1;
    int m_start = 0;
    TzdRulerUnits m_units = ruPixels;
    long double m_position = 0;
    int m_size = 0;
};

// The scroll box that holds the workspace: keys reach the workspace too.
class TzdScrollBox : public QScrollArea {
public:
    explicit TzdScrollBox(QWidget* Parent);
    std::function<void()> OnScroll;

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
};

// The borderless pop-up window of drop-down lists and pickers. It closes
// (and frees itself) when it loses the focus, noting the moment, so that
// the click that closed it does not open it again.
class TzdPopupForm : public QWidget {
public:
    explicit TzdPopupForm(QWidget* Parent = nullptr);
    // Milliseconds of a monotonic clock when a popup last closed.
    static qint64 LastPopupCloseTick;
    static qint64 Tick();
    // Whether a popup closed less than Ms milliseconds ago.
    static bool ClosedWithin(int Ms);

protected:
    void hideEvent(QHideEvent* event) override;
};

namespace zd {

// The colour pickers' table: 48 colours, 6 rows of 8; the sixth row holds
// the colours the user adds. One table for the whole run.
inline constexpr int kColorTableSize = 48;
plat::TColor* ColorTable();
// Adds a colour chosen in the colour dialog: nothing when the table holds
// it; else the first free entry above 37; else entries 41..47 move down by
// one and it becomes entry 47.
void AddTableColor(plat::TColor Color);

} // namespace zd

// The colour picker under a toolbar button: the table's swatches and
// "Other...", which asks the colour dialog.
class TzdColorSelector : public QWidget {
public:
    explicit TzdColorSelector(QWidget* Owner);
    plat::TColor Color = plat::clBlack;
    QString OtherCaption = QStringLiteral("Other...");
    std::function<void(TzdColorSelector*)> OnColorChanged;
    TzdPopupForm* Popup() const { return m_popup; }
    void PaintTo(plat::TCanvas& Canvas);
    // The table entry at a point of the picker; -1 for the "Other..." row.
    static int EntryAt(int X, int Y);
    // What a release at (X, Y) chooses.
    void Choose(int X, int Y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TzdPopupForm* m_popup;
};

// The frame-style picker under a toolbar button: six rows, the styles
// solid, dash, dot, dash-dot, dash-dot-dot and double.
class TzdLineSelector : public QWidget {
public:
    explicit TzdLineSelector(QWidget* Owner);
    int Style = 0;
    std::function<void(TzdLineSelector*)> OnStyleChanged;
    TzdPopupForm* Popup() const { return m_popup; }
    void PaintTo(plat::TCanvas& Canvas);
    // The row (style) at a point of the picker.
    static int RowAt(int Y);
    // What a release at Y chooses.
    void Choose(int Y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TzdPopupForm* m_popup;
};

// A toolbar button with a drop-down arrow of its own: a click on the face
// runs the button, a press on the arrow runs OnDropDown (the colour
// buttons of the formatting toolbars open their picker there).
class TzdDropDownButton : public QToolButton {
public:
    explicit TzdDropDownButton(QWidget* Parent);
    std::function<void()> OnDropDown;
    // The arrow's rectangle in the button.
    QRect ArrowRect() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

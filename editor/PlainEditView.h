#pragma once
// What the editor model asks of its window. A widget implements it and
// forwards its events to the model; without a view the model works as a
// control whose window does not exist yet (nothing is painted, scrolled or
// reported to a window). Every operation has a harmless default, so a test
// double overrides only what it records.

#include "Canvas.h"
#include "Controls.h"

#include <QString>

enum TScrollBarKind { sbHorizontal, sbVertical };

// What a scroll bar is told; with DisableNoScroll a bar whose content fits
// is shown disabled rather than hidden.
struct TPlainScrollInfo {
    int Min = 0;
    int Max = 0;
    int Page = 0;
    int Pos = 0;
    bool DisableNoScroll = true;
    friend bool operator==(const TPlainScrollInfo&, const TPlainScrollInfo&) = default;
};

class IPlainEditView {
public:
    virtual ~IPlainEditView();

    // --- the window
    virtual bool HandleAllocated() const { return true; }
    virtual bool IsVisible() const { return true; }
    virtual int ClientWidth() const { return 0; }
    virtual int ClientHeight() const { return 0; }
    virtual bool Focused() const { return false; }
    virtual void SetFocus() {}
    virtual void InvalidateRect(const plat::TRect& rect) { (void)rect; }
    // The whole control.
    virtual void Invalidate() {}
    // Paints what is pending now.
    virtual void Update() {}
    // Moves the pixels inside clip by (dx, dy) and invalidates the uncovered strip.
    virtual void ScrollWindow(int dx, int dy, const plat::TRect& clip) { (void)dx, (void)dy, (void)clip; }
    // The border changed: the window is made again.
    virtual void RecreateWindow() {}
    // A canvas for transient painting outside a paint event (none: no painting).
    virtual plat::TCanvas* Canvas() { return nullptr; }

    // --- the caret (a solid block of the given size)
    virtual void CreateCaret(int width, int height) { (void)width, (void)height; }
    virtual void DestroyCaret() {}
    virtual void SetCaretPos(int x, int y) { (void)x, (void)y; }
    virtual bool ShowCaret() { return true; }
    virtual bool HideCaret() { return true; }
    // Where the input method's composition window goes.
    virtual void SetCompositionPos(int x, int y) { (void)x, (void)y; }

    // --- scroll bars
    virtual void ShowScrollBar(TScrollBarKind kind, bool visible) { (void)kind, (void)visible; }
    virtual void SetScrollInfo(TScrollBarKind kind, const TPlainScrollInfo& info) { (void)kind, (void)info; }
    // The arrows at the start and at the end of a bar.
    virtual void EnableScrollArrows(TScrollBarKind kind, bool first, bool second) { (void)kind, (void)first, (void)second; }

    // --- mouse and drag
    virtual void SetCursor(plat::TCursor cursor) { (void)cursor; }
    virtual void SetCapture(bool captured) { (void)captured; }
    virtual bool MouseCaptured() const { return false; }
    // The mouse position in client coordinates.
    virtual plat::TPoint CursorPos() const { return {}; }
    // Starts dragging the selected text (the platform's drag operation).
    virtual void BeginDrag() {}
    virtual bool Dragging() const { return false; }
    // The auto-scroll timer: a tick every interval while running.
    virtual void SetScrollTimer(bool running, int intervalMs) { (void)running, (void)intervalMs; }
    virtual void SetAcceptFiles(bool accept) { (void)accept; }
    // The keys held right now (Shift speeds the auto-scroll up).
    virtual plat::TShiftState KeyboardState() const { return {}; }

    // --- the scroll hint
    virtual plat::TSize ScrollHintSize(const QString& text, int maxWidth) const
    {
        (void)text;
        return plat::TSize{maxWidth, 16};
    }
    virtual void ShowScrollHint(const QString& text, plat::TColor color, plat::TPoint topLeft)
    {
        (void)text, (void)color, (void)topLeft;
    }
    virtual void HideScrollHint() {}

    // --- system metrics
    virtual int DragThreshold() const { return 4; }
    virtual int WheelScrollLines() const { return 3; }
    virtual int VScrollArrowHeight() const { return 17; }
};

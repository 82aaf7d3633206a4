#pragma once
// The workspace the designer uses: the engine with the designer's tools
// (hand, zoom, text, format painter), the page guides with snapping, the
// alignment lines shown against other objects while dragging, and guides
// dropped from the rulers. Guides are the report page's HGuides (Y
// positions) and VGuides (X positions), kept as texts.

#include "zdWorkspaceEngine.h"

#include <QStringList>

#include <functional>
#include <vector>

class TzdMemoView;

namespace zd {

enum ToolMode { tmSelect = 0, tmHand = 1, tmZoom = 2, tmText = 3, tmFormatPainter = 4 };

struct GuideLine {
    long double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

class WorkspaceTools : public WorkspaceEngine {
public:
    using WorkspaceEngine::WorkspaceEngine;

    int ToolMode = tmSelect;
    bool ShowGuides = true;
    // Alignment lines of the last step (cleared by the next step).
    std::vector<GuideLine> AlignmentLines;
    // The zoom tool asks the designer for a new scale; the designer sets
    // Scale to what it takes (its limits apply).
    std::function<void(long double Scale)> OnZoom;

    // The scroll box around the workspace: its client size, its positions
    // and their largest values, in pixels. The window keeps them current;
    // the hand and zoom tools move the positions and report it by OnScroll.
    int ScrollClientWidth = 0;
    int ScrollClientHeight = 0;
    int ScrollX = 0;
    int ScrollY = 0;
    int ScrollMaxX = 0;
    int ScrollMaxY = 0;
    std::function<void(int X, int Y)> OnScroll;

    void MouseMove(int X, int Y, plat::TShiftState Shift) override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;

    // A guide dragged from a ruler and dropped at the pointer: the left
    // ruler gives a vertical guide, the top ruler a horizontal one.
    void DropGuide(bool FromLeftRuler, int X, int Y);
    // The zoom tool's click: left adds, right takes away; the scale as it
    // stays when nothing changes.
    static long double ZoomClickScale(long double Scale, bool LeftButton);
    // The scale at which the rubber band (workspace pixels at Scale) fills
    // the scroll box's client area less 16 pixels, along its longer side
    // relative to that area; Scale itself when the area is empty.
    static long double RubberBandScale(const TzdExtRect& Band, long double Scale, int ClientWidth,
                                       int ClientHeight);
    // The scroll position that brings the workspace pixel Position (at
    // OldScale) to Offset pixels into the view at NewScale, on a page whose
    // margin on that side is MarginMm.
    static long double ZoomScrollPosition(long double Position, long double OldScale, long double NewScale,
                                          long double MarginMm, long double Offset);
    // The guide the pointer is on (page units); false for none.
    bool GuideAt(long double X, long double Y, bool& Vertical, int& Index) const;

    // The split cursor of a band edge or guide under the pointer: true for
    // the up-and-down one (a horizontal band's bottom, a horizontal guide).
    bool CursorVerticalSplit() const;

    // The field drop-down of data-bound memos: the memo under the pointer
    // (idle, nothing armed) that lies on a data band whose dataset lists at
    // least one field shows a small button at its top-right corner. Off
    // when DropFields is false.
    bool DropFields = true;
    // The memo showing the button; nullptr for none (or one no longer on
    // the page).
    TzdMemoView* FieldListMemo() const;
    // The button's top-left corner in workspace pixels (16 x 16).
    void FieldListButton(int& X, int& Y) const;
    // Whether the pointer (workspace pixels) is on the button.
    bool OnFieldListButton(int X, int Y) const;
    // The fields of the memo's band's dataset; none when the dataset fails.
    QStringList FieldListItems() const;
    // A field chosen in the list: the memo takes the band's dataset and
    // that field; the change is reported as any other.
    void ChooseField(const QString& Field);
    void DeleteSelected() override;

protected:
    void SnapDelta(long double& DX, long double& DY, bool& Cancel) override;

private:
    void snapToGuides(long double Edge, long double& Step, bool Vertical) const;
    void alignmentLines(TzdComponent* Moving, long double X, long double Y, long double Right, long double Bottom);
    void formatPainterClick(long double X, long double Y);
    void handMove(int X, int Y);
    void zoomRelease(plat::TMouseButton Button);
    void scrollTo(long double X, long double Y);
    void updateFieldListMemo(long double X, long double Y);

    std::vector<TzdComponent*> m_snapshot;
    bool m_guideVertical = false;
    int m_guideIndex = -1;
    bool m_toolPressed = false;
    // The hand tool's reference: pointer (screen pixels) and the scroll
    // positions that go with it.
    int m_handPointerX = 0, m_handPointerY = 0;
    int m_handScrollX = 0, m_handScrollY = 0;
    // Kept as a plain address: only an object still in the page's list is
    // ever used through it.
    TzdComponent* m_fieldListMemo = nullptr;
};

} // namespace zd

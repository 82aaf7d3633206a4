#pragma once
// The design workspace without its window: the geometry of the shown page
// (hit tests, handles, selection bounds), the mouse machine that selects,
// moves, sizes, scales and inserts objects, the keyboard, and the band
// layout that stacks bands and gives each object to the band it lies in.
//
// Positions are page units (pixels at 96 per inch); the pointer arrives in
// workspace pixels, which are page units times Scale. The engine works on
// two lists that the designer owns and fills: Objects (every object of the
// page, bands first) and Selection (never empty: the page alone when
// nothing is selected). It owns no report object.

#include "Controls.h"
#include "zdUtils.h"

#include <functional>
#include <vector>

namespace plat {
class TClass;
} // namespace plat

class TzdBand;
class TzdComponent;

namespace zd {

// A rectangle in page units as left, top, width and height.
struct ExtBounds {
    long double Left = 0;
    long double Top = 0;
    long double Width = 0;
    long double Height = 0;
};

struct InsertRequest {
    const plat::TClass* ObjectClass = nullptr;
    quint16 Flags = 0;
    ExtBounds Bounds;
};

enum WorkspaceMode {
    wmIdle = 0,
    wmMove = 1,
    wmSize = 2,
    wmBandEdge = 3,
    wmGroupScale = 4,
    wmInplaceEdit = 5,
    wmRubberBand = 6,
    wmPlace = 7,
    wmPlaceLine = 8,
    wmGuide = 9,
    wmContainer = 10
};

enum WorkspaceGridKind { gkPixels = 0, gkCentimetres = 1, gkInches = 2, gkDialog = 3, gkChars = 4 };

class WorkspaceEngine {
public:
    WorkspaceEngine(std::vector<TzdComponent*>& Objects, std::vector<TzdComponent*>& Selection);
    virtual ~WorkspaceEngine();
    WorkspaceEngine(const WorkspaceEngine&) = delete;
    WorkspaceEngine& operator=(const WorkspaceEngine&) = delete;

    // --- settings the designer gives
    TzdComponent* Page = nullptr;
    long double Scale = 1;
    long double GridStepX = 8;
    long double GridStepY = 8;
    bool GridAlign = true;
    bool FreeBands = false;
    int BandsGap = 4;
    // The control's size in pixels (nearest-object scores, band centring).
    int ClientWidth = 800;
    int ClientHeight = 1100;
    int GridKind() const { return m_gridKind; }
    void SetGridKind(int Value);
    bool ShowBandCaptions() const { return m_showBandCaptions; }
    void SetShowBandCaptions(bool Value);
    long double BandCaptionHeight() const { return m_bandCaptionHeight; }
    bool Locked() const { return m_locked; }
    void Lock();
    void Unlock() { m_locked = false; }

    // --- events
    std::function<void()> OnModify;
    std::function<void()> OnSelectionChange;
    std::function<void()> OnEditObject;
    std::function<void(const InsertRequest&)> OnInsertRequest;
    std::function<void(const ExtBounds&)> OnBoundsChange;

    // --- state
    int Mode = wmIdle;
    int Handle = 0;
    bool Pressed = false;
    int InsertionState = 0;
    InsertRequest Insertion;
    long double DefaultWidth = 0;
    long double DefaultHeight = 0;
    bool PendingChange = false;
    // The rubber band in workspace pixels (Left, Top, Right, Bottom).
    TzdExtRect RubberBand;

    // --- selection geometry
    // Entries, except that the page or the report alone count 0.
    int SelectedCount() const;
    ExtBounds SelectionBounds() const;
    TzdComponent* BottomRightObject() const;
    // Whether the pointer (page units) hits the object.
    bool Hits(TzdComponent* Obj, long double X, long double Y) const;
    // The handle under the pointer for the single selected object, already
    // mapped for lines; 0 for none.
    int HandleAt(TzdComponent* Obj, long double X, long double Y) const;
    // The handle an edge moves to when the object turns inside out.
    static int RemapHandle(int Handle, bool WidthNegative, bool HeightNegative);

    // --- mouse (workspace pixels)
    virtual void MouseMove(int X, int Y, plat::TShiftState Shift);
    virtual void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y);
    virtual void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y);
    void DoubleClick();
    void MouseLeave();
    // The pending step of a drag, quantised to the grid; false when the
    // step is dropped.
    bool QuantiseStep(long double& DX, long double& DY, bool Alt) const;

    // --- keyboard (platform key codes)
    void KeyDown(int Key, plat::TShiftState Shift);
    void KeyUp(int Key, plat::TShiftState Shift);

    // --- commands
    void SetInsertion(const plat::TClass* ObjectClass, quint16 Flags, long double Width, long double Height);
    // Deletes the selection. Refuses as a whole (raising) when an inherited
    // object is among it, before anything changes.
    virtual void DeleteSelected();
    void EditSelected();
    void GroupSelection();
    void UngroupSelection();
    void NotifySelectionChanged();
    void NotifyModified();
    void ArrangeBands(bool Reparent);
    // The band grows to hold its objects (never shrinks).
    static void FitBandToObjects(TzdBand* Band);
    // The objects selected objects' rectangle, used by the key moves.
    void MoveSelection(long double DX, long double DY);

protected:
    // Guides may change or cancel a step; nothing here.
    virtual void SnapDelta(long double& DX, long double& DY, bool& Cancel);
    bool isSelected(TzdComponent* Obj) const;

    std::vector<TzdComponent*>& m_objects;
    std::vector<TzdComponent*>& m_selection;
    long double m_lastX = 0;
    long double m_lastY = 0;

private:
    bool isEmptySelection() const;
    void setSelection(std::vector<TzdComponent*> Objects);
    void hover(long double X, long double Y, plat::TShiftState Shift);
    void dragStep(long double X, long double Y, plat::TShiftState Shift);
    void moveStep(long double DX, long double DY);
    void sizeStep(long double DX, long double DY);
    void groupScaleStep(long double DX, long double DY);
    void insertionRelease();
    void rubberBandRelease();
    void nearestObject(int Key, bool PlaceNextTo);
    void selectNext();
    void boundsChanged(long double X, long double Y);

    int m_gridKind = gkPixels;
    bool m_showBandCaptions = true;
    long double m_bandCaptionHeight = 16;
    bool m_locked = false;
    bool m_swallowPress = false;
    TzdExtRect m_group;
    TzdExtRect m_groupStart;
    std::vector<TzdExtRect> m_startRects;
    std::vector<int> m_alignStack;
    bool m_moved = false;
};

} // namespace zd

#include "zdWorkspaceTools.h"

#include "StringList.h"
#include "zdClass_band.h"
#include "zdDataDrop.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdUtils.h"
#include "zdXMLSerializer.h"

#include <algorithm>
#include <cmath>

namespace zd {

namespace {

constexpr long double kGuideSnap = 6;
constexpr long double kGuideHover = 5;
constexpr long double kEdgeMatch = 0.001L;

long double guideValue(zd::TStringList* List, int Index)
{
    try {
        return zdParseFloat(List->Strings(Index));
    } catch (const std::exception&) {
        return -1e10L;
    }
}

long double truncToStep(long double v, long double step) { return step > 0 ? std::trunc(v / step) * step : v; }

// The field drop-down's button: 16 x 16 pixels at the memo's top-right.
constexpr int kFieldButtonSize = 16;
constexpr long double kFieldHoverRightSlack = 4;

TzdDataSet* bandDataSet(TzdComponent* Memo)
{
    auto* band = Memo ? dynamic_cast<TzdDataBand*>(Memo->Parent()) : nullptr;
    return band ? band->DataSet() : nullptr;
}

} // namespace

bool WorkspaceTools::CursorVerticalSplit() const
{
    if (Mode == wmGuide)
        return !m_guideVertical;
    auto* band = m_selection.empty() ? nullptr : dynamic_cast<TzdBand*>(m_selection.front());
    return !band || !band->Vertical();
}

// ---------------------------------------------------------------- field drop-down

TzdMemoView* WorkspaceTools::FieldListMemo() const
{
    if (!m_fieldListMemo || !DropFields)
        return nullptr;
    const auto it = std::find(m_objects.begin(), m_objects.end(), m_fieldListMemo);
    return it == m_objects.end() ? nullptr : dynamic_cast<TzdMemoView*>(*it);
}

void WorkspaceTools::FieldListButton(int& X, int& Y) const
{
    X = Y = 0;
    if (TzdMemoView* memo = FieldListMemo()) {
        X = int(std::nearbyint((memo->GetAbsLeft() + memo->Width()) * Scale)) - kFieldButtonSize;
        Y = int(std::nearbyint(memo->GetAbsTop() * Scale)) + 2;
    }
}

bool WorkspaceTools::OnFieldListButton(int X, int Y) const
{
    TzdMemoView* memo = FieldListMemo();
    if (!memo || InsertionState != 0 || Scale <= 0)
        return false;
    const long double x = X / Scale, y = Y / Scale;
    const long double right = memo->GetAbsLeft() + memo->Width(), top = memo->GetAbsTop();
    return x >= right - kFieldButtonSize && x <= right && y >= top && y <= top + kFieldButtonSize;
}

QStringList WorkspaceTools::FieldListItems() const { return fieldListOf(bandDataSet(FieldListMemo())); }

void WorkspaceTools::ChooseField(const QString& Field)
{
    TzdMemoView* memo = FieldListMemo();
    TzdDataSet* ds = bandDataSet(memo);
    if (!memo || !ds || Field.isEmpty())
        return;
    memo->SetDataSet(ds);
    memo->SetDataField(Field);
    PendingChange = true;
    NotifyModified();
}

void WorkspaceTools::DeleteSelected()
{
    m_fieldListMemo = nullptr;
    WorkspaceEngine::DeleteSelected();
}

// The topmost memo under the pointer on a data band whose dataset has
// fields; a dataset that fails to list them offers none.
void WorkspaceTools::updateFieldListMemo(long double X, long double Y)
{
    TzdComponent* found = nullptr;
    if (DropFields)
        for (auto it = m_objects.rbegin(); it != m_objects.rend() && !found; ++it) {
            auto* memo = dynamic_cast<TzdMemoView*>(*it);
            if (!memo)
                continue;
            const long double l = memo->GetAbsLeft(), t = memo->GetAbsTop();
            if (X < l || X > l + memo->Width() - kFieldHoverRightSlack || Y < t || Y > t + memo->Height())
                continue;
            if (!fieldListOf(bandDataSet(memo)).isEmpty())
                found = memo;
        }
    m_fieldListMemo = found;
}

bool WorkspaceTools::GuideAt(long double X, long double Y, bool& Vertical, int& Index) const
{
    auto* page = dynamic_cast<TzdReportPage*>(Page);
    if (!page || !ShowGuides)
        return false;
    bool found = false;
    for (int i = 0; i < page->HGuides()->Count(); ++i)
        if (std::fabs(Y - guideValue(page->HGuides(), i)) < kGuideHover) {
            Vertical = false;
            Index = i;
            found = true;
        }
    for (int i = 0; i < page->VGuides()->Count(); ++i)
        if (std::fabs(X - guideValue(page->VGuides(), i)) < kGuideHover) {
            Vertical = true;
            Index = i;
            found = true;
        }
    return found;
}

void WorkspaceTools::MouseMove(int X, int Y, plat::TShiftState Shift)
{
    if (Locked())
        return;
    const long double px = X / Scale, py = Y / Scale;
    if (Pressed && Mode == wmGuide) {
        auto* page = dynamic_cast<TzdReportPage*>(Page);
        if (!page || m_guideIndex < 0)
            return;
        long double step = m_guideVertical ? px - m_lastX : py - m_lastY;
        const long double grid = m_guideVertical ? GridStepX : GridStepY;
        if (GridAlign) {
            if (std::fabs(step) < grid)
                return;
            step = truncToStep(step, grid);
        }
        if (step == 0)
            return;
        zd::TStringList* list = m_guideVertical ? page->VGuides() : page->HGuides();
        list->SetStrings(m_guideIndex, floatText(zdRound8(guideValue(list, m_guideIndex) + step)));
        (m_guideVertical ? m_lastX : m_lastY) += step;
        PendingChange = true;
        return;
    }
    if (Pressed && ToolMode == tmHand) {
        handMove(X, Y);
        return;
    }
    if (Pressed && ToolMode == tmFormatPainter)
        return;
    WorkspaceEngine::MouseMove(X, Y, Shift);
    if (!Pressed && InsertionState == 0 && (Mode == wmIdle || Mode == wmGuide)) {
        bool vertical = false;
        int index = -1;
        if (GuideAt(px, py, vertical, index)) {
            Mode = wmGuide;
            m_guideVertical = vertical;
            m_guideIndex = index;
        } else if (Mode == wmGuide) {
            Mode = wmIdle;
        }
        if (Mode == wmIdle && ToolMode == tmSelect)
            updateFieldListMemo(px, py);
    }
}

void WorkspaceTools::MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y)
{
    if (Locked())
        return;
    m_snapshot = m_objects;
    if (Mode == wmGuide) {
        Pressed = true;
        m_lastX = X / Scale;
        m_lastY = Y / Scale;
        return;
    }
    if (ToolMode == tmHand || ToolMode == tmFormatPainter) {
        m_toolPressed = true;
        Pressed = true;
        // The workspace moves under the pointer as it scrolls; the screen
        // position is the workspace position less the scroll position.
        m_handPointerX = X - ScrollX;
        m_handPointerY = Y - ScrollY;
        m_handScrollX = ScrollX;
        m_handScrollY = ScrollY;
        return;
    }
    if (ToolMode == tmZoom || ToolMode == tmText) {
        m_toolPressed = true;
        Pressed = true;
        Mode = wmRubberBand;
        RubberBand = {double(X), double(Y), double(X), double(Y)};
        return;
    }
    WorkspaceEngine::MouseDown(Button, Shift, X, Y);
}

long double WorkspaceTools::ZoomClickScale(long double Scale, bool LeftButton)
{
    if (LeftButton)
        return Scale + (Scale >= 1 ? 1 : 0.25L);
    if (Scale >= 2)
        return Scale - 1;
    // "Above 0.4" with the tolerance of geometry: 0.4 itself stays.
    if (Scale > 0.4L + 1e-4L)
        return Scale - 0.25L;
    return Scale;
}

long double WorkspaceTools::RubberBandScale(const TzdExtRect& Band, long double Scale, int ClientWidth,
                                            int ClientHeight)
{
    const long double w = ClientWidth - 16, h = ClientHeight - 16;
    const long double bw = std::fabs(Band.Right - Band.Left), bh = std::fabs(Band.Bottom - Band.Top);
    if (w <= 0 || h <= 0 || bw <= 0 || bh <= 0)
        return Scale;
    return bw / w >= bh / h ? w / bw * Scale : h / bh * Scale;
}

long double WorkspaceTools::ZoomScrollPosition(long double Position, long double OldScale, long double NewScale,
                                               long double MarginMm, long double Offset)
{
    return (Position / OldScale + MarginMm * zd01cm) * NewScale - Offset;
}

void WorkspaceTools::scrollTo(long double X, long double Y)
{
    ScrollX = std::max(0, int(std::nearbyint(X)));
    ScrollY = std::max(0, int(std::nearbyint(Y)));
    if (OnScroll)
        OnScroll(ScrollX, ScrollY);
}

// Content follows the pointer. An axis at its end takes the pointer as its
// new reference, so that moving back scrolls at once.
void WorkspaceTools::handMove(int X, int Y)
{
    const int px = X - ScrollX, py = Y - ScrollY;
    const int oldX = ScrollX, oldY = ScrollY;
    const int x = std::clamp(m_handScrollX - (px - m_handPointerX), 0, std::max(0, ScrollMaxX));
    const int y = std::clamp(m_handScrollY - (py - m_handPointerY), 0, std::max(0, ScrollMaxY));
    if (x == oldX) {
        m_handPointerX = px;
        m_handScrollX = oldX;
    }
    if (y == oldY) {
        m_handPointerY = py;
        m_handScrollY = oldY;
    }
    if (x == oldX && y == oldY)
        return;
    ScrollX = x;
    ScrollY = y;
    if (OnScroll)
        OnScroll(ScrollX, ScrollY);
}

void WorkspaceTools::zoomRelease(plat::TMouseButton Button)
{
    if (!OnZoom)
        return;
    TzdExtRect band = RubberBand;
    if (band.Left > band.Right)
        std::swap(band.Left, band.Right);
    if (band.Top > band.Bottom)
        std::swap(band.Top, band.Bottom);
    auto* page = dynamic_cast<TzdReportPage*>(Page);
    const long double left = page ? page->LeftMargin : 0, top = page ? page->TopMargin : 0;
    const long double oldScale = Scale;
    // A band of a few pixels either way is a click, not an area: zooming a
    // sliver to the view's size would only hit the largest zoom.
    if (band.Right - band.Left > 5 && band.Bottom - band.Top > 5) {
        OnZoom(RubberBandScale(band, oldScale, ScrollClientWidth, ScrollClientHeight));
        scrollTo(ZoomScrollPosition(band.Left, oldScale, Scale, left, 0),
                 ZoomScrollPosition(band.Top, oldScale, Scale, top, 0));
        return;
    }
    const long double scale = ZoomClickScale(oldScale, Button == plat::mbLeft);
    if (scale == oldScale)
        return;
    OnZoom(scale);
    scrollTo(ZoomScrollPosition(band.Left, oldScale, Scale, left, ScrollClientWidth / 2.0L),
             ZoomScrollPosition(band.Top, oldScale, Scale, top, ScrollClientHeight / 2.0L));
}

void WorkspaceTools::formatPainterClick(long double X, long double Y)
{
    if (m_selection.empty())
        return;
    auto* source = dynamic_cast<TzdMemoView*>(m_selection.front());
    if (!source)
        return;
    for (auto it = m_objects.rbegin(); it != m_objects.rend(); ++it) {
        auto* target = dynamic_cast<TzdMemoView*>(*it);
        if (!target || target == source || target->Restrictions().contains(rfDontModify) || !Hits(target, X, Y))
            continue;
        target->SetColor(source->Color());
        target->SetFont(source->Font());
        target->Frame()->Assign(source->Frame());
        target->SetBrushStyle(source->BrushStyle());
        target->HAlign = source->HAlign;
        target->VAlign = source->VAlign;
        PendingChange = true;
        return;
    }
}

void WorkspaceTools::MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y)
{
    if (Locked())
        return;
    const long double px = X / Scale, py = Y / Scale;
    AlignmentLines.clear();
    m_snapshot.clear();
    if (m_toolPressed) {
        m_toolPressed = false;
        Pressed = false;
        Mode = wmIdle;
        if (ToolMode == tmZoom) {
            zoomRelease(Button);
        } else if (ToolMode == tmFormatPainter) {
            formatPainterClick(px, py);
            NotifyModified();
        }
        return;
    }
    if (Mode == wmGuide && Pressed) {
        if (auto* page = dynamic_cast<TzdReportPage*>(Page); page && m_guideIndex >= 0) {
            zd::TStringList* list = m_guideVertical ? page->VGuides() : page->HGuides();
            const long double v = guideValue(list, m_guideIndex);
            const long double limit = (m_guideVertical ? ClientWidth : ClientHeight) / Scale - 3;
            if (v < 3 || v > limit) {
                list->Delete(m_guideIndex);
                PendingChange = true;
            }
        }
        m_guideIndex = -1;
    }
    WorkspaceEngine::MouseUp(Button, Shift, X, Y);
}

void WorkspaceTools::DropGuide(bool FromLeftRuler, int X, int Y)
{
    auto* page = dynamic_cast<TzdReportPage*>(Page);
    if (!page || !ShowGuides)
        return;
    long double v = FromLeftRuler ? X / Scale : Y / Scale;
    if (GridAlign)
        v = truncToStep(v, FromLeftRuler ? GridStepX : GridStepY);
    (FromLeftRuler ? page->VGuides() : page->HGuides())->Add(floatText(zdRound8(v)));
    InsertionState = 0;
    PendingChange = true;
    NotifyModified();
}

void WorkspaceTools::snapToGuides(long double Edge, long double& Step, bool Vertical) const
{
    auto* page = dynamic_cast<TzdReportPage*>(Page);
    if (!page)
        return;
    zd::TStringList* list = Vertical ? page->VGuides() : page->HGuides();
    for (int i = 0; i < list->Count(); ++i) {
        const long double g = guideValue(list, i);
        if (std::fabs(Edge + Step - g) < kGuideSnap) {
            Step = g - Edge;
            return;
        }
    }
}

void WorkspaceTools::alignmentLines(TzdComponent* Moving, long double X, long double Y, long double Right,
                                    long double Bottom)
{
    for (TzdComponent* o : m_snapshot) {
        if (o == Moving || o == Page || !dynamic_cast<TzdReportComponent*>(o))
            continue;
        const long double l = o->GetAbsLeft(), t = o->GetAbsTop();
        const long double r = l + o->Width(), b = t + o->Height();
        for (long double x : {X, Right})
            if (std::fabs(x - l) < kEdgeMatch || std::fabs(x - r) < kEdgeMatch)
                AlignmentLines.push_back({x, t, x, Y});
        for (long double y : {Y, Bottom})
            if (std::fabs(y - t) < kEdgeMatch || std::fabs(y - b) < kEdgeMatch)
                AlignmentLines.push_back({X, y, l, y});
    }
}

void WorkspaceTools::SnapDelta(long double& DX, long double& DY, bool&)
{
    if (!ShowGuides)
        return;
    AlignmentLines.clear();
    if (Mode == wmBandEdge && Pressed && !m_selection.empty()) {
        TzdComponent* band = m_selection.front();
        snapToGuides(band->GetAbsTop() + band->Height(), DY, false);
        return;
    }
    if (Mode == wmPlace || Mode == wmPlaceLine) {
        const ExtBounds& b = Insertion.Bounds;
        snapToGuides(b.Left, DX, true);
        snapToGuides(b.Top, DY, false);
        if (!Pressed) {
            snapToGuides(b.Left + b.Width, DX, true);
            snapToGuides(b.Top + b.Height, DY, false);
        }
        alignmentLines(nullptr, b.Left + DX, b.Top + DY, b.Left + b.Width + DX, b.Top + b.Height + DY);
        return;
    }
    if (!Pressed)
        return;
    if (Mode == wmMove) {
        for (TzdComponent* c : m_selection) {
            const long double l = c->GetAbsLeft(), t = c->GetAbsTop();
            snapToGuides(l, DX, true);
            snapToGuides(t, DY, false);
            snapToGuides(c->Top(), DY, false);
            snapToGuides(l + c->Width(), DX, true);
            snapToGuides(t + c->Height(), DY, false);
            alignmentLines(c, l + DX, t + DY, l + c->Width() + DX, t + c->Height() + DY);
        }
    } else if (Mode == wmSize && !m_selection.empty()) {
        TzdComponent* c = m_selection.front();
        const long double l = c->GetAbsLeft(), t = c->GetAbsTop();
        const long double r = l + c->Width(), b = t + c->Height();
        const int h = Handle;
        if (h == 1 || h == 4 || h == 6)
            snapToGuides(l, DX, true);
        if (h == 1 || h == 3 || h == 7)
            snapToGuides(t, DY, false);
        if (h == 2 || h == 3 || h == 5)
            snapToGuides(r, DX, true);
        if (h == 2 || h == 4 || h == 8)
            snapToGuides(b, DY, false);
        alignmentLines(c, l, t, r + DX, b + DY);
    }
}

} // namespace zd

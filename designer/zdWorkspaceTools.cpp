#include "zdWorkspaceTools.h"

#include "StringList.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdUtils.h"
#include "zdXMLSerializer.h"

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

} // namespace

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
    if (Pressed && (ToolMode == tmHand || ToolMode == tmFormatPainter))
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
            const bool click = std::fabs(RubberBand.Right - RubberBand.Left) <= 5 &&
                               std::fabs(RubberBand.Bottom - RubberBand.Top) <= 5;
            if (click && OnZoom)
                OnZoom(ZoomClickScale(Scale, Button == plat::mbLeft));
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

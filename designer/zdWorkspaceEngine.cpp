#include "zdWorkspaceEngine.h"

#include "Exceptions.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_shape.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <map>

namespace zd {

namespace {

constexpr long double kTolerance = 1e-4L;
constexpr long double kFar = 1e10L;
// Section gaps of the band stack by grid kind.
constexpr long double kSectionGap[] = {40, 37.7953L, 38.4L, 0, 17};

TzdBand* asBand(TzdComponent* Obj) { return dynamic_cast<TzdBand*>(Obj); }
bool isHorizontalBand(TzdComponent* Obj)
{
    auto* b = asBand(Obj);
    return b && !b->Vertical();
}
bool isLine(TzdComponent* Obj) { return dynamic_cast<TzdCustomLineView*>(Obj) != nullptr; }
bool isDiagonal(TzdComponent* Obj)
{
    auto* l = dynamic_cast<TzdCustomLineView*>(Obj);
    return l && l->Diagonal;
}
bool isPageOrReport(TzdComponent* Obj)
{
    return dynamic_cast<TzdPage*>(Obj) || dynamic_cast<TzdReport*>(Obj);
}

TzdExtRect absRect(TzdComponent* Obj)
{
    const long double l = Obj->GetAbsLeft();
    const long double t = Obj->GetAbsTop();
    return {l, t, l + Obj->Width(), t + Obj->Height()};
}

TzdExtRect normalised(TzdExtRect r)
{
    if (r.Right < r.Left)
        std::swap(r.Left, r.Right);
    if (r.Bottom < r.Top)
        std::swap(r.Top, r.Bottom);
    return r;
}

long double truncSteps(long double v, long double step)
{
    return step > 0 ? std::trunc(v / step) * step : v;
}

bool overlaps(const TzdExtRect& a, const TzdExtRect& b)
{
    return a.Left <= b.Right && b.Left <= a.Right && a.Top <= b.Bottom && b.Top <= a.Bottom;
}

// Objects restricted from moving or sizing stay put while the band layout
// re-parents them.
struct LiftedRestrictions {
    TzdComponent* obj;
    TzdRestrictions saved;
    explicit LiftedRestrictions(TzdComponent* o) : obj(o), saved(o->Restrictions()) { o->SetRestrictions({}); }
    ~LiftedRestrictions() { obj->SetRestrictions(saved); }
};

int bandSortRank(TzdBand* band, bool titleBeforeHeader, long double& key)
{
    const QString cls = band->ClassName();
    if (cls == u"TzdPageHeader")
        key = titleBeforeHeader ? 0.01L : 0;
    else if (cls == u"TzdReportTitle")
        key = titleBeforeHeader ? 0 : 0.01L;
    else if (cls == u"TzdColumnHeader")
        key = 0.02L;
    else if (cls == u"TzdColumnFooter")
        key = 99999;
    else if (cls == u"TzdReportSummary")
        key = 100000;
    else if (cls == u"TzdPageFooter")
        key = 100001;
    else
        key = std::fabs(band->Top());
    if (cls == u"TzdPageHeader" || cls == u"TzdReportTitle" || cls == u"TzdColumnHeader")
        return 0; // top
    if (cls == u"TzdPageFooter" || cls == u"TzdReportSummary" || cls == u"TzdColumnFooter")
        return 2; // bottom
    return 1;
}

} // namespace

WorkspaceEngine::WorkspaceEngine(std::vector<TzdComponent*>& Objects, std::vector<TzdComponent*>& Selection)
    : m_objects(Objects)
    , m_selection(Selection)
{
}

WorkspaceEngine::~WorkspaceEngine() = default;

void WorkspaceEngine::SetGridKind(int Value)
{
    m_gridKind = Value;
    SetShowBandCaptions(m_showBandCaptions);
}

void WorkspaceEngine::SetShowBandCaptions(bool Value)
{
    m_showBandCaptions = Value;
    if (!Value)
        m_bandCaptionHeight = 0;
    else if (m_gridKind == gkCentimetres)
        m_bandCaptionHeight = 5 * 3.77953L;
    else if (m_gridKind == gkInches)
        m_bandCaptionHeight = 2 * 9.6L;
    else if (m_gridKind == gkChars)
        m_bandCaptionHeight = 17;
    else
        m_bandCaptionHeight = 16;
    if (Page)
        ArrangeBands(true);
}

void WorkspaceEngine::Lock()
{
    m_locked = true;
    SetInsertion(nullptr, 0, 0, 0);
    Mode = wmIdle;
    Pressed = false;
}

// ---------------------------------------------------------------- selection geometry

bool WorkspaceEngine::isEmptySelection() const { return SelectedCount() == 0; }

int WorkspaceEngine::SelectedCount() const
{
    if (m_selection.size() == 1 && isPageOrReport(m_selection.front()))
        return 0;
    return static_cast<int>(m_selection.size());
}

bool WorkspaceEngine::isSelected(TzdComponent* Obj) const
{
    return std::find(m_selection.begin(), m_selection.end(), Obj) != m_selection.end();
}

void WorkspaceEngine::setSelection(std::vector<TzdComponent*> Objects)
{
    if (Objects.empty() && Page)
        Objects.push_back(Page);
    m_selection = std::move(Objects);
}

ExtBounds WorkspaceEngine::SelectionBounds() const
{
    if (m_selection.empty())
        return {};
    if (m_selection.size() == 1) {
        TzdComponent* c = m_selection.front();
        return {c->Left(), c->Top(), c->Width(), c->Height()};
    }
    TzdExtRect r{kFar, kFar, -kFar, -kFar};
    for (TzdComponent* c : m_selection) {
        const TzdExtRect a = absRect(c);
        r.Left = std::min(r.Left, a.Left);
        r.Top = std::min(r.Top, a.Top);
        r.Right = std::max(r.Right, a.Right);
        r.Bottom = std::max(r.Bottom, a.Bottom);
    }
    return {r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top};
}

TzdComponent* WorkspaceEngine::BottomRightObject() const
{
    TzdComponent* best = nullptr;
    TzdExtRect bestRect{};
    for (TzdComponent* c : m_selection) {
        const TzdExtRect r = absRect(c);
        if (!best || r.Right > bestRect.Right || (r.Right == bestRect.Right && r.Bottom > bestRect.Bottom)) {
            best = c;
            bestRect = r;
        }
    }
    return best;
}

bool WorkspaceEngine::Hits(TzdComponent* Obj, long double X, long double Y) const
{
    TzdExtRect r = normalised(absRect(Obj));
    if (isDiagonal(Obj) && Obj->Width() != 0 && Obj->Height() != 0) {
        if (X < r.Left - 5 || X > r.Right + 5 || Y < r.Top - 5 || Y > r.Bottom + 5)
            return false;
        const long double x0 = Obj->GetAbsLeft(), y0 = Obj->GetAbsTop();
        const long double dx = Obj->Width(), dy = Obj->Height();
        const long double dist = std::fabs(dy * (X - x0) - dx * (Y - y0)) / std::sqrt(dx * dx + dy * dy);
        return dist < 5;
    }
    if (Obj->Width() == 0) {
        r.Left -= 2;
        r.Right += 2;
    }
    if (Obj->Height() == 0) {
        r.Top -= 2;
        r.Bottom += 2;
    }
    if (auto* band = asBand(Obj)) {
        if (band->Vertical())
            r.Left -= m_bandCaptionHeight;
        else
            r.Top -= m_bandCaptionHeight;
    }
    return X >= r.Left && X <= r.Right && Y >= r.Top && Y <= r.Bottom;
}

int WorkspaceEngine::RemapHandle(int Handle, bool WidthNegative, bool HeightNegative)
{
    // Per handle: width negative, height negative, both negative.
    static constexpr int kTable[9][3] = {{0, 0, 0}, {3, 4, 2}, {4, 3, 1}, {1, 2, 4}, {2, 1, 3},
                                         {6, 0, 0}, {5, 0, 0}, {0, 8, 0}, {0, 7, 0}};
    if (Handle < 1 || Handle > 8 || (!WidthNegative && !HeightNegative))
        return Handle;
    const int column = WidthNegative && HeightNegative ? 2 : (WidthNegative ? 0 : 1);
    return kTable[Handle][column];
}

int WorkspaceEngine::HandleAt(TzdComponent* Obj, long double X, long double Y) const
{
    const long double l = Obj->GetAbsLeft(), t = Obj->GetAbsTop();
    const long double w = Obj->Width(), h = Obj->Height();
    const long double points[9][2] = {{0, 0},         {l, t},         {l + w, t + h},
                                      {l + w, t},     {l, t + h},     {l + w, t + h / 2},
                                      {l, t + h / 2}, {l + w / 2, t}, {l + w / 2, t + h}};
    int found = 0;
    for (int i = 1; i <= 8 && !found; ++i)
        if (points[i][0] - 2 <= X && X <= points[i][0] + 3 && points[i][1] - 2 <= Y && Y <= points[i][1] + 3)
            found = i;
    if (!found || !isLine(Obj))
        return found;
    if (isDiagonal(Obj))
        return found == 1 ? 9 : found == 2 ? 10 : 0;
    if (w == 0)
        return (found == 1 || found == 3) ? 7 : (found == 2 || found == 4) ? 8 : 0;
    if (h == 0)
        return (found == 1 || found == 4) ? 6 : (found == 2 || found == 3) ? 5 : 0;
    return 0;
}

// ---------------------------------------------------------------- notifications

void WorkspaceEngine::NotifySelectionChanged()
{
    const size_t count = m_selection.size();
    for (size_t i = 0; i < count; ++i) {
        const int group = m_selection[i]->GroupIndex();
        if (group == 0)
            continue;
        for (TzdComponent* c : m_objects)
            if (c->GroupIndex() == group && !isSelected(c))
                m_selection.push_back(c);
    }
    if (OnSelectionChange)
        OnSelectionChange();
}

void WorkspaceEngine::NotifyModified()
{
    if (!PendingChange)
        return;
    PendingChange = false;
    if (OnModify)
        OnModify();
}

void WorkspaceEngine::boundsChanged(long double X, long double Y)
{
    if (!OnBoundsChange)
        return;
    if (Pressed || isEmptySelection())
        OnBoundsChange(isEmptySelection() ? ExtBounds{X, Y, 0, 0} : SelectionBounds());
    else
        OnBoundsChange(SelectionBounds());
}

void WorkspaceEngine::GroupSelection()
{
    if (isEmptySelection())
        return;
    for (TzdComponent* c : m_selection)
        c->SetGroupIndex(0);
    QSet<int> used;
    if (Page)
        for (TzdComponent* c : Page->AllObjects())
            used.insert(c->GroupIndex());
    int group = 1;
    while (used.contains(group))
        ++group;
    for (TzdComponent* c : m_selection)
        c->SetGroupIndex(group);
    PendingChange = true;
    NotifyModified();
}

void WorkspaceEngine::UngroupSelection()
{
    if (isEmptySelection())
        return;
    for (TzdComponent* c : m_selection)
        c->SetGroupIndex(0);
    PendingChange = true;
    NotifyModified();
}

void WorkspaceEngine::EditSelected()
{
    if (m_selection.size() == 1 && OnEditObject)
        OnEditObject();
}

void WorkspaceEngine::SetInsertion(const plat::TClass* ObjectClass, quint16 Flags, long double Width,
                                   long double Height)
{
    Insertion = {};
    if (!ObjectClass) {
        InsertionState = 0;
        Mode = wmIdle;
        return;
    }
    InsertionState = 1;
    Insertion.ObjectClass = ObjectClass;
    Insertion.Flags = Flags;
    DefaultWidth = Width;
    DefaultHeight = Height;
    const bool line = ObjectClass->InheritsFrom(QStringView(u"TzdCustomLineView"));
    Mode = line ? wmPlaceLine : wmPlace;
    const long double park = line ? (m_gridKind == gkChars ? 0.5L : 1) : 1000;
    Insertion.Bounds = {-park * GridStepX, -park * GridStepY, line ? 0 : Width, line ? 0 : Height};
}

// ---------------------------------------------------------------- deletion

void WorkspaceEngine::DeleteSelected()
{
    if (isEmptySelection())
        return;
    std::vector<TzdComponent*> doomed;
    for (TzdComponent* c : m_selection)
        if (!c->Restrictions().contains(rfDontDelete) && !isPageOrReport(c))
            doomed.push_back(c);
    // Refuse before changing anything: an inherited object cannot go, and
    // a half-done delete would leave the report changed but not marked.
    for (TzdComponent* c : doomed)
        if (c->IsAncestor())
            throw plat::Exception(QStringLiteral("Could not delete ") + c->Name() +
                                  QStringLiteral(", it was introduced in the ancestor report"));
    // An object whose ancestor is deleted too goes with it.
    std::vector<TzdComponent*> roots;
    for (TzdComponent* c : doomed) {
        bool underDoomed = false;
        for (TzdComponent* p = c->Parent(); p && !underDoomed; p = p->Parent())
            underDoomed = std::find(doomed.begin(), doomed.end(), p) != doomed.end();
        if (!underDoomed)
            roots.push_back(c);
    }
    auto forget = [&](TzdComponent* obj) {
        std::erase(m_objects, obj);
        std::erase(m_selection, obj);
    };
    for (TzdComponent* c : doomed)
        forget(c);
    for (TzdComponent* root : roots) {
        for (TzdComponent* d : std::vector<TzdComponent*>(root->AllObjects()))
            forget(d);
        delete root;
    }
    setSelection(std::vector<TzdComponent*>(m_selection));
    ArrangeBands(true);
    PendingChange = true;
    NotifyModified();
    NotifySelectionChanged();
}

// ---------------------------------------------------------------- mouse

bool WorkspaceEngine::QuantiseStep(long double& DX, long double& DY, bool Alt) const
{
    if (GridAlign != Alt) {
        if (std::fabs(DX) < GridStepX && std::fabs(DY) < GridStepY)
            return false;
        DX = truncSteps(DX, GridStepX);
        DY = truncSteps(DY, GridStepY);
    }
    return !(DX == 0 && DY == 0);
}

void WorkspaceEngine::SnapDelta(long double&, long double&, bool&) {}

void WorkspaceEngine::hover(long double X, long double Y, plat::TShiftState Shift)
{
    Mode = wmIdle;
    Handle = 0;
    const int count = SelectedCount();
    if (count == 1) {
        Handle = HandleAt(m_selection.front(), X, Y);
        if (Handle)
            Mode = wmSize;
    } else if (count >= 2) {
        TzdComponent* br = BottomRightObject();
        const TzdExtRect r = absRect(br);
        if (r.Right - 2 <= X && X <= r.Right + 3 && r.Bottom - 2 <= Y && Y <= r.Bottom + 3)
            Mode = wmGroupScale;
    }
    if (Mode != wmSize && Mode != wmGroupScale) {
        Mode = wmIdle;
        for (TzdComponent* c : m_objects) {
            auto* band = asBand(c);
            if (!band)
                continue;
            const TzdExtRect r = absRect(c);
            const bool onEdge = band->Vertical() ? std::fabs(X - r.Right) <= 2 && Y >= r.Top && Y <= r.Bottom
                                                 : std::fabs(Y - r.Bottom) <= 2 && X >= r.Left && X <= r.Right;
            if (onEdge) {
                Mode = wmBandEdge;
                m_selection.clear();
                m_selection.push_back(c);
                break;
            }
        }
    }
    if (Shift.contains(plat::ssAlt)) {
        Mode = wmIdle;
        for (TzdComponent* c : m_objects) {
            if (!dynamic_cast<TzdCustomMemoView*>(c))
                continue;
            TzdExtRect r = normalised(absRect(c));
            if (c->Width() == 0) {
                r.Left -= 4;
                r.Right += 4;
            } else {
                r.Top -= 4;
                r.Bottom += 4;
            }
            if (X >= r.Left && X <= r.Right && Y >= r.Top && Y <= r.Bottom) {
                Mode = wmInplaceEdit;
                break;
            }
        }
    }
}

void WorkspaceEngine::MouseMove(int X, int Y, plat::TShiftState Shift)
{
    if (m_locked)
        return;
    const long double px = X / Scale, py = Y / Scale;
    if (InsertionState && !Pressed) {
        long double x = px, y = py;
        if (GridAlign != Shift.contains(plat::ssAlt)) {
            x = truncSteps(x, GridStepX);
            y = truncSteps(y, GridStepY);
        }
        Insertion.Bounds.Left = x;
        Insertion.Bounds.Top = y;
        m_lastX = x;
        m_lastY = y;
        return;
    }
    if (!Pressed) {
        // A band edge is only a hover state until pressed: keep the
        // selection as it was.
        const std::vector<TzdComponent*> saved = m_selection;
        hover(px, py, Shift);
        if (Mode == wmBandEdge)
            m_selection = saved;
        return;
    }
    dragStep(px, py, Shift);
}

void WorkspaceEngine::dragStep(long double X, long double Y, plat::TShiftState Shift)
{
    if (Mode == wmRubberBand) {
        RubberBand.Right = X * Scale;
        RubberBand.Bottom = Y * Scale;
        return;
    }
    long double dx = X - m_lastX, dy = Y - m_lastY;
    if (!QuantiseStep(dx, dy, Shift.contains(plat::ssAlt)))
        return;
    bool cancel = false;
    SnapDelta(dx, dy, cancel);
    if (cancel)
        return;
    m_lastX += dx;
    m_lastY += dy;
    switch (Mode) {
    case wmMove:
        if (!Shift.contains(plat::ssShift))
            moveStep(dx, dy);
        break;
    case wmSize:
        sizeStep(dx, dy);
        break;
    case wmBandEdge:
        if (auto* band = m_selection.empty() ? nullptr : asBand(m_selection.front())) {
            if (band->Vertical())
                band->SetWidth(band->Width() + dx);
            else
                band->SetHeight(band->Height() + dy);
            FitBandToObjects(band);
            ArrangeBands(true);
        }
        break;
    case wmGroupScale:
        groupScaleStep(dx, dy);
        break;
    case wmPlace:
    case wmPlaceLine:
        Insertion.Bounds.Width += dx;
        Insertion.Bounds.Height += dy;
        break;
    default:
        return;
    }
    if (Mode != wmPlace && Mode != wmPlaceLine)
        PendingChange = true;
    boundsChanged(X, Y);
}

void WorkspaceEngine::moveStep(long double DX, long double DY)
{
    if (!m_moved && m_selection.size() == 1) {
        auto* band = asBand(m_selection.front());
        if (band && band->Vertical()) {
            const long double l = band->GetAbsLeft(), r = l + band->Width();
            for (TzdComponent* c : m_objects)
                if (dynamic_cast<TzdView*>(c) && !isSelected(c) && c->GetAbsLeft() >= l - kTolerance &&
                    c->GetAbsLeft() + c->Width() <= r + kTolerance)
                    m_selection.push_back(c);
        }
    }
    m_moved = true;
    for (TzdComponent* c : m_selection) {
        auto* band = asBand(c);
        c->SetLeft(c->Left() + DX);
        if (band && band->Vertical())
            continue;
        if (c->Parent() && isSelected(c->Parent()))
            continue;
        const long double top = c->Top() + DY;
        if (c->IsAncestor() && dynamic_cast<TzdView*>(c) && c->Parent() &&
            (top < -kTolerance || top > c->Parent()->Height() + kTolerance))
            continue;
        c->SetTop(top);
    }
}

void WorkspaceEngine::sizeStep(long double DX, long double DY)
{
    if (m_selection.empty())
        return;
    TzdComponent* c = m_selection.front();
    const ExtBounds before{c->Left(), c->Top(), c->Width(), c->Height()};
    long double l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
    switch (Handle) {
    case 1:
    case 9:
        l += DX, w -= DX, t += DY, h -= DY;
        break;
    case 2:
    case 10:
        w += DX, h += DY;
        break;
    case 3:
        t += DY, w += DX, h -= DY;
        break;
    case 4:
        l += DX, w -= DX, h += DY;
        break;
    case 5:
        w += DX;
        break;
    case 6:
        l += DX, w -= DX;
        break;
    case 7:
        t += DY, h -= DY;
        break;
    case 8:
        h += DY;
        break;
    default:
        return;
    }
    if (!isDiagonal(c)) {
        const bool wNeg = w < 0, hNeg = h < 0;
        if (wNeg) {
            l -= std::fabs(w);
            w = std::fabs(w);
        }
        if (hNeg) {
            t -= std::fabs(h);
            h = std::fabs(h);
        }
        Handle = RemapHandle(Handle, wNeg, hNeg);
    }
    if (l < 0)
        l = 0;
    if (c->IsAncestor() && dynamic_cast<TzdView*>(c) && c->Parent() &&
        (t < -kTolerance || t > c->Parent()->Height() + kTolerance)) {
        c->SetBounds(before.Left, before.Top, before.Width, before.Height);
        return;
    }
    auto* band = asBand(c);
    if (band && (Handle == 1 || Handle == 3 || Handle == 7) && DY != 0)
        for (TzdComponent* child : band->Children())
            child->SetTop(child->Top() - DY);
    c->SetBounds(l, t, w, h);
    if (band) {
        FitBandToObjects(band);
        ArrangeBands(true);
    }
}

void WorkspaceEngine::groupScaleStep(long double DX, long double DY)
{
    if (m_group.Right + DX > m_group.Left)
        m_group.Right += DX;
    if (m_group.Bottom + DY > m_group.Top)
        m_group.Bottom += DY;
    const long double startW = m_groupStart.Right - m_groupStart.Left;
    const long double startH = m_groupStart.Bottom - m_groupStart.Top;
    // A group of lines along one axis has no extent there: that axis keeps
    // factor 1 instead of dividing by zero.
    const long double kx = startW != 0 ? (m_group.Right - m_group.Left) / startW : 1;
    const long double ky = startH != 0 ? (m_group.Bottom - m_group.Top) / startH : 1;
    for (size_t i = 0; i < m_selection.size() && i < m_startRects.size(); ++i) {
        TzdComponent* c = m_selection[i];
        const TzdExtRect& s = m_startRects[i];
        long double top = (s.Top - m_groupStart.Top) * ky + m_groupStart.Top;
        if (c->Parent() && asBand(c->Parent()))
            top -= c->Parent()->Top();
        c->SetLeft((s.Left - m_groupStart.Left) * kx + m_groupStart.Left);
        c->SetTop(top);
        c->SetWidth((s.Right - s.Left) * kx);
        c->SetHeight((s.Bottom - s.Top) * ky);
    }
}

void WorkspaceEngine::MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y)
{
    if (m_locked || Pressed)
        return;
    if (m_swallowPress) {
        m_swallowPress = false;
        return;
    }
    const long double px = X / Scale, py = Y / Scale;
    Pressed = true;
    m_moved = false;
    m_lastX = px;
    m_lastY = py;
    const std::vector<TzdComponent*> before = m_selection;
    if (InsertionState == 0)
        hover(px, py, Shift);
    if (Mode == wmIdle && Shift.contains(plat::ssCtrl)) {
        setSelection({});
        Mode = wmRubberBand;
        RubberBand = {double(X), double(Y), double(X), double(Y)};
    } else if (Mode == wmIdle) {
        TzdComponent* target = nullptr;
        for (auto it = m_objects.rbegin(); it != m_objects.rend() && !target; ++it)
            if (dynamic_cast<TzdReportComponent*>(*it) && Hits(*it, px, py))
                target = *it;
        if (!target) {
            setSelection({});
            Mode = wmRubberBand;
            RubberBand = {double(X), double(Y), double(X), double(Y)};
        } else {
            std::vector<TzdComponent*> sel = m_selection;
            if (!Shift.contains(plat::ssShift)) {
                if (!isSelected(target))
                    sel = {target};
            } else if (isSelected(target)) {
                std::erase(sel, target);
            } else {
                sel.push_back(target);
            }
            if (Page && sel.size() > 1)
                std::erase(sel, Page);
            if (sel.empty() || (sel.size() == 1 && sel.front() == Page)) {
                setSelection({});
                Mode = wmIdle;
            } else {
                if (Page)
                    std::erase(sel, Page);
                m_selection = sel;
                Mode = wmMove;
            }
        }
    }
    if (Mode == wmMove && m_selection.size() == 1 && asBand(m_selection.front()) && Shift.contains(plat::ssAlt))
        ArrangeBands(false);
    if (Mode == wmGroupScale) {
        const ExtBounds b = SelectionBounds();
        m_group = {b.Left, b.Top, b.Left + b.Width, b.Top + b.Height};
        m_groupStart = m_group;
        m_startRects.clear();
        for (TzdComponent* c : m_selection)
            m_startRects.push_back(absRect(c));
    }
    if (Mode == wmPlace || Mode == wmPlaceLine) {
        Insertion.Bounds.Left = m_lastX = GridAlign != Shift.contains(plat::ssAlt) ? truncSteps(px, GridStepX) : px;
        Insertion.Bounds.Top = m_lastY = GridAlign != Shift.contains(plat::ssAlt) ? truncSteps(py, GridStepY) : py;
        Insertion.Bounds.Width = 0;
        Insertion.Bounds.Height = 0;
    }
    if (m_selection != before)
        NotifySelectionChanged();
    if (Button == plat::mbRight) {
        Mode = wmIdle;
        Pressed = false;
        return;
    }
    if (Mode == wmMove) {
        m_alignStack.clear();
        for (TzdComponent* c : m_selection)
            if (auto* v = dynamic_cast<TzdView*>(c)) {
                m_alignStack.push_back(v->Align());
                v->SetAlign(baNone);
            }
    }
}

void WorkspaceEngine::insertionRelease()
{
    InsertRequest req = Insertion;
    ExtBounds& b = req.Bounds;
    const bool line = req.ObjectClass->InheritsFrom(QStringView(u"TzdCustomLineView"));
    if (line && req.Flags == 0) {
        if (std::fabs(b.Width) >= std::fabs(b.Height)) {
            b.Height = 0;
            if (b.Width < 0) {
                b.Left += b.Width;
                b.Width = -b.Width;
            }
        } else {
            b.Width = 0;
            if (b.Height < 0) {
                b.Top += b.Height;
                b.Height = -b.Height;
            }
        }
    } else if (!line) {
        if ((b.Width >= 0 && b.Width < 4) || (b.Height > 0 && b.Height < 4)) {
            b.Width = DefaultWidth;
            b.Height = DefaultHeight;
        }
        if (b.Width < 0) {
            b.Left += b.Width;
            b.Width = -b.Width;
        }
        if (b.Height < 0) {
            b.Top += b.Height;
            b.Height = -b.Height;
        }
    }
    b.Left = zdRound8(b.Left);
    b.Top = zdRound8(b.Top);
    b.Width = zdRound8(b.Width);
    b.Height = zdRound8(b.Height);
    if (OnInsertRequest)
        OnInsertRequest(req);
}

void WorkspaceEngine::rubberBandRelease()
{
    const TzdExtRect band = normalised({RubberBand.Left / Scale, RubberBand.Top / Scale, RubberBand.Right / Scale,
                                        RubberBand.Bottom / Scale});
    std::vector<TzdComponent*> sel;
    auto consider = [&](TzdComponent* c) {
        const TzdExtRect r = normalised(absRect(c));
        if (!overlaps(r, band))
            return;
        if (isDiagonal(c) && c->Width() != 0 && c->Height() != 0) {
            const long double x0 = c->GetAbsLeft(), y0 = c->GetAbsTop(), dx = c->Width(), dy = c->Height();
            auto side = [&](long double x, long double y) { return dy * (x - x0) - dx * (y - y0) > 0; };
            const bool s = side(band.Left, band.Top);
            if (side(band.Right, band.Top) == s && side(band.Left, band.Bottom) == s &&
                side(band.Right, band.Bottom) == s)
                return;
        }
        sel.push_back(c);
    };
    for (TzdComponent* c : m_objects) {
        if (!dynamic_cast<TzdReportComponent*>(c) || asBand(c))
            continue;
        if (c->ObjectStyle().contains(osContainer)) {
            for (TzdComponent* inner : c->GetContainerObjects())
                if (inner->Visible())
                    consider(inner);
            continue;
        }
        consider(c);
    }
    setSelection(std::move(sel));
}

void WorkspaceEngine::MouseUp(plat::TMouseButton Button, plat::TShiftState, int X, int Y)
{
    if (m_locked || Button != plat::mbLeft)
        return;
    const long double px = X / Scale, py = Y / Scale;
    Pressed = false;
    bool selectionChanged = false;
    if (InsertionState == 1) {
        insertionRelease();
    } else if (Mode == wmRubberBand) {
        rubberBandRelease();
        selectionChanged = true;
    } else if (Mode == wmMove || Mode == wmSize) {
        size_t k = 0;
        for (TzdComponent* c : m_selection) {
            if (Mode == wmMove)
                if (auto* v = dynamic_cast<TzdView*>(c); v && k < m_alignStack.size())
                    v->SetAlign(static_cast<TzdAlign>(m_alignStack[k++]));
            c->SetBounds(zdRound8(c->Left()), zdRound8(c->Top()), zdRound8(c->Width()), zdRound8(c->Height()));
        }
        m_alignStack.clear();
    } else if (Mode == wmBandEdge && !m_selection.empty()) {
        m_selection.front()->SetHeight(zdRound8(m_selection.front()->Height()));
    }
    ArrangeBands(true);
    if (selectionChanged)
        NotifySelectionChanged();
    NotifyModified();
    Handle = 0;
    if (InsertionState == 0)
        Mode = wmIdle;
    boundsChanged(px, py);
}

void WorkspaceEngine::DoubleClick()
{
    EditSelected();
    m_swallowPress = true;
}

void WorkspaceEngine::MouseLeave()
{
    if (Mode == wmPlace) {
        Insertion.Bounds.Left = -1000 * GridStepX;
        Insertion.Bounds.Top = -1000 * GridStepY;
    } else if (Mode == wmPlaceLine) {
        const long double park = m_gridKind == gkChars ? 0.5L : 1;
        Insertion.Bounds.Left = -park * GridStepX;
        Insertion.Bounds.Top = -park * GridStepY;
    }
    if (InsertionState == 2)
        SetInsertion(nullptr, 0, 0, 0);
}

// ---------------------------------------------------------------- keyboard

void WorkspaceEngine::MoveSelection(long double DX, long double DY)
{
    for (TzdComponent* c : m_selection) {
        if (c->Parent() && isSelected(c->Parent()))
            continue;
        c->SetLeft(c->Left() + DX);
        c->SetTop(c->Top() + DY);
    }
}

void WorkspaceEngine::selectNext()
{
    TzdComponent* cur = m_selection.front();
    TzdComponent* next = nullptr;
    if (asBand(cur) && cur->ChildCount() > 0) {
        next = cur->Children().front();
    } else if (dynamic_cast<TzdView*>(cur) && cur->Parent()) {
        const auto& sib = cur->Parent()->Children();
        auto it = std::find(sib.begin(), sib.end(), cur);
        next = (it == sib.end() || it + 1 == sib.end()) ? sib.front() : *(it + 1);
    }
    if (next) {
        setSelection({next});
        NotifySelectionChanged();
    }
}

void WorkspaceEngine::nearestObject(int Key, bool PlaceNextTo)
{
    TzdComponent* self = m_selection.front();
    const TzdExtRect me = absRect(self);
    TzdExtRect strip = me;
    switch (Key) {
    case plat::VK_RIGHT:
        strip.Right = me.Left + kFar;
        break;
    case plat::VK_LEFT:
        strip.Left = me.Right - kFar;
        break;
    case plat::VK_DOWN:
        strip.Bottom = me.Top + kFar;
        break;
    default:
        strip.Top = me.Bottom - kFar;
        break;
    }
    long double best = kFar, bestStrip = kFar;
    TzdComponent* winner = nullptr;
    TzdComponent* stripWinner = nullptr;
    const std::vector<TzdComponent*> candidates = Page ? Page->AllObjects() : m_objects;
    for (TzdComponent* c : candidates) {
        if (c == self || asBand(c) || !dynamic_cast<TzdReportComponent*>(c))
            continue;
        const TzdExtRect r = absRect(c);
        long double score;
        if (overlaps(r, strip)) {
            switch (Key) {
            case plat::VK_RIGHT:
                score = r.Left - me.Left;
                break;
            case plat::VK_LEFT:
                score = me.Right - r.Right;
                break;
            case plat::VK_DOWN:
                score = r.Top - me.Top;
                break;
            default:
                score = me.Bottom - r.Bottom;
                break;
            }
            if (score < 0)
                continue;
            if (score < bestStrip) {
                bestStrip = score;
                stripWinner = c;
            }
        } else {
            long double along, across;
            const bool horizontal = Key == plat::VK_RIGHT || Key == plat::VK_LEFT;
            if (horizontal) {
                along = Key == plat::VK_RIGHT ? r.Left - me.Left : me.Right - r.Right;
                across = r.Top > me.Bottom ? r.Top - me.Bottom : me.Top - r.Bottom;
            } else {
                along = Key == plat::VK_DOWN ? r.Top - me.Top : me.Bottom - r.Bottom;
                across = r.Left > me.Right ? r.Left - me.Right : me.Left - r.Right;
            }
            if (along < 0 || along < across || (along == 0 && across == 0))
                continue;
            score = std::sqrt(along * along + across * across) * (ClientWidth + ClientHeight);
        }
        if (score < best) {
            best = score;
            winner = c;
        }
    }
    if (!PlaceNextTo) {
        if (winner) {
            setSelection({winner});
            NotifySelectionChanged();
        }
        return;
    }
    if (!stripWinner)
        return;
    TzdComponent* o = stripWinner;
    const long double ol = o->GetAbsLeft() - (self->GetAbsLeft() - self->Left());
    const long double ot = o->GetAbsTop() - (self->GetAbsTop() - self->Top());
    // Framed dot-matrix memos leave one cell between their facing frames.
    const bool dmp = self->ClassName() == u"TzdDMPMemoView" && o->ClassName() == u"TzdDMPMemoView";
    auto framed = [&](TzdComponent* c, int side) {
        auto* v = dynamic_cast<TzdView*>(c);
        return v && v->Frame() && (int(v->Frame()->Typ.mask()) & side);
    };
    constexpr int kLeft = 1, kRight = 2, kTop = 4, kBottom = 8;
    switch (Key) {
    case plat::VK_RIGHT:
        self->SetLeft(ol - self->Width() - (dmp && framed(self, kRight) && framed(o, kLeft) ? 9.6L : 0));
        break;
    case plat::VK_LEFT:
        self->SetLeft(ol + o->Width() + (dmp && framed(self, kLeft) && framed(o, kRight) ? 9.6L : 0));
        break;
    case plat::VK_DOWN:
        self->SetTop(ot - self->Height() - (dmp && framed(self, kBottom) && framed(o, kTop) ? 17 : 0));
        break;
    default:
        self->SetTop(ot + o->Height() + (dmp && framed(self, kTop) && framed(o, kBottom) ? 17 : 0));
        break;
    }
    PendingChange = true;
}

void WorkspaceEngine::KeyDown(int Key, plat::TShiftState Shift)
{
    if (m_locked || isEmptySelection())
        return;
    const bool ctrl = Shift.contains(plat::ssCtrl), shift = Shift.contains(plat::ssShift),
               alt = Shift.contains(plat::ssAlt);
    if (Key == plat::VK_TAB) {
        selectNext();
        return;
    }
    if (Key == plat::VK_RETURN) {
        EditSelected();
        return;
    }
    if (Key == plat::VK_DELETE) {
        DeleteSelected();
        return;
    }
    if (Key < plat::VK_LEFT || Key > plat::VK_DOWN)
        return;
    const long double sx = Key == plat::VK_LEFT ? -1 : Key == plat::VK_RIGHT ? 1 : 0;
    const long double sy = Key == plat::VK_UP ? -1 : Key == plat::VK_DOWN ? 1 : 0;
    if (ctrl) {
        long double ux = 1, uy = 1;
        if (shift || m_gridKind == gkChars) {
            ux = GridStepX;
            uy = GridStepY;
        }
        MoveSelection(sx * ux, sy * uy);
        PendingChange = true;
    } else if (shift) {
        for (TzdComponent* c : m_selection) {
            const long double w = c->Width() + sx * GridStepX, h = c->Height() + sy * GridStepY;
            if (w < 0 || h < 0)
                continue;
            c->SetWidth(w);
            c->SetHeight(h);
        }
        PendingChange = true;
    } else if (m_selection.size() == 1) {
        nearestObject(Key, alt);
    }
    ArrangeBands(true);
    if (PendingChange && OnBoundsChange)
        OnBoundsChange(SelectionBounds());
}

void WorkspaceEngine::KeyUp(int, plat::TShiftState)
{
    if (!m_locked)
        NotifyModified();
}

// ---------------------------------------------------------------- band layout

void WorkspaceEngine::FitBandToObjects(TzdBand* Band)
{
    long double bottom = 0, top = 0;
    bool any = false;
    for (TzdComponent* c : Band->Children()) {
        auto* v = dynamic_cast<TzdView*>(c);
        if (v && (v->Align() == baBottom || v->Align() == baClient))
            continue;
        bottom = any ? std::max(bottom, c->Top() + c->Height()) : c->Top() + c->Height();
        top = std::min(top, c->Top());
        any = true;
    }
    if (!any)
        return;
    if (bottom - top > Band->Height())
        Band->SetHeight(bottom - top);
    if (top < 0)
        for (TzdComponent* c : Band->Children())
            c->SetTop(c->Top() - top);
}

void WorkspaceEngine::ArrangeBands(bool Reparent)
{
    if (!Page)
        return;
    auto* reportPage = dynamic_cast<TzdReportPage*>(Page);
    const bool titleFirst = reportPage ? reportPage->TitleBeforeHeader : true;
    struct Entry {
        TzdBand* band;
        QString key;
        int section;
    };
    std::vector<Entry> list;
    for (TzdComponent* c : Page->Children())
        if (isHorizontalBand(c)) {
            long double key = 0;
            const int section = bandSortRank(asBand(c), titleFirst, key);
            list.push_back({asBand(c), QString::asprintf("%9.2f", double(key)), section});
        }
    std::stable_sort(list.begin(), list.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });

    auto indexOf = [&](TzdBand* b) {
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i].band == b)
                return static_cast<long>(i);
        return -1L;
    };
    // A damaged template may chain child bands in a loop: a band whose
    // chain comes back to itself is laid out as if it had no child.
    auto onCycle = [&](TzdBand* b) {
        QSet<TzdBand*> seen;
        for (TzdBand* c = b->Child(); c; c = c->Child()) {
            if (c == b)
                return true;
            if (seen.contains(c))
                return false;
            seen.insert(c);
        }
        return false;
    };
    std::vector<TzdBand*> childOf(list.size());
    std::map<TzdBand*, TzdBand*> child;
    for (const Entry& e : list)
        child[e.band] = onCycle(e.band) ? nullptr : e.band->Child();
    const size_t cap = list.size() * list.size() + list.size() + 1;
    size_t steps = 0;
    for (long i = 0; i < static_cast<long>(list.size()) && steps < cap; ++i, ++steps) {
        TzdBand* c = child[list[i].band];
        const long j = c ? indexOf(c) : -1;
        if (j < 0 || j == i + 1 || j == i)
            continue;
        Entry moved = list[j];
        list.erase(list.begin() + j);
        if (j < i)
            --i;
        list.insert(list.begin() + i + 1, moved);
    }
    // Sections: a child band follows its parent's, along the whole chain.
    for (Entry& e : list) {
        QSet<TzdBand*> seen{e.band};
        for (TzdBand* c = child[e.band]; c && !seen.contains(c); c = child[c]) {
            seen.insert(c);
            const long k = indexOf(c);
            if (k >= 0)
                list[k].section = e.section;
        }
    }
    if (!FreeBands && !list.empty()) {
        const long double step = GridStepY > 0 ? GridStepY : 1;
        const long double gap = kSectionGap[std::clamp(m_gridKind, 0, 4)];
        list[0].band->SetTop(zdRound8(m_bandCaptionHeight));
        for (size_t i = 1; i < list.size(); ++i) {
            TzdBand* prev = list[i - 1].band;
            const long double g =
                std::nearbyint((prev->Top() + prev->Height() + m_bandCaptionHeight + BandsGap) / step);
            const bool sectionGap = (list[i - 1].section == 0 && list[i].section != 0) ||
                                    (list[i].section == 2 && list[i - 1].section != 2);
            list[i].band->SetTop(zdRound8(g * step + (sectionGap ? gap : 0)));
        }
    }
    // Objects go to the band they lie in. One that stays in its band is
    // not moved, so the band keeps its children's order.
    const bool columns = reportPage && reportPage->Columns() > 1;
    auto lies = [&](TzdComponent* c, TzdBand* band) {
        const long double top = band->GetAbsTop(), bottom = top + band->Height();
        const long double t = c->GetAbsTop();
        if (t < top - kTolerance || t >= bottom + kTolerance)
            return false;
        return !(columns && c->GetAbsLeft() >= band->GetAbsLeft() + band->Width() - kTolerance);
    };
    auto moveTo = [](TzdComponent* c, TzdComponent* parent) {
        LiftedRestrictions lifted(c);
        const long double absTop = c->GetAbsTop();
        c->SetParent(parent);
        c->SetTop(absTop - parent->GetAbsTop());
    };
    for (const Entry& e : list)
        for (TzdComponent* c : std::vector<TzdComponent*>(e.band->Children())) {
            if (c == e.band->FillObject())
                continue;
            if (!Reparent || !dynamic_cast<TzdView*>(c) || !lies(c, e.band))
                moveTo(c, e.band->Parent() ? e.band->Parent() : Page);
        }
    if (Reparent)
        for (TzdComponent* c : std::vector<TzdComponent*>(Page->Children())) {
            if (!dynamic_cast<TzdView*>(c))
                continue;
            for (const Entry& e : list)
                if (lies(c, e.band)) {
                    moveTo(c, e.band);
                    break;
                }
        }
    std::stable_partition(m_objects.begin(), m_objects.end(), [](TzdComponent* c) { return asBand(c) != nullptr; });
}

} // namespace zd

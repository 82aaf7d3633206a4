// The output of one band: preparation (events, data, stretching and
// shifting), the fit rules, splitting across pages, keep blocks,
// multi-column data bands, subreports and outline entries.

#include "zdEngine.h"

#include "Exceptions.h"
#include "zdAggregate.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdPreviewPages.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr long double kTolerance = 1e-4L;

struct Rect {
    long double l, t, r, b;
};

Rect rectOf(TzdComponent* c)
{
    return {c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
}

bool overlapsVertically(const Rect& a, const Rect& b)
{
    return a.t < b.b - kTolerance && b.t < a.b - kTolerance;
}

bool overlapsHorizontally(long double l1, long double r1, long double l2, long double r2)
{
    return l1 < r2 - kTolerance && l2 < r1 - kTolerance;
}

QString outlineTextOf(TzdBand* Band)
{
    if (auto* d = dynamic_cast<TzdDataBand*>(Band))
        return d->OutlineText;
    if (auto* g = dynamic_cast<TzdGroupHeader*>(Band))
        return g->OutlineText;
    return {};
}

} // namespace

bool TzdEngine::isDataBand(TzdBand* Band) const
{
    return dynamic_cast<TzdDataBand*>(Band) != nullptr;
}

void TzdEngine::ShowBandOfClass(const plat::TClass* BandClass)
{
    if (CurrentPage)
        ShowBand(CurrentPage->FirstBandOfClass(BandClass));
}

void TzdEngine::ShowBand(TzdBand* Band)
{
    if (!Band)
        return;
    if (Band->KeepChild)
        KeepOpen(Band);
    bandOutput(Band);
    TzdBand* child = Band->Child();
    if (auto* d = dynamic_cast<TzdDataBand*>(Band); d && d->Columns > 1 && d->CurrentColumn > 1)
        child = nullptr;
    if (child && (Band->Visible() || Band->PrintChildIfInvisible)) {
        PageStartClean = false;
        ShowBand(child);
    }
    if (Band->KeepChild)
        KeepClose(Band);
    if (isDataBand(Band))
        m_aggregates->AddValues(Band, 0);
}

void TzdEngine::bandOutput(TzdBand* Band)
{
    if (Band->Vertical()) {
        verticalBandOutput(Band);
        return;
    }
    if (Band->HasVBands && !dynamic_cast<TzdPageHeader*>(Band)) {
        const long double x = CurX;
        setActive(Band->Name());
        Band->BeforePrint();
        fireBeforePrint(Band);
        verticalLayout(Band);
        CurX = 0;
        CurLine = Band->LineN;
        CurLineThrough = Band->LineThrough;
        store()->PageAddMode = pamAppend;
        HostPageBreaks = VPageBreaks;
        HostBand = VHostBand;
        HostX = x;
    }
    auto* data = dynamic_cast<TzdDataBand*>(Band);
    auto* group = dynamic_cast<TzdGroupHeader*>(Band);
    const bool multiColumn = data && data->Columns > 1;
    const bool nullBand = dynamic_cast<TzdNullBand*>(Band) != nullptr;
    if (!PrintingHeaders && Band->Visible() && Band->StartNewPage && !ParentBandCopies
        && ((!data && !group) || Band->LineN != 1)) {
        StartNewPageBand = Band;
        if (group && group->ResetPageNumbers)
            store()->CloseLogicalPageGroup();
        NewPage();
        StartNewPageBand = nullptr;
    }
    prepareBand(Band);
    Band->StretchedHeight = Band->Height();
    try {
        bool split = false;
        // Bands re-printed at the top of a page stay there even when they do
        // not fit: breaking the page again would print them again, forever.
        if (Band->Visible() && !multiColumn && !dynamic_cast<TzdOverlay*>(Band) && !nullBand
            && FreeSpace() < Band->Height() && !ParentBandCopies && !PrintingHeaders)
            split = fitRules(Band);
        if (!split && Band->Visible())
            placeBand(Band, multiColumn);
    } catch (...) {
        afterPrint(Band);
        throw;
    }
    afterPrint(Band);
    m_aggregates->RestartFor(Band);
    if (Band->Visible())
        runSubreportsAfter(Band);
}

void TzdEngine::placeBand(TzdBand* Band, bool MultiColumn)
{
    if (!dynamic_cast<TzdNullBand*>(Band)) {
        Band->SetLeft(MultiColumn ? Band->Left() + CurX : CurX);
        Band->SetTop(CurY);
    }
    if (ParentBandCopies) {
        auto* copy = new TzdBand(nullptr);
        copy->SetParent(ParentBandCopies);
        copy->AssignAll(Band);
        copy->SetBounds(Band->Left(), Band->Top(), Band->Width(), Band->Height());
        if (FinalPass)
            copy->MakeFillObject();
    } else {
        if (FinalPass)
            Band->MakeFillObject();
        if (Band->HasVBands && !dynamic_cast<TzdPageHeader*>(Band)) {
            VPageBreaks = HostPageBreaks;
            VHostBand = HostBand;
            Band->SetLeft(0);
            segmentedOutput(Band, HostX);
        } else if (!PrintingHeaders || !store()->BandOnCurrentPage(Band)) {
            store()->AddObject(Band);
        }
    }
    CurY += Band->Height();
}

bool TzdEngine::fitRules(TzdBand* Band)
{
    const long double emptyPage = PageHeight - PageHeadersHeight() - PageFootersHeight();
    const bool split = (Band->AllowSplit && !KeepActive)
                       || (Band->AllowSplit && KeepActive && CurY - KeepStartY + Band->Height() > emptyPage)
                       || (Band->Height() > PageHeight - PageFootersHeight() && !Band->HasVBands);
    if (split) {
        if (!Band->AllowSplit && Band->LineThrough > 1 && !Band->StartNewPage) {
            LastBand = Band;
            NewColumn();
        }
        if (KeepActive && KeepBand == Band)
            KeepClose(Band);
        splitBand(Band);
        return true;
    }
    if (!KeepActive)
        suppressRepeated(Band);
    if (!(dynamic_cast<TzdChild*>(Band) && PageHeaderPrinting))
        NewColumn();
    return false;
}

// --- preparation

void TzdEngine::prepareBand(TzdBand* Band)
{
    LastBand = Band;
    if (Band->ShiftChildren.empty())
        buildShiftTree(Band);
    // A host band had its events before its cells were laid out; its cells
    // have their data already.
    const bool host = Band == VHostBand;
    if (!host) {
        setActive(Band->Name());
        Band->BeforePrint();
        fireBeforePrint(Band);
    }
    bool hosting = false;
    bool grown = false;
    const std::vector<TzdComponent*> children = Band->Children();
    int index = -1;
    for (TzdComponent* c : children) {
        ++index;
        auto* rc = dynamic_cast<TzdReportComponent*>(c);
        if (!rc || c == Band->FillObject())
            continue;
        if (auto* sr = dynamic_cast<TzdSubreport*>(c); sr && sr->PrintOnParent)
            hosting = true;
        if (host && index >= Band->OriginalObjectsCount)
            continue;
        setActive(c->Name());
        rc->BeforePrint();
        if (!Band->Visible())
            continue;
        fireBeforePrint(rc);
        if (!c->Visible())
            continue;
        rc->GetData();
        runEvent(rc->OnAfterData, rc);
        auto* s = dynamic_cast<TzdStretcheable*>(c);
        if (s && s->StretchMode() != smDontStretch) {
            const long double h = s->CalcHeight();
            if (h <= s->Height()) {
                s->ShiftAmount = 0;
            } else {
                s->ShiftAmount = h - s->Height();
                s->SetHeight(h);
                grown = true;
            }
        }
    }
    if (!Band->Visible())
        return;
    if (grown)
        shiftObjects(Band, 0, Band);
    if (hosting)
        runSubreportsOnParent(Band);
    long double bottom = 0;
    for (TzdComponent* c : Band->Children())
        if (c != Band->FillObject())
            bottom = std::max(bottom, c->Top() + c->Height());
    if (Band->Stretched)
        Band->SetHeight(bottom);
    setActive(Band->Name());
    runEvent(Band->OnAfterCalcHeight, Band);
    for (TzdComponent* c : Band->Children())
        if (auto* s = dynamic_cast<TzdStretcheable*>(c); s && s->StretchMode() == smMaxHeight)
            s->SetHeight(bottom - s->Top());
}

void TzdEngine::afterPrint(TzdBand* Band)
{
    const std::vector<TzdComponent*> children = Band->Children();
    if (Band->Visible())
        for (TzdComponent* c : children)
            if (auto* rc = dynamic_cast<TzdReportComponent*>(c); rc && c != Band->FillObject()) {
                setActive(c->Name());
                fireAfterPrint(rc);
            }
    const size_t own = Band == VHostBand && Band->OriginalObjectsCount >= 0 ? size_t(Band->OriginalObjectsCount)
                                                                             : children.size();
    for (size_t i = 0; i < children.size() && i < own; ++i)
        if (auto* rc = dynamic_cast<TzdReportComponent*>(children[i]); rc && children[i] != Band->FillObject())
            rc->AfterPrint();
    setActive(Band->Name());
    fireAfterPrint(Band);
    Band->AfterPrint();
    if (FinalPass)
        Band->FreeFillObject();
    if (Band->OriginalObjectsCount != -1) {
        while (Band->ChildCount() > Band->OriginalObjectsCount)
            delete Band->Children().back();
        Band->OriginalObjectsCount = -1;
    }
}

// --- shifting

void TzdEngine::buildShiftTree(TzdBand* Band)
{
    std::vector<TzdReportComponent*> objects;
    for (TzdComponent* c : Band->Children())
        if (auto* rc = dynamic_cast<TzdReportComponent*>(c); rc && c != Band->FillObject())
            objects.push_back(rc);
    std::stable_sort(objects.begin(), objects.end(), [](TzdComponent* a, TzdComponent* b) {
        return std::llround(double(a->Top() * 100)) < std::llround(double(b->Top() * 100));
    });
    // A probe just above the band's top edge finds the objects directly under it.
    std::vector<Rect> rects{{0, -2, Band->Width(), -1}};
    std::vector<std::vector<TzdComponent*>*> lists{&Band->ShiftChildren};
    for (TzdReportComponent* o : objects) {
        rects.push_back(rectOf(o));
        lists.push_back(&o->ShiftChildren);
    }
    for (auto* l : lists)
        l->clear();
    for (size_t a = 0; a < rects.size(); ++a)
        for (size_t b = a + 1; b < rects.size(); ++b) {
            const Rect& A = rects[a];
            const Rect& B = rects[b];
            if (overlapsVertically(A, B) || !(A.t < B.t) || !overlapsHorizontally(A.l, A.r, B.l, B.r))
                continue;
            const long double cl = std::max(A.l, B.l), cr = std::min(A.r, B.r);
            bool blocked = false;
            for (size_t c = a + 1; c < b && !blocked; ++c) {
                const Rect& C = rects[c];
                blocked = !overlapsVertically(C, A) && !overlapsVertically(C, B) && C.t >= A.b - kTolerance
                          && C.b <= B.t + kTolerance && overlapsHorizontally(C.l, C.r, cl, cr);
            }
            if (!blocked)
                lists[a]->push_back(objects[b - 1]);
        }
}

void TzdEngine::shiftObjects(TzdComponent* Object, long double Amount, TzdBand* Band)
{
    auto* holder = dynamic_cast<TzdReportComponent*>(Object);
    if (!holder)
        return;
    const long double objectBottom = Object->Top() + Object->Height();
    for (TzdComponent* c : holder->ShiftChildren) {
        auto* rc = static_cast<TzdReportComponent*>(c);
        auto* view = dynamic_cast<TzdView*>(c);
        const TzdShiftMode mode = view ? view->ShiftMode() : smAlways;
        long double pass = 0;
        if (mode == smAlways) {
            c->SetTop(c->Top() + Amount);
            pass = Amount + rc->ShiftAmount;
        } else if (mode == smDontShift) {
            pass = Amount + rc->ShiftAmount;
        } else if (Object == Band || c->Top() >= objectBottom - kTolerance) {
            pass = rc->ShiftAmount;
        } else {
            const long double old = c->Top();
            c->SetTop(objectBottom);
            pass = (objectBottom - old) + rc->ShiftAmount;
        }
        shiftObjects(c, pass, Band);
        rc->ShiftAmount = 0;
    }
}

// --- splitting

namespace {

struct Pending {
    TzdComponent* object;
    TzdStretcheable* stretch;
    long double savedTop = 0;
};

// Moves the pending objects below R (and overlapping it horizontally) down by D.
void pushBelow(std::vector<Pending>& pending, TzdComponent* R, long double D, std::vector<TzdComponent*>& pushed)
{
    const long double bottom = R->Top() + R->Height();
    for (Pending& p : pending) {
        TzdComponent* o = p.object;
        if (o == R || std::find(pushed.begin(), pushed.end(), o) != pushed.end())
            continue;
        const long double overlap =
            std::min(o->Left() + o->Width(), R->Left() + R->Width()) - std::max(o->Left(), R->Left());
        if (o->Top() >= bottom - kTolerance && overlap > kTolerance) {
            o->SetTop(o->Top() + D);
            pushed.push_back(o);
        }
    }
}

} // namespace

void TzdEngine::splitBand(TzdBand* Band)
{
    if (FinalPass)
        Band->MakeFillObject();
    TzdView* fill = Band->FillObject();
    std::vector<TzdComponent*> all;
    for (TzdComponent* c : Band->Children())
        if (c != fill)
            all.push_back(c);
    std::vector<Pending> pending;
    for (TzdComponent* c : all) {
        if (dynamic_cast<TzdSubreport*>(c))
            continue;
        auto* s = dynamic_cast<TzdStretcheable*>(c);
        if (s) {
            s->InitPart();
            s->SplitHeight = s->Height();
        }
        pending.push_back({c, s, c->Top()});
    }
    for (TzdComponent* c : all)
        c->SetParent(nullptr);
    auto restore = [&]() {
        for (TzdComponent* c : std::vector<TzdComponent*>(Band->Children()))
            if (c != Band->FillObject())
                c->SetParent(nullptr);
        for (TzdComponent* c : all)
            c->SetParent(Band);
    };
    const long double pageLimit = PageHeight - PageFootersHeight();
    long double F = FreeSpace();
    bool anyPlaced = false;
    bool anySplit = false;
    try {
        for (int part = 0; !pending.empty(); ++part) {
            processMessages();
            if (terminated())
                break;
            std::vector<TzdComponent*> pushed;
            bool progress = false;
            for (size_t i = 0; i < pending.size();) {
                Pending& p = pending[i];
                TzdComponent* R = p.object;
                bool fits = F >= R->Top() + R->Height();
                long double U = 0;
                if (p.stretch) {
                    p.savedTop = R->Top();
                    if (R->Top() < F) {
                        R->SetHeight(F - R->Top());
                        U = p.stretch->FitNextPart();
                        fits = !p.stretch->HasNextPart(F);
                    }
                }
                if (fits) {
                    if (p.stretch)
                        R->SetHeight(p.stretch->SplitHeight);
                    R->SetParent(Band);
                    pending.erase(pending.begin() + long(i));
                    progress = anyPlaced = true;
                    continue;
                }
                if (p.stretch) {
                    if (R->Top() < F) {
                        pushBelow(pending, R, U, pushed);
                        if (std::fabs(double(U - R->Height())) < double(kTolerance)) {
                            R->SetTop(F);
                            R->SetHeight(p.stretch->SplitHeight);
                        } else {
                            R->SetParent(Band);
                            p.stretch->SplitHeight = p.stretch->SplitHeight - R->Height() + U;
                            progress = anySplit = true;
                        }
                    }
                    ++i;
                    continue;
                }
                if (R->Height() > pageLimit) {
                    // Taller than any page: printed cut at the page bottom.
                    R->SetParent(Band);
                    pending.erase(pending.begin() + long(i));
                    progress = anyPlaced = true;
                    continue;
                }
                if (R->Top() < F) {
                    const long double d = F - R->Top();
                    R->SetTop(F);
                    pushBelow(pending, R, d, pushed);
                }
                ++i;
            }
            if (!progress && part > 0 && !pending.empty()) {
                // A fresh page with no room for anything (headers fill it):
                // the first object is printed cut at the page bottom, so
                // every part makes progress.
                Pending p = pending.front();
                pending.erase(pending.begin());
                if (p.stretch)
                    p.object->SetHeight(p.stretch->SplitHeight);
                p.object->SetTop(std::max<long double>(0, std::min(p.object->Top(), std::max<long double>(F, 0))));
                p.object->SetParent(Band);
                anyPlaced = true;
            }
            long double height = 0;
            for (TzdComponent* c : Band->Children())
                if (c != Band->FillObject())
                    height = std::max(height, c->Top() + c->Height());
            Band->SetHeight(height);
            if (pending.empty())
                for (TzdComponent* c : Band->Children()) {
                    auto* v = dynamic_cast<TzdView*>(c);
                    if (v && v != Band->FillObject() && v->Align() == baBottom)
                        v->SetTop(height - v->Height());
                    if (auto* s = dynamic_cast<TzdStretcheable*>(c); s && s->StretchMode() == smMaxHeight)
                        s->SetHeight(height - s->Top());
                }
            if (FinalPass)
                Band->MakeFillObject();
            Band->SetLeft(CurX);
            Band->SetTop(CurY);
            store()->AddObject(Band);
            CurY += height;
            LastBand = Band;
            if (!pending.empty())
                NewColumn();
            for (TzdComponent* c : std::vector<TzdComponent*>(Band->Children()))
                if (c != Band->FillObject())
                    c->SetParent(nullptr);
            for (Pending& p : pending) {
                TzdComponent* o = p.object;
                o->SetTop(o->Top() - F);
                if (p.stretch && !anySplit && !anyPlaced)
                    o->SetTop(p.savedTop);
                if (o->Top() < 0)
                    o->SetTop(0);
                if (p.stretch)
                    o->SetHeight(p.stretch->SplitHeight);
            }
            if (FinalPass)
                Band->MakeFillObject();
            F = FreeSpace();
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

// --- keep blocks, re-printed headers, outline

void TzdEngine::KeepOpen(TzdBand* Band, int Position)
{
    if (KeepActive || PageStartClean)
        return;
    KeepStartY = CurY;
    KeepActive = true;
    KeepBand = Band;
    KeepCutPosition = Position != 0 ? Position : store()->CurrentPosition();
    KeepOutlineItem = store()->Outline()->LastItem();
    KeepAnchorIndex = store()->LastAnchorIndex();
    m_aggregates->KeepOpen();
}

void TzdEngine::KeepClose(TzdBand* Band)
{
    if (Band != KeepBand)
        return;
    CloseKeepBlock();
}

void TzdEngine::CloseKeepBlock()
{
    KeepStartY = 0;
    KeepActive = false;
    KeepBand = nullptr;
    m_aggregates->KeepClose();
    KeepHeaderMode = false;
}

void TzdEngine::AddReprintHeader(TzdBand* Band)
{
    if (auto* h = dynamic_cast<TzdHeader*>(Band); h && h->ReprintOnNewPage)
        m_headerList.Add(Band, false, ColumnLeft);
    else if (auto* g = dynamic_cast<TzdGroupHeader*>(Band); g && g->ReprintOnNewPage)
        m_headerList.Add(Band, KeepActive, ColumnLeft);
}

void TzdEngine::RemoveReprintHeader(TzdBand* Band)
{
    if (Band)
        m_headerList.Remove(Band);
}

void TzdEngine::BandOutline(TzdBand* Band)
{
    const QString text = outlineTextOf(Band);
    if (text.isEmpty())
        return;
    setActive(Band->Name());
    if (!Band->Visible())
        return;
    const long double h = Band->Stretched ? Band->StretchedHeight : Band->Height();
    store()->Outline()->AddItem(plat::VarToStr(report()->Calc(text)), int(std::nearbyint(double(CurY - h))));
}

void TzdEngine::BandOutlineEnd(TzdBand* Band)
{
    if (!outlineTextOf(Band).isEmpty())
        store()->Outline()->LevelUp();
}

void TzdEngine::suppressRepeated(TzdBand* Band)
{
    bool any = false;
    for (TzdComponent* c : Band->Children())
        if (auto* m = dynamic_cast<TzdCustomMemoView*>(c); m && m->SuppressRepeated) {
            m->PreviousText = plat::Variant(QString());
            any = true;
        }
    if (!any || Band->HasVBands)
        return;
    afterPrint(Band);
    CurLine = Band->LineN;
    CurLineThrough = Band->LineThrough;
    SecondScriptCall = true;
    try {
        prepareBand(Band);
    } catch (...) {
        SecondScriptCall = false;
        throw;
    }
    SecondScriptCall = false;
    Band->StretchedHeight = Band->Height();
}

// --- multi-column data bands

void TzdEngine::ColumnStep(TzdDataBand* Band, int RowStart, long double BlockTop, long double RowTop, int& KeptCut)
{
    if (Band->Columns <= 1 || !Band->Visible())
        return;
    if (CurY > Band->SavedColumnPos)
        Band->SavedColumnPos = CurY;
    if (Band->CurrentColumn < Band->Columns) {
        CurY = RowTop;
    } else {
        const long double bottom = Band->SavedColumnPos;
        const long double limit = PageHeight - PageFootersHeight();
        if (limit - bottom <= kTolerance && !CurrentPage->EndlessHeight && !ParentBandCopies) {
            if (KeepActive) {
                if (CurY - KeepStartY > limit - PageHeadersHeight())
                    KeepClose(KeepBand);
                if (KeepActive)
                    NewColumn();
            } else {
                int start = RowStart;
                long double rowTop = RowTop;
                if (KeptCut > 0 && (RowTop - BlockTop) + (bottom - RowTop) < limit) {
                    start = KeptCut;
                    rowTop = BlockTop;
                }
                store()->CutObjectsFrom(start);
                NewColumn();
                store()->PasteCutObjects(CurX, CurY);
                CurY += bottom - rowTop;
            }
        } else {
            CurY = bottom;
        }
        KeptCut = 0;
    }
    Band->MoveToColumn(Band->CurrentColumn + 1);
}

// --- subreports

void TzdEngine::printEmbeddedPage(TzdReportPage* Page)
{
    if (std::find(m_subreportStack.begin(), m_subreportStack.end(), Page) != m_subreportStack.end())
        throw plat::Exception(QStringLiteral("The subreport %1 contains its own page %2")
                                  .arg(Page->EmbeddingSubreport ? Page->EmbeddingSubreport->Name() : QString(),
                                       Page->Name()));
    m_subreportStack.push_back(Page);
    try {
        DataLoop(Page->HorizontalBands);
    } catch (...) {
        m_subreportStack.pop_back();
        throw;
    }
    m_subreportStack.pop_back();
}

void TzdEngine::runSubreportsOnParent(TzdBand* Band)
{
    bool outer = false;
    if (!ParentBandCopies) {
        Band->OriginalObjectsCount = Band->ChildCount();
        ParentBandCopies = new TzdNullBand(nullptr);
        outer = true;
    }
    const long double x = CurX, y = CurY, left = ColumnLeft;
    const int page = store()->CurPageIndex;
    auto restoreState = [&]() {
        CurX = x;
        CurY = y;
        ColumnLeft = left;
    };
    try {
        if (outer) {
            const std::vector<TzdComponent*> children = Band->Children();
            for (TzdComponent* c : children) {
                auto* sr = dynamic_cast<TzdSubreport*>(c);
                if (!sr || !sr->Visible() || !sr->PrintOnParent || !sr->Page())
                    continue;
                ColumnLeft = left + sr->Left();
                CurX = sr->Left();
                CurY = sr->Top();
                const bool footerMode = KeepFooterMode;
                printEmbeddedPage(sr->Page());
                store()->CurPageIndex = page;
                KeepFooterMode = footerMode;
            }
        }
    } catch (...) {
        restoreState();
        if (outer) {
            delete ParentBandCopies;
            ParentBandCopies = nullptr;
        }
        throw;
    }
    restoreState();
    if (!outer)
        return;
    const std::vector<TzdComponent*> copies = ParentBandCopies->AllObjects();
    for (TzdComponent* c : copies) {
        auto* v = dynamic_cast<TzdView*>(c);
        if (!v || dynamic_cast<TzdSubreport*>(c))
            continue;
        const long double absLeft = v->GetAbsLeft(), absTop = v->GetAbsTop();
        v->SetParent(Band);
        v->SetLeft(absLeft);
        v->SetTop(absTop);
        v->SetParentFont(false);
        if (auto* s = dynamic_cast<TzdStretcheable*>(v))
            s->SetStretchMode(smDontStretch);
    }
    delete ParentBandCopies;
    ParentBandCopies = nullptr;
}

void TzdEngine::runSubreportsAfter(TzdBand* Band)
{
    std::vector<TzdSubreport*> subreports;
    for (TzdComponent* c : Band->Children())
        if (auto* sr = dynamic_cast<TzdSubreport*>(c); sr && sr->Visible() && !sr->PrintOnParent && sr->Page())
            subreports.push_back(sr);
    if (subreports.empty())
        return;
    int savedPage = store()->CurPageIndex;
    const int savedColumn = CurColumn;
    const long double savedX = CurX, savedLeft = ColumnLeft;
    long double savedY = CurY;
    int lowPage = savedPage, lowColumn = savedColumn;
    long double lowY = savedY;
    for (TzdSubreport* sr : subreports) {
        PastePage = -1;
        PasteY = -1.0;
        const long double keepOffset = CurY - KeepStartY;
        store()->CurPageIndex = savedPage;
        ColumnLeft = savedLeft + sr->Left();
        CurColumn = savedColumn;
        CurX = savedX + sr->Left();
        CurY = savedY - Band->StretchedHeight + sr->Top();
        printEmbeddedPage(sr->Page());
        if (PastePage != -1 && PasteY >= 0) {
            savedPage = PastePage;
            savedY = PasteY + keepOffset;
        }
        const int page = store()->CurPageIndex;
        if (page > lowPage || (page == lowPage && CurColumn > lowColumn)
            || (page == lowPage && CurColumn == lowColumn && CurY > lowY)) {
            lowPage = page;
            lowColumn = CurColumn;
            lowY = CurY;
        }
    }
    store()->CurPageIndex = lowPage;
    CurColumn = lowColumn;
    CurX = savedLeft;
    if (lowColumn > 1)
        CurX += columnX(lowColumn);
    CurY = lowY;
    ColumnLeft = savedLeft;
}

// Vertical bands: data bands that grow to the right. A horizontal band whose
// objects lie in a vertical band's strip hosts them: for every cell of the
// vertical data loop the host gets a copy of those objects, moved right, and
// the host is then written in segments, one per page the cells reached.

#include "zdEngine.h"

#include "Exceptions.h"
#include "zdAggregate.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDataSets.h"

#include <algorithm>

namespace {

constexpr long double kTolerance = 1e-4L;

bool isFooterLike(TzdBand* Band)
{
    return dynamic_cast<TzdFooter*>(Band) || dynamic_cast<TzdGroupFooter*>(Band);
}

void forgetLastValues(TzdBand* Band)
{
    for (TzdComponent* c : Band->Children())
        if (auto* m = dynamic_cast<TzdCustomMemoView*>(c))
            m->PreviousText = plat::Null();
}

} // namespace

void TzdEngine::spreadOverVerticalBands(TzdReportPage* Page, TzdBand* Band)
{
    std::vector<TzdBand*> verticals;
    for (TzdComponent* c : Page->Children())
        if (auto* v = dynamic_cast<TzdBand*>(c); v && v->Vertical())
            verticals.push_back(v);
    for (TzdBand* v : verticals) {
        const long double left = v->Left(), right = v->Left() + v->Width();
        const std::vector<TzdComponent*> objects = Band->Children();
        for (TzdComponent* o : objects) {
            if (o == Band->FillObject() || o->Left() < left - kTolerance
                || right + kTolerance < o->Left() + o->Width())
                continue;
            o->SetParent(v);
            o->SourceBand = Band;
            o->SetLeft(o->Left() - left);
        }
        // Objects moved by an earlier run of a report that was not reloaded
        // still name their band.
        for (TzdComponent* o : v->Children())
            if (o->SourceBand == Band)
                Band->HasVBands = true;
    }
}

void TzdEngine::verticalLayout(TzdBand* Host)
{
    VHostBand = Host;
    Host->OriginalObjectsCount = Host->ChildCount();
    Host->AllowSplit = false;
    const int page = store()->CurPageIndex;
    VReprintBands.clear();
    VPageBreaks = {0};
    CurVColumn = 0;
    try {
        verticalDataLoop(CurrentPage->VerticalBands);
    } catch (...) {
        store()->CurPageIndex = page;
        throw;
    }
    VPageBreaks.push_back(Host->ChildCount());
    store()->CurPageIndex = page;
}

void TzdEngine::verticalDataLoop(const std::vector<TzdBand*>& Bands)
{
    if (terminated())
        return;
    for (TzdBand* band : Bands) {
        auto* Q = dynamic_cast<TzdDataBand*>(band);
        if (!Q || !Q->DataSet())
            continue;
        TzdDataSet* ds = Q->DataSet();
        ds->First();
        Q->LineN = Q->LineThrough = 1;
        Q->MoveToColumn(1);
        CurLine = CurLineThrough = 1;
        forgetLastValues(Q);
        bool first = true;
        bool printed = false;
        while (!ds->Eof()) {
            if (first) {
                ShowBand(Q->HeaderBand);
                if (Q->HeaderBand)
                    addVReprint(Q->HeaderBand);
            }
            if (Q->GroupBand) {
                if (first)
                    groupHeaders(Q, 0, true);
                else
                    groupCheck(Q, 0, 0);
            }
            CurLine = Q->LineN;
            CurLineThrough = Q->LineThrough;
            ShowBand(Q);
            for (TzdComponent* c : NotifyList)
                c->NotifyDataRow(Q);
            ++Q->LineN;
            ++Q->LineThrough;
            first = false;
            printed = true;
            verticalDataLoop(Q->SubBands);
            if (Q->FooterAfterEach)
                ShowBand(Q->FooterBand);
            ds->Next();
            if ((Q->RowCount() != 0 && Q->LineN > Q->RowCount()) || terminated())
                break;
        }
        if (Q->GroupBand && printed)
            groupFooters(Q, 0);
        if (printed) {
            removeVReprint(Q->HeaderBand);
            if (!Q->FooterAfterEach)
                ShowBand(Q->FooterBand);
        }
    }
}

void TzdEngine::verticalPageBreak()
{
    if (CurrentPage->EndlessWidth)
        return;
    if (store()->CurPageIndex + 1 >= store()->GetPageCount()) {
        const TzdPageAddMode mode = store()->PageAddMode;
        store()->PageAddMode = pamAppend;
        store()->AddPage(CurrentPage);
        store()->PageAddMode = mode;
    } else {
        ++store()->CurPageIndex;
    }
    CurX = 0;
    VPageBreaks.push_back(VHostBand->ChildCount());
    // A header shown here may leave the list meanwhile.
    const std::vector<TzdBand*> reprint = VReprintBands;
    for (TzdBand* b : reprint)
        ShowBand(b);
}

void TzdEngine::copyCellObjects(TzdBand* Cell)
{
    const std::vector<TzdComponent*> objects = Cell->Children();
    for (TzdComponent* o : objects) {
        auto* rc = dynamic_cast<TzdReportComponent*>(o);
        if (!rc || o->SourceBand != VHostBand)
            continue;
        setActive(o->Name());
        rc->BeforePrint();
        fireBeforePrint(rc);
        rc->GetData();
        runEvent(rc->OnAfterData, rc);
        // Parented, not owned: the copies share their original's name, and
        // the host frees them after printing.
        auto* copy = static_cast<TzdComponent*>(o->ClassType()->CreateComponent(nullptr));
        copy->SetParent(VHostBand);
        copy->Assign(o);
        copy->DictionaryAlias = o->DictionaryAlias;
        copy->LinkedObject = o->LinkedObject;
        copy->SetLeft(copy->Left() + CurX);
        rc->AfterPrint();
    }
}

void TzdEngine::verticalBandOutput(TzdBand* Band)
{
    if (!VHostBand)
        throw plat::Exception(QStringLiteral("The vertical band %1 has no horizontal band to print on")
                                  .arg(Band->Name()));
    const bool data = isDataBand(Band);
    if (data)
        ++CurVColumn;
    LastBand = isFooterLike(Band) ? Band : VHostBand;
    setActive(Band->Name());
    Band->BeforePrint();
    fireBeforePrint(Band);
    if (Band->Visible()) {
        if (CurX + Band->Width() > PageWidth + kTolerance || (Band->StartNewPage && Band->LineThrough > 1)) {
            if (CurrentPage->EndlessWidth)
                PageWidth += Band->Width();
            else
                verticalPageBreak();
        }
        copyCellObjects(Band);
        CurX += Band->Width();
    }
    fireAfterPrint(Band);
    Band->AfterPrint();
    if (data)
        m_aggregates->AddValues(VHostBand, CurVColumn);
    else if (isFooterLike(Band))
        m_aggregates->RestartFor(Band);
}

void TzdEngine::segmentedOutput(TzdBand* Host, long double HostX)
{
    const std::vector<TzdComponent*> all = Host->Children();
    TzdComponent* fill = Host->FillObject();
    std::vector<TzdComponent*> objects;
    for (TzdComponent* c : all)
        if (c != fill)
            objects.push_back(c);
    const int page = store()->CurPageIndex;
    const long double y = CurY, columnTop = ColumnTop, reserve = FooterReserve;
    const int column = CurColumn;
    const bool firstPage = FirstPage;
    auto restore = [&]() {
        for (TzdComponent* c : std::vector<TzdComponent*>(Host->Children()))
            c->SetParent(nullptr);
        for (TzdComponent* c : all)
            c->SetParent(Host);
        store()->CurPageIndex = page;
        CurY = y;
        CurX = HostX;
        CurColumn = column;
        ColumnTop = columnTop;
        FooterReserve = reserve;
        FirstPage = firstPage;
        store()->PageAddMode = pamAppend;
        VerticalBreak = false;
        Segmenting = false;
    };
    store()->PageAddMode = pamReuse;
    Segmenting = true;
    try {
        const size_t count = objects.size();
        for (size_t k = 0; k + 1 < VPageBreaks.size(); ++k) {
            for (TzdComponent* c : std::vector<TzdComponent*>(Host->Children()))
                c->SetParent(nullptr);
            if (fill)
                fill->SetParent(Host);
            const size_t from = std::min(size_t(std::max(VPageBreaks[k], 0)), count);
            const size_t to = std::min(size_t(std::max(VPageBreaks[k + 1], 0)), count);
            for (size_t i = from; i < to; ++i)
                objects[i]->SetParent(Host);
            store()->AddObject(Host);
            if (k + 2 < VPageBreaks.size()) {
                VerticalBreak = true;
                NewPage();
                VerticalBreak = false;
            } else if (k > 0) {
                // Nothing else completes a page to the right; the page the
                // band started on is completed by the ordinary flow.
                CompletePage();
            }
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

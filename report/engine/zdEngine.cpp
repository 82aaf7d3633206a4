// The engine's run: passes, dialog pages, page instances, the band tree,
// page completion, page and column breaks and the free-space rules.

#include "zdEngine.h"

#include "Application.h"
#include "DateUtils.h"
#include "Exceptions.h"
#include "SysUtils.h"
#include "zdAggregate.h"
#include "zdClass_band.h"
#include "zdClass_options.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDataSets.h"
#include "zdPreviewLink.h"
#include "zdPreviewPages.h"
#include "zdRes.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr long double kTolerance = 1e-4L;

TzdPreviewPages* concreteStore(TzdCustomPreviewPages* Pages)
{
    return dynamic_cast<TzdPreviewPages*>(Pages);
}

TzdCustomEngine* createEngine(zd::ReportDocument* Report)
{
    return new TzdEngine(Report);
}

TzdCustomPreviewPages* createPreviewPages(zd::ReportDocument* Report)
{
    return new TzdPreviewPages(Report);
}

// The band tree's order key: the position to two decimals.
long long orderKey(long double Position)
{
    return std::llround(double(Position * 100));
}

bool hasDataSet(TzdBand* Band)
{
    auto* d = dynamic_cast<TzdDataBand*>(Band);
    return d && d->DataSet();
}

} // namespace

// ---------------------------------------------------------------------------
// Header list

void TzdHeaderList::Add(TzdBand* Band, bool InKeep, long double Left)
{
    auto item = std::make_unique<TzdHeaderListItem>();
    item->Band = Band;
    item->InKeep = InKeep;
    item->Left = Left;
    m_items.push_back(std::move(item));
}

void TzdHeaderList::Remove(TzdBand* Band)
{
    for (auto it = m_items.begin(); it != m_items.end(); ++it)
        if ((*it)->Band == Band) {
            m_items.erase(it);
            return;
        }
}

// ---------------------------------------------------------------------------
// Engine

TzdEngine::TzdEngine(zd::ReportDocument* AReport)
    : TzdCustomEngine(AReport), m_aggregates(std::make_unique<TzdAggregateList>(AReport->Report(), this))
{
}

TzdEngine::~TzdEngine() = default;

TzdReport* TzdEngine::report() const
{
    return Report->Report();
}

void TzdEngine::runEvent(const QString& Handler, TzdComponent* Sender)
{
    const QString name = Handler.trimmed();
    if (!name.isEmpty())
        report()->RunScriptEvent(Sender, name);
}

void TzdEngine::fireBeforePrint(TzdReportComponent* Sender)
{
    report()->FireBeforePrint(Sender);
}

void TzdEngine::fireAfterPrint(TzdReportComponent* Sender)
{
    report()->FireAfterPrint(Sender);
}

void TzdEngine::setActive(const QString& Name)
{
    report()->EvaluatedObjectName = Name;
}

bool TzdEngine::terminated() const
{
    return report()->Terminated;
}

void TzdEngine::processMessages()
{
    if (!report()->EngineOptions()->ThreadSafeMode)
        plat::Application().ProcessMessages();
}

// --- run

bool TzdEngine::Run(bool RunDialogs, bool, TzdPage* Page)
{
    if (BuildRunning)
        throw plat::Exception(QStringLiteral("The report is being prepared already"));
    TzdReport* r = report();
    auto* onlyPage = dynamic_cast<TzdReportPage*>(Page);
    store()->Engine = this;
    bool result = false;
    bool datasetsStarted = false;
    bool reportStarted = false;
    auto finish = [&]() {
        // Everything below runs whatever happened; the first failure wins.
        std::exception_ptr failure;
        if (reportStarted)
            try {
                runEvent(r->OnStopReport, r);
            } catch (...) {
                failure = std::current_exception();
            }
        if (datasetsStarted)
            try {
                r->DataSets()->FinalizeAll();
            } catch (...) {
                if (!failure)
                    failure = std::current_exception();
            }
        try {
            store()->FinishPreparing();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
        BuildRunning = false;
        if (failure)
            std::rethrow_exception(failure);
    };
    try {
        if (prepareRun()) {
            r->DataSets()->InitializeAll();
            datasetsStarted = true;
            reportStarted = true;
            runEvent(r->OnStartReport, r);
            if (!RunDialogs || runDialogs()) {
                result = true;
                std::vector<TzdReportPage*> pages;
                if (onlyPage)
                    pages.push_back(onlyPage);
                else
                    for (int i = 0; i < r->GetPageCount(); ++i)
                        if (auto* p = dynamic_cast<TzdReportPage*>(r->GetPageByIndex(i)))
                            pages.push_back(p);
                for (TzdReportPage* p : pages) {
                    CurrentPage = p;
                    store()->RegisterSourcePage(p);
                    m_aggregates->Collect(p);
                }
                // passes
                FinalPass = !DoublePass();
                TotalPages = 0;
                store()->RememberPassStart();
                int keptColumn = 0;
                long double keptX = 0;
                TzdPreviewPages* pp = concreteStore(store());
                if (pp && store()->GetPageCount() > 0 && DoublePass())
                    pp->ReadColumnState(keptColumn, keptX);
                mainPass(onlyPage);
                if (DoublePass()) {
                    TotalPages = store()->GetPageCount();
                    store()->CurPageIndex = store()->GetPageCount() - 1;
                    store()->DiscardPassPages();
                    if (pp && store()->CurPageIndex >= 0 && store()->CurPageIndex < store()->GetPageCount())
                        pp->WriteColumnState(keptColumn, keptX, true);
                    m_aggregates->RestartAll();
                    FinalPass = true;
                    mainPass(onlyPage);
                }
            }
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return result;
}

bool TzdEngine::prepareRun()
{
    FooterReserve = 0;
    store()->Initialize();
    store()->PageAddMode = pamAppend;
    const plat::TDateTime now = Clock ? Clock() : plat::Now();
    StartDate = std::floor(now);
    StartTime = now;
    BuildRunning = true;
    KeepActive = false;
    CurVColumn = 0;
    ParentBandCopies = nullptr;
    m_aggregates->Clear();
    // Left over from an earlier run, these would make this run differ.
    TitlePrinted = false;
    KeepBand = nullptr;
    KeepHeaderMode = false;
    KeepFooterMode = false;
    KeepStartY = 0;
    KeepTakenHeader = nullptr;
    LastBand = nullptr;
    PageBreakBand = nullptr;
    StartNewPageBand = nullptr;
    SummaryPrinting = false;
    PrintingHeaders = false;
    PageHeaderPrinting = false;
    FinishingPage = false;
    VerticalBreak = false;
    Segmenting = false;
    HostBand = nullptr;
    SecondScriptCall = false;
    m_drillPath.clear();
    m_groupValues.clear();
    VHostBand = nullptr;
    VReprintBands.clear();
    VPageBreaks.clear();
    m_subreportStack.clear();
    buildBandTrees();
    checkDataSets();
    return report()->ErrorList().isEmpty();
}

bool TzdEngine::buildBandTrees()
{
    TzdReport* r = report();
    for (int i = 0; i < r->GetPageCount(); ++i)
        if (auto* p = dynamic_cast<TzdReportPage*>(r->GetPageByIndex(i))) {
            buildBandTree(p, false);
            buildBandTree(p, true);
        }
    return r->ErrorList().isEmpty();
}

void TzdEngine::buildBandTree(TzdReportPage* Page, bool Vertical)
{
    Page->AlignChildren();
    std::vector<TzdBand*>& masters = Vertical ? Page->VerticalBands : Page->HorizontalBands;
    masters.clear();
    QStringList errors;
    std::vector<std::pair<long long, TzdBand*>> ordered;
    for (TzdComponent* c : Page->Children()) {
        auto* band = dynamic_cast<TzdBand*>(c);
        if (!band || band->Vertical() != Vertical)
            continue;
        band->ShiftChildren.clear();
        buildShiftTree(band);
        band->SubBands.clear();
        band->HeaderBand = band->FooterBand = band->GroupBand = nullptr;
        band->HasVBands = false;
        if (auto* d = dynamic_cast<TzdDataBand*>(band); d && !d->DataSet() && d->RowCount() > 0) {
            d->SetDataSet(d->RowSource());
            d->RowSource()->Initialize();
        }
        if (!Vertical && !dynamic_cast<TzdOverlay*>(band)) {
            spreadOverVerticalBands(Page, band);
            if (band->HasVBands) {
                band->ShiftChildren.clear();
                buildShiftTree(band);
            }
        }
        const int kind = band->GetKindIndex();
        if (kind < 4 || kind > 13)
            continue;
        const long long key = orderKey(Vertical ? band->Left() : band->Top());
        const bool taken = std::any_of(ordered.begin(), ordered.end(), [&](auto& e) { return e.first == key; });
        if (!taken)
            ordered.emplace_back(key, band);
    }
    std::stable_sort(ordered.begin(), ordered.end(), [](auto& a, auto& b) { return a.first < b.first; });
    std::vector<TzdBand*> work;
    for (auto& e : ordered)
        work.push_back(e.second);
    auto text = [](const char* key) { return zdGetResources()->GetText(QString::fromLatin1(key)); };
    auto isGroupHeader = [](TzdBand* b) { return dynamic_cast<TzdGroupHeader*>(b) != nullptr; };
    auto isGroupFooter = [](TzdBand* b) { return dynamic_cast<TzdGroupFooter*>(b) != nullptr; };
    auto isData = [](TzdBand* b) { return dynamic_cast<TzdDataBand*>(b) != nullptr; };

    // Groups: a run of group headers belongs to the next data band.
    for (size_t i = 0; i < work.size();) {
        if (!isGroupHeader(work[i])) {
            ++i;
            continue;
        }
        TzdBand* h = work[i];
        h->SubBands.push_back(h);
        size_t j = i + 1;
        while (j < work.size() && isGroupHeader(work[j]))
            h->SubBands.push_back(work[j++]);
        while (j < work.size() && !isData(work[j]))
            ++j;
        if (j < work.size())
            work[j]->GroupBand = h;
        else
            errors << text("enUnconnGroup") + u' ' + h->Name();
        i = j;
    }
    for (size_t i = 0; i < work.size();) {
        if (!isGroupFooter(work[i])) {
            ++i;
            continue;
        }
        TzdBand* f = work[i];
        bool matched = false;
        for (size_t k = i; k-- > 0;)
            if (isGroupHeader(work[k])) {
                work[k]->FooterBand = f;
                work.erase(work.begin() + long(i));
                work.erase(work.begin() + long(k));
                i = k;
                matched = true;
                break;
            }
        if (!matched)
            ++i;
    }
    for (size_t i = 0; i < work.size();) {
        if (isGroupHeader(work[i])) {
            work.erase(work.begin() + long(i));
        } else if (isGroupFooter(work[i])) {
            errors << text("enUnconnGFooter") + u' ' + work[i]->Name();
            work.erase(work.begin() + long(i));
        } else {
            ++i;
        }
    }
    // Headers and footers directly around their data band.
    for (size_t i = 0; i < work.size(); ++i) {
        if (!isData(work[i]))
            continue;
        TzdBand* d = work[i];
        if (i + 1 < work.size() && dynamic_cast<TzdFooter*>(work[i + 1])) {
            d->FooterBand = work[i + 1];
            work.erase(work.begin() + long(i) + 1);
        }
        if (i > 0 && dynamic_cast<TzdHeader*>(work[i - 1])) {
            d->HeaderBand = work[i - 1];
            work.erase(work.begin() + long(i) - 1);
            --i;
        }
    }
    for (size_t i = 0; i < work.size();) {
        if (dynamic_cast<TzdHeader*>(work[i]) || dynamic_cast<TzdFooter*>(work[i])) {
            errors << text("enUnconnHeader") + u' ' + work[i]->Name();
            work.erase(work.begin() + long(i));
        } else {
            ++i;
        }
    }
    // Masters and their details, level by level.
    std::function<void(TzdBand*, size_t)> collect = [&](TzdBand* owner, size_t from) {
        const int ownerKind = owner->GetKindIndex();
        size_t i = from;
        while (i < work.size()) {
            TzdBand* b = work[i];
            const int kind = b->GetKindIndex();
            if (kind <= ownerKind)
                break;
            if (kind != ownerKind + 1) {
                ++i;
                continue;
            }
            if (hasDataSet(b))
                owner->SubBands.push_back(b);
            work.erase(work.begin() + long(i));
            if (!dynamic_cast<TzdDataBand6*>(b))
                collect(b, i);
        }
    };
    for (size_t i = 0; i < work.size();) {
        if (!dynamic_cast<TzdMasterData*>(work[i])) {
            ++i;
            continue;
        }
        TzdBand* m = work[i];
        if (hasDataSet(m))
            masters.push_back(m);
        work.erase(work.begin() + long(i));
        collect(m, i);
    }
    for (TzdBand* b : work)
        errors << text("enBandPos") + u' ' + b->Name();
    if (!errors.isEmpty())
        report()->AddErrors(errors);
}

bool TzdEngine::checkDataSets()
{
    TzdReport* r = report();
    QStringList errors;
    for (int i = 0; i < r->GetPageCount(); ++i) {
        auto* p = dynamic_cast<TzdReportPage*>(r->GetPageByIndex(i));
        if (!p)
            continue;
        if (r->DataSet() && r->DataSet() == p->DataSet()) {
            errors << QStringLiteral("Cannot use the same dataset for Report.DataSet and Page.DataSet");
            break;
        }
        for (TzdBand* b : p->HorizontalBands) {
            TzdDataSet* ds = static_cast<TzdDataBand*>(b)->DataSet();
            if (r->DataSet() && ds == r->DataSet()) {
                errors << QStringLiteral("Cannot use the same dataset for Report.DataSet and Band.DataSet");
                break;
            }
            if (p->DataSet() && ds == p->DataSet()) {
                errors << QStringLiteral("Cannot use the same dataset for Page.DataSet and Band.DataSet");
                break;
            }
        }
    }
    if (!errors.isEmpty())
        r->AddErrors(errors);
    return errors.isEmpty();
}

bool TzdEngine::runDialogs()
{
    TzdReport* r = report();
    if (const QString handler = r->OnRunDialogs.trimmed(); !handler.isEmpty()) {
        plat::Variant params = plat::VarArrayOf({plat::Variant(true)});
        r->RunScriptEventWithParams(handler, params);
        return plat::VarArrayGet(params, {0}).toBoolean();
    }
    for (int i = 0; i < r->GetPageCount(); ++i) {
        auto* d = dynamic_cast<TzdDialogPage*>(r->GetPageByIndex(i));
        if (!d || !d->Visible() || d->ChildCount() == 0)
            continue;
        const int result = RunDialogHandler ? RunDialogHandler(d) : d->ShowModal();
        if (result == 2)
            return false;
    }
    return true;
}

void TzdEngine::mainPass(TzdReportPage* OnlyPage)
{
    PassFirstPage = true;
    TzdDataSet* ds = report()->DataSet();
    if (!ds) {
        printAllPages(OnlyPage);
        return;
    }
    ds->First();
    while (!ds->Eof() && !terminated()) {
        printAllPages(OnlyPage);
        ds->Next();
    }
}

void TzdEngine::printAllPages(TzdReportPage* OnlyPage)
{
    if (OnlyPage) {
        CurrentPage = OnlyPage;
        printPage(OnlyPage);
        PassFirstPage = false;
        return;
    }
    TzdReport* r = report();
    for (int i = 0; i < r->GetPageCount() && !terminated(); ++i) {
        auto* p = dynamic_cast<TzdReportPage*>(r->GetPageByIndex(i));
        if (!p)
            continue;
        CurrentPage = p;
        if (!p->BelongsToSubreport() && p->Visible())
            printPage(p);
        PassFirstPage = false;
    }
}

void TzdEngine::printPage(TzdReportPage* Page)
{
    if (Page->BelongsToSubreport()) {
        printEmbeddedPage(Page);
        return;
    }
    PageStartClean = true;
    runEvent(Page->OnBeforePrint, Page);
    if (TzdDataSet* ds = Page->DataSet()) {
        ds->First();
        while (!ds->Eof() && !terminated()) {
            printPageInstance(Page);
            ds->Next();
        }
    } else {
        for (int i = 0; i < Page->PageCount() && !terminated(); ++i)
            printPageInstance(Page);
    }
    runEvent(Page->OnAfterPrint, Page);
}

bool TzdEngine::bandHasData(TzdBand* Band)
{
    auto* d = static_cast<TzdDataBand*>(Band);
    if (d->PrintIfDetailEmpty || Band->SubBands.empty())
        return true;
    for (TzdBand* detail : Band->SubBands) {
        TzdDataSet* ds = static_cast<TzdDataBand*>(detail)->DataSet();
        ds->First();
        while (!ds->Eof()) {
            if (bandHasData(detail))
                return true;
            ds->Next();
        }
    }
    return false;
}

bool TzdEngine::pageHasData(TzdReportPage* Page)
{
    bool found = false;
    for (TzdBand* b : Page->HorizontalBands) {
        auto* d = static_cast<TzdDataBand*>(b);
        runEvent(d->OnMasterDetail, d);
        TzdDataSet* ds = d->DataSet();
        ds->First();
        while (!ds->Eof() && !found) {
            if (bandHasData(b))
                found = true;
            else
                ds->Next();
        }
    }
    return found;
}

void TzdEngine::printPageInstance(TzdReportPage* Page)
{
    const bool printEmpty = Page->PrintIfEmpty && report()->EngineOptions()->PrintIfEmpty;
    if (!pageHasData(Page) && !printEmpty)
        return;
    pageStart(Page);
    showPageObjects(Page);
    if (report()->OnManualBuild)
        report()->OnManualBuild(Page);
    else if (!Page->OnManualBuild.trimmed().isEmpty())
        runEvent(Page->OnManualBuild, Page);
    else
        DataLoop(Page->HorizontalBands);
    FinishingPage = true;
    if (Page->EndlessHeight || Page->EndlessWidth) {
        if (Page->EndlessHeight)
            PageHeight = PageFootersHeight() + CurY;
        updateEndlessSize();
    }
    CompletePage();
    FinishingPage = false;
}

void TzdEngine::updateEndlessSize()
{
    TzdReportPage* p = CurrentPage;
    const long double h = p->EndlessHeight ? GetPageHeight() + (p->TopMargin + p->BottomMargin) * zd01cm
                                           : p->PaperHeight() * zd01cm;
    const long double w = p->EndlessWidth ? p->LeftMargin * zd01cm + PageWidth + p->RightMargin * zd01cm
                                          : p->PaperWidth() * zd01cm;
    if (TzdPreviewPages* pp = concreteStore(store()))
        pp->SetEndlessPageSize(p, h, w);
}

void TzdEngine::showPageObjects(TzdReportPage* Page)
{
    std::vector<TzdComponent*> loose;
    for (TzdComponent* c : Page->Children())
        if (!dynamic_cast<TzdBand*>(c) && dynamic_cast<TzdView*>(c))
            loose.push_back(c);
    if (loose.empty())
        return;
    TzdNullBand band(nullptr);
    band.SetBounds(0, 0, PageWidth, GetPageHeight());
    for (TzdComponent* c : loose)
        c->SetParent(&band);
    const long double y = CurY;
    try {
        band.AlignChildren();
        ShowBand(&band);
    } catch (...) {
        for (TzdComponent* c : loose)
            c->SetParent(Page);
        throw;
    }
    CurY = y;
    for (TzdComponent* c : loose)
        c->SetParent(Page);
}

void TzdEngine::pageStart(TzdReportPage* Page)
{
    TzdBand* title = Page->FirstBandOfClass(TzdReportTitle::StaticClass());
    TzdBand* header = Page->FirstBandOfClass(TzdPageHeader::StaticClass());
    m_headerList.Clear();
    if (Page->TitleBeforeHeader) {
        m_headerList.Add(title, false, 0);
        m_headerList.Add(header, false, 0);
    } else {
        m_headerList.Add(header, false, 0);
        m_headerList.Add(title, false, 0);
    }
    PageHeight = (Page->PaperHeight() - Page->TopMargin - Page->BottomMargin) * zd01cm;
    PageWidth = (Page->PaperWidth() - Page->LeftMargin - Page->RightMargin) * zd01cm;
    CurX = 0;
    CurY = 0;
    CurColumn = 1;
    ColumnLeft = 0;
    VHostBand = nullptr;
    FirstPage = true;
    FinishingPage = false;
    store()->Outline()->LevelRoot();
    if (Page->ResetPageNumbers)
        store()->CloseLogicalPageGroup();
    if (store()->GetPageCount() > 0 && Page->PrintOnPreviousPage) {
        store()->CurPageIndex = store()->GetPageCount() - 1;
        int column = 0;
        long double x = 0;
        if (TzdPreviewPages* pp = concreteStore(store()))
            pp->ReadColumnState(column, x);
        const bool fresh = Page->Columns() < 2 || (title && Page->ShowTitleOnPreviousPage);
        if (fresh) {
            column = 0;
            x = 0;
        }
        CurX = x;
        CurY = store()->ContentBottom(CurX);
        if (column != 0)
            CurColumn = column;
        else
            ColumnTop = CurY;
        m_headerList.Remove(title);
        if (fresh) {
            CurColumn = std::max(1, Page->Columns());
            ShowBandOfClass(TzdReportTitle::StaticClass());
            CurColumn = 1;
            ColumnTop = CurY;
        }
    } else {
        newPageOutput();
        ColumnTop = CurY;
    }
    if (PassFirstPage)
        store()->RunFirstPageIndex = store()->CurPageIndex;
    ShowBandOfClass(TzdColumnHeader::StaticClass());
    m_headerList.Add(Page->FirstBandOfClass(TzdColumnHeader::StaticClass()), false, 0);
    m_headerList.Remove(title);
    pageOutline();
}

void TzdEngine::pageOutline()
{
    if (CurrentPage->OutlineText.isEmpty())
        return;
    store()->Outline()->LevelRoot();
    setActive(CurrentPage->Name());
    store()->Outline()->AddItem(plat::VarToStr(report()->Calc(CurrentPage->OutlineText)), 0);
}

void TzdEngine::newPageOutput()
{
    FooterReserve = 0;
    store()->AddPage(CurrentPage);
    CurY = 0;
    // Pages to the right of vertical bands start again for every band
    // written there: their overlay prints once.
    if (auto* overlay = static_cast<TzdOverlay*>(CurrentPage->FirstBandOfClass(TzdOverlay::StaticClass()));
        overlay && !overlay->PrintOnTop && !(Segmenting && store()->BandOnCurrentPage(overlay)))
        ShowBand(overlay);
    CurY = 0;
    ColumnTop = 0;
    const long double savedX = CurX;
    for (int i = 0; i < m_headerList.Count(); ++i) {
        TzdHeaderListItem* item = m_headerList.Items(i);
        TzdBand* band = item->Band;
        CurX = item->Left;
        if (!band || band == StartNewPageBand)
            continue;
        auto* pageHeader = dynamic_cast<TzdPageHeader*>(band);
        if (FirstPage && pageHeader && !pageHeader->PrintOnFirstPage) {
            if (!pageHeader->PrintChildIfInvisible)
                continue;
            band = pageHeader->Child();
            if (!band)
                continue;
        }
        const bool isHeader = dynamic_cast<TzdHeader*>(band) != nullptr;
        if (!KeepFooterMode && ((isHeader && KeepHeaderMode) || (item->InKeep && KeepActive)))
            continue;
        if (VerticalBreak && (isHeader || dynamic_cast<TzdGroupHeader*>(band)))
            continue;
        if (isHeader && band == PageBreakBand)
            continue;
        const int line = CurLine, through = CurLineThrough;
        CurLine = band->LineN;
        CurLineThrough = band->LineThrough;
        PrintingHeaders = true;
        PageHeaderPrinting = pageHeader != nullptr;
        const bool isTitle = dynamic_cast<TzdReportTitle*>(band) != nullptr;
        if (isTitle)
            item->Band = nullptr;
        const long double before = CurY;
        try {
            ShowBand(band);
        } catch (...) {
            PrintingHeaders = PageHeaderPrinting = false;
            throw;
        }
        if (pageHeader)
            ColumnTop = before + pageHeader->StretchedHeight;
        if (isTitle && PageStartClean && band->Visible())
            TitlePrinted = true;
        PrintingHeaders = PageHeaderPrinting = false;
        CurLine = line;
        CurLineThrough = through;
    }
    CurX = savedX;
}

void TzdEngine::outputFooterLike(TzdBand* Band, bool PageFooterRules)
{
    prepareBand(Band);
    Band->StretchedHeight = Band->Height();
    try {
        bool suppressed = false;
        if (PageFooterRules)
            if (auto* f = dynamic_cast<TzdPageFooter*>(Band))
                suppressed = (FirstPage && !f->PrintOnFirstPage)
                             || (FinishingPage && !f->PrintOnLastPage && !SummaryPrinting);
        if (Band->Visible() && !suppressed) {
            if (FinalPass)
                Band->MakeFillObject();
            if (!PageFooterRules || !store()->BandOnCurrentPage(Band)) {
                Band->SetLeft(PageFooterRules ? 0 : CurX - ColumnLeft);
                Band->SetTop(CurY);
                store()->AddObject(Band);
            }
            CurY += Band->Height();
        }
        afterPrint(Band);
        if (!suppressed)
            m_aggregates->RestartFor(Band);
    } catch (...) {
        afterPrint(Band);
        throw;
    }
}

void TzdEngine::CompletePage()
{
    TzdReportPage* p = CurrentPage;
    // Pages turned for vertical bands are completed once per host band:
    // their column footer would print at every one.
    if (!SummaryPrinting && !Segmenting)
        if (TzdBand* cf = p->FirstBandOfClass(TzdColumnFooter::StaticClass()))
            outputFooterLike(cf, false);
    if (!FinishingPage) {
        CurX = ColumnLeft;
        CurColumn = 1;
    }
    if (p->Columns() > 1)
        if (TzdPreviewPages* pp = concreteStore(store()))
            pp->WriteColumnState(CurColumn, CurX, false);
    if (FinishingPage && !SummaryPrinting) {
        SummaryPrinting = true;
        const long double before = CurY;
        try {
            ShowBandOfClass(TzdReportSummary::StaticClass());
        } catch (...) {
            SummaryPrinting = false;
            throw;
        }
        if (p->FirstBandOfClass(TzdReportSummary::StaticClass()) && p->EndlessHeight) {
            PageHeight += CurY - before;
            updateEndlessSize();
        }
        SummaryPrinting = false;
    }
    if (auto* pf = static_cast<TzdPageFooter*>(p->FirstBandOfClass(TzdPageFooter::StaticClass()))) {
        CurY = GetPageHeight() - pf->Height();
        FooterReserve = (FinishingPage && pf->PrintOnLastPage && !SummaryPrinting) ? pf->Height() : 0;
        outputFooterLike(pf, true);
    }
    if (auto* overlay = static_cast<TzdOverlay*>(p->FirstBandOfClass(TzdOverlay::StaticClass()));
        overlay && overlay->PrintOnTop) {
        CurY = 0;
        outputFooterLike(overlay, true);
    }
    FirstPage = false;
}

void TzdEngine::NewPage()
{
    if (KeepBand) {
        long double h = KeepBand->Height();
        if (dynamic_cast<TzdGroupHeader*>(KeepBand) && LastBand)
            h = LastBand->Height();
        if (CurY - KeepStartY + h > PageHeight - PageFootersHeight() - PageHeadersHeight()) {
            KeepActive = false;
            m_aggregates->KeepClose();
            if (dynamic_cast<TzdGroupHeader*>(KeepBand)) {
                RemoveReprintHeader(KeepBand);
                AddReprintHeader(KeepBand);
            }
        }
    }
    KeepTakenHeader = nullptr;
    if (KeepActive) {
        if (KeepFooterMode)
            m_aggregates->TakeBackLast(KeepBand);
        store()->CutObjectsFrom(KeepCutPosition);
        auto* d = dynamic_cast<TzdDataBand*>(LastBand);
        if (std::fabs(double(store()->ContentBottom(0) - CurY)) >= double(kTolerance) && d && d->KeepHeader
            && d->HeaderBand) {
            KeepTakenHeader = d->HeaderBand;
            RemoveReprintHeader(KeepTakenHeader);
        }
    }
    PageBreakBand = LastBand;
    CompletePage();
    if (CurrentPage->EndlessHeight) {
        const int last = store()->GetPageCount() - 1;
        if (TzdReportPage* page = store()->GetPage(last)) {
            page->SetPaperWidth(PageWidth / zd01cm + CurrentPage->LeftMargin + CurrentPage->RightMargin);
            page->SetPaperHeight((PageFootersHeight() + CurY) / zd01cm + CurrentPage->TopMargin
                                 + CurrentPage->BottomMargin);
            page->SetPaperFormat(256, page->PaperWidth(), page->PaperHeight());
            store()->ReplacePage(last, page);
        }
    }
    newPageOutput();
    PageBreakBand = nullptr;
    if (KeepActive) {
        m_aggregates->KeepClose();
        pasteKeepBlock(0, false);
        if (KeepFooterMode)
            m_aggregates->AddValues(KeepBand, 0);
        if (KeepTakenHeader) {
            AddReprintHeader(KeepTakenHeader);
            KeepTakenHeader = nullptr;
        }
    }
    KeepActive = false;
    KeepHeaderMode = false;
    KeepStartY = 0;
    if (!VerticalBreak)
        pageOutline();
}

void TzdEngine::pasteKeepBlock(long double X, bool SamePage)
{
    PasteY = CurY;
    store()->PasteCutObjects(X, CurY);
    PastePage = store()->CurPageIndex;
    // A block moved to the next column stays on its page: its outline items
    // and anchors keep their page numbers.
    const int pageDelta = SamePage ? 0 : 1;
    TzdXMLItem* from = KeepOutlineItem;
    auto* outline = dynamic_cast<TzdOutline*>(store()->Outline());
    if (from) {
        if (outline)
            outline->ShiftItemsAfter(from, int(std::nearbyint(double(CurY))), pageDelta);
        else
            store()->Outline()->ShiftFollowingItems(from, int(std::nearbyint(double(CurY))));
    }
    if (TzdPreviewPages* pp = concreteStore(store()))
        pp->MoveAnchorsDown(KeepAnchorIndex, std::nearbyint(double(CurY)), pageDelta);
    else
        store()->MoveAnchorsDown(KeepAnchorIndex, std::nearbyint(double(CurY)));
    CurY = store()->ContentBottom(X);
}

long double TzdEngine::columnX(int Column)
{
    zd::TStringList* positions = CurrentPage->ColumnPositions();
    if (Column < 1 || Column > positions->Count())
        throw plat::Exception(QStringLiteral("Page %1 has %2 column positions for column %3")
                                  .arg(CurrentPage->Name())
                                  .arg(positions->Count())
                                  .arg(Column));
    return zd::readFloat(positions->Strings(Column - 1).toUtf8()) * zd01cm;
}

void TzdEngine::NewColumn()
{
    if (CurColumn >= CurrentPage->Columns()) {
        NewPage();
        return;
    }
    if (KeepActive) {
        if (KeepFooterMode)
            m_aggregates->TakeBackLast(KeepBand);
        store()->CutObjectsFrom(KeepCutPosition);
        CurY = store()->ContentBottom(0);
    }
    PageBreakBand = LastBand;
    if (TzdBand* cf = CurrentPage->FirstBandOfClass(TzdColumnFooter::StaticClass()))
        outputFooterLike(cf, false);
    const long double x = columnX(CurColumn + 1);
    ++CurColumn;
    CurY = ColumnTop;
    for (int i = 0; i < m_headerList.Count(); ++i) {
        TzdHeaderListItem* item = m_headerList.Items(i);
        CurX = item->Left + x;
        TzdBand* band = item->Band;
        if (!band || dynamic_cast<TzdPageHeader*>(band) || band == PageBreakBand || item->InKeep || KeepHeaderMode)
            continue;
        printHeaderChain(band);
    }
    CurX = ColumnLeft + x;
    PageBreakBand = nullptr;
    if (KeepActive) {
        m_aggregates->KeepClose();
        pasteKeepBlock(CurX, true);
        if (KeepFooterMode)
            m_aggregates->AddValues(KeepBand, 0);
    }
    KeepActive = false;
    KeepHeaderMode = false;
}

void TzdEngine::printHeaderChain(TzdBand* Band)
{
    for (TzdBand* b = Band; b;) {
        prepareBand(b);
        b->StretchedHeight = b->Height();
        try {
            if (b->Visible()) {
                b->SetLeft(CurX);
                b->SetTop(CurY);
                if (FinalPass)
                    b->MakeFillObject();
                store()->AddObject(b);
                CurY += b->Height();
            }
        } catch (...) {
            afterPrint(b);
            throw;
        }
        afterPrint(b);
        if (!b->Visible() && !b->PrintChildIfInvisible)
            break;
        b = b->Child();
    }
}

long double TzdEngine::FreeSpace()
{
    if (CurrentPage && CurrentPage->EndlessHeight)
        return 1000000;
    if (FooterReserve != 0)
        return PageHeight - FooterReserve - CurY;
    return PageHeight - PageFootersHeight() - CurY;
}

long double TzdEngine::GetPageHeight()
{
    if (CurrentPage && CurrentPage->EndlessHeight)
        return PageFootersHeight() + CurY;
    return PageHeight;
}

long double TzdEngine::PageHeadersHeight()
{
    long double h = 0;
    for (const plat::TClass* cls : {TzdColumnHeader::StaticClass(), TzdPageHeader::StaticClass()})
        for (TzdBand* b = CurrentPage->FirstBandOfClass(cls); b; b = b->Child())
            h += b->Height();
    return h;
}

long double TzdEngine::PageFootersHeight()
{
    long double h = 0;
    for (const plat::TClass* cls : {TzdColumnFooter::StaticClass(), TzdPageFooter::StaticClass()})
        if (TzdBand* b = CurrentPage->FirstBandOfClass(cls))
            h += b->Height();
    return h;
}

plat::Variant TzdEngine::EvaluateAggregate(const QString& Name, const QString& Expression, TzdBand* Band, int Flags)
{
    return m_aggregates->Evaluate(Name, Expression, Band, Flags);
}

PLAT_DEFINE_CLASS(TzdEngine, c) {}

void zd::startEngineUnit()
{
    zd::registerScriptClass(TzdEngine::StaticClass(), QStringLiteral("TzdCustomEngine"));
    zd::registerScriptClass(TzdOutline::StaticClass(), QStringLiteral("TzdCustomOutline"));
    // The report creates its engine and its prepared pages through these.
    zdCreateEngine = createEngine;
    zdCreatePreviewPages = createPreviewPages;
    // What the prepared pages' mouse handling and the preview ask of a
    // report: its preparation, its stores and its events.
    zd::PreviewReportHooks& hooks = zd::previewReportHooks();
    hooks.Prepare = [](TzdReport* Report, bool ClearLastReport) { return Report->Prepare(ClearLastReport); };
    hooks.PrepareSinglePage = [](TzdReport* Report, TzdReportPage* Page) { return Report->PrepareSinglePage(Page); };
    hooks.AttachPreviewPages = [](TzdReport* Report, TzdCustomPreviewPages* Pages) {
        Report->AttachPreviewPages(Pages);
    };
    hooks.ActivePreviewPages = [](TzdReport* Report) { return Report->ActivePreviewPages(); };
    hooks.CreatePreviewPages = [](TzdReport* Report) -> TzdCustomPreviewPages* {
        return new TzdPreviewPages(Report);
    };
    hooks.FireMouseEnter = [](TzdReport* Report, TzdView* View, bool& Refresh) {
        Report->FireMouseEnter(View, Refresh);
    };
    hooks.FireMouseLeave = [](TzdReport* Report, TzdView* View, bool& Refresh) {
        Report->FireMouseLeave(View, Refresh);
    };
    hooks.FireMouseUp = [](TzdReport* Report, TzdView* View, int X, int Y, plat::TMouseButton Button,
                           plat::TShiftState Shift, bool& Modified) {
        Report->FireMouseUp(View, X, Y, Button, Shift, Modified);
    };
    hooks.FirePreviewClick = [](TzdReport* Report, TzdView* View, plat::TMouseButton Button,
                                plat::TShiftState Shift, bool& Modified, bool DblClick) {
        Report->FirePreviewClick(View, Button, Shift, Modified, DblClick);
    };
    hooks.MouseOverObject = [](TzdReport* Report, TzdView* View) {
        if (Report->OnMouseOverObject)
            Report->OnMouseOverObject(View);
    };
}

#pragma once
// The report engine: turns a report's pages, bands and datasets into
// prepared pages. The report that owns it starts it through Run; the engine
// writes every printed band into the report's prepared-pages store.
//
// Positions are pixels at 96 per inch, relative to the top-left corner of
// the printable area of the page being printed. The engine never owns
// report objects: it only clears and fills the band tree fields of pages
// and bands, and frees the copies it adds to bands while they print.

#include "zdClass_services.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

class TzdAggregateList;
class TzdBand;
class TzdDataBand;
class TzdDialogPage;
class TzdNullBand;
class TzdReportComponent;
class TzdReportPage;
class TzdXMLItem;

class TzdHeaderListItem {
public:
    TzdBand* Band = nullptr;
    long double Left = 0;
    bool InKeep = false; // added while a keep block was open
};

// The bands re-printed at the top of each new page or column.
class TzdHeaderList {
public:
    void Clear() { m_items.clear(); }
    int Count() const { return int(m_items.size()); }
    TzdHeaderListItem* Items(int Index) const { return m_items.at(size_t(Index)).get(); }
    void Add(TzdBand* Band, bool InKeep, long double Left);
    void Remove(TzdBand* Band);

private:
    std::vector<std::unique_ptr<TzdHeaderListItem>> m_items;
};

class TzdEngine : public TzdCustomEngine {
    PLAT_CLASS(TzdEngine, TzdCustomEngine)
public:
    explicit TzdEngine(zd::ReportDocument* AReport);
    ~TzdEngine() override;

    long double GetPageHeight() override;
    void CompletePage() override;
    void CloseKeepBlock() override;
    void NewColumn() override;
    void NewPage() override;
    void ShowBand(TzdBand* Band) override;
    void ShowBandOfClass(const plat::TClass* BandClass) override;
    long double PageHeadersHeight() override;
    long double PageFootersHeight() override;
    long double FreeSpace() override;
    plat::Variant EvaluateAggregate(const QString& Name, const QString& Expression, TzdBand* Band,
                                    int Flags) override;
    bool Run(bool RunDialogs, bool SecondFlag, TzdPage* Page) override;

    // --- what the owning report plugs in
    // The clock of StartDate and StartTime (now when empty): tests and
    // drivers fix it so that prepared reports are reproducible.
    std::function<plat::TDateTime()> Clock;
    // Shows a dialog page instead of its window; its modal result.
    std::function<int(TzdDialogPage* Page)> RunDialogHandler;

    TzdHeaderList& HeaderList() { return m_headerList; }
    TzdAggregateList& AggregateList() { return *m_aggregates; }
    TzdReportPage* CurrentPage = nullptr;
    TzdBand* LastBand = nullptr;
    bool TitlePrinted = false;

private:

    // pages (zdEngine.cpp)
    bool prepareRun();
    bool buildBandTrees();
    void buildBandTree(TzdReportPage* Page, bool Vertical);
    bool checkDataSets();
    bool runDialogs();
    void mainPass(TzdReportPage* OnlyPage);
    void printAllPages(TzdReportPage* OnlyPage);
    void printPage(TzdReportPage* Page);
    void printPageInstance(TzdReportPage* Page);
    bool pageHasData(TzdReportPage* Page);
    bool bandHasData(TzdBand* Band);
    void pageStart(TzdReportPage* Page);
    void newPageOutput();
    void pageOutline();
    void showPageObjects(TzdReportPage* Page);
    void outputFooterLike(TzdBand* Band, bool PageFooterRules);
    void updateEndlessSize();
    long double columnX(int Column);

    // band output (zdEngine_band.cpp)
    void bandOutput(TzdBand* Band);
    void prepareBand(TzdBand* Band);
    void afterPrint(TzdBand* Band);
    void placeBand(TzdBand* Band, bool MultiColumn);
    bool fitRules(TzdBand* Band);
    void splitBand(TzdBand* Band);
    void buildShiftTree(TzdBand* Band);
    void shiftObjects(TzdComponent* Object, long double Amount, TzdBand* Band);
    void runSubreportsOnParent(TzdBand* Band);
    void runSubreportsAfter(TzdBand* Band);
    void printEmbeddedPage(TzdReportPage* Page);
    void suppressRepeated(TzdBand* Band);
    void printHeaderChain(TzdBand* Band);
    bool isDataBand(TzdBand* Band) const;
    bool filterPasses(TzdDataBand* Band);

public:
    // keep blocks and re-printed headers, used by the data loops too
    void KeepOpen(TzdBand* Band, int Position = 0);
    void KeepClose(TzdBand* Band);
    void AddReprintHeader(TzdBand* Band);
    void RemoveReprintHeader(TzdBand* Band);
    void BandOutline(TzdBand* Band);
    void BandOutlineEnd(TzdBand* Band);
    // After a printed row of a multi-column data band.
    void ColumnStep(TzdDataBand* Band, int RowStart, long double BlockTop, long double RowTop, int& KeptCut);
    // The data loop of a page (its master bands) or of a data band (its
    // detail bands) (zdEngine_data.cpp).
    void DataLoop(const std::vector<TzdBand*>& Bands);

    // Vertical bands: the horizontal band they are laid out against, the
    // bands re-printed on each page to the right, and the object counts of
    // the host band where each such page begins.
    TzdBand* VHostBand = nullptr;
    std::vector<TzdBand*> VReprintBands;
    std::vector<int> VPageBreaks;

private:
    // groups and drill-down (zdEngine_data.cpp)
    void groupHeaders(TzdDataBand* Band, int Level, bool Initial);
    void groupCheck(TzdDataBand* Band, long double RowTop, int ColumnStart);
    void groupFooters(TzdDataBand* Band, int Level);
    void drillState(TzdDataBand* Band);
    void addVReprint(TzdBand* Band);
    void removeVReprint(TzdBand* Band);
    // vertical bands (zdEngine_vertical.cpp)
    void spreadOverVerticalBands(TzdReportPage* Page, TzdBand* Band);
    void verticalLayout(TzdBand* Host);
    void verticalDataLoop(const std::vector<TzdBand*>& Bands);
    void verticalPageBreak();
    void copyCellObjects(TzdBand* Cell);
    void verticalBandOutput(TzdBand* Band);
    void segmentedOutput(TzdBand* Host, long double HostX);

    void runEvent(const QString& Handler, TzdComponent* Sender);
    void fireBeforePrint(TzdReportComponent* Sender);
    void fireAfterPrint(TzdReportComponent* Sender);
    void setActive(const QString& Name);
    bool terminated() const;
    void processMessages();
    TzdReport* report() const;
    TzdCustomPreviewPages* store() const { return ActivePreviewPages; }
    void pasteKeepBlock(long double X, bool SamePage);

    TzdHeaderList m_headerList;
    std::unique_ptr<TzdAggregateList> m_aggregates;
    std::vector<std::pair<QString, int>> m_drillPath;
    // The condition value of each group header's current group.
    std::map<TzdBand*, plat::Variant> m_groupValues;

    long double ColumnLeft = 0;
    long double ColumnTop = 0;
    long double FooterReserve = 0;
    bool PassFirstPage = false;
    bool PageStartClean = false;
    bool FirstPage = false;
    bool FinishingPage = false;
    bool SummaryPrinting = false;
    bool PrintingHeaders = false;
    bool PageHeaderPrinting = false;
    bool VerticalBreak = false;
    // While a host band is written across the pages its cells reached.
    bool Segmenting = false;
    // A host band's layout, kept from its layout to its placing.
    std::vector<int> HostPageBreaks;
    TzdBand* HostBand = nullptr;
    long double HostX = 0;
    TzdBand* StartNewPageBand = nullptr;
    TzdBand* PageBreakBand = nullptr;
    TzdNullBand* ParentBandCopies = nullptr;
    // keep blocks
    bool KeepActive = false;
    TzdBand* KeepBand = nullptr;
    long double KeepStartY = 0;
    int KeepCutPosition = 0;
    TzdXMLItem* KeepOutlineItem = nullptr;
    int KeepAnchorIndex = -1;
    bool KeepFooterMode = false;
    bool KeepHeaderMode = false;
    TzdBand* KeepTakenHeader = nullptr;
    int PastePage = -1;
    long double PasteY = -1;
    // subreports whose pages are being printed, against pages that contain
    // themselves
    std::vector<TzdReportPage*> m_subreportStack;
};

namespace zd {
// Lets reports create this engine and its prepared-pages store; drivers and
// the program call it once at start-up, after the report unit's.
void startEngineUnit();
} // namespace zd

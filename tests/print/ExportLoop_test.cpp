// The export loop over the synthetic store with a filter that records what
// it is asked to do.
#include "Exceptions.h"
#include "ScriptedServices.h"
#include "SyntheticPages.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"

#include <QRectF>

#include <memory>

#include <gtest/gtest.h>

using namespace plat;
using printtest::SyntheticPages;

namespace {

class RecordingFilter : public TzdCustomExportFilter {
public:
    RecordingFilter() : TzdCustomExportFilter(nullptr) { ShowDialog = false; }
    int ShowSettingsDialog() override
    {
        Log << QStringLiteral("dialog");
        return DialogResult;
    }
    bool StartExport() override
    {
        Log << QStringLiteral("start");
        return Start;
    }
    void OpenPage(TzdReportPage*, int Index) override { Log << QStringLiteral("open %1").arg(Index); }
    void ClosePage(TzdReportPage*, int Index) override { Log << QStringLiteral("close %1").arg(Index); }
    void FinishExport() override { Log << QStringLiteral("finish"); }

    QStringList Log;
    int DialogResult = 1;
    bool Start = true;
};

} // namespace

TEST(ExportLoop, PagesOfTheListAreOpenedAndClosedInOrderBetweenStartAndFinish)
{
    SyntheticPages store(5);
    RecordingFilter filter;
    int before = 0;
    filter.OnBeforeExport = TNotifyEvent([&before](TObject*) { ++before; }, &before, nullptr);
    filter.PageNumbers = QStringLiteral("4,2-3,9");
    store.OnExportPage = [&filter](TzdCustomExportFilter*, int index) { filter.Log << QStringLiteral("objects %1").arg(index); };
    EXPECT_TRUE(store.Export(&filter));
    EXPECT_EQ(before, 1);
    // Pages go in the store's order, whatever the order of the list.
    EXPECT_EQ(filter.Log, (QStringList{"start", "open 1", "objects 1", "close 1", "open 2", "objects 2", "close 2",
                                       "open 3", "objects 3", "close 3", "finish"}));
    EXPECT_EQ(store.PrintCopyNo, 0);
}

TEST(ExportLoop, TheCurrentPageIsTheShownOneOrTheFirstWithoutAPreview)
{
    printtest::CountingPreview preview;
    for (bool withPreview : {true, false}) {
        SyntheticPages store(5);
        store.TzdCustomPreviewPages::ShownPageNo = 3;
        store.PreviewControl = withPreview ? &preview : nullptr;
        RecordingFilter filter;
        filter.CurPage = true;
        EXPECT_TRUE(store.Export(&filter));
        EXPECT_EQ(filter.PageNumbers, withPreview ? QStringLiteral("3") : QStringLiteral("1"));
        EXPECT_EQ(filter.Log.mid(1, 2), (QStringList{withPreview ? "open 2" : "open 0",
                                                     withPreview ? "close 2" : "close 0"}));
    }
    // The preview's drawing was paused for the export and resumed.
    EXPECT_EQ(preview.Locks, 1);
    EXPECT_EQ(preview.Unlocks, 1);
}

TEST(ExportLoop, ACancelledDialogExportsNothingAndARefusedStartIsNoError)
{
    SyntheticPages store(2);
    RecordingFilter cancelled;
    cancelled.ShowDialog = true;
    cancelled.DialogResult = 2;
    EXPECT_FALSE(store.Export(&cancelled));
    EXPECT_EQ(cancelled.Log, QStringList{"dialog"});
    RecordingFilter refused;
    refused.Start = false;
    EXPECT_TRUE(store.Export(&refused));
    EXPECT_EQ(refused.Log, QStringList{"start"});
    EXPECT_FALSE(store.Export(nullptr));
}

TEST(ExportLoop, StoppingEndsQuietlyAndAFailureIsReportedWithThePageClosed)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    SyntheticPages store(3);
    RecordingFilter stopped;
    store.OnExportPage = [](TzdCustomExportFilter*, int index) {
        if (index == 1)
            throw EExportTerminated(QStringLiteral("stopped"));
    };
    EXPECT_TRUE(store.Export(&stopped));
    EXPECT_EQ(stopped.Log, (QStringList{"start", "open 0", "close 0", "open 1", "close 1", "finish"}));
    EXPECT_TRUE(ui.Calls().empty());

    RecordingFilter failing;
    store.OnExportPage = [](TzdCustomExportFilter*, int index) {
        if (index == 0)
            throw EInOutError(QStringLiteral("Disk full"));
    };
    EXPECT_FALSE(store.Export(&failing));
    EXPECT_EQ(failing.Log, (QStringList{"start", "open 0", "close 0", "finish"}));
    const std::vector<ServiceCall> boxes = ui.CallsOf(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("Nastala(y) následující chyba(y):"))) << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.endsWith(QStringLiteral("Disk full")));
}

// --- the objects of real pages

namespace {

// Pages with a page header, a data band with a memo and a page footer.
class PagedStore : public SyntheticPages {
public:
    explicit PagedStore(int count) : SyntheticPages(count)
    {
        for (int i = 0; i < count; ++i) {
            auto page = std::make_unique<TzdReportPage>(nullptr);
            page->SetWidth(800);
            page->SetHeight(1100);
            page->LeftMargin = 10;
            page->RightMargin = 20;
            page->TopMargin = 5;
            page->BottomMargin = 15;
            const auto band = [&](TzdBand* b, const QString& name, long double top) {
                b->SetName(name);
                b->SetParent(page.get());
                b->SetBounds(0, top, 700, 20);
                auto* memo = new TzdMemoView(b);
                memo->SetName(name + QStringLiteral("Memo"));
                memo->SetParent(b);
                memo->SetBounds(5, 0, 200, 18);
                return memo;
            };
            band(new TzdPageHeader(page.get()), QStringLiteral("Header"), 0);
            band(new TzdMasterData(page.get()), QStringLiteral("Data"), 40)
                ->SetText(QStringLiteral("Strana %1 z [TOTALPAGES#]").arg(i + 1));
            band(new TzdPageFooter(page.get()), QStringLiteral("Footer"), 1000);
            Reports.push_back(std::move(page));
        }
    }
    TzdReportPage* GetPage(int Index) override
    {
        return Index >= 0 && Index < int(Reports.size()) ? Reports[size_t(Index)].get() : nullptr;
    }
    std::vector<std::unique_ptr<TzdReportPage>> Reports;
};

// Names of the objects written, one string per page.
class ObjectFilter : public RecordingFilter {
public:
    void OpenPage(TzdReportPage*, int) override { Pages << QString(); }
    void WriteObject(TzdComponent* Obj) override
    {
        Pages.last() += (Pages.last().isEmpty() ? QString() : QStringLiteral(" ")) + Obj->Name();
        if (auto* memo = dynamic_cast<TzdMemoView*>(Obj))
            Texts << memo->Text().trimmed();
        if (Obj->Name() == QLatin1String("_pagebackground"))
            Backgrounds << QRectF(double(Obj->Left()), double(Obj->Top()), double(Obj->Width()),
                                  double(Obj->Height()));
        if (OnWrite)
            OnWrite(Obj);
    }
    QStringList Pages, Texts;
    QList<QRectF> Backgrounds;
    std::function<void(TzdComponent*)> OnWrite;
};

} // namespace

TEST(ExportLoop, BackgroundThenEachBandWithItsChildren)
{
    PagedStore store(2);
    store.Reports[1]->MirrorMargins = true;
    ObjectFilter filter;
    EXPECT_TRUE(store.Export(&filter));
    const QString page = QStringLiteral("_pagebackground Header HeaderMemo Data DataMemo Footer FooterMemo");
    EXPECT_EQ(filter.Pages, (QStringList{page, page}));
    // The printable area; an odd page of mirrored margins starts at the right one.
    ASSERT_EQ(filter.Backgrounds.size(), 2);
    const double w = 800 - 30 * 3.77953, h = 1100 - 20 * 3.77953;
    for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(filter.Backgrounds[i].left(), (i == 0 ? 10 : 20) * 3.77953, 1e-6) << i;
        EXPECT_NEAR(filter.Backgrounds[i].top(), 5 * 3.77953, 1e-6);
        EXPECT_NEAR(filter.Backgrounds[i].width(), w, 1e-6);
        EXPECT_NEAR(filter.Backgrounds[i].height(), h, 1e-6);
    }
    // Deferred tags know the page count.
    EXPECT_TRUE(filter.Texts.contains(QStringLiteral("Strana 2 z 2"))) << filter.Texts.join(u'|').toStdString();
}

TEST(ExportLoop, RepeatedHeadersFootersDataOnlyAndHiddenViews)
{
    const struct {
        bool suppress, dataOnly, hideFooterMemo;
        QStringList pages;
    } cases[] = {
        {true, false, false,
         {QStringLiteral("_pagebackground Header HeaderMemo Data DataMemo"),
          QStringLiteral("_pagebackground Data DataMemo"),
          QStringLiteral("_pagebackground Data DataMemo Footer FooterMemo")}},
        {false, true, false, {QStringLiteral("DataMemo"), QStringLiteral("DataMemo"), QStringLiteral("DataMemo")}},
        {false, false, true,
         {QStringLiteral("_pagebackground Header HeaderMemo Data DataMemo Footer"),
          QStringLiteral("_pagebackground Header HeaderMemo Data DataMemo Footer"),
          QStringLiteral("_pagebackground Header HeaderMemo Data DataMemo Footer")}},
    };
    for (const auto& c : cases) {
        PagedStore store(3);
        if (c.hideFooterMemo)
            for (auto& page : store.Reports)
                static_cast<TzdView*>(page->FindObject(QStringLiteral("FooterMemo")))
                    ->SetVisibility(TzdVisibilityTypes{vsPreview, vsPrint});
        ObjectFilter filter;
        filter.SuppressPageHeadersFooters = c.suppress;
        filter.DataOnly = c.dataOnly;
        EXPECT_TRUE(store.Export(&filter));
        EXPECT_EQ(filter.Pages, c.pages) << c.suppress << c.dataOnly << c.hideFooterMemo;
    }
}

TEST(ExportLoop, StoppedAfterAnObjectEndsQuietlyWithThePageClosed)
{
    PagedStore store(2);
    ObjectFilter filter;
    filter.OnWrite = [&store](TzdComponent* obj) {
        if (obj->Name() == QLatin1String("Data"))
            store.SetTerminated(true);
    };
    EXPECT_TRUE(store.Export(&filter));
    EXPECT_EQ(filter.Pages, QStringList{QStringLiteral("_pagebackground Header HeaderMemo Data")});
    EXPECT_EQ(filter.Log, (QStringList{"start", "close 0", "finish"}));
}

TEST(ExportLoop, AutoWidthMemoIsSizedToItsTextBeforeTheFilterSeesIt)
{
    PagedStore store(1);
    auto* memo = static_cast<TzdMemoView*>(store.Reports[0]->FindObject(QStringLiteral("DataMemo")));
    memo->AutoWidth = true;
    memo->WordWrap = false;
    memo->SetWidth(10);
    long double seen = 0;
    ObjectFilter filter;
    filter.OnWrite = [&seen](TzdComponent* obj) {
        if (obj->Name() == QLatin1String("DataMemo"))
            seen = obj->Width();
    };
    EXPECT_TRUE(store.Export(&filter));
    EXPECT_GT(double(seen), 50);
}

TEST(ExportLoop, AFilterThatFailsToFinishFailsTheExport)
{
    // A filter whose output could not be handed over: quietly when it has
    // said so itself (EAbort), else with the error list; an earlier error
    // is the one reported.
    class Finishing : public RecordingFilter {
    public:
        void FinishExport() override
        {
            RecordingFilter::FinishExport();
            if (Quiet)
                throw EAbort(QStringLiteral("said"));
            throw EInOutError(QStringLiteral("Queue refused"));
        }
        bool Quiet = true;
    };
    const struct {
        bool quiet, pageFails;
        const char* message; // nullptr: no message box
    } cases[] = {{true, false, nullptr}, {false, false, "Queue refused"}, {false, true, "Disk full"}};
    for (const auto& c : cases) {
        ScriptedServices ui;
        ScopedServices use(ui);
        SyntheticPages store(2);
        store.OnExportPage = [&c](TzdCustomExportFilter*, int index) {
            if (c.pageFails && index == 0)
                throw EInOutError(QStringLiteral("Disk full"));
        };
        Finishing filter;
        filter.Quiet = c.quiet;
        EXPECT_FALSE(store.Export(&filter));
        EXPECT_EQ(filter.Log.last(), QStringLiteral("finish"));
        const std::vector<ServiceCall> boxes = ui.CallsOf(QStringLiteral("MessageBox"));
        if (!c.message) {
            EXPECT_TRUE(boxes.empty());
        } else {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_TRUE(boxes[0].text.endsWith(QString::fromLatin1(c.message))) << boxes[0].text.toStdString();
        }
    }
}

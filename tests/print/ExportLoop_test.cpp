// The export loop over the synthetic store with a filter that records what
// it is asked to do.
#include "Exceptions.h"
#include "ScriptedServices.h"
#include "SyntheticPages.h"

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

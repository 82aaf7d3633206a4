// Faults of the engine that once lost or misplaced output.

#include "EngineFixture.h"

using namespace enginetest;

TEST(EngineFaults, KeepBlockMovedToTheNextColumnKeepsItsOutlinePage)
{
    Fixture f;
    f.page->SetColumns(2);
    auto* master = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 30, 50);
    master->SetRowCount(2);
    master->KeepTogether = true;
    master->OutlineText = QStringLiteral("'Skupina'");
    auto* detail = f.band<TzdDetailData>(QStringLiteral("DetailData1"), 100, 40);
    detail->SetRowCount(5);
    const QString dump = f.dump();
    ASSERT_EQ(f.store()->GetPageCount(), 1) << dump.toStdString();
    const QStringList outline = linesWith(dump, QStringLiteral("outline"));
    ASSERT_EQ(outline.size(), 2);
    // Listed under page 1, not as pointing at a page that does not exist.
    EXPECT_FALSE(outline[1].contains(QStringLiteral(" page "))) << outline[1].toStdString();
    // The moved block starts at the top of the second column.
    EXPECT_EQ(outline[1].section(u' ', -1), QStringLiteral("0"));
    expectGolden(QStringLiteral("keep_next_column"), dump);
}

TEST(EngineFaults, SecondPreparationStartsFromFreshFlags)
{
    Fixture f;
    f.band<TzdReportTitle>(QStringLiteral("ReportTitle1"), 0, 30);
    f.band<TzdMasterData>(QStringLiteral("MasterData1"), 50, 25)->SetRowCount(3);
    ASSERT_TRUE(f.prepare());
    EXPECT_TRUE(f.engine()->TitlePrinted);
    // Preparing reloads the template: the title is a new object now.
    auto* title = dynamic_cast<TzdReportTitle*>(f.report.FindObject(QStringLiteral("ReportTitle1")));
    ASSERT_NE(title, nullptr);
    title->SetVisible(false);
    ASSERT_TRUE(f.prepare());
    EXPECT_FALSE(f.engine()->TitlePrinted);
    const QByteArray second = f.zp3();

    Fixture fresh;
    fresh.band<TzdReportTitle>(QStringLiteral("ReportTitle1"), 0, 30)->SetVisible(false);
    fresh.band<TzdMasterData>(QStringLiteral("MasterData1"), 50, 25)->SetRowCount(3);
    ASSERT_TRUE(fresh.prepare());
    EXPECT_EQ(fresh.zp3(), second);
}

TEST(EngineFaults, RunRefusesToStartWhileRunning)
{
    Fixture f;
    f.band<TzdMasterData>(QStringLiteral("MasterData1"), 50, 25)->SetRowCount(2);
    bool refused = false;
    bool preparedInside = true;
    static const char tag = 0;
    f.report.OnManualBuild = TzdManualBuildEvent(
        [&](TzdComponent*) {
            try {
                f.engine()->Run(false, false, nullptr);
            } catch (const plat::Exception&) {
                refused = true;
            }
            preparedInside = f.report.Prepare();
        },
        &tag, &tag);
    ASSERT_TRUE(f.prepare());
    EXPECT_TRUE(refused);
    EXPECT_FALSE(preparedInside);
    EXPECT_EQ(f.store()->GetPageCount(), 1);
}

// Runs, passes, page breaks with headers and footers, empty data and the
// band tree.

#include "EngineFixture.h"

#include "Metafile.h"
#include "zdRes.h"

#include <cmath>

using namespace enginetest;

namespace {

constexpr long double kHeader = 20, kFooter = 20, kRow = 25;

// Page header with the page number, page footer with the logical page of the
// total, a master band of Count rows from a dataset.
void listing(Fixture& f, int Count, const QString& FooterText = QStringLiteral("[Page]/[TotalPages]"))
{
    f.memo(f.band<TzdPageHeader>(QStringLiteral("PageHeader1"), 0, kHeader), QStringLiteral("Head"), 0, 0, 200,
           kHeader, QStringLiteral("Strana [Page#]"));
    f.memo(f.band<TzdPageFooter>(QStringLiteral("PageFooter1"), 300, kFooter), QStringLiteral("Foot"), 0, 0, 200,
           kFooter, FooterText);
    auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 100, kRow);
    data->SetDataSet(f.rows(QStringLiteral("Rows"), Count));
    f.memo(data, QStringLiteral("Row"), 0, 0, 200, kRow, QStringLiteral("[Rows.\"N\"]"));
}

// Rows printed on each page, from the dump.
std::vector<int> rowsPerPage(const QString& Dump)
{
    std::vector<int> out;
    for (const QString& l : linesWith(Dump, QString())) {
        if (l.startsWith(u"page "))
            out.push_back(0);
        else if (l.contains(u" MasterData1 "))
            ++out.back();
    }
    return out;
}

} // namespace

TEST(EnginePages, BreaksWhereTheRowsNoLongerFitBetweenHeaderAndFooter)
{
    Fixture f;
    listing(f, 30);
    const QString dump = f.dump();
    const int perPage = int(std::floor(double((kPageHeight - kHeader - kFooter) / kRow)));
    ASSERT_EQ(perPage, 13);
    EXPECT_EQ(rowsPerPage(dump), (std::vector<int>{13, 13, 4}));
    EXPECT_EQ(objectLines(dump, 3, QStringLiteral("Foot")).size(), 1);
    // A single pass does not know the total yet.
    EXPECT_TRUE(dump.contains(QStringLiteral("\"3/0\"")));
    expectGolden(QStringLiteral("page_breaks"), dump);
}

TEST(EnginePages, DoublePassKnowsTheTotalOnEveryPageAndBreaksAlike)
{
    Fixture single;
    listing(single, 30);
    const QString once = single.dump();
    Fixture twice;
    listing(twice, 30, QStringLiteral("[Page#]/[TotalPages]"));
    twice.report.EngineOptions()->DoublePass = true;
    const QString dump = twice.dump();
    EXPECT_EQ(rowsPerPage(dump), rowsPerPage(once));
    EXPECT_EQ(twice.engine()->TotalPages, 3);
    for (int p = 1; p <= 3; ++p)
        EXPECT_EQ(objectLines(dump, p, QStringLiteral("Foot")).value(0).section(u' ', -1),
                  QStringLiteral("\"%1/3\"").arg(p));
    expectGolden(QStringLiteral("double_pass"), dump);
}

// A single pass knows no total while it prepares: [TotalPages#] stays a tag
// in the prepared text and the page count goes in when the page is drawn.
TEST(EnginePages, SinglePassFillsTheTotalWhenThePageIsDrawn)
{
    Fixture f;
    listing(f, 30, QStringLiteral("[Page#]/[TotalPages#]"));
    const QString dump = f.dump();
    for (int p = 1; p <= 3; ++p)
        EXPECT_EQ(objectLines(dump, p, QStringLiteral("Foot")).value(0).section(u' ', -1),
                  QStringLiteral("\"%1/[TotalPages#]\"").arg(p));
    for (int p = 0; p < 3; ++p) {
        plat::TMetafile drawn;
        {
            plat::TMetafileCanvas canvas(drawn);
            f.store()->DrawPage(p, &canvas, 1, 1, 0, 0);
        }
        QStringList texts;
        for (const plat::TMetafileTextItem& t : drawn.TextItems())
            texts << t.text;
        EXPECT_TRUE(texts.contains(QStringLiteral("%1/3").arg(p + 1))) << texts.join(u'|').toStdString();
    }
}

TEST(EnginePages, EmptyDataPrintsAPageOnlyWithPrintIfEmpty)
{
    for (const bool printIfEmpty : {true, false}) {
        Fixture f;
        listing(f, 0);
        f.page->PrintIfEmpty = printIfEmpty;
        ASSERT_TRUE(f.prepare());
        EXPECT_EQ(f.store()->GetPageCount(), printIfEmpty ? 1 : 0) << printIfEmpty;
        if (printIfEmpty)
            expectGolden(QStringLiteral("empty_data"), zdtool::dumpPages(*f.store()));
    }
}

TEST(EnginePages, PreparingTwiceGivesTheSameFile)
{
    Fixture f;
    listing(f, 30);
    f.report.EngineOptions()->DoublePass = true;
    ASSERT_TRUE(f.prepare());
    const QByteArray first = f.zp3();
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.zp3(), first);
}

TEST(EnginePages, TitleAndSummaryPrintOnceAroundTheRows)
{
    Fixture f;
    listing(f, 14);
    f.memo(f.band<TzdReportTitle>(QStringLiteral("ReportTitle1"), 30, 30), QStringLiteral("Title"), 0, 0, 200, 30,
           QStringLiteral("Nadpis"));
    f.memo(f.band<TzdReportSummary>(QStringLiteral("ReportSummary1"), 200, 30), QStringLiteral("Sum"), 0, 0, 200, 30,
           QStringLiteral("Konec"));
    const QString dump = f.dump();
    EXPECT_EQ(objectLines(dump, 1, QStringLiteral("ReportTitle1")).size(), 1);
    EXPECT_EQ(objectLines(dump, 2, QStringLiteral("ReportSummary1")).size(), 1);
    expectGolden(QStringLiteral("title_summary"), dump);
}

TEST(EnginePages, BandTreeErrorsStopTheRunWithTheirTexts)
{
    struct Case {
        const char* name;
        std::function<void(Fixture&)> build;
        const char* key;
        const char* band;
    };
    const std::vector<Case> cases{
        {"header away from its data band",
         [](Fixture& f) {
             f.band<TzdHeader>(QStringLiteral("Header1"), 10, 10);
             f.band<TzdMasterData>(QStringLiteral("MasterData1"), 30, 10)->SetRowCount(2);
             f.band<TzdFooter>(QStringLiteral("Footer1"), 50, 10);
             f.band<TzdFooter>(QStringLiteral("Footer2"), 70, 10);
         },
         "enUnconnHeader", "Footer2"},
        {"detail two levels below its master", [](Fixture& f) {
             f.band<TzdMasterData>(QStringLiteral("MasterData1"), 10, 10)->SetRowCount(2);
             f.band<TzdSubdetailData>(QStringLiteral("SubdetailData1"), 30, 10)->SetRowCount(2);
         },
         "enBandPos", "SubdetailData1"},
        {"group footer without header", [](Fixture& f) {
             f.band<TzdMasterData>(QStringLiteral("MasterData1"), 10, 10)->SetRowCount(2);
             f.band<TzdGroupFooter>(QStringLiteral("GroupFooter1"), 30, 10);
         },
         "enUnconnGFooter", "GroupFooter1"},
        {"group header without data band", [](Fixture& f) {
             f.band<TzdGroupHeader>(QStringLiteral("GroupHeader1"), 30, 10);
         },
         "enUnconnGroup", "GroupHeader1"},
    };
    for (const Case& c : cases) {
        Fixture f;
        c.build(f);
        QStringList errors;
        EXPECT_FALSE(f.prepare(&errors)) << c.name;
        const QString expected =
            zdGetResources()->GetText(QString::fromLatin1(c.key)) + u' ' + QString::fromLatin1(c.band);
        EXPECT_TRUE(errors.contains(expected)) << c.name << ": " << errors.join(u'|').toStdString();
        EXPECT_EQ(f.store()->GetPageCount(), 0) << c.name;
    }
}

TEST(EnginePages, SameDataSetOnReportAndPageIsRefused)
{
    Fixture f;
    listing(f, 3);
    auto* ds = f.rows(QStringLiteral("Other"), 2);
    f.report.SetDataSet(ds);
    f.page->SetDataSet(ds);
    QStringList errors;
    EXPECT_FALSE(f.prepare(&errors));
    EXPECT_TRUE(errors.contains(QStringLiteral("Cannot use the same dataset for Report.DataSet and Page.DataSet")));
}

TEST(EnginePages, TwoBandsAtOneTopLeaveTheSecondOutWithoutError)
{
    Fixture f;
    f.band<TzdMasterData>(QStringLiteral("MasterData1"), 10, 10)->SetRowCount(2);
    f.band<TzdMasterData>(QStringLiteral("MasterData2"), 10.001L, 10)->SetRowCount(2);
    const QString dump = f.dump();
    EXPECT_EQ(objectLines(dump, 1, QStringLiteral("MasterData1")).size(), 2);
    EXPECT_TRUE(objectLines(dump, 1, QStringLiteral("MasterData2")).isEmpty());
}

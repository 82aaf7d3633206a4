// The shell driver: zdreport prepare over a saved template and a data packet.

#include "EngineFixture.h"

#include <QProcess>
#include <QTemporaryDir>

using namespace enginetest;

namespace {

// A data packet of the record table with Count records.
QByteArray packet(int Count)
{
    QByteArray rows;
    for (int i = 1; i <= Count; ++i)
        rows += "<ROW id=\"" + QByteArray::number(i) + "\" kod=\"K" + QByteArray::number(i * 7) + "\"/>";
    return "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
           "<FIELD attrname=\"id\" fieldtype=\"i4\"/><FIELD attrname=\"kod\" fieldtype=\"string\" WIDTH=\"50\"/>"
           "</FIELDS><PARAMS/></METADATA><ROWDATA>"
           + rows + "</ROWDATA></DATAPACKET>";
}

struct ToolRun {
    int exitCode;
    QByteArray out, err;
};

ToolRun zdreport(const QStringList& Args)
{
    QProcess p;
    p.start(QStringLiteral(SORVAMET_BIN_DIR "/zdreport"), QStringList{QStringLiteral("prepare")} + Args);
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

} // namespace

TEST(ZdreportPrepare, PreparesTheRecordTableTwiceIntoTheSameFile)
{
    QTemporaryDir dir;
    const QString templ = dir.filePath(QStringLiteral("labels.zd3"));
    const QString data = dir.filePath(QStringLiteral("data.xml"));
    {
        Fixture f;
        f.memo(f.band<TzdPageHeader>(QStringLiteral("PageHeader1"), 0, 20), QStringLiteral("Head"), 0, 0, 200, 20,
               QStringLiteral("Strana [Page#]"));
        auto* band = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 40, 30);
        band->SetDataSetName(QStringLiteral("zdDBDataset1"));
        f.memo(band, QStringLiteral("Code"), 0, 0, 200, 30, QStringLiteral("[zdDBDataset1.\"kod\"]"));
        f.report.SaveToFile(templ);
    }
    QFile file(data);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(packet(25));
    file.close();
    const QStringList common{templ, QStringLiteral("--data"), data, QStringLiteral("--clock"),
                             QStringLiteral("2024-05-06T07:08:09")};
    const ToolRun first = zdreport(common + QStringList{QStringLiteral("--zp3"), dir.filePath(QStringLiteral("a.zp3")),
                                                     QStringLiteral("--dump"), QStringLiteral("-")});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    // 12 rows of 30 fit under the 20-pixel header (20 + 12 × 30 = 380 > 377.95: 11).
    EXPECT_TRUE(first.out.endsWith("pages: 3\n")) << first.out.toStdString();
    EXPECT_TRUE(first.out.contains("\"K175\"")) << first.out.toStdString();
    const ToolRun second = zdreport(common + QStringList{QStringLiteral("--zp3"), dir.filePath(QStringLiteral("b.zp3"))});
    ASSERT_EQ(second.exitCode, 0) << second.err.toStdString();
    QFile a(dir.filePath(QStringLiteral("a.zp3"))), b(dir.filePath(QStringLiteral("b.zp3")));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const QByteArray bytes = a.readAll();
    EXPECT_FALSE(bytes.isEmpty());
    EXPECT_EQ(bytes, b.readAll());
}

TEST(ZdreportPrepare, MissingTemplateFailsWithAMessage)
{
    const ToolRun r = zdreport({QStringLiteral("/nonexistent/x.zd3")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("zdreport: ")) << r.err.toStdString();
}

// The record table's fields reach the report's own expressions: a sum over
// a numeric field of the packet and a field inside a larger expression.
TEST(ZdreportPrepare, SumsAFieldOfTheRecordTableThroughTheReportsExpressions)
{
    QTemporaryDir dir;
    const QString templ = dir.filePath(QStringLiteral("sum.zd3"));
    const QString data = dir.filePath(QStringLiteral("data.xml"));
    {
        Fixture f;
        auto* band = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 40, 10);
        band->SetDataSetName(QStringLiteral("zdDBDataset1"));
        f.memo(band, QStringLiteral("Code"), 0, 0, 200, 10,
               QStringLiteral("[<zdDBDataset1.\"id\"> * 2] [zdDBDataset1.\"kod\"]"));
        f.memo(f.band<TzdReportSummary>(QStringLiteral("ReportSummary1"), 100, 20), QStringLiteral("Total"), 0, 0,
               200, 20,
               QStringLiteral("[SUM(<zdDBDataset1.\"id\">)] [COUNT(MasterData1)] [MAX(<zdDBDataset1.\"kod\">)]"));
        f.report.SaveToFile(templ);
    }
    QFile file(data);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(packet(5));
    file.close();
    const ToolRun r = zdreport({templ, QStringLiteral("--data"), data, QStringLiteral("--dump"), QStringLiteral("-")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\"10 K35\"")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\"15 5 K7\"")) << r.out.toStdString();
}

// A script that shows a message needs the user interface services: the
// tool answers it headless and passes the text on to standard error.
TEST(ZdreportPrepare, AScriptMessageGoesToStandardError)
{
    QTemporaryDir dir;
    const QString templ = dir.filePath(QStringLiteral("message.zd3"));
    {
        Fixture f;
        f.memo(f.band<TzdReportTitle>(QStringLiteral("ReportTitle1"), 0, 20), QStringLiteral("Title"), 0, 0, 200, 20,
               QStringLiteral("Nadpis"));
        f.report.ScriptText()->SetText(QStringLiteral("begin\n  ShowMessage('Žluťoučký kůň');\nend."));
        f.report.SaveToFile(templ);
    }
    const ToolRun r = zdreport({templ, QStringLiteral("--dump"), QStringLiteral("-")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QString::fromLocal8Bit(r.err).contains(QStringLiteral("zdreport: Žluťoučký kůň"))) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith("pages: 1\n")) << r.out.toStdString();
}

// The record packet of 100 records through zdreport prepare: groups whose
// totals are checked against figures that iconv and xmllint compute from
// the packet, and the label templates the program ships, whose pages are
// read back by barcode decoders.

#include "EngineFixture.h"
#include "zdToolRunner.h"
#include "../Decoders.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>

using namespace enginetest;

namespace {

const QString kPacket = QStringLiteral(SORVAMET_TEST_DATA "/records100.xml");
const QString kShipped = QStringLiteral(SORVAMET_BIN_DIR "/Ses/");

zdtest::ToolResult prepareTool(const QStringList& Args)
{
    return zdtest::runTool(QStringLiteral(SORVAMET_BIN_DIR "/zdreport"), QStringList{QStringLiteral("prepare")} + Args);
}

// The packet as UTF-8 (it is stored in code page 1250), by iconv.
QString utf8Packet(const QTemporaryDir& Dir)
{
    QFile in(kPacket);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly));
    const zdtest::ToolResult r =
        zdtest::runTool(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("CP1250"), QStringLiteral("-t"),
                                                  QStringLiteral("UTF-8")},
                        in.readAll());
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString path = Dir.filePath(QStringLiteral("packet-utf8.xml"));
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(r.out);
    return path;
}

QString xpath(const QString& File, const QString& Expression)
{
    const zdtest::ToolResult r = zdtest::runTool(QStringLiteral("xmllint"), {QStringLiteral("--xpath"), Expression, File});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return QString::fromUtf8(r.out).trimmed();
}

// Every code of the packet, sorted, by xmllint.
QStringList packetCodes(const QString& Utf8Packet)
{
    QStringList codes;
    static const QRegularExpression attr(QStringLiteral("kod=\"([^\"]*)\""));
    for (auto it = attr.globalMatch(xpath(Utf8Packet, QStringLiteral("//ROW/@kod"))); it.hasNext();)
        codes << it.next().captured(1);
    codes.sort();
    return codes;
}

bool checkersPresent(std::initializer_list<const char*> Tools)
{
    for (const char* t : Tools)
        if (!zdtest::toolAvailable(QString::fromLatin1(t)))
            return false;
    return true;
}

} // namespace

TEST(RecordPacket, GroupTotalsEqualThePacketsFigures)
{
    if (!checkersPresent({"iconv", "xmllint"}))
        GTEST_SKIP() << "iconv or xmllint missing";
    QTemporaryDir dir;
    const QString templ = dir.filePath(QStringLiteral("groups.zd3"));
    {
        Fixture f;
        f.page->SetPaperFormat(256, 100, 2000);
        auto* header = f.band<TzdGroupHeader>(QStringLiteral("GroupHeader1"), 10, 10);
        header->Condition = QStringLiteral("zdDBDataset1.\"pole1\"");
        f.memo(header, QStringLiteral("Skupina"), 0, 0, 300, 10, QStringLiteral("[zdDBDataset1.\"pole1\"]"));
        auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 30, 10);
        data->SetDataSetName(QStringLiteral("zdDBDataset1"));
        f.memo(data, QStringLiteral("Kod"), 0, 0, 300, 10, QStringLiteral("[zdDBDataset1.\"kod\"]"));
        auto* footer = f.band<TzdGroupFooter>(QStringLiteral("GroupFooter1"), 50, 10);
        f.memo(footer, QStringLiteral("Soucty"), 0, 0, 300, 10,
               QStringLiteral("[zdDBDataset1.\"pole1\"]|[COUNT(MasterData1)]|[SUM(<zdDBDataset1.\"id\">)]"));
        f.report.SaveToFile(templ);
    }
    const zdtest::ToolResult r = prepareTool({templ, QStringLiteral("--data"), kPacket, QStringLiteral("--clock"),
                                              QStringLiteral("2024-05-06T07:08:09"), QStringLiteral("--dump"),
                                              QStringLiteral("-")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString dump = QString::fromUtf8(r.out);
    expectGolden(QStringLiteral("groups_records"), dump.left(dump.lastIndexOf(QStringLiteral("pages: "))));
    const QString utf8 = utf8Packet(dir);
    QStringList footers;
    for (const QString& l : linesWith(dump, QString()))
        if (l.contains(u" Soucty "))
            footers << l.section(u'"', 1, 1);
    ASSERT_EQ(footers.size(), 3) << dump.toStdString();
    for (const QString& footer : footers) {
        const QStringList parts = footer.split(u'|');
        ASSERT_EQ(parts.size(), 3) << footer.toStdString();
        const QString rows = QStringLiteral("//ROW[@pole1='%1']").arg(parts[0]);
        EXPECT_EQ(parts[1], xpath(utf8, QStringLiteral("count(%1)").arg(rows))) << footer.toStdString();
        EXPECT_EQ(parts[2], xpath(utf8, QStringLiteral("sum(%1/@id)").arg(rows))) << footer.toStdString();
    }
}

TEST(ShippedTemplates, Code128SheetDecodesToExactlyThePacketsCodes)
{
    if (!checkersPresent({"iconv", "xmllint", "zbarimg"}))
        GTEST_SKIP() << "iconv, xmllint or zbarimg missing";
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("png"));
    const zdtest::ToolResult r = prepareTool({kShipped + QStringLiteral("Code128.zd3"), QStringLiteral("--data"), kPacket,
                                              QStringLiteral("--png"), png, QStringLiteral("--dpi"), QStringLiteral("300")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // One zbarimg run reads every page (the codes are sorted below).
    QStringList args{QStringLiteral("-q"), QStringLiteral("--raw")};
    for (const QString& page : QDir(png).entryList({QStringLiteral("*.png")}))
        args << png + u'/' + page;
    ASSERT_GT(args.size(), 2);
    const zdtest::ToolResult z = zdtest::runTool(QStringLiteral("zbarimg"), args);
    QStringList decoded;
    for (const QString& line : QString::fromUtf8(z.out).split(u'\n', Qt::SkipEmptyParts))
        decoded << line.trimmed();
    decoded.sort();
    EXPECT_EQ(decoded, packetCodes(utf8Packet(dir)));
}

namespace {

// Each label cell of the prepared pages cut out of the 300 dpi page images
// (several linear codes on one page are more than ZXingReader reads) and
// decoded alone.
QStringList decodeCellsWithZXing(const QString& Template, const QTemporaryDir& Dir)
{
    const QString png = Dir.filePath(QStringLiteral("png"));
    const zdtest::ToolResult r =
        prepareTool({Template, QStringLiteral("--data"), kPacket, QStringLiteral("--png"), png, QStringLiteral("--dpi"),
                     QStringLiteral("300"), QStringLiteral("--dump"), QStringLiteral("-")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const double scale = 300.0 / 96.0;
    const double margin = 10 * double(zd01cm); // the templates' margins
    QStringList cells, decoded;
    int cell = 0;
    QImage page;
    int pageNo = 0;
    for (const QString& l : QString::fromUtf8(r.out).split(u'\n')) {
        if (l.section(u' ', 1, 1) != u"b1")
            continue;
        const int p = l.section(u' ', 0, 0).toInt();
        if (p != pageNo) {
            pageNo = p;
            page.load(png + QStringLiteral("/page%1.png").arg(p, 3, 10, QChar(u'0')));
        }
        const double x = (margin + l.section(u' ', 4, 4).toDouble()) * scale;
        const double y = (margin + l.section(u' ', 5, 5).toDouble()) * scale;
        const double w = 239.37 * scale, h = l.section(u' ', 7, 7).toDouble() * scale;
        const QString file = Dir.filePath(QStringLiteral("cell%1.png").arg(++cell));
        page.copy(int(x), int(y), int(w), int(h)).save(file);
        cells << file;
    }
    // One ZXingReader run reads every cell.
    for (const zdtest::ReadSymbols& symbols : zdtest::zxingRead(cells))
        for (const zdtest::ReadSymbol& symbol : symbols)
            decoded << symbol.text;
    decoded.sort();
    return decoded;
}

} // namespace

// The two label templates in suites of their own, which run side by side.
TEST(ShippedEan13Labels, DecodeToExactlyThePacketsCodes)
{
    if (!checkersPresent({"iconv", "xmllint", "ZXingReader"}))
        GTEST_SKIP() << "iconv, xmllint or ZXingReader missing";
    QTemporaryDir dir;
    EXPECT_EQ(decodeCellsWithZXing(kShipped + QStringLiteral("EAN13.zd3"), dir), packetCodes(utf8Packet(dir)));
}

TEST(ShippedQrLabels, DecodeToExactlyThePacketsCodes)
{
    if (!checkersPresent({"iconv", "xmllint", "ZXingReader"}))
        GTEST_SKIP() << "iconv, xmllint or ZXingReader missing";
    QTemporaryDir dir;
    EXPECT_EQ(decodeCellsWithZXing(kShipped + QStringLiteral("QR.zd3"), dir), packetCodes(utf8Packet(dir)));
}

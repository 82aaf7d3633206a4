// Prepared reports through the zdreport tool: the synthetic writer, render
// and resave, checked with zbarimg, xmllint and gzip.

#include "zdToolRunner.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kTool = QStringLiteral(SORVAMET_BIN_DIR "/zdreport");

QByteArray fileBytes(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

zdtest::ToolResult zdreport(const QStringList& args)
{
    return zdtest::runTool(kTool, args);
}

QStringList pngs(const QString& dir)
{
    return QDir(dir).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
}

// Every picture of a against the one of the same name in b. Both folders
// are written by the same code of the tool (writePagePNGs), which encodes
// equal pixels to equal bytes, so equal files are equal pictures: the bytes
// are compared, and each picture's header is read for its size (the first
// pair is also decoded and compared pixel by pixel).
void expectSamePictures(const QString& a, const QString& b, int count)
{
    const QStringList names = pngs(a);
    ASSERT_EQ(names.size(), count);
    EXPECT_EQ(pngs(b), names);
    for (const QString& name : names) {
        const QString x = QDir(a).filePath(name), y = QDir(b).filePath(name);
        const QSize size = QImageReader(x, "png").size();
        ASSERT_TRUE(size.isValid()) << qPrintable(name);
        EXPECT_EQ(QImageReader(y, "png").size(), size) << qPrintable(name);
        EXPECT_TRUE(fileBytes(x) == fileBytes(y)) << qPrintable(name);
    }
    const QImage first(QDir(a).filePath(names.first())), second(QDir(b).filePath(names.first()));
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(first == second);
}

// Writes a synthetic report; the tool's summary lines are checked.
void synthetic(const QStringList& args, bool expectPagedOut)
{
    const zdtest::ToolResult r = zdreport(QStringList{QStringLiteral("--synthetic")} + args);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(expectPagedOut ? "paged out yes" : "paged out no")) << r.out.toStdString();
}

bool toolsAvailable(std::initializer_list<const char*> programs)
{
    if (!QFile::exists(kTool))
        return false;
    for (const char* p : programs)
        if (!zdtest::toolAvailable(QString::fromLatin1(p)))
            return false;
    return true;
}

void expectGzipMember(const QString& file)
{
    EXPECT_EQ(zdtest::runTool(QStringLiteral("gzip"), {QStringLiteral("-t"), file}).exitCode, 0);
    const QByteArray head = fileBytes(file).left(16);
    ASSERT_EQ(head.size(), 16);
    EXPECT_TRUE(head.startsWith("\x1f\x8b\x08"));
    EXPECT_EQ(quint8(head[3]) & 8, 8); // a stored name
    EXPECT_EQ(head.mid(10, 6), QByteArray("1.zp3\0", 6));
}

} // namespace

TEST(zdreportStore, RenderedPagesCarryTheirBarcodes)
{
    if (!toolsAvailable({"zbarimg"}))
        GTEST_SKIP() << "zdreport or zbarimg missing";
    QTemporaryDir dir;
    const QString zp3 = dir.filePath(QStringLiteral("s.zp3"));
    const QString live = dir.filePath(QStringLiteral("live"));
    synthetic({QStringLiteral("3"), QStringLiteral("22"), zp3, QStringLiteral("--png"), live, QStringLiteral("--dpi"),
               QStringLiteral("144")},
              false);
    const QString rendered = dir.filePath(QStringLiteral("rendered"));
    const zdtest::ToolResult r = zdreport({QStringLiteral("render"), zp3, QStringLiteral("--png"), rendered,
                                           QStringLiteral("--dpi"), QStringLiteral("144")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The file draws as the store that wrote it did.
    expectSamePictures(live, rendered, 3);
    // One zbarimg run reads the pages in order, one symbol a page.
    QStringList pages{QStringLiteral("-q")}, expected;
    for (int page = 1; page <= 3; ++page) {
        pages << QDir(rendered).filePath(QStringLiteral("page-%1.png").arg(page, 4, 10, QLatin1Char('0')));
        expected << QStringLiteral("CODE-128:Strana %1").arg(page);
    }
    const zdtest::ToolResult z = zdtest::runTool(QStringLiteral("zbarimg"), pages);
    EXPECT_EQ(QString::fromUtf8(z.out).trimmed().split(u'\n'), expected);
    // At 96 dpi an A4 page is 794 x 1123 pixels.
    const QString plain = dir.filePath(QStringLiteral("plain"));
    ASSERT_EQ(zdreport({QStringLiteral("render"), zp3, QStringLiteral("--png"), plain}).exitCode, 0);
    EXPECT_EQ(QImage(QDir(plain).filePath(QStringLiteral("page-0001.png"))).size(), QSize(794, 1123));
}

TEST(zdreportStore, ResaveOfAPreparedReportIsByteIdentical)
{
    if (!toolsAvailable({"gzip"}))
        GTEST_SKIP() << "zdreport or gzip missing";
    QTemporaryDir dir;
    for (bool compressed : {false, true}) {
        const QString a = dir.filePath(compressed ? QStringLiteral("c.zp3") : QStringLiteral("p.zp3"));
        const QString b = a + QStringLiteral(".again");
        QStringList args{QStringLiteral("7"), QStringLiteral("30"), a};
        if (compressed)
            args << QStringLiteral("--compressed");
        synthetic(args, false);
        const zdtest::ToolResult r = zdreport({QStringLiteral("resave"), a, b});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(fileBytes(a), fileBytes(b)) << compressed;
        if (compressed)
            expectGzipMember(b);
        else
            EXPECT_TRUE(fileBytes(b).startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
    }
}

// A suite of its own, beside the others: many short runs of the tool.
TEST(zdreportStoreInput, BadInputFailsWithAMessage)
{
    if (!toolsAvailable({}))
        GTEST_SKIP() << "zdreport missing";
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    // Bad command lines: the usage, exit 2.
    for (const QStringList& args :
         {QStringList{QStringLiteral("render"), QStringLiteral("x.zp3")},
          QStringList{QStringLiteral("render"), QStringLiteral("x.zp3"), QStringLiteral("--png"), out,
                      QStringLiteral("--dpi"), QStringLiteral("0")},
          QStringList{QStringLiteral("--synthetic"), QStringLiteral("0"), QStringLiteral("4"), out},
          QStringList{QStringLiteral("--synthetic"), QStringLiteral("2"), QStringLiteral("4")},
          QStringList{QStringLiteral("--synthetic"), QStringLiteral("2"), QStringLiteral("4"), out,
                      QStringLiteral("--max-mem"), QStringLiteral("lots")}})
        EXPECT_EQ(zdreport(args).exitCode, 2) << qPrintable(args.join(u' '));
    // Missing, damaged and foreign files: a message, exit 1, nothing written.
    const QString damaged = dir.filePath(QStringLiteral("damaged.zp3"));
    {
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("\x1f\x8b\x08\x08\0\0\0\0\0\0" "1.zp3\0garbage, not deflate data", 38));
    }
    const QString foreign = dir.filePath(QStringLiteral("foreign.zp3"));
    {
        QFile f(foreign);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<preparedreport><previewpages><page0");
    }
    for (const QString& in : {dir.filePath(QStringLiteral("none.zp3")), damaged, foreign}) {
        const zdtest::ToolResult r = zdreport({QStringLiteral("render"), in, QStringLiteral("--png"), out});
        EXPECT_EQ(r.exitCode, 1) << qPrintable(in);
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_TRUE(pngs(out).isEmpty());
        EXPECT_EQ(zdreport({QStringLiteral("resave"), in, out + QStringLiteral(".zp3")}).exitCode, 1) << qPrintable(in);
        EXPECT_FALSE(QFile::exists(out + QStringLiteral(".zp3")));
    }
}

// The full-size oracle, in suites of their own so that they run beside
// the others and beside each other: the same 500 pages written by a store
// that keeps them in memory and by one that pages out at once.
TEST(zdreportStorePagedOut, MemoryAndPagedOutStoresGiveTheSameFilesAndPixels)
{
    if (!toolsAvailable({}))
        GTEST_SKIP() << "zdreport missing";
    QTemporaryDir dir;
    const QString temp = dir.filePath(QStringLiteral("temp"));
    ASSERT_TRUE(QDir().mkpath(temp));
    const QString memory = dir.filePath(QStringLiteral("memory.zp3"));
    const QString paged = dir.filePath(QStringLiteral("paged.zp3"));
    // The two stores write side by side.
    const std::vector<zdtest::ToolResult> runs = zdtest::runToolsTogether(
        {{kTool,
          {QStringLiteral("--synthetic"), QStringLiteral("500"), QStringLiteral("40"), memory, QStringLiteral("--png"),
           dir.filePath(QStringLiteral("memory"))}},
         {kTool,
          {QStringLiteral("--synthetic"), QStringLiteral("500"), QStringLiteral("40"), paged, QStringLiteral("--max-mem"),
           QStringLiteral("1"), QStringLiteral("--pages-in-cache"), QStringLiteral("1"), QStringLiteral("--temp-dir"),
           temp, QStringLiteral("--png"), dir.filePath(QStringLiteral("paged"))}}});
    for (std::size_t i = 0; i < runs.size(); ++i) {
        ASSERT_EQ(runs[i].exitCode, 0) << runs[i].err.toStdString();
        EXPECT_TRUE(runs[i].out.contains(i == 1 ? "paged out yes" : "paged out no")) << runs[i].out.toStdString();
    }
    // The store's temporary files (pages and pictures) went with it.
    EXPECT_TRUE(QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    const QByteArray bytes = fileBytes(memory);
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_TRUE(bytes == fileBytes(paged));
    expectSamePictures(dir.filePath(QStringLiteral("memory")), dir.filePath(QStringLiteral("paged")), 500);
}

// The same 500 pages without pictures (the tool writes the same file with
// --png or without): the file xmllint reads, and save, load, save giving
// the same bytes, plain and compressed.
TEST(zdreportStoreResave, FullSizeFileIsValidAndResavesToTheSameBytesPlainAndCompressed)
{
    if (!toolsAvailable({"xmllint", "gzip"}))
        GTEST_SKIP() << "zdreport, xmllint or gzip missing";
    QTemporaryDir dir;
    const QString memory = dir.filePath(QStringLiteral("memory.zp3"));
    const QString packed = dir.filePath(QStringLiteral("packed.zp3"));
    std::vector<zdtest::ToolResult> runs = zdtest::runToolsTogether(
        {{kTool, {QStringLiteral("--synthetic"), QStringLiteral("500"), QStringLiteral("40"), memory}},
         {kTool,
          {QStringLiteral("--synthetic"), QStringLiteral("500"), QStringLiteral("40"), packed,
           QStringLiteral("--compressed")}}});
    for (const zdtest::ToolResult& r : runs) {
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains("paged out no")) << r.out.toStdString();
    }
    const QByteArray bytes = fileBytes(memory);
    ASSERT_FALSE(bytes.isEmpty());

    EXPECT_EQ(zdtest::runTool(QStringLiteral("xmllint"), {QStringLiteral("--noout"), memory}).exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(zdtest::runTool(QStringLiteral("xmllint"),
                                                {QStringLiteral("--xpath"),
                                                 QStringLiteral("count(/preparedreport/previewpages/*)"), memory})
                                    .out)
                  .trimmed(),
              QStringLiteral("500"));
    EXPECT_EQ(QString::fromUtf8(zdtest::runTool(QStringLiteral("xmllint"),
                                                {QStringLiteral("--xpath"),
                                                 QStringLiteral("count(/preparedreport/picturecache/item)"), memory})
                                    .out)
                  .trimmed()
                  .toInt(),
              643); // the first picture and a new one every 7th of 500 × 9 rows

    // Save, load, save: the same bytes, plain and compressed.
    const QString again = dir.filePath(QStringLiteral("again.zp3"));
    const QString packedAgain = dir.filePath(QStringLiteral("packed-again.zp3"));
    expectGzipMember(packed);
    runs = zdtest::runToolsTogether({{kTool, {QStringLiteral("resave"), memory, again}},
                                     {kTool, {QStringLiteral("resave"), packed, packedAgain}}});
    ASSERT_EQ(runs[0].exitCode, 0) << runs[0].err.toStdString();
    ASSERT_EQ(runs[1].exitCode, 0) << runs[1].err.toStdString();
    EXPECT_TRUE(fileBytes(again) == bytes);
    EXPECT_TRUE(fileBytes(packedAgain) == fileBytes(packed));
    expectGzipMember(packedAgain);
    // The member holds the plain file.
    const zdtest::ToolResult unpacked = zdtest::runTool(QStringLiteral("gzip"), {QStringLiteral("-dc"), packed});
    EXPECT_TRUE(unpacked.out == bytes);
}

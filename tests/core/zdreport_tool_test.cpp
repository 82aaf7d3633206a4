// The zdreport tool: it draws every object of a fixture template (each
// shape kind, lines with arrows, pictures of every format and way of
// drawing, check boxes, gradients), which PIL checks at chosen pixels; and
// it saves templates again, the same bytes every time, valid XML.

#include "zdToolRunner.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdCrypt.h"
#include "zdModelFixture.h"
#include "zdZLib.h"

#include <QFile>
#include <QTemporaryDir>

#include "../TestUtil.h"
#include <gtest/gtest.h>

namespace {

const QString kTool = QStringLiteral(SORVAMET_BIN_DIR "/zdreport");
const QString kFixture = QStringLiteral(SORVAMET_TEST_DATA "/objects/objects.zd3");
const QString kPython = QStringLiteral("/usr/bin/python3");

zdtest::ToolResult tool(const QStringList& args)
{
    return zdtest::runTool(kTool, args);
}

} // namespace

TEST(zdreportTool, DrawsEveryObjectKindOfTheFixture)
{
    if (!QFile::exists(kTool) || zdtest::runTool(kPython, {QStringLiteral("-c"), QStringLiteral("import PIL")}).exitCode)
        GTEST_SKIP() << "zdreport or python3 with PIL missing";
    QTemporaryDir dir;
    const QStringList objects = {"Rect1", "Round1",    "Ellipse1", "Triangle1", "Diamond1", "Diag1",    "Diag2",
                                 "Arrows1", "Vertical1", "Slant1", "Png1",      "Jpeg1",    "Bmp1",     "Wmf1",
                                 "Emf1",    "Natural1",  "Check1", "Cross1",    "Minus1",   "Gradient1", "Gradient2"};
    // One run draws them all: starting the tool costs more than drawing.
    QStringList args{QStringLiteral("draw")};
    for (const QString& name : objects)
        args << kFixture << name << dir.filePath(name + ".png");
    const zdtest::ToolResult drawn = tool(args);
    ASSERT_EQ(drawn.exitCode, 0) << drawn.err.toStdString();
    for (const QString& name : objects)
        ASSERT_TRUE(QFile::exists(dir.filePath(name + ".png"))) << name.toStdString();
    const zdtest::ToolResult scaled =
        tool({QStringLiteral("draw"), kFixture, QStringLiteral("Rect1"), dir.filePath("Rect1@2.png"), kFixture,
              QStringLiteral("Gradient1"), dir.filePath("Gradient1@2.png"), QStringLiteral("--scale"),
              QStringLiteral("2")});
    ASSERT_EQ(scaled.exitCode, 0) << scaled.err.toStdString();
    const zdtest::ToolResult printed =
        tool({QStringLiteral("draw"), kFixture, QStringLiteral("Png1"), dir.filePath("Png1@300dpi.png"),
              QStringLiteral("--printer-dpi"), QStringLiteral("300")});
    ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();
    const zdtest::ToolResult check =
        zdtest::runTool(kPython, {QStringLiteral(SORVAMET_TEST_DATA "/objects/check_draws.py"), dir.path()});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
}

TEST(zdreportTool, DrawsRotatedJustifiedTaggedTextInsideItsRectangle)
{
    if (!QFile::exists(kTool) || zdtest::runTool(kPython, {QStringLiteral("-c"), QStringLiteral("import PIL")}).exitCode)
        GTEST_SKIP() << "zdreport or python3 with PIL missing";
    const QString memos = QStringLiteral(SORVAMET_TEST_DATA "/objects/memo.zd3");
    QTemporaryDir dir;
    QStringList args{QStringLiteral("draw")};
    for (const QString& name : {QStringLiteral("Rotated1"), QStringLiteral("Unclipped1"), QStringLiteral("Framed1")})
        args << memos << name << dir.filePath(name + ".png");
    const zdtest::ToolResult drawn = tool(args);
    ASSERT_EQ(drawn.exitCode, 0) << drawn.err.toStdString();
    const zdtest::ToolResult printed =
        tool({QStringLiteral("draw"), memos, QStringLiteral("Rotated1"), dir.filePath("Rotated1@300dpi.png"),
              QStringLiteral("--printer-dpi"), QStringLiteral("300")});
    ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();
    const zdtest::ToolResult check =
        zdtest::runTool(kPython, {QStringLiteral(SORVAMET_TEST_DATA "/objects/check_memo.py"), dir.path()});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();

    // Saved again, the memos keep their text and switches, the same bytes each time.
    const QString once = dir.filePath(QStringLiteral("once.zd3"));
    const QString twice = dir.filePath(QStringLiteral("twice.zd3"));
    ASSERT_EQ(tool({QStringLiteral("resave"), memos, once}).exitCode, 0);
    ASSERT_EQ(tool({QStringLiteral("resave"), once, twice}).exitCode, 0);
    const QByteArray saved = fileBytes(once);
    EXPECT_EQ(saved, fileBytes(twice));
    for (const char* part : {"<TzdMemoView Name=\"Rotated1\"", "Rotation=\"90\"", "HAlign=\"haBlock\"",
                             "AllowHTMLTags=\"True\"", "Clipped=\"False\"", "Text=\"Příliš &#60;b&#62;"})
        EXPECT_TRUE(saved.contains(part)) << part << "\n" << saved.constData();
}

TEST(zdreportToolResave, ResavingTwiceGivesTheSameValidFile)
{
    if (!QFile::exists(kTool))
        GTEST_SKIP() << "zdreport missing";
    QTemporaryDir dir;
    const QString once = dir.filePath(QStringLiteral("once.zd3"));
    const QString twice = dir.filePath(QStringLiteral("twice.zd3"));
    for (const QString& in : {kFixture, QStringLiteral(SORVAMET_TEST_DATA "/model/template.zd3")}) {
        ASSERT_EQ(tool({QStringLiteral("resave"), in, once}).exitCode, 0);
        ASSERT_EQ(tool({QStringLiteral("resave"), once, twice}).exitCode, 0);
        const QByteArray first = fileBytes(once);
        EXPECT_FALSE(first.isEmpty());
        EXPECT_EQ(first, fileBytes(twice)) << in.toStdString();
        if (zdtest::toolAvailable(QStringLiteral("xmllint"))) {
            const zdtest::ToolResult lint = zdtest::runTool(QStringLiteral("xmllint"), {QStringLiteral("--noout"), once});
            EXPECT_EQ(lint.exitCode, 0) << lint.err.toStdString();
        }
    }
    // What the library knows survives; what it does not is kept as it was.
    const QByteArray saved = fileBytes(once);
    EXPECT_TRUE(saved.contains("<TzdTestMemo Name=\"Memo1\"")) << saved.left(400).constData();
}

TEST(zdreportToolResave, KeepsTheObjectsAndTheRestOfTheTemplate)
{
    if (!QFile::exists(kTool))
        GTEST_SKIP() << "zdreport missing";
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.zd3"));
    ASSERT_EQ(tool({QStringLiteral("resave"), kFixture, out}).exitCode, 0);
    const QByteArray saved = fileBytes(out);
    for (const char* part : {"<TzdReport Version=\"5.6.18\"", " ScriptLanguage=\"PascalScript\"", "<item Name=\"Cena\" Value=\"12,50\"/>",
                             "<TzdMasterData Name=\"MasterData1\"", "<TzdShapeView Name=\"Diamond1\"",
                             "Shape=\"skDiamond\"", "<TzdCheckBoxView Name=\"Minus1\"", "UncheckStyle=\"usMinus\"",
                             "Picture.PropData=\"04446174610A"})
        EXPECT_TRUE(saved.contains(part)) << part;
}

TEST(zdreportToolResave, ResavingKeepsCompressionAndEncryption)
{
    if (!QFile::exists(kTool))
        GTEST_SKIP() << "zdreport missing";
    zdtest::startReportLibrary();
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.zd3"));
    {
        TzdGZipCompressor compressor(nullptr);
        TzdCrypt crypter(nullptr);
        TzdReport report;
        auto* page = new TzdReportPage(&report);
        page->SetParent(&report);
        page->SetName(QStringLiteral("Page1"));
        report.ReportOptions()->Name = QStringLiteral("Šifrovaná");
        report.ReportOptions()->Compressed = true;
        report.ReportOptions()->Password = QStringLiteral("tajné");
        report.SaveToFile(in);
    }
    const QString once = dir.filePath(QStringLiteral("once.zd3"));
    const QString twice = dir.filePath(QStringLiteral("twice.zd3"));
    const QStringList password{QStringLiteral("--password"), QStringLiteral("tajné")};
    ASSERT_EQ(tool(QStringList{QStringLiteral("resave"), in, once} + password).exitCode, 0);
    const zdtest::ToolResult second = tool(QStringList{QStringLiteral("resave"), once, twice} + password);
    ASSERT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_EQ(fileBytes(once), fileBytes(twice));
    EXPECT_EQ(zdtest::runTool(QStringLiteral("gzip"), {QStringLiteral("-t"), once}).exitCode, 0);
    const QByteArray plain = zdtest::runTool(QStringLiteral("gzip"), {QStringLiteral("-dc"), once}).out;
    EXPECT_TRUE(plain.startsWith("rij")) << plain.left(20).constData();
    // Without the password nothing can be read.
    EXPECT_EQ(tool({QStringLiteral("resave"), once, dir.filePath(QStringLiteral("x.zd3"))}).exitCode, 1);
}

// The suites of the tool run side by side.
TEST(zdreportToolInput, RefusesBadInputWithAMessage)
{
    if (!QFile::exists(kTool))
        GTEST_SKIP() << "zdreport missing";
    QTemporaryDir dir;
    struct Case {
        QStringList args;
        int exitCode;
    };
    QFile bad(dir.filePath(QStringLiteral("bad.zd3")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("<TzdReport><unclosed");
    bad.close();
    const Case cases[] = {
        {{}, 2},
        {{"frobnicate"}, 2},
        {{"draw", kFixture, "Rect1"}, 2},
        {{"draw", kFixture, "Rect1", dir.filePath("x.png"), "--scale", "0"}, 2},
        {{"draw", kFixture, "Rect1", dir.filePath("x.png"), "--zoom", "2"}, 2},
        {{"draw", kFixture, "NoSuchObject", dir.filePath("x.png")}, 1},
        {{"draw", kFixture, "MasterData1", dir.filePath("x.png")}, 1},
        {{"draw", dir.filePath("missing.zd3"), "Rect1", dir.filePath("x.png")}, 1},
        {{"draw", kFixture, "Rect1", dir.filePath("first.png"), kFixture}, 2},
        {{"draw", kFixture, "Rect1", dir.filePath("first.png"), kFixture, "NoSuchObject", dir.filePath("x.png")}, 1},
        {{"resave", bad.fileName(), dir.filePath("y.zd3")}, 1},
    };
    for (const Case& c : cases) {
        const zdtest::ToolResult r = tool(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("x.png")));
    EXPECT_FALSE(QFile::exists(dir.filePath("y.zd3")));
}

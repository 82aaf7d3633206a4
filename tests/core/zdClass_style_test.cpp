// Styles: items with their defaults and colours, unique names, style files
// read whole before they replace a set (saved again byte for byte, valid
// for xmllint), style sheets, and restyling a report's text objects.

#include "Exceptions.h"
#include "Graphics.h"
#include "StringList.h"
#include "Streams.h"
#include "zdClass_memo.h"
#include "zdClass_style.h"
#include "zdModelFixture.h"
#include "zdToolRunner.h"
#include "zdXMLSerializer.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray saved(TzdStyles& styles)
{
    plat::TMemoryStream stream;
    styles.SaveToStream(stream);
    return stream.bytes();
}

void load(TzdStyles& styles, const QByteArray& bytes)
{
    plat::TMemoryStream stream(bytes);
    styles.LoadFromStream(stream);
}

const QByteArray kHeader = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n");

} // namespace

TEST(zdStyles, NewStyleWritesOnlyItsName)
{
    TzdStyles styles;
    TzdStyleItem* item = styles.Add();
    EXPECT_EQ(item->Font()->Name(), QStringLiteral("Arial"));
    EXPECT_EQ(item->Font()->Size(), 10);
    EXPECT_EQ(item->FillType(), ftBrush);
    EXPECT_TRUE(item->ApplyFont && item->ApplyFill && item->ApplyFrame);
    item->SetName(QStringLiteral("Head"));
    TzdXMLSerializer serializer(nullptr);
    const QByteArray text = serializer.PropertiesToText(item, QByteArray(), nullptr);
    EXPECT_TRUE(text.startsWith(" Name=\"Head\" Font.")) << text.constData();
    EXPECT_TRUE(text.contains(" Font.Name=\"Arial\"")) << text.constData();
    for (const char* left : {"Apply", "FillType", "Fill.", "Frame.", " Color=", "Charset"})
        EXPECT_FALSE(text.contains(left)) << left << " in " << text.constData();
}

TEST(zdStyles, ColourByFillKind)
{
    TzdStyles styles;
    TzdStyleItem* item = styles.Add();
    item->SetColor(plat::clRed);
    EXPECT_EQ(item->Color(), plat::clRed);
    item->SetFillType(ftBrush); // the same kind keeps the fill
    EXPECT_EQ(item->Color(), plat::clRed);
    item->SetFillType(ftGradient); // another kind starts afresh: white to black
    EXPECT_EQ(item->Color(), 0x808080);
    item->SetColor(plat::clRed);
    EXPECT_EQ(item->Color(), 0x808080);
    item->SetFillType(ftGlass);
    EXPECT_EQ(item->Color(), plat::clNone);
    EXPECT_EQ(plat::clNone, 0x1FFFFFFF);
    // Reading a Color attribute sets a brush fill's background.
    TzdXMLSerializer serializer(nullptr);
    TzdStyleItem* read = styles.Add();
    serializer.TextToProperties(QByteArrayLiteral(" Color=\"255\""), read);
    EXPECT_EQ(read->Color(), plat::clRed);
}

TEST(zdStyles, NamesAreUniqueWhateverTheCase)
{
    TzdStyles styles;
    styles.Add()->SetName(QStringLiteral("Style1"));
    TzdStyleItem* third = styles.Add();
    third->SetName(QStringLiteral("Style3"));
    TzdStyleItem* item = styles.Add();
    item->MakeUniqueName();
    EXPECT_EQ(item->Name(), QStringLiteral("Style2"));
    third->SetName(QStringLiteral("STYLE3"));
    EXPECT_EQ(third->Name(), QStringLiteral("STYLE3"));
    try {
        third->SetName(QStringLiteral("style1"));
        FAIL() << "a duplicate name was taken";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Duplicate name"));
    }
    EXPECT_EQ(third->Name(), QStringLiteral("STYLE3"));
    EXPECT_EQ(styles.Find(QStringLiteral("stYle2")), item);
    EXPECT_EQ(styles.Find(QStringLiteral("none")), nullptr);
    // Assign copies the name even when the set has it already.
    TzdStyleItem* copy = styles.Add();
    copy->Assign(third);
    EXPECT_EQ(copy->Name(), QStringLiteral("STYLE3"));
    plat::TStringList names;
    styles.GetList(names);
    EXPECT_EQ(names.Count(), 4);
    EXPECT_EQ(names.Strings(3), QStringLiteral("STYLE3"));
}

TEST(zdStyles, FileLoadsSavesTheSameBytesAndIsValidXml)
{
    const QByteArray file =
        kHeader
        + "<style Name=\"Firemní\">\r\n"
          "  <item Name=\"Nadpis\" Font.Color=\"-16777208\" Font.Height=\"-21\" Font.Name=\"Arial\" Font.Style=\"1\""
          " Frame.Typ=\"15\" ApplyFrame=\"False\"/>\r\n"
          "  <item Name=\"Pozadí\" Font.Color=\"-16777208\" Font.Height=\"-13\" Font.Name=\"Times New Roman\" Font.Style=\"0\""
          " FillType=\"ftGradient\" Fill.StartColor=\"255\" Fill.GradientStyle=\"gsVertical\"/>\r\n"
          "  <item Name=\"Sklo\" Font.Color=\"255\" Font.Height=\"-13\" Font.Name=\"Arial\" Font.Style=\"0\""
          " FillType=\"ftGlass\" Fill.Blend=\"0.3\"/>\r\n"
          "</style>\r\n";
    TzdStyles styles;
    load(styles, file);
    ASSERT_EQ(styles.Count(), 3);
    EXPECT_EQ(styles.Name, QStringLiteral("Firemní"));
    EXPECT_EQ(styles.Items(1)->FillType(), ftGradient);
    EXPECT_FALSE(styles.Items(0)->ApplyFrame);
    const QByteArray again = saved(styles);
    EXPECT_EQ(again.toStdString(), file.toStdString());

    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("firemni.zds"));
    styles.SaveToFile(name);
    TzdStyles fromFile;
    fromFile.LoadFromFile(name);
    EXPECT_EQ(saved(fromFile).toStdString(), file.toStdString());
    if (zdtest::toolAvailable(QStringLiteral("xmllint"))) {
        const zdtest::ToolResult lint = zdtest::runTool(QStringLiteral("xmllint"), {QStringLiteral("--noout"), name});
        EXPECT_EQ(lint.exitCode, 0) << lint.err.toStdString();
    }
}

TEST(zdStyles, DuplicateNameInAFileLeavesTheSecondUnnamed)
{
    TzdStyles styles;
    load(styles, kHeader + "<style Name=\"s\"><item Name=\"Head\"/><item Name=\"head\" ApplyFont=\"0\"/></style>");
    ASSERT_EQ(styles.Count(), 2);
    EXPECT_EQ(styles.Items(0)->Name(), QStringLiteral("Head"));
    EXPECT_EQ(styles.Items(1)->Name(), QString());
    EXPECT_FALSE(styles.Items(1)->ApplyFont);
}

TEST(zdStyles, DamagedFileKeepsTheStyles)
{
    TzdStyles styles;
    styles.Name = QStringLiteral("Původní");
    styles.Add()->SetName(QStringLiteral("Keep"));
    const QByteArray damaged[] = {
        kHeader + "<style Name=\"x\"><item Name=\"New\"/>",
        kHeader + "<style Name=\"x\"><item Name=\"New\" /></styl>",
        QByteArrayLiteral("not xml at all"),
    };
    for (const QByteArray& bytes : damaged) {
        EXPECT_ANY_THROW(load(styles, bytes)) << bytes.constData();
        ASSERT_EQ(styles.Count(), 1);
        EXPECT_EQ(styles.Items(0)->Name(), QStringLiteral("Keep"));
        EXPECT_EQ(styles.Name, QStringLiteral("Původní"));
    }
    EXPECT_ANY_THROW(styles.LoadFromFile(QStringLiteral("/nonexistent/styles.zds")));
    EXPECT_EQ(styles.Count(), 1);
    // Another root is no set: the set is empty afterwards, without an error.
    load(styles, kHeader + "<variables><item Name=\"a\"/></variables>");
    EXPECT_EQ(styles.Count(), 0);
}

TEST(zdStyles, SheetTakesItsStyleChildrenInOrder)
{
    TzdStyleSheet sheet;
    const QByteArray file = kHeader
                            + "<stylesheet>"
                              "<style Name=\"Modrý\"><item Name=\"A\"/></style>"
                              "<other Name=\"skip\"/>"
                              "<STYLE Name=\"Zelený\"><item Name=\"B\"/><item Name=\"C\"/></STYLE>"
                              "<style Name=\"Prázdný\"/>"
                              "</stylesheet>";
    plat::TMemoryStream stream(file);
    sheet.LoadFromStream(stream);
    ASSERT_EQ(sheet.Count(), 3);
    plat::TStringList names;
    sheet.GetList(names);
    EXPECT_EQ(names.Text(), QStringLiteral("Modrý\r\nZelený\r\nPrázdný\r\n"));
    EXPECT_EQ(sheet.Find(QStringLiteral("zelený"))->Count(), 2);
    for (int i = 0; i < sheet.Count(); ++i)
        EXPECT_EQ(sheet.Items(i)->Report(), nullptr);
    sheet.Delete(0);
    EXPECT_EQ(sheet.Items(0)->Name, QStringLiteral("Zelený"));
    EXPECT_THROW(sheet.Delete(5), plat::Exception);
    plat::TMemoryStream damaged(kHeader + "<stylesheet><style Name=\"x\">");
    EXPECT_ANY_THROW(sheet.LoadFromStream(damaged));
    EXPECT_EQ(sheet.Count(), 2) << "a damaged file keeps the sheet";
    plat::TMemoryStream wrong(kHeader + "<style Name=\"x\"/>");
    sheet.LoadFromStream(wrong);
    EXPECT_EQ(sheet.Count(), 0);
}

TEST(zdStyles, LoadingRestylesTheReportsTextObjects)
{
    zdtest::startReportLibrary();
    zdtest::TzdTestReport report;
    auto* band = new zdtest::TzdTestBand(&report);
    auto* styled = new TzdMemoView(band);
    auto* orphan = new TzdMemoView(band);
    TzdStyles styles(&report);
    report.ReportStyles = &styles;
    styled->SetStyle(QStringLiteral("Nadpis"));
    orphan->SetStyle(QStringLiteral("Zmizelý"));
    load(styles, kHeader + "<style Name=\"s\"><item Name=\"nadpis\" Font.Height=\"-24\" Fill.BackColor=\"65280\"/></style>");
    EXPECT_EQ(styled->Style(), QStringLiteral("Nadpis"));
    EXPECT_EQ(styled->Font()->Height(), -24);
    EXPECT_EQ(styled->Color(), 0x00FF00);
    EXPECT_EQ(orphan->Style(), QString());
    report.ReportStyles = nullptr;
}

// PDF/A output: well-formed XMP agreeing with the information dictionary,
// embedded fonts and the sRGB output intent.
#include "PdfCheck.h"
#include "../TestUtil.h"

#include "zdExportPDF.h"
#include "zdrcExports.h"

#include "Exceptions.h"
#include "Graphics.h"
#include "zdClass_shape.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace pdftest;

namespace pdf_pdfa_test {
namespace {

QString exportPdfA(QTemporaryDir& dir, const std::function<void(TzdPDFExport&)>& setUp)
{
    const QString file = dir.filePath(QStringLiteral("a.pdf"));
    TzdPDFExport pdf(nullptr);
    pdf.PdfA = true;
    pdf.FileName = file;
    setUp(pdf);
    EXPECT_TRUE(pdf.StartExport());
    TzdPDFPageInfo page;
    page.Width = 794;
    page.Height = 1123;
    pdf.OpenPageInfo(page, 0);
    plat::TFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetSize(12);
    TzdShapeView box(nullptr);
    box.SetBounds(40, 40, 400, 30);
    TzdPDFTextParams p;
    p.View = &box;
    p.Font = &font;
    p.Lines = {QStringLiteral("Archivní štítek")};
    p.WordWrap = false;
    pdf.WriteTextObject(p);
    pdf.ClosePage(nullptr, 0);
    pdf.FinishExport();
    return file;
}

QString xmpValue(const QString& xmp, const QString& element)
{
    const QRegularExpression re(QStringLiteral("<%1>\\s*(?:<rdf:(?:Alt|Seq)>\\s*<rdf:li[^>]*>)?([^<]*)<").arg(element));
    return re.match(xmp).captured(1);
}

} // namespace

TEST(PdfA, XmpValuesAreEscapedAndTimesCarryTheirZone)
{
    zd::PdfXmpValues v;
    v.Title = QStringLiteral("A & <B> {2}");
    v.Author = QStringLiteral("O'Neil \"Q\"");
    v.Time = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), QTimeZone(3600));
    v.FileID = "0123456789abcdef0123456789abcdef";
    const QByteArray xmp = zd::pdfXmpPacket("<t>{2}</t><a>{10}</a><d>{3}</d><i>{6}</i><p>{8}{9}</p>", v);
    EXPECT_EQ(xmp, QByteArray("<t>A &amp; &lt;B&gt; {2}</t><a>O&apos;Neil &quot;Q&quot;</a>"
                              "<d>2024-03-05T14:07:09+01:00</d><i>0123456789abcdef0123456789abcdef</i><p>2B</p>"));
    v.Time = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), QTimeZone(-(3 * 3600 + 1800)));
    EXPECT_TRUE(zd::pdfXmpPacket("{3}", v).endsWith("-03:30"));
}

TEST(PdfA, TheResourcesAreThereAndAMissingOneIsAResourceError)
{
    EXPECT_TRUE(zd::exportResource(QStringLiteral("Metafile")).startsWith("<?xpacket begin=\"\xEF\xBB\xBF\""));
    const QByteArray profile = zd::exportResource(QStringLiteral("Profile"));
    ASSERT_GT(profile.size(), 128);
    EXPECT_EQ(profile.mid(36, 4), QByteArray("acsp"));
    EXPECT_EQ(profile.mid(12, 12), QByteArray("mntrRGB XYZ "));
    try {
        zd::exportResource(QStringLiteral("Nothing"));
        FAIL() << "no error";
    } catch (const plat::EResNotFound&) {
    }
}

TEST(PdfA, MetadataIsWellFormedAgreesWithInfoAndFontsAreEmbedded)
{
    if (!haveTools() || !QFile::exists(QStringLiteral("/usr/bin/xmllint")))
        GTEST_SKIP() << "qpdf, poppler-utils and xmllint are needed";
    QTemporaryDir dir;
    const QString file = exportPdfA(dir, [](TzdPDFExport& pdf) {
        pdf.Title = QStringLiteral("A & <B>");
        pdf.Author = QStringLiteral("Sklad Brno");
        pdf.Subject = QStringLiteral("Štítky");
        pdf.Keywords = QStringLiteral("sklad, štítky");
        pdf.Creator = QStringLiteral("Sorvamet");
        pdf.Producer = QStringLiteral("Sorvamet PDF");
        pdf.Clock = [] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), QTimeZone(3600)); };
    });
    checkPdf(file);
    const Tool meta = runTool(QStringLiteral("/usr/bin/pdfinfo"), {QStringLiteral("-meta"), file});
    ASSERT_EQ(meta.exitCode, 0);
    QTemporaryDir xmlDir;
    const QString xmlFile = xmlDir.filePath(QStringLiteral("meta.xml"));
    {
        QFile f(xmlFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(meta.out);
    }
    const Tool lint = runTool(QStringLiteral("/usr/bin/xmllint"), {QStringLiteral("--noout"), xmlFile});
    EXPECT_EQ(lint.exitCode, 0) << lint.err.toStdString();
    const QString xmp = QString::fromUtf8(meta.out);
    EXPECT_EQ(xmpValue(xmp, QStringLiteral("dc:title")), QStringLiteral("A &amp; &lt;B&gt;"));
    EXPECT_EQ(xmpValue(xmp, QStringLiteral("dc:creator")), QStringLiteral("Sklad Brno"));
    EXPECT_EQ(xmpValue(xmp, QStringLiteral("xmp:CreatorTool")), QStringLiteral("Sorvamet"));
    EXPECT_EQ(xmpValue(xmp, QStringLiteral("pdf:Producer")), QStringLiteral("Sorvamet PDF"));
    EXPECT_EQ(xmpValue(xmp, QStringLiteral("pdf:Keywords")), QStringLiteral("sklad, štítky"));
    EXPECT_EQ(xmpValue(xmp, QStringLiteral("xmp:CreateDate")), QStringLiteral("2024-03-05T14:07:09+01:00"));
    EXPECT_EQ(xmpValue(xmp, QStringLiteral("pdfaid:part")), QStringLiteral("2"));
    EXPECT_EQ(xmpValue(xmp, QStringLiteral("pdfaid:conformance")), QStringLiteral("B"));

    const QString info = QString::fromUtf8(runTool(QStringLiteral("/usr/bin/pdfinfo"), {file}).out);
    for (const QString& line : {QStringLiteral("Title:           A & <B>"), QStringLiteral("Author:          Sklad Brno"),
                                QStringLiteral("Subject:         Štítky"), QStringLiteral("Creator:         Sorvamet"),
                                QStringLiteral("Producer:        Sorvamet PDF")})
        EXPECT_TRUE(info.contains(line)) << line.toStdString() << "\n" << info.toStdString();

    const QString fonts = QString::fromUtf8(runTool(QStringLiteral("/usr/bin/pdffonts"), {file}).out);
    const QStringList rows = fonts.split(u'\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(rows.isEmpty());
    for (const QString& row : rows)
        EXPECT_TRUE(row.contains(QRegularExpression(QStringLiteral("Identity-H\\s+yes\\s")))) << row.toStdString(); // emb
}

TEST(PdfA, TheOutputIntentCarriesTheResourceProfile)
{
    if (!haveTools())
        GTEST_SKIP() << "qpdf and poppler-utils are needed";
    QTemporaryDir dir;
    const QString file = exportPdfA(dir, [](TzdPDFExport&) {});
    const QByteArray bytes = fileBytes(file);
    EXPECT_TRUE(bytes.contains("/S /GTS_PDFA1"));
    EXPECT_TRUE(bytes.contains("/StructTreeRoot "));
    const QRegularExpression profileRef(QStringLiteral("/DestOutputProfile (\\d+) 0 R"));
    const QString number = profileRef.match(QString::fromLatin1(bytes)).captured(1);
    ASSERT_FALSE(number.isEmpty());
    const Tool stream = runTool(QStringLiteral("/usr/bin/qpdf"),
                                {QStringLiteral("--show-object=") + number, QStringLiteral("--filtered-stream-data"), file});
    EXPECT_EQ(stream.out, zd::exportResource(QStringLiteral("Profile")));
}

} // namespace pdf_pdfa_test

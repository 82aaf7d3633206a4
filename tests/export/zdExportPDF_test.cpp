// The PDF filter's document structure, driven through its hooks over
// synthetic pages; every file is checked by qpdf and poppler.
#include "PdfCheck.h"
#include "PdfExportFixture.h"
#include "../TestUtil.h"

#include "zdExportPDF.h"

#include "Exceptions.h"
#include "Streams.h"
#include "zdClass_fill.h"
#include "zdClass_shape.h"
#include "zdClass_view.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <limits>

#include <sys/resource.h>

using namespace pdftest;

namespace {

const QString kGolden = QStringLiteral(SORVAMET_TEST_DATA "/onepage.pdf");

TzdPDFPageInfo a4()
{
    TzdPDFPageInfo p;
    p.Width = 794;
    p.Height = 1123;
    p.LeftMargin = p.TopMargin = p.RightMargin = p.BottomMargin = 10;
    return p;
}

void fixIdAndClock(TzdPDFExport& pdf)
{
    pdf.FileIDSource = [] { return QByteArray("0123456789abcdef0123456789abcdef"); };
    pdf.Clock = [] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); };
}

// An outline of (text, page, top, children) items walked like the prepared pages'.
struct Item {
    QString text;
    int page;
    int top;
    std::vector<Item> children;
};

class TestOutline : public TzdCustomOutline {
public:
    explicit TestOutline(std::vector<Item> items) : TzdCustomOutline(nullptr), m_root{QString(), 0, 0, std::move(items)} {}
    int ItemCount() override { return int(current().children.size()); }
    void AddItem(const QString&, int) override {}
    void LevelInto(int Index) override { m_path.push_back(Index); }
    void LevelRoot() override { m_path.clear(); }
    void LevelUp() override { m_path.pop_back(); }
    void ReadItem(int Index, QString& Text, int& Page, int& Top) override
    {
        const Item& i = current().children[size_t(Index)];
        Text = i.text;
        Page = i.page;
        Top = i.top;
    }
    void ShiftFollowingItems(TzdXMLItem*, int) override {}
    TzdXMLItem* LastItem() override { return nullptr; }

private:
    const Item& current() const
    {
        const Item* i = &m_root;
        for (int k : m_path)
            i = &i->children[size_t(k)];
        return *i;
    }
    Item m_root;
    std::vector<int> m_path;
};

// Exports the prepared pages listed (their count is pageCount); objects[k]
// go on prepared page k.
QString exportPages(TzdPDFExport& pdf, const QString& file, const std::vector<int>& pages,
                    const std::map<int, std::vector<TzdView*>>& objects = {})
{
    pdf.FileName = file;
    if (!pdf.StartExport())
        return QStringLiteral("not started");
    for (int index : pages) {
        pdf.OpenPageInfo(a4(), index);
        if (auto it = objects.find(index); it != objects.end())
            for (TzdView* v : it->second)
                pdf.WriteObject(v);
        pdf.ClosePage(nullptr, index);
    }
    pdf.FinishExport();
    return {};
}

// The objects qpdf lists, keyed "obj:n 0 R".
QJsonObject qpdfObjects(const QString& file)
{
    const Tool t = runTool(QStringLiteral("/usr/bin/qpdf"), {QStringLiteral("--json"), file});
    const QJsonObject root = QJsonDocument::fromJson(t.out).object();
    QJsonObject objects;
    for (const QJsonValue& v : root.value(QStringLiteral("qpdf")).toArray())
        if (v.isObject()) {
            const QJsonObject o = v.toObject();
            for (auto it = o.begin(); it != o.end(); ++it)
                objects.insert(it.key(), it.value());
        }
    return objects;
}

class FailingStream : public plat::TStream {
public:
    qint64 Read(void*, qint64) override { return 0; }
    qint64 Write(const void*, qint64) override
    {
        ++writes;
        return 0;
    }
    qint64 Seek(qint64, plat::TSeekOrigin) override { return 0; }
    int writes = 0;
};

} // namespace

TEST(PdfNumbers, TwoDecimalsHalfAwayFromZeroNoNegativeZero)
{
    const std::vector<std::pair<long double, const char*>> cases = {
        {12.5L, "12.50"}, {0, "0.00"},       {-3, "-3.00"},      {0.375L, "0.38"},       {-0.375L, "-0.38"},
        {-0.001L, "0.00"}, {0.004L, "0.00"}, {1e9L, "1000000000.00"}, {595.5L, "595.50"}, {-0.005L, "-0.01"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(zd::pdfNum(value), QByteArray(text)) << double(value);
}

TEST(PdfNumbers, NonFiniteValuesAreRefused)
{
    for (long double v : {std::numeric_limits<long double>::infinity(), -std::numeric_limits<long double>::infinity(),
                          std::numeric_limits<long double>::quiet_NaN()})
        EXPECT_TRUE(pdfRaised([&] { zd::pdfNum(v); }).startsWith(QStringLiteral("EInvalidOp"))) << double(v);
}

TEST(PdfNumbers, PageColourComponents)
{
    EXPECT_EQ(zd::pdfPageColorComponent(10), "0.03");
    EXPECT_EQ(zd::pdfPageColorComponent(128), "0.50");
    EXPECT_EQ(zd::pdfPageColorComponent(255), "1");
    EXPECT_EQ(zd::pdfPageColorComponent(0), "0");
}

TEST(PdfStrings, TextStringsAndLiterals)
{
    EXPECT_EQ(zd::pdfTextString(QString()), "<FEFF>");
    EXPECT_EQ(zd::pdfTextString(QStringLiteral("Ž1")), "<FEFF017D0031>");
    EXPECT_EQ(zd::pdfEscapeLiteral(QByteArray("a(b)\\\r\n")), "a\\(b\\)\\\\\\r\\n");
}

TEST(PdfExport, OnePageFileMatchesTheGoldenFileByteForByte)
{
    if (!haveTools())
        GTEST_SKIP() << "qpdf and poppler-utils are needed";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("one.pdf"));
    TzdPDFExport pdf(nullptr);
    fixIdAndClock(pdf);
    pdf.Compressed = false;
    ASSERT_EQ(exportPages(pdf, file, {0}), QString());
    checkPdf(file);
    const QByteArray bytes = fileBytes(file);
    if (qEnvironmentVariableIsSet("SORVAMET_UPDATE_GOLDEN")) {
        QFile out(kGolden);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    EXPECT_EQ(bytes, fileBytes(kGolden));
    // Page tree, content, page, information, catalog.
    EXPECT_TRUE(bytes.contains("xref\r\n0 6\r\n"));
    EXPECT_TRUE(bytes.contains("/Size 6\r\n"));
    EXPECT_TRUE(bytes.contains("/ID [<0123456789abcdef0123456789abcdef><0123456789abcdef0123456789abcdef>]"));
    EXPECT_TRUE(bytes.contains("/CreationDate (D:20240305140709)"));
    EXPECT_TRUE(bytes.startsWith("%PDF-1.5\x25\xE2\xE3\xCF\xD3\r\n"));
}

TEST(PdfExport, EveryCrossReferenceLineIsTwentyBytesAndPointsAtItsObject)
{
    if (!haveTools())
        GTEST_SKIP() << "qpdf and poppler-utils are needed";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("xref.pdf"));
    TzdPDFExport pdf(nullptr);
    auto* link = new TzdShapeView(nullptr);
    std::unique_ptr<TzdShapeView> owner(link);
    link->SetBounds(10, 10, 100, 50);
    link->SetURL(QStringLiteral("@2"));
    pdf.PreparedPageCount = 3;
    ASSERT_EQ(exportPages(pdf, file, {0, 1, 2}, {{0, {link}}}), QString());
    checkPdf(file);
    const QByteArray bytes = fileBytes(file);
    const qsizetype x = bytes.lastIndexOf("\r\nxref\r\n") + 2;
    const QByteArray startxref = bytes.mid(bytes.lastIndexOf("startxref\r\n") + 11).split('\r').first();
    EXPECT_EQ(startxref.toLongLong(), x);
    const QList<QByteArray> head = bytes.mid(x).split('\n');
    const int count = head[1].trimmed().split(' ')[1].toInt();
    qsizetype pos = x + head[0].size() + 1 + head[1].size() + 1;
    for (int n = 0; n < count; ++n, pos += 20) {
        const QByteArray entry = bytes.mid(pos, 20);
        ASSERT_TRUE(entry.endsWith("\r\n")) << n;
        if (n == 0) {
            EXPECT_EQ(entry, "0000000000 65535 f\r\n");
            continue;
        }
        EXPECT_EQ(entry.mid(10, 10), " 00000 n\r\n");
        EXPECT_TRUE(bytes.mid(entry.left(10).toLongLong()).startsWith(QByteArray::number(n) + " 0 obj\r\n")) << n;
    }
    EXPECT_TRUE(bytes.mid(pos).startsWith("trailer\r\n"));
}

TEST(PdfExport, ViewerPreferencesPrintScalingIsAName)
{
    if (!haveTools())
        GTEST_SKIP() << "qpdf and poppler-utils are needed";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("prefs.pdf"));
    TzdPDFExport pdf(nullptr);
    pdf.Compressed = false;
    pdf.Title = QStringLiteral("Štítky");
    ASSERT_EQ(exportPages(pdf, file, {0}), QString());
    checkPdf(file);
    const QByteArray bytes = fileBytes(file);
    EXPECT_TRUE(bytes.contains("/PrintScaling /None\r\n"));
    EXPECT_FALSE(bytes.contains("/PrintScaling false"));
    EXPECT_TRUE(bytes.contains("/DisplayDocTitle true"));
    const Tool info = runTool(QStringLiteral("/usr/bin/pdfinfo"), {file});
    EXPECT_TRUE(QString::fromUtf8(info.out).contains(QStringLiteral("Štítky")));
}

TEST(PdfExport, PageColourAndPageFrame)
{
    if (!haveTools())
        GTEST_SKIP() << "qpdf and poppler-utils are needed";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("colour.pdf"));
    TzdPDFExport pdf(nullptr);
    pdf.Compressed = false;
    pdf.FileName = file;
    TzdFrame frame;
    frame.Typ = TzdFrameTypes{ftLeft, ftTop};
    frame.TopLine()->Style = fsDouble;
    TzdPDFPageInfo page = a4();
    page.Color = 10 | (128 << 8) | (255 << 16);
    page.Frame = &frame;
    ASSERT_TRUE(pdf.StartExport());
    pdf.OpenPageInfo(page, 0);
    pdf.ClosePage(nullptr, 0);
    pdf.FinishExport();
    checkPdf(file);
    const QByteArray bytes = fileBytes(file);
    EXPECT_TRUE(bytes.contains("0.00 w\r\n0.03 0.50 1 RG\r\n0.03 0.50 1 rg\r\n28.35 28.35 m\r\n"));
    // The left side once, the double top side twice.
    EXPECT_EQ(bytes.count(" m\r\n") - 1, 3);
}

TEST(PdfExport, NoExportedPageIsAnErrorAndWritesNoFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("none.pdf"));
    TzdPDFExport pdf(nullptr);
    pdf.FileName = file;
    ASSERT_TRUE(pdf.StartExport());
    EXPECT_FALSE(pdfRaised([&] { pdf.FinishExport(); }).isEmpty());
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty()); // no temporary left behind
}

TEST(PdfExport, AFailedExportKeepsThePreviousFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("kept.pdf"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("previous");
    }
    TzdPDFExport pdf(nullptr);
    std::unique_ptr<TzdShapeView> bad(new TzdShapeView(nullptr));
    bad->SetBounds(0, 0, 10, 10);
    bad->SetURL(QStringLiteral("@two"));
    EXPECT_TRUE(pdfRaised([&] { exportPages(pdf, file, {0}, {{0, {bad.get()}}}); }).startsWith("EConvertError"));
    EXPECT_EQ(fileBytes(file), "previous");
    // The next export on the same filter writes a sound file.
    ASSERT_EQ(exportPages(pdf, file, {0}), QString());
    EXPECT_TRUE(fileBytes(file).startsWith("%PDF-1.5"));
}

TEST(PdfExport, AWriteErrorFailsTheExportOnce)
{
    TzdPDFExport pdf(nullptr);
    auto* stream = new FailingStream;
    pdf.OutputStream.reset(stream);
    ASSERT_TRUE(pdf.StartExport());
    pdf.OpenPageInfo(a4(), 0);
    pdf.ClosePage(nullptr, 0);
    EXPECT_TRUE(pdfRaised([&] { pdf.FinishExport(); }).startsWith(QStringLiteral("EWriteError")));
    EXPECT_EQ(stream->writes, 1);
}

// The file's bytes reach a memory stream whole: an empty one takes them as
// they are, one with bytes already in it gets them after its own.
TEST(PdfExport, MemoryStreamsGetTheFileBytesAfterTheirOwn)
{
    auto write = [](TzdPDFExport& pdf) {
        fixIdAndClock(pdf);
        ASSERT_TRUE(pdf.StartExport());
        pdf.OpenPageInfo(a4(), 0);
        pdf.ClosePage(nullptr, 0);
        pdf.FinishExport();
    };
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("one.pdf"));
    TzdPDFExport toFile(nullptr);
    toFile.FileName = file;
    write(toFile);
    const QByteArray expected = fileBytes(file);
    ASSERT_TRUE(expected.startsWith("%PDF-1.5"));

    TzdPDFExport toEmpty(nullptr);
    auto* empty = new plat::TMemoryStream;
    toEmpty.OutputStream.reset(empty);
    write(toEmpty);
    EXPECT_EQ(empty->bytes(), expected);
    EXPECT_EQ(empty->Position(), empty->Size());

    TzdPDFExport toFilled(nullptr);
    auto* filled = new plat::TMemoryStream(QByteArray("abc"));
    filled->Seek(0, plat::soEnd);
    toFilled.OutputStream.reset(filled);
    write(toFilled);
    EXPECT_EQ(filled->bytes(), "abc" + expected);
    EXPECT_EQ(filled->Position(), filled->Size());
}

// Finished pages leave memory page by page: the offsets of a file written
// in pieces still point at their objects, and a file, an empty memory
// stream and a filled one get the same bytes.
TEST(PdfExport, AManyPageFileHandedOverPageByPageIsWhole)
{
    std::vector<std::unique_ptr<TzdShapeView>> shapes;
    std::map<int, std::vector<TzdView*>> objects;
    for (int page = 0; page < 5; ++page)
        for (int k = 0; k < 3; ++k) {
            shapes.push_back(std::make_unique<TzdShapeView>(nullptr));
            shapes.back()->SetBounds(20 + 100 * k, 20 + 30 * page, 90, 25);
            shapes.back()->SetColor(plat::TColor(0x102030 * (page + 1)));
            objects[page].push_back(shapes.back().get());
        }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("five.pdf"));
    TzdPDFExport toFile(nullptr);
    fixIdAndClock(toFile);
    ASSERT_EQ(exportPages(toFile, file, {0, 1, 2, 3, 4}, objects), QString());
    checkPdf(file);
    const QByteArray expected = fileBytes(file);
    const QRegularExpression entry(QStringLiteral("^(\\d{10}) 00000 n\r$"), QRegularExpression::MultilineOption);
    int number = 0;
    for (auto it = entry.globalMatch(QString::fromLatin1(expected)); it.hasNext();) {
        const qint64 offset = it.next().captured(1).toLongLong();
        ++number;
        EXPECT_TRUE(expected.mid(offset).startsWith(QByteArray::number(number) + " 0 obj")) << number;
    }
    EXPECT_GT(number, 10);
    for (const QByteArray& before : {QByteArray(), QByteArray("abc")}) {
        TzdPDFExport toStream(nullptr);
        fixIdAndClock(toStream);
        auto* stream = new plat::TMemoryStream(before);
        stream->Seek(0, plat::soEnd);
        toStream.OutputStream.reset(stream);
        ASSERT_EQ(exportPages(toStream, QString(), {0, 1, 2, 3, 4}, objects), QString());
        EXPECT_EQ(stream->bytes(), before + expected);
    }
}

// A write that fails after pages went to the temporary file (here: the
// process may write only a few bytes into a file) fails the export at
// once and again at its end; the previous file stays and no temporary
// file is left.
TEST(PdfExport, AWriteErrorOnAFinishedPageKeepsThePreviousFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("kept.pdf"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("previous");
    }
    TzdShapeView shape(nullptr);
    shape.SetBounds(10, 10, 50, 50);
    TzdPDFExport pdf(nullptr);
    pdf.FileName = file;
    ASSERT_TRUE(pdf.StartExport());
    rlimit kept{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &kept), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = kept;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    pdf.OpenPageInfo(a4(), 0);
    pdf.WriteObject(&shape);
    const QString atPage = pdfRaised([&] { pdf.ClosePage(nullptr, 0); });
    const QString atEnd = pdfRaised([&] { pdf.FinishExport(); });
    setrlimit(RLIMIT_FSIZE, &kept);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(atPage.startsWith(QStringLiteral("EWriteError: Cannot write file"))) << atPage.toStdString();
    EXPECT_EQ(atEnd, atPage);
    EXPECT_EQ(fileBytes(file), "previous");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.pdf")});
}

TEST(PdfExport, AFileThatCannotBeCreatedFailsTheStart)
{
    TzdPDFExport pdf(nullptr);
    pdf.FileName = QStringLiteral("/nonexistent-folder/x.pdf");
    EXPECT_TRUE(pdfRaised([&] { pdf.StartExport(); }).startsWith(QStringLiteral("EFCreateError")));
}

TEST(PdfExport, NoFileNameAndNoStreamCancels)
{
    TzdPDFExport pdf(nullptr);
    EXPECT_FALSE(pdf.StartExport());
}

TEST(PdfExport, LinksAndBookmarksLandOnExportedPagesUnderAPageRange)
{
    if (!haveTools())
        GTEST_SKIP() << "qpdf and poppler-utils are needed";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("range.pdf"));
    TzdPDFExport pdf(nullptr);
    pdf.Outline = true;
    pdf.PreparedPageCount = 4;
    TestOutline outline({{QStringLiteral("Úvod"), 1, 0, {{QStringLiteral("Detail"), 3, 100, {}}}},
                         {QStringLiteral("Vynecháno"), 2, 0, {{QStringLiteral("Také"), 3, 0, {}}}},
                         {QStringLiteral("Konec"), 3, 40, {}}});
    pdf.OutlineSource = &outline;
    std::unique_ptr<TzdShapeView> toFourth(new TzdShapeView(nullptr)), toThird(new TzdShapeView(nullptr)),
        web(new TzdShapeView(nullptr));
    toFourth->SetBounds(10, 10, 50, 20);
    toFourth->SetURL(QStringLiteral("@4"));
    toThird->SetBounds(10, 40, 50, 20);
    toThird->SetURL(QStringLiteral("@3"));
    web->SetBounds(10, 70, 50, 20);
    web->SetURL(QStringLiteral("https://example.org/a(b)"));
    // Prepared pages 1 and 3 (the second and fourth) are exported.
    ASSERT_EQ(exportPages(pdf, file, {1, 3}, {{1, {toFourth.get(), toThird.get(), web.get()}}}), QString());
    checkPdf(file);

    const Tool t = runTool(QStringLiteral("/usr/bin/qpdf"), {QStringLiteral("--json"), file});
    const QJsonObject json = QJsonDocument::fromJson(t.out).object();
    const QJsonArray pages = json.value(QStringLiteral("pages")).toArray();
    ASSERT_EQ(pages.size(), 2);
    const QString second = pages[1].toObject().value(QStringLiteral("object")).toString();
    // Outline: "Úvod" with its child "Detail", then "Konec"; "Vynecháno" is
    // left out with its subtree.
    const QJsonArray outlines = json.value(QStringLiteral("outlines")).toArray();
    ASSERT_EQ(outlines.size(), 2);
    EXPECT_EQ(outlines[0].toObject().value(QStringLiteral("title")).toString(), QStringLiteral("Úvod"));
    EXPECT_EQ(outlines[0].toObject().value(QStringLiteral("destpageposfrom1")).toInt(), 1);
    const QJsonArray kids = outlines[0].toObject().value(QStringLiteral("kids")).toArray();
    ASSERT_EQ(kids.size(), 1);
    EXPECT_EQ(kids[0].toObject().value(QStringLiteral("title")).toString(), QStringLiteral("Detail"));
    EXPECT_EQ(kids[0].toObject().value(QStringLiteral("destpageposfrom1")).toInt(), 2);
    EXPECT_EQ(outlines[1].toObject().value(QStringLiteral("title")).toString(), QStringLiteral("Konec"));
    EXPECT_EQ(outlines[1].toObject().value(QStringLiteral("destpageposfrom1")).toInt(), 2);

    // Links of the first page: to the fourth prepared page (the second
    // exported one), to a page not exported (no destination), to the web.
    const QJsonObject objects = qpdfObjects(file);
    const QJsonArray annots = objects.value("obj:" + pages[0].toObject().value(QStringLiteral("object")).toString())
                                  .toObject().value(QStringLiteral("value")).toObject()
                                  .value(QStringLiteral("/Annots")).toArray();
    ASSERT_EQ(annots.size(), 3);
    auto annot = [&](int k) {
        return objects.value("obj:" + annots[k].toString()).toObject().value(QStringLiteral("value")).toObject();
    };
    EXPECT_EQ(annot(0).value(QStringLiteral("/Dest")).toArray()[0].toString(), second);
    EXPECT_FALSE(annot(1).contains(QStringLiteral("/Dest")));
    EXPECT_EQ(annot(2).value(QStringLiteral("/A")).toObject().value(QStringLiteral("/URI")).toString(),
              QStringLiteral("u:https://example.org/a(b)"));
}

TEST(PdfExport, PermissionValueFollowsTheProtectionFlags)
{
    TzdPDFExport pdf(nullptr);
    EXPECT_EQ(pdf.PermissionValue(), -4);
    pdf.SetProtectionFlags(TzdPDFEncBits{});
    EXPECT_EQ(pdf.PermissionValue(), -64);
    pdf.SetProtectionFlags(TzdPDFEncBits{ePrint, eCopy});
    EXPECT_EQ(pdf.PermissionValue(), -44);
}

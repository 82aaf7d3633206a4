// Real report pages and memo objects through the PDF filter: page geometry,
// colour and frame, and memos as text (or not), read back with poppler.
#include "PdfCheck.h"

#include "zdExportPDF.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "zdClass_fill.h"
#include "zdClass_highlight.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdBarcode2DView.h"
#include "zdBarcodeView.h"
#include "zdClass_view.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const QString kCzechPangram = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy");

std::unique_ptr<TzdReportPage> reportA4()
{
    auto page = std::make_unique<TzdReportPage>(nullptr);
    page->SetPaperFormat(256, 210, 297);
    page->SizeToPaper();
    page->LeftMargin = 10;
    page->RightMargin = 20;
    page->TopMargin = 15;
    page->BottomMargin = 5;
    return page;
}

std::unique_ptr<TzdMemoView> makeMemo(const QString& text, long double left, long double top, long double width,
                                  long double height)
{
    auto m = std::make_unique<TzdMemoView>(nullptr);
    m->SetBounds(left, top, width, height);
    m->Font()->SetName(QStringLiteral("DejaVu Sans"));
    m->Font()->SetSize(12);
    m->Font()->SetColor(plat::clBlack);
    m->SetText(text);
    return m;
}

struct PageExport {
    QByteArray bytes; // the file, streams not compressed
    QString text;     // pdftotext's reading
};

// One page: the report page (or a bare page of W x H pixels) and objects.
PageExport exportReportPage(TzdReportPage* page, const std::vector<TzdView*>& objects,
                    const std::function<void(TzdPDFExport&)>& setup = {}, int index = 0)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("memo.pdf"));
    TzdPDFExport pdf(nullptr);
    pdf.FileName = file;
    pdf.Compressed = false;
    pdf.PreparedPageCount = 1;
    if (setup)
        setup(pdf);
    EXPECT_TRUE(pdf.StartExport());
    pdf.OpenPage(page, index);
    for (TzdView* o : objects)
        pdf.WriteObject(o);
    pdf.ClosePage(page, index);
    pdf.FinishExport();
    PageExport e;
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    e.bytes = f.readAll();
    if (pdftest::haveTools()) {
        pdftest::checkPdf(file);
        e.text = pdftest::pdfToText(file);
    }
    return e;
}

} // namespace

TEST(PdfReportPage, SizeMarginsColourAndFrameComeFromThePage)
{
    auto page = reportA4();
    page->SetColor(plat::clRed);
    page->Frame()->Typ = {ftLeft, ftTop};
    page->Frame()->SetColor(plat::clBlue);
    page->Frame()->SetWidth(2);
    const PageExport e = exportReportPage(page.get(), {});
    const QByteArray w = zd::pdfNum(page->Width() * 0.75L), h = zd::pdfNum(page->Height() * 0.75L);
    EXPECT_TRUE(e.bytes.contains("/MediaBox [0 0 " + w + ' ' + h + " ]")) << e.bytes.toStdString();
    // The colour fills the printable area: margins in points.
    const QByteArray L = zd::pdfNum(10 * 72.0L / 25.4L), B = zd::pdfNum(5 * 72.0L / 25.4L);
    const QByteArray Rt = zd::pdfNum(page->Width() * 0.75L - 20 * 72.0L / 25.4L);
    const QByteArray T = zd::pdfNum(page->Height() * 0.75L - 15 * 72.0L / 25.4L);
    EXPECT_TRUE(e.bytes.contains("1 0 0 RG\r\n1 0 0 rg\r\n" + L + ' ' + B + " m\r\n" + Rt + ' ' + B + " l\r\n" + Rt +
                                 ' ' + T + " l\r\n" + L + ' ' + T + " l\r\nB\r\n"))
        << e.bytes.toStdString();
    // Two framed sides in blue, 2 px wide; the left one at the left margin.
    EXPECT_EQ(e.bytes.count("0.00 0.00 1.00 RG"), 2);
    EXPECT_EQ(e.bytes.count(zd::pdfNum(1.5L) + " w"), 2);
    const QByteArray xl = zd::pdfNum(10 * 3.77953L * 0.75L);
    const QByteArray yt = zd::pdfNum((page->Height() - 15 * 3.77953L) * 0.75L);
    EXPECT_TRUE(e.bytes.contains(xl + ' ' + yt + " m")) << e.bytes.toStdString();
}

TEST(PdfReportPage, MirrorMarginsSwapOnOddPagesOnly)
{
    auto page = reportA4();
    page->MirrorMargins = true;
    page->Frame()->Typ = {ftLeft};
    const QByteArray narrow = zd::pdfNum(10 * 3.77953L * 0.75L) + ' ';
    const QByteArray wide = zd::pdfNum(20 * 3.77953L * 0.75L) + ' ';
    const PageExport even = exportReportPage(page.get(), {}, {}, 0);
    EXPECT_TRUE(even.bytes.contains(narrow)) << even.bytes.toStdString();
    const PageExport odd = exportReportPage(page.get(), {}, {}, 1);
    EXPECT_TRUE(odd.bytes.contains(wide)) << odd.bytes.toStdString();
    EXPECT_FALSE(odd.bytes.contains(narrow + zd::pdfNum((page->Height() - 15 * 3.77953L) * 0.75L)));
}

TEST(PdfReportPage, NoPageIsAClearError)
{
    QTemporaryDir dir;
    TzdPDFExport pdf(nullptr);
    pdf.FileName = dir.filePath(QStringLiteral("none.pdf"));
    ASSERT_TRUE(pdf.StartExport());
    EXPECT_THROW(pdf.OpenPage(nullptr, 0), plat::Exception);
}

struct MemoCase {
    const char* name;
    QString text;
    std::function<void(TzdMemoView&)> setup;
    bool filterTags; // the filter's HTMLTags
    bool asText;     // exported as real text
    QString expected; // what pdftotext finds (when asText)
};

class PdfMemoRoute : public ::testing::TestWithParam<MemoCase> {};

TEST_P(PdfMemoRoute, PlainMemosAreTextOthersAreNot)
{
    const MemoCase& c = GetParam();
    auto page = reportA4();
    auto m = makeMemo(c.text, 20, 20, 500, 60);
    if (c.setup)
        c.setup(*m);
    const PageExport e = exportReportPage(page.get(), {m.get()}, [&](TzdPDFExport& pdf) { pdf.HTMLTags = c.filterTags; });
    EXPECT_EQ(e.bytes.contains(" Tf\r\n"), c.asText) << e.bytes.toStdString();
    if (!pdftest::haveTools())
        return;
    const QString words = e.text.simplified();
    if (c.asText) {
        EXPECT_TRUE(words.contains(c.expected)) << words.toStdString();
    } else {
        EXPECT_TRUE(words.isEmpty()) << words.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Memos, PdfMemoRoute,
    ::testing::Values(
        MemoCase{"Czech", kCzechPangram, {}, true, true, kCzechPangram},
        MemoCase{"TagsNotAllowed", QStringLiteral("<b>tučně</b>"), {}, true, true, QStringLiteral("<b>tučně</b>")},
        MemoCase{"TagsAllowedAndExported", QStringLiteral("<b>tučně</b>"),
                 [](TzdMemoView& m) { m.AllowHTMLTags = true; }, true, false, {}},
        MemoCase{"TagsAllowedFilterOff", QStringLiteral("<b>tučně</b>"),
                 [](TzdMemoView& m) { m.AllowHTMLTags = true; }, false, true, QStringLiteral("tučně")},
        MemoCase{"AllowedWithoutTags", QStringLiteral("a < b je pravda"),
                 [](TzdMemoView& m) { m.AllowHTMLTags = true; }, true, false, {}},
        MemoCase{"Hatched", kCzechPangram, [](TzdMemoView& m) { m.SetBrushStyle(plat::bsCross); }, true, false, {}},
        MemoCase{"SolidBrush", kCzechPangram, [](TzdMemoView& m) { m.SetColor(plat::clYellow); }, true, true, kCzechPangram}),
    [](const ::testing::TestParamInfo<MemoCase>& i) { return std::string(i.param.name); });

TEST(PdfMemo, RotatedMemoWritesOneTransformAndStaysReadable)
{
    auto page = reportA4();
    for (int angle : {90, -90, 180}) {
        auto m = makeMemo(QStringLiteral("Žlutý kůň"), 100, 100, 60, 200);
        m->SetRotation(angle);
        const PageExport e = exportReportPage(page.get(), {m.get()});
        EXPECT_EQ(e.bytes.count(" cm\r\n"), 1) << angle;
        QString letters = e.text;
        letters.remove(QRegularExpression(QStringLiteral("\\s")));
        if (pdftest::haveTools()) {
            EXPECT_EQ(letters, QStringLiteral("Žlutýkůň")) << angle;
        }
    }
}

TEST(PdfMemo, JustifiedLinesStretchAllButTheParagraphsLast)
{
    auto page = reportA4();
    auto m = makeMemo(QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy a zase úpěl ďábelské ódy až do rána"), 20, 20,
                  200, 120);
    m->HAlign = haBlock;
    const PageExport e = exportReportPage(page.get(), {m.get()});
    const int lines = e.bytes.count("BT\r\n");
    ASSERT_GE(lines, 2) << e.bytes.toStdString();
    EXPECT_EQ(e.bytes.count("] TJ"), lines - 1);
    EXPECT_EQ(e.bytes.count("> Tj"), 1);
    if (pdftest::haveTools()) {
        EXPECT_TRUE(e.text.simplified().contains(QStringLiteral("až do rána"))) << e.text.toStdString();
    }
}

TEST(PdfMemo, ActiveHighlightGivesFontAndColourWithoutChangingTheMemo)
{
    auto page = reportA4();
    auto m = makeMemo(kCzechPangram, 20, 20, 400, 40);
    TzdHighlight* h = m->Highlight();
    h->Font()->SetName(QStringLiteral("DejaVu Sans"));
    h->Font()->SetSize(20);
    h->Font()->SetColor(plat::clRed);
    h->SetColor(plat::clLime);
    for (bool active : {false, true}) {
        h->Active = active;
        const PageExport e = exportReportPage(page.get(), {m.get()});
        const QByteArray size = active ? "19.90 Tf" : "11.90 Tf";
        EXPECT_TRUE(e.bytes.contains(size)) << active << e.bytes.toStdString();
        EXPECT_EQ(e.bytes.contains("1.00 0.00 0.00 rg"), active);
        EXPECT_EQ(e.bytes.contains("0.00 1.00 0.00 rg"), active);
        EXPECT_EQ(m->Font()->Size(), 12);
        EXPECT_EQ(m->Color(), plat::clNone);
    }
}

TEST(PdfMemo, HiddenFromExportIsLeftOut)
{
    auto page = reportA4();
    auto m = makeMemo(kCzechPangram, 20, 20, 400, 40);
    m->SetVisibility({vsPreview, vsPrint});
    const PageExport e = exportReportPage(page.get(), {m.get()});
    EXPECT_FALSE(e.bytes.contains(" Tf\r\n"));
}

// Barcodes are pictures: the filter adds only their frame as vector lines,
// never their human-readable text as text, and nothing when they are empty.
TEST(PdfBarcode, OnlyTheFrameIsDrawnAsVectors)
{
    auto page = reportA4();
    auto linear = std::make_unique<TzdBarCodeView>(nullptr);
    linear->SetBounds(20, 20, 200, 80);
    linear->SetText(QStringLiteral("12345678"));
    linear->Frame()->Typ = {ftLeft, ftRight, ftTop, ftBottom};
    linear->Frame()->SetColor(plat::clRed);
    auto matrix = std::make_unique<TzdBarcode2DView>(nullptr);
    matrix->SetBounds(20, 150, 100, 100);
    matrix->SetText(QStringLiteral("Žluťoučký kůň"));
    matrix->Frame()->Typ = {ftTop};
    matrix->Frame()->SetColor(plat::clBlue);
    auto empty = std::make_unique<TzdBarCodeView>(nullptr);
    empty->SetBounds(300, 20, 0, 80);
    empty->Frame()->Typ = {ftLeft};
    empty->Frame()->SetColor(plat::clLime);
    const PageExport e = exportReportPage(page.get(), {linear.get(), matrix.get(), empty.get()});
    EXPECT_FALSE(e.bytes.contains(" Tf\r\n"));
    EXPECT_EQ(e.bytes.count("1.00 0.00 0.00 RG"), 4) << e.bytes.toStdString();
    EXPECT_EQ(e.bytes.count("0.00 0.00 1.00 RG"), 1);
    EXPECT_FALSE(e.bytes.contains("0.00 1.00 0.00 RG"));
    EXPECT_TRUE(e.text.simplified().isEmpty()) << e.text.toStdString();
}

TEST(PdfMemoRendering, PopplerAt96DpiMatchesOurDrawing)
{
    if (!pdftest::haveTools() || !QFile::exists(QStringLiteral("/usr/bin/pdftoppm")))
        GTEST_SKIP() << "poppler-utils and qpdf are needed";
    auto page = std::make_unique<TzdReportPage>(nullptr);
    page->SetPaperFormat(256, 120, 90);
    page->SizeToPaper();
    const int kW = int(page->Width()), kH = int(page->Height());
    auto a = makeMemo(kCzechPangram, 20, 20, 400, 40);
    a->SetColor(plat::clYellow);
    a->Font()->SetSize(14);
    auto b = makeMemo(QStringLiteral("Vpravo zarovnaný text\nna dvou řádcích"), 20, 90, 300, 60);
    b->HAlign = haRight;
    b->SetColor(plat::clAqua);
    b->Frame()->Typ = {ftLeft, ftRight, ftTop, ftBottom};
    b->Frame()->SetWidth(2);
    auto c = makeMemo(QStringLiteral("Uprostřed"), 20, 180, 400, 80);
    c->HAlign = haCenter;
    c->VAlign = vaCenter;
    c->Font()->SetSize(20);
    c->Font()->SetColor(plat::clBlue);
    const std::vector<TzdView*> objects{a.get(), b.get(), c.get()};

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("render.pdf"));
    {
        TzdPDFExport pdf(nullptr);
        pdf.FileName = file;
        pdf.PreparedPageCount = 1;
        ASSERT_TRUE(pdf.StartExport());
        pdf.OpenPage(page.get(), 0);
        for (TzdView* o : objects)
            pdf.WriteObject(o);
        pdf.ClosePage(page.get(), 0);
        pdf.FinishExport();
    }
    pdftest::checkPdf(file);
    const QString png = dir.filePath(QStringLiteral("page"));
    ASSERT_EQ(pdftest::runTool(QStringLiteral("/usr/bin/pdftoppm"),
                               {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                                QStringLiteral("-singlefile"), file, png})
                  .exitCode,
              0);
    const QImage theirs = QImage(png + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_LE(std::abs(theirs.width() - kW), 1);
    ASSERT_LE(std::abs(theirs.height() - kH), 1);

    QImage ours(theirs.size(), QImage::Format_RGB32);
    ours.fill(Qt::white);
    {
        plat::TCanvas canvas(&ours);
        for (TzdView* o : objects)
            o->Draw(&canvas, 1, 1, 0, 0);
    }
    // Glyph edges and baselines differ by a pixel or two between the two
    // rasterisers: a pixel counts only when nothing near it matches.
    auto close = [](QRgb p, QRgb q) {
        return std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) <= 150;
    };
    int differing = 0;
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x) {
            bool matched = false;
            for (int dy = -2; dy <= 2 && !matched; ++dy)
                for (int dx = -2; dx <= 2 && !matched; ++dx) {
                    const int tx = x + dx, ty = y + dy;
                    matched = tx >= 0 && ty >= 0 && tx < theirs.width() && ty < theirs.height() &&
                              close(ours.pixel(x, y), theirs.pixel(tx, ty));
                }
            if (!matched)
                ++differing;
        }
    EXPECT_LT(differing, ours.width() * ours.height() / 200) << differing;
    // The ink of each memo lies in the same place within a few pixels.
    for (TzdView* o : objects) {
        auto ink = [&](const QImage& img) {
            QRect r;
            const QRgb paper = o->Color() == plat::clNone ? 0xFFFFFF : plat::ColorToRGB(o->Color());
            const QRgb bg = qRgb(paper & 0xFF, (paper >> 8) & 0xFF, (paper >> 16) & 0xFF);
            for (int y = int(o->Top()) + 4; y < int(o->Top() + o->Height()) - 4; ++y)
                for (int x = int(o->Left()) + 4; x < int(o->Left() + o->Width()) - 4; ++x) {
                    const QRgb p = img.pixel(x, y);
                    if (std::abs(qRed(p) - qRed(bg)) + std::abs(qGreen(p) - qGreen(bg)) +
                            std::abs(qBlue(p) - qBlue(bg)) > 200)
                        r |= QRect(x, y, 1, 1);
                }
            return r;
        };
        const QRect mine = ink(ours), poppler = ink(theirs);
        ASSERT_FALSE(mine.isEmpty());
        EXPECT_LE(std::abs(mine.left() - poppler.left()), 4) << o->Name().toStdString();
        EXPECT_LE(std::abs(mine.right() - poppler.right()), 4);
        EXPECT_LE(std::abs(mine.top() - poppler.top()), 4);
        EXPECT_LE(std::abs(mine.bottom() - poppler.bottom()), 4);
    }
}

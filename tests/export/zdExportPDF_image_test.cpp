// Rasterised objects: pictures and barcodes become JPEG images with soft
// masks, shared within a page, and still decode after poppler renders them.
#include "PdfCheck.h"
#include "PdfExportFixture.h"
#include "../TestUtil.h"

#include "zdExportPDF.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "zdBarcodeView.h"
#include "zdClass.h"
#include "zdClass_fill.h"
#include "zdClass_picture.h"
#include "zdClass_shape.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace pdftest;

namespace pdf_image_test {
namespace {

void startUnits()
{
    static const bool started = [] {
        zd::startReportUnit();
        zd::startBarcodeViewRTTIUnit();
        zd::startBarcodeViewUnit();
        return true;
    }();
    (void)started;
}

TzdPDFPageInfo page(int w = 794, int h = 1123)
{
    TzdPDFPageInfo p;
    p.Width = w;
    p.Height = h;
    return p;
}

// Exports pages of objects; returns the file.
QString exportPages(TzdPDFExport& pdf, QTemporaryDir& dir, const QString& name,
                    const std::vector<std::vector<TzdView*>>& pages, TzdPDFPageInfo info = page())
{
    const QString file = dir.filePath(name + QStringLiteral(".pdf"));
    pdf.FileName = file;
    EXPECT_TRUE(pdf.StartExport());
    for (size_t k = 0; k < pages.size(); ++k) {
        pdf.OpenPageInfo(info, int(k));
        for (TzdView* v : pages[k])
            pdf.WriteObject(v);
        pdf.ClosePage(nullptr, int(k));
    }
    pdf.FinishExport();
    if (haveTools())
        checkPdf(file);
    return file;
}

// pdfimages -list rows of one kind ("image" or "smask").
int imageRows(const QString& file, const QByteArray& kind)
{
    const Tool t = runTool(QStringLiteral("/usr/bin/pdfimages"), {QStringLiteral("-list"), file});
    int n = 0;
    for (const QByteArray& line : t.out.split('\n'))
        if (line.simplified().split(' ').value(2) == kind)
            ++n;
    return n;
}

// Object numbers of the image objects pdfimages lists, in listing order.
QList<QByteArray> imageObjects(const QString& file)
{
    const Tool t = runTool(QStringLiteral("/usr/bin/pdfimages"), {QStringLiteral("-list"), file});
    QList<QByteArray> objects;
    for (const QByteArray& line : t.out.split('\n').mid(2))
        if (!line.trimmed().isEmpty())
            objects.append(line.simplified().split(' ').value(10));
    return objects;
}

QImage render(const QString& file, int dpi)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("page"));
    runTool(QStringLiteral("/usr/bin/pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                                                  QStringLiteral("-singlefile"), file, base});
    return QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

QString decoded(const QString& program, const QStringList& args)
{
    return QString::fromUtf8(runTool(program, args).out);
}

std::unique_ptr<plat::TPngImage> pngOf(const QImage& image)
{
    auto png = std::make_unique<plat::TPngImage>();
    png->EncodeFrom(image);
    return png;
}

// Left half transparent, right half of the colour.
QImage halfTransparent(QColor right, int w = 40, int h = 20)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < h; ++y)
        for (int x = w / 2; x < w; ++x)
            image.setPixelColor(x, y, right);
    return image;
}

std::unique_ptr<TzdPictureView> pictureOf(const QImage& image, int left, int top, int w, int h)
{
    auto v = std::make_unique<TzdPictureView>(nullptr);
    v->Picture()->SetGraphic(pngOf(image));
    v->SetBounds(left, top, w, h);
    return v;
}

// A view that paints a black square and then fails.
class FailingView : public TzdView {
public:
    FailingView() : TzdView(nullptr) {}
    void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
              long double OffsetY) override
    {
        BeginDraw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
        Canvas->Brush().SetColor(plat::clBlack);
        Canvas->FillRect(plat::TRect(PixX, PixY, PixX + PixWidth / 2, PixY1));
        throw plat::Exception(QStringLiteral("the data went away"));
    }
};

// Whether every quantisation value of a JPEG is 1 (quality 100).
bool quantisedAtFullQuality(const QByteArray& jpeg)
{
    bool found = false;
    for (qsizetype i = 2; i + 4 < jpeg.size();) {
        if (uchar(jpeg[i]) != 0xFF)
            return false;
        const uchar marker = uchar(jpeg[i + 1]);
        const int length = (uchar(jpeg[i + 2]) << 8) | uchar(jpeg[i + 3]);
        if (marker == 0xDB) {
            for (qsizetype k = i + 4; k < i + 2 + length; k += 65) {
                if (uchar(jpeg[k]) >> 4 != 0)
                    return false; // 16-bit tables are not written at these qualities
                for (int q = 1; q <= 64; ++q)
                    if (uchar(jpeg[k + q]) != 1)
                        return false;
                found = true;
            }
        }
        if (marker == 0xDA)
            break;
        i += 2 + length;
    }
    return found;
}

} // namespace

TEST(PdfImages, BarcodesAreEncodedFivePointsAboveTheQuality)
{
    if (!haveTools())
        GTEST_SKIP() << "poppler-utils and qpdf are needed";
    startUnits();
    QTemporaryDir dir;
    auto code = code128(QStringLiteral("ZD-5"), 40, 40);
    QImage photo(60, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            photo.setPixel(x, y, qRgb(x * 4, y * 6, (x + y) * 2));
    auto picture = pictureOf(photo, 40, 200, 60, 40);
    TzdPDFExport pdf(nullptr);
    pdf.Quality = 95;
    const QString file = exportPages(pdf, dir, QStringLiteral("quality"), {{code.get(), picture.get()}});
    const QString root = dir.filePath(QStringLiteral("img"));
    ASSERT_EQ(runTool(QStringLiteral("/usr/bin/pdfimages"), {QStringLiteral("-j"), file, root}).exitCode, 0);
    EXPECT_TRUE(quantisedAtFullQuality(fileBytes(root + QStringLiteral("-000.jpg")))); // the barcode
    EXPECT_FALSE(quantisedAtFullQuality(fileBytes(root + QStringLiteral("-001.jpg"))));
}

TEST(PdfImages, IdenticalBarcodesShareAnImageWithinAPageOnly)
{
    if (!haveTools())
        GTEST_SKIP() << "poppler-utils and qpdf are needed";
    startUnits();
    QTemporaryDir dir;
    auto a = code128(QStringLiteral("ZD-1234"), 40, 40), b = code128(QStringLiteral("ZD-1234"), 40, 200),
         c = code128(QStringLiteral("ZD-1234"), 40, 40), other = code128(QStringLiteral("ZD-9999"), 40, 400);
    TzdPDFExport pdf(nullptr);
    const QString file = exportPages(pdf, dir, QStringLiteral("shared"), {{a.get(), b.get(), other.get()}, {c.get()}});
    EXPECT_EQ(imageRows(file, "image"), 4); // four uses
    const QList<QByteArray> objects = imageObjects(file);
    ASSERT_EQ(objects.size(), 4);
    EXPECT_EQ(objects[0], objects[1]); // the same code twice on page 1
    EXPECT_NE(objects[0], objects[2]); // another code
    EXPECT_NE(objects[0], objects[3]); // the same code on page 2
    EXPECT_EQ(fileBytes(file).count("/Subtype /Image"), 3);
}

TEST(PdfImages, BarcodesDecodeAfterRenderingAt300Dpi)
{
    if (!haveTools() || !QFile::exists(QStringLiteral("/usr/bin/zbarimg")))
        GTEST_SKIP() << "poppler-utils, qpdf and zbar-tools are needed";
    startUnits();
    for (bool optimized : {false, true}) {
        SCOPED_TRACE(optimized ? "print-optimised" : "plain");
        QTemporaryDir dir;
        auto code = code128(QStringLiteral("SORVAMET-42"), 40, 40);
        TzdPDFExport pdf(nullptr);
        pdf.PrintOptimized = optimized;
        const QString file = exportPages(pdf, dir, QStringLiteral("code"), {{code.get()}}, page(500, 200));
        const QString png = dir.filePath(QStringLiteral("code.png"));
        ASSERT_TRUE(render(file, 300).save(png));
        EXPECT_TRUE(decoded(QStringLiteral("/usr/bin/zbarimg"), {QStringLiteral("-q"), png})
                        .contains(QStringLiteral("CODE-128:SORVAMET-42")));
        if (QFile::exists(QStringLiteral("/usr/bin/ZXingReader"))) {
            EXPECT_TRUE(decoded(QStringLiteral("/usr/bin/ZXingReader"), {png}).contains(QStringLiteral("SORVAMET-42")));
        }
    }
}

TEST(PdfImages, AlphaOfAPngLetsTheBackgroundShowThrough)
{
    if (!haveTools())
        GTEST_SKIP() << "poppler-utils and qpdf are needed";
    QTemporaryDir dir;
    TzdShapeView background(nullptr);
    background.SetBounds(0, 0, 400, 200);
    background.SetColor(plat::clRed);
    background.Frame()->Typ = {};
    // Two pictures with one mask and different colours share the mask.
    auto blue = pictureOf(halfTransparent(Qt::blue), 20, 20, 160, 80);
    auto green = pictureOf(halfTransparent(QColor(0, 255, 0)), 220, 20, 160, 80);
    for (auto* p : {blue.get(), green.get()}) {
        p->SetTransparent(true);
        p->TransparentColor = plat::clNone;
        p->KeepAspectRatio = false;
        p->SetColor(plat::clNone);
    }
    TzdPDFExport pdf(nullptr);
    pdf.Transparency = true;
    const QString file = exportPages(pdf, dir, QStringLiteral("alpha"), {{&background, blue.get(), green.get()}},
                                     page(400, 200));
    const QByteArray bytes = fileBytes(file);
    EXPECT_EQ(bytes.count("/Subtype /Image"), 3); // two colour images, one mask
    EXPECT_EQ(bytes.count("/ColorSpace /DeviceGray/Matte[ 0 0 0] "), 1);
    EXPECT_EQ(imageRows(file, "smask"), 2);

    const QImage shown = render(file, 96);
    ASSERT_EQ(shown.size(), QSize(400, 200));
    EXPECT_EQ(shown.pixelColor(50, 60), QColor(Qt::red)); // see-through half
    const QColor right = shown.pixelColor(150, 60), other = shown.pixelColor(350, 60);
    EXPECT_LT(right.red(), 30);
    EXPECT_GT(right.blue(), 220);
    EXPECT_GT(other.green(), 220);
    EXPECT_LT(other.red(), 30);
}

TEST(PdfImages, AStretchedPictureKeepsItsProportionsAtTheTopLeft)
{
    QTemporaryDir dir;
    QImage wide(100, 50, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    auto picture = pictureOf(wide, 40, 40, 200, 200);
    picture->Frame()->Typ = {};
    TzdPDFExport pdf(nullptr);
    pdf.Compressed = false;
    const QString file = exportPages(pdf, dir, QStringLiteral("aspect"), {{picture.get()}}, page(400, 400));
    // 200 x 100 pixels shown, anchored at (40, 40): top at 300 - 30 - 75.
    EXPECT_TRUE(fileBytes(file).contains("q\r\n150.00 0 0 75.00 30.00 195.00 cm\r\n/Im0 Do\r\nQ\r\n"));
}

TEST(PdfImages, AnOversizedObjectFailsWithAMessageAndTheExportGoesOn)
{
    startUnits();
    QTemporaryDir dir;
    auto huge = pictureOf(halfTransparent(Qt::blue), 0, 0, 10000, 10000);
    huge->SetName(QStringLiteral("Obrovsky"));
    huge->SetTransparent(true);
    huge->Frame()->Typ = {};
    auto code = code128(QStringLiteral("ZD-1"), 20, 20);
    TzdPDFExport pdf(nullptr);
    pdf.Transparency = true;
    pdf.PrintOptimized = true;
    const QString file = exportPages(pdf, dir, QStringLiteral("huge"), {{huge.get(), code.get()}});
    ASSERT_EQ(pdf.Messages().size(), 1) << pdf.Messages().join(u'\n').toStdString();
    EXPECT_TRUE(pdf.Messages()[0].startsWith(QStringLiteral("Obrovsky: "))) << pdf.Messages()[0].toStdString();
    EXPECT_EQ(fileBytes(file).count("/Filter /DCTDecode"), 1); // the barcode
}

TEST(PdfImages, AFailureWhilePaintingKeepsWhatWasPaintedAndIsReported)
{
    if (!haveTools())
        GTEST_SKIP() << "poppler-utils and qpdf are needed";
    QTemporaryDir dir;
    FailingView view;
    view.SetName(QStringLiteral("Vadny"));
    view.SetBounds(0, 0, 200, 100);
    view.Frame()->Typ = {};
    TzdPDFExport pdf(nullptr);
    const QString file = exportPages(pdf, dir, QStringLiteral("failing"), {{&view}}, page(200, 100));
    ASSERT_EQ(pdf.Messages().size(), 1);
    EXPECT_EQ(pdf.Messages()[0], QStringLiteral("Vadny: the data went away"));
    const QImage shown = render(file, 96);
    EXPECT_LT(shown.pixelColor(40, 50).value(), 40);   // the painted half
    EXPECT_GT(shown.pixelColor(160, 50).value(), 220); // the rest stays white
}

TEST(PdfImages, EncryptedImagesStillRender)
{
    if (!haveTools())
        GTEST_SKIP() << "poppler-utils and qpdf are needed";
    startUnits();
    QTemporaryDir dir;
    auto code = code128(QStringLiteral("TAJNE-7"), 40, 40);
    auto picture = pictureOf(halfTransparent(Qt::blue), 40, 120, 160, 80);
    picture->SetTransparent(true);
    picture->TransparentColor = plat::clNone;
    TzdPDFExport pdf(nullptr);
    pdf.Transparency = true;
    pdf.UserPassword = QStringLiteral("u");
    const QString file = dir.filePath(QStringLiteral("enc.pdf"));
    pdf.FileName = file;
    ASSERT_TRUE(pdf.StartExport());
    pdf.OpenPageInfo(page(500, 250), 0);
    pdf.WriteObject(code.get());
    pdf.WriteObject(picture.get());
    pdf.ClosePage(nullptr, 0);
    pdf.FinishExport();
    const Tool check = runTool(QStringLiteral("/usr/bin/qpdf"), {QStringLiteral("--password=u"), QStringLiteral("--check"), file});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
    const QString png = dir.filePath(QStringLiteral("enc.png"));
    runTool(QStringLiteral("/usr/bin/pdftoppm"), {QStringLiteral("-upw"), QStringLiteral("u"), QStringLiteral("-r"),
                                                  QStringLiteral("300"), QStringLiteral("-png"),
                                                  QStringLiteral("-singlefile"), file, dir.filePath(QStringLiteral("enc"))});
    EXPECT_TRUE(decoded(QStringLiteral("/usr/bin/zbarimg"), {QStringLiteral("-q"), png})
                    .contains(QStringLiteral("CODE-128:TAJNE-7")));
}

} // namespace pdf_image_test

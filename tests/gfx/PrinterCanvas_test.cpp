#include "Canvas.h"
#include "GfxTestUtil.h"

#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plat;

// A printer canvas over a page device: what it draws lands on the page at
// the device's resolution, checked by rendering the PDF with poppler.
TEST(PrinterCanvas, DrawsOnAPageDeviceAtItsResolution)
{
    if (!gfxtest::fileExists("/usr/bin/pdftoppm") || !gfxtest::fileExists("/usr/bin/qpdf"))
        GTEST_SKIP() << "poppler-utils and qpdf are needed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A6));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        TPrinterCanvas canvas;
        canvas.SetDevice(&writer);
        EXPECT_EQ(canvas.DeviceDPIY(), 300);
        // A black square of one inch at one inch from the corner.
        canvas.Brush().SetColor(clBlack);
        canvas.FillRect(Bounds(300, 300, 300, 300));
        canvas.Font().SetName(QStringLiteral("Arial"));
        canvas.Font().SetSize(12);
        canvas.Font().SetColor(clRed);
        canvas.Brush().SetStyle(bsClear);
        canvas.TextOut(300, 700, QStringLiteral("Tisk"));
        EXPECT_EQ(canvas.Font().Height(), -50); // 12 pt at 300 dpi
        canvas.ReleaseDevice();
    }
    int status = 0;
    gfxtest::run("/usr/bin/qpdf --check '" + pdf.toStdString() + "' >/dev/null 2>&1", &status);
    EXPECT_EQ(status, 0) << "qpdf rejects the page";
    const QString png = dir.filePath(QStringLiteral("page"));
    gfxtest::run("/usr/bin/pdftoppm -r 30 -png -singlefile '" + pdf.toStdString() + "' '" + png.toStdString() + "'",
                 &status);
    ASSERT_EQ(status, 0);
    QImage img(png + QStringLiteral(".png"));
    ASSERT_FALSE(img.isNull());
    // At 30 dpi the square spans 30..59 in both directions.
    EXPECT_LT(qGray(img.pixel(45, 45)), 60);
    EXPECT_GT(qGray(img.pixel(20, 20)), 200);
    EXPECT_GT(qGray(img.pixel(65, 45)), 200);
    // The red text sits below it, starting at x = 30.
    bool red = false;
    for (int y = 68; y < 80 && !red; ++y)
        for (int x = 30; x < 60 && !red; ++x) {
            const QRgb p = img.pixel(x, y);
            red = qRed(p) > 150 && qGreen(p) < 120 && qBlue(p) < 120;
        }
    EXPECT_TRUE(red);
}

// Text on a printer canvas stays text in the document, at the advances the
// font engine measured.
TEST(PrinterCanvas, TextStaysTextInADocument)
{
    if (!gfxtest::fileExists("/usr/bin/pdftotext"))
        GTEST_SKIP() << "poppler-utils are needed";
    int argc = 1;
    char name[] = "gfx_tests";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv); // glyphs need the font database of a GUI application
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("text.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A5));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        TPrinterCanvas canvas;
        canvas.SetDevice(&writer);
        EXPECT_TRUE(canvas.GlyphText());
        canvas.Brush().SetStyle(bsClear);
        canvas.Font().SetName(QStringLiteral("Arial"));
        canvas.Font().SetSize(14);
        canvas.TextOut(600, 600, QStringLiteral("Příliš žluťoučký kůň"));
        canvas.Font().SetStyle(TFontStyles{fsBold});
        canvas.TextOut(600, 1200, QStringLiteral("Tučně 123"));
        canvas.ReleaseDevice();
    }
    int status = 0;
    const std::string text = gfxtest::run("/usr/bin/pdftotext -enc UTF-8 '" + pdf.toStdString() + "' -", &status);
    ASSERT_EQ(status, 0);
    EXPECT_NE(text.find("Příliš žluťoučký kůň"), std::string::npos) << text;
    EXPECT_NE(text.find("Tučně 123"), std::string::npos) << text;
}

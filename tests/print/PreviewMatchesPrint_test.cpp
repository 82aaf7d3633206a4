// A prepared page in the preview at zoom 1 looks like the same page printed:
// the captured job rasterised by pdftoppm at 96 dpi against a grab of the
// page area.
#include "../tools/SyntheticWriter.h"
#include "CupsSandbox.h"
#include "Modal.h"
#include "ScriptedServices.h"
#include "zdPreview.h"
#include "zdPreviewForm.h"
#include "zdPrinter.h"

#include <QDialog>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

int gray(QRgb c)
{
    return (qRed(c) * 11 + qGreen(c) * 16 + qBlue(c) * 5) / 32;
}

// Mean of gray levels over cells of n x n pixels: antialiasing and
// sub-pixel placement of text differ between screen and PDF raster.
std::vector<double> cells(const QImage& image, int n)
{
    std::vector<double> out;
    for (int y = 0; y + n <= image.height(); y += n)
        for (int x = 0; x + n <= image.width(); x += n) {
            int sum = 0;
            for (int dy = 0; dy < n; ++dy)
                for (int dx = 0; dx < n; ++dx)
                    sum += gray(image.pixel(x + dx, y + dy));
            out.push_back(double(sum) / (n * n));
        }
    return out;
}

} // namespace

TEST_F(SandboxTest, PreviewAtZoomOneMatchesThePrintedPage)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    plat::ScopedModalRunner accept([](QDialog&) { return int(QDialog::Accepted); });
    // Earlier tests leave another queue current.
    TzdPrinters* printers = zdPrinters();
    if (printers->IndexOf(QStringLiteral("ZdA4")) < 0)
        printers->FillPrinters();
    printers->SetPrinterIndex(printers->IndexOf(QStringLiteral("ZdA4")));
    storetest::SyntheticWriter writer;
    TzdPreviewPages pages(&writer.report);
    writer.Write(pages, 1, 40);
    writer.report.PreviewOptions()->Maximized = false;
    TzdPreviewForm form;
    form.resize(1100, 1400);
    form.Init(&writer.report, &pages);
    form.Preview()->SetZoom(1);
    form.show();
    QTest::qWaitForWindowExposed(&form);
    TzdPreviewWorkspace* area = form.Preview()->Workspace();
    area->SetVertPosition(0);
    area->SetHorzPosition(0);
    QCoreApplication::processEvents();
    const plat::TRect r = area->PageBounds(0);
    const QImage shot = area->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int w = r.Right - r.Left, h = std::min(r.Bottom - r.Top, shot.height() - r.Top);
    ASSERT_GT(h, 300);
    // Inside the frame: one pixel in from the page's outline.
    const QImage screen = shot.copy(r.Left + 1, r.Top + 1, w - 2, h - 2);

    form.Preview()->PrintPages();
    const QList<printtest::CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("page"));
    ASSERT_EQ(printtest::Run(QStringLiteral("pdftoppm -r 96 -png -singlefile '%1' '%2'").arg(jobs[0].dataFile, png)), 0);
    const QImage printed = QImage(png + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(printed.isNull());
    EXPECT_NEAR(printed.width(), w, 2);
    const QImage paper = printed.copy(1, 1, w - 2, h - 2);

    const int n = 8;
    const std::vector<double> a = cells(screen, n), b = cells(paper, n);
    ASSERT_EQ(a.size(), b.size());
    int differing = 0, inked = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] < 250 || b[i] < 250)
            ++inked;
        if (std::abs(a[i] - b[i]) > 48)
            ++differing;
    }
    EXPECT_GT(inked, 50);
    EXPECT_LT(differing, inked / 10) << differing << " of " << inked << " inked cells differ";
}

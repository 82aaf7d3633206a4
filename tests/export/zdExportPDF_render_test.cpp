// A page of vector objects rendered by poppler at 96 dpi looks like our own
// drawing of the same objects.
#include "PdfCheck.h"

#include "zdExportPDF.h"

#include "Canvas.h"
#include "zdChBox.h"
#include "zdClass_fill.h"
#include "zdClass_shape.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

TEST(PdfRendering, PopplerAt96DpiMatchesOurDrawing)
{
    if (!pdftest::haveTools() || !QFile::exists(QStringLiteral("/usr/bin/pdftoppm")))
        GTEST_SKIP() << "poppler-utils and qpdf are needed";
    constexpr int kW = 400, kH = 300;
    std::vector<std::unique_ptr<TzdView>> objects;
    auto rect = std::make_unique<TzdShapeView>(nullptr);
    rect->SetBounds(20, 20, 150, 80);
    rect->SetColor(plat::clRed);
    rect->Frame()->SetWidth(3);
    auto ellipse = std::make_unique<TzdShapeView>(nullptr);
    ellipse->Shape = skEllipse;
    ellipse->SetBounds(200, 20, 150, 100);
    ellipse->SetColor(plat::clBlue);
    auto diamond = std::make_unique<TzdShapeView>(nullptr);
    diamond->Shape = skDiamond;
    diamond->SetBounds(20, 150, 120, 120);
    diamond->SetColor(plat::clLime);
    auto line = std::make_unique<TzdLineView>(nullptr);
    line->SetBounds(200, 200, 150, 0);
    line->Frame()->SetWidth(4);
    auto box = std::make_unique<TzdCheckBoxView>(nullptr);
    box->SetBounds(200, 230, 40, 40);
    objects.push_back(std::move(rect));
    objects.push_back(std::move(ellipse));
    objects.push_back(std::move(diamond));
    objects.push_back(std::move(line));
    objects.push_back(std::move(box));

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("render.pdf"));
    TzdPDFExport pdf(nullptr);
    pdf.FileName = file;
    ASSERT_TRUE(pdf.StartExport());
    TzdPDFPageInfo page;
    page.Width = kW;
    page.Height = kH;
    pdf.OpenPageInfo(page, 0);
    for (auto& o : objects)
        pdf.WriteObject(o.get());
    pdf.ClosePage(nullptr, 0);
    pdf.FinishExport();
    pdftest::checkPdf(file);

    const QString png = dir.filePath(QStringLiteral("page"));
    ASSERT_EQ(pdftest::runTool(QStringLiteral("/usr/bin/pdftoppm"),
                               {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                                QStringLiteral("-singlefile"), file, png})
                  .exitCode,
              0);
    const QImage theirs = QImage(png + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(theirs.size(), QSize(kW, kH));

    QImage ours(kW, kH, QImage::Format_RGB32);
    ours.fill(Qt::white);
    {
        plat::TCanvas canvas(&ours);
        for (auto& o : objects)
            o->Draw(&canvas, 1, 1, 0, 0);
    }
    // Edges differ by antialiasing; anything else would show as whole areas.
    int differing = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const QRgb a = ours.pixel(x, y), b = theirs.pixel(x, y);
            const int d = std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
            if (d > 150)
                ++differing;
        }
    EXPECT_LT(differing, kW * kH / 50) << differing;
    // The filled areas agree in their middles.
    EXPECT_EQ(theirs.pixel(95, 60) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(theirs.pixel(275, 70) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(theirs.pixel(80, 210) & 0xFFFFFF, 0x00FF00u);
}

// Fills and frames drawn to PNG files and read back by an outside reader
// (PIL), which checks every pixel against the drawing rules computed on its
// own: gradients, glass colours, dash runs and a table of frames.

#include "Canvas.h"
#include "zdClass_fill.h"
#include "zdToolRunner.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");

QImage whiteImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void drawTo(const QString& path, int w, int h, const std::function<void(plat::TCanvas&)>& draw)
{
    QImage image = whiteImage(w, h);
    {
        plat::TCanvas canvas(&image);
        draw(canvas);
    }
    ASSERT_TRUE(image.save(path, "PNG")) << path.toStdString();
}

bool pilAvailable()
{
    return zdtest::runTool(kPython, {QStringLiteral("-c"), QStringLiteral("import PIL")}).exitCode == 0;
}

void expectPixelsRight(const QString& folder)
{
    const zdtest::ToolResult r = zdtest::runTool(
        kPython, {QStringLiteral(SORVAMET_TEST_DATA "/objects/check_pixels.py"), folder});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
}

} // namespace

TEST(FillPixels, GradientsStepThroughTheirColours)
{
    if (!pilAvailable())
        GTEST_SKIP() << "python3 with PIL is not installed";
    QTemporaryDir dir;
    const auto gradient = [](TzdGradientStyle style) {
        auto fill = std::make_unique<TzdGradientFill>();
        fill->StartColor = plat::clBlack;
        fill->EndColor = plat::clWhite;
        fill->GradientStyle = style;
        return fill;
    };
    // Column i of a 256-pixel horizontal gradient is grey i; narrower and
    // wider ones share their bands.
    for (int w : {256, 100, 300}) {
        auto fill = gradient(gsHorizontal);
        drawTo(dir.filePath(QStringLiteral("grad_h_%1.png").arg(w)), w, 3,
               [&](plat::TCanvas& c) { fill->Draw(&c, 0, 0, w, 3, 1, 1); });
    }
    auto vertical = gradient(gsVertical);
    drawTo(dir.filePath(QStringLiteral("grad_v_256.png")), 3, 256,
           [&](plat::TCanvas& c) { vertical->Draw(&c, 0, 0, 3, 256, 1, 1); });
    // Centre gradients, down to rectangles under 2 pixels, which keep the
    // start colour.
    for (int size : {1, 2, 3, 7, 10, 64}) {
        auto vc = gradient(gsVertCenter);
        drawTo(dir.filePath(QStringLiteral("grad_vc_%1.png").arg(size)), 4, size,
               [&](plat::TCanvas& c) { vc->Draw(&c, 0, 0, 4, size, 1, 1); });
        auto hc = gradient(gsHorizCenter);
        drawTo(dir.filePath(QStringLiteral("grad_hc_%1.png").arg(size)), size, 4,
               [&](plat::TCanvas& c) { hc->Draw(&c, 0, 0, size, 4, 1, 1); });
    }
    expectPixelsRight(dir.path());
}

TEST(FillPixels, GlassLightensOneHalfAndHatchesInADarkerShade)
{
    if (!pilAvailable())
        GTEST_SKIP() << "python3 with PIL is not installed";
    QTemporaryDir dir;
    struct Case {
        int r, g, b, blendPercent;
        bool hatch;
    };
    // (3, 100, 200) without blend hatches in (0, 94, 194): the red channel
    // stops at 0 instead of borrowing from green.
    const Case cases[] = {{0, 0, 255, 50, false}, {3, 100, 200, 0, true},   {200, 4, 5, 50, true},
                          {128, 128, 128, 100, true}, {90, 60, 30, -50, false}, {250, 251, 252, 50, true}};
    for (int orientation = foVertical; orientation <= foHorizontalMirror; ++orientation) {
        for (const Case& k : cases) {
            TzdGlassFill fill;
            fill.Color = plat::RGB(k.r, k.g, k.b);
            fill.Blend = k.blendPercent / 100.0L;
            fill.Hatch = k.hatch;
            fill.Orientation = static_cast<TzdGlassFillOrientation>(orientation);
            const QString name = QStringLiteral("glass_%1_%2_%3_%4_%5_%6.png")
                                     .arg(orientation)
                                     .arg(k.r)
                                     .arg(k.g)
                                     .arg(k.b)
                                     .arg(k.blendPercent)
                                     .arg(k.hatch ? 1 : 0);
            drawTo(dir.filePath(name), 60, 50, [&](plat::TCanvas& c) { fill.Draw(&c, 5, 5, 45, 35, 1, 1); });
        }
    }
    expectPixelsRight(dir.path());
}

TEST(FramePixels, DashedSidesRepeatTheirPatterns)
{
    if (!pilAvailable())
        GTEST_SKIP() << "python3 with PIL is not installed";
    QTemporaryDir dir;
    for (TzdFrameStyle style : {fsDash, fsDot, fsDashDot, fsDashDotDot}) {
        TzdFrame frame;
        frame.Typ = TzdFrameTypes{ftTop};
        frame.SetStyle(style);
        drawTo(dir.filePath(QStringLiteral("dash_%1.png").arg(style)), 200, 20,
               [&](plat::TCanvas& c) { frame.Draw(&c, 10, 10, 190, 15, 1, 1); });
    }
    expectPixelsRight(dir.path());
}

TEST(FramePixels, FrameTableOfTypesStylesWidthsAndScales)
{
    if (!pilAvailable())
        GTEST_SKIP() << "python3 with PIL is not installed";
    QTemporaryDir dir;
    const int types[] = {15, 1, 4, 5, 10, 3, 12};
    for (int typ : types) {
        for (int style = fsSolid; style <= fsSquare; ++style) {
            for (int width = 1; width <= 3; ++width) {
                for (int scaleTenths : {10, 25}) {
                    TzdFrame frame;
                    frame.Typ = TzdFrameTypes::fromMask(quint32(typ));
                    frame.SetStyle(static_cast<TzdFrameStyle>(style));
                    frame.SetWidth(width);
                    const long double scale = scaleTenths / 10.0L;
                    drawTo(dir.filePath(QStringLiteral("frame_%1_%2_%3_%4.png")
                                            .arg(typ)
                                            .arg(style)
                                            .arg(width)
                                            .arg(scaleTenths)),
                           100, 80, [&](plat::TCanvas& c) { frame.Draw(&c, 20, 20, 80, 60, scale, scale); });
                }
            }
        }
    }
    expectPixelsRight(dir.path());
}

#include "zdUtils.h"

#include "Canvas.h"
#include "Graphics.h"
#include "Metafile.h"
#include "../PixelTestUtil.h"

#include <QImage>

#include <memory>

#include <gtest/gtest.h>

using plat::TColor;

namespace {

QImage filledImage(int w, int h, TColor color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(plat::ToQColor(color));
    return image;
}


// A bitmap of the key colour with a block of another colour.
std::unique_ptr<plat::TBitmap> keyedBitmap(int w, int h, TColor key, const QRect& block, TColor blockColor)
{
    QImage image = filledImage(w, h, key);
    for (int y = block.top(); y <= block.bottom(); ++y)
        for (int x = block.left(); x <= block.right(); ++x)
            image.setPixel(x, y, plat::ToQColor(blockColor).rgb());
    auto bitmap = std::make_unique<plat::TBitmap>();
    bitmap->SetImage(image);
    return bitmap;
}

int countOf(const QImage& image, TColor color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += colorAt(image, x, y) == color;
    return n;
}

} // namespace

TEST(zdGetDisplayScale, ResolutionOverNinetySixAndDisplayModeAtNinetySix)
{
    const zd::DisplayMode scaled{1280, 720, 2560, 1440};
    struct Case {
        int dpiX, dpiY;
        std::optional<zd::DisplayMode> mode;
        long double x, y;
    };
    const Case cases[] = {
        {192, 144, scaled, 2.0L, 1.5L},         // printer-like: the mode does not count
        {96, 96, scaled, 0.5L, 0.5L},           // scaled desktop
        {96, 96, std::nullopt, 1.0L, 1.0L},     // display unknown
        {96, 300, scaled, 0.5L, 0.5L},          // either axis at 96 is enough
        {96, 96, zd::DisplayMode{}, 1.0L, 1.0L}, // a mode of no size is ignored
    };
    for (const Case& c : cases) {
        long double x = 0, y = 0;
        zd::displayScale(c.dpiX, c.dpiY, c.mode, x, y);
        EXPECT_NEAR(double(x), double(c.x), 1e-9) << c.dpiX << "x" << c.dpiY;
        EXPECT_NEAR(double(y), double(c.y), 1e-9) << c.dpiX << "x" << c.dpiY;
    }

    QImage image(4, 4, QImage::Format_RGB32);
    plat::TCanvas canvas(&image);
    canvas.SetDeviceDPI(600, 300);
    long double x = 0, y = 0;
    zdGetDisplayScale(canvas, false, x, y);
    EXPECT_NEAR(double(x), 6.25, 1e-9);
    EXPECT_NEAR(double(y), 3.125, 1e-9);
}

TEST(zdLightenBitmap, GreyOfTheAverageThirdPlusOneHundredFifty)
{
    struct Case {
        TColor in;
        int grey;
    };
    const Case cases[] = {
        {plat::RGB(0, 0, 0), 150},      {plat::RGB(255, 255, 255), 235}, {plat::RGB(10, 20, 30), 157},
        {plat::RGB(100, 0, 0), 161},    {plat::RGB(2, 2, 2), 151},       {plat::RGB(0, 0, 4), 150},
        {plat::RGB(255, 0, 255), 207},
    };
    QImage image(int(std::size(cases)), 1, QImage::Format_RGB32);
    for (int i = 0; i < int(std::size(cases)); ++i)
        image.setPixel(i, 0, plat::ToQColor(cases[i].in).rgb());
    plat::TBitmap bitmap;
    bitmap.SetImage(image);
    zdLightenBitmap(bitmap);
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const int g = cases[i].grey;
        EXPECT_EQ(colorAt(bitmap.Image(), i, 0), plat::RGB(g, g, g)) << "case " << i;
    }

    plat::TBitmap empty;
    zdLightenBitmap(empty); // nothing to do, no fault
    EXPECT_TRUE(empty.Empty());
}

TEST(zdSplitImageStrip, TilesRowByRowMaskedWithLightenedCopies)
{
    // 40 x 20 strip of 16 x 16 tiles: two whole columns, a whole row and a
    // partial one; the third column is too narrow to count.
    const TColor key = plat::clFuchsia;
    QImage image = filledImage(40, 20, key);
    const TColor marks[] = {plat::clRed, plat::clLime, plat::clBlue, plat::clYellow};
    const QPoint origins[] = {{0, 0}, {16, 0}, {0, 16}, {16, 16}};
    for (int i = 0; i < 4; ++i)
        image.setPixel(origins[i] + QPoint(3, 2), plat::ToQColor(marks[i]).rgb());
    plat::TBitmap strip;
    strip.SetImage(image);

    zd::ImageList list;
    zd::ImageList disabled;
    zdSplitImageStrip(strip, 16, 16, &disabled, list);
    ASSERT_EQ(list.size(), 4);
    ASSERT_EQ(disabled.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const QImage& tile = list[i];
        ASSERT_EQ(tile.size(), QSize(16, 16));
        EXPECT_EQ(plat::FromQColor(QColor(tile.pixel(3, 2))) & 0xFFFFFF, marks[i]) << "tile " << i;
        EXPECT_EQ(qAlpha(tile.pixel(3, 2)), 255);
        EXPECT_EQ(qAlpha(tile.pixel(0, 0)), 0) << "key colour is see-through";
        EXPECT_EQ(qAlpha(tile.pixel(5, 15)), 0) << "below a partial row too";
        // The disabled copy: the grey of the mark, the same mask.
        const QRgb mark = plat::ToQColor(marks[i]).rgb();
        const int grey = int(std::nearbyint(((qRed(mark) + qGreen(mark) + qBlue(mark)) / 3) / 3.0)) + 150;
        EXPECT_EQ(disabled[i].pixel(3, 2), qRgba(grey, grey, grey, 255)) << "tile " << i;
        EXPECT_EQ(qAlpha(disabled[i].pixel(0, 0)), 0);
    }

    // Without a disabled list; images are appended to what the list holds.
    zdSplitImageStrip(strip, 16, 16, nullptr, list);
    EXPECT_EQ(list.size(), 8);
    zdSplitImageStrip(strip, 0, 16, nullptr, list);
    EXPECT_EQ(list.size(), 8);
}

TEST(zdSplitImageStrip, FixedTransparentColourMasksEveryTile)
{
    // The tile's bottom-left pixel is not the key here: the fixed colour is.
    const auto strip = keyedBitmap(32, 16, plat::clWhite, QRect(0, 8, 32, 8), plat::clNavy);
    strip->SetTransparentColor(plat::clNavy);
    zd::ImageList list;
    zdSplitImageStrip(*strip, 16, 16, nullptr, list);
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(qAlpha(list[1].pixel(0, 15)), 0);
    EXPECT_EQ(qAlpha(list[1].pixel(0, 0)), 255);
}

TEST(zdDrawMaskedBitmap, KeyColourKeepsTheBackground)
{
    QImage target = filledImage(10, 10, plat::clGreen);
    plat::TCanvas canvas(&target);
    const auto bitmap = keyedBitmap(4, 4, plat::clFuchsia, QRect(1, 1, 2, 2), plat::clRed);
    zdDrawMaskedBitmap(canvas, 3, 5, bitmap.get());
    zdDrawMaskedBitmap(canvas, 0, 0, nullptr);
    canvas.ReleaseDevice();
    EXPECT_EQ(countOf(target, plat::clRed), 4);
    EXPECT_EQ(colorAt(target, 4, 6), plat::clRed);
    EXPECT_EQ(colorAt(target, 5, 7), plat::clRed);
    EXPECT_EQ(colorAt(target, 3, 5), plat::clGreen);
    EXPECT_EQ(countOf(target, plat::clFuchsia), 0);
}

TEST(zdDrawBitmapTransparent, StretchesIntoRectAndRestoresTheStretchMode)
{
    QImage target = filledImage(20, 20, plat::clGreen);
    plat::TCanvas canvas(&target);
    // Left half red, right half the see-through colour.
    const auto bitmap = keyedBitmap(8, 8, plat::clAqua, QRect(0, 0, 4, 8), plat::clRed);
    zdDrawBitmapTransparent(canvas, plat::Rect(2, 2, 18, 18), *bitmap, false, plat::clAqua);
    EXPECT_EQ(canvas.StretchBltMode(), plat::COLORONCOLOR);
    canvas.ReleaseDevice();
    EXPECT_EQ(colorAt(target, 2, 2), plat::clRed);
    EXPECT_EQ(colorAt(target, 8, 17), plat::clRed);
    EXPECT_EQ(colorAt(target, 13, 9), plat::clGreen);
    EXPECT_EQ(colorAt(target, 17, 17), plat::clGreen);
    EXPECT_EQ(colorAt(target, 1, 1), plat::clGreen); // outside the rect
    EXPECT_EQ(colorAt(target, 18, 10), plat::clGreen);
    EXPECT_EQ(countOf(target, plat::clAqua), 0);
}

namespace {

struct PaintCase {
    const char* name;
    bool transparent;
    bool highQuality;
    bool printing;
    TColor seeThrough; // colour passed as the transparent colour
    TColor keyArea;    // what the key-coloured area shows afterwards
};

} // namespace

TEST(zdPaintGraphic, BitmapByTransparencyQualityAndPrinting)
{
    const PaintCase cases[] = {
        {"plain", false, false, false, plat::clNone, plat::clAqua},
        {"transparent", true, false, false, plat::clAqua, plat::clGreen},
        {"high quality", false, true, false, plat::clAqua, plat::clAqua},
        {"high quality transparent", true, true, false, plat::clAqua, plat::clGreen},
        {"printing", false, false, true, plat::clNone, plat::clAqua},
        {"printing transparent", true, false, true, plat::clAqua, plat::clGreen},
    };
    for (const PaintCase& c : cases) {
        QImage target = filledImage(12, 12, plat::clGreen);
        plat::TCanvas canvas(&target);
        canvas.Brush().SetColor(plat::clBlue);
        const auto bitmap = keyedBitmap(4, 4, plat::clAqua, QRect(0, 0, 2, 4), plat::clRed);
        zdPaintGraphic(canvas, plat::Rect(2, 2, 10, 10), bitmap.get(), c.seeThrough, c.transparent, c.highQuality,
                       c.printing);
        EXPECT_EQ(canvas.Brush().Color(), plat::clWhite) << c.name;
        canvas.ReleaseDevice();
        EXPECT_EQ(colorAt(target, 2, 2), plat::clRed) << c.name;
        EXPECT_EQ(colorAt(target, 4, 9), plat::clRed) << c.name;
        EXPECT_EQ(colorAt(target, 9, 9), c.keyArea) << c.name;
        EXPECT_EQ(colorAt(target, 7, 3), c.keyArea) << c.name;
        EXPECT_EQ(colorAt(target, 10, 10), plat::clGreen) << c.name; // right and bottom excluded
        EXPECT_EQ(colorAt(target, 1, 1), plat::clGreen) << c.name;
    }
}

TEST(zdPaintGraphic, PictureWithAlphaIsFlattenedOntoTheSeeThroughColour)
{
    // A PNG whose right half is fully transparent.
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            image.setPixel(x, y, qRgba(255, 0, 0, 255));
    plat::TPngImage png;
    png.EncodeFrom(image);

    struct Case {
        bool transparent;
        bool highQuality;
        TColor color;
        TColor clearArea;
    };
    // Through the buffer bitmap without a see-through colour the transparent
    // area comes out white, as it does on paper; with one, the background
    // shows through; drawn directly, the picture's own alpha does.
    const Case cases[] = {
        {false, true, plat::clNone, plat::clWhite},
        {true, false, plat::clYellow, plat::clGreen},
        {false, false, plat::clNone, plat::clGreen},
    };
    for (const Case& c : cases) {
        QImage target = filledImage(8, 8, plat::clGreen);
        plat::TCanvas canvas(&target);
        zdPaintGraphic(canvas, plat::Rect(0, 0, 8, 8), &png, c.color, c.transparent, c.highQuality, false);
        canvas.ReleaseDevice();
        EXPECT_EQ(colorAt(target, 1, 1), plat::clRed) << c.transparent;
        EXPECT_EQ(colorAt(target, 6, 6), c.clearArea) << c.transparent << c.highQuality;
    }
}

TEST(zdPaintGraphic, MetafileIsReplayedIntoTheRect)
{
    plat::TMetafile metafile;
    {
        plat::TMetafileCanvas recorder(metafile);
        recorder.Brush().SetColor(plat::clRed);
        recorder.FillRect(plat::Rect(0, 0, 5, 10));
        recorder.Brush().SetColor(plat::clBlue);
        recorder.FillRect(plat::Rect(5, 0, 10, 10));
    }
    metafile.SetWidth(10);
    metafile.SetHeight(10);
    for (bool printing : {false, true}) {
        QImage target = filledImage(30, 30, plat::clGreen);
        plat::TCanvas canvas(&target);
        zdPaintGraphic(canvas, plat::Rect(5, 5, 25, 25), &metafile, plat::clNone, false, false, printing);
        canvas.ReleaseDevice();
        EXPECT_EQ(colorAt(target, 6, 20), plat::clRed) << printing;
        EXPECT_EQ(colorAt(target, 20, 6), plat::clBlue) << printing;
        EXPECT_EQ(colorAt(target, 26, 26), plat::clGreen) << printing;
    }
}

TEST(zdPaintGraphic, NothingForAMissingOrEmptyPicture)
{
    QImage target = filledImage(6, 6, plat::clGreen);
    plat::TCanvas canvas(&target);
    plat::TBitmap empty;
    zdPaintGraphic(canvas, plat::Rect(0, 0, 6, 6), nullptr, plat::clNone, false, true, true);
    zdPaintGraphic(canvas, plat::Rect(0, 0, 6, 6), &empty, plat::clNone, true, true, true);
    canvas.ReleaseDevice();
    EXPECT_EQ(countOf(target, plat::clGreen), 36);
}

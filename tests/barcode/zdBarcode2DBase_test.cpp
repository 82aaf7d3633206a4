// The 2D symbol base: measure, and the placement of modules and text line
// at the four rotations, through the platform canvas on an image.
#include "zdBarcode2DBase.h"
#include "zdBarcodeQR.h"

#include "Canvas.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstring>

namespace {

// A symbol with a hand-made image.
class Probe : public TzdBarcode2DBase {
public:
    // rows of '#' (dark) and '.' (light)
    void setPattern(const std::vector<const char*>& rows)
    {
        resetImage(int(rows.size()), int(std::strlen(rows[0])));
        for (int r = 0; r < Rows(); ++r)
            for (int c = 0; c < Columns(); ++c)
                setModule(r, c, rows[std::size_t(r)][c] == '#');
    }
};

const std::vector<const char*> kPattern{"#..#.", "##...", ".#.##"};
constexpr QRgb kGrey = 0xFF808080;

QImage canvasImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(kGrey);
    return image;
}

void draw(TzdBarcode2DBase& symbol, QImage& image, int x, int y, long double scale = 1)
{
    plat::TCanvas canvas(&image);
    symbol.Draw(canvas, x, scale, scale, y);
    canvas.ReleaseDevice();
}

TEST(Barcode2DBase, MeasuresModulesQuietZoneAndText)
{
    TzdBarcodeQR qr; // 21 x 21, 4 pixels per module
    qr.SetShowText(false);
    EXPECT_EQ(qr.GetWidth(), 84);
    EXPECT_EQ(qr.GetHeight(), 84);
    qr.SetShowText(true);
    EXPECT_EQ(qr.GetTextHeight(), 15); // Arial 9 at 96 pixels per inch
    EXPECT_EQ(qr.GetHeight(), 99);
    qr.SetQuietZone(8);
    EXPECT_EQ(qr.GetWidth(), 100);
    EXPECT_EQ(qr.GetHeight(), 115);
}

// Where module (row j, column i) lands, by the rotation rules (scale 1, no text).
QPoint moduleCentre(int rotation, int j, int i, int X, int Y, int pw, int ph, int columns)
{
    const int W = columns * pw;
    switch (rotation) {
    case 0: return {X + pw * i + pw / 2, Y + ph * j + ph / 2};
    case 90: return {X + ph * j + ph / 2, Y + W - pw * i - pw / 2 - 1};
    case 180: return {X + W - pw * i - pw / 2 - 1, Y + 3 * ph - ph * j - ph / 2 - 1};
    default: return {X + 3 * ph - ph * j - ph / 2 - 1, Y + pw * i + pw / 2};
    }
}

TEST(Barcode2DBase, PlacesModulesAtEachRotation)
{
    for (int rotation : {0, 90, 180, 270}) {
        Probe p;
        p.setPattern(kPattern);
        p.SetPixelWidth(4);
        p.SetPixelHeight(6);
        p.SetShowText(false);
        p.SetRotation(rotation);
        QImage image = canvasImage(80, 80);
        draw(p, image, 10, 12);
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 5; ++i) {
                const QPoint c = moduleCentre(rotation, j, i, 10, 12, 4, 6, 5);
                EXPECT_EQ(image.pixel(c), kPattern[std::size_t(j)][i] == '#' ? 0xFF000000u : 0xFFFFFFFFu)
                    << "rotation " << rotation << " module " << j << "," << i;
            }
        // nothing outside the symbol
        EXPECT_EQ(image.pixel(9, 11), kGrey);
        EXPECT_EQ(image.pixel(79, 79), kGrey);
    }
}

TEST(Barcode2DBase, TextLineLiesBesideTheSymbolAndShiftsIt)
{
    for (int rotation : {0, 90, 180, 270}) {
        Probe p;
        p.setPattern({"#####", "#####", "#####"});
        p.SetPixelWidth(8);
        p.SetPixelHeight(8);
        p.SetRotation(rotation);
        p.SetColor(plat::clYellow);
        const int T = p.GetTextHeight();
        QImage image = canvasImage(120, 120);
        draw(p, image, 0, 0);
        // The band is yellow (or text); the modules sit past it for 180 and 270.
        const QRgb yellow = 0xFFFFFF00;
        switch (rotation) {
        case 0:
            EXPECT_EQ(image.pixel(1, 1), 0xFF000000u);
            EXPECT_EQ(image.pixel(1, 24 + 1), yellow);
            break;
        case 90:
            EXPECT_EQ(image.pixel(1, 1), 0xFF000000u);
            EXPECT_EQ(image.pixel(24 + 1, 1), yellow);
            break;
        case 180:
            EXPECT_EQ(image.pixel(1, 1), yellow);
            EXPECT_EQ(image.pixel(1, T + 1), 0xFF000000u);
            EXPECT_EQ(image.pixel(1, T + 24), kGrey);
            break;
        default:
            EXPECT_EQ(image.pixel(1, 1), yellow);
            EXPECT_EQ(image.pixel(T + 1, 1), 0xFF000000u);
            EXPECT_EQ(image.pixel(T + 24, 1), kGrey);
            break;
        }
    }
}

TEST(Barcode2DBase, ZoomBelowOneShrinksABitmapInsideOneQuietZone)
{
    Probe p;
    p.setPattern({"####", "####", "####", "####"});
    p.SetPixelWidth(4);
    p.SetPixelHeight(4);
    p.SetShowText(false);
    p.SetQuietZone(8);
    p.SetZoom(0.5L);
    QImage image = canvasImage(40, 40);
    draw(p, image, 0, 0);
    // 16 x 16 modules drawn at half size, 4 pixels (8 x 0.5) from the origin
    EXPECT_EQ(image.pixel(3, 3), kGrey);
    EXPECT_EQ(image.pixel(4, 4), 0xFF000000u);
    EXPECT_EQ(image.pixel(11, 11), 0xFF000000u);
    EXPECT_EQ(image.pixel(12, 12), kGrey);
}

TEST(Barcode2DBase, ModulesAreBlackOnWhiteWhateverTheColours)
{
    Probe p;
    p.setPattern(kPattern);
    p.SetShowText(false);
    p.SetPixelWidth(4);
    p.SetPixelHeight(4);
    p.SetColor(plat::clRed);
    p.SetColorBar(plat::clBlue);
    QImage image = canvasImage(40, 40);
    draw(p, image, 0, 0);
    EXPECT_EQ(image.pixel(1, 1), 0xFF000000u);
    EXPECT_EQ(image.pixel(5, 1), 0xFFFFFFFFu);
}

TEST(Barcode2DBase, OtherAnglesDrawNothing)
{
    Probe p;
    p.setPattern(kPattern);
    p.SetRotation(45);
    QImage image = canvasImage(40, 40);
    draw(p, image, 0, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(image.pixel(x, y), kGrey);
}

TEST(Barcode2DBase, AssignCopiesSettingsNotImage)
{
    Probe a, b;
    a.setPattern(kPattern);
    a.SetRotation(90);
    a.SetZoom(2);
    a.SetShowText(false);
    a.SetQuietZone(5);
    a.SetPixelWidth(7);
    a.SetErrorText(QStringLiteral("bad"));
    plat::TFont font;
    font.SetName(QStringLiteral("Courier New"));
    a.SetFont(&font);
    b.Assign(&a);
    EXPECT_EQ(b.Rotation(), 90);
    EXPECT_EQ(b.Zoom(), 2);
    EXPECT_FALSE(b.ShowText());
    EXPECT_EQ(b.QuietZone(), 5);
    EXPECT_EQ(b.PixelWidth(), 7);
    EXPECT_EQ(b.ErrorText(), QStringLiteral("bad"));
    EXPECT_EQ(b.Font()->Name(), QStringLiteral("Courier New"));
    EXPECT_EQ(b.Rows(), 0);
    EXPECT_TRUE(b.Image().empty());
}

} // namespace

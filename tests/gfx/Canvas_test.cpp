#include "Canvas.h"
#include "Exceptions.h"
#include "GfxTestUtil.h"

#include <gtest/gtest.h>

using namespace plat;
using gfxtest::countColor;
using gfxtest::inkBox;
using gfxtest::isColor;
using gfxtest::whiteImage;

namespace {

struct CanvasFixture : ::testing::Test {
    QImage img = whiteImage(64, 64);
    TCanvas canvas{&img};
    const QImage& image()
    {
        canvas.ReleaseDevice();
        return img;
    }
};

} // namespace

TEST_F(CanvasFixture, FillRectExcludesRightAndBottomEdge)
{
    canvas.Brush().SetColor(clRed);
    canvas.FillRect(Rect(2, 3, 6, 8));
    const QImage& i = image();
    EXPECT_EQ(countColor(i, clRed), 4 * 5);
    EXPECT_EQ(inkBox(i), QRect(QPoint(2, 3), QPoint(5, 7)));
}

TEST_F(CanvasFixture, EmptyOrInvertedFillRectPaintsNothing)
{
    canvas.Brush().SetColor(clRed);
    canvas.FillRect(Rect(6, 8, 2, 3));
    canvas.FillRect(Rect(5, 5, 5, 9));
    EXPECT_TRUE(inkBox(image()).isNull());
}

TEST_F(CanvasFixture, RectangleOutlineOnFirstAndLastIncludedPixel)
{
    canvas.Pen().SetColor(clBlack);
    canvas.Brush().SetColor(clRed);
    canvas.Rectangle(2, 3, 8, 9);
    const QImage& i = image();
    EXPECT_EQ(inkBox(i), QRect(QPoint(2, 3), QPoint(7, 8)));
    for (int x = 2; x <= 7; ++x) {
        EXPECT_TRUE(isColor(i, x, 3, clBlack)) << x;
        EXPECT_TRUE(isColor(i, x, 8, clBlack)) << x;
    }
    for (int y = 3; y <= 8; ++y) {
        EXPECT_TRUE(isColor(i, 2, y, clBlack)) << y;
        EXPECT_TRUE(isColor(i, 7, y, clBlack)) << y;
    }
    EXPECT_EQ(countColor(i, clRed), 4 * 4);
}

TEST_F(CanvasFixture, RectangleWithoutPenFillsOnePixelLess)
{
    canvas.Pen().SetStyle(psClear);
    canvas.Brush().SetColor(clBlue);
    canvas.Rectangle(2, 3, 8, 9);
    EXPECT_EQ(inkBox(image()), QRect(QPoint(2, 3), QPoint(6, 7)));
}

TEST_F(CanvasFixture, LineToExcludesEndPixelAndMovesPen)
{
    struct Case {
        TPoint from, to;
        int pixels;
    };
    const Case cases[] = {{{1, 1}, {6, 1}, 5}, {{3, 2}, {3, 10}, 8}, {{10, 10}, {4, 4}, 6}, {{0, 0}, {10, 5}, 10}};
    for (const Case& c : cases) {
        img.fill(Qt::white);
        canvas.MoveTo(c.from.X, c.from.Y);
        canvas.LineTo(c.to.X, c.to.Y);
        const QImage& i = image();
        EXPECT_EQ(countColor(i, clBlack), c.pixels);
        EXPECT_TRUE(isColor(i, c.from.X, c.from.Y, clBlack));
        EXPECT_FALSE(isColor(i, c.to.X, c.to.Y, clBlack));
        EXPECT_EQ(canvas.PenPos(), c.to);
    }
}

TEST_F(CanvasFixture, PenStylesUseThePlatformDashLengths)
{
    struct Case {
        TPenStyle style;
        std::vector<int> pattern;
    };
    const Case cases[] = {{psDash, {18, 6}},
                          {psDot, {3, 3}},
                          {psDashDot, {9, 6, 3, 6}},
                          {psDashDotDot, {9, 3, 3, 3, 3, 3}}};
    for (const Case& c : cases) {
        img.fill(Qt::white);
        canvas.Pen().SetStyle(c.style);
        canvas.Brush().SetStyle(bsClear); // gaps stay transparent
        canvas.MoveTo(0, 5);
        canvas.LineTo(60, 5);
        const QImage& i = image();
        int x = 0;
        for (size_t k = 0; x < 60; k = (k + 1) % c.pattern.size()) {
            for (int n = 0; n < c.pattern[k] && x < 60; ++n, ++x)
                EXPECT_EQ(isColor(i, x, 5, clBlack), k % 2 == 0) << "style " << c.style << " x " << x;
        }
    }
}

TEST_F(CanvasFixture, DashGapsTakeTheBackgroundWhenOpaque)
{
    canvas.Pen().SetStyle(psDot);
    canvas.Brush().SetColor(clYellow); // solid brush: opaque background in its colour
    canvas.MoveTo(0, 5);
    canvas.LineTo(12, 5);
    const QImage& i = image();
    EXPECT_TRUE(isColor(i, 0, 5, clBlack));
    EXPECT_TRUE(isColor(i, 3, 5, clYellow));
    canvas.SetBkMode(TRANSPARENT);
    canvas.MoveTo(0, 7);
    canvas.LineTo(12, 7);
    EXPECT_TRUE(isColor(image(), 3, 7, clWhite));
}

TEST_F(CanvasFixture, StyledPenWiderThanOnePixelDrawsSolid)
{
    canvas.Pen().SetStyle(psDash);
    canvas.Pen().SetWidth(3);
    canvas.Brush().SetStyle(bsClear);
    canvas.MoveTo(5, 10);
    canvas.LineTo(55, 10);
    const QImage& i = image();
    for (int x = 6; x < 54; ++x)
        EXPECT_TRUE(isColor(i, x, 10, clBlack)) << x;
    EXPECT_TRUE(isColor(i, 20, 9, clBlack));
    EXPECT_TRUE(isColor(i, 20, 11, clBlack));
}

TEST_F(CanvasFixture, HatchBrushesAreEightPixelPatternsAlignedToTheOrigin)
{
    struct Case {
        TBrushStyle style;
        bool (*on)(int x, int y);
    };
    const Case cases[] = {
        {bsHorizontal, [](int, int y) { return y % 8 == 0; }},
        {bsVertical, [](int x, int) { return x % 8 == 0; }},
        {bsFDiagonal, [](int x, int y) { return (x - y + 64) % 8 == 0; }},
        {bsBDiagonal, [](int x, int y) { return (x + y) % 8 == 7; }},
        {bsCross, [](int x, int y) { return x % 8 == 0 || y % 8 == 0; }},
        {bsDiagCross, [](int x, int y) { return (x - y + 64) % 8 == 0 || (x + y) % 8 == 7; }},
    };
    for (const Case& c : cases) {
        img.fill(Qt::white);
        canvas.Brush().SetColor(clBlue);
        canvas.Brush().SetStyle(c.style);
        canvas.FillRect(Rect(3, 5, 40, 37));
        const QImage& i = image();
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const bool inside = x >= 3 && x < 40 && y >= 5 && y < 37;
                ASSERT_EQ(isColor(i, x, y, clBlue), inside && c.on(x, y))
                    << "style " << c.style << " at " << x << "," << y;
            }
    }
}

TEST_F(CanvasFixture, ClipIntersectSaveAndRestore)
{
    canvas.Brush().SetColor(clRed);
    canvas.SaveClip();
    canvas.IntersectClipRect(Rect(10, 10, 20, 15));
    EXPECT_EQ(canvas.ClipRect(), Rect(10, 10, 20, 15));
    canvas.FillRect(Rect(0, 0, 64, 64));
    EXPECT_EQ(inkBox(image()), QRect(QPoint(10, 10), QPoint(19, 14)));
    canvas.IntersectClipRect(Rect(15, 0, 64, 64));
    canvas.Brush().SetColor(clBlue);
    canvas.FillRect(Rect(0, 0, 64, 64));
    EXPECT_EQ(countColor(image(), clBlue), 5 * 5);
    canvas.RestoreClip();
    EXPECT_FALSE(canvas.HasClip());
    canvas.Brush().SetColor(clLime);
    canvas.FillRect(Rect(0, 0, 64, 64));
    EXPECT_EQ(countColor(image(), clLime), 64 * 64);
}

TEST_F(CanvasFixture, ExcludeClipRectLeavesAHole)
{
    canvas.Brush().SetColor(clRed);
    canvas.ExcludeClipRect(Rect(10, 10, 20, 20));
    canvas.FillRect(Rect(0, 0, 64, 64));
    EXPECT_EQ(countColor(image(), clRed), 64 * 64 - 100);
    EXPECT_TRUE(isColor(image(), 10, 10, clWhite));
}

TEST_F(CanvasFixture, PixelsReadAndWrite)
{
    canvas.SetPixel(3, 4, clRed);
    EXPECT_EQ(canvas.Pixels(3, 4), clRed);
    EXPECT_EQ(canvas.Pixels(0, 0), clWhite);
    EXPECT_EQ(canvas.Pixels(-1, 0), -1);
    EXPECT_EQ(canvas.Pixels(64, 0), -1);
}

TEST_F(CanvasFixture, SystemColoursResolveWhenDrawing)
{
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(canvas.Pixels(0, 0), ColorToRGB(clBtnFace));
}

TEST(Canvas, DrawingWithoutADeviceRaises)
{
    TCanvas c;
    try {
        c.FillRect(Rect(0, 0, 5, 5));
        FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Canvas does not allow drawing"));
    }
}

TEST_F(CanvasFixture, FloodFillStopsAtOtherColours)
{
    canvas.Pen().SetColor(clBlack);
    canvas.Brush().SetStyle(bsClear);
    canvas.Rectangle(10, 10, 20, 20);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(clRed);
    canvas.FloodFill(15, 15, clWhite, TCanvas::fsSurface);
    EXPECT_EQ(countColor(image(), clRed), 8 * 8);
}

// ---------------------------------------------------------------- text

TEST_F(CanvasFixture, TextOutDrawsInsideItsExtentAndMovesPen)
{
    canvas.Font().SetName(QStringLiteral("Arial"));
    canvas.Font().SetHeight(-20);
    canvas.Brush().SetStyle(bsClear);
    const TSize ext = canvas.TextExtent(QStringLiteral("Hello"));
    canvas.TextOut(5, 10, QStringLiteral("Hello"));
    const QRect ink = inkBox(image());
    ASSERT_FALSE(ink.isNull());
    EXPECT_TRUE(QRect(5, 10, ext.cx, ext.cy).contains(ink)) << ink.x() << "," << ink.y() << " " << ink.width()
                                                            << "x" << ink.height();
    EXPECT_GT(ink.width(), ext.cx / 2);
    EXPECT_EQ(canvas.PenPos(), (TPoint{5 + ext.cx, 10}));
}

TEST_F(CanvasFixture, OpaqueTextFillsItsCellWithTheBrushColour)
{
    canvas.Font().SetHeight(-16);
    canvas.Brush().SetColor(clYellow);
    canvas.TextOut(4, 4, QStringLiteral("ab"));
    const TSize ext = canvas.TextExtent(QStringLiteral("ab"));
    EXPECT_EQ(inkBox(image()), QRect(4, 4, ext.cx, ext.cy));
}

TEST_F(CanvasFixture, TextWidthIsTheSumOfCharacterWidthsPlusSpacing)
{
    canvas.Font().SetName(QStringLiteral("Arial"));
    canvas.Font().SetHeight(-83);
    std::vector<int> w;
    const int total = canvas.GetCharWidths(QStringLiteral("Wiki"), w);
    ASSERT_EQ(w.size(), 4u);
    EXPECT_EQ(total, w[0] + w[1] + w[2] + w[3]);
    EXPECT_EQ(canvas.TextWidth(QStringLiteral("Wiki")), total);
    canvas.SetTextCharacterExtra(2);
    EXPECT_EQ(canvas.TextWidth(QStringLiteral("Wiki")), total + 8);
    std::vector<int> cum;
    EXPECT_EQ(canvas.GetTextExtents(QStringLiteral("Wiki"), cum), total + 8);
    EXPECT_EQ(cum[0], w[0] + 2);
    EXPECT_EQ(cum[3], total + 8);
}

TEST_F(CanvasFixture, EscapementRotatesAboutTheTopLeftOfTheCell)
{
    img = whiteImage(120, 120);
    canvas.Font().SetName(QStringLiteral("Arial"));
    canvas.Font().SetHeight(-20);
    canvas.Brush().SetStyle(bsClear);
    const TSize ext = canvas.TextExtent(QStringLiteral("Rotate"));
    canvas.Font().SetOrientation(900);
    canvas.TextOut(40, 100, QStringLiteral("Rotate"));
    const QRect ink = inkBox(image());
    ASSERT_FALSE(ink.isNull());
    // Upward from the reference point, the cell's top on the left.
    EXPECT_TRUE(QRect(40, 100 - ext.cx, ext.cy, ext.cx).contains(ink))
        << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
    EXPECT_GT(ink.height(), ext.cx / 2);
}

TEST_F(CanvasFixture, ExtTextOutPlacesCharactersAtTheGivenAdvances)
{
    img = whiteImage(120, 40);
    canvas.Font().SetHeight(-20);
    canvas.Brush().SetStyle(bsClear);
    const int dx[] = {50, 10};
    canvas.ExtTextOut(0, 0, 0, nullptr, QStringLiteral("II"), dx, 2);
    const QImage& i = image();
    auto columnHasInk = [&](int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            for (int y = 0; y < i.height(); ++y)
                if (!isColor(i, x, y, clWhite))
                    return true;
        return false;
    };
    EXPECT_TRUE(columnHasInk(0, 10));
    EXPECT_FALSE(columnHasInk(12, 48));
    EXPECT_TRUE(columnHasInk(50, 60));
}

TEST_F(CanvasFixture, ClippedExtTextOutStaysInsideItsRectangle)
{
    canvas.Font().SetHeight(-30);
    canvas.Brush().SetStyle(bsClear);
    const TRect r = Rect(0, 0, 12, 64);
    canvas.ExtTextOut(0, 0, ETO_CLIPPED, &r, QStringLiteral("MMMM"));
    const QRect ink = inkBox(image());
    ASSERT_FALSE(ink.isNull());
    EXPECT_LE(ink.right(), 11);
    EXPECT_FALSE(canvas.HasClip()); // the text clip is for that call only
}

TEST(PrinterCanvas, FontsFollowThePrinterResolution)
{
    QImage page = whiteImage(100, 100);
    TPrinterCanvas pc;
    pc.SetImage(&page);
    pc.SetDeviceDPI(600, 600);
    EXPECT_TRUE(pc.IsPrinterCanvas());
    pc.Font().SetSize(10);
    EXPECT_EQ(pc.Font().Height(), -13); // screen font as set
    pc.TextHeight(QStringLiteral("X"));
    EXPECT_EQ(pc.Font().PixelsPerInch(), 600);
    EXPECT_EQ(pc.Font().Height(), -83);
    EXPECT_EQ(pc.Font().Size(), 10);
    TCanvas plain;
    EXPECT_FALSE(plain.IsPrinterCanvas());
}

// ---------------------------------------------------------------- pictures on canvas

TEST_F(CanvasFixture, StretchDrawScalesABitmap)
{
    TBitmap bmp(2, 2);
    bmp.Canvas().Brush().SetColor(clRed);
    bmp.Canvas().FillRect(Rect(0, 0, 1, 1));
    canvas.StretchDraw(Rect(10, 10, 30, 30), bmp);
    const QImage& i = image();
    EXPECT_EQ(countColor(i, clRed), 100);
    EXPECT_TRUE(isColor(i, 19, 19, clRed));
    EXPECT_FALSE(isColor(i, 20, 20, clRed));
}

TEST_F(CanvasFixture, TransparentBitmapKeepsTheBackground)
{
    canvas.Brush().SetColor(clBlue);
    canvas.FillRect(Rect(0, 0, 64, 64));
    TBitmap bmp(4, 4);
    bmp.Canvas().Brush().SetColor(clLime);
    bmp.Canvas().FillRect(Rect(0, 0, 4, 4));
    bmp.Canvas().SetPixel(1, 1, clRed);
    bmp.SetTransparent(true);
    bmp.SetTransparentColor(clLime);
    canvas.Draw(10, 10, bmp);
    const QImage& i = image();
    EXPECT_TRUE(isColor(i, 11, 11, clRed));
    EXPECT_TRUE(isColor(i, 10, 10, clBlue));
    EXPECT_EQ(countColor(i, clRed), 1);
}

TEST_F(CanvasFixture, SaveAndRestoreDCBringsBackObjectsAndClip)
{
    canvas.Pen().SetColor(clRed);
    canvas.Font().SetHeight(-30);
    const int saved = canvas.SaveDC();
    canvas.Pen().SetColor(clBlue);
    canvas.Font().SetHeight(-10);
    canvas.IntersectClipRect(Rect(0, 0, 5, 5));
    canvas.RestoreDC(saved);
    EXPECT_EQ(canvas.Pen().Color(), clRed);
    EXPECT_EQ(canvas.Font().Height(), -30);
    EXPECT_FALSE(canvas.HasClip());
}

TEST_F(CanvasFixture, ShapesStayInsideTheirBoundsExcludingRightAndBottom)
{
    struct Case {
        const char* name;
        void (*draw)(TCanvas&);
    };
    const Case cases[] = {
        {"Ellipse", [](TCanvas& c) { c.Ellipse(10, 12, 40, 30); }},
        {"RoundRect", [](TCanvas& c) { c.RoundRect(10, 12, 40, 30, 8, 8); }},
        {"Pie", [](TCanvas& c) { c.Pie(10, 12, 40, 30, 40, 21, 40, 21); }}, // same rays: the whole ellipse
        {"Rectangle", [](TCanvas& c) { c.Rectangle(10, 12, 40, 30); }},
        {"Polygon", [](TCanvas& c) { c.Polygon({{10, 12}, {39, 12}, {39, 29}, {10, 29}}); }},
    };
    for (const Case& c : cases) {
        img.fill(Qt::white);
        canvas.Pen().SetColor(clBlack);
        canvas.Brush().SetColor(clRed);
        c.draw(canvas);
        const QRect ink = inkBox(image());
        EXPECT_EQ(ink.left(), 10) << c.name;
        EXPECT_EQ(ink.top(), 12) << c.name;
        EXPECT_LE(ink.right(), 39) << c.name;
        EXPECT_LE(ink.bottom(), 29) << c.name;
        EXPECT_GE(ink.right(), 38) << c.name;
        EXPECT_GT(countColor(image(), clRed), 0) << c.name;
    }
}

TEST_F(CanvasFixture, PieGoesCounterClockwiseFromTheStartRay)
{
    canvas.Brush().SetColor(clRed);
    canvas.Pie(10, 12, 40, 30, 40, 21, 25, 12); // from three o'clock to twelve: the upper right quarter
    const QRect ink = inkBox(image());
    EXPECT_GE(ink.left(), 23);
    EXPECT_LE(ink.bottom(), 22);
    EXPECT_EQ(ink.top(), 12);
}

TEST_F(CanvasFixture, GeometricPenWithUserDash)
{
    canvas.Pen().SetGeometric(1, clBlack, pecFlat, {1, 1});
    canvas.Brush().SetStyle(bsClear);
    canvas.MoveTo(0, 5);
    canvas.LineTo(20, 5);
    const QImage& i = image();
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(isColor(i, x, 5, clBlack), x % 2 == 0) << x;
    EXPECT_EQ(countColor(i, clBlack), 10);
}

TEST_F(CanvasFixture, GeometricPenWithSquareCapsCoversItsWidth)
{
    canvas.Pen().SetGeometric(5, clBlack, pecSquare);
    canvas.MoveTo(10, 20);
    canvas.LineTo(40, 20);
    const QRect ink = inkBox(image());
    EXPECT_EQ(ink.height(), 5);
    EXPECT_EQ(ink.top(), 18);
    EXPECT_LE(ink.left(), 8);
}

TEST_F(CanvasFixture, WideAxisAlignedLinesLieWhereThePenSquareSweeps)
{
    // A pen w wide covers w columns (rows) from w div 2 before the line;
    // square caps reach as far past both ends, flat caps stop at the end.
    for (int w = 1; w <= 4; ++w) {
        for (TPenEndCap cap : {pecSquare, pecFlat}) {
            for (bool vertical : {false, true}) {
                img.fill(Qt::white);
                canvas.Pen().SetGeometric(w, clBlack, cap);
                const int lo = w / 2;
                QRect expected;
                if (vertical) {
                    canvas.MoveTo(20, 10);
                    canvas.LineTo(20, 40);
                    expected = cap == pecSquare ? QRect(20 - lo, 10 - lo, w, 30 + w) : QRect(20 - lo, 10, w, 30);
                } else {
                    canvas.MoveTo(40, 20); // drawn right to left
                    canvas.LineTo(10, 20);
                    expected = cap == pecSquare ? QRect(10 - lo, 20 - lo, 30 + w, w) : QRect(10, 20 - lo, 30, w);
                }
                const QImage& i = image();
                EXPECT_EQ(inkBox(i), expected) << "w " << w << " cap " << cap << " vertical " << vertical;
                EXPECT_EQ(countColor(i, clBlack), expected.width() * expected.height());
            }
        }
    }
}

TEST_F(CanvasFixture, WideUserDashRunsFromTheStart)
{
    // Squares of 3 on, 3 off with flat caps along a horizontal line.
    canvas.Pen().SetGeometric(3, clBlack, pecFlat, {3, 3});
    canvas.MoveTo(4, 20);
    canvas.LineTo(40, 20);
    const QImage& i = image();
    for (int x = 0; x < 64; ++x)
        EXPECT_EQ(isColor(i, x, 20, clBlack), x >= 4 && x < 40 && (x - 4) % 6 < 3) << x;
    EXPECT_EQ(countColor(i, clBlack), 6 * 3 * 3);
    // Round dots every 4 pixels for a zero-length dash.
    img.fill(Qt::white);
    canvas.Pen().SetGeometric(2, clBlack, pecRound, {0, 4});
    canvas.MoveTo(10, 30);
    canvas.LineTo(10, 50);
    const QImage& j = image();
    for (int y = 20; y < 60; ++y)
        EXPECT_EQ(isColor(j, 9, y, clBlack), y >= 29 && y < 47 && (y - 29) % 4 < 2) << y;
}

TEST_F(CanvasFixture, OpaqueExtTextOutFillsItsRectangle)
{
    canvas.SetBkColor(clAqua);
    const TRect r = Rect(5, 5, 30, 25);
    canvas.ExtTextOut(6, 6, ETO_OPAQUE, &r, QString());
    EXPECT_EQ(inkBox(image()), QRect(QPoint(5, 5), QPoint(29, 24)));
    EXPECT_EQ(countColor(image(), clAqua), 25 * 20);
}

TEST_F(CanvasFixture, TextAlignmentMovesTheReferencePoint)
{
    canvas.Font().SetHeight(-20);
    canvas.Brush().SetStyle(bsClear);
    const TSize ext = canvas.TextExtent(QStringLiteral("Ab"));
    const TTextMetric tm = canvas.GetTextMetrics();
    canvas.SetTextAlign(TA_RIGHT | TA_BASELINE);
    canvas.TextOut(60, 40, QStringLiteral("Ab"));
    const QRect ink = inkBox(image());
    ASSERT_FALSE(ink.isNull());
    // One pixel of antialiasing may touch the cell's neighbours.
    EXPECT_TRUE(QRect(60 - ext.cx, 40 - tm.tmAscent, ext.cx, ext.cy).adjusted(-1, -1, 1, 1).contains(ink))
        << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height() << " ext " << ext.cx << "x" << ext.cy
        << " ascent " << tm.tmAscent;
    EXPECT_LE(ink.bottom(), 40); // "Ab" has no descender
    EXPECT_GE(ink.right(), 57);
}

TEST_F(CanvasFixture, XorPenDrawnTwiceRestoresThePicture)
{
    canvas.Brush().SetColor(clTeal);
    canvas.FillRect(Rect(0, 0, 32, 64));
    const QImage before = image().copy();
    canvas.Pen().SetMode(pmNotXor);
    canvas.Pen().SetStyle(psDot);
    canvas.Brush().SetStyle(bsClear);
    canvas.Rectangle(5, 5, 50, 40);
    EXPECT_NE(image(), before);
    canvas.Rectangle(5, 5, 50, 40);
    EXPECT_EQ(image(), before);
}

TEST(Bitmap, ImpossibleSizeRaisesOutOfResources)
{
    TBitmap bmp;
    EXPECT_THROW(bmp.SetSize(1 << 30, 1 << 30), EOutOfResources);
    EXPECT_TRUE(bmp.Empty());
}

TEST_F(CanvasFixture, ClipToAShapeRegion)
{
    canvas.SaveClip();
    canvas.IntersectClipRegion(EllipseRegion(Rect(10, 10, 50, 30)));
    canvas.Brush().SetColor(clRed);
    canvas.FillRect(Rect(0, 0, 64, 64));
    canvas.RestoreClip();
    const QImage& i = image();
    const QRect ink = inkBox(i);
    EXPECT_TRUE(QRect(QPoint(10, 10), QPoint(49, 29)).contains(ink));
    EXPECT_GE(ink.width(), 38);
    EXPECT_GE(ink.height(), 18);
    EXPECT_TRUE(isColor(i, 30, 20, clRed));
    EXPECT_FALSE(isColor(i, 10, 10, clRed)); // the corner is outside the ellipse
    EXPECT_FALSE(isColor(i, 49, 29, clRed));
    EXPECT_FALSE(PolygonRegion({{0, 0}, {10, 0}, {0, 10}}).contains(QPoint(8, 8)));
    EXPECT_TRUE(RoundRectRegion(Rect(0, 0, 20, 20), 10, 10).contains(QPoint(10, 10)));
    EXPECT_FALSE(RoundRectRegion(Rect(0, 0, 20, 20), 10, 10).contains(QPoint(0, 0)));
}

TEST_F(CanvasFixture, HugeLinesDrawOnlyWhatIsVisible)
{
    canvas.MoveTo(-2000000000, 10);
    canvas.LineTo(2000000000, 10);
    EXPECT_EQ(countColor(image(), clBlack), 64);
    img.fill(Qt::white);
    canvas.MoveTo(-100000, -100000);
    canvas.LineTo(100000, 100000);
    EXPECT_EQ(countColor(image(), clBlack), 64);
    EXPECT_TRUE(isColor(image(), 10, 10, clBlack));
    // Dashes keep their phase across the part that was skipped.
    img.fill(Qt::white);
    canvas.Pen().SetStyle(psDash);
    canvas.Brush().SetStyle(bsClear);
    canvas.MoveTo(-24 * 1000, 5);
    canvas.LineTo(64, 5);
    for (int x = 0; x < 64; ++x)
        EXPECT_EQ(isColor(image(), x, 5, clBlack), x % 24 < 18) << x;
}

// Text on images is filled glyph by glyph where glyphs share no pixel cell;
// the pixels must be those of one fill of the whole line's outline.
#include "Canvas.h"
#include "FontEngine.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <vector>

using namespace plat;

namespace {

struct TextCase {
    const char* font;
    int height;
    int orientation; // tenths of a degree
    const char* text;
    int extra = 0; // character spacing: negative pushes glyphs into each other
};

// The line as one winding fill of all its glyph outlines, laid out as the
// canvas lays them out (left, top alignment, the font's advances).
QImage lineAsOneFill(const TextCase& c, int x, int y, QImage::Format format)
{
    QImage image(360, 360, format);
    image.fill(Qt::white);
    TFont font;
    font.SetName(QString::fromUtf8(c.font));
    font.SetHeight(c.height);
    const FontFace& face = FontEngine::Instance().Match(font);
    const double em = face.EmPixels(c.height);
    const double k = em / face.UnitsPerEm();
    const QString text = QString::fromUtf8(c.text);
    std::vector<int> adv;
    face.CharAdvances(text, em, adv);
    QPainterPath all;
    all.setFillRule(Qt::WindingFill);
    double pen = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const double start = pen;
        pen += adv[size_t(i)] + c.extra;
        if (text[i] == u' ')
            continue;
        const QPainterPath& g = face.GlyphPath(face.GlyphIndex(text[i].unicode()));
        QTransform t;
        t.translate(start, face.Ascent(em));
        t.scale(k, k);
        all.addPath(t.map(g));
    }
    QPainter p(&image);
    p.translate(x, y);
    p.rotate(-c.orientation / 10.0);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(all);
    return image;
}

QImage lineByCanvas(const TextCase& c, int x, int y, QImage::Format format)
{
    QImage image(360, 360, format);
    image.fill(Qt::white);
    {
        TCanvas canvas(&image);
        TFont font;
        font.SetName(QString::fromUtf8(c.font));
        font.SetHeight(c.height);
        font.SetOrientation(c.orientation);
        canvas.SetFont(font);
        canvas.Brush().SetStyle(bsClear);
        canvas.SetTextCharacterExtra(c.extra);
        canvas.TextOut(x, y, QString::fromUtf8(c.text));
    }
    return image;
}

} // namespace

TEST(CanvasGlyphs, LineFilledGlyphByGlyphKeepsThePixelsOfOneFill)
{
    const TextCase cases[] = {
        {"Arial", -24, 0, "SVM00000001"},
        {"Arial", -12, 0, "SVM00000001"},
        {"Arial", -37, 0, "Výrobek číslo 17"},
        {"Times New Roman", -31, 0, "AVAWfij Ťý"},
        {"Courier New", -20, 0, "0123456789"},
        {"Arial", -18, 0, "iiilllIII"},        // glyphs closer than a cell
        {"Arial", -24, 900, "SVM00000001"},     // turned: glyphs stacked in rows
        {"Arial", -24, 2700, "4006381333931"},
        {"Arial", -24, 450, "SVM00000001"},     // slanted boxes overlap
        {"Arial", -24, 0, "WWAVA00", -6},       // glyphs drawn over each other
        {"Times New Roman", -30, 0, "ffjj", -2},
    };
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied})
        for (const TextCase& c : cases) {
            const int x = c.orientation == 900 ? 40 : 12, y = c.orientation == 900 ? 330 : 60;
            SCOPED_TRACE(testing::Message() << c.font << ", height " << c.height << ", angle " << c.orientation
                                            << ", format " << int(format));
            EXPECT_TRUE(lineByCanvas(c, x, y, format) == lineAsOneFill(c, x, y, format)) << c.text;
        }
}

// Solid fills on an image take the painter's rectangle fill; a canvas over
// the same image as a plain paint device takes the general route. Both
// must give the same pixels, clip included.
TEST(CanvasGlyphs, SolidFillOnImageMatchesTheGeneralRoute)
{
    struct FillCase {
        TRect rect;
        TColor color;
        bool clip;
    };
    const FillCase cases[] = {
        {Rect(3, 4, 40, 9), clBlack, false},   {Rect(0, 0, 64, 64), clRed, false},
        {Rect(-5, -7, 12, 70), clBlue, false}, {Rect(10, 10, 11, 11), clGreen, false},
        {Rect(8, 2, 50, 60), clNavy, true},    {Rect(20, 20, 70, 90), TColor(0x123456), true},
        // Bars one to five pixels wide, one cut by the edge.
        {Rect(5, 1, 7, 60), clBlack, false},   {Rect(9, 3, 12, 61), clMaroon, false},
        {Rect(30, 0, 34, 64), clBlack, false}, {Rect(62, 5, 66, 20), clPurple, false},
        {Rect(40, -3, 45, 50), clTeal, false}, {Rect(14, 6, 17, 58), clBlack, true},
    };
    for (const QImage::Format format :
         {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_RGB888})
        for (const FillCase& c : cases) {
            SCOPED_TRACE(testing::Message() << "format " << int(format));
            QImage fast(64, 64, format), general = fast;
            fast.fill(Qt::white);
            general.fill(Qt::white);
            {
                TCanvas onImage(&fast);
                TCanvas onDevice;
                onDevice.SetDevice(&general);
                for (TCanvas* canvas : {&onImage, &onDevice}) {
                    canvas->Brush().SetColor(clYellow);
                    canvas->FillRect(Rect(0, 0, 2, 2)); // the painter is open when the clip comes
                    if (c.clip) {
                        canvas->SaveClip();
                        canvas->IntersectClipRegion(EllipseRegion(Rect(12, 5, 53, 41)));
                    }
                    canvas->Brush().SetColor(c.color);
                    canvas->FillRect(c.rect);
                }
            }
            EXPECT_TRUE(fast == general) << "rectangle " << c.rect.Left << ", " << c.rect.Top << ", " << c.rect.Right
                                         << ", " << c.rect.Bottom;
        }
}

// Glyphs filled from the coverage cache (the second and later times a glyph
// is met at a device position) must keep the pixels of the painter's own
// fill, over any background, in either 32-bit format, turned or not, near
// the image's edges too (where the painter fills them itself).
TEST(CanvasGlyphs, CoverageCacheKeepsThePixelsOfThePaintersFill)
{
    struct CacheCase {
        const char* font;
        int height;
        int orientation;
        TColor color;
    };
    const CacheCase cases[] = {
        {"Arial", -12, 0, clBlack},           {"Arial", -23, 0, TColor(0x203040)},
        {"Times New Roman", -17, 900, clRed}, {"Courier New", -15, 450, TColor(0x00FFEE)},
        {"Arial", -31, 1800, clNavy},         {"DejaVu Sans", -9, 2700, clBlack},
    };
    const QString text = QStringLiteral("SVM0123456789 Výrobek");
    // Reference points: inner ones twice (the second time from the cache),
    // some whose glyphs reach the edges.
    const TPoint points[] = {{40, 60}, {40, 60}, {41, 61}, {200, 150}, {40, 60}, {-3, 10}, {5, 343}, {300, 300}};
    auto draw = [&](const CacheCase& c, QImage::Format format) {
        QImage image(360, 360, format);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const uint v = uint(x * 7 + y * 13) ^ uint(x * y);
                const int a = format == QImage::Format_RGB32 || (x + y) % 3 ? 255 : int(v % 256);
                image.setPixel(x, y, qPremultiply(qRgba(int(v % 251), int(v / 3 % 256), int(v / 7 % 256), a)));
            }
        {
            TCanvas canvas(&image);
            TFont font;
            font.SetName(QString::fromUtf8(c.font));
            font.SetHeight(c.height);
            font.SetOrientation(c.orientation);
            font.SetColor(c.color);
            canvas.SetFont(font);
            canvas.Brush().SetStyle(bsClear);
            for (const TPoint& at : points)
                canvas.TextOut(at.X, at.Y, text);
        }
        return image;
    };
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied})
        for (const CacheCase& c : cases) {
            SCOPED_TRACE(testing::Message() << c.font << ", height " << c.height << ", angle " << c.orientation
                                            << ", format " << int(format));
            SetGlyphCoverageCache(false);
            const QImage painted = draw(c, format);
            SetGlyphCoverageCache(true);
            const QImage first = draw(c, format);
            const QImage again = draw(c, format); // every glyph from the cache now
            EXPECT_TRUE(first == painted);
            EXPECT_TRUE(again == painted);
        }
}

#include "Exceptions.h"
#include "GfxTestUtil.h"
#include "Metafile.h"
#include "../MutationTestUtil.h"

#include <gtest/gtest.h>

using namespace plat;
using gfxtest::countColor;
using gfxtest::inkBox;
using gfxtest::isColor;
using gfxtest::whiteImage;

namespace {

// One drawing that touches every kind of record.
void paintSample(TCanvas& c)
{
    c.Brush().SetColor(clYellow);
    c.FillRect(Rect(2, 2, 30, 20));
    c.Pen().SetColor(clNavy);
    c.Pen().SetStyle(psDashDot);
    c.MoveTo(0, 25);
    c.LineTo(90, 40);
    c.Pen().SetStyle(psSolid);
    c.Brush().SetStyle(bsDiagCross);
    c.Brush().SetColor(clGreen);
    c.Rectangle(40, 5, 70, 30);
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(clAqua);
    c.Ellipse(5, 45, 35, 70);
    c.Polygon({{50, 50}, {80, 45}, {75, 75}});
    c.Pen().SetWidth(3);
    c.Polyline({{10, 80}, {40, 90}, {60, 78}});
    c.Pen().SetWidth(1);
    c.SaveClip();
    c.IntersectClipRegion(EllipseRegion(Rect(40, 50, 90, 80)));
    c.Brush().SetColor(clPurple);
    c.FillRect(Rect(0, 0, 100, 110));
    c.RestoreClip();
    c.SaveClip();
    c.IntersectClipRect(Rect(0, 0, 60, 100));
    c.Font().SetName(QStringLiteral("Arial"));
    c.Font().SetHeight(-14);
    c.Font().SetColor(clMaroon);
    c.Brush().SetStyle(bsClear);
    c.TextOut(20, 92, QStringLiteral("Záznam 12"));
    c.RestoreClip();
    c.Font().SetOrientation(900);
    c.TextOut(85, 95, QStringLiteral("Up"));
    c.Font().SetOrientation(0);
    TBitmap bmp(3, 2);
    bmp.Canvas().SetPixel(0, 0, clRed);
    bmp.Canvas().SetPixel(2, 1, clBlue);
    c.StretchDraw(Rect(92, 2, 98, 6), bmp);
    c.SetPixel(99, 99, clFuchsia);
}

QImage direct()
{
    QImage img = whiteImage(100, 110);
    TCanvas c(&img);
    paintSample(c);
    c.ReleaseDevice();
    return img;
}

std::unique_ptr<TMetafile> recordedPtr()
{
    auto mf = std::make_unique<TMetafile>();
    mf->SetWidth(100);
    mf->SetHeight(110);
    {
        TMetafileCanvas mc(*mf);
        paintSample(mc);
    }
    return mf;
}

QImage replay(const TMetafile& mf, double scale, int w, int h)
{
    QImage img = whiteImage(w, h);
    TCanvas c(&img);
    mf.Play(c, scale, scale, 0, 0);
    c.ReleaseDevice();
    return img;
}

} // namespace

TEST(Metafile, ReplayAtScaleOneEqualsDirectDrawingPixelForPixel)
{
    const QImage expected = direct();
    // The sample really drew: fill, hatch, text and the stretched bitmap.
    EXPECT_TRUE(isColor(expected, 10, 10, clYellow));
    EXPECT_GT(countColor(expected, clGreen), 20);
    EXPECT_GT(countColor(expected, clMaroon), 10);
    EXPECT_TRUE(isColor(expected, 92, 2, clRed));
    const QImage got = replay(*recordedPtr(), 1.0, 100, 110);
    EXPECT_EQ(got, expected);
}

TEST(Metafile, SavedAndLoadedRecordListReplaysTheSame)
{
    const auto mfp = recordedPtr();
    const TMetafile& mf = *mfp;
    const QByteArray bytes = mf.SaveToBytes();
    EXPECT_EQ(DetectGraphicKind(bytes), GraphicKind::Recording);
    TMetafile loaded;
    loaded.LoadFromBytes(bytes);
    EXPECT_EQ(loaded.RecordCount(), mf.RecordCount());
    EXPECT_EQ(loaded.Width(), 100);
    EXPECT_EQ(loaded.SaveToBytes(), bytes);
    EXPECT_EQ(replay(loaded, 1.0, 100, 110), direct());
}

TEST(Metafile, TextItemsComeBackInOrderWithTheirRectangles)
{
    TMetafile mf;
    {
        TMetafileCanvas mc(mf);
        mc.Font().SetName(QStringLiteral("Arial"));
        mc.Font().SetHeight(-20);
        mc.FillRect(Rect(0, 0, 5, 5));
        mc.TextOut(10, 10, QStringLiteral("první"));
        mc.TextOut(50, 60, QStringLiteral("second"));
        const TRect clip = Rect(0, 100, 30, 130);
        mc.ExtTextOut(5, 100, ETO_CLIPPED, &clip, QStringLiteral("clipped text"));
    }
    const auto items = mf.TextItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, QStringLiteral("první"));
    EXPECT_EQ(items[1].text, QStringLiteral("second"));
    EXPECT_EQ(items[0].record, 1);
    EXPECT_EQ(items[1].record, 2);
    TCanvas measure;
    measure.Font().SetName(QStringLiteral("Arial"));
    measure.Font().SetHeight(-20);
    const TSize ext = measure.TextExtent(QStringLiteral("second"));
    EXPECT_EQ(items[1].bounds, Bounds(50, 60, ext.cx, ext.cy));
    EXPECT_EQ(items[2].bounds.Right, 30); // clipped to its rectangle
    EXPECT_EQ(items[2].bounds.Left, 5);
    // The size is the extent drawn when none was set.
    EXPECT_GE(mf.Width(), 50 + ext.cx);
}

TEST(Metafile, RotatedTextBoundsGoUpward)
{
    TMetafile mf;
    {
        TMetafileCanvas mc(mf);
        mc.Font().SetHeight(-20);
        mc.Font().SetOrientation(900);
        mc.TextOut(40, 100, QStringLiteral("abc"));
    }
    const auto items = mf.TextItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].bounds.Left, 40);
    EXPECT_EQ(items[0].bounds.Bottom, 100);
    EXPECT_LT(items[0].bounds.Top, 100 - 10);
}

TEST(Metafile, ReplayAtScaleMapsCoordinates)
{
    TMetafile mf;
    mf.SetWidth(10);
    mf.SetHeight(10);
    {
        TMetafileCanvas mc(mf);
        mc.Brush().SetColor(clRed);
        mc.FillRect(Rect(1, 1, 5, 5));
    }
    const QImage twice = replay(mf, 2.0, 20, 20);
    EXPECT_EQ(inkBox(twice), QRect(QPoint(2, 2), QPoint(9, 9)));
    QImage img = whiteImage(40, 40);
    {
        TCanvas c(&img);
        c.StretchDraw(Rect(10, 20, 30, 30), mf); // 2x horizontally, 1x vertically
    }
    EXPECT_EQ(inkBox(img), QRect(QPoint(12, 21), QPoint(19, 24)));
}

TEST(Metafile, ScaledTextKeepsItsScaledWidth)
{
    TMetafile mf;
    mf.SetWidth(200);
    mf.SetHeight(50);
    {
        TMetafileCanvas mc(mf);
        mc.Font().SetHeight(-20);
        mc.Brush().SetColor(clYellow); // opaque cell shows the drawn width
        mc.TextOut(0, 0, QStringLiteral("Width"));
    }
    TCanvas m;
    m.Font().SetHeight(-20);
    const int w = m.TextWidth(QStringLiteral("Width"));
    const QImage img = replay(mf, 3.0, 600, 150);
    int yellow = 0;
    for (int x = 0; x < img.width(); ++x)
        yellow += isColor(img, x, 2, clYellow) || !isColor(img, x, 2, clWhite);
    EXPECT_NEAR(yellow, 3 * w, 1);
}

TEST(Metafile, ReplayLeavesTheTargetCanvasAsItWas)
{
    TMetafile mf;
    {
        TMetafileCanvas mc(mf);
        mc.IntersectClipRect(Rect(0, 0, 2, 2));
        mc.Pen().SetColor(clRed);
        mc.Brush().SetColor(clBlue);
        mc.Rectangle(0, 0, 5, 5);
    }
    QImage img = whiteImage(10, 10);
    TCanvas c(&img);
    c.Pen().SetColor(clGreen);
    mf.Play(c, 1, 1, 0, 0);
    EXPECT_FALSE(c.HasClip());
    EXPECT_EQ(c.Pen().Color(), clGreen);
    EXPECT_EQ(c.Brush().Color(), clWhite);
    c.ReleaseDevice();
    EXPECT_EQ(inkBox(img), QRect(0, 0, 2, 2));
}

TEST(Metafile, DamagedRecordListRaisesInvalidGraphic)
{
    const QByteArray good = recordedPtr()->SaveToBytes();
    for (int cut : {8, 12, 30, int(good.size()) / 2, int(good.size()) - 1}) {
        TMetafile mf;
        EXPECT_THROW(mf.LoadFromBytes(good.left(cut)), EInvalidGraphic) << cut;
    }
    // Signature, version, width, height, units per pixel, then the count.
    QByteArray bad = good;
    bad[8 + 4 + 4 + 4 + 4] = char(0x7F); // absurd record count (high byte)
    TMetafile mf;
    EXPECT_THROW(mf.LoadFromBytes(bad), EInvalidGraphic);
    QByteArray badUnits = good;
    badUnits[8 + 4 + 4 + 4 + 3] = 0; // no units per pixel
    EXPECT_THROW(mf.LoadFromBytes(badUnits), EInvalidGraphic);
}

TEST(Metafile, RecordListsOfTheFirstFormatStillLoad)
{
    // The first format had no units per pixel after the size.
    const QByteArray current = recordedPtr()->SaveToBytes();
    QByteArray first = current.left(8) + QByteArray::fromHex("00000001") + current.mid(12, 8) + current.mid(24);
    TMetafile mf;
    mf.LoadFromBytes(first);
    EXPECT_EQ(mf.UnitsPerPixel(), 1);
    EXPECT_EQ(mf.SaveToBytes(), current);
    EXPECT_EQ(replay(mf, 1.0, 100, 110), direct());
}

TEST(Metafile, WindowsMetafilesKeepTheirBytesAndSize)
{
    // Placeable WMF header: key, handle, box (0,0)-(1440,720), 1440 per inch.
    QByteArray wmf = QByteArray::fromHex("D7CDC69A" "0000" "0000" "0000" "A005" "D002" "A005" "00000000" "0000");
    wmf += QByteArray(40, '\0');
    TPicture pic;
    pic.LoadFromBytes(wmf);
    auto* mf = dynamic_cast<TMetafile*>(pic.Graphic());
    ASSERT_NE(mf, nullptr);
    EXPECT_FALSE(mf->Enhanced());
    EXPECT_EQ(mf->Width(), 96);
    EXPECT_EQ(mf->Height(), 48);
    EXPECT_EQ(mf->SaveToBytes(), wmf);
}

TEST(Metafile, ReplayAtAnAbsurdScaleStaysWithinIntegers)
{
    const auto mf = recordedPtr();
    QImage img = whiteImage(50, 50);
    TCanvas c(&img);
    for (double scale : {1e12, -1e12, 1e-12})
        mf->Play(c, scale, scale, 0, 0);
    mf->Draw(c, -2000000000, -2000000000, 2000000000, 2000000000);
    SUCCEED();
}

// ---------------------------------------------------------------- damaged record lists

TEST(Metafile, MutatedRecordListsLoadOrRaiseInvalidGraphic)
{
    const QByteArray good = recordedPtr()->SaveToBytes();
    const auto outcome = mutation::runMutations({good}, 2500, 5150, mutation::binaryTokens(), [](const QByteArray& b) {
        TMetafile mf;
        mf.LoadFromBytes(b);
        QImage small = whiteImage(50, 55);
        {
            TCanvas c(&small);
            mf.Play(c, 0.5, 0.5, 0, 0);
        }
        (void)mf.TextItems();
        if (qint64(mf.Width()) * mf.Height() <= 256 * 256)
            (void)mf.ToImage();
        (void)mf.SaveToBytes();
    });
    EXPECT_GT(outcome.accepted, 200);
    EXPECT_GT(outcome.refused, 200);
}

namespace {

// The one place where bytes hold the 32-bit value `from` now holds `to`.
QByteArray replaceInt(QByteArray bytes, quint32 from, quint32 to)
{
    const auto bigEndian = [](quint32 v) {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[i] = char(v >> (24 - 8 * i));
        return b;
    };
    const qsizetype at = bytes.indexOf(bigEndian(from));
    EXPECT_GE(at, 0);
    EXPECT_EQ(bytes.indexOf(bigEndian(from), at + 1), -1);
    return bytes.replace(at, 4, bigEndian(to));
}

// A record list of one text, with character spacing 1000 and an angle of
// 90 degrees as distinctive values to patch.
QByteArray recordedText(int length)
{
    TMetafile mf;
    mf.SetWidth(100);
    mf.SetHeight(20);
    {
        TMetafileCanvas mc(mf);
        mc.Font().SetName(QStringLiteral("Arial"));
        mc.Font().SetHeight(-10);
        mc.Font().SetOrientation(900);
        mc.SetTextCharacterExtra(1000);
        mc.TextOut(0, 0, QString(length, u'x'));
    }
    return mf.SaveToBytes();
}

QByteArray spacedText(qint32 charExtra, int length)
{
    return replaceInt(recordedText(length), 1000, quint32(charExtra));
}

} // namespace

// Damaged record lists that once did harm, each the smallest that showed it.
TEST(Metafile, DamagedRecordListsThatOnceDidHarm)
{
    // Spacing near the end of the integers: the canvas summed it past them.
    TMetafile refused;
    EXPECT_THROW(refused.LoadFromBytes(spacedText(0x7FFFFFF0, 3)), EInvalidGraphic);
    // The canvas negates the angle.
    EXPECT_THROW(refused.LoadFromBytes(replaceInt(recordedText(3), 900, 0x80000000u)), EInvalidGraphic);

    // A picture's source rectangle is replayed unscaled: one corner at each
    // end of the integers made its width overflow.
    TMetafile picture;
    picture.SetWidth(20);
    picture.SetHeight(20);
    {
        TMetafileCanvas mc(picture);
        mc.DrawImage(Rect(0, 0, 10, 10), whiteImage(3, 2), Rect(7771, 7772, 7773, 7774));
    }
    QByteArray far = replaceInt(picture.SaveToBytes(), 7771, 0x80000000u);
    far = replaceInt(far, 7773, 0x7FFFFFFFu);
    TMetafile farSource;
    farSource.LoadFromBytes(far);
    QImage target = whiteImage(20, 20);
    TCanvas onTarget(&target);
    farSource.Play(onTarget, 1, 1, 0, 0);

    // Text bounds at the end of the integers, in a list of finer units:
    // turning them into pixels negated them.
    TMetafile text;
    text.SetWidth(20);
    text.SetHeight(20);
    {
        TMetafileCanvas mc(text);
        mc.TextOut(7781, 0, QStringLiteral("x"));
    }
    QByteArray farText = text.SaveToBytes();
    farText.replace(QByteArray::fromHex("00001E65"), QByteArray::fromHex("80000000")); // 7781, everywhere
    farText.replace(8 + 4 + 4 + 4, 4, QByteArray::fromHex("00000002")); // signature, version, size, then units
    TMetafile fine;
    fine.LoadFromBytes(farText);
    ASSERT_EQ(fine.UnitsPerPixel(), 2);
    ASSERT_EQ(fine.TextItems().size(), 1u);
    EXPECT_EQ(fine.TextItems()[0].bounds.Left, -(1 << 30));

    // Within the limit, but summed over many characters by the canvas it
    // still left the integers; positions are now scaled and bounded instead.
    TMetafile mf;
    mf.LoadFromBytes(spacedText(1'000'000, 3000));
    QImage img = whiteImage(40, 40);
    TCanvas c(&img);
    mf.Play(c, 1, 1, 0, 0);
    mf.Play(c, 0.5, 0.5, 0, 0);
}

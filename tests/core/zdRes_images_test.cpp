// Button image strips of the resources store.

#include "zdRes.h"

#include "Exceptions.h"
#include "Graphics.h"
#include "Streams.h"
#include "zdToolRunner.h"
#include "zdZLib.h"
#include "../PixelTestUtil.h"

#include <QFile>
#include <QImage>
#include <QResource>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

const plat::TColor kKey = plat::clFuchsia;

// A strip of count tiles of size x size on the key colour; tile i has a
// mark of colour marks[i % 3] at (1 + i, 2).
std::unique_ptr<plat::TBitmap> stripOf(int count, int size)
{
    static const plat::TColor marks[] = {plat::clRed, plat::clLime, plat::clBlue};
    QImage image(count * size, size, QImage::Format_RGB32);
    image.fill(plat::ToQColor(kKey));
    for (int i = 0; i < count; ++i)
        image.setPixel(i * size + 1 + i, 2, plat::ToQColor(marks[i % 3]).rgb());
    auto bitmap = std::make_unique<plat::TBitmap>();
    bitmap->SetImage(image);
    return bitmap;
}

} // namespace

TEST(TzdResourcesImages, SetAddsOrReplacesAndDesignerGetsDisabledCopies)
{
    TzdResources res;
    res.SetDesignerButtonImages(*stripOf(3, 16), false);
    EXPECT_EQ(res.GetDesignerButtonImages().size(), 3);
    EXPECT_EQ(res.GetDisabledButtonImages().size(), 3);
    res.SetDesignerButtonImages(*stripOf(2, 16), false);
    EXPECT_EQ(res.GetDesignerButtonImages().size(), 5);
    EXPECT_EQ(res.GetDisabledButtonImages().size(), 5);
    res.SetDesignerButtonImages(*stripOf(2, 16), true);
    EXPECT_EQ(res.GetDesignerButtonImages().size(), 2);
    EXPECT_EQ(res.GetDisabledButtonImages().size(), 2);

    res.SetWizardButtonImages(*stripOf(2, 32), false);
    ASSERT_EQ(res.GetWizardButtonImages().size(), 2);
    EXPECT_EQ(res.GetWizardButtonImages()[1].size(), QSize(32, 32));
    res.SetPreviewButtonImages(*stripOf(4, 16), true);
    EXPECT_EQ(res.GetPreviewButtonImages().size(), 4);
    res.SetObjectButtonImages(*stripOf(1, 16), false);
    EXPECT_EQ(res.GetObjectButtonImages().size(), 1);
}

TEST(TzdResourcesImages, GlyphHoldsTheImageAndItsDisabledCopyOnTheGlyphColour)
{
    TzdResources res;
    res.SetDesignerButtonImages(*stripOf(2, 16), false);
    const plat::TColor background = plat::RGB(0, 128, 128);

    const QImage glyph = res.ButtonGlyphImage(1);
    ASSERT_EQ(glyph.size(), QSize(32, 16));
    EXPECT_EQ(colorAt(glyph, 2, 2), plat::clLime);
    EXPECT_EQ(colorAt(glyph, 16 + 2, 2), plat::RGB(178, 178, 178)); // 255 div 3 = 85, 85 / 3 -> 28
    EXPECT_EQ(colorAt(glyph, 0, 0), background);
    EXPECT_EQ(colorAt(glyph, 31, 15), background);

    const QImage none = res.ButtonGlyphImage(7);
    for (const QPoint p : {QPoint(0, 0), QPoint(2, 2), QPoint(18, 2)})
        EXPECT_EQ(colorAt(none, p.x(), p.y()), background);
}

TEST(TzdResourcesImages, StripsComeFromGzipBitmapResourcesOnFirstUse)
{
    const QString rcc = QStringLiteral("/usr/lib/qt6/libexec/rcc");
    if (!zdtest::toolAvailable(rcc))
        GTEST_SKIP() << "rcc is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    // The preview's strip: two rows of three 16 x 16 tiles.
    auto strip = stripOf(6, 16);
    QImage twoRows(48, 32, QImage::Format_RGB32);
    twoRows.fill(plat::ToQColor(kKey));
    const QImage flat = strip->Image();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 48; ++x) {
            twoRows.setPixel(x, y, flat.pixel(x, y));
            twoRows.setPixel(x, y + 16, flat.pixel(x + 48, y));
        }
    strip->SetImage(twoRows);
    plat::TMemoryStream bmp(strip->SaveToBytes());
    {
        plat::TFileStream member(dir.filePath("PreviewButtons"), plat::fmCreate);
        zdGZipCompress(bmp, member, zlBest);
    }
    QFile qrc(dir.filePath("images.qrc"));
    ASSERT_TRUE(qrc.open(QIODevice::WriteOnly));
    qrc.write("<RCC><qresource prefix=\"/images\"><file>PreviewButtons</file></qresource></RCC>");
    qrc.close();
    const QString rccFile = dir.filePath("images.rcc");
    const auto built = zdtest::runTool(rcc, {"--binary", qrc.fileName(), "-o", rccFile});
    ASSERT_EQ(built.exitCode, 0) << built.err.toStdString();
    ASSERT_TRUE(QResource::registerResource(rccFile));

    TzdResources res;
    const zd::ImageList& preview = res.GetPreviewButtonImages();
    ASSERT_EQ(preview.size(), 6);
    EXPECT_EQ(colorAt(preview[4], 1 + 4, 2), plat::clLime); // second row, second tile
    EXPECT_EQ(qAlpha(preview[4].pixel(0, 0)), 0);
    EXPECT_TRUE(res.GetObjectButtonImages().isEmpty()); // a strip the program lacks
    EXPECT_TRUE(res.GetDesignerButtonImages().isEmpty());
    QResource::unregisterResource(rccFile);
}

TEST(TzdResourcesImages, DamagedStripResourceIsReported)
{
    plat::TBitmap strip;
    EXPECT_THROW(zd::loadImageStrip("BM not a gzip member", strip), EZDecompressionError);
    plat::TMemoryStream text(QByteArray("not a bitmap"));
    plat::TMemoryStream member;
    zdGZipCompress(text, member, zlBest);
    EXPECT_THROW(zd::loadImageStrip(member.bytes(), strip), plat::EInvalidGraphic);
    EXPECT_TRUE(strip.Empty());
}

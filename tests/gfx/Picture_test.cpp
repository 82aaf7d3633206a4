#include "Exceptions.h"
#include "GfxTestUtil.h"
#include "Graphics.h"
#include "JpegCodec.h"
#include "Metafile.h"
#include "../MutationTestUtil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include <jpeglib.h>

using namespace plat;

namespace {

QString data(const char* name) { return QStringLiteral(SORVAMET_TEST_DATA "/") + QString::fromLatin1(name); }

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool near(QRgb a, QRgb b, int tol)
{
    return std::abs(qRed(a) - qRed(b)) <= tol && std::abs(qGreen(a) - qGreen(b)) <= tol
           && std::abs(qBlue(a) - qBlue(b)) <= tol;
}

} // namespace

TEST(Picture, LoadsByContentAndSavesTheOriginalBytes)
{
    struct Case {
        const char* file;
        const char* cls;
        int w, h;
    };
    const Case cases[] = {{"pic.png", "TPngImage", 5, 3}, {"pic.jpg", "TJPEGImage", 16, 8},
                          {"gray.jpg", "TJPEGImage", 8, 8}, {"pic.bmp", "TBitmap", 4, 3},
                          {"pic8.bmp", "TBitmap", 4, 3},    {"pic.ico", "TIcon", 4, 4},
                          {"png.ico", "TIcon", 16, 16}};
    QTemporaryDir dir;
    for (const Case& c : cases) {
        TPicture pic;
        // A name that says nothing: recognition is by content.
        const QString copy = dir.filePath(QStringLiteral("noext"));
        QFile::remove(copy);
        ASSERT_TRUE(QFile::copy(data(c.file), copy));
        pic.LoadFromFile(copy);
        ASSERT_NE(pic.Graphic(), nullptr) << c.file;
        EXPECT_STREQ(pic.Graphic()->GraphicClassName(), c.cls) << c.file;
        EXPECT_EQ(pic.Width(), c.w) << c.file;
        EXPECT_EQ(pic.Height(), c.h) << c.file;
        const QString out = dir.filePath(QStringLiteral("out"));
        pic.SaveToFile(out);
        EXPECT_EQ(readFile(out), readFile(data(c.file))) << c.file;
    }
}

TEST(Picture, DecodedPixelsAreRight)
{
    TPicture png;
    png.LoadFromFile(data("pic.png"));
    const QImage p = png.Graphic()->ToImage();
    EXPECT_EQ(p.pixel(0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(p.pixel(4, 0), qRgba(0, 255, 0, 255));
    EXPECT_EQ(p.pixel(0, 2), qRgba(0, 0, 255, 255));
    EXPECT_EQ(qAlpha(p.pixel(4, 2)), 0);

    TPicture jpg;
    jpg.LoadFromFile(data("pic.jpg"));
    const QImage j = jpg.Graphic()->ToImage();
    EXPECT_TRUE(near(j.pixel(2, 4), qRgb(255, 0, 0), 12));
    EXPECT_TRUE(near(j.pixel(13, 4), qRgb(0, 0, 255), 12));

    TPicture bmp;
    bmp.LoadFromFile(data("pic.bmp"));
    const QImage b = bmp.Graphic()->ToImage();
    EXPECT_EQ(b.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(b.pixel(3, 2) & 0xFFFFFF, 0x0080FFu);

    TPicture ico;
    ico.LoadFromFile(data("pic.ico"));
    const QImage i = ico.Graphic()->ToImage();
    EXPECT_EQ(qAlpha(i.pixel(0, 0)), 0);
    EXPECT_EQ(i.pixel(1, 0), qRgba(0, 255, 0, 255));
    EXPECT_EQ(i.pixel(3, 3), qRgba(0, 0, 255, 255));
    EXPECT_TRUE(ico.Graphic()->Transparent());
}

TEST(Picture, DamagedFileRaisesInvalidGraphicAndKeepsThePicture)
{
    TPicture pic;
    pic.LoadFromFile(data("pic.png"));
    for (const char* f : {"damaged.png", "damaged.jpg", "truncated.jpg", "damaged.bmp", "unknown.bin"}) {
        EXPECT_THROW(pic.LoadFromFile(data(f)), EInvalidGraphic) << f;
        ASSERT_NE(pic.Graphic(), nullptr);
        EXPECT_STREQ(pic.Graphic()->GraphicClassName(), "TPngImage") << f;
    }
    EXPECT_THROW(pic.LoadFromBytes(QByteArray()), EInvalidGraphic);
}

TEST(Picture, MissingFileRaisesFileOpenError)
{
    TPicture pic;
    EXPECT_THROW(pic.LoadFromFile(data("no-such-file.png")), EFOpenError);
}

TEST(Picture, RecognitionRules)
{
    struct Case {
        QByteArray bytes;
        GraphicKind kind;
    };
    const QByteArray pad(120, '\0');
    QByteArray emf = pad;
    emf.replace(40, 4, QByteArray(" EMF"));
    const Case cases[] = {
        {QByteArray("BM") + QByteArray(12, '\0'), GraphicKind::Bitmap},
        {QByteArray("BM") + QByteArray(11, '\0'), GraphicKind::Icon}, // too short for a bitmap; 2nd word 0
        {QByteArray::fromHex("FFD8"), GraphicKind::Jpeg},
        {QByteArray::fromHex("89504E470D0A1A0A"), GraphicKind::Png},
        {QByteArray::fromHex("D7CDC69A") + QByteArray(18, '\0'), GraphicKind::Metafile},
        {emf, GraphicKind::EnhMetafile},
        {QByteArray::fromHex("000001000100"), GraphicKind::Icon},
        {QByteArray::fromHex("000002000100"), GraphicKind::None},
        {QByteArray("xy"), GraphicKind::None},
        {QByteArray(), GraphicKind::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectGraphicKind(c.bytes), c.kind) << c.bytes.toHex().toStdString();
}

TEST(Bitmap, SavedBitmapReadsBackInAnIndependentDecoder)
{
    TBitmap bmp(6, 4);
    bmp.SetPixelFormat(pf24bit);
    bmp.Canvas().Brush().SetColor(clRed);
    bmp.Canvas().FillRect(Rect(0, 0, 3, 4));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("b.bmp"));
    bmp.SaveToFile(file);
    int status = 0;
    const std::string out = gfxtest::run(
        "/usr/bin/python3 -c \"from PIL import Image; im=Image.open('" + file.toStdString()
            + "'); print(im.size, im.mode, im.getpixel((0,0)), im.getpixel((5,3)))\" 2>&1",
        &status);
    if (out.find("No module named 'PIL'") != std::string::npos)
        GTEST_SKIP() << "python3-pil is not installed";
    EXPECT_EQ(out, "(6, 4) RGB (255, 0, 0) (255, 255, 255)\n");
    TBitmap back;
    back.LoadFromFile(file);
    EXPECT_EQ(back.PixelFormat(), pf24bit);
    EXPECT_EQ(back.Canvas().Pixels(2, 3), clRed);
    EXPECT_EQ(back.Canvas().Pixels(3, 3), clWhite);
}

TEST(Bitmap, ResizingKeepsPixelsAndWhitensNewArea)
{
    TBitmap bmp(2, 2);
    bmp.Canvas().SetPixel(1, 1, clBlue);
    bmp.SetSize(4, 3);
    EXPECT_EQ(bmp.Canvas().Pixels(1, 1), clBlue);
    EXPECT_EQ(bmp.Canvas().Pixels(3, 2), clWhite);
    bmp.SetWidth(1);
    EXPECT_EQ(bmp.Width(), 1);
    EXPECT_EQ(bmp.Height(), 3);
}

TEST(Bitmap, AutoTransparentColourIsTheBottomLeftPixel)
{
    TBitmap bmp(3, 3);
    bmp.Canvas().SetPixel(0, 2, clLime);
    EXPECT_EQ(bmp.TransparentColor(), clLime);
    bmp.SetTransparentColor(clRed);
    EXPECT_EQ(bmp.TransparentMode(), tmFixed);
    EXPECT_EQ(bmp.TransparentColor(), clRed);
}

TEST(Png, EncodedImageDecodesInAnIndependentDecoder)
{
    QImage img(3, 2, QImage::Format_ARGB32);
    img.fill(qRgba(0, 0, 255, 255));
    img.setPixel(1, 1, qRgba(255, 0, 0, 128));
    TPngImage png;
    png.EncodeFrom(img);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("p.png"));
    png.SaveToFile(file);
    int status = 0;
    const std::string out = gfxtest::run("/usr/bin/python3 -c \"from PIL import Image; im=Image.open('"
                                             + file.toStdString() + "'); print(im.mode, im.getpixel((1,1)))\" 2>&1",
                                         &status);
    if (out.find("No module named 'PIL'") != std::string::npos)
        GTEST_SKIP() << "python3-pil is not installed";
    EXPECT_EQ(out, "RGBA (255, 0, 0, 128)\n");
}

TEST(Jpeg, CompressedImageKeepsItsColours)
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(qRgb(0, 200, 0));
    TJPEGImage jpg;
    jpg.CompressFrom(img, 95);
    EXPECT_EQ(DetectGraphicKind(jpg.SaveToBytes()), GraphicKind::Jpeg);
    EXPECT_TRUE(near(jpg.ToImage().pixel(8, 8), qRgb(0, 200, 0), 6));
}

// libjpeg fed with plain RGB rows, as the encoder once did it: the bytes of
// the encoder's output must not depend on how the pixels are handed over.
QByteArray jpegFromRgbRows(const QImage& image, int quality)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(size_t(image.width()) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(int(cinfo.next_scanline)));
        for (int x = 0; x < image.width(); ++x) {
            row[size_t(x) * 3] = (unsigned char)qRed(src[x]);
            row[size_t(x) * 3 + 1] = (unsigned char)qGreen(src[x]);
            row[size_t(x) * 3 + 2] = (unsigned char)qBlue(src[x]);
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

TEST(Jpeg, EncodedBytesAreThoseOfTheRgbRows)
{
    std::mt19937 random(7);
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32}) {
        for (const QSize size : {QSize(1, 1), QSize(17, 9), QSize(203, 61)}) {
            QImage img(size, format);
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    img.setPixel(x, y, random() | (format == QImage::Format_RGB32 ? 0xFF000000u : 0u));
            for (const int quality : {30, 90, 100}) {
                SCOPED_TRACE(testing::Message() << format << ' ' << size.width() << 'x' << size.height() << " q" << quality);
                EXPECT_EQ(EncodeJpeg(img, quality), jpegFromRgbRows(img, quality));
            }
        }
    }
}

TEST(Picture, AssignCopiesKindAndBytes)
{
    TPicture a, b;
    a.LoadFromFile(data("pic.jpg"));
    b.Assign(&a);
    ASSERT_NE(b.Graphic(), nullptr);
    EXPECT_NE(b.Graphic(), a.Graphic());
    EXPECT_STREQ(b.Graphic()->GraphicClassName(), "TJPEGImage");
    EXPECT_EQ(b.Graphic()->SaveToBytes(), readFile(data("pic.jpg")));
    int changes = 0;
    b.SetOnChange([&](TPicture*) { ++changes; });
    b.Clear();
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(b.Empty());
}

TEST(Picture, RasterPicturesCannotBeResized)
{
    TPicture pic;
    pic.LoadFromFile(data("pic.jpg"));
    try {
        pic.Graphic()->SetWidth(3);
        FAIL() << "no exception";
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot change the size of a JPEG image"));
    }
    EXPECT_EQ(pic.Width(), 16);
}

// ---------------------------------------------------------------- damaged pictures

namespace {

// Loads into a picture that holds a PNG: a refusal must leave the PNG there.
void loadAndShow(const QByteArray& bytes)
{
    static const QByteArray kHeld = readFile(data("pic.png"));
    TPicture pic;
    pic.LoadFromBytes(kHeld);
    try {
        pic.LoadFromBytes(bytes);
    } catch (const EInvalidGraphic&) {
        if (!pic.Graphic() || qstrcmp(pic.Graphic()->GraphicClassName(), "TPngImage") != 0)
            ADD_FAILURE() << "a refused picture replaced the one held: " << bytes.toHex().constData();
        throw;
    }
    if (pic.Width() < 0 || pic.Height() < 0)
        ADD_FAILURE() << "negative size from " << bytes.toHex().constData();
    QImage target = gfxtest::whiteImage(24, 24);
    {
        TCanvas canvas(&target);
        pic.Graphic()->Draw(canvas, 0, 0, 24, 24);
    }
    if (qint64(pic.Width()) * pic.Height() <= 256 * 256)
        (void)pic.Graphic()->ToImage();
    (void)pic.Graphic()->SaveToBytes();
}

} // namespace

TEST(Picture, MutatedFilesLoadOrAreRefusedKeepingThePicture)
{
    std::vector<QByteArray> fixtures;
    for (const char* f : {"pic.bmp", "pic8.bmp", "pic.png", "pic.jpg", "gray.jpg", "pic.ico", "png.ico"}) {
        fixtures.push_back(readFile(data(f)));
        ASSERT_FALSE(fixtures.back().isEmpty()) << f;
    }
    const auto outcome = mutation::runMutations(fixtures, 1000, 31337, mutation::binaryTokens(), loadAndShow);
    EXPECT_GT(outcome.accepted, 300);
    EXPECT_GT(outcome.refused, 300);
}

namespace {

quint32 crc32Of(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : bytes) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBig(QByteArray& b, qsizetype at, quint32 v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b[at + i] = char(v >> (8 * (bytes - 1 - i)));
}

// A PNG whose header claims width x height, with a valid checksum.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray b = readFile(data("pic.png"));
    putBig(b, 16, width, 4);
    putBig(b, 20, height, 4);
    putBig(b, 29, crc32Of(b.mid(12, 17)), 4);
    return b;
}

// pic.jpg with its frame header claiming width x height; a progressive
// frame when asked.
QByteArray jpegClaiming(quint16 width, quint16 height, bool progressive)
{
    QByteArray b = readFile(data("pic.jpg"));
    const qsizetype sof = b.indexOf(QByteArray::fromHex("FFC0"));
    if (progressive)
        b[sof + 1] = char(0xC2);
    putBig(b, sof + 5, height, 2);
    putBig(b, sof + 7, width, 2);
    return b;
}

} // namespace

// Damaged pictures that once did harm, each the smallest that showed it.
TEST(Picture, DamagedPicturesThatOnceDidHarm)
{
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"PNG header claiming 65535 x 65535", pngClaiming(65535, 65535)},
        {"PNG header claiming 60000 x 1200", pngClaiming(60000, 1200)},
        {"JPEG frame claiming 65535 x 65535", jpegClaiming(65535, 65535, false)},
        {"progressive JPEG frame claiming 65535 x 65535", jpegClaiming(65535, 65535, true)},
    };
    for (const Case& c : cases) {
        TPicture pic;
        EXPECT_THROW(pic.LoadFromBytes(c.bytes), EInvalidGraphic) << c.name;
        EXPECT_EQ(pic.Graphic(), nullptr) << c.name;
    }
}

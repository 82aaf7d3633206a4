// QR symbols read back by independent decoders (ZXingReader, zbarimg).
#include "zdBarcodeQR.h"
#include "zdQRCodeGenerator.h"

#include "zdBarcode2D_testutil.h"

#include "Canvas.h"
#include "CodePage.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

struct Sample {
    QString text;
    TQRCodeEncoding encoding;
    TQRErrorLevels level;
    QByteArray bytes; // what the symbol carries
    int version;
};

using Maker = std::function<QString(std::mt19937&, int)>;

QString pick(std::mt19937& rng, int length, const QString& alphabet)
{
    QString s;
    std::uniform_int_distribution<int> d(0, int(alphabet.size()) - 1);
    for (int i = 0; i < length; ++i)
        s += alphabet[d(rng)];
    return s;
}

// Level-1 Kanji of Shift JIS (lead bytes 0x88..0x9F), as Unicode.
QString kanjiAlphabet()
{
    QByteArray sjis;
    for (int lead = 0x89; lead <= 0x97; lead += 2)
        for (int trail = 0x40; trail <= 0xFC; trail += 7)
            if (trail != 0x7F)
                sjis += char(lead), sjis += char(trail);
    QString all = plat::codePageToUnicode(932, sjis);
    QString out;
    for (QChar c : all)
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
            out += c;
    return out;
}

QByteArray carried(const QString& text, TQRCodeEncoding enc)
{
    switch (enc) {
    case qrISO88591:
        return text.toLatin1();
    case qrShift_JIS:
        return plat::unicodeToCodePage(932, text);
    default:
        return text.toUtf8();
    }
}

// The longest text of the maker's alphabet that still fits `version`.
QString fillVersion(const Maker& make, std::mt19937& rng, TQRCodeEncoding enc, TQRErrorLevels level, int version)
{
    const QString pool = make(rng, 8000);
    int lo = 1, hi = 7089;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        int v = 41;
        try {
            v = zd::encodeQRCodewords(pool.left(mid), enc, level, 0).version;
        } catch (const std::exception&) {
        }
        if (v <= version)
            lo = mid;
        else
            hi = mid - 1;
    }
    return pool.left(lo);
}

std::vector<Sample> samples()
{
    std::mt19937 rng(20261210);
    const QString digits = QStringLiteral("0123456789");
    const QString alnum = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:");
    QString latin1;
    for (int c = 32; c < 256; ++c)
        if (c < 127 || c >= 160)
            latin1 += QChar(c);
    const QString czech = QString::fromUtf8("Příliš žluťoučký kůň úpěl ďábelské ódy 0123 €");
    const QString kanji = kanjiAlphabet();
    struct Mode {
        TQRCodeEncoding enc;
        Maker make;
    };
    const Mode modes[] = {
        {qrNumeric, [&](std::mt19937& r, int n) { return pick(r, n, digits); }},
        {qrAlphanumeric, [&](std::mt19937& r, int n) { return pick(r, n, alnum); }},
        {qrISO88591, [&](std::mt19937& r, int n) { return pick(r, n, latin1); }},
        {qrUTF8NoBOM, [&](std::mt19937& r, int n) { return pick(r, n, czech); }},
        {qrShift_JIS, [&](std::mt19937& r, int n) { return pick(r, n, kanji); }},
    };
    std::vector<Sample> out;
    for (const Mode& m : modes)
        for (int level = ecL; level <= ecH; ++level)
            for (int v = 1 + level; v <= 40; v += 8) {
                const int version = m.enc == qrShift_JIS && v > 20 ? v - 16 : v;
                const QString text = fillVersion(m.make, rng, m.enc, TQRErrorLevels(level), version);
                out.push_back({text, m.enc, TQRErrorLevels(level), carried(text, m.enc), version});
            }
    return out;
}

TEST(BarcodeQRDecode, RandomTextsInEveryModeAndLevelDecode)
{
    if (!zdtest::haveTool(QStringLiteral("ZXingReader")) || !zdtest::haveTool(QStringLiteral("zbarimg")))
        GTEST_SKIP() << "ZXingReader or zbarimg missing";
    const std::vector<Sample> all = samples();
    std::vector<QImage> images;
    for (const Sample& s : all) {
        TzdBarcodeQR qr;
        qr.SetEncoding(s.encoding);
        qr.SetErrorLevels(s.level);
        qr.SetText(s.text);
        ASSERT_TRUE(qr.ErrorText().isEmpty());
        ASSERT_EQ(qr.Columns(), s.version * 4 + 17) << s.text.left(20).toStdString();
        images.push_back(zdtest::renderModules(qr, s.version > 20 ? 3 : 4, 4));
    }
    const std::vector<QByteArray> zx = zdtest::zxingBytes(images, QStringLiteral("QRCode"));
    const std::vector<QByteArray> zb = zdtest::zbarBytes(images);
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(zx[i], all[i].bytes) << "ZXing, sample " << i << " version " << all[i].version;
        EXPECT_EQ(zb[i], all[i].bytes) << "zbar, sample " << i << " version " << all[i].version;
    }
}

TEST(BarcodeQRDecode, ECITextsDecodeToTheirCharacters)
{
    if (!zdtest::haveTool(QStringLiteral("ZXingReader")))
        GTEST_SKIP() << "ZXingReader missing";
    struct Case {
        QString text;
        int codePage;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("&ECI26;Žluťoučký kůň"), 0, QStringLiteral("Žluťoučký kůň")},
        {QStringLiteral("Žluťoučký kůň"), 1250, QStringLiteral("Žluťoučký kůň")},
        {QStringLiteral("Привет"), 1251, QStringLiteral("Привет")},
        {QStringLiteral("abc&ECI26;ďě"), 1252, QStringLiteral("abcďě")},
        {QStringLiteral("日本語"), 932, QStringLiteral("日本語")},
        {QStringLiteral("Ωmega ☺"), 1200, QStringLiteral("Ωmega ☺")}, // UTF-16, big-endian as readers expect
    };
    std::vector<QImage> images;
    for (const Case& c : cases) {
        TzdBarcodeQR qr;
        qr.SetCodepage(c.codePage);
        qr.SetText(c.text);
        ASSERT_TRUE(qr.ErrorText().isEmpty()) << qr.ErrorText().toStdString();
        images.push_back(zdtest::renderModules(qr));
    }
    const std::vector<QString> texts = zdtest::zxingTexts(images, QStringLiteral("QRCode"));
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(texts[i], cases[i].expected) << i;
}

// The symbol drawn through the canvas, with its text line, at each right
// angle and at a zoom below 1 (the bitmap path).
TEST(BarcodeQRDecode, DrawnSymbolsDecodeAtEveryRotation)
{
    if (!zdtest::haveTool(QStringLiteral("ZXingReader")))
        GTEST_SKIP() << "ZXingReader missing";
    const QString text = QStringLiteral("https://example.org/Sorvamet?id=42");
    std::vector<QImage> images;
    for (int rotation : {0, 90, 180, 270})
        for (long double zoom : {1.0L, 0.75L}) {
            TzdBarcodeQR qr;
            qr.SetText(text);
            qr.SetRotation(rotation);
            qr.SetZoom(zoom);
            qr.SetQuietZone(16);
            const int side = qr.GetWidth() + qr.GetTextHeight() + 8;
            QImage image(side, side, QImage::Format_RGB32);
            image.fill(Qt::white);
            plat::TCanvas canvas(&image);
            qr.Draw(canvas, 0, 1, 1, 0);
            canvas.ReleaseDevice();
            images.push_back(image);
        }
    const std::vector<QString> texts = zdtest::zxingTexts(images, QStringLiteral("QRCode"));
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(texts[i], text) << "image " << i;
}

} // namespace

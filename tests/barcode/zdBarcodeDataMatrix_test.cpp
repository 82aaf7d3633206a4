// Data Matrix: encodations, sizes, failures, and decoding by dmtxread and
// ZXingReader; forced ASCII compared with dmtxwrite module for module.
#include "zdBarcodeDataMatrix.h"

#include "zdBarcode2D_testutil.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using E = DatamatrixEncoding;
using S = DatamatrixSymbolSize;

TEST(BarcodeDataMatrix, DefaultTextIsFourDigitPairsIn12x12)
{
    TzdBarcodeDataMatrix dm;
    EXPECT_EQ(dm.Codewords(), QByteArray::fromHex("8EA4BAD0")); // 130 + 12, 34, 56, 78
    EXPECT_EQ(dm.Rows(), 12);
    EXPECT_EQ(dm.Columns(), 12);
    EXPECT_EQ(dm.PixelWidth(), 4);
    EXPECT_EQ(dm.CodePage(), 1250);
}

struct EncodeCase {
    E encoding;
    const char* text;
    const char* codewords; // hex
};

TEST(BarcodeDataMatrix, Encodations)
{
    const EncodeCase cases[] = {
        {E::Ascii, "Ab\x80", "4263EB01"},      // upper shift: 235, 128 - 127
        {E::C40, "ABC", "E659E9FE"},           // 1600*14 + 40*15 + 16 + 1 = 23017
        {E::Txt, "abc", "EF59E9FE"},
        {E::C40, "ABCD", "E659E9FE45"},        // D left over: ASCII
        {E::X12, "ABC>*\r", "EE59E90CA9FE"},
        {E::X12, "AB", "4243"},                // runs under six stay ASCII
        {E::Edifact, "AB", "F00427C0"},        // 1, 2, unlatch 31 in 18 bits
        {E::Base256, "ab", "E7"},              // randomised below
    };
    for (const EncodeCase& c : cases) {
        const std::optional<QByteArray> cw = zd::dataMatrixEncode(c.encoding, QByteArray(c.text), 1558);
        ASSERT_TRUE(cw.has_value()) << c.text;
        const QByteArray expected = QByteArray::fromHex(c.codewords);
        EXPECT_EQ(cw->left(expected.size()).toHex(), expected.toHex()) << c.text;
    }
}

TEST(BarcodeDataMatrix, Base256IsRandomisedByPosition)
{
    const std::optional<QByteArray> cw = zd::dataMatrixEncode(E::Base256, QByteArray("ab"), 10);
    ASSERT_TRUE(cw);
    // length 2 at position 2, 'a' at 3, 'b' at 4: c + (149 p mod 255) + 1
    const QByteArray expected = QByteArray::fromRawData("\xE7", 1) + char((2 + 298 % 255 + 1) % 256) +
                                char((0x61 + 447 % 255 + 1) % 256) + char((0x62 + 596 % 255 + 1) % 256);
    EXPECT_EQ(cw->toHex(), expected.toHex());
    EXPECT_FALSE(zd::dataMatrixEncode(E::Base256, QByteArray("abc"), 4));
    EXPECT_EQ(zd::dataMatrixEncode(E::Base256, QByteArray(), 4), QByteArray());
}

TEST(BarcodeDataMatrix, AutoPicksTheShortest)
{
    TzdBarcodeDataMatrix dm;
    dm.SetText(QStringLiteral("ABCDEFGHIJ"));
    EXPECT_EQ(std::uint8_t(dm.Codewords()[0]), 230); // C40
    dm.SetText(QStringLiteral("abcdefghij"));
    EXPECT_EQ(std::uint8_t(dm.Codewords()[0]), 239); // Text
    dm.SetText(QStringLiteral("1234567890"));
    EXPECT_EQ(dm.Codewords().size(), 5);             // ASCII digit pairs
}

TEST(BarcodeDataMatrix, TooBigMessages)
{
    TzdBarcodeDataMatrix dm;
    const std::vector<std::uint8_t> image = dm.Image();
    dm.SetText(QString(3000, QLatin1Char('x')));
    EXPECT_EQ(dm.ErrorText(), QStringLiteral("The text is too big."));
    EXPECT_EQ(dm.Image(), image); // the last good symbol stays
    dm.SetText(QStringLiteral("1234567890"));
    EXPECT_TRUE(dm.ErrorText().isEmpty());
    dm.SetSymbolSize(S::Size10x10);
    EXPECT_EQ(dm.ErrorText(), QStringLiteral(" The text is too big."));
}

TEST(BarcodeDataMatrix, LeadingFNC1CountsAgainstTheCapacity)
{
    TzdBarcodeDataMatrix dm;
    dm.SetText(QStringLiteral("&1;01&1;2"));
    EXPECT_EQ(dm.Codewords(), QByteArray::fromHex("E8831E33")); // FNC1, "01", GS, "2"
    // 3 data codewords of 10x10: FNC1 plus 3 codewords does not fit
    dm.SetSymbolSize(S::Size10x10);
    dm.SetText(QStringLiteral("&1;010203"));
    EXPECT_EQ(dm.ErrorText(), QStringLiteral(" The text is too big."));
    dm.SetText(QStringLiteral("&1;0102"));
    EXPECT_TRUE(dm.ErrorText().isEmpty());
    EXPECT_EQ(dm.Rows(), 10);
}

TEST(BarcodeDataMatrix, CodePageDecidesTheBytes)
{
    TzdBarcodeDataMatrix dm;
    dm.SetEncoding(E::Ascii);
    dm.SetText(QStringLiteral("\u010C"));
    EXPECT_EQ(dm.Codewords(), QByteArray::fromHex("EB49")); // 0xC8 in code page 1250
    dm.SetCodePage(65001);
    EXPECT_EQ(dm.Codewords(), QByteArray::fromHex("EB45EB0D")); // C4 8C
}

TEST(BarcodeDataMatrix, RectangleHasTwoRegions)
{
    TzdBarcodeDataMatrix dm;
    dm.SetSymbolSize(S::Size8x32);
    EXPECT_EQ(dm.Rows(), 8);
    EXPECT_EQ(dm.Columns(), 32);
    for (int c = 0; c < 32; ++c)
        EXPECT_TRUE(dm.IsDark(7, c)); // solid bottom
    // each region's left column is solid, its right column alternates
    for (int r = 0; r < 8; ++r) {
        EXPECT_TRUE(dm.IsDark(r, 0));
        EXPECT_TRUE(dm.IsDark(r, 16));
        EXPECT_EQ(dm.IsDark(r, 15), r % 2 == 1);
        EXPECT_EQ(dm.IsDark(r, 31), r % 2 == 1);
    }
}

TEST(BarcodeDataMatrix, AssignReencodesTheCopiedText)
{
    TzdBarcodeDataMatrix a, b;
    a.SetText(QStringLiteral("HELLO"));
    a.SetSymbolSize(S::Size16x16);
    b.Assign(&a);
    EXPECT_EQ(b.SymbolSize(), S::Size16x16);
    EXPECT_EQ(b.Rows(), 16);
    EXPECT_EQ(b.Image(), a.Image());
}

// --------------------------------------------------------------- decoders

struct DecodeCase {
    E encoding;
    S size;
    QByteArray text;
};

std::vector<DecodeCase> decodeCases()
{
    std::mt19937 rng(1612);
    auto randomText = [&](const char* alphabet, int n) {
        QByteArray s;
        const int k = int(std::strlen(alphabet));
        for (int i = 0; i < n; ++i)
            s += alphabet[std::uniform_int_distribution<int>(0, k - 1)(rng)];
        return s;
    };
    std::vector<DecodeCase> out;
    // every size, with a text that fills it in ASCII and in Auto
    for (int size = 1; size <= zd::kDataMatrixSizeCount; ++size) {
        const int capacity = zd::dataMatrixSize(size - 1).dataCodewords;
        out.push_back({E::Ascii, S(size), randomText("0123456789ABCxyz -", capacity * 2 / 3)});
        out.push_back({E::Auto, S::AutoSize, randomText("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ", capacity)});
    }
    // each encodation over a spread of lengths
    const struct {
        E e;
        const char* alphabet;
    } kinds[] = {
        {E::Ascii, "abcXYZ0123456789!@#"}, {E::C40, "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789ab.,"},
        {E::Txt, "abcdefghijklmnopqrstuvwxyz 0123456789AB.,"}, {E::Base256, "\x01\x7F\x80\xFF" "abc\n"},
        {E::X12, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 *>\r"}, {E::Edifact, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ;:?"},
    };
    for (const auto& k : kinds)
        for (int n : {1, 2, 5, 7, 20, 61, 150, 400})
            out.push_back({k.e, S::AutoSize, randomText(k.alphabet, n)});
    return out;
}

// dmtxwrite's symbol for the same text, encodation and size: where a
// reader fails on ours, it must fail on that one too (a limit of the reader,
// not of our symbol).
QImage dmtxwriteReference(const TzdBarcodeDataMatrix& dm, const QByteArray& text, const QTemporaryDir& dir)
{
    char letter = 'a';
    switch (std::uint8_t(dm.Codewords().isEmpty() ? 0 : dm.Codewords()[0])) {
    case 230: letter = 'c'; break;
    case 239: letter = 't'; break;
    case 238: letter = 'x'; break;
    case 240: letter = 'e'; break;
    case 231: letter = '8'; break;
    default: break;
    }
    const QString png = dir.filePath(QStringLiteral("reference.png"));
    zdtest::runTool(QStringLiteral("dmtxwrite"),
                    {QStringLiteral("-e"), QString(QLatin1Char(letter)), QStringLiteral("-s"),
                     QStringLiteral("%1x%2").arg(dm.Rows()).arg(dm.Columns()), QStringLiteral("-d"),
                     QStringLiteral("5"), QStringLiteral("-o"), png},
                    text);
    return QImage(png);
}

TEST(BarcodeDataMatrixDecode, EveryEncodationAndSizeDecodes)
{
    if (!zdtest::haveTool(QStringLiteral("dmtxread")) || !zdtest::haveTool(QStringLiteral("ZXingReader")) ||
        !zdtest::haveTool(QStringLiteral("dmtxwrite")))
        GTEST_SKIP() << "dmtxread, dmtxwrite or ZXingReader missing";
    const std::vector<DecodeCase> cases = decodeCases();
    std::vector<QImage> images;
    std::vector<QByteArray> expected;
    std::vector<std::unique_ptr<TzdBarcodeDataMatrix>> symbols;
    for (const DecodeCase& c : cases) {
        auto dm = std::make_unique<TzdBarcodeDataMatrix>();
        dm->SetCodePage(28591); // bytes as they are
        dm->SetEncoding(c.encoding);
        dm->SetSymbolSize(c.size);
        dm->SetText(QString::fromLatin1(c.text));
        ASSERT_TRUE(dm->ErrorText().isEmpty()) << dm->ErrorText().toStdString() << " " << c.text.size();
        images.push_back(zdtest::renderModules(*dm, dm->Columns() > 80 ? 3 : 5, 4));
        expected.push_back(c.text);
        symbols.push_back(std::move(dm));
    }
    const std::vector<QByteArray> zx = zdtest::zxingBytes(images, QStringLiteral("DataMatrix"));
    QTemporaryDir dir;
    const QStringList paths = zdtest::saveAll(dir, images);
    const std::vector<QByteArray> dmtxRead = zdtest::dmtxBytes(paths);
    int readerLimits = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const QByteArray& dmtx = dmtxRead[i];
        if (zx[i] != expected[i] || dmtx != expected[i]) {
            const QImage reference = dmtxwriteReference(*symbols[i], expected[i], dir);
            ASSERT_FALSE(reference.isNull());
            if (zx[i] != expected[i]) {
                EXPECT_NE(zdtest::zxingBytes({reference}, QStringLiteral("DataMatrix"))[0], expected[i])
                    << "ZXing reads dmtxwrite's symbol but not ours, case " << i;
            }
            if (dmtx != expected[i]) {
                QTemporaryDir refDir;
                const QStringList ref = zdtest::saveAll(refDir, {reference});
                EXPECT_NE(zdtest::runTool(QStringLiteral("dmtxread"), {QStringLiteral("-N1"), ref[0]}), expected[i])
                    << "dmtxread reads dmtxwrite's symbol but not ours, case " << i;
            }
            ++readerLimits;
        }
    }
    EXPECT_LE(readerLimits, 3); // a rare reader limit, not a pattern
}

// Modules of a dmtxwrite PNG (module size 5, margin 10).
std::vector<std::uint8_t> modulesOf(const QImage& image, int rows, int columns)
{
    std::vector<std::uint8_t> out;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            out.push_back(qGray(image.pixel(10 + c * 5 + 2, 10 + r * 5 + 2)) < 128);
    return out;
}

TEST(BarcodeDataMatrixDecode, ForcedAsciiEqualsDmtxwrite)
{
    if (!zdtest::haveTool(QStringLiteral("dmtxwrite")))
        GTEST_SKIP() << "dmtxwrite missing";
    const struct {
        const char* text;
        S size;
        const char* dmtxSize;
    } cases[] = {
        {"12345678", S::Size12x12, "12x12"},       {"Sorvamet 2026", S::Size16x16, "16x16"},
        {"HELLO", S::Size8x18, "8x18"},            {"abc-123-XYZ", S::Size8x32, "8x32"},
        {"A", S::Size10x10, "10x10"},              {"0123456789abcdefghij", S::Size16x36, "16x36"},
        {"Data Matrix", S::Size32x32, "32x32"},    {"x", S::Size52x52, "52x52"},
        {"long text 1234567890", S::Size64x64, "64x64"}, {"ECC 200", S::Size144x144, "144x144"},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        TzdBarcodeDataMatrix dm;
        dm.SetEncoding(E::Ascii);
        dm.SetSymbolSize(c.size);
        dm.SetText(QString::fromLatin1(c.text));
        ASSERT_TRUE(dm.ErrorText().isEmpty());
        const QString png = dir.filePath(QStringLiteral("w.png"));
        zdtest::runTool(QStringLiteral("dmtxwrite"),
                        {QStringLiteral("-e"), QStringLiteral("a"), QStringLiteral("-s"), QLatin1String(c.dmtxSize),
                         QStringLiteral("-d"), QStringLiteral("5"), QStringLiteral("-m"), QStringLiteral("10"),
                         QStringLiteral("-o"), png},
                        QByteArray(c.text));
        const QImage written(png);
        ASSERT_FALSE(written.isNull()) << c.text;
        std::vector<std::uint8_t> ours;
        for (int r = 0; r < dm.Rows(); ++r)
            for (int col = 0; col < dm.Columns(); ++col)
                ours.push_back(dm.IsDark(r, col));
        EXPECT_EQ(ours, modulesOf(written, dm.Rows(), dm.Columns())) << c.text << " " << c.dmtxSize;
    }
}

} // namespace

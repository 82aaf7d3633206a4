// QR Code encoder: codewords, modes, versions, ECI and the symbol object.
#include "zdBarcodeQR.h"
#include "zdQRCodeGenerator.h"

#include "zdBarcode2D_testutil.h"

#include "Exceptions.h"

#include <gtest/gtest.h>

namespace {

// The worked example of ISO/IEC 18004: "01234567" in version 1-M.
TEST(QRCodeGenerator, WorkedExampleCodewords)
{
    const zd::QRCodewords cw = zd::encodeQRCodewords(QStringLiteral("01234567"), qrAuto, ecM, 0);
    EXPECT_EQ(cw.version, 1);
    EXPECT_EQ(cw.mode, qrNumeric);
    EXPECT_EQ(cw.data, QByteArray::fromHex("10200C566180EC11EC11EC11EC11EC11"));
    EXPECT_EQ(cw.interleaved.mid(16), QByteArray::fromHex("A524D4C1ED36C7872C55"));
}

TEST(QRCodeGenerator, ReedSolomonOfWorkedExample)
{
    EXPECT_EQ(zd::qrReedSolomon(QByteArray::fromHex("10200C566180EC11EC11EC11EC11EC11"), 10), QByteArray::fromHex("A524D4C1ED36C7872C55"));
}

// Block structure: version 5-Q has 2 blocks of 15 and 2 of 16 data
// codewords, interleaved column by column.
TEST(QRCodeGenerator, InterleavesUnequalBlocks)
{
    const QString text(70, QLatin1Char('A'));
    const zd::QRCodewords cw = zd::encodeQRCodewords(text, qrAuto, ecQ, 0);
    ASSERT_EQ(cw.version, 5);
    ASSERT_EQ(cw.data.size(), 62);
    ASSERT_EQ(cw.interleaved.size(), 134);
    EXPECT_EQ(cw.interleaved[0], cw.data[0]);
    EXPECT_EQ(cw.interleaved[1], cw.data[15]);
    EXPECT_EQ(cw.interleaved[2], cw.data[30]);
    EXPECT_EQ(cw.interleaved[3], cw.data[46]);
    // the 16th codeword exists only in the two long blocks
    EXPECT_EQ(cw.interleaved[60], cw.data[45]);
    EXPECT_EQ(cw.interleaved[61], cw.data[61]);
    EXPECT_EQ(cw.interleaved.mid(62, 1), zd::qrReedSolomon(cw.data.mid(0, 15), 18).left(1));
}

struct ModeCase {
    const char16_t* text;
    TQRCodeEncoding encoding;
    TQRCodeEncoding used;
    const char* firstBytes; // hex of the leading data codewords
};

TEST(QRCodeGenerator, ChoosesModeAndFiltersContent)
{
    const ModeCase cases[] = {
        {u"12345678", qrAuto, qrNumeric, "1020"},       // 0001 count 8 (10 bits)
        {u"HELLO WORLD", qrAuto, qrAlphanumeric, "205B"}, // 0010 count 11 (9 bits)
        {u"Hello", qrAuto, qrISO88591, "4054"},          // 0100 count 5, 'H'
        {u"\u010Cesk\u00FD", qrAuto, qrUTF8NoBOM, "407C"},   // 7 UTF-8 bytes, C4 ...
        {u"ab", qrUTF8BOM, qrUTF8BOM, "405EFBBBF6"},       // count 5, EF BB BF a b
        {u"a1b2", qrNumeric, qrNumeric, "1008"},         // "12": count 2
        {u"ab-C", qrAlphanumeric, qrAlphanumeric, "201741"}, // "-C": count 2, 45 x 41 + 12
        {u"\u010Cx", qrISO88591, qrISO88591, "4017"},    // C-caron dropped: "x"
        {u"", qrAuto, qrUTF8NoBOM, "40"},
    };
    for (const ModeCase& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        const zd::QRCodewords cw = zd::encodeQRCodewords(text, c.encoding, ecL, 0);
        EXPECT_EQ(cw.mode, c.used) << text.toStdString();
        const QByteArray expected = QByteArray::fromHex(c.firstBytes);
        EXPECT_EQ(cw.data.left(expected.size()).toHex(), expected.toHex()) << text.toStdString();
    }
}

TEST(QRCodeGenerator, ShiftJISUsesKanjiModeForDoubleByteText)
{
    // "点茗" (0x935F, 0xE4AA): the standard's Kanji example.
    const zd::QRCodewords kanji = zd::encodeQRCodewords(QString::fromUtf16(u"\u70B9\u8317"), qrShift_JIS, ecL, 0);
    EXPECT_TRUE(kanji.kanji);
    // 1000, count 2 (8 bits), 0x0D9F and 0x1AAA in 13 bits
    EXPECT_EQ(kanji.data.left(5).toHex(), QByteArray::fromHex("8026CFEAA8").toHex());
    const zd::QRCodewords mixed = zd::encodeQRCodewords(QStringLiteral("A\u70B9"), qrShift_JIS, ecL, 0);
    EXPECT_FALSE(mixed.kanji);
    EXPECT_EQ(mixed.data.left(2).toHex(), QByteArray::fromHex("4034").toHex()); // byte mode, 3 bytes
}

TEST(QRCodeGenerator, CodePageMakesOneECISegment)
{
    const zd::QRCodewords cw = zd::encodeQRCodewords(QStringLiteral("\u010Ce"), qrAuto, ecL, 1250);
    EXPECT_TRUE(cw.eci);
    // 0111 00010101 (21) 0100 00000010 C8 65
    EXPECT_EQ(cw.data.left(5).toHex(), QByteArray::fromHex("715402C865").toHex());
}

TEST(QRCodeGenerator, ECIEscapeSwitchesToUtf8AndCountsBytes)
{
    const zd::QRCodewords cw = zd::encodeQRCodewords(QStringLiteral("&ECI26;\u010C\u0161"), qrAuto, ecL, 0);
    EXPECT_TRUE(cw.eci);
    // 0111 00011010 (26) 0100 00000100 (four bytes) C4 8C C5 A1
    EXPECT_EQ(cw.data.left(7).toHex(), QByteArray::fromHex("71A404C48CC5A1").toHex());
}

TEST(QRCodeGenerator, ECITableBothWays)
{
    EXPECT_EQ(zd::qrECIDesignatorOfCodePage(28591), 3);
    EXPECT_EQ(zd::qrECIDesignatorOfCodePage(932), 20);
    EXPECT_EQ(zd::qrECIDesignatorOfCodePage(65001), 26);
    EXPECT_EQ(zd::qrECIDesignatorOfCodePage(12345), 3);
    EXPECT_EQ(zd::qrCodePageOfECIDesignator(30), 949);
    EXPECT_EQ(zd::qrCodePageOfECIDesignator(14), 0);
}

TEST(QRCodeGenerator, VersionGrowsWithTextAndLevel)
{
    EXPECT_EQ(zd::encodeQRCodewords(QString(41, QLatin1Char('1')), qrAuto, ecL, 0).version, 1);
    EXPECT_EQ(zd::encodeQRCodewords(QString(42, QLatin1Char('1')), qrAuto, ecL, 0).version, 2);
    EXPECT_EQ(zd::encodeQRCodewords(QString(17, QLatin1Char('1')), qrAuto, ecH, 0).version, 1);
    EXPECT_EQ(zd::encodeQRCodewords(QString(18, QLatin1Char('1')), qrAuto, ecH, 0).version, 2);
    // 2953 bytes fill version 40-L exactly; count widths switch at 10 and 27
    EXPECT_EQ(zd::encodeQRCodewords(QString(2953, QLatin1Char('a')), qrAuto, ecL, 0).version, 40);
    EXPECT_EQ(zd::encodeQRCodewords(QString(7089, QLatin1Char('7')), qrAuto, ecL, 0).version, 40);
    EXPECT_THROW(zd::encodeQRCodewords(QString(2954, QLatin1Char('a')), qrAuto, ecL, 0), plat::Exception);
}

TEST(QRCodeGenerator, FormatAndFunctionPatterns)
{
    const zd::QRCodewords cw = zd::encodeQRCodewords(QStringLiteral("01234567"), qrAuto, ecM, 0);
    const T2DBooleanArray m = zd::buildQRMatrix(cw, 2);
    ASSERT_EQ(m.Size(), 21);
    // Format of M with mask 2: 101111001111100 from bit 14 down.
    const int format = 0b101111001111100;
    for (int i = 0; i <= 5; ++i)
        EXPECT_EQ(m.At(8, i), ((format >> i) & 1) != 0) << i;
    EXPECT_TRUE(m.At(8, 13)); // the dark module
    for (int i = 8; i <= 12; ++i)
        EXPECT_EQ(m.At(i, 6), i % 2 == 0); // timing
    EXPECT_TRUE(m.At(0, 0));
    EXPECT_FALSE(m.At(1, 1));
    EXPECT_TRUE(m.At(2, 2));
}

TEST(QRCodeGenerator, PicksTheMaskWithTheLowestPenalty)
{
    const zd::QRCodewords cw = zd::encodeQRCodewords(QStringLiteral("HELLO WORLD"), qrAuto, ecQ, 0);
    int chosen = -1;
    const T2DBooleanArray best = zd::buildQRMatrix(cw, -1, &chosen);
    const int bestPenalty = zd::qrMaskPenalty(best);
    for (int mask = 0; mask < 8; ++mask) {
        const int p = zd::qrMaskPenalty(zd::buildQRMatrix(cw, mask));
        EXPECT_TRUE(p > bestPenalty || (p == bestPenalty && mask >= chosen)) << mask;
    }
}

TEST(QRCodeGenerator, SettersReencodeOnlyOnAcceptedChanges)
{
    TQRCodeGenerator g;
    g.SetData(QStringLiteral("12345678"));
    EXPECT_EQ(g.Rows(), 29);
    g.SetQuietZone(101);
    g.SetQuietZone(-1);
    EXPECT_EQ(g.QuietZone(), 4);
    g.SetQuietZone(0);
    EXPECT_EQ(g.Columns(), 21);
    EXPECT_FALSE(g.IsBlack(-1, 0));
    EXPECT_FALSE(g.IsBlack(21, 0));
    EXPECT_TRUE(g.IsBlack(0, 0));
    EXPECT_EQ(g.Encoding(), qrAuto); // the mode found is not stored back
}

TEST(BarcodeQR, DefaultSymbol)
{
    TzdBarcodeQR qr;
    EXPECT_EQ(qr.Text(), QStringLiteral("12345678"));
    EXPECT_EQ(qr.Rows(), 21);
    EXPECT_EQ(qr.Columns(), 21);
    EXPECT_EQ(qr.PixelWidth(), 4);
    EXPECT_EQ(qr.PixelHeight(), 4);
    EXPECT_EQ(qr.Image().size(), 21u * 3u);
    EXPECT_TRUE(qr.ErrorText().isEmpty());
    qr.SetModuleQuietZone(4);
    EXPECT_EQ(qr.Rows(), 29);
    EXPECT_FALSE(qr.IsDark(0, 0));
    EXPECT_TRUE(qr.IsDark(4, 4));
}

TEST(BarcodeQR, TextTooBigKeepsTheMessage)
{
    TzdBarcodeQR qr;
    qr.SetText(QString(3000, QLatin1Char('x')));
    EXPECT_EQ(qr.ErrorText(), QStringLiteral("The text is too big."));
    EXPECT_EQ(qr.Rows(), 0);
    qr.SetText(QStringLiteral("ok"));
    EXPECT_TRUE(qr.ErrorText().isEmpty());
    EXPECT_EQ(qr.Rows(), 21);
}

TEST(BarcodeQR, CodepageAndLevelUpdateTheImageAtOnce)
{
    TzdBarcodeQR qr;
    qr.SetText(QStringLiteral("HELLO"));
    const std::vector<std::uint8_t> before = qr.Image();
    qr.SetCodepage(1250);
    EXPECT_NE(qr.Image(), before);
    const std::vector<std::uint8_t> eci = qr.Image();
    qr.SetErrorLevels(ecH);
    EXPECT_NE(qr.Image(), eci);
}

TEST(BarcodeQR, AssignCopiesSettingsButNotCodepage)
{
    TzdBarcodeQR a, b;
    a.SetText(QStringLiteral("ABC"));
    a.SetEncoding(qrUTF8BOM);
    a.SetErrorLevels(ecQ);
    a.SetModuleQuietZone(2);
    a.SetCodepage(1250);
    b.Assign(&a);
    EXPECT_EQ(b.Text(), QStringLiteral("ABC"));
    EXPECT_EQ(b.Encoding(), qrUTF8BOM);
    EXPECT_EQ(b.ErrorLevels(), ecQ);
    EXPECT_EQ(b.ModuleQuietZone(), 2);
    EXPECT_EQ(b.Codepage(), 0);
    TzdBarcodeQR c;
    c.SetText(QStringLiteral("ABC"));
    c.SetEncoding(qrUTF8BOM);
    c.SetErrorLevels(ecQ);
    c.SetModuleQuietZone(2);
    EXPECT_EQ(b.Image(), c.Image()); // shows the copied text, not its old one
}

} // namespace

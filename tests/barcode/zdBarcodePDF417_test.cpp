// PDF417: segmentation, compaction, error correction and layout.
#include "zdBarcodePDF417.h"

#include "Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using C = PDF417CompactionMode;

QString kinds(const QByteArray& text, C mode = C::AutoCompaction)
{
    zd::TSegmentList list = zd::pdf417Segments(text, mode);
    QString out;
    for (int i = 0; i < list.Count(); ++i)
        out += QLatin1Char(list.Get(i)->kind);
    return out;
}

TEST(BarcodePDF417, Segmentation)
{
    EXPECT_EQ(kinds("12345678"), QStringLiteral("N"));          // one T of 8 digits
    EXPECT_EQ(kinds("1234567"), QStringLiteral("T"));
    EXPECT_EQ(kinds("abc1234567890123def"), QStringLiteral("TNT"));
    EXPECT_EQ(kinds("abc123456789012def"), QStringLiteral("T")); // 12 digits stay text
    EXPECT_EQ(kinds("ab\x01" "cd"), QStringLiteral("T"));       // lone byte between texts
    EXPECT_EQ(kinds("\x01\x02\x03" "ab\x04"), QStringLiteral("B"));
    EXPECT_EQ(kinds("Hello world\x80"), QStringLiteral("T"));   // long text absorbs one byte
    EXPECT_EQ(kinds("anything", C::Binary), QStringLiteral("B"));
    EXPECT_EQ(kinds("123", C::Numeric), QStringLiteral("N"));
    zd::TSegmentList list = zd::pdf417Segments("abc", C::TextComp);
    EXPECT_EQ(list.Get(1), nullptr);
    EXPECT_EQ(list.Get(-1), nullptr);
}

std::vector<int> compact(const QByteArray& text, C mode = C::AutoCompaction)
{
    zd::TSegmentList list = zd::pdf417Segments(text, mode);
    return zd::pdf417Compact(text, list);
}

TEST(BarcodePDF417, Compaction)
{
    // slot 0 is the length descriptor
    EXPECT_EQ(compact("12345678"), (std::vector<int>{0, 902, 138, 628, 478}));
    // P D F, mixed latch, 4 1 7, padded with 29
    EXPECT_EQ(compact("PDF417"), (std::vector<int>{0, 453, 178, 121, 239}));
    // lower latch 27; 'a' 'b' -> (27, 0), (1, 29)
    EXPECT_EQ(compact("ab"), (std::vector<int>{0, 810, 59}));
    // six bytes: 924 and five base-900 codewords; fewer: 901 and the bytes
    EXPECT_EQ(compact("\x01\x02\x03\x04\x05\x06", C::Binary).size(), 7u);
    EXPECT_EQ(compact("\x01\x02\x03\x04\x05\x06", C::Binary)[1], 924);
    EXPECT_EQ(compact("\x01\x02\x03", C::Binary), (std::vector<int>{0, 901, 1, 2, 3}));
    // a byte outside the text submodes inside text: 913 and the byte
    const std::vector<int> shifted = compact("ABCDE\x80" "FGHIJ");
    EXPECT_NE(std::find(shifted.begin(), shifted.end(), 913), shifted.end());
    EXPECT_THROW(compact(QByteArray(2000, '\x01'), C::Binary), plat::Exception);
}

TEST(BarcodePDF417, ErrorCorrectionCoefficients)
{
    EXPECT_EQ(zd::pdf417Coefficients(0), (std::vector<int>{27, 917}));
    EXPECT_EQ(zd::pdf417Coefficients(1), (std::vector<int>{522, 568, 723, 809}));
    EXPECT_EQ(zd::pdf417Coefficients(8).size(), 512u);
}

// Every root 3^1 .. 3^k of the generator is a root of the codeword polynomial.
TEST(BarcodePDF417, ErrorCodewordsGiveZeroSyndromes)
{
    const std::vector<int> data{5, 453, 178, 121, 239, 900, 900, 17};
    for (int level : {0, 2, 5}) {
        std::vector<int> all = data;
        const std::vector<int> ec = zd::pdf417ErrorCodewords(data, level);
        ASSERT_EQ(int(ec.size()), 2 << level);
        all.insert(all.end(), ec.begin(), ec.end());
        long long root = 1;
        for (int j = 1; j <= (2 << level); ++j) {
            root = root * 3 % 929;
            long long value = 0;
            for (int c : all)
                value = (value * root + c) % 929;
            EXPECT_EQ(value, 0) << "level " << level << " root " << j;
        }
    }
}

// Every codeword pattern keeps the symbology's rules: 17 modules, four bars
// and four spaces of 1 to 6 modules starting with a bar, the cluster value
// (b1 - b2 + b3 - b4 + 9) mod 9 of its cluster, and no pattern twice.
TEST(BarcodePDF417, CodewordPatternsKeepTheSymbologyRules)
{
    std::set<int> seen;
    for (int cluster = 0; cluster < 3; ++cluster)
        for (int codeword = 0; codeword < 929; ++codeword) {
            const int pattern = zd::pdf417Pattern(cluster, codeword);
            SCOPED_TRACE(testing::Message() << "cluster " << cluster << " codeword " << codeword);
            ASSERT_EQ(pattern >> 17, 0);
            ASSERT_EQ((pattern >> 16) & 1, 1); // starts with a bar
            std::vector<int> runs{1};
            for (int m = 15; m >= 0; --m) {
                if (((pattern >> m) & 1) == ((pattern >> (m + 1)) & 1))
                    ++runs.back();
                else
                    runs.push_back(1);
            }
            ASSERT_EQ(runs.size(), 8u); // bar, space, ... ending with a space
            for (int r : runs) {
                EXPECT_GE(r, 1);
                EXPECT_LE(r, 6);
            }
            EXPECT_EQ((runs[0] - runs[2] + runs[4] - runs[6] + 9) % 9, 3 * cluster);
            EXPECT_TRUE(seen.insert(pattern).second) << "pattern used twice";
        }
    EXPECT_EQ(seen.size(), 3u * 929u);
}

TEST(BarcodePDF417, RowIndicatorsCarryRowsColumnsAndLevel)
{
    // 11 rows, 5 columns, level 3: rows part 3, columns part 4, level part 3 * 3 + 1
    const int expected[][2] = {{3, 4}, {10, 3}, {4, 10}, {33, 34}, {40, 33}, {34, 40},
                               {63, 64}, {70, 63}, {64, 70}, {93, 94}, {100, 93}};
    for (int row = 0; row < 11; ++row) {
        EXPECT_EQ(zd::pdf417RowIndicator(row, 11, 5, 3, false), expected[row][0]) << row;
        EXPECT_EQ(zd::pdf417RowIndicator(row, 11, 5, 3, true), expected[row][1]) << row;
    }
}

TEST(BarcodePDF417, ImageRowsHoldTheWholeRow)
{
    TzdBarcodePDF417 pdf;
    pdf.SetDataColumns(4);
    pdf.SetDataRows(10);
    pdf.SetText(QStringLiteral("PDF417 image"));
    ASSERT_TRUE(pdf.ErrorText().isEmpty()) << pdf.ErrorText().toStdString();
    EXPECT_EQ(pdf.Columns(), 17 * 4 + 69);
    EXPECT_EQ(pdf.Rows(), 10);
    EXPECT_EQ(pdf.GetHeight(), 10 * 8 + pdf.GetTextHeight());
    // each row: start pattern, left indicator, the codewords, right indicator, stop pattern
    auto patternAt = [&](int row, int x) {
        int p = 0;
        for (int m = 0; m < 17; ++m)
            p = (p << 1) | int(pdf.IsDark(row, x + m));
        return p;
    };
    for (int row = 0; row < 10; ++row) {
        const int cluster = row % 3;
        EXPECT_EQ(patternAt(row, 0), 0b11111111010101000);
        EXPECT_EQ(patternAt(row, 17), zd::pdf417Pattern(cluster, zd::pdf417RowIndicator(row, 10, 4, pdf.ErrorLevel(), false)));
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(patternAt(row, 34 + 17 * c), zd::pdf417Pattern(cluster, pdf.Codewords()[std::size_t(row * 4 + c)]));
        EXPECT_EQ(patternAt(row, 102), zd::pdf417Pattern(cluster, zd::pdf417RowIndicator(row, 10, 4, pdf.ErrorLevel(), true)));
        EXPECT_EQ((patternAt(row, 119) << 1) | int(pdf.IsDark(row, 136)), 0b111111101000101001);
    }
}

TEST(BarcodePDF417, DefaultLayout)
{
    TzdBarcodePDF417 pdf;
    EXPECT_EQ(pdf.PixelWidth(), 2);
    EXPECT_EQ(pdf.PixelHeight(), 8);
    EXPECT_EQ(pdf.DataCodewordCount(), 5);
    EXPECT_EQ(pdf.ErrorLevel(), 2);
    // aspect 0.5, module ratio 4: one column of 13 rows
    EXPECT_EQ(pdf.LayoutColumns(), 1);
    EXPECT_EQ(pdf.LayoutRows(), 13);
    ASSERT_EQ(pdf.Codewords().size(), 13u);
    EXPECT_EQ(pdf.Codewords()[0], 5);
}

TEST(BarcodePDF417, LayoutOptions)
{
    const QString text = QStringLiteral("PDF417 layout test 0123456789 abcdefghijklmnopqrstuvwxyz");
    TzdBarcodePDF417 automatic;
    automatic.SetText(text);
    TzdBarcodePDF417 onlyColumns;
    onlyColumns.SetDataColumns(5);
    onlyColumns.SetText(text);
    EXPECT_EQ(onlyColumns.LayoutColumns(), automatic.LayoutColumns()); // a single setting is not used
    EXPECT_EQ(onlyColumns.LayoutRows(), automatic.LayoutRows());

    TzdBarcodePDF417 big;
    big.SetText(text);
    big.SetDataColumns(30);
    big.SetDataRows(90);
    EXPECT_EQ(big.LayoutColumns(), 29);
    EXPECT_EQ(big.LayoutRows(), 32);

    TzdBarcodePDF417 fixed;
    fixed.SetText(text);
    fixed.SetDataColumns(4);
    fixed.SetDataRows(3); // too small: columns grow
    EXPECT_GE(fixed.LayoutColumns() * fixed.LayoutRows(), fixed.DataCodewordCount() + (2 << fixed.ErrorLevel()));
    EXPECT_EQ(fixed.LayoutRows(), 3);
}

TEST(BarcodePDF417, HighLevelIsLoweredToWhatFits)
{
    TzdBarcodePDF417 pdf;
    pdf.SetErrorCorrection(PDF417ErrorCorrection::Level8);
    pdf.SetCompactionMode(C::Binary);
    pdf.SetCodePage(28591);
    pdf.SetText(QString(816, QLatin1Char('\x01'))); // 1 + 1 + 680 codewords
    EXPECT_EQ(pdf.DataCodewordCount(), 682);
    EXPECT_EQ(pdf.ErrorLevel(), 6); // 128 fits in 928 - 682, 256 does not
}

TEST(BarcodePDF417, FailuresKeepTheirMessage)
{
    TzdBarcodePDF417 pdf;
    const std::vector<int> before = pdf.Codewords();
    pdf.SetText(QString());
    EXPECT_EQ(pdf.ErrorText(), QStringLiteral("Text cannot be null."));
    pdf.SetText(QString(5421, QLatin1Char('a')));
    EXPECT_EQ(pdf.ErrorText(), QStringLiteral("The text is too big."));
    EXPECT_EQ(pdf.Codewords(), before);
}

TEST(BarcodePDF417, AssignCopiesTheSettings)
{
    TzdBarcodePDF417 a, b;
    a.SetAspectRatio(2);
    a.SetDataColumns(3);
    a.SetDataRows(10);
    a.SetErrorCorrection(PDF417ErrorCorrection::Level4);
    a.SetCompactionMode(C::TextComp);
    a.SetText(QStringLiteral("copy me"));
    b.Assign(&a);
    EXPECT_EQ(b.Text(), QStringLiteral("copy me"));
    EXPECT_EQ(b.DataColumns(), 3);
    EXPECT_EQ(b.DataRows(), 10);
    EXPECT_EQ(b.ErrorCorrection(), PDF417ErrorCorrection::Level4);
    EXPECT_EQ(b.CompactionMode(), C::TextComp);
    EXPECT_EQ(b.Codewords(), a.Codewords());
}

} // namespace

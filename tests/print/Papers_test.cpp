#include "Papers.h"
#include "zdClass_page.h"
#include "zdPrinter.h"

#include <cups/cups.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace plat;

// Every row whose size is a standard one of the printing world has that
// size: libcups' own table of standard media is the independent check.
TEST(PaperTable, RowsWithAStandardSizeMatchTheStandardWithinATenthOfAMillimetre)
{
    // The table gives these two in whole millimetres: super A (227 x 356,
    // the standard 227.1 x 355.6) and super B (305 x 487, 304.8 x 486.9).
    const int wholeMillimetres[] = {57, 58};
    int checked = 0;
    for (const TPaperInfo& row : PaperTable()) {
        if (std::find(std::begin(wholeMillimetres), std::end(wholeMillimetres), row.Number) !=
            std::end(wholeMillimetres))
            continue;
        // libcups takes hundredths of a millimetre and finds the nearest
        // standard medium within its own tolerance, either way round.
        const int w = std::min(row.Width, row.Height) * 10, h = std::max(row.Width, row.Height) * 10;
        pwg_media_t* pwg = pwgMediaForSize(w, h);
        ASSERT_NE(pwg, nullptr);
        if (std::strncmp(pwg->pwg, "custom_", 7) == 0)
            continue;
        ++checked;
        EXPECT_LE(std::abs(pwg->width - w), 10) << "paper " << row.Number << " vs " << pwg->pwg;
        EXPECT_LE(std::abs(pwg->length - h), 10) << "paper " << row.Number << " vs " << pwg->pwg;
    }
    EXPECT_GE(checked, 50); // most of the table is standard
}

TEST(PaperTable, HoldsTheSixtySixStandardPapers)
{
    EXPECT_EQ(PaperTable().size(), 66u);
    EXPECT_EQ(FindPaperInfo(48), nullptr);
    EXPECT_EQ(FindPaperInfo(49), nullptr);
    EXPECT_EQ(FindPaperInfo(256), nullptr);
    for (int n = 1; n <= 68; ++n) {
        if (n != 48 && n != 49) {
            EXPECT_NE(FindPaperInfo(n), nullptr) << n;
        }
    }
}

TEST(PaperTable, LookupGivesMillimetres)
{
    long double w = -1, h = -1;
    EXPECT_TRUE(zdLookupPaperSize(9, w, h));
    EXPECT_EQ(w, 210.0L);
    EXPECT_EQ(h, 297.0L);
    EXPECT_TRUE(zdLookupPaperSize(1, w, h));
    EXPECT_EQ(w, 215.9L);
    w = h = -1;
    EXPECT_FALSE(zdLookupPaperSize(48, w, h));
    EXPECT_FALSE(zdLookupPaperSize(256, w, h));
    EXPECT_EQ(w, -1);
    EXPECT_EQ(h, -1);
}

TEST(PaperTable, SizesMapToTheFirstPaperOfThatSize)
{
    struct Case {
        int width, height, number;
    } cases[] = {
        {2100, 2970, DMPAPER_A4},  // A4 before "A4 small" (10) and 55
        {2159, 2794, DMPAPER_LETTER},
        {1480, 2100, 11},          // A5
        {1000, 1480, 43},          // the Japanese postcard
        {2102, 2968, DMPAPER_A4},  // within half a millimetre
        {2794, 4318, 3},           // tabloid, not ledger turned
        {2000, 2000, 0},           // no such paper
        {2970, 2100, 0},           // sizes are not turned
    };
    for (const Case& c : cases)
        EXPECT_EQ(PaperNumberForSize(c.width, c.height), c.number) << c.width << " x " << c.height;
}

// Report pages take the papers of the table: the unambiguous ones, named as
// the PWG names them, within a tenth of a millimetre.
TEST(PaperTable, ReportPagesOfNamedPapersMatchThePwgMedia)
{
    const struct {
        int number;
        const char* pwgName;
    } cases[] = {
        {1, "na_letter_8.5x11in"}, {5, "na_legal_8.5x14in"}, {8, "iso_a3_297x420mm"}, {9, "iso_a4_210x297mm"},
        {11, "iso_a5_148x210mm"},  {27, "iso_dl_110x220mm"}, {28, "iso_c5_162x229mm"},
    };
    for (const auto& c : cases) {
        pwg_media_t* pwg = pwgMediaForPWG(c.pwgName);
        ASSERT_NE(pwg, nullptr) << c.pwgName;
        TzdReportPage page(nullptr);
        page.SetPaperSize(c.number);
        // PWG sizes are hundredths of a millimetre.
        EXPECT_NEAR(double(page.PaperWidth()), pwg->width / 100.0, 0.1) << c.pwgName;
        EXPECT_NEAR(double(page.PaperHeight()), pwg->length / 100.0, 0.1) << c.pwgName;
    }
}

#include "zdCtrls_model.h"

#include "EngineTestUtil.h"
#include "Graphics.h"

#include <gtest/gtest.h>

#include <limits>

using zd::FontItem;
using zd::FontList;
using zd::ScrollAxis;
using zd::ScrollCode;

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

struct ClampCase {
    int range, page;
    qint64 value;
    int expected;
};

struct TargetCase {
    ScrollCode code;
    int position;
    qint64 expected;
};

std::vector<FontItem> installedFixture()
{
    return {{"Tahoma", 4}, {"Arial", 4}, {"Courier", 1}, {"Times New Roman", 4}, {"Verdana", 4},
            {"Georgia", 4}, {"Impact", 4}, {"Symbol", 0}, {"arial", 4}};
}

QStringList namesOf(const FontList& list)
{
    QStringList out;
    for (const FontItem& item : list.Items())
        out << item.name;
    return out;
}

} // namespace

TEST(ScrollAxis, PositionsStayWithinRangeLessPageWithoutOverflow)
{
    const ClampCase cases[] = {
        {100, 30, 50, 50},
        {100, 30, 71, 70},
        {100, 30, -5, 0},
        {30, 100, 10, 0},                     // page larger than the range
        {kIntMax, 0, qint64(kIntMax) + 10, kIntMax},
        {kIntMax, kIntMin, 5, 5},             // range - page beyond 32 bits
        {kIntMax, kIntMin, qint64(kIntMax) * 4, kIntMax},
        {kIntMin, kIntMax, 5, 0},
        {0, 0, kIntMin, 0},
    };
    for (const ClampCase& c : cases) {
        ScrollAxis axis{c.range, c.page, 0};
        EXPECT_EQ(axis.Clamp(c.value), c.expected) << c.range << " " << c.page << " " << c.value;
    }
}

TEST(ScrollAxis, BarMaximumIsZeroWhenThePageExceedsTheRange)
{
    EXPECT_EQ((ScrollAxis{100, 30, 0}.BarMaximum()), 100);
    EXPECT_EQ((ScrollAxis{30, 100, 0}.BarMaximum()), 0);
    EXPECT_EQ((ScrollAxis{30, 30, 0}.BarMaximum()), 30);
}

TEST(ScrollAxis, CommandsStepBySmallAndLargeChangeAndBottomAsksForTheRange)
{
    const TargetCase cases[] = {
        {ScrollCode::LineUp, 50, 47},   {ScrollCode::LineDown, 50, 53}, {ScrollCode::PageUp, 50, 10},
        {ScrollCode::PageDown, 50, 90}, {ScrollCode::Top, 50, 0},       {ScrollCode::Bottom, 50, 1000},
        {ScrollCode::ThumbTrack, 50, 77}, {ScrollCode::ThumbPosition, 50, 77},
        {ScrollCode::PageDown, kIntMax, qint64(kIntMax) + 40},
    };
    for (const TargetCase& c : cases) {
        const ScrollAxis axis{1000, 100, c.position};
        const auto target = zd::scrollTarget(c.code, axis, 3, 40, 77);
        ASSERT_TRUE(target.has_value());
        EXPECT_EQ(*target, c.expected) << int(c.code);
    }
    EXPECT_FALSE(zd::scrollTarget(ScrollCode::EndScroll, ScrollAxis{1000, 100, 5}, 3, 40, 77).has_value());
    // The bottom command lands on range - page once clamped.
    const ScrollAxis axis{1000, 100, 0};
    EXPECT_EQ(axis.Clamp(*zd::scrollTarget(ScrollCode::Bottom, axis, 1, 10, 0)), 900);
}

TEST(ComboLook, PartsOfAHundredByTwentyOneBox)
{
    const zd::ComboLook plain = zd::comboLook(100, 21, 0);
    EXPECT_EQ(plain.edit, plat::Bounds(3, 3, 81, 15));
    EXPECT_EQ(plain.button, plat::Rect(86, 1, 99, 20));
    EXPECT_EQ(plain.separatorX, 85);
    // round(11 / 2) = 6 (ties to even), round(17 / 2) = 8.
    EXPECT_EQ(plain.arrow, (plat::TPoint{91, 9}));
    const zd::ComboLook font = zd::comboLook(100, 22, 16);
    EXPECT_EQ(font.edit, plat::Bounds(19, 3, 65, 16));
    EXPECT_EQ(font.image, plat::Rect(3, 3, 19, 19));
    EXPECT_EQ(font.arrow.Y, 10); // round(18 / 2) + 1
}

TEST(ComboLook, ListHeightAndDirection)
{
    EXPECT_EQ(zd::comboListHeight(13, 8, 20), 13 * 8 + 2);
    EXPECT_EQ(zd::comboListHeight(13, 8, 3), 13 * 3 + 2);
    EXPECT_EQ(zd::comboListHeight(13, 0, 3), 15);
    EXPECT_EQ(zd::comboListHeight(13, 8, 0), 15);
    EXPECT_EQ(zd::comboListHeight(kIntMax, kIntMax, kIntMax), kIntMax);
    EXPECT_FALSE(zd::comboListOpensUpwards(100, 106, 13, 225));
    EXPECT_TRUE(zd::comboListOpensUpwards(100, 107, 13, 225));
    EXPECT_TRUE(zd::comboListOpensUpwards(kIntMax, kIntMax, kIntMax, 600));
}

TEST(ComboLook, BlendColorsMixesEachChannelWithRounding)
{
    struct Case {
        plat::TColor a, b;
        int amount;
        plat::TColor expected;
    };
    const Case cases[] = {
        {0x0000FF, 0xFFFFFF, 30, 0xB3B3FF},  // red (7650 + 17850 + 50) / 100 = 255, green (17850 + 50) / 100 = 179
        {0x000000, 0xFFFFFF, 50, 0x808080},  // (12750 + 50) / 100 = 128
        {0x102030, 0x000000, 100, 0x020305}, // from 100 on the base is 1000: 100 is a tenth
        {0x102030, 0x000000, 500, 0x081018},
        {0xFFFFFF, 0x000000, 2000, 0xFEFEFE}, // (255*2000 - 0 + 500) / 1000 = 510, kept to 8 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(zdBlendColors(c.a, c.b, c.amount), c.expected) << std::hex << c.a << " " << c.b << " " << c.amount;
    // System colours are resolved first.
    EXPECT_EQ(zdBlendColors(plat::clWindow, plat::clWindow, 30), plat::ColorToRGB(plat::clWindow));
}

TEST(FontPreviewPlace, RightOfTheBoxOrLeftOfItWhenTheScreenEnds)
{
    const plat::TRect box = plat::Rect(100, 50, 250, 72);
    EXPECT_EQ(zd::fontPreviewPos(box, 200, 50, 800, false), (plat::TPoint{251, 72}));
    EXPECT_EQ(zd::fontPreviewPos(box, 200, 50, 450, false), (plat::TPoint{-101, 72}));
    EXPECT_EQ(zd::fontPreviewPos(box, 200, 50, 800, true), (plat::TPoint{251, 0}));
}

TEST(FontList, FillSortsOnceEachFamilyWithoutRecentFontsWhenNoSettings)
{
    FontList list;
    list.Fill(installedFixture(), nullptr, true);
    EXPECT_EQ(namesOf(list), (QStringList{"Arial", "Courier", "Georgia", "Impact", "Symbol", "Tahoma",
                                          "Times New Roman", "Verdana"}));
    EXPECT_EQ(list.MRULast(), -1);
    EXPECT_EQ(list.IndexOf("TAHOMA"), 5);
}

TEST(FontList, StoredRecentFontsGoOnTopAndAMissingOneIsCleared)
{
    enginetest::TempSettings file;
    auto ini = file.Open();
    ini->WriteString("MRUFont", "Font0", "Verdana");
    ini->WriteInteger("MRUFont", "FontType0", 4);
    ini->WriteString("MRUFont", "Font1", "Gone Sans");
    ini->WriteInteger("MRUFont", "FontType1", 4);
    ini->WriteString("MRUFont", "Font2", "Courier");
    ini->WriteString("MRUFont", "FontType2", "damaged");
    FontList list;
    list.Fill(installedFixture(), ini.get(), true);
    EXPECT_EQ(list.MRULast(), 1);
    ASSERT_GE(list.Items().size(), 3u);
    EXPECT_EQ(list.Items()[0], (FontItem{"Verdana", 4}));
    EXPECT_EQ(list.Items()[1], (FontItem{"Courier", 0})); // an unreadable type counts as 0
    EXPECT_EQ(list.Items()[2].name, "Arial");
    EXPECT_EQ(list.Items().size(), 10u); // the recent fonts keep their place below too
    ini->UpdateFile();
    auto reread = file.Open();
    EXPECT_EQ(reread->ReadString("MRUFont", "Font1", "x"), "");
    EXPECT_EQ(reread->ReadInteger("MRUFont", "FontType1", 9), 0);
    EXPECT_EQ(reread->ReadString("MRUFont", "Font0", ""), "Verdana");
}

TEST(FontList, ChoosingMovesTheFontToTheTopAndKeepsFiveAtMost)
{
    enginetest::TempSettings file;
    auto ini = file.Open();
    FontList list;
    list.Fill(installedFixture(), ini.get(), true);
    for (const char* name : {"Tahoma", "Arial", "Impact", "Georgia", "Verdana", "Symbol"}) {
        // Always chosen from the sorted part below the recent fonts.
        const int below = list.MRULast() + 1;
        int index = -1;
        for (int i = below; i < int(list.Items().size()); ++i)
            if (list.Items()[std::size_t(i)].name == name)
                index = i;
        ASSERT_GE(index, 0) << name;
        EXPECT_EQ(list.Choose(index, ini.get(), true), 0);
    }
    EXPECT_EQ(list.MRULast(), 4);
    EXPECT_EQ(namesOf(list).mid(0, 6), (QStringList{"Symbol", "Verdana", "Georgia", "Impact", "Arial", "Arial"}));
    ini->UpdateFile();
    auto reread = file.Open();
    EXPECT_EQ(reread->ReadString("MRUFont", "Font0", ""), "Symbol");
    EXPECT_EQ(reread->ReadInteger("MRUFont", "FontType0", -1), 0);
    EXPECT_EQ(reread->ReadString("MRUFont", "Font4", ""), "Arial");
    EXPECT_EQ(reread->ReadInteger("MRUFont", "FontType4", -1), 4);

    // A recent font chosen again moves up without a copy.
    EXPECT_EQ(list.Choose(3, ini.get(), true), 0);
    EXPECT_EQ(namesOf(list).mid(0, 5), (QStringList{"Impact", "Symbol", "Verdana", "Georgia", "Arial"}));
    // So does one chosen from the sorted part while it is a recent font.
    EXPECT_EQ(list.Choose(list.IndexOf("Georgia") + 0, ini.get(), true), 0); // first occurrence is recent
    EXPECT_EQ(namesOf(list).mid(0, 5), (QStringList{"Georgia", "Impact", "Symbol", "Verdana", "Arial"}));
    EXPECT_EQ(list.MRULast(), 4);
}

TEST(FontList, TopEntryNoneOrHiddenRecentFontsChangeNothing)
{
    enginetest::TempSettings file;
    auto ini = file.Open();
    FontList list;
    list.Fill(installedFixture(), ini.get(), true);
    const auto before = list.Items();
    EXPECT_EQ(list.Choose(0, ini.get(), true), 0);
    EXPECT_EQ(list.Choose(-1, ini.get(), true), -1);
    EXPECT_EQ(list.Choose(99, ini.get(), true), 99);
    EXPECT_EQ(list.Items(), before);

    // A list that does not show recent fonts never overwrites the slots.
    ini->WriteString("MRUFont", "Font0", "Tahoma");
    FontList hidden;
    hidden.Fill(installedFixture(), ini.get(), false);
    EXPECT_EQ(hidden.Choose(3, ini.get(), false), 3);
    ini->UpdateFile();
    EXPECT_EQ(file.Open()->ReadString("MRUFont", "Font0", ""), "Tahoma");
}

TEST(FontList, WithoutSettingsTheRecentFontsLiveOnlyInTheList)
{
    FontList list;
    list.Fill(installedFixture(), nullptr, true);
    EXPECT_EQ(list.Choose(list.IndexOf("Verdana"), nullptr, true), 0);
    EXPECT_EQ(list.MRULast(), 0);
    EXPECT_EQ(list.Items()[0].name, "Verdana");
}

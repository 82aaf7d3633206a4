// The designer's small controls: ruler marks and labels, the colour table
// that the pickers share, and the popup's closing time.

#include "Canvas.h"
#include "Metafile.h"
#include "zdDesgnCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

namespace {

QStringList rulerLabels(TzdRuler& ruler)
{
    plat::TMetafile mf;
    {
        plat::TMetafileCanvas canvas(mf);
        ruler.PaintTo(canvas);
    }
    QStringList texts;
    for (const plat::TMetafileTextItem& t : mf.TextItems())
        texts << t.text;
    return texts;
}

TEST(Ruler, CentimetresAreLabelledEveryCentimetre)
{
    TzdRuler ruler(nullptr, false);
    ruler.resize(300, 22);
    ruler.SetUnits(ruCM);
    ruler.SetOffset(22);
    const QStringList labels = rulerLabels(ruler);
    ASSERT_GE(labels.size(), 3);
    EXPECT_EQ(labels.mid(0, 3), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
}

TEST(Ruler, PixelsAreLabelledEveryHundred)
{
    TzdRuler ruler(nullptr, false);
    ruler.resize(450, 22);
    ruler.SetUnits(ruPixels);
    EXPECT_EQ(rulerLabels(ruler), (QStringList{QStringLiteral("100"), QStringLiteral("200"), QStringLiteral("300"),
                                               QStringLiteral("400")}));
}

// Nothing is drawn before the offset, whatever is scrolled out of view.
TEST(Ruler, NoLabelBeforeTheOffset)
{
    TzdRuler ruler(nullptr, false);
    ruler.resize(450, 22);
    ruler.SetUnits(ruPixels);
    ruler.SetOffset(150);
    ruler.SetStart(120);
    plat::TMetafile mf;
    {
        plat::TMetafileCanvas canvas(mf);
        ruler.PaintTo(canvas);
    }
    for (const plat::TMetafileTextItem& t : mf.TextItems())
        EXPECT_GE(t.bounds.Right, 150) << qPrintable(t.text);
}

TEST(Ruler, ANonPositiveScaleDrawsNoMarks)
{
    TzdRuler ruler(nullptr, true);
    ruler.resize(21, 300);
    ruler.SetScale(-1);
    EXPECT_TRUE(rulerLabels(ruler).isEmpty());
}

struct ColorTableGuard {
    plat::TColor saved[zd::kColorTableSize];
    ColorTableGuard() { std::copy(zd::ColorTable(), zd::ColorTable() + zd::kColorTableSize, saved); }
    ~ColorTableGuard() { std::copy(std::begin(saved), std::end(saved), zd::ColorTable()); }
};

TEST(ColorTable, AColourAlreadyThereChangesNothing)
{
    ColorTableGuard guard;
    zd::AddTableColor(0x000000FF);
    EXPECT_TRUE(std::equal(std::begin(guard.saved), std::end(guard.saved), zd::ColorTable()));
}

// Eight new colours fill the free sixth row; the ninth drops entry 40 and
// the others move down by one.
TEST(ColorTable, TheNinthNewColourShiftsTheUserRow)
{
    ColorTableGuard guard;
    for (int i = 0; i < 8; ++i)
        zd::AddTableColor(0x00010101 * (i + 1));
    const plat::TColor* t = zd::ColorTable();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(t[40 + i], plat::TColor(0x00010101 * (i + 1))) << i;
    EXPECT_EQ(t[38], plat::TColor(0x006ACFFF));
    zd::AddTableColor(0x00123456);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(t[40 + i], plat::TColor(0x00010101 * (i + 2))) << i;
    EXPECT_EQ(t[47], plat::TColor(0x00123456));
}

TEST(ColorSelector, EntriesByPoint)
{
    EXPECT_EQ(TzdColorSelector::EntryAt(10, 10), 0);
    EXPECT_EQ(TzdColorSelector::EntryAt(5 + 18 * 3 + 1, 5 + 18 * 2 + 1), 19);
    EXPECT_EQ(TzdColorSelector::EntryAt(500, 5 + 18 * 5 + 1), 47);
    EXPECT_EQ(TzdColorSelector::EntryAt(20, 120), -1);
}

} // namespace

#include "Dialogs.h"
#include "Graphics.h"
#include "ScriptedServices.h"

#include <gtest/gtest.h>

using namespace plat;

TEST(CommonDialogs, OpenAndSaveTakeTheAnswerOrKeepTheirSettings)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    TSaveDialog save(nullptr);
    save.Filter = QStringLiteral("Sestavy (*.zd3)|*.zd3|Vše|*.*");
    save.FilterIndex = 1;
    save.FileName = QStringLiteral("stara.zd3");
    save.DefaultExt = QStringLiteral("zd3");
    ui.Cancel(QStringLiteral("SaveDialog"));
    EXPECT_FALSE(save.Execute());
    EXPECT_EQ(save.FileName, QStringLiteral("stara.zd3"));
    ui.AnswerFile({QStringLiteral("/tmp/nova.zd3")}, 2);
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, QStringLiteral("/tmp/nova.zd3"));
    EXPECT_EQ(save.FilterIndex, 2);
    const auto calls = ui.CallsOf(QStringLiteral("SaveDialog"));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_TRUE(calls[1].details.contains(QStringLiteral("zd3")));

    TOpenDialog open(nullptr);
    open.Options.include(ofAllowMultiSelect);
    ui.AnswerFile({QStringLiteral("/a"), QStringLiteral("/b")});
    ASSERT_TRUE(open.Execute());
    EXPECT_EQ(open.Files().Count(), 2);
    EXPECT_EQ(open.FileName, QStringLiteral("/a"));
}

TEST(CommonDialogs, ACancelledFontOrColourDialogChangesNothing)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    TFontDialog fonts(nullptr);
    fonts.Font()->SetName(QStringLiteral("Arial"));
    ui.Cancel(QStringLiteral("FontDialog"));
    EXPECT_FALSE(fonts.Execute());
    EXPECT_EQ(fonts.Font()->Name(), QStringLiteral("Arial"));
    ui.AnswerFont([](TFont& f) { f.SetName(QStringLiteral("Tahoma")); });
    EXPECT_TRUE(fonts.Execute());
    EXPECT_EQ(fonts.Font()->Name(), QStringLiteral("Tahoma"));

    TColorDialog colors(nullptr);
    colors.Color = clRed;
    ui.Cancel(QStringLiteral("ColorDialog"));
    EXPECT_FALSE(colors.Execute());
    EXPECT_EQ(colors.Color, clRed);
    ui.AnswerColor(clBlue);
    EXPECT_TRUE(colors.Execute());
    EXPECT_EQ(colors.Color, clBlue);
}

TEST(CommonDialogs, SettingsArePublishedProperties)
{
    TOpenDialog open(nullptr);
    SetPropValue(&open, u"Filter", Variant(QStringLiteral("Text|*.txt")));
    EXPECT_EQ(open.Filter, QStringLiteral("Text|*.txt"));
    EXPECT_EQ(GetPropValue(&open, u"Options").toString(), QStringLiteral("ofHideReadOnly,ofEnableSizing"));
    TPrintDialog print(nullptr);
    SetPropValue(&print, u"PrintRange", Variant(QStringLiteral("prPageNums")));
    EXPECT_EQ(print.PrintRange, prPageNums);
}

#include "PlainEdit.h"

#include "Exceptions.h"

#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(PlainMemo, LinesByIndexAndCount)
{
    TPlainMemo memo;
    EXPECT_EQ(memo.Lines().Count(), 0);
    memo.SetText("a\r\nb\tc\rd\n");
    ASSERT_EQ(memo.Lines().Count(), 3);
    EXPECT_EQ(memo.Lines().Strings(0), "a");
    EXPECT_EQ(memo.Lines().Strings(1), "b\tc") << "tabs of pasted text stay tabs";
    EXPECT_EQ(memo.Lines().Strings(2), "d");
    EXPECT_THROW(memo.Lines().Strings(3), plat::EStringListError);
    EXPECT_THROW(memo.Lines().Delete(-1), plat::EStringListError);
}

TEST(PlainMemo, DeletingLines)
{
    TPlainMemo memo;
    memo.SetText("1\n2\n3\n4");
    memo.Lines().Delete(3);
    EXPECT_EQ(memo.Text(), "1\r\n2\r\n3");
    memo.Lines().Delete(0);
    EXPECT_EQ(memo.Text(), "2\r\n3");
    memo.Lines().Delete(1);
    memo.Lines().Delete(0);
    EXPECT_EQ(memo.Lines().Count(), 0);
    memo.SetText("x\n\ny\n");
    memo.Lines().Delete(1);
    EXPECT_EQ(memo.Lines().Text(), "x\r\ny");
    memo.Clear();
    EXPECT_EQ(memo.Lines().Count(), 0);
}

TEST(PlainMemo, GutterShowsLineNumbersInItsOwnFont)
{
    TPlainMemo memo;
    memo.resize(300, 200);
    memo.Edit().Gutter()->SetAutoSize(true);
    QFont small(QStringLiteral("Courier New"));
    small.setPixelSize(11);
    memo.SetGutterFont(small);
    memo.SetShowLineNumbers(true);
    const int narrow = memo.GutterWidth();
    EXPECT_GT(narrow, 0);
    QString text;
    for (int i = 0; i < 100000; ++i)
        text += QStringLiteral("line\n");
    memo.SetText(text);
    EXPECT_GT(memo.GutterWidth(), narrow) << "room for six digits";
    EXPECT_EQ(memo.GutterFont().pixelSize(), 11);
}

TEST(PlainMemo, TabKeyInsertsSpacesWithTabsToSpaces)
{
    TPlainMemo memo;
    memo.SetTabWidth(4);
    memo.SetOptions({eoTabsToSpaces});
    memo.Edit().SetWantTabs(true); // a memo that keeps Tab from moving the focus
    memo.show();
    QTest::keyClicks(memo.Editor(), "ab");
    QTest::keyClick(memo.Editor(), Qt::Key_Tab);
    QTest::keyClicks(memo.Editor(), "c");
    EXPECT_EQ(memo.Text(), "ab  c");
    memo.SetOptions({});
    memo.Clear();
    QTest::keyClick(memo.Editor(), Qt::Key_Tab);
    EXPECT_EQ(memo.Text(), "\t");
}

} // namespace

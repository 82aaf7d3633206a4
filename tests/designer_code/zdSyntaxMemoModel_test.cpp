// The code editor's model: line splitting, snapshot undo, tabs, bookmarks,
// the last line, search, and the colours the script grammars and SQL give.

#include "ScriptedServices.h"
#include "zdSyntaxMemoModel.h"

#include <QtCore/qnamespace.h>

#include <gtest/gtest.h>

using zd::SyntaxMemoModel;

namespace {

// The colour codes of a line as a string of digits, for easy comparison.
std::string colourString(SyntaxMemoModel& m, int lineIndex)
{
    m.UpdateSyntax(m.LineCount() - 1);
    std::string s;
    for (zd::SyntaxColour c : m.LineColours(lineIndex))
        s += char('0' + int(c));
    return s;
}

void typeText(SyntaxMemoModel& m, const QString& text)
{
    for (QChar c : text)
        m.KeyPress(c);
}

} // namespace

TEST(SyntaxMemoModel, EnterMovesTheWholeTailOfALongLine)
{
    SyntaxMemoModel m;
    QString line;
    for (int i = 0; i < 3000; ++i)
        line += QChar(u'a' + i % 26);
    m.SetLines({QStringLiteral("    x"), line});
    m.SetCaretPos(11, 2);
    ASSERT_TRUE(m.KeyDown(Qt::Key_Return, false, false));
    ASSERT_EQ(m.LineCount(), 3);
    EXPECT_EQ(m.Line(2), line.left(10));
    // The previous line is not indented, so the new line starts in column 1.
    EXPECT_EQ(m.Line(3), line.mid(10));
    EXPECT_EQ(m.Line(2) + m.Line(3), line);
    EXPECT_EQ(m.CaretPos(), (zd::MemoPos{1, 3}));
}

TEST(SyntaxMemoModel, EnterIndentsTheNewLineLikeTheOneAbove)
{
    SyntaxMemoModel m;
    m.SetLines({QStringLiteral("  begin end")});
    m.SetCaretPos(8, 1);
    m.KeyDown(Qt::Key_Return, false, false);
    EXPECT_EQ(m.Lines(), (QStringList{QStringLiteral("  begin"), QStringLiteral("   end")}));
    EXPECT_EQ(m.CaretPos(), (zd::MemoPos{3, 2}));
}

TEST(SyntaxMemoModel, EnterMovesTheMarksBelowTheCaret)
{
    SyntaxMemoModel m;
    m.SetLines({QStringLiteral("a"), QStringLiteral("bc"), QStringLiteral("d")});
    m.AddBreakpoint(2, {});
    m.AddBreakpoint(3, {});
    m.SetCaretPos(2, 2);
    m.KeyDown(Qt::Key_Return, false, false);
    EXPECT_EQ(m.BreakpointLines(), (std::vector<int>{2, 4}));
    // From column 1 the caret's own line moves down as well.
    m.SetCaretPos(1, 2);
    m.KeyDown(Qt::Key_Return, false, false);
    EXPECT_EQ(m.BreakpointLines(), (std::vector<int>{3, 5}));
}

TEST(SyntaxMemoModel, UndoAfterTypingRestoresTheTextBeforeTheWholeRun)
{
    SyntaxMemoModel m;
    m.SetLines({QStringLiteral("abc")});
    m.KeyDown(Qt::Key_End, false, false);
    typeText(m, QStringLiteral("xyz"));
    EXPECT_EQ(m.Line(1), QStringLiteral("abcxyz"));
    m.KeyDown(Qt::Key_Z, false, true);
    EXPECT_EQ(m.Line(1), QStringLiteral("abc"));
    EXPECT_EQ(m.CaretPos(), (zd::MemoPos{4, 1}));
    // Nothing left to undo: nothing changes.
    m.Undo();
    EXPECT_EQ(m.Line(1), QStringLiteral("abc"));
}

TEST(SyntaxMemoModel, TheUndoListKeepsTheLast32Snapshots)
{
    SyntaxMemoModel m;
    for (int i = 0; i < 33; ++i) {
        m.UndoPending = true;
        m.KeyPress(QChar(u'a' + i % 26));
    }
    EXPECT_EQ(m.UndoCount(), 32);
    for (int i = 0; i < 32; ++i)
        m.Undo();
    // The oldest snapshot (the empty text) was dropped.
    EXPECT_EQ(m.Line(1), QStringLiteral("a"));
}

TEST(SyntaxMemoModel, TabGoesToTheNextStopOfEight)
{
    struct Case {
        int column;
        int blanks;
    };
    for (const Case c : {Case{1, 7}, Case{8, 8}, Case{3, 5}}) {
        SyntaxMemoModel m;
        m.SetCaretPos(c.column, 1);
        m.KeyDown(Qt::Key_Tab, false, false);
        EXPECT_EQ(m.Line(1), QString(c.column - 1 + c.blanks, u' ')) << c.column;
        EXPECT_EQ(m.CaretPos().column, c.column + c.blanks) << c.column;
    }
}

TEST(SyntaxMemoModel, CtrlShiftDigitSetsOrClearsABookmarkButNeverReplacesAnother)
{
    SyntaxMemoModel m;
    m.SetLines({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    m.SetBookmark(1, 5);
    m.SetBookmark(0, 3);
    m.SetCaretPos(1, 2);
    m.KeyDown(Qt::Key_3, true, true);
    EXPECT_EQ(m.BookmarkAt(1), 5);
    EXPECT_EQ(m.Bookmark(3), 0);
    m.SetCaretPos(1, 3);
    m.KeyDown(Qt::Key_3, true, true);
    EXPECT_EQ(m.Bookmark(3), 2);
    m.KeyDown(Qt::Key_3, true, true);
    EXPECT_EQ(m.Bookmark(3), -1);
    m.KeyDown(Qt::Key_5, false, true);
    EXPECT_EQ(m.CaretPos(), (zd::MemoPos{1, 2}));
}

TEST(SyntaxMemoModel, CtrlYOnTheLastLineEmptiesIt)
{
    SyntaxMemoModel m;
    m.SetLines({QStringLiteral("one"), QStringLiteral("two")});
    m.SetCaretPos(3, 2);
    m.KeyDown(Qt::Key_Y, false, true);
    EXPECT_EQ(m.Lines(), (QStringList{QStringLiteral("one"), QString()}));
    EXPECT_EQ(m.CaretPos(), (zd::MemoPos{1, 2}));
    m.SetCaretPos(1, 1);
    m.KeyDown(Qt::Key_Y, false, true);
    EXPECT_EQ(m.Lines(), (QStringList{QString()}));
}

TEST(SyntaxMemoModel, BackspaceInColumnOneJoinsTheLineToThePreviousOne)
{
    SyntaxMemoModel m;
    m.SetLines({QStringLiteral("ab  "), QStringLiteral("cd"), QStringLiteral("e")});
    m.AddBreakpoint(3, {});
    m.SetCaretPos(1, 2);
    m.KeyDown(Qt::Key_Backspace, false, false);
    EXPECT_EQ(m.Lines(), (QStringList{QStringLiteral("abcd"), QStringLiteral("e")}));
    EXPECT_EQ(m.CaretPos(), (zd::MemoPos{3, 1}));
    EXPECT_EQ(m.BreakpointLines(), (std::vector<int>{2}));
}

TEST(SyntaxMemoModel, FindTextSearchesOnlyTextsOfTwoLinesOrMore)
{
    SyntaxMemoModel m;
    m.SetLines({QStringLiteral("Memo1.Text")});
    int pos = 0;
    EXPECT_FALSE(m.FindText(QStringLiteral("text"), false, pos));
    m.SetLines({QStringLiteral("begin"), QStringLiteral("  Memo1.Text := 'a';"), QStringLiteral("end.")});
    pos = 0;
    ASSERT_TRUE(m.FindText(QStringLiteral("text"), false, pos));
    EXPECT_EQ(m.CaretPos(), (zd::MemoPos{9, 2}));
    EXPECT_EQ(m.SelText(), QStringLiteral("Text"));
    EXPECT_FALSE(m.FindText(QStringLiteral("text"), true, pos));
}

TEST(SyntaxMemoModel, SelTextAndReplaceSelectionSpanLines)
{
    SyntaxMemoModel m;
    m.SetLines({QStringLiteral("abc"), QStringLiteral("def"), QStringLiteral("ghi")});
    m.SetSelection({2, 1}, {2, 3});
    EXPECT_EQ(m.SelText(), QStringLiteral("bc\r\ndef\r\ng"));
    m.ReplaceSelection(QStringLiteral("X\r\nY"));
    EXPECT_EQ(m.Lines(), (QStringList{QStringLiteral("aX"), QStringLiteral("Yhi")}));
    EXPECT_EQ(m.CaretPos(), (zd::MemoPos{2, 2}));
}

TEST(SyntaxMemoModel, PascalScriptColoursKeywordsCommentsStringsAndNumbers)
{
    SyntaxMemoModel m;
    m.SetSyntaxLanguage(QStringLiteral("PascalScript"));
    m.SetLines({QStringLiteral("begin x := 'ab' + 12; // c"), QStringLiteral("{ x } END.")});
    // b-e-g-i-n keyword, blank, x text, blank, := text, blank, 'ab' string,
    // blank, + text, blank, 12 number, ; text, then the comment.
    EXPECT_EQ(colourString(m, 0), "44444313113555531366133333");
    EXPECT_EQ(colourString(m, 1), "3333334441");
}

TEST(SyntaxMemoModel, SqlRulesApplyInAnyLetterCase)
{
    SyntaxMemoModel m;
    m.SetSyntaxLanguage(QStringLiteral("sQl"));
    EXPECT_TRUE(m.Keywords().contains(QStringLiteral("select")));
    m.SetLines({QStringLiteral("select \"a\" -- x")});
    EXPECT_EQ(colourString(m, 0), "444444355533333");
}

TEST(SyntaxMemoModel, ColoursFollowAnEditBelowTheColouredLines)
{
    SyntaxMemoModel m;
    m.SetSyntaxLanguage(QStringLiteral("PascalScript"));
    m.SetLines({QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")});
    colourString(m, 0);
    m.SetCaretPos(1, 3);
    typeText(m, QStringLiteral("end "));
    EXPECT_EQ(colourString(m, 2), "44431");
}

TEST(SyntaxMemoModel, AnUnknownLanguageHasNoKeywords)
{
    SyntaxMemoModel m;
    m.SetSyntaxLanguage(QStringLiteral("PascalScript"));
    ASSERT_FALSE(m.Keywords().isEmpty());
    m.SetSyntaxLanguage(QStringLiteral("Cobol"));
    EXPECT_TRUE(m.Keywords().isEmpty());
}

TEST(SyntaxMemoModel, CompletionPrefixIsTheDottedNameLeftOfTheCaret)
{
    struct Case {
        const char* line;
        const char* prefix;
    };
    for (const Case c : {Case{"  x := Memo1.", "Memo1."}, Case{"a(Memo1.Font.", "Memo1.Font."},
                         Case{"Items[Foo(')', 1)].Bar.", "Items[Foo(')', 1)].Bar."}, Case{"x := ", ""}}) {
        SyntaxMemoModel m;
        m.SetLines({QString::fromLatin1(c.line)});
        m.KeyDown(Qt::Key_End, false, false);
        EXPECT_EQ(m.CompletionPrefix(), QString::fromLatin1(c.prefix)) << c.line;
    }
}

TEST(SyntaxMemoModel, ACompletionOfAMethodAddsParenthesesWithTheCaretBetween)
{
    SyntaxMemoModel m;
    m.SetLines({QStringLiteral("Memo1.")});
    m.KeyDown(Qt::Key_End, false, false);
    m.InsertCompletion(QStringLiteral("Clear(): Integer"));
    EXPECT_EQ(m.Line(1), QStringLiteral("Memo1.Clear()"));
    EXPECT_EQ(m.CaretPos().column, 13);
}

TEST(SyntaxMemoModel, CopyAndPasteGoThroughTheClipboardService)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    SyntaxMemoModel m;
    m.SetLines({QStringLiteral("hello world")});
    m.SetSelection({1, 1}, {6, 1});
    m.KeyDown(Qt::Key_C, false, true);
    m.SetCaretPos(12, 1);
    m.ClearSelection();
    m.KeyDown(Qt::Key_V, false, true);
    EXPECT_EQ(m.Line(1), QStringLiteral("hello worldhello"));
}

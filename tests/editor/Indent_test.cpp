// Tab, Shift+Tab, block indent and unindent, case conversion, words and
// brackets, and the grouping of undo steps.

#include "EditorFixture.h"

#include <gtest/gtest.h>

using namespace edtest;

TEST(PlainEditIndent, SmartTabAlignsWithTheLineAbove)
{
    auto e = editorWith({"int x = 1", ""});
    e->MoveCaret({1, 2});
    cmd(*e, ecTab);
    EXPECT_EQ(dumpEditor(*e), "int x = 1\n    |");
    auto mid = editorWith({"", "abc"});
    mid->MoveCaret({2, 2});
    cmd(*mid, ecTab);
    EXPECT_EQ(dumpEditor(*mid), "\na       |bc") << "TabWidth - 1 blanks";
    mid->Undo();
    EXPECT_EQ(editorLines(*mid), "\nabc");
}

TEST(PlainEditIndent, TabInsertsATabWithoutTabsToSpaces)
{
    auto e = editorWith({"ab"});
    e->SetOptions(e->Options() - TPlainEditorOptions{eoTabsToSpaces, eoSmartTabs});
    e->MoveCaret({2, 1});
    cmd(*e, ecTab);
    EXPECT_EQ(dumpEditor(*e), "a\t|b");
}

TEST(PlainEditIndent, ShiftTabRemovesBlanksBeforeTheCaret)
{
    auto e = editorWith({"        abc"});
    e->MoveCaret({9, 1});
    cmd(*e, ecShiftTab);
    EXPECT_EQ(dumpEditor(*e), "|abc");
    e->Undo();
    EXPECT_EQ(editorLines(*e), "        abc");
    auto smart = editorWith({"    foo bar", "            x"});
    smart->MoveCaret({13, 2});
    cmd(*smart, ecShiftTab);
    EXPECT_EQ(dumpEditor(*smart), "    foo bar\n        |x") << "back to the word above";
}

TEST(PlainEditIndent, BlockIndentAndOneUndo)
{
    auto e = editorWith({"a", "b", "c", "d", "e"});
    e->SetCaretAndSel({1, 5}, {1, 2}, {1, 5});
    cmd(*e, ecBlockIndent);
    EXPECT_EQ(editorLines(*e), "a\n        b\n        c\n        d\ne") << "line 5 is not indented";
    e->Undo();
    EXPECT_EQ(editorLines(*e), "a\nb\nc\nd\ne");
    EXPECT_EQ(e->SelFirst(), (TBufferCoord{1, 2}));
    EXPECT_EQ(e->SelLast(), (TBufferCoord{1, 5})) << "the selection is back";
    e->Redo();
    EXPECT_EQ(editorLines(*e), "a\n        b\n        c\n        d\ne");
}

TEST(PlainEditIndent, BlockUnindentRemovesOneLevel)
{
    auto e = editorWith({"   \tx", "          y", "z"});
    e->SetCaretAndSel({2, 3}, {1, 1}, {2, 3});
    cmd(*e, ecBlockUnindent);
    EXPECT_EQ(editorLines(*e), "x\n  y\nz");
    e->Undo();
    EXPECT_EQ(editorLines(*e), "   \tx\n          y\nz");
    e->Redo();
    EXPECT_EQ(editorLines(*e), "x\n  y\nz");
}

TEST(PlainEditIndent, TabIndentsASelectedBlockWithTheOption)
{
    auto e = editorWith({"a", "b"});
    e->SetOptions(e->Options() + TPlainEditorOptions{eoTabIndent});
    e->SetCaretAndSel({2, 2}, {1, 1}, {2, 2});
    cmd(*e, ecTab);
    EXPECT_EQ(editorLines(*e), "        a\n        b");
    cmd(*e, ecShiftTab);
    EXPECT_EQ(editorLines(*e), "a\nb");
}

TEST(PlainEditCase, WordAndBlockCommands)
{
    struct Case {
        TPlainEditorCommand command;
        QString line;
        TBufferCoord caret;
        QString result;
    };
    const Case cases[] = {
        {ecUpperCase, "abc def", {2, 1}, "ABC def"},
        {ecLowerCase, "ABC DEF", {6, 1}, "ABC def"},
        {ecToggleCase, "aBc", {1, 1}, "AbC"},
        {ecTitleCase, "hELLO", {3, 1}, "Hello"},
        // ž and ť are no identifier characters of code page 1250: the word is "lu".
        {ecUpperCase, QString::fromUtf8("žluť kůň"), {2, 1}, QString::fromUtf8("žLUť kůň")},
        {ecUpperCaseBlock, "abc", {2, 1}, "aBc"},
    };
    for (const Case& c : cases) {
        auto e = editorWith({c.line});
        e->MoveCaret(c.caret);
        cmd(*e, c.command);
        EXPECT_EQ(editorLines(*e), c.result) << CommandToCodeString(c.command).toStdString();
        if (c.command != ecUpperCaseBlock) {
            EXPECT_EQ(e->CaretPos(), c.caret) << "the caret stays";
        }
        EXPECT_FALSE(e->SelAvail());
        e->Undo();
        EXPECT_EQ(editorLines(*e), c.line);
        EXPECT_EQ(e->CaretPos(), c.caret) << "undo puts the caret back";
    }
    EXPECT_EQ(TCustomPlainEdit::ToggleCaseText(QString::fromUtf8("aBčĎ1")), QString::fromUtf8("AbČď1"));
}

TEST(PlainEditCase, BlockCommandOnASelection)
{
    auto e = editorWith({"abc", "def"});
    e->SetCaretAndSel({2, 2}, {2, 1}, {2, 2});
    cmd(*e, ecUpperCaseBlock);
    EXPECT_EQ(editorLines(*e), "aBC\nDef");
    e->Undo();
    EXPECT_EQ(editorLines(*e), "abc\ndef");
    EXPECT_EQ(e->SelectedText(), "bc\r\nd") << "undo selects the old block again";
}

// ------------------------------------------------------------ words and brackets

TEST(PlainEditWords, MovesFromWordToWord)
{
    auto e = editorWith({"abc def", "  ghi", QString::fromUtf8("ab\xC5\xA1" "cd")});
    EXPECT_EQ(e->NextWordPosEx({1, 1}), (TBufferCoord{5, 1}));
    EXPECT_EQ(e->NextWordPosEx({7, 1}), (TBufferCoord{3, 2})) << "from the last character to the next line's word";
    EXPECT_EQ(e->NextWordPosEx({5, 3}), (TBufferCoord{5, 3})) << "the last line's end stays";
    EXPECT_EQ(e->NextWordPosEx({4, 3}), (TBufferCoord{6, 3})) << "no word after: the line's end";
    EXPECT_EQ(e->PrevWordPosEx({5, 1}), (TBufferCoord{1, 1}));
    EXPECT_EQ(e->PrevWordPosEx({1, 2}), (TBufferCoord{8, 1}));
    EXPECT_EQ(e->PrevWordPosEx({5, 2}), (TBufferCoord{3, 2}));
    EXPECT_EQ(e->WordStartEx({6, 1}), (TBufferCoord{5, 1}));
    EXPECT_EQ(e->WordEndEx({5, 1}), (TBufferCoord{8, 1}));
    EXPECT_EQ(e->NextWordPosEx({1, 3}), (TBufferCoord{4, 3})) << "š (154) is no identifier character";
    EXPECT_EQ(e->NextWordPosEx({1, 9}), (TBufferCoord{1, 9})) << "a line that does not exist";
}

TEST(PlainEditWords, DoubleClickSelectsTheWord)
{
    auto e = editorWith({"abc.def", "xy"});
    EXPECT_EQ(e->WordEndEx({2, 1}), (TBufferCoord{4, 1}));
    e->SetWordBlock({2, 1});
    EXPECT_EQ(e->SelectedText(), "abc");
    e->MoveCaretAndCollapse({1, 2}); // as the press of a double click does
    e->SetWordBlock({6, 2});
    EXPECT_FALSE(e->SelAvail());
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{3, 2})) << "beyond the end: after the last character";
    e->SetWordBlock({3, 2});
    EXPECT_EQ(e->SelectedText(), "xy") << "just after a word at the line's end";
    e->MoveCaret({6, 1});
    EXPECT_EQ(e->WordAtCaret(), "def");
}

TEST(PlainEditBrackets, FindsTheMatch)
{
    auto e = editorWith({"f(a(b)c)", "x[", "]", "(a)b)"});
    EXPECT_EQ(e->GetMatchingBracketEx({2, 1}), (TBufferCoord{8, 1}));
    EXPECT_EQ(e->GetMatchingBracketEx({6, 1}), (TBufferCoord{4, 1}));
    EXPECT_EQ(e->GetMatchingBracketEx({2, 2}), (TBufferCoord{1, 3})) << "across lines";
    EXPECT_EQ(e->GetMatchingBracketEx({5, 4}), (TBufferCoord{0, 0})) << "no partner";
    EXPECT_EQ(e->GetMatchingBracketEx({1, 1}), (TBufferCoord{0, 0})) << "no bracket";
    e->MoveCaret({2, 1});
    e->CommandProcessor(ecMatchBracket, QChar());
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{8, 1}));
    e->MoveCaret({1, 1});
    e->CommandProcessor(ecMatchBracket, QChar());
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{1, 1}));
}

// ------------------------------------------------------------ undo and redo

TEST(PlainEditUndo, TypingUndoesAsOneRun)
{
    auto e = editorWith({""});
    type(*e, "abc");
    e->Undo();
    EXPECT_EQ(editorLines(*e), "");
    e->Redo();
    EXPECT_EQ(editorLines(*e), "abc");
    e->Undo();
    type(*e, "x");
    EXPECT_FALSE(e->RedoList()->CanUndo()) << "a new edit drops what could be redone";
}

TEST(PlainEditUndo, ACaretMoveEndsARun)
{
    auto e = editorWith({""});
    type(*e, "ab");
    e->CommandProcessor(ecLeft, QChar());
    e->CommandProcessor(ecRight, QChar());
    type(*e, "cd");
    e->Undo();
    EXPECT_EQ(editorLines(*e), "ab");
    e->SetOptions(e->Options() - TPlainEditorOptions{eoGroupUndo});
    e->Undo();
    EXPECT_EQ(editorLines(*e), "a") << "without grouping each character is a step";
}

TEST(PlainEditUndo, DeletedSelectionComesBackSelected)
{
    for (bool backwards : {false, true}) {
        auto e = editorWith({"abcdef"});
        if (backwards)
            e->SetCaretAndSel({2, 1}, {5, 1}, {2, 1});
        else
            e->SetCaretAndSel({5, 1}, {2, 1}, {5, 1});
        e->CommandProcessor(ecDeleteChar, QChar());
        EXPECT_EQ(reasons(*e->UndoList()), backwards ? "urDeleteAfterCursor" : "urDelete");
        e->Undo();
        EXPECT_EQ(e->SelectedText(), "bcd");
    }
}

TEST(PlainEditUndo, BackspacesUndoTogether)
{
    auto e = editorWith({"abcdefg"});
    e->MoveCaret({7, 1});
    for (int i = 0; i < 5; ++i)
        e->CommandProcessor(ecDeleteLastChar, QChar());
    EXPECT_EQ(editorLines(*e), "ag");
    e->Undo();
    EXPECT_EQ(editorLines(*e), "abcdefg");
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{7, 1}));
}

TEST(PlainEditUndo, UndoOnAReadOnlyControlChangesNothing)
{
    auto e = editorWith({""});
    type(*e, "ab");
    e->SetReadOnlyProp(true);
    e->Undo();
    EXPECT_EQ(editorLines(*e), "ab");
    EXPECT_EQ(e->EmCanUndo(), 0);
}

TEST(PlainEditUndo, LimitsOfTheHistoryAreKept)
{
    auto e = editorWith({""});
    e->SetMaxUndo(0);
    type(*e, "abc");
    EXPECT_EQ(editorLines(*e), "abc");
    EXPECT_FALSE(e->UndoList()->CanUndo());
    e->Undo();
    EXPECT_EQ(editorLines(*e), "abc");
    EXPECT_TRUE(e->Modified());
}

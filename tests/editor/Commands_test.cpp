// Command execution: the pipeline, movement and the editing commands, and
// the undo and redo of what they record.

#include "EditorFixture.h"

#include <gtest/gtest.h>

using namespace edtest;

TEST(PlainEditCommands, PipelineEventsSeeEveryCommand)
{
    auto e = editorWith({"abc"});
    QStringList log;
    e->OnProcessCommand = TProcessCommandEvent(
        [&](plat::TObject*, TPlainEditorCommand& c, QChar&, const TPlainCommandData&) {
            log << QStringLiteral("process %1").arg(c);
            if (c == ecDeleteChar)
                c = ecNone; // cancelled
        },
        &log, nullptr);
    e->OnProcessUserCommand = TProcessCommandEvent(
        [&](plat::TObject*, TPlainEditorCommand& c, QChar&, const TPlainCommandData&) {
            log << QStringLiteral("user %1").arg(c);
        },
        &log, nullptr);
    e->OnCommandProcessed = TProcessCommandEvent(
        [&](plat::TObject*, TPlainEditorCommand& c, QChar&, const TPlainCommandData&) {
            log << QStringLiteral("done %1").arg(c);
        },
        &log, nullptr);
    cmd(*e, ecDeleteChar);
    cmd(*e, 1001);
    EXPECT_EQ(log, (QStringList{"process 502", "done 0", "user 1001", "done 1001"}));
    EXPECT_EQ(editorLines(*e), "abc") << "a cancelled command and a host command change nothing";
}

TEST(PlainEditCommands, ReadOnlyAllowsMovingButNotEditing)
{
    auto e = editorWith({"abc", "def"});
    e->SetReadOnlyProp(true);
    for (TPlainEditorCommand c : {ecDeleteChar, ecDeleteLastChar, ecLineBreak, ecDeleteLine, ecTab, ecPaste,
                                  ecUpperCase, ecBlockIndent, ecClearAll})
        cmd(*e, c);
    cmd(*e, ecChar, QChar(u'x'));
    cmd(*e, ecDown);
    cmd(*e, ecSelLineEnd);
    EXPECT_EQ(editorLines(*e), "abc\ndef");
    EXPECT_EQ(e->SelectedText(), "def");
    type(*e, "y");
    e->Undo();
    EXPECT_EQ(editorLines(*e), "abc\ndef");
}

TEST(PlainEditCommands, BackspaceJoinsDeletesAndRecords)
{
    auto e = editorWith({"ab", "cd"});
    cmd(*e, ecDeleteLastChar);
    EXPECT_EQ(e->UndoList()->ItemCount(), 0) << "nothing at the start of the text";
    e->MoveCaret({1, 2});
    cmd(*e, ecDeleteLastChar);
    EXPECT_EQ(dumpEditor(*e), "ab|cd");
    ASSERT_EQ(reasons(*e->UndoList()), "urSilentDelete");
    EXPECT_EQ(e->UndoList()->Item(0).ChangeText, "\r\n");
    e->Undo();
    EXPECT_EQ(dumpEditor(*e), "ab\n|cd");
}

TEST(PlainEditCommands, SmartBackspaceReturnsToThePreviousIndentation)
{
    auto e = editorWith({"x", "    y", "        z"});
    e->MoveCaret({9, 3});
    cmd(*e, ecDeleteLastChar);
    EXPECT_EQ(dumpEditor(*e), "x\n    y\n    |z");
    cmd(*e, ecDeleteLastChar);
    EXPECT_EQ(dumpEditor(*e), "x\n    y\n|z");
    // Without the smart rule the caret goes back one tab stop.
    auto plain = editorWith({"x", "            z"});
    plain->SetOptions(plain->Options() - TPlainEditorOptions{eoSmartTabDelete});
    plain->SetTabWidth(4);
    plain->MoveCaret({13, 2});
    cmd(*plain, ecDeleteLastChar);
    EXPECT_EQ(dumpEditor(*plain), "x\n        |z");
}

TEST(PlainEditCommands, BackspaceBeyondTheLineOnlyMovesTheCaret)
{
    auto e = editorWith({"ab", ""});
    e->MoveCaret({6, 1});
    cmd(*e, ecDeleteLastChar);
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{3, 1})) << "to just after the text";
    e->MoveCaret({6, 2});
    cmd(*e, ecDeleteLastChar);
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{1, 2})) << "an empty line goes to the previous indentation";
    EXPECT_EQ(editorLines(*e), "ab\n");
}

TEST(PlainEditCommands, DeleteJoinsTheNextLineOrNothing)
{
    auto e = editorWith({"ab", "cd"});
    e->MoveCaret({3, 2});
    cmd(*e, ecDeleteChar);
    EXPECT_EQ(e->UndoList()->ItemCount(), 0);
    e->MoveCaret({3, 1});
    cmd(*e, ecDeleteChar);
    EXPECT_EQ(dumpEditor(*e), "ab|cd");
    EXPECT_EQ(e->UndoList()->Item(0).ChangeText, "\r\n");
    e->Undo();
    EXPECT_EQ(editorLines(*e), "ab\ncd");
    // Beyond the end the blanks up to the caret join too, and go with undo.
    e->MoveCaret({5, 1});
    cmd(*e, ecDeleteChar);
    EXPECT_EQ(editorLines(*e), "ab  cd");
    e->Undo();
    EXPECT_EQ(editorLines(*e), "ab\ncd");
}

TEST(PlainEditCommands, DeletingWordsAndLineParts)
{
    auto e = editorWith({"abc def ghi"});
    e->MoveCaret({6, 1});
    cmd(*e, ecDeleteLastWord);
    EXPECT_EQ(dumpEditor(*e), "abc |ef ghi");
    EXPECT_EQ(reasons(*e->UndoList()), "urSilentDelete");
    e->Undo();
    EXPECT_EQ(editorLines(*e), "abc def ghi");
    e->Redo();
    EXPECT_EQ(editorLines(*e), "abc ef ghi");
    cmd(*e, ecDeleteWord);
    EXPECT_EQ(dumpEditor(*e), "abc |ghi");
    cmd(*e, ecDeleteEOL);
    EXPECT_EQ(dumpEditor(*e), "abc |");
    cmd(*e, ecDeleteBOL);
    EXPECT_EQ(dumpEditor(*e), "|");
    // Beyond the last line's end there is nothing after the caret.
    auto last = editorWith({"abc"});
    last->MoveCaret({9, 1});
    cmd(*last, ecDeleteWord);
    EXPECT_EQ(editorLines(*last), "abc");
}

TEST(PlainEditCommands, DeleteLineEmptiesOrRemoves)
{
    auto e = editorWith({"a", "b", ""});
    e->MoveCaret({1, 3});
    cmd(*e, ecDeleteLine);
    EXPECT_EQ(e->LineCount(), 3) << "the last, empty line stays";
    EXPECT_EQ(e->UndoList()->ItemCount(), 0);
    e->MoveCaret({1, 2});
    cmd(*e, ecDeleteLine);
    EXPECT_EQ(editorLines(*e), "a\n");
    e->MoveCaret({1, 1});
    auto single = editorWith({"only"});
    cmd(*single, ecDeleteLine);
    EXPECT_EQ(single->Lines()->toStringList(), QStringList{""}) << "the last non-empty line is emptied";
    single->Undo();
    EXPECT_EQ(editorLines(*single), "only");
}

TEST(PlainEditCommands, LineBreaksIndent)
{
    auto e = editorWith({"\tabc"});
    e->MoveCaret({3, 1});
    cmd(*e, ecLineBreak, QChar(u'\r'));
    EXPECT_EQ(e->Lines()->toStringList(), (QStringList{"\ta", "        bc"})) << "a tab becomes eight blanks";
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{9, 2}));
    auto ins = editorWith({"abc"});
    ins->MoveCaret({2, 1});
    cmd(*ins, ecInsertLine);
    EXPECT_EQ(dumpEditor(*ins), "a|\nbc") << "the caret stays";
    ins->Undo();
    ins->Redo();
    EXPECT_EQ(dumpEditor(*ins), "a|\nbc") << "redone as an inserted line";
    auto start = editorWith({"abc"});
    cmd(*start, ecLineBreak, QChar(u'\r'));
    EXPECT_EQ(dumpEditor(*start), "\n|abc");
}

TEST(PlainEditCommands, TypingPadsBeyondTheLineAsOneStep)
{
    auto e = editorWith({"abc"});
    e->MoveCaret({10, 1});
    type(*e, "x");
    EXPECT_EQ(editorLines(*e), "abc      x");
    EXPECT_EQ(reasons(*e->UndoList()), "urWhiteSpaceAdd urInsert");
    EXPECT_EQ(e->UndoList()->Item(0).ChangeNumber, e->UndoList()->Item(1).ChangeNumber);
    e->Undo();
    EXPECT_EQ(editorLines(*e), "abc");
}

TEST(PlainEditCommands, TypingIgnoresControlCharacters)
{
    auto e = editorWith({"ab"});
    cmd(*e, ecChar, QChar(127));
    cmd(*e, ecChar, QChar(9));
    cmd(*e, ecChar, QChar(0x85));
    EXPECT_EQ(editorLines(*e), "ab");
    cmd(*e, ecChar, QChar(0x0161));
    EXPECT_EQ(editorLines(*e), QString::fromUtf8("šab"));
}

TEST(PlainEditCommands, OverwriteReplacesAndUndoesAsAnOverwrite)
{
    auto e = editorWith({"abcd"});
    e->SetInsertMode(false);
    e->MoveCaret({2, 1});
    type(*e, "XY");
    EXPECT_EQ(dumpEditor(*e), "aXY|d");
    e->Undo();
    EXPECT_EQ(editorLines(*e), "abcd");
    e->Redo();
    EXPECT_EQ(editorLines(*e), "aXYd");
}

TEST(PlainEditCommands, InputMethodTextOverAColumnBlockUndoesOnce)
{
    auto e = editorWith({"abcd", "efgh"});
    e->SetSelectionMode(smColumn);
    e->SetCaretAndSel({3, 2}, {2, 1}, {3, 2});
    e->CommandProcessor(ecImeStr, QChar(), QStringLiteral("XY"));
    EXPECT_EQ(editorLines(*e), "aXYcd\negh");
    e->Undo();
    EXPECT_EQ(editorLines(*e), "abcd\nefgh");
    e->Redo();
    EXPECT_EQ(editorLines(*e), "aXYcd\negh");
}

TEST(PlainEditCommands, MovementsAndPages)
{
    QStringList lines;
    for (int i = 1; i <= 60; ++i)
        lines << QStringLiteral("line %1").arg(i);
    auto e = editorWith(lines);
    FakeView view;
    view.height = 20 * e->RowHeight();
    e->SetView(&view);
    e->SetOptions(e->Options() + TPlainEditorOptions{eoHalfPageScroll, eoScrollByOneLess});
    cmd(*e, ecPageDown);
    EXPECT_EQ(e->CaretPos().Line, 10);
    EXPECT_EQ(e->TopRow(), 10);
    cmd(*e, ecEditorBottom);
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{8, 60}));
    cmd(*e, ecSelEditorTop);
    EXPECT_TRUE(e->SelAvail());
    cmd(*e, ecLineEnd);
    EXPECT_FALSE(e->SelAvail());
    e->CommandProcessor(ecGotoXY, QChar(), TBufferCoord{3, 5});
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{3, 5}));
    e->CommandProcessor(ecSelGotoXY, QChar(), TBufferCoord{5, 5});
    EXPECT_EQ(e->SelectedText(), "ne");
    auto empty = editorWith({});
    cmd(*empty, ecEditorBottom);
    EXPECT_EQ(empty->CaretPos(), (TBufferCoord{1, 1}));
}

TEST(PlainEditCommands, HomeAndEndToggle)
{
    auto e = editorWith({"   abc  "});
    e->SetOptions(e->Options() + TPlainEditorOptions{eoEnhanceHomeKey});
    e->MoveCaret({6, 1});
    cmd(*e, ecLineStart);
    EXPECT_EQ(e->CaretPos().Char, 4);
    cmd(*e, ecLineStart);
    EXPECT_EQ(e->CaretPos().Char, 1);
    cmd(*e, ecLineEnd);
    EXPECT_EQ(e->CaretPos().Char, 7) << "after the last non-blank";
    cmd(*e, ecLineEnd);
    EXPECT_EQ(e->CaretPos().Char, 9) << "then the true end";
}

TEST(PlainEditCommands, VerticalMovesKeepTheirColumn)
{
    auto e = editorWith({"abcdefgh", "ab", "abcdefgh"});
    e->SetOptions(e->Options() - TPlainEditorOptions{eoScrollPastEol} + TPlainEditorOptions{eoKeepCaretX});
    e->MoveCaret({7, 1});
    cmd(*e, ecDown);
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{3, 2}));
    cmd(*e, ecDown);
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{7, 3}));
    cmd(*e, ecLeft);
    cmd(*e, ecRight);
    cmd(*e, ecRight);
    cmd(*e, ecRight);
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{9, 3}));
    cmd(*e, ecRight);
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{9, 3})) << "the end of the last line";
    e->MoveCaret({1, 3});
    cmd(*e, ecLeft);
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{3, 2})) << "to the end of the line above";
}

TEST(PlainEditCommands, BookmarkKeysToggleOnALine)
{
    auto e = editorWith({"a", "b", "c", "d", "e"});
    e->MoveCaret({1, 5});
    cmd(*e, TPlainEditorCommand(ecSetMarker0 + 3));
    ASSERT_NE(e->Bookmarks(3), nullptr);
    cmd(*e, TPlainEditorCommand(ecSetMarker0 + 3));
    EXPECT_EQ(e->Bookmarks(3), nullptr) << "the same line: removed";
    cmd(*e, TPlainEditorCommand(ecSetMarker0 + 3));
    e->CommandProcessor(TPlainEditorCommand(ecSetMarker0 + 3), QChar(), TBufferCoord{1, 2});
    ASSERT_NE(e->Bookmarks(3), nullptr);
    EXPECT_EQ(e->Bookmarks(3)->MarkLine(), 2) << "another line: moved";
    e->MoveCaret({1, 1});
    cmd(*e, TPlainEditorCommand(ecGotoMarker0 + 3));
    EXPECT_EQ(e->CaretPos().Line, 2);
    e->BookMarkOptions()->SetEnableKeys(false);
    cmd(*e, TPlainEditorCommand(ecSetMarker0 + 3));
    EXPECT_NE(e->Bookmarks(3), nullptr);
}

TEST(PlainEditCommands, ModeAndCaseCommands)
{
    auto e = editorWith({"abc"});
    cmd(*e, ecColumnSelect);
    EXPECT_EQ(e->SelectionMode(), smColumn);
    cmd(*e, ecLineSelect);
    EXPECT_EQ(e->SelectionMode(), smLine);
    cmd(*e, ecNormalSelect);
    cmd(*e, ecToggleMode);
    EXPECT_FALSE(e->InsertMode());
    cmd(*e, ecInsertMode);
    EXPECT_TRUE(e->InsertMode());
    QString help;
    e->OnContextHelp = TContextHelpEvent([&](plat::TObject*, const QString& w) { help = w; }, &help, nullptr);
    e->MoveCaret({2, 1});
    cmd(*e, ecContextHelp);
    EXPECT_EQ(help, "abc");
}

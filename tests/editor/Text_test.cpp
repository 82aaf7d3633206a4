// The selected text and its replacement in the three modes, character
// indexes and marks that follow their lines.

#include "EditorFixture.h"

#include <gtest/gtest.h>

using namespace edtest;

namespace {

std::unique_ptr<TCustomPlainEdit> selected(const QStringList& lines, TPlainSelectionMode mode, TBufferCoord anchor,
                                           TBufferCoord head)
{
    auto e = editorWith(lines);
    e->SetSelectionMode(mode);
    e->SetCaretAndSel(head, anchor, head);
    return e;
}

} // namespace

TEST(PlainEditText, SelectedTextInEachMode)
{
    struct Case {
        QStringList lines;
        TPlainSelectionMode mode;
        TBufferCoord anchor, head;
        TPlainEditorOptions extra;
        QString text;
    };
    const Case cases[] = {
        {{"abcd", "ef", "ghi"}, smNormal, {3, 1}, {2, 3}, {}, "cd\r\nef\r\ng"},
        {{"abcd", "ef", "ghi"}, smNormal, {2, 3}, {3, 1}, {}, "cd\r\nef\r\ng"},
        {{"abcd"}, smNormal, {2, 1}, {4, 1}, {}, "bc"},
        {{"a", "b", "c"}, smLine, {1, 2}, {1, 3}, {}, "b\r\nc"},
        {{"a", "b", "c"}, smLine, {1, 1}, {1, 2}, {}, "a\r\nb\r\n"},
        {{"ab", "abcdef"}, smColumn, {2, 1}, {5, 2}, {}, "b  \r\nbcd"},
        {{"ab", "abcdef"}, smColumn, {2, 1}, {5, 2}, {eoTrimTrailingSpaces}, "b\r\nbcd"},
        {{"\tab", "123456789xyz"}, smColumn, {2, 1}, {11, 2}, {}, "ab\r\n9x"}, // display columns
    };
    for (const Case& c : cases) {
        auto e = editorWith(c.lines);
        e->SetOptions(e->Options() + c.extra);
        e->SetSelectionMode(c.mode);
        e->SetCaretAndSel(c.head, c.anchor, c.head);
        EXPECT_EQ(e->SelectedText(), c.text) << c.lines.join('|').toStdString();
    }
}

TEST(PlainEditText, InsertingInEachMode)
{
    struct Case {
        QStringList lines;
        TPlainSelectionMode mode;
        TBufferCoord caret;
        QString text;
        QStringList result;
        TBufferCoord after;
    };
    const Case cases[] = {
        {{"abcd"}, smNormal, {3, 1}, "x\r\ny", {"abx", "ycd"}, {2, 2}},
        {{"ab"}, smNormal, {5, 1}, "x", {"ab  x"}, {6, 1}},
        {{"A", "B", "C"}, smLine, {2, 2}, "X\r\nY\r\n", {"A", "X", "Y", "B", "C"}, {1, 4}},
        {{"A", "B"}, smLine, {1, 2}, "X\r\nY", {"A", "X", "YB"}, {2, 3}},
        {{"ab", "cd"}, smColumn, {2, 1}, "X\r\nY\r\nZ", {"aXb", "cYd", " Z"}, {3, 3}},
        {{"ab", ""}, smColumn, {3, 1}, "1\r\n\r\n2", {"ab1", "", "  2"}, {4, 3}},
    };
    for (const Case& c : cases) {
        auto e = editorWith(c.lines);
        e->MoveCaret(c.caret);
        e->ReplaceSelectionRaw(c.mode, c.text, false);
        EXPECT_EQ(e->Lines()->toStringList(), c.result) << c.text.toStdString();
        EXPECT_EQ(e->CaretPos(), c.after) << c.text.toStdString();
    }
}

TEST(PlainEditText, DeletingInEachMode)
{
    {
        auto e = selected({"A", "B", "C"}, smLine, {1, 2}, {1, 3});
        e->ReplaceSelection(QString());
        EXPECT_EQ(e->Lines()->toStringList(), (QStringList{"A", ""}));
        EXPECT_EQ(e->CaretPos(), (TBufferCoord{1, 2}));
    }
    {
        auto e = selected({"abcdef", "ab", "abcdef"}, smColumn, {5, 1}, {2, 3});
        e->ReplaceSelection(QString());
        EXPECT_EQ(e->Lines()->toStringList(), (QStringList{"aef", "a", "aef"}));
        EXPECT_EQ(e->CaretPos(), (TBufferCoord{2, 1})) << "the block's top-left corner";
    }
    // A column block is replaced at its top-left corner, whichever way it was drawn.
    {
        auto e = selected({"abcdef", "abcdef"}, smColumn, {5, 1}, {2, 2});
        e->ReplaceSelectionRaw(smColumn, QStringLiteral("X\r\nY"), false);
        EXPECT_EQ(e->Lines()->toStringList(), (QStringList{"aXef", "aYef"}));
    }
    // Trailing blanks of the joined line go with both options only.
    for (bool pastEol : {true, false}) {
        auto e = editorWith({"ab  ", ""});
        TPlainEditorOptions options = e->Options();
        options.include(eoTrimTrailingSpaces);
        options.set(eoScrollPastEol, pastEol);
        e->SetOptions(options);
        e->SetCaretAndSel({1, 2}, {5, 1}, {1, 2});
        e->ReplaceSelection(QString());
        EXPECT_EQ(e->Lines()->Strings(0), pastEol ? "ab" : "ab  ");
    }
}

TEST(PlainEditText, ReplacementRecordsOneChange)
{
    auto e = selected({"abcd"}, smNormal, {4, 1}, {2, 1});
    e->ReplaceSelection(QString());
    EXPECT_EQ(reasons(*e->UndoList()), "urDelete");
    const TPlainEditUndoItem& d = e->UndoList()->Item(0);
    EXPECT_EQ(d.StartPos, (TBufferCoord{4, 1})) << "anchor and head as they were";
    EXPECT_EQ(d.EndPos, (TBufferCoord{2, 1}));
    EXPECT_EQ(d.ChangeText, "bc");
    e->SetCaretAndSel({1, 1}, {1, 1}, {2, 1});
    e->ReplaceSelection(QStringLiteral("x"));
    EXPECT_EQ(reasons(*e->UndoList()), "urDelete urDelete urInsert");
    EXPECT_EQ(e->UndoList()->Item(1).ChangeNumber, e->UndoList()->Item(2).ChangeNumber);
    EXPECT_NE(e->UndoList()->Item(0).ChangeNumber, e->UndoList()->Item(1).ChangeNumber);
}

TEST(PlainEditText, CharacterIndexes)
{
    auto e = editorWith({"ab", "c"});
    EXPECT_EQ(e->PosToCharIndex({1, 2}), 4);
    EXPECT_EQ(e->PosToCharIndex({3, 1}), 2);
    EXPECT_EQ(e->CharIndexToPos(4), (TBufferCoord{1, 2}));
    EXPECT_EQ(e->CharIndexToPos(3), (TBufferCoord{4, 1}));
    EXPECT_EQ(e->CharIndexToPos(99), (TBufferCoord{1, 3}));
    e->SetSelStartIndex(1);
    e->SetSelEndIndex(5);
    EXPECT_EQ(e->SelectedText(), "b\r\nc");
    EXPECT_EQ(e->SelStartIndex(), 1);
    EXPECT_EQ(e->SelEndIndex(), 5);
}

TEST(PlainEditText, LinesAndTrailingBlanks)
{
    auto e = editorWith({"ab"});
    EXPECT_EQ(TCustomPlainEdit::TrimTrailingBlanks(QStringLiteral("a \t \t")), "a");
    EXPECT_EQ(TCustomPlainEdit::TrimTrailingBlanks(QStringLiteral("a\r ")), "a\r");
    e->SetCaretLineText(QStringLiteral("xy "));
    EXPECT_EQ(e->CaretLineText(), "xy ");
    e->SetOptions(e->Options() + TPlainEditorOptions{eoTrimTrailingSpaces});
    e->StoreLine(0, QStringLiteral("z \t"));
    EXPECT_EQ(e->Lines()->Strings(0), "z");
    auto empty = editorWith({});
    empty->SetCaretLineText(QStringLiteral("added"));
    EXPECT_EQ(empty->Lines()->toStringList(), QStringList{"added"});
}

TEST(PlainEditText, MarksFollowTheirLines)
{
    auto e = editorWith({"1", "2", "3", "4", "5", "6", "7"});
    e->SetBookMark(1, 1, 3);
    e->SetBookMark(2, 1, 6);
    // Lines 2..4 deleted as a line selection.
    e->SetSelectionMode(smLine);
    e->SetCaretAndSel({1, 2}, {1, 2}, {1, 4});
    e->ReplaceSelection(QString());
    EXPECT_EQ(e->Bookmarks(1)->MarkLine(), 2) << "a mark in the block moves to its first line";
    EXPECT_EQ(e->Bookmarks(2)->MarkLine(), 3);
    e->SetSelectionMode(smNormal);
    e->MoveCaret({1, 1});
    e->CommandProcessor(ecLineBreak, QChar(u'\r'));
    EXPECT_EQ(e->Bookmarks(1)->MarkLine(), 3);
    EXPECT_EQ(e->Bookmarks(2)->MarkLine(), 4);
    e->Undo();
    EXPECT_EQ(e->Bookmarks(2)->MarkLine(), 3) << "undoing the break moves the marks back";
}

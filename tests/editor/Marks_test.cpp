// Marks and bookmarks, the memo's edit-control messages, and the key map
// streamed as differences from the defaults.

#include "EditorFixture.h"

#include "PropStream.h"
#include "Streams.h"

#include <gtest/gtest.h>

using namespace edtest;

TEST(PlainEditMarks, ABookmarkNumberIsOnOneLine)
{
    auto e = editorWith({"1", "2", "3", "4", "5", "6", "7", "8", "9"});
    e->SetBookMark(3, 1, 5);
    e->SetBookMark(3, 2, 9);
    EXPECT_EQ(e->MarkList()->Count(), 1);
    EXPECT_EQ(e->Bookmarks(3)->MarkLine(), 9);
    EXPECT_TRUE(e->Bookmarks(3)->IsBookmark());
    EXPECT_EQ(e->Bookmarks(3)->ImageIndex(), 3);
    EXPECT_TRUE(e->Bookmarks(3)->UseInternalImage());
    int x = 0, y = 0;
    EXPECT_TRUE(e->GetBookMark(3, x, y));
    EXPECT_EQ(x, 2);
    e->SetBookMark(4, 1, 0);
    e->SetBookMark(4, 1, 10);
    e->SetBookMark(10, 1, 1);
    EXPECT_EQ(e->MarkList()->Count(), 1) << "no line 0, no line past the end, no number 10";
    auto empty = editorWith({});
    empty->SetBookMark(0, 1, 1);
    EXPECT_NE(empty->Bookmarks(0), nullptr) << "line 1 of an empty text";
    e->ClearBookMark(3);
    EXPECT_EQ(e->MarkList()->Count(), 0);
    EXPECT_EQ(e->Bookmarks(3), nullptr);
}

TEST(PlainEditMarks, APlacementHandlerMayCancelOrChangeTheMark)
{
    auto e = editorWith({"1", "2"});
    TPlainEditMark* seen = nullptr;
    e->OnPlaceBookmark = TPlaceMarkEvent(
        [&](plat::TObject*, TPlainEditMark*& mark) {
            seen = mark;
            delete mark;
            mark = nullptr;
        },
        &seen, nullptr);
    e->SetBookMark(1, 1, 2);
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(e->Bookmarks(1), nullptr);
    EXPECT_EQ(e->MarkList()->Count(), 0);
    int cleared = 0;
    e->OnPlaceBookmark = TPlaceMarkEvent();
    e->OnClearBookmark = TPlaceMarkEvent([&](plat::TObject*, TPlainEditMark*&) { ++cleared; }, &cleared, nullptr);
    e->SetBookMark(1, 1, 2);
    e->SetBookMark(1, 1, 1);
    EXPECT_EQ(cleared, 1) << "placing a number again clears it first";
}

TEST(PlainEditMarks, AMarkDoesNotTouchAFreedEditor)
{
    auto e = std::make_unique<TCustomPlainEdit>();
    e->Lines()->Add(QStringLiteral("a"));
    TPlainEditMark loose(e.get());
    loose.SetMarkLine(1);
    e->MarkList()->Add(&loose);
    EXPECT_EQ(loose.GetOwnerEdit(), e.get());
    e->MarkList()->Remove(&loose);
    e.reset();
    EXPECT_EQ(loose.GetOwnerEdit(), nullptr);
    loose.SetVisible(true);
    loose.SetMarkLine(2);
    EXPECT_EQ(loose.MarkLine(), 2);
}

TEST(PlainEditMarks, GetMarksForLineGivesAtMostSixteen)
{
    auto e = editorWith({"1", "2"});
    for (int i = 0; i < 20; ++i) {
        auto* m = new TPlainEditMark(e.get());
        m->SetMarkLine(2);
        e->MarkList()->Add(m);
    }
    EXPECT_EQ(e->MarkList()->GetMarksForLine(2).size(), 16u);
    EXPECT_TRUE(e->MarkList()->GetMarksForLine(1).empty());
}

// ------------------------------------------------------------ memo messages

TEST(PlainMemoMessages, SelectionAsCharacterIndexes)
{
    auto e = editorWith({"ab", "c"});
    e->MoveCaret({2, 2});
    int s = -1, t = -1;
    const int packed = e->EmGetSel(&s, &t);
    EXPECT_EQ(s, 5);
    EXPECT_EQ(t, 5);
    EXPECT_EQ(packed, 5 * 65536 + 5);
    e->EmSetSel(0, 2);
    EXPECT_EQ(e->SelectedText(), "ab");
    EXPECT_EQ(e->EmGetSelText(), "ab");
    EXPECT_EQ(e->EmGetLineCount(), 2);
    EXPECT_EQ(e->EmGetLine(0, 1), "a");
    EXPECT_EQ(e->EmGetLine(0, 10), "ab");
    EXPECT_EQ(e->EmGetLine(-1, 10), "");
    EXPECT_EQ(e->EmGetLine(2, 10), "");
    EXPECT_EQ(e->EmGetModify(), 0);
    e->EmSetModify(true);
    EXPECT_EQ(e->EmGetModify(), 1);
}

TEST(PlainMemoMessages, CharacterFromAPoint)
{
    auto e = editorWith({"abc", "de"});
    FakeView view;
    e->SetView(&view);
    const int left = e->GutterExtent() + 2;
    EXPECT_EQ(e->EmCharFromPos(left, 1), 0);
    EXPECT_EQ(e->EmCharFromPos(left + 50 * e->CellWidth(), e->RowHeight() + 1), 65536 + 2) << "the line's end";
    EXPECT_EQ(e->EmCharFromPos(left + 5 * e->CellWidth(), 10 * e->RowHeight()), 10 * 65536) << "below the text";
    EXPECT_EQ(e->EmGetFirstVisibleLine(), 0);
}

TEST(PlainMemoMessages, ReplaceSelectionRecordsItsMode)
{
    auto e = editorWith({"abcd", "efgh", "ijkl"});
    e->SetSelectionMode(smColumn);
    e->SetCaretAndSel({3, 3}, {2, 1}, {3, 3});
    e->EmReplaceSel(true, QStringLiteral("X\r\nY"));
    EXPECT_EQ(editorLines(*e), "aXcd\neYgh\nikl");
    EXPECT_EQ(e->UndoList()->Item(0).SelectionMode, smColumn);
    e->Undo();
    EXPECT_EQ(editorLines(*e), "abcd\nefgh\nijkl");
    e->Redo();
    EXPECT_EQ(editorLines(*e), "aXcd\neYgh\nikl");
    e->SetSelectionMode(smNormal);
    e->SetCaretAndSel({2, 1}, {1, 1}, {2, 1});
    e->EmReplaceSel(false, QStringLiteral("Z"));
    EXPECT_EQ(editorLines(*e), "ZXcd\neYgh\nikl");
    EXPECT_EQ(e->UndoList()->LastReason(), urPaste) << "the change that cannot be undone records nothing";
    e->SetReadOnlyProp(true);
    e->EmReplaceSel(true, QStringLiteral("no"));
    EXPECT_EQ(editorLines(*e), "ZXcd\neYgh\nikl");
    EXPECT_EQ(e->EmUndo(), 0);
}

// ------------------------------------------------------------ key-map streaming

namespace {

QByteArray written(TCustomPlainEdit& e)
{
    plat::TMemoryStream stream;
    plat::TWriter writer(stream);
    writer.WriteProperties(&e);
    return stream.bytes();
}

} // namespace

TEST(PlainEditKeyMapStreaming, OnlyTheDifferencesAreStored)
{
    TPlainEdit defaults;
    EXPECT_FALSE(written(defaults).contains("Keystrokes")) << "a default key map writes neither property";

    TPlainEdit changed;
    TPlainEditKeyStrokes* keys = changed.Keystrokes();
    keys->Delete(keys->LookupKey('Y', {plat::ssCtrl}));
    const QByteArray bytes = written(changed);
    ASSERT_TRUE(bytes.contains("RemovedKeystrokes"));
    ASSERT_TRUE(bytes.contains("AddedKeystrokes"));
    EXPECT_TRUE(bytes.contains("ecDeleteLine"));
    EXPECT_FALSE(bytes.contains("ecDeleteEOL")) << "only the removed binding";

    keys->AddBinding(ecUserFirst + 5, 'Q', {plat::ssCtrl, plat::ssAlt});
    const QByteArray both = written(changed);
    plat::TMemoryStream stream(both);
    TPlainEdit loaded;
    plat::TReader reader(stream);
    reader.ReadProperties(&loaded);
    EXPECT_EQ(loaded.Keystrokes()->Count(), 82);
    EXPECT_EQ(loaded.Keystrokes()->LookupKey('Y', {plat::ssCtrl}), -1);
    const int added = loaded.Keystrokes()->LookupKey('Q', {plat::ssCtrl, plat::ssAlt});
    ASSERT_GE(added, 0);
    EXPECT_EQ(loaded.Keystrokes()->Items(added)->Command(), ecUserFirst + 5);
}

TEST(PlainEditKeyMapStreaming, PublishedPropertiesKeepTheirDefaults)
{
    TPlainEdit e;
    const QByteArray bytes = written(e);
    EXPECT_FALSE(bytes.contains("TabWidth"));
    e.SetTabWidth(4);
    e.SetOptions(e.Options() + TPlainEditorOptions{eoShowSpecialChars});
    const QByteArray changed = written(e);
    EXPECT_TRUE(changed.contains("TabWidth"));
    EXPECT_TRUE(changed.contains("eoShowSpecialChars"));
    plat::TMemoryStream stream(changed);
    TPlainEdit back;
    plat::TReader reader(stream);
    reader.ReadProperties(&back);
    EXPECT_EQ(back.TabWidth(), 4);
    EXPECT_TRUE(back.Options().contains(eoShowSpecialChars));
}

// Keys, the mouse, dragging text, the clipboard and the window's messages.

#include "EditorFixture.h"

#include "Exceptions.h"
#include "ScriptedServices.h"
#include "Services.h"

#include <gtest/gtest.h>

using namespace edtest;
using plat::TShiftState;

namespace {

QByteArray block(int mode, const QByteArray& text) { return QByteArray(1, char(mode)) + text + QByteArray(1, '\0'); }

struct EditorWithWindow {
    explicit EditorWithWindow(const QStringList& lines) : e(editorWith(lines)) { e->SetView(&view); }
    // The pixel of a buffer position (for the mouse).
    plat::TPoint at(TBufferCoord p) const
    {
        const plat::TPoint pt = e->DisplayToPixel(e->BufferToDisplay(p));
        return plat::TPoint{pt.X + 1, pt.Y + 1};
    }
    FakeView view;
    std::unique_ptr<TCustomPlainEdit> e;
};

} // namespace

TEST(PlainEditKeys, KeysBecomeCommandsAndTheirCharactersAreDropped)
{
    auto e = editorWith({"abc", "def"});
    quint16 key = plat::VK_DOWN;
    e->KeyDown(key, {});
    EXPECT_EQ(key, 0);
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{1, 2}));
    key = 'Y';
    e->KeyDown(key, {plat::ssCtrl});
    EXPECT_EQ(editorLines(*e), "abc\n") << "Ctrl+Y deletes the line";
    QChar ch(u'y');
    e->KeyPress(ch);
    EXPECT_EQ(editorLines(*e), "abc\n") << "the character of that key is dropped";
    e->KeyPress(ch);
    EXPECT_EQ(editorLines(*e), "abc\ny");
    key = 'Q';
    e->OnKeyDown = TPlainKeyEvent([](plat::TObject*, quint16& k, TShiftState) { k = 0; }, nullptr, nullptr);
    key = plat::VK_UP;
    e->KeyDown(key, {});
    EXPECT_EQ(e->CaretPos().Line, 2) << "the key cleared by the event does nothing";
}

TEST(PlainEditKeys, TwoKeyBindings)
{
    auto e = editorWith({"abc"});
    TPlainEditKeyStroke* pair = e->Keystrokes()->Add();
    pair->SetCommand(ecEditorBottom);
    pair->SetShortCut(plat::ShortCut('K', {plat::ssCtrl}));
    pair->SetShortCut2(plat::ShortCut('E', {plat::ssCtrl}));
    EXPECT_EQ(e->TranslateKey('K', {plat::ssCtrl}), ecNone);
    EXPECT_EQ(e->TranslateKey('E', {plat::ssCtrl}), ecEditorBottom);
    EXPECT_EQ(e->TranslateKey(plat::VK_SHIFT, {plat::ssShift}), ecNone);
    EXPECT_EQ(e->TranslateKey('E', {plat::ssCtrl}), ecNone) << "Shift alone is never kept as a first key";
}

TEST(PlainEditKeys, InputMethodStringAndTheCharactersAfterIt)
{
    auto e = editorWith({"ab"});
    e->MoveCaret({2, 1});
    e->ImeComposition(QString::fromUtf8("\xE6\xBC\xA2\xE5\xAD\x97"), 2);
    EXPECT_EQ(editorLines(*e), QString::fromUtf8("a\xE6\xBC\xA2\xE5\xAD\x97" "b"));
    QChar c(u'z');
    e->KeyPress(c);
    e->KeyPress(c);
    EXPECT_EQ(e->ImePending(), 0);
    e->KeyPress(c);
    EXPECT_EQ(editorLines(*e), QString::fromUtf8("a\xE6\xBC\xA2\xE5\xAD\x97zb"));
}

TEST(PlainEditMouse, ClickShiftClickAndDrag)
{
    EditorWithWindow w({"hello world", "second line"});
    TCustomPlainEdit& e = *w.e;
    plat::TPoint p = w.at({3, 1});
    e.MouseDown(plat::mbLeft, {plat::ssLeft}, p.X, p.Y);
    e.MouseUp(plat::mbLeft, {}, p.X, p.Y);
    EXPECT_EQ(e.CaretPos(), (TBufferCoord{3, 1}));
    EXPECT_EQ(w.view.focusRequests, 1);
    p = w.at({4, 2});
    e.MouseDown(plat::mbLeft, {plat::ssLeft, plat::ssShift}, p.X, p.Y);
    e.MouseUp(plat::mbLeft, {plat::ssShift}, p.X, p.Y);
    EXPECT_EQ(e.SelectedText(), "llo world\r\nsec");
    // Dragging with the button held selects.
    p = w.at({1, 1});
    e.MouseDown(plat::mbLeft, {plat::ssLeft}, p.X, p.Y);
    EXPECT_TRUE(w.view.captured);
    const plat::TPoint q = w.at({6, 1});
    e.MouseMove({plat::ssLeft}, q.X, q.Y);
    e.MouseUp(plat::mbLeft, {}, q.X, q.Y);
    EXPECT_EQ(e.SelectedText(), "hello");
    EXPECT_FALSE(w.view.captured);
    // Alt sets column mode with the option.
    e.SetOptions(e.Options() + TPlainEditorOptions{eoAltSetsColumnMode});
    const plat::TPoint r = w.at({9, 1});
    e.MouseDown(plat::mbLeft, {plat::ssLeft, plat::ssAlt}, r.X, r.Y);
    EXPECT_EQ(e.SelectionMode(), smColumn);
    e.MouseUp(plat::mbLeft, {}, r.X, r.Y);
}

TEST(PlainEditMouse, APressOnTheSelectionMayStartADrag)
{
    EditorWithWindow w({"hello world"});
    TCustomPlainEdit& e = *w.e;
    e.SetCaretAndSel({6, 1}, {1, 1}, {6, 1});
    const plat::TPoint p = w.at({2, 1});
    e.MouseDown(plat::mbLeft, {plat::ssLeft}, p.X, p.Y);
    EXPECT_TRUE(e.EditorState().contains(esDragPending));
    EXPECT_EQ(e.SelectedText(), "hello") << "the selection stays";
    e.MouseMove({plat::ssLeft}, p.X + 1, p.Y);
    EXPECT_EQ(w.view.dragsBegun, 0) << "not before the drag distance";
    e.MouseMove({plat::ssLeft}, p.X + 10, p.Y);
    EXPECT_EQ(w.view.dragsBegun, 1);
    // A press that does not become a drag places the caret on release.
    w.view.dragging = false;
    e.MouseUp(plat::mbLeft, {}, p.X, p.Y);
    e.SetCaretAndSel({6, 1}, {1, 1}, {6, 1});
    e.MouseDown(plat::mbLeft, {plat::ssLeft}, p.X, p.Y);
    e.MouseUp(plat::mbLeft, {}, p.X, p.Y);
    EXPECT_FALSE(e.SelAvail());
    EXPECT_EQ(e.CaretPos(), (TBufferCoord{2, 1}));
}

TEST(PlainEditMouse, RightClickInsideTheSelectionKeepsIt)
{
    EditorWithWindow w({"hello world"});
    TCustomPlainEdit& e = *w.e;
    e.SetOptions(e.Options() + TPlainEditorOptions{eoRightMouseMovesCursor});
    e.SetCaretAndSel({6, 1}, {1, 1}, {6, 1});
    plat::TPoint p = w.at({3, 1});
    e.MouseDown(plat::mbRight, {plat::ssRight}, p.X, p.Y);
    EXPECT_EQ(e.SelectedText(), "hello");
    EXPECT_EQ(e.CaretPos(), (TBufferCoord{6, 1}));
    p = w.at({9, 1});
    e.MouseDown(plat::mbRight, {plat::ssRight}, p.X, p.Y);
    EXPECT_FALSE(e.SelAvail());
    EXPECT_EQ(e.CaretPos(), (TBufferCoord{9, 1}));
}

TEST(PlainEditMouse, AutoScrollsPastTheWindow)
{
    QStringList lines;
    for (int i = 0; i < 100; ++i)
        lines << QStringLiteral("line %1").arg(i);
    EditorWithWindow w(lines);
    TCustomPlainEdit& e = *w.e;
    w.view.height = 10 * e.RowHeight();
    e.Resized();
    const plat::TPoint p = w.at({1, 1});
    e.MouseDown(plat::mbLeft, {plat::ssLeft}, p.X, p.Y);
    e.MouseMove({plat::ssLeft}, p.X, w.view.height + 2 * e.RowHeight());
    EXPECT_TRUE(w.view.timerRunning);
    EXPECT_EQ(e.AutoScrollDelta().Y, 3);
    w.view.cursor = plat::TPoint{p.X, w.view.height + 2 * e.RowHeight()};
    e.ScrollTimerTick();
    EXPECT_EQ(e.TopRow(), 4);
    EXPECT_EQ(e.CaretPos().Line, 13);
    EXPECT_TRUE(e.SelAvail());
    e.MouseUp(plat::mbLeft, {}, p.X, p.Y);
    EXPECT_FALSE(w.view.timerRunning);
}

TEST(PlainEditMouse, DoubleClickSelectsAWord)
{
    EditorWithWindow w({"abc.def"});
    TCustomPlainEdit& e = *w.e;
    const plat::TPoint p = w.at({2, 1});
    e.MouseDown(plat::mbLeft, {plat::ssLeft}, p.X, p.Y);
    e.MouseUp(plat::mbLeft, {}, p.X, p.Y);
    w.view.cursor = p;
    e.DblClick();
    e.MouseDown(plat::mbLeft, {plat::ssLeft, plat::ssDouble}, p.X, p.Y);
    e.MouseUp(plat::mbLeft, {}, p.X, p.Y);
    EXPECT_EQ(e.SelectedText(), "abc");
}

TEST(PlainEditMouse, GutterClickNamesTheMark)
{
    EditorWithWindow w({"a", "b", "c"});
    TCustomPlainEdit& e = *w.e;
    e.SetBookMark(1, 1, 2);
    e.SetBookMark(2, 1, 2);
    int line = 0;
    TPlainEditMark* clicked = nullptr;
    e.OnGutterClick = TGutterClickEvent(
        [&](plat::TObject*, plat::TMouseButton, int, int, int l, TPlainEditMark* m) {
            line = l;
            clicked = m;
        },
        &line, nullptr);
    const int y = e.RowHeight() + 1;
    e.MouseDown(plat::mbLeft, {plat::ssLeft}, 15, y);
    e.MouseUp(plat::mbLeft, {}, 15, y);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(clicked, e.Bookmarks(2)) << "the second mark starts at Xoffset";
    e.MouseDown(plat::mbLeft, {plat::ssLeft}, 28, y);
    e.MouseUp(plat::mbLeft, {}, 28, y);
    EXPECT_EQ(clicked, nullptr);
}

TEST(PlainEditMouse, CursorOverGutterSelectionAndText)
{
    EditorWithWindow w({"hello"});
    TCustomPlainEdit& e = *w.e;
    e.SetCaretAndSel({3, 1}, {1, 1}, {3, 1});
    EXPECT_EQ(e.UpdateMouseCursor(5, 1), e.Gutter()->Cursor());
    const plat::TPoint in = w.at({1, 1});
    EXPECT_EQ(e.UpdateMouseCursor(in.X, in.Y), plat::crArrow);
    const plat::TPoint out = w.at({4, 1});
    EXPECT_EQ(e.UpdateMouseCursor(out.X, out.Y), plat::crIBeam);
    EXPECT_EQ(w.view.shownCursor, plat::crIBeam);
}

// ------------------------------------------------------------ drag and drop

TEST(PlainEditDragDrop, MovesWithinOneEditor)
{
    EditorWithWindow w({"one two three"});
    TCustomPlainEdit& e = *w.e;
    e.SetCaretAndSel({4, 1}, {1, 1}, {4, 1});
    const plat::TPoint p = w.at({14, 1});
    e.DragDrop(&e, p.X, p.Y, {});
    EXPECT_EQ(editorLines(e), " two threeone");
    EXPECT_EQ(e.SelectedText(), "one") << "the dropped text is selected";
    EXPECT_EQ(e.CaretPos(), (TBufferCoord{11, 1}));
    e.Undo();
    EXPECT_EQ(editorLines(e), "one two three");
}

TEST(PlainEditDragDrop, ADropAfterAMultiLineSelectionLandsWhereItPointed)
{
    EditorWithWindow w({"abcdef", "ghijkl", "mnop"});
    TCustomPlainEdit& e = *w.e;
    e.SetCaretAndSel({3, 2}, {5, 1}, {3, 2});
    // Drop before the "k" of line 2.
    const plat::TPoint p = w.at({5, 2});
    e.DragDrop(&e, p.X, p.Y, {});
    EXPECT_EQ(e.Lines()->toStringList(), (QStringList{"abcdijef", "ghkl", "mnop"}));
    e.Undo();
    EXPECT_EQ(editorLines(e), "abcdef\nghijkl\nmnop");
}

TEST(PlainEditDragDrop, OnItsOwnFirstCharacterOnlyACopyDrops)
{
    EditorWithWindow w({"abc def"});
    TCustomPlainEdit& e = *w.e;
    e.SetCaretAndSel({4, 1}, {1, 1}, {4, 1});
    const plat::TPoint p = w.at({1, 1});
    e.DragDrop(&e, p.X, p.Y, {});
    EXPECT_EQ(editorLines(e), "abc def");
    e.SetCaretAndSel({4, 1}, {1, 1}, {4, 1});
    e.DragDrop(&e, p.X, p.Y, {plat::ssCtrl});
    EXPECT_EQ(editorLines(e), "abcabc def");
}

TEST(PlainEditDragDrop, BetweenTwoEditors)
{
    EditorWithWindow source({"move me"});
    EditorWithWindow target({"into "});
    source.e->SetCaretAndSel({6, 1}, {1, 1}, {6, 1});
    plat::TCursor cursor = plat::crDefault;
    const plat::TPoint p = target.at({6, 1});
    EXPECT_TRUE(target.e->DragOver(source.e.get(), p.X, p.Y, dsDragMove, {plat::ssCtrl}, cursor));
    EXPECT_EQ(cursor, plat::crMultiDrag);
    target.e->DragDrop(source.e.get(), p.X, p.Y, {plat::ssShift});
    EXPECT_EQ(editorLines(*target.e), "into move ");
    EXPECT_EQ(editorLines(*source.e), "me") << "moved while Shift is held";
    source.e->Undo();
    EXPECT_EQ(editorLines(*source.e), "move me");
    target.e->SetReadOnlyProp(true);
    EXPECT_FALSE(target.e->DragOver(source.e.get(), p.X, p.Y, dsDragMove, {}, cursor));
}

// ------------------------------------------------------------ clipboard

TEST(PlainEditClipboard, CopyPutsTextAndTheModeBlock)
{
    plat::ScriptedServices services;
    plat::ScopedServices scope(services);
    auto e = editorWith({"ab", "abcdef"});
    e->CopyToClipboard();
    EXPECT_TRUE(services.Calls().empty()) << "nothing selected, nothing copied";
    e->SetCaretAndSel({2, 2}, {1, 1}, {2, 2});
    e->CopyToClipboard();
    EXPECT_EQ(services.ClipboardText(), "ab\r\na");
    EXPECT_EQ(services.ClipboardData(kPlainEditClipboardFormat), block(0, "ab\r\na"));
    e->SetOptions(e->Options() + TPlainEditorOptions{eoTrimTrailingSpaces});
    e->SetSelectionMode(smColumn);
    e->SetCaretAndSel({5, 2}, {2, 1}, {5, 2});
    e->CopyToClipboard();
    EXPECT_EQ(services.ClipboardData(kPlainEditClipboardFormat), block(2, "b  \r\nbcd")) << "padded to a rectangle";
    EXPECT_TRUE(e->Options().contains(eoTrimTrailingSpaces));
}

TEST(PlainEditClipboard, PasteInTheCopiedMode)
{
    plat::ScriptedServices services;
    plat::ScopedServices scope(services);
    auto e = editorWith({"A", "B", "C"});
    services.SetClipboardData(kPlainEditClipboardFormat, block(1, "X\r\nY\r\n"), QStringLiteral("X\r\nY\r\n"));
    e->MoveCaret({1, 2});
    e->PasteFromClipboard();
    EXPECT_EQ(editorLines(*e), "A\nX\nY\nB\nC") << "whole lines before the caret line";
    EXPECT_EQ(reasons(*e->UndoList()), "urPasteBegin urPaste urPasteEnd");
    e->Undo();
    EXPECT_EQ(editorLines(*e), "A\nB\nC");
    services.SetClipboardText(QStringLiteral("t"));
    e->SetSelectionMode(smNormal);
    e->MoveCaret({2, 1});
    e->PasteFromClipboard();
    EXPECT_EQ(editorLines(*e), "At\nB\nC");
}

TEST(PlainEditClipboard, AMalformedBlockCountsAsAbsent)
{
    plat::ScriptedServices services;
    plat::ScopedServices scope(services);
    struct Case {
        QByteArray data;
        QString result;
    };
    const Case cases[] = {
        {QByteArray(1, char(3)) + "zzz", "plainxy"},        // a mode above 2: the plain text
        {QByteArray(), "plainxy"},                          // an empty block
        {QByteArray(1, char(0)) + "no zero", "no zeroxy"},  // the text up to the end
        {QByteArray(1, char(0)) + QByteArray("in\0junk", 7), "inxy"},
    };
    for (const Case& c : cases) {
        auto e = editorWith({"xy"});
        services.SetClipboardData(kPlainEditClipboardFormat, c.data, QStringLiteral("plain"));
        e->PasteFromClipboard();
        EXPECT_EQ(editorLines(*e), c.result) << c.data.toHex().toStdString();
    }
}

TEST(PlainEditClipboard, CutRemovesAndUndoPutsBack)
{
    plat::ScriptedServices services;
    plat::ScopedServices scope(services);
    auto e = editorWith({"abcdef"});
    e->SetCaretAndSel({4, 1}, {2, 1}, {4, 1});
    e->CommandProcessor(ecCut, QChar());
    EXPECT_EQ(editorLines(*e), "adef");
    EXPECT_EQ(services.ClipboardText(), "bc");
    e->Undo();
    EXPECT_EQ(editorLines(*e), "abcdef");
    e->SetReadOnlyProp(true);
    EXPECT_FALSE(e->CanPaste());
}

TEST(PlainEditClipboard, ACopyThatFailsSaysSo)
{
    class Failing : public plat::ScriptedServices {
    public:
        void SetClipboardData(const QString&, const QByteArray&, const QString&) override
        {
            throw plat::EOutOfResources(QStringLiteral("no memory"));
        }
    } services;
    plat::ScopedServices scope(services);
    auto e = editorWith({"abc"});
    e->SelectAll();
    try {
        e->CopyToClipboard();
        FAIL();
    } catch (const plat::EPlainEditError& error) {
        EXPECT_EQ(error.message(), "Clipboard copy operation failed");
    }
    EXPECT_THROW(e->CommandProcessor(ecCut, QChar()), plat::EPlainEditError);
    EXPECT_EQ(editorLines(*e), "abc") << "a failed cut removes nothing";
}

// ------------------------------------------------------------ window messages

TEST(PlainEditMessages, TextMessages)
{
    plat::ScriptedServices services;
    plat::ScopedServices scope(services);
    auto e = editorWith({"ab", "c"});
    EXPECT_EQ(e->WmGetTextLength(), 5);
    EXPECT_EQ(e->WmGetText(3), "ab");
    EXPECT_TRUE(e->WmSetText(QStringLiteral("x\r\ny")));
    EXPECT_EQ(e->LineCount(), 2);
    e->SelectAll();
    e->WmCopy();
    e->WmClear();
    EXPECT_EQ(e->Text(), "");
    e->WmPaste();
    EXPECT_EQ(e->Text(), "x\r\ny");
    e->WmUndo();
    EXPECT_EQ(e->Text(), "");
    EXPECT_EQ(e->DlgCode(), DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS);
    e->SetWantTabs(true);
    EXPECT_TRUE(e->DlgCode() & DLGC_WANTTAB);
}

TEST(PlainEditMessages, FocusMakesAndHidesTheCaret)
{
    EditorWithWindow w({"abc"});
    TCustomPlainEdit& e = *w.e;
    QStringList seen;
    e.OnProcessCommand = TProcessCommandEvent(
        [&](plat::TObject*, TPlainEditorCommand& c, QChar&, const TPlainCommandData&) { seen << QString::number(c); },
        &seen, nullptr);
    e.FocusEnter();
    EXPECT_GE(w.view.caretsCreated, 1);
    EXPECT_TRUE(w.view.caretVisible);
    w.view.focused = false;
    e.FocusExit();
    EXPECT_FALSE(w.view.caretVisible);
    EXPECT_EQ(seen, (QStringList{"480", "481"}));
}

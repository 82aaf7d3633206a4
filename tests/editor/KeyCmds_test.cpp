// Command names, the default key map and the key-handler chains.

#include "EditorFixture.h"
#include "PlainEditKbdHandler.h"
#include "PlainEditKeyCmds.h"

#include "Exceptions.h"
#include "PropStream.h"
#include "Streams.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace edtest;
using plat::TShiftState;

TEST(PlainEditCommands, NamesAndNumbers)
{
    EXPECT_EQ(EditorCommandNames().size(), 101u);
    std::set<QString> names;
    for (const TPlainEditorCommandName& n : EditorCommandNames())
        names.insert(QString::fromLatin1(n.Name));
    EXPECT_EQ(names.size(), 101u) << "names are unique";
    int command = 0;
    ASSERT_TRUE(IdentToCommand(QStringLiteral("ECUNDO"), command));
    EXPECT_EQ(command, 601);
    EXPECT_FALSE(IdentToCommand(QStringLiteral("ecNothing"), command));
    EXPECT_EQ(CommandToCodeString(2000), "2000");
    EXPECT_EQ(CommandToCodeString(ecSetMarker9), "ecSetMarker9");
    EXPECT_EQ(CommandToCodeString(ecCopy), "ecCopy");
}

// The default key map as a table: key, then the command under
// each modifier column (none, Shift, Ctrl, Ctrl+Shift, Alt, Shift+Alt).
TEST(PlainEditKeyStrokes, DefaultKeyMapIsTheTable)
{
    using namespace plat;
    struct Row {
        int key;
        const char* columns[6];
    };
    const Row table[] = {
        {VK_UP, {"ecUp", "ecSelUp", "ecScrollUp", "", "", ""}},
        {VK_DOWN, {"ecDown", "ecSelDown", "ecScrollDown", "", "", ""}},
        {VK_LEFT, {"ecLeft", "ecSelLeft", "ecWordLeft", "ecSelWordLeft", "", ""}},
        {VK_RIGHT, {"ecRight", "ecSelRight", "ecWordRight", "ecSelWordRight", "", ""}},
        {VK_NEXT, {"ecPageDown", "ecSelPageDown", "ecPageBottom", "ecSelPageBottom", "", ""}},
        {VK_PRIOR, {"ecPageUp", "ecSelPageUp", "ecPageTop", "ecSelPageTop", "", ""}},
        {VK_HOME, {"ecLineStart", "ecSelLineStart", "ecEditorTop", "ecSelEditorTop", "", ""}},
        {VK_END, {"ecLineEnd", "ecSelLineEnd", "ecEditorBottom", "ecSelEditorBottom", "", ""}},
        {VK_INSERT, {"ecToggleMode", "ecPaste", "ecCopy", "", "", ""}},
        {VK_DELETE, {"ecDeleteChar", "ecCut", "", "", "", ""}},
        {VK_BACK, {"ecDeleteLastChar", "ecDeleteLastChar", "ecDeleteLastWord", "", "ecUndo", "ecRedo"}},
        {VK_RETURN, {"ecLineBreak", "ecLineBreak", "", "", "", ""}},
        {VK_TAB, {"ecTab", "ecShiftTab", "", "", "", ""}},
        {VK_F1, {"ecContextHelp", "", "", "", "", ""}},
        {'A', {"", "", "ecSelectAll", "", "", ""}},
        {'B', {"", "", "", "ecMatchBracket", "", ""}},
        {'C', {"", "", "ecCopy", "ecColumnSelect", "", ""}},
        {'I', {"", "", "", "ecBlockIndent", "", ""}},
        {'L', {"", "", "", "ecLineSelect", "", ""}},
        {'M', {"", "", "ecLineBreak", "", "", ""}},
        {'N', {"", "", "ecInsertLine", "ecNormalSelect", "", ""}},
        {'T', {"", "", "ecDeleteWord", "", "", ""}},
        {'U', {"", "", "", "ecBlockUnindent", "", ""}},
        {'V', {"", "", "ecPaste", "", "", ""}},
        {'X', {"", "", "ecCut", "", "", ""}},
        {'Y', {"", "", "ecDeleteLine", "ecDeleteEOL", "", ""}},
        {'Z', {"", "", "ecUndo", "ecRedo", "", ""}},
    };
    const TShiftState columns[6] = {{}, {ssShift}, {ssCtrl}, {ssCtrl, ssShift}, {ssAlt}, {ssShift, ssAlt}};
    std::map<std::pair<int, quint32>, QString> expected;
    for (const Row& row : table) {
        for (int c = 0; c < 6; ++c) {
            if (*row.columns[c])
                expected[{row.key, columns[c].mask()}] = QString::fromLatin1(row.columns[c]);
        }
    }
    for (int d = 0; d <= 9; ++d) {
        expected[{'0' + d, columns[2].mask()}] = QStringLiteral("ecGotoMarker%1").arg(d);
        expected[{'0' + d, columns[3].mask()}] = QStringLiteral("ecSetMarker%1").arg(d);
    }
    TPlainEditKeyStrokes strokes;
    strokes.ResetDefaults();
    ASSERT_EQ(strokes.Count(), 82);
    ASSERT_EQ(expected.size(), 82u);
    for (int i = 0; i < strokes.Count(); ++i) {
        const TPlainEditKeyStroke* s = strokes.Items(i);
        EXPECT_EQ(s->Key2(), 0);
        const auto it = expected.find({s->Key(), s->Shift().mask()});
        ASSERT_NE(it, expected.end()) << "binding " << i;
        EXPECT_EQ(CommandToCodeString(s->Command()), it->second) << "binding " << i;
    }
    // The order: Up, Down, ... and the selection-mode keys last.
    EXPECT_EQ(strokes.Items(0)->Command(), ecUp);
    EXPECT_EQ(strokes.Items(81)->Command(), ecMatchBracket);
    EXPECT_EQ(strokes.Items(30)->Command(), ecToggleMode);
}

TEST(PlainEditKeyStrokes, LooksUpKeysAndPairs)
{
    using namespace plat;
    TPlainEditKeyStrokes strokes;
    strokes.ResetDefaults();
    EXPECT_EQ(strokes.Items(strokes.LookupKey(VK_BACK, {ssShift}))->Command(), ecDeleteLastChar);
    EXPECT_EQ(strokes.Items(strokes.LookupKey('Z', {ssCtrl, ssShift}))->Command(), ecRedo);
    EXPECT_EQ(strokes.LookupKey('Q', {ssCtrl}), -1);
    TPlainEditKeyStroke* pair = strokes.Add();
    pair->SetCommand(ecUserFirst);
    pair->SetShortCut(ShortCut('K', {ssCtrl}));
    pair->SetShortCut2(ShortCut('B', {ssCtrl}));
    EXPECT_EQ(strokes.LookupKeyPair('K', {ssCtrl}, 'B', {ssCtrl}), 82);
    EXPECT_EQ(strokes.LookupKey('K', {ssCtrl}), -1) << "a two-key binding is not a single key";
    EXPECT_EQ(strokes.LookupShortCutPair(ShortCut('K', {ssCtrl}), ShortCut('B', {ssCtrl})), 82);
}

TEST(PlainEditKeyStroke, RefusesADuplicatePairOfShortCuts)
{
    using namespace plat;
    TPlainEditKeyStrokes strokes;
    strokes.ResetDefaults();
    TPlainEditKeyStroke* second = strokes.Add();
    try {
        second->SetShortCut(ShortCut('Z', {ssCtrl}));
        FAIL();
    } catch (const EPlainKeyError& e) {
        EXPECT_EQ(e.message(), "Shortcut already exists");
    }
    EXPECT_EQ(second->Key(), 0) << "the binding is unchanged";
    TPlainEditKeyStroke* undo = strokes.Items(strokes.LookupKey('Z', {ssCtrl}));
    EXPECT_NO_THROW(undo->SetShortCut(ShortCut('Z', {ssCtrl})));
    EXPECT_NO_THROW(second->SetShortCut(0));
    EXPECT_NO_THROW(strokes.Add()->SetShortCut(0)) << "several bindings may have none";
    EXPECT_EQ(ShortCut(300, {ssCtrl}), 0);
}

TEST(PlainEditKeyStroke, DisplayNameNamesCommandAndKeys)
{
    using namespace plat;
    TPlainEditKeyStrokes strokes;
    strokes.AddBinding(ecUndo, 'Z', {ssCtrl});
    EXPECT_EQ(strokes.Items(0)->GetDisplayName(), "ecUndo - Ctrl+Z");
    TPlainEditKeyStroke* two = strokes.Add();
    two->SetCommand(1234);
    two->SetShortCut(ShortCut(VK_INSERT, {ssShift}));
    two->SetShortCut2(ShortCut(VK_F1, {}));
    EXPECT_EQ(two->GetDisplayName(), "1234 - Shift+Ins F1");
}

TEST(PlainEditKeyStrokes, StreamCommandsByName)
{
    TPlainEditKeyStrokes strokes;
    strokes.AddBinding(ecDeleteLine, 'Y', {plat::ssCtrl});
    strokes.AddBinding(1500, 'Q', {plat::ssAlt});
    plat::TMemoryStream stream;
    {
        plat::TWriter writer(stream);
        writer.WriteCollection(&strokes);
    }
    EXPECT_TRUE(stream.bytes().contains("ecDeleteLine"));
    stream.SetPosition(0);
    TPlainEditKeyStrokes back;
    plat::TReader reader(stream);
    reader.ReadCollection(&back);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Items(0)->Command(), ecDeleteLine);
    EXPECT_EQ(back.Items(0)->ShortCut(), plat::ShortCut('Y', {plat::ssCtrl}));
    EXPECT_EQ(back.Items(1)->Command(), 1500) << "a number without a name stays a number";
}

TEST(PlainEditKbdHandler, RunsHandlersLastFirstAndStopsAtAClearedKey)
{
    TPlainEditKbdHandler handler;
    QStringList log;
    const auto add = [&](const char* name, bool clear) {
        handler.AddKeyDownHandler(TPlainKeyEvent(
            [&log, name, clear](plat::TObject*, quint16& key, TShiftState) {
                log << QString::fromLatin1(name);
                if (clear)
                    key = 0;
            },
            name, nullptr));
    };
    add("first", false);
    add("clears", true);
    add("last", false);
    quint16 key = 'A';
    handler.FireKeyDown(nullptr, key, {});
    EXPECT_EQ(log, (QStringList{"last", "clears"}));
    EXPECT_EQ(key, 0);
}

TEST(PlainEditKbdHandler, ANestedRunOfAChainReturnsAtOnce)
{
    TPlainEditKbdHandler handler;
    int runs = 0;
    handler.AddMouseDownHandler(TPlainMouseEvent(
        [&](plat::TObject*, plat::TMouseButton, TShiftState, int, int) {
            ++runs;
            handler.FireMouseDown(nullptr, plat::mbLeft, {}, 0, 0);
            throw plat::Exception(QStringLiteral("failed"));
        },
        &runs, nullptr));
    EXPECT_THROW(handler.FireMouseDown(nullptr, plat::mbLeft, {}, 0, 0), plat::Exception);
    EXPECT_EQ(runs, 1);
    EXPECT_THROW(handler.FireMouseDown(nullptr, plat::mbLeft, {}, 0, 0), plat::Exception)
        << "the running flag is cleared after a failure";
    EXPECT_EQ(runs, 2);
}

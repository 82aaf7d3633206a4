// Any sequence of commands, undone to the end, gives back the text it
// started from; redone to the end, the text it ended with.

#include "EditorFixture.h"

#include "ScriptedServices.h"
#include "Services.h"

#include <gtest/gtest.h>

#include <QDebug>

#include <random>

using namespace edtest;

namespace {

const QStringList& kWords()
{
    // Blanks, tabs, Czech letters, brackets, a surrogate pair and a C1 control.
    static const QStringList words = {
        QStringLiteral("abc"),   QStringLiteral("x"),  QStringLiteral("  "),        QStringLiteral("\t"),
        QStringLiteral("žluť"),  QStringLiteral("(a[b]c)"), QString::fromUtf8("\xF0\x9F\x98\x80"),
        QString::fromUtf8("\xC2\x98"), QStringLiteral("Foo_9"), QStringLiteral("š."), QStringLiteral("    int")};
    return words;
}

class Random {
public:
    explicit Random(unsigned seed) : m_gen(seed) {}
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_gen); }
    bool chance(int percent) { return below(100) < percent; }
    QString word() { return kWords()[below(int(kWords().size()))]; }
    QString line()
    {
        QString s;
        const int n = below(5);
        for (int i = 0; i < n; ++i)
            s += word() + (chance(50) ? QStringLiteral(" ") : QString());
        return s;
    }
    QString text()
    {
        QStringList lines;
        const int n = 1 + below(4);
        for (int i = 0; i < n; ++i)
            lines << line();
        return lines.join(QStringLiteral("\r\n"));
    }

private:
    std::mt19937 m_gen;
};

const TPlainEditorCommand kCommands[] = {
    ecLeft, ecRight, ecUp, ecDown, ecWordLeft, ecWordRight, ecLineStart, ecLineEnd, ecSelLeft, ecSelRight, ecSelUp,
    ecSelDown, ecSelWordLeft, ecSelWordRight, ecSelLineStart, ecSelLineEnd, ecSelPageDown, ecEditorBottom,
    ecSelEditorTop, ecSelWord, ecSelectAll, ecDeleteLastChar, ecDeleteChar, ecDeleteWord, ecDeleteLastWord,
    ecDeleteBOL, ecDeleteEOL, ecDeleteLine, ecLineBreak, ecInsertLine, ecCut, ecCopy, ecPaste, ecBlockIndent,
    ecBlockUnindent, ecTab, ecShiftTab, ecNormalSelect, ecColumnSelect, ecLineSelect, ecMatchBracket, ecUpperCase,
    ecLowerCase, ecToggleCase, ecTitleCase, ecUpperCaseBlock, ecLowerCaseBlock, ecToggleCaseBlock, ecToggleMode,
    ecUndo, ecRedo};

QString g_lastStep;

void randomStep(TCustomPlainEdit& e, Random& r, plat::ScriptedServices& clipboard)
{
    const int kind = r.below(10);
    g_lastStep = QStringLiteral("kind %1").arg(kind);
    switch (kind) {
    case 6:
        if (r.chance(50) && e.SelAvail()) {
            // Dragging the selection elsewhere in the same editor.
            g_lastStep = QStringLiteral("drag");
            const int x = e.GutterExtent() + 2 + r.below(300);
            const int y = r.below(6) * e.RowHeight();
            e.DragDrop(&e, x, y, r.chance(30) ? plat::TShiftState{plat::ssCtrl} : plat::TShiftState{});
            return;
        }
        [[fallthrough]];
    case 7:
        if (r.chance(40)) {
            g_lastStep = QStringLiteral("click");
            const int x = e.GutterExtent() + r.below(300);
            const int y = r.below(6) * e.RowHeight() + 1;
            const plat::TShiftState shift = r.chance(30) ? plat::TShiftState{plat::ssShift} : plat::TShiftState{};
            e.MouseDown(plat::mbLeft, shift + plat::TShiftState{plat::ssLeft}, x, y);
            e.MouseMove(shift + plat::TShiftState{plat::ssLeft}, x + r.below(60), y + r.below(3) * e.RowHeight());
            e.MouseUp(plat::mbLeft, shift, x, y);
            return;
        }
        if (r.chance(30)) {
            g_lastStep = QStringLiteral("marker");
            e.CommandProcessor(TPlainEditorCommand((r.chance(50) ? ecSetMarker0 : ecGotoMarker0) + r.below(3)), QChar(0));
            return;
        }
        [[fallthrough]];
    case 0:
    case 1: {
        const QString w = r.word();
        g_lastStep = QStringLiteral("type \"%1\"").arg(w);
        for (QChar c : w) {
            if (!c.isSurrogate())
                e.CommandProcessor(ecChar, c);
        }
        return;
    }
    case 2:
        e.CommandProcessor(ecImeStr, QChar(0), r.word());
        return;
    case 3: {
        const int line = 1 + r.below(std::max(1, e.LineCount() + 1));
        const TBufferCoord p{1 + r.below(12), line};
        const TBufferCoord q{1 + r.below(12), 1 + r.below(std::max(1, e.LineCount()))};
        e.SetCaretAndSel(r.chance(50) ? p : q, p, r.chance(70) ? q : p);
        return;
    }
    case 4: {
        // Something on the clipboard, sometimes in the editor's own format.
        const QString text = r.chance(50) ? r.text() : r.word();
        g_lastStep = QStringLiteral("paste \"%1\"").arg(text);
        if (r.chance(50)) {
            QByteArray block(1, char(r.below(3)));
            g_lastStep += QStringLiteral(" block %1").arg(int(block.at(0)));
            block += text.toUtf8();
            block += '\0';
            clipboard.SetClipboardData(kPlainEditClipboardFormat, block, text);
        } else {
            clipboard.SetClipboardText(text);
        }
        e.CommandProcessor(ecPaste, QChar(0));
        return;
    }
    case 5:
        g_lastStep = QStringLiteral("replacesel");
        e.EmReplaceSel(true, r.chance(50) ? r.word() : r.text());
        return;
    default: {
        const TPlainEditorCommand c = kCommands[r.below(int(std::size(kCommands)))];
        g_lastStep = CommandToCodeString(c);
        e.CommandProcessor(c, QChar(0));
        return;
    }
    }
}

// Tracing a failing seed by hand (EDITOR_TRACE): the editor with its marks
// and the newest records of an undo or redo list.
void traceEditor(const QString& title, const TCustomPlainEdit& e)
{
    qDebug().noquote() << "----" << title << "\n"
                       << dumpEditor(e) << "\nmode" << e.ActiveSelMode() << "anchor" << e.SelAnchor().Char
                       << e.SelAnchor().Line << "head" << e.SelHead().Char << e.SelHead().Line << "options" << Qt::hex
                       << e.Options().mask();
}

void traceList(const QString& title, const TPlainEditUndoList& list, int newest)
{
    qDebug().noquote() << title << reasons(list);
    for (int j = std::max(0, list.ItemCount() - newest); j < list.ItemCount(); ++j) {
        const TPlainEditUndoItem& it = list.Item(j);
        qDebug() << "  " << UndoReasonName(it.Reason) << it.StartPos.Char << it.StartPos.Line << it.EndPos.Char
                 << it.EndPos.Line << it.ChangeText << it.SelectionMode << it.ChangeNumber;
    }
}

struct Run {
    QString start;
    QString end;
    QString undone;
    QString redone;
    bool undoEmptied = false;
    bool redoEmptied = false;
};

Run runSeed(unsigned seed, bool wordWrap, bool window, int limit = -1, bool trace = false)
{
    Random r(seed);
    plat::ScriptedServices services;
    plat::ScopedServices scope(services);
    FakeView view;
    view.width = 200 + r.below(400);
    TCustomPlainEdit e;
    if (window)
        e.SetView(&view);
    TPlainEditorOptions options = e.Options();
    const TPlainEditorOption toggles[] = {eoAutoIndent,     eoScrollPastEol,  eoTabsToSpaces,   eoSmartTabs,
                                          eoSmartTabDelete, eoGroupUndo,      eoTabIndent,      eoKeepCaretX,
                                          eoEnhanceHomeKey, eoEnhanceEndKey,  eoScrollPastEof,  eoAltSetsColumnMode,
                                          eoAutoSizeMaxScrollWidth, eoDragDropEditing};
    for (TPlainEditorOption o : toggles) {
        if (r.chance(30))
            options.set(o, !options.contains(o));
    }
    e.SetOptions(options);
    e.SetTabWidth(1 + r.below(9));
    e.SetInsertMode(r.chance(80));
    if (r.chance(20))
        e.SetMaxScrollWidth(5 + r.below(30));
    e.SetText(r.text());
    e.SetWordWrap(wordWrap);
    e.SetSelectionMode(TPlainSelectionMode(r.below(3)));
    Run run;
    run.start = e.Text();
    int steps = 25 + r.below(25);
    if (limit >= 0)
        steps = std::min(steps, limit);
    for (int i = 0; i < steps; ++i) {
        if (trace)
            traceEditor(QStringLiteral("before step %1").arg(i), e);
        randomStep(e, r, services);
        if (trace)
            traceList(QStringLiteral("step %1: %2, undo").arg(i).arg(g_lastStep), *e.UndoList(), 4);
    }
    run.end = e.Text();
    // Undos among the steps leave steps to redo beyond the end; those stay.
    const int redoAtEnd = e.RedoList()->ItemCount();
    e.SetReadOnlyProp(false);
    for (int i = 0; i < 5000 && e.UndoList()->CanUndo(); ++i) {
        e.Undo();
        if (trace) {
            traceEditor(QStringLiteral("after undo"), e);
            traceList(QStringLiteral("redo"), *e.RedoList(), e.RedoList()->ItemCount());
        }
    }
    run.undoEmptied = !e.UndoList()->CanUndo();
    run.undone = e.Text();
    for (int i = 0; i < 5000 && e.RedoList()->ItemCount() > redoAtEnd; ++i) {
        e.Redo();
        if (trace) {
            traceEditor(QStringLiteral("after redo"), e);
            traceList(QStringLiteral("undo"), *e.UndoList(), 7);
        }
    }
    run.redoEmptied = e.RedoList()->ItemCount() <= redoAtEnd;
    run.redone = e.Text();
    return run;
}

// The shortest prefix of a seed's steps that breaks undo, traced.
void traceFailure(unsigned seed, bool wordWrap, bool window)
{
    for (int k = 1; k < 60; ++k) {
        const Run run = runSeed(seed, wordWrap, window, k);
        if (run.undone != run.start || run.redone != run.end || !run.undoEmptied) {
            runSeed(seed, wordWrap, window, k, true);
            const Run again = runSeed(seed, wordWrap, window, k);
            qDebug().noquote() << "start:\n" << again.start << "\nend:\n" << again.end << "\nundone:\n" << again.undone
                               << "\nredone:\n" << again.redone;
            return;
        }
    }
}

void checkSeeds(bool wordWrap, bool window, unsigned first, unsigned count)
{
    // More seeds on request, for a longer search by hand.
    if (qEnvironmentVariableIsSet("EDITOR_SEEDS"))
        count = qEnvironmentVariableIntValue("EDITOR_SEEDS");
    for (unsigned seed = first; seed < first + count; ++seed) {
        const Run run = runSeed(seed, wordWrap, window);
        if ((run.undone != run.start || run.redone != run.end) && qEnvironmentVariableIsSet("EDITOR_TRACE"))
            traceFailure(seed, wordWrap, window);
        ASSERT_TRUE(run.undoEmptied) << "seed " << seed;
        ASSERT_EQ(run.undone, run.start) << "seed " << seed << "\nended as:\n" << run.end.toStdString();
        ASSERT_TRUE(run.redoEmptied) << "seed " << seed;
        ASSERT_EQ(run.redone, run.end) << "seed " << seed << "\nstarted as:\n" << run.start.toStdString();
    }
}

} // namespace

TEST(EditorProperty, UndoAllRestoresTheTextAndRedoAllRepeatsIt) { checkSeeds(false, true, 1, 150); }

TEST(EditorProperty, WithoutAWindow) { checkSeeds(false, false, 1001, 100); }

TEST(EditorProperty, WithWordWrap) { checkSeeds(true, true, 2001, 100); }

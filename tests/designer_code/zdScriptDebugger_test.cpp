// The designer's script debugger without a window system: a run previews
// the report through the modal runner, stops at breakpoints, steps, runs on
// and stops; the evaluate window shows values of the paused run; the
// designer model refuses tree-replacing commands while a run is in
// progress.

#include "CodeTestUtil.h"
#include "zdEvaluate.h"
#include "zdPreviewForm.h"
#include "zdScriptDebugger.h"
#include "zdSyntaxMemo.h"
#include "zdWatches.h"
#include "zs_script.h"

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace {

// What a stop showed.
struct StopSeen {
    int line = 0;
    int activeLine = 0;
    bool paused = false;
    bool openEnabled = true;
    QString x;
};

// Runs the debugger with the preview prepared inside the modal runner; at
// every stop the state is recorded and the next queued action runs (from
// the pause's own event loop, as a user's command would).
struct Debug : ::testing::Test, codetest::CodeFixture {
    std::vector<StopSeen> stops;
    std::deque<std::function<void()>> actions;
    int previews = 0;

    Debug()
    {
        zd::ScriptDebugger& d = debugger();
        auto refresh = d.OnRefreshWatches;
        d.OnRefreshWatches = [this, refresh] {
            if (refresh)
                refresh();
            StopSeen s;
            s.line = debugger().PausedLine();
            s.activeLine = editor().ActiveLine();
            s.paused = debugger().Paused();
            s.openEnabled = model->IsEnabled(QStringLiteral("OpenCmd"));
            s.x = zd::FormatWatchValue(report.Script(), QStringLiteral("X"));
            stops.push_back(s);
            QTimer::singleShot(0, [this] {
                if (actions.empty()) {
                    debugger().Stop();
                    return;
                }
                auto a = std::move(actions.front());
                actions.pop_front();
                a();
            });
        };
    }
    zd::ScriptDebugger& debugger() { return page->Debugger(); }
    zd::SyntaxMemoModel& editor() { return page->CodeWindow()->Model(); }
    std::vector<int> lines() const
    {
        std::vector<int> l;
        for (const StopSeen& s : stops)
            l.push_back(s.line);
        return l;
    }
    // Command is Run, Step or Run to Cursor started from idle.
    void start(const std::function<void()>& Command)
    {
        plat::ScopedModalRunner runner([this](QDialog& dialog) {
            if (dialog.findChild<TzdPreviewForm*>()) {
                ++previews;
                report.PrepareOnTimer();
            }
            return int(QDialog::Rejected);
        });
        Command();
    }
};

} // namespace

TEST_F(Debug, RunWithABreakpointInTheHandlerStopsThereAndShowsTheLine)
{
    editor().AddBreakpoint(codetest::kHandlerFirstLine, {});
    actions.push_back([this] { debugger().Run(); });
    start([this] { debugger().Run(); });
    EXPECT_EQ(previews, 1);
    ASSERT_EQ(lines(), std::vector<int>{codetest::kHandlerFirstLine});
    EXPECT_TRUE(stops[0].paused);
    EXPECT_EQ(stops[0].activeLine, codetest::kHandlerFirstLine);
    // The main block ran before the handler; the handler's line has not.
    EXPECT_EQ(stops[0].x, QStringLiteral("41"));
    // The run went on to its end: the memo shows the handler's value.
    EXPECT_FALSE(debugger().Running());
    EXPECT_EQ(report.Script()->Evaluate(QStringLiteral("X")).toInteger(), 42);
    EXPECT_EQ(editor().ActiveLine(), -1);
    EXPECT_FALSE(editor().ExecutableLine(codetest::kHandlerFirstLine));
}

TEST_F(Debug, RunWithoutBreakpointsPreviewsWithoutStopping)
{
    start([this] { debugger().Run(); });
    EXPECT_EQ(previews, 1);
    EXPECT_TRUE(stops.empty());
    EXPECT_FALSE(debugger().Running());
}

TEST_F(Debug, StepFromIdleStopsAtTheFirstLineAndAgainAtEachNextOne)
{
    actions.push_back([this] { debugger().Step(); });
    actions.push_back([this] { debugger().Step(); });
    actions.push_back([this] { debugger().Run(); });
    start([this] { debugger().Step(); });
    EXPECT_EQ(lines(), (std::vector<int>{codetest::kMainLine, codetest::kHandlerFirstLine,
                                         codetest::kHandlerSecondLine}));
    EXPECT_EQ(stops[2].x, QStringLiteral("42"));
    EXPECT_FALSE(debugger().StepMode());
}

TEST_F(Debug, TheFirstStopFlagsTheExecutableLines)
{
    bool mainFlagged = false, varFlagged = true, blankFlagged = true;
    actions.push_back([&] {
        mainFlagged = editor().ExecutableLine(codetest::kMainLine);
        varFlagged = editor().ExecutableLine(1);
        blankFlagged = editor().ExecutableLine(7);
        debugger().Run();
    });
    start([this] { debugger().Step(); });
    EXPECT_TRUE(mainFlagged);
    EXPECT_FALSE(varFlagged);
    EXPECT_FALSE(blankFlagged);
}

TEST_F(Debug, StepModeOutlivesARunThatEndedWhileStepping)
{
    // The run is left with Step as its last command, so step mode stays on.
    for (int i = 0; i < 3; ++i)
        actions.push_back([this] { debugger().Step(); });
    start([this] { debugger().Step(); });
    ASSERT_EQ(lines().size(), 3u);
    ASSERT_TRUE(debugger().StepMode());
    actions.clear();
    stops.clear();
    // A new Run with a breakpoint then stops at the first line, not only
    // at the breakpoint; Run while paused clears step mode.
    editor().AddBreakpoint(codetest::kHandlerSecondLine, {});
    actions.push_back([this] { debugger().Run(); });
    actions.push_back([this] { debugger().Run(); });
    start([this] { debugger().Run(); });
    EXPECT_EQ(lines(), (std::vector<int>{codetest::kMainLine, codetest::kHandlerSecondLine}));
    EXPECT_FALSE(debugger().StepMode());
}

TEST_F(Debug, RunToCursorStopsOnceAndRemovesItsBreakpoint)
{
    editor().SetCaretPos(3, codetest::kHandlerSecondLine);
    actions.push_back([this] { debugger().Run(); });
    start([this] { debugger().RunToCursor(); });
    EXPECT_EQ(lines(), std::vector<int>{codetest::kHandlerSecondLine});
    EXPECT_FALSE(editor().HasBreakpoints());
}

TEST_F(Debug, StopWhilePausedEndsTheRunAndTheReport)
{
    editor().AddBreakpoint(codetest::kHandlerFirstLine, {});
    actions.push_back([this] { debugger().Stop(); });
    start([this] { debugger().Run(); });
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_TRUE(report.Terminated);
    EXPECT_FALSE(debugger().Running());
    EXPECT_EQ(editor().ActiveLine(), -1);
    // The handler's line never ran.
    EXPECT_EQ(report.Script()->Evaluate(QStringLiteral("X")).toInteger(), 41);
}

TEST_F(Debug, TreeReplacingCommandsAreRefusedWhilePausedAndAllowedAfter)
{
    const QStringList locked = {QStringLiteral("OpenCmd"),         QStringLiteral("NewReportCmd"),
                                QStringLiteral("NewItemCmd"),      QStringLiteral("UndoCmd"),
                                QStringLiteral("RedoCmd"),         QStringLiteral("DeletePageCmd"),
                                QStringLiteral("PageSettingsCmd"), QStringLiteral("ReportDataCmd"),
                                QStringLiteral("VariablesCmd"),    QStringLiteral("LangCB")};
    QStringList enabledWhilePaused;
    bool newReportRan = true, openRan = true, langEnabled = true;
    editor().AddBreakpoint(codetest::kHandlerFirstLine, {});
    actions.push_back([&] {
        for (const QString& name : locked)
            if (model->IsEnabled(name))
                enabledWhilePaused << name;
        newReportRan = model->NewReport();
        openRan = model->Open(QStringLiteral("/nonexistent.zd3"));
        langEnabled = page->LangCB()->isEnabled();
        debugger().Run();
    });
    start([this] { debugger().Run(); });
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_FALSE(stops[0].openEnabled);
    EXPECT_TRUE(enabledWhilePaused.isEmpty()) << enabledWhilePaused.join(u' ').toStdString();
    EXPECT_FALSE(newReportRan);
    EXPECT_FALSE(openRan);
    EXPECT_FALSE(langEnabled);
    // The tree the run used is still there.
    EXPECT_NE(report.FindObject(QStringLiteral("Memo1")), nullptr);
    EXPECT_TRUE(model->IsEnabled(QStringLiteral("OpenCmd")));
    EXPECT_TRUE(model->IsEnabled(QStringLiteral("NewReportCmd")));
    EXPECT_TRUE(page->LangCB()->isEnabled());
}

TEST_F(Debug, TheEvaluateWindowShowsAVariableOfThePausedRun)
{
    QString result;
    editor().AddBreakpoint(codetest::kHandlerSecondLine, {});
    actions.push_back([&] {
        plat::ScopedModalRunner evaluate([&](QDialog& dialog) {
            auto* form = dynamic_cast<TzdEvaluateForm*>(&dialog);
            if (!form)
                return int(QDialog::Rejected);
            form->show();
            form->ExpressionE()->setText(QStringLiteral("X"));
            QTest::keyClick(form->ExpressionE(), Qt::Key_Return);
            result = form->ResultM()->toPlainText();
            return int(QDialog::Rejected);
        });
        page->Evaluate();
        debugger().Run();
    });
    start([this] { debugger().Run(); });
    EXPECT_EQ(result, QStringLiteral("42"));
}

TEST_F(Debug, ClosingThePreviewWhilePausedEndsTheRun)
{
    editor().AddBreakpoint(codetest::kHandlerFirstLine, {});
    actions.push_back([this] {
        TzdPreviewForm* form = TzdPreviewForm::FromWindowRef(report.PreviewWindow);
        ASSERT_NE(form, nullptr);
        form->close();
    });
    start([this] { debugger().Run(); });
    EXPECT_EQ(stops.size(), 1u);
    EXPECT_FALSE(debugger().Running());
    EXPECT_TRUE(report.Terminated);
}

TEST_F(Debug, FreeingTheCodePageWhilePausedEndsTheRunSafely)
{
    editor().AddBreakpoint(codetest::kHandlerFirstLine, {});
    actions.push_back([this] { page.reset(); });
    start([this] { debugger().Run(); });
    EXPECT_EQ(stops.size(), 1u);
    EXPECT_TRUE(report.Terminated);
    EXPECT_FALSE(model->ScriptRunning);
    EXPECT_TRUE(model->IsEnabled(QStringLiteral("OpenCmd")));
}

TEST_F(Debug, WatchesShowValuesOnlyWhilePaused)
{
    TzdWatchForm* watches = page->WatchForm();
    watches->Watches = {{QStringLiteral("X"), true}, {QStringLiteral("X + 1"), false}};
    watches->Refresh();
    EXPECT_EQ(watches->WatchLB()->item(0)->text(), QStringLiteral("X: not accessible"));
    EXPECT_EQ(watches->WatchLB()->item(1)->text(), QStringLiteral("X + 1: disabled"));
    QString seen;
    editor().AddBreakpoint(codetest::kHandlerSecondLine, {});
    actions.push_back([&] {
        seen = watches->WatchLB()->item(0)->text();
        debugger().Run();
    });
    start([this] { debugger().Run(); });
    EXPECT_EQ(seen, QStringLiteral("X: 42"));
}

TEST(FormatWatchValue, ValuesAreShownAsTheirKindsAndFailuresAsMessages)
{
    codetest::startUnits();
    TzsScript script;
    script.AddRTTI();
    script.Lines.SetText(QStringLiteral("var S: String; B: Boolean;\nbegin S := 'x'; B := True; end."));
    ASSERT_TRUE(script.Compile());
    script.Execute();
    struct Case {
        const char* expression;
        const char* text;
    };
    for (const Case c : {Case{"S", "'x'"}, Case{"B", "True"}, Case{"not B", "False"}, Case{"Null", "Null"},
                         Case{"1 + 2", "3"}}) {
        EXPECT_EQ(zd::FormatWatchValue(&script, QString::fromLatin1(c.expression)), QString::fromLatin1(c.text))
            << c.expression;
    }
    // A bad expression gives a message, and nothing is raised.
    EXPECT_FALSE(zd::FormatWatchValue(&script, QStringLiteral("S +* )")).isEmpty());
    EXPECT_EQ(zd::FormatWatchValue(nullptr, QStringLiteral("S")), QStringLiteral("not accessible"));
}

TEST(EvaluateForm, EnterWithNoRunPausedShowsAMessageInsteadOfRaising)
{
    codetest::startUnits();
    TzdEvaluateForm form;
    form.show();
    form.ExpressionE()->setText(QStringLiteral("X"));
    QTest::keyClick(form.ExpressionE(), Qt::Key_Return);
    EXPECT_EQ(form.ResultM()->toPlainText(), QStringLiteral("not accessible"));
}

TEST(DesignerModelLock, ARunInProgressRefusesOnlyTheCommandsThatReplaceTheTree)
{
    codetest::CodeFixture f;
    f.model->SelectTab(2);
    const int pages = f.report.GetPageCount();
    f.model->ScriptRunning = true;
    EXPECT_TRUE(f.model->IsEnabled(QStringLiteral("PreviewCmd")));
    EXPECT_TRUE(f.model->IsEnabled(QStringLiteral("FindCmd")));
    EXPECT_FALSE(f.model->IsEnabled(QStringLiteral("DeleteCmd")));
    EXPECT_FALSE(f.model->DeletePage());
    EXPECT_FALSE(f.model->NewPage());
    EXPECT_EQ(f.report.GetPageCount(), pages);
    f.model->ScriptRunning = false;
    EXPECT_TRUE(f.model->IsEnabled(QStringLiteral("OpenCmd")));
    EXPECT_TRUE(f.model->NewPage());
    EXPECT_EQ(f.report.GetPageCount(), pages + 1);
}

#pragma once
// Running the report's script from the designer: Run, Step, Run to Cursor
// and Stop while the preview runs the report, breakpoints of the code
// editor, and the pause at a line. The run happens on the user-interface
// thread inside the preview; a pause is a nested event loop in the script's
// run-line handler, left when the user goes on (Run, Step, Run to Cursor,
// Stop), when the preview window closes, when the debugger is freed with
// its designer, or when the program quits. While a run is in progress the
// designer model refuses the commands that would free objects the run uses.

#include <QString>

#include <functional>
#include <memory>

class QEventLoop;
class QObject;
class TzdReport;
class TzsScript;

namespace zd {

class DesignerModel;
class SyntaxMemoModel;

class ScriptDebugger {
public:
    ScriptDebugger(DesignerModel& Model, SyntaxMemoModel& Editor);
    ~ScriptDebugger();
    ScriptDebugger(const ScriptDebugger&) = delete;
    ScriptDebugger& operator=(const ScriptDebugger&) = delete;

    bool Running() const { return m_running; }
    bool Paused() const { return m_paused; }
    bool StepMode() const { return m_stepMode; }
    // The script that waits at a line (the report's script or a procedure
    // body of it); nullptr when no run is paused.
    TzsScript* PausedScript() const { return m_pausedScript; }
    int PausedLine() const { return m_pausedLine; }

    void Run();
    void Step();
    void RunToCursor();
    void Stop();
    void ToggleBreakpoint();

    // Runs the report with the editor's script in a modal preview. The
    // default copies the editor's lines into the report, compiles (on an
    // error the editor shows it at its place and nothing runs) and shows
    // the report; the designer's own Preview command may take its place.
    std::function<void()> Preview;
    // The window shows the code page (a stop at a line).
    std::function<void()> OnShowCodePage;
    // The designer window is enabled (paused) or disabled (running on).
    std::function<void(bool Enabled)> OnEnableWindow;
    // Running or paused changed: the toolbar follows.
    std::function<void()> OnStateChanged;
    // At each stop: the watches evaluate again.
    std::function<void()> OnRefreshWatches;

private:
    void startRun(bool AttachHandler);
    void attach();
    void detach();
    void resume();
    void runLine(TzsScript* Sender, const QString& UnitName, const QString& SourcePos);
    void defaultPreview();
    void stateChanged();

    DesignerModel& m_model;
    SyntaxMemoModel& m_editor;
    bool m_running = false;
    bool m_paused = false;
    bool m_firstStop = false;
    bool m_stepMode = false;
    TzsScript* m_pausedScript = nullptr;
    int m_pausedLine = 0;
    QEventLoop* m_loop = nullptr;
    // Cleared when the debugger is freed: a pause left because of it must
    // not touch the freed object.
    std::shared_ptr<bool> m_alive;
    std::unique_ptr<QObject> m_quitWatch;
};

} // namespace zd

#include "zdScriptDebugger.h"

#include "Modal.h"
#include "zdClass_options.h"
#include "zdClass_report.h"
#include "zdDesignerModel.h"
#include "zdPreviewForm.h"
#include "zdSyntaxMemoModel.h"
#include "zs_script.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>

namespace zd {

namespace {

constexpr const char* kRunToCursorTag = "F4";

// Parses the engine's "line:column" position.
void splitDebugPosition(const QString& Pos, int& Line, int& Column)
{
    Line = Pos.section(u':', 0, 0).toInt();
    Column = Pos.section(u':', 1, 1).toInt();
    if (Column < 1)
        Column = 1;
}

// Ends a pause when the window it watches hides, closes or goes away.
class PauseEnder : public QObject {
public:
    explicit PauseEnder(std::function<void()> End) : m_end(std::move(End)) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Hide || event->type() == QEvent::Close)
            m_end();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_end;
};

} // namespace

ScriptDebugger::ScriptDebugger(DesignerModel& Model, SyntaxMemoModel& Editor)
    : m_model(Model), m_editor(Editor), m_alive(std::make_shared<bool>(true))
{
    Preview = [this] { defaultPreview(); };
    if (QCoreApplication* app = QCoreApplication::instance()) {
        m_quitWatch = std::make_unique<QObject>();
        QObject::connect(app, &QCoreApplication::aboutToQuit, m_quitWatch.get(), [this] {
            if (m_running)
                Stop();
        });
    }
}

ScriptDebugger::~ScriptDebugger()
{
    *m_alive = false;
    if (m_running) {
        // The designer goes away under a paused run: the run ends.
        if (TzsScript* script = m_model.report()->Script())
            script->OnRunLine = {};
        m_model.report()->SetTerminated(true);
        m_model.ScriptRunning = false;
    }
    if (m_loop)
        m_loop->quit();
}

void ScriptDebugger::stateChanged()
{
    m_model.ScriptRunning = m_running;
    if (OnStateChanged)
        OnStateChanged();
}

void ScriptDebugger::attach()
{
    if (TzsScript* script = m_model.report()->Script())
        script->OnRunLine = [this](TzsScript* Sender, const QString& UnitName, const QString& SourcePos) {
            runLine(Sender, UnitName, SourcePos);
        };
}

void ScriptDebugger::detach()
{
    if (TzsScript* script = m_model.report()->Script())
        script->OnRunLine = {};
}

void ScriptDebugger::resume()
{
    m_paused = false;
    if (m_loop)
        m_loop->quit();
}

void ScriptDebugger::Run()
{
    if (m_running) {
        if (!m_paused)
            return;
        m_stepMode = false;
        if (!m_editor.HasBreakpoints())
            detach();
        resume();
        return;
    }
    startRun(m_editor.HasBreakpoints());
}

void ScriptDebugger::Step()
{
    if (m_running) {
        if (!m_paused)
            return;
        m_stepMode = true;
        resume();
        return;
    }
    m_stepMode = true;
    startRun(true);
}

void ScriptDebugger::RunToCursor()
{
    m_editor.AddBreakpoint(m_editor.CaretPos().line, QString::fromLatin1(kRunToCursorTag));
    if (m_running) {
        if (!m_paused)
            return;
        m_stepMode = false;
        resume();
        return;
    }
    startRun(true);
}

void ScriptDebugger::Stop()
{
    if (!m_running)
        return;
    detach();
    TzdReport* report = m_model.report();
    if (TzsScript* script = report->Script())
        script->Terminate();
    report->SetTerminated(true);
    resume();
}

void ScriptDebugger::ToggleBreakpoint() { m_editor.ToggleBreakpoint(m_editor.CaretPos().line, QString()); }

void ScriptDebugger::startRun(bool AttachHandler)
{
    if (AttachHandler)
        attach();
    m_running = true;
    m_firstStop = true;
    stateChanged();
    if (OnEnableWindow)
        OnEnableWindow(false);
    const std::shared_ptr<bool> alive = m_alive;
    try {
        if (Preview)
            Preview();
    } catch (...) {
        // The preview reports its own errors; the run is over either way.
    }
    if (!*alive)
        return;
    m_running = false;
    m_paused = false;
    detach();
    m_editor.ClearExecutableLines();
    m_editor.SetActiveLine(-1);
    if (OnEnableWindow)
        OnEnableWindow(true);
    stateChanged();
}

void ScriptDebugger::runLine(TzsScript* Sender, const QString& UnitName, const QString& SourcePos)
{
    // Lines of included units are not the editor's lines.
    if (!UnitName.isEmpty() || m_paused)
        return;
    int line = 0, column = 1;
    splitDebugPosition(SourcePos, line, column);
    if (!m_stepMode && m_editor.HasBreakpoints() && !m_editor.IsBreakpoint(line))
        return;
    if (m_editor.BreakpointCondition(line) == QLatin1String(kRunToCursorTag))
        m_editor.DeleteBreakpoint(line);
    TzdReport* report = m_model.report();
    if (m_firstStop) {
        if (TzsScript* script = report->Script())
            for (int i = 1; i <= m_editor.LineCount(); ++i)
                m_editor.SetExecutableLine(i, script->IsExecutableLine(i));
        m_firstStop = false;
    }
    if (OnEnableWindow)
        OnEnableWindow(true);
    if (OnShowCodePage)
        OnShowCodePage();
    m_editor.SetActiveLine(line);
    m_editor.SetCaretPos(column, line);
    m_pausedScript = Sender;
    m_pausedLine = line;
    m_paused = true;
    if (OnRefreshWatches)
        OnRefreshWatches();
    stateChanged();

    const std::shared_ptr<bool> alive = m_alive;
    QEventLoop loop;
    m_loop = &loop;
    // Closing the preview while paused ends the run.
    PauseEnder ender([this] { Stop(); });
    QPointer<QObject> form;
    if (TzdPreviewForm* f = TzdPreviewForm::FromWindowRef(report->PreviewWindow)) {
        form = f;
        f->installEventFilter(&ender);
        QObject::connect(f, &QObject::destroyed, &loop, [this] { Stop(); });
    }
    if (m_paused && QCoreApplication::instance() && !QCoreApplication::closingDown())
        loop.exec();
    if (!*alive)
        return;
    if (form)
        form->removeEventFilter(&ender);
    m_loop = nullptr;
    // A loop left by the program quitting leaves the run paused: end it.
    if (m_paused)
        Stop();
    m_pausedScript = nullptr;
    m_pausedLine = 0;
    if (m_running && OnEnableWindow)
        OnEnableWindow(false);
    stateChanged();
}

void ScriptDebugger::defaultPreview()
{
    TzdReport* report = m_model.report();
    report->ScriptText()->SetText(m_editor.Lines().join(QStringLiteral("\r\n")));
    if (!report->CompileScript()) {
        TzsScript* script = report->Script();
        int line = 1, column = 1;
        splitDebugPosition(script->ErrorPosition, line, column);
        if (OnShowCodePage)
            OnShowCodePage();
        m_editor.SetCaretPos(column, std::max(line, 1));
        m_editor.SetMessageText(script->ErrorMessage);
        return;
    }
    TzdPreviewOptions* options = report->PreviewOptions();
    const bool modal = options->Modal;
    options->Modal = true;
    // The preview blocks no other window by itself: the debugger disables
    // the designer while the run goes on and enables it while paused.
    plat::ModalRunner previous;
    plat::ModalRunner mine = [&previous](QDialog& dialog) {
        dialog.setWindowModality(Qt::WindowModal);
        plat::ModalRunner self = plat::SetModalRunner(previous);
        const int result = plat::ExecModal(dialog);
        plat::SetModalRunner(std::move(self));
        return result;
    };
    previous = plat::SetModalRunner(mine);
    struct Restore {
        TzdPreviewOptions* options;
        bool modal;
        plat::ModalRunner& previous;
        ~Restore()
        {
            options->Modal = modal;
            plat::SetModalRunner(previous);
        }
    } restore{options, modal, previous};
    report->ShowReport(true);
}

} // namespace zd

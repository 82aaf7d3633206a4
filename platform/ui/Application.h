#pragma once
// The application object: title, program file, the one ProcessMessages
// hook, the guard that keeps exceptions out of the event loop, the busy
// cursor guard and timers.

#include "Controls.h"
#include "Objects.h"
#include "TypeInfo.h"

#include <QString>

#include <exception>
#include <functional>
#include <memory>

namespace plat {

class Exception;

// A component without owner, so that scripts reach it as an object.
class TApplication : public TComponent {
    PLAT_CLASS(TApplication, TComponent)
public:
    TApplication();
    ~TApplication() override;

    // The program's windows go to the task bar and come back.
    void Minimize();
    void Restore();

    // The caption of the program's message boxes; the program file's base
    // name until set.
    QString Title() const;
    void SetTitle(const QString& title);
    // The program file, absolute, and its folder with a trailing '/'.
    QString ExeName() const;
    QString ProgramFolder() const;

    // Lets pending events run (the platform's ProcessMessages). Everything
    // that pumps events goes through here; tests replace the hook.
    void ProcessMessages();
    using ProcessMessagesHook = std::function<void()>;
    // Returns the previous hook; an empty hook restores the default
    // (the Qt event loop's pending events, when there is an application).
    ProcessMessagesHook SetProcessMessagesHook(ProcessMessagesHook hook);
    // True while ProcessMessages runs (nested calls are counted).
    bool InProcessMessages() const { return m_pumpDepth > 0; }

    // The default error box: the message (a full stop added when it ends in
    // a letter or digit) in an MB_OK | MB_ICONSTOP box captioned Title.
    void ShowException(const Exception& e);
    // Handles the exception in flight: OnException when set, else the
    // default error box. EAbort is silent.
    void HandleException(std::exception_ptr error);
    std::function<void(const Exception& e)> OnException;

    // Runs an event handler and keeps any exception from escaping into the
    // event loop; returns false when one was handled.
    template <class F>
    bool Guard(F&& handler) noexcept
    {
        try {
            std::forward<F>(handler)();
            return true;
        } catch (...) {
            HandleExceptionNoThrow(std::current_exception());
            return false;
        }
    }

    // MessageBox through the services, captioned Title when caption is empty.
    int MessageBox(const QString& text, const QString& caption = {}, unsigned flags = 0);

    bool Terminated() const { return m_terminated; }
    void Terminate();

    // The screen cursor (the platform's Screen.Cursor), through the services'
    // busy cursor for crHourGlass and crSQLWait.
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor cursor);

private:
    void HandleExceptionNoThrow(std::exception_ptr error) noexcept;

    QString m_title;
    ProcessMessagesHook m_hook;
    int m_pumpDepth = 0;
    bool m_terminated = false;
    TCursor m_cursor = crDefault;
};

// The process-wide application object.
TApplication& Application();

// Sets the hourglass cursor for its lifetime and puts the previous cursor
// back on every path; nests.
class THourglass {
public:
    THourglass();
    ~THourglass();
    THourglass(const THourglass&) = delete;
    THourglass& operator=(const THourglass&) = delete;

private:
    TCursor m_previous;
};

// A timer component firing OnTimer every Interval milliseconds while
// Enabled; handlers run under the application's guard.
class TTimer : public TComponent {
    PLAT_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    int Interval() const { return m_interval; }
    void SetInterval(int ms);
    TNotifyEvent OnTimer;
    void SetOnTimer(const TNotifyEvent& e);

    // Fires the event once, as an expired interval would (for tests).
    void Fire();

private:
    void update();
    struct Impl;
    std::unique_ptr<Impl> d;
    bool m_enabled = true;
    int m_interval = 1000;
};

} // namespace plat

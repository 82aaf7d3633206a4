#include "Application.h"

#include <QApplication>
#include <QWidget>

#include "Exceptions.h"
#include "Services.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

namespace plat {

PLAT_DEFINE_CLASS(TApplication, c) { (void)c; }

TApplication::TApplication() : TComponent(nullptr) {}
TApplication::~TApplication() = default;

void TApplication::Minimize()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            w->showMinimized();
}

void TApplication::Restore()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isMinimized())
            w->showNormal();
}

TApplication& Application()
{
    static TApplication app;
    return app;
}

QString TApplication::ExeName() const
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString TApplication::ProgramFolder() const
{
    QString dir = QFileInfo(ExeName()).absolutePath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString TApplication::Title() const
{
    if (!m_title.isEmpty())
        return m_title;
    return QFileInfo(ExeName()).completeBaseName();
}

void TApplication::SetTitle(const QString& title) { m_title = title; }

void TApplication::ProcessMessages()
{
    ++m_pumpDepth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{m_pumpDepth};
    if (m_hook)
        m_hook();
    else if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

TApplication::ProcessMessagesHook TApplication::SetProcessMessagesHook(ProcessMessagesHook hook)
{
    ProcessMessagesHook previous = std::move(m_hook);
    m_hook = std::move(hook);
    return previous;
}

static QString withFullStop(QString text)
{
    // The platform adds a full stop unless the text already ends in punctuation.
    if (!text.isEmpty() && text.back().unicode() > '.')
        text += QLatin1Char('.');
    return text;
}

void TApplication::ShowException(const Exception& e)
{
    if (!HasServices())
        return; // nothing to show on; the caller has already been protected
    Services().MessageBox(withFullStop(e.message()), Title(), MB_OK | MB_ICONSTOP);
}

void TApplication::HandleException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        // silent by design
    } catch (const Exception& e) {
        if (OnException)
            OnException(e);
        else
            ShowException(e);
    } catch (const std::exception& e) {
        const Exception wrapped(QString::fromLocal8Bit(e.what()));
        if (OnException)
            OnException(wrapped);
        else
            ShowException(wrapped);
    } catch (...) {
        const Exception wrapped(QStringLiteral("Unknown error"));
        if (OnException)
            OnException(wrapped);
        else
            ShowException(wrapped);
    }
}

void TApplication::HandleExceptionNoThrow(std::exception_ptr error) noexcept
{
    try {
        HandleException(error);
    } catch (...) {
        // An error box that fails must not take the event loop with it.
    }
}

int TApplication::MessageBox(const QString& text, const QString& caption, unsigned flags)
{
    return Services().MessageBox(text, caption.isEmpty() ? Title() : caption, flags);
}

void TApplication::Terminate()
{
    m_terminated = true;
    if (QCoreApplication::instance())
        QCoreApplication::quit();
}

void TApplication::SetCursor(TCursor cursor)
{
    if (cursor == m_cursor)
        return;
    const bool wasBusy = m_cursor == crHourGlass || m_cursor == crSQLWait;
    const bool busy = cursor == crHourGlass || cursor == crSQLWait;
    m_cursor = cursor;
    if (wasBusy != busy && HasServices())
        Services().SetBusyCursor(busy);
}

THourglass::THourglass() : m_previous(Application().Cursor()) { Application().SetCursor(crHourGlass); }

THourglass::~THourglass()
{
    try {
        Application().SetCursor(m_previous);
    } catch (...) {
    }
}

// ---------------------------------------------------------------- timer

struct TTimer::Impl {
    std::unique_ptr<QTimer> timer;
};

PLAT_DEFINE_CLASS(TTimer, c)
{
    c.property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).defaultValue(true);
    c.property("Interval", &TTimer::Interval, &TTimer::SetInterval).defaultValue(1000);
    c.property("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer);
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), d(std::make_unique<Impl>()) {}

TTimer::~TTimer() = default;

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    update();
}

void TTimer::SetInterval(int ms)
{
    if (ms == m_interval)
        return;
    m_interval = std::max(0, ms);
    update();
}

void TTimer::SetOnTimer(const TNotifyEvent& e)
{
    OnTimer = e;
    update();
}

void TTimer::Fire()
{
    Application().Guard([this] { OnTimer(this); });
}

void TTimer::update()
{
    // Like the platform's timer: runs only with an interval and a handler.
    const bool run = m_enabled && m_interval > 0 && OnTimer.IsAssigned() && QCoreApplication::instance();
    if (!run) {
        if (d->timer)
            d->timer->stop();
        return;
    }
    if (!d->timer) {
        d->timer = std::make_unique<QTimer>();
        QObject::connect(d->timer.get(), &QTimer::timeout, [this] { Fire(); });
    }
    d->timer->start(m_interval);
}

} // namespace plat

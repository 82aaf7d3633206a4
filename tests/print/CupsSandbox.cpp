#include "CupsSandbox.h"

#include <cups/cups.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <algorithm>

namespace printtest {

namespace {

QString g_folder;
QString g_socket;

QString script() { return QStringLiteral(SORVAMET_SOURCE_DIR "/tests/tools/cups-sandbox.sh"); }

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
}

} // namespace

bool StartSandbox(QString& error)
{
    if (!g_folder.isEmpty())
        return true;
    QProcess p;
    p.start(QStringLiteral("/bin/bash"), {script(), QStringLiteral("start")});
    p.waitForFinished(60000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        error = QString::fromUtf8(p.readAllStandardError()).trimmed();
        return false;
    }
    // export NAME='value' lines
    for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype eq = line.indexOf(u'=');
        if (!line.startsWith(QLatin1String("export ")) || eq < 0)
            continue;
        const QString name = line.mid(7, eq - 7);
        QString value = line.mid(eq + 1);
        value.remove(u'\'');
        if (name == QLatin1String("CUPS_SERVER"))
            g_socket = value;
        else if (name == QLatin1String("CUPS_SANDBOX"))
            g_folder = value;
    }
    if (g_folder.isEmpty() || g_socket.isEmpty()) {
        error = QStringLiteral("cups-sandbox.sh gave no sandbox: ") + out;
        return false;
    }
    qputenv("CUPS_SERVER", g_socket.toUtf8());
    cupsSetServer(g_socket.toUtf8().constData());
    return true;
}

void StopSandbox()
{
    if (g_folder.isEmpty())
        return;
    // The scheduler takes a moment to shut down; the test program need not wait for it.
    QProcess::startDetached(QStringLiteral("/bin/bash"), {script(), QStringLiteral("stop"), g_folder});
    g_folder.clear();
}

QString SandboxFolder() { return g_folder; }
QString SocketPath() { return g_socket; }

bool CapturedJob::HasOption(const QString& nameValue) const
{
    return options.split(u' ', Qt::SkipEmptyParts).contains(nameValue);
}

QList<CapturedJob> WaitForJobs(const QString& queue, int count)
{
    const QDir dir(g_folder + QStringLiteral("/capture/") + queue);
    QStringList done;
    for (int i = 0; i < 400; ++i) { // 20 s at most
        done = dir.entryList({QStringLiteral("job-*.done")}, QDir::Files);
        if (done.size() >= count)
            break;
        QThread::msleep(50);
    }
    QList<CapturedJob> jobs;
    for (const QString& name : done) {
        CapturedJob job;
        job.id = name.mid(4, name.size() - 9).toInt();
        const QString base = dir.filePath(QStringLiteral("job-%1").arg(job.id));
        job.dataFile = base + QStringLiteral(".data");
        QFile data(job.dataFile);
        if (data.open(QIODevice::ReadOnly))
            job.data = data.readAll();
        job.copies = readText(base + QStringLiteral(".copies"));
        job.options = readText(base + QStringLiteral(".options"));
        job.type = readText(base + QStringLiteral(".type"));
        job.title = readText(base + QStringLiteral(".title"));
        jobs.append(job);
    }
    std::sort(jobs.begin(), jobs.end(), [](const CapturedJob& a, const CapturedJob& b) { return a.id < b.id; });
    return jobs;
}

int Run(const QString& command, QByteArray* output)
{
    QProcess p;
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    p.waitForFinished(60000);
    if (output)
        *output = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace printtest

void SandboxTest::SetUp()
{
    QString error;
    if (printtest::StartSandbox(error)) {
        // One sandbox serves the whole run: each test sees only its own jobs.
        for (const char* queue : {"ZdA4", "ZdLetter"}) {
            QDir dir(printtest::SandboxFolder() + QStringLiteral("/capture/") + QLatin1String(queue));
            for (const QString& f : dir.entryList(QDir::Files))
                dir.remove(f);
        }
        return;
    }
    if (qgetenv("CI") == "true")
        FAIL() << "The print tests need cupsd (cups-daemon): " << error.toStdString();
    GTEST_SKIP() << "No private CUPS scheduler: " << error.toStdString();
}

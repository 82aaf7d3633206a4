#pragma once
// The private CUPS scheduler of the print tests (tests/tools/cups-sandbox.sh):
// started on first use for the whole test program, with the queues ZdA4
// (the default) and ZdLetter and a capture backend that keeps every job.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace printtest {

// Starts the sandbox when it is not running yet and points libcups at it.
// False when there is no cupsd; the test should then skip (or fail on CI,
// which the fixture below decides).
bool StartSandbox(QString& error);
void StopSandbox();
QString SandboxFolder();
QString SocketPath();

// A captured job of a queue, as the backend wrote it.
struct CapturedJob {
    int id = 0;
    QByteArray data;
    QString copies, options, type, title;
    QString dataFile;
    bool HasOption(const QString& nameValue) const;
};

// Waits (a bounded number of polls) until the queue has captured count jobs
// and returns them in job order; fewer when they did not come.
QList<CapturedJob> WaitForJobs(const QString& queue, int count);
// Runs a command with the sandbox's environment; its exit status.
int Run(const QString& command, QByteArray* output = nullptr);

} // namespace printtest

#include <gtest/gtest.h>

// Tests that print derive from this: the sandbox is there, libcups talks to
// it, and the user-interface services are a scripted double.
class SandboxTest : public ::testing::Test {
protected:
    void SetUp() override;
};

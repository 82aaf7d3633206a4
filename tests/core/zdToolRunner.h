#pragma once
// Runs the outside checkers (xmllint, gzip, openssl, python3) from tests.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace zdtest {

struct ToolResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline bool toolAvailable(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty() || QFile::exists(program);
}

inline ToolResult runTool(const QString& program, const QStringList& args, const QByteArray& input = {})
{
    QProcess process;
    process.start(program, args);
    ToolResult result;
    if (!process.waitForStarted(10000))
        return result;
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

} // namespace zdtest

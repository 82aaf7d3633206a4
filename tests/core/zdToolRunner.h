#pragma once
// Runs the outside checkers (xmllint, gzip, openssl, python3) from tests.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

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

// Several runs side by side (each with its program and arguments, no
// input); their results in the same order. For tests whose runs do not
// depend on each other: the test takes as long as its longest run.
inline std::vector<ToolResult> runToolsTogether(const std::vector<std::pair<QString, QStringList>>& runs)
{
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const auto& [program, args] : runs) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->start(program, args);
    }
    std::vector<ToolResult> results(runs.size());
    for (std::size_t i = 0; i < processes.size(); ++i) {
        QProcess& process = *processes[i];
        if (!process.waitForStarted(10000))
            continue;
        process.closeWriteChannel();
        process.waitForFinished(300000);
        results[i].exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        results[i].out = process.readAllStandardOutput();
        results[i].err = process.readAllStandardError();
    }
    return results;
}

} // namespace zdtest

#pragma once
// Every PDF a test makes goes through checkPdf: qpdf must find nothing to
// warn about and poppler must read it.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace pdftest {

struct Tool {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline Tool runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    Tool t;
    if (!p.waitForFinished(60000))
        return t;
    t.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    t.out = p.readAllStandardOutput();
    t.err = p.readAllStandardError();
    return t;
}

inline bool haveTools()
{
    return QFile::exists(QStringLiteral("/usr/bin/qpdf")) && QFile::exists(QStringLiteral("/usr/bin/pdfinfo"));
}

// qpdf --check exits 0 with no warning, and pdfinfo reads the pages.
inline void checkPdf(const QString& path)
{
    const Tool q = runTool(QStringLiteral("/usr/bin/qpdf"), {QStringLiteral("--check"), path});
    EXPECT_EQ(q.exitCode, 0) << q.out.toStdString() << q.err.toStdString();
    EXPECT_FALSE(q.out.contains("WARNING") || q.err.contains("WARNING")) << q.out.toStdString() << q.err.toStdString();
    EXPECT_TRUE(q.out.contains("No syntax or stream encoding errors found")) << q.out.toStdString();
    const Tool i = runTool(QStringLiteral("/usr/bin/pdfinfo"), {path});
    EXPECT_EQ(i.exitCode, 0) << i.err.toStdString();
    EXPECT_TRUE(i.err.isEmpty()) << i.err.toStdString();
}

inline QString pdfToText(const QString& path)
{
    const Tool t = runTool(QStringLiteral("/usr/bin/pdftotext"),
                           {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    return QString::fromUtf8(t.out);
}

} // namespace pdftest

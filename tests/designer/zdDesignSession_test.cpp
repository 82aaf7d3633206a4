// Design sessions run by the zddesign tool in a process of their own: the
// undo and redo counts after each step, and the saved template reloaded
// here equal to its golden template.

#include "Streams.h"
#include "zdClass_options.h"
#include "zdClass_report.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kData = QStringLiteral(SORVAMET_TEST_DATA "/sessions/");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The template as this process writes it, without the dates of saving.
QString normalisedTemplate(const QString& path)
{
    TzdReport report;
    report.EngineOptions()->NewSilentMode = simSilent;
    EXPECT_TRUE(report.LoadFromFile(path)) << path.toStdString();
    report.ReportOptions()->CreateDate = 0;
    report.ReportOptions()->LastChange = 0;
    plat::TMemoryStream stream;
    report.SaveToStream(stream);
    return QString::fromUtf8(stream.bytes());
}

struct Session {
    const char* name;
    bool preparedPage;
    // Text the saved file must hold (for objects this process cannot load).
    const char* mustHold = nullptr;
};

class DesignSession : public ::testing::TestWithParam<Session> {};

TEST_P(DesignSession, ReloadsEqualToItsGoldenTemplate)
{
    static const bool started = [] {
        zd::startReportUnit();
        return true;
    }();
    (void)started;
    const Session s = GetParam();
    const QString name = QString::fromLatin1(s.name);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // An inheriting template finds its parent beside it.
    QFile::copy(kData + QStringLiteral("parent.zd3"), dir.filePath(QStringLiteral("parent.zd3")));
    const QString out = dir.filePath(name + QStringLiteral(".zd3"));
    const QString session = dir.filePath(QStringLiteral("session.txt"));
    QByteArray text = readAll(kData + name + QStringLiteral(".txt"));
    ASSERT_FALSE(text.isEmpty());
    text.replace("OUT", out.toUtf8());
    QFile sf(session);
    ASSERT_TRUE(sf.open(QIODevice::WriteOnly));
    sf.write(text);
    sf.close();

    QStringList args{QStringLiteral("--session"), session, kData + name + QStringLiteral(".zd3")};
    if (s.preparedPage)
        args << QStringLiteral("--prepared-page");
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral(SORVAMET_BIN_DIR "/zddesign"), args);
    ASSERT_TRUE(tool.waitForFinished(120000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    QString transcript = QString::fromUtf8(tool.readAllStandardOutput());
    transcript.replace(out, QStringLiteral("OUT"));
    EXPECT_EQ(transcript, QString::fromUtf8(readAll(kData + name + QStringLiteral(".out"))));

    ASSERT_TRUE(QFile::exists(out));
    QProcess xmllint;
    xmllint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), out});
    if (xmllint.waitForStarted(10000)) {
        xmllint.waitForFinished(60000);
        EXPECT_EQ(xmllint.exitCode(), 0) << xmllint.readAllStandardError().toStdString();
    }
    EXPECT_EQ(normalisedTemplate(out), normalisedTemplate(kData + name + QStringLiteral(".golden.zd3")));
    if (s.mustHold)
        EXPECT_TRUE(readAll(out).contains(s.mustHold)) << s.mustHold;
}

INSTANTIATE_TEST_SUITE_P(Sessions, DesignSession,
                         ::testing::Values(Session{"basic", false}, Session{"dialog", false},
                                           Session{"dialogfill", false, "<TzdEditControl Name=\"Edit1\" Left=\"16\" Top=\"16\" Width=\"121\" Height=\"21\" Color=\"255\""},
                                           Session{"chars", false}, Session{"dotmatrix", false},
                                           Session{"inherited", false}, Session{"prepared", true}),
                         [](const ::testing::TestParamInfo<Session>& info) { return std::string(info.param.name); });

} // namespace

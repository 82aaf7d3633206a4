// The PascalScript programs of data/run, run through zsrun: each NAME.pas
// with its expected output and exit code in NAME.expected.

#include "zs_test_util.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

QString runFolder()
{
    return QStringLiteral(SORVAMET_TEST_DATA "/run");
}

QString readAll(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

class ZsRunProgram : public ::testing::TestWithParam<QString> {};

TEST_P(ZsRunProgram, PrintsExpectedOutputAndExitCode)
{
    const QString base = runFolder() + u'/' + GetParam();
    const QString zsrun = QStringLiteral(SORVAMET_BIN_DIR "/zsrun");
    ASSERT_TRUE(QFile::exists(zsrun)) << "zsrun is built with the tests";
    QProcess p;
    p.start(zsrun, {QStringLiteral("PascalScript"), base + QStringLiteral(".pas")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString actual = QString::fromUtf8(p.readAllStandardOutput()) +
                           QStringLiteral("[exit %1]\n").arg(p.exitCode());
    EXPECT_EQ(actual, readAll(base + QStringLiteral(".expected")));
}

std::vector<QString> programs()
{
    std::vector<QString> names;
    const QStringList files = QDir(runFolder()).entryList({QStringLiteral("*.pas")}, QDir::Files, QDir::Name);
    for (const QString& f : files)
        names.push_back(f.chopped(4));
    return names;
}

INSTANTIATE_TEST_SUITE_P(Programs, ZsRunProgram, ::testing::ValuesIn(programs()),
                         [](const ::testing::TestParamInfo<QString>& info) { return info.param.toStdString(); });

TEST(ZsRun, CompileErrorPrintsPositionAndMessage)
{
    QProcess p;
    p.start(QStringLiteral(SORVAMET_BIN_DIR "/zsrun"),
            {QStringLiteral("PascalScript"), runFolder() + QStringLiteral("/syntax.pas")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()), QStringLiteral("6:3: ';' expected\n"));
}

} // namespace

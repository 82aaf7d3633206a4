#pragma once
// Fonts for the TrueType tests: the installed ones, and small fixtures made
// from them at test time with fontTools (tests/export/data/ttf_oracle.py),
// which is also the independent checker of reduced fonts.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fonts {

inline const QString kPython = QStringLiteral("/usr/bin/python3");
inline const QString kOracle = QStringLiteral(SORVAMET_TEST_DATA "/ttf_oracle.py");
inline const QString kLiberationSans = QStringLiteral("/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf");
inline const QString kLiberationSerifBold = QStringLiteral("/usr/share/fonts/truetype/liberation2/LiberationSerif-Bold.ttf");
inline const QString kDejaVuSans = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
inline const QString kWineFolder = QStringLiteral("/usr/share/wine/fonts/");

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QString text() const { return QString::fromUtf8(out + err); }
};

inline ToolRun run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    ToolRun r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(120000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

inline ToolRun oracle(const QStringList& args)
{
    return run(kPython, QStringList{kOracle} + args);
}

inline bool haveOracle()
{
    return QFile::exists(kPython) && run(kPython, {QStringLiteral("-c"), QStringLiteral("import fontTools")}).exitCode == 0;
}

inline bool haveOts()
{
    return QFile::exists(QStringLiteral("/usr/bin/ots-sanitize"));
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

inline QTemporaryDir& tempDir()
{
    static QTemporaryDir dir;
    return dir;
}

inline QString tempPath(const QString& name)
{
    return tempDir().filePath(name);
}

// A fixture made once per test program by an oracle command writing to its
// first argument; empty when it cannot be made.
inline QString made(const QString& name, const QStringList& command)
{
    static QMap<QString, QString> done;
    if (done.contains(name))
        return done[name];
    const QString path = tempPath(name);
    const ToolRun r = oracle(QStringList{command.first(), path} + command.mid(1));
    done[name] = r.exitCode == 0 && QFile::exists(path) ? path : QString();
    if (done[name].isEmpty())
        ADD_FAILURE() << "fixture " << name.toStdString() << ": " << r.text().toStdString();
    return done[name];
}

// Tahoma and Tahoma Bold in one collection.
inline QString tahomaCollection()
{
    return made(QStringLiteral("tahoma.ttc"),
                {QStringLiteral("make-ttc"), kWineFolder + "tahoma.ttf", kWineFolder + "tahomabd.ttf"});
}

// Marlett and Webdings (small, no composites) in one collection.
inline QString smallCollection()
{
    return made(QStringLiteral("small.ttc"),
                {QStringLiteral("make-ttc"), kWineFolder + "marlett.ttf", kWineFolder + "webdings.ttf"});
}

// A few glyphs of DejaVu Sans: composites of composites, fewer metrics than glyphs.
inline QString compositeSubset()
{
    return made(QStringLiteral("composites.ttf"),
                {QStringLiteral("make-subset"), kDejaVuSans, QStringLiteral("AÁDŽǅǺ")});
}

inline QList<quint16> parseGlyphs(const QByteArray& text)
{
    QList<quint16> glyphs;
    for (const QByteArray& g : text.simplified().split(' '))
        if (!g.isEmpty())
            glyphs << quint16(g.toUInt());
    return glyphs;
}

inline QStringList glyphArgs(const QList<quint16>& glyphs)
{
    QStringList args;
    for (const quint16 g : glyphs)
        args << QString::number(g);
    return args;
}

} // namespace fonts

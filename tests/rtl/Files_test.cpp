#include "Files.h"
#include "Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace plat;

TEST(Files, TempFilesAreCreatedEmptyWithUniqueNames)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSet<QString> names;
    for (int i = 0; i < 200; ++i) {
        const QString name = GetTempFileName("zd", dir.path());
        EXPECT_TRUE(ExtractFileName(name).startsWith("zd"));
        EXPECT_EQ(QFileInfo(name).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
        EXPECT_TRUE(QFileInfo(name).isFile());
        EXPECT_EQ(QFileInfo(name).size(), 0);
        names.insert(name);
        QFile::remove(name); // even a freed name is not handed out again
    }
    EXPECT_EQ(names.size(), 200);
}

TEST(Files, TempFilesDefaultToTheSystemTemporaryFolder)
{
    const QString name = GetTempFileName("sv");
    EXPECT_TRUE(name.startsWith(TempFolder()));
    EXPECT_TRUE(QFileInfo::exists(name));
    QFile::remove(name);
    EXPECT_TRUE(TempFolder().endsWith('/'));
}

TEST(Files, TempFileInMissingFolderRaisesCreateError)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_THROW(GetTempFileName("x", dir.filePath("missing")), EFCreateError);
}

TEST(Files, ProgramFolderIsTheExecutablesFolder)
{
    const QString exe = QFile::symLinkTarget("/proc/self/exe");
    EXPECT_EQ(ProgramFolder(), QFileInfo(exe).absolutePath() + '/');
}

TEST(Files, PathHelpersAcceptBackslashes)
{
    struct Case { QString in; QString path; QString name; QString ext; QString changed; };
    const Case cases[] = {
        {"C:\\Data\\kody.xml", "C:/Data/", "kody.xml", ".xml", "C:\\Data\\kody.bak"},
        {"/home/u/sestavy/a.b.zd3", "/home/u/sestavy/", "a.b.zd3", ".zd3", "/home/u/sestavy/a.b.bak"},
        {"dir.d\\file", "dir.d/", "file", "", "dir.d\\file.bak"},
        {"noext", "", "noext", "", "noext.bak"},
        {"sub/", "sub/", "", "", "sub/.bak"},
        {"", "", "", "", ".bak"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.in), c.path) << c.in.toStdString();
        EXPECT_EQ(ExtractFileName(c.in), c.name) << c.in.toStdString();
        EXPECT_EQ(ExtractFileExt(c.in), c.ext) << c.in.toStdString();
        EXPECT_EQ(ChangeFileExt(c.in, ".bak"), c.changed) << c.in.toStdString();
    }
    EXPECT_EQ(ExtractFileDir("a\\b\\c.txt"), "a/b");
    EXPECT_EQ(ExtractFileDir("/c.txt"), "/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("a\\b"), "a/b/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("a/b/"), "a/b/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("a/b//"), "a/b");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
    EXPECT_EQ(nativePath("..\\Sestavy\\a.zd3"), "../Sestavy/a.zd3");
}

TEST(Files, ExpandFileNameResolvesDotsAgainstTheCurrentFolder)
{
    EXPECT_EQ(ExpandFileName("/a/b/../c/./d.txt"), "/a/c/d.txt");
    EXPECT_EQ(ExpandFileName("\\a\\b\\..\\x"), "/a/x");
    EXPECT_EQ(ExpandFileName("rel/f"), QDir::currentPath() + "/rel/f");
    EXPECT_EQ(ExpandFileName("/a/b/"), "/a/b/");
    EXPECT_EQ(ExpandFileName(""), "");
}

TEST(Files, ExistenceDeleteAndRename)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString a = dir.filePath("a.txt");
    const QString b = dir.filePath("b.txt");
    EXPECT_FALSE(FileExists(a));
    writeFileAtomic(a, "1");
    EXPECT_TRUE(FileExists(a));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_TRUE(DirectoryExists(dir.path()));
    EXPECT_FALSE(DirectoryExists(a));
    writeFileAtomic(b, "2");
    EXPECT_FALSE(RenameFile(a, b)); // never over an existing file
    EXPECT_EQ(readFileBytes(b), "2");
    EXPECT_TRUE(DeleteFile(b));
    EXPECT_TRUE(RenameFile(QString(a).replace('/', '\\'), b));
    EXPECT_EQ(readFileBytes(b), "1");
    EXPECT_FALSE(DeleteFile(dir.path()));
    EXPECT_FALSE(DeleteFile(a));
    EXPECT_TRUE(ForceDirectories(dir.filePath("x/y/z")));
    EXPECT_TRUE(DirectoryExists(dir.filePath("x\\y\\z")));
}

TEST(Files, FailedAtomicWriteKeepsTheOldFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("keep.txt");
    writeFileAtomic(name, "old");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_THROW(writeFileAtomic(name, "new"), EFCreateError);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readFileBytes(name), "old");
}

TEST(Files, FailedAtomicWriteKeepsTheOldFileEvenForRoot)
{
    // A name at the length limit leaves no room for the temporary file's
    // suffix, so the write fails after the old file exists.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QString(250, 'k'));
    {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    EXPECT_THROW(writeFileAtomic(name, "new"), EFCreateError);
    EXPECT_EQ(readFileBytes(name), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary left
}

namespace {

// XDG_CONFIG_HOME for a scope, put back afterwards.
class ConfigHome {
public:
    explicit ConfigHome(const QByteArray& value) : m_saved(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", value);
    }
    ~ConfigHome()
    {
        if (m_saved.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_saved);
    }

private:
    QByteArray m_saved;
};

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(Files, TheUsersConfigFolderFollowsXdg)
{
    {
        ConfigHome home("/x/config");
        EXPECT_EQ(UserConfigFolder(), "/x/config/sorvamet/");
    }
    ConfigHome relative("relative/ignored");
    EXPECT_EQ(UserConfigFolder(), QDir::homePath() + "/.config/sorvamet/");
}

TEST(Files, SettingsAreReadBesideTheProgramUntilTheUserHasThemAndWrittenToTheUser)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ConfigHome home(dir.filePath("config").toLocal8Bit());
    const QString program = dir.filePath("program") + '/';
    const QString user = dir.filePath("config/sorvamet/S.ini");
    ASSERT_TRUE(QDir().mkpath(program));

    // Neither file: reads and writes go to the user's (a missing file reads as empty).
    EXPECT_EQ(SettingsFileToRead("S.ini", program), user);
    EXPECT_FALSE(QFile::exists(user));

    // Only the one beside the program: it is read ...
    QFile beside(program + "S.ini");
    ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
    beside.write("[A]\r\nK=1\r\n");
    beside.close();
    ASSERT_TRUE(beside.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_EQ(SettingsFileToRead("S.ini", program), program + "S.ini");
    // ... and the first write starts from a writable copy of it.
    EXPECT_EQ(SettingsFileToWrite("S.ini", program), user);
    EXPECT_EQ(bytesOf(user), "[A]\r\nK=1\r\n");
    EXPECT_TRUE(QFileInfo(user).permissions().testFlag(QFile::WriteOwner));
    EXPECT_EQ(SettingsFileToRead("S.ini", program), user);

    // From then on the user's file stays as it is.
    QFile mine(user);
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("[A]\r\nK=2\r\n");
    mine.close();
    EXPECT_EQ(SettingsFileToWrite("S.ini", program), user);
    EXPECT_EQ(bytesOf(user), "[A]\r\nK=2\r\n");
    EXPECT_EQ(bytesOf(program + "S.ini"), "[A]\r\nK=1\r\n");
}

TEST(Files, AFileViewHoldsTheWholeFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("view.txt");
    QByteArray big(200000, 'x');
    big[123456] = '\xC3';
    writeFileAtomic(name, big);
    QByteArray seen;
    readFileView(name, [&](QByteArrayView bytes) { seen = bytes.toByteArray(); });
    EXPECT_EQ(seen, big);
    const QString empty = dir.filePath("empty.txt");
    writeFileAtomic(empty, QByteArray());
    bool called = false;
    readFileView(empty, [&](QByteArrayView bytes) {
        called = true;
        EXPECT_TRUE(bytes.isEmpty());
    });
    EXPECT_TRUE(called);
    EXPECT_THROW(readFileView(dir.filePath("missing.txt"), [](QByteArrayView) {}), EFOpenError);
    EXPECT_THROW(readFileView(dir.path(), [](QByteArrayView) {}), EFOpenError);
}

#include "Streams.h"
#include "Exceptions.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace plat;

TEST(Streams, MemoryStreamReadWriteSeekAndGrow)
{
    TMemoryStream s;
    s.writeBytes("hello");
    EXPECT_EQ(s.Position(), 5);
    EXPECT_EQ(s.Size(), 5);
    // Past the end: a write fills the gap with zeros.
    s.SetPosition(7);
    s.writeBytes("!");
    EXPECT_EQ(s.bytes(), QByteArray("hello\0\0!", 8));
    EXPECT_EQ(s.Seek(-3, soEnd), 5);
    EXPECT_EQ(s.Seek(-100, soCurrent), 0); // never below zero
    char buf[4] = {};
    EXPECT_EQ(s.Read(buf, 4), 4);
    EXPECT_EQ(QByteArray(buf, 4), "hell");
    s.SetSize(2);
    EXPECT_EQ(s.Position(), 2);
    EXPECT_EQ(s.Read(buf, 4), 0);
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
}

TEST(Streams, ReadBufferAndWriteBufferAreAllOrNothing)
{
    TMemoryStream s(QByteArray("abc"));
    char buf[8];
    try {
        s.ReadBuffer(buf, 4);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.message(), "Stream read error");
        EXPECT_TRUE(e.inheritsFrom("EStreamError"));
    }
    s.SetPosition(0);
    s.ReadBuffer(buf, 3);
    s.ReadBuffer(buf, 0); // nothing to read is fine at the end

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("r.bin");
    QFile::remove(name);
    { TFileStream create(name, fmCreate); create.writeBytes("xyz"); }
    TFileStream readOnly(name, fmOpenRead);
    try {
        readOnly.WriteBuffer("q", 1);
        FAIL() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.message(), "Stream write error");
    }
}

TEST(Streams, FileStreamModesAndErrors)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("data.bin");
    {
        TFileStream f(name, fmCreate);
        f.writeBytes("0123456789");
        EXPECT_EQ(f.Size(), 10);
        f.SetSize(4);
        EXPECT_EQ(f.Position(), 4);
    }
    {
        TFileStream f(name, fmOpenReadWrite | fmShareDenyNone);
        f.Seek(0, soEnd);
        f.writeBytes("ab");
        f.SetPosition(0);
        EXPECT_EQ(f.readAll(), QByteArray("0123ab"));
    }
    {
        // fmCreate truncates an existing file.
        TFileStream f(name, fmCreate);
        EXPECT_EQ(f.Size(), 0);
    }
    const QString missing = dir.filePath("no/such.bin");
    try {
        TFileStream f(missing, fmOpenRead);
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(missing));
    }
    try {
        TFileStream f(missing, fmCreate);
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(missing)));
    }
    // A folder is not a file.
    EXPECT_THROW(TFileStream(dir.path(), fmOpenRead), EFOpenError);
}

TEST(Streams, ExclusiveShareModeShutsOutASecondOpener)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("locked.bin");
    { TFileStream f(name, fmCreate); }
    TFileStream first(name, fmOpenReadWrite | fmShareExclusive);
    EXPECT_THROW(TFileStream(name, fmOpenRead | fmShareDenyWrite), EFOpenError);
    TFileStream reader(name, fmOpenRead | fmShareDenyNone); // asks for no lock
    SUCCEED();
}

TEST(Streams, BackslashPathsFromFilesOpen)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString name = dir.filePath("w.bin");
    { TFileStream f(name, fmCreate); f.writeBytes("x"); }
    name.replace('/', '\\');
    TFileStream f(name, fmOpenRead);
    EXPECT_EQ(f.readAll(), QByteArray("x"));
}

TEST(Streams, CopyFromZeroCopiesTheWholeSource)
{
    TMemoryStream source(QByteArray(200000, 'q'));
    source.SetPosition(500);
    TMemoryStream target;
    EXPECT_EQ(target.CopyFrom(source, 0), 200000);
    EXPECT_EQ(target.bytes(), source.bytes());
    source.SetPosition(199990);
    TMemoryStream part;
    EXPECT_EQ(part.CopyFrom(source, 10), 10);
    EXPECT_THROW(part.CopyFrom(source, 1), EReadError);
}

TEST(Streams, StringStreamDataStringAndReadString)
{
    TStringStream s(QByteArray("abcdef"));
    EXPECT_EQ(s.ReadString(2), "ab");
    s.WriteString("XY");
    EXPECT_EQ(s.DataString(), "abXYef");
    EXPECT_EQ(s.ReadString(100), "ef");
    EXPECT_EQ(s.ReadString(1), "");
}

TEST(Streams, MemoryStreamFilesRoundTrip)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("m.bin");
    TMemoryStream s(QByteArray("\x00\x01\xFF", 3));
    s.SaveToFile(name);
    TMemoryStream back;
    back.LoadFromFile(name);
    EXPECT_EQ(back.bytes(), s.bytes());
    EXPECT_EQ(back.Position(), 0);
    EXPECT_THROW(back.LoadFromFile(dir.filePath("missing")), EFOpenError);
    EXPECT_EQ(back.bytes(), s.bytes());
}

TEST(Streams, AnImpossibleMemoryStreamSizeRaisesOutOfMemory)
{
    TMemoryStream s(QByteArray("keep"));
    s.SetPosition(qint64(1) << 42);
    try {
        s.writeBytes("x");
        FAIL() << "no error";
    } catch (const EOutOfMemory& e) {
        EXPECT_EQ(e.message(), "Out of memory while expanding memory stream");
    }
    EXPECT_THROW(s.SetSize(qint64(1) << 42), EOutOfMemory);
    EXPECT_EQ(s.bytes(), QByteArray("keep"));
}

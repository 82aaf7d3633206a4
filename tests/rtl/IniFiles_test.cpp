#include "IniFiles.h"
#include "CodePage.h"
#include "DateUtils.h"
#include "Exceptions.h"
#include "FormatSettings.h"
#include "Streams.h"
#include "StringList.h"
#include "../MutationTestUtil.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "../TestUtil.h"
#include <gtest/gtest.h>

#include <thread>
#include <unistd.h>

using namespace plat;

namespace {

const char* const kPython = "/usr/bin/python3";

void putFile(const QString& name, const QByteArray& bytes)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QString copyOfData(const QTemporaryDir& dir, const char* name)
{
    const QString target = dir.filePath(name);
    QFile::remove(target);
    QFile::copy(QStringLiteral(SORVAMET_TEST_DATA "/") + name, target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

// Different files on disk may share a timestamp tick; make a change visible.
void touchLater(const QString& name, const QByteArray& bytes)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    putFile(name, bytes);
}

QStringList sectionKeys(TCustomIniFile& ini, const QString& section)
{
    TStringList keys;
    ini.ReadSection(section, keys);
    return keys.toStringList();
}

} // namespace

TEST(IniFiles, OurOutputReadsBackInPythonConfigparser)
{
    if (!QFileInfo::exists(kPython))
        GTEST_SKIP() << "python3 not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("Sorvamet.ini");
    {
        TIniFile ini(name);
        ini.WriteInteger("Nastaveni", "MaxDelka", 8);
        ini.WriteBool("Nastaveni", "PouzeCisla", true);
        ini.WriteString("Nastaveni", "Popiska_kod", "Kód");
        ini.WriteString("Nastaveni", "Popiska_pole1", "  Pole 1  ");
        ini.WriteFloat("Generator", "Pomer", 2.5);
        ini.WriteBool("Generator", "DoplnovatNuly", false);
        ini.WriteString("Generator", "Prefix", "");
        ini.WriteInteger("nastaveni", "MAXDELKA", 9); // same key, other case
    }
    const QByteArray script =
        "import configparser, json, sys\n"
        "c = configparser.ConfigParser(strict=False, interpolation=None)\n"
        "c.optionxform = str\n"
        "c.read(sys.argv[1], encoding='cp1250')\n"
        "print(json.dumps({s: dict(c[s]) for s in c.sections()}, ensure_ascii=True))\n";
    QProcess p;
    p.start(kPython, {"-c", QString::fromLatin1(script), name});
    ASSERT_TRUE(p.waitForFinished());
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QJsonObject json = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    const QJsonObject expected = QJsonDocument::fromJson(
        QStringLiteral(R"({"Nastaveni": {"MaxDelka": "9", "PouzeCisla": "1", "Popiska_kod": "Kód",
                          "Popiska_pole1": "Pole 1"},
                          "Generator": {"Pomer": "2.5", "DoplnovatNuly": "0", "Prefix": ""}})")
            .toUtf8()).object();
    EXPECT_EQ(json, expected) << QJsonDocument(json).toJson().toStdString();
    EXPECT_TRUE(fileBytes(name).contains("K\xF3" "d\r\n"));
}

TEST(IniFiles, WindowsStyleFileReadsWithThePlatformRules)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TIniFile ini(copyOfData(dir, "windows.ini"));
    EXPECT_EQ(ini.ReadInteger("nastaveni", "maxdelka", 8), 12);
    EXPECT_FALSE(ini.ReadBool("Nastaveni", "PouzeCisla", true));
    EXPECT_EQ(ini.ReadString("NASTAVENI", "Popiska_kod", ""), "Kód zboží"); // trimmed, first of two
    EXPECT_EQ(ini.ReadInteger("Nastaveni", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("Nastaveni", "Zaporne", 0), -5);
    EXPECT_EQ(ini.ReadString("Nastaveni", "Extra", ""), "ano"); // second header of the same section
    EXPECT_EQ(ini.ReadFloat("Generator", "Ratio", 0), 2.5);
    EXPECT_EQ(ini.ReadInteger("Generator", "Broken", 7), 7);
    EXPECT_EQ(ini.ReadString("Generator", "Missing", "def"), "def");
    EXPECT_EQ(ini.ReadString("Missing", "Prefix", "def"), "def");
    EXPECT_EQ(sectionKeys(ini, "nastaveni"),
              (QStringList{"MaxDelka", "PouzeCisla", "Popiska_kod", "Hex", "Zaporne", "Extra"}));
    TStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections.toStringList(), (QStringList{"Nastaveni", "GENERATOR"}));
    TStringList values;
    ini.ReadSectionValues("Generator", values);
    EXPECT_EQ(values.toStringList(), (QStringList{"Prefix=AB", "Ratio=2,5", "Broken=12abc"}));
    EXPECT_TRUE(ini.ValueExists("generator", "PREFIX"));
    EXPECT_FALSE(ini.ValueExists("generator", "Nothing"));
    EXPECT_TRUE(ini.SectionExists("Generator"));
    EXPECT_FALSE(ini.SectionExists("Nothing"));
}

TEST(IniFiles, WritingKeepsOrderCommentsAndUnknownLines)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = copyOfData(dir, "windows.ini");
    TIniFile ini(name);
    ini.WriteInteger("NASTAVENI", "maxdelka", 20);   // in place, the file's spelling kept
    ini.WriteString("Generator", "Suffix", "ZZ");    // end of its section, before the blank line
    ini.WriteString("Nový", "Klíč", "Hodnota");      // new section at the end
    ini.DeleteKey("Nastaveni", "Popiska_kod");       // both copies go
    const QString expected = QStringLiteral(
        "; Nastavení programu\r\n"
        "[Nastaveni]\r\n"
        "MaxDelka=20\r\n"
        "  PouzeCisla=0\r\n"
        "; duplicate: the first one counts\r\n"
        "Hex=$1F\r\n"
        "Zaporne=-5\r\n"
        "\r\n"
        "[GENERATOR]\r\n"
        "Prefix=AB\r\n"
        "Ratio = 2,5\r\n"
        "Broken=12abc\r\n"
        "Suffix=ZZ\r\n"
        "# not a comment for us, just a line without a key\r\n"
        "\r\n"
        "[Nastaveni]\r\n"
        "Extra=ano\r\n"
        "\r\n"
        "[Nový]\r\n"
        "Klíč=Hodnota\r\n");
    EXPECT_EQ(cp1250ToUnicode(fileBytes(name)).toStdString(), expected.toStdString());
    EXPECT_EQ(ini.ReadString("Nastaveni", "Popiska_kod", "gone"), "gone");
}

TEST(IniFiles, EraseSectionRemovesEveryHeaderOfThatName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = copyOfData(dir, "windows.ini");
    TIniFile ini(name);
    ini.EraseSection("nastaveni");
    EXPECT_FALSE(ini.SectionExists("Nastaveni"));
    EXPECT_EQ(ini.ReadString("GENERATOR", "Prefix", ""), "AB");
    TIniFile reread(name);
    EXPECT_EQ(reread.ReadString("Nastaveni", "Extra", "none"), "none");
    EXPECT_EQ(reread.ReadString("Generator", "Prefix", ""), "AB");
}

TEST(IniFiles, IntegerBooleanAndFloatTextRules)
{
    struct IntCase { const char* text; int value; };
    const IntCase ints[] = {
        {"42", 42}, {" -7 ", -7}, {"+3", 3}, {"$FF", 255}, {"$ffffffff", -1}, {"0x10", 16},
        {"2147483647", 2147483647}, {"2147483648", -99}, {"", -99}, {"1.5", -99}, {"12abc", -99}, {"$", -99},
        {"true", -99},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TIniFile ini(dir.filePath("t.ini"));
    for (const IntCase& c : ints) {
        ini.WriteString("S", "K", c.text);
        EXPECT_EQ(ini.ReadInteger("S", "K", -99), c.value) << c.text;
    }
    struct BoolCase { const char* text; bool value; };
    const BoolCase bools[] = {{"1", true}, {"0", false}, {"-1", true}, {"2", true}, {"$0", false}, {"yes", false}};
    for (const BoolCase& c : bools) {
        ini.WriteString("S", "B", c.text);
        EXPECT_EQ(ini.ReadBool("S", "B", false), c.value) << c.text;
    }
    struct FloatCase { double value; const char* text; };
    const FloatCase floats[] = {{2.5, "2.5"}, {-0.125, "-0.125"}, {1e20, "1E20"}, {1.5e-7, "1.5E-7"},
                                {0.1, "0.1"}, {100, "100"}, {1.0 / 3, "0.333333333333333"}};
    for (const FloatCase& c : floats) {
        ini.WriteFloat("S", "F", c.value);
        EXPECT_EQ(ini.ReadString("S", "F", ""), c.text);
        EXPECT_NEAR(ini.ReadFloat("S", "F", -1), c.value, std::abs(c.value) * 1e-14);
    }
    ini.WriteString("S", "F", "3,25");
    EXPECT_EQ(ini.ReadFloat("S", "F", 0), 3.25);
    ini.WriteString("S", "F", "1.2.3");
    EXPECT_EQ(ini.ReadFloat("S", "F", -1), -1);
    ini.WriteString("S", "F", "nan");
    EXPECT_EQ(ini.ReadFloat("S", "F", -1), -1);
}

TEST(IniFiles, ValuesWithLineBreaksStayOnOneLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("t.ini");
    TIniFile ini(name);
    ini.WriteString("S", "K", "first\r\n[Injected]\nx=1");
    ini.WriteString("S", "After", "ok");
    TIniFile reread(name);
    EXPECT_FALSE(reread.SectionExists("Injected"));
    EXPECT_EQ(reread.ReadString("S", "K", ""), "first [Injected] x=1");
    EXPECT_EQ(reread.ReadString("S", "After", ""), "ok");
    EXPECT_EQ(ini.ReadString("S", "K", ""), reread.ReadString("S", "K", ""));
}

TEST(IniFiles, AChangeOnDiskIsSeenAndTwoObjectsLoseNoUpdate)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("shared.ini");
    TIniFile a(name);
    TIniFile b(name);
    a.WriteString("S", "A", "1");
    b.WriteString("S", "B", "2");
    a.WriteString("S", "C", "3");
    TIniFile c(name);
    EXPECT_EQ(sectionKeys(c, "S"), (QStringList{"A", "B", "C"}));
    touchLater(name, "[S]\r\nA=edited\r\n");
    EXPECT_EQ(a.ReadString("S", "A", ""), "edited");
}

TEST(IniFiles, AFailedWriteRaisesAndChangesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("missing-folder/x.ini");
    TIniFile ini(name);
    try {
        ini.WriteString("S", "K", "v");
        FAIL() << "no error";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.message(), "Unable to write to " + name);
    }
    EXPECT_EQ(ini.ReadString("S", "K", "none"), "none");
}

TEST(IniFiles, AnUnreadableFileIsNeverOverwritten)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("secret.ini");
    putFile(name, "[S]\r\nK=keep\r\n");
    QFile::setPermissions(name, QFile::WriteOwner);
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadString("S", "K", "default"), "default");
    EXPECT_THROW(ini.WriteString("S", "Other", "x"), EIniFileException);
    QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(fileBytes(name), "[S]\r\nK=keep\r\n");
}

TEST(IniFiles, Utf8FilesFromTextEditorsReadAsUtf8)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString plain = dir.filePath("u.ini");
    putFile(plain, QStringLiteral("[Nastaveni]\nPopiska_kod=Kód\n").toUtf8());
    EXPECT_EQ(TIniFile(plain).ReadString("Nastaveni", "Popiska_kod", ""), "Kód");
    const QString bom = dir.filePath("b.ini");
    putFile(bom, "\xEF\xBB\xBF[S]\nK=\xC5\xBE\n");
    EXPECT_EQ(TIniFile(bom).ReadString("S", "K", ""), "ž");
    // Code page 1250 that is not valid UTF-8 stays code page 1250.
    const QString cp = dir.filePath("c.ini");
    putFile(cp, "[S]\nK=\x9E\xE1\n");
    EXPECT_EQ(TIniFile(cp).ReadString("S", "K", ""), "žá");
}

TEST(IniFiles, MemIniFileWritesOnlyOnUpdateFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("m.ini");
    TMemIniFile ini(name);
    ini.WriteString("A", "x", "1");
    EXPECT_FALSE(QFileInfo::exists(name));
    ini.UpdateFile();
    EXPECT_EQ(fileBytes(name), "[A]\r\nx=1\r\n");
    TStringList lines;
    ini.GetStrings(lines);
    EXPECT_EQ(lines.toStringList(), (QStringList{"[A]", "x=1"}));
    lines.SetText("[B]\r\ny = 2");
    ini.SetStrings(lines);
    EXPECT_EQ(ini.ReadInteger("b", "Y", 0), 2);
    ini.Clear();
    EXPECT_FALSE(ini.SectionExists("B"));
}

TEST(IniFiles, BinaryStreamsAsHexPairs)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TIniFile ini(dir.filePath("b.ini"));
    TMemoryStream source(QByteArray("\x00\x7F\xFF\x10", 4));
    source.SetPosition(1);
    ini.WriteBinaryStream("S", "Data", source);
    EXPECT_EQ(ini.ReadString("S", "Data", ""), "7FFF10");
    TMemoryStream target;
    EXPECT_EQ(ini.ReadBinaryStream("S", "Data", target), 3);
    EXPECT_EQ(target.bytes(), QByteArray("\x7F\xFF\x10"));
    EXPECT_EQ(target.Position(), 0);
    ini.WriteString("S", "Bad", "41zz42");
    TMemoryStream partial;
    EXPECT_EQ(ini.ReadBinaryStream("S", "Bad", partial), 1);
}

TEST(IniFiles, DatesRoundTripThroughTheLocaleTexts)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TIniFile ini(dir.filePath("d.ini"));
    const TDateTime date = EncodeDate(2024, 2, 29);
    const TDateTime moment = date + EncodeTime(13, 45, 10, 0);
    ini.WriteDate("S", "D", date);
    ini.WriteDateTime("S", "DT", moment);
    ini.WriteTime("S", "T", EncodeTime(13, 45, 10, 0));
    EXPECT_EQ(ini.ReadDate("S", "D", 0), date);
    EXPECT_NEAR(ini.ReadDateTime("S", "DT", 0), moment, 1e-8);
    EXPECT_NEAR(ini.ReadTime("S", "T", 0), EncodeTime(13, 45, 10, 0), 1e-8);
    ini.WriteString("S", "D", "not a date");
    EXPECT_EQ(ini.ReadDate("S", "D", 7), 7);
}

TEST(IniFiles, AnyLineEndReadsAndCrLfIsWritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray forms[] = {"[S]\nA=1\nB=2", "[S]\rA=1\rB=2\r", "[S]\r\nA=1\nB=2\r", "\n\n[S]\r\n\r\nA=1\r\n\r\nB=2\r\n\r\n"};
    for (const QByteArray& form : forms) {
        const QString name = dir.filePath("e.ini");
        putFile(name, form);
        TIniFile ini(name);
        EXPECT_EQ(sectionKeys(ini, "S"), (QStringList{"A", "B"})) << form.toStdString();
        EXPECT_EQ(ini.ReadInteger("S", "B", 0), 2);
        ini.WriteInteger("S", "A", 3);
        const QByteArray written = fileBytes(name);
        EXPECT_EQ(written.count('\n'), written.count("\r\n")) << form.toStdString();
        EXPECT_EQ(written.count('\r'), written.count("\r\n")) << form.toStdString();
        EXPECT_TRUE(written.contains("A=3\r\n"));
    }
}

TEST(IniFiles, AFailedWriteOverAnExistingFileKeepsFileAndMemoryAlike)
{
    // No room for the temporary file's suffix: the save fails, even for root.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QString(250, 'i'));
    putFile(name, "[S]\r\nK=old\r\n");
    TIniFile ini(name);
    EXPECT_THROW(ini.WriteString("S", "K", "new"), EIniFileException);
    EXPECT_EQ(ini.ReadString("S", "K", ""), "old");
    EXPECT_THROW(ini.EraseSection("S"), EIniFileException);
    EXPECT_TRUE(ini.SectionExists("S"));
    EXPECT_EQ(fileBytes(name), "[S]\r\nK=old\r\n");
}

// ---------------------------------------------------------------- damaged files

namespace {

// Every value read every way, then one write that must read back.
void readEveryWay(const QString& path, const QByteArray& bytes)
{
    putFile(path, bytes);
    TMemIniFile ini(path);
    TStringList sections;
    ini.ReadSections(sections);
    for (const QString& section : sections.toStringList()) {
        TStringList values;
        ini.ReadSectionValues(section, values);
        for (const QString& key : sectionKeys(ini, section)) {
            (void)ini.ReadString(section, key, QString());
            (void)ini.ReadInteger(section, key, 0);
            (void)ini.ReadBool(section, key, false);
            (void)ini.ReadFloat(section, key, 0);
            (void)ini.ReadDate(section, key, 0);
            (void)ini.ReadDateTime(section, key, 0);
            (void)ini.ReadTime(section, key, 0);
            TMemoryStream blob;
            (void)ini.ReadBinaryStream(section, key, blob);
        }
    }
    ini.WriteString(QStringLiteral("Robust"), QStringLiteral("Klic"), QStringLiteral("hodnota"));
    ini.UpdateFile();
    TMemIniFile back(path);
    if (back.ReadString(QStringLiteral("Robust"), QStringLiteral("Klic"), QString()) != QStringLiteral("hodnota"))
        ADD_FAILURE() << "a written key did not read back from " << bytes.toHex().constData();
}

} // namespace

TEST(IniFiles, MutatedFilesReadWithoutHarmAndStillTakeWrites)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray windows = fileBytes(QStringLiteral(SORVAMET_TEST_DATA "/windows.ini"));
    ASSERT_FALSE(windows.isEmpty());
    const QByteArray typed = "[Typy]\r\nCislo=$7FFFFFFF\r\nDes=1,5e3\r\nDatum=24.12.2026\r\nCas=23:59:59\r\n"
                             "Blob=00FFa0\r\nAno=1\r\n\xEF\xBB\xBF[UTF]\r\nZ=\xC5\xBE\r\n";
    const QString path = dir.filePath(QStringLiteral("m.ini"));
    const auto outcome = mutation::runMutations({windows, typed}, 700, 99, mutation::textTokens(),
                                                [&](const QByteArray& b) { readEveryWay(path, b); });
    EXPECT_GT(outcome.accepted, 1500);
}

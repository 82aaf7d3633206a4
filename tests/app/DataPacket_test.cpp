#include "ClientDataSet.h"
#include "DataPacket.h"
#include "Exceptions.h"
#include "CodePage.h"
#include "Files.h"
#include "../MutationTestUtil.h"
#include "../TestUtil.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plat;

namespace {


QString dataFile(const char* name) { return QStringLiteral(SORVAMET_TEST_DATA "/") + QString::fromLatin1(name); }

bool haveTool(const char* name) { return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty(); }

// Runs a shell pipeline; returns its exit code and collects stdout.
int sh(const QString& command, QByteArray* out = nullptr)
{
    QProcess p;
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    p.waitForFinished(30000);
    if (out)
        *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

struct Row {
    const char* kod;
    const char* pole1;
    const char* pole2;
    const char* pole3;
    const char* pole4;
};

// The two records of the golden file "two_records.xml".
const Row kGoldenRows[] = {
    {"123", "Praha", "", "", ""},
    {"A<B&\"C\"", "Žluťoučký kůň úpěl ďábelské ódy", "tab\there", "line1\r\nline2", "back\\slash 'x' >"},
};

void fill(TClientDataSet& table, const Row& row)
{
    table.Append();
    const char* values[] = {row.kod, row.pole1, row.pole2, row.pole3, row.pole4};
    for (int i = 0; i < 5; ++i)
        table.Fields(i + 1).SetAsString(QString::fromUtf8(values[i]));
    table.Post();
}

class DataFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void createTable(TClientDataSet& table)
    {
        table.FieldDefs() = TClientDataSet::RecordTableDefs();
        table.CreateDataSet();
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(DataFile, NewTableIsWrittenByteForByteInTheFixedLayout)
{
    TClientDataSet table(nullptr);
    createTable(table);
    table.SaveToFile(path("new.xml"));
    EXPECT_EQ(fileBytes(path("new.xml")), fileBytes(dataFile("new_empty.xml")));
}

TEST_F(DataFile, RecordsWithEscapesAreWrittenByteForByte)
{
    TClientDataSet table(nullptr);
    createTable(table);
    for (const Row& r : kGoldenRows)
        fill(table, r);
    fill(table, {"third", "", "", "", ""});
    table.Delete(); // the last one: AUTOINCVALUE stays 4
    table.SaveToFile(path("two.xml"));
    EXPECT_EQ(fileBytes(path("two.xml")), fileBytes(dataFile("two_records.xml")));
}

TEST_F(DataFile, WrittenFileIsWellFormedForAnIndependentParser)
{
    if (!haveTool("iconv") || !haveTool("xmllint"))
        GTEST_SKIP() << "iconv or xmllint not installed";
    TClientDataSet table(nullptr);
    createTable(table);
    for (const Row& r : kGoldenRows)
        fill(table, r);
    fill(table, {"ctrl\x01" "char", "€ and ∑ and 😀", "", "", ""});
    table.SaveToFile(path("out.xml"));
    // Control characters other than tab, CR and LF are no XML characters at
    // all; leave that record out of the check of well-formedness.
    table.Delete();
    table.SaveToFile(path("wellformed.xml"));
    EXPECT_EQ(sh(QStringLiteral("iconv -f CP1250 -t UTF-8 '%1' | xmllint --noout -").arg(path("wellformed.xml"))), 0);

    // Python's parser reads the values back exactly.
    if (!QFile::exists(QStringLiteral("/usr/bin/python3")))
        GTEST_SKIP() << "python3 not installed";
    QByteArray json;
    ASSERT_EQ(sh(QStringLiteral("/usr/bin/python3 -c \"import sys,json,xml.etree.ElementTree as E;"
                                "r=E.fromstring(open(sys.argv[1],'rb').read().decode('cp1250'));"
                                "print(json.dumps([x.attrib for x in r.iter('ROW')]))\" '%1'")
                     .arg(path("wellformed.xml")),
                 &json),
              0);
    const QJsonArray rows = QJsonDocument::fromJson(json).array();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].toObject().value(QStringLiteral("kod")).toString(), QString::fromUtf8(kGoldenRows[1].kod));
    EXPECT_EQ(rows[1].toObject().value(QStringLiteral("pole1")).toString(), QString::fromUtf8(kGoldenRows[1].pole1));
    EXPECT_EQ(rows[1].toObject().value(QStringLiteral("pole3")).toString(), QStringLiteral("line1\r\nline2"));
    EXPECT_EQ(rows[1].toObject().value(QStringLiteral("pole4")).toString(), QString::fromUtf8(kGoldenRows[1].pole4));
}

TEST_F(DataFile, EscapesAndCharactersOutsideTheCodePageRoundTrip)
{
    const QStringList texts = {
        QStringLiteral("<>&'\""), QStringLiteral("a\rb\nc\td"), QStringLiteral("C:\\cesta\\soubor"),
        QString::fromUtf8("ěščřžýáíéúů ĚŠČŘŽÝÁÍÉÚŮ"), QString::fromUtf8("€ ∑ 😀 日本"), QStringLiteral("\x01\x1f"),
        QStringLiteral("&#092; &amp; literally"),
    };
    TClientDataSet table(nullptr);
    createTable(table);
    for (const QString& t : texts) {
        table.Append();
        table.FieldByName(QStringLiteral("kod")).SetAsString(QStringLiteral("k"));
        table.FieldByName(QStringLiteral("pole1")).SetAsString(t);
        table.Post();
    }
    table.SaveToFile(path("rt.xml"));
    TClientDataSet back(nullptr);
    back.SetFileName(path("rt.xml"));
    back.Open();
    ASSERT_EQ(back.RecordCount(), texts.size());
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(back.RecordText(i, 2), texts[i]) << i;
}

TEST_F(DataFile, IdGapAndAutoIncValueContinueNumbering)
{
    TClientDataSet table(nullptr);
    table.SetFileName(dataFile("utf8_gap.xml"));
    table.Open();
    ASSERT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(table.RecordText(0, 1), QString::fromUtf8("Čeština"));
    EXPECT_EQ(table.RecordText(0, 5), QString::fromUtf8("€€"));
    EXPECT_EQ(table.RecordText(1, 0), "5");
    EXPECT_EQ(table.AutoIncValue(), 7); // the stored value wins over the highest id
    table.Append();
    table.FieldByName(QStringLiteral("kod")).SetAsString(QStringLiteral("next"));
    table.Post();
    EXPECT_EQ(table.FieldByName(QStringLiteral("id")).AsInteger(), 7);
    table.CloseWithoutWriteBack();
}

TEST_F(DataFile, AutoIncValueBelowTheHighestIdNeverReusesAnId)
{
    QFile f(path("low.xml"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QByteArray bytes = fileBytes(dataFile("two_records.xml"));
    bytes.replace("AUTOINCVALUE=\"4\"", "AUTOINCVALUE=\"1\"");
    f.write(bytes);
    f.close();
    TClientDataSet table(nullptr);
    table.SetFileName(path("low.xml"));
    table.Open();
    EXPECT_EQ(table.AutoIncValue(), 3);
}

TEST_F(DataFile, DeletedNumbersAreNotReusedAfterReopening)
{
    TClientDataSet table(nullptr);
    createTable(table);
    table.SetFileName(path("del.xml"));
    for (const char* c : {"1", "2", "3"})
        fill(table, {c, "", "", "", ""});
    table.Delete();
    table.Close(); // writes back
    table.Open();
    table.Append();
    table.FieldByName(QStringLiteral("kod")).SetAsString(QStringLiteral("4"));
    table.Post();
    EXPECT_EQ(table.FieldByName(QStringLiteral("id")).AsInteger(), 4);
    table.CloseWithoutWriteBack();
}

TEST_F(DataFile, ChangeLogRowsAreAppliedOnReading)
{
    TClientDataSet table(nullptr);
    table.SetFileName(dataFile("change_log.xml"));
    table.Open();
    ASSERT_EQ(table.RecordCount(), 3);
    EXPECT_EQ(table.RecordText(0, 1), "one");
    EXPECT_EQ(table.RecordText(1, 1), "three");
    EXPECT_EQ(table.RecordText(1, 2), "new");
    EXPECT_EQ(table.RecordText(2, 1), "four");
    table.CloseWithoutWriteBack();
}

TEST_F(DataFile, WriteBackHappensOnlyForChangesOrAMissingFile)
{
    const QString file = path("wb.xml");
    TClientDataSet table(nullptr);
    createTable(table);
    table.SetFileName(file);
    table.SaveToFile(file);
    table.Close();
    table.Open();
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::fromSecsSinceEpoch(1000), QFileDevice::FileModificationTime));
    }
    table.Close(); // unchanged: not rewritten
    EXPECT_EQ(QFileInfo(file).lastModified().toSecsSinceEpoch(), 1000);
    table.Open();
    QFile::remove(file);
    table.Close(); // the file is gone: recreated
    EXPECT_TRUE(QFile::exists(file));
}

TEST_F(DataFile, FailedWriteLeavesTheOldFileAndTheTableOpen)
{
    // A name so long that no temporary file beside it can be created.
    const QString file = dir.filePath(QString(250, u'd') + QStringLiteral(".xml"));
    const QByteArray old = fileBytes(dataFile("two_records.xml"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    TClientDataSet table(nullptr);
    table.SetFileName(file);
    table.Open();
    fill(table, {"new", "", "", "", ""});
    EXPECT_THROW(table.Close(), EFCreateError);
    EXPECT_TRUE(table.Active());
    EXPECT_EQ(table.RecordCount(), 3);
    EXPECT_EQ(fileBytes(file), old);
    table.CloseWithoutWriteBack();
}

TEST_F(DataFile, FilesThatAreNoDataPacketRaiseAndLeaveTheTableClosed)
{
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"not xml", QByteArray("kod|pole1\n123|x\n")},
        {"other root", QByteArray("<?xml version=\"1.0\"?><TABLE/>")},
        {"unterminated", fileBytes(dataFile("two_records.xml")).left(300)},
        {"bad reference", QByteArray("<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"a&#xZZ;\" "
                                     "fieldtype=\"string\"/></FIELDS></METADATA></DATAPACKET>")},
        {"no fields", QByteArray("<DATAPACKET Version=\"2.0\"><METADATA><FIELDS/></METADATA></DATAPACKET>")},
        {"id not a number", QByteArray(fileBytes(dataFile("two_records.xml")).replace("id=\"2\"", "id=\"x\""))},
    };
    for (const auto& [name, bytes] : cases) {
        QFile f(path("bad.xml"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        TClientDataSet table(nullptr);
        table.SetFileName(path("bad.xml"));
        EXPECT_THROW(table.Open(), EDatabaseError) << name;
        EXPECT_FALSE(table.Active()) << name;
    }
    TClientDataSet table(nullptr);
    table.SetFileName(path("missing.xml"));
    EXPECT_THROW(table.Open(), EFOpenError);
}

TEST_F(DataFile, FilterDoesNotLimitWhatIsWritten)
{
    TClientDataSet table(nullptr);
    createTable(table);
    for (const Row& r : kGoldenRows)
        fill(table, r);
    table.OnFilterRecord = TFilterRecordEvent([](TClientDataSet*, bool& accept) { accept = false; }, nullptr, nullptr);
    table.SetFiltered(true);
    EXPECT_EQ(table.RecordCount(), 0);
    TDataPacket packet = ReadDataPacket(table.SaveToBytes());
    EXPECT_EQ(packet.rows.size(), 2u);
}

TEST(DataPacketRead, DeclaredEncodingDecidesHowTextsAreRead)
{
    const QByteArray body = "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"kod\" fieldtype=\"string\" "
                            "WIDTH=\"50\"/></FIELDS><PARAMS/></METADATA><ROWDATA><ROW kod=\"";
    const QByteArray tail = "\"/></ROWDATA></DATAPACKET>";
    const QString word = QString::fromUtf8("Šťáva");
    struct Case {
        const char* declaration;
        QByteArray encoded;
    };
    const Case cases[] = {
        {"<?xml version=\"1.0\" standalone=\"yes\"?>  ", unicodeToCp1250(word)},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>", word.toUtf8()},
        {"<?xml version='1.0' encoding='utf-8'?>", word.toUtf8()},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>", QByteArray("\xA9\xBB\xE1va")},
        {"\xEF\xBB\xBF<?xml version=\"1.0\"?>", word.toUtf8()},
    };
    for (const Case& c : cases) {
        const TDataPacket packet = ReadDataPacket(QByteArray(c.declaration) + body + c.encoded + tail);
        ASSERT_EQ(packet.rows.size(), 1u) << c.declaration;
        EXPECT_EQ(packet.rows[0][0], word) << c.declaration;
    }
}

// ---------------------------------------------------------------- damaged files

namespace {

// Reads a packet into a table; what was accepted must save and read back
// to the same bytes, so a damaged file never turns into a corrupt one.
void readAndResave(const QByteArray& bytes)
{
    const TDataPacket packet = ReadDataPacket(bytes);
    for (const QStringList& row : packet.rows)
        if (row.size() != qsizetype(packet.defs.size()))
            ADD_FAILURE() << "row of " << row.size() << " texts for " << packet.defs.size() << " fields from "
                          << bytes.toHex().constData();
    // Loaded over a table of two records: a refusal leaves either those or
    // a closed table, never part of the damaged file.
    static const QByteArray kHeld = fileBytes(dataFile("two_records.xml"));
    static const QByteArray kHeldSaved = [] {
        TClientDataSet held(nullptr);
        held.LoadFromBytes(kHeld);
        return held.SaveToBytes();
    }();
    TClientDataSet table(nullptr);
    table.LoadFromBytes(kHeld);
    try {
        table.LoadFromBytes(bytes);
    } catch (const Exception&) {
        if (table.Active() && table.SaveToBytes() != kHeldSaved)
            ADD_FAILURE() << "a refused file left part of itself in the table: " << bytes.toHex().constData();
        throw;
    }
    const QByteArray saved = table.SaveToBytes();
    TClientDataSet again(nullptr);
    try {
        again.LoadFromBytes(saved);
    } catch (const Exception& e) {
        ADD_FAILURE() << "saved table does not read back (" << e.message().toStdString() << "): "
                      << saved.toHex().constData() << " from " << bytes.toHex().constData();
        return;
    }
    if (again.SaveToBytes() != saved || again.RecordCount() != table.RecordCount())
        ADD_FAILURE() << "saved table changes on reading back: " << saved.toHex().constData() << " then "
                      << again.SaveToBytes().toHex().constData() << " from " << bytes.toHex().constData();
}

} // namespace

TEST(DataPacketRead, MutatedFilesReadOrRaiseAndWhatReadsSavesBack)
{
    std::vector<QByteArray> fixtures;
    for (const char* f : {"two_records.xml", "change_log.xml", "utf8_gap.xml", "new_empty.xml"}) {
        fixtures.push_back(fileBytes(dataFile(f)));
        ASSERT_FALSE(fixtures.back().isEmpty()) << f;
    }
    const auto outcome = mutation::runMutations(fixtures, 700, 1789, mutation::textTokens(), readAndResave);
    EXPECT_GT(outcome.accepted, 200);
    EXPECT_GT(outcome.refused, 300);
}

// Damaged inputs that once did harm, each the smallest that showed it.
TEST(DataPacketRead, DamagedInputsThatOnceDidHarm)
{
    const QByteArray head = "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"kod\" "
                            "fieldtype=\"string\" WIDTH=\"50\"/></FIELDS><PARAMS/></METADATA><ROWDATA><ROW kod=\"";
    const QByteArray tail = "\"/></ROWDATA></DATAPACKET>";
    const QByteArray oddField = "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"kod\" fieldtype=\"string\" "
                                "WIDTH=\"50\"/><FIELD attrname=\"";
    const QByteArray oddTail = "\" fieldtype=\"string\"/></FIELDS><PARAMS/></METADATA><ROWDATA><ROW kod=\"x\"/>"
                               "</ROWDATA></DATAPACKET>";
    struct Case {
        const char* name;
        QByteArray bytes;
        QString saved; // what the value reads as after a save; null: the file is refused
    };
    // Each of these read fine and was saved as a file that no longer opened
    // or read back different.
    const Case cases[] = {
        // Written as "&#000;", which no reader takes.
        {"raw NUL in a value", head + QByteArray("a\0b", 3) + tail, QStringLiteral("a?b")},
        // A reference to U+FEFF was dropped on reading; kept, it survives a save.
        {"reference to U+FEFF", head + "&#65279;x&#xFEFF;" + tail, QString(QChar(0xFEFF)) + u'x' + QChar(0xFEFF)},
        // Field names are written as attribute names of the rows.
        {"field name with a dollar", oddField + "$id" + oddTail, QString()},
        {"field name with a blank", oddField + "pole 3" + oddTail, QString()},
        {"field name with a byte order mark",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + oddField + "pole3\xEF\xBB\xBF" + oddTail, QString()},
    };
    for (const Case& c : cases) {
        TClientDataSet table(nullptr);
        if (c.saved.isNull()) {
            EXPECT_THROW(table.LoadFromBytes(c.bytes), EDatabaseError) << c.name;
            continue;
        }
        table.LoadFromBytes(c.bytes);
        TClientDataSet back(nullptr);
        ASSERT_NO_THROW(back.LoadFromBytes(table.SaveToBytes())) << c.name;
        ASSERT_EQ(back.RecordCount(), 1) << c.name;
        EXPECT_EQ(back.FieldByName(QStringLiteral("kod")).AsString(), c.saved) << c.name;
    }
}

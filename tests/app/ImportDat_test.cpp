#include "ImportDat.h"

#include "Application.h"
#include "CodePage.h"
#include "Dialogs_fixture.h"
#include "Exceptions.h"

#include <QDir>
#include <QProcess>

using namespace dialogtest;

namespace {

QString fixture(const char* name)
{
    return QStringLiteral(SORVAMET_TEST_DATA "/import/") + QString::fromLatin1(name);
}

class Import : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        newFile();
    }
    // "Import databáze" with the file and the file type chosen.
    bool import(const QString& file, int type)
    {
        ui.AnswerFile({file}, type);
        bool added = false;
        plat::Application().Guard([&] { added = ShowImportDat(window.get()); });
        return added;
    }
};

TEST_F(Import, AsksForTheFileWithBothTypes)
{
    ui.Cancel(QStringLiteral("OpenDialog"));
    EXPECT_FALSE(ShowImportDat(window.get()));
    const auto calls = ui.CallsOf(QStringLiteral("OpenDialog"));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].caption, u8("Otevřít soubor"));
    EXPECT_EQ(calls[0].details.value(0),
              u8("Databáze csv (oddělovač \"čára\")(*.csv)|*.csv|"
                 "Textový soubor (jeden sloupec pro kód bez oddělovače) (*.txt)|*.txt"));
    EXPECT_EQ(table().RecordCount(), 0);
}

TEST_F(Import, BarSeparatedLinesFillTheFieldsInOrder)
{
    addRecord("000");
    window->Akce_UlozitSoubor->setEnabled(false);
    EXPECT_TRUE(import(fixture("lide.csv"), 1));
    EXPECT_EQ(column("kod"), (QStringList{"000", "123", "456", "789"}));
    EXPECT_EQ(column("pole1"), (QStringList{"", "Praha", u8("Žluťoučký kůň"), u8("Čáslav")}));
    EXPECT_EQ(column("pole2"), (QStringList{"", "", u8("úpěl"), ""}));
    EXPECT_EQ(column("pole3"), (QStringList{"", "X", u8("ďábelské"), ""}));
    EXPECT_EQ(column("pole4"), (QStringList{"", "", u8("ódy"), ""}));
    EXPECT_EQ(column("id"), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(table().RecNo(), 4) << "the last record is current";
    EXPECT_EQ(window->CisloZaznamu->text(), "4 z 4");
    EXPECT_TRUE(window->Akce_UlozitSoubor->isEnabled());
}

TEST_F(Import, OneCodePerLine)
{
    EXPECT_TRUE(import(fixture("kody.txt"), 2));
    const QString longLine = u8("Příliš žluťoučký kůň úpěl ďábelské ódy - a ještě něco navíc!!");
    ASSERT_GT(longLine.size(), 50);
    EXPECT_EQ(column("kod"), (QStringList{"ABC001", "  ", longLine.left(50), "a|b", u8("poslední")}));
    EXPECT_EQ(table().State(), plat::dsBrowse) << "no unfinished record";
}

TEST_F(Import, TheChosenTypeDecidesNotTheExtension)
{
    EXPECT_TRUE(import(fixture("kody.txt"), 1));
    const QString longLine = u8("Příliš žluťoučký kůň úpěl ďábelské ódy - a ještě něco navíc!!");
    EXPECT_EQ(column("kod"), (QStringList{"ABC001", longLine.left(50), "a", u8("poslední")}));
    EXPECT_EQ(column("pole1"), (QStringList{"", "", "b", ""}));
}

TEST_F(Import, ALineWithoutACodeAddsNothing)
{
    addRecord("000");
    const qint64 next = table().AutoIncValue();
    ok();
    EXPECT_FALSE(import(fixture("chybny.csv"), 1));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].startsWith("Field 'kod' must have a value")) << messages()[0].toStdString();
    EXPECT_TRUE(messages()[0].contains(u8("řádek 3")));
    EXPECT_EQ(column("kod"), QStringList{"000"});
    EXPECT_EQ(table().State(), plat::dsBrowse) << "no insert left pending";
    EXPECT_EQ(table().AutoIncValue(), next);
    EXPECT_FALSE(ui.BusyCursor());
}

TEST_F(Import, AMissingFileIsReportedAndChangesNothing)
{
    addRecord("000");
    ok();
    EXPECT_FALSE(import(path("chybi.csv"), 1));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].startsWith("Cannot open file")) << messages()[0].toStdString();
    EXPECT_EQ(column("kod"), QStringList{"000"});
}

TEST_F(Import, BlankLinesOfAOneCodeFileAreKeptEmptyOnesSkipped)
{
    const QString file = path("mezery.txt");
    ASSERT_TRUE(writeAll(file, "a\r\n\r\n   \r\nb\r\n\r\n"));
    EXPECT_TRUE(import(file, 2));
    EXPECT_EQ(column("kod"), (QStringList{"a", "   ", "b"}));
}

TEST_F(Import, CzechTextLandsInTheDataFileUnchanged)
{
    EXPECT_TRUE(import(fixture("lide.csv"), 1));
    window->Akce_UlozitSoubor->trigger();
    const QByteArray data = readAll(path("data.xml"));
    const QByteArray source = readAll(fixture("lide.csv"));
    // The bytes of every field, in code page 1250, stand in the data file as
    // they stood in the import file.
    for (const QByteArray& line : source.split('\n')) {
        const QList<QByteArray> items = line.trimmed().split('|').mid(0, 5); // the fields an import fills
        for (const QByteArray& item : items) {
            if (!item.trimmed().isEmpty()) {
                EXPECT_TRUE(data.contains("\"" + item + "\"")) << item.toStdString();
            }
        }
    }

    // And an independent reader sees the same texts.
    if (!QFile::exists(QStringLiteral("/usr/bin/iconv")))
        GTEST_SKIP() << "iconv is not installed";
    QProcess iconv;
    iconv.start(QStringLiteral("/usr/bin/iconv"), {"-f", "CP1250", "-t", "UTF-8", path("data.xml")});
    ASSERT_TRUE(iconv.waitForFinished(30000));
    const QString text = QString::fromUtf8(iconv.readAllStandardOutput());
    EXPECT_TRUE(text.contains(u8("pole1=\"Žluťoučký kůň\" pole2=\"úpěl\" pole3=\"ďábelské\" pole4=\"ódy\"")));
    EXPECT_TRUE(text.contains(u8("kod=\"789\" pole1=\"Čáslav\"")));
}

TEST_F(Import, Utf8WithOrWithoutTheMarkAndCodePage1250ImportTheSameRecords)
{
    const QString text = u8("BOM1|Žluťoučký kůň|úpěl\r\nČ2|ďábelské ódy\r\n");
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"mark.csv", "\xEF\xBB\xBF" + text.toUtf8()},
        {"utf8.csv", text.toUtf8()},
        {"cp1250.csv", plat::unicodeToCp1250(text)},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(writeAll(path(c.name), c.bytes));
        EXPECT_TRUE(import(path(c.name), 1)) << c.name;
        ASSERT_TRUE(writeAll(path(c.name), QByteArray(c.bytes).replace('|', "\r\n")));
        EXPECT_TRUE(import(path(c.name), 2)) << c.name;
    }
    const QStringList once = {"BOM1", u8("Č2"), "BOM1", u8("Žluťoučký kůň"), u8("úpěl"), u8("Č2"),
                              u8("ďábelské ódy")};
    EXPECT_EQ(column("kod"), once + once + once);
    const QStringList pole1 = {u8("Žluťoučký kůň"), u8("ďábelské ódy"), "", "", "", "", ""};
    EXPECT_EQ(column("pole1"), pole1 + pole1 + pole1);
}

TEST_F(Import, ThirtyThousandLinesArriveInOrder)
{
    QByteArray bytes;
    for (int i = 1; i <= 30000; ++i)
        bytes += QByteArray::number(i) + "|\xe8\xed\x73lo " + QByteArray::number(i) + "\r\n";
    const QString file = path("velky.csv");
    ASSERT_TRUE(writeAll(file, bytes));
    EXPECT_TRUE(import(file, 1));
    ASSERT_EQ(table().RecordCount(), 30000);
    EXPECT_EQ(table().RecordText(29999, 1), "30000");
    EXPECT_EQ(table().RecordText(29999, 2), u8("číslo 30000"));
}

} // namespace

namespace {

TEST(AppendRecords, AFailureHalfWayTakesBackWhatWasAppended)
{
    plat::TClientDataSet t(nullptr);
    t.FieldDefs() = plat::TClientDataSet::RecordTableDefs();
    t.FieldDefs()[2].ReadOnly = true; // "pole1" of a file of other origin
    t.CreateDataSet();
    t.Append();
    t.FieldByName(QStringLiteral("kod")).SetAsString(QStringLiteral("old"));
    t.Post();
    const qint64 next = t.AutoIncValue();

    const std::vector<zd::TZaznam> records = {{"", "a", "", "", "", ""}, {"", "b", "x", "", "", ""}};
    EXPECT_THROW(zd::PripojitZaznamy(t, records), plat::EDatabaseError);
    EXPECT_EQ(t.RecordCount(), 1);
    EXPECT_EQ(t.FieldByName(QStringLiteral("kod")).AsString(), "old");
    EXPECT_EQ(t.State(), plat::dsBrowse);
    EXPECT_EQ(t.AutoIncValue(), next);
}

} // namespace

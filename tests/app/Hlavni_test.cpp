#include "Hlavni_f.h"

#include "ClientDataSet.h"
#include "DBGridModel.h"
#include "Dialogs_fixture.h"
#include "Dialogy.h"
#include "Exceptions.h"
#include "Modal.h"
#include "Printers.h"
#include "ScriptedServices.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace plat;

namespace {

using dialogtest::readAll;
using dialogtest::u8;

// Writes a file, making its folder first.
void writeFile(const QString& path, const QByteArray& bytes)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

const char* const kAllActions[] = {
    "Akce_Novy", "Akce_Otevrit", "Akce_UlozitSoubor", "Akce_UlozitJako", "Akce_ImportDat",
    "Akce_VlozeniDatExcel", "Akce_Zavrit", "Akce_Sestavy", "Akce_Konec", "Akce_Kopirovat",
    "Akce_KopirovatZaznam", "Akce_HledatZaznam", "Akce_HledatZaznamDalsi", "Akce_PrejitNaZaznam", "Akce_Filtr",
    "Akce_ZrusitFiltr", "Akce_NovyZaznam", "Akce_EditZaznamu", "Akce_OdstranitZaznam", "Akce_Generator",
    "Akce_PrvniZaznam", "Akce_PredchazejiciZaznam", "Akce_NasledujiciZaznam", "Akce_PosledniZaznam",
    "Akce_Konfig", "Akce_Domu", "Akce_Napoveda", "Akce_FR", "Akce_OProgramu",
};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        window = std::make_unique<THlavni>(dir.path());
        window->show();
    }
    void TearDown() override
    {
        window.reset();
        EXPECT_TRUE(ui.Unexpected().isEmpty()) << ui.Unexpected().join(u'\n').toStdString();
    }
    QAction* action(const char* name) const
    {
        auto* a = window->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    void trigger(const char* name) { action(name)->trigger(); }
    // Queues the "OK" of information boxes the next command shows.
    void ok(int boxes = 1)
    {
        for (int i = 0; i < boxes; ++i)
            ui.AnswerMessage(IDOK);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString label(const char* name) const
    {
        return window->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    // The actions enabled now, in table order.
    QStringList enabled() const
    {
        QStringList on;
        for (const char* name : kAllActions)
            if (window->findChild<QAction*>(QString::fromLatin1(name))->isEnabled())
                on << QString::fromLatin1(name).mid(5);
        return on;
    }
    void newFile(const QString& file)
    {
        ui.AnswerFile({file});
        trigger("Akce_Novy");
    }
    void openFile(const QString& file)
    {
        ui.AnswerFile({file});
        trigger("Akce_Otevrit");
    }
    void addRecord(const QString& code, const QString& pole1 = {})
    {
        TClientDataSet& t = *window->ClientDataSet1;
        t.Append();
        t.FieldByName(QStringLiteral("kod")).SetAsString(code);
        t.FieldByName(QStringLiteral("pole1")).SetAsString(pole1);
        t.Post();
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const ServiceCall& c : ui.CallsOf(QStringLiteral("MessageBox")))
            texts << c.text;
        return texts;
    }

    ScriptedServices ui;
    ScopedServices use{ui};
    QTemporaryDir dir;
    std::unique_ptr<THlavni> window;
};

const QStringList kAlways = {"Konec", "Konfig", "Domu", "Napoveda", "FR", "OProgramu"};

QStringList withAlways(QStringList names)
{
    QStringList all;
    for (const char* n : kAllActions) {
        const QString s = QString::fromLatin1(n).mid(5);
        if (names.contains(s) || kAlways.contains(s))
            all << s;
    }
    return all;
}

} // namespace

TEST_F(MainWindow, StartsWithNoTableAndTheDefaultSettings)
{
    EXPECT_EQ(window->objectName(), "Hlavni");
    EXPECT_EQ(window->windowTitle(), "Sorvamet Pro");
    EXPECT_EQ(Hlavni, window.get());
    EXPECT_EQ(enabled(), withAlways({"Novy", "Otevrit"}));
    EXPECT_EQ(label("CisloZaznamu"), "0");
    EXPECT_EQ(label("ParametrFiltru"), u8("Filtr : není zadán"));
    EXPECT_EQ(label("OtevrenySoubor"), u8("není otevřen"));
    EXPECT_EQ(window->MaxDelka, 8);
    EXPECT_TRUE(window->PouzeCisla);
    EXPECT_EQ(window->Popiska_kod, u8("Kód"));
    EXPECT_EQ(window->Popiska_pole4, "Pole 4");
    EXPECT_EQ(window->AdresarProgramu, dir.path() + u'/');
    EXPECT_EQ(window->NazevPole(1), QString());
}

TEST_F(MainWindow, ReadsTheSettingsFileBesideTheProgram)
{
    writeFile(path("Sorvamet.ini"),
              "[Nastaveni]\r\nMaxDelka=13\r\nPouzeCisla=0\r\nPopiska_kod=EAN\r\nPopiska_pole2=N\xE1zev\r\n");
    THlavni other(dir.path());
    EXPECT_EQ(other.MaxDelka, 13);
    EXPECT_FALSE(other.PouzeCisla);
    EXPECT_EQ(other.Popiska_kod, "EAN");
    EXPECT_EQ(other.Popiska_pole1, "Pole 1");
    EXPECT_EQ(other.Popiska_pole2, u8("Název"));
    Hlavni = window.get();
}

TEST_F(MainWindow, TheUsersSettingsFileWinsOverTheOneBesideTheProgram)
{
    writeFile(path("Sorvamet.ini"), "[Nastaveni]\r\nMaxDelka=13\r\nPopiska_kod=EAN\r\n");
    writeFile(path("config/sorvamet/Sorvamet.ini"), "[Nastaveni]\r\nMaxDelka=21\r\n");
    THlavni other(dir.path());
    EXPECT_EQ(other.MaxDelka, 21);
    EXPECT_EQ(other.Popiska_kod, u8("Kód")) << "nothing is taken from the file beside the program";
    Hlavni = window.get();
}

TEST_F(MainWindow, ActionsCarryTheirCaptionsShortcutsAndMenus)
{
    struct Case {
        const char* name;
        const char* caption;
        const char* shortcut;
        const char* hint;
    };
    const Case cases[] = {
        {"Akce_Novy", "Nový soubor", "Ctrl+N", "Vytvořit nový soubor"},
        {"Akce_UlozitJako", "Uložit jako...", "Ctrl+Shift+S", "Uložit soubor jako..."},
        {"Akce_Konec", "Konec", "Ctrl+Q", "Ukončení programu"},
        {"Akce_KopirovatZaznam", "Kopírovat text záznamu", "Ctrl+Shift+C", "Kopírovat text celého záznamu do schránky"},
        {"Akce_HledatZaznamDalsi", "Hledat další", "F3", "Hledat další"},
        {"Akce_NovyZaznam", "Nový záznam", "Ins", "Nový záznam"},
        {"Akce_EditZaznamu", "Editovat záznam", "Shift+Ins", "Editovat záznam"},
        {"Akce_OdstranitZaznam", "Odstranit záznam", "Shift+Del", "Odstranit záznam"},
        {"Akce_Napoveda", "Nápověda (on-line)", "F1", "Nápověda"},
        {"Akce_FR", "Dokumentace k tiskovému modulu  (on-line)", "", nullptr},
    };
    for (const Case& c : cases) {
        QAction* a = action(c.name);
        EXPECT_EQ(a->text(), u8(c.caption)) << c.name;
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(c.shortcut))) << c.name;
        EXPECT_EQ(a->property("hint").toString(), c.hint ? u8(c.hint) : QString()) << c.name;
    }
    QStringList menus;
    for (QAction* m : window->menuBar()->actions())
        menus << m->text().remove(u'&');
    EXPECT_EQ(menus, (QStringList{"Soubor", u8("Úpravy"), "Data", u8("Nástroje"), u8("Nápověda")}));
    QStringList soubor;
    for (QAction* a : window->menuBar()->actions()[0]->menu()->actions())
        soubor << (a->isSeparator() ? QStringLiteral("-") : a->objectName().mid(5));
    EXPECT_EQ(soubor, (QStringList{"Novy", "Otevrit", "-", "UlozitSoubor", "UlozitJako", "ImportDat",
                                   "VlozeniDatExcel", "-", "Zavrit", "-", "Sestavy", "-", "Konec"}));
    QStringList toolbar;
    for (QAction* a : window->ToolBar1->actions())
        toolbar << (a->isSeparator() ? QStringLiteral("-") : a->objectName().mid(5));
    EXPECT_EQ(toolbar.join(u' '),
              "Konec - Novy Otevrit UlozitSoubor Zavrit - Sestavy - Kopirovat HledatZaznam - Filtr ZrusitFiltr - "
              "NovyZaznam EditZaznamu OdstranitZaznam - Generator - PrvniZaznam PredchazejiciZaznam "
              "NasledujiciZaznam PosledniZaznam - Konfig - Napoveda");
}

TEST_F(MainWindow, NewFileAddSaveCloseReopenGivesTheGoldenFile)
{
    newFile(path("kody")); // no extension: ".xml" is added
    const QString file = path("kody.xml");
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_EQ(readAll(file), readAll(QStringLiteral(SORVAMET_TEST_DATA "/new_empty.xml")));
    EXPECT_EQ(label("OtevrenySoubor"), file);
    EXPECT_EQ(label("CisloZaznamu"), "0 z 0");
    EXPECT_EQ(ui.CallsOf(QStringLiteral("SaveDialog"))[0].caption, u8("Nový soubor"));
    EXPECT_EQ(ui.CallsOf(QStringLiteral("SaveDialog"))[0].details[0], u8("Databáze pro čárové kódy (*.xml)|*.xml"));

    addRecord(QStringLiteral("123"), QStringLiteral("Praha"));
    TClientDataSet& t = *window->ClientDataSet1;
    t.Append();
    t.FieldByName(QStringLiteral("kod")).SetAsString(u8("A<B&\"C\""));
    t.FieldByName(QStringLiteral("pole1")).SetAsString(u8("Žluťoučký kůň úpěl ďábelské ódy"));
    t.FieldByName(QStringLiteral("pole2")).SetAsString(QStringLiteral("tab\there"));
    t.FieldByName(QStringLiteral("pole3")).SetAsString(QStringLiteral("line1\r\nline2"));
    t.FieldByName(QStringLiteral("pole4")).SetAsString(QStringLiteral("back\\slash 'x' >"));
    t.Post();
    addRecord(QStringLiteral("third"));
    ui.AnswerMessage(IDYES);
    trigger("Akce_OdstranitZaznam");
    EXPECT_EQ(label("CisloZaznamu"), "2 z 2");
    EXPECT_TRUE(action("Akce_UlozitSoubor")->isEnabled());
    trigger("Akce_UlozitSoubor");
    EXPECT_FALSE(action("Akce_UlozitSoubor")->isEnabled());
    EXPECT_EQ(readAll(file), readAll(QStringLiteral(SORVAMET_TEST_DATA "/two_records.xml")));

    trigger("Akce_Zavrit");
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(label("OtevrenySoubor"), u8("není otevřen"));
    openFile(file);
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(t.RecordText(1, 1), u8("A<B&\"C\""));
    EXPECT_EQ(t.RecordText(1, 3), QStringLiteral("tab\there"));
    addRecord(QStringLiteral("next"));
    EXPECT_EQ(t.FieldByName(QStringLiteral("id")).AsInteger(), 4);
}

TEST_F(MainWindow, NewFileRejectsOtherExtensionsAndAsksBeforeOverwriting)
{
    for (const char* name : {"a.XML", "a.txt"}) {
        ok();
        newFile(path(name));
        EXPECT_FALSE(window->ClientDataSet1->Active()) << name;
        EXPECT_FALSE(QFile::exists(path(name))) << name;
    }
    EXPECT_EQ(messages(), QStringList(2, u8("Chybně zadané jméno souboru.")));

    QFile existing(path("b.xml"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();
    ui.AnswerMessage(IDNO);
    newFile(path("b.xml"));
    EXPECT_EQ(readAll(path("b.xml")), "keep");
    const ServiceCall ask = ui.CallsOf(QStringLiteral("MessageBox")).back();
    EXPECT_EQ(ask.caption, u8("Varování"));
    EXPECT_EQ(ask.buttons, (QStringList{"Yes", "No*"}));

    ui.AnswerMessage(IDYES);
    newFile(path("b.xml"));
    EXPECT_TRUE(window->ClientDataSet1->Active());
    EXPECT_TRUE(readAll(path("b.xml")).startsWith("<?xml"));

    ui.Cancel(QStringLiteral("SaveDialog"));
    trigger("Akce_Zavrit");
    trigger("Akce_Novy"); // cancelled: nothing happens
    EXPECT_FALSE(window->ClientDataSet1->Active());
}

TEST_F(MainWindow, EnabledStateFollowsOpenChangeSaveDeleteAndClose)
{
    newFile(path("s.xml"));
    const QStringList openEmpty = withAlways({"UlozitJako", "ImportDat", "VlozeniDatExcel", "Zavrit", "Sestavy",
                                              "Kopirovat", "KopirovatZaznam", "HledatZaznam", "PrejitNaZaznam",
                                              "Filtr", "ZrusitFiltr", "NovyZaznam", "Generator"});
    EXPECT_EQ(enabled(), openEmpty);
    EXPECT_EQ(label("CisloZaznamu"), "0 z 0");

    for (const char* c : {"1", "2", "3", "4", "5"})
        addRecord(QString::fromLatin1(c));
    QStringList changed = openEmpty;
    changed << "UlozitSoubor" << "EditZaznamu" << "OdstranitZaznam" << "PrvniZaznam" << "PredchazejiciZaznam";
    EXPECT_EQ(enabled(), withAlways(changed)); // on the fifth of five
    EXPECT_EQ(label("CisloZaznamu"), "5 z 5");

    trigger("Akce_PrvniZaznam");
    QStringList onFirst = openEmpty;
    onFirst << "UlozitSoubor" << "EditZaznamu" << "OdstranitZaznam" << "NasledujiciZaznam" << "PosledniZaznam";
    EXPECT_EQ(enabled(), withAlways(onFirst));
    EXPECT_EQ(label("CisloZaznamu"), "1 z 5");

    trigger("Akce_UlozitSoubor");
    onFirst.removeAll(QStringLiteral("UlozitSoubor"));
    EXPECT_EQ(enabled(), withAlways(onFirst));

    ui.AnswerMessage(IDYES);
    trigger("Akce_OdstranitZaznam"); // a delete is a change: saving is offered again
    onFirst << "UlozitSoubor";
    EXPECT_EQ(enabled(), withAlways(onFirst));
    EXPECT_EQ(label("CisloZaznamu"), "1 z 4");

    trigger("Akce_Zavrit");
    EXPECT_EQ(enabled(), withAlways({"Novy", "Otevrit"}));
    EXPECT_EQ(label("CisloZaznamu"), "0 z 0");
}

TEST_F(MainWindow, DeleteAsksAndOnlyYesDeletes)
{
    newFile(path("d.xml"));
    addRecord(QStringLiteral("1"));
    ui.AnswerMessage(IDNO);
    trigger("Akce_OdstranitZaznam");
    EXPECT_EQ(window->ClientDataSet1->RecordCount(), 1);
    const ServiceCall ask = ui.CallsOf(QStringLiteral("MessageBox")).back();
    EXPECT_EQ(ask.caption, u8("Mazání záznamu"));
    EXPECT_EQ(ask.text, u8("Opravdu chcete odstranit aktuální záznam?"));
    EXPECT_EQ(ask.flags, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
}

TEST_F(MainWindow, SaveAsWritesACopyAndLaterSavesGoToTheOpenFile)
{
    newFile(path("first.xml"));
    addRecord(QStringLiteral("1"));
    ui.AnswerFile({path("copy.xml")});
    trigger("Akce_UlozitJako");
    const ServiceCall dialog = ui.CallsOf(QStringLiteral("SaveDialog")).back();
    EXPECT_EQ(dialog.caption, u8("Uložit jako ..."));
    EXPECT_EQ(dialog.details[3], "first.xml");
    EXPECT_TRUE(readAll(path("copy.xml")).contains("kod=\"1\""));
    EXPECT_EQ(label("OtevrenySoubor"), path("first.xml"));
    EXPECT_TRUE(action("Akce_UlozitSoubor")->isEnabled());

    addRecord(QStringLiteral("2"));
    trigger("Akce_UlozitSoubor");
    EXPECT_TRUE(readAll(path("first.xml")).contains("kod=\"2\""));
    EXPECT_FALSE(readAll(path("copy.xml")).contains("kod=\"2\""));

    // Over an existing file only after a second "Yes".
    ui.AnswerFile({path("copy.xml")});
    ui.AnswerMessage(IDNO);
    trigger("Akce_UlozitJako");
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).back().text,
              u8("Soubor \"") + path("copy.xml") + u8("\" již existuje.\r\nChcete jej přepsat?"));
    EXPECT_FALSE(readAll(path("copy.xml")).contains("kod=\"2\""));
}

TEST_F(MainWindow, SaveRefusesWhenTheFileIsGoneAndCloseRecreatesIt)
{
    newFile(path("gone.xml"));
    addRecord(QStringLiteral("1"));
    QFile::remove(path("gone.xml"));
    ok();
    trigger("Akce_UlozitSoubor");
    EXPECT_EQ(messages().back(), u8("Soubor \"") + path("gone.xml") + u8("\" se nepodařilo uložit!"));
    EXPECT_FALSE(QFile::exists(path("gone.xml")));
    trigger("Akce_Zavrit");
    EXPECT_TRUE(readAll(path("gone.xml")).contains("kod=\"1\""));
}

TEST_F(MainWindow, FailedWriteBackKeepsTheTableOpenAndReportsIt)
{
    const QString file = dir.filePath(QString(250, u'l') + QStringLiteral(".xml"));
    {
        TClientDataSet t(nullptr);
        t.FieldDefs() = TClientDataSet::RecordTableDefs();
        t.CreateDataSet();
        t.SaveToFile(file);
    }
    const QByteArray old = readAll(file);
    openFile(file);
    addRecord(QStringLiteral("1"));
    ok();
    trigger("Akce_Zavrit");
    EXPECT_TRUE(window->ClientDataSet1->Active());
    EXPECT_EQ(label("OtevrenySoubor"), file);
    EXPECT_EQ(readAll(file), old);
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).back().flags, MB_OK | MB_ICONSTOP);

    // Quitting then asks whether to leave without the data.
    ok();
    ui.AnswerMessage(IDNO);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->ClientDataSet1->Active());
    ok();
    ui.AnswerMessage(IDYES);
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->ClientDataSet1->Active());
}

TEST_F(MainWindow, QuittingWritesBackUnsavedData)
{
    newFile(path("q.xml"));
    addRecord(QStringLiteral("bye"));
    trigger("Akce_Konec");
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(readAll(path("q.xml")).contains("kod=\"bye\""));
}

TEST_F(MainWindow, OpeningABadFileReportsItAndLeavesNothingOpen)
{
    QFile bad(path("bad.xml"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("this is not a data packet");
    bad.close();
    ok();
    openFile(path("bad.xml"));
    EXPECT_FALSE(window->ClientDataSet1->Active());
    EXPECT_EQ(label("OtevrenySoubor"), u8("není otevřen"));
    EXPECT_EQ(enabled(), withAlways({"Novy", "Otevrit"}));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].contains(QStringLiteral("Invalid data packet")));
    const ServiceCall dialog = ui.CallsOf(QStringLiteral("OpenDialog")).back();
    EXPECT_EQ(dialog.caption, u8("Otevřít soubor"));
    EXPECT_EQ(dialog.details[0], u8("Databáze čárových kódů (*.xml)|*.xml"));
}

TEST_F(MainWindow, GridShowsTheFieldsUnderTheirTitlesAndFollowsTheTable)
{
    newFile(path("g.xml"));
    for (const char* c : {"1", "2", "3"})
        addRecord(QString::fromLatin1(c));
    QTableView* grid = window->DBGrid1;
    EXPECT_EQ(grid->objectName(), "DBGrid1");
    QStringList titles;
    QList<int> widths;
    for (int i = 0; i < grid->model()->columnCount(); ++i) {
        titles << grid->model()->headerData(i, Qt::Horizontal).toString();
        widths << grid->columnWidth(i);
    }
    EXPECT_EQ(titles, (QStringList{u8("č."), u8("Kód"), "Pole 1", "Pole 2", "Pole 3", "Pole 4"}));
    EXPECT_EQ(widths, (QList<int>{40, 150, 140, 120, 120, 120}));
    EXPECT_EQ(grid->currentIndex().row(), 2);

    trigger("Akce_PrvniZaznam");
    EXPECT_EQ(grid->currentIndex().row(), 0);
    // Choosing a row in the grid moves the table.
    grid->setCurrentIndex(grid->model()->index(1, 1));
    EXPECT_EQ(window->ClientDataSet1->RecNo(), 2);
    EXPECT_EQ(label("CisloZaznamu"), "2 z 3");
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(window->ClientDataSet1->RecNo(), 3);
}

TEST_F(MainWindow, CopyCommandsPutPlainTextOnTheClipboard)
{
    newFile(path("c.xml"));
    trigger("Akce_Kopirovat");
    EXPECT_EQ(ui.ClipboardText(), QString());
    addRecord(QStringLiteral("8590001"), u8("Šroub"));
    trigger("Akce_Kopirovat");
    EXPECT_EQ(ui.ClipboardText(), "8590001");
    window->ClientDataSet1->Edit();
    window->ClientDataSet1->FieldByName(QStringLiteral("pole2")).SetAsString(QStringLiteral("not copied"));
    window->ClientDataSet1->Post();
    trigger("Akce_KopirovatZaznam");
    EXPECT_EQ(ui.ClipboardText(), u8("ID: 1\r\nKod: 8590001\r\nPole 1: Šroub"));
}

TEST_F(MainWindow, GoToRecordChecksTheAnswer)
{
    newFile(path("p.xml"));
    for (const char* c : {"1", "2", "3", "4", "5"})
        addRecord(QString::fromLatin1(c));
    struct Case {
        const char* answer;
        int recNo;           // afterwards
        const char* message; // nullptr: none
    };
    const Case cases[] = {
        {"3", 3, nullptr},
        {"3a", 3, "Zadali jste neplatnou hodnotu"},
        {"", 3, "Nebyla zadaná žádná hodnota"},
        {"0", 3, "Zadali jste hodnotu mimo povolený rozsah"},
        {"6", 3, "Zadali jste hodnotu mimo povolený rozsah"},
        {"-1", 3, "Zadali jste neplatnou hodnotu"},
        {"3", 3, nullptr},
        {"99999999999", 3, "'99999999999' is not a valid integer value."},
        {"5", 5, nullptr},
    };
    for (const Case& c : cases) {
        const size_t before = ui.CallsOf(QStringLiteral("MessageBox")).size();
        if (c.message)
            ok();
        ui.AnswerInput(QString::fromLatin1(c.answer));
        trigger("Akce_PrejitNaZaznam");
        EXPECT_EQ(window->ClientDataSet1->RecNo(), c.recNo) << c.answer;
        const auto boxes = ui.CallsOf(QStringLiteral("MessageBox"));
        if (c.message) {
            ASSERT_EQ(boxes.size(), before + 1) << c.answer;
            EXPECT_EQ(boxes.back().text, u8(c.message)) << c.answer;
        } else {
            EXPECT_EQ(boxes.size(), before) << c.answer;
        }
    }
    const ServiceCall query = ui.CallsOf(QStringLiteral("InputQuery")).front();
    EXPECT_EQ(query.caption, u8("Přejít na záznam ..."));
    EXPECT_EQ(query.text, u8("Zadejte pořadí záznamu od 1 do 5  :"));
    ui.Cancel(QStringLiteral("InputQuery"));
    trigger("Akce_PrejitNaZaznam");
    EXPECT_EQ(window->ClientDataSet1->RecNo(), 5);
}

TEST_F(MainWindow, SearchNextFindsAfterTheCurrentRecordWithoutWrapping)
{
    newFile(path("h.xml"));
    for (const char* c : {"ab", "x", "XAB", "abc", "y"})
        addRecord(QString::fromLatin1(c));
    EXPECT_FALSE(action("Akce_HledatZaznamDalsi")->isEnabled());
    window->HledanePole = window->NazevPole(1);
    window->HledanyVyraz = QStringLiteral("aB");
    window->CeleVyrazy = false;
    window->AktualizovatAkce();
    ASSERT_TRUE(action("Akce_HledatZaznamDalsi")->isEnabled());
    trigger("Akce_PrvniZaznam");
    trigger("Akce_HledatZaznamDalsi");
    EXPECT_EQ(window->ClientDataSet1->RecNo(), 3);
    EXPECT_EQ(label("CisloZaznamu"), "3 z 5"); // the controls were resumed
    trigger("Akce_HledatZaznamDalsi");
    EXPECT_EQ(window->ClientDataSet1->RecNo(), 4);
    ok();
    trigger("Akce_HledatZaznamDalsi");
    EXPECT_EQ(window->ClientDataSet1->RecNo(), 5);
    EXPECT_EQ(messages().back(), u8("Hledaný výraz: aB nebyl nalezen."));

    window->CeleVyrazy = true;
    window->ClientDataSet1->First();
    EXPECT_TRUE(window->NajitZaznam(QStringLiteral("kod"), QStringLiteral("ABC"), true));
    EXPECT_EQ(window->ClientDataSet1->RecNo(), 4);
    EXPECT_FALSE(ui.BusyCursor());
}

TEST_F(MainWindow, FilterPredicateStaysOnAcrossFilesUntilCancelled)
{
    newFile(path("f1.xml"));
    for (const char* c : {"a1", "b2", "A3", "b4", "a5"})
        addRecord(QString::fromLatin1(c));
    window->FiltrPole = 1;
    window->FiltrVyraz = QStringLiteral("A");
    window->ClientDataSet1->SetFiltered(true);
    EXPECT_EQ(label("CisloZaznamu"), "1 z 3");
    window->FiltrPole = 0;
    window->FiltrVyraz = QStringLiteral("2 - 4");
    window->ClientDataSet1->Refresh();
    EXPECT_EQ(window->ClientDataSet1->RecordCount(), 3);

    // Saving writes every record, whatever the filter.
    trigger("Akce_UlozitSoubor");
    EXPECT_EQ(readAll(path("f1.xml")).count("<ROW "), 5);

    trigger("Akce_Zavrit");
    openFile(path("f1.xml"));
    EXPECT_EQ(window->ClientDataSet1->RecordCount(), 3);
    window->ParametrFiltru->setText(QStringLiteral("Filtr : 2 - 4"));
    trigger("Akce_ZrusitFiltr");
    EXPECT_EQ(window->ClientDataSet1->RecordCount(), 5);
    EXPECT_EQ(label("ParametrFiltru"), u8("Filtr : není zadán"));
}

TEST_F(MainWindow, RecordPostedUnderAFilterThatHidesItStaysCurrent)
{
    newFile(path("fh.xml"));
    addRecord(QStringLiteral("a1"));
    window->FiltrPole = 1;
    window->FiltrVyraz = QStringLiteral("a");
    window->ClientDataSet1->SetFiltered(true);
    addRecord(QStringLiteral("zzz"));
    EXPECT_EQ(window->ClientDataSet1->FieldByName(QStringLiteral("kod")).AsString(), "zzz");
    EXPECT_EQ(label("CisloZaznamu"), "2 z 2");
    window->ClientDataSet1->Edit();
    window->ClientDataSet1->FieldByName(QStringLiteral("pole1")).SetAsString(QStringLiteral("edited"));
    window->ClientDataSet1->Post();
    EXPECT_EQ(window->ClientDataSet1->FieldByName(QStringLiteral("kod")).AsString(), "zzz");
    EXPECT_EQ(window->ClientDataSet1->RecordText(0, 2), QString()); // a1 untouched
}

TEST_F(MainWindow, PrintOpensTheReportListOverSuspendedControlsOrSaysThereIsNoPrinter)
{
    newFile(path("n.xml"));
    addRecord(QStringLiteral("1"));
    if (plat::ListPrinters().empty()) {
        ok();
        trigger("Akce_Sestavy");
        EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).back().text,
                  QString::fromUtf8("V systému Windows není nainstalovaná žádná tiskárna."));
        return;
    }
    QString shown;
    bool suspended = false;
    plat::ScopedModalRunner runner([&](QDialog& d) {
        shown = d.objectName();
        suspended = window->ClientDataSet1->ControlsDisabled();
        return int(QDialog::Rejected);
    });
    trigger("Akce_Sestavy");
    EXPECT_EQ(shown, QStringLiteral("SestavyZazaDuzudi"));
    EXPECT_TRUE(suspended);
    EXPECT_FALSE(window->ClientDataSet1->ControlsDisabled());
}

TEST_F(MainWindow, HelpLinksOpenTheBrowser)
{
    newFile(path("n.xml"));
    EXPECT_TRUE(ui.CallsOf(QStringLiteral("SaveDialog")).size() == 1); // only the new file's
    for (const char* name : {"Akce_Domu", "Akce_Napoveda", "Akce_FR"}) {
        ui.AnswerShellOpen(true);
        trigger(name);
        EXPECT_TRUE(ui.CallsOf(QStringLiteral("ShellOpen")).back().text.startsWith(QStringLiteral("https://")));
    }
    EXPECT_EQ(ui.CallsOf(QStringLiteral("ShellOpen")).size(), 3u);
}

TEST_F(MainWindow, AHelpLinkThatCannotBeOpenedSaysSo)
{
    for (const char* name : {"Akce_Domu", "Akce_Napoveda", "Akce_FR"}) {
        ui.AnswerShellOpen(false);
        ok();
        const size_t before = ui.CallsOf(QStringLiteral("MessageBox")).size();
        trigger(name);
        ASSERT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), before + 1) << name;
        const QString address = ui.CallsOf(QStringLiteral("ShellOpen")).back().text;
        EXPECT_EQ(messages().back(), u8("Stránku ") + address +
                                         u8(" se nepodařilo otevřít.\r\nZkontrolujte, zda je v systému nastaven "
                                            "výchozí webový prohlížeč."))
            << name;
    }
}

TEST_F(MainWindow, AboutBoxShowsVersionBuildDateAndModule)
{
    QStringList texts;
    const plat::ModalRunner previous = plat::SetModalRunner([&](QDialog& d) {
        for (QLabel* l : d.findChildren<QLabel*>())
            texts << l->text();
        return 1;
    });
    trigger("Akce_OProgramu");
    plat::SetModalRunner(previous);
    EXPECT_TRUE(texts.contains(VerzeProgramu() + QStringLiteral("     2021-07-10")));
    EXPECT_TRUE(texts.contains(QStringLiteral("ZD02  ZD02 2018-06-06")));
}

TEST_F(MainWindow, DoubleClickWithoutATableDoesNothing)
{
    window->DBGrid1DblClick();
    EXPECT_TRUE(ui.Calls().empty());
}

TEST_F(MainWindow, KeyboardShortcutsReachTheActionsFromTheGrid)
{
    newFile(path("k.xml"));
    addRecord(QStringLiteral("777"));
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->DBGrid1->setFocus();
    QTest::keyClick(window->DBGrid1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(ui.ClipboardText(), "777");
    ui.AnswerMessage(IDNO);
    QTest::keyClick(window->DBGrid1, Qt::Key_Delete, Qt::ShiftModifier);
    ASSERT_FALSE(messages().isEmpty());
    EXPECT_EQ(messages().back(), u8("Opravdu chcete odstranit aktuální záznam?"));
    ui.AnswerInput(QStringLiteral("1"));
    QTest::keyClick(window->DBGrid1, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(ui.CallsOf(QStringLiteral("InputQuery")).size(), 1u);
}

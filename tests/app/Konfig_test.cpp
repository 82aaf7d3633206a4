#include "Konfig_f.h"

#include "DBGridModel.h"
#include "Dialogs_fixture.h"
#include "Prvky.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

using namespace dialogtest;

namespace {

class Konfig : public DialogTest {
protected:
    QStringList gridTitles() const { return window->GridModel->ColumnTitles(); }
};

TEST_F(Konfig, ShowsTheLiveValuesWithOkDisabledUntilSomethingChanges)
{
    onModal([&](QDialog& d) {
        auto& k = static_cast<TKonfig&>(d);
        EXPECT_EQ(k.windowTitle(), "Konfigurace");
        EXPECT_EQ(k.Edit_MaxDelka->text(), "8");
        EXPECT_EQ(k.MaxDelka->Position(), 8);
        EXPECT_TRUE(k.ChB_PouzeCisla->isChecked());
        EXPECT_EQ(k.Ed_kod->text(), u8("Kód"));
        EXPECT_EQ(k.Ed_pole4->text(), "Pole 4");
        EXPECT_FALSE(k.Tl_Ok->isEnabled());
        k.ChB_PouzeCisla->click();
        EXPECT_TRUE(k.Tl_Ok->isEnabled());
        return int(QDialog::Rejected);
    });
    EXPECT_FALSE(ShowKonfig(window.get()));
}

TEST_F(Konfig, EnablingRulesOfOk)
{
    onModal([&](QDialog& d) {
        auto& k = static_cast<TKonfig&>(d);
        k.Ed_pole2->setText("X");
        EXPECT_TRUE(k.Tl_Ok->isEnabled());
        k.Edit_MaxDelka->clear();
        EXPECT_FALSE(k.Tl_Ok->isEnabled()) << "an empty length disables Ok";
        QTest::keyClicks(k.Edit_MaxDelka, "7");
        EXPECT_TRUE(k.Tl_Ok->isEnabled());
        k.FormShow();
        k.MaxDelka->Click(true);
        EXPECT_TRUE(k.Tl_Ok->isEnabled()) << "a change through the up-down enables Ok";
        EXPECT_EQ(k.Edit_MaxDelka->text(), "8");
        return int(QDialog::Rejected);
    });
    ShowKonfig(window.get());
}

TEST_F(Konfig, LeavingTheLengthClampsWhatItShows)
{
    struct Case {
        const char* typed;
        const char* shown;
        int position;
    };
    const Case cases[] = {{"75", "50", 50}, {"", "1", 1}, {"0", "1", 1}, {"12", "12", 12}};
    for (const Case& c : cases) {
        onModal([&](QDialog& d) {
            auto& k = static_cast<TKonfig&>(d);
            k.Edit_MaxDelka->clear();
            QTest::keyClicks(k.Edit_MaxDelka, QString::fromLatin1(c.typed));
            EXPECT_TRUE(k.Edit_MaxDelkaExit());
            EXPECT_EQ(k.Edit_MaxDelka->text(), QString::fromLatin1(c.shown)) << c.typed;
            EXPECT_EQ(k.MaxDelka->Position(), c.position) << c.typed;
            return int(QDialog::Rejected);
        });
        ShowKonfig(window.get());
    }
}

TEST_F(Konfig, LeavingTheEditRunsTheCheck)
{
    bool active = true;
    onModal([&](QDialog& d) {
        auto& k = static_cast<TKonfig&>(d);
        k.activateWindow();
        active = QTest::qWaitForWindowActive(&k);
        if (active) {
            k.Edit_MaxDelka->setFocus();
            k.Edit_MaxDelka->setText("75");
            k.Ed_kod->setFocus();
            EXPECT_EQ(k.Edit_MaxDelka->text(), "50");
        }
        return int(QDialog::Rejected);
    });
    ShowKonfig(window.get());
    if (!active)
        GTEST_SKIP() << "no active window on this platform";
}

TEST_F(Konfig, TheLengthEditTakesOnlyDigitsAndTheFullStop)
{
    onModal([&](QDialog& d) {
        auto& k = static_cast<TKonfig&>(d);
        k.Edit_MaxDelka->clear();
        QTest::keyClicks(k.Edit_MaxDelka, "a1-.");
        EXPECT_EQ(k.Edit_MaxDelka->text(), "1.");
        return int(QDialog::Rejected);
    });
    ShowKonfig(window.get());
    EXPECT_EQ(beeps(), 2);
}

TEST_F(Konfig, ANumberThatIsNotWholeKeepsTheDialogOpenAndTheLastPosition)
{
    ui.AnswerMessage(plat::IDOK);
    onModal([&](QDialog& d) {
        auto& k = static_cast<TKonfig&>(d);
        k.Edit_MaxDelka->setText("1.");
        k.Tl_Ok->click();
        EXPECT_TRUE(k.isVisible()) << "the dialog stays open";
        EXPECT_EQ(k.MaxDelka->Position(), 8);
        return int(QDialog::Rejected);
    });
    EXPECT_FALSE(ShowKonfig(window.get()));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0], "'1.' is not a valid integer value.");
    EXPECT_EQ(window->MaxDelka, 8);
}

TEST_F(Konfig, OkStoresWhatTheEditShows)
{
    // The up-down follows a typed number; a value out of range is clamped
    // when Ok is pressed, not kept at the last in-range value.
    onModal([&](QDialog& d) {
        auto& k = static_cast<TKonfig&>(d);
        k.Edit_MaxDelka->setText("99");
        k.Tl_Ok->click();
        return k.result();
    });
    ASSERT_TRUE(ShowKonfig(window.get()));
    EXPECT_EQ(window->MaxDelka, 50);
}

TEST_F(Konfig, ConfirmingWritesTheSectionAndRetitlesTheGrid)
{
    newFile();
    onModal([&](QDialog& d) {
        auto& k = static_cast<TKonfig&>(d);
        k.Edit_MaxDelka->setText("13");
        k.ChB_PouzeCisla->click();
        k.Ed_kod->setText(u8("Číslo účtu"));
        k.Ed_pole3->setText(u8("Město"));
        k.Tl_Ok->click();
        return k.result();
    });
    ASSERT_TRUE(ShowKonfig(window.get()));
    EXPECT_EQ(window->MaxDelka, 13);
    EXPECT_FALSE(window->PouzeCisla);
    EXPECT_EQ(window->Popiska_kod, u8("Číslo účtu"));
    EXPECT_EQ(gridTitles(), (QStringList{u8("č."), u8("Číslo účtu"), "Pole 1", "Pole 2", u8("Město"), "Pole 4"}));

    // The file: the seven keys in order, in code page 1250.
    const QByteArray bytes = readAll(ini());
    const QByteArray expected = "[Nastaveni]\r\nMaxDelka=13\r\nPouzeCisla=0\r\nPopiska_kod=\xc8\xedslo \xfa\xe8tu\r\n"
                                "Popiska_pole1=Pole 1\r\nPopiska_pole2=Pole 2\r\nPopiska_pole3=M\xecsto\r\n"
                                "Popiska_pole4=Pole 4\r\n";
    EXPECT_EQ(bytes, expected);

    // The program reads it back at its next start.
    window.reset();
    THlavni next(dir.path());
    EXPECT_EQ(next.MaxDelka, 13);
    EXPECT_FALSE(next.PouzeCisla);
    EXPECT_EQ(next.Popiska_kod, u8("Číslo účtu"));
    EXPECT_EQ(next.Popiska_pole3, u8("Město"));
    EXPECT_EQ(next.Popiska_pole4, "Pole 4");
}

TEST_F(Konfig, TheFirstWriteMovesTheSettingsBesideTheProgramIntoTheUsersFolder)
{
    const QByteArray old = "[Generator]\r\nPrefix=X-\r\n[Nastaveni]\r\nMaxDelka=12\r\nPopiska_pole1=Cena\r\n";
    ASSERT_TRUE(writeAll(iniBeside(), old));
    window = std::make_unique<THlavni>(dir.path());
    EXPECT_EQ(window->MaxDelka, 12) << "read from beside the program while the user has none";
    onModal([&](QDialog& d) {
        auto& k = static_cast<TKonfig&>(d);
        k.Edit_MaxDelka->setText("14");
        k.Tl_Ok->click();
        return k.result();
    });
    ASSERT_TRUE(ShowKonfig(window.get()));
    EXPECT_EQ(readAll(iniBeside()), old) << "the program's folder is not written";
    EXPECT_EQ(readAll(ini()), QByteArray("[Generator]\r\nPrefix=X-\r\n[Nastaveni]\r\nMaxDelka=14\r\n"
                                         "Popiska_pole1=Cena\r\nPouzeCisla=1\r\nPopiska_kod=K\xf3" "d\r\n"
                                         "Popiska_pole2=Pole 2\r\nPopiska_pole3=Pole 3\r\nPopiska_pole4=Pole 4\r\n"));
    window.reset();
    THlavni next(dir.path());
    EXPECT_EQ(next.MaxDelka, 14);
    EXPECT_EQ(next.Popiska_pole1, "Cena");
}

TEST_F(Konfig, PythonsConfigparserReadsTheFile)
{
    if (!QFile::exists(QStringLiteral("/usr/bin/python3")))
        GTEST_SKIP() << "python3 is not installed";
    onModal([&](QDialog& d) {
        auto& k = static_cast<TKonfig&>(d);
        k.Edit_MaxDelka->setText("20");
        k.Ed_pole1->setText(u8("Šířka"));
        k.Tl_Ok->click();
        return k.result();
    });
    ASSERT_TRUE(ShowKonfig(window.get()));
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import configparser,sys\n"
                                 "c=configparser.ConfigParser(interpolation=None)\n"
                                 "c.read(sys.argv[1],encoding='cp1250')\n"
                                 "s=c['Nastaveni']\n"
                                 "sys.stdout.buffer.write('|'.join([s['MaxDelka'],s['PouzeCisla'],s['Popiska_kod'],"
                                 "s['Popiska_pole1'],s['Popiska_pole4']]).encode('utf-8'))"),
                  ini()});
    ASSERT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(python.readAllStandardOutput()), u8("20|1|Kód|Šířka|Pole 4"));
}

TEST_F(Konfig, CancellingLeavesFileAndValuesUntouched)
{
    ASSERT_TRUE(writeAll(ini(), "[Nastaveni]\r\nMaxDelka=12\r\n"));
    window = std::make_unique<THlavni>(dir.path());
    onModal([&](QDialog& d) {
        auto& k = static_cast<TKonfig&>(d);
        k.Edit_MaxDelka->setText("30");
        k.Ed_kod->setText("Jinak");
        k.Tl_Storno->click();
        return k.result();
    });
    EXPECT_FALSE(ShowKonfig(window.get()));
    EXPECT_EQ(window->MaxDelka, 12);
    EXPECT_EQ(window->Popiska_kod, u8("Kód"));
    EXPECT_EQ(readAll(ini()), QByteArray("[Nastaveni]\r\nMaxDelka=12\r\n"));
}

} // namespace

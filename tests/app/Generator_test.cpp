#include "Generator_f.h"

#include "Dialogs_fixture.h"
#include "Prvky.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace dialogtest;

namespace {

struct Settings {
    const char* prefix;
    int start;
    bool x10;
    bool fill;
    int digits;
    const char* suffix;
    int count;
};

class Generator : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        newFile();
    }
    static void set(TGenerator& g, const Settings& s)
    {
        g.Ed_Prefix->setText(QString::fromUtf8(s.prefix));
        g.Ed_VychoziHodnota->setText(QString::number(s.start));
        g.ChBox_x10->setChecked(s.x10);
        g.ChB_DoplnovatNuly->setChecked(s.fill);
        g.Ed_PocetZnaku->setText(QString::number(s.digits));
        g.Ed_Suffix->setText(QString::fromUtf8(s.suffix));
        g.Ed_PocetCyklu->setText(QString::number(s.count));
    }
    void generator(std::function<void(TGenerator&)> step)
    {
        onModal([step](QDialog& d) {
            step(static_cast<TGenerator&>(d));
            return int(QDialog::Rejected);
        });
        ShowGenerator(window.get());
    }
    void run(const Settings& s)
    {
        generator([&](TGenerator& g) {
            set(g, s);
            g.Tl_Spustit->click();
        });
    }
    static QStringList numbers(int from, int to)
    {
        QStringList list;
        for (int i = from; i <= to; ++i)
            list << QString::number(i);
        return list;
    }
};

const QString kDigitsMessage =
    u8("Nastavený počet znaků generované části kódu neumožňuje provést požadovaný počet cyklů!");
const QString kLengthMessage = u8("Počet znaků podle aktuálního nastavení překračuje limit 50 znaků!");

TEST_F(Generator, PrefixPaddedNumberAndSuffix)
{
    run({"A", 1, false, true, 5, "-X", 3});
    EXPECT_EQ(column("kod"), (QStringList{"A00001-X", "A00002-X", "A00003-X"}));
    EXPECT_EQ(column("pole1"), (QStringList{"", "", ""}));
    EXPECT_EQ(table().RecNo(), 3) << "the grid follows the new records";
    EXPECT_EQ(window->CisloZaznamu->text(), "3 z 3");
    EXPECT_TRUE(window->Akce_UlozitSoubor->isEnabled());
}

TEST_F(Generator, TheChecksOfASeries)
{
    struct Case {
        Settings settings;
        QString message; // empty: passes
    };
    const QString thirty(30, u'P');
    const QByteArray p30 = thirty.toUtf8();
    const Case cases[] = {
        {{"", 1, false, true, 1, "", 9}, {}},
        {{"", 1, false, true, 1, "", 10}, kDigitsMessage},
        {{"", 5, true, true, 2, "", 10}, {}},
        {{"", 5, true, true, 2, "", 51}, kDigitsMessage},
        {{"", 0, false, true, 4, "", 10000}, {}},
        {{p30.constData(), 1, false, true, 6, "SSSSSSSSSSSSSSS", 3}, kLengthMessage},
        // The digit count counts also without zero filling.
        {{p30.constData(), 1, false, false, 6, "SSSSSSSSSSSSSSS", 3}, kLengthMessage},
        {{p30.constData(), 1, false, false, 5, "SSSSSSSSSSSSSSS", 3}, {}},
        // Without zero filling a number may outgrow the count: no code is cut.
        {{p30.constData(), 1, false, false, 1, "SSSSSSSSSSSSSSSSSS", 99}, {}},
        {{p30.constData(), 1, false, false, 1, "SSSSSSSSSSSSSSSSSS", 100}, kLengthMessage},
    };
    for (const Case& c : cases) {
        zd::TNastaveniGeneratoru n;
        n.Prefix = QString::fromUtf8(c.settings.prefix);
        n.VychoziHodnota = c.settings.start;
        n.x10 = c.settings.x10;
        n.DoplnovatNuly = c.settings.fill;
        n.PocetZnaku = c.settings.digits;
        n.Suffix = QString::fromUtf8(c.settings.suffix);
        n.PocetCyklu = c.settings.count;
        EXPECT_EQ(zd::KontrolaNastaveni(n), c.message) << c.settings.start << " " << c.settings.count;
        if (c.message.isEmpty()) {
            for (const QString& code : zd::RadaKodu(n)) {
                ASSERT_LE(code.size(), 50) << code.toStdString();
            }
        }
    }
}

TEST_F(Generator, NineCodesOfOneDigitPassTenFail)
{
    run({"", 1, false, true, 1, "", 9});
    EXPECT_EQ(column("kod"), numbers(1, 9));
    ok();
    run({"", 1, false, true, 1, "", 10});
    EXPECT_EQ(messages(), QStringList{kDigitsMessage});
    EXPECT_EQ(table().RecordCount(), 9) << "nothing is generated when a check fails";
}

TEST_F(Generator, PrefixSuffixAndDigitsOverTheLimitFailAlsoWithoutZeroFilling)
{
    ok();
    run({QByteArray(30, 'P').constData(), 1, false, false, 6, "SSSSSSSSSSSSSSS", 3});
    EXPECT_EQ(messages(), QStringList{kLengthMessage});
    EXPECT_EQ(table().RecordCount(), 0);
}

TEST_F(Generator, EnterPressesNoButton)
{
    bool open = false;
    generator([&](TGenerator& g) {
        set(g, {"E", 1, false, true, 2, "", 3});
        for (QPushButton* b : g.findChildren<QPushButton*>())
            EXPECT_FALSE(b->isDefault() || b->autoDefault()) << b->objectName().toStdString();
        g.Ed_Prefix->setFocus();
        QTest::keyClick(g.Ed_Prefix, Qt::Key_Return);
        QTest::keyClick(g.Ed_PocetCyklu, Qt::Key_Enter, Qt::KeypadModifier);
        open = g.isVisible() && g.result() == QDialog::Rejected;
    });
    EXPECT_TRUE(open);
    EXPECT_FALSE(QFile::exists(ini())) << "nothing remembered";
    EXPECT_EQ(table().RecordCount(), 0) << "nothing generated";
}

TEST_F(Generator, TimesTenStartsAtTenTimesTheValue)
{
    run({"", 5, true, true, 2, "", 10});
    EXPECT_EQ(column("kod"), numbers(50, 59));
}

TEST_F(Generator, WithoutZeroFillingTheNumbersAreNotPadded)
{
    run({"", 1, false, false, 3, "", 12});
    EXPECT_EQ(column("kod"), numbers(1, 12));
}

TEST_F(Generator, TheDigitsControlsFollowZeroFilling)
{
    generator([&](TGenerator& g) {
        EXPECT_TRUE(g.ChB_DoplnovatNuly->isChecked());
        EXPECT_TRUE(g.Ed_PocetZnaku->isEnabled());
        g.ChB_DoplnovatNuly->click();
        EXPECT_FALSE(g.Ed_PocetZnaku->isEnabled());
        EXPECT_FALSE(g.UpDown_PocetZnaku->isEnabled());
        EXPECT_FALSE(g.La_PocetZnaku->isEnabled());
    });
}

TEST_F(Generator, TheNumberUsedIsTheNumberShown)
{
    generator([&](TGenerator& g) {
        set(g, {"", 7, false, false, 1, "", 2});
        g.Ed_VychoziHodnota->setText("40000"); // beyond 30000: the up-down kept 7
        g.Tl_Spustit->click();
        EXPECT_EQ(g.Ed_VychoziHodnota->text(), "30000");
    });
    EXPECT_EQ(column("kod"), (QStringList{"30000", "30001"}));
}

TEST_F(Generator, ANumberThatIsNotWholeStopsTheRun)
{
    ok();
    generator([&](TGenerator& g) {
        set(g, {"", 7, false, false, 1, "", 2});
        g.Ed_PocetCyklu->setText("2.5");
        g.Tl_Spustit->click();
    });
    EXPECT_EQ(messages(), QStringList{"'2.5' is not a valid integer value."});
    EXPECT_EQ(table().RecordCount(), 0);
}

TEST_F(Generator, NumberEditsTakeOnlyDigits)
{
    generator([&](TGenerator& g) {
        g.Ed_PocetCyklu->clear();
        QTest::keyClicks(g.Ed_PocetCyklu, "1a2");
        EXPECT_EQ(g.Ed_PocetCyklu->text(), "12");
        EXPECT_EQ(g.UpDown_PocetCyklu->Position(), 12);
        QTest::keyClick(g.Ed_PocetCyklu, Qt::Key_Up);
        EXPECT_EQ(g.Ed_PocetCyklu->text(), "13");
    });
    EXPECT_EQ(beeps(), 1);
}

TEST_F(Generator, PreviewShowsTheSeriesWithoutAddingIt)
{
    onModal([](QDialog& d) {
        set(static_cast<TGenerator&>(d), {u8("Č").toUtf8().constData(), 1, false, true, 3, "", 3});
        static_cast<TGenerator&>(d).Tl_Ukazka->click();
        return int(QDialog::Rejected);
    });
    onModal([](QDialog& text) {
        EXPECT_EQ(text.windowTitle(), u8("Ukázka kódů"));
        auto* memo = text.findChild<QPlainTextEdit*>();
        EXPECT_NE(memo, nullptr);
        if (memo) {
            EXPECT_EQ(memo->toPlainText(), u8("Č001\nČ002\nČ003"));
            EXPECT_TRUE(memo->isReadOnly());
        }
        return int(QDialog::Accepted);
    });
    ShowGenerator(window.get());
    EXPECT_EQ(table().RecordCount(), 0);
}

TEST_F(Generator, RestoreWithoutASettingsFileGivesTheDefaults)
{
    generator([&](TGenerator& g) {
        set(g, {"P", 9, true, false, 2, "S", 44});
        g.Tl_Obnovit->click();
        EXPECT_EQ(g.Ed_Prefix->text(), "");
        EXPECT_EQ(g.Ed_VychoziHodnota->text(), "1");
        EXPECT_FALSE(g.ChBox_x10->isChecked());
        EXPECT_TRUE(g.ChB_DoplnovatNuly->isChecked());
        EXPECT_TRUE(g.Ed_PocetZnaku->isEnabled());
        EXPECT_EQ(g.Ed_PocetZnaku->text(), "5");
        EXPECT_EQ(g.Ed_Suffix->text(), "");
        EXPECT_EQ(g.Ed_PocetCyklu->text(), "5");
    });
}

TEST_F(Generator, RememberWritesTheSectionAndRestoreReadsItBack)
{
    generator([&](TGenerator& g) {
        set(g, {u8("Ř-").toUtf8().constData(), 12, true, false, 4, "/x", 300});
        g.Tl_Zapamatovat->click();
    });
    EXPECT_EQ(readAll(ini()), QByteArray("[Generator]\r\nPrefix=\xd8-\r\nVychoziHodnota=12\r\nVychoziHodnota_x10=1\r\n"
                                         "DoplnovatNuly=0\r\nPocetZnaku=4\r\nSuffix=/x\r\nPocetCyklu=300\r\n"));
    generator([&](TGenerator& g) {
        EXPECT_EQ(g.Ed_Prefix->text(), "") << "the dialog does not restore by itself";
        g.Tl_Obnovit->click();
        EXPECT_EQ(g.Ed_Prefix->text(), u8("Ř-"));
        EXPECT_EQ(g.UpDown_VychoziHodnota->Position(), 12);
        EXPECT_TRUE(g.ChBox_x10->isChecked());
        EXPECT_FALSE(g.ChB_DoplnovatNuly->isChecked());
        EXPECT_FALSE(g.Ed_PocetZnaku->isEnabled());
        EXPECT_EQ(g.UpDown_PocetZnaku->Position(), 4);
        EXPECT_EQ(g.Ed_Suffix->text(), "/x");
        EXPECT_EQ(g.UpDown_PocetCyklu->Position(), 300);
    });
}

} // namespace

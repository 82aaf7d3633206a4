#include "NovyEdit_f.h"

#include "Dialogs_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace dialogtest;

namespace {

class RecordDialog : public DialogTest {
protected:
    void threeRecords()
    {
        newFile();
        addRecord("111", "a1", "b1");
        addRecord("222", "a2", "b2");
        addRecord("333", "a3", "b3");
        table().First();
    }
    // Runs the dialog with the caption; the step drives it.
    void show(const QString& caption, std::function<void(TNovyEdit&)> step)
    {
        onModal([step](QDialog& d) {
            step(static_cast<TNovyEdit&>(d));
            return int(QDialog::Rejected);
        });
        ShowNovyEdit(window.get(), caption);
    }
};

TEST_F(RecordDialog, OkAddsANewRecordThenChangesIt)
{
    newFile();
    show(TNovyEdit::NovyZaznam(), [&](TNovyEdit& d) {
        EXPECT_EQ(d.La_Info->text(), u8("(Max. 8 znaků, pouze čísla)"));
        EXPECT_FALSE(d.Tl_OK->isEnabled());
        EXPECT_FALSE(d.TB_PrvniZaznam->isEnabled());
        QTest::keyClicks(d.Ed_kod, "123");
        d.Ed_pole1->setText(u8("Žluťoučký"));
        EXPECT_TRUE(d.Tl_OK->isEnabled());
        d.Tl_OK->click();
        EXPECT_EQ(table().RecordCount(), 1);
        EXPECT_EQ(d.windowTitle(), TNovyEdit::EditaceZaznamu());
        EXPECT_EQ(d.Pole_ID->text(), "1");
        EXPECT_FALSE(d.Tl_OK->isEnabled());
        d.Ed_kod->setText("124");
        d.Tl_OK->click();
    });
    EXPECT_EQ(column("kod"), QStringList{"124"});
    EXPECT_EQ(column("pole1"), QStringList{u8("Žluťoučký")});
    EXPECT_TRUE(window->Akce_UlozitSoubor->isEnabled());
}

TEST_F(RecordDialog, EditModeLoadsTheCurrentRecord)
{
    threeRecords();
    table().Next();
    show(TNovyEdit::EditaceZaznamu(), [&](TNovyEdit& d) {
        EXPECT_EQ(d.Pole_ID->text(), "2");
        EXPECT_EQ(d.Ed_kod->text(), "222");
        EXPECT_EQ(d.Ed_pole2->text(), "b2");
        EXPECT_EQ(d.Pocitadlo->text(), "2 z 3");
        EXPECT_TRUE(d.TB_PrvniZaznam->isEnabled());
        EXPECT_TRUE(d.TB_PosledniZaznam->isEnabled());
        EXPECT_FALSE(d.Tl_OK->isEnabled());
    });
}

TEST_F(RecordDialog, ShiftRightStoresAndMovesAndStaysOnTheLast)
{
    threeRecords();
    table().Next();
    show(TNovyEdit::EditaceZaznamu(), [&](TNovyEdit& d) {
        d.Ed_pole3->setText("zmena");
        QTest::keyClick(d.Ed_kod, Qt::Key_Right, Qt::ShiftModifier);
        EXPECT_EQ(d.Ed_kod->text(), "333");
        EXPECT_EQ(d.Pocitadlo->text(), "3 z 3");
        EXPECT_FALSE(d.TB_NasledujiciZaznam->isEnabled());
        d.Ed_pole3->setText("posledni");
        QTest::keyClick(d.Ed_kod, Qt::Key_Right, Qt::ShiftModifier);
        EXPECT_EQ(d.Ed_kod->text(), "333") << "no record after the last";
        QTest::keyClick(d.Ed_pole1, Qt::Key_Home, Qt::ShiftModifier);
        EXPECT_EQ(d.Ed_kod->text(), "111");
        QTest::keyClick(d.Ed_pole1, Qt::Key_End, Qt::ShiftModifier);
        EXPECT_EQ(d.Ed_kod->text(), "333");
        QTest::keyClick(d.Ed_pole1, Qt::Key_Left, Qt::ShiftModifier);
        EXPECT_EQ(d.Ed_kod->text(), "222");
    });
    EXPECT_EQ(column("pole3"), (QStringList{"", "zmena", "posledni"}));
    EXPECT_EQ(table().RecordCount(), 3);
}

TEST_F(RecordDialog, DigitsOnlyFilterAndLengthLimit)
{
    newFile();
    show(TNovyEdit::NovyZaznam(), [&](TNovyEdit& d) {
        QTest::keyClicks(d.Ed_kod, "1A2.5");
        EXPECT_EQ(d.Ed_kod->text(), "12.5");
        QTest::keyClicks(d.Ed_kod, "67890");
        EXPECT_EQ(d.Ed_kod->text(), "12.56789") << "at most MaxDelka characters";
        QTest::keyClicks(d.Ed_pole1, "Abc");
        EXPECT_EQ(d.Ed_pole1->text(), "Abc") << "the free fields take anything";
    });
    EXPECT_EQ(beeps(), 1);
}

TEST_F(RecordDialog, PastedTextKeepsTheDigitsRuleAndTheLength)
{
    newFile();
    show(TNovyEdit::NovyZaznam(), [&](TNovyEdit& d) {
        QGuiApplication::clipboard()->setText(QStringLiteral("12AB34.5xyz67890"));
        d.Ed_kod->setFocus();
        QTest::keyClick(d.Ed_kod, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(d.Ed_kod->text(), "1234.567") << "letters dropped, then cut to MaxDelka";
        d.Tl_OK->click();
        // The context menu's "Paste", over a selection.
        d.Ed_kod->setSelection(2, 3);
        QGuiApplication::clipboard()->setText(QStringLiteral("x9y"));
        d.Ed_kod->paste();
        EXPECT_EQ(d.Ed_kod->text(), "129567");
        // A drop inserts at the cursor the same way.
        d.Ed_kod->setCursorPosition(0);
        d.Ed_kod->insert(u8("Ž8"));
        EXPECT_EQ(d.Ed_kod->text(), "8129567");
        d.Tl_OK->click();
    });
    EXPECT_EQ(column("kod"), QStringList{"8129567"});
    EXPECT_EQ(beeps(), 3) << "one beep for each refused paste";
}

TEST_F(RecordDialog, OkRefusesACodeThatBreaksTheRules)
{
    threeRecords();
    ok(2);
    show(TNovyEdit::EditaceZaznamu(), [&](TNovyEdit& d) {
        // However it got there: the edit without its rules.
        d.Ed_kod->setValidator(nullptr);
        d.Ed_kod->setText("12AB");
        d.Ed_kod->setModified(true);
        d.Tl_OK->click();
        QTest::keyClick(d.Ed_kod, Qt::Key_Right, Qt::ShiftModifier);
        EXPECT_EQ(d.Ed_kod->text(), "12AB") << "the move waits for the code to be mended";
        EXPECT_EQ(d.Pocitadlo->text(), "1 z 3");
    });
    EXPECT_EQ(column("kod"), (QStringList{"111", "222", "333"}));
    EXPECT_EQ(messages().size(), 2);
    EXPECT_EQ(messages().value(0), u8("Hodnota pole \"Kód\" neodpovídá omezení (Max. 8 znaků, pouze čísla)."));
}

TEST_F(RecordDialog, AStoredCodeOutsideTheRulesIsShownAndKeptWhole)
{
    newFile();
    addRecord("ABC-1234567890", "a");
    addRecord("222", "b");
    table().First();
    show(TNovyEdit::EditaceZaznamu(), [&](TNovyEdit& d) {
        EXPECT_EQ(d.Ed_kod->text(), "ABC-1234567890");
        d.Ed_pole1->setText("zmena");
        QTest::keyClick(d.Ed_kod, Qt::Key_Right, Qt::ShiftModifier); // stores the record shown
        EXPECT_EQ(d.Ed_kod->text(), "222");
        QTest::keyClick(d.Ed_kod, Qt::Key_Left, Qt::ShiftModifier);
        d.Ed_kod->setCursorPosition(14);
        QTest::keyClicks(d.Ed_kod, "5");
        EXPECT_EQ(d.Ed_kod->text(), "ABC-1234567890") << "no room for typing beyond MaxDelka";
        QTest::keyClick(d.Ed_kod, Qt::Key_Backspace);
        EXPECT_EQ(d.Ed_kod->text(), "ABC-123456789");
    });
    EXPECT_EQ(column("kod"), (QStringList{"ABC-1234567890", "222"}));
    EXPECT_EQ(column("pole1"), (QStringList{"zmena", "b"}));
}

TEST_F(RecordDialog, WithoutTheDigitsRuleEveryKeyIsTaken)
{
    window->PouzeCisla = false;
    window->MaxDelka = 20;
    newFile();
    show(TNovyEdit::NovyZaznam(), [&](TNovyEdit& d) {
        EXPECT_EQ(d.La_Info->text(), u8("(Max. 20 znaků)"));
        QTest::keyClicks(d.Ed_kod, "AB-c/1");
        EXPECT_EQ(d.Ed_kod->text(), "AB-c/1");
    });
    EXPECT_EQ(beeps(), 0);
}

TEST_F(RecordDialog, InsertStoresAndStartsANewRecordKeepingFields2To4)
{
    threeRecords();
    show(TNovyEdit::EditaceZaznamu(), [&](TNovyEdit& d) {
        QTest::keyClick(d.Ed_kod, Qt::Key_Insert);
        EXPECT_EQ(d.windowTitle(), TNovyEdit::NovyZaznam());
        EXPECT_EQ(d.Ed_kod->text(), "");
        EXPECT_EQ(d.Ed_pole1->text(), "");
        EXPECT_EQ(d.Pole_ID->text(), "");
        EXPECT_EQ(d.Ed_pole2->text(), "b1");
        EXPECT_FALSE(d.Tl_OK->isEnabled());
        QTest::keyClicks(d.Ed_kod, "444");
        d.Tl_OK->click();
        EXPECT_EQ(d.Pole_ID->text(), "4");
    });
    EXPECT_EQ(column("kod"), (QStringList{"111", "222", "333", "444"}));
    EXPECT_EQ(column("pole2"), (QStringList{"b1", "b2", "b3", "b1"}));
}

TEST_F(RecordDialog, OkAfterNavigatingChangesTheRecordShownInsteadOfAddingIt)
{
    threeRecords();
    show(TNovyEdit::NovyZaznam(), [&](TNovyEdit& d) {
        // New mode with nothing typed: the move stores nothing ...
        QTest::keyClick(d.Ed_kod, Qt::Key_End, Qt::ShiftModifier);
        EXPECT_EQ(d.Ed_kod->text(), "333");
        EXPECT_EQ(table().RecordCount(), 3);
        // ... and "OK" then changes the record shown.
        EXPECT_EQ(d.windowTitle(), TNovyEdit::EditaceZaznamu());
        d.Ed_pole1->setText("opraveno");
        d.Tl_OK->click();
    });
    EXPECT_EQ(column("kod"), (QStringList{"111", "222", "333"}));
    EXPECT_EQ(column("pole1"), (QStringList{"a1", "a2", "opraveno"}));
}

TEST_F(RecordDialog, NewModeNavigationStoresTheTypedRecordFirst)
{
    threeRecords();
    show(TNovyEdit::NovyZaznam(), [&](TNovyEdit& d) {
        QTest::keyClicks(d.Ed_kod, "555");
        QTest::keyClick(d.Ed_kod, Qt::Key_Home, Qt::ShiftModifier);
        EXPECT_EQ(d.Ed_kod->text(), "111");
    });
    EXPECT_EQ(column("kod"), (QStringList{"111", "222", "333", "555"}));
}

TEST_F(RecordDialog, StornoStoresNothing)
{
    threeRecords();
    onModal([](QDialog& d) {
        auto& r = static_cast<TNovyEdit&>(d);
        r.Ed_kod->setText("999");
        r.Tl_Storno->click();
        return r.result();
    });
    ShowNovyEdit(window.get(), TNovyEdit::EditaceZaznamu());
    EXPECT_EQ(column("kod"), (QStringList{"111", "222", "333"}));
}

TEST_F(RecordDialog, ArrowKeysMoveTheFocus)
{
    newFile();
    show(TNovyEdit::NovyZaznam(), [&](TNovyEdit& d) {
        d.activateWindow();
        if (!QTest::qWaitForWindowActive(&d))
            GTEST_SKIP() << "no active window on this platform";
        d.Ed_kod->setFocus();
        QTest::keyClick(d.Ed_kod, Qt::Key_Down);
        EXPECT_EQ(QApplication::focusWidget(), d.Ed_pole1);
        QTest::keyClick(d.Ed_pole1, Qt::Key_Up);
        EXPECT_EQ(QApplication::focusWidget(), d.Ed_kod);
    });
}

} // namespace

#include "VlozeniDatExcel_f.h"

#include "Dialogs_fixture.h"
#include "PlainEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace dialogtest;

namespace {

class Paste : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        newFile();
    }
    void form(std::function<void(TVlozeniDatExcel&)> step)
    {
        onModal([step](QDialog& d) {
            step(static_cast<TVlozeniDatExcel&>(d));
            return int(QDialog::Rejected);
        });
        ShowVlozeniDatExcel(window.get());
    }
    // Pastes the text from the clipboard and converts it.
    void convert(TVlozeniDatExcel& f, const QString& text, bool header = false)
    {
        ui.SetClipboardText(text);
        f.Tl_Vlozit->click();
        f.ChBox_JeZahlavi->setChecked(header);
        f.Tl_Konverze->click();
    }
    static QStringList row(const TVlozeniDatExcel& f, int r)
    {
        QStringList cells;
        for (int c = 0; c < f.Grid1->ColCount(); ++c)
            cells << f.Grid1->Cells(c, r);
        return cells;
    }
};

TEST_F(Paste, TheFormStartsOnTheInputPageWithAnEmptyGrid)
{
    form([&](TVlozeniDatExcel& f) {
        EXPECT_EQ(f.windowTitle(), u8("Vložení dat Excelu"));
        EXPECT_EQ(f.PageControl1->currentIndex(), 0);
        EXPECT_EQ(f.PageControl1->tabText(0), u8("Vstupní pole"));
        EXPECT_EQ(f.Memo1->Lines().Count(), 0);
        EXPECT_EQ(f.Grid1->RowCount(), 2);
        EXPECT_EQ(f.Grid1->ColCount(), 2);
        EXPECT_EQ(f.La_Pocitadlo->text(), "0 z 0");
        EXPECT_TRUE(f.Memo1->ShowLineNumbers());
        EXPECT_EQ(f.Memo1->font().pixelSize(), 13);
        EXPECT_EQ(f.Memo1->GutterFont().pixelSize(), 11);
        EXPECT_TRUE(f.Memo1->Options().contains(eoShowSpecialChars));
        EXPECT_TRUE(f.Memo1->Options().contains(eoTabsToSpaces));
    });
}

TEST_F(Paste, BlankLinesLeaveNoEmptyRows)
{
    form([&](TVlozeniDatExcel& f) {
        convert(f, "1\ta\r\n\r\n \t \r\n\r\n2\tb\r\n3\tc\r\n\r\n\r\n");
        EXPECT_EQ(f.Memo1->Lines().Count(), 3) << "the blank lines leave the text too";
        EXPECT_EQ(f.PageControl1->currentIndex(), 1);
        EXPECT_EQ(f.Grid1->RowCount(), 4);
        EXPECT_EQ(row(f, 1), (QStringList{"1", "1", "a"}));
        EXPECT_EQ(row(f, 3), (QStringList{"3", "3", "c"}));
        EXPECT_EQ(row(f, 0), (QStringList{"", "pole_1", "pole_2"}));
        EXPECT_EQ(f.La_Pocitadlo->text(), "1 z 4");
    });
}

TEST_F(Paste, AHeaderLineGivesTheTitles)
{
    form([&](TVlozeniDatExcel& f) {
        convert(f, u8("Číslo účtu\tPole 1\tA/B,C.D\\E\n111\tx\ty\n222\tz\n"), true);
        EXPECT_EQ(f.Grid1->RowCount(), 3);
        EXPECT_EQ(row(f, 0), (QStringList{"", "cislo_uctu", "pole_1", "a_b_c_d_e"}));
        EXPECT_EQ(row(f, 1), (QStringList{"1", "111", "x", "y"}));
        EXPECT_EQ(row(f, 2), (QStringList{"2", "222", "z", ""}));
    });
}

TEST_F(Paste, ALineStartingWithATabLosesItsEmptyFirstCell)
{
    ok();
    form([&](TVlozeniDatExcel& f) {
        convert(f, "A\tB\tC\n\t\tc2\n\tb3\tc3\t\t\n");
        EXPECT_EQ(row(f, 2), (QStringList{"2", "c2", "", ""}));
        EXPECT_EQ(row(f, 3), (QStringList{"3", "b3", "c3", ""}));
        EXPECT_EQ(f.Grid1->ColCount(), 4) << "trailing empty cells add no columns";
        f.Tl_PrenosDat->click();
    });
    EXPECT_EQ(column("kod"), (QStringList{"A", "c2", "b3"}));
    EXPECT_EQ(column("pole1"), (QStringList{"B", "", "c3"}));
}

TEST_F(Paste, EnterInTheGridPressesNoButton)
{
    form([&](TVlozeniDatExcel& f) {
        convert(f, "1\ta\n2\tb\n");
        for (QPushButton* b : f.findChildren<QPushButton*>())
            EXPECT_FALSE(b->isDefault() || b->autoDefault()) << b->objectName().toStdString();
        QTest::keyClick(f.Grid1, Qt::Key_Return);
        QTest::keyClick(f.Grid1, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_TRUE(f.isVisible());
    });
    EXPECT_EQ(table().RecordCount(), 0) << "no transfer";
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Paste, TransferAppendsTheRowsByColumnPosition)
{
    const QString longText(60, u'p');
    ok();
    form([&](TVlozeniDatExcel& f) {
        convert(f, u8("K1\tžluť\tb\tc\td\te\n") + "K2\t" + longText + "\n");
        f.Tl_PrenosDat->click();
    });
    EXPECT_EQ(column("kod"), (QStringList{"K1", "K2"}));
    EXPECT_EQ(column("pole1"), (QStringList{u8("žluť"), longText.left(50)}));
    EXPECT_EQ(column("pole4"), (QStringList{"d", ""}));
    EXPECT_EQ(messages(), QStringList{u8("Vložení položek do příkazu je ukončeno.")});
    EXPECT_TRUE(window->Akce_UlozitSoubor->isEnabled());
    EXPECT_EQ(window->CisloZaznamu->text(), "2 z 2");
}

TEST_F(Paste, MovingAColumnFirstMakesItsValuesTheCodes)
{
    ok();
    form([&](TVlozeniDatExcel& f) {
        convert(f, "a1\ta2\ta3\nb1\tb2\tb3\n");
        f.Grid1->horizontalHeader()->moveSection(2, 0);
        EXPECT_EQ(row(f, 0), (QStringList{"", "pole_3", "pole_1", "pole_2"}));
        f.Tl_PrenosDat->click();
    });
    EXPECT_EQ(column("kod"), (QStringList{"a3", "b3"}));
    EXPECT_EQ(column("pole1"), (QStringList{"a1", "b1"}));
}

TEST_F(Paste, TooLongOrMissingCodesAreListedAndNothingIsAdded)
{
    addRecord("old");
    const QString tooLong(51, u'9');
    onModal([&](QDialog& d) {
        auto& f = static_cast<TVlozeniDatExcel&>(d);
        convert(f, "1\ta\n2\tb\n3\tc\n" + tooLong + "\td\n5\te\n");
        f.Grid1->SetCells(1, 3, {}); // a code the user emptied in the grid
        f.Tl_PrenosDat->click();
        return int(QDialog::Rejected);
    });
    onModal([&](QDialog& errors) {
        EXPECT_EQ(errors.windowTitle(), u8("Výpis chyb"));
        EXPECT_EQ(errors.size(), QSize(850, 650));
        auto* memo = errors.findChild<QPlainTextEdit*>();
        EXPECT_NE(memo, nullptr);
        if (memo) {
            EXPECT_EQ(memo->toPlainText(), u8("Chyba v položce 3  Výraz v poli 1 není zadaný\n"
                                              "Chyba v položce 4  Výraz v poli 1 přesahuje povolený počet znaků"));
            EXPECT_FALSE(memo->isReadOnly());
            EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
        }
        return int(QDialog::Accepted);
    });
    ShowVlozeniDatExcel(window.get());
    EXPECT_EQ(column("kod"), QStringList{"old"});
    EXPECT_EQ(table().State(), plat::dsBrowse);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Paste, TheCounterAndTheRowButtons)
{
    QString text;
    for (int i = 1; i <= 10; ++i)
        text += QStringLiteral("%1\tx\n").arg(i);
    form([&](TVlozeniDatExcel& f) {
        convert(f, text);
        EXPECT_FALSE(f.Tl_Zacatek->isEnabled());
        EXPECT_FALSE(f.Tl_Vzad->isEnabled());
        EXPECT_TRUE(f.Tl_Vpred->isEnabled());
        f.Tl_Konec->click();
        EXPECT_EQ(f.La_Pocitadlo->text(), "10 z 11");
        EXPECT_FALSE(f.Tl_Vpred->isEnabled());
        EXPECT_FALSE(f.Tl_Konec->isEnabled());
        EXPECT_TRUE(f.Tl_Zacatek->isEnabled());
        f.Tl_Vzad->click();
        EXPECT_EQ(f.La_Pocitadlo->text(), "9 z 11");
        f.Tl_Vpred->click();
        f.Tl_Vpred->click();
        EXPECT_EQ(f.La_Pocitadlo->text(), "10 z 11");
        f.Tl_Zacatek->click();
        EXPECT_EQ(f.La_Pocitadlo->text(), "1 z 11");
        f.Grid1->setCurrentCell(4, 1);
        EXPECT_EQ(f.La_Pocitadlo->text(), "5 z 11") << "a click in the grid updates the counter";
    });
}

TEST_F(Paste, NothingToConvertOrTransfer)
{
    ok(2);
    form([&](TVlozeniDatExcel& f) {
        f.Memo1->SetText("  \r\n\t\r\n");
        f.Tl_Konverze->click();
        EXPECT_EQ(f.PageControl1->currentIndex(), 0);
        f.Tl_PrenosDat->click();
    });
    EXPECT_EQ(messages(), (QStringList{u8("Není žádný textový obsah."), u8("Tabulka je prázdná...")}));
    EXPECT_EQ(table().RecordCount(), 0);
}

TEST_F(Paste, UndoAfterConversionNeverReplaysStaleRecords)
{
    form([&](TVlozeniDatExcel& f) {
        f.Memo1->SetText("1\ta\r\n\r\n2\tb\r\n\r\n3\tc");
        f.Memo1->setFocus();
        QTest::keyClick(f.Memo1, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(f.Memo1, "x"); // a typed record before the blank lines go
        f.Tl_Konverze->click();
        EXPECT_EQ(f.Memo1->Text(), "1\ta\r\n2\tb\r\n3\tcx");
        EXPECT_FALSE(f.Memo1->Edit().UndoAvailable()) << "no record of the old line numbers is left";
        f.PageControl1->setCurrentIndex(0);
        QTest::keyClick(f.Memo1, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(f.Memo1->Text(), "1\ta\r\n2\tb\r\n3\tcx");
    });
}

TEST_F(Paste, TheMemoTakesTypingAndACtrlCCopiesTheColumnBlock)
{
    form([&](TVlozeniDatExcel& f) {
        f.Memo1->SetText("abc\r\ndef");
        f.Memo1->setFocus();
        QKeyEvent dead(QEvent::KeyPress, 0, Qt::NoModifier, u8("č")); // what a dead key sends
        QApplication::sendEvent(f.Memo1, &dead);
        EXPECT_EQ(f.Memo1->Lines().Strings(0), u8("čabc"));
        QTest::keyClick(f.Memo1, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier); // column mode
        QTest::keyClick(f.Memo1, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(f.Memo1, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(f.Memo1, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(ui.ClipboardText(), "a\r\ne");
    });
}

TEST_F(Paste, AnEmptyClipboardLeavesTheText)
{
    form([&](TVlozeniDatExcel& f) {
        f.Memo1->SetText("keep");
        ui.SetClipboardText({});
        f.Tl_Vlozit->click();
        EXPECT_EQ(f.Memo1->Text(), "keep");
    });
}

TEST(PasteText, CellsOfALine)
{
    struct Case {
        const char* line;
        QStringList cells;
    };
    const Case cases[] = {
        {"a\tb\tc", {"a", "b", "c"}},
        {"\ta", {"a"}},
        {" \t a \r", {"a"}},
        {"\t\tb\t\tc\t", {"b", "", "c"}},
        {"a\t\tb\t\t", {"a", "", "b"}},
        {"", {""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zd::BunkyRadku(QString::fromLatin1(c.line)), c.cells) << c.line;
    EXPECT_EQ(zd::UpravitTitulek(u8(" Číslo účtu ")), "cislo_uctu");
    EXPECT_EQ(zd::UpravitTitulek(u8("ŽLUŤ/Ä")), u8("zlut_Ä"));
}

} // namespace

#include "Hledat_f.h"

#include "Dialogs_fixture.h"
#include "Prvky.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace dialogtest;

namespace {

class Search : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        newFile();
        for (const char* code : {"ab0", "x", "xAB", "Ab", "abc"})
            addRecord(QString::fromLatin1(code));
        table().First();
    }
    void search(std::function<void(THledat&)> step)
    {
        onModal([step](QDialog& d) {
            step(static_cast<THledat&>(d));
            return int(QDialog::Rejected);
        });
        ShowHledat(window.get());
    }
    static void find(THledat& d, int item, const char* text, bool whole = false)
    {
        d.VybranePole->SetItemIndex(item);
        d.Hledany->setText(QString::fromLatin1(text));
        d.Celevyrazy->setChecked(whole);
        d.Tl_HledatVyraz->click();
    }
};

TEST_F(Search, TheFieldListTakesTheCaptions)
{
    window->Popiska_kod = "Kod zbozi";
    search([&](THledat& d) {
        EXPECT_EQ(d.VybranePole->Items(), (QStringList{"id", "Kod zbozi", "Pole 1", "Pole 2", "Pole 3", "Pole 4"}));
        EXPECT_EQ(d.VybranePole->height(), 24 * 6 + 9);
        EXPECT_EQ(d.VybranePole->ItemIndex(), 0);
        EXPECT_FALSE(d.Tl_HledatVyraz->isEnabled());
    });
}

TEST_F(Search, FindsTheNextMatchIgnoringCaseAndNeverTheCurrentRecord)
{
    search([&](THledat& d) {
        find(d, 1, "ab");
        EXPECT_EQ(current("kod"), "xAB");
        d.Tl_HledatVyraz->click();
        EXPECT_EQ(current("kod"), "Ab");
        d.Tl_HledatVyraz->click();
        EXPECT_EQ(current("kod"), "abc");
    });
    EXPECT_EQ(window->HledanePole, "kod");
    EXPECT_EQ(window->HledanyVyraz, "ab");
    EXPECT_FALSE(window->CeleVyrazy);
    EXPECT_TRUE(window->Akce_HledatZaznamDalsi->isEnabled());
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Search, EnterSearchesAndEscapeCloses)
{
    onModal([](QDialog& d) {
        auto& h = static_cast<THledat&>(d);
        h.VybranePole->SetItemIndex(1);
        QTest::keyClicks(h.Hledany, "abc");
        QTest::keyClick(h.Hledany, Qt::Key_Return);
        EXPECT_TRUE(h.isVisible());
        QTest::keyClick(h.Hledany, Qt::Key_Escape);
        EXPECT_EQ(h.result(), int(QDialog::Rejected));
        EXPECT_FALSE(h.isVisible());
        return h.result();
    });
    ShowHledat(window.get());
    EXPECT_EQ(current("kod"), "abc");
}

TEST_F(Search, WholeValuesMatchOnlyEqualTexts)
{
    search([&](THledat& d) { find(d, 1, "ab", true); });
    EXPECT_EQ(current("kod"), "Ab");
    EXPECT_TRUE(window->CeleVyrazy);
}

TEST_F(Search, SearchesTheIdField)
{
    search([&](THledat& d) { find(d, 0, "4", true); });
    EXPECT_EQ(current("kod"), "Ab");
}

TEST_F(Search, NotFoundIsReportedAndLeavesTheLastRecordCurrent)
{
    ok();
    search([&](THledat& d) { find(d, 1, "zz"); });
    EXPECT_EQ(messages(), QStringList{u8("Hledaný výraz: zz nebyl nalezen.")});
    EXPECT_EQ(table().RecNo(), 5);
}

TEST_F(Search, AnEmptyTextIsRefused)
{
    ok();
    search([&](THledat& d) {
        d.Hledany->setText("a");
        d.Hledany->clear();
        EXPECT_TRUE(d.Tl_HledatVyraz->isEnabled()) << "stays enabled once the text changed";
        d.Tl_HledatVyraz->click();
    });
    EXPECT_EQ(messages(), QStringList{u8("Není zadaný hledaný výraz ...")});
    EXPECT_TRUE(window->HledanyVyraz.isEmpty());
    EXPECT_EQ(table().RecNo(), 1);
}

TEST_F(Search, BackReturnsToTheRecordCurrentWhenTheDialogOpened)
{
    table().Next();
    search([&](THledat& d) {
        find(d, 1, "ab");
        d.Tl_HledatVyraz->click();
        EXPECT_EQ(table().RecNo(), 4);
        d.Tl_Zpet->click();
        EXPECT_EQ(table().RecNo(), 2);
    });
}

TEST_F(Search, BackAfterTheRecordWasDeletedStaysPut)
{
    search([&](THledat& d) {
        table().Delete();
        table().Last();
        d.Tl_Zpet->click();
        EXPECT_EQ(table().RecNo(), 4);
    });
}

TEST_F(Search, AnEmptyViewFindsNothing)
{
    window->Akce_ZavritExecute();
    newFile("empty.xml");
    ok();
    search([&](THledat& d) { find(d, 1, "a"); });
    EXPECT_EQ(messages(), QStringList{u8("Hledaný výraz: a nebyl nalezen.")});
}

} // namespace

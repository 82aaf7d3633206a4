#include "FiltrZaznamu_f.h"

#include "Dialogs_fixture.h"
#include "Prvky.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace dialogtest;

namespace {

class Filter : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        newFile();
        for (const char* code : {"xabc", "ABCD", "q", "zz", "aBc", "w"})
            addRecord(QString::fromLatin1(code));
        table().First();
    }
    // Runs the dialog; the step drives it and returns whether it should have closed.
    void filter(std::function<bool(TFiltrZaznamu&)> step)
    {
        onModal([step](QDialog& d) {
            auto& f = static_cast<TFiltrZaznamu&>(d);
            const bool closes = step(f);
            EXPECT_EQ(f.result() == QDialog::Accepted, closes);
            return f.result();
        });
        ShowFiltrZaznamu(window.get());
    }
    static void range(TFiltrZaznamu& f, const char* from, const char* to)
    {
        f.VybranePole->SetItemIndex(0);
        f.Ed_RozsahOd->setText(QString::fromLatin1(from));
        f.Ed_RozsahDo->setText(QString::fromLatin1(to));
        f.Tl_Filtr->click();
    }
    QString status() const { return window->ParametrFiltru->text(); }
};

TEST_F(Filter, OpensOnTheCodeFieldWithTheLastIdAsTheRangesEnd)
{
    table().Next();
    filter([&](TFiltrZaznamu& f) {
        EXPECT_EQ(f.VybranePole->ItemIndex(), 1);
        EXPECT_EQ(f.PopiskaVyrazu->text(), u8("Výraz podmínky"));
        EXPECT_TRUE(f.PodminkaFiltru->isVisible());
        EXPECT_FALSE(f.Ed_RozsahOd->isVisible());
        EXPECT_EQ(f.Ed_RozsahOd->text(), "1");
        EXPECT_EQ(f.Ed_RozsahDo->text(), "6");
        EXPECT_EQ(f.Ed_RozsahOd->geometry().y(), f.PodminkaFiltru->geometry().y());
        EXPECT_FALSE(f.Tl_Filtr->isEnabled());
        f.VybranePole->SetItemIndex(0);
        EXPECT_EQ(f.PopiskaVyrazu->text(), u8("Rozsah čísla Id (od - do)"));
        EXPECT_FALSE(f.PodminkaFiltru->isVisible());
        EXPECT_TRUE(f.Ed_RozsahDo->isVisible());
        return false;
    });
    EXPECT_EQ(table().RecNo(), 2) << "the current record is kept";
}

TEST_F(Filter, TextConditionKeepsRecordsContainingItInAnyCase)
{
    filter([&](TFiltrZaznamu& f) {
        f.PodminkaFiltru->setText("  ABC ");
        f.Tl_Filtr->click();
        EXPECT_EQ(f.PodminkaFiltru->text(), "ABC");
        return true;
    });
    EXPECT_EQ(column("kod"), (QStringList{"xabc", "ABCD", "aBc"}));
    EXPECT_EQ(status(), "Filtr : ABC");
    EXPECT_EQ(window->FiltrPole, 1);
    EXPECT_EQ(window->CisloZaznamu->text(), "1 z 3");
}

TEST_F(Filter, IdRangeChecks)
{
    ok(2);
    filter([&](TFiltrZaznamu& f) {
        range(f, "3", "3");
        range(f, "5", "2");
        return false;
    });
    const QString wrong = u8("Rozsah hodnot pro pole Id je chybně zadaný.\r\n");
    EXPECT_EQ(messages(), (QStringList{wrong + u8("(obě hodnoty jsou stejné)"),
                                       wrong + u8("(počáteční hodnota je vyšší než konečná)")}));
    EXPECT_FALSE(table().Filtered());
}

TEST_F(Filter, IdRangeKeepsTheIdsThatExist)
{
    table().Next();
    table().Next();
    table().Delete(); // id 3
    filter([&](TFiltrZaznamu& f) {
        range(f, "2", "5");
        return true;
    });
    EXPECT_EQ(column("id"), (QStringList{"2", "4", "5"}));
    EXPECT_EQ(status(), "Filtr : 2 - 5");
    EXPECT_EQ(window->FiltrPole, 0);
    EXPECT_EQ(window->FiltrVyraz, "2 - 5");
}

TEST_F(Filter, ARangeThatIsNotWholeNumbersChangesNothing)
{
    ok();
    filter([&](TFiltrZaznamu& f) {
        range(f, "1.", "4");
        return false;
    });
    EXPECT_EQ(messages(), QStringList{"'1.' is not a valid integer value."});
    EXPECT_FALSE(table().Filtered());
    EXPECT_EQ(status(), u8("Filtr : není zadán"));
}

TEST_F(Filter, RangeEditsTakeOnlyDigits)
{
    filter([&](TFiltrZaznamu& f) {
        f.VybranePole->SetItemIndex(0);
        f.Ed_RozsahDo->clear();
        QTest::keyClicks(f.Ed_RozsahDo, "1x2");
        EXPECT_EQ(f.Ed_RozsahDo->text(), "12");
        return false;
    });
    EXPECT_EQ(beeps(), 1);
}

TEST_F(Filter, AnEmptyConditionIsRefused)
{
    ok();
    filter([&](TFiltrZaznamu& f) {
        f.PodminkaFiltru->setText("   ");
        f.Tl_Filtr->click();
        return false;
    });
    EXPECT_EQ(messages(), QStringList{u8("Není zadán výraz podmínky.")});
    EXPECT_FALSE(table().Filtered());
}

TEST_F(Filter, ANewConditionReplacesTheActiveOneAndCancelRemovesIt)
{
    filter([&](TFiltrZaznamu& f) {
        f.PodminkaFiltru->setText("abc");
        f.Tl_Filtr->click();
        return true;
    });
    filter([&](TFiltrZaznamu& f) {
        f.PodminkaFiltru->setText("z");
        f.Tl_Filtr->click();
        return true;
    });
    EXPECT_EQ(column("kod"), QStringList{"zz"});
    window->Akce_ZrusitFiltrExecute();
    EXPECT_EQ(table().RecordCount(), 6);
    EXPECT_EQ(status(), u8("Filtr : není zadán"));
}

TEST_F(Filter, StornoLeavesTheFilterAlone)
{
    filter([&](TFiltrZaznamu& f) {
        f.PodminkaFiltru->setText("q");
        f.Tl_Storno->click();
        return false;
    });
    EXPECT_FALSE(table().Filtered());
    EXPECT_EQ(table().RecordCount(), 6);
}

} // namespace

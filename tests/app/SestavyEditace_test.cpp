// From the program to the designer: the report list ("Sestavy") with a
// template chosen, "Editace" opens the designer window on that template;
// closing it with changes asks to save, and the answer decides what is
// left in the file.

#include "Sestavy_f.h"

#include "Dialogs_fixture.h"
#include "zdBarcodeView.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_options.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDMPClass.h"
#include "zdDesgnForm.h"
#include "zdDesignerModel.h"
#include "zdEditors.h"
#include "zdEngine.h"
#include "zdReportWindows.h"
#include "zdRes.h"

#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace dialogtest;

namespace {

class ReportListDesigner : public DialogTest {
protected:
    void SetUp() override
    {
        static const bool started = [] {
            zd::startReportUnit();
            zd::startBarcodeViewRTTIUnit();
            zd::startBarcodeViewUnit();
            zd::startDotMatrixUnit();
            zd::startDesignerEditorsUnit();
            zd::startEngineUnit();
            return true;
        }();
        (void)started;
        // The program's own report windows and designer, as it starts them;
        // put back afterwards for the other tests of the program.
        previousClass = zdDesignerClass;
        previousWindows = zdReportWindows();
        zd::startDesignerFormUnit();
        DialogTest::SetUp();
    }
    void TearDown() override
    {
        DialogTest::TearDown();
        zdDesignerClass = previousClass;
        zdSetReportWindows(previousWindows);
    }

    QString ses() const { return dir.filePath(QStringLiteral("Ses/")); }

    // A template with one page holding a master data band and a memo.
    void writeTemplate(const QString& File, const QString& Name)
    {
        TzdReport r;
        r.ReportOptions()->Name = Name;
        auto* page = new TzdReportPage(&r);
        page->SetParent(&r);
        page->SetName(QStringLiteral("Page1"));
        auto* band = new TzdMasterData(page);
        band->SetParent(page);
        band->SetName(QStringLiteral("MasterData1"));
        band->SetBounds(0, 20, 200, 30);
        auto* memo = new TzdMemoView(band);
        memo->SetParent(band);
        memo->SetName(QStringLiteral("Kod"));
        memo->SetBounds(0, 0, 200, 30);
        memo->SetText(Name);
        QDir().mkpath(ses());
        r.SaveToFile(ses() + File);
    }

    // Opens the list, chooses the second template and presses "Editace";
    // Inside runs in the designer window while it is shown.
    void editSecondTemplate(const std::function<void(QDialog&, TzdDesignerForm&)>& Inside)
    {
        writeTemplate(QStringLiteral("A_ean.zd3"), QStringLiteral("EAN"));
        writeTemplate(QStringLiteral("b_kody.zd3"), QStringLiteral("Kody"));
        TSestavyZazaDuzudi list(window->ClientDataSet1, window->AdresarProgramu);
        list.show();
        QTreeWidgetItem* group = list.SeznamSestav->topLevelItem(0);
        ASSERT_NE(group, nullptr);
        ASSERT_EQ(group->childCount(), 2);
        list.SeznamSestav->setCurrentItem(group->child(1));
        ASSERT_TRUE(list.Tl_Editace->isEnabled());
        bool shown = false;
        onModal([&](QDialog& d) {
            shown = true;
            EXPECT_EQ(d.objectName(), QStringLiteral("zdDesignerDialog"));
            auto* form = d.findChild<TzdDesignerForm*>();
            EXPECT_NE(form, nullptr);
            if (form)
                Inside(d, *form);
            return int(d.result());
        });
        QTest::mouseClick(list.Tl_Editace, Qt::LeftButton);
        EXPECT_TRUE(shown);
    }

    QString question() const
    {
        return zdGetResources()->GetText(QStringLiteral("dsSaveChangesTo")) + QStringLiteral(" b_kody.zd3?");
    }
    QStringList questions() const
    {
        QStringList out;
        for (const QString& m : messages())
            if (m == question())
                out << m;
        return out;
    }
    // The saved template's bands by class name.
    QStringList savedPageHeaders() const
    {
        TzdReport r;
        EXPECT_TRUE(r.LoadFromFile(ses() + QStringLiteral("b_kody.zd3")));
        QStringList out;
        for (TzdComponent* c : r.AllObjects())
            if (dynamic_cast<TzdPageHeader*>(c))
                out << c->Name();
        return out;
    }

    TzdDesignerClass previousClass = nullptr;
    TzdReportWindows* previousWindows = nullptr;
};

void insertPageHeader(TzdDesignerForm& Form)
{
    QAction* item = Form.BandsPopup()->findChild<QAction*>(QStringLiteral("BandItem2"));
    ASSERT_NE(item, nullptr);
    item->trigger();
    EXPECT_TRUE(Form.Model().Modified);
}

} // namespace

TEST_F(ReportListDesigner, EditaceOpensTheChosenTemplateAndYesSavesTheChanges)
{
    editSecondTemplate([&](QDialog& d, TzdDesignerForm& form) {
        EXPECT_TRUE(form.Model().report()->FileName.endsWith(QStringLiteral("b_kody.zd3")));
        EXPECT_EQ(form.windowTitle(), QStringLiteral("ZazaDuzudi - b_kody.zd3"));
        EXPECT_NE(form.Model().report()->FindObject(QStringLiteral("MasterData1")), nullptr);
        insertPageHeader(form);
        ui.AnswerMessage(plat::IDYES);
        d.reject();
        EXPECT_FALSE(d.isVisible() && form.isVisible());
    });
    EXPECT_EQ(questions().size(), 1);
    EXPECT_EQ(savedPageHeaders(), QStringList{QStringLiteral("PageHeader1")});
}

TEST_F(ReportListDesigner, CancelKeepsTheDesignerOpenAndNoLeavesTheFileAsItWas)
{
    const QString file = ses() + QStringLiteral("b_kody.zd3");
    QByteArray before;
    editSecondTemplate([&](QDialog& d, TzdDesignerForm& form) {
        before = readAll(file);
        insertPageHeader(form);
        ui.AnswerMessage(plat::IDCANCEL);
        d.reject();
        EXPECT_TRUE(form.isVisible()) << "Cancel keeps the window";
        ui.AnswerMessage(plat::IDNO);
        d.reject();
        EXPECT_FALSE(form.isVisible());
    });
    EXPECT_EQ(questions().size(), 2);
    EXPECT_FALSE(before.isEmpty());
    EXPECT_EQ(readAll(file), before);
}

TEST_F(ReportListDesigner, ClosingWithoutChangesAsksNothing)
{
    editSecondTemplate([&](QDialog& d, TzdDesignerForm&) { d.reject(); });
    EXPECT_TRUE(questions().isEmpty());
}

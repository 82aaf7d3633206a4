// The tab order dialog (moves change nothing until OK) and the report
// datasets dialog (datasets, or one stored connection in the standalone
// designer).

#include "Dialogs2TestUtil.h"
#include "KeyStore.h"
#include "StdCtrls.h"
#include "zdDCtrl.h"
#include "zdDesignerModel.h"
#include "zdDialogsSecondHalf.h"
#include "zdConnEditor.h"
#include "zdReportDataEditor.h"
#include "zdTabOrderEditor.h"

#include <QListWidget>
#include <QPushButton>

using namespace dlg2;

namespace {

struct TabOrderDialog : Fixture {
    TzdDialogPage* dialog = nullptr;
    std::vector<TzdDialogControl*> controls;
    TabOrderDialog()
    {
        static const bool units = [] {
            zd::startDialogControlsUnit();
            return true;
        }();
        (void)units;
        dialog = add<TzdDialogPage>(nullptr, "DialogPage1");
        controls.push_back(add<TzdEditControl>(dialog, "Edit1"));
        add<TzdLabelControl>(dialog, "Label1"); // not windowed: not listed
        controls.push_back(add<TzdButtonControl>(dialog, "Button1"));
        controls.push_back(add<TzdCheckBoxControl>(dialog, "CheckBox1"));
        designer.CurrentPage = dialog;
    }
    QStringList childNames() const
    {
        QStringList names;
        for (TzdComponent* c : dialog->Children())
            names << c->Name();
        return names;
    }
    int tabOrder(int i) const { return dynamic_cast<plat::TWinControl*>(controls[size_t(i)]->Control())->TabOrder(); }
};

TEST_F(TabOrderDialog, ListsWindowedControlsAndRefusesMovesPastTheEnds)
{
    zd::taborder::Model model(dialog);
    EXPECT_EQ(model.Captions(), (QStringList{QStringLiteral("Edit1: TzdEditControl"),
                                             QStringLiteral("Button1: TzdButtonControl"),
                                             QStringLiteral("CheckBox1: TzdCheckBoxControl")}));
    EXPECT_FALSE(model.MoveUp(0));
    EXPECT_FALSE(model.MoveDown(2));
    EXPECT_TRUE(model.MoveDown(0));
    EXPECT_EQ(model.Items()[1], controls[0]);
}

TEST_F(TabOrderDialog, CancelAfterMovesChangesNothing)
{
    const QStringList before = childNames();
    const int orders[] = {tabOrder(0), tabOrder(1), tabOrder(2)};
    Runner run([](QDialog& d) {
        child<QListWidget>(d, "ControlsLB")->setCurrentRow(2);
        child<QPushButton>(d, "UpB")->click();
        child<QPushButton>(d, "UpB")->click();
        EXPECT_EQ(child<QListWidget>(d, "ControlsLB")->currentRow(), 0);
        child<QPushButton>(d, "CancelB")->click();
    });
    EXPECT_FALSE(zd::dialogs::EditTabOrder(&designer));
    EXPECT_EQ(childNames(), before);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(tabOrder(i), orders[i]);
}

TEST_F(TabOrderDialog, OkReordersTheChildrenAndTheTabOrder)
{
    Runner run([](QDialog& d) {
        child<QListWidget>(d, "ControlsLB")->setCurrentRow(2);
        child<QPushButton>(d, "UpB")->click();
        child<QPushButton>(d, "UpB")->click();
        child<QPushButton>(d, "OkB")->click();
    });
    EXPECT_TRUE(zd::dialogs::EditTabOrder(&designer));
    EXPECT_EQ(childNames(), (QStringList{QStringLiteral("CheckBox1"), QStringLiteral("Label1"),
                                         QStringLiteral("Edit1"), QStringLiteral("Button1")}));
    EXPECT_EQ(tabOrder(2), 0);
    EXPECT_EQ(tabOrder(0), 1);
    EXPECT_EQ(tabOrder(1), 2);
    EXPECT_EQ(controls[2]->Parent(), dialog);
}

struct ReportDataDialog : Fixture {
    TzdUserDataSet *zakaznici = nullptr, *sklad = nullptr;
    ReportDataDialog()
    {
        addOrders();
        zakaznici = offer("Zakaznici");
        sklad = offer("Sklad");
        report.OfferedDataSets()->AddDataSet(orders);
    }
    TzdUserDataSet* offer(const char* alias)
    {
        auto* ds = new TzdUserDataSet(&report);
        ds->SetName(QString::fromLatin1(alias) + QStringLiteral("DS"));
        ds->SetUserName(QString::fromLatin1(alias));
        report.OfferedDataSets()->AddDataSet(ds);
        return ds;
    }
};

TEST_F(ReportDataDialog, OkReplacesTheReportsDatasetsWithTheTickedOnes)
{
    const QByteArray before = saved();
    Runner cancel([](QDialog& d) {
        child<QListWidget>(d, "DatasetsLB")->item(0)->setCheckState(Qt::Unchecked);
        child<QPushButton>(d, "CancelB")->click();
    });
    EXPECT_FALSE(zd::dialogs::EditReportData(&report));
    EXPECT_EQ(saved(), before);

    QStringList shown;
    Runner ok([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Vybrat Datasety Reportu"));
        auto* list = child<QListWidget>(d, "DatasetsLB");
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text() + (list->item(i)->checkState() == Qt::Checked ? QStringLiteral("*") : QString());
        list->item(0)->setCheckState(Qt::Unchecked); // Orders
        list->item(1)->setCheckState(Qt::Checked);   // Sklad
        list->item(2)->setCheckState(Qt::Checked);   // Zakaznici
        child<QPushButton>(d, "OkB")->click();
    });
    EXPECT_TRUE(zd::dialogs::EditReportData(&report));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Orders*"), QStringLiteral("Sklad"), QStringLiteral("Zakaznici")}));
    EXPECT_EQ(report.DataSets()->Count(), 2);
    EXPECT_EQ(report.DataSets()->FindByDataSet(orders), nullptr);
    EXPECT_NE(report.DataSets()->FindByDataSet(sklad), nullptr);
    EXPECT_NE(saved(), before);
}

TEST_F(ReportDataDialog, StandaloneChoosesOneConnectionAtMost)
{
    QDir().mkpath(dir.filePath(QStringLiteral("u")));
    QDir().mkpath(dir.filePath(QStringLiteral("m")));
    plat::KeyStore::setHiveFolders(dir.filePath(QStringLiteral("u")), dir.filePath(QStringLiteral("m")));
    {
        plat::KeyStore user(plat::KeyScope::User);
        user.ReplaceValues(zd::connections::key(), {{QStringLiteral("Prvni"), QStringLiteral("A")},
                                                    {QStringLiteral("Druha"), QStringLiteral("B")}});
    }
    TzdDesigner component(nullptr);
    component.Standalone = true;
    TzdDesigner::SetCurrent(&component);
    report.ReportOptions()->SetConnectionName(QStringLiteral("prvni"));
    Runner run([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Připojení"));
        auto* list = child<QListWidget>(d, "DatasetsLB");
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
        list->item(1)->setCheckState(Qt::Checked);
        EXPECT_EQ(list->item(0)->checkState(), Qt::Unchecked);
        child<QPushButton>(d, "OkB")->click();
    });
    EXPECT_TRUE(zd::dialogs::EditReportData(&report));
    EXPECT_EQ(report.ReportOptions()->ConnectionName(), QStringLiteral("Druha"));

    Runner none([](QDialog& d) {
        child<QListWidget>(d, "DatasetsLB")->item(1)->setCheckState(Qt::Unchecked);
        child<QPushButton>(d, "OkB")->click();
    });
    EXPECT_TRUE(zd::dialogs::EditReportData(&report));
    EXPECT_TRUE(report.ReportOptions()->ConnectionName().isEmpty());
    TzdDesigner::SetCurrent(nullptr);
    plat::KeyStore::resetHiveFolders();
}

} // namespace

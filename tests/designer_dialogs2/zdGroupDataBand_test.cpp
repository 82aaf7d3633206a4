// The group and data band dialogs: what they open on, what OK writes to the
// template, bad record counts that keep the dialog open, and Cancel.

#include "Dialogs2TestUtil.h"
#include "zdDataBandEditor.h"
#include "zdDialogsSecondHalf.h"
#include "zdGroupEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using namespace dlg2;

namespace {

struct GroupDialog : Fixture {
    TzdGroupHeader* header = nullptr;
    GroupDialog()
    {
        addDataSet("Zakaznici", {QStringLiteral("Mesto")});
        addOrders();
        header = add<TzdGroupHeader>(page, "GroupHeader1");
    }
};

TEST_F(GroupDialog, OpensOnAFieldReferenceOrOnAnExpression)
{
    header->Condition = QStringLiteral("Orders.\"Name\"");
    zd::group::Fields f = zd::group::load(header);
    EXPECT_TRUE(f.ByField);
    EXPECT_EQ(f.DataSet, QStringLiteral("Orders"));
    EXPECT_EQ(f.Field, QStringLiteral("Name"));

    header->Condition = QStringLiteral("Copy(<Orders.\"Name\">, 1, 1)");
    f = zd::group::load(header);
    EXPECT_FALSE(f.ByField);
    EXPECT_EQ(f.Expression, header->Condition);

    header->Condition.clear();
    EXPECT_EQ(zd::group::load(header).DataSet, QStringLiteral("Zakaznici"));
}

TEST_F(GroupDialog, OkWritesTheFieldConditionAndTheOutlineFromIt)
{
    header->OutlineText = QStringLiteral("stary popis");
    Runner run([](QDialog& d) {
        child<QComboBox>(d, "DataSetCB")->setCurrentText(QStringLiteral("Orders"));
        auto* fields = child<QComboBox>(d, "DataFieldCB");
        EXPECT_EQ(fields->count(), 2);
        fields->setCurrentText(QStringLiteral("Amount"));
        child<QCheckBox>(d, "KeepGroupTogetherCB")->setChecked(true);
        EXPECT_TRUE(child<QCheckBox>(d, "OutlineCB")->isChecked());
        child<QPushButton>(d, "OKB")->click();
    });
    ASSERT_TRUE(zd::dialogs::EditGroupHeader(header));
    EXPECT_EQ(header->Condition, QStringLiteral("Orders.\"Amount\""));
    EXPECT_EQ(header->OutlineText, header->Condition);
    EXPECT_TRUE(header->KeepTogether);
    const QByteArray xml = saved();
    EXPECT_TRUE(xml.contains("Condition=\"Orders.&#34;Amount&#34;\"")) << xml.constData();

    Runner untick([](QDialog& d) {
        EXPECT_EQ(child<QComboBox>(d, "DataFieldCB")->currentText(), QStringLiteral("Amount"));
        child<QCheckBox>(d, "OutlineCB")->setChecked(false);
        child<QRadioButton>(d, "ExpressionRB")->click();
        child<QLineEdit>(d, "ExpressionE")->setText(QStringLiteral("<Orders.\"Amount\"> > 100"));
        child<QPushButton>(d, "OKB")->click();
    });
    ASSERT_TRUE(zd::dialogs::EditGroupHeader(header));
    EXPECT_EQ(header->Condition, QStringLiteral("<Orders.\"Amount\"> > 100"));
    EXPECT_TRUE(header->OutlineText.isEmpty());
}

TEST_F(GroupDialog, CancelLeavesTheTemplateByteIdentical)
{
    header->Condition = QStringLiteral("Orders.\"Name\"");
    const QByteArray before = saved();
    Runner run([](QDialog& d) {
        child<QRadioButton>(d, "ExpressionRB")->click();
        child<QCheckBox>(d, "ResetCB")->setChecked(true);
        child<QPushButton>(d, "CancelB")->click();
    });
    EXPECT_FALSE(zd::dialogs::EditGroupHeader(header));
    EXPECT_EQ(saved(), before);
}

struct DataBandDialog : Fixture {
    TzdMasterData* band = nullptr;
    DataBandDialog()
    {
        addDataSet("Zakaznici", {QStringLiteral("Mesto")});
        addOrders();
        band = add<TzdMasterData>(page, "MasterData1");
    }
};

TEST_F(DataBandDialog, OkBindsTheChosenDatasetAndFilter)
{
    Runner run([](QDialog& d) {
        auto* list = child<QListWidget>(d, "DatasetsLB");
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(list->item(0)->text(), QStringLiteral("[nepřiřazeno]"));
        EXPECT_EQ(list->item(1)->text(), QStringLiteral("Orders"));
        list->setCurrentRow(1);
        child<QLineEdit>(d, "FilterE")->setText(QStringLiteral("<Orders.\"Amount\"> > 0"));
        child<QPushButton>(d, "OkB")->click();
    });
    ASSERT_TRUE(zd::dialogs::EditDataBand(band));
    EXPECT_EQ(band->DataSet(), orders);
    EXPECT_EQ(band->RowCount(), 0);
    const QByteArray xml = saved();
    EXPECT_TRUE(xml.contains("Filter=\"&#60;Orders.&#34;Amount&#34;&#62; &#62; 0\"")) << xml.constData();
    EXPECT_EQ(band->Filter, QStringLiteral("<Orders.\"Amount\"> > 0"));
}

TEST_F(DataBandDialog, NotAssignedKeepsTheTypedRecordCount)
{
    band->SetDataSet(orders);
    Runner run([](QDialog& d) {
        EXPECT_EQ(child<QListWidget>(d, "DatasetsLB")->currentRow(), 1);
        child<QListWidget>(d, "DatasetsLB")->setCurrentRow(0);
        child<QLineEdit>(d, "RecordsE")->setText(QStringLiteral("5"));
        child<QPushButton>(d, "OkB")->click();
    });
    ASSERT_TRUE(zd::dialogs::EditDataBand(band));
    EXPECT_EQ(band->DataSet(), nullptr);
    EXPECT_EQ(band->RowCount(), 5);
}

TEST_F(DataBandDialog, BadRecordCountsKeepTheDialogOpenAndTheBandUnchanged)
{
    const QByteArray before = saved();
    for (const char* bad : {"pět", "-1", "32768", ""}) {
        ui.Reset();
        bool stayedOpen = false;
        Runner run([&](QDialog& d) {
            child<QListWidget>(d, "DatasetsLB")->setCurrentRow(1);
            child<QLineEdit>(d, "FilterE")->setText(QStringLiteral("x"));
            child<QLineEdit>(d, "RecordsE")->setText(QString::fromUtf8(bad));
            child<QPushButton>(d, "OkB")->click();
            stayedOpen = d.result() != QDialog::Accepted;
            child<QPushButton>(d, "CancelB")->click();
        });
        EXPECT_FALSE(zd::dialogs::EditDataBand(band)) << bad;
        EXPECT_TRUE(stayedOpen) << bad;
        EXPECT_EQ(messages().size(), 1) << bad;
        EXPECT_EQ(saved(), before) << bad;
    }
}

} // namespace

// The system text dialog: aggregate texts, what it opens on, and Czech text
// and characters outside code page 1250 surviving the system text editor
// unchanged.

#include "Dialogs2TestUtil.h"
#include "zdClass_memo.h"
#include "zdDialogsSecondHalf.h"
#include "zdDsgnDialogs.h"
#include "zdSysMemoEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace dlg2;

namespace {

// The designer-dialogs service with the system text dialog behind it, as
// the designer installs it.
class SysMemoService : public TzdDesignerDialogs {
public:
    bool EditMemoText(TzdComponent*, QString&) override { return false; }
    bool EditStrings(plat::TStrings&) override { return false; }
    bool EditFrame(TzdFrame&) override { return false; }
    bool EditFill(const TzdCustomFill*, bool, std::unique_ptr<TzdCustomFill>&) override { return false; }
    bool EditPicture(plat::TPicture&) override { return false; }
    bool EditHyperlink(TzdView*, TzdHyperlink&) override { return false; }
    bool EditDisplayFormat(TzdCustomMemoView*, TzdFormatCollection&) override { return false; }
    bool EditSysMemo(TzdComponent* Memo, QString& Text) override { return zd::dialogs::EditSysMemo(Memo, Text); }
    bool EditPage(TzdComponent*) override { return false; }
    bool EditDataBand(TzdComponent*) override { return false; }
    bool EditGroupHeader(TzdComponent*) override { return false; }
    bool EditBarcode(TzdComponent*) override { return false; }
};

TEST(SysMemoAggregate, TextOfEachCombination)
{
    using zd::sysmemo::Fields;
    auto fields = [](const char* fn, const char* band, const char* expr, bool invisible, bool running) {
        Fields f;
        f.Kind = zd::sysmemo::chAggregate;
        f.Function = QString::fromLatin1(fn);
        f.Band = QString::fromLatin1(band);
        f.DataSet = QStringLiteral("Orders");
        f.Field = QStringLiteral("Amount");
        f.Expression = QString::fromLatin1(expr);
        f.CountInvisible = invisible;
        f.RunningTotal = running;
        return f;
    };
    const struct {
        Fields f;
        const char* expected;
    } cases[] = {
        {fields("SUM", "MasterData1", "", false, true), "SUM(<Orders.\"Amount\">,MasterData1,2)"},
        {fields("COUNT", "MasterData1", "", true, false), "COUNT(MasterData1,1)"},
        {fields("COUNT", "MasterData1", "", false, false), "COUNT(MasterData1)"},
        {fields("SUM", "", "", true, true), "SUM(<Orders.\"Amount\">)"},
        {fields("MAX", "MasterData1", "<Orders.\"Amount\"> * 2", true, true),
         "MAX(<Orders.\"Amount\"> * 2,MasterData1,3)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zd::sysmemo::aggregateText(c.f), QString::fromLatin1(c.expected));
    EXPECT_EQ(zd::sysmemo::result(cases[0].f), QStringLiteral("[SUM(<Orders.\"Amount\">,MasterData1,2)]"));
}

TEST(SysMemoInitial, VariableOrText)
{
    EXPECT_EQ(zd::sysmemo::initial(QStringLiteral("[PAGE#]")).Kind, zd::sysmemo::chVariable);
    EXPECT_EQ(zd::sysmemo::initial(QString()).Kind, zd::sysmemo::chVariable);
    const auto text = zd::sysmemo::initial(QStringLiteral("Total"));
    EXPECT_EQ(text.Kind, zd::sysmemo::chText);
    EXPECT_EQ(text.Text, QStringLiteral("Total"));
}

struct SysMemoDialog : Fixture {
    SysMemoService service;
    TzdScopedDesignerDialogs useService{service};
    TzdMasterData* band = nullptr;
    TzdSysMemoView* memo = nullptr;
    SysMemoDialog()
    {
        addOrders();
        band = add<TzdMasterData>(page, "MasterData1");
        band->SetDataSet(orders);
        memo = add<TzdSysMemoView>(page, "SysMemo1");
    }
    bool edit()
    {
        TzdMenu menu;
        designer.Selection = {memo};
        std::unique_ptr<TzdComponentEditor> editor(
            zdGetComponentEditorRegistry()->GetComponentEditor(memo, &designer, &menu));
        return editor && editor->Edit();
    }
};

TEST_F(SysMemoDialog, CzechAndOtherCharactersSurviveUnchanged)
{
    const QString text = QStringLiteral("Příliš žluťoučký kůň – Ωμέγα ☃ 😀 €");
    memo->SetText(text);
    const QByteArray before = saved();
    Runner run([&](QDialog& d) {
        EXPECT_TRUE(child<QRadioButton>(d, "TextRB")->isChecked());
        EXPECT_EQ(child<QLineEdit>(d, "TextE")->text(), text);
        child<QPushButton>(d, "OKB")->click();
    });
    ASSERT_TRUE(edit());
    EXPECT_EQ(memo->Text(), text + QStringLiteral("\r\n"));
    EXPECT_EQ(saved(), before);
}

TEST_F(SysMemoDialog, AggregateFromTheBandsDataset)
{
    memo->SetText(QStringLiteral("[PAGE#]"));
    Runner run([](QDialog& d) {
        EXPECT_TRUE(child<QRadioButton>(d, "SysVariableRB")->isChecked());
        EXPECT_EQ(child<QComboBox>(d, "SysVariableCB")->currentText(), QStringLiteral("[PAGE#]"));
        child<QRadioButton>(d, "AggregateRB")->click();
        child<QComboBox>(d, "DataBandCB")->setCurrentText(QStringLiteral("MasterData1"));
        child<QComboBox>(d, "DataFieldCB")->setCurrentText(QStringLiteral("Amount"));
        child<QCheckBox>(d, "RunningTotalCB")->setChecked(true);
        EXPECT_EQ(child<QLabel>(d, "SampleL")->text(), QStringLiteral("SUM(<Orders.\"Amount\">,MasterData1,2)"));
        child<QPushButton>(d, "OKB")->click();
    });
    ASSERT_TRUE(edit());
    EXPECT_EQ(memo->Text(), QStringLiteral("[SUM(<Orders.\"Amount\">,MasterData1,2)]\r\n"));
    EXPECT_TRUE(saved().contains("MasterData1,2)]"));
}

TEST_F(SysMemoDialog, CancelLeavesTheTemplateByteIdentical)
{
    memo->SetText(QStringLiteral("Celkem"));
    const QByteArray before = saved();
    Runner run([](QDialog& d) {
        child<QRadioButton>(d, "SysVariableRB")->click();
        child<QPushButton>(d, "CancelB")->click();
    });
    EXPECT_FALSE(edit());
    EXPECT_EQ(saved(), before);
}

TEST_F(SysMemoDialog, AggregateOnlyModeGivesTheBracketedAggregate)
{
    QString inserted;
    Runner run([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Vložit agregátní proměnnou"));
        EXPECT_FALSE(child<QRadioButton>(d, "TextRB")->isVisibleTo(&d));
        child<QComboBox>(d, "FunctionCB")->setCurrentText(QStringLiteral("COUNT"));
        child<QComboBox>(d, "DataBandCB")->setCurrentText(QStringLiteral("MasterData1"));
        child<QPushButton>(d, "OKB")->click();
    });
    ASSERT_TRUE(zd::dialogs::InsertAggregate(memo, inserted));
    EXPECT_EQ(inserted, QStringLiteral("[COUNT(MasterData1)]"));
}

} // namespace

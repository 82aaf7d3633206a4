// The variables editor: categories and variables as a tree, commands on
// uncategorised variables, the list editor, and OK or Cancel on the
// report's template.

#include "DialogTestUtil.h"
#include "zdEditVariables.h"
#include "zdVariables.h"

#include <QPlainTextEdit>
#include <QTreeWidget>

namespace {

using dlgtest::child;
using dlgtest::driveDialog;

struct Variables : dlgtest::ReportFixture {
    TzdVariables& vars() { return *report.Variables(); }
    void entry(const QString& name, const QString& value = {})
    {
        TzdVariable* v = vars().Add();
        v->SetName(name);
        v->SetValue(plat::Variant(value));
    }
};

TEST_F(Variables, AnEmptyReportShowsTheNoVariablesRootAndInsertMakesACategory)
{
    TzdVarEditorForm form(&report);
    form.show();
    QTreeWidget* tree = form.Tree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("(Nedefinované proměnné)"));
    form.NewVariable();
    EXPECT_EQ(form.Model().Vars().Count(), 0);
    QTest::keyClick(tree, Qt::Key_Insert);
    EXPECT_EQ(form.Model().Categories(), QStringList{QStringLiteral("New Category1")});
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Proměnné"));
}

TEST_F(Variables, NewVariablesFollowTheCategorysOwn)
{
    entry(QStringLiteral(" Totals"));
    entry(QStringLiteral("Sum"), QStringLiteral("1"));
    entry(QStringLiteral(" Other"));
    zd::VarEditModel m;
    m.Load(&report);
    QString category;
    EXPECT_EQ(m.NewVariable(QStringLiteral("Totals"), true, &category), QStringLiteral("New Variable1"));
    EXPECT_EQ(category, QStringLiteral("Totals"));
    EXPECT_EQ(m.NewVariable(QStringLiteral("Sum"), false, &category), QStringLiteral("New Variable2"));
    EXPECT_EQ(m.VariablesOf(QStringLiteral("Totals")),
              (QStringList{"Sum", "New Variable1", "New Variable2"}));
    EXPECT_EQ(m.NewVariable(QString(), false, &category), QStringLiteral("New Variable3"));
    EXPECT_EQ(category, QStringLiteral("Other")); // nothing selected: the last category
}

TEST_F(Variables, WithoutCategoriesTheCommandsActOnTheVariables)
{
    entry(QStringLiteral("A"), QStringLiteral("1"));
    entry(QStringLiteral("B"), QStringLiteral("2"));
    zd::VarEditModel m;
    m.Load(&report);
    EXPECT_TRUE(m.RootHasChildren());
    EXPECT_EQ(m.NewVariable(QStringLiteral("A"), false), QStringLiteral("New Variable1"));
    EXPECT_EQ(m.VariablesOf(QString()), (QStringList{"A", "B", "New Variable1"}));
    m.Delete(QStringLiteral("A"), false);
    EXPECT_EQ(m.VariablesOf(QString()), (QStringList{"B", "New Variable1"}));
    EXPECT_TRUE(m.Rename(QStringLiteral("B"), QStringLiteral("C"), false));
    EXPECT_EQ(m.ValueText(QStringLiteral("C")), QStringLiteral("2"));
}

TEST_F(Variables, WithoutCategoriesTheWindowShowsAndDeletesTheVariables)
{
    entry(QStringLiteral("A"), QStringLiteral("1"));
    entry(QStringLiteral("B"), QStringLiteral("2"));
    TzdVarEditorForm form(&report);
    form.show();
    QTreeWidgetItem* root = form.Tree()->topLevelItem(0);
    ASSERT_EQ(root->childCount(), 2);
    form.SelectNode(QStringLiteral("A"));
    EXPECT_EQ(form.ExprMemo()->toPlainText(), QStringLiteral("1"));
    QTest::keyClick(form.Tree(), Qt::Key_Delete);
    EXPECT_EQ(form.Model().VariablesOf(QString()), QStringList{QStringLiteral("B")});
    EXPECT_EQ(form.Tree()->topLevelItem(0)->childCount(), 1);
}

TEST_F(Variables, RenamesRefuseDuplicatesButAVariableMayShareACategorysName)
{
    entry(QStringLiteral(" Totals"));
    entry(QStringLiteral("Sum"));
    entry(QStringLiteral("Count"));
    zd::VarEditModel m;
    m.Load(&report);
    EXPECT_FALSE(m.Rename(QStringLiteral("Sum"), QStringLiteral("Count"), false));
    EXPECT_TRUE(m.Rename(QStringLiteral("Sum"), QStringLiteral("Totals"), false));
    EXPECT_EQ(m.VariablesOf(QStringLiteral("Totals")), (QStringList{"Totals", "Count"}));
}

TEST_F(Variables, TheListEditorEntersANameOnce)
{
    zd::VarEditModel m;
    m.ApplyList({QStringLiteral("Totals"), QStringLiteral(" Sum"), QStringLiteral(" Sum"), QString()});
    EXPECT_EQ(m.Categories(), QStringList{QStringLiteral("Totals")});
    EXPECT_EQ(m.VariablesOf(QStringLiteral("Totals")), QStringList{QStringLiteral("Sum")});
    EXPECT_EQ(m.ListLines(), (QStringList{"Totals", " Sum"}));
}

TEST_F(Variables, AValueEditedAndConfirmedWithoutLeavingTheNodeIsStored)
{
    entry(QStringLiteral(" Totals"));
    entry(QStringLiteral("Sum"), QStringLiteral("1"));
    const QByteArray before = snapshot();
    auto edit = [](QDialog& d) {
        auto& form = static_cast<TzdVarEditorForm&>(d);
        form.SelectNode(QStringLiteral("Sum"));
        form.ExprMemo()->selectAll();
        QTest::keyClicks(form.ExprMemo(), "[Cena] * 2");
    };
    {
        auto run = driveDialog(edit, QStringLiteral("CancelB"));
        TzdVarEditorForm form(&report);
        EXPECT_EQ(plat::ExecModal(form), QDialog::Rejected);
        EXPECT_EQ(snapshot(), before);
    }
    auto run = driveDialog(edit, QStringLiteral("OkB"));
    TzdVarEditorForm form(&report);
    EXPECT_EQ(plat::ExecModal(form), QDialog::Accepted);
    EXPECT_EQ(vars().GetVariables(QStringLiteral("Sum")).toString(), QStringLiteral("[Cena] * 2"));
    EXPECT_TRUE(snapshot().contains("[Cena] * 2")) << snapshot().toStdString();
}

} // namespace

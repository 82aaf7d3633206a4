// The data tree inside the expression and variables editors, and the
// editor windows' places kept in the report's settings file.

#include "DialogTestUtil.h"
#include "IniFiles.h"
#include "zdDataTree.h"
#include "zdEditExpr.h"
#include "zdEditMemo.h"
#include "zdEditVariables.h"
#include "zdUnicodeCtrls.h"
#include "zdVariables.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTreeWidget>

#include <functional>

namespace {

using dlgtest::child;
using dlgtest::driveDialog;

struct EditorDialogs : dlgtest::ReportFixture {
    TzdMemoView* memo = nullptr;
    EditorDialogs()
    {
        memo = add<TzdMemoView>(page, "Memo1");
        entry(QStringLiteral(" Totals"));
        entry(QStringLiteral("Sum"), QStringLiteral("1"));
        entry(QStringLiteral("Count"), QStringLiteral("2"));
    }
    void entry(const QString& name, const QString& value = {})
    {
        TzdVariable* v = report.Variables()->Add();
        v->SetName(name);
        v->SetValue(plat::Variant(value));
    }
    QString settings(const char* section, const char* key)
    {
        plat::TIniFile ini(report.IniFile);
        return ini.ReadString(QString::fromLatin1(section), QString::fromLatin1(key), QStringLiteral("<none>"));
    }
    // Double-clicks the node named Name on the variables tab of Tree.
    static void doubleClickVariable(TzdDataTreeForm* Tree, const QString& Name)
    {
        ASSERT_NE(Tree, nullptr);
        Tree->SetActiveTab(TzdDataTreeForm::tabVariables);
        QTreeWidget* tree = Tree->Tree(TzdDataTreeForm::tabVariables);
        const auto found = tree->findItems(Name, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_FALSE(found.isEmpty()) << Name.toStdString();
        tree->scrollToItem(found.first());
        const QPoint at = tree->visualItemRect(found.first()).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    }
};

// ---------------------------------------------------------------- data tree

TEST_F(EditorDialogs, ExpressionEditorsDataTreeReplacesTheSelectionWithTheNodesText)
{
    auto run = driveDialog(
        [](QDialog& d) {
            auto& form = static_cast<TzdExprEditorForm&>(d);
            form.ExprMemo()->setText(QStringLiteral("1 + X + 2"));
            form.ExprMemo()->setSelection(4, 1);
            doubleClickVariable(form.DataTree(), QStringLiteral("Count"));
            // System variables come too.
            form.ExprMemo()->end(false);
            doubleClickVariable(form.DataTree(), QStringLiteral("Page#"));
        },
        QStringLiteral("OkB"));
    EXPECT_EQ(zd::editExpressionDialog(nullptr, QString(), &report), QStringLiteral("1 + <Count> + 2<Page#>"));
}

TEST_F(EditorDialogs, OnlyTheEditorsOwnTreeWithATextMayBeDropped)
{
    TzdExprEditorForm form(nullptr, &report);
    form.show();
    TzdDataTreeForm* tree = form.DataTree();
    tree->SetActiveTab(TzdDataTreeForm::tabVariables);
    QTreeWidget* variables = tree->Tree(TzdDataTreeForm::tabVariables);
    const auto select = [&](const char* name) {
        variables->setCurrentItem(variables->findItems(QString::fromUtf8(name), Qt::MatchExactly | Qt::MatchRecursive).value(0));
    };
    select("Sum");
    EXPECT_TRUE(zd::acceptsDataTreeDrag(*tree, variables->viewport()));
    EXPECT_FALSE(zd::acceptsDataTreeDrag(*tree, form.ExprMemo()));
    EXPECT_FALSE(zd::acceptsDataTreeDrag(*tree, nullptr));
    TzdDataTreeForm other;
    EXPECT_FALSE(zd::acceptsDataTreeDrag(*tree, &other));
    select("Totals"); // a category has no text of its own
    EXPECT_FALSE(zd::acceptsDataTreeDrag(*tree, variables->viewport()));
    EXPECT_FALSE(zd::insertDataTreeText(*tree, form.ExprMemo()));
    EXPECT_EQ(form.ExprMemo()->text(), QString());
}

TEST_F(EditorDialogs, VariablesEditorsDataTreeFillsTheSelectedVariablesValue)
{
    const QByteArray before = snapshot();
    const auto drive = [](QDialog& d) {
        auto& form = static_cast<TzdVarEditorForm&>(d);
        form.SelectNode(QStringLiteral("Sum"));
        form.ExprMemo()->moveCursor(QTextCursor::End);
        form.ExprMemo()->insertPlainText(QStringLiteral(" + "));
        doubleClickVariable(form.DataTree(), QStringLiteral("Count"));
        EXPECT_EQ(form.ExprMemo()->toPlainText(), QStringLiteral("1 + <Count>"));
    };
    {
        auto run = driveDialog(drive, QStringLiteral("CancelB"));
        TzdVarEditorForm form(&report);
        EXPECT_EQ(plat::ExecModal(form), QDialog::Rejected);
        EXPECT_EQ(snapshot(), before);
    }
    auto run = driveDialog(drive, QStringLiteral("OkB"));
    TzdVarEditorForm form(&report);
    EXPECT_EQ(plat::ExecModal(form), QDialog::Accepted);
    const int i = report.Variables()->IndexOf(QStringLiteral("Sum"));
    ASSERT_GE(i, 0);
    EXPECT_EQ(report.Variables()->GetItem(i)->Value().toString(), QStringLiteral("1 + <Count>"));
    EXPECT_NE(snapshot(), before);
}

// ---------------------------------------------------------------- window places

struct Opener {
    const char* section;
    std::function<void(EditorDialogs&)> open;
};

void openMemoEditor(EditorDialogs& t)
{
    TzdMemoEditorForm form;
    form.SetMemo(t.memo, QStringLiteral("Čeština"));
    plat::ExecModal(form);
}

const Opener kOpeners[] = {
    {"Form5.TzdExprEditorForm", [](EditorDialogs& t) { zd::editExpressionDialog(nullptr, QString(), &t.report); }},
    {"Form5.TzdVarEditorForm",
     [](EditorDialogs& t) {
         TzdVarEditorForm form(&t.report);
         plat::ExecModal(form);
     }},
    {"Form5.TzdMemoEditorForm", openMemoEditor},
};

TEST_F(EditorDialogs, EveryEditorComesBackAtTheSizeItWasLeftAt)
{
    for (const Opener& o : kOpeners) {
        {
            auto run = driveDialog([](QDialog& d) { d.resize(610, 470); }, QStringLiteral("CancelB"));
            o.open(*this);
        }
        EXPECT_EQ(settings(o.section, "Width"), QStringLiteral("610")) << o.section;
        EXPECT_EQ(settings(o.section, "Height"), QStringLiteral("470")) << o.section;
        EXPECT_EQ(settings(o.section, "Visible"), QStringLiteral("1")) << o.section;
        QSize shown;
        auto run = driveDialog([&](QDialog& d) { shown = d.size(); }, QStringLiteral("OkB"));
        o.open(*this);
        EXPECT_EQ(shown, QSize(610, 470)) << o.section;
    }
}

TEST_F(EditorDialogs, ASettingsFileThatCannotBeWrittenDoesNotStopTheEditors)
{
    // A folder where the file should be: every write fails.
    report.IniFile = settingsDir.path();
    for (const Opener& o : kOpeners) {
        bool shown = false;
        auto run = driveDialog([&](QDialog&) { shown = true; }, QStringLiteral("OkB"));
        o.open(*this);
        EXPECT_TRUE(shown) << o.section;
    }
    EXPECT_TRUE(ui.Calls().empty());
    EXPECT_TRUE(ui.Unexpected().isEmpty());
}

TEST_F(EditorDialogs, MemoEditorKeepsItsWordWrapChoice)
{
    {
        auto run = driveDialog([](QDialog& d) { d.findChild<QAction*>(QStringLiteral("WordWrapB"))->trigger(); },
                               QStringLiteral("CancelB"));
        openMemoEditor(*this);
    }
    EXPECT_EQ(settings("Form5.TzdMemoEditorForm", "WordWrap"), QStringLiteral("1"));
    bool checked = false;
    bool wraps = false;
    auto run = driveDialog(
        [&](QDialog& d) {
            checked = d.findChild<QAction*>(QStringLiteral("WordWrapB"))->isChecked();
            wraps = d.findChild<TUnicodeMemo*>()->lineWrapMode() != QPlainTextEdit::NoWrap;
        },
        QStringLiteral("OkB"));
    openMemoEditor(*this);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(wraps);
}

TEST_F(EditorDialogs, VariablesEditorKeepsItsSplittersAndPassesOverDamagedOnes)
{
    int exprHeight = 0, panelWidth = 0;
    {
        auto run = driveDialog(
            [&](QDialog& d) {
                d.resize(700, 500);
                auto* split1 = child<QSplitter>(d, "Splitter1");
                auto* split2 = child<QSplitter>(d, "Splitter2");
                split1->setSizes({split1->height() - 150, 150});
                split2->setSizes({split2->width() - 300, 300});
                exprHeight = split1->sizes().value(1);
                panelWidth = split2->sizes().value(1);
            },
            QStringLiteral("OkB"));
        TzdVarEditorForm form(&report);
        plat::ExecModal(form);
    }
    EXPECT_EQ(settings("Form5.TzdVarEditorForm", "Split1Pos"), QString::number(exprHeight));
    EXPECT_EQ(settings("Form5.TzdVarEditorForm", "Split2Pos"), QString::number(panelWidth));
    const auto shownSizes = [&] {
        std::pair<int, int> sizes;
        auto run = driveDialog(
            [&](QDialog& d) {
                sizes = {child<QSplitter>(d, "Splitter1")->sizes().value(1),
                         child<QSplitter>(d, "Splitter2")->sizes().value(1)};
            },
            QStringLiteral("CancelB"));
        TzdVarEditorForm form(&report);
        plat::ExecModal(form);
        return sizes;
    };
    EXPECT_EQ(shownSizes(), std::make_pair(exprHeight, panelWidth));
    const QString section = QStringLiteral("Form5.TzdVarEditorForm");
    {
        plat::TIniFile ini(report.IniFile);
        ini.DeleteKey(section, QStringLiteral("Split1Pos"));
        ini.DeleteKey(section, QStringLiteral("Split2Pos"));
    }
    const std::pair<int, int> defaults = shownSizes();
    EXPECT_NE(defaults, std::make_pair(exprHeight, panelWidth));
    {
        plat::TIniFile ini(report.IniFile);
        ini.WriteString(section, QStringLiteral("Split1Pos"), QStringLiteral("-40"));
        ini.WriteString(section, QStringLiteral("Split2Pos"), QStringLiteral("nic"));
    }
    EXPECT_EQ(shownSizes(), defaults);
}

} // namespace

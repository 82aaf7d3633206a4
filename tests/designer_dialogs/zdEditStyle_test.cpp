// The style and highlight editors: working copies written back on OK only,
// unique names, refused renames, and style files saved under the name the
// user was asked about.

#include "DialogTestUtil.h"
#include "Exceptions.h"
#include "zdClass_highlight.h"
#include "zdClass_style.h"
#include "zdDesignerDialogsQt.h"
#include "zdDsgnDialogs.h"
#include "zdEditHighlight.h"
#include "zdEditMemo.h"
#include "zdEditStyle.h"
#include "zdEditors.h"

#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

using dlgtest::child;
using dlgtest::driveDialog;

struct Styles : dlgtest::ReportFixture {
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(Styles, FreshStylesTakeTheSmallestFreeNumbers)
{
    zd::StyleEditModel m;
    m.Load(&report);
    EXPECT_EQ(m.Add(), 0);
    EXPECT_EQ(m.Add(), 1);
    EXPECT_EQ(m.Item(0)->Name(), QStringLiteral("Style1"));
    EXPECT_EQ(m.Item(1)->Name(), QStringLiteral("Style2"));
    EXPECT_EQ(m.Delete(1), 0); // the new last is selected
    EXPECT_EQ(m.Delete(0), -1);
    EXPECT_EQ(m.Count(), 0);
}

TEST_F(Styles, ARenameToAnotherStylesNameIsRefused)
{
    zd::StyleEditModel m;
    m.Add();
    m.Add();
    EXPECT_THROW(m.Rename(1, QStringLiteral("style1")), plat::Exception);
    EXPECT_EQ(m.Item(1)->Name(), QStringLiteral("Style2"));
}

TEST_F(Styles, SavingAsXmlWritesAZs3File)
{
    zd::StyleEditModel m;
    m.Add();
    ui.AnswerFile({path("styles.xml")});
    ASSERT_TRUE(m.SaveAs(dir.path()));
    EXPECT_FALSE(QFile::exists(path("styles.xml")));
    QFile file(path("styles.zs3"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("Style1"));
    // The file is well-formed XML for an outside reader too.
    if (!QStandardPaths::findExecutable(QStringLiteral("xmllint")).isEmpty())
        EXPECT_EQ(QProcess::execute(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path("styles.zs3")}), 0);
}

TEST_F(Styles, AnExistingZs3FileIsNotOverwrittenWithoutBeingAskedAbout)
{
    {
        QFile old(path("styles.zs3"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("keep me");
    }
    zd::StyleEditModel m;
    m.Add();
    ui.AnswerFile({path("styles.xml")});
    ui.Cancel(QStringLiteral("SaveDialog")); // asked again about styles.zs3: cancelled
    EXPECT_FALSE(m.SaveAs(dir.path()));
    const auto asked = ui.CallsOf(QStringLiteral("SaveDialog"));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(asked[1].details.join(u'|').contains(QStringLiteral("styles.zs3")));
    QFile old(path("styles.zs3"));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("keep me"));
}

TEST_F(Styles, OkWritesTheStylesIntoTheTemplateAndCancelLeavesItAlone)
{
    const QByteArray before = snapshot();
    {
        auto run = driveDialog(
            [](QDialog& d) {
                d.findChild<QAction*>(QStringLiteral("AddB"))->trigger();
                child<QCheckBox>(d, "ApplyFrameCB")->setChecked(false);
            },
            QStringLiteral("CancelB"));
        TzdStyleEditorForm form(&report);
        EXPECT_EQ(plat::ExecModal(form), QDialog::Rejected);
        EXPECT_EQ(snapshot(), before);
    }
    auto run = driveDialog(
        [](QDialog& d) {
            d.findChild<QAction*>(QStringLiteral("AddB"))->trigger();
            child<QCheckBox>(d, "ApplyFrameCB")->setChecked(false);
        },
        QStringLiteral("OkB"));
    TzdStyleEditorForm form(&report);
    EXPECT_EQ(plat::ExecModal(form), QDialog::Accepted);
    ASSERT_EQ(report.Styles()->Count(), 1);
    EXPECT_FALSE(report.Styles()->Items(0)->ApplyFrame);
    const QByteArray xml = snapshot();
    EXPECT_TRUE(xml.contains("Style1")) << xml.toStdString();
}

TEST_F(Styles, ARefusedLabelEditIsShownAndTheLabelRestored)
{
    report.Styles()->Add()->MakeUniqueName();
    report.Styles()->Add()->MakeUniqueName();
    TzdStyleEditorForm form(&report);
    auto* tree = child<QTreeWidget>(form, "StylesTV");
    tree->topLevelItem(1)->setText(0, QStringLiteral("Style1"));
    EXPECT_EQ(tree->topLevelItem(1)->text(0), QStringLiteral("Style2"));
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 1u);
    tree->topLevelItem(1)->setText(0, QStringLiteral("Nadpis"));
    EXPECT_EQ(form.Model().Item(1)->Name(), QStringLiteral("Nadpis"));
    // The sample draws the selected style.
    form.Select(1);
    EXPECT_FALSE(child<QWidget>(form, "PaintBox")->grab().isNull());
}

// ---------------------------------------------------------------- highlights

TEST(HighlightModel, OneEmptyHighlightStandsForNone)
{
    dlgtest::startUnits();
    TzdMemoView memo(nullptr);
    memo.Highlights()->Add();
    zd::HighlightEditModel m;
    m.Load(&memo);
    EXPECT_EQ(m.Count(), 0);
    EXPECT_EQ(m.Add(QString()), -1); // a cancelled prompt adds nothing
    m.WriteBack(&memo);
    ASSERT_EQ(memo.Highlights()->Count(), 1);
    EXPECT_TRUE(memo.Highlights()->GetItem(0)->Condition.isEmpty());
}

TEST(HighlightModel, AddMoveDelete)
{
    zd::HighlightEditModel m;
    EXPECT_EQ(m.Add(QStringLiteral("a")), 0);
    EXPECT_EQ(m.Add(QStringLiteral("b")), 1);
    EXPECT_EQ(m.Add(QStringLiteral("c")), 2);
    EXPECT_EQ(m.Move(2, -1), 1);
    EXPECT_EQ(m.Item(1)->Condition, QStringLiteral("c"));
    EXPECT_EQ(m.Move(0, -1), 0); // the first stays first
    EXPECT_EQ(m.Delete(2), 1);   // the last deleted: the previous one
    EXPECT_EQ(m.Delete(0), 0);
    EXPECT_EQ(m.Delete(0), -1);
}

struct HighlightTab : dlgtest::ReportFixture {
    TzdQtDesignerDialogs dialogs;
    TzdScopedDesignerDialogs useDialogs{dialogs};
};

TEST_F(HighlightTab, AConditionAddedOnTheMemoEditorsTabIsStoredOnOkOnly)
{
    auto* memo = add<TzdMemoView>(page, "Memo1");
    dialogs.EditExpression = [](const QString& e) {
        EXPECT_EQ(e, QStringLiteral("Value = 0"));
        return QStringLiteral("Value > 5");
    };
    const QByteArray before = snapshot();
    auto addOne = [](QDialog& d) {
        QTest::mouseClick(child<QPushButton>(d, "AddB"), Qt::LeftButton);
        child<QCheckBox>(d, "VisibleCB")->setChecked(false);
        EXPECT_FALSE(child<QWidget>(d, "PaintBox1")->grab().isNull());
    };
    {
        auto run = driveDialog(addOne, QStringLiteral("CancelB"));
        TzdMemoEditor editor(memo, nullptr, nullptr);
        EXPECT_FALSE(editor.Edit());
        EXPECT_EQ(snapshot(), before);
    }
    auto run = driveDialog(addOne, QStringLiteral("OkB"));
    TzdMemoEditor editor(memo, nullptr, nullptr);
    ASSERT_TRUE(editor.Edit());
    ASSERT_EQ(memo->Highlights()->Count(), 1);
    EXPECT_EQ(memo->Highlights()->GetItem(0)->Condition, QStringLiteral("Value > 5"));
    EXPECT_FALSE(memo->Highlights()->GetItem(0)->Visible);
    EXPECT_TRUE(snapshot().contains("Highlight.Condition=\"Value &#62; 5\"")) << snapshot().toStdString();
}

} // namespace

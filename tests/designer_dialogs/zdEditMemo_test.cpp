// The text object editor, the expression and strings editors and the wide
// memo control: texts come back exactly as typed or stored.

#include "DialogTestUtil.h"
#include "StringList.h"
#include "zdDesignerDialogsQt.h"
#include "zdDsgnDialogs.h"
#include "zdEditExpr.h"
#include "zdEditMemo.h"
#include "zdEditStrings.h"
#include "zdEditors.h"
#include "zdUnicodeCtrls.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QPlainTextEdit>

namespace {

using dlgtest::child;
using dlgtest::driveDialog;

TEST(ExpressionWrap, DelimitersAndAngleBrackets)
{
    struct Case {
        const char* expr;
        const char* delimiters;
        const char* wrapped;
    } cases[] = {
        {"<Date>", "[,]", "[Date]"},
        {"<a> + <b>", "[,]", "[<a> + <b>]"},
        {"Date", "<%,%>", "<%Date%>"},
        {"Date", "{{,}}", "{{Date}}"},
        {"Date", "", "[Date]"},  // no delimiters: wrapped in the default ones
        {"Date", "[", "[Date]"}, // no closing part either
        {"<>", "[,]", "[]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zd::wrapExpression(QString::fromUtf8(c.expr), QString::fromUtf8(c.delimiters)),
                  QString::fromUtf8(c.wrapped))
            << c.expr << " " << c.delimiters;
}

TEST(UnicodeMemo, WideTextRoundTripsAndSurvivesWordWrapChanges)
{
    TUnicodeMemo memo;
    const QString text = QStringLiteral("Příliš žluťoučký kůň\r\n€ ∑ 日本 😀 Ω");
    memo.SetWideText(text);
    EXPECT_EQ(memo.WideText(), text);
    memo.SetWordWrap(true);
    memo.SetWordWrap(false);
    EXPECT_EQ(memo.WideText(), text);
}

TEST(UnicodeMemo, WritingTheSameTextDoesNothing)
{
    TUnicodeMemo memo;
    memo.SetWideText(QStringLiteral("abc"));
    memo.moveCursor(QTextCursor::End);
    const int position = memo.textCursor().position();
    memo.SetWideText(QStringLiteral("abc"));
    EXPECT_EQ(memo.textCursor().position(), position);
}

struct MemoEditor : dlgtest::ReportFixture {
    TzdQtDesignerDialogs dialogs;
    TzdScopedDesignerDialogs useDialogs{dialogs};
    TzdMemoView* memo;
    MemoEditor() { memo = add<TzdMemoView>(page, "Memo1"); }
    // Double-click on the memo: its component editor.
    bool edit()
    {
        TzdMemoEditor editor(memo, nullptr, nullptr);
        return editor.Edit();
    }
};

// Characters outside code page 1250, in a memo whose font has an 8-bit
// character set: the editor must not pass them through the code page.
const QString kWideText = QStringLiteral("Žluťoučký kůň úpěl ďábelské ódy\r\n€ ∑ 日本語 Ω 😀");

TEST_F(MemoEditor, UnchangedTextSurvivesOkWhateverTheFontCharset)
{
    memo->Font()->SetCharset(plat::EASTEUROPE_CHARSET);
    memo->SetText(kWideText);
    const QString stored = memo->Text();
    ASSERT_TRUE(stored.startsWith(kWideText));
    const QByteArray before = snapshot();
    auto run = driveDialog({}, QStringLiteral("OkB"));
    ASSERT_TRUE(edit());
    EXPECT_EQ(memo->Text(), stored);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(MemoEditor, TypedTextIsStoredAndCancelLeavesTheTemplateAlone)
{
    memo->SetText(QStringLiteral("old"));
    const QByteArray before = snapshot();
    {
        auto run = driveDialog(
            [](QDialog& d) {
                auto* text = d.findChild<TUnicodeMemo*>();
                text->selectAll();
                QTest::keyClicks(text, "nove");
            },
            QStringLiteral("CancelB"));
        EXPECT_FALSE(edit());
        EXPECT_EQ(snapshot(), before);
    }
    auto run = driveDialog(
        [](QDialog& d) {
            auto* text = d.findChild<TUnicodeMemo*>();
            text->selectAll();
            text->insertPlainText(QStringLiteral("Čeština ∑ 😀"));
        },
        QStringLiteral("OkB"));
    ASSERT_TRUE(edit());
    // The memo keeps lines: its text ends with a line break.
    EXPECT_EQ(memo->Text(), QStringLiteral("Čeština ∑ 😀\r\n"));
    EXPECT_TRUE(QString::fromUtf8(snapshot()).contains(QStringLiteral("Čeština ∑ 😀")));
}

TEST_F(MemoEditor, InsertedExpressionIsWrappedInTheObjectsDelimiters)
{
    memo->ExpressionDelimiters = QStringLiteral("<%,%>");
    dialogs.EditExpression = [](const QString&) { return QStringLiteral("<Date>"); };
    auto run = driveDialog(
        [](QDialog& d) {
            auto* text = d.findChild<TUnicodeMemo*>();
            text->moveCursor(QTextCursor::End);
            d.findChild<QAction*>(QStringLiteral("ExprB"))->trigger();
        },
        QStringLiteral("OkB"));
    ASSERT_TRUE(edit());
    EXPECT_EQ(memo->Text(), QStringLiteral("<%Date%>\r\n"));
}

TEST_F(MemoEditor, CtrlEnterConfirmsAndEscapeCancels)
{
    memo->SetText(QStringLiteral("a"));
    TzdMemoEditorForm form;
    form.SetMemo(memo, memo->Text());
    form.show();
    QTest::keyClicks(form.Memo(), "b");
    QTest::keyClick(form.Memo(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.EditedText(), QStringLiteral("ba\r\n"));
    TzdMemoEditorForm other;
    other.SetMemo(memo, memo->Text());
    other.show();
    QTest::keyClick(other.Memo(), Qt::Key_Escape);
    EXPECT_EQ(other.result(), QDialog::Rejected);
}

TEST_F(MemoEditor, ExpressionEditorReturnsTheTypedExpressionOrNothing)
{
    {
        auto run = driveDialog(
            [](QDialog& d) {
                auto* e = child<QLineEdit>(d, "ExprMemo");
                e->selectAll();
                QTest::keyClicks(e, "Sum(x)");
            },
            QStringLiteral("OkB"));
        EXPECT_EQ(zd::editExpressionDialog(nullptr, QStringLiteral("Value = 0")), QStringLiteral("Sum(x)"));
    }
    auto run = driveDialog({}, QStringLiteral("CancelB"));
    EXPECT_EQ(zd::editExpressionDialog(nullptr, QStringLiteral("Value = 0")), QString());
}

TEST_F(MemoEditor, StringsEditorReplacesTheListOnOkOnly)
{
    plat::TStringList lines;
    lines.Add(QStringLiteral("one"));
    lines.Add(QStringLiteral("dvě"));
    {
        auto run = driveDialog([](QDialog& d) { child<QPlainTextEdit>(d, "Memo")->setPlainText("x"); },
                               QStringLiteral("CancelB"));
        EXPECT_FALSE(dialogs.EditStrings(lines));
        EXPECT_EQ(lines.Count(), 2);
    }
    auto run = driveDialog(
        [](QDialog& d) {
            auto* memo = child<QPlainTextEdit>(d, "Memo");
            memo->moveCursor(QTextCursor::End);
            QTest::keyClick(memo, Qt::Key_Return);
            memo->insertPlainText(QStringLiteral("tři 😀"));
        },
        QStringLiteral("OkB"));
    ASSERT_TRUE(dialogs.EditStrings(lines));
    ASSERT_EQ(lines.Count(), 3);
    EXPECT_EQ(lines.Strings(1), QStringLiteral("dvě"));
    EXPECT_EQ(lines.Strings(2), QStringLiteral("tři 😀"));
}

} // namespace

namespace {

// Hands the system-memo text back unchanged, as a user pressing OK would.
class KeepSysMemoText : public TzdQtDesignerDialogs {
public:
    bool EditSysMemo(TzdComponent*, QString& text) override
    {
        Seen = text;
        return true;
    }
    QString Seen;
};

TEST_F(MemoEditor, TheSystemMemoEditorKeepsCharactersOutsideTheCodePage)
{
    auto* sys = add<TzdSysMemoView>(page, "SysMemo1");
    sys->SetText(kWideText);
    const QByteArray before = snapshot();
    KeepSysMemoText keep;
    TzdScopedDesignerDialogs useKeep{keep};
    TzdSysMemoEditor editor(sys, nullptr, nullptr);
    ASSERT_TRUE(editor.Edit());
    EXPECT_TRUE(keep.Seen.startsWith(kWideText));
    EXPECT_EQ(snapshot(), before);
}

} // namespace

// The display formats of the memo are the editor's second tab: a format
// chosen there is the memo's after OK, and Cancel leaves the memo alone.
TEST_F(MemoEditor, TheFormatTabChangesTheMemosFormatOnOkOnly)
{
    memo->SetText(QStringLiteral("[Cena]"));
    const QByteArray before = snapshot();
    auto choose = [](QDialog& d) {
        auto* tabs = d.findChild<QTabWidget*>();
        ASSERT_NE(tabs, nullptr);
        ASSERT_GE(tabs->count(), 3);
        EXPECT_NE(tabs->widget(1)->findChild<QListWidget*>(QStringLiteral("CategoryLB")), nullptr);
        auto* category = d.findChild<QListWidget*>(QStringLiteral("CategoryLB"));
        auto* format = d.findChild<QListWidget*>(QStringLiteral("FormatLB"));
        ASSERT_NE(category, nullptr);
        ASSERT_NE(format, nullptr);
        category->setCurrentRow(1);
        ASSERT_GT(format->count(), 0);
        format->setCurrentRow(0);
    };
    {
        auto run = driveDialog(choose, QStringLiteral("CancelB"));
        EXPECT_FALSE(edit());
        EXPECT_EQ(snapshot(), before);
    }
    auto run = driveDialog(choose, QStringLiteral("OkB"));
    ASSERT_TRUE(edit());
    EXPECT_NE(snapshot(), before);
}

// The display format dialog: one format per bracketed expression, the
// predefined formats of each category, and the stored fields of each kind.

#include "Dialogs2TestUtil.h"
#include "zdClass_highlight.h"
#include "zdClass_memo.h"
#include "zdDialogsSecondHalf.h"
#include "zdEditFormat.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace dlg2;

namespace {

TEST(DisplayFormatExpressions, AreFoundInOrderWithTheirDelimiters)
{
    const struct {
        const char* text;
        const char* delimiters;
        QStringList expected;
    } cases[] = {
        {"Cena [A] a [B + 1]", "[,]", {QStringLiteral("[A]"), QStringLiteral("[B + 1]")}},
        {"[IIF([A] > 0, [B], 0)] Kč", "[,]", {QStringLiteral("[IIF([A] > 0, [B], 0)]")}},
        {"bez výrazů", "[,]", {}},
        {"[A] a [B bez konce", "[,]", {QStringLiteral("[A]")}},
        {"[Text(']')] [C]", "[,]", {QStringLiteral("[Text(']')]"), QStringLiteral("[C]")}},
        {"<%X%> a <%Y%>", "<%,%>", {QStringLiteral("<%X%>"), QStringLiteral("<%Y%>")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zd::format::expressions(QString::fromUtf8(c.text), QString::fromLatin1(c.delimiters)), c.expected)
            << c.text;
}

TEST(DisplayFormatPresets, CategoriesAndTheirEntries)
{
    EXPECT_EQ(zd::format::categories().size(), 4);
    EXPECT_TRUE(zd::format::presets(0).empty());
    const auto dates = zd::format::presets(2);
    ASSERT_EQ(dates.size(), 7u);
    EXPECT_EQ(dates[1].Sample, QStringLiteral("28 lis 2002"));
    EXPECT_EQ(dates[1].Format, QStringLiteral("dd mmm yyyy"));
    EXPECT_EQ(zd::format::presets(3).size(), 4u);
}

struct FormatDialog : Fixture {
    TzdMemoView* memo = nullptr;
    FormatDialog()
    {
        memo = add<TzdMemoView>(page, "Memo1");
        memo->SetText(QStringLiteral("Od [A] do [B]"));
        for (int i = 0; i < 3; ++i)
            memo->Formats()->Add<TzdFormat>()->Kind = fkNumeric;
        memo->Formats()->GetItem(1)->FormatStr = QStringLiteral("%2.2f");
    }
    bool edit()
    {
        TzdFormatCollection result;
        result.Assign(memo->Formats());
        if (!zd::dialogs::EditDisplayFormat(memo, result))
            return false;
        memo->Formats()->Assign(&result);
        return true;
    }
};

TEST_F(FormatDialog, ModelKeepsOneFormatPerExpression)
{
    zd::format::EditorModel model(memo);
    EXPECT_EQ(model.Expressions, (QStringList{QStringLiteral("[A]"), QStringLiteral("[B]")}));
    EXPECT_EQ(model.Working().Count(), 2);
    model.Select(1);
    EXPECT_EQ(model.PresetIndex(), 1);
    model.Store(int(fkText), QStringLiteral("%g"), QStringLiteral(","));
    EXPECT_TRUE(model.CurrentFormat()->FormatStr.isEmpty());
    EXPECT_TRUE(model.CurrentFormat()->DecimalSeparator.isEmpty());
    EXPECT_EQ(memo->Formats()->Count(), 3); // the object is untouched until OK
}

TEST_F(FormatDialog, TextWithoutExpressionsEditsTheSingleFormatWithoutCreatingOne)
{
    auto* plain = add<TzdMemoView>(page, "Memo2");
    plain->SetText(QStringLiteral("Jen text"));
    zd::format::EditorModel model(plain);
    EXPECT_FALSE(model.ExpressionsEnabled());
    EXPECT_EQ(model.Working().Count(), 1);
    EXPECT_EQ(plain->Formats()->Count(), 0);
}

TEST_F(FormatDialog, OkStoresTheChosenDateFormatAndDropsTheThird)
{
    Runner run([](QDialog& d) {
        auto* expressions = child<QComboBox>(d, "ComboBox1");
        EXPECT_EQ(expressions->count(), 2);
        expressions->setCurrentIndex(1);
        EXPECT_EQ(child<QLineEdit>(d, "FormatE")->text(), QStringLiteral("%2.2f"));
        child<QListWidget>(d, "CategoryLB")->setCurrentRow(2);
        child<QListWidget>(d, "FormatLB")->setCurrentRow(1);
        EXPECT_FALSE(child<QLineEdit>(d, "SeparatorE")->isEnabled());
        child<QPushButton>(d, "OkB")->click();
    });
    ASSERT_TRUE(edit());
    ASSERT_EQ(memo->Formats()->Count(), 2);
    EXPECT_EQ(memo->Formats()->GetItem(1)->Kind, fkDateTime);
    EXPECT_EQ(memo->Formats()->GetItem(1)->FormatStr, QStringLiteral("dd mmm yyyy"));
    EXPECT_EQ(memo->Formats()->GetItem(0)->Kind, fkNumeric);
    EXPECT_TRUE(saved().contains("dd mmm yyyy"));
}

TEST_F(FormatDialog, CancelLeavesTheTemplateByteIdentical)
{
    const QByteArray before = saved();
    Runner run([](QDialog& d) {
        child<QListWidget>(d, "CategoryLB")->setCurrentRow(3);
        child<QPushButton>(d, "CancelB")->click();
    });
    EXPECT_FALSE(edit());
    EXPECT_EQ(saved(), before);
}

} // namespace

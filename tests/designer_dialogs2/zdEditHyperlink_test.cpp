// The hyperlink dialog: the chosen kind's fields are stored, a detail page
// is hidden, the appearance option makes the object look like a link, and
// Cancel changes nothing.

#include "Dialogs2TestUtil.h"
#include "zdClass_memo.h"
#include "zdDialogsSecondHalf.h"
#include "zdEditHyperlink.h"
#include "zdVariables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace dlg2;

namespace {

struct HyperlinkDialog : Fixture {
    TzdMemoView* memo = nullptr;
    TzdReportPage* detail = nullptr;
    HyperlinkDialog()
    {
        memo = add<TzdMemoView>(page, "Memo1");
        memo->Hyperlink()->Kind = hkURL;
        memo->Hyperlink()->Value = QStringLiteral("https://example.org");
        detail = add<TzdReportPage>(nullptr, "Page2");
        report.Variables()->Add()->SetName(QStringLiteral(" Obecne")); // a category heading
        report.Variables()->Add()->SetName(QStringLiteral("Cislo"));
    }
    // What the view editor does with the dialog's answer.
    bool edit()
    {
        TzdHyperlink result;
        result.Assign(memo->Hyperlink());
        if (!zd::dialogs::EditHyperlink(memo, result))
            return false;
        memo->SetHyperlink(&result);
        return true;
    }
};

TEST_F(HyperlinkDialog, SwitchingTheKindStoresTheNewKindsFields)
{
    Runner run([](QDialog& d) {
        EXPECT_TRUE(child<QRadioButton>(d, "UrlRB")->isChecked());
        EXPECT_EQ(child<QLineEdit>(d, "UrlE")->text(), QStringLiteral("https://example.org"));
        child<QRadioButton>(d, "AnchorRB")->click();
        EXPECT_EQ(child<QLabel>(d, "Hint2L")->text(), QStringLiteral("You will go to the object that contains specified anchor."));
        child<QLineEdit>(d, "AnchorE")->setText(QStringLiteral("kotva"));
        child<QPushButton>(d, "OKB")->click();
    });
    ASSERT_TRUE(edit());
    EXPECT_EQ(memo->Hyperlink()->Kind, hkAnchor);
    EXPECT_EQ(memo->Hyperlink()->Value, QStringLiteral("kotva"));
    EXPECT_TRUE(memo->Hyperlink()->Expression.isEmpty());
    EXPECT_TRUE(saved().contains("hkAnchor"));
}

TEST_F(HyperlinkDialog, DetailPageIsHiddenAndAppearanceChanged)
{
    Runner run([](QDialog& d) {
        child<QRadioButton>(d, "ReportPageRB")->click();
        auto* pages = child<QComboBox>(d, "ReportPageCB");
        EXPECT_EQ(pages->count(), 1); // the current page is not offered
        pages->setCurrentText(QStringLiteral("Page2"));
        EXPECT_EQ(child<QComboBox>(d, "ReportPageParamCB")->count(), 1);
        child<QComboBox>(d, "ReportPageParamCB")->setEditText(QStringLiteral("Cislo"));
        child<QCheckBox>(d, "ModifyAppearanceCB")->setChecked(true);
        child<QPushButton>(d, "OKB")->click();
    });
    ASSERT_TRUE(edit());
    EXPECT_EQ(memo->Hyperlink()->Kind, hkDetailPage);
    EXPECT_EQ(memo->Hyperlink()->DetailPage, QStringLiteral("Page2"));
    EXPECT_EQ(memo->Hyperlink()->ReportVariable, QStringLiteral("Cislo"));
    EXPECT_FALSE(detail->Visible());
    EXPECT_EQ(memo->Cursor(), -21);
    EXPECT_EQ(memo->Font()->Color(), plat::TColor(0x800000));
    EXPECT_TRUE(memo->Font()->HasStyle(plat::fsUnderline));
}

TEST_F(HyperlinkDialog, ALinkToTheCurrentPageShowsNoSelection)
{
    memo->Hyperlink()->Kind = hkDetailPage;
    memo->Hyperlink()->DetailPage = QStringLiteral("Page1");
    TzdHyperlinkEditorForm form;
    form.SetView(memo, *memo->Hyperlink());
    EXPECT_TRUE(form.ReportPageRB->isChecked());
    EXPECT_EQ(form.ReportPageCB->currentIndex(), -1);
    EXPECT_TRUE(form.ReportPageP->isVisibleTo(&form));
    EXPECT_FALSE(form.UrlP->isVisibleTo(&form));
}

TEST_F(HyperlinkDialog, AnUnreadableReportFileGivesNoVariablesAndNoMessage)
{
    QFile f(dir.filePath(QStringLiteral("bad.zd3")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<?xml version=\"1.0\"?><neni");
    f.close();
    EXPECT_TRUE(zd::hyperlink::reportFileVariables(f.fileName()).isEmpty());
    EXPECT_TRUE(zd::hyperlink::reportFileVariables(dir.filePath(QStringLiteral("missing.zd3"))).isEmpty());
    EXPECT_TRUE(messages().isEmpty());

    const QString good = dir.filePath(QStringLiteral("good.zd3"));
    report.SaveToFile(good);
    EXPECT_EQ(zd::hyperlink::reportFileVariables(good), QStringList{QStringLiteral("Cislo")});
}

TEST_F(HyperlinkDialog, CancelLeavesTheTemplateByteIdentical)
{
    const QByteArray before = saved();
    Runner run([](QDialog& d) {
        child<QRadioButton>(d, "ReportPageRB")->click();
        child<QCheckBox>(d, "ModifyAppearanceCB")->setChecked(true);
        child<QPushButton>(d, "CancelB")->click();
    });
    EXPECT_FALSE(edit());
    EXPECT_EQ(saved(), before);
}

} // namespace

#include "PreviewTestUtil.h"

#include "FormatSettings.h"
#include "Modal.h"
#include "ScriptedServices.h"
#include "zdPreviewPageSettings.h"
#include "zdPrinter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

struct Dialog {
    std::unique_ptr<TzdReportPage> page = previewtest::blankPage(210, 297);
    TzdPageSettingsForm form;
    explicit Dialog(int units)
    {
        page->SetPaperSize(9); // A4
        page->LeftMargin = 10;
        page->TopMargin = 12.5L;
        form.Page = page.get();
        form.Units = units;
        form.show();
    }
};

} // namespace

TEST(PageSettings, ShowsTheDisplayUnit)
{
    Dialog cm(0);
    EXPECT_EQ(cm.form.WidthE->text(), QStringLiteral("21"));
    EXPECT_EQ(cm.form.UnitL1->text(), QStringLiteral("cm"));
    Dialog in(1);
    const QChar sep = plat::FormatSettings().DecimalSeparator;
    EXPECT_EQ(in.form.WidthE->text(), QStringLiteral("8") + sep + QStringLiteral("27"));
    EXPECT_EQ(in.form.UnitL3->text(), QStringLiteral("in"));
}

TEST(PageSettings, OkWithoutEditsKeepsTheExactSizes)
{
    for (int units : {0, 1}) {
        Dialog d(units);
        d.form.done(QDialog::Accepted);
        EXPECT_EQ(d.page->PaperWidth(), 210) << units;
        EXPECT_EQ(d.page->PaperHeight(), 297) << units;
        EXPECT_EQ(d.page->LeftMargin, 10) << units;
        EXPECT_EQ(d.page->TopMargin, 12.5L) << units;
    }
}

TEST(PageSettings, TypedValuesAreConverted)
{
    Dialog d(0);
    d.form.MarginLeftE->setText(QStringLiteral("2,5"));
    d.form.done(QDialog::Accepted);
    EXPECT_NEAR(double(d.page->LeftMargin), 25, 1e-9);
}

TEST(PageSettings, NonPositiveSizesAreRefused)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    const char* bad[][2] = {{"WidthE", "0"}, {"HeightE", "-3"}, {"WidthE", "abc"}, {"MarginTopE", "-1"}};
    for (auto& b : bad) {
        Dialog d(0);
        d.form.findChild<QLineEdit*>(QString::fromLatin1(b[0]))->setText(QString::fromLatin1(b[1]));
        d.form.done(QDialog::Accepted);
        EXPECT_TRUE(d.form.isVisible()) << b[0] << b[1];
        EXPECT_EQ(d.page->PaperWidth(), 210);
        EXPECT_EQ(d.page->TopMargin, 12.5L);
    }
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 4u);
}

TEST(PageSettings, CancelChangesNeitherPageNorPrinter)
{
    TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter();
    ASSERT_NE(printer, nullptr);
    const int paper = printer->Paper();
    const long double w = printer->PaperWidth(), h = printer->PaperHeight();
    const auto o = printer->Orientation();
    Dialog d(0);
    d.form.LandscapeRB->click();
    d.form.SizeCB->setCurrentIndex(std::min(2, d.form.SizeCB->count() - 1));
    d.form.done(QDialog::Rejected);
    EXPECT_EQ(printer->Paper(), paper);
    EXPECT_EQ(printer->PaperWidth(), w);
    EXPECT_EQ(printer->PaperHeight(), h);
    EXPECT_EQ(printer->Orientation(), o);
    EXPECT_EQ(d.page->Orientation(), plat::poPortrait);
    EXPECT_EQ(d.page->PaperWidth(), 210);
}

TEST(SearchDialog, KeepsTheLastTextOnlyAfterOk)
{
    TzdSearchDialog::LastText().clear();
    {
        TzdSearchDialog d;
        d.show();
        d.TextE->setText(QStringLiteral("kód"));
        d.done(QDialog::Rejected);
    }
    {
        TzdSearchDialog d;
        d.show();
        EXPECT_TRUE(d.TextE->text().isEmpty());
        EXPECT_FALSE(d.ReplacePanel->isVisible());
        d.TextE->setText(QStringLiteral("kód"));
        d.done(QDialog::Accepted);
    }
    TzdSearchDialog d;
    d.show();
    EXPECT_EQ(d.TextE->text(), QStringLiteral("kód"));
}

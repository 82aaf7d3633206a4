// The PDF export's settings dialog offscreen: the filter's settings into
// its controls and back, the outline and title rules, PDF/A against
// passwords, the page range edit, and the save dialog's Cancel.
#include "Exceptions.h"
#include "Modal.h"
#include "ScriptedServices.h"
#include "zdClass_options.h"
#include "zdClass_report.h"
#include "zdExportPDF.h"
#include "zdExportPDF_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace plat;

namespace {

template <typename W>
W* control(QDialog& form, const char* name)
{
    W* w = form.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

struct PdfDialogFixture : ::testing::Test {
    ScriptedServices ui;
    ScopedServices use{ui};
    TzdReport report;
    TzdPDFExport pdf{nullptr};
};

// Each check box and the setting it carries.
struct BoxCase {
    const char* box;
    bool TzdPDFExport::*setting;
};
const BoxCase kBoxes[] = {
    {"PDFACB", &TzdPDFExport::PdfA},
    {"EmbeddedCB", &TzdPDFExport::EmbeddedFonts},
    {"PrintOptCB", &TzdPDFExport::PrintOptimized},
    {"BackgrCB", &TzdPDFExport::Background},
    {"TransparentCB", &TzdPDFExport::Transparency},
    {"OpenCB", &TzdPDFExport::OpenAfterExport},
    {"HideToolbarCB", &TzdPDFExport::HideToolbar},
    {"HideMenubarCB", &TzdPDFExport::HideMenubar},
    {"HideWindowUICB", &TzdPDFExport::HideWindowUI},
    {"FitWindowCB", &TzdPDFExport::FitWindow},
    {"CenterWindowCB", &TzdPDFExport::CenterWindow},
    {"PrintScalingCB", &TzdPDFExport::PrintScaling},
};

struct TextCase {
    const char* edit;
    QString TzdPDFExport::*setting;
};
const TextCase kTexts[] = {
    {"TitleE", &TzdPDFExport::Title},       {"AuthorE", &TzdPDFExport::Author},
    {"SubjectE", &TzdPDFExport::Subject},   {"KeywordsE", &TzdPDFExport::Keywords},
    {"CreatorE", &TzdPDFExport::Creator},   {"ProducerE", &TzdPDFExport::Producer},
    {"OwnPassE", &TzdPDFExport::OwnerPassword}, {"UserPassE", &TzdPDFExport::UserPassword},
};

} // namespace

TEST(PdfExportDialog, HasItsFourTabsAndCaptions)
{
    TzdPDFExportDialog d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Export do PDF"));
    QTabWidget* tabs = control<QTabWidget>(d, "PageControl1");
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->widget(0)->objectName(), QStringLiteral("ExportPage"));
    EXPECT_EQ(tabs->widget(3)->objectName(), QStringLiteral("ViewerPage"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Information"));
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("Security"));
    EXPECT_EQ(control<QCheckBox>(d, "EmbeddedCB")->text(), QStringLiteral("Vestavěná písma"));
    EXPECT_EQ(control<QLineEdit>(d, "OwnPassE")->echoMode(), QLineEdit::Password);
}

TEST_F(PdfDialogFixture, ControlsMapToTheSettingsBothWays)
{
    for (bool on : {true, false}) {
        SCOPED_TRACE(on);
        for (const BoxCase& c : kBoxes)
            pdf.*(c.setting) = on;
        int k = 0;
        for (const TextCase& c : kTexts)
            pdf.*(c.setting) = QStringLiteral("text %1").arg(k++);
        pdf.Quality = 77;
        pdf.SetProtectionFlags(on ? TzdPDFEncBits{ePrint, eCopy} : TzdPDFEncBits{eModify, eAnnot});
        TzdPDFExportDialog d;
        d.Fill(pdf);
        for (const BoxCase& c : kBoxes)
            EXPECT_EQ(control<QCheckBox>(d, c.box)->isChecked(), on) << c.box;
        k = 0;
        for (const TextCase& c : kTexts)
            EXPECT_EQ(control<QLineEdit>(d, c.edit)->text(), QStringLiteral("text %1").arg(k++)) << c.edit;
        EXPECT_EQ(control<QLineEdit>(d, "Quality")->text(), QStringLiteral("77"));
        EXPECT_EQ(control<QCheckBox>(d, "PrintCB")->isChecked(), on);
        EXPECT_EQ(control<QCheckBox>(d, "ModCB")->isChecked(), !on);

        // Every control flipped goes back into its setting.
        for (const BoxCase& c : kBoxes)
            control<QCheckBox>(d, c.box)->setChecked(!on);
        for (const TextCase& c : kTexts)
            control<QLineEdit>(d, c.edit)->setText(QString::fromLatin1(c.edit));
        control<QLineEdit>(d, "Quality")->setText(QStringLiteral("60"));
        for (const char* box : {"PrintCB", "ModCB", "CopyCB", "AnnotCB"})
            control<QCheckBox>(d, box)->setChecked(true);
        d.Apply(pdf);
        for (const BoxCase& c : kBoxes)
            EXPECT_EQ(pdf.*(c.setting), !on) << c.box;
        for (const TextCase& c : kTexts)
            EXPECT_EQ(pdf.*(c.setting), QString::fromLatin1(c.edit));
        EXPECT_EQ(pdf.Quality, 60);
        EXPECT_EQ(pdf.PermissionValue(), -4); // all four, through the setter
    }
}

TEST_F(PdfDialogFixture, AQualityThatIsNoNumberIsAConversionErrorAndChangesNothing)
{
    pdf.Title = QStringLiteral("Před");
    TzdPDFExportDialog d;
    d.Fill(pdf);
    control<QLineEdit>(d, "TitleE")->setText(QStringLiteral("Po"));
    control<QLineEdit>(d, "Quality")->setText(QStringLiteral("vysoká"));
    EXPECT_THROW(d.Apply(pdf), plat::EConvertError);
    EXPECT_EQ(pdf.Title, QStringLiteral("Před"));
}

TEST_F(PdfDialogFixture, PdfADisablesThePasswords)
{
    TzdPDFExportDialog d;
    pdf.PdfA = true;
    d.Fill(pdf);
    EXPECT_FALSE(control<QLineEdit>(d, "UserPassE")->isEnabled());
    EXPECT_FALSE(control<QLineEdit>(d, "OwnPassE")->isEnabled());
    control<QCheckBox>(d, "PDFACB")->setChecked(false);
    EXPECT_TRUE(control<QLineEdit>(d, "UserPassE")->isEnabled());
}

TEST_F(PdfDialogFixture, TypingARangeChoosesItAndTakesOnlyDigitsCommasAndDashes)
{
    TzdPDFExportDialog d;
    d.Fill(pdf);
    d.show();
    QLineEdit* range = control<QLineEdit>(d, "PageNumbersE");
    EXPECT_TRUE(control<QRadioButton>(d, "AllRB")->isChecked());
    range->setFocus();
    QTest::keyClicks(range, QStringLiteral("1a,3-5x"));
    EXPECT_EQ(range->text(), QStringLiteral("1,3-5"));
    EXPECT_TRUE(control<QRadioButton>(d, "PageNumbersRB")->isChecked());
}

TEST_F(PdfDialogFixture, ChoosingTheCurrentPageClearsAnEarlierRange)
{
    pdf.PageNumbers = QStringLiteral("2-4");
    TzdPDFExportDialog d;
    d.Fill(pdf);
    EXPECT_TRUE(control<QRadioButton>(d, "PageNumbersRB")->isChecked());
    EXPECT_EQ(control<QLineEdit>(d, "PageNumbersE")->text(), QStringLiteral("2-4"));
    control<QRadioButton>(d, "CurPageRB")->setChecked(true);
    d.Apply(pdf);
    EXPECT_TRUE(pdf.PageNumbers.isEmpty());
    EXPECT_TRUE(pdf.CurPage);
}

TEST_F(PdfDialogFixture, TitleAndOutlineComeFromTheReportThenTheSaveDialogAsks)
{
    report.ReportOptions()->Name = QStringLiteral("Štítky skladu");
    report.PreviewOptions()->OutlineVisible = true;
    report.FileName = QStringLiteral("C:\\Sestavy\\stitky.zd3");
    pdf.Report = &report;
    pdf.OverwritePrompt = true;
    ScopedModalRunner runner([&](QDialog& d) {
        EXPECT_EQ(control<QLineEdit>(d, "TitleE")->text(), QStringLiteral("Štítky skladu"));
        EXPECT_TRUE(control<QCheckBox>(d, "OutlineCB")->isEnabled());
        return 1;
    });
    ui.AnswerFile({QStringLiteral("/tmp/vystup.pdf")});
    EXPECT_EQ(pdf.ShowSettingsDialog(), 1);
    EXPECT_EQ(pdf.FileName, QStringLiteral("/tmp/vystup.pdf"));
    const std::vector<ServiceCall> saves = ui.CallsOf(QStringLiteral("SaveDialog"));
    ASSERT_EQ(saves.size(), 1u);
    // filter, filter index, initial dir, file name, default ext, options
    ASSERT_GE(saves[0].details.size(), 5);
    EXPECT_EQ(saves[0].details[0], QStringLiteral("Soubor Adobe PDF (*.pdf)|*.pdf"));
    EXPECT_EQ(saves[0].details[3], QStringLiteral("stitky.pdf"));
    EXPECT_EQ(saves[0].details[4], QStringLiteral(".pdf"));
}

TEST_F(PdfDialogFixture, WithoutAReportTheOutlineIsOn)
{
    pdf.Outline = false;
    ScopedModalRunner runner([&](QDialog& d) {
        EXPECT_TRUE(control<QCheckBox>(d, "OutlineCB")->isChecked());
        return 2;
    });
    EXPECT_EQ(pdf.ShowSettingsDialog(), 2);
    EXPECT_TRUE(pdf.Outline);
}

TEST_F(PdfDialogFixture, CancellingTheSaveDialogCancelsButTheOptionsStayChanged)
{
    pdf.FileName = QStringLiteral("/tmp/puvodni.pdf");
    ScopedModalRunner runner([&](QDialog& d) {
        control<QCheckBox>(d, "EmbeddedCB")->setChecked(true);
        return 1;
    });
    ui.Cancel(QStringLiteral("SaveDialog"));
    EXPECT_EQ(pdf.ShowSettingsDialog(), 2);
    EXPECT_TRUE(pdf.EmbeddedFonts);
    EXPECT_EQ(pdf.FileName, QStringLiteral("/tmp/puvodni.pdf"));
}

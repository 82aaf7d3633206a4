// The dot-matrix export's settings dialog offscreen: the settings file and
// the export's options into its controls and back, Cancel, and the save
// dialog's Cancel.
#include "CupsSandbox.h"
#include "IniFiles.h"
#include "Modal.h"
#include "ScriptedServices.h"
#include "zdClass_options.h"
#include "zdClass_report.h"
#include "zdDMPExport.h"
#include "zdDMPExportDialog.h"
#include "zdPrinter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plat;
using namespace printtest;

namespace {

template <typename W>
W* child(QDialog& form, const char* name)
{
    W* w = form.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

struct DialogFixture : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        report.IniFile = dir.filePath(QStringLiteral("ZazaDuzudi.ini"));
        report.PrintOptions()->Copies = 3;
        exp.Report = &report;
    }
    QString ini(const char* key)
    {
        TIniFile f(report.IniFile);
        return f.ReadString(QStringLiteral("DMP"), QString::fromLatin1(key), QStringLiteral("-"));
    }
    QTemporaryDir dir;
    ScriptedServices ui;
    ScopedServices use{ui};
    TzdReport report;
    TzdDotMatrixExport exp{nullptr};
};

} // namespace

TEST_F(DialogFixture, SettingsFileAndOptionsBecomeControls)
{
    {
        TIniFile f(report.IniFile);
        f.WriteString(QStringLiteral("DMP"), QStringLiteral("PageBreaks"), QStringLiteral("0"));
        f.WriteString(QStringLiteral("DMP"), QStringLiteral("OEM"), QStringLiteral("0"));
        f.WriteString(QStringLiteral("DMP"), QStringLiteral("GraphFrame"), QStringLiteral("1"));
        f.WriteString(QStringLiteral("DMP"), QStringLiteral("PrinterType"), QStringLiteral("2"));
    }
    exp.SaveToFile = true;
    exp.PageNumbers = QStringLiteral("2-3");
    bool shown = false;
    ScopedModalRunner runner([&](QDialog& d) {
        shown = true;
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Tisk"));
        EXPECT_FALSE(child<QCheckBox>(d, "PageBreaksCB")->isChecked());
        EXPECT_FALSE(child<QCheckBox>(d, "OemCB")->isChecked());
        EXPECT_TRUE(child<QCheckBox>(d, "PseudoCB")->isChecked());
        EXPECT_TRUE(child<QCheckBox>(d, "SaveToFileCB")->isChecked());
        QComboBox* esc = child<QComboBox>(d, "EscCB");
        EXPECT_EQ(esc->count(), zd::DMPrinters()->Count());
        EXPECT_EQ(esc->currentText(), QStringLiteral("HP Generic"));
        EXPECT_EQ(child<QSpinBox>(d, "CopiesUD")->value(), 3);
        EXPECT_TRUE(child<QRadioButton>(d, "PageNumbersRB")->isChecked());
        EXPECT_EQ(child<QLineEdit>(d, "RangeE")->text(), QStringLiteral("2-3"));
        EXPECT_EQ(child<QComboBox>(d, "PrinterCB")->currentIndex(), zdPrinters()->ActivePrinterIndex());
        return 2;
    });
    EXPECT_EQ(exp.ShowSettingsDialog(), 2);
    EXPECT_TRUE(shown);
    // The settings file is read but not written when cancelled.
    EXPECT_EQ(exp.EscModel, 2);
    EXPECT_EQ(ini("PrinterType"), QStringLiteral("2"));
}

TEST_F(DialogFixture, ControlsBecomeOptionsAndTheSettingsFileOnOk)
{
    exp.UseIniSettings = false;
    exp.EscModel = 7; // beyond the definitions: the first one
    ScopedModalRunner runner([&](QDialog& d) {
        EXPECT_EQ(child<QComboBox>(d, "EscCB")->currentIndex(), 0);
        child<QComboBox>(d, "EscCB")->setCurrentIndex(1);
        child<QCheckBox>(d, "PageBreaksCB")->setChecked(false);
        child<QCheckBox>(d, "PseudoCB")->setChecked(true);
        child<QCheckBox>(d, "OemCB")->setChecked(false);
        d.findChild<QLineEdit*>(QStringLiteral("CopiesE"))->setText(QStringLiteral("0"));
        child<QRadioButton>(d, "CurPageRB")->setChecked(true);
        return 1;
    });
    EXPECT_EQ(exp.ShowSettingsDialog(), 1);
    EXPECT_EQ(exp.EscModel, 1);
    EXPECT_FALSE(exp.PageBreaks);
    EXPECT_TRUE(exp.GraphicFrames);
    EXPECT_FALSE(exp.OEMConvert);
    EXPECT_FALSE(exp.SaveToFile);
    EXPECT_EQ(exp.Copies(), 1); // "0" copies would print nothing
    EXPECT_TRUE(exp.CurPage);
    EXPECT_TRUE(exp.PageNumbers.isEmpty());
    // Written whether or not the settings were read from the file.
    EXPECT_EQ(ini("OEM"), QStringLiteral("0"));
    EXPECT_EQ(ini("GraphFrame"), QStringLiteral("1"));
    EXPECT_EQ(ini("PageBreaks"), QStringLiteral("0"));
    EXPECT_EQ(ini("PrinterType"), QStringLiteral("1"));
}

TEST_F(DialogFixture, PageRangeAndSaveFileOnOk)
{
    const QString out = dir.filePath(QStringLiteral("out.prn"));
    ui.AnswerFile({out});
    ScopedModalRunner runner([&](QDialog& d) {
        child<QCheckBox>(d, "SaveToFileCB")->setChecked(true);
        child<QRadioButton>(d, "PageNumbersRB")->setChecked(true);
        child<QLineEdit>(d, "RangeE")->setText(QStringLiteral("1,3"));
        child<QSpinBox>(d, "CopiesUD")->setValue(12);
        return 1;
    });
    EXPECT_EQ(exp.ShowSettingsDialog(), 1);
    EXPECT_TRUE(exp.SaveToFile);
    EXPECT_EQ(exp.FileName, out);
    EXPECT_EQ(exp.PageNumbers, QStringLiteral("1,3"));
    EXPECT_FALSE(exp.CurPage);
    EXPECT_EQ(exp.Copies(), 12);
    const auto saves = ui.CallsOf(QStringLiteral("SaveDialog"));
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0].details.value(0), QStringLiteral("Tiskový soubor (*.prn)|*.prn"));
}

TEST_F(DialogFixture, CancelledSaveDialogCancelsAndWritesNothing)
{
    ui.Cancel(QStringLiteral("SaveDialog"));
    ScopedModalRunner runner([&](QDialog& d) {
        child<QCheckBox>(d, "SaveToFileCB")->setChecked(true);
        return 1;
    });
    EXPECT_EQ(exp.ShowSettingsDialog(), 2);
    EXPECT_EQ(ini("PrinterType"), QStringLiteral("-"));
}

TEST_F(SandboxTest, DMPDialogChosenPrinterIsCurrentAtOnceAndRestoredOnCancel)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    TzdPrinters* printers = zdPrinters();
    if (printers->IndexOf(QStringLiteral("ZdA4")) < 0)
        printers->FillPrinters();
    ASSERT_GE(printers->Printers().size(), 2);
    printers->SetPrinterIndex(printers->IndexOf(QStringLiteral("ZdA4")));
    const int before = printers->ActivePrinterIndex();
    const int other = printers->IndexOf(QStringLiteral("ZdLetter"));
    ASSERT_GE(other, 0);
    TzdDotMatrixExport exp(nullptr);
    TzdDMPExportDialog dialog(exp, 1);
    dialog.FormShow();
    EXPECT_EQ(child<QComboBox>(dialog, "PrinterCB")->currentText(), QStringLiteral("ZdA4"));
    child<QComboBox>(dialog, "PrinterCB")->setCurrentIndex(other);
    dialog.PrinterCBClick();
    EXPECT_EQ(printers->ActivePrinterIndex(), other);
    EXPECT_EQ(dialog.FormHide(2), 2);
    EXPECT_EQ(printers->ActivePrinterIndex(), before);
}

// Report settings and designer options: every field checked before
// anything is written; OK and Cancel on the template.

#include "DialogTestUtil.h"
#include "Exceptions.h"
#include "zdClass_options.h"
#include "zdEditOptions.h"
#include "zdEditReportSettings.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

using dlgtest::child;
using dlgtest::driveDialog;

using ReportSettings = dlgtest::ReportFixture;

TEST_F(ReportSettings, CopiesThatAreNoWholeNumberChangeNothing)
{
    const QByteArray before = snapshot();
    zd::ReportSettingsFields f = zd::reportSettingsOf(&report, {});
    f.Name = QStringLiteral("Faktura");
    f.DoublePass = true;
    for (const char* copies : {"x", "2.5", ""}) {
        f.Copies = QString::fromLatin1(copies);
        EXPECT_THROW(zd::applyReportSettings(&report, f, nullptr), plat::Exception) << copies;
        EXPECT_EQ(snapshot(), before);
    }
}

TEST_F(ReportSettings, FieldsAreWrittenIntoTheTemplate)
{
    zd::ReportSettingsFields f = zd::reportSettingsOf(&report, {});
    f.Copies = QStringLiteral("3");
    f.Name = QStringLiteral("Faktura");
    f.Author = QStringLiteral("Jiří Novák");
    f.Description = QStringList{QStringLiteral("řádek 1"), QStringLiteral("řádek 2")};
    f.VersionMajor = QStringLiteral("2");
    zd::applyReportSettings(&report, f, nullptr);
    EXPECT_EQ(report.PrintOptions()->Copies, 3);
    EXPECT_EQ(report.ReportOptions()->Author, QStringLiteral("Jiří Novák"));
    const QString xml = QString::fromUtf8(snapshot());
    EXPECT_TRUE(xml.contains(QStringLiteral("Jiří Novák"))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("Faktura")));
}

TEST_F(ReportSettings, TheWindowWritesOnOkOnly)
{
    const QByteArray before = snapshot();
    auto type = [](QDialog& d) {
        child<QLineEdit>(d, "NameE")->setText(QStringLiteral("Dodací list"));
        child<QLineEdit>(d, "CopiesE")->setText(QStringLiteral("2"));
    };
    {
        auto run = driveDialog(type, QStringLiteral("CancelB"));
        TzdReportEditorForm form(&report, nullptr);
        EXPECT_EQ(plat::ExecModal(form), QDialog::Rejected);
        EXPECT_EQ(snapshot(), before);
    }
    auto run = driveDialog(type, QStringLiteral("OkB"));
    TzdReportEditorForm form(&report, nullptr);
    EXPECT_EQ(plat::ExecModal(form), QDialog::Accepted);
    EXPECT_EQ(report.ReportOptions()->Name, QStringLiteral("Dodací list"));
    EXPECT_EQ(report.PrintOptions()->Copies, 2);
}

TEST_F(ReportSettings, BadCopiesKeepTheWindowOpen)
{
    const QByteArray before = snapshot();
    ui.AnswerMessage(plat::IDOK);
    bool stayed = false;
    auto run = driveDialog(
        [&](QDialog& d) {
            child<QLineEdit>(d, "NameE")->setText(QStringLiteral("X"));
            child<QLineEdit>(d, "CopiesE")->setText(QStringLiteral("dva"));
            QTest::mouseClick(child<QAbstractButton>(d, "OkB"), Qt::LeftButton);
            stayed = d.result() != QDialog::Accepted;
        },
        QStringLiteral("CancelB"));
    TzdReportEditorForm form(&report, nullptr);
    EXPECT_EQ(plat::ExecModal(form), QDialog::Rejected);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(snapshot(), before);
}

// ---------------------------------------------------------------- designer options

TEST(DesignerOptions, CharacterUnitsKeepUnitsAndGrids)
{
    zd::DesignerOptions o;
    o.GridKind = 4;
    o.Units = 3;
    zd::DesignerOptionsFields f = zd::optionsFieldsOf(o);
    f.UnitButton = 0;
    f.Grid1 = QStringLiteral("0.5");
    zd::applyDesignerOptions(o, f);
    EXPECT_EQ(o.Units, 3);
    EXPECT_DOUBLE_EQ(double(o.Grid1), 0.1);
}

TEST(DesignerOptions, ADialogGridOfZeroKeepsTheOldOne)
{
    zd::DesignerOptions o;
    zd::DesignerOptionsFields f = zd::optionsFieldsOf(o);
    f.Grid4 = QStringLiteral("0");
    f.UnitButton = 1;
    zd::applyDesignerOptions(o, f);
    EXPECT_DOUBLE_EQ(double(o.Grid4), 4);
    EXPECT_EQ(o.Units, 1);
}

TEST(DesignerOptions, ABadNumberChangesNoSetting)
{
    using Field = QString zd::DesignerOptionsFields::*;
    for (Field field : {&zd::DesignerOptionsFields::Grid1, &zd::DesignerOptionsFields::Grid4,
                        &zd::DesignerOptionsFields::BandsGap, &zd::DesignerOptionsFields::CodeFontSize,
                        &zd::DesignerOptionsFields::MemoFontSize}) {
        zd::DesignerOptions o;
        zd::DesignerOptionsFields f = zd::optionsFieldsOf(o);
        f.ShowGrid = false;
        f.Grid4 = QStringLiteral("8");
        f.*field = QStringLiteral("x");
        EXPECT_THROW(zd::applyDesignerOptions(o, f), plat::Exception);
        EXPECT_TRUE(o.ShowGrid);
        EXPECT_DOUBLE_EQ(double(o.Grid4), 4);
    }
}

TEST(DesignerOptions, TheWindowWritesOnOkAndRestoreDefaultsWins)
{
    dlgtest::startUnits();
    plat::ScriptedServices ui;
    plat::ScopedServices useUi{ui};
    zd::DesignerOptions o;
    {
        auto run = driveDialog([](QDialog& d) { child<QLineEdit>(d, "GapE")->setText(QStringLiteral("12")); },
                               QStringLiteral("CancelB"));
        TzdOptionsEditor form(o);
        EXPECT_EQ(plat::ExecModal(form), QDialog::Rejected);
        EXPECT_EQ(o.BandsGap, 4);
    }
    {
        auto run = driveDialog([](QDialog& d) { child<QLineEdit>(d, "GapE")->setText(QStringLiteral("12")); },
                               QStringLiteral("OkB"));
        TzdOptionsEditor form(o);
        EXPECT_EQ(plat::ExecModal(form), QDialog::Accepted);
        EXPECT_EQ(o.BandsGap, 12);
    }
    auto run = driveDialog([](QDialog& d) { child<QLineEdit>(d, "GapE")->setText(QStringLiteral("20")); },
                           QStringLiteral("RestoreDefaultsB"));
    TzdOptionsEditor form(o);
    form.RestoreDefaults = [&o] { o = zd::DesignerOptions(); };
    EXPECT_EQ(plat::ExecModal(form), QDialog::Accepted);
    EXPECT_TRUE(form.DefaultsRestored());
    EXPECT_EQ(o.BandsGap, 4);
}

} // namespace

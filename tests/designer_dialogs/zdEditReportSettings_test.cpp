// Report settings and designer options: every field checked before
// anything is written; OK and Cancel on the template.

#include "DialogTestUtil.h"
#include "Exceptions.h"
#include "zdClass_options.h"
#include "zdEditOptions.h"
#include "zdEditReportSettings.h"

#include "Graphics.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

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

// ---------------------------------------------------------------- the report's picture

struct ReportPicture : ReportSettings {
    QString file(const char* name, const QByteArray& bytes)
    {
        const QString path = settingsDir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    static QByteArray png(int w, int h)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }
    // The report settings window: the picture button loads FileName in the
    // picture dialog, which closes with PictureButton; then Button closes
    // the settings. Returns the settings' result.
    int run(const QString& FileName, const char* PictureButton, const char* Button)
    {
        ui.AnswerFile({FileName});
        plat::ScopedModalRunner runner([&](QDialog& d) {
            d.show();
            if (d.objectName() == u"zdPictureEditorForm") {
                child<QToolButton>(d, "LoadB")->click();
                child<QToolButton>(d, PictureButton)->click();
            } else {
                QTest::mouseClick(child<QAbstractButton>(d, "PictureB"), Qt::LeftButton);
                pictureShown = child<QLabel>(d, "PictureImg")->pixmap().size();
                QTest::mouseClick(child<QAbstractButton>(d, Button), Qt::LeftButton);
            }
            d.hide();
            return d.result();
        });
        TzdReportEditorForm form(&report, nullptr);
        return plat::ExecModal(form);
    }
    QSize pictureShown;
};

TEST_F(ReportPicture, TheChosenPictureReachesTheTemplateOnOkOnly)
{
    const QString chosen = file("logo.png", png(3, 2));
    const QByteArray before = snapshot();
    EXPECT_EQ(run(chosen, "OkB", "CancelB"), QDialog::Rejected);
    EXPECT_EQ(pictureShown, QSize(3, 2));
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(run(chosen, "CancelB", "OkB"), QDialog::Accepted);
    EXPECT_TRUE(report.ReportOptions()->Picture()->Empty());
    EXPECT_EQ(run(chosen, "OkB", "OkB"), QDialog::Accepted);
    EXPECT_EQ(report.ReportOptions()->Picture()->Width(), 3);
    EXPECT_EQ(report.ReportOptions()->Picture()->Height(), 2);
    EXPECT_NE(snapshot(), before);
}

TEST_F(ReportPicture, ADamagedPictureIsReportedAndLeavesThePictureAsItWas)
{
    report.ReportOptions()->Picture()->LoadFromBytes(png(5, 4));
    const QByteArray before = snapshot();
    const QByteArray good = png(6, 6);
    for (const QByteArray& bytes : {QByteArray("garbage, no picture"), good.left(good.size() / 2)}) {
        ui.Reset();
        EXPECT_EQ(run(file("damaged.png", bytes), "OkB", "OkB"), QDialog::Accepted);
        EXPECT_EQ(ui.CallsOf("MessageBox").size() + ui.CallsOf("MessageDlg").size(), 1u);
        EXPECT_EQ(pictureShown, QSize(5, 4));
        EXPECT_EQ(report.ReportOptions()->Picture()->Width(), 5);
        EXPECT_EQ(snapshot(), before);
    }
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

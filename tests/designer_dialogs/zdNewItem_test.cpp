// New item: a template or a wizard replaces the report only after the save
// question, and a failed load or a cancelled wizard gives the previous
// report back unchanged.

#include "DialogTestUtil.h"
#include "zdAbout.h"
#include "zdClass_services.h"
#include "zdDesignerModel.h"
#include "zdNewItem.h"
#include "zdWizardModel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// A wizard that clears the report and builds one page, then says what the
// test told it to.
class TestWizard : public TzdCustomWizard {
    PLAT_CLASS(TestWizard, TzdCustomWizard)
public:
    explicit TestWizard(plat::TComponent* AOwner) : TzdCustomWizard(AOwner) {}
    bool RunWizard() override
    {
        Target->Clear();
        auto* page = new TzdReportPage(Target);
        page->SetParent(Target);
        page->SetName(QStringLiteral("WizardPage"));
        return Accept;
    }
    static inline TzdReport* Target = nullptr;
    static inline bool Accept = false;
};

} // namespace

PLAT_DEFINE_CLASS(TestWizard, c) {}

namespace {

struct NewItem : dlgtest::ReportFixture {
    QTemporaryDir dir;
    std::unique_ptr<zd::DesignerModel> designer;
    QString templatePath;

    NewItem()
    {
        add<TzdMemoView>(page, "Current")->SetText(QStringLiteral("původní"));
        designer = std::make_unique<zd::DesignerModel>(nullptr, &report);
        designer->ReloadFromReport();
        TzdReport other;
        auto* p = new TzdReportPage(&other);
        p->SetParent(&other);
        p->SetName(QStringLiteral("Page1"));
        auto* memo = new TzdMemoView(&other);
        memo->SetParent(p);
        memo->SetName(QStringLiteral("FromTemplate"));
        templatePath = dir.filePath(QStringLiteral("faktura.zd3"));
        other.SaveToFile(templatePath);
        report.FileName = dir.filePath(QStringLiteral("current.zd3"));
    }
};

TEST_F(NewItem, ATemplateReplacesTheReportAndForgetsItsFileName)
{
    ASSERT_TRUE(zd::newReportFromTemplate(*designer, templatePath, false));
    EXPECT_NE(report.FindObject(QStringLiteral("FromTemplate")), nullptr);
    EXPECT_EQ(report.FindObject(QStringLiteral("Current")), nullptr);
    EXPECT_TRUE(report.FileName.isEmpty());
}

TEST_F(NewItem, AModifiedReportIsAskedAboutFirst)
{
    designer->SetModifiedFlag(true);
    const QByteArray before = snapshot();
    ui.AnswerMessage(plat::IDCANCEL);
    EXPECT_FALSE(zd::newReportFromTemplate(*designer, templatePath, false));
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(NewItem, InheritingGivesTheTemplatesRelativePathAndNoFileName)
{
    ASSERT_TRUE(zd::newReportFromTemplate(*designer, templatePath, true));
    EXPECT_EQ(report.ParentReport(), QDir(TzdReport::ApplicationFolder()).relativeFilePath(templatePath));
    EXPECT_TRUE(report.FileName.isEmpty());
}

TEST_F(NewItem, ADamagedTemplateGivesThePreviousReportBack)
{
    const QString damaged = dir.filePath(QStringLiteral("damaged.zd3"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?><zdReport><broken");
    file.close();
    const QByteArray before = snapshot();
    const QString fileName = report.FileName;
    ui.AnswerMessage(plat::IDOK);
    EXPECT_FALSE(zd::newReportFromTemplate(*designer, damaged, false));
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(report.FileName, fileName);
    EXPECT_NE(report.FindObject(QStringLiteral("Current")), nullptr);
}

TEST_F(NewItem, ACancelledWizardLeavesThePreviousReport)
{
    TestWizard::Target = &report;
    TestWizard::Accept = false;
    const QByteArray before = snapshot();
    EXPECT_FALSE(zd::runWizardClass(*designer, TestWizard::StaticClass()));
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(designer->Modified);
    TestWizard::Accept = true;
    EXPECT_TRUE(zd::runWizardClass(*designer, TestWizard::StaticClass()));
    EXPECT_NE(report.FindObject(QStringLiteral("WizardPage")), nullptr);
    EXPECT_TRUE(designer->Modified);
}

TEST(About, WebAndMailLinesOpenThroughTheShell)
{
    plat::ScriptedServices ui;
    plat::ScopedServices useUi{ui};
    ui.AnswerShellOpen(true);
    ui.AnswerShellOpen(true);
    EXPECT_TRUE(TzdAboutForm::OpenLine(1, QStringLiteral("https://example.org")));
    EXPECT_TRUE(TzdAboutForm::OpenLine(2, QStringLiteral("info@example.org")));
    EXPECT_FALSE(TzdAboutForm::OpenLine(0, QStringLiteral("text")));
    const auto calls = ui.CallsOf(QStringLiteral("ShellOpen"));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].text, QStringLiteral("mailto:info@example.org"));
}

} // namespace

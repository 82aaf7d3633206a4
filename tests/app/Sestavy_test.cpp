// The report list over a "Ses" folder of the test: listing, names, the
// details of the selected template, and printing through the prepared
// pages (a double that counts what would go to the printer).

#include "Sestavy_f.h"

#include "CodePage.h"
#include "Dialogs_fixture.h"
#include "Exceptions.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_options.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDBSet.h"
#include "zdEngine.h"
#include "zdPreviewPages.h"
#include "zdProgress.h"
#include "zdZLib.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace dialogtest;

namespace {

// Prepared pages whose printing is only counted; the steps of preparing
// go to the report's progress, as a store reports them.
class CountingPages : public TzdPreviewPages {
public:
    using TzdPreviewPages::TzdPreviewPages;
    static inline int Printed = 0;
    static inline int PagesAtPrint = 0;
    bool Print() override
    {
        ++Printed;
        PagesAtPrint = GetPageCount();
        return true;
    }
    void ProgressStarted(TzdProgressType Type) override { Report->Report()->BeginProgress(Type); }
    void ProgressStep(TzdProgressType Type, int Progress) override { Report->Report()->StepProgress(Type, Progress); }
    void ProgressFinished(TzdProgressType Type) override { Report->Report()->EndProgress(Type); }
};

// The report's progress window is the real one; the user presses Cancel
// at its first step when asked to.
class ProgressWindows : public TzdReportWindows {
public:
    bool CancelAtFirstStep = false;
    int Opened = 0;
    std::unique_ptr<TzdProgress> Window;
    void OpenProgress(zd::ReportDocument*) override
    {
        ++Opened;
        Window = std::make_unique<TzdProgress>();
        Window->Execute(0, QString(), true, false);
    }
    void SetProgressMessage(const QString& Text) override
    {
        Window->SetMessage(Text);
        if (CancelAtFirstStep)
            QTest::mouseClick(Window->CancelB, Qt::LeftButton);
    }
    bool ProgressCancelled() override { return Window && Window->Terminated(); }
    void CloseProgress() override { Window.reset(); }
    plat::TComponent* CreatePreviewWindow(zd::ReportDocument*, TzdCustomPreviewPages*, TzdCustomPreview*& Control) override
    {
        Control = nullptr;
        return nullptr;
    }
    void ShowPreviewWindow(plat::TComponent*, bool, bool, bool) override {}
    void ClosePreviewWindow(plat::TComponent*) override {}
    void SetPreviewMessage(plat::TComponent*, const QString&, bool) override {}
    void ShowDesigner(TzdCustomDesigner*, bool, bool) override {}
    int AskInheritDuplicates() override { return 0; }
};

class ReportList : public DialogTest {
protected:
    void SetUp() override
    {
        static const bool started = [] {
            zd::startReportUnit();
            zd::startEngineUnit();
            return true;
        }();
        (void)started;
        previousPages = zdCreatePreviewPages;
        zdCreatePreviewPages = [](zd::ReportDocument* r) -> TzdCustomPreviewPages* { return new CountingPages(r); };
        previousWindows = zdSetReportWindows(&windows);
        CountingPages::Printed = 0;
        DialogTest::SetUp();
    }
    void TearDown() override
    {
        DialogTest::TearDown();
        zdSetReportWindows(previousWindows);
        zdCreatePreviewPages = previousPages;
    }

    QString ses() const { return dir.filePath(QStringLiteral("Ses/")); }

    // A label template printing the code of every record.
    void writeTemplate(const QString& File, const QString& Name, bool Compressed = false)
    {
        plat::TComponent host(nullptr);
        auto* adapter = new TzdDBDataset(&host);
        adapter->SetName(QStringLiteral("zdDBDataset1"));
        TzdGZipCompressor compressor(&host);
        TzdReport r(&host);
        r.DataSets()->AddDataSet(adapter);
        r.ReportOptions()->Name = Name;
        r.ReportOptions()->Author = QStringLiteral("Autor");
        r.ReportOptions()->Description()->SetText(QStringLiteral("Radek 1\nRadek 2"));
        r.ReportOptions()->Compressed = Compressed;
        auto* page = new TzdReportPage(&r);
        page->SetParent(&r);
        page->SetName(QStringLiteral("Page1"));
        auto* band = new TzdMasterData(page);
        band->SetParent(page);
        band->SetName(QStringLiteral("MasterData1"));
        band->SetBounds(0, 20, 200, 30);
        band->SetDataSet(adapter);
        auto* memo = new TzdMemoView(band);
        memo->SetParent(band);
        memo->SetName(QStringLiteral("Kod"));
        memo->SetBounds(0, 0, 200, 30);
        memo->SetText(QStringLiteral("[zdDBDataset1.\"kod\"]"));
        QDir().mkpath(ses());
        r.SaveToFile(ses() + File);
    }

    std::unique_ptr<TSestavyZazaDuzudi> list()
    {
        return std::make_unique<TSestavyZazaDuzudi>(window->ClientDataSet1, window->AdresarProgramu);
    }

    static QStringList names(TSestavyZazaDuzudi& d)
    {
        QStringList out;
        QTreeWidgetItem* group = d.SeznamSestav->topLevelItem(0);
        for (int i = 0; group && i < group->childCount(); ++i)
            out << group->child(i)->text(0);
        return out;
    }

    ProgressWindows windows;
    TzdReportWindows* previousWindows = nullptr;
    TzdCustomPreviewPages* (*previousPages)(zd::ReportDocument*) = nullptr;
};

} // namespace

TEST_F(ReportList, MissingFolderIsCreatedAndNothingCanBeChosen)
{
    ASSERT_FALSE(QFileInfo::exists(ses()));
    auto d = list();
    EXPECT_TRUE(QFileInfo(ses()).isDir());
    EXPECT_EQ(d->SeznamSestav->topLevelItemCount(), 0);
    for (QPushButton* b : {d->Tl_Tisk, d->Tl_Nahled, d->Tl_Editace})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    ok(3);
    d->Akce_TiskExecute();
    d->Akce_NahledExecute();
    d->Akce_EditaceExecute();
    EXPECT_EQ(messages(), QStringList(3, u8("Není vybrána žádná sestava")));
    EXPECT_EQ(CountingPages::Printed, 0);
}

TEST_F(ReportList, TemplatesAreListedSortedUnderTheBoldGroupAndTheFirstIsLoaded)
{
    writeTemplate(QStringLiteral("b_kody.ZD3"), u8("Štítky kódů"));
    writeTemplate(QStringLiteral("A_ean.zd3"), QStringLiteral("EAN"));
    ASSERT_TRUE(writeAll(ses() + QStringLiteral("poznamka.txt"), "x"));
    auto d = list();
    ASSERT_EQ(d->SeznamSestav->topLevelItemCount(), 1);
    QTreeWidgetItem* group = d->SeznamSestav->topLevelItem(0);
    EXPECT_EQ(group->text(0), u8("Základní sestavy"));
    EXPECT_TRUE(group->font(0).bold());
    // The file's UTF-8 bytes read as code page 1250 in the tree.
    const QString raw = plat::cp1250ToUnicode(u8("Štítky kódů").toUtf8());
    EXPECT_EQ(names(*d), (QStringList{"EAN", raw}));
    ASSERT_EQ(d->Predlohy().size(), 2u);
    EXPECT_EQ(d->Predlohy()[1].Cislo, 2);
    EXPECT_EQ(d->Predlohy()[1].Soubor, QStringLiteral("b_kody.ZD3"));
    EXPECT_EQ(d->SeznamSestav->currentItem(), group->child(0));
    EXPECT_EQ(d->La_Nazev->text(), QStringLiteral("EAN"));
    EXPECT_EQ(d->La_Soubor->text(), QStringLiteral("A_ean.zd3"));
    EXPECT_EQ(d->La_Autor->text(), QStringLiteral("Autor"));
    EXPECT_EQ(d->La_Popis->text(), QStringLiteral("Radek 1\nRadek 2\n"));
    EXPECT_TRUE(d->Tl_Tisk->isEnabled());
    d->SeznamSestav->setCurrentItem(group->child(1));
    EXPECT_EQ(d->La_Nazev->text(), u8("Štítky kódů"));
    // The group node clears the details.
    d->SeznamSestav->setCurrentItem(group);
    EXPECT_TRUE(d->La_Nazev->text().isEmpty());
    EXPECT_FALSE(d->Tl_Tisk->isEnabled());
}

TEST_F(ReportList, CompressedTemplateHasNoNameInTheListButLoadsAndPrints)
{
    newFile();
    for (const char* code : {"A1", "B2", "C3"})
        addRecord(QString::fromLatin1(code));
    writeTemplate(QStringLiteral("gz.zd3"), QStringLiteral("Komprimovana"), true);
    ASSERT_FALSE(readAll(ses() + QStringLiteral("gz.zd3")).contains("ReportOptions.Name"));
    auto d = list();
    EXPECT_EQ(names(*d), QStringList{QString()});
    EXPECT_EQ(d->La_Nazev->text(), QStringLiteral("Komprimovana"));
    d->Akce_TiskExecute();
    EXPECT_EQ(CountingPages::Printed, 1);
    EXPECT_EQ(CountingPages::PagesAtPrint, 1);
    // The record table is where it was and keeps its handlers.
    EXPECT_TRUE(table().Active());
    EXPECT_FALSE(d->zdDBDataset1->Hooked());
}

TEST_F(ReportList, CancelInTheProgressWindowPrintsNothing)
{
    newFile();
    for (int i = 0; i < 40; ++i)
        addRecord(QStringLiteral("K%1").arg(i));
    writeTemplate(QStringLiteral("a.zd3"), QStringLiteral("A"));
    auto d = list();
    d->zdReport1->OldStyleProgress = true;
    windows.CancelAtFirstStep = true;
    d->Akce_TiskExecute();
    EXPECT_GE(windows.Opened, 1);
    EXPECT_TRUE(d->zdReport1->Terminated);
    EXPECT_EQ(CountingPages::Printed, 0);
    // Without Cancel the same list prints.
    windows.CancelAtFirstStep = false;
    d->Akce_TiskExecute();
    EXPECT_EQ(CountingPages::Printed, 1);
}

TEST_F(ReportList, TemplateDeletedAfterListingClearsTheDetails)
{
    writeTemplate(QStringLiteral("a.zd3"), QStringLiteral("A"));
    writeTemplate(QStringLiteral("b.zd3"), QStringLiteral("B"));
    auto d = list();
    ASSERT_TRUE(QFile::remove(ses() + QStringLiteral("b.zd3")));
    d->SeznamSestav->setCurrentItem(d->SeznamSestav->topLevelItem(0)->child(1));
    EXPECT_TRUE(d->La_Nazev->text().isEmpty());
    EXPECT_FALSE(d->Tl_Tisk->isEnabled());
}

TEST(ReportListName, TheNameIsTheTextAfterTheMarkUpToTheNextQuote)
{
    QTemporaryDir dir;
    const struct {
        const char* content;
        const char* name;
    } cases[] = {
        {"<zdReport ReportOptions.Name=\"Etikety\" ReportOptions.Author=\"x\"/>", "Etikety"},
        {"<zdReport reportoptions.name=\"x\"/>", ""},
        {"<zdReport ReportOptions.Name=\"bez konce", "bez konce"},
        {"ReportOptions.Name=\"A &amp; B\"", "A &amp; B"},
        {"", ""},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QStringLiteral("t.zd3"));
        ASSERT_TRUE(writeAll(path, c.content));
        EXPECT_EQ(TSestavyZazaDuzudi::NazevSestavy(path), QString::fromLatin1(c.name)) << c.content;
    }
    EXPECT_THROW(TSestavyZazaDuzudi::NazevSestavy(dir.filePath(QStringLiteral("chybi.zd3"))), plat::Exception);
}

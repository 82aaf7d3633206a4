// The designer model without a window: page tabs, the save question, file
// commands, undo and redo, the designer clipboard, selection commands,
// alignment, insertion, zoom and units, prepared-page mode.

#include "../DesignerTestUnits.h"
#include "Graphics.h"
#include "ScriptedServices.h"
#include "Streams.h"
#include "TypeInfo.h"
#include "zdBarcodeView.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_picture.h"
#include "zdClass_report.h"
#include "zdClass_shape.h"
#include "zdDMPClass.h"
#include "zdDesignerModel.h"
#include "zdEditors.h"
#include "zdFormatting.h"
#include "zdRes.h"
#include "zdUndo.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

void startModelUnits()
{
    testunits::startDesignerUnits();
}

struct Model : ::testing::Test {
    plat::ScriptedServices ui;
    plat::ScopedServices useUi{ui};
    TzdReport report;
    std::unique_ptr<zd::DesignerModel> d;
    QTemporaryDir dir;

    Model()
    {
        startModelUnits();
        open();
    }
    void open(bool prepared = false)
    {
        d = std::make_unique<zd::DesignerModel>(nullptr, &report, prepared);
        d->ReloadFromReport();
    }
    TzdComponent* obj(const char* name) { return report.FindObject(QString::fromLatin1(name)); }
    TzdComponent* memo(long double l, long double t, long double w = 80, long double h = 20)
    {
        return d->InsertObject(TzdMemoView::StaticClass(), 0, {l, t, w, h});
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString snapshot()
    {
        plat::TMemoryStream s;
        report.SaveToStream(s);
        return QString::fromUtf8(s.bytes());
    }
};

// ---------------------------------------------------------------- tabs and pages

TEST_F(Model, AReportWithoutPagesOpensOnADataPageAndPage1)
{
    EXPECT_EQ(d->TabCaptions(), (QStringList{QStringLiteral("Code"), QStringLiteral("Data"), QStringLiteral("Page1")}));
    EXPECT_EQ(d->CurrentPage, obj("Page1"));
    EXPECT_EQ(d->CurrentTab(), 2);
    EXPECT_EQ(d->Selection, std::vector<TzdComponent*>{d->CurrentPage});
    EXPECT_EQ(d->Title(), QStringLiteral("Untitled.zd3"));
    EXPECT_EQ(d->Caption(), QStringLiteral("ZazaDuzudi - Untitled.zd3"));
    EXPECT_FALSE(d->IsEnabled(QStringLiteral("UndoCmd")));
    EXPECT_FALSE(d->IsEnabled(QStringLiteral("DeletePageCmd")));
}

TEST_F(Model, RebuildPageTabsChoosesThePage)
{
    d->NewPage();
    const int count = report.GetPageCount();
    d->RebuildPageTabs(-2);
    EXPECT_EQ(d->CurrentPage, report.GetPageByIndex(1));
    d->RebuildPageTabs(count);
    EXPECT_EQ(d->CurrentPage, report.GetPageByIndex(0));
    d->RebuildPageTabs(-1);
    EXPECT_EQ(d->CurrentPage, nullptr);
    EXPECT_TRUE(d->PageObjects.empty());
}

TEST_F(Model, TabsMoveOnlyFromAndOntoTabTwoOrLater)
{
    d->NewPage();
    TzdComponent* page2 = d->CurrentPage;
    ASSERT_EQ(d->CurrentTab(), 3);
    EXPECT_FALSE(d->MoveTab(3, 1));
    EXPECT_FALSE(d->MoveTab(3, 0));
    const int undo = d->undoBuffer().UndoCount();
    EXPECT_TRUE(d->MoveTab(3, 2));
    EXPECT_EQ(report.GetPageByIndex(1), page2);
    EXPECT_EQ(d->CurrentPage, page2);
    EXPECT_TRUE(d->Modified);
    EXPECT_EQ(d->undoBuffer().UndoCount(), undo + 1);
}

TEST_F(Model, DeletePageNeedsThreePagesAndFreesTheSubreport)
{
    EXPECT_FALSE(d->DeletePage());
    d->SelectTab(2);
    auto* sub = d->InsertObject(TzdSubreport::StaticClass(), 0, {10, 10, 100, 50});
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(report.GetPageCount(), 3);
    TzdComponent* subPage = report.GetPageByIndex(2);
    EXPECT_EQ(static_cast<TzdSubreport*>(sub)->Page(), subPage);
    EXPECT_EQ(d->CurrentPage, subPage);
    EXPECT_EQ(d->TabCaptions().value(3), sub->Name());
    EXPECT_TRUE(d->DeletePage());
    EXPECT_EQ(report.GetPageCount(), 2);
    EXPECT_EQ(report.FindObject(QStringLiteral("Subreport1")), nullptr);
    EXPECT_EQ(d->CurrentPage, obj("Page1"));
}

TEST_F(Model, SubreportCopiesThePaperOfTheShownPage)
{
    auto* page = static_cast<TzdReportPage*>(obj("Page1"));
    page->SetOrientation(plat::poLandscape);
    page->LeftMargin = 25;
    d->InsertObject(TzdSubreport::StaticClass(), 0, {10, 10, 100, 50});
    auto* sub = static_cast<TzdReportPage*>(report.GetPageByIndex(2));
    EXPECT_EQ(sub->Orientation(), plat::poLandscape);
    EXPECT_EQ(sub->PaperWidth(), page->PaperWidth());
    EXPECT_EQ(sub->LeftMargin, 25);
}

TEST_F(Model, SubreportIsRefusedWhereNewPagesAreForbidden)
{
    TzdDesigner component(nullptr);
    component.Restrictions = {drDontCreatePage};
    const int pages = report.GetPageCount();
    const int children = d->CurrentPage->ChildCount();
    EXPECT_EQ(d->InsertObject(TzdSubreport::StaticClass(), 0, {10, 10, 100, 50}), nullptr);
    EXPECT_EQ(report.GetPageCount(), pages);
    EXPECT_EQ(d->CurrentPage->ChildCount(), children);
    EXPECT_FALSE(d->Messages.isEmpty());
}

// ---------------------------------------------------------------- save question and files

TEST_F(Model, NoOnTheSaveQuestionReplacesTheReportCancelKeepsIt)
{
    memo(10, 300);
    ui.AnswerMessage(plat::IDCANCEL);
    EXPECT_FALSE(d->NewReport());
    EXPECT_NE(obj("Memo1"), nullptr);
    EXPECT_TRUE(d->Modified);
    ASSERT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 1u);
    // The question is the table's text (which ends in a blank), a blank, the title and "?".
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox"))[0].text,
              zdGetResources()->GetText(QStringLiteral("dsSaveChangesTo")) + QStringLiteral(" Untitled.zd3?"));
    ui.AnswerMessage(plat::IDNO);
    EXPECT_TRUE(d->NewReport());
    EXPECT_FALSE(d->Modified);
    EXPECT_NE(obj("MasterData1"), nullptr);
    auto* pageMemo = obj("Memo1");
    ASSERT_NE(pageMemo, nullptr);
    EXPECT_EQ(static_cast<TzdMemoView*>(pageMemo)->Text().trimmed(), QStringLiteral("[Page#]"));
}

TEST_F(Model, AFailingSaveAnsweredYesKeepsTheReport)
{
    // A read-only folder; root writes there anyway, so it gets a folder
    // that is a plain file.
    const bool root = geteuid() == 0;
    const QString folder = path("ro");
    if (root) {
        QFile file(folder);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    } else {
        QDir().mkpath(folder);
    }
    report.FileName = folder + QStringLiteral("/a.zd3");
    memo(10, 300);
    if (!root)
        ::chmod(folder.toLocal8Bit().constData(), 0555);
    const QString before = snapshot();
    const int undo = d->undoBuffer().UndoCount();
    ui.AnswerMessage(plat::IDYES);
    EXPECT_FALSE(d->NewReport());
    ui.AnswerMessage(plat::IDYES);
    EXPECT_FALSE(d->Open(path("other.zd3")));
    if (!root)
        ::chmod(folder.toLocal8Bit().constData(), 0755);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(d->Modified);
    EXPECT_EQ(d->undoBuffer().UndoCount(), undo);
    EXPECT_EQ(report.FileName, folder + QStringLiteral("/a.zd3"));
    EXPECT_FALSE(QFile::exists(report.FileName));
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 4u); // two questions, two errors
}

TEST_F(Model, AHostSaveHandlerThatReturnsFalseIsNoSave)
{
    TzdDesigner component(nullptr);
    int calls = 0;
    component.OnSaveReport = [&](TzdReport*, bool) {
        ++calls;
        return false;
    };
    memo(10, 300);
    ui.AnswerMessage(plat::IDYES);
    EXPECT_FALSE(d->NewReport());
    EXPECT_EQ(calls, 1);
    EXPECT_NE(obj("Memo1"), nullptr);
    EXPECT_TRUE(d->Modified);
}

TEST_F(Model, SaveOfAnUnnamedReportAsksForANameAndCancelKeepsItModified)
{
    memo(10, 300);
    ui.Cancel(QStringLiteral("SaveDialog"));
    EXPECT_FALSE(d->Save());
    EXPECT_TRUE(d->Modified);
    EXPECT_TRUE(report.FileName.isEmpty());
    ui.AnswerFile({path("x.zd3")});
    EXPECT_TRUE(d->Save());
    EXPECT_FALSE(d->Modified);
    EXPECT_TRUE(QFile::exists(path("x.zd3")));
    EXPECT_EQ(d->RecentFiles, QStringList{path("x.zd3")});
    EXPECT_EQ(d->Title(), QStringLiteral("x.zd3"));
}

TEST_F(Model, OpeningARecentFileAnsweredCancelChangesNothing)
{
    memo(10, 300);
    const int undo = d->undoBuffer().UndoCount();
    const QString before = snapshot();
    ui.AnswerMessage(plat::IDCANCEL);
    EXPECT_FALSE(d->Open(path("missing.zd3")));
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(d->Modified);
    EXPECT_EQ(d->undoBuffer().UndoCount(), undo);
}

TEST_F(Model, AFileThatCannotLoadLeavesAnEmptyReport)
{
    QFile bad(path("bad.zd3"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a template");
    bad.close();
    EXPECT_FALSE(d->Open(path("missing.zd3")));
    EXPECT_TRUE(d->Messages.contains(QStringLiteral("Nelze načíst soubor")));
    EXPECT_EQ(d->TabCaptions(), (QStringList{QStringLiteral("Code"), QStringLiteral("Data"), QStringLiteral("Page1")}));
}

TEST_F(Model, RecentFilesHoldEightNewestLast)
{
    for (int i = 0; i < 10; ++i)
        d->AddRecentFile(QStringLiteral("/r/%1.zd3").arg(i));
    d->AddRecentFile(QStringLiteral("/r/4.zd3"));
    EXPECT_EQ(d->RecentFiles.size(), 8);
    EXPECT_EQ(d->RecentFiles.front(), QStringLiteral("/r/2.zd3"));
    EXPECT_EQ(d->RecentFiles.back(), QStringLiteral("/r/4.zd3"));
}

TEST_F(Model, TemplatesExtLosesItsLeadingDot)
{
    TzdDesigner component(nullptr);
    component.TemplatesExt = QStringLiteral(".zd3");
    open();
    EXPECT_EQ(d->Title(), QStringLiteral("Untitled.zd3"));
}

TEST_F(Model, CloseQuery)
{
    EXPECT_TRUE(d->CloseQuery()); // nothing modified, nothing asked
    memo(10, 300);
    ui.AnswerMessage(plat::IDNO);
    EXPECT_TRUE(d->CloseQuery());
    EXPECT_FALSE(d->Modified);
    d->SetModifiedFlag(true);
    ui.AnswerMessage(plat::IDYES);
    ui.Cancel(QStringLiteral("SaveDialog"));
    EXPECT_FALSE(d->CloseQuery());
    TzdDesigner component(nullptr);
    component.CloseQuery = false;
    EXPECT_TRUE(d->CloseQuery());
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 2u);
}

// ---------------------------------------------------------------- undo and redo

TEST_F(Model, UndoAndRedoFollowTheSnapshots)
{
    EXPECT_EQ(d->undoBuffer().UndoCount(), 1);
    const QString empty = snapshot();
    memo(10, 300);
    EXPECT_TRUE(d->IsEnabled(QStringLiteral("UndoCmd")));
    d->Undo();
    EXPECT_EQ(snapshot(), empty);
    EXPECT_EQ(obj("Memo1"), nullptr);
    EXPECT_FALSE(d->IsEnabled(QStringLiteral("UndoCmd")));
    EXPECT_TRUE(d->IsEnabled(QStringLiteral("RedoCmd")));
    EXPECT_TRUE(d->PageObjects.size() >= 2); // the page was shown again
    d->Redo();
    EXPECT_NE(obj("Memo1"), nullptr);
    d->Undo();
    memo(20, 300);
    EXPECT_FALSE(d->IsEnabled(QStringLiteral("RedoCmd")));
}

TEST_F(Model, UndoKeepsPicturesOutOfSnapshotsAndBringsThemBack)
{
    auto* pic = static_cast<TzdPictureView*>(
        d->InsertObject(plat::GetClass(QStringLiteral("TzdPictureView")), 0, {10, 300, 50, 50}));
    ASSERT_NE(pic, nullptr);
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    pic->Picture()->Bitmap().SetImage(image);
    pic->PictureChanged = true;
    d->SetModifiedFlag(true);
    EXPECT_FALSE(pic->ImageIndexStored);
    memo(10, 400);
    d->Undo();
    auto* back = dynamic_cast<TzdPictureView*>(obj("Picture1"));
    ASSERT_NE(back, nullptr);
    EXPECT_FALSE(back->Picture()->Empty());
    EXPECT_TRUE(back->PictureStored);
}

// ---------------------------------------------------------------- clipboard

TEST_F(Model, CopyingABandAloneCarriesItsObjects)
{
    auto* band = d->InsertBand(6);
    ASSERT_NE(band, nullptr);
    auto* a = memo(10, band->Top() + 1);
    memo(100, band->Top() + 1);
    ASSERT_EQ(a->Parent(), band);
    d->SetSelection({band});
    EXPECT_EQ(d->clipboard().CopyText().count(QStringLiteral("<TzdMemoView")), 2);
    d->SetSelection({band, a});
    const QString text = d->clipboard().CopyText();
    EXPECT_EQ(text.count(QStringLiteral("<TzdMemoView")), 1);
    EXPECT_TRUE(text.startsWith(QStringLiteral("#ZD3 clipboard#\n\r<TzdMasterData Name=\"MasterData1\"")));
}

TEST_F(Model, PastingKeepsAFreeNameAndRenamesATakenOne)
{
    auto* m = memo(10, 300);
    d->SetSelection({m});
    d->Copy();
    EXPECT_TRUE(d->IsEnabled(QStringLiteral("PasteCmd")));
    delete m;
    d->RebuildObjects();
    d->Paste();
    EXPECT_NE(obj("Memo1"), nullptr);
    d->Paste();
    EXPECT_NE(obj("Memo2"), nullptr);
    EXPECT_EQ(obj("Memo2")->Left(), 0);
}

TEST_F(Model, PastingABandBringsItsObjectsIntoIt)
{
    auto* band = d->InsertBand(6);
    memo(10, band->Top() + 2);
    memo(100, band->Top() + 2);
    d->SetSelection({band});
    d->Copy();
    d->Paste();
    auto* copy = dynamic_cast<TzdBand*>(obj("MasterData2"));
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->ChildCount(), 2);
    EXPECT_EQ(copy->Children()[0]->Name(), QStringLiteral("Memo3"));
    EXPECT_EQ(copy->Children()[0]->Left(), 10);
    EXPECT_EQ(copy->Children()[1]->Left(), 100);
    EXPECT_EQ(d->Selection, std::vector<TzdComponent*>{copy});
}

TEST_F(Model, PastedSingleBandsAreDroppedWhereOneExists)
{
    d->InsertBand(2); // page header
    d->SetSelection({obj("PageHeader1")});
    d->Copy();
    EXPECT_FALSE(d->BandMenuItemEnabled(2));
    const int children = d->CurrentPage->ChildCount();
    d->Paste();
    EXPECT_EQ(d->CurrentPage->ChildCount(), children);
}

TEST_F(Model, HostileClipboardTextPastesNothingHarmful)
{
    const QString header = QStringLiteral("#ZD3 clipboard#\n\r");
    struct Case {
        const char* element;
        const char* why;
    };
    const Case cases[] = {
        {"<TzdReportPage Name=\"Evil\"/>", "TzdReportPage"},
        {"<TzdReport Name=\"Evil\"/>", "TzdReport"},
        {"<TzdDataPage Name=\"Evil\"/>", "TzdDataPage"},
        {"<TNoSuchClass Name=\"Evil\"/>", "TNoSuchClass"},
        {"<TzdDesigner Name=\"Evil\"/>", "TzdDesigner"},
        {"<TzdMemoView Name=\"Evil\" Left=\"abc\"/>", "TzdMemoView"},
        {"<TzdMemoView Name=\"Evil\" HAlign=\"haNowhere\"/>", "TzdMemoView"},
        {"<TzdMemoView Name=\"Evil\" Width=\"1e99999\"/>", "TzdMemoView"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        const int pages = report.GetPageCount();
        const int children = d->CurrentPage->ChildCount();
        d->Messages.clear();
        ui.SetClipboardText(header + QString::fromLatin1(c.element));
        d->Paste();
        EXPECT_EQ(report.GetPageCount(), pages);
        EXPECT_EQ(d->CurrentPage->ChildCount(), children);
        EXPECT_EQ(report.FindObject(QStringLiteral("Evil")), nullptr);
        ASSERT_EQ(d->Messages.size(), 1);
        EXPECT_TRUE(d->Messages[0].contains(QLatin1String(c.why)));
    }
    // Good objects next to a refused one still come in.
    ui.SetClipboardText(header + QStringLiteral("<TzdReportPage Name=\"Evil\"/><TzdMemoView Name=\"Fine\"/>"));
    d->Paste();
    EXPECT_NE(report.FindObject(QStringLiteral("Fine")), nullptr);
}

TEST_F(Model, TheHeaderCountsOnlyAtTheStart)
{
    ui.SetClipboardText(QStringLiteral(" #ZD3 clipboard#\n\r<TzdMemoView Name=\"X\"/>"));
    EXPECT_FALSE(d->clipboard().HasData());
    d->Paste();
    EXPECT_EQ(report.FindObject(QStringLiteral("X")), nullptr);
}

TEST_F(Model, PastingFollowsThePageKind)
{
    d->InsertBand(6);
    auto* m = memo(10, obj("MasterData1")->Top() + 1);
    d->SetSelection({m});
    d->Copy();
    d->NewDialog();
    const int children = d->CurrentPage->ChildCount();
    d->Paste();
    EXPECT_EQ(d->CurrentPage->ChildCount(), children);
    EXPECT_EQ(d->Messages.size(), 1);
    // A dataset component goes onto a report page.
    d->SelectTab(2);
    ui.SetClipboardText(QStringLiteral("#ZD3 clipboard#\n\r<TzdUserDataSet Name=\"Rows\"/>"));
    d->Paste();
    EXPECT_NE(report.FindObject(QStringLiteral("Rows")), nullptr);
}

// ---------------------------------------------------------------- selection commands

TEST_F(Model, SelectAllInsideABandAndSelectSameType)
{
    auto* band = d->InsertBand(6);
    auto* a = memo(10, band->Top() + 1);
    auto* b = memo(100, band->Top() + 1);
    auto* sys = d->InsertObject(TzdSysMemoView::StaticClass(), 0, {200, band->Top() + 1, 50, 10});
    auto* outside = memo(10, 600);
    ASSERT_EQ(sys->Parent(), band);
    d->SetSelection({a});
    d->SelectAll();
    EXPECT_EQ(d->Selection, (std::vector<TzdComponent*>{a, b, sys}));
    d->SetSelection({a});
    d->SelectSameType(false);
    EXPECT_EQ(d->Selection, (std::vector<TzdComponent*>{a, b}));
    d->SetSelection({a});
    d->SelectSameType(true);
    EXPECT_EQ(d->Selection, (std::vector<TzdComponent*>{a, b, outside}));
}

TEST_F(Model, ZOrderMovesWithinTheParent)
{
    auto* a = memo(10, 600);
    auto* b = memo(10, 700);
    auto* c = memo(10, 800);
    d->SetSelection({a});
    d->BringToFront();
    EXPECT_EQ(d->CurrentPage->Children().back(), a);
    d->SetSelection({c});
    d->SendToBack();
    EXPECT_EQ(d->CurrentPage->Children().front(), c);
    (void)b;
}

TEST_F(Model, Alignment)
{
    auto* a = memo(10, 600, 50, 20);
    auto* b = memo(100, 620, 30, 20);
    auto* c = memo(400, 640, 10, 20);
    d->SetSelection({a, b});
    d->Align(zd::acSpaceHorz); // needs three
    EXPECT_EQ(b->Left(), 100);
    d->Align(zd::acRights);
    EXPECT_EQ(b->Left(), 30);
    d->SetSelection({a, b, c});
    d->Align(zd::acSpaceHorz);
    EXPECT_EQ(a->Left(), 10);
    EXPECT_EQ(c->Left(), 400);
    EXPECT_EQ(b->Left(), 205);
    d->Align(zd::acTops);
    EXPECT_EQ(b->Top(), 600);
    EXPECT_EQ(c->Top(), 600);
    d->Align(zd::acSameWidth);
    EXPECT_EQ(c->Width(), 50);
    c->SetRestrictions({rfDontMove});
    d->SetSelection({a, c});
    d->Align(zd::acLefts);
    EXPECT_EQ(c->Left(), 400);
}

TEST_F(Model, SetToGridMakesAZeroWidthOneStep)
{
    d->SetUnits(ruPixels);
    d->SetGrid(3, 8);
    auto* m = memo(13, 603, 3, 20);
    d->SetSelection({m});
    d->SetToGrid();
    EXPECT_EQ(m->Left(), 16);
    EXPECT_EQ(m->Width(), 8);
    EXPECT_EQ(m->Height(), 16); // 2.5 steps: halves go to even
}

TEST_F(Model, BandMenuAndBandPlacement)
{
    EXPECT_TRUE(d->BandMenuItemEnabled(2));
    d->InsertBand(2);
    EXPECT_FALSE(d->BandMenuItemEnabled(2));
    EXPECT_EQ(d->InsertBand(2), nullptr);
    auto* vertical = d->InsertBand(106);
    ASSERT_NE(vertical, nullptr);
    EXPECT_TRUE(vertical->Vertical());
    EXPECT_NEAR(double(vertical->Width()), 6 * 3.77953, 1e-9);
}

// ---------------------------------------------------------------- zoom and units

TEST_F(Model, ZoomText)
{
    struct Case {
        const char* text;
        double scale;
    };
    const Case cases[] = {{"150 %", 1.5}, {"25", 0.25}, {"0", 1}, {"5000", 20}, {"0.001", 0.25}, {"-40", 0.25}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(d->ApplyZoomText(QString::fromLatin1(c.text)));
        EXPECT_DOUBLE_EQ(double(d->Scale()), c.scale);
    }
    EXPECT_FALSE(d->ApplyZoomText(QStringLiteral(" % ")));
    d->SetScale(0.3L);
    d->WheelZoom(-1);
    EXPECT_DOUBLE_EQ(double(d->Scale()), 0.3);
}

TEST_F(Model, UnitConversions)
{
    struct Case {
        TzdRulerUnits units;
        double mm, shownX, shownY;
    };
    const Case cases[] = {{ruCM, 25, 2.5, 2.5},
                          {ruInches, 25.4, 1, 1},
                          {ruPixels, 25.4, 96, 96},
                          {ruChars, 100, 39, 22}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.units));
        d->SetUnits(c.units);
        EXPECT_NEAR(double(d->MmToUnits(c.mm, false)), c.shownX, 1e-9);
        EXPECT_NEAR(double(d->MmToUnits(c.mm, true)), c.shownY, 1e-9);
    }
    d->SetUnits(ruChars);
    EXPECT_NEAR(double(d->UnitsToMm(10, false)), 96 / 3.77953, 1e-9);
    long double w, h;
    d->SetUnits(ruCM);
    d->DefaultObjectSize(w, h);
    EXPECT_NEAR(double(w), 2.5 * 37.7953, 1e-9);
    EXPECT_NEAR(double(h), 0.5 * 37.7953, 1e-9);
}

// ---------------------------------------------------------------- restrictions and modes

TEST_F(Model, PreparedPageModeRestrictsAndDiscardsOnNo)
{
    TzdDesigner host(nullptr);
    host.Restrictions = {drDontSaveReport};
    {
        zd::DesignerModel prepared(nullptr, &report, true);
        prepared.ReloadFromReport();
        EXPECT_NE(TzdDesigner::Current(), &host);
        for (const char* name : {"NewPageCmd", "NewReportCmd", "OpenCmd", "PreviewCmd", "VariablesCmd",
                                 "ReportOptionsCmd", "DeletePageCmd", "SaveAsCmd"})
            EXPECT_FALSE(prepared.IsEnabled(QString::fromLatin1(name))) << name;
        EXPECT_TRUE(prepared.IsEnabled(QStringLiteral("PageSettingsCmd")));
        EXPECT_FALSE(prepared.SelectTab(1));
        EXPECT_FALSE(prepared.NewPage());
    }
    EXPECT_EQ(TzdDesigner::Current(), &host);
}

TEST_F(Model, InsertionIsRefusedUnderItsRestriction)
{
    TzdDesigner host(nullptr);
    host.Restrictions = {drDontInsertObject};
    EXPECT_EQ(memo(10, 10), nullptr);
    EXPECT_EQ(d->InsertObject(TzdMemoView::StaticClass(), 0, {10, -1, 80, 20}), nullptr);
}

TEST_F(Model, DeleteRefusesInheritedObjectsWithAMessage)
{
    auto* own = memo(10, 600);
    auto* inherited = memo(10, 700);
    inherited->FromAncestor = true;
    d->SetSelection({own, inherited});
    d->Delete();
    EXPECT_NE(obj("Memo1"), nullptr);
    EXPECT_NE(obj("Memo2"), nullptr);
    ASSERT_EQ(d->Messages.size(), 1);
    EXPECT_EQ(d->Messages[0], QStringLiteral("Could not delete Memo2, it was introduced in the ancestor report"));
}

// ---------------------------------------------------------------- formatting

TEST_F(Model, BoldReachesEveryModifiableSelectedObject)
{
    auto* a = memo(10, 600);
    auto* b = memo(10, 700);
    auto* locked = memo(10, 800);
    locked->SetRestrictions({rfDontModify});
    d->SetSelection({a, b, locked});
    zd::FormatValues v;
    v.Down = true;
    EXPECT_TRUE(d->Format(2, v));
    EXPECT_TRUE(a->Font()->HasStyle(plat::fsBold));
    EXPECT_TRUE(b->Font()->HasStyle(plat::fsBold));
    EXPECT_FALSE(locked->Font()->HasStyle(plat::fsBold));
    EXPECT_TRUE(d->Modified);
}

TEST_F(Model, AFontChangeClearsTheStyleAndTheNextMemoLooksAlike)
{
    auto* a = static_cast<TzdMemoView*>(memo(10, 600));
    a->SetStyle(QStringLiteral("Nadpis"));
    d->SetSelection({a});
    zd::FormatValues v;
    v.FontName = QStringLiteral("Courier New");
    d->Format(0, v);
    EXPECT_TRUE(a->Style().isEmpty());
    d->Format(8, v); // centred
    auto* b = static_cast<TzdMemoView*>(memo(10, 700));
    EXPECT_EQ(b->Font()->Name(), QStringLiteral("Courier New"));
    EXPECT_EQ(b->HAlign, haCenter);
    EXPECT_FALSE(b->ParentFont());
}

TEST_F(Model, FrameTagsAndWidthText)
{
    auto* a = static_cast<TzdMemoView*>(memo(10, 600));
    d->SetSelection({a});
    zd::FormatValues v;
    d->Format(24, v);
    EXPECT_EQ(a->Frame()->Typ, (TzdFrameTypes{ftLeft, ftRight, ftTop, ftBottom}));
    v.Down = false;
    d->Format(20, v);
    EXPECT_FALSE(a->Frame()->Typ.contains(ftTop));
    v.FrameWidth = QStringLiteral("1,5");
    EXPECT_TRUE(d->Format(29, v));
    EXPECT_EQ(a->Frame()->Width(), 1.5L);
    v.FrameWidth = QStringLiteral("široký");
    EXPECT_FALSE(d->Format(29, v));
    d->Format(25, v);
    EXPECT_TRUE(a->Frame()->Typ.empty());
    v.FontSize = QStringLiteral("velký");
    EXPECT_FALSE(d->Format(1, v)); // not a number: unchanged
}

TEST_F(Model, DotMatrixStyleBitsFollowTheMenuTick)
{
    d->NewPage();
    auto* dmp = new TzdDMPMemoView(&report);
    dmp->SetParent(d->CurrentPage);
    dmp->SetName(QStringLiteral("DMPMemo1"));
    d->SetSelection({dmp});
    zd::FormatValues v;
    v.Ticked = false;
    d->Format(34, v);
    EXPECT_TRUE(dmp->FontStyle().contains(fsxBold));
    v.Ticked = true;
    d->Format(34, v);
    EXPECT_FALSE(dmp->FontStyle().contains(fsxBold));
}

TEST_F(Model, AddChildBandSplicesIntoTheChain)
{
    auto* master = d->InsertBand(6);
    auto* first = d->InsertBand(14);
    master->SetChild(static_cast<TzdBand*>(first));
    d->SetSelection({master});
    TzdBand* spliced = d->AddChildBand();
    ASSERT_NE(spliced, nullptr);
    EXPECT_EQ(master->Child(), spliced);
    EXPECT_EQ(spliced->Child(), first);
    EXPECT_LT(master->Top(), spliced->Top());
    EXPECT_LT(spliced->Top(), first->Top());
}

TEST(StatusBar, PositionAndSizeInTheUnits)
{
    struct Case {
        int units;
        double x, y;
        const char* text;
    };
    const Case cases[] = {{0, 96, 48, "2.54; 1.27"}, {1, 96, 48, "1.00; 0.50"}, {2, 96.5, 48, "96.50; 48.00"},
                          {3, 96, 50, "10.00; 2.00"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.units);
        EXPECT_EQ(zd::statusPositionText(c.x, c.y, c.units), QString::fromLatin1(c.text));
        EXPECT_EQ(zd::statusSizeText(c.x, c.y, c.units), QString::fromLatin1(c.text));
    }
}

TEST_F(Model, FindWalksTheTextObjectsAndSaysWhenNothingIsLeft)
{
    auto* a = static_cast<TzdMemoView*>(memo(10, 600));
    auto* b = static_cast<TzdMemoView*>(memo(10, 700));
    a->SetText(QStringLiteral("Faktura"));
    b->SetText(QStringLiteral("faktura č."));
    EXPECT_TRUE(d->Find(QStringLiteral("FAKTURA"), false));
    EXPECT_EQ(d->Selection, std::vector<TzdComponent*>{a});
    EXPECT_TRUE(d->FindNext());
    EXPECT_EQ(d->Selection, std::vector<TzdComponent*>{b});
    EXPECT_FALSE(d->FindNext());
    EXPECT_EQ(d->Messages.value(0), QStringLiteral("Text 'FAKTURA' nenalezen"));
    EXPECT_FALSE(d->Find(QStringLiteral("FAKTURA"), true));
}

TEST_F(Model, ReplaceAllGoesOnWithoutAsking)
{
    auto* a = static_cast<TzdMemoView*>(memo(10, 600));
    auto* b = static_cast<TzdMemoView*>(memo(10, 700));
    a->SetText(QStringLiteral("kód kód"));
    b->SetText(QStringLiteral("Kód"));
    ui.AnswerMessage(plat::mrAll);
    EXPECT_TRUE(d->Find(QStringLiteral("kód"), false, true, QStringLiteral("EAN")));
    EXPECT_EQ(a->Text().trimmed(), QStringLiteral("EAN EAN"));
    EXPECT_EQ(b->Text().trimmed(), QStringLiteral("EAN"));
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageDlg")).size(), 1u);
    EXPECT_TRUE(d->Modified);
}

} // namespace

// The designer window over its model, driven through its named controls:
// palette and workspace insert objects, Ctrl+S saves, settings go to an ini
// file and come back, the language switch changes the captions, and
// closing with changes asks to save.

#include "WindowFixture.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "KeyStore.h"
#include "Metafile.h"
#include "Modal.h"
#include "ScriptedServices.h"
#include "zdBarcodeView.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDMPClass.h"
#include "zdDesgnCtrls.h"
#include "zdDesgnForm.h"
#include "zdDesgnWorkspace.h"
#include "zdDesignerModel.h"
#include "zdEditors.h"
#include "zdRes.h"
#include "zdWorkspaceTools.h"
#include "zdCodePage.h"
#include "zdDataTree.h"
#include "zdInspector.h"
#include "zdReportTree.h"
#include "zdSyntaxMemo.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using windowtest::Window;

// ---------------------------------------------------------------- the window's parts

TEST_F(Window, AReportWithoutPagesShowsCodeDataAndPage1Tabs)
{
    open();
    QTabBar* tabs = form->PageTabs();
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), zdGetResources()->GetText(QStringLiteral("dsCode")));
    EXPECT_EQ(tabs->tabText(1), zdGetResources()->GetText(QStringLiteral("dsData")));
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("Page1"));
    EXPECT_EQ(tabs->currentIndex(), 2);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("ZazaDuzudi - Untitled.zd3"));
    // The named parts a script clicks.
    for (const char* name : {"StandardTB", "TextTB", "FrameTB", "AlignTB", "ObjectsTB1", "TopRuler", "LeftRuler",
                             "ScrollBox", "Workspace", "StatusBar", "LeftDockSite2", "RightDockSite", "SaveB",
                             "BoldB", "BandsB", "Obj_TzdMemoView"})
        EXPECT_NE(form->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    for (const char* name : {"ObjectInspector", "DataTreeForm", "ReportTreeForm"})
        EXPECT_NE(form->findChild<QDockWidget*>(QString::fromLatin1(name)), nullptr) << name;
}

TEST_F(Window, ToolWindowsAndCodeEditorTakeTheWidgetsGiven)
{
    open();
    auto* inspector = new QWidget;
    form->setToolWindow(QStringLiteral("ObjectInspector"), inspector);
    EXPECT_EQ(child<QDockWidget>("ObjectInspector")->widget(), inspector);
    form->setToolWindow(QStringLiteral("NoSuchWindow"), new QWidget(form.get()));
    auto* editor = new QPlainTextEdit;
    editor->setObjectName(QStringLiteral("OtherEditor"));
    form->setCodeEditor(editor);
    EXPECT_EQ(editor->parentWidget(), child("CodePanel"));
}

// Palette, band menu and mouse insert a band and a memo; the text tool
// types into the memo; Ctrl+S saves; the saved file reloads with both.
TEST_F(Window, PaletteAndWorkspaceInsertABandAndAMemoThatSaveAndReload)
{
    report.FileName = path("label.zd3");
    open();
    ASSERT_TRUE(QFile::exists(report.FileName) == false);

    QAction* master = form->BandsPopup()->findChild<QAction*>(QStringLiteral("BandItem6"));
    ASSERT_NE(master, nullptr);
    master->trigger();
    auto* band = dynamic_cast<TzdBand*>(report.FindObject(QStringLiteral("MasterData1")));
    ASSERT_NE(band, nullptr);
    EXPECT_TRUE(model().Modified);
    const long double bandTop = band->Top();

    QTest::mouseClick(child<QToolButton>("Obj_TzdMemoView"), Qt::LeftButton);
    EXPECT_EQ(model().workspace().InsertionState, 1);
    clickPage(40, bandTop + 2);
    auto* memo = dynamic_cast<TzdMemoView*>(report.FindObject(QStringLiteral("Memo1")));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Parent(), band);
    // The insertion is over: the select tool is down again.
    EXPECT_EQ(model().workspace().InsertionState, 0);
    EXPECT_TRUE(child<QToolButton>("SelectToolB")->isChecked());

    // The text tool edits the memo in place.
    QTest::mouseClick(child<QToolButton>("TextToolB"), Qt::LeftButton);
    clickPage(memo->GetAbsLeft() + 5, memo->GetAbsTop() + 5);
    TInplaceMemo* inplace = form->Workspace()->Inplace();
    ASSERT_TRUE(inplace->isVisible());
    QTest::keyClicks(inplace, QStringLiteral("Cena [Cena]"));
    form->Workspace()->EndEdit(true);
    EXPECT_EQ(memo->Text().trimmed(), QStringLiteral("Cena [Cena]"));

    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(QFile::exists(path("label.zd3")));
    EXPECT_FALSE(model().Modified);

    TzdReport reloaded;
    ASSERT_TRUE(reloaded.LoadFromFile(path("label.zd3")));
    auto* band2 = dynamic_cast<TzdMasterData*>(reloaded.FindObject(QStringLiteral("MasterData1")));
    auto* memo2 = dynamic_cast<TzdMemoView*>(reloaded.FindObject(QStringLiteral("Memo1")));
    ASSERT_NE(band2, nullptr);
    ASSERT_NE(memo2, nullptr);
    EXPECT_EQ(memo2->Parent(), band2);
    EXPECT_EQ(memo2->Text().trimmed(), QStringLiteral("Cena [Cena]"));
    EXPECT_NEAR(double(memo2->Left()), double(memo->Left()), 1e-4);
    EXPECT_NEAR(double(memo2->Width()), double(memo->Width()), 1e-4);
}

TEST_F(Window, BoldButtonFormatsTheSelectedMemo)
{
    open();
    auto* memo = dynamic_cast<TzdMemoView*>(
        model().InsertObject(TzdMemoView::StaticClass(), 0, {20, 20, 100, 20}));
    ASSERT_NE(memo, nullptr);
    model().SetSelection({memo});
    form->syncFromModel();
    auto* bold = child<QToolButton>("BoldB");
    ASSERT_TRUE(bold->isEnabled());
    QTest::mouseClick(bold, Qt::LeftButton);
    EXPECT_TRUE(memo->Font()->Style().contains(plat::fsBold));
    EXPECT_TRUE(bold->isChecked());
}

// Dragging tab 3 onto tab 2 swaps the pages; the data tab stays in place.
TEST_F(Window, DraggingATabMovesItsPageButNotOntoTheDataTab)
{
    open();
    model().NewPage();
    form->syncFromModel();
    QTabBar* tabs = form->PageTabs();
    ASSERT_EQ(tabs->count(), 4);
    TzdComponent* second = report.GetPageByIndex(2);
    tabs->setCurrentIndex(3);
    tabs->moveTab(3, 2);
    EXPECT_EQ(report.GetPageByIndex(1), second);
    EXPECT_TRUE(model().Modified);
    EXPECT_EQ(tabs->tabText(2), second->Name());

    TzdComponent* data = report.GetPageByIndex(0);
    tabs->moveTab(2, 1);
    EXPECT_EQ(report.GetPageByIndex(0), data);
    QTest::qWait(20);
    EXPECT_EQ(tabs->tabText(1), zdGetResources()->GetText(QStringLiteral("dsData")));
}

TEST_F(Window, ADoubleClickOnTheUnitsPanelCyclesTheUnits)
{
    open();
    auto* units = child<QLabel>("StatusUnits");
    ASSERT_EQ(model().Units, ruCM);
    QTest::mouseDClick(units, Qt::LeftButton);
    EXPECT_EQ(model().Units, ruInches);
    EXPECT_EQ(units->text(), zdGetResources()->GetText(QStringLiteral("dsInch")));
    QTest::mouseDClick(units, Qt::LeftButton);
    QTest::mouseDClick(units, Qt::LeftButton);
    EXPECT_EQ(model().Units, ruCM);
    EXPECT_EQ(model().UserUnits, ruCM);
}

// ---------------------------------------------------------------- closing

TEST_F(Window, ClosingWithChangesAsksAndCancelKeepsTheWindow)
{
    open();
    model().NewPage();
    form->syncFromModel();
    ASSERT_TRUE(model().Modified);
    ui.AnswerMessage(plat::IDCANCEL);
    EXPECT_FALSE(form->close());
    const QList<plat::ServiceCall> boxes = messageBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text, zdGetResources()->GetText(QStringLiteral("dsSaveChangesTo")) +
                                      QStringLiteral(" Untitled.zd3?"));
    EXPECT_TRUE(form->isVisible());

    ui.AnswerMessage(plat::IDNO);
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(report.Modified);
}

// The report's Design (what the report list's "Editace" calls) opens the
// window modally; closing it after a change asks, and No leaves the report
// unmodified.
TEST_F(Window, ReportDesignOpensTheWindowAndClosingAsksToSave)
{
    zd::startDesignerFormUnit();
    bool ran = false;
    plat::ScopedModalRunner runner([&](QDialog& dialog) {
        auto* shown = dialog.findChild<TzdDesignerForm*>();
        EXPECT_NE(shown, nullptr);
        if (!shown)
            return 0;
        ran = true;
        EXPECT_EQ(shown->windowTitle(), QStringLiteral("ZazaDuzudi - Untitled.zd3"));
        shown->Model().NewPage();
        ui.AnswerMessage(plat::IDNO);
        dialog.reject();
        return 0;
    });
    report.Design(true, false);
    EXPECT_TRUE(ran);
    EXPECT_EQ(messageBoxes().size(), 1);
    EXPECT_FALSE(report.Modified);
    EXPECT_EQ(report.OpenDesigner, nullptr);
}

// A modeless designer frees its model when it closes, and the report can
// be designed again.
TEST_F(Window, AModelessDesignerLetsTheReportGoWhenItCloses)
{
    zd::startDesignerFormUnit();
    report.Design(false, false);
    ASSERT_NE(report.OpenDesigner, nullptr);
    TzdDesignerForm* shown = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = dynamic_cast<TzdDesignerForm*>(w); f && f->isVisible())
            shown = f;
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(report.OpenDesigner, nullptr);
}

TEST_F(Window, ClosingWithoutChangesAsksNothing)
{
    open();
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(messageBoxes().isEmpty());
}

// ---------------------------------------------------------------- settings

TEST_F(Window, SettingsAreWrittenToTheIniAndReadBack)
{
    open();
    form->SetScale(1.5L);
    form->SetShowGrid(false);
    form->SetShowRulers(false);
    model().Grid1 = 0.25L;
    model().UserUnits = ruInches;
    model().EditAfterInsert = true;
    form->BandsGap = 7;
    model().RecentFiles = QStringList{QStringLiteral("/a/b.zd3"), QStringLiteral("/c d/e.zd3")};
    form->WriteSettings();
    form.reset();

    QFile ini(path("ZazaDuzudi.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_TRUE(text.contains("[Form5.TzdDesignerForm]"));
    EXPECT_TRUE(text.contains("Scale=1.5"));

    open();
    EXPECT_NEAR(double(form->Scale()), 1.5, 1e-9);
    EXPECT_FALSE(form->ShowGrid());
    EXPECT_FALSE(form->ShowRulers());
    EXPECT_NEAR(double(model().Grid1), 0.25, 1e-9);
    EXPECT_EQ(model().UserUnits, ruInches);
    EXPECT_EQ(model().Units, ruInches);
    EXPECT_TRUE(model().EditAfterInsert);
    EXPECT_EQ(form->BandsGap, 7);
    EXPECT_EQ(model().RecentFiles, (QStringList{QStringLiteral("/a/b.zd3"), QStringLiteral("/c d/e.zd3")}));
}

TEST_F(Window, AFreshSettingsFileGivesTheDefaults)
{
    open();
    EXPECT_NEAR(double(form->Scale()), 1, 1e-9);
    EXPECT_TRUE(form->ShowGrid());
    EXPECT_TRUE(form->GridAlign());
    EXPECT_TRUE(form->ShowRulers());
    EXPECT_TRUE(form->ShowGuides());
    EXPECT_TRUE(model().EditAfterInsert);
    EXPECT_EQ(model().UserUnits, ruCM);
    EXPECT_NEAR(double(model().Grid3), 4, 1e-9);
}

// A hand-edited scale that is negative or no number reads as 100 %; zero
// means no settings; above 20 is 20.
TEST_F(Window, AScaleFromAHandEditedFileThatIsNegativeOrNotFiniteIsOne)
{
    const std::pair<const char*, double> cases[] = {
        {"-2", 1}, {"-0.5", 1}, {"nan", 1}, {"inf", 1}, {"1e999", 1}, {"25", 20}, {"0.5", 0.5}, {"0", 1}};
    for (const auto& [stored, expected] : cases) {
        QFile ini(path("ZazaDuzudi.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(QByteArray("[Form5.TzdDesignerForm]\nWorkspaceColor=16777215\nScale=") + stored + "\n");
        ini.close();
        open();
        EXPECT_NEAR(double(form->Scale()), expected, 1e-9) << stored;
        EXPECT_TRUE(std::isfinite(double(model().workspace().Scale))) << stored;
        form.reset();
    }
}

TEST_F(Window, AStoredZeroGridReadsAsItsDefault)
{
    QFile ini(path("ZazaDuzudi.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Form5.TzdDesignerForm]\nWorkspaceColor=16777215\nScale=1\nGrid1=0\nGrid3=0\n");
    ini.close();
    open();
    EXPECT_NEAR(double(model().Grid1), 0.1, 1e-9);
    EXPECT_NEAR(double(model().Grid3), 4, 1e-9);
}

// ---------------------------------------------------------------- language

TEST_F(Window, ChoosingALanguageChangesTheCaptions)
{
    TzdResources* res = zdGetResources();
    const QStringList keys{QStringLiteral("2378"), QStringLiteral("2423"), QStringLiteral("2324")};
    QStringList saved;
    for (const QString& k : keys)
        saved << res->GetText(k);
    QFile zdc(path("English.zdc"));
    ASSERT_TRUE(zdc.open(QIODevice::WriteOnly));
    zdc.write("<?xml version=\"1.1\" encoding=\"utf-8\"?><Resources CodePage=\"1250\">"
              "<StrRes Name=\"2378\" Text=\"&amp;File\"/><StrRes Name=\"2423\" Text=\"Save\"/>"
              "<StrRes Name=\"2324\" Text=\"Bold\"/></Resources>");
    zdc.close();
    plat::KeyStore::setHiveFolders(path("user"), path("machine"));
    {
        plat::KeyStore store;
        ASSERT_TRUE(store.OpenKey(QStringLiteral("\\Software\\Rure Viroraz\\Resources"), true));
        store.WriteString(QStringLiteral("Language"), QStringLiteral("Czech"));
    }
    open();
    EXPECT_EQ(child<QMenu>("FileMenu")->title(), saved[0]);
    form->LanguageFolder = dir.path();
    form->ChooseLanguage(QStringLiteral("English"));
    {
        plat::KeyStore store;
        ASSERT_TRUE(store.OpenKeyReadOnly(QStringLiteral("\\Software\\Rure Viroraz\\Resources")));
        EXPECT_EQ(store.ReadString(QStringLiteral("Language")), QStringLiteral("English"));
    }
    EXPECT_EQ(child<QMenu>("FileMenu")->title(), QStringLiteral("&File"));
    EXPECT_EQ(form->findChild<QAction*>(QStringLiteral("SaveCmd"))->text(), QStringLiteral("Save"));
    EXPECT_EQ(child<QToolButton>("BoldB")->toolTip(), QStringLiteral("Bold"));
    // A missing language file changes nothing.
    form->ChooseLanguage(QStringLiteral("Missing"));
    EXPECT_EQ(child<QMenu>("FileMenu")->title(), QStringLiteral("&File"));
    for (int i = 0; i < keys.size(); ++i)
        res->SetWideText(keys[i], saved[i]);
    plat::KeyStore::resetHiveFolders();
}

// ---------------------------------------------------------------- painting

// The workspace paints through the platform canvas: a recording shows the
// memo's text and the band caption, and guides that are no numbers are
// skipped rather than raising.
TEST_F(Window, WorkspacePaintRecordsObjectsAndSkipsUnparsableGuides)
{
    open();
    auto* page = dynamic_cast<TzdReportPage*>(model().CurrentPage);
    ASSERT_NE(page, nullptr);
    page->HGuides()->Add(QStringLiteral("abc"));
    page->HGuides()->Add(QStringLiteral("50"));
    page->VGuides()->Add(QStringLiteral("1e"));
    model().InsertBand(6);
    auto* memo = dynamic_cast<TzdMemoView*>(
        model().InsertObject(TzdMemoView::StaticClass(), 0, {10, 10, 120, 20}));
    ASSERT_NE(memo, nullptr);
    memo->SetText(QStringLiteral("Ahoj světe"));
    form->syncFromModel();

    plat::TMetafile mf;
    {
        plat::TMetafileCanvas canvas(mf);
        form->Workspace()->PaintTo(canvas, form->Workspace()->rect());
    }
    QStringList texts;
    for (const plat::TMetafileTextItem& t : mf.TextItems())
        texts << t.text;
    const QString all = texts.join(u'|');
    EXPECT_TRUE(all.contains(QStringLiteral("Ahoj světe"))) << qPrintable(all);
    EXPECT_TRUE(all.contains(QStringLiteral("MasterData1"))) << qPrintable(all);
    // Painting through the widget does not raise either.
    form->Workspace()->repaint();
}

// An object whose drawing fails: the paint shows the message instead.
class FailingMemo : public TzdMemoView {
public:
    using TzdMemoView::TzdMemoView;
    void Draw(plat::TCanvas*, long double, long double, long double, long double) override
    {
        throw plat::Exception(QStringLiteral("Kreslení selhalo"));
    }
};

TEST_F(Window, AFailingPaintDrawsItsMessage)
{
    open();
    auto* memo = new FailingMemo(&report);
    memo->SetParent(model().CurrentPage);
    memo->SetBounds(10, 10, 50, 20);
    model().RebuildObjects();
    plat::TMetafile mf;
    {
        plat::TMetafileCanvas canvas(mf);
        EXPECT_NO_THROW(form->Workspace()->PaintTo(canvas, form->Workspace()->rect()));
    }
    QStringList texts;
    for (const plat::TMetafileTextItem& t : mf.TextItems())
        texts << t.text;
    EXPECT_TRUE(texts.contains(QStringLiteral("Kreslení selhalo"))) << qPrintable(texts.join(u'|'));
    EXPECT_NO_THROW(form->Workspace()->repaint());
}

// A guide dragged from the left ruler onto the page at x = 100 on a page at
// scale 2, without snapping, lies at 50.
TEST_F(Window, AGuideDraggedFromTheLeftRulerLandsOnThePage)
{
    open();
    form->SetScale(2);
    form->SetGridAlign(false);
    auto* page = dynamic_cast<TzdReportPage*>(model().CurrentPage);
    ASSERT_NE(page, nullptr);
    auto* ruler = child<TzdRuler>("LeftRuler");
    const QPoint global = form->Workspace()->mapToGlobal(QPoint(100, 40));
    QTest::mousePress(ruler, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(ruler, Qt::LeftButton, {}, ruler->mapFromGlobal(global));
    ASSERT_EQ(page->VGuides()->Count(), 1);
    EXPECT_EQ(page->VGuides()->Strings(0), QStringLiteral("50"));
    EXPECT_TRUE(model().Modified);
}

// The rubber band of the select tool selects what it meets.
TEST_F(Window, RubberBandSelectsTheMemosItMeets)
{
    open();
    auto* a = model().InsertObject(TzdMemoView::StaticClass(), 0, {20, 300, 60, 20});
    auto* b = model().InsertObject(TzdMemoView::StaticClass(), 0, {120, 300, 60, 20});
    model().InsertObject(TzdMemoView::StaticClass(), 0, {20, 500, 60, 20});
    form->syncFromModel();
    TDesignerWorkspace* ws = form->Workspace();
    QTest::mousePress(ws, Qt::LeftButton, Qt::ControlModifier, QPoint(10, 290));
    QTest::mouseMove(ws, QPoint(100, 320));
    QTest::mouseMove(ws, QPoint(200, 330));
    QTest::mouseRelease(ws, Qt::LeftButton, Qt::ControlModifier, QPoint(200, 330));
    std::vector<TzdComponent*> sel = model().Selection;
    std::sort(sel.begin(), sel.end());
    std::vector<TzdComponent*> want{a, b};
    std::sort(want.begin(), want.end());
    EXPECT_EQ(sel, want);
}

} // namespace

// ---------------------------------------------------------------- tool windows, code page and dialogs

TEST_F(Window, ToolWindowsHoldTheInspectorTheTreesAndTheCodePage)
{
    open();
    auto* inspector = dynamic_cast<TzdObjectInspector*>(child<QDockWidget>("ObjectInspector")->widget());
    ASSERT_NE(inspector, nullptr);
    EXPECT_NE(dynamic_cast<TzdDataTreeForm*>(child<QDockWidget>("DataTreeForm")->widget()), nullptr);
    EXPECT_NE(dynamic_cast<TzdReportTreeForm*>(child<QDockWidget>("ReportTreeForm")->widget()), nullptr);
    EXPECT_EQ(child("CodePage")->parentWidget(), child("CodePanel"));

    // The inspector follows the designer's selection.
    auto* memo = model().InsertObject(TzdMemoView::StaticClass(), 0, {20, 20, 100, 20});
    ASSERT_NE(memo, nullptr);
    model().SetSelection({memo});
    form->syncFromModel();
    const int row = inspector->FindRow(QStringLiteral("Name"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(inspector->RowValue(row), memo->Name());
}

// The script on the code page is the report's script when it is saved.
TEST_F(Window, TheCodePagesScriptIsSavedWithTheReport)
{
    report.FileName = path("script.zd3");
    open();
    auto* page = dynamic_cast<TzdCodePage*>(child("CodePage"));
    ASSERT_NE(page, nullptr);
    TzdSyntaxMemo* code = page->CodeWindow();
    form->PageTabs()->setCurrentIndex(0);
    code->setFocus();
    QTest::keyClicks(code, QStringLiteral("ShowMessage('Ahoj');"));
    // Typing enables Save.
    EXPECT_TRUE(form->findChild<QAction*>(QStringLiteral("SaveCmd"))->isEnabled());
    form->findChild<QAction*>(QStringLiteral("SaveCmd"))->trigger();
    TzdReport reloaded;
    ASSERT_TRUE(reloaded.LoadFromFile(path("script.zd3")));
    EXPECT_TRUE(reloaded.ScriptText()->Text().contains(QStringLiteral("ShowMessage('Ahoj');")));
}

// Each menu command opens its dialog; cancelled, the template stays as it was.
TEST_F(Window, MenuDialogsCancelledLeaveTheTemplateUnchanged)
{
    report.FileName = path("dialogs.zd3");
    open();
    auto* memo = model().InsertObject(TzdMemoView::StaticClass(), 0, {20, 20, 100, 20});
    ASSERT_NE(memo, nullptr);
    ASSERT_TRUE(model().Save(false));
    form->syncFromModel();
    QFile saved(path("dialogs.zd3"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray before = saved.readAll();
    saved.close();

    QStringList shown;
    plat::ScopedModalRunner cancel([&](QDialog& d) {
        shown << d.objectName();
        return int(QDialog::Rejected);
    });
    for (const char* name : {"NewItemCmd", "PageSettingsCmd", "ReportDataCmd", "VariablesCmd", "ReportStylesCmd",
                             "ReportOptionsCmd", "OptionsCmd", "AboutCmd"}) {
        const int count = int(shown.size());
        QAction* a = form->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
        EXPECT_EQ(int(shown.size()), count + 1) << name << " opened no dialog";
        EXPECT_FALSE(model().Modified) << name;
    }
    EXPECT_TRUE(messageBoxes().isEmpty());
    const QString copy = path("copy.zd3");
    report.SaveToFile(copy);
    QFile after(copy);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

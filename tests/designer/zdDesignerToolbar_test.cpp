// The designer model's toolbar update and status text, resetting inherited
// objects, the preview command, the template list, the designer's
// registration in the report core, and the hand and zoom tools' maths.

#include "ScriptedServices.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_options.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_shape.h"
#include "zdDMPClass.h"
#include "zdDataSets.h"
#include "zdDesignerModel.h"
#include "zdEditors.h"
#include "zdFormatting.h"
#include "zdUndo.h"
#include "TypeInfo.h"
#include "zdVariables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void startToolbarTestUnits()
{
    static const bool started = [] {
        zd::startReportUnit();
        zd::startDotMatrixUnit();
        zd::startDesignerEditorsUnit();
        return true;
    }();
    (void)started;
}

struct Toolbar : ::testing::Test {
    plat::ScriptedServices ui;
    plat::ScopedServices useUi{ui};
    TzdReport report;
    std::unique_ptr<zd::DesignerModel> d;

    Toolbar()
    {
        startToolbarTestUnits();
        report.EngineOptions()->NewSilentMode = simSilent;
        d = std::make_unique<zd::DesignerModel>(nullptr, &report);
        d->ReloadFromReport();
    }
    template <class T>
    T* add(TzdComponent* parent, const char* name)
    {
        auto* obj = new T(&report);
        obj->SetParent(parent);
        obj->SetName(QString::fromLatin1(name));
        return obj;
    }
    TzdComponent* obj(const char* name) { return report.FindObject(QString::fromLatin1(name)); }
    // Which of the rule groups' controls are enabled, as a string of 0 and 1.
    QString enabled()
    {
        d->RebuildObjects();
        return states();
    }
    QString states() const
    {
        QString s;
        for (const char* name : {"FontNameCB", "FontB", "TextAlignLeftB", "StyleCB", "FrameTopB", "FrameColorB",
                                 "FillColorB", "FillEditB", "ScaleCB"})
            s += d->IsControlEnabled(QString::fromLatin1(name)) ? u'1' : u'0';
        return s;
    }
};

// ---------------------------------------------------------------- toolbar update

TEST_F(Toolbar, TheControlsFollowTheSelection)
{
    auto* page = d->CurrentPage;
    auto* band = add<TzdMasterData>(page, "MasterData1");
    auto* memo = add<TzdMemoView>(band, "Memo1");
    auto* line = add<TzdLineView>(band, "Line1");
    auto* shape = add<TzdShapeView>(band, "Shape1");
    d->RebuildObjects();
    struct Case {
        const char* what;
        std::vector<TzdComponent*> selection;
        const char* states; // font, font button, align, style, sides, frame look, fill, fill edit, zoom
    };
    const Case cases[] = {
        {"a memo", {memo}, "111111111"},
        // Lines publish no font and no fill; bands no colour.
        {"a line", {line}, "000001101"},
        {"a shape", {shape}, "000001111"},
        {"a band", {band}, "110011011"},
        {"two lines", {line, shape}, "111111101"},
    };
    for (const Case& c : cases) {
        d->SetSelection(c.selection);
        EXPECT_EQ(states(), QString::fromLatin1(c.states)) << c.what;
    }
    EXPECT_TRUE(d->IsControlEnabled(QStringLiteral("SomethingElse")));
}

TEST_F(Toolbar, ADotMatrixPageTurnsOffFontsFrameLookAndStyles)
{
    TzdDMPPage* page = add<TzdDMPPage>(&report, "Page2");
    d->SelectPage(page);
    auto* band = add<TzdMasterData>(page, "MasterData1");
    auto* text = add<TzdDMPMemoView>(band, "DMPMemo1");
    d->RebuildObjects();
    d->SetSelection({text});
    // No font combos or frame colours; the font button opens the style menu.
    EXPECT_EQ(states(), QStringLiteral("011010001"));
    d->SetSelection({});
    EXPECT_EQ(states(), QStringLiteral("010000001")); // the page alone
}

TEST_F(Toolbar, TheCodePageAndDialogPagesHaveNoZoomOrTools)
{
    d->SelectTab(0);
    for (const char* name : {"ScaleCB", "HandTool", "ZoomTool", "TextTool", "FontNameCB"})
        EXPECT_FALSE(d->IsControlEnabled(QString::fromLatin1(name))) << name;
    d->NewDialog();
    EXPECT_FALSE(d->IsControlEnabled(QStringLiteral("ZoomTool")));
}

TEST_F(Toolbar, StatusPanelTwoDescribesTheOneSelectedObject)
{
    auto* dataset = new TzdUserDataSet(&report);
    dataset->SetUserName(QStringLiteral("Zaznamy"));
    auto* page = d->CurrentPage;
    auto* band = add<TzdMasterData>(page, "MasterData1");
    auto* text = add<TzdMemoView>(band, "Memo1");
    text->SetText(QString(200, u'x'));
    auto* bound = add<TzdMemoView>(band, "Memo2");
    bound->SetDataSet(dataset);
    bound->SetDataField(QStringLiteral("Kod"));
    auto* group = add<TzdGroupHeader>(page, "GroupHeader1");
    group->Condition = QStringLiteral("[Zaznamy.\"Kod\"]");
    auto* shape = add<TzdShapeView>(band, "Shape1");
    d->RebuildObjects();
    struct Case {
        std::vector<TzdComponent*> selection;
        QString text;
    };
    const Case cases[] = {
        {{text}, QStringLiteral("Memo1: ") + QString(128, u'x')},
        {{bound}, QStringLiteral("Memo2: Zaznamy.\"Kod\"")},
        {{group}, QStringLiteral("GroupHeader1: [Zaznamy.\"Kod\"]")},
        {{shape}, QStringLiteral("Shape1")},
        {{text, shape}, QString()},
    };
    for (const Case& c : cases) {
        d->SetSelection(c.selection);
        EXPECT_EQ(d->StatusObjectText(), c.text);
    }
    band->SetDataSet(dataset);
    d->SetSelection({band});
    EXPECT_EQ(d->StatusObjectText(), QStringLiteral("MasterData1: Zaznamy"));
}

TEST_F(Toolbar, TheTabPopupHoldsThePageCommands)
{
    EXPECT_EQ(zd::DesignerModel::TabPopupActions(),
              (QStringList{QStringLiteral("NewPageCmd"), QStringLiteral("NewDialogCmd"),
                           QStringLiteral("DeletePageCmd"), QStringLiteral("PageSettingsCmd")}));
}

TEST_F(Toolbar, FillColourOnADialogPagePaintsTheWorkspace)
{
    EXPECT_EQ(d->ShownWorkspaceColor(), d->WorkspaceColor);
    d->NewDialog();
    auto* page = dynamic_cast<TzdDialogPage*>(d->CurrentPage);
    ASSERT_TRUE(page);
    zd::FormatValues v;
    v.Color = 0x00FF00;
    EXPECT_TRUE(d->Format(26, v));
    EXPECT_EQ(page->Color, plat::TColor(0x00FF00));
    EXPECT_EQ(d->ShownWorkspaceColor(), plat::TColor(0x00FF00));
    d->SelectTab(2);
    EXPECT_EQ(d->ShownWorkspaceColor(), d->WorkspaceColor);
}

// ---------------------------------------------------------------- reset to parent

struct InheritedToolbar : Toolbar {
    QTemporaryDir dir;
    InheritedToolbar()
    {
        for (const char* name : {"parent.zd3", "inherited.zd3"})
            QFile::copy(QStringLiteral(SORVAMET_TEST_DATA "/sessions/") + QString::fromLatin1(name),
                        dir.filePath(QString::fromLatin1(name)));
        d.reset();
        EXPECT_TRUE(report.LoadFromFile(dir.filePath(QStringLiteral("inherited.zd3"))));
        d = std::make_unique<zd::DesignerModel>(nullptr, &report);
        d->ReloadFromReport();
    }
};

TEST_F(InheritedToolbar, ResetToParentBringsBackTheAncestorsValues)
{
    auto* footer = obj("PageFooter1");
    auto* memo = dynamic_cast<TzdMemoView*>(obj("Memo1"));
    ASSERT_TRUE(footer && memo);
    EXPECT_TRUE(d->ResetToParentVisible());
    footer->SetHeight(50);
    memo->SetLeft(5);
    memo->SetText(QStringLiteral("changed"));
    d->SetSelection({footer});
    ASSERT_TRUE(d->ResetToParentEnabled());
    const int undo = d->undoBuffer().UndoCount();

    EXPECT_EQ(d->ResetToParent(false), 1);
    EXPECT_NEAR(double(footer->Height()), 22.67718, 1e-5);
    EXPECT_EQ(obj("Memo1"), memo); // the children stay as they are
    EXPECT_EQ(double(memo->Left()), 5.0);
    EXPECT_TRUE(d->Modified);
    EXPECT_EQ(d->undoBuffer().UndoCount(), undo + 1);

    footer->SetHeight(50);
    EXPECT_EQ(d->ResetToParent(true), 1);
    EXPECT_NEAR(double(footer->Height()), 22.67718, 1e-5);
    auto* again = dynamic_cast<TzdMemoView*>(obj("Memo1"));
    ASSERT_TRUE(again);
    EXPECT_NEAR(double(again->Left()), 642.5201, 1e-4);
    EXPECT_EQ(again->Text().trimmed(), QStringLiteral("[Page#]"));
}

TEST_F(InheritedToolbar, OwnObjectsAreNotReset)
{
    d->NewPage();
    auto* own = d->InsertObject(TzdMemoView::StaticClass(), 0, {10, 10, 80, 20});
    ASSERT_TRUE(own);
    EXPECT_FALSE(d->ResetToParentEnabled());
    EXPECT_EQ(d->ResetToParent(true), 0);
}

TEST_F(Toolbar, ResetToParentIsHiddenForAReportOfItsOwn)
{
    auto* memo = d->InsertObject(TzdMemoView::StaticClass(), 0, {10, 10, 80, 20});
    memo->FromAncestor = true;
    d->SetSelection({memo});
    EXPECT_FALSE(d->ResetToParentVisible());
    EXPECT_FALSE(d->ResetToParentEnabled());
    EXPECT_EQ(d->ResetToParent(false), 0);
}

// ---------------------------------------------------------------- preview

TEST_F(Toolbar, PreviewPutsTheTemplateBackAsItWas)
{
    d->NewPage();
    const int shown = d->PageIndex();
    auto* memo = dynamic_cast<TzdMemoView*>(d->InsertObject(TzdMemoView::StaticClass(), 0, {10, 10, 80, 20}));
    ASSERT_TRUE(memo);
    memo->SetText(QStringLiteral("před"));
    d->SetModifiedFlag(true);
    report.PreviewOptions()->Modal = false;
    report.PreviewOptions()->MDIChild = true;
    report.Variables()->SetVariables(QStringLiteral("Cena"), plat::Variant(QStringLiteral("10")));
    const int undo = d->undoBuffer().UndoCount();
    bool ran = false;
    d->OnRunReport = [&](TzdReport* r) {
        ran = true;
        // The run shows modally in its own window.
        EXPECT_TRUE(r->PreviewOptions()->Modal);
        EXPECT_FALSE(r->PreviewOptions()->MDIChild);
        EXPECT_FALSE(r->EngineOptions()->DestroyForms);
        // What a script may do to the template while it runs.
        dynamic_cast<TzdMemoView*>(r->FindObject(QStringLiteral("Memo1")))->SetText(QStringLiteral("po"));
        r->FindObject(QStringLiteral("Memo1"))->SetLeft(300);
        r->Variables()->SetVariables(QStringLiteral("Cena"), plat::Variant(QStringLiteral("99")));
        throw std::runtime_error("the run failed");
    };
    ASSERT_TRUE(d->Preview());
    EXPECT_TRUE(ran);
    auto* after = dynamic_cast<TzdMemoView*>(obj("Memo1"));
    ASSERT_TRUE(after);
    EXPECT_EQ(after->Text().trimmed(), QStringLiteral("před"));
    EXPECT_EQ(double(after->Left()), 10.0);
    EXPECT_EQ(d->PageIndex(), shown);
    EXPECT_EQ(d->undoBuffer().UndoCount(), undo);
    EXPECT_FALSE(report.PreviewOptions()->Modal);
    EXPECT_TRUE(report.PreviewOptions()->MDIChild);
    EXPECT_TRUE(report.EngineOptions()->DestroyForms);
    EXPECT_EQ(report.Variables()->GetVariables(QStringLiteral("Cena")).toString(), QStringLiteral("10"));
    // The lists hold the reloaded objects, not the freed ones.
    EXPECT_NE(std::find(d->PageObjects.begin(), d->PageObjects.end(), after), d->PageObjects.end());
}

TEST_F(Toolbar, PreviewFromTheCodePageComesBackToIt)
{
    d->SelectTab(0);
    d->OnRunReport = [](TzdReport*) {};
    ASSERT_TRUE(d->Preview());
    EXPECT_EQ(d->CurrentTab(), 0);
    EXPECT_EQ(d->CurrentPage, nullptr);
}

TEST_F(Toolbar, AScriptThatDoesNotCompileShowsTheCodePageAtTheError)
{
    report.ScriptText()->SetText(QStringLiteral("begin\n  x := ;\nend."));
    bool ran = false;
    d->OnRunReport = [&](TzdReport*) { ran = true; };
    EXPECT_FALSE(d->Preview());
    EXPECT_FALSE(ran);
    EXPECT_EQ(d->CurrentTab(), 0);
    EXPECT_EQ(d->ErrorLine, 2);
    EXPECT_GE(d->ErrorColumn, 1);
    EXPECT_FALSE(d->Messages.isEmpty());
}

TEST_F(Toolbar, PreviewIsRefusedUnderItsRestriction)
{
    TzdDesigner host(nullptr);
    host.Restrictions = {drDontPreviewReport};
    bool ran = false;
    d->OnRunReport = [&](TzdReport*) { ran = true; };
    EXPECT_FALSE(d->Preview());
    EXPECT_FALSE(ran);
}

// ---------------------------------------------------------------- templates and registration

TEST_F(Toolbar, TheTemplateListScansTheFolderOrAsksTheHost)
{
    QTemporaryDir dir;
    for (const char* name : {"b.zd3", "a.zd3", "c.txt", "d.zd3.bak"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QDir().mkdir(dir.filePath(QStringLiteral("folder.zd3")));
    d->TemplateDir = QStringLiteral("  ") + dir.path() + QStringLiteral(" ");
    EXPECT_EQ(d->TemplateList(),
              (QStringList{dir.filePath(QStringLiteral("a.zd3")), dir.filePath(QStringLiteral("b.zd3"))}));

    TzdDesigner host(nullptr);
    host.OnGetTemplateList = [](QStringList& list) { list << QStringLiteral("/jinde/vzor.zd3"); };
    EXPECT_EQ(d->TemplateList(), QStringList{QStringLiteral("/jinde/vzor.zd3")});
}

TEST_F(Toolbar, TheDesignerUnitInstallsItsConstructor)
{
    const TzdDesignerClass saved = zdDesignerClass;
    zd::startDesignerUnit();
    ASSERT_NE(zdDesignerClass, nullptr);
    EXPECT_NE(plat::GetClass(QStringLiteral("TzdDesigner")), nullptr);
    TzdReport other;
    std::unique_ptr<TzdCustomDesigner> made(zdDesignerClass(nullptr, &other, false));
    auto* model = dynamic_cast<zd::DesignerModel*>(made.get());
    ASSERT_TRUE(model);
    EXPECT_EQ(model->TabCaptions().size(), 3); // code, data, Page1
    made.reset();

    static bool windowMade = false;
    zd::startDesignerUnit([](plat::TComponent*, zd::ReportDocument*, bool) -> TzdCustomDesigner* {
        windowMade = true;
        return nullptr;
    });
    EXPECT_EQ(zdDesignerClass(nullptr, &other, false), nullptr);
    EXPECT_TRUE(windowMade);
    zdDesignerClass = saved;
}

// ---------------------------------------------------------------- hand and zoom tools

struct HandZoomTools : Toolbar {
    zd::WorkspaceTools& ws() { return d->workspace(); }
    std::vector<std::pair<int, int>> scrolls;
    HandZoomTools()
    {
        ws().ScrollClientWidth = 416;
        ws().ScrollClientHeight = 316;
        ws().ScrollMaxX = 500;
        ws().ScrollMaxY = 800;
        ws().OnScroll = [this](int x, int y) { scrolls.emplace_back(x, y); };
    }
};

TEST_F(HandZoomTools, TheHandMovesTheContentWithThePointer)
{
    ws().ToolMode = zd::tmHand;
    ws().ScrollX = 100;
    ws().ScrollY = 100;
    // Workspace pixels: the pointer is at screen (50, 50) + scroll.
    ws().MouseDown(plat::mbLeft, {}, 150, 150);
    ws().MouseMove(150 - 30, 150 - 20, {}); // the pointer goes 30 left, 20 up
    EXPECT_EQ(ws().ScrollX, 130);
    EXPECT_EQ(ws().ScrollY, 120);
    // The workspace moved with the scroll: the same screen point is now
    // (50 - 30 + 130, 50 - 20 + 120).
    ws().MouseMove(20 + 130 - 10, 30 + 120, {});
    EXPECT_EQ(ws().ScrollX, 140);
    EXPECT_EQ(ws().ScrollY, 120);
    // Against the start: the axis stops at 0 and the pointer becomes its
    // reference, so that going back scrolls at once.
    ws().MouseMove(10 + 140 + 500, 30 + 120, {});
    EXPECT_EQ(ws().ScrollX, 0);
    ws().MouseMove(510 + 0 + 100, 30 + 120, {});
    EXPECT_EQ(ws().ScrollX, 0);
    ws().MouseMove(610 - 25 + 0, 30 + 120, {});
    EXPECT_EQ(ws().ScrollX, 25);
    ws().MouseUp(plat::mbLeft, {}, 585 + 25, 150);
    ASSERT_FALSE(scrolls.empty());
    EXPECT_EQ(scrolls.back(), std::make_pair(25, 120));
}

TEST(ZoomTool, RubberBandScale)
{
    struct Case {
        TzdExtRect band;
        double scale;
        int width, height;
        double expected;
    };
    const Case cases[] = {
        {{0, 0, 200, 100}, 1, 416, 316, 2},       // the width fills 400
        {{0, 0, 100, 200}, 1, 416, 316, 1.5},     // the height fills 300
        {{50, 50, 10, 10}, 2, 416, 316, 2 * 7.5}, // drawn backwards: 40 × 40
        {{0, 0, 200, 100}, 1, 10, 316, 1},        // no room: unchanged
    };
    for (const Case& c : cases)
        EXPECT_NEAR(double(zd::WorkspaceTools::RubberBandScale(c.band, c.scale, c.width, c.height)), c.expected,
                    1e-12);
}

TEST_F(HandZoomTools, ARubberBandZoomsOntoItsArea)
{
    auto* page = dynamic_cast<TzdReportPage*>(d->CurrentPage);
    ASSERT_TRUE(page);
    ws().ToolMode = zd::tmZoom;
    ws().MouseDown(plat::mbLeft, {}, 100, 40);
    ws().MouseMove(300, 140, {});
    ws().MouseUp(plat::mbLeft, {}, 300, 140);
    EXPECT_NEAR(double(d->Scale()), 2.0, 1e-12);
    EXPECT_NEAR(double(ws().Scale), 2.0, 1e-12);
    ASSERT_EQ(scrolls.size(), 1u);
    EXPECT_EQ(scrolls[0].first, int(std::nearbyint((100 + page->LeftMargin * 3.77953L) * 2)));
    EXPECT_EQ(scrolls[0].second, int(std::nearbyint((40 + page->TopMargin * 3.77953L) * 2)));
}

TEST_F(HandZoomTools, AZoomClickStepsAndCentresOnThePoint)
{
    auto* page = dynamic_cast<TzdReportPage*>(d->CurrentPage);
    ASSERT_TRUE(page);
    d->SetScale(0.5);
    ws().ToolMode = zd::tmZoom;
    ws().MouseDown(plat::mbLeft, {}, 600, 400);
    ws().MouseUp(plat::mbLeft, {}, 602, 402);
    EXPECT_NEAR(double(d->Scale()), 0.75, 1e-12);
    ASSERT_EQ(scrolls.size(), 1u);
    EXPECT_EQ(scrolls[0].first, int(std::nearbyint((600 / 0.5 + page->LeftMargin * 3.77953L) * 0.75 - 208)));
    EXPECT_EQ(scrolls[0].second, int(std::nearbyint((400 / 0.5 + page->TopMargin * 3.77953L) * 0.75 - 158)));

    // A sliver is a click, not an area to fill the view with.
    ws().MouseDown(plat::mbRight, {}, 10, 10);
    ws().MouseMove(400, 12, {});
    ws().MouseUp(plat::mbRight, {}, 400, 12);
    EXPECT_NEAR(double(d->Scale()), 0.5, 1e-12);

    d->SetScale(0.4L);
    scrolls.clear();
    ws().MouseDown(plat::mbRight, {}, 10, 10);
    ws().MouseUp(plat::mbRight, {}, 10, 10);
    EXPECT_NEAR(double(d->Scale()), 0.4, 1e-12); // nothing below 0.4
    EXPECT_TRUE(scrolls.empty());
}

TEST_F(HandZoomTools, TheZoomToolKeepsToTheZoomLimits)
{
    ws().ToolMode = zd::tmZoom;
    ws().ScrollClientWidth = 10016;
    ws().ScrollClientHeight = 10016;
    ws().MouseDown(plat::mbLeft, {}, 0, 0);
    ws().MouseMove(6, 6, {});
    ws().MouseUp(plat::mbLeft, {}, 6, 6);
    EXPECT_EQ(double(d->Scale()), 20.0);
}

} // namespace

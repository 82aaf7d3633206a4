#include "zdDock.h"

#include "EngineTestUtil.h"

#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

// A window with two dock sites beside its workspace and three tool windows.
struct DockHost {
    DockHost()
    {
        window.setObjectName("zdTestForm");
        window.resize(700, 500);
        auto* central = new QWidget(&window);
        auto* row = new QHBoxLayout(central);
        row->setContentsMargins(0, 0, 0, 0);
        left = new TzdDockSite(central, plat::alLeft);
        left->setObjectName("LeftDockSite2");
        right = new TzdDockSite(central, plat::alRight);
        right->setObjectName("RightDockSite");
        row->addWidget(left);
        row->addWidget(new QLabel("workspace"), 1);
        row->addWidget(right);
        window.setCentralWidget(central);
        for (const char* name : {"zdObjectInspector", "zdReportTreeForm", "zdDataTreeForm"}) {
            auto* tool = new QDockWidget(&window);
            tool->setObjectName(name);
            tool->setWidget(new QLabel(name));
            tool->resize(150, 200);
            zd::SetDockOwner(tool, &window);
            tools << tool;
        }
    }
    void show()
    {
        window.show();
        QTest::qWaitForWindowExposed(&window);
    }
    QMainWindow window;
    TzdDockSite* left;
    TzdDockSite* right;
    QList<QDockWidget*> tools;
};

// A main window with the designer's three text toolbars in its top bar.
struct BarHost {
    BarHost()
    {
        window.resize(900, 400);
        window.setCentralWidget(new QLabel("c"));
        for (const char* name : {"StandardTB", "TextTB", "FrameTB"}) {
            auto* bar = new QToolBar(&window);
            bar->setObjectName(name);
            bar->addAction(QString::fromLatin1(name));
            window.addToolBar(Qt::TopToolBarArea, bar);
            bars[name] = bar;
        }
    }
    QMainWindow window;
    std::map<std::string, QToolBar*> bars;
};

bool onSomeScreen(const QWidget& w)
{
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(w.frameGeometry()))
            return true;
    return false;
}

} // namespace

// ------------------------------------------------------------ forms

TEST(FormPosition, BoundsVisibilityAndDockSiteRoundTrip)
{
    enginetest::TempSettings file;
    QWidget form;
    form.setObjectName("zdVarEditorForm");
    form.move(50, 60);
    form.resize(300, 200);
    form.show();
    {
        auto ini = file.Open();
        zdSaveFormPosition(*ini, &form);
        ini->UpdateFile();
    }
    auto ini = file.Open();
    EXPECT_EQ(ini->ReadInteger("Form5.TzdVarEditorForm", "Width", 0), 300);
    EXPECT_EQ(ini->ReadString("Form5.TzdVarEditorForm", "Visible", ""), "1");
    EXPECT_EQ(ini->ReadString("Form5.TzdVarEditorForm", "Maximized", ""), "0");
    EXPECT_TRUE(ini->ValueExists("Form5.TzdVarEditorForm", "Dock5"));
    form.hide();
    form.move(10, 10);
    form.resize(100, 100);
    zdRestoreFormPosition(*ini, &form);
    EXPECT_EQ(form.pos(), QPoint(50, 60));
    EXPECT_EQ(form.size(), QSize(300, 200));
    EXPECT_TRUE(form.isVisible());

    ini->WriteString("Form5.TzdVarEditorForm", "Maximized", "1");
    ini->WriteString("Form5.TzdVarEditorForm", "Visible", "0");
    zdRestoreFormPosition(*ini, &form);
    EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(form.isVisible());
}

TEST(FormPosition, DamagedValuesLeaveTheWindowAsItIs)
{
    struct Case {
        const char* key;
        const char* value;
    };
    const Case cases[] = {{"Left", "abc"},      {"Width", "-5"},        {"Height", "0"},
                          {"Height", "99999999"}, {"Top", "2000000000"}, {"Maximized", "yes"},
                          {"Width", "1.5e3"}};
    for (const Case& c : cases) {
        enginetest::TempSettings file;
        auto ini = file.Open();
        ini->WriteString("Form5.TzdVarEditorForm", c.key, c.value);
        QWidget form;
        form.setObjectName("zdVarEditorForm");
        form.move(40, 30);
        form.resize(320, 240);
        zdRestoreFormPosition(*ini, &form);
        EXPECT_EQ(form.geometry().size(), QSize(320, 240)) << c.key << "=" << c.value;
        EXPECT_EQ(form.pos(), QPoint(40, 30)) << c.key << "=" << c.value;
        EXPECT_FALSE(form.windowState() & Qt::WindowMaximized);
    }
}

TEST(FormPosition, AWindowStoredOffEveryScreenComesBackOntoOne)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case {
        int left, top, width, height;
    };
    const Case cases[] = {{-5000, -5000, 300, 200},
                          {screen.right() + 100, 10, 300, 200},
                          {10, screen.bottom() + 500, 300, 200},
                          {-30000, 20000, 30000, 30000}};
    for (const Case& c : cases) {
        enginetest::TempSettings file;
        auto ini = file.Open();
        ini->WriteInteger("Form5.TzdVarEditorForm", "Left", c.left);
        ini->WriteInteger("Form5.TzdVarEditorForm", "Top", c.top);
        ini->WriteInteger("Form5.TzdVarEditorForm", "Width", c.width);
        ini->WriteInteger("Form5.TzdVarEditorForm", "Height", c.height);
        QWidget form;
        form.setObjectName("zdVarEditorForm");
        zdRestoreFormPosition(*ini, &form);
        // All of it but the frame, which the window only gets when shown.
        const QRect shown = screen.intersected(form.frameGeometry());
        EXPECT_GE(shown.width(), std::min(c.width, screen.width()) - 8) << c.left << "," << c.top;
        EXPECT_GE(shown.height(), std::min(c.height, screen.height()) - 8) << c.left << "," << c.top;
    }
    // A window partly on the screen stays where it was put.
    enginetest::TempSettings file;
    auto ini = file.Open();
    ini->WriteInteger("Form5.TzdVarEditorForm", "Left", screen.right() - 100);
    ini->WriteInteger("Form5.TzdVarEditorForm", "Top", 20);
    QWidget form;
    form.setObjectName("zdVarEditorForm");
    form.resize(300, 200);
    zdRestoreFormPosition(*ini, &form);
    EXPECT_EQ(form.x(), screen.right() - 100);
}

TEST(FormPosition, MDIChildKeepsItsBoundsAndTheDesignerItsVisibility)
{
    enginetest::TempSettings file;
    auto ini = file.Open();
    ini->WriteInteger("Form5.TzdChildForm", "Left", 70);
    ini->WriteInteger("Form5.TzdChildForm", "Width", 333);
    ini->WriteBool("Form5.TzdChildForm", "Maximized", true);
    ini->WriteBool("Form5.TzdDesignerForm", "Visible", false);
    QMdiArea area;
    auto* child = new QWidget;
    child->setObjectName("zdChildForm");
    child->resize(120, 80);
    QMdiSubWindow* sub = area.addSubWindow(child);
    zdRestoreFormPosition(*ini, child);
    EXPECT_NE(child->x(), 70);
    EXPECT_NE(child->width(), 333);
    EXPECT_FALSE(child->windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(sub->isMaximized());

    QWidget designer;
    designer.setObjectName("zdDesignerForm");
    designer.show();
    zdRestoreFormPosition(*ini, &designer);
    EXPECT_TRUE(designer.isVisible());
}

TEST(FormPosition, AToolWindowDocksByItsStoredSite)
{
    enginetest::TempSettings file;
    DockHost host;
    host.show();
    auto ini = file.Open();
    ini->WriteString("Form5.TzdObjectInspector", "Dock5", "LeftDockSite2");
    ini->WriteInteger("Form5.TzdObjectInspector", "Width", 159);
    zdRestoreFormPosition(*ini, host.tools[0]);
    EXPECT_EQ(host.tools[0]->parentWidget(), host.left);
    EXPECT_FALSE(host.tools[0]->isFloating());
    EXPECT_TRUE(host.left->Splitter()->isVisible());
    EXPECT_EQ(host.left->Thickness(), 159);

    zdSaveFormPosition(*ini, host.tools[0]);
    EXPECT_EQ(ini->ReadString("Form5.TzdObjectInspector", "Dock5", ""), "LeftDockSite2");
    host.tools[0]->setFloating(true);
    zdSaveFormPosition(*ini, host.tools[0]);
    EXPECT_EQ(ini->ReadString("Form5.TzdObjectInspector", "Dock5", "x"), "");

    // A name that is no site leaves it floating.
    ini->WriteString("Form5.TzdObjectInspector", "Dock5", "workspace");
    zdRestoreFormPosition(*ini, host.tools[0]);
    EXPECT_TRUE(host.tools[0]->isFloating());
}

// ------------------------------------------------------------ toolbars

TEST(ToolbarPosition, StoredRowsAndOrderComeBack)
{
    enginetest::TempSettings file;
    auto ini = file.Open();
    // The designer's default arrangement: one bar above two.
    const struct {
        const char* name;
        int left, top;
    } places[] = {{"FrameTB", 651, 27}, {"StandardTB", 0, 0}, {"TextTB", 0, 27}};
    BarHost host;
    for (const auto& p : places) {
        const QString section = QStringLiteral("ToolBar5.") + p.name;
        ini->WriteBool(section, "Float", false);
        ini->WriteInteger(section, "Left", p.left);
        ini->WriteInteger(section, "Top", p.top);
        ini->WriteString(section, "Dock5", "DockTop");
    }
    for (const auto& p : places)
        zdRestoreToolbarPosition(*ini, host.bars[p.name]);
    host.window.show();
    QTest::qWaitForWindowExposed(&host.window);
    QToolBar* standard = host.bars["StandardTB"];
    QToolBar* text = host.bars["TextTB"];
    QToolBar* frame = host.bars["FrameTB"];
    EXPECT_LT(standard->y(), text->y());
    EXPECT_EQ(text->y(), frame->y());
    EXPECT_LT(text->x(), frame->x());
    EXPECT_TRUE(text->isVisible());

    // Saved and read into a new window, the arrangement holds.
    for (const char* name : {"StandardTB", "TextTB", "FrameTB"})
        zdSaveToolbarPosition(*ini, host.bars[name]);
    EXPECT_EQ(ini->ReadString("ToolBar5.TextTB", "Dock5", ""), "DockTop");
    EXPECT_EQ(ini->ReadInteger("ToolBar5.StandardTB", "Top", -1), 0);
    EXPECT_GT(ini->ReadInteger("ToolBar5.TextTB", "Top", -1), 0);
    BarHost again;
    for (const char* name : {"TextTB", "FrameTB", "StandardTB"})
        zdRestoreToolbarPosition(*ini, again.bars[name]);
    again.window.show();
    QTest::qWaitForWindowExposed(&again.window);
    EXPECT_LT(again.bars["StandardTB"]->y(), again.bars["TextTB"]->y());
    EXPECT_EQ(again.bars["TextTB"]->y(), again.bars["FrameTB"]->y());
    EXPECT_LT(again.bars["TextTB"]->x(), again.bars["FrameTB"]->x());
}

TEST(ToolbarPosition, ControlBarFloatingAndVisibility)
{
    enginetest::TempSettings file;
    auto ini = file.Open();
    BarHost host;
    host.window.show();
    QToolBar* bar = host.bars["FrameTB"];
    ini->WriteString("ToolBar5.FrameTB", "Dock5", "DockBottom");
    zdRestoreToolbarPosition(*ini, bar);
    EXPECT_EQ(host.window.toolBarArea(bar), Qt::BottomToolBarArea);
    EXPECT_TRUE(bar->isVisible());

    // A name of no control bar keeps it where it is.
    ini->WriteString("ToolBar5.FrameTB", "Dock5", "StandardTB");
    ini->WriteBool("ToolBar5.FrameTB", "Visible", false);
    zdRestoreToolbarPosition(*ini, bar);
    EXPECT_EQ(host.window.toolBarArea(bar), Qt::BottomToolBarArea);
    EXPECT_FALSE(bar->isVisible());

    ini->WriteBool("ToolBar5.FrameTB", "Float", true);
    ini->WriteBool("ToolBar5.FrameTB", "Visible", true);
    ini->WriteInteger("ToolBar5.FrameTB", "Left", 120);
    ini->WriteInteger("ToolBar5.FrameTB", "Top", 90);
    ini->WriteInteger("ToolBar5.FrameTB", "Width", 200);
    ini->WriteInteger("ToolBar5.FrameTB", "Height", 27);
    zdRestoreToolbarPosition(*ini, bar);
    EXPECT_TRUE(bar->isFloating());
    EXPECT_EQ(bar->pos(), QPoint(120, 90));
    EXPECT_EQ(bar->width(), 200);
    zdSaveToolbarPosition(*ini, bar);
    EXPECT_EQ(ini->ReadString("ToolBar5.FrameTB", "Float", ""), "1");
    EXPECT_EQ(ini->ReadInteger("ToolBar5.FrameTB", "Left", 0), 120);

    // Docked again by name.
    ini->WriteBool("ToolBar5.FrameTB", "Float", false);
    ini->WriteString("ToolBar5.FrameTB", "Dock5", "DockTop");
    zdRestoreToolbarPosition(*ini, bar);
    EXPECT_FALSE(bar->isFloating());
    EXPECT_EQ(host.window.toolBarArea(bar), Qt::TopToolBarArea);

    // A floating bar stored off the screens comes back.
    ini->WriteBool("ToolBar5.FrameTB", "Float", true);
    ini->WriteInteger("ToolBar5.FrameTB", "Left", -9000);
    zdRestoreToolbarPosition(*ini, bar);
    EXPECT_TRUE(onSomeScreen(*bar));
}

// ------------------------------------------------------------ dock sites

TEST(DockSite, LayoutRoundTripBringsToolWindowsBack)
{
    enginetest::TempSettings file;
    DockHost host;
    host.show();
    host.left->ManualDock(host.tools[0]);
    host.left->ManualDock(host.tools[1]);
    host.left->SetThickness(170);
    host.left->SetSize(120);
    auto ini = file.Open();
    zdSaveDockSite(*ini, host.left);
    const QString hex = ini->ReadString("Dock5.LeftDockSite2", "Data2005", "");
    EXPECT_FALSE(hex.isEmpty());
    EXPECT_EQ(hex, hex.toUpper());
    EXPECT_EQ(ini->ReadInteger("Dock5.LeftDockSite2", "Width", 0), 170);
    EXPECT_EQ(ini->ReadInteger("Dock5.LeftDockSite2", "Size", 0), 120);

    // The user floats one tool window and moves the other to the right.
    host.tools[0]->setFloating(true);
    host.right->ManualDock(host.tools[1]);
    host.left->SetThickness(90);
    zdRestoreDockSite(*ini, host.left);
    EXPECT_FALSE(host.tools[0]->isFloating());
    EXPECT_EQ(host.tools[0]->parentWidget(), host.left);
    EXPECT_EQ(host.tools[1]->parentWidget(), host.left);
    EXPECT_EQ(host.left->DockClientCount(), 2);
    EXPECT_EQ(host.right->DockClientCount(), 0);
    EXPECT_EQ(host.left->Thickness(), 170);
    EXPECT_EQ(host.left->Size(), 120);
}

TEST(DockSite, DamagedLayoutLeavesTheDockingAsItIs)
{
    const char* damaged[] = {"ABC", "ZZ00", "000000FF0000", "000000ff00000000fd00000001ffffffff"};
    for (const char* value : damaged) {
        enginetest::TempSettings file;
        DockHost host;
        host.show();
        host.left->ManualDock(host.tools[0]);
        host.left->ManualDock(host.tools[1]);
        host.tools[1]->setFloating(true);
        auto ini = file.Open();
        ini->WriteString("Dock5.LeftDockSite2", "Data2005", value);
        ini->WriteString("Dock5.LeftDockSite2", "Width", "-3");
        const int thickness = host.left->Thickness();
        zdRestoreDockSite(*ini, host.left);
        EXPECT_FALSE(host.tools[0]->isFloating()) << value;
        EXPECT_TRUE(host.tools[1]->isFloating()) << value;
        EXPECT_EQ(host.left->Thickness(), thickness) << value;
        EXPECT_EQ(host.left->Size(), 100) << value; // the default
    }
}

TEST(DockSite, WithoutLayoutTheSiteKeepsItsToolWindowsAndTakesItsSize)
{
    enginetest::TempSettings file;
    DockHost host;
    host.show();
    host.right->ManualDock(host.tools[2]);
    auto ini = file.Open();
    ini->WriteInteger("Dock5.RightDockSite", "Width", 160);
    zdRestoreDockSite(*ini, host.right);
    EXPECT_EQ(host.tools[2]->parentWidget(), host.right);
    EXPECT_EQ(host.right->Thickness(), 160);
    EXPECT_EQ(host.right->Size(), 100);
}

TEST(DockSite, AHostFormAcceptsOnlyItsOwnToolWindows)
{
    DockHost host;
    host.show();
    host.left->SetHostForm(&host.window);
    QMainWindow other;
    auto* foreign = new QDockWidget(&other);
    foreign->setObjectName("zdWatchForm");
    other.addDockWidget(Qt::BottomDockWidgetArea, foreign);
    EXPECT_FALSE(host.left->DockOver(foreign));
    EXPECT_FALSE(host.left->DockDrop(foreign));
    EXPECT_EQ(foreign->parentWidget(), &other);

    host.tools[0]->resize(240, 200);
    EXPECT_TRUE(host.left->DockOver(host.tools[0]));
    EXPECT_EQ(host.left->DraggedPanelSize(), 240);
    EXPECT_TRUE(host.left->DockDrop(host.tools[0]));
    EXPECT_GE(host.left->Thickness(), 240);
    EXPECT_TRUE(host.left->Splitter()->isVisible());

    // Away to a site of another window: refused; floating: allowed, and the
    // empty site hides its splitter and shrinks away.
    TzdDockSite otherSite(&other);
    EXPECT_FALSE(host.left->Undock(host.tools[0], &otherSite));
    EXPECT_TRUE(host.left->Undock(host.tools[0], nullptr));
    EXPECT_TRUE(host.tools[0]->isFloating());
    EXPECT_FALSE(host.left->Splitter()->isVisible());
    EXPECT_EQ(host.left->Thickness(), 0);

    EXPECT_EQ(host.left->FindDockedControl("DataTree"), host.tools[2]);
    EXPECT_EQ(host.left->FindDockedControl("nothing"), nullptr);
}

TEST(DockSite, TheSplitterGripCollapsesAndRestoresAndTheBarResizes)
{
    DockHost host;
    host.show();
    host.left->ManualDock(host.tools[0]);
    host.left->SetThickness(150);
    QTest::qWait(1);
    TDockSplitter* splitter = host.left->Splitter();
    ASSERT_TRUE(splitter->isVisible());
    EXPECT_EQ(splitter->width(), 6);
    // Right of the site, the layout's spacing apart.
    EXPECT_GE(splitter->x(), host.left->x() + host.left->width());
    EXPECT_LE(splitter->x(), host.left->x() + host.left->width() + 10);
    const QPoint middle(3, splitter->height() / 2);
    EXPECT_TRUE(splitter->OnGrip(middle));
    EXPECT_FALSE(splitter->OnGrip(QPoint(3, splitter->height() / 2 + 20)));

    QTest::mouseClick(splitter, Qt::LeftButton, {}, middle);
    EXPECT_EQ(host.left->Thickness(), 0);
    EXPECT_EQ(host.left->Size(), 150);
    QTest::mouseClick(splitter, Qt::LeftButton, {}, middle);
    EXPECT_EQ(host.left->Thickness(), 150);

    QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(3, 5));
    QTest::mouseMove(splitter, QPoint(33, 5));
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(33, 5));
    EXPECT_EQ(host.left->Thickness(), 180);
}

TEST(DockSite, SplitterGripIsPaintedInTheMiddle)
{
    DockHost host;
    host.left->ManualDock(host.tools[0]);
    host.show();
    TDockSplitter* splitter = host.left->Splitter();
    const QImage image = splitter->grab().toImage();
    const int middle = splitter->height() / 2;
    EXPECT_EQ(image.pixelColor(0, middle - 14), plat::ToQColor(12636368));
    EXPECT_EQ(image.pixelColor(0, middle + 14), plat::ToQColor(12636368));
    EXPECT_NE(image.pixelColor(0, middle + 15), plat::ToQColor(12636368));
    EXPECT_EQ(image.pixelColor(2, middle - 9), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(3, middle - 8), plat::ToQColor(8421504));
}

// ------------------------------------------------------------ TzdTBPanel

TEST(ToolbarPanel, AlignsAcrossItsToolbarAndKeepsItsSize)
{
    QMainWindow window;
    auto* bar = new QToolBar(&window);
    window.addToolBar(bar);
    auto* panel = new TzdTBPanel;
    EXPECT_EQ(panel->size(), QSize(8, 8));
    EXPECT_TRUE(panel->autoFillBackground());
    panel->resize(35, 22);
    bar->addWidget(panel);
    EXPECT_EQ(panel->Align(), plat::alLeft);
    EXPECT_EQ(panel->sizeHint(), QSize(35, 22));
    bar->setOrientation(Qt::Vertical);
    EXPECT_EQ(panel->Align(), plat::alTop);
}

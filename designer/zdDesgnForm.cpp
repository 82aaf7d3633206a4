#include "zdDesgnForm.h"

#include "zdCodePage.h"
#include "zdDesignerDialogsQt.h"
#include "zdDsgnDialogs.h"
#include "zdStdWizard.h"

#include "Exceptions.h"
#include "Files.h"
#include "IniFiles.h"
#include "KeyStore.h"
#include "Modal.h"
#include "Services.h"
#include "StringList.h"
#include "zdClass.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDesgnCtrls.h"
#include "zdDesgnWorkspace.h"
#include "zdDesignerModel.h"
#include "zdDock.h"
#include "zdDsgnIntf.h"
#include "zdFormatting.h"
#include "zdReportWindows.h"
#include "zdRes.h"
#include "zdWorkspaceTools.h"
#include "zs_iinterpreter.h"

#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString kFormSection = QStringLiteral("Form5.TzdDesignerForm");
const QString kInspectorSection = QStringLiteral("Form5.TzdObjectInspector");
// Where the user's language choice is kept (the key is not created).
const QString kLanguageKey = QStringLiteral("\\Software\\Rure Viroraz\\Resources");

QString resText(const QString& Key) { return zdGetResources()->GetText(Key); }

// The tool windows other parts of the designer fill: name, class name
// (their settings section) and caption key.
struct ToolWindowDef {
    const char* name;
    const char* className;
    const char* captionKey;
};
constexpr ToolWindowDef kToolWindows[] = {
    {"ObjectInspector", "TzdObjectInspector", "2394"},
    {"DataTreeForm", "TzdDataTreeForm", "2395"},
    {"ReportTreeForm", "TzdReportTreeForm", "2396"},
};

// The band menu: caption key and tag (position in the band table, 100 more
// for vertical bands).
struct BandItemDef {
    const char* captionKey;
    int tag;
};
constexpr BandItemDef kBandItems[] = {
    {"2429", 0},  {"2430", 1},  {"2431", 2},  {"2432", 3},  {"2433", 4},  {"2434", 5},
    {"2435", 6},  {"2436", 7},  {"2437", 8},  {"2438", 9},  {"2439", 10}, {"2440", 11},
    {"2441", 12}, {"2442", 13}, {"2443", 14}, {"2444", 15}, {"2445", 16}, {"2446", 17},
};
constexpr BandItemDef kVerticalBandItems[] = {
    {"2448", 104}, {"2449", 105}, {"2450", 106}, {"2451", 107},
    {"2452", 108}, {"2453", 112}, {"2454", 113}, {"2455", 114},
};

// The zoom combo's fixed items; the last two are resource texts.
const char* const kZoomItems[] = {"25%", "50%", "75%", "100%", "150%", "200%"};

const char* const kFontSizes[] = {"5",  "6",  "7",  "8",  "9",  "10", "11", "12", "14", "16",
                                  "18", "20", "22", "24", "26", "28", "36", "48", "72"};
const char* const kFrameWidths[] = {"0.1", "0.5", "1", "1.5", "2", "3", "4", "5", "6", "7", "8", "9", "10"};

// The unit texts of status panel 0.
const char* const kUnitKeys[] = {"dsCm", "dsInch", "dsPix", "dsChars"};

// Scale from a settings file: 0 is 1, above 20 is 20; a hand-edited value
// that is negative or no finite number is 1 as well.
long double settingsScale(double Value)
{
    if (!std::isfinite(Value) || Value <= 0)
        return 1;
    return Value > 20 ? 20 : Value;
}

// The default grid steps: a stored 0 (or less) reads as the default.
double gridSetting(plat::TCustomIniFile& Ini, const char* Key, double Default)
{
    const double v = Ini.ReadFloat(kFormSection, QString::fromLatin1(Key), Default);
    return std::isfinite(v) && v > 0 ? v : Default;
}

bool isReportPage(TzdComponent* Page) { return dynamic_cast<TzdReportPage*>(Page) != nullptr; }

} // namespace

// ---------------------------------------------------------------- actions

struct TzdDesignerForm::ActionDef {
    const char* name;
    const char* menu; // "File", "Edit", "Report", "View", "Help"; nullptr: none
    const char* captionKey;
    QKeySequence shortcut;
    void (TzdDesignerForm::*handler)();
};

TzdDesignerForm::TzdDesignerForm(zd::DesignerModel* Model, QWidget* Parent, bool OwnsModel)
    : QMainWindow(Parent), m_model(Model)
{
    if (OwnsModel)
        m_ownedModel.reset(Model);
    setObjectName(QStringLiteral("zdDesignerForm"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(1057, 610);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(11);
    setFont(f);
    LanguageFolder = plat::ProgramFolder();

    createActions();
    createMenus();
    createToolbars();
    createPalette();
    createClientArea();
    createDocks();
    createStatusBar();
    createExtraTools();
    applyImages();

    zd::WorkspaceTools& ws = m_model->workspace();
    ws.ShowGuides = true;
    m_workspace->OnAfterChange = [this] { syncFromModel(); };
    m_workspace->OnBounds = [this](long double l, long double t, long double w, long double h) {
        showBounds(l, t, w, h);
    };
    m_model->ReloadFromReport();
    attachTools();
    Localize();
    syncFromModel();
}

TzdDesignerForm::~TzdDesignerForm()
{
    // The workspace's engine belongs to the model; the widgets go first.
    delete m_workspace;
    m_workspace = nullptr;
    // A modeless window owns its model: the report forgets it with it.
    if (m_ownedModel && m_ownedModel->report()->OpenDesigner == m_ownedModel.get())
        m_ownedModel->report()->OpenDesigner = nullptr;
}

void TzdDesignerForm::createActions()
{
    using F = TzdDesignerForm;
    static const ActionDef defs[] = {
        {"NewItemCmd", "File", "2418", {}, nullptr},
        {"NewReportCmd", "File", "2419", {}, nullptr},
        {"NewPageCmd", "File", "2420", {}, nullptr},
        {"NewDialogCmd", "File", "2421", {}, nullptr},
        {"OpenCmd", "File", "2422", QKeySequence(QStringLiteral("Ctrl+O")), nullptr},
        {"SaveCmd", "File", "2423", QKeySequence(QStringLiteral("Ctrl+S")), nullptr},
        {"SaveAsCmd", "File", "2424", {}, nullptr},
        {"PageSettingsCmd", "File", "2426", {}, nullptr},
        {"PreviewCmd", "File", "2427", QKeySequence(QStringLiteral("Ctrl+P")), nullptr},
        {"ExitCmd", "File", "2428", QKeySequence(QStringLiteral("Alt+X")), nullptr},
        {"UndoCmd", "Edit", "2405", QKeySequence(QStringLiteral("Ctrl+Z")), nullptr},
        {"RedoCmd", "Edit", "2406", {}, nullptr},
        {"CutCmd", "Edit", "2407", QKeySequence(QStringLiteral("Ctrl+X")), nullptr},
        {"CopyCmd", "Edit", "2408", QKeySequence(QStringLiteral("Ctrl+C")), nullptr},
        {"PasteCmd", "Edit", "2409", QKeySequence(QStringLiteral("Ctrl+V")), nullptr},
        {"DeleteCmd", "Edit", "2412", {}, nullptr},
        {"DeletePageCmd", "Edit", "2413", {}, nullptr},
        {"SelectAllCmd", "Edit", "2414", QKeySequence(QStringLiteral("Ctrl+A")), nullptr},
        {"GroupCmd", "Edit", "2410", {}, nullptr},
        {"UngroupCmd", "Edit", "2411", {}, nullptr},
        {"FindCmd", "Edit", "2380", QKeySequence(QStringLiteral("Ctrl+F")), nullptr},
        {"FindNextCmd", "Edit", "2381", QKeySequence(QStringLiteral("F3")), nullptr},
        {"BringToFrontCmd", "Edit", "2416", {}, nullptr},
        {"SendToBackCmd", "Edit", "2417", {}, nullptr},
        {"ReportDataCmd", "Report", "2384", {}, nullptr},
        {"VariablesCmd", "Report", "2425", {}, nullptr},
        {"ReportStylesCmd", "Report", "2386", {}, nullptr},
        {"ReportOptionsCmd", "Report", "2385", {}, nullptr},
        {"OptionsCmd", "View", "2400", {}, nullptr},
        {"HelpContentsCmd", "Help", "2402", QKeySequence(QStringLiteral("F1")), nullptr},
        {"AboutCmd", "Help", "2403", {}, nullptr},
        {"StandardTBCmd", "Toolbars", "2389", {}, nullptr},
        {"TextTBCmd", "Toolbars", "2390", {}, nullptr},
        {"FrameTBCmd", "Toolbars", "2391", {}, nullptr},
        {"AlignTBCmd", "Toolbars", "2392", {}, nullptr},
        {"ExtraToolsTBCmd", "Toolbars", "2393", {}, nullptr},
        {"InspectorTBCmd", "Toolbars", "2394", QKeySequence(QStringLiteral("F11")), nullptr},
        {"DataTreeTBCmd", "Toolbars", "2395", {}, nullptr},
        {"ReportTreeTBCmd", "Toolbars", "2396", {}, nullptr},
        {"ShowRulersCmd", "View", "2397", {}, nullptr},
        {"ShowGuidesCmd", "View", "2398", {}, nullptr},
        {"DeleteGuidesCmd", "View", "2399", {}, nullptr},
    };
    (void)sizeof(F*);
    zd::DesignerModel* m = m_model;
    const std::map<QString, std::function<void()>> handlers = {
        {QStringLiteral("NewReportCmd"), [m] { m->NewReport(); }},
        {QStringLiteral("NewPageCmd"), [m] { m->NewPage(); }},
        {QStringLiteral("NewDialogCmd"), [m] { m->NewDialog(); }},
        {QStringLiteral("OpenCmd"), [m] { m->Open(); }},
        {QStringLiteral("SaveCmd"), [this, m] { commitCode(); m->Save(false); }},
        {QStringLiteral("SaveAsCmd"), [this, m] { commitCode(); m->Save(true); }},
        {QStringLiteral("PreviewCmd"), [this] { previewCmd(); }},
        {QStringLiteral("NewItemCmd"), [this] { newItemCmd(); }},
        {QStringLiteral("PageSettingsCmd"), [this] { pageSettingsCmd(); }},
        {QStringLiteral("ReportDataCmd"), [this] { reportDataCmd(); }},
        {QStringLiteral("VariablesCmd"), [this] { variablesCmd(); }},
        {QStringLiteral("ReportStylesCmd"), [this] { reportStylesCmd(); }},
        {QStringLiteral("ReportOptionsCmd"), [this] { reportOptionsCmd(); }},
        {QStringLiteral("OptionsCmd"), [this] { optionsCmd(); }},
        {QStringLiteral("HelpContentsCmd"), [this] { helpCmd(); }},
        {QStringLiteral("AboutCmd"), [this] { aboutCmd(); }},
        {QStringLiteral("ExitCmd"), [this] { close(); }},
        {QStringLiteral("UndoCmd"), [m] { m->Undo(); }},
        {QStringLiteral("RedoCmd"), [m] { m->Redo(); }},
        {QStringLiteral("CutCmd"), [m] { m->Cut(); }},
        {QStringLiteral("CopyCmd"), [m] { m->Copy(); }},
        {QStringLiteral("PasteCmd"), [m] { m->Paste(); }},
        {QStringLiteral("DeleteCmd"), [m] { m->Delete(); }},
        {QStringLiteral("DeletePageCmd"), [m] { m->DeletePage(); }},
        {QStringLiteral("SelectAllCmd"), [m] { m->SelectAll(); }},
        {QStringLiteral("GroupCmd"), [m] { m->Group(); }},
        {QStringLiteral("UngroupCmd"), [m] { m->Ungroup(); }},
        {QStringLiteral("FindCmd"),
         [m] {
             QString text;
             if (plat::Services().InputQuery(resText(QStringLiteral("2380")), QString(), text) && !text.isEmpty())
                 m->Find(text, false);
         }},
        {QStringLiteral("FindNextCmd"), [m] { m->FindNext(); }},
        {QStringLiteral("BringToFrontCmd"), [m] { m->BringToFront(); }},
        {QStringLiteral("SendToBackCmd"), [m] { m->SendToBack(); }},
        {QStringLiteral("StandardTBCmd"), [this] { m_toolbars["StandardTB"]->setVisible(!m_toolbars["StandardTB"]->isVisible()); }},
        {QStringLiteral("TextTBCmd"), [this] { m_toolbars["TextTB"]->setVisible(!m_toolbars["TextTB"]->isVisible()); }},
        {QStringLiteral("FrameTBCmd"), [this] { m_toolbars["FrameTB"]->setVisible(!m_toolbars["FrameTB"]->isVisible()); }},
        {QStringLiteral("AlignTBCmd"), [this] { m_toolbars["AlignTB"]->setVisible(!m_toolbars["AlignTB"]->isVisible()); }},
        {QStringLiteral("ExtraToolsTBCmd"), [this] { m_toolbars["ExtraToolsTB"]->setVisible(!m_toolbars["ExtraToolsTB"]->isVisible()); }},
        {QStringLiteral("InspectorTBCmd"), [this] { auto* d = m_toolWindows["ObjectInspector"]; d->setVisible(!d->isVisible()); }},
        {QStringLiteral("DataTreeTBCmd"), [this] { auto* d = m_toolWindows["DataTreeForm"]; d->setVisible(!d->isVisible()); }},
        {QStringLiteral("ReportTreeTBCmd"), [this] { auto* d = m_toolWindows["ReportTreeForm"]; d->setVisible(!d->isVisible()); }},
        {QStringLiteral("ShowRulersCmd"), [this] { SetShowRulers(!m_showRulers); }},
        {QStringLiteral("ShowGuidesCmd"), [this] { SetShowGuides(!ShowGuides()); }},
        {QStringLiteral("DeleteGuidesCmd"), [m] { m->DeleteGuides(); }},
    };
    for (const ActionDef& d : defs) {
        auto* a = new QAction(this);
        const QString name = QString::fromLatin1(d.name);
        a->setObjectName(name);
        a->setProperty("captionKey", QString::fromLatin1(d.captionKey));
        a->setProperty("menu", QString::fromLatin1(d.menu));
        if (!d.shortcut.isEmpty()) {
            a->setShortcut(d.shortcut);
            a->setShortcutContext(Qt::WindowShortcut);
        }
        const auto it = handlers.find(name);
        if (it != handlers.end()) {
            std::function<void()> fn = it->second;
            connect(a, &QAction::triggered, this, [this, fn] { runCommand(fn); });
        }
        addAction(a);
        m_actions[name] = a;
    }
    for (const char* n : {"ShowRulersCmd", "ShowGuidesCmd"})
        m_actions[QString::fromLatin1(n)]->setCheckable(true);
}

void TzdDesignerForm::createMenus()
{
    struct MenuDef {
        const char* name;
        const char* key;
    };
    const MenuDef menus[] = {{"File", "2378"}, {"Edit", "2379"}, {"Report", "2383"}, {"View", "2387"},
                             {"Help", "2401"}};
    for (const MenuDef& md : menus) {
        QMenu* menu = menuBar()->addMenu(QString());
        menu->setObjectName(QString::fromLatin1(md.name) + QStringLiteral("Menu"));
        menu->setProperty("captionKey", QString::fromLatin1(md.key));
        m_menus[QString::fromLatin1(md.name)] = menu;
    }
    QMenu* toolbars = new QMenu(this);
    toolbars->setObjectName(QStringLiteral("ToolbarsMenu"));
    toolbars->setProperty("captionKey", QStringLiteral("2388"));
    m_menus[QStringLiteral("Toolbars")] = toolbars;
    auto add = [&](const char* menu, const char* action) {
        m_menus[QString::fromLatin1(menu)]->addAction(m_actions[QString::fromLatin1(action)]);
    };
    for (const char* a : {"NewItemCmd", "NewReportCmd", "NewPageCmd", "NewDialogCmd"})
        add("File", a);
    m_menus["File"]->addSeparator();
    for (const char* a : {"OpenCmd", "SaveCmd", "SaveAsCmd"})
        add("File", a);
    m_menus["File"]->addSeparator();
    add("File", "PageSettingsCmd");
    add("File", "PreviewCmd");
    m_menus["File"]->addSeparator();
    add("File", "ExitCmd");
    for (const char* a : {"UndoCmd", "RedoCmd"})
        add("Edit", a);
    m_menus["Edit"]->addSeparator();
    for (const char* a : {"CutCmd", "CopyCmd", "PasteCmd", "DeleteCmd", "DeletePageCmd", "SelectAllCmd", "GroupCmd",
                          "UngroupCmd"})
        add("Edit", a);
    m_menus["Edit"]->addSeparator();
    for (const char* a : {"FindCmd", "FindNextCmd"})
        add("Edit", a);
    m_menus["Edit"]->addSeparator();
    for (const char* a : {"BringToFrontCmd", "SendToBackCmd"})
        add("Edit", a);
    for (const char* a : {"StandardTBCmd", "TextTBCmd", "FrameTBCmd", "AlignTBCmd", "ExtraToolsTBCmd", "InspectorTBCmd",
                          "DataTreeTBCmd", "ReportTreeTBCmd"})
        add("Toolbars", a);
    m_menus["View"]->addMenu(toolbars);
    m_menus["View"]->addSeparator();
    for (const char* a : {"ShowRulersCmd", "ShowGuidesCmd", "DeleteGuidesCmd"})
        add("View", a);
    // The language menu: one radio item per language file beside the program.
    const QStringList languages = zdGetResources()->Languages();
    if (!languages.isEmpty()) {
        m_menus["View"]->addSeparator();
        m_languageMenu = m_menus["View"]->addMenu(QString());
        m_languageMenu->setObjectName(QStringLiteral("LanguageMenu"));
        m_languageMenu->setProperty("captionKey", QStringLiteral("2475"));
        auto* group = new QActionGroup(m_languageMenu);
        QString chosen;
        try {
            plat::KeyStore store;
            if (store.OpenKeyReadOnly(kLanguageKey))
                chosen = store.ReadString(QStringLiteral("Language"));
        } catch (const std::exception&) {
        }
        for (const QString& name : languages) {
            QAction* a = m_languageMenu->addAction(name);
            a->setCheckable(true);
            a->setChecked(!chosen.isEmpty() && name.compare(chosen, Qt::CaseInsensitive) == 0);
            group->addAction(a);
            connect(a, &QAction::triggered, this, [this, name] { ChooseLanguage(name); });
        }
    }
    for (const char* a : {"ReportDataCmd", "VariablesCmd", "ReportStylesCmd", "ReportOptionsCmd"})
        add("Report", a);
    m_menus["View"]->addSeparator();
    add("View", "OptionsCmd");
    add("Help", "HelpContentsCmd");
    add("Help", "AboutCmd");

    m_pagePopup = new QMenu(this);
    m_pagePopup->setObjectName(QStringLiteral("PagePopup"));
    for (const char* a : {"CutCmd", "CopyCmd", "PasteCmd", "DeleteCmd", "SelectAllCmd"})
        m_pagePopup->addAction(m_actions[QString::fromLatin1(a)]);
    m_pagePopup->addSeparator();
    for (const char* a : {"BringToFrontCmd", "SendToBackCmd"})
        m_pagePopup->addAction(m_actions[QString::fromLatin1(a)]);
}

QToolButton* TzdDesignerForm::addButton(QToolBar* Bar, const QString& Name, const QString& HintKey,
                                        std::function<void()> Click, bool Checkable)
{
    auto* b = new QToolButton(Bar);
    b->setObjectName(Name);
    b->setCheckable(Checkable);
    b->setAutoRaise(true);
    if (Click)
        connect(b, &QToolButton::clicked, this, [this, Click] { runCommand(Click); });
    Bar->addWidget(b);
    if (!HintKey.isEmpty())
        m_hints.emplace_back(b, HintKey);
    return b;
}

QToolButton* TzdDesignerForm::addActionButton(QToolBar* Bar, const QString& Name, const QString& ActionName,
                                              const QString& HintKey)
{
    auto* b = new QToolButton(Bar);
    b->setObjectName(Name);
    b->setAutoRaise(true);
    b->setDefaultAction(m_actions[ActionName]);
    Bar->addWidget(b);
    m_hints.emplace_back(b, HintKey);
    return b;
}

void TzdDesignerForm::createToolbars()
{
    auto bar = [&](const char* name, const char* key, Qt::ToolBarArea area = Qt::TopToolBarArea) {
        auto* tb = new QToolBar(this);
        tb->setObjectName(QString::fromLatin1(name));
        tb->setProperty("captionKey", QString::fromLatin1(key));
        tb->setIconSize(QSize(16, 16));
        addToolBar(area, tb);
        m_toolbars[QString::fromLatin1(name)] = tb;
        return tb;
    };
    QToolBar* standard = bar("StandardTB", "2349");
    const std::pair<const char*, const char*> standardButtons[] = {
        {"NewB", "NewReportCmd"},       {"OpenB", "OpenCmd"},          {"SaveB", "SaveCmd"},
        {"PreviewB", "PreviewCmd"},     {"NewPageB", "NewPageCmd"},    {"NewDialogB", "NewDialogCmd"},
        {"DeletePageB", "DeletePageCmd"}, {"PageSettingsB", "PageSettingsCmd"}, {"CutB", "CutCmd"}, {"CopyB", "CopyCmd"},
        {"PasteB", "PasteCmd"},         {"UndoB", "UndoCmd"},          {"RedoB", "RedoCmd"},
        {"GroupB", "GroupCmd"},         {"UngroupB", "UngroupCmd"}};
    const char* const standardHints[] = {"2350", "2351", "2352", "2353", "2354", "2355", "2356", "2357",
                                         "2359", "2360", "2361", "2363", "2364", "2365", "2366"};
    int i = 0;
    for (const auto& [button, action] : standardButtons)
        addActionButton(standard, QString::fromLatin1(button), QString::fromLatin1(action),
                        QString::fromLatin1(standardHints[i++]));
    m_scaleCB = new QComboBox(standard);
    m_scaleCB->setObjectName(QStringLiteral("ScaleCB"));
    m_scaleCB->setEditable(true);
    m_scaleCB->setInsertPolicy(QComboBox::NoInsert);
    standard->addWidget(m_scaleCB);
    m_hints.emplace_back(m_scaleCB, QStringLiteral("2370"));
    connect(m_scaleCB, &QComboBox::textActivated, this, [this](const QString& t) { applyZoomText(t); });

    QToolBar* text = bar("TextTB", "2320");
    addToolBarBreak(Qt::TopToolBarArea);
    insertToolBarBreak(text);
    createTextButtons(text);
    createFrameButtons(bar("FrameTB", "2337"));

    QToolBar* align = bar("AlignTB", "2307");
    addButton(align, QStringLiteral("ShowGridB"), QStringLiteral("2367"), [this] { SetShowGrid(!m_showGrid); }, true);
    addButton(align, QStringLiteral("AlignToGridB"), QStringLiteral("2368"), [this] { SetGridAlign(!GridAlign()); },
              true);
    addButton(align, QStringLiteral("SetToGridB"), QStringLiteral("2369"), [this] { m_model->SetToGrid(); });
    const std::pair<const char*, zd::AlignCommand> alignButtons[] = {
        {"AlignLeftsB", zd::acLefts},         {"AlignHorzCentersB", zd::acHorzCenters},
        {"AlignRightsB", zd::acRights},       {"AlignTopsB", zd::acTops},
        {"AlignVertCentersB", zd::acVertCenters}, {"AlignBottomsB", zd::acBottoms},
        {"SpaceHorzB", zd::acSpaceHorz},      {"SpaceVertB", zd::acSpaceVert},
        {"CenterHorzB", zd::acCenterHorz},    {"CenterVertB", zd::acCenterVert},
        {"SameWidthB", zd::acSameWidth},      {"SameHeightB", zd::acSameHeight}};
    int hint = 2308;
    for (const auto& [name, command] : alignButtons) {
        const zd::AlignCommand c = command;
        addButton(align, QString::fromLatin1(name), QString::number(hint++), [this, c] { m_model->Align(c); });
    }
    QToolBar* extra = bar("ExtraToolsTB", "2371");
    extra->hide();
    for (auto& [name, tb] : m_toolbars)
        tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
}

namespace {

struct TagButton {
    const char* name;
    int tag;
    const char* hint;
    bool check;
};

constexpr TagButton kFontButtons[] = {
    {"BoldB", 2, "2324", true}, {"ItalicB", 3, "2325", true}, {"UnderlineB", 4, "2326", true}};
constexpr TagButton kTextAlignButtons[] = {
    {"TextAlignLeftB", 7, "2330", true},    {"TextAlignCenterB", 8, "2331", true},
    {"TextAlignRightB", 9, "2332", true},   {"TextAlignBlockB", 10, "2333", true},
    {"TextAlignTopB", 11, "2334", true},    {"TextAlignMiddleB", 12, "2335", true},
    {"TextAlignBottomB", 13, "2336", true}};
constexpr TagButton kFrameButtons[] = {{"FrameTopB", 20, "2338", true},  {"FrameBottomB", 21, "2339", true},
                                       {"FrameLeftB", 22, "2340", true}, {"FrameRightB", 23, "2341", true},
                                       {"FrameAllB", 24, "2342", false}, {"FrameNoB", 25, "2343", false}};

// The rotation menu: caption key and angle.
struct RotationItem {
    const char* captionKey;
    int angle;
};
constexpr RotationItem kRotations[] = {{"2456", 0}, {"2457", 45}, {"2458", 90}, {"2459", 180}, {"2460", 270}};

// The colour buttons: name, tag, hint key and their index in the window's
// colour state (font, fill, frame).
struct ColorButtonDef {
    const char* name;
    int tag;
    const char* hint;
    const char* menu;
};
constexpr ColorButtonDef kColorButtons[] = {{"FontColorB", 5, "2327", "FontColorPopupMenu"},
                                            {"FillColorB", 26, "2345", "FillColorPopupMenu"},
                                            {"FrameColorB", 27, "2346", "FrameColorPopupMenu"}};

QComboBox* editCombo(QToolBar* Bar, const char* Name)
{
    auto* cb = new QComboBox(Bar);
    cb->setObjectName(QString::fromLatin1(Name));
    cb->setEditable(true);
    cb->setInsertPolicy(QComboBox::NoInsert);
    Bar->addWidget(cb);
    return cb;
}

} // namespace

void TzdDesignerForm::createTextButtons(QToolBar* Bar)
{
    auto tagButton = [&](const TagButton& t) {
        const int tag = t.tag;
        QToolButton* btn = addButton(Bar, QString::fromLatin1(t.name), QString::fromLatin1(t.hint), nullptr, t.check);
        connect(btn, &QToolButton::clicked, this, [this, tag](bool down) { formatTag(tag, down); });
        btn->setProperty("tag", tag);
        return btn;
    };
    m_styleCB = new QComboBox(Bar);
    m_styleCB->setObjectName(QStringLiteral("StyleCB"));
    m_styleCB->setMinimumWidth(110);
    Bar->addWidget(m_styleCB);
    m_hints.emplace_back(m_styleCB, QStringLiteral("2321"));
    connect(m_styleCB, &QComboBox::activated, this, [this](int index) {
        const QString style = index <= 0 ? QString() : m_styleCB->itemText(index);
        formatTag(33, false, [&](zd::FormatValues& v) { v.Style = style; });
    });
    m_fontNameCB = editCombo(Bar, "FontNameCB");
    m_fontNameCB->addItems({QStringLiteral("Arial"), QStringLiteral("Courier New"), QStringLiteral("Tahoma"),
                            QStringLiteral("Times New Roman")});
    m_fontNameCB->setMinimumWidth(120);
    m_hints.emplace_back(m_fontNameCB, QStringLiteral("2322"));
    connect(m_fontNameCB, &QComboBox::textActivated, this, [this] { formatTag(0, false); });
    m_fontSizeCB = editCombo(Bar, "FontSizeCB");
    for (const char* s : kFontSizes)
        m_fontSizeCB->addItem(QString::fromLatin1(s));
    m_fontSizeCB->setMaxVisibleItems(int(std::size(kFontSizes)));
    m_hints.emplace_back(m_fontSizeCB, QStringLiteral("2323"));
    connect(m_fontSizeCB, &QComboBox::textActivated, this, [this] { formatTag(1, false); });
    for (const TagButton& t : kFontButtons)
        tagButton(t);
    addButton(Bar, QStringLiteral("FontB"), QStringLiteral("2461"), [this] { fontCmd(); })->setProperty("tag", 43);

    auto* fontColor = new TzdDropDownButton(Bar);
    m_colorButtons[0] = fontColor;
    Bar->addWidget(fontColor);
    addButton(Bar, QStringLiteral("HighlightB"), QStringLiteral("2328"), [this] { highlightCmd(); });
    QToolButton* rotate = addButton(Bar, QStringLiteral("RotateB"), QStringLiteral("2329"), nullptr);
    m_rotationPopup = new QMenu(this);
    m_rotationPopup->setObjectName(QStringLiteral("RotationPopup"));
    for (const RotationItem& r : kRotations) {
        QAction* a = m_rotationPopup->addAction(QString());
        a->setObjectName(QStringLiteral("Rotation") + QString::number(r.angle));
        a->setProperty("captionKey", QString::fromLatin1(r.captionKey));
        a->setData(r.angle);
        const int angle = r.angle;
        connect(a, &QAction::triggered, this,
                [this, angle] { formatTag(30, false, [angle](zd::FormatValues& v) { v.Rotation = angle; }); });
    }
    rotate->setMenu(m_rotationPopup);
    rotate->setPopupMode(QToolButton::InstantPopup);

    auto* hGroup = new QButtonGroup(this);
    auto* vGroup = new QButtonGroup(this);
    for (const TagButton& t : kTextAlignButtons)
        (t.tag <= 10 ? hGroup : vGroup)->addButton(tagButton(t));
}

void TzdDesignerForm::createFrameButtons(QToolBar* Bar)
{
    for (const TagButton& t : kFrameButtons) {
        const int tag = t.tag;
        QToolButton* btn = addButton(Bar, QString::fromLatin1(t.name), QString::fromLatin1(t.hint), nullptr, t.check);
        connect(btn, &QToolButton::clicked, this, [this, tag](bool down) { formatTag(tag, down); });
        btn->setProperty("tag", tag);
    }
    addButton(Bar, QStringLiteral("FrameEditB"), QStringLiteral("2344"), [this] { frameEditCmd(); })
        ->setProperty("tag", 32);
    auto* fill = new TzdDropDownButton(Bar);
    m_colorButtons[1] = fill;
    Bar->addWidget(fill);
    addButton(Bar, QStringLiteral("FillEditB"), QStringLiteral("2479"), [this] { fillEditCmd(); })
        ->setProperty("tag", 44);
    auto* frameColor = new TzdDropDownButton(Bar);
    m_colorButtons[2] = frameColor;
    Bar->addWidget(frameColor);
    addButton(Bar, QStringLiteral("FrameStyleB"), QStringLiteral("2347"), [this] { frameStyleCmd(); })
        ->setProperty("tag", 28);
    m_frameWidthCB = editCombo(Bar, "FrameWidthCB");
    for (const char* s : kFrameWidths)
        m_frameWidthCB->addItem(QString::fromLatin1(s));
    m_hints.emplace_back(m_frameWidthCB, QStringLiteral("2348"));
    connect(m_frameWidthCB, &QComboBox::textActivated, this, [this] { formatTag(29, false); });

    // The colour buttons: a click applies the button's last colour, the
    // arrow opens the colour picker.
    for (int i = 0; i < 3; ++i) {
        const ColorButtonDef& d = kColorButtons[i];
        TzdDropDownButton* b = m_colorButtons[i];
        b->setObjectName(QString::fromLatin1(d.name));
        b->setAutoRaise(true);
        b->setProperty("tag", d.tag);
        m_hints.emplace_back(b, QString::fromLatin1(d.hint));
        const int tag = d.tag;
        connect(b, &QToolButton::clicked, this, [this, tag] {
            const plat::TColor c = LastColor(tag);
            formatTag(tag, false, [c](zd::FormatValues& v) { v.Color = c; });
        });
        b->OnDropDown = [this, tag] { OpenColorSelector(tag); };
        // The menu gives the button its arrow part; the arrow opens the
        // picker instead of it.
        auto* menu = new QMenu(this);
        menu->setObjectName(QString::fromLatin1(d.menu));
        b->setMenu(menu);
    }
}

void TzdDesignerForm::createPalette()
{
    auto* palette = new QToolBar(this);
    palette->setObjectName(QStringLiteral("ObjectsTB1"));
    palette->setOrientation(Qt::Vertical);
    palette->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addToolBar(Qt::LeftToolBarArea, palette);
    m_toolbars[QStringLiteral("ObjectsTB1")] = palette;
    m_paletteGroup = new QButtonGroup(this);
    m_paletteGroup->setExclusive(true);
    const std::pair<const char*, const char*> tools[] = {
        {"SelectToolB", "2372"}, {"HandToolB", "2373"}, {"ZoomToolB", "2374"}, {"TextToolB", "2375"},
        {"FormatToolB", "2376"}};
    int id = 0;
    for (const auto& [name, key] : tools) {
        const int tool = id;
        QToolButton* b = addButton(palette, QString::fromLatin1(name), QString::fromLatin1(key),
                                   [this, tool] { SetTool(tool); }, true);
        m_paletteGroup->addButton(b, id++);
    }
    m_paletteGroup->button(0)->setChecked(true);
    m_bandButton = addButton(palette, QStringLiteral("BandsB"), QStringLiteral("2377"), [this] { showBandsMenu(); });
    m_bandsPopup = new QMenu(this);
    m_bandsPopup->setObjectName(QStringLiteral("BandsPopup"));
    auto bandItem = [this](QMenu* menu, const BandItemDef& d) {
        QAction* a = menu->addAction(QString());
        a->setObjectName(QStringLiteral("BandItem") + QString::number(d.tag));
        a->setProperty("captionKey", QString::fromLatin1(d.captionKey));
        const int tag = d.tag;
        connect(a, &QAction::triggered, this, [this, tag] {
            runCommand([this, tag] {
                SetTool(0);
                m_model->InsertBand(tag);
            });
        });
    };
    for (const BandItemDef& d : kBandItems)
        bandItem(m_bandsPopup, d);
    QMenu* vertical = m_bandsPopup->addMenu(QString());
    vertical->setObjectName(QStringLiteral("VerticalBandsMenu"));
    vertical->setProperty("captionKey", QStringLiteral("2447"));
    for (const BandItemDef& d : kVerticalBandItems)
        bandItem(vertical, d);

    m_objectsPopup = new QMenu(this);
    m_objectsPopup->setObjectName(QStringLiteral("ObjectsPopup"));
    // One button per object item without a category, then one per category
    // that some object item names.
    TzdObjectCollection* registry = zdGetObjectRegistry();
    for (int item = 0; item < registry->Count(); ++item) {
        const TzdObjectItem& o = registry->GetItem(item);
        if (!o.ClassRef && !o.CategoryName.isEmpty()) {
            bool used = false;
            for (int j = 0; j < registry->Count() && !used; ++j)
                used = registry->GetItem(j).ClassRef && registry->GetItem(j).CategoryName == o.CategoryName;
            if (!used)
                continue;
            const QString category = o.CategoryName;
            QToolButton* b = addButton(palette, QStringLiteral("Cat_") + category, QString(),
                                       [this, category] { showCategoryMenu(category); });
            m_objectButtons.emplace_back(b, item);
            continue;
        }
        if (!o.ClassRef || !o.CategoryName.isEmpty())
            continue;
        QString name = QStringLiteral("Obj_") + o.ClassRef->ClassName();
        if (palette->findChild<QToolButton*>(name))
            name += u'_' + QString::number(item);
        const int index = item;
        QToolButton* b = addButton(palette, name, QString(), [this, index] { objectButtonClicked(index); }, true);
        m_paletteGroup->addButton(b, 100 + item);
        m_objectButtons.emplace_back(b, item);
    }
}

void TzdDesignerForm::createClientArea()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralPanel"));
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    m_leftDockSite1 = new TzdDockSite(central, plat::alLeft);
    m_leftDockSite1->setObjectName(QStringLiteral("LeftDockSite1"));
    m_leftDockSite2 = new TzdDockSite(central, plat::alLeft);
    m_leftDockSite2->setObjectName(QStringLiteral("LeftDockSite2"));
    m_rightDockSite = new TzdDockSite(central, plat::alRight);
    m_rightDockSite->setObjectName(QStringLiteral("RightDockSite"));
    for (TzdDockSite* s : {m_leftDockSite1, m_leftDockSite2, m_rightDockSite})
        s->SetHostForm(this);

    auto* back = new QWidget(central);
    back->setObjectName(QStringLiteral("BackPanel"));
    auto* backLayout = new QVBoxLayout(back);
    backLayout->setContentsMargins(0, 0, 0, 0);
    backLayout->setSpacing(0);
    auto* tabPanel = new QWidget(back);
    tabPanel->setObjectName(QStringLiteral("TabPanel"));
    auto* tabLayout = new QHBoxLayout(tabPanel);
    tabLayout->setContentsMargins(0, 0, 0, 0);
    m_tabs = new QTabBar(tabPanel);
    m_tabs->setObjectName(QStringLiteral("PageTabs"));
    m_tabs->setExpanding(false);
    // Dragging a tab moves its page; the model refuses the code and data tabs.
    m_tabs->setMovable(true);
    connect(m_tabs, &QTabBar::tabMoved, this, [this](int from, int to) { tabMoved(from, to); });
    m_tabs->setContextMenuPolicy(Qt::CustomContextMenu);
    tabLayout->addWidget(m_tabs);
    tabLayout->addStretch(1);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int i) { tabChanged(i); });
    backLayout->addWidget(tabPanel);

    m_pages = new QStackedWidget(back);
    backLayout->addWidget(m_pages, 1);

    m_scrollBoxPanel = new QWidget(m_pages);
    m_scrollBoxPanel->setObjectName(QStringLiteral("ScrollBoxPanel"));
    auto* grid = new QGridLayout(m_scrollBoxPanel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    m_topRuler = new TzdRuler(m_scrollBoxPanel, false);
    m_topRuler->setObjectName(QStringLiteral("TopRuler"));
    m_topRuler->setFixedHeight(22);
    m_topRuler->SetUnits(ruCM);
    m_leftRuler = new TzdRuler(m_scrollBoxPanel, true);
    m_leftRuler->setObjectName(QStringLiteral("LeftRuler"));
    m_leftRuler->setFixedWidth(21);
    m_leftRuler->SetUnits(ruCM);
    for (TzdRuler* ruler : {m_topRuler, m_leftRuler})
        ruler->OnGuideDrop = [this](TzdRuler* r, QPoint global) {
            const QPoint p = m_workspace->mapFromGlobal(global);
            if (!m_workspace->rect().contains(p) || !isReportPage(m_model->CurrentPage))
                return;
            runCommand([&] {
                m_model->workspace().DropGuide(r->Vertical(), p.x(), p.y());
                m_model->SetModifiedFlag(true);
            });
        };
    m_scrollBox = new TzdScrollBox(m_scrollBoxPanel);
    m_scrollContent = new QWidget;
    m_scrollContent->setObjectName(QStringLiteral("ScrollContent"));
    m_scrollContent->setAutoFillBackground(false);
    m_workspace = new TDesignerWorkspace(*m_model, m_scrollContent);
    m_workspace->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_workspace, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { m_pagePopup->popup(m_workspace->mapToGlobal(p)); });
    m_scrollBox->setWidget(m_scrollContent);
    m_scrollBox->OnScroll = [this] { updateRulers(); };
    grid->addWidget(m_topRuler, 0, 1);
    grid->addWidget(m_leftRuler, 1, 0);
    grid->addWidget(m_scrollBox, 1, 1);
    m_pages->addWidget(m_scrollBoxPanel);

    m_codePanel = new QWidget(m_pages);
    m_codePanel->setObjectName(QStringLiteral("CodePanel"));
    auto* codeLayout = new QVBoxLayout(m_codePanel);
    codeLayout->setContentsMargins(0, 0, 0, 0);
    auto* codeTB = new QToolBar(m_codePanel);
    codeTB->setObjectName(QStringLiteral("CodeTB"));
    m_langL = new QLabel(codeTB);
    m_langL->setObjectName(QStringLiteral("LangL"));
    codeTB->addWidget(m_langL);
    m_langCB = new QComboBox(codeTB);
    m_langCB->setObjectName(QStringLiteral("LangCB"));
    {
        zd::TStringList list;
        zsGetLanguageList(list);
        for (int i = 0; i < list.Count(); ++i)
            m_langCB->addItem(list.Strings(i));
    }
    connect(m_langCB, &QComboBox::textActivated, this, [this](const QString& lang) {
        if (lang != m_model->report()->GetScriptLanguage()) {
            m_model->report()->SetScriptLanguage(lang);
            runCommand([this] { m_model->SetModifiedFlag(true); });
        }
    });
    codeTB->addWidget(m_langCB);
    codeLayout->addWidget(codeTB);
    m_plainCode = new QPlainTextEdit(m_codePanel);
    m_plainCode->setObjectName(QStringLiteral("CodeEditor"));
    m_plainCode->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_codeEditor = m_plainCode;
    codeLayout->addWidget(m_plainCode, 1);
    m_pages->addWidget(m_codePanel);

    row->addWidget(m_leftDockSite1);
    row->addWidget(m_leftDockSite2);
    row->addWidget(back, 1);
    row->addWidget(m_rightDockSite);
    setCentralWidget(central);
}

void TzdDesignerForm::createDocks()
{
    for (const ToolWindowDef& d : kToolWindows) {
        auto* dock = new QDockWidget(this);
        dock->setObjectName(QString::fromLatin1(d.name));
        dock->setProperty("className", QString::fromLatin1(d.className));
        dock->setProperty("captionKey", QString::fromLatin1(d.captionKey));
        auto* placeholder = new QWidget(dock);
        placeholder->setMinimumSize(140, 120);
        dock->setWidget(placeholder);
        dock->resize(159, 200);
        zd::SetDockOwner(dock, this);
        m_toolWindows[QString::fromLatin1(d.name)] = dock;
    }
    m_leftDockSite2->ManualDock(m_toolWindows["ObjectInspector"]);
    m_leftDockSite2->ManualDock(m_toolWindows["ReportTreeForm"]);
    m_rightDockSite->ManualDock(m_toolWindows["DataTreeForm"]);
}

void TzdDesignerForm::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    m_statusUnits = new QLabel(bar);
    m_statusUnits->setObjectName(QStringLiteral("StatusUnits"));
    m_statusUnits->setFixedWidth(75);
    m_statusPos = new QLabel(bar);
    m_statusPos->setObjectName(QStringLiteral("StatusPosition"));
    m_statusPos->setFixedWidth(230);
    m_statusText = new QLabel(bar);
    m_statusText->setObjectName(QStringLiteral("StatusText"));
    m_statusUnits->installEventFilter(this);
    bar->addWidget(m_statusUnits);
    bar->addWidget(m_statusPos);
    bar->addWidget(m_statusText, 1);
}

// ---------------------------------------------------------------- hooks for the tool windows

void TzdDesignerForm::setToolWindow(const QString& Name, QWidget* W)
{
    const auto it = m_toolWindows.find(Name);
    if (it == m_toolWindows.end() || !W)
        return;
    QWidget* old = it->second->widget();
    it->second->setWidget(W);
    if (old && old != W)
        old->deleteLater();
}

void TzdDesignerForm::setCodeEditor(QWidget* W)
{
    if (!W || W == m_codeEditor)
        return;
    auto* layout = static_cast<QVBoxLayout*>(m_codePanel->layout());
    if (m_codeEditor) {
        layout->removeWidget(m_codeEditor);
        m_codeEditor->hide();
        if (m_codeEditor != m_plainCode)
            m_codeEditor->deleteLater();
    }
    W->setParent(m_codePanel);
    layout->addWidget(W, 1);
    W->show();
    m_codeEditor = W;
}

// ---------------------------------------------------------------- commands

void TzdDesignerForm::runCommand(const std::function<void()>& Command)
{
    // No exception leaves a handler: it is shown as the default handler would.
    try {
        Command();
    } catch (const std::exception& e) {
        plat::Services().MessageBox(QString::fromUtf8(e.what()), resText(QStringLiteral("mbError")),
                                    plat::MB_OK | plat::MB_ICONERROR);
    }
    syncFromModel();
}

void TzdDesignerForm::commitCode()
{
    if (m_codePage && m_codeEditor == m_codePage) {
        const QString before = m_model->report()->ScriptText()->Text();
        m_codePage->SaveToReport();
        if (m_model->report()->ScriptText()->Text() != before)
            m_model->SetModifiedFlag(true);
        return;
    }
    if (m_codeEditor != m_plainCode || !m_plainCode->document()->isModified())
        return;
    m_model->report()->ScriptText()->SetText(m_plainCode->toPlainText());
    m_plainCode->document()->setModified(false);
    m_model->SetModifiedFlag(true);
}

void TzdDesignerForm::tabChanged(int Index)
{
    if (m_syncing || Index < 0)
        return;
    runCommand([&] {
        if (m_model->CurrentTab() == 0)
            commitCode();
        // The scroll position of the tab left behind stays with it.
        m_tabs->setTabData(m_model->CurrentTab(), QPoint(m_scrollBox->horizontalScrollBar()->value(),
                                                         m_scrollBox->verticalScrollBar()->value()));
        m_model->SelectTab(Index);
    });
    const QVariant pos = m_tabs->tabData(m_model->CurrentTab());
    if (pos.canConvert<QPoint>()) {
        m_scrollBox->horizontalScrollBar()->setValue(pos.toPoint().x());
        m_scrollBox->verticalScrollBar()->setValue(pos.toPoint().y());
    }
}

void TzdDesignerForm::tabMoved(int From, int To)
{
    if (m_syncing)
        return;
    bool moved = false;
    runCommand([&] { moved = m_model->MoveTab(From, To); });
    if (!moved)
        // The tab bar is put back once its drag is over.
        QTimer::singleShot(0, this, [this] {
            m_syncing = true;
            while (m_tabs->count() > 0)
                m_tabs->removeTab(m_tabs->count() - 1);
            m_syncing = false;
            syncFromModel();
        });
}

void TzdDesignerForm::cycleUnits()
{
    const int kind = m_model->workspace().GridKind();
    if (kind == zd::gkDialog || kind == zd::gkChars || !m_model->CurrentPage)
        return;
    runCommand([this] {
        const TzdRulerUnits next = m_model->Units == ruCM ? ruInches : m_model->Units == ruInches ? ruPixels : ruCM;
        m_model->UserUnits = next;
        m_model->SetUnits(next);
    });
}

void TzdDesignerForm::SetTool(int Tool)
{
    zd::WorkspaceTools& ws = m_model->workspace();
    ws.SetInsertion(nullptr, 0, 0, 0);
    ws.ToolMode = Tool;
    if (QAbstractButton* b = m_paletteGroup->button(Tool))
        b->setChecked(true);
    m_workspace->updateCursor();
    m_workspace->update();
}

void TzdDesignerForm::ArmInsertion(const plat::TClass* Class, quint16 Flags)
{
    zd::WorkspaceTools& ws = m_model->workspace();
    if (!Class || !m_model->CurrentPage)
        return;
    // A throw-away object gives the class's own default size.
    long double w = 0, h = 0;
    {
        std::unique_ptr<TzdComponent> probe(TzdComponent::DesignCreate(Class, nullptr, Flags));
        if (probe) {
            w = probe->Width();
            h = probe->Height();
        }
    }
    if (w == 0 && h == 0)
        m_model->DefaultObjectSize(w, h);
    ws.ToolMode = zd::tmSelect;
    ws.SetInsertion(Class, Flags, w, h);
    m_workspace->updateCursor();
}

void TzdDesignerForm::objectButtonClicked(int Item)
{
    TzdObjectCollection* registry = zdGetObjectRegistry();
    if (Item < 0 || Item >= registry->Count())
        return;
    const TzdObjectItem& o = registry->GetItem(Item);
    ArmInsertion(o.ClassRef, o.Flags);
}

void TzdDesignerForm::showCategoryMenu(const QString& Category)
{
    if (!m_model->CurrentPage)
        return;
    m_objectsPopup->clear();
    TzdObjectCollection* registry = zdGetObjectRegistry();
    const TzdPageKind kind = m_model->ShownPageKind();
    for (int item = 0; item < registry->Count(); ++item) {
        const TzdObjectItem& o = registry->GetItem(item);
        if (!o.ClassRef || o.CategoryName != Category)
            continue;
        // A dot-matrix page offers only the cross-tabs of a category.
        if (kind == fpkDotMatrixPage && o.ClassRef->ClassName() != u"TzdCrossView" &&
            o.ClassRef->ClassName() != u"TzdDBCrossView")
            continue;
        const QString text = o.ButtonHint.isEmpty() ? QString(o.ClassRef->ClassName()) : resText(o.ButtonHint);
        QAction* a = m_objectsPopup->addAction(text);
        a->setObjectName(QStringLiteral("ObjItem") + QString::number(item));
        const int index = item;
        connect(a, &QAction::triggered, this, [this, index] { runCommand([this, index] { objectButtonClicked(index); }); });
    }
    QWidget* button = findChild<QWidget*>(QStringLiteral("Cat_") + Category);
    m_objectsPopup->popup(button ? button->mapToGlobal(QPoint(button->width(), 0)) : QCursor::pos());
}

void TzdDesignerForm::showBandsMenu()
{
    if (!m_model->CurrentPage)
        return;
    for (QAction* a : m_bandsPopup->actions()) {
        bool ok = false;
        const int tag = a->objectName().mid(8).toInt(&ok);
        if (ok)
            a->setEnabled(m_model->BandMenuItemEnabled(tag));
    }
    m_bandsPopup->popup(m_bandButton->mapToGlobal(QPoint(m_bandButton->width(), 0)));
}

void TzdDesignerForm::applyZoomText(const QString& Text)
{
    QString t = Text;
    TzdReportPage* page = dynamic_cast<TzdReportPage*>(m_model->CurrentPage);
    if (page && Text == resText(QStringLiteral("zmPageWidth"))) {
        const long double pw = page->PaperWidth() * 96 / 25.4L;
        t = QString::number(double((m_scrollBox->width() - 40) / pw * 100));
    } else if (page && Text == resText(QStringLiteral("zmWholePage"))) {
        const long double pw = std::nearbyint(page->PaperWidth() * 96 / 25.4L);
        const long double ph = std::nearbyint(page->PaperHeight() * 96 / 25.4L);
        const long double rh = (m_scrollBox->height() - 20) / ph, rw = (m_scrollBox->width() - 20) / pw;
        t = QString::number(double(std::min(rh, rw) * 100));
    }
    runCommand([&] { m_model->ApplyZoomText(t); });
    m_scrollBox->setFocus();
}

// ---------------------------------------------------------------- window state

long double TzdDesignerForm::Scale() const { return m_model->Scale(); }

void TzdDesignerForm::SetScale(long double Value)
{
    m_model->SetScale(Value);
    syncFromModel();
}

void TzdDesignerForm::SetShowGrid(bool Value)
{
    m_showGrid = Value;
    m_workspace->ShowGrid = Value;
    m_workspace->update();
    syncFromModel();
}

bool TzdDesignerForm::GridAlign() const { return m_model->workspace().GridAlign; }

void TzdDesignerForm::SetGridAlign(bool Value)
{
    m_model->workspace().GridAlign = Value;
    syncFromModel();
}

void TzdDesignerForm::SetShowRulers(bool Value)
{
    m_showRulers = Value;
    syncFromModel();
}

bool TzdDesignerForm::ShowGuides() const { return m_model->workspace().ShowGuides; }

void TzdDesignerForm::SetShowGuides(bool Value)
{
    m_model->workspace().ShowGuides = Value;
    m_workspace->update();
    syncFromModel();
}

// ---------------------------------------------------------------- taking state from the model

void TzdDesignerForm::rebuildTabs()
{
    const QStringList captions = m_model->TabCaptions();
    QStringList shown;
    for (int i = 0; i < m_tabs->count(); ++i)
        shown << m_tabs->tabText(i);
    QStringList wanted = captions;
    wanted[0] = resText(QStringLiteral("dsCode"));
    if (shown != wanted) {
        while (m_tabs->count() > 0)
            m_tabs->removeTab(m_tabs->count() - 1);
        for (const QString& c : wanted)
            m_tabs->addTab(c);
    }
    if (m_model->CurrentTab() < m_tabs->count())
        m_tabs->setCurrentIndex(m_model->CurrentTab());
}

void TzdDesignerForm::layoutWorkspace()
{
    TzdComponent* page = m_model->CurrentPage;
    if (!page) {
        m_pages->setCurrentWidget(m_codePanel);
        return;
    }
    m_pages->setCurrentWidget(m_scrollBoxPanel);
    const bool report = isReportPage(page);
    m_workspace->PageColor = report ? plat::clWhite : plat::clBtnFace;
    const QPoint origin = report ? QPoint(10, 10) : QPoint(0, 0);
    m_workspace->ShowGrid = m_showGrid && dynamic_cast<TzdDataPage*>(page) == nullptr;
    m_workspace->GridLCD = GridLCD;
    m_workspace->DropFields = DropFields;
    m_model->workspace().FreeBands = FreeBands;
    m_model->workspace().BandsGap = BandsGap;
    m_workspace->LayoutPage(origin);
    const QSize paper = m_workspace->PaperSize();
    const QSize content(paper.width() + 2 * origin.x(), paper.height() + 2 * origin.y());
    if (m_scrollContent->size() != content)
        m_scrollContent->resize(content);
    m_topRuler->setVisible(m_showRulers && report);
    m_leftRuler->setVisible(m_showRulers && report);
    updateRulers();
}

void TzdDesignerForm::updateRulers()
{
    if (!m_workspace || !m_topRuler->isVisible())
        return;
    const QPoint at = m_workspace->mapTo(m_scrollBoxPanel, QPoint(0, 0));
    const int x = at.x() - m_topRuler->x();
    const int y = at.y() - m_leftRuler->y();
    m_topRuler->SetOffset(std::max(x, 0));
    m_topRuler->SetStart(x < 0 ? -x : 0);
    m_leftRuler->SetOffset(std::max(y, 0));
    m_leftRuler->SetStart(y < 0 ? -y : 0);
    const TzdRulerUnits units = m_model->Units;
    for (TzdRuler* r : {m_topRuler, m_leftRuler}) {
        r->SetScale(m_model->Scale());
        r->SetUnits(units);
    }
}

void TzdDesignerForm::updateToolbars()
{
    m_updating = true;
    for (auto& [name, action] : m_actions) {
        if (name.endsWith(u"TBCmd") || name == u"ExitCmd" || name.startsWith(u"Show") || name == u"FindCmd")
            continue;
        action->setEnabled(m_model->IsEnabled(name));
    }
    m_actions["ShowRulersCmd"]->setChecked(m_showRulers);
    m_actions["ShowGuidesCmd"]->setChecked(ShowGuides());
    if (auto* b = findChild<QToolButton*>(QStringLiteral("ShowGridB")))
        b->setChecked(m_showGrid);
    if (auto* b = findChild<QToolButton*>(QStringLiteral("AlignToGridB")))
        b->setChecked(GridAlign());
    const bool pageShown = m_model->CurrentPage != nullptr;
    const TzdPageKind kind = m_model->ShownPageKind();
    // The palette follows the page kind.
    const bool toolsShown = pageShown && (kind == fpkReportPage || kind == fpkDotMatrixPage);
    for (int id = 1; id <= 4; ++id)
        if (QAbstractButton* b = m_paletteGroup->button(id))
            b->setVisible(toolsShown);
    m_bandButton->setVisible(toolsShown);
    m_bandButton->setEnabled(!m_model->IsPreviewDesigner && TzdDesigner::Allowed(drDontInsertObject));
    TzdObjectCollection* registry = zdGetObjectRegistry();
    for (auto& [button, item] : m_objectButtons) {
        const TzdObjectItem* o = &registry->GetItem(item);
        if (!o->ClassRef)
            // A category takes the page kinds of its first object item.
            for (int j = 0; j < registry->Count(); ++j)
                if (registry->GetItem(j).ClassRef && registry->GetItem(j).CategoryName == o->CategoryName) {
                    o = &registry->GetItem(j);
                    break;
                }
        const bool onPage = o->Pages.empty() ? kind == fpkReportPage : o->Pages.contains(kind);
        const QString hint = registry->GetItem(item).ButtonHint;
        button->setVisible(pageShown && onPage);
        button->setEnabled(TzdDesigner::Allowed(drDontInsertObject));
        const QString caption = !hint.isEmpty() ? resText(hint)
                                : o->ClassRef ? QString(o->ClassRef->ClassName()).mid(3)
                                              : registry->GetItem(item).CategoryName;
        button->setToolTip(caption);
        button->setText(caption.left(8));
    }
    // Insertion over: the select tool comes back.
    const zd::WorkspaceTools& ws = m_model->workspace();
    if (!ws.InsertionState && m_paletteGroup->checkedId() >= 100)
        m_paletteGroup->button(ws.ToolMode)->setChecked(true);

    // The text toolbar shows the one selected object's font.
    TzdComponent* first = m_model->Selection.empty() ? nullptr : m_model->Selection.front();
    auto* memo = dynamic_cast<TzdCustomMemoView*>(first);
    const bool one = m_model->Selection.size() == 1 && first != m_model->CurrentPage;
    const QStringList checks{QStringLiteral("BoldB"), QStringLiteral("ItalicB"), QStringLiteral("UnderlineB")};
    if (one && memo) {
        plat::TFont* f = memo->Font();
        m_fontNameCB->setEditText(f->Name());
        m_fontSizeCB->setEditText(QString::number(f->Size()));
        findChild<QToolButton*>(QStringLiteral("BoldB"))->setChecked(f->Style().contains(plat::fsBold));
        findChild<QToolButton*>(QStringLiteral("ItalicB"))->setChecked(f->Style().contains(plat::fsItalic));
        findChild<QToolButton*>(QStringLiteral("UnderlineB"))->setChecked(f->Style().contains(plat::fsUnderline));
    } else {
        m_fontNameCB->setEditText(QString());
        m_fontSizeCB->setEditText(QString());
        for (const QString& n : checks)
            findChild<QToolButton*>(n)->setChecked(false);
    }
    updateFormatControls();
    m_scaleCB->setEnabled(kind == fpkReportPage && pageShown);
    m_scaleCB->setEditText(QString::number(qRound64(double(m_model->Scale() * 100))) + u'%');
    m_updating = false;
}

void TzdDesignerForm::updateStatus()
{
    const int units = std::clamp(int(m_model->Units), 0, 3);
    m_statusUnits->setText(resText(QString::fromLatin1(kUnitKeys[units])));
    TzdComponent* first = m_model->Selection.empty() ? nullptr : m_model->Selection.front();
    QString text;
    if (m_model->Selection.size() == 1 && first && first != m_model->CurrentPage) {
        text = first->Name();
        if (auto* memo = dynamic_cast<TzdCustomMemoView*>(first))
            text += QStringLiteral(": ") + memo->Text().left(128).simplified();
    }
    m_statusText->setText(text);
    const zd::WorkspaceTools& ws = m_model->workspace();
    if (first && first != m_model->CurrentPage && ws.SelectedCount() > 0) {
        const zd::ExtBounds b = ws.SelectionBounds();
        showBounds(b.Left, b.Top, b.Width, b.Height);
    }
}

void TzdDesignerForm::showBounds(long double L, long double T, long double W, long double H)
{
    const int units = std::clamp(int(m_model->Units), 0, 3);
    QString s = zd::statusPositionText(double(L), double(T), units);
    if (W != 0 || H != 0)
        s += QStringLiteral("   ") + zd::statusSizeText(double(W), double(H), units);
    m_statusPos->setText(s);
}

void TzdDesignerForm::syncFromModel()
{
    if (m_syncing || m_closing)
        return;
    m_syncing = true;
    try {
        rebuildTabs();
        layoutWorkspace();
        updateToolbars();
        updateStatus();
        if (m_model->CurrentPage == nullptr && m_codeEditor == m_plainCode && !m_plainCode->document()->isModified()) {
            const QString script = m_model->report()->ScriptText()->Text();
            if (m_plainCode->toPlainText() != script) {
                m_plainCode->setPlainText(script);
                m_plainCode->document()->setModified(false);
            }
        }
        const int lang = m_langCB->findText(m_model->report()->GetScriptLanguage());
        if (lang >= 0)
            m_langCB->setCurrentIndex(lang);
        setWindowTitle(m_model->Caption());
        m_workspace->update();
    } catch (const std::exception& e) {
        m_syncing = false;
        plat::Services().MessageBox(QString::fromUtf8(e.what()), resText(QStringLiteral("mbError")),
                                    plat::MB_OK | plat::MB_ICONERROR);
        return;
    }
    m_syncing = false;
    for (const auto& listener : RefreshListeners)
        listener();
}

// ---------------------------------------------------------------- texts and language

void TzdDesignerForm::Localize()
{
    for (auto& [name, action] : m_actions) {
        action->setText(resText(action->property("captionKey").toString()));
        action->setToolTip(action->text().remove(u'&'));
    }
    for (auto& [name, menu] : m_menus)
        menu->setTitle(resText(menu->property("captionKey").toString()));
    if (m_languageMenu)
        m_languageMenu->setTitle(resText(QStringLiteral("2475")));
    for (auto& [name, tb] : m_toolbars) {
        const QString key = tb->property("captionKey").toString();
        if (!key.isEmpty())
            tb->setWindowTitle(resText(key));
    }
    for (auto& [widget, key] : m_hints) {
        const QString hint = resText(key);
        widget->setToolTip(hint);
        if (auto* b = qobject_cast<QToolButton*>(widget); b && !b->defaultAction()) {
            // Buttons without images show the start of their hint.
            QString shortText = hint;
            if (shortText.size() > 10)
                shortText = shortText.left(9) + QChar(0x2026);
            if (b->property("tag").isValid() || b->parent() == m_toolbars["ObjectsTB1"] ||
                b->parent() == m_toolbars["AlignTB"] || b->parent() == m_toolbars["FrameTB"])
                b->setText(shortText);
        }
    }
    for (QMenu* menu : {m_bandsPopup, m_bandsPopup->findChild<QMenu*>(QStringLiteral("VerticalBandsMenu")),
                        m_rotationPopup, findChild<QMenu*>(QStringLiteral("DMPPopup"))}) {
        if (!menu)
            continue;
        for (QAction* a : menu->actions()) {
            const QString key = a->property("captionKey").toString();
            if (!key.isEmpty())
                a->setText(resText(key));
        }
        const QString key = menu->property("captionKey").toString();
        if (!key.isEmpty())
            menu->menuAction()->setText(resText(key));
    }
    for (auto& [name, dock] : m_toolWindows)
        dock->setWindowTitle(resText(dock->property("captionKey").toString()));
    m_langL->setText(resText(QStringLiteral("2306")));
    m_scaleCB->blockSignals(true);
    m_scaleCB->clear();
    for (const char* z : kZoomItems)
        m_scaleCB->addItem(QString::fromLatin1(z));
    m_scaleCB->addItem(resText(QStringLiteral("zmPageWidth")));
    m_scaleCB->addItem(resText(QStringLiteral("zmWholePage")));
    m_scaleCB->blockSignals(false);
    if (m_model) {
        const QStringList captions = m_model->TabCaptions();
        if (m_tabs->count() > 0)
            m_tabs->setTabText(0, resText(QStringLiteral("dsCode")));
        (void)captions;
        updateStatus();
    }
}

void TzdDesignerForm::ChooseLanguage(const QString& Name)
{
    QString folder = LanguageFolder;
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    // A missing file loads nothing; the texts stay as they are.
    zdGetResources()->LoadFromFile(folder + Name + QStringLiteral(".zdc"));
    if (m_languageMenu)
        for (QAction* a : m_languageMenu->actions())
            a->setChecked(a->text().compare(Name, Qt::CaseInsensitive) == 0);
    Localize();
    try {
        plat::KeyStore store;
        if (store.OpenKey(kLanguageKey, false))
            store.WriteString(QStringLiteral("Language"), Name);
    } catch (const std::exception&) {
        // Not recorded: the choice holds for this run.
    }
    // Tabs carry texts too ("Data", "Strana"); emptying them is no tab change.
    m_syncing = true;
    while (m_tabs->count() > 0)
        m_tabs->removeTab(m_tabs->count() - 1);
    m_syncing = false;
    syncFromModel();
}

// ---------------------------------------------------------------- settings

QString TzdDesignerForm::DefaultSettingsText()
{
    return QStringLiteral(
        "[Form5.TzdObjectInspector];Width=159;SplitPos=75;Split1Pos=65;Dock5=LeftDockSite2;"
        "[Form5.TzdDesignerForm];EditAfterInsert=1;Maximized=1;"
        "[Form5.TzdDataTreeForm];Width=143;Dock5=RightDockSite;"
        "[Form5.TzdReportTreeForm];Width=159;Dock5=LeftDockSite2;"
        "[Form5.TzdWatchForm];Height=100;Dock5=CodeDockSite;"
        "[ToolBar5.StandardTB];Float=0;Visible=1;Left=0;Top=0;Width=576;Height=27;Dock5=DockTop;"
        "[ToolBar5.TextTB];Float=0;Visible=1;Left=0;Top=27;Width=651;Height=27;Dock5=DockTop;"
        "[ToolBar5.FrameTB];Float=0;Visible=1;Left=651;Top=27;Width=305;Height=27;Dock5=DockTop;"
        "[ToolBar5.AlignTB];Visible=1;"
        "[ToolBar5.ExtraToolsTB];Visible=0;"
        "[Dock5.LeftDockSite2];Width=160;"
        "[Dock5.RightDockSite];Width=160");
}

namespace {

std::unique_ptr<plat::TMemIniFile> defaultSettings()
{
    auto ini = std::make_unique<plat::TMemIniFile>(QString());
    zd::TStringList lines;
    for (const QString& line : TzdDesignerForm::DefaultSettingsText().split(u';'))
        lines.Add(line);
    ini->SetStrings(lines);
    return ini;
}

} // namespace

void TzdDesignerForm::ReadSettings(bool Reset)
{
    std::unique_ptr<plat::TCustomIniFile> store;
    try {
        store = m_model->report()->OpenSettingsFile();
    } catch (const std::exception&) {
        store.reset();
    }
    std::unique_ptr<plat::TMemIniFile> defaults;
    plat::TCustomIniFile* ini = store.get();
    try {
        const bool none = Reset || !ini || ini->ReadFloat(kFormSection, QStringLiteral("Scale"), 0) == 0 ||
                          ini->ReadInteger(kFormSection, QStringLiteral("WorkspaceColor"), 0) == 0;
        if (none) {
            if (ini)
                for (const char* s : {"Form5.TzdMemoEditorForm", "Form5.TzdRichEditorForm", "Form5.TzdSQLEditorForm"})
                    if (ini->SectionExists(QString::fromLatin1(s)))
                        ini->EraseSection(QString::fromLatin1(s));
            defaults = defaultSettings();
            ini = defaults.get();
        }
        ReadSettingsFrom(*ini);
    } catch (const std::exception&) {
        // A store that cannot be read gives way to the defaults.
        defaults = defaultSettings();
        try {
            ReadSettingsFrom(*defaults);
        } catch (const std::exception&) {
        }
    }
    m_settingsRead = true;
}

void TzdDesignerForm::ReadSettingsFrom(plat::TCustomIniFile& Ini)
{
    const QString& s = kFormSection;
    zd::DesignerModel& m = *m_model;
    m.SetScale(settingsScale(Ini.ReadFloat(s, QStringLiteral("Scale"), 1)));
    m_showGrid = Ini.ReadBool(s, QStringLiteral("ShowGrid"), true);
    m.workspace().GridAlign = Ini.ReadBool(s, QStringLiteral("GridAlign"), true);
    m_showRulers = Ini.ReadBool(s, QStringLiteral("ShowRulers"), true);
    m.workspace().ShowGuides = Ini.ReadBool(s, QStringLiteral("ShowGuides"), true);
    m.Grid1 = gridSetting(Ini, "Grid1", 0.1);
    m.Grid2 = gridSetting(Ini, "Grid2", 0.1);
    m.Grid3 = gridSetting(Ini, "Grid3", 4);
    m.Grid4 = gridSetting(Ini, "Grid4", 4);
    const int units = Ini.ReadInteger(s, QStringLiteral("Units"), 0);
    m.UserUnits = TzdRulerUnits(units >= 0 && units <= 3 ? units : 0);
    ScriptFontName = Ini.ReadString(s, QStringLiteral("ScriptFontName"), QStringLiteral("Courier New"));
    ScriptFontSize = Ini.ReadInteger(s, QStringLiteral("ScriptFontSize"), 10);
    MemoFontName = Ini.ReadString(s, QStringLiteral("MemoFontName"), QStringLiteral("Arial"));
    MemoFontSize = Ini.ReadInteger(s, QStringLiteral("MemoFontSize"), 10);
    UseObjectFont = Ini.ReadBool(s, QStringLiteral("UseObjectFont"), true);
    WorkspaceColor = plat::TColor(Ini.ReadInteger(s, QStringLiteral("WorkspaceColor"), int(plat::clWindow)));
    ToolsColor = plat::TColor(Ini.ReadInteger(s, QStringLiteral("ToolsColor"), int(plat::clWindow)));
    GridLCD = Ini.ReadBool(s, QStringLiteral("GridLCD"), false);
    m.EditAfterInsert = Ini.ReadBool(s, QStringLiteral("EditAfterInsert"), false);
    {
        zd::TStringList recent;
        recent.SetCommaText(Ini.ReadString(s, QStringLiteral("RecentFiles"), QString()));
        m.RecentFiles.clear();
        for (int i = 0; i < recent.Count() && i < 8; ++i)
            m.RecentFiles << recent.Strings(i);
    }
    FreeBands = Ini.ReadBool(s, QStringLiteral("FreeBands"), false);
    BandsGap = Ini.ReadInteger(s, QStringLiteral("BandsGap"), 4);
    ShowBandCaptions = Ini.ReadBool(s, QStringLiteral("ShowBandCaptions"), true);
    m.workspace().SetShowBandCaptions(ShowBandCaptions);
    DropFields = Ini.ReadBool(s, QStringLiteral("DropFields"), true);
    ShowStartup = Ini.ReadBool(s, QStringLiteral("ShowStartup"), true);
    WatchList = Ini.ReadString(s, QStringLiteral("WatchList"), QString());
    if (isReportPage(m.CurrentPage) && m.Units != ruChars)
        m.SetUnits(m.UserUnits);

    // Places of the window, its toolbars, tool windows and dock sites.
    zdRestoreFormPosition(Ini, this);
    for (const char* tb : {"StandardTB", "TextTB", "FrameTB", "AlignTB", "ExtraToolsTB"})
        zdRestoreToolbarPosition(Ini, m_toolbars[QString::fromLatin1(tb)]);
    // The extra-tools toolbar shows only when some wizard gave it a button.
    if (m_toolbars[QStringLiteral("ExtraToolsTB")]->property("buttons").toInt() == 0)
        m_toolbars[QStringLiteral("ExtraToolsTB")]->hide();
    for (auto& [name, dock] : m_toolWindows)
        zdRestoreFormPosition(Ini, dock);
    if (!m.IsPreviewDesigner)
        for (TzdDockSite* site : {m_leftDockSite1, m_leftDockSite2, m_rightDockSite})
            zdRestoreDockSite(Ini, site);
    syncFromModel();
}

void TzdDesignerForm::WriteSettings()
{
    if (m_model->IsPreviewDesigner || WorkspaceColor == 0)
        return;
    std::unique_ptr<plat::TCustomIniFile> store;
    try {
        store = m_model->report()->OpenSettingsFile();
        if (!store)
            return;
        const QString file = store->FileName();
        // A folder that cannot be made means no settings, not a failure.
        if (!file.isEmpty() && !QDir().mkpath(QFileInfo(file).absolutePath()))
            return;
        WriteSettingsTo(*store);
        store->UpdateFile();
    } catch (const std::exception&) {
    }
}

void TzdDesignerForm::WriteSettingsTo(plat::TCustomIniFile& Ini)
{
    const QString& s = kFormSection;
    zd::DesignerModel& m = *m_model;
    Ini.WriteFloat(s, QStringLiteral("Scale"), double(m.Scale()));
    Ini.WriteBool(s, QStringLiteral("ShowGrid"), m_showGrid);
    Ini.WriteBool(s, QStringLiteral("GridAlign"), m.workspace().GridAlign);
    Ini.WriteBool(s, QStringLiteral("ShowRulers"), m_showRulers);
    Ini.WriteBool(s, QStringLiteral("ShowGuides"), m.workspace().ShowGuides);
    Ini.WriteFloat(s, QStringLiteral("Grid1"), double(m.Grid1));
    Ini.WriteFloat(s, QStringLiteral("Grid2"), double(m.Grid2));
    Ini.WriteFloat(s, QStringLiteral("Grid3"), double(m.Grid3));
    Ini.WriteFloat(s, QStringLiteral("Grid4"), double(m.Grid4));
    Ini.WriteInteger(s, QStringLiteral("Units"), int(m.UserUnits));
    Ini.WriteString(s, QStringLiteral("ScriptFontName"), ScriptFontName);
    Ini.WriteInteger(s, QStringLiteral("ScriptFontSize"), ScriptFontSize);
    Ini.WriteString(s, QStringLiteral("MemoFontName"), MemoFontName);
    Ini.WriteInteger(s, QStringLiteral("MemoFontSize"), MemoFontSize);
    Ini.WriteBool(s, QStringLiteral("UseObjectFont"), UseObjectFont);
    Ini.WriteInteger(s, QStringLiteral("WorkspaceColor"), int(WorkspaceColor));
    Ini.WriteInteger(s, QStringLiteral("ToolsColor"), int(ToolsColor));
    Ini.WriteBool(s, QStringLiteral("GridLCD"), GridLCD);
    Ini.WriteBool(s, QStringLiteral("EditAfterInsert"), m.EditAfterInsert);
    {
        zd::TStringList recent;
        for (const QString& f : m.RecentFiles)
            recent.Add(f);
        Ini.WriteString(s, QStringLiteral("RecentFiles"), recent.CommaText());
    }
    Ini.WriteBool(s, QStringLiteral("FreeBands"), FreeBands);
    Ini.WriteInteger(s, QStringLiteral("BandsGap"), BandsGap);
    Ini.WriteBool(s, QStringLiteral("ShowBandCaptions"), ShowBandCaptions);
    Ini.WriteBool(s, QStringLiteral("DropFields"), DropFields);
    Ini.WriteBool(s, QStringLiteral("ShowStartup"), ShowStartup);
    Ini.WriteString(s, QStringLiteral("WatchList"), WatchList);
    zdSaveFormPosition(Ini, this);
    for (auto& [name, dock] : m_toolWindows)
        zdSaveFormPosition(Ini, dock);
    for (const char* tb : {"StandardTB", "TextTB", "FrameTB", "AlignTB", "ExtraToolsTB"})
        zdSaveToolbarPosition(Ini, m_toolbars[QString::fromLatin1(tb)]);
    for (TzdDockSite* site : {m_leftDockSite1, m_leftDockSite2, m_rightDockSite})
        zdSaveDockSite(Ini, site);
}

// ---------------------------------------------------------------- showing and closing

bool TzdDesignerForm::eventFilter(QObject* Watched, QEvent* Event)
{
    // A double click on the units panel switches the units.
    if (Watched == m_statusUnits && Event->type() == QEvent::MouseButtonDblClick) {
        cycleUnits();
        return true;
    }
    return QMainWindow::eventFilter(Watched, Event);
}

void TzdDesignerForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_settingsRead) {
        ReadSettings(false);
        if (TzdDesigner* d = TzdDesigner::Current(); d && d->OnShow)
            runCommand([&] { d->OnShow(nullptr); });
    }
}

void TzdDesignerForm::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    try {
        commitCode();
        canClose = m_model->CloseQuery();
    } catch (const std::exception& e) {
        plat::Services().MessageBox(QString::fromUtf8(e.what()), resText(QStringLiteral("mbError")),
                                    plat::MB_OK | plat::MB_ICONERROR);
        canClose = false;
    }
    if (!canClose) {
        event->ignore();
        syncFromModel();
        return;
    }
    m_closing = true;
    WriteSettings();
    // The report learns whether the designer changed it.
    m_model->report()->Modified = m_model->Modified;
    event->accept();
}

// ---------------------------------------------------------------- the unit

namespace {

// The dialog that runs the window modally through the platform's runner;
// closing it asks the window first.
class DesignerDialog : public QDialog {
public:
    explicit DesignerDialog(TzdDesignerForm* Form) : m_form(Form)
    {
        setObjectName(QStringLiteral("zdDesignerDialog"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        Form->setParent(this, Qt::Widget);
        layout->addWidget(Form);
        resize(Form->size());
        setWindowTitle(Form->windowTitle());
        Form->RefreshListeners.push_back([this] { setWindowTitle(m_form->windowTitle()); });
        Form->installEventFilter(this);
    }
    void reject() override
    {
        if (m_form->close())
            QDialog::reject();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // ExitCmd closes the window itself: the dialog goes with it.
        if (event->type() == QEvent::Hide && isVisible() && !m_form->isVisible())
            QDialog::reject();
        return false;
    }

private:
    TzdDesignerForm* m_form;
};

} // namespace

void zd::ShowDesignerWindow(TzdCustomDesigner* Designer, bool Modal)
{
    auto* model = dynamic_cast<zd::DesignerModel*>(Designer);
    if (!model)
        return;
    if (!Modal) {
        auto* form = new TzdDesignerForm(model, nullptr, true);
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->showMaximized();
        return;
    }
    auto* form = new TzdDesignerForm(model);
    DesignerDialog dialog(form);
    dialog.setWindowState(Qt::WindowMaximized);
    plat::ExecModal(dialog);
}

void zd::startDesignerFormUnit()
{
    zd::startDesignerUnit([](plat::TComponent* AOwner, zd::ReportDocument* AReport,
                             bool IsPreviewDesigner) -> TzdCustomDesigner* {
        auto* report = dynamic_cast<TzdReport*>(AReport);
        return report ? new zd::DesignerModel(AOwner, report, IsPreviewDesigner) : nullptr;
    });
    zd::startWizardsUnit();
    if (zd::PreviewReportWindows* windows = zd::startPreviewUnit())
        windows->DesignerShower = [](TzdCustomDesigner* Designer, bool Modal, bool) {
            zd::ShowDesignerWindow(Designer, Modal);
        };
}

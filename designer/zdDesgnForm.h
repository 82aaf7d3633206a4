#pragma once
// The designer window: a main window over the designer model
// (zd::DesignerModel). It shows the report's pages as tabs, the design
// workspace with its rulers in a scroll box, the code page, the object
// palette, the toolbars, the menus bound to the model's commands, the
// status bar and the dock sites of the tool windows. After every command
// and every workspace event the window takes its state from the model
// again (syncFromModel), so the model stays the one place that decides.
//
// Settings (layout and preferences) live in the report's settings file;
// texts come from the report library's resources and follow the language
// the user picks.

#include "Graphics.h"
#include "zdClass_services.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QButtonGroup;
class QComboBox;
class QDockWidget;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QStackedWidget;
class QTabBar;
class QToolBar;
class QToolButton;
class TDesignerWorkspace;
class TzdCodePage;
class TzdDropDownButton;
class TzdDataTreeForm;
class TzdDockSite;
class TzdObjectInspector;
class TzdQtDesignerDialogs;
class TzdReportTreeForm;
class TzdScopedDesignerDialogs;
class TzdRuler;
class TzdScrollBox;

namespace plat {
class TCustomIniFile;
}
namespace zd {
class DesignerModel;
struct FormatValues;
}

class TzdDesignerForm : public QMainWindow {
public:
    // The window over Model; with OwnsModel it frees the model with itself.
    explicit TzdDesignerForm(zd::DesignerModel* Model, QWidget* Parent = nullptr, bool OwnsModel = false);
    ~TzdDesignerForm() override;

    zd::DesignerModel& Model() const { return *m_model; }
    TDesignerWorkspace* Workspace() const { return m_workspace; }

    // Places W into the tool window Name ("ObjectInspector",
    // "DataTreeForm", "ReportTreeForm"); the window takes it over.
    void setToolWindow(const QString& Name, QWidget* W);
    // Puts W on the code page in place of the plain script editor.
    void setCodeEditor(QWidget* W);

    // --- window state (settings)
    long double Scale() const;
    void SetScale(long double Value);
    bool ShowGrid() const { return m_showGrid; }
    void SetShowGrid(bool Value);
    bool GridAlign() const;
    void SetGridAlign(bool Value);
    bool ShowRulers() const { return m_showRulers; }
    void SetShowRulers(bool Value);
    bool ShowGuides() const;
    void SetShowGuides(bool Value);
    plat::TColor WorkspaceColor = plat::clWindow;
    plat::TColor ToolsColor = plat::clWindow;
    QString ScriptFontName = QStringLiteral("Courier New");
    int ScriptFontSize = 10;
    QString MemoFontName = QStringLiteral("Arial");
    int MemoFontSize = 10;
    bool UseObjectFont = true;
    bool FreeBands = false;
    int BandsGap = 4;
    bool ShowBandCaptions = true;
    bool GridLCD = false;
    bool DropFields = true;
    bool ShowStartup = true;
    QString WatchList;

    // Reads the settings from the report's settings file (or, when it holds
    // none, from the defaults); Reset takes the defaults.
    void ReadSettings(bool Reset = false);
    void ReadSettingsFrom(plat::TCustomIniFile& Settings);
    // Writes them back (not in prepared-page mode).
    void WriteSettings();
    void WriteSettingsTo(plat::TCustomIniFile& Settings);
    // The default settings as an ini text, lines joined by ';'.
    static QString DefaultSettingsText();

    // Sets every caption and hint from the resources.
    void Localize();
    // Loads LanguageFolder + Name + ".zdc" and localises again.
    void ChooseLanguage(const QString& Name);
    QString LanguageFolder;

    // Takes tabs, page, toolbars, status and caption from the model.
    void syncFromModel();
    // Called at the end of syncFromModel (the tool windows refresh).
    std::vector<std::function<void()>> RefreshListeners;

    // The palette: presses the tool (0 select .. 4 format painter).
    void SetTool(int Tool);
    // Arms the insertion of a palette class, as its button does.
    void ArmInsertion(const plat::TClass* Class, quint16 Flags);
    QMenu* BandsPopup() const { return m_bandsPopup; }
    QMenu* RotationPopup() const { return m_rotationPopup; }
    // The last colour chosen for the font (tag 5), fill (26) and frame (27)
    // colour buttons; a click on the button applies it again.
    plat::TColor LastColor(int Tag) const;
    // The picker of a colour button (tag 5, 26 or 27), opened under it as
    // its drop-down arrow does; nullptr when refused.
    QWidget* OpenColorSelector(int Tag);
    QTabBar* PageTabs() const { return m_tabs; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct ActionDef;
    void createActions();
    void createMenus();
    void createToolbars();
    void createPalette();
    void createClientArea();
    void createDocks();
    void createStatusBar();
    QToolButton* addButton(QToolBar* Bar, const QString& Name, const QString& HintKey, std::function<void()> Click,
                           bool Checkable = false);
    QToolButton* addActionButton(QToolBar* Bar, const QString& Name, const QString& ActionName,
                                 const QString& HintKey);
    void runCommand(const std::function<void()>& Command);
    void formatTag(int Tag, bool Down, const std::function<void(zd::FormatValues&)>& Values = {});
    void createTextButtons(QToolBar* Bar);
    void createFrameButtons(QToolBar* Bar);
    void createExtraTools();
    void applyImages();
    void updateColorBars();
    void refillStyles();
    void colorChosen(int Tag, plat::TColor Color);
    void highlightCmd();
    void fontCmd();
    void frameEditCmd();
    void fillEditCmd();
    void frameStyleCmd();
    void tabChanged(int Index);
    void tabMoved(int From, int To);
    void cycleUnits();
    void rebuildTabs();
    void layoutWorkspace();
    void updateRulers();
    void updateToolbars();
    void updateFormatControls();
    void updateStatus();
    void showBounds(long double L, long double T, long double W, long double H);
    void commitCode();
    void objectButtonClicked(int Item);
    void showBandsMenu();
    void showCategoryMenu(const QString& Category);
    void applyZoomText(const QString& Text);
    // The tool windows, the code page and the editor dialogs
    // (zdDesgnForm_tools.cpp).
    void attachTools();
    void refreshTools();
    void reportChanged();
    void previewCmd();
    void newItemCmd();
    void pageSettingsCmd();
    void reportDataCmd();
    void variablesCmd();
    void reportStylesCmd();
    void reportOptionsCmd();
    void optionsCmd();
    void aboutCmd();
    void helpCmd();
    // The debugger's keys that work from every page, and the data tree's
    // link to the code editor.
    void attachCodeKeys();
    // The tab order (page popup, dialog pages only) and connections (View
    // menu, standalone designer only) commands (zdDesgnForm_tools.cpp).
    void attachDialogCommands();
    void tabOrderCmd();
    void connectionsCmd();

    zd::DesignerModel* m_model;
    std::unique_ptr<zd::DesignerModel> m_ownedModel;
    std::map<QString, QAction*> m_actions;
    std::map<QString, QMenu*> m_menus;
    std::map<QString, QToolBar*> m_toolbars;
    std::vector<std::pair<QWidget*, QString>> m_hints; // control and resource key
    QTabBar* m_tabs = nullptr;
    QStackedWidget* m_pages = nullptr;
    QWidget* m_scrollBoxPanel = nullptr;
    QWidget* m_codePanel = nullptr;
    QWidget* m_codeEditor = nullptr;
    QPlainTextEdit* m_plainCode = nullptr;
    QLabel* m_langL = nullptr;
    QComboBox* m_langCB = nullptr;
    TzdScrollBox* m_scrollBox = nullptr;
    QWidget* m_scrollContent = nullptr;
    TzdRuler* m_topRuler = nullptr;
    TzdRuler* m_leftRuler = nullptr;
    TDesignerWorkspace* m_workspace = nullptr;
    TzdDockSite* m_leftDockSite1 = nullptr;
    TzdDockSite* m_leftDockSite2 = nullptr;
    TzdDockSite* m_rightDockSite = nullptr;
    std::map<QString, QDockWidget*> m_toolWindows;
    QButtonGroup* m_paletteGroup = nullptr;
    std::vector<std::pair<QToolButton*, int>> m_objectButtons; // button and registry item
    QToolButton* m_bandButton = nullptr;
    QMenu* m_bandsPopup = nullptr;
    QMenu* m_objectsPopup = nullptr;
    QMenu* m_pagePopup = nullptr;
    QMenu* m_languageMenu = nullptr;
    QComboBox* m_scaleCB = nullptr;
    QComboBox* m_fontNameCB = nullptr;
    QComboBox* m_fontSizeCB = nullptr;
    QComboBox* m_frameWidthCB = nullptr;
    QComboBox* m_styleCB = nullptr;
    QMenu* m_rotationPopup = nullptr;
    TzdDropDownButton* m_colorButtons[3] = {}; // font, fill, frame
    plat::TColor m_lastColors[3] = {0, 0, 0};
    int m_frameStyle = 0;
    QLabel* m_statusUnits = nullptr;
    QLabel* m_statusPos = nullptr;
    QLabel* m_statusText = nullptr;
    bool m_showGrid = true;
    bool m_showRulers = true;
    bool m_updating = false;
    bool m_syncing = false;
    bool m_settingsRead = false;
    bool m_closing = false;
    std::unique_ptr<TzdQtDesignerDialogs> m_dialogs;
    std::unique_ptr<TzdScopedDesignerDialogs> m_dialogsScope;
    TzdObjectInspector* m_inspector = nullptr;
    TzdDataTreeForm* m_dataTree = nullptr;
    TzdReportTreeForm* m_reportTree = nullptr;
    TzdCodePage* m_codePage = nullptr;
};

namespace zd {

// Installs the designer: the report core's designer class makes a designer
// model, and the report's windows show it in a TzdDesignerForm.
void startDesignerFormUnit();
// Shows the designer window over Designer (a zd::DesignerModel); modal:
// returns once it closed.
void ShowDesignerWindow(TzdCustomDesigner* Designer, bool Modal);

} // namespace zd

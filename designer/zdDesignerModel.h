#pragma once
// The designer without its window: the host's designer component with its
// options and restrictions (TzdDesigner), and the designer model that a
// window shows and a script can drive. The model keeps the report's page
// tabs, the shown page, its objects and the selection, the modified flag
// with undo snapshots, and runs every designer command with its enable
// rule. Dialogs it needs go through the user-interface services.
//
// Every command that replaces the report's object tree locks the designer
// first (LockDesigner), so that no list keeps a freed object, and rebuilds
// the page tabs afterwards.

#include "Graphics.h"
#include "Papers.h"
#include "zdClass_services.h"
#include "zdDsgnIntf.h"
#include "zdWorkspaceTools.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace plat {
class TFont;
} // namespace plat

class TSampleFormat;
class TzdBand;
class TzdClipboard;
class TzdPictureCache;
class TzdReport;
class TzdReportPage;
class TzdUndoBuffer;

class TzdDesigner : public plat::TComponent {
    PLAT_CLASS(TzdDesigner, plat::TComponent)
public:
    explicit TzdDesigner(plat::TComponent* AOwner);
    ~TzdDesigner() override;

    // The last one created that still lives; nullptr when none.
    static TzdDesigner* Current();
    static void SetCurrent(TzdDesigner* Value);
    // True when no component exists or it does not forbid R.
    static bool Allowed(TzdDesignerRestriction R);

    bool CloseQuery = true;
    QString DefaultScriptLanguage = QStringLiteral("PascalScript");
    plat::TFont* DefaultFont() const { return m_defaultFont.get(); }
    void SetDefaultFont(plat::TFont* Value);
    long double DefaultLeftMargin = 10;
    long double DefaultRightMargin = 10;
    long double DefaultTopMargin = 10;
    long double DefaultBottomMargin = 10;
    int DefaultPaperSize = 9;
    plat::TPrinterOrientation DefaultOrientation = plat::poPortrait;
    bool Gradient = false;
    plat::TColor GradientEnd = 11982554;
    plat::TColor GradientStart = plat::clWindow;
    QString OpenDir;
    QString SaveDir;
    QString TemplatesExt = QStringLiteral("zd3");
    QString TemplateDir;
    bool Standalone = false;
    TzdDesignerRestrictions Restrictions;
    bool RTLLanguage = false;
    bool MemoParentFont = false;

    std::function<bool(TzdReport* Report)> OnLoadReport;
    std::function<bool(TzdReport* Report, const QString& FileName)> OnLoadRecentReport;
    std::function<bool(TzdReport* Report, bool SaveAs)> OnSaveReport;
    std::function<void(plat::TObject* Sender)> OnShow;
    std::function<void(plat::TObject* Sender)> OnInsertObject;
    std::function<void(plat::TObject* Sender)> OnShowStartupScreen;
    std::function<void(QStringList& List)> OnGetTemplateList;

private:
    std::unique_ptr<plat::TFont> m_defaultFont;
};

namespace zd {

struct FormatValues;

// The restrictions of prepared-page mode (the set with the value 950).
inline constexpr quint32 kPreviewDesignerRestrictions = 950;

enum AlignCommand {
    acLefts, acHorzCenters, acRights, acTops, acVertCenters, acBottoms, acSpaceHorz, acSpaceVert,
    acCenterHorz, acCenterVert, acSameWidth, acSameHeight
};

class DesignerModel : public TzdCustomDesigner {
public:
    DesignerModel(plat::TComponent* AOwner, TzdReport* AReport, bool AIsPreviewDesigner = false);
    ~DesignerModel() override;

    TzdReport* report() const { return m_report; }
    WorkspaceTools& workspace() { return *m_workspace; }
    TzdUndoBuffer& undoBuffer() { return *m_undo; }
    TzdClipboard& clipboard() { return *m_clipboard; }
    TzdPictureCache& pictureCache() { return *m_pictureCache; }
    TSampleFormat& sampleFormat() { return *m_sample; }

    // --- the operations of the abstract designer
    void SetModifiedFlag(bool Value) override;
    void SelectPage(TzdComponent* Page) override;
    void CodeLines() override {}
    // The window's expression editor when it gave one (ExpressionEditor);
    // without a window the expression comes back as it was.
    QString EditExpression(const QString& Expr) override { return ExpressionEditor ? ExpressionEditor(Expr) : Expr; }
    std::function<QString(const QString& Expr)> ExpressionEditor;
    void LockDesigner() override;
    void RebuildPageTabs(int Index) override;
    void ReloadFromReport() override;
    void RefreshDataTree() override {}
    void RepaintPage() override {}
    void RefreshInspector() override {}
    void SuspendInspector() override { m_inspectorSuspended = true; }
    void ResumeInspector() override { m_inspectorSuspended = false; }

    // --- tabs: 0 the code page, i + 1 the report's page i
    QStringList TabCaptions() const;
    int CurrentTab() const { return m_currentTab; }
    bool SelectTab(int Tab);
    // The shown page's index among the report's pages; -1 on the code page.
    int PageIndex() const;
    // Moves the shown page's tab onto Target; false when refused.
    bool MoveTab(int From, int Target);

    // --- state
    long double Scale() const { return m_scale; }
    // 0 becomes 1; the zoom stays between the zoom list's 25 % and 20.
    void SetScale(long double Value);
    // Applies a typed or chosen zoom text ("150 %", "25"); false when empty.
    bool ApplyZoomText(const QString& Text);
    void WheelZoom(int Direction);
    void SetUnits(TzdRulerUnits Value);
    TzdRulerUnits UserUnits = ruCM;
    long double Grid1 = 0.1L, Grid2 = 0.1L, Grid3 = 4, Grid4 = 4;
    void SetGrid(int Index, long double Value);
    bool EditAfterInsert = false;
    QStringList RecentFiles;
    QString TemplatesExt = QStringLiteral("zd3");
    QString Title() const;
    QString Caption() const { return QStringLiteral("ZazaDuzudi - ") + Title(); }
    // The palette's insertion request; none: nothing armed.
    TzdPageKind ShownPageKind() const;

    // --- units
    long double MmToUnits(long double Mm, bool Vertical) const;
    long double UnitsToMm(long double Value, bool Vertical) const;
    // Width and height, in pixels, of a new object whose class gives none.
    void DefaultObjectSize(long double& Width, long double& Height) const;
    // The band height of the units in pixels.
    long double BandSize() const;

    // --- the enable rules; Name is the action's name ("UndoCmd")
    bool IsEnabled(const QString& ActionName) const;
    // The toolbar update's rules for the formatting controls, by the
    // control's name ("BoldB", "FontNameCB", "FrameWidthCB"); the palette's
    // hand, zoom and text tools are "HandTool", "ZoomTool" and "TextTool".
    // Unknown names are enabled.
    bool IsControlEnabled(const QString& ControlName) const;
    // Status panel 2: what the one selected object is; empty otherwise.
    QString StatusObjectText() const;
    // The tab popup's commands, in menu order.
    static QStringList TabPopupActions();

    // --- reset to the ancestor's values
    // The two "Reset to Parent object" items show for an inherited report.
    bool ResetToParentVisible() const;
    bool ResetToParentEnabled() const;
    // Every selected inherited object gets its ancestor's values back (with
    // its children's for WithChildren); the number of objects reset.
    int ResetToParent(bool WithChildren);

    // --- preview
    // Compiles the script and runs the report; afterwards the template is
    // reloaded as it was before the run. False when refused or the script
    // does not compile (the code page then shows the error's place).
    bool Preview();
    // Runs the report for Preview; unset: TzdReport::ShowReport.
    std::function<void(TzdReport* Report)> OnRunReport;
    // Where a failed compile put the caret on the code page (1-based).
    int ErrorLine = 0;
    int ErrorColumn = 0;

    // --- templates of the "New..." dialog
    // The host's OnGetTemplateList, else every "*.TemplatesExt" file of
    // TemplateDir (the program's folder when empty or "."), full paths.
    QStringList TemplateList() const;
    QString TemplateDir;

    // The workspace's colour setting and the colour it is painted in (a
    // dialog page's own colour while one is shown).
    plat::TColor WorkspaceColor = plat::clWindow;
    plat::TColor ShownWorkspaceColor() const;
    // True while the designer runs the report's script (zdScriptDebugger):
    // the commands that replace or free the object tree or the datasets
    // the run uses are refused until the run is over.
    bool ScriptRunning = false;
    // Whether the command is refused because a script run is in progress.
    bool LockedByScriptRun(const QString& ActionName) const;

    // --- file commands; each false when refused or cancelled
    // The save question when modified: true to go on (No, or Yes with a
    // save that happened), false to stop.
    bool ConfirmDiscard();
    bool NewReport();
    bool NewPage();
    bool NewDialog();
    bool DeletePage();
    // Opens FileName (a recent-file item) or, when empty, asks for one.
    bool Open(const QString& FileName = {});
    bool Save(bool SaveAs = false);
    // The closing question; true when the window may close.
    bool CloseQuery();
    void AddRecentFile(const QString& FileName);

    // --- edit commands
    void Undo();
    void Redo();
    void Copy();
    void Cut();
    void Paste();
    void Delete();
    void SelectAll();
    void SelectSameType(bool OnPage);
    void BringToFront();
    void SendToBack();
    void Group();
    void Ungroup();
    void Align(AlignCommand Command);
    void SetToGrid();
    void DeleteGuides();
    // The formatting command of a toolbar control's tag on every selected
    // object that may be modified; false when nothing changed.
    bool Format(int Tag, const FormatValues& Values);
    // Find and replace on the shown page: the search starts over; FindNext
    // selects the next text object whose text holds the text. With
    // Replace, each match is asked about ("dsReplace": Yes, No, Cancel,
    // All). False when nothing was found (after "dsTextNotFound").
    bool Find(const QString& Text, bool CaseSensitive, bool Replace = false, const QString& ReplaceWith = {});
    bool FindNext();
    // Splices a new child band between the selected band and its child.
    TzdBand* AddChildBand();

    // --- insertion
    // Creates an object of the class in the rectangle (pixels); nullptr when
    // refused.
    TzdComponent* InsertObject(const plat::TClass* Class, quint16 Flags, const ExtBounds& Bounds);
    // A band of the band menu (tag: position in the band table, +100 vertical).
    TzdBand* InsertBand(int Tag);
    bool BandMenuItemEnabled(int Tag) const;

    // --- selection helpers
    void SetSelection(std::vector<TzdComponent*> Objects);
    // Objects and the selection rebuilt for the shown page.
    void RebuildObjects();
    void SelectionChanged();

    // Messages the model showed, newest last (also shown through the
    // services).
    QStringList Messages;

private:
    void showError(const QString& Text);
    void makeEmptyReport(bool DefaultsFromComponent);
    TzdReportPage* shownReportPage() const;
    void layoutPage();
    void applyUnitsToWorkspace();
    void onInsertRequest(const InsertRequest& Request);

    TzdReport* m_report;
    std::unique_ptr<WorkspaceTools> m_workspace;
    std::unique_ptr<TzdPictureCache> m_pictureCache;
    std::unique_ptr<TzdUndoBuffer> m_undo;
    std::unique_ptr<TzdClipboard> m_clipboard;
    std::unique_ptr<TSampleFormat> m_sample;
    TzdDesigner* m_setAside = nullptr;
    TzdDesigner* m_ownComponent = nullptr;
    int m_currentTab = 1;
    long double m_scale = 1;
    bool m_inspectorSuspended = false;
    plat::TColor m_shownColor = plat::clWindow;
    struct FindState {
        QString text, replaceWith;
        bool caseSensitive = false, replace = false, all = false, started = false;
        size_t index = 0;
    } m_find;
};


// Stores the designer's constructor in the report core: the window's when
// given, else one that makes a designer model without a window (tools and
// tests). Class and property registration of the designer component too.
void startDesignerUnit(TzdDesignerClass WindowClass = nullptr);

// Millimetres in the ruler's units and back; characters are whole cells.
long double mmToUnits(long double Mm, TzdRulerUnits Units, bool Vertical);
long double unitsToMm(long double Value, TzdRulerUnits Units, bool Vertical);

} // namespace zd

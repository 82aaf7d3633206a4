#pragma once
// The seams between the report document and the subsystems that work for
// it. The report reaches its engine, its prepared pages (with their
// outline), its preview, its designer, the export filters, the wizards, the
// compressor and the crypter only through the abstract bases declared
// here; the engine, the preview and the exports implement theirs in
// report/engine and export/, the designer and its wizards in designer/.
// Nothing in the report core includes those layers.
//
// Three process-wide class references let the report create a designer, a
// compressor and a crypter without knowing their classes: each concrete
// class stores itself there (the designer at start-up, the compressor and
// the crypter when one of their components is created), and the report
// makes a temporary instance for one load, save or design session.
//
// The bases hold the report as its document seam (zd::ReportDocument); an
// implementation that needs the whole report asks the seam for it.

#include "Controls.h"
#include "DateUtils.h"
#include "Objects.h"
#include "TypeInfo.h"
#include "Variant.h"

#include <QSize>
#include <QString>

#include <memory>
#include <vector>

namespace plat {
class TStrings;
class TCanvas;
class TStream;
} // namespace plat

namespace zd {
class ReportDocument;
} // namespace zd

class TzdBand;
class TzdComponent;
class TzdCustomDesigner;
class TzdCustomOutline;
class TzdCustomPreviewPages;
class TzdPage;
class TzdPictureView;
class TzdReport;
class TzdReportPage;
class TzdXMLItem;

// nullptr until a compressor or crypter component has been created.
extern const plat::TClass* zdCompressorClass;
extern const plat::TClass* zdCrypterClass;

class TzdCustomCompressor : public plat::TComponent {
    PLAT_CLASS(TzdCustomCompressor, plat::TComponent)
public:
    // Puts back the class reference that was current at creation, frees the
    // work stream and deletes its temporary file.
    ~TzdCustomCompressor() override;

    // A memory stream for a template, or when the report's file cache is off
    // (the report passes its EngineOptions.UseFileCache and TempDir); else a
    // new temporary file ("fr...") in tempDir, or in the system's temporary
    // folder when tempDir is empty. Replaces any earlier work stream.
    void OpenWorkStream(bool useFileCache = false, const QString& tempDir = {});
    // The plain data; opened as above with the defaults when not yet open.
    plat::TStream& WorkStream();
    const QString& WorkFileName() const { return m_workFileName; }

    // False when source is not compressed (source stays where it was); else
    // the plain data is in the work stream. Either way the work stream ends
    // at position 0.
    virtual bool Decompress(plat::TStream& Source) = 0;
    // Compresses the whole work stream into dest at its position.
    virtual void Compress(plat::TStream& Dest) = 0;

    bool IsTemplate = false; // a report template rather than prepared pages
    TzdReport* Report = nullptr;

protected:
    // ownClass: the concrete class, stored in zdCompressorClass.
    TzdCustomCompressor(plat::TComponent* AOwner, const plat::TClass* ownClass);

private:
    void closeWorkStream();

    const plat::TClass* m_replacedClass;
    std::unique_ptr<plat::TStream> m_workStream;
    QString m_workFileName;
};

class TzdCustomCrypter : public plat::TComponent {
    PLAT_CLASS(TzdCustomCrypter, plat::TComponent)
public:
    // Leaves zdCrypterClass as it is: encrypted templates stay readable
    // after the component is gone.
    ~TzdCustomCrypter() override;

    void OpenWorkStream(); // a new memory stream
    plat::TStream& WorkStream(); // opened when not yet open

    // False when source is not encrypted (source stays where it was); else
    // the plain data is in the work stream, at position 0 either way.
    virtual bool Decrypt(plat::TStream& Source, const QString& Key) = 0;
    // Encrypts the whole work stream into dest with Key as the password.
    virtual void Encrypt(plat::TStream& Dest, const QString& Key) = 0;

protected:
    TzdCustomCrypter(plat::TComponent* AOwner, const plat::TClass* ownClass);

private:
    std::unique_ptr<plat::TStream> m_workStream;
};

// ---------------------------------------------------------------------------
// The engine: fills the prepared pages from the report's pages and data.

class TzdCustomEngine : public plat::TPersistent {
    PLAT_CLASS(TzdCustomEngine, plat::TPersistent)
public:
    explicit TzdCustomEngine(zd::ReportDocument* AReport);
    ~TzdCustomEngine() override;
    TzdCustomEngine(const TzdCustomEngine&) = delete;
    TzdCustomEngine& operator=(const TzdCustomEngine&) = delete;

    // The stored page height here; engines that reserve room override it.
    virtual long double GetPageHeight();
    virtual void CompletePage() = 0;
    virtual void CloseKeepBlock() {}
    virtual void NewColumn() = 0;
    virtual void NewPage() = 0;
    virtual void ShowBand(TzdBand* Band) = 0;
    virtual void ShowBandOfClass(const plat::TClass* BandClass) = 0;
    virtual long double PageHeadersHeight() = 0;
    virtual long double PageFootersHeight() = 0;
    virtual long double FreeSpace() = 0;
    // "SUM", "AVG", "MIN", "MAX" or "COUNT" over Expression (empty for
    // COUNT); Flags 1 counts invisible bands, 2 keeps a running total.
    virtual plat::Variant EvaluateAggregate(const QString& Name, const QString& Expression, TzdBand* Band,
                                            int Flags) = 0;
    // Builds the prepared pages (all pages for a nil Page); true when built.
    virtual bool Run(bool RunDialogs, bool SecondFlag, TzdPage* Page) = 0;

    // The report's EngineOptions.DoublePass.
    bool DoublePass() const;
    // Stops the report at the engine's next check (a script method).
    void StopReport();

    zd::ReportDocument* const Report;
    // Objects told of every data row; emptied at every script set-up.
    std::vector<TzdComponent*> NotifyList;
    TzdCustomPreviewPages* ActivePreviewPages = nullptr;
    bool BuildRunning = false;
    int CurLine = 0;        // record number within the current data band
    int CurLineThrough = 0; // line counter through the whole report

    int CurColumn = 0;
    int CurVColumn = 0;
    long double CurX = 0;
    long double CurY = 0;
    bool FinalPass = false;
    long double PageHeight = 0;
    long double PageWidth = 0;
    plat::TDateTime StartDate = 0;
    plat::TDateTime StartTime = 0;
    int TotalPages = 0;
    bool SecondScriptCall = false;
};

// ---------------------------------------------------------------------------
// The outline of the prepared pages, walked through a current item.

class TzdCustomOutline : public plat::TPersistent {
    PLAT_CLASS(TzdCustomOutline, plat::TPersistent)
public:
    explicit TzdCustomOutline(TzdCustomPreviewPages* PreviewPages);
    ~TzdCustomOutline() override;

    virtual int ItemCount() = 0;
    virtual void AddItem(const QString& Text, int Top) = 0;
    virtual void LevelInto(int Index) = 0;
    virtual void LevelRoot() = 0;
    virtual void LevelUp() = 0;
    virtual void ReadItem(int Index, QString& Text, int& Page, int& Top) = 0;
    virtual void ShiftFollowingItems(TzdXMLItem* From, int NewTop) = 0;
    virtual TzdXMLItem* LastItem() = 0;

    // The engine of the prepared pages (nullptr when there is none).
    TzdCustomEngine* GetEngine() const;

    TzdXMLItem* CurItem = nullptr;
    TzdCustomPreviewPages* const ActivePreviewPages;
};

// ---------------------------------------------------------------------------
// The prepared pages: what the engine produced, the preview shows, printing
// and exporting walk, and prepared-report files hold.

enum TzdPageAddMode { pamAppend, pamReuse };

class TzdCustomExportFilter;

class TzdCustomPreviewPages : public plat::TObject {
    PLAT_CLASS(TzdCustomPreviewPages, plat::TObject)
public:
    // Takes Outline (the implementation's own outline kind).
    TzdCustomPreviewPages(zd::ReportDocument* AReport, TzdCustomOutline* AOutline);
    ~TzdCustomPreviewPages() override;
    TzdCustomPreviewPages(const TzdCustomPreviewPages&) = delete;
    TzdCustomPreviewPages& operator=(const TzdCustomPreviewPages&) = delete;

    virtual int GetPageCount() = 0;
    virtual TzdReportPage* GetPage(int Index) = 0;
    // Width and height in pixels, rounded; (0, 0) outside the pages.
    virtual QSize GetPageSize(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Initialize() = 0;
    virtual void AddObject(TzdComponent* Obj) = 0;
    virtual void AddPage(TzdReportPage* Page) = 0;
    virtual void RegisterSourcePage(TzdReportPage* Page) = 0;
    virtual void AddSourceObject(TzdComponent* Obj) = 0;
    virtual void RememberPassStart() = 0;
    virtual void DiscardPassPages() = 0;
    virtual int CutObjectsFrom(int Position) = 0;
    virtual void FinishPreparing() = 0;
    virtual void NextLogicalPage() = 0;
    virtual void CloseLogicalPageGroup() = 0;
    virtual void PasteCutObjects(long double X, long double Y) = 0;
    virtual void MoveAnchorsDown(int FromIndex, long double NewTop) = 0;
    // The picture of a picture object goes into the picture cache, which
    // sets the object's ImageIndex (0 for an object without a picture).
    virtual void CachePicture(TzdPictureView* Picture) = 0;
    virtual bool BandOnCurrentPage(TzdBand* Band) = 0;
    virtual int CurrentPosition() = 0;
    virtual int LastAnchorIndex() = 0;
    virtual long double ContentBottom(long double X) = 0;
    virtual int LogicalPageNumber() = 0;
    virtual int LogicalPageTotal() = 0;
    virtual void InsertEmptyPage(int Index) = 0;
    virtual void DeletePage(int Index) = 0;
    virtual void ReplacePage(int Index, TzdReportPage* Page) = 0;
    virtual bool DrawPage(int Index, plat::TCanvas* Canvas, long double ScaleX, long double ScaleY,
                          long double OffsetX, long double OffsetY) = 0;
    // Kind: 0 click, 1 double click, 2 move, 3 button release (a release
    // sends 3, then 0 or 1).
    virtual void HandleMouseAt(int PageNo, int X, int Y, plat::TMouseButton Button, plat::TShiftState Shift,
                               long double Scale, long double OffsetX, long double OffsetY, plat::TCursor& Cursor,
                               quint8 Kind) = 0;
    virtual void AppendPagesOf(zd::ReportDocument* Source) = 0;
    virtual bool LoadFromStream(plat::TStream& Stream, bool AllowPartialLoading) = 0;
    virtual void SaveToStream(plat::TStream& Stream) = 0;
    virtual bool LoadFromFile(const QString& FileName, bool ExceptionIfNotFound) = 0;
    virtual void SaveToFile(const QString& FileName) = 0;
    virtual bool Print() = 0;
    virtual bool Export(TzdCustomExportFilter* Filter) = 0;
    // Named places in the prepared pages that scripts mark and look up; a
    // store without them keeps none and answers page 1.
    virtual void AddAnchor(const QString& Text, long double Top);
    virtual int GetAnchorPage(const QString& Text);

    TzdCustomOutline* Outline() const { return m_outline.get(); }

    zd::ReportDocument* const Report;
    TzdCustomEngine* Engine = nullptr;
    TzdPageAddMode PageAddMode = pamAppend;
    int CurPageIndex = -1;     // the page the engine writes to
    int ShownPageNo = 0;       // 1-based page the preview shows
    int RunFirstPageIndex = 0; // where the current run began

private:
    std::unique_ptr<TzdCustomOutline> m_outline;
};

// How a report makes its engine and its prepared-pages store. The engine
// library sets both at start-up; the report core cannot name its classes.
// While nullptr the report has neither and cannot prepare.
extern TzdCustomEngine* (*zdCreateEngine)(zd::ReportDocument* AReport);
extern TzdCustomPreviewPages* (*zdCreatePreviewPages)(zd::ReportDocument* AReport);

// ---------------------------------------------------------------------------
// The preview control. Its window lives in report/engine; the report talks
// to it through these operations only.

enum TzdProgressType { ptRunning, ptExporting, ptPrinting };

class TzdCustomPreview : public plat::TComponent {
    PLAT_CLASS(TzdCustomPreview, plat::TComponent)
public:
    explicit TzdCustomPreview(plat::TComponent* AOwner);
    ~TzdCustomPreview() override;

    virtual void AttachReport(zd::ReportDocument* AReport, TzdCustomPreviewPages* PreviewPages) = 0;
    virtual void CloseTabsOf(TzdCustomPreviewPages* PreviewPages) = 0;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    virtual void Reprepare() = 0;
    virtual void PrepareStarted(zd::ReportDocument* AReport, TzdProgressType ProgressType, int Index) = 0;
    virtual void PageAdded(zd::ReportDocument* AReport, TzdProgressType ProgressType, int Index) = 0;
    virtual void PrepareFinished(zd::ReportDocument* AReport, TzdProgressType ProgressType, int Index) = 0;

    TzdCustomPreviewPages* ActivePreviewPages = nullptr;
    zd::ReportDocument* Report = nullptr;
    bool ShowReportHints = true;
    plat::TComponent* PreviewForm = nullptr; // the window holding the control
};

// ---------------------------------------------------------------------------
// The report's windows that live in the layers above it: the progress
// window, the preview window, the designer's showing and the question about
// duplicate names when a report inherits. The preview layer installs its
// implementation at start-up; without one the report opens none of them.

class TzdReportWindows {
public:
    virtual ~TzdReportWindows();

    // The progress window, with an empty message, no bar and Cancel.
    virtual void OpenProgress(zd::ReportDocument* Report) = 0;
    virtual void SetProgressMessage(const QString& Text) = 0;
    // True once the user pressed Cancel.
    virtual bool ProgressCancelled() = 0;
    virtual void CloseProgress() = 0;

    // A preview window on Pages (not yet shown) and its preview control.
    virtual plat::TComponent* CreatePreviewWindow(zd::ReportDocument* Report, TzdCustomPreviewPages* Pages,
                                                  TzdCustomPreview*& Control) = 0;
    // Modal: returns once the window is closed, having freed it; else the
    // window frees itself when closed.
    virtual void ShowPreviewWindow(plat::TComponent* Window, bool Modal, bool Maximized, bool MDIChild) = 0;
    virtual void ClosePreviewWindow(plat::TComponent* Window) = 0;
    // A status text in panel 1 (panel 2 with SecondPanel).
    virtual void SetPreviewMessage(plat::TComponent* Window, const QString& Text, bool SecondPanel) = 0;

    // Shows the designer; modal: returns once it is closed.
    virtual void ShowDesigner(TzdCustomDesigner* Designer, bool Modal, bool MDIChild) = 0;

    // Objects of the same names in a report and the template it is to
    // inherit from: 0 cancel, 1 delete the duplicates, 2 rename them.
    virtual int AskInheritDuplicates() = 0;
};

// nullptr until a layer installs its windows.
TzdReportWindows* zdReportWindows();
// Installs (not owned); returns the previous ones.
TzdReportWindows* zdSetReportWindows(TzdReportWindows* Windows);

// ---------------------------------------------------------------------------
// Export filters. A filter is in the export-filter registry from its
// creation to its destruction, so the preview offers exactly the filters
// that their owners keep.

class TzdCustomExportFilter : public plat::TComponent {
    PLAT_CLASS(TzdCustomExportFilter, plat::TComponent)
public:
    explicit TzdCustomExportFilter(plat::TComponent* AOwner);
    ~TzdCustomExportFilter() override;

    // The filter's entry in export menus.
    virtual QString GetMenuCaption() const;
    // The options dialog; its modal result (1, OK, here).
    virtual int ShowSettingsDialog();
    // Prepares the output; false cancels the export.
    virtual bool StartExport();
    virtual void WriteObject(TzdComponent* Obj);
    virtual void FinishExport();
    // Ends an export that failed part way: releases what StartExport took
    // and delivers nothing (no file is committed, nothing is printed). By
    // default the same as FinishExport.
    virtual void AbortExport();
    virtual void ClosePage(TzdReportPage* Page, int Index);
    virtual void OpenPage(TzdReportPage* Page, int Index);

    bool ShowDialog = true;
    QString FileName;
    bool ExportNotPrintable = false;
    bool UseFileCache = true;
    QString DefaultPath;
    bool ShowProgress = true;
    bool OverwritePrompt = false;
    plat::TDateTime CreationTime = 0;
    bool DataOnly = false;
    plat::TNotifyEvent OnBeforeExport;
    plat::TNotifyEvent OnBeginExport;

    zd::ReportDocument* Report = nullptr;
    // When set, the filter writes here instead of opening a file.
    std::unique_ptr<plat::TStream> OutputStream;
    QString PageNumbers;         // "1,3,5-12"; empty: all pages
    bool CurPage = false;        // the export loop puts the current page into PageNumbers
    bool SuppressPageHeadersFooters = false;
};

// ---------------------------------------------------------------------------
// The designer window. Its window lives in designer/; the report opens it
// through zdDesignerClass.

// The commands the designer's owner may forbid.
enum TzdDesignerRestriction {
    drDontInsertObject, drDontDeletePage, drDontCreatePage, drDontChangePageOptions, drDontCreateReport,
    drDontLoadReport, drDontSaveReport, drDontPreviewReport, drDontEditVariables, drDontChangeReportOptions,
    drDontEditReportData, drDontShowRecentFiles, drDontEditReportScript, drDontEditInternalDatasets
};
using TzdDesignerRestrictions = plat::TSet<TzdDesignerRestriction>;
PLAT_DECLARE_ENUM(TzdDesignerRestriction)
PLAT_DECLARE_SET(TzdDesignerRestrictions)

// The units positions and sizes are shown in.
enum TzdRulerUnits { ruCM, ruInches, ruPixels, ruChars };
PLAT_DECLARE_ENUM(TzdRulerUnits)

class TzdCustomDesigner : public plat::TComponent {
    PLAT_CLASS(TzdCustomDesigner, plat::TComponent)
public:
    TzdCustomDesigner(plat::TComponent* AOwner, zd::ReportDocument* AReport, bool AIsPreviewDesigner);
    ~TzdCustomDesigner() override;

    // Modified := Value; a change also marks the report modified.
    virtual void SetModifiedFlag(bool Value);
    virtual void SelectPage(TzdComponent* Page);
    virtual void CodeLines() = 0;
    // The expression editor on Expr: the edited text, empty when cancelled.
    virtual QString EditExpression(const QString& Expr) = 0;
    virtual void LockDesigner() = 0;
    virtual void RebuildPageTabs(int Index) = 0;
    virtual void ReloadFromReport() = 0;
    virtual void RefreshDataTree() = 0;
    virtual void RepaintPage() = 0;
    // Rebuilds the object inspector unless it is suspended.
    virtual void RefreshInspector() = 0;
    virtual void SuspendInspector() = 0;
    virtual void ResumeInspector() = 0;
    // Shows the code page with the caret at (Line, Column), both 1-based
    // for the line index + 1; Focus also focuses the code editor.
    virtual void ShowCodeAt(int Line, int Column, bool Focus);
    // The script being edited: the report's script text.
    virtual plat::TStrings* ScriptLines();

    zd::ReportDocument* const Report;
    const bool IsPreviewDesigner; // editing a prepared page
    bool Modified = false;
    bool InnerFlag = false;
    std::vector<TzdComponent*> PageObjects;
    std::vector<TzdComponent*> Selection;
    TzdComponent* CurrentPage = nullptr;
    TzdDesignerRestrictions Restrictions;
    TzdRulerUnits Units = ruCM;
};

// The designer's constructor, stored by the designer unit at start-up.
using TzdDesignerClass = TzdCustomDesigner* (*)(plat::TComponent* AOwner, zd::ReportDocument* AReport,
                                                bool IsPreviewDesigner);
extern TzdDesignerClass zdDesignerClass;

// ---------------------------------------------------------------------------
// Designer wizards.

class TzdCustomWizard : public plat::TComponent {
    PLAT_CLASS(TzdCustomWizard, plat::TComponent)
public:
    // AOwner is the designer the wizard works in.
    explicit TzdCustomWizard(plat::TComponent* AOwner);
    ~TzdCustomWizard() override;

    virtual QString GetWizardCaption() const;
    // Runs on the designer's report; true when accepted.
    virtual bool RunWizard() = 0;

    TzdCustomDesigner* const OwnerDesigner;
    zd::ReportDocument* const Report;
};

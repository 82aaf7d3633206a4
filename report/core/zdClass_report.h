#pragma once
// The report document: the root of a report's object tree (its pages are
// its direct children), its options, datasets and variables, and the
// template file: XML, optionally encrypted and then gzip-compressed, with a
// password, and inheritance from a parent template named in ParentReport.
//
// A load never throws for a damaged template: what could be read stays,
// and the messages go to ErrorList and out by EngineOptions.NewSilentMode
// (a message box, nothing, or an exception).

#include "zdClass.h"
#include "zdClass_options.h"
#include "zdClass_services.h"
#include "zdDataSets.h"

#include <functional>
#include <map>
#include <memory>

class TzdCustomEngine;
class TzdDrawText;
class TzdReportComponent;
class TzdStyles;
class TzdVariables;
class TzdView;
class TzsCustomVariable;
class TzsScript;
class QTimer;

namespace plat {
class TCustomIniFile;
} // namespace plat

// The host's events of a report (method pointers, published).
PLAT_EVENT_TYPE(TzdBeforePrintEvent, void(TzdComponent* Sender))
PLAT_EVENT_TYPE(TzdConnectEvent, void(TzdDataSet* Sender))
PLAT_EVENT_TYPE(TzdClickObjectEvent, void(TzdView* Sender, plat::TMouseButton Button, plat::TShiftState Shift,
                                           bool& Modified))
PLAT_EVENT_TYPE(TzdManualBuildEvent, void(TzdComponent* Page))
PLAT_EVENT_TYPE(TzdMouseOverObjectEvent, void(TzdView* Sender))
PLAT_EVENT_TYPE(TzdPrintPageEvent, void(TzdComponent* Page, int CopyNo))
PLAT_EVENT_TYPE(TzdProgressEvent, void(TzdReport* Sender, TzdProgressType ProgressType, int Progress))
PLAT_EVENT_TYPE(TzdUserFunctionEvent, plat::Variant(const QString& MethodName, plat::Variant& Params))
PLAT_EVENT_TYPE(TzdLoadTemplateEvent, void(TzdReport* Report, const QString& TemplateName))
PLAT_EVENT_TYPE(TzdLoadDetailTemplateEvent, bool(TzdReport* Report, const QString& TemplateName,
                                                 plat::TObject* Hyperlink))
PLAT_EVENT_TYPE(TzdCloseViewEvent, void(plat::TObject* Sender))
PLAT_EVENT_TYPE(TzdCustomDataEvent, void(TzdXMLItem* Item))

// The report's compiled expressions: one wrapper function per expression
// text, compiled in a private script whose parent is the script the
// expression runs in. Keyed by the exact text: 'Ano' and 'ANO' are
// different expressions.
class TzdExpressionCache {
public:
    explicit TzdExpressionCache(TzsScript* OwnerScript);
    ~TzdExpressionCache();
    TzdExpressionCache(const TzdExpressionCache&) = delete;
    TzdExpressionCache& operator=(const TzdExpressionCache&) = delete;

    // Forgets every compiled expression.
    void Clear();
    // The value of Expression run in Script; Error is empty on success, else
    // the message (the value is then Null for a compile error).
    plat::Variant Calc(const QString& Expression, QString& Error, TzsScript* Script);
    int Count() const { return static_cast<int>(m_compiled.size()); }
    // The wrapper function's name of a cached expression; empty when absent.
    QString FunctionName(const QString& Expression) const;

    QString ScriptLanguage = QStringLiteral("PascalScript");

private:
    TzsScript* m_ownerScript;
    std::unique_ptr<TzsScript> m_cacheScript;
    std::map<QString, TzsCustomVariable*> m_compiled;
};

class TzdReport : public TzdComponent, public zd::ReportDocument {
    PLAT_CLASS(TzdReport, TzdComponent)
public:
    explicit TzdReport(plat::TComponent* AOwner = nullptr);
    ~TzdReport() override;
    TzdReport(const TzdReport&) = delete;
    TzdReport& operator=(const TzdReport&) = delete;

    QString ClassDisplayName() const override;
    void Clear() override;

    // False when the file does not exist (the report is then empty).
    bool LoadFromFile(const QString& FileName, bool ExceptionIfNotFound = false);
    void LoadFromStream(plat::TStream& Stream) override;
    // Written through a temporary file: a failed save keeps the old file.
    void SaveToFile(const QString& FileName);
    void SaveToStream(plat::TStream& Stream, bool SaveChildren = true, bool SaveDefaultValues = false,
                      bool IgnoreAncestry = false) override;

    TzdComponent* GetPageByIndex(int Index) const;
    int GetPageCount() const { return ChildCount(); }
    // Makes sure a data page exists, first among the pages.
    void EnsureDataPage();
    // The library's settings: the key store under IniFile when it begins
    // with "\Software\", else the ini file IniFile names.
    std::unique_ptr<plat::TCustomIniFile> OpenSettingsFile() const;
    // The folder of the program file, with a trailing separator.
    static QString ApplicationFolder();

    // --- preparation
    // Builds the prepared pages (emptied first when ClearLastReport); true
    // on success without errors. Refused (false) while the engine runs.
    bool Prepare(bool ClearLastReport = true);
    // Prepares and shows the preview; nothing while the engine runs.
    void ShowReport(bool ClearLastReport = true);
    void ShowPrepared();
    // The prepare timer's tick.
    void PrepareOnTimer();
    bool PrepareTimerEnabled() const;
    bool PrintPrepared();
    bool PrepareSinglePage(TzdPage* Page);
    void AttachPreviewPages(TzdCustomPreviewPages* PreviewPages);
    // Opens the designer; nothing while one is open, the engine runs or no
    // designer is registered.
    void Design(bool Modal = true, bool MDIChild = false);
    bool EditPreparedPage();
    TzdCustomDesigner* OpenDesigner = nullptr;
    // The report's engine; nullptr when no engine library is linked in.
    TzdCustomEngine* Engine() const { return m_engine.get(); }
    // True while the engine builds pages.
    bool EngineRunning() const;
    TzsScript* Script() const { return m_script.get(); }
    TzdExpressionCache* ExprCache() const { return m_exprCache.get(); }
    // Script set-up and compilation; ActiveReport nullptr: this report.
    bool CompileScript(TzdReport* ActiveReport = nullptr);
    // The marker script of Calc: a report script called Calc.
    static TzsScript* const ReportScriptCall;
    // An expression's value, evaluated in AScript (nullptr or
    // ReportScriptCall: the report's script). Raises on errors.
    plat::Variant Calc(const QString& Expression, TzsScript* AScript);
    // The value of a field, system variable, host value, variable or
    // script variable; false when nothing knows Name.
    bool ResolveName(const QString& Name, plat::Variant& Value);
    TzdDataSet* GetDataset(const QString& Alias) const;
    QString AliasOfDataset(TzdDataSet* DataSet) const;
    void SplitDatasetField(const QString& Text, TzdDataSet*& DataSet, QString& Field) const;
    void ListReportDatasets(QStringList& Names, std::vector<TzdDataSet*>& Objects, bool OnlyDB) const;
    void ListAvailableDatasets(QStringList& Names, std::vector<TzdDataSet*>& Objects) const;
    void RunScriptEvent(TzdComponent* Sender, const QString& HandlerName, bool Force = false);
    void RunScriptEventWithParams(const QString& HandlerName, plat::Variant& Params, bool Force = false);
    void FireBeforePrint(TzdReportComponent* Sender);
    void FireAfterPrint(TzdReportComponent* Sender);
    void FirePreviewClick(TzdView* Sender, plat::TMouseButton Button, plat::TShiftState Shift, bool& Modified,
                          bool DblClick, bool EndedDrag = false);
    void FireMouseEnter(TzdView* Sender, bool& Refresh);
    void FireMouseLeave(TzdView* Sender, bool& Refresh);
    void FireMouseUp(TzdView* Sender, int X, int Y, plat::TMouseButton Button, plat::TShiftState Shift,
                     bool& Modified);
    virtual void BeginProgress(TzdProgressType ProgressType);
    virtual void StepProgress(TzdProgressType ProgressType, int Progress);
    virtual void EndProgress(TzdProgressType ProgressType);
    void ShowProgressText(const QString& Text, bool SecondPanel = false);
    void ApplyPrinterOption();
    TzdCustomPreview* Preview() const { return m_preview; }
    void SetPreview(TzdCustomPreview* Value);
    // The preview window while one is shown.
    plat::TComponent* PreviewWindow = nullptr;

    // --- inheritance
    const QString& ParentReport() const { return m_parentReport; }
    void SetParentReport(const QString& Name);
    TzdReport* ParentTemplate() const { return m_parentTemplate.get(); }
    // Makes the report inherit from the template FileName and keeps what it
    // holds. Objects of the same names: Mode 0 asks (the report windows'
    // question), 1 deletes them, any other value renames them. False when
    // FileName is the report's own file or the question was cancelled
    // (the report is then as it was).
    bool InheritTemplateFile(const QString& AFileName, int Mode);

    // --- published properties
    QString Version() const;
    void SetVersion(const QString&) {}
    TzdDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TzdDataSet* Value);
    QString DataSetName() const;
    void SetDataSetName(const QString& Value);
    TzdEngineOptions* EngineOptions() const { return m_engineOptions.get(); }
    void SetEngineOptions(TzdEngineOptions* Value) { m_engineOptions->Assign(Value); }
    TzdPreviewOptions* PreviewOptions() const { return m_previewOptions.get(); }
    void SetPreviewOptions(TzdPreviewOptions* Value) { m_previewOptions->Assign(Value); }
    TzdPrintOptions* PrintOptions() const { return m_printOptions.get(); }
    void SetPrintOptions(TzdPrintOptions* Value) { m_printOptions->Assign(Value); }
    TzdReportOptions* ReportOptions() const { return m_reportOptions.get(); }
    void SetReportOptions(TzdReportOptions* Value) { m_reportOptions->Assign(Value); }
    const QString& GetScriptLanguage() const { return m_scriptLanguage; }
    void SetScriptLanguage(const QString& Value) { m_scriptLanguage = Value; }
    zd::TStringList* ScriptText() const { return m_scriptText.get(); }
    void SetScriptText(zd::TStringList* Value);

    bool DotMatrixReport = false;
    QString IniFile = QStringLiteral("\\Software\\Rure Viroraz");
    bool OldStyleProgress = false;
    bool ShowProgress = true;
    bool StoreInDFMFlag = true;
    QString OnRunDialogs;
    QString OnStartReport;
    QString OnStopReport;
    QString OnReportPrint;

    // --- owned collections and lists
    TzdReportDataSets* DataSets() const { return m_dataSets.get(); }
    TzdReportDataSets* OfferedDataSets() const { return m_offeredDataSets.get(); }
    QStringList ErrorList() const { return m_errorList; }
    const QStringList& SystemVariableNames() const { return m_systemVariableNames; }

    // --- host hooks
    // Connects ReportOptions.ConnectionName's stored connection string.
    std::function<void(const QString& ConnectionString)> ConnectionHandler;
    // Loads a parent template into the report instead of the file lookup.
    TzdLoadTemplateEvent OnLoadTemplate;
    TzdCustomDataEvent OnGetCustomData;
    TzdCustomDataEvent OnSaveCustomData;
    TzdBeforePrintEvent OnAfterPrint;
    TzdConnectEvent OnBeforeConnect;
    TzdConnectEvent OnAfterDisconnect;
    TzdBeforePrintEvent OnBeforePrint;
    plat::TNotifyEvent OnBeginDoc;
    TzdClickObjectEvent OnClickObject;
    TzdClickObjectEvent OnDblClickObject;
    plat::TNotifyEvent OnEndDoc;
    TzdGetValueEvent OnGetValue;
    TzdNewGetValueEvent OnNewGetValue;
    TzdManualBuildEvent OnManualBuild;
    TzdMouseOverObjectEvent OnMouseOverObject;
    TzdMouseOverObjectEvent OnMouseEnter;
    TzdMouseOverObjectEvent OnMouseLeave;
    plat::TNotifyEvent OnPreview;
    TzdPrintPageEvent OnPrintPage;
    plat::TNotifyEvent OnPrintReport;
    plat::TNotifyEvent OnAfterPrintReport;
    TzdProgressEvent OnProgressStart;
    TzdProgressEvent OnProgress;
    TzdProgressEvent OnProgressStop;
    TzdUserFunctionEvent OnUserFunction;
    TzdLoadDetailTemplateEvent OnLoadDetailTemplate;
    TzdCloseViewEvent OnClosePreview;
    plat::TNotifyEvent OnAfterScriptCompile;

    QString FileName;
    bool Modified = false;
    bool Terminated = false;
    // Drill-down groups whose state differs from their default.
    QStringList ToggledDrillNames;
    bool ReloadingTemplate = false;
    QString EvaluatedObjectName;

    // --- the document seam
    TzdReport* Report() override { return this; }
    TzdComponent* ReportComponent() override { return this; }
    void AddErrors(const QStringList& Errors) override;
    TzdXMLSerializer* CurrentSerializer() const override { return m_serializer; }
    void SetCurrentSerializer(TzdXMLSerializer* Serializer) override { m_serializer = Serializer; }
    bool ThreadSafeMode() const override { return m_engineOptions->ThreadSafeMode; }
    bool GlobalDataSetLookup() const override { return m_engineOptions->GlobalDataSetLookup; }
    TzdDataSet* FindReportDataSet(const QString& UserName) override;
    bool StoreInDFM() const override { return StoreInDFMFlag; }
    TzdComponent* FindAncestorObject(const QString& Name) override;
    zd::CustomDataHandler CustomDataReader() const override;
    zd::CustomDataHandler CustomDataWriter() const override;
    plat::Variant Calc(const QString& Expression) override { return Calc(Expression, nullptr); }
    void SetSelfValue(TzdComponent* View) override;
    void SetLocalValue(const plat::Variant& Value) override;
    QString ScriptLanguage() const override { return m_scriptLanguage; }
    TzdVariables* Variables() override { return m_variables.get(); }
    TzdStyles* Styles() override { return m_styles.get(); }
    // Copies the styles of Value (none when nullptr) into the report's set.
    void SetStyles(TzdStyles* Value);
    TzdDrawText* TextLayout() override { return m_textLayout.get(); }
    TzdCustomPreviewPages* ActivePreviewPages() override { return m_activePreviewPages; }
    TzdCustomDesigner* Designer() override { return OpenDesigner; }
    bool DoublePass() const override { return m_engineOptions->DoublePass; }
    void SetTerminated(bool Value) override;
    void SetModified(bool Value) override { Modified = Value; }

    void WriteNestedProperties(TzdXMLItem* Item) override;
    bool ReadNestedProperty(TzdXMLItem* Item) override;

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    // The plain XML of the template, past compression and encryption: read
    // into the report, and written from it.
    virtual void ReadTemplateXML(plat::TStream& Plain);
    virtual void WriteTemplateXML(plat::TStream& Plain, bool SaveChildren, bool SaveDefaultValues,
                                  bool IgnoreAncestry);

private:
    void reportErrors();
    void plainCopyFrom(TzdReport* Source);
    struct MergeState;
    void mergeObjects(TzdComponent* Dest, TzdComponent* Source, MergeState& State);
    void setAncestorFlags(bool Value);
    QString resolveParentName(const QString& Name) const;
    void loadBody(plat::TStream& Stream);
    bool checkDatasets();
    bool runPreparation();
    void registerScriptItems(TzdReport* ActiveReport);
    plat::Variant callMacroFunction(const QString& MethodName, plat::Variant& Params);
    plat::Variant scriptGet(const QString& Name);
    bool resolveVariable(const QString& Name, plat::Variant& Value);
    bool progressWindowUsed(TzdProgressType ProgressType) const;

    std::unique_ptr<TzsScript> m_script;
    std::unique_ptr<TzdExpressionCache> m_exprCache;
    TzsScript* m_savedParentScript = nullptr;
    TzsCustomVariable* m_valueVariable = nullptr;
    TzsCustomVariable* m_selfVariable = nullptr;
    TzdCustomPreview* m_preview = nullptr;
    std::unique_ptr<QTimer> m_prepareTimer;
    bool m_progressWindowOpen = false;
    // Report variables whose expressions are being evaluated: a variable
    // met again names itself through a cycle.
    QStringList m_variablesInCalc;
    bool m_readingScriptItem = false;
    std::unique_ptr<TzdCustomEngine> m_engine;
    std::unique_ptr<TzdCustomPreviewPages> m_ownPreviewPages;
    TzdCustomPreviewPages* m_activePreviewPages = nullptr;
    QString m_parentReport;
    QString m_scriptLanguage = QStringLiteral("PascalScript");
    TzdDataSet* m_dataSet = nullptr;
    QString m_dataSetName;
    std::unique_ptr<TzdEngineOptions> m_engineOptions;
    std::unique_ptr<TzdPreviewOptions> m_previewOptions;
    std::unique_ptr<TzdPrintOptions> m_printOptions;
    std::unique_ptr<TzdReportOptions> m_reportOptions;
    std::unique_ptr<zd::TStringList> m_scriptText;
    std::unique_ptr<TzdReportDataSets> m_dataSets;
    std::unique_ptr<TzdReportDataSets> m_offeredDataSets;
    std::unique_ptr<TzdVariables> m_variables;
    std::unique_ptr<TzdStyles> m_styles;
    std::unique_ptr<TzdDrawText> m_textLayout;
    std::unique_ptr<TzdReport> m_parentTemplate;
    QStringList m_errorList;
    QStringList m_systemVariableNames;
    TzdXMLSerializer* m_serializer = nullptr;
    // A parent template's copy keeps its own ParentReport as a name only.
    bool m_plainCopy = false;
};

namespace zd {
// The password as the file keeps it without a crypter: each byte (code page
// 1250) less 10, modulo 256; unscramble adds it back.
QString scramblePassword(const QString& Password);
QString unscramblePassword(const QString& Scrambled);
// A parent template named on Windows (drive letter, backslashes) as a path
// of this system, relative names taken from baseFolder.
QString localTemplatePath(const QString& Name, const QString& baseFolder);
// Target relative to the folder of a drive-qualified file, with
// backslashes; Target unchanged when the drives differ.
QString windowsRelativePath(const QString& Target, const QString& FileName);
} // namespace zd

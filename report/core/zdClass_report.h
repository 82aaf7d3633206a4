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

#include <functional>
#include <memory>

class TzdCustomEngine;
class TzdDrawText;
class TzdStyles;
class TzdVariables;

namespace plat {
class TCustomIniFile;
} // namespace plat

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
    // on success without errors.
    bool Prepare(bool ClearLastReport = true);
    // The report's engine; nullptr when no engine library is linked in.
    TzdCustomEngine* Engine() const { return m_engine.get(); }

    // --- inheritance
    const QString& ParentReport() const { return m_parentReport; }
    void SetParentReport(const QString& Name);
    TzdReport* ParentTemplate() const { return m_parentTemplate.get(); }

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
    std::function<void(TzdReport* Report, const QString& TemplateName)> OnLoadTemplate;
    zd::CustomDataHandler OnGetCustomData;
    zd::CustomDataHandler OnSaveCustomData;

    QString FileName;
    bool Modified = false;
    bool Terminated = false;
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
    zd::CustomDataHandler CustomDataReader() const override { return OnGetCustomData; }
    zd::CustomDataHandler CustomDataWriter() const override { return OnSaveCustomData; }
    plat::Variant Calc(const QString& Expression) override;
    void SetSelfValue(TzdComponent*) override {}
    void SetLocalValue(const plat::Variant&) override {}
    QString ScriptLanguage() const override { return m_scriptLanguage; }
    TzdVariables* Variables() override { return m_variables.get(); }
    TzdStyles* Styles() override { return m_styles.get(); }
    // Copies the styles of Value (none when nullptr) into the report's set.
    void SetStyles(TzdStyles* Value);
    TzdDrawText* TextLayout() override { return m_textLayout.get(); }
    TzdCustomPreviewPages* ActivePreviewPages() override { return m_activePreviewPages; }
    TzdCustomDesigner* Designer() override { return nullptr; }
    bool DoublePass() const override { return m_engineOptions->DoublePass; }
    void SetTerminated(bool Value) override { Terminated = Value; }
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
    void setAncestorFlags(bool Value);
    QString resolveParentName(const QString& Name) const;
    void loadBody(plat::TStream& Stream);

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

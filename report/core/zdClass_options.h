#pragma once
// The report's option objects and its dataset list. Template values belong
// to a template: Clear puts them back (ResetValues) and a load takes them
// from the file. Application values are the host's: a load keeps them.

#include "zdClass.h"
#include "zdClass_page.h"

#include "Collections.h"
#include "DateUtils.h"

class TzdDataSet;
class TzdReport;

namespace plat {
class TPicture;
} // namespace plat

enum TzdSilentMode { simMessageBoxes, simSilent, simReThrow };
PLAT_DECLARE_ENUM(TzdSilentMode)
enum TzdPreviewButton {
    pbPrint,
    pbLoad,
    pbSave,
    pbExport,
    pbZoom,
    pbFind,
    pbOutline,
    pbPageSetup,
    pbTools,
    pbEdit,
    pbNavigator,
    pbExportQuick,
    pbNoClose,
    pbNoFullScreen,
    pbNoEmail
};
using TzdPreviewButtons = plat::TSet<TzdPreviewButton>;
PLAT_DECLARE_ENUM(TzdPreviewButton)
PLAT_DECLARE_SET(TzdPreviewButtons)
enum TzdZoomMode { zmDefault, zmWholePage, zmPageWidth, zmManyPages };
PLAT_DECLARE_ENUM(TzdZoomMode)
enum TzdPrintMode { pmDefault, pmSplit, pmJoin, pmScale };
PLAT_DECLARE_ENUM(TzdPrintMode)
enum TzdPrintPages { ppAll, ppOdd, ppEven };
PLAT_DECLARE_ENUM(TzdPrintPages)

class TzdEngineOptions : public plat::TPersistent {
    PLAT_CLASS(TzdEngineOptions, plat::TPersistent)
public:
    TzdEngineOptions() = default;
    void Assign(plat::TPersistent* Source) override;
    void ResetValues();

    bool SilentMode() const { return NewSilentMode == simSilent; }
    void SetSilentMode(bool Value) { NewSilentMode = Value ? simSilent : simMessageBoxes; }

    bool ConvertNulls = true;
    bool DestroyForms = true;
    bool DoublePass = false;
    int MaxMemSize = 10;
    bool PrintIfEmpty = true;
    bool ThreadSafeMode = false;
    TzdSilentMode NewSilentMode = simMessageBoxes;
    QString TempDir;
    bool UseFileCache = false;
    bool GlobalDataSetLookup = true;
    bool IgnoreDevByZero = false;
};

class TzdPreviewOptions : public plat::TPersistent {
    PLAT_CLASS(TzdPreviewOptions, plat::TPersistent)
public:
    TzdPreviewOptions() = default;
    void Assign(plat::TPersistent* Source) override;
    void ResetValues();

    bool AllowEdit = true;
    TzdPreviewButtons Buttons{pbPrint,   pbLoad,    pbSave,     pbExport, pbZoom,      pbFind,
                              pbOutline, pbPageSetup, pbTools, pbEdit,   pbNavigator, pbExportQuick};
    bool DoubleBuffered = true;
    bool Maximized = true;
    bool MDIChild = false;
    bool Modal = true;
    bool OutlineExpand = true;
    bool OutlineVisible = false;
    int OutlineWidth = 120;
    int PagesInCache = 50;
    bool ShowCaptions = false;
    bool ThumbnailVisible = false;
    long double Zoom = 1.0L;
    TzdZoomMode ZoomMode = zmDefault;
    bool PictureCacheInFile = false;
};

class TzdPrintOptions : public plat::TPersistent {
    PLAT_CLASS(TzdPrintOptions, plat::TPersistent)
public:
    TzdPrintOptions();
    void Assign(plat::TPersistent* Source) override;
    void ResetValues();

    int Copies = 1;
    bool Collate = true;
    QString PageNumbers;
    QString Printer;
    TzdPrintMode PrintMode = pmDefault;
    int PrintOnSheet = 0;
    TzdPrintPages PrintPages = ppAll;
    bool Reverse = false;
    bool ShowDialog = true;
    bool SwapPageSize = false;
    TzdDuplexMode Duplex = dmNone;
    int SplicingLine = 3;
};

class TzdReportOptions : public plat::TPersistent {
    PLAT_CLASS(TzdReportOptions, plat::TPersistent)
public:
    TzdReportOptions();
    ~TzdReportOptions() override;
    TzdReportOptions(const TzdReportOptions&) = delete;
    TzdReportOptions& operator=(const TzdReportOptions&) = delete;
    void Assign(plat::TPersistent* Source) override;
    void ResetValues();

    // True when the report may be used: no password, the one accepted
    // before, or the user typed it. A refusal goes to the report's errors.
    bool AskPassword();

    const QString& ConnectionName() const { return m_connectionName; }
    // Stores the name; the report's connection handler gets the stored
    // connection strings of that name.
    void SetConnectionName(const QString& Value);
    zd::TStringList* Description() const { return m_description; }
    void SetDescription(zd::TStringList* Value);
    plat::TPicture* Picture() const { return m_picture; }
    void SetPicture(plat::TPicture* Value);

    QString Author;
    bool Compressed = false;
    plat::TDateTime CreateDate = 0;
    QString InitString;
    QString Name;
    plat::TDateTime LastChange = 0;
    QString Password;
    QString VersionBuild, VersionMajor, VersionMinor, VersionRelease;
    QString AcceptedPassword;
    TzdReport* Report = nullptr;

private:
    QString m_connectionName;
    zd::TStringList* m_description;
    plat::TPicture* m_picture;
};

class TzdDataSetItem : public plat::TCollectionItem {
    PLAT_CLASS(TzdDataSetItem, plat::TCollectionItem)
public:
    explicit TzdDataSetItem(plat::TCollection* Collection);
    ~TzdDataSetItem() override;

    TzdDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TzdDataSet* Value);
    QString DataSetName() const;
    // An empty name clears the dataset; a name nothing answers keeps it.
    void SetDataSetName(const QString& Value);

private:
    TzdDataSet* m_dataSet = nullptr;
    QString m_dataSetName;
};

class TzdReportDataSets : public plat::TCollection {
    PLAT_CLASS(TzdReportDataSets, plat::TCollection)
public:
    explicit TzdReportDataSets(TzdReport* AReport);

    void InitializeAll();
    void FinalizeAll();
    void AddDataSet(TzdDataSet* DataSet);
    TzdDataSetItem* GetItem(int Index) const;
    TzdDataSetItem* FindByDataSet(const plat::TObject* DataSet) const;
    // Letter case ignored; items without a dataset are skipped.
    TzdDataSetItem* FindByName(const QString& Name) const;

    TzdReport* const Report;
};

namespace zd {
// A report's message by its silent mode: a message box, nothing, or an
// exception with the message.
void handleReportError(TzdSilentMode Mode, const QString& Message);
} // namespace zd

#include "zdClass_options.h"

#include "Exceptions.h"
#include "Graphics.h"
#include "KeyStore.h"
#include "zdClass_report.h"
#include "zdCrypt.h"
#include "zdDataSets.h"
#include "zdRes.h"
#include "zdUtils.h"

PLAT_DEFINE_ENUM(TzdSilentMode, "simMessageBoxes", "simSilent", "simReThrow")
PLAT_DEFINE_ENUM(TzdPreviewButton, "pbPrint", "pbLoad", "pbSave", "pbExport", "pbZoom", "pbFind", "pbOutline",
                 "pbPageSetup", "pbTools", "pbEdit", "pbNavigator", "pbExportQuick", "pbNoClose", "pbNoFullScreen",
                 "pbNoEmail")
PLAT_DEFINE_SET(TzdPreviewButtons, TzdPreviewButton)
PLAT_DEFINE_ENUM(TzdZoomMode, "zmDefault", "zmWholePage", "zmPageWidth", "zmManyPages")
PLAT_DEFINE_ENUM(TzdPrintMode, "pmDefault", "pmSplit", "pmJoin", "pmScale")
PLAT_DEFINE_ENUM(TzdPrintPages, "ppAll", "ppOdd", "ppEven")

PLAT_DEFINE_CLASS(TzdEngineOptions, c)
{
    using O = TzdEngineOptions;
    c.property("ConvertNulls", &O::ConvertNulls).defaultValue(true);
    c.property("DoublePass", &O::DoublePass).defaultValue(false);
    c.property("MaxMemSize", &O::MaxMemSize).defaultValue(10);
    c.property("PrintIfEmpty", &O::PrintIfEmpty).defaultValue(true);
    c.property("SilentMode", &O::SilentMode, &O::SetSilentMode).defaultValue(false);
    c.property("NewSilentMode", &O::NewSilentMode).defaultValue(simMessageBoxes);
    c.property("TempDir", &O::TempDir);
    c.property("UseFileCache", &O::UseFileCache).defaultValue(false);
    c.property("IgnoreDevByZero", &O::IgnoreDevByZero).defaultValue(false);
}

PLAT_DEFINE_CLASS(TzdPreviewOptions, c)
{
    using O = TzdPreviewOptions;
    c.property("AllowEdit", &O::AllowEdit).defaultValue(true);
    c.property("Buttons", &O::Buttons);
    c.property("DoubleBuffered", &O::DoubleBuffered).defaultValue(true);
    c.property("Maximized", &O::Maximized).defaultValue(true);
    c.property("MDIChild", &O::MDIChild).defaultValue(false);
    c.property("Modal", &O::Modal).defaultValue(true);
    c.property("OutlineExpand", &O::OutlineExpand).defaultValue(true);
    c.property("OutlineVisible", &O::OutlineVisible).defaultValue(false);
    c.property("OutlineWidth", &O::OutlineWidth).defaultValue(120);
    c.property("PagesInCache", &O::PagesInCache).defaultValue(50);
    c.property("ThumbnailVisible", &O::ThumbnailVisible).defaultValue(false);
    c.property("ShowCaptions", &O::ShowCaptions).defaultValue(false);
    c.property("Zoom", &O::Zoom);
    c.property("ZoomMode", &O::ZoomMode).defaultValue(zmDefault);
    c.property("PictureCacheInFile", &O::PictureCacheInFile).defaultValue(false);
}

PLAT_DEFINE_CLASS(TzdPrintOptions, c)
{
    using O = TzdPrintOptions;
    c.property("Copies", &O::Copies).defaultValue(1);
    c.property("Collate", &O::Collate).defaultValue(true);
    c.property("PageNumbers", &O::PageNumbers);
    c.property("Printer", &O::Printer);
    c.property("PrintMode", &O::PrintMode).defaultValue(pmDefault);
    c.property("PrintOnSheet", &O::PrintOnSheet);
    c.property("PrintPages", &O::PrintPages).defaultValue(ppAll);
    c.property("Reverse", &O::Reverse).defaultValue(false);
    c.property("ShowDialog", &O::ShowDialog).defaultValue(true);
    c.property("SwapPageSize", &O::SwapPageSize).stored(false);
}

PLAT_DEFINE_CLASS(TzdReportOptions, c)
{
    using O = TzdReportOptions;
    c.property("Author", &O::Author);
    c.property("Compressed", &O::Compressed).defaultValue(false);
    c.property("ConnectionName", &O::ConnectionName, &O::SetConnectionName);
    c.property<plat::ti::TDateTime>("CreateDate", &O::CreateDate);
    c.property("Description", &O::Description, &O::SetDescription);
    c.property("InitString", &O::InitString);
    c.property("Name", &O::Name);
    c.property<plat::ti::TDateTime>("LastChange", &O::LastChange);
    c.property("Password", &O::Password);
    c.property("Picture", &O::Picture, &O::SetPicture);
    c.property("VersionBuild", &O::VersionBuild);
    c.property("VersionMajor", &O::VersionMajor);
    c.property("VersionMinor", &O::VersionMinor);
    c.property("VersionRelease", &O::VersionRelease);
}

PLAT_DEFINE_CLASS(TzdDataSetItem, c)
{
    c.property("DataSet", &TzdDataSetItem::DataSet, &TzdDataSetItem::SetDataSet);
    c.property("DataSetName", &TzdDataSetItem::DataSetName, &TzdDataSetItem::SetDataSetName);
}

PLAT_DEFINE_CLASS(TzdReportDataSets, c) {}

// ---------------------------------------------------------------------------
// Engine options

void TzdEngineOptions::Assign(plat::TPersistent* Source)
{
    auto* src = dynamic_cast<TzdEngineOptions*>(Source);
    if (!src)
        return;
    ConvertNulls = src->ConvertNulls;
    DoublePass = src->DoublePass;
    MaxMemSize = src->MaxMemSize;
    PrintIfEmpty = src->PrintIfEmpty;
    NewSilentMode = src->NewSilentMode;
    TempDir = src->TempDir;
    UseFileCache = src->UseFileCache;
    IgnoreDevByZero = src->IgnoreDevByZero;
}

void TzdEngineOptions::ResetValues()
{
    ConvertNulls = true;
    IgnoreDevByZero = false;
    DoublePass = false;
}

// ---------------------------------------------------------------------------
// Preview options

void TzdPreviewOptions::Assign(plat::TPersistent* Source)
{
    auto* src = dynamic_cast<TzdPreviewOptions*>(Source);
    if (!src)
        return;
    AllowEdit = src->AllowEdit;
    Buttons = src->Buttons;
    DoubleBuffered = src->DoubleBuffered;
    Maximized = src->Maximized;
    MDIChild = src->MDIChild;
    Modal = src->Modal;
    OutlineExpand = src->OutlineExpand;
    OutlineVisible = src->OutlineVisible;
    OutlineWidth = src->OutlineWidth;
    PagesInCache = src->PagesInCache;
    ShowCaptions = src->ShowCaptions;
    ThumbnailVisible = src->ThumbnailVisible;
    Zoom = src->Zoom;
    ZoomMode = src->ZoomMode;
    PictureCacheInFile = src->PictureCacheInFile;
}

void TzdPreviewOptions::ResetValues()
{
    OutlineExpand = true;
    OutlineVisible = false;
    OutlineWidth = 120;
    PagesInCache = 50;
    ThumbnailVisible = false;
}

// ---------------------------------------------------------------------------
// Print options

TzdPrintOptions::TzdPrintOptions()
    : Printer(zdGetResources()->GetText(QStringLiteral("prDefault")))
{
}

void TzdPrintOptions::Assign(plat::TPersistent* Source)
{
    auto* src = dynamic_cast<TzdPrintOptions*>(Source);
    if (!src)
        return;
    Copies = src->Copies;
    Collate = src->Collate;
    PageNumbers = src->PageNumbers;
    Printer = src->Printer;
    PrintMode = src->PrintMode;
    PrintOnSheet = src->PrintOnSheet;
    PrintPages = src->PrintPages;
    Reverse = src->Reverse;
    ShowDialog = src->ShowDialog;
    SplicingLine = src->SplicingLine;
}

void TzdPrintOptions::ResetValues()
{
    Copies = 1;
    Collate = true;
    PageNumbers.clear();
    Printer = zdGetResources()->GetText(QStringLiteral("prDefault"));
    PrintMode = pmDefault;
    PrintOnSheet = 0;
    PrintPages = ppAll;
    Reverse = false;
    ShowDialog = true;
    SplicingLine = 3;
    Duplex = dmNone;
}

// ---------------------------------------------------------------------------
// Report options

TzdReportOptions::TzdReportOptions()
    : CreateDate(plat::Now())
    , LastChange(CreateDate)
    , m_description(new zd::TStringList)
    , m_picture(new plat::TPicture)
{
}

TzdReportOptions::~TzdReportOptions()
{
    delete m_description;
    delete m_picture;
}

void TzdReportOptions::Assign(plat::TPersistent* Source)
{
    auto* src = dynamic_cast<TzdReportOptions*>(Source);
    if (!src)
        return;
    Author = src->Author;
    Compressed = src->Compressed;
    m_connectionName = src->m_connectionName;
    CreateDate = src->CreateDate;
    m_description->Assign(*src->m_description);
    InitString = src->InitString;
    LastChange = src->LastChange;
    Name = src->Name;
    Password = src->Password;
    m_picture->Assign(src->m_picture);
    VersionBuild = src->VersionBuild;
    VersionMajor = src->VersionMajor;
    VersionMinor = src->VersionMinor;
    VersionRelease = src->VersionRelease;
}

void TzdReportOptions::ResetValues()
{
    Author.clear();
    Compressed = false;
    CreateDate = plat::Now();
    m_description->Clear();
    LastChange = plat::Now();
    m_picture->Assign(nullptr);
    VersionBuild.clear();
    VersionMajor.clear();
    VersionMinor.clear();
    VersionRelease.clear();
    m_connectionName.clear();
    InitString.clear();
    Name.clear();
    Password.clear();
    AcceptedPassword.clear();
}

void TzdReportOptions::SetDescription(zd::TStringList* Value)
{
    if (Value)
        m_description->Assign(*Value);
}

void TzdReportOptions::SetPicture(plat::TPicture* Value)
{
    m_picture->Assign(Value);
}

void TzdReportOptions::SetConnectionName(const QString& Value)
{
    m_connectionName = Value;
    if (Value.isEmpty() || !Report || !Report->ConnectionHandler)
        return;
    const QString key = QStringLiteral("\\Software\\Rure Viroraz\\Connections");
    const struct {
        plat::KeyScope scope;
        QString key;
    } places[] = {
        {plat::KeyScope::Machine, key},
        {plat::KeyScope::User, key},
        {plat::KeyScope::Machine, key + QStringLiteral("FIB")},
        {plat::KeyScope::User, key + QStringLiteral("FIB")},
    };
    for (const auto& place : places) {
        plat::KeyStore store(place.scope);
        if (!store.OpenKeyReadOnly(place.key))
            continue;
        const QString connection = store.ReadString(Value);
        store.CloseKey();
        if (!connection.isEmpty())
            Report->ConnectionHandler(connection);
    }
}

bool TzdReportOptions::AskPassword()
{
    if (Password.isEmpty() || Password == AcceptedPassword)
        return true;
    QString typed;
    const bool ok = zd::askUserPassword(typed);
    if (!ok || typed != Password) {
        if (Report) {
            Report->AddErrors({QStringLiteral("Invalid password")});
            zd::handleReportError(Report->EngineOptions()->NewSilentMode,
                                  zdGetResources()->GetText(QStringLiteral("clErrors")) + QStringLiteral("\r\n") +
                                      Report->ErrorList().join(QStringLiteral("\r\n")));
        }
        return false;
    }
    AcceptedPassword = Password;
    return true;
}

// ---------------------------------------------------------------------------
// Dataset list

TzdDataSetItem::TzdDataSetItem(plat::TCollection* Collection) : plat::TCollectionItem(Collection) {}

TzdDataSetItem::~TzdDataSetItem() = default;

void TzdDataSetItem::SetDataSet(TzdDataSet* Value)
{
    m_dataSet = Value;
    m_dataSetName = Value ? Value->UserName() : QString();
    if (auto* list = dynamic_cast<TzdReportDataSets*>(Collection()))
        if (list->Report && Value)
            Value->FreeNotification(list->Report);
}

QString TzdDataSetItem::DataSetName() const
{
    return m_dataSet ? m_dataSet->UserName() : m_dataSetName;
}

void TzdDataSetItem::SetDataSetName(const QString& Value)
{
    m_dataSetName = Value;
    if (Value.isEmpty()) {
        m_dataSet = nullptr;
        return;
    }
    auto* list = dynamic_cast<TzdReportDataSets*>(Collection());
    if (list && list->Report) {
        TzdDataSet* found = list->Report->FindDataSet(m_dataSet, Value);
        if (found && found != m_dataSet)
            found->FreeNotification(list->Report);
        m_dataSet = found;
    }
}

TzdReportDataSets::TzdReportDataSets(TzdReport* AReport)
    : plat::TCollection(TzdDataSetItem::StaticClass())
    , Report(AReport)
{
}

TzdDataSetItem* TzdReportDataSets::GetItem(int Index) const
{
    return static_cast<TzdDataSetItem*>(Items(Index));
}

void TzdReportDataSets::InitializeAll()
{
    for (int i = 0; i < Count(); ++i)
        if (TzdDataSet* ds = GetItem(i)->DataSet()) {
            ds->ListingReport = Report;
            ds->Initialize();
        }
}

void TzdReportDataSets::FinalizeAll()
{
    for (int i = 0; i < Count(); ++i)
        if (TzdDataSet* ds = GetItem(i)->DataSet())
            ds->Finalize();
}

void TzdReportDataSets::AddDataSet(TzdDataSet* DataSet)
{
    static_cast<TzdDataSetItem*>(Add())->SetDataSet(DataSet);
}

TzdDataSetItem* TzdReportDataSets::FindByDataSet(const plat::TObject* DataSet) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->DataSet() == DataSet)
            return GetItem(i);
    return nullptr;
}

TzdDataSetItem* TzdReportDataSets::FindByName(const QString& Name) const
{
    for (int i = 0; i < Count(); ++i) {
        TzdDataSet* ds = GetItem(i)->DataSet();
        if (ds && ds->UserName().compare(Name, Qt::CaseInsensitive) == 0)
            return GetItem(i);
    }
    return nullptr;
}

namespace zd {

void handleReportError(TzdSilentMode Mode, const QString& Message)
{
    switch (Mode) {
    case simMessageBoxes:
        zdErrorMessage(Message);
        break;
    case simSilent:
        break;
    case simReThrow:
        throw plat::Exception(Message);
    }
}

} // namespace zd

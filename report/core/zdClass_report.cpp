#include "zdClass_report.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "Files.h"
#include "IniFiles.h"
#include "KeyStore.h"
#include "Streams.h"
#include "Variant.h"
#include "zdClass_page.h"
#include "zdClass_services.h"
#include "zdCollections.h"
#include "zdDataSets.h"
#include "zdDrawText.h"
#include "zdReportComponent.h"
#include "zdRes.h"
#include "zdClass_style.h"
#include "zdUtils.h"
#include "zdVariables.h"
#include "zdXML.h"
#include "zs_script.h"

#include <QDir>
#include <QTimer>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

PLAT_DEFINE_CLASS(TzdReport, c)
{
    using R = TzdReport;
    c.property("Version", &R::Version, &R::SetVersion);
    c.property("ParentReport", &R::ParentReport, &R::SetParentReport);
    c.property("DataSet", &R::DataSet, &R::SetDataSet);
    c.property("DataSetName", &R::DataSetName, &R::SetDataSetName);
    c.property("DotMatrixReport", &R::DotMatrixReport).defaultValue(false);
    c.property("EngineOptions", &R::EngineOptions, &R::SetEngineOptions);
    c.property("IniFile", &R::IniFile);
    c.property("OldStyleProgress", &R::OldStyleProgress).defaultValue(false);
    c.property("Preview", &R::Preview, &R::SetPreview);
    c.property("PreviewOptions", &R::PreviewOptions, &R::SetPreviewOptions);
    c.property("PrintOptions", &R::PrintOptions, &R::SetPrintOptions);
    c.property("ReportOptions", &R::ReportOptions, &R::SetReportOptions);
    c.property("ScriptLanguage", &R::GetScriptLanguage, &R::SetScriptLanguage);
    c.property("ScriptText", &R::ScriptText, &R::SetScriptText);
    c.property("ShowProgress", &R::ShowProgress).defaultValue(true);
    c.property("StoreInDFM", &R::StoreInDFMFlag).defaultValue(true);
    c.property<TzdNotifyEvent>("OnRunDialogs", &R::OnRunDialogs);
    c.property<TzdNotifyEvent>("OnStartReport", &R::OnStartReport);
    c.property<TzdNotifyEvent>("OnStopReport", &R::OnStopReport);
    c.property<TzdNotifyEvent>("OnReportPrint", &R::OnReportPrint);
    c.property("OnAfterPrint", &R::OnAfterPrint);
    c.property("OnBeforeConnect", &R::OnBeforeConnect);
    c.property("OnAfterDisconnect", &R::OnAfterDisconnect);
    c.property("OnBeforePrint", &R::OnBeforePrint);
    c.property("OnBeginDoc", &R::OnBeginDoc);
    c.property("OnClickObject", &R::OnClickObject);
    c.property("OnDblClickObject", &R::OnDblClickObject);
    c.property("OnEndDoc", &R::OnEndDoc);
    c.property("OnGetValue", &R::OnGetValue);
    c.property("OnNewGetValue", &R::OnNewGetValue);
    c.property("OnManualBuild", &R::OnManualBuild);
    c.property("OnMouseOverObject", &R::OnMouseOverObject);
    c.property("OnMouseEnter", &R::OnMouseEnter);
    c.property("OnMouseLeave", &R::OnMouseLeave);
    c.property("OnPreview", &R::OnPreview);
    c.property("OnPrintPage", &R::OnPrintPage);
    c.property("OnPrintReport", &R::OnPrintReport);
    c.property("OnAfterPrintReport", &R::OnAfterPrintReport);
    c.property("OnProgressStart", &R::OnProgressStart);
    c.property("OnProgress", &R::OnProgress);
    c.property("OnProgressStop", &R::OnProgressStop);
    c.property("OnUserFunction", &R::OnUserFunction);
    c.property("OnLoadTemplate", &R::OnLoadTemplate);
    c.property("OnLoadDetailTemplate", &R::OnLoadDetailTemplate);
    c.property("OnClosePreview", &R::OnClosePreview);
    c.property("OnAfterScriptCompile", &R::OnAfterScriptCompile);
    c.property("OnGetCustomData", &R::OnGetCustomData);
    c.property("OnSaveCustomData", &R::OnSaveCustomData);
}

namespace {

const QString kVersion = QStringLiteral("5.6.18");
const QByteArray kDatasets = QByteArrayLiteral("Datasets");
const QByteArray kVariables = QByteArrayLiteral("Variables");
const QByteArray kStyles = QByteArrayLiteral("Styles");

// The templates whose parents are being loaded, outermost first: a parent
// that is already among them would be loaded for ever.
thread_local std::vector<QString> g_inheritanceChain;

QString fileKey(const QString& fileName)
{
    if (fileName.isEmpty())
        return {};
    const QFileInfo info(fileName);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

bool isDriveQualified(const QString& name)
{
    return name.size() >= 2 && name[1] == u':';
}

// A temporary compressor or crypter of the registered class, for one load
// or save.
template <class T>
std::unique_ptr<T> temporaryOf(const plat::TClass* cls)
{
    if (!cls)
        return nullptr;
    std::unique_ptr<plat::TComponent> made(cls->CreateComponent(nullptr));
    auto* typed = dynamic_cast<T*>(made.get());
    if (!typed)
        return nullptr;
    made.release();
    return std::unique_ptr<T>(typed);
}

// Puts the plain password and the preview back after a write, also when the
// write fails.
class PasswordScope {
public:
    PasswordScope(TzdReportOptions& options, bool scramble) : m_options(options), m_password(options.Password)
    {
        if (scramble)
            m_options.Password = zd::scramblePassword(m_password);
    }
    ~PasswordScope() { m_options.Password = m_password; }
    PasswordScope(const PasswordScope&) = delete;
    PasswordScope& operator=(const PasswordScope&) = delete;

private:
    TzdReportOptions& m_options;
    QString m_password;
};

void moveToFront(TzdComponent* parent, TzdComponent* child)
{
    if (parent->Children().empty() || parent->Children().front() == child)
        return;
    std::vector<TzdComponent*> rest;
    for (TzdComponent* c : parent->Children())
        if (c != child)
            rest.push_back(c);
    for (TzdComponent* c : rest)
        c->SetParent(nullptr);
    child->SetParent(parent);
    for (TzdComponent* c : rest)
        c->SetParent(parent);
}

} // namespace

namespace zd {

QString scramblePassword(const QString& Password)
{
    QByteArray bytes = plat::unicodeToCp1250(Password);
    for (char& b : bytes)
        b = char(quint8(b) - 10);
    return plat::cp1250ToUnicode(bytes);
}

QString unscramblePassword(const QString& Scrambled)
{
    QByteArray bytes = plat::unicodeToCp1250(Scrambled);
    for (char& b : bytes)
        b = char(quint8(b) + 10);
    return plat::cp1250ToUnicode(bytes);
}

QString localTemplatePath(const QString& Name, const QString& baseFolder)
{
    QString path = Name;
    path.replace(u'\\', u'/');
    const bool drive = isDriveQualified(Name);
    const bool network = Name.startsWith(QStringLiteral("\\\\"));
    if (drive)
        path = path.mid(2);
    if (!drive && !network && !QDir::isAbsolutePath(path))
        return QDir::cleanPath(QDir(baseFolder).filePath(path));
    if (QFileInfo::exists(path))
        return QDir::cleanPath(path);
    // A Windows location that does not exist here: the file of that name
    // beside the report.
    return QDir::cleanPath(QDir(baseFolder).filePath(QFileInfo(path).fileName()));
}

QString windowsRelativePath(const QString& Target, const QString& FileName)
{
    if (!isDriveQualified(Target) || !isDriveQualified(FileName) ||
        Target.left(1).compare(FileName.left(1), Qt::CaseInsensitive) != 0)
        return Target;
    QStringList target = Target.mid(2).split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts);
    QStringList base = FileName.mid(2).split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts);
    base.removeLast(); // the folder of FileName
    qsizetype common = 0;
    while (common < base.size() && common + 1 < target.size() &&
           base[common].compare(target[common], Qt::CaseInsensitive) == 0)
        ++common;
    QStringList parts;
    for (qsizetype i = common; i < base.size(); ++i)
        parts << QStringLiteral("..");
    for (qsizetype i = common; i < target.size(); ++i)
        parts << target[i];
    return parts.join(u'\\');
}

} // namespace zd

// ---------------------------------------------------------------------------
// Creation

TzdReport::TzdReport(plat::TComponent* AOwner)
    : TzdComponent(AOwner)
    , m_engineOptions(std::make_unique<TzdEngineOptions>())
    , m_previewOptions(std::make_unique<TzdPreviewOptions>())
    , m_printOptions(std::make_unique<TzdPrintOptions>())
    , m_reportOptions(std::make_unique<TzdReportOptions>())
    , m_scriptText(std::make_unique<zd::TStringList>())
    , m_dataSets(std::make_unique<TzdReportDataSets>(this))
    , m_offeredDataSets(std::make_unique<TzdReportDataSets>(this))
    , m_variables(std::make_unique<TzdVariables>())
    , m_styles(std::make_unique<TzdStyles>(this))
    , m_textLayout(std::make_unique<TzdDrawText>())
{
    m_script = std::make_unique<TzsScript>(nullptr);
    m_script->AllowExtendedChars = true;
    m_script->AddRTTI();
    // Names an expression does not declare are the report's names.
    m_script->OnGetVarValue = [this](const QString& Name, TzsVarType, const plat::Variant& Old) {
        plat::Variant value;
        if (m_readingScriptItem)
            return Old;
        return ResolveName(Name, value) ? value : Old;
    };
    m_exprCache = std::make_unique<TzdExpressionCache>(m_script.get());
    SetObjectStyle(ObjectStyle() + TzdObjectStyle{osNestedProperties});
    m_reportOptions->Report = this;
    // The engine library, when linked in, makes the engine and the store.
    if (zdCreateEngine)
        m_engine.reset(zdCreateEngine(this));
    if (zdCreatePreviewPages)
        m_ownPreviewPages.reset(zdCreatePreviewPages(this));
    m_activePreviewPages = m_ownPreviewPages.get();
    if (m_engine)
        m_engine->ActivePreviewPages = m_activePreviewPages;
    if (m_activePreviewPages)
        m_activePreviewPages->Engine = m_engine.get();
    Clear();
}

TzdReport::~TzdReport()
{
    // The objects ask their report for things while they go.
    for (TzdComponent* c : std::vector<TzdComponent*>(Children()))
        delete c;
    m_parentTemplate.reset();
    SetDataSet(nullptr);
    // The store holds prepared copies that may ask the engine while they go.
    m_activePreviewPages = nullptr;
    if (m_preview) {
        m_preview->CloseTabsOf(m_ownPreviewPages.get());
        m_preview->Report = nullptr;
        m_preview->ActivePreviewPages = nullptr;
        m_preview = nullptr;
    }
    m_ownPreviewPages.reset();
    m_engine.reset();
    m_exprCache.reset();
    m_script.reset();
}

QString TzdReport::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obReport"));
}

void TzdReport::Clear()
{
    TzdComponent::Clear();
    m_dataSets->Clear();
    m_variables->Clear();
    m_engineOptions->ResetValues();
    m_previewOptions->ResetValues();
    m_printOptions->ResetValues();
    m_reportOptions->ResetValues();
    m_styles->Clear();
    SetDataSet(nullptr);
    m_dataSetName.clear();
    DotMatrixReport = false;
    SetParentReport(QString());
    m_scriptLanguage = QStringLiteral("PascalScript");
    m_scriptText->Clear();
    m_scriptText->Add(QStringLiteral("begin"));
    m_scriptText->Add(QString());
    m_scriptText->Add(QStringLiteral("end."));
    m_systemVariableNames = {QStringLiteral("Date"),         QStringLiteral("Time"),  QStringLiteral("Page"),
                             QStringLiteral("Page#"),        QStringLiteral("TotalPages"),
                             QStringLiteral("TotalPages#"),  QStringLiteral("Line"),  QStringLiteral("Line#"),
                             QStringLiteral("CopyName#")};
    OnRunDialogs.clear();
    OnStartReport.clear();
    OnStopReport.clear();
}

QString TzdReport::Version() const
{
    return kVersion;
}

void TzdReport::SetStyles(TzdStyles* Value)
{
    if (Value)
        m_styles->Assign(Value);
    else
        m_styles->Clear();
}

void TzdReport::SetScriptText(zd::TStringList* Value)
{
    if (Value)
        m_scriptText->Assign(*Value);
}

void TzdReport::SetDataSet(TzdDataSet* Value)
{
    linkDataSet(m_dataSet, Value);
    m_dataSetName = Value ? Value->UserName() : QString();
}

QString TzdReport::DataSetName() const
{
    return m_dataSet ? m_dataSet->UserName() : m_dataSetName;
}

void TzdReport::SetDataSetName(const QString& Value)
{
    m_dataSetName = Value;
    linkDataSet(m_dataSet, FindDataSet(m_dataSet, Value));
}

void TzdReport::Notification(plat::TComponent* AComponent, plat::TOperation Operation)
{
    TzdComponent::Notification(AComponent, Operation);
    if (Operation != plat::opRemove)
        return;
    if (AComponent == m_dataSet)
        m_dataSet = nullptr;
    for (TzdReportDataSets* list : {m_dataSets.get(), m_offeredDataSets.get()})
        if (list)
            while (TzdDataSetItem* item = list->FindByDataSet(AComponent))
                delete item;
}

TzdComponent* TzdReport::GetPageByIndex(int Index) const
{
    if (Index < 0 || Index >= ChildCount())
        return nullptr;
    return Children()[static_cast<size_t>(Index)];
}

std::unique_ptr<plat::TCustomIniFile> TzdReport::OpenSettingsFile() const
{
    if (IniFile.startsWith(QStringLiteral("\\Software\\"), Qt::CaseInsensitive))
        return std::make_unique<plat::TRegistryIniFile>(IniFile);
    return std::make_unique<plat::TIniFile>(IniFile);
}

QString TzdReport::ApplicationFolder()
{
    QString folder = zdGetModuleFolder();
    if (!folder.endsWith(u'/') && !folder.endsWith(u'\\'))
        folder += u'/';
    return folder;
}

// ---------------------------------------------------------------------------
// The document seam

void TzdReport::AddErrors(const QStringList& Errors)
{
    for (const QString& e : Errors) {
        bool present = false;
        for (const QString& have : m_errorList)
            if (have.compare(e, Qt::CaseInsensitive) == 0)
                present = true;
        if (!present)
            m_errorList << e;
    }
    std::sort(m_errorList.begin(), m_errorList.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

TzdDataSet* TzdReport::FindReportDataSet(const QString& UserName)
{
    if (TzdDataSetItem* item = m_dataSets->FindByName(UserName))
        return item->DataSet();
    if (TzdDataSetItem* item = m_offeredDataSets->FindByName(UserName))
        return item->DataSet();
    return nullptr;
}

TzdComponent* TzdReport::FindAncestorObject(const QString& Name)
{
    if (!m_parentTemplate)
        return nullptr;
    if (plat::sameName(Name, this->Name()))
        return m_parentTemplate.get();
    return m_parentTemplate->FindObject(Name);
}

void TzdReport::WriteNestedProperties(TzdXMLItem* Item)
{
    if (m_dataSets->Count() > 0)
        zdWriteCollectionXML(m_dataSets.get(), kDatasets, Item, nullptr, this);
    if (m_variables->Count() > 0)
        zdWriteCollectionXML(m_variables.get(), kVariables, Item,
                             m_parentTemplate ? m_parentTemplate->m_variables.get() : nullptr, this);
    if (m_styles->Count() > 0)
        zdWriteCollectionXML(m_styles.get(), kStyles, Item,
                             m_parentTemplate ? m_parentTemplate->m_styles.get() : nullptr, this);
}

bool TzdReport::ReadNestedProperty(TzdXMLItem* Item)
{
    if (Item->Name.compare(kDatasets, Qt::CaseInsensitive) == 0) {
        if (m_parentTemplate)
            m_dataSets->Clear();
        zdReadCollectionXML(m_dataSets.get(), Item, this, nullptr);
        return true;
    }
    if (Item->Name.compare(kVariables, Qt::CaseInsensitive) == 0) {
        zdReadCollectionXML(m_variables.get(), Item, this,
                            m_parentTemplate ? m_parentTemplate->m_variables.get() : nullptr);
        return true;
    }
    if (Item->Name.compare(kStyles, Qt::CaseInsensitive) == 0) {
        zdReadCollectionXML(m_styles.get(), Item, this,
                            m_parentTemplate ? m_parentTemplate->m_styles.get() : nullptr);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Loading

bool TzdReport::LoadFromFile(const QString& AFileName, bool ExceptionIfNotFound)
{
    // The engine reads the template while it runs (progress steps let
    // events run): loading another one then is refused.
    if (EngineRunning())
        return false;
    Clear();
    FileName.clear();
    const bool exists = plat::FileExists(AFileName);
    if (exists || ExceptionIfNotFound) {
        plat::TFileStream file(AFileName, plat::fmOpenRead | plat::fmShareDenyWrite);
        FileName = AFileName;
        LoadFromStream(file);
    }
    return exists;
}

void TzdReport::reportErrors()
{
    if (m_errorList.isEmpty() || !g_inheritanceChain.empty())
        return;
    zd::handleReportError(m_engineOptions->NewSilentMode,
                          zdGetResources()->GetText(QStringLiteral("clErrors")) + QStringLiteral("\r\n") +
                              m_errorList.join(QStringLiteral("\r\n")));
}

void TzdReport::LoadFromStream(plat::TStream& Stream)
{
    if (EngineRunning())
        return;
    m_errorList.clear();
    plat::TStream* source = &Stream;

    std::unique_ptr<TzdCustomCompressor> compressor = temporaryOf<TzdCustomCompressor>(zdCompressorClass);
    if (compressor) {
        compressor->Report = this;
        compressor->IsTemplate = true;
        compressor->OpenWorkStream();
        try {
            if (compressor->Decompress(*source))
                source = &compressor->WorkStream();
        } catch (const plat::Exception&) {
            compressor.reset();
            AddErrors({zdGetResources()->GetText(QStringLiteral("clDecompressError"))});
            reportErrors();
            return;
        }
    }

    m_reportOptions->Password.clear();
    bool decrypted = false;
    std::unique_ptr<TzdCustomCrypter> crypter = temporaryOf<TzdCustomCrypter>(zdCrypterClass);
    if (crypter) {
        crypter->OpenWorkStream();
        try {
            if (crypter->Decrypt(*source, m_reportOptions->Password)) {
                source = &crypter->WorkStream();
                decrypted = true;
            }
        } catch (const plat::Exception&) {
            crypter.reset();
            AddErrors({zdGetResources()->GetText(QStringLiteral("clDecryptError"))});
            reportErrors();
            return;
        }
    }

    // The host's values survive the load; the template's come from the file.
    TzdEngineOptions engine;
    engine.Assign(m_engineOptions.get());
    engine.DestroyForms = m_engineOptions->DestroyForms;
    engine.ThreadSafeMode = m_engineOptions->ThreadSafeMode;
    engine.GlobalDataSetLookup = m_engineOptions->GlobalDataSetLookup;
    TzdPreviewOptions preview;
    preview.Assign(m_previewOptions.get());
    const QString iniFile = IniFile;
    const bool oldStyleProgress = OldStyleProgress;
    const bool showProgress = ShowProgress;
    const bool storeInDFM = StoreInDFMFlag;
    TzdCustomPreview* const attachedPreview = m_preview;

    auto restore = [&] {
        compressor.reset();
        crypter.reset();
        EnsureDataPage();
        const bool convertNulls = m_engineOptions->ConvertNulls;
        const bool ignoreDevByZero = m_engineOptions->IgnoreDevByZero;
        const bool doublePass = m_engineOptions->DoublePass;
        m_engineOptions->Assign(&engine);
        m_engineOptions->ConvertNulls = convertNulls;
        m_engineOptions->IgnoreDevByZero = ignoreDevByZero;
        m_engineOptions->DoublePass = doublePass;
        TzdPreviewOptions fromFile;
        fromFile.Assign(m_previewOptions.get());
        m_previewOptions->Assign(&preview);
        m_previewOptions->OutlineVisible = fromFile.OutlineVisible;
        m_previewOptions->OutlineWidth = fromFile.OutlineWidth;
        m_previewOptions->OutlineExpand = fromFile.OutlineExpand;
        m_previewOptions->PagesInCache = fromFile.PagesInCache;
        m_previewOptions->ThumbnailVisible = fromFile.ThumbnailVisible;
        IniFile = iniFile;
        OldStyleProgress = oldStyleProgress;
        ShowProgress = showProgress;
        StoreInDFMFlag = storeInDFM;
        m_preview = attachedPreview;
    };

    try {
        ReadTemplateXML(*source);
    } catch (const plat::TzdInvalidXMLException& e) {
        AddErrors({decrypted ? QStringLiteral("Invalid password") : e.message()});
    } catch (const plat::Exception& e) {
        AddErrors({e.message()});
    } catch (...) {
        restore();
        throw;
    }
    restore();

    if (!decrypted)
        m_reportOptions->Password = zd::unscramblePassword(m_reportOptions->Password);

    bool usable = ReloadingTemplate || m_engineOptions->ThreadSafeMode || decrypted;
    if (!usable) {
        try {
            usable = m_reportOptions->AskPassword();
        } catch (...) {
            // A refusal raised by the error mode must not leave the
            // protected template loaded.
            Clear();
            throw;
        }
    }
    if (usable)
        reportErrors();
    else
        Clear();
}

void TzdReport::EnsureDataPage()
{
    for (TzdComponent* obj : AllObjects())
        if (obj->InheritsFrom(TzdDataPage::StaticClass()))
            return;
    auto* page = new TzdDataPage(this);
    page->SetParent(this);
    if (FindObject(QStringLiteral("Data")))
        page->CreateUniqueName();
    else
        page->SetName(QStringLiteral("Data"));
    moveToFront(this, page);
    int left = 60;
    for (TzdComponent* obj : std::vector<TzdComponent*>(AllObjects())) {
        if (!obj->InheritsFrom(TzdDialogComponent::StaticClass()))
            continue;
        obj->SetParent(page);
        obj->SetTop(20);
        obj->SetLeft(left);
        left += 64;
    }
}

// ---------------------------------------------------------------------------
// Saving

void TzdReport::ReadTemplateXML(plat::TStream& Plain)
{
    TzdComponent::LoadFromStream(Plain);
}

void TzdReport::WriteTemplateXML(plat::TStream& Plain, bool SaveChildren, bool SaveDefaultValues,
                                 bool IgnoreAncestry)
{
    TzdComponent::SaveToStream(Plain, SaveChildren, SaveDefaultValues, IgnoreAncestry);
}

void TzdReport::SaveToFile(const QString& AFileName)
{
    if (isDriveQualified(m_parentReport))
        m_parentReport = zd::windowsRelativePath(m_parentReport, AFileName);
    zd::writeFileAtomically(AFileName, [&](plat::TStream& stream) { SaveToStream(stream); });
}

void TzdReport::SaveToStream(plat::TStream& Stream, bool SaveChildren, bool SaveDefaultValues, bool IgnoreAncestry)
{
    std::unique_ptr<TzdCustomCompressor> compressor;
    if (m_reportOptions->Compressed)
        compressor = temporaryOf<TzdCustomCompressor>(zdCompressorClass);
    std::unique_ptr<TzdCustomCrypter> crypter;
    if (!m_reportOptions->Password.isEmpty())
        crypter = temporaryOf<TzdCustomCrypter>(zdCrypterClass);
    plat::TStream* target = &Stream;
    if (compressor) {
        compressor->Report = this;
        compressor->IsTemplate = true;
        compressor->OpenWorkStream();
        target = &compressor->WorkStream();
    }
    plat::TStream* cryptTarget = target;
    if (crypter) {
        crypter->OpenWorkStream();
        target = &crypter->WorkStream();
    }
    const QString password = m_reportOptions->Password;
    m_reportOptions->AcceptedPassword = password;
    {
        PasswordScope scope(*m_reportOptions, !crypter);
        // The attached preview control is the host's, not the template's.
        struct PreviewDetached {
            TzdCustomPreview*& preview;
            TzdCustomPreview* kept;
            ~PreviewDetached() { preview = kept; }
        } detached{m_preview, m_preview};
        m_preview = nullptr;
        WriteTemplateXML(*target, SaveChildren, SaveDefaultValues, IgnoreAncestry);
    }
    if (crypter) {
        crypter->WorkStream().SetPosition(0);
        crypter->Encrypt(*cryptTarget, password);
    }
    if (compressor) {
        compressor->WorkStream().SetPosition(0);
        compressor->Compress(Stream);
    }
}

// ---------------------------------------------------------------------------
// Inheritance

void TzdReport::setAncestorFlags(bool Value)
{
    for (TzdComponent* obj : AllObjects())
        obj->FromAncestor = Value;
    FromAncestor = Value;
}

void TzdReport::plainCopyFrom(TzdReport* Source)
{
    plat::TMemoryStream stream;
    Source->TzdComponent::SaveToStream(stream, true, true, true);
    stream.SetPosition(0);
    TzdComponent::LoadFromStream(stream);
}

QString TzdReport::resolveParentName(const QString& Name) const
{
    const QString folder = FileName.isEmpty() ? QDir::currentPath() : QFileInfo(FileName).absolutePath();
    const bool relative = Name.size() >= 2 && !isDriveQualified(Name) && !Name.startsWith(QStringLiteral("\\\\"));
    QString path = zd::localTemplatePath(Name, folder);
    if (relative && !QFileInfo::exists(path))
        path = zd::localTemplatePath(Name, zdGetModuleFolder());
    return path;
}

void TzdReport::SetParentReport(const QString& Name)
{
    m_parentReport = Name;
    m_parentTemplate.reset();
    if (m_plainCopy)
        return;
    if (Name.isEmpty()) {
        setAncestorFlags(false);
        return;
    }
    const QString savedFileName = FileName;
    TzdXMLSerializer* savedSerializer = m_serializer;
    QString loadedFileName;
    if (OnLoadTemplate) {
        OnLoadTemplate(this, Name);
        loadedFileName = FileName;
    } else {
        const QString path = resolveParentName(Name);
        const QString parentKey = fileKey(path);
        const QString selfKey = fileKey(FileName);
        const bool circular = parentKey == selfKey ||
                              std::find(g_inheritanceChain.begin(), g_inheritanceChain.end(), parentKey) !=
                                  g_inheritanceChain.end();
        if (circular) {
            AddErrors({QStringLiteral("Circular reference of parent templates: %1").arg(Name)});
            return;
        }
        g_inheritanceChain.push_back(selfKey);
        try {
            LoadFromFile(path);
        } catch (...) {
            g_inheritanceChain.pop_back();
            FileName = savedFileName;
            m_serializer = savedSerializer;
            m_parentReport = Name;
            throw;
        }
        g_inheritanceChain.pop_back();
        loadedFileName = FileName;
    }
    auto copy = std::make_unique<TzdReport>(nullptr);
    copy->m_plainCopy = true;
    copy->FileName = loadedFileName;
    copy->OnLoadTemplate = OnLoadTemplate;
    copy->plainCopyFrom(this);
    for (TzdComponent* obj : copy->AllObjects())
        if (auto* page = dynamic_cast<TzdReportPage*>(obj))
            page->SetPaperSize(plat::DMPAPER_USER);
    m_parentTemplate = std::move(copy);
    FileName = savedFileName;
    for (int i = 0; i < m_variables->Count(); ++i)
        m_variables->GetItem(i)->IsInherited = true;
    for (int i = 0; i < m_styles->Count(); ++i)
        m_styles->Items(i)->IsInherited = true;
    setAncestorFlags(true);
    m_parentReport = Name;
    m_serializer = savedSerializer;
}

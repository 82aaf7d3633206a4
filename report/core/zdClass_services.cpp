#include "zdClass_services.h"

#include "Files.h"
#include "Streams.h"
#include "TypeInfo.h"
#include "zdClass.h"
#include "zdClass_report.h"
#include "zdDsgnIntf.h"
#include "zdUtils.h"

const plat::TClass* zdCompressorClass = nullptr;
const plat::TClass* zdCrypterClass = nullptr;
TzdCustomEngine* (*zdCreateEngine)(zd::ReportDocument*) = nullptr;
TzdCustomPreviewPages* (*zdCreatePreviewPages)(zd::ReportDocument*) = nullptr;

PLAT_DEFINE_CLASS(TzdCustomCompressor, c) {}

TzdCustomCompressor::TzdCustomCompressor(plat::TComponent* AOwner, const plat::TClass* ownClass)
    : plat::TComponent(AOwner)
    , m_replacedClass(zdCompressorClass)
{
    zdCompressorClass = ownClass;
}

TzdCustomCompressor::~TzdCustomCompressor()
{
    zdCompressorClass = m_replacedClass;
    closeWorkStream();
}

void TzdCustomCompressor::closeWorkStream()
{
    m_workStream.reset(); // closes the file before it is deleted
    if (!m_workFileName.isEmpty()) {
        plat::DeleteFile(m_workFileName);
        m_workFileName.clear();
    }
}

void TzdCustomCompressor::OpenWorkStream(bool useFileCache, const QString& tempDir)
{
    closeWorkStream();
    if (IsTemplate || !useFileCache) {
        m_workStream = std::make_unique<plat::TMemoryStream>();
        return;
    }
    // Prepared pages can be large: they are cached in a file, not in memory.
    m_workFileName = zdCreateTempFileIn(tempDir);
    m_workStream = std::make_unique<plat::TFileStream>(m_workFileName, plat::fmOpenReadWrite);
}

plat::TStream& TzdCustomCompressor::WorkStream()
{
    if (!m_workStream)
        OpenWorkStream();
    return *m_workStream;
}

PLAT_DEFINE_CLASS(TzdCustomCrypter, c) {}

TzdCustomCrypter::TzdCustomCrypter(plat::TComponent* AOwner, const plat::TClass* ownClass)
    : plat::TComponent(AOwner)
{
    zdCrypterClass = ownClass;
}

TzdCustomCrypter::~TzdCustomCrypter() = default;

void TzdCustomCrypter::OpenWorkStream()
{
    m_workStream = std::make_unique<plat::TMemoryStream>();
}

plat::TStream& TzdCustomCrypter::WorkStream()
{
    if (!m_workStream)
        OpenWorkStream();
    return *m_workStream;
}

// ---------------------------------------------------------------------------
// Engine

PLAT_DEFINE_CLASS(TzdCustomEngine, c)
{
    c.property("CurColumn", &TzdCustomEngine::CurColumn);
    c.property("CurVColumn", &TzdCustomEngine::CurVColumn);
    c.property("CurX", &TzdCustomEngine::CurX);
    c.property("CurY", &TzdCustomEngine::CurY);
    c.property("DoublePass", &TzdCustomEngine::DoublePass);
    c.property("FinalPass", &TzdCustomEngine::FinalPass);
    c.property(
        "PageHeight", [](const TzdCustomEngine& e) { return const_cast<TzdCustomEngine&>(e).GetPageHeight(); },
        [](TzdCustomEngine& e, long double v) { e.PageHeight = v; });
    c.property("PageWidth", &TzdCustomEngine::PageWidth);
    c.property<plat::ti::TDateTime>("StartDate", &TzdCustomEngine::StartDate);
    c.property<plat::ti::TDateTime>("StartTime", &TzdCustomEngine::StartTime);
    c.property("TotalPages", &TzdCustomEngine::TotalPages);
    c.property("SecondScriptCall", &TzdCustomEngine::SecondScriptCall);
}

TzdCustomEngine::TzdCustomEngine(zd::ReportDocument* AReport) : Report(AReport) {}

TzdCustomEngine::~TzdCustomEngine() = default;

long double TzdCustomEngine::GetPageHeight()
{
    return PageHeight;
}

bool TzdCustomEngine::DoublePass() const
{
    return Report && Report->DoublePass();
}

void TzdCustomEngine::StopReport()
{
    if (Report)
        Report->SetTerminated(true);
}

// ---------------------------------------------------------------------------
// Outline

PLAT_DEFINE_CLASS(TzdCustomOutline, c) { (void)c; }

TzdCustomOutline::TzdCustomOutline(TzdCustomPreviewPages* PreviewPages) : ActivePreviewPages(PreviewPages) {}

TzdCustomOutline::~TzdCustomOutline() = default;

TzdCustomEngine* TzdCustomOutline::GetEngine() const
{
    return ActivePreviewPages ? ActivePreviewPages->Engine : nullptr;
}

// ---------------------------------------------------------------------------
// Prepared pages

PLAT_DEFINE_CLASS(TzdCustomPreviewPages, c) { (void)c; }

TzdCustomPreviewPages::TzdCustomPreviewPages(zd::ReportDocument* AReport, TzdCustomOutline* AOutline)
    : Report(AReport)
    , m_outline(AOutline)
{
}

TzdCustomPreviewPages::~TzdCustomPreviewPages() = default;

void TzdCustomPreviewPages::AddAnchor(const QString&, long double) {}

int TzdCustomPreviewPages::GetAnchorPage(const QString&)
{
    return 1;
}

// ---------------------------------------------------------------------------
// Preview

PLAT_DEFINE_CLASS(TzdCustomPreview, c) { (void)c; }

TzdCustomPreview::TzdCustomPreview(plat::TComponent* AOwner) : plat::TComponent(AOwner) {}

TzdCustomPreview::~TzdCustomPreview() = default;

// ---------------------------------------------------------------------------
// Export filters

PLAT_DEFINE_CLASS(TzdCustomExportFilter, c)
{
    c.property("ShowDialog", &TzdCustomExportFilter::ShowDialog).defaultValue(true);
    c.property("FileName", &TzdCustomExportFilter::FileName);
    c.property("ExportNotPrintable", &TzdCustomExportFilter::ExportNotPrintable).defaultValue(false);
    c.property("UseFileCache", &TzdCustomExportFilter::UseFileCache).defaultValue(true);
    c.property("DefaultPath", &TzdCustomExportFilter::DefaultPath);
    c.property("ShowProgress", &TzdCustomExportFilter::ShowProgress).defaultValue(true);
    c.property("OverwritePrompt", &TzdCustomExportFilter::OverwritePrompt).defaultValue(false);
    c.property<plat::ti::TDateTime>("CreationTime", &TzdCustomExportFilter::CreationTime);
    c.property("DataOnly", &TzdCustomExportFilter::DataOnly).defaultValue(false);
    c.property("OnBeforeExport", &TzdCustomExportFilter::OnBeforeExport);
    c.property("OnBeginExport", &TzdCustomExportFilter::OnBeginExport);
}

TzdCustomExportFilter::TzdCustomExportFilter(plat::TComponent* AOwner) : plat::TComponent(AOwner)
{
    zdGetExportFilterRegistry()->Register(this);
}

TzdCustomExportFilter::~TzdCustomExportFilter()
{
    zdGetExportFilterRegistry()->Unregister(this);
}

QString TzdCustomExportFilter::GetMenuCaption() const
{
    return {};
}

int TzdCustomExportFilter::ShowSettingsDialog()
{
    return 1; // OK
}

bool TzdCustomExportFilter::StartExport()
{
    return true;
}

void TzdCustomExportFilter::WriteObject(TzdComponent*) {}
void TzdCustomExportFilter::FinishExport() {}
void TzdCustomExportFilter::AbortExport()
{
    FinishExport();
}
void TzdCustomExportFilter::ClosePage(TzdReportPage*, int) {}
void TzdCustomExportFilter::OpenPage(TzdReportPage*, int) {}

// ---------------------------------------------------------------------------
// Designer and wizards

TzdDesignerClass zdDesignerClass = nullptr;

PLAT_DEFINE_ENUM(TzdDesignerRestriction, "drDontInsertObject", "drDontDeletePage", "drDontCreatePage",
                 "drDontChangePageOptions", "drDontCreateReport", "drDontLoadReport", "drDontSaveReport",
                 "drDontPreviewReport", "drDontEditVariables", "drDontChangeReportOptions", "drDontEditReportData",
                 "drDontShowRecentFiles", "drDontEditReportScript", "drDontEditInternalDatasets")
PLAT_DEFINE_SET(TzdDesignerRestrictions, TzdDesignerRestriction)
PLAT_DEFINE_ENUM(TzdRulerUnits, "ruCM", "ruInches", "ruPixels", "ruChars")

PLAT_DEFINE_CLASS(TzdCustomDesigner, c) { (void)c; }

TzdCustomDesigner::TzdCustomDesigner(plat::TComponent* AOwner, zd::ReportDocument* AReport,
                                     bool AIsPreviewDesigner)
    : plat::TComponent(AOwner)
    , Report(AReport)
    , IsPreviewDesigner(AIsPreviewDesigner)
{
}

TzdCustomDesigner::~TzdCustomDesigner() = default;

void TzdCustomDesigner::SetModifiedFlag(bool Value)
{
    Modified = Value;
    if (Value && Report)
        Report->SetModified(true);
}

void TzdCustomDesigner::SelectPage(TzdComponent* Page)
{
    CurrentPage = Page;
}

void TzdCustomDesigner::ShowCodeAt(int, int, bool) {}

plat::TStrings* TzdCustomDesigner::ScriptLines()
{
    TzdReport* report = Report ? Report->Report() : nullptr;
    return report ? report->ScriptText() : nullptr;
}

PLAT_DEFINE_CLASS(TzdCustomWizard, c) { (void)c; }

TzdCustomWizard::TzdCustomWizard(plat::TComponent* AOwner)
    : plat::TComponent(AOwner)
    , OwnerDesigner(dynamic_cast<TzdCustomDesigner*>(AOwner))
    , Report(OwnerDesigner ? OwnerDesigner->Report : nullptr)
{
}

TzdCustomWizard::~TzdCustomWizard() = default;

QString TzdCustomWizard::GetWizardCaption() const
{
    return {};
}

// ---------------------------------------------------------------------------

namespace {
TzdReportWindows* g_reportWindows = nullptr;
} // namespace

TzdReportWindows::~TzdReportWindows() = default;

TzdReportWindows* zdReportWindows()
{
    return g_reportWindows;
}

TzdReportWindows* zdSetReportWindows(TzdReportWindows* Windows)
{
    TzdReportWindows* previous = g_reportWindows;
    g_reportWindows = Windows;
    return previous;
}

#include "zdPrinter.h"

#include "CodePage.h"
#include "PrintJob.h"
#include "Printers.h"
#include "zdPrinterLink.h"
#include "zdPrinter_p.h"
#include "zdRes.h"
#include "zdUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace {

const QString kNotValid = QStringLiteral("Printer selected is not valid");
const QString kDefaultTitle = QStringLiteral("Zaza Duzudi Document");

constexpr long double kVirtualMargin = 5;  // millimetres
constexpr int kVirtualDpi = 600;
constexpr long double kLargestPaper = 5080; // millimetres: the largest page a PDF can hold

void* numberObject(int number) { return reinterpret_cast<void*>(static_cast<std::intptr_t>(number)); }
int objectNumber(void* object) { return static_cast<int>(reinterpret_cast<std::intptr_t>(object)); }

QString resText(const char* key) { return zdGetResources()->GetText(QString::fromLatin1(key)); }

int listNumber(const plat::TStringList& list, int index)
{
    return index >= 0 && index < list.Count() ? objectNumber(list.Objects(index)) : -1;
}

int indexOfNumber(const plat::TStringList& list, int number)
{
    for (int i = 0; i < list.Count(); ++i)
        if (objectNumber(list.Objects(i)) == number)
            return i;
    return -1;
}

int nameToNumber(const plat::TStringList& list, const QString& name, int fallback)
{
    const int i = list.IndexOf(name);
    if (i >= 0)
        return objectNumber(list.Objects(i));
    return list.Count() > 0 ? objectNumber(list.Objects(0)) : fallback;
}

// A size of the caller's own: nothing, a negative or an absurd value gives
// way, so that no page is ever empty or larger than a document can hold.
long double clampPaperSize(long double value, long double fallback)
{
    if (!std::isfinite(value) || value <= 0)
        return fallback;
    return std::min(value, kLargestPaper);
}

long double roundMm(long double value) { return std::nearbyint(value); }

} // namespace

// ---------------------------------------------------------------- canvas

PLAT_DEFINE_CLASS(TzdPrinterCanvas, c) { (void)c; }

TzdPrinterCanvas::TzdPrinterCanvas(TzdCustomPrinter* printer) : m_printer(printer) {}

// ---------------------------------------------------------------- custom printer

TzdCustomPrinter::TzdCustomPrinter(const QString& Name, const QString& Port)
    : m_name(Name), m_port(Port), m_canvas(std::make_unique<TzdPrinterCanvas>(this))
{
}

TzdCustomPrinter::~TzdCustomPrinter() = default;

int TzdCustomPrinter::IndexOfBin(int BinNumber) const { return indexOfNumber(m_binList, BinNumber); }
int TzdCustomPrinter::IndexOfPaper(int PaperNumber) const { return indexOfNumber(m_paperList, PaperNumber); }
int TzdCustomPrinter::BinNameToNumber(const QString& Name) const
{
    return nameToNumber(m_binList, Name, plat::DMBIN_AUTO);
}
int TzdCustomPrinter::PaperNameToNumber(const QString& Name) const
{
    return nameToNumber(m_paperList, Name, plat::DMPAPER_USER);
}
int TzdCustomPrinter::BinNumber(int Index) const { return listNumber(m_binList, Index); }
int TzdCustomPrinter::PaperNumber(int Index) const { return listNumber(m_paperList, Index); }

void TzdCustomPrinter::resetLists()
{
    m_paperList.Clear();
    m_binList.Clear();
    addPaper(resText("prCustom"), plat::DMPAPER_USER);
    addBin(resText("prDefault"), plat::DMBIN_AUTO);
}

void TzdCustomPrinter::addPaper(const QString& name, int number) { m_paperList.AddObject(name, numberObject(number)); }
void TzdCustomPrinter::addBin(const QString& name, int number) { m_binList.AddObject(name, numberObject(number)); }

QString TzdCustomPrinter::documentTitle() const { return m_title.isEmpty() ? kDefaultTitle : m_title; }

// ---------------------------------------------------------------- printer of the print server

struct TzdPrinter::Impl {
    std::optional<plat::PrinterCapabilities> caps;
    std::unique_ptr<plat::PdfPrintJob> job;
    std::unique_ptr<plat::RawPrintJob> raw;
    bool pageOpen = false;

    // The paper of the device mode, portrait, in millimetres.
    struct Geometry {
        long double width = 0, height = 0;
        long double left = 0, top = 0, right = 0, bottom = 0;
    };

    const plat::PrinterPaper& basePaper() const
    {
        if (const plat::PrinterPaper* a4 = caps->FindPaper(plat::DMPAPER_A4))
            return *a4;
        return caps->Papers.front();
    }

    Geometry geometry(const DeviceMode& dm) const
    {
        const plat::PrinterPaper* paper = caps->FindPaper(dm.Paper);
        const plat::PrinterPaper& source = paper ? *paper : basePaper();
        Geometry g;
        g.width = source.Width / 100.0L;
        g.height = source.Height / 100.0L;
        g.left = source.Left / 100.0L;
        g.top = source.Top / 100.0L;
        g.right = source.Right / 100.0L;
        g.bottom = source.Bottom / 100.0L;
        if (!paper) {
            g.width = clampPaperSize(dm.PaperWidth / 10.0L, g.width);
            g.height = clampPaperSize(dm.PaperLength / 10.0L, g.height);
        }
        if (dm.Orientation == plat::poLandscape) {
            // Turned a quarter clockwise: the portrait left edge is on top.
            g = Geometry{g.height, g.width, g.bottom, g.left, g.top, g.right};
        }
        return g;
    }

    plat::JobSettings jobSettings(const DeviceMode& dm) const
    {
        plat::JobSettings s;
        if (const plat::PrinterPaper* paper = caps->FindPaper(dm.Paper)) {
            s.PaperWidth = paper->Width;
            s.PaperHeight = paper->Height;
        } else {
            const Geometry g = geometry(DeviceMode{dm.Paper, plat::poPortrait, 1, false, 0, 0, dm.PaperLength,
                                                   dm.PaperWidth});
            s.PaperWidth = int(std::nearbyint(g.width * 100));
            s.PaperHeight = int(std::nearbyint(g.height * 100));
        }
        if (const plat::PrinterBin* bin = caps->FindBin(dm.DefaultSource))
            s.Bin = bin->Key;
        if (caps->CanDuplex)
            s.Sides = plat::SidesKeyword(dm.Duplex);
        s.Copies = std::max(1, dm.Copies);
        s.Collate = dm.Collate;
        return s;
    }
};

TzdPrinter::TzdPrinter(const QString& Name, const QString& Port)
    : TzdCustomPrinter(Name, Port), d(std::make_unique<Impl>())
{
}

TzdPrinter::~TzdPrinter()
{
    m_canvas->SetPainter(nullptr);
}

bool TzdPrinter::CanDuplex() const { return d->caps && d->caps->CanDuplex; }

bool TzdPrinter::deviceMetrics(bool quiet)
{
    const int dpi = d->caps ? std::max(d->caps->DpiX, d->caps->DpiY) : 0;
    if (dpi <= 0) {
        if (!quiet)
            zdErrorMessage(kNotValid);
        return false;
    }
    m_dpi = plat::TPoint{dpi, dpi};
    m_canvas->SetDeviceDPI(dpi, dpi);
    const Impl::Geometry g = d->geometry(m_devMode);
    m_paperWidth = roundMm(g.width);
    m_paperHeight = roundMm(g.height);
    m_leftMargin = roundMm(g.left);
    m_topMargin = roundMm(g.top);
    m_rightMargin = m_paperWidth - roundMm(g.width - g.left - g.right) - m_leftMargin;
    m_bottomMargin = m_paperHeight - roundMm(g.height - g.top - g.bottom) - m_topMargin;
    return true;
}

void TzdPrinter::Initialize()
{
    if (m_initialized)
        return;
    QString error;
    d->caps = plat::QueryPrinter(m_name, error);
    if (!d->caps)
        return;
    const plat::PrinterCapabilities& caps = *d->caps;
    m_devMode = DeviceMode{};
    m_devMode.Paper = caps.Papers[size_t(caps.DefaultPaper)].Number;
    m_devMode.DefaultSource = caps.DefaultBin;
    m_devMode.Duplex = caps.DefaultDuplex;
    if (!deviceMetrics()) {
        d->caps.reset();
        return;
    }
    m_defaultPaper = m_paper = m_devMode.Paper;
    m_defaultBin = m_devMode.DefaultSource;
    m_defaultDuplex = m_devMode.Duplex;
    m_defaultPaperWidth = m_paperWidth;
    m_defaultPaperHeight = m_paperHeight;
    m_defaultOrientation = m_orientation = m_devMode.Orientation;
    resetLists();
    for (const plat::PrinterPaper& p : caps.Papers)
        if (p.Number != plat::DMPAPER_USER)
            addPaper(p.Name, p.Number);
    for (const plat::PrinterBin& b : caps.Bins)
        if (b.Number != plat::DMBIN_AUTO)
            addBin(b.Name, b.Number);
    m_bin = -1;
    m_duplex = -1;
    m_initialized = true;
}

void TzdPrinter::SetViewParameters(int Paper, long double Width, long double Height,
                                   plat::TPrinterOrientation Orientation)
{
    if (!d->caps)
        return;
    const int p = Paper == plat::DMPAPER_USER || IndexOfPaper(Paper) >= 0 ? Paper : plat::DMPAPER_USER;
    if (p != plat::DMPAPER_USER || Paper == -1) {
        const DeviceMode saved = m_devMode;
        m_devMode.Paper = p;
        m_devMode.Orientation = Orientation;
        if (!deviceMetrics()) {
            m_devMode = saved;
            return;
        }
    }
    if (p == plat::DMPAPER_USER) {
        // A size of one's own is laid out on A4, or the first paper, as a base.
        m_devMode.Paper = d->basePaper().Number;
        m_devMode.Orientation = Orientation;
        deviceMetrics();
        m_paperHeight = clampPaperSize(Height, m_paperHeight);
        m_paperWidth = clampPaperSize(Width, m_paperWidth);
    }
    m_paper = p;
    m_orientation = Orientation;
}

void TzdPrinter::SetPrintParameters(int Paper, plat::TPrinterOrientation Orientation, int Copies, int Duplex,
                                    int Bin, long double Height, long double Width)
{
    if (!d->caps)
        return;
    if (IndexOfPaper(Paper) < 0)
        Paper = plat::DMPAPER_USER;
    if (Paper == plat::DMPAPER_USER) {
        // The device mode holds the portrait size.
        const Impl::Geometry base = d->geometry(DeviceMode{d->basePaper().Number});
        const long double height = clampPaperSize(Height, Orientation == plat::poLandscape ? base.width : base.height);
        const long double width = clampPaperSize(Width, Orientation == plat::poLandscape ? base.height : base.width);
        const bool landscape = Orientation == plat::poLandscape;
        m_devMode.PaperLength = int(std::nearbyint((landscape ? width : height) * 10));
        m_devMode.PaperWidth = int(std::nearbyint((landscape ? height : width) * 10));
    } else {
        m_devMode.PaperLength = m_devMode.PaperWidth = 0;
    }
    m_devMode.Paper = Paper;
    m_devMode.Orientation = Orientation;
    m_devMode.Copies = std::max(1, Copies);
    m_devMode.Collate = false;
    m_devMode.DefaultSource = Bin == plat::DMBIN_AUTO ? (m_bin != -1 ? m_bin : m_defaultBin) : Bin;
    int duplex = Duplex >= 1 && Duplex <= 3 ? Duplex + 1 : m_defaultDuplex;
    if (m_duplex != -1)
        duplex = m_duplex;
    if (duplex == 4)
        duplex = plat::DMDUP_SIMPLEX;
    m_devMode.Duplex = duplex;
    if (deviceMetrics()) {
        m_paper = Paper;
        m_orientation = Orientation;
    }
}

bool TzdPrinter::BeginDocument()
{
    if (!m_initialized) {
        zdErrorMessage(kNotValid);
        return false;
    }
    if (d->job)
        return true;
    d->job = std::make_unique<plat::PdfPrintJob>(m_name, documentTitle(), m_fileName);
    m_printing = true;
    return true;
}

void TzdPrinter::BeginPage()
{
    if (!d->job)
        return;
    EndPage();
    const Impl::Geometry g = d->geometry(m_devMode);
    plat::PageGeometry page;
    page.Width = double(g.width);
    page.Height = double(g.height);
    // The origin at the printable corner, in the whole millimetres callers
    // subtract again, so that a page drawn at minus the margins lands on the
    // paper's corner exactly.
    page.OriginX = double(m_leftMargin);
    page.OriginY = double(m_topMargin);
    page.Dpi = m_dpi.X;
    m_canvas->SetPainter(d->job->BeginPage(d->jobSettings(m_devMode), page));
    d->pageOpen = true;
}

void TzdPrinter::EndPage()
{
    if (!d->pageOpen)
        return;
    d->pageOpen = false;
    m_canvas->SetPainter(nullptr);
    d->job->EndPage();
}

bool TzdPrinter::EndDocument()
{
    bool ok = true;
    if (d->job) {
        EndPage();
        QString error;
        ok = d->job->End(error);
        d->job.reset();
        if (!ok)
            zdErrorMessage(error);
    }
    endDocumentState();
    return ok;
}

void TzdPrinter::AbortDocument()
{
    if (d->job) {
        d->pageOpen = false;
        m_canvas->SetPainter(nullptr);
        d->job->Abort();
        d->job.reset();
    }
    endDocumentState();
}

void TzdPrinter::endDocumentState()
{
    m_printing = false;
    m_bin = -1;
    m_duplex = -1;
    m_fileName.clear();
    m_devMode.DefaultSource = m_defaultBin;
    m_devMode.Duplex = m_defaultDuplex;
    if (d->caps)
        deviceMetrics(true);
}

bool TzdPrinter::BeginRawDocument()
{
    if (!m_initialized) {
        zdErrorMessage(kNotValid);
        return false;
    }
    d->raw = std::make_unique<plat::RawPrintJob>(m_name, documentTitle());
    return true;
}

void TzdPrinter::WriteRawData(const QByteArray& Data)
{
    if (d->raw)
        d->raw->Write(Data);
}

bool TzdPrinter::EndRawDocument()
{
    if (!d->raw)
        return true;
    QString error;
    const bool ok = d->raw->End(error);
    d->raw.reset();
    if (!ok)
        zdErrorMessage(error);
    return ok;
}

bool TzdPrinter::ShowPropertiesDialog()
{
    if (!m_initialized)
        return false;
    zd::PrinterProperties props{m_devMode.DefaultSource, m_devMode.Duplex};
    if (!zd::ShowPrinterPropertiesDialog(*this, CanDuplex(), props))
        return false;
    m_bin = m_defaultBin = m_devMode.DefaultSource = props.Bin;
    if (props.Duplex != m_devMode.Duplex)
        m_duplex = m_devMode.Duplex = props.Duplex;
    deviceMetrics();
    return true;
}

// ---------------------------------------------------------------- virtual printer

void TzdVirtualPrinter::Initialize()
{
    if (m_initialized)
        return;
    m_dpi = plat::TPoint{kVirtualDpi, kVirtualDpi};
    m_canvas->SetDeviceDPI(kVirtualDpi, kVirtualDpi);
    m_defaultPaper = plat::DMPAPER_A4;
    m_defaultOrientation = plat::poPortrait;
    m_defaultPaperWidth = 210;
    m_defaultPaperHeight = 297;
    resetLists();
    for (const plat::TPaperInfo& p : plat::PaperTable())
        addPaper(QString::fromLatin1(p.Name), p.Number);
    m_bin = -1;
    m_duplex = -1;
    m_initialized = true;
    SetViewParameters(m_defaultPaper, 0, 0, m_defaultOrientation);
}

bool TzdVirtualPrinter::EndDocument()
{
    m_fileName.clear();
    return true;
}

void TzdVirtualPrinter::SetViewParameters(int Paper, long double Width, long double Height,
                                          plat::TPrinterOrientation Orientation)
{
    long double w = 0, h = 0;
    if (Paper != plat::DMPAPER_USER && plat::LookupPaperSize(Paper, w, h)) {
        m_paper = Paper;
        if (Orientation == plat::poLandscape)
            std::swap(w, h);
        m_paperWidth = w;
        m_paperHeight = h;
    } else {
        m_paper = plat::DMPAPER_USER;
        const bool landscape = Orientation == plat::poLandscape;
        m_paperWidth = clampPaperSize(Width, landscape ? m_defaultPaperHeight : m_defaultPaperWidth);
        m_paperHeight = clampPaperSize(Height, landscape ? m_defaultPaperWidth : m_defaultPaperHeight);
    }
    m_orientation = Orientation;
    m_leftMargin = m_topMargin = m_rightMargin = m_bottomMargin = kVirtualMargin;
}

void TzdVirtualPrinter::SetPrintParameters(int Paper, plat::TPrinterOrientation Orientation, int, int, int Bin,
                                           long double Height, long double Width)
{
    SetViewParameters(Paper, Width, Height, Orientation);
    m_bin = Bin;
}

// ---------------------------------------------------------------- the list

TzdPrinters::TzdPrinters()
{
    FillPrinters();
    choosePrinter();
}

TzdPrinters::~TzdPrinters() = default;

void TzdPrinters::Clear()
{
    m_items.clear();
    m_printers.clear();
    m_activeIndex = -1;
}

TzdCustomPrinter* TzdPrinters::Items(int Index) const
{
    return Index >= 0 && Index < Count() ? m_items[size_t(Index)].get() : nullptr;
}

int TzdPrinters::IndexOf(const QString& Name) const
{
    for (int i = 0; i < m_printers.size(); ++i)
        if (plat::SameText(m_printers[i], Name))
            return i;
    return -1;
}

void TzdPrinters::SetPrinterIndex(int Index)
{
    if (Index == -1)
        Index = std::max(0, IndexOf(GetDefaultPrinter().trimmed()));
    if (Index < 0 || Index >= Count())
        return;
    m_activeIndex = Index;
    m_items[size_t(Index)]->Initialize();
}

QString TzdPrinters::GetDefaultPrinter() const { return plat::DefaultPrinterName(); }

void TzdPrinters::FillPrinters()
{
    Clear();
    std::vector<plat::PrinterEntry> entries = plat::ListPrinters();
    std::stable_sort(entries.begin(), entries.end(), [](const plat::PrinterEntry& a, const plat::PrinterEntry& b) {
        return plat::CompareText(a.Name, b.Name) < 0;
    });
    for (const plat::PrinterEntry& e : entries) {
        m_items.push_back(std::make_unique<TzdPrinter>(e.Name, e.Location));
        m_printers.append(e.Name);
    }
    m_hasRealPrinters = !m_items.empty();
    if (!m_hasRealPrinters) {
        const QString name = resText("prVirtual");
        m_items.push_back(std::make_unique<TzdVirtualPrinter>(name, QString()));
        m_printers.append(name);
    }
}

void TzdPrinters::choosePrinter() { SetPrinterIndex(-1); }

TzdPrinters* zdPrinters()
{
    static std::unique_ptr<TzdPrinters> list;
    if (!list)
        list = std::make_unique<TzdPrinters>();
    return list.get();
}

bool zdLookupPaperSize(int PaperNumber, long double& Width, long double& Height)
{
    return plat::LookupPaperSize(PaperNumber, Width, Height);
}

// ---------------------------------------------------------------- the report document's link

namespace {

class PrintersLink final : public TzdPrinterLink {
public:
    int IndexOf(const QString& Name) override { return zdPrinters()->IndexOf(Name); }
    void SetPrinterIndex(int Index) override { zdPrinters()->SetPrinterIndex(Index); }
    TzdPrinterDefaults CurrentDefaults() override
    {
        TzdPrinterDefaults defaults;
        const TzdCustomPrinter* p = zdPrinters()->CurrentPrinter();
        if (p && p->IsInitialized()) {
            defaults.Paper = p->DefaultPaper();
            defaults.PaperWidth = p->DefaultPaperWidth();
            defaults.PaperHeight = p->DefaultPaperHeight();
            defaults.Orientation = p->DefaultOrientation();
        }
        return defaults;
    }
};

PrintersLink g_link;
// Installed when the program starts, so report pages find the printers
// without the report core knowing this unit.
[[maybe_unused]] const bool g_linked = (zdSetPrinterLink(&g_link), true);

} // namespace

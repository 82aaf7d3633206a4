#include "zdPrintPages.h"

#include "Application.h"
#include "Canvas.h"
#include "DateUtils.h"
#include "Exceptions.h"
#include "StringList.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_picture.h"
#include "zdClass_report.h"
#include "zdClass_view.h"
#include "zdPrintDialog.h"
#include "zdPrinter.h"
#include "zdRes.h"
#include "zdUtils.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <exception>
#include <set>

using plat::TPrinterOrientation;

namespace {

constexpr long double kTileRest = 11;      // millimetres of a page that take one more tile
constexpr long double kLargestPage = 5080;  // millimetres: larger sizes are damaged data
constexpr int kMaxCopies = 1000;
const QString kNotValid = QStringLiteral("Printer selected is not valid");

QString resText(const char* key) { return zdGetResources()->GetText(QString::fromLatin1(key)); }

bool usableSize(long double value) { return std::isfinite(value) && value > 0; }

long double clampSize(long double value, long double fallback)
{
    if (!usableSize(value))
        return fallback;
    return std::min(value, kLargestPage);
}

// Ends the preview's pause however the job ends.
class PreviewLock {
public:
    explicit PreviewLock(TzdCustomPreview* preview) : m_preview(preview)
    {
        if (m_preview) {
            m_preview->Lock();
            m_preview->Reprepare();
        }
    }
    ~PreviewLock()
    {
        if (m_preview) {
            m_preview->Unlock();
            m_preview->Reprepare();
        }
    }
    PreviewLock(const PreviewLock&) = delete;
    PreviewLock& operator=(const PreviewLock&) = delete;

private:
    TzdCustomPreview* m_preview;
};

// What the printer was last set up with, so that a change of any of it
// (and only a change) sets it up again.
struct Applied {
    bool valid = false;
    int paper = 0;
    long double width = 0, height = 0;
    int bin = 0;
    TPrinterOrientation orientation = plat::poPortrait;
    int duplex = 0;
    bool operator==(const Applied&) const = default;
};

class PrintRun {
public:
    PrintRun(zd::PrintSource& source, const zd::PrintSettings& options, TzdCustomPrinter& printer)
        : m_src(source), m_opt(options), m_printer(printer)
    {
        m_opt.Copies = std::clamp(m_opt.Copies, 1, kMaxCopies);
    }

    bool run();

private:
    // A pass prints one page that is selected, sized and announced to the report.
    using Pass = bool (PrintRun::*)(int index, const zd::PrintPageInfo& page);

    void sheetSize();
    int pageIndexAt(int position) const;
    bool selected(int index) const;
    bool runPositions(Pass pass);
    bool pagePass(int index, const zd::PrintPageInfo& page);
    bool splitPass(int index, const zd::PrintPageInfo& page);
    bool joinPass();
    bool begin();
    int duplexOf(const zd::PrintPageInfo& page);
    bool pageSizeUsable(int index, const zd::PrintPageInfo& page);
    void afterPage(int index);
    void abort();
    long double px(long double mm, int dpi) const { return mm * dpi / 25.4L; }

    zd::PrintSource& m_src;
    zd::PrintSettings m_opt;
    TzdCustomPrinter& m_printer;
    std::vector<int> m_list;
    int m_pageCount = 0;
    int m_positions = 0;
    int m_copy = 1;
    bool m_started = false;
    bool m_aborted = false;
    bool m_failed = false;
    std::set<int> m_binsUsed;
    Applied m_applied;
    int m_lastDuplex = 0;
    bool m_oddSide = false;
    long double m_sheetWidth = 0, m_sheetHeight = 0; // portrait, as chosen
};

void PrintRun::sheetSize()
{
    if (m_opt.PrintMode == pmDefault)
        return;
    if (m_opt.PrintOnSheet == plat::DMPAPER_USER)
        m_printer.SetViewParameters(plat::DMPAPER_USER, m_printer.PaperWidth(), m_printer.PaperHeight(),
                                    plat::poPortrait);
    else
        m_printer.SetViewParameters(m_opt.PrintOnSheet, 0, 0, plat::poPortrait);
    // A printer that gives no size falls back to its default paper, then A4.
    m_sheetWidth = clampSize(m_printer.PaperWidth(), clampSize(m_printer.DefaultPaperWidth(), 210));
    m_sheetHeight = clampSize(m_printer.PaperHeight(), clampSize(m_printer.DefaultPaperHeight(), 297));
}

int PrintRun::pageIndexAt(int position) const
{
    if (!m_list.empty()) {
        if (position < 0 || position >= int(m_list.size()))
            return -1;
        const int index = m_list[size_t(position)] - 1;
        return index >= 0 && index < m_pageCount ? index : -1;
    }
    return position >= 0 && position < m_positions ? position : -1;
}

bool PrintRun::selected(int index) const
{
    if (index < 0)
        return false;
    const bool odd = (index + 1) % 2 == 1;
    return m_opt.PrintPages == ppAll || (m_opt.PrintPages == ppOdd) == odd;
}

bool PrintRun::runPositions(Pass pass)
{
    for (int i = 0; i < m_positions; ++i) {
        const int position = m_opt.Reverse ? m_positions - 1 - i : i;
        const int index = pageIndexAt(position);
        if (!selected(index))
            continue;
        if (m_src.Terminated()) {
            abort();
            return false;
        }
        zd::PrintPageInfo page = m_src.PreparePage(index);
        if (!pageSizeUsable(index, page))
            continue;
        page.PaperWidth = std::min(page.PaperWidth, kLargestPage);
        page.PaperHeight = std::min(page.PaperHeight, kLargestPage);
        m_src.PrintCopyNo = m_opt.Collate ? m_copy : 1;
        m_src.PrintPage(index, m_src.PrintCopyNo);
        if (!(this->*pass)(index, page))
            return false;
    }
    return true;
}

bool PrintRun::begin()
{
    if (m_started)
        return true;
    if (!m_printer.BeginDocument()) {
        m_failed = true;
        return false;
    }
    m_started = true;
    return true;
}

void PrintRun::abort()
{
    m_aborted = true;
    if (m_started)
        m_printer.AbortDocument();
    m_started = false;
}

int PrintRun::duplexOf(const zd::PrintPageInfo& page)
{
    const int duplex = m_opt.Duplex != dmNone ? m_opt.Duplex : page.Duplex;
    if (duplex != m_lastDuplex)
        m_oddSide = false;
    if (duplex == dmVertical || duplex == dmHorizontal)
        m_oddSide = !m_oddSide;
    m_lastDuplex = duplex;
    return duplex;
}

// A page without a size (a damaged file) cannot be placed: it is left out
// and said so, and the job goes on.
bool PrintRun::pageSizeUsable(int index, const zd::PrintPageInfo& page)
{
    if (usableSize(page.PaperWidth) && usableSize(page.PaperHeight))
        return true;
    zdErrorMessage(QStringLiteral("Page %1 has no paper size and is not printed.").arg(index + 1));
    return false;
}

void PrintRun::afterPage(int index)
{
    m_src.ProgressStep(ptPrinting, index + 1);
    if (!m_src.ThreadSafe())
        plat::Application().ProcessMessages();
    m_src.ClearPageCache();
}

bool PrintRun::pagePass(int index, const zd::PrintPageInfo& page)
{
    const int copies = m_opt.Collate ? 1 : m_opt.Copies;

    int bin = page.Bin;
    if (m_binsUsed.count(page.Bin))
        bin = page.BinOtherPages;
    else
        m_binsUsed.insert(page.Bin);
    const int duplex = duplexOf(page);

    const bool scale = m_opt.PrintMode == pmScale;
    Applied wanted;
    wanted.valid = true;
    wanted.paper = scale ? m_opt.PrintOnSheet : page.Paper;
    wanted.width = scale ? 0 : std::nearbyint(page.PaperWidth);
    wanted.height = scale ? 0 : std::nearbyint(page.PaperHeight);
    wanted.bin = bin;
    wanted.orientation = page.Orientation;
    wanted.duplex = duplex;
    if (!(wanted == m_applied)) {
        if (scale) {
            // The sheet turns with the page; its size stays the chosen one.
            const bool landscape = page.Orientation == plat::poLandscape;
            m_printer.SetPrintParameters(m_opt.PrintOnSheet, page.Orientation, copies, duplex, bin,
                                         landscape ? m_sheetWidth : m_sheetHeight,
                                         landscape ? m_sheetHeight : m_sheetWidth);
        } else {
            m_printer.SetPrintParameters(page.Paper, page.Orientation, copies, duplex, bin, page.PaperHeight,
                                         page.PaperWidth);
        }
        m_applied = wanted;
    }
    if (!begin())
        return false;
    m_printer.BeginPage();
    long double kx = 1, ky = 1;
    if (scale) {
        kx = clampSize(m_printer.PaperWidth(), m_sheetWidth) / page.PaperWidth;
        ky = clampSize(m_printer.PaperHeight(), m_sheetHeight) / page.PaperHeight;
        m_src.PrintScale = std::min(kx, ky);
    }
    const plat::TPoint dpi = m_printer.DPI();
    m_src.DrawPage(index, m_printer.Canvas(), dpi.X / 96.0L * kx, dpi.Y / 96.0L * ky,
                   -px(m_printer.LeftMargin(), dpi.X), -px(m_printer.TopMargin(), dpi.Y));
    m_printer.EndPage();
    afterPage(index);
    return true;
}

bool PrintRun::splitPass(int index, const zd::PrintPageInfo& page)
{
    const int copies = m_opt.Collate ? 1 : m_opt.Copies;
    const int bin = index == 0 ? page.Bin : page.BinOtherPages;
    const int duplex = duplexOf(page);

    // Tiles of the sheet as it stands and turned a quarter. Where a page
    // takes more than one tile across (or down), each tile loses the
    // unprintable margins and the overlap it shares with its neighbour; the
    // way that needs fewer sheets wins.
    m_printer.SetViewParameters(m_opt.PrintOnSheet, m_sheetWidth, m_sheetHeight, plat::poPortrait);
    const long double lr = m_printer.LeftMargin() + m_printer.RightMargin();
    const long double tb = m_printer.TopMargin() + m_printer.BottomMargin();
    const long double g = std::max(0.0L, m_opt.TileOverlap);
    // A tile keeps at least half the sheet, however large the margins and overlap.
    const auto fit = [](long double page, long double sheet, long double lost) {
        if (zd::TileFit(page, sheet) <= 1)
            return 1;
        return zd::TileFit(page, std::max(sheet / 2, sheet - lost));
    };
    const int cols = fit(page.PaperWidth, m_sheetWidth, lr + g);
    const int rows = fit(page.PaperHeight, m_sheetHeight, tb + g);
    const int colsR = fit(page.PaperWidth, m_sheetHeight, tb + g);
    const int rowsR = fit(page.PaperHeight, m_sheetWidth, lr + g);
    const bool rotated = colsR * rowsR < cols * rows;
    const int columns = rotated ? colsR : cols;
    const int lines = rotated ? rowsR : rows;

    Applied wanted;
    wanted.valid = true;
    wanted.paper = m_opt.PrintOnSheet;
    wanted.bin = bin;
    wanted.orientation = rotated ? plat::poLandscape : plat::poPortrait;
    wanted.duplex = duplex;
    if (!(wanted == m_applied)) {
        m_printer.SetPrintParameters(m_opt.PrintOnSheet, wanted.orientation, copies, duplex, bin, m_sheetHeight,
                                     m_sheetWidth);
        m_applied = wanted;
    }
    if (!begin())
        return false;

    const plat::TPoint dpi = m_printer.DPI();
    // Printable tile and the step to the next one, in printer pixels.
    const long double tileW = px(m_printer.PaperWidth() - m_printer.LeftMargin() - m_printer.RightMargin(), dpi.X);
    const long double tileH = px(m_printer.PaperHeight() - m_printer.TopMargin() - m_printer.BottomMargin(), dpi.Y);
    const long double stepX = std::max(tileW / 2, tileW - px(g, dpi.X));
    const long double stepY = std::max(tileH / 2, tileH - px(g, dpi.Y));
    const long double pageW = px(page.PaperWidth, dpi.X), pageH = px(page.PaperHeight, dpi.Y);
    plat::TCanvas* canvas = m_printer.Canvas();
    for (int r = 0; r < lines; ++r) {
        for (int c = 0; c < columns; ++c) {
            const long double ox = -c * stepX, oy = -r * stepY;
            m_printer.BeginPage();
            const int saved = canvas->SaveDC();
            try {
                // A tile shows its printable area, and nothing beyond the
                // page's own paper: what the margins would cut is on the
                // neighbouring tile.
                canvas->IntersectClipRect(plat::Rect(0, 0, int(std::nearbyint(tileW)), int(std::nearbyint(tileH))));
                canvas->IntersectClipRect(plat::Rect(int(std::nearbyint(ox)), int(std::nearbyint(oy)),
                                                     int(std::nearbyint(ox + pageW)),
                                                     int(std::nearbyint(oy + pageH))));
                m_src.DrawPage(index, canvas, dpi.X / 96.0L, dpi.Y / 96.0L, ox, oy);
            } catch (...) {
                canvas->RestoreDC(saved);
                throw;
            }
            canvas->RestoreDC(saved);
            m_printer.EndPage();
        }
    }
    afterPage(index);
    return true;
}

// Pages as cells of one sheet, the size of the first page each. Every page
// appears Copies times: collated as whole sets, else each page in turn;
// cells run on to the next sheet.
bool PrintRun::joinPass()
{
    struct Cell {
        int index, copy;
    };
    std::vector<Cell> cells;
    std::vector<int> pages;
    for (int p = 0; p < m_positions; ++p)
        if (const int index = pageIndexAt(p); index >= 0)
            pages.push_back(index);
    if (pages.empty())
        return true;
    if (m_opt.Collate) {
        for (int c = 1; c <= m_opt.Copies; ++c)
            for (int index : pages)
                cells.push_back({index, c});
    } else {
        for (int index : pages)
            for (int c = 1; c <= m_opt.Copies; ++c)
                cells.push_back({index, c});
    }

    const zd::PrintPageInfo first = m_src.PreparePage(pages.front());
    if (!pageSizeUsable(pages.front(), first))
        return true;
    const long double cellW = std::min(first.PaperWidth, kLargestPage);
    const long double cellH = std::min(first.PaperHeight, kLargestPage);
    const int cols = zd::CellFit(m_sheetWidth, cellW), rows = zd::CellFit(m_sheetHeight, cellH);
    const int colsR = zd::CellFit(m_sheetHeight, cellW), rowsR = zd::CellFit(m_sheetWidth, cellH);
    const bool rotated = colsR * rowsR > cols * rows;
    const int columns = rotated ? colsR : cols, lines = rotated ? rowsR : rows;

    const int duplex = m_opt.Duplex != dmNone ? m_opt.Duplex : first.Duplex;
    m_printer.SetPrintParameters(m_opt.PrintOnSheet, rotated ? plat::poLandscape : plat::poPortrait, 1, duplex,
                                 first.Bin, m_sheetHeight, m_sheetWidth);
    if (!begin())
        return false;
    const plat::TPoint dpi = m_printer.DPI();
    const long double sx = px(cellW, dpi.X), sy = px(cellH, dpi.Y);
    const long double left = -px(m_printer.LeftMargin(), dpi.X), top = -px(m_printer.TopMargin(), dpi.Y);
    size_t next = 0;
    while (next < cells.size()) {
        if (m_src.Terminated()) {
            abort();
            return false;
        }
        m_printer.BeginPage();
        for (int r = 0; r < lines && next < cells.size(); ++r) {
            for (int c = 0; c < columns && next < cells.size(); ++c, ++next) {
                const Cell& cell = cells[next];
                m_src.ClearPageCache();
                m_src.PreparePage(cell.index);
                m_src.PrintCopyNo = cell.copy;
                m_src.PrintPage(cell.index, cell.copy);
                m_src.DrawPage(cell.index, m_printer.Canvas(), dpi.X / 96.0L, dpi.Y / 96.0L, left + c * sx,
                               top + r * sy);
            }
        }
        m_printer.EndPage();
        afterPage(int(next) - 1);
    }
    return true;
}

bool PrintRun::run()
{
    // A page list that is no list raises here, before anything is begun.
    m_pageCount = std::max(0, m_src.PageCount());
    m_list = zd::ParsePageList(m_opt.PageNumbers, m_pageCount);
    m_positions = m_list.empty() ? m_pageCount : int(m_list.size());
    m_src.SetTerminated(false);
    m_src.ProgressStarted(ptPrinting);
    m_printer.SetTitle(m_src.Title());
    sheetSize();
    bool ok = true;
    try {
        if (m_opt.PrintMode == pmJoin) {
            ok = joinPass();
        } else {
            const Pass pass = m_opt.PrintMode == pmSplit ? &PrintRun::splitPass : &PrintRun::pagePass;
            const int passes = m_opt.Collate ? m_opt.Copies : 1;
            for (int copy = 1; copy <= passes && ok; ++copy) {
                m_copy = copy;
                ok = runPositions(pass);
                if (ok && m_oddSide && m_started && copy < passes) {
                    // The next copy starts on a sheet of its own.
                    m_oddSide = false;
                    m_printer.BeginPage();
                    m_printer.EndPage();
                }
                if (m_src.Terminated())
                    break;
            }
        }
        if (m_started && !m_aborted)
            ok = m_printer.EndDocument() && ok;
    } catch (const plat::Exception& e) {
        abort();
        m_src.ProgressFinished(ptPrinting);
        zdErrorMessage(e.message());
        return false;
    } catch (...) {
        abort();
        m_src.ProgressFinished(ptPrinting);
        throw;
    }
    m_src.ProgressFinished(ptPrinting);
    return ok && !m_aborted && !m_failed;
}

} // namespace

namespace zd {

PrintSource::~PrintSource() = default;

namespace {
TzdCustomExportFilter* g_dotMatrixExport = nullptr;
}

TzdCustomExportFilter* DotMatrixExportFilter() { return g_dotMatrixExport; }

void SetDotMatrixExportFilter(TzdCustomExportFilter* Filter) { g_dotMatrixExport = Filter; }

zd::ReportDocument* PrintSource::Document()
{
    if (auto* pages = dynamic_cast<TzdCustomPreviewPages*>(this))
        return pages->Report;
    return nullptr;
}

bool PrintSource::PrintDotMatrix(PrintSettings& Options, bool& Printed)
{
    TzdCustomExportFilter* filter = DotMatrixExportFilter();
    zd::ReportDocument* document = Document();
    TzdReport* report = document ? document->Report() : nullptr;
    if (!filter || !report || !report->DotMatrixReport)
        return false;
    ApplyPrinterOption(Options.Printer);
    filter->ShowDialog = Options.ShowDialog;
    filter->PageNumbers = Options.PageNumbers;
    Printed = ExportPreparedPages(*this, filter);
    return true;
}

void PrintSource::ApplyPrinterOption(const QString& Printer)
{
    if (Printer.isEmpty())
        return;
    TzdPrinters* printers = zdPrinters();
    const int index = printers->IndexOf(Printer);
    if (index >= 0)
        printers->SetPrinterIndex(index);
}

void PrintSource::ReportErrors(const QStringList& Errors)
{
    zdErrorMessage(resText("clErrors") + QStringLiteral("\r\n") + Errors.join(QStringLiteral("\r\n")));
}

void PrintSettings::AssignFrom(const PrintSettings& Source)
{
    const int duplex = Duplex;
    const QString fileName = FileName;
    *this = Source;
    Duplex = duplex;
    FileName = fileName;
}

int TileFit(long double A, long double B)
{
    if (!usableSize(A) || !usableSize(B))
        return 1;
    const long double whole = std::trunc(A / B);
    if (std::fabs(whole * B - A) >= kTileRest)
        return int(whole) + 1;
    return std::max(1, int(std::nearbyint(A / B)));
}

int CellFit(long double A, long double B)
{
    if (!usableSize(A) || !usableSize(B))
        return 1;
    return std::max(1, int(std::trunc((A + kTileRest) / B)));
}

std::vector<int> ParsePageList(const QString& PageNumbers, int PageCount)
{
    plat::TStringList list;
    zdParsePageNumbers(PageNumbers, list, PageCount);
    std::vector<int> pages;
    pages.reserve(size_t(list.Count()));
    for (int i = 0; i < list.Count(); ++i)
        pages.push_back(list.Strings(i).toInt());
    return pages;
}

bool RunPrintJob(PrintSource& Source, const PrintSettings& Options, TzdCustomPrinter& Printer)
{
    return PrintRun(Source, Options, Printer).run();
}

bool PrintPreparedPages(PrintSource& Source, PrintSettings& Options)
{
    TzdPrinters* printers = zdPrinters();
    if (!printers->HasRealPrinters()) {
        zdErrorMessage(resText("clNoPrinters"));
        return false;
    }
    Source.PrintScale = 1;
    bool printed = false;
    if (Source.PrintDotMatrix(Options, printed))
        return printed;

    const PrintSettings kept = Options;
    Source.ApplyPrinterOption(Options.Printer);
    if (Options.ShowDialog) {
        TzdPrintDialog dialog(Options, Source.PreviewPageNo());
        dialog.DuplexMode = Options.Duplex;
        if (dialog.Execute() != 1) {
            Source.PrintCopyNo = 0;
            Options.AssignFrom(kept);
            return false;
        }
        Options.Duplex = dialog.DuplexMode;
    }
    bool ok = false;
    TzdCustomPrinter* printer = printers->CurrentPrinter();
    try {
        if (printer && !Options.FileName.isEmpty())
            printer->SetFileName(Options.FileName);
        Source.BeforePrintReport();
        {
            PreviewLock lock(Source.Preview());
            if (printer && printer->IsInitialized())
                ok = RunPrintJob(Source, Options, *printer);
            else
                zdErrorMessage(kNotValid);
        }
    } catch (...) {
        if (printer)
            printer->SetFileName({});
        Source.AfterPrintReport();
        Source.PrintCopyNo = 0;
        Options.AssignFrom(kept);
        throw;
    }
    // The file name lasts one job, whatever became of it.
    if (printer)
        printer->SetFileName({});
    Source.AfterPrintReport();
    Source.PrintCopyNo = 0;
    Options.AssignFrom(kept);
    return ok;
}

namespace {

// One object to the filter: views hidden from exports and, for a filter of
// data only, objects outside data bands stay out; memos fill in what was
// unknown while they were printed first.
void exportObject(PrintSource& Source, TzdCustomExportFilter* Filter, TzdComponent* Obj, int PageCount)
{
    if (Filter->DataOnly && !dynamic_cast<TzdDataBand*>(Obj->Parent()))
        return;
    if (auto* view = dynamic_cast<TzdView*>(Obj); view && !view->Visibility().contains(vsExport))
        return;
    if (auto* memo = dynamic_cast<TzdCustomMemoView*>(Obj)) {
        memo->PageTotal = PageCount;
        memo->CopyNo = 1;
        memo->FillDeferredTags();
        if (memo->AutoWidth) {
            // Drawing sizes it to its text.
            QImage scratch(1, 1, QImage::Format_RGB32);
            plat::TCanvas canvas(&scratch);
            memo->Draw(&canvas, 1, 1, 0, 0);
        }
    }
    Filter->WriteObject(Obj);
    if (Source.Terminated())
        throw plat::EExportTerminated(QStringLiteral("Export terminated"));
}

// The page's colour, frame and background picture as a picture object over
// its printable area, for filters that draw the page's background.
void exportBackground(PrintSource& Source, TzdCustomExportFilter* Filter, TzdReportPage* Page, int PageCount)
{
    TzdPictureView background(nullptr);
    background.SetName(QStringLiteral("_pagebackground"));
    background.SetColor(Page->Color());
    background.Frame()->Assign(Page->Frame());
    background.Picture()->Assign(Page->BackPicture());
    background.Stretched = true;
    background.KeepAspectRatio = false;
    background.SetBounds(Page->Left(), Page->Top(),
                         Page->Width() - (Page->LeftMargin + Page->RightMargin) * zd01cm,
                         Page->Height() - (Page->TopMargin + Page->BottomMargin) * zd01cm);
    exportObject(Source, Filter, &background, PageCount);
}

// The objects of one page: its background, then every band followed by its
// children. Repeated page headers and footers may be left out.
void exportPage(PrintSource& Source, TzdCustomExportFilter* Filter, TzdReportPage* Page, int Index, int PageCount)
{
    const bool mirrored = Page->MirrorMargins && Index % 2 == 1;
    Page->SetLeft((mirrored ? Page->RightMargin : Page->LeftMargin) * zd01cm);
    Page->SetTop(Page->TopMargin * zd01cm);
    exportBackground(Source, Filter, Page, PageCount);
    // A copy: exporting an object may not change the page's list under us.
    const std::vector<TzdComponent*> bands = Page->Children();
    for (TzdComponent* band : bands) {
        if (Filter->SuppressPageHeadersFooters &&
            ((dynamic_cast<TzdPageHeader*>(band) && Index != 0) ||
             (dynamic_cast<TzdPageFooter*>(band) && Index != PageCount - 1)))
            continue;
        exportObject(Source, Filter, band, PageCount);
        const std::vector<TzdComponent*> children = band->Children();
        for (TzdComponent* child : children)
            exportObject(Source, Filter, child, PageCount);
    }
}

} // namespace

bool ExportPreparedPages(PrintSource& Source, TzdCustomExportFilter* Filter)
{
    Source.PrintCopyNo = 0;
    if (!Filter)
        return false;
    Filter->CreationTime = plat::Now();
    Filter->Report = Source.Document();
    if (Filter->OnBeforeExport)
        Filter->OnBeforeExport(Filter);
    if (Filter->ShowDialog && Filter->ShowSettingsDialog() != 1)
        return false;
    if (Filter->CurPage)
        Filter->PageNumbers = QString::number(Source.Preview() ? std::max(1, Source.PreviewPageNo()) : 1);
    Source.SetTerminated(false);
    const int count = std::max(0, Source.PageCount());
    const std::vector<int> list = ParsePageList(Filter->PageNumbers, count);
    const std::set<int> wanted(list.begin(), list.end());
    // Printing a dot-matrix report is a print for the report's events.
    const bool printing = Filter == DotMatrixExportFilter();
    if (printing)
        Source.BeforePrintReport();
    struct AfterPrint {
        PrintSource& src;
        bool on;
        ~AfterPrint()
        {
            if (on)
                src.AfterPrintReport();
        }
    } afterPrint{Source, printing};
    bool result = true;
    try {
        if (Filter->OnBeginExport)
            Filter->OnBeginExport(Filter);
        if (!Filter->StartExport())
            return true;
        PreviewLock lock(Source.Preview());
        if (Filter->ShowProgress)
            Source.ProgressStarted(ptExporting);
        // The filter finishes on every path: after an error it gives up
        // without delivering the part already made. A failure of its own
        // (a printout that could not be handed over) fails the export
        // unless an earlier error is already being reported.
        std::exception_ptr pending;
        try {
            for (int index = 0; index < count; ++index) {
                if (!list.empty() && !wanted.count(index + 1))
                    continue;
                Source.PreparePage(index);
                if (Filter->ShowProgress)
                    Source.ProgressStep(ptExporting, index + 1);
                TzdReportPage* page = Source.Page(index);
                Filter->OpenPage(page, index);
                try {
                    // A source without page objects hands them over itself.
                    if (page)
                        exportPage(Source, Filter, page, index, count);
                    else
                        Source.ExportPageObjects(Filter, index);
                } catch (...) {
                    Filter->ClosePage(page, index);
                    throw;
                }
                Filter->ClosePage(page, index);
                if (Source.Preview() && page) {
                    page->SetLeft(0);
                    page->SetTop(0);
                } else {
                    Source.ClearPageCache();
                }
                if (!Source.ThreadSafe())
                    plat::Application().ProcessMessages();
            }
        } catch (...) {
            pending = std::current_exception();
        }
        if (Filter->ShowProgress)
            Source.ProgressFinished(ptExporting);
        if (!pending) {
            Filter->FinishExport();
        } else {
            try {
                Filter->AbortExport();
            } catch (const plat::Exception&) {
            }
            std::rethrow_exception(pending);
        }
    } catch (const plat::EExportTerminated&) {
    } catch (const plat::EAbort&) {
        // The filter has said what went wrong.
        result = false;
    } catch (const plat::Exception& e) {
        result = false;
        Source.ReportErrors({e.message()});
    }
    return result;
}

} // namespace zd

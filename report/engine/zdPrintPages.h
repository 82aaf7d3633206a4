#pragma once
// Printing and exporting prepared pages. The prepared-pages store runs its
// Print and Export through the loops here; it answers for its pages and its
// report through PrintSource, so the loops need neither the store's page
// format nor the report document.
//
// A print job: the positions of the page list (or every page), odd or even
// pages, in reverse order or not, collated copies as passes over the pages
// and uncollated ones as the printer's copies. Four modes: a page per sheet
// as designed, a page scaled to the sheet, a large page split into tiles on
// several sheets, small pages joined as cells of one sheet. Sizes are
// millimetres; the printer draws at its own resolution with the origin at
// the printable corner, so a page drawn at minus the margins lands on the
// paper's corner.

#include "Papers.h"
#include "zdClass_options.h"
#include "zdClass_services.h"

#include <QString>

#include <vector>

namespace plat {
class TCanvas;
}

class TzdCustomPrinter;

namespace zd {

// The report's print options as one job reads them.
struct PrintSettings {
    int Copies = 1;
    bool Collate = true;
    QString PageNumbers; // "1,3,5-12", "2-"; empty: every page
    QString Printer;     // the printer to select; empty: the current one
    TzdPrintMode PrintMode = pmDefault;
    int PrintOnSheet = plat::DMPAPER_A4; // the sheet of the other modes; 256: the printer's current size
    TzdPrintPages PrintPages = ppAll;
    bool Reverse = false;
    bool ShowDialog = true;
    int Duplex = dmNone;     // the dialog's choice; dmNone: each page's own
    QString FileName;        // print to this file instead of the printer
    long double TileOverlap = 3; // millimetres shared by neighbouring tiles

    // What one job's dialog may change and Print puts back afterwards:
    // everything but the duplex choice and the file name.
    void AssignFrom(const PrintSettings& Source);
};

// A prepared page as the printer needs to know it.
struct PrintPageInfo {
    int Paper = plat::DMPAPER_A4;
    long double PaperWidth = 210, PaperHeight = 297; // millimetres, as laid out
    plat::TPrinterOrientation Orientation = plat::poPortrait;
    int Bin = plat::DMBIN_AUTO;
    int BinOtherPages = plat::DMBIN_AUTO;
    int Duplex = dmNone;
};

// What the loops ask of the prepared pages and their report.
class PrintSource {
public:
    virtual ~PrintSource();

    virtual int PageCount() = 0;
    // Rebuilds page Index in the page cache and tells its paper.
    virtual PrintPageInfo PreparePage(int Index) = 0;
    // The page as the store hands it out (for the export filter).
    virtual TzdReportPage* Page(int Index) = 0;
    virtual bool DrawPage(int Index, plat::TCanvas* Canvas, long double ScaleX, long double ScaleY,
                          long double OffsetX, long double OffsetY) = 0;
    virtual void ClearPageCache() = 0;
    // The objects of an exported page that Page gives no page for; the
    // export loop hands the objects of a page it gets to the filter itself.
    virtual void ExportPageObjects(TzdCustomExportFilter* Filter, int Index) { (void)Filter; (void)Index; }

    // The report's side.
    virtual bool Terminated() = 0;
    virtual void SetTerminated(bool Value) = 0;
    // ReportOptions.Name, or the report's file name.
    virtual QString Title() = 0;
    virtual bool ThreadSafe() { return false; }
    // The report the export filters get; nullptr when there is none. A
    // source that is a prepared-pages store answers with the store's report.
    virtual zd::ReportDocument* Document();
    virtual TzdCustomPreview* Preview() { return nullptr; }
    // The 1-based page the preview shows; 0 without a preview.
    virtual int PreviewPageNo() { return 0; }
    virtual void ProgressStarted(TzdProgressType) {}
    virtual void ProgressStep(TzdProgressType, int) {}
    virtual void ProgressFinished(TzdProgressType) {}
    // Selects the printer the print options name.
    virtual void ApplyPrinterOption(const QString& Printer);
    // A dot-matrix report prints through the dot-matrix export, when one
    // exists: true when it did (Printed then holds the export's result).
    virtual bool PrintDotMatrix(PrintSettings& Options, bool& Printed);
    // OnPrintReport and the script's OnReportPrint.
    virtual void BeforePrintReport() {}
    virtual void AfterPrintReport() {}
    virtual void PrintPage(int Index, int CopyNo) { (void)Index; (void)CopyNo; }
    // Errors an export collected, shown through the report's error list.
    virtual void ReportErrors(const QStringList& Errors);

    // Read by text objects while they draw.
    long double PrintScale = 1;
    int PrintCopyNo = 0;
};

// Print of the prepared pages: false when no printer is installed, the
// dialog was cancelled, the printer is not valid, the job was stopped or
// the print server did not take it. The options come back as they were
// except the duplex choice.
bool PrintPreparedPages(PrintSource& Source, PrintSettings& Options);

// One job on Printer with Options as they are (no dialog): the document,
// its pages and copies. False when nothing could be handed over.
bool RunPrintJob(PrintSource& Source, const PrintSettings& Options, TzdCustomPrinter& Printer);

// Export of the prepared pages through Filter.
bool ExportPreparedPages(PrintSource& Source, TzdCustomExportFilter* Filter);

// The export that prints dot-matrix reports: the dot-matrix export created
// last, until it is freed (it sets and clears this itself).
TzdCustomExportFilter* DotMatrixExportFilter();
void SetDotMatrixExportFilter(TzdCustomExportFilter* Filter);

// The number of tiles of length B that cover A (millimetres): a rest of
// 11 mm or more takes one more tile.
int TileFit(long double A, long double B);
// How many cells of length B lie side by side on A; at least 1.
int CellFit(long double A, long double B);

// The page numbers of PageNumbers (1-based, in order); empty for every page.
std::vector<int> ParsePageList(const QString& PageNumbers, int PageCount);

} // namespace zd

#pragma once
// Print jobs on a CUPS queue.
//
// A document is drawn into a temporary PDF at the printer's resolution and
// handed to the server only when it ends, so an aborted document never
// reaches the printer and a failed hand-over is reported where the document
// ends. Settings that belong to a whole job (paper, tray, sides, copies)
// may change between pages: the pages from there on become another job of
// the same title. Printing to a file writes the PDF that would have been
// sent, atomically, as one document.
//
// Raw jobs carry bytes for character printers unchanged.

#include <QByteArray>
#include <QString>

#include <memory>

class QPainter;

namespace plat {

// What a whole job is printed with.
struct JobSettings {
    // Hundredths of a millimetre, portrait; 0: the printer's own choice.
    int PaperWidth = 0, PaperHeight = 0;
    QByteArray Bin;   // media source; empty: the printer's choice
    QByteArray Sides; // empty: the printer's default
    int Copies = 1;
    bool Collate = false; // with several copies: whole sets rather than each page in turn
    bool operator==(const JobSettings&) const = default;
};

// One page as it lies on the paper.
struct PageGeometry {
    double Width = 0, Height = 0;   // millimetres (landscape: wider than high)
    double OriginX = 0, OriginY = 0; // millimetres from the paper's corner to the drawing origin
    int Dpi = 600;                   // drawing units per inch
};

class PdfPrintJob {
public:
    // outputFile empty: the job goes to the printer; else the PDF is written there.
    PdfPrintJob(const QString& printer, const QString& title, const QString& outputFile = {});
    ~PdfPrintJob(); // aborts a job not ended
    PdfPrintJob(const PdfPrintJob&) = delete;
    PdfPrintJob& operator=(const PdfPrintJob&) = delete;

    // Starts a page and returns the painter to draw it with: origin at
    // OriginX, OriginY, units of 1/Dpi inch. Valid until EndPage.
    // Raises EPrinter when the temporary file cannot be made.
    QPainter* BeginPage(const JobSettings& settings, const PageGeometry& page);
    void EndPage();
    // Hands the jobs to the server (or commits the file); false and the
    // reason when that fails. Nothing is sent for a document without pages.
    bool End(QString& error);
    // Discards everything drawn.
    void Abort();

    int PageCount() const;
    int JobCount() const; // jobs so far, the open one included

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

class RawPrintJob {
public:
    RawPrintJob(const QString& printer, const QString& title);
    ~RawPrintJob(); // aborts a job not ended
    RawPrintJob(const RawPrintJob&) = delete;
    RawPrintJob& operator=(const RawPrintJob&) = delete;

    // Raises EPrinter when the temporary file cannot be written.
    void Write(const QByteArray& bytes);
    bool End(QString& error);
    void Abort();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace plat

#pragma once
// The print server's queues (CUPS): their names, the default one, and what
// a queue offers, with its papers and trays numbered as the platform
// numbers them (Papers.h), so that numbers stored in report pages keep
// their meaning. Without a server there are no queues.

#include "Papers.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace plat {

struct PrinterEntry {
    QString Name;
    QString Location; // where the printer stands, as its administrator wrote it
    bool IsDefault = false;
};

// The queues, in the server's order; instances of a queue are left out.
std::vector<PrinterEntry> ListPrinters();
// The default queue's name; empty when there is none.
QString DefaultPrinterName();

struct PrinterPaper {
    int Number = 0; // the table's number of the same size, else from 257 on
    QString Name;
    QByteArray Key; // the server's media name
    // Hundredths of a millimetre, portrait, and the unprintable margins.
    int Width = 0, Height = 0;
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct PrinterBin {
    int Number = 0; // a platform bin number, else from 257 on
    QString Name;
    QByteArray Key; // the server's media source
};

struct PrinterCapabilities {
    std::vector<PrinterPaper> Papers; // the printer's order
    int DefaultPaper = 0;             // index into Papers
    std::vector<PrinterBin> Bins;     // without the automatic choice (DMBIN_AUTO)
    int DefaultBin = DMBIN_AUTO;
    bool CanDuplex = false;
    int DefaultDuplex = DMDUP_SIMPLEX;
    int DpiX = 0, DpiY = 0;

    const PrinterPaper* FindPaper(int number) const;
    const PrinterBin* FindBin(int number) const;
};

// What the queue offers; nullopt and the server's message when it cannot
// say. A queue that names no papers gets A4; one without a resolution gets
// 300 dpi (raw queues of character printers say neither).
std::optional<PrinterCapabilities> QueryPrinter(const QString& name, QString& error);

// The "sides" keyword of a duplex number; empty for 0 (the printer's default).
QByteArray SidesKeyword(int duplex);

} // namespace plat

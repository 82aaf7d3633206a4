#pragma once
// The report document's way to the process-wide printer list, which lives in
// the engine layer above it (zdPrinter). The printer unit installs its link
// when the program starts; until then (a program or test without the engine)
// there is none, and callers fall back to A4 portrait.
//
// Report pages take their default paper from here (ApplyPrinterDefaults) and
// the report selects the printer its print options name (ApplyPrinterOption).

#include "Papers.h"

#include <QString>

struct TzdPrinterDefaults {
    int Paper = plat::DMPAPER_A4;
    long double PaperWidth = 210; // millimetres
    long double PaperHeight = 297;
    plat::TPrinterOrientation Orientation = plat::poPortrait;
};

class TzdPrinterLink {
public:
    virtual ~TzdPrinterLink();
    // The first printer of that name, ignoring case; -1 when none.
    virtual int IndexOf(const QString& Name) = 0;
    // Makes the printer current (-1: the system's default printer).
    virtual void SetPrinterIndex(int Index) = 0;
    // The current printer's default paper and orientation.
    virtual TzdPrinterDefaults CurrentDefaults() = 0;
};

// nullptr while no printer unit is linked in.
TzdPrinterLink* zdPrinterLink();
// Installs the link (not owned); returns the previous one.
TzdPrinterLink* zdSetPrinterLink(TzdPrinterLink* link);
// The current printer's defaults, or A4 portrait without a link.
TzdPrinterDefaults zdCurrentPrinterDefaults();

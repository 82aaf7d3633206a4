#pragma once

// The units a designer test needs registered: the report, the barcode and
// dot-matrix objects and the designer's property editors, started once per
// test program.

#include "zdBarcodeView.h"
#include "zdClass.h"
#include "zdDMPClass.h"
#include "zdEditors.h"

namespace testunits {

inline void startDesignerUnits()
{
    static const bool started = [] {
        zd::startReportUnit();
        zd::startBarcodeViewRTTIUnit();
        zd::startBarcodeViewUnit();
        zd::startDotMatrixUnit();
        zd::startDesignerEditorsUnit();
        return true;
    }();
    (void)started;
}

} // namespace testunits

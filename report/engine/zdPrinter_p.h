#pragma once
// The properties dialog of a print queue: the tray and the sides that the
// next document prints with (what a driver's own dialog would offer).

class TzdCustomPrinter;

namespace zd {

struct PrinterProperties {
    int Bin = 0;    // a bin number of the printer's bin list
    int Duplex = 1; // 1 one-sided, 2 long edge, 3 short edge
};

// Shown modally through the modal-window runner; true when confirmed, with
// the choice in props.
bool ShowPrinterPropertiesDialog(const TzdCustomPrinter& printer, bool canDuplex, PrinterProperties& props);

} // namespace zd

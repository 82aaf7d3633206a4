#include "zdPrinterLink.h"

namespace {
TzdPrinterLink* g_link = nullptr;
} // namespace

TzdPrinterLink::~TzdPrinterLink() = default;

TzdPrinterLink* zdPrinterLink() { return g_link; }

TzdPrinterLink* zdSetPrinterLink(TzdPrinterLink* link)
{
    TzdPrinterLink* previous = g_link;
    g_link = link;
    return previous;
}

TzdPrinterDefaults zdCurrentPrinterDefaults() { return g_link ? g_link->CurrentDefaults() : TzdPrinterDefaults{}; }

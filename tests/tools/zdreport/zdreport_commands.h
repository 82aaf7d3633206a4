#pragma once
// The commands of zdreport, one file each. Every command returns 0 when it
// did its work, 1 after printing a failure to standard error, and -1 for a
// bad command line (main then prints the usage and exits 2).

#include "ToolCommandLine.h"

class TzdPreviewPages;

namespace zdtool {

int drawCommand(const ToolCommandLine& cl);
int resaveCommand(const ToolCommandLine& cl);
int renderCommand(const ToolCommandLine& cl);
int syntheticCommand(const ToolCommandLine& cl);
int printCommand(const ToolCommandLine& cl);
int rawCommand(const ToolCommandLine& cl);
int dotMatrixCommand(const ToolCommandLine& cl);
int prepareCommand(const ToolCommandLine& cl);
int pdfCommand(const ToolCommandLine& cl);

// --dpi N (96 when absent); 0 for a value outside 1..600, after saying so.
int dpiOption(const ToolCommandLine& cl);
// Draws every page of the store at Dpi into Folder (created when missing)
// as "page-0001.png", "page-0002.png", ...; returns the number of pages.
int writePagePNGs(TzdPreviewPages& Pages, const QString& Folder, int Dpi);

} // namespace zdtool

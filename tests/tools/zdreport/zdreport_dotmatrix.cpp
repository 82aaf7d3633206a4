// zdreport --dotmatrix OUT.prn [--dmp-printer N] PREPARED.zp3: prepared
// pages of a dot-matrix report through the dot-matrix export into a file.
//
// Templates need the report engine to become prepared pages; until the
// program has one, the pages come from a prepared report file.

#include "ScriptedServices.h"
#include "ToolCommandLine.h"
#include "zdreport_commands.h"
#include "zdClass_report.h"
#include "zdDMPClass.h"
#include "zdDMPExport.h"
#include "zdPreviewPages.h"

#include <QFile>

#include <cstdio>

namespace zdtool {

int dotMatrixCommand(const ToolCommandLine& cl)
{
    if (cl.positional.size() != 1)
        return -1;
    const QString input = cl.positional[0];
    if (!input.endsWith(QStringLiteral(".zp3"), Qt::CaseInsensitive)) {
        std::fputs("zdreport: exporting a template needs the report engine, which this build lacks; "
                   "give a prepared report (.zp3)\n",
                   stderr);
        return 1;
    }
    bool ok = true;
    const int model = cl.value(QStringLiteral("dmp-printer"), QStringLiteral("0")).toInt(&ok);
    if (!ok || model < 0 || model >= zd::DMPrinters()->Count()) {
        std::fprintf(stderr, "zdreport: --dmp-printer takes a definition from 0 to %d\n",
                     zd::DMPrinters()->Count() - 1);
        return -1;
    }
    if (!QFile::exists(input)) {
        std::fprintf(stderr, "zdreport: cannot read %s\n", qPrintable(input));
        return 1;
    }
    zd::startReportUnit();
    zd::startDotMatrixUnit();
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    TzdReport report;
    TzdPreviewPages pages(&report);
    pages.LoadFromFile(input, true);

    TzdDotMatrixExport exp(nullptr);
    exp.ShowDialog = false;
    exp.UseIniSettings = false;
    exp.SaveToFile = true;
    exp.EscModel = model;
    exp.FileName = cl.value(QStringLiteral("dotmatrix"));
    const bool exported = pages.Export(&exp);
    for (const plat::ServiceCall& call : ui.Calls())
        if (call.kind == QLatin1String("MessageBox") || call.kind == QLatin1String("MessageDlg"))
            std::fprintf(stderr, "zdreport: %s\n", qPrintable(call.text));
    return exported && QFile::exists(exp.FileName) ? 0 : 1;
}

} // namespace zdtool

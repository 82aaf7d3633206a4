// zdreport --dotmatrix OUT.prn [--dmp-printer N] TEMPLATE|PREPARED.zp3:
// the pages of a dot-matrix report through the dot-matrix export into a
// file. A template is prepared first (as zdreport prepare does, with the
// fixed clock); a prepared report file is exported as it is.

#include "ScriptedServices.h"
#include "ToolCommandLine.h"
#include "zdreport_commands.h"
#include "zdClass_report.h"
#include "zdDMPClass.h"
#include "zdDMPExport.h"
#include "zdEngine.h"
#include "zdPreviewPages.h"
#include "zdreport_prepare.h"
#include "zdreport_template.h"

#include <memory>

#include <QFile>

#include <cstdio>

namespace zdtool {

int dotMatrixCommand(const ToolCommandLine& cl)
{
    if (cl.positional.size() != 1)
        return -1;
    const QString input = cl.positional[0];
    const bool prepared = input.endsWith(QStringLiteral(".zp3"), Qt::CaseInsensitive);
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
    startLibrary();
    zd::startEngineUnit();
    zd::startDotMatrixUnit();
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    TzdReport report;
    std::unique_ptr<TzdPreviewPages> loaded;
    TzdCustomPreviewPages* pages = nullptr;
    if (prepared) {
        loaded = std::make_unique<TzdPreviewPages>(&report);
        loaded->LoadFromFile(input, true);
        pages = loaded.get();
    } else {
        if (!report.LoadFromFile(input, true)) {
            std::fprintf(stderr, "zdreport: cannot read %s\n", qPrintable(input));
            return 1;
        }
        QStringList errors;
        const bool ok = prepare(report, {}, &errors);
        for (const QString& e : errors)
            std::fprintf(stderr, "zdreport: %s\n", qPrintable(e));
        if (!ok)
            return 1;
        pages = report.ActivePreviewPages();
    }

    TzdDotMatrixExport exp(nullptr);
    exp.ShowDialog = false;
    exp.UseIniSettings = false;
    exp.SaveToFile = true;
    exp.EscModel = model;
    exp.FileName = cl.value(QStringLiteral("dotmatrix"));
    const bool exported = pages->Export(&exp);
    for (const plat::ServiceCall& call : ui.Calls())
        if (call.kind == QLatin1String("MessageBox") || call.kind == QLatin1String("MessageDlg"))
            std::fprintf(stderr, "zdreport: %s\n", qPrintable(call.text));
    return exported && QFile::exists(exp.FileName) ? 0 : 1;
}

} // namespace zdtool

// zdreport --print and --raw: prepared pages and raw bytes to a print queue.
//
// Templates need the report engine to become prepared pages; until the
// program has one, --print without a template prints the synthetic
// five-page store of the print tests ("Strana 1" .. "Strana 5", A4).

#include "ScriptedServices.h"
#include "SyntheticPages.h"
#include "ToolCommandLine.h"
#include "zdPrintPages.h"
#include "zdPrinter.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace zdtool {

namespace {

// Messages the library would show in a box go to standard error.
void reportMessages(const plat::ScriptedServices& ui)
{
    for (const plat::ServiceCall& call : ui.Calls())
        if (call.kind == QLatin1String("MessageBox") || call.kind == QLatin1String("MessageDlg"))
            std::fprintf(stderr, "zdreport: %s\n", qPrintable(call.text));
}

bool selectPrinter(const QString& name)
{
    TzdPrinters* printers = zdPrinters();
    const int index = printers->IndexOf(name);
    if (index < 0 || !printers->HasRealPrinters()) {
        std::fprintf(stderr, "zdreport: no printer named %s\n", qPrintable(name));
        return false;
    }
    printers->SetPrinterIndex(index);
    return true;
}

} // namespace

int printCommand(const ToolCommandLine& cl)
{
    if (!cl.positional.empty()) {
        std::fputs("zdreport: printing a template needs the report engine, which this build lacks; "
                   "without a template the synthetic test pages are printed\n",
                   stderr);
        return 1;
    }
    zd::PrintSettings o;
    o.ShowDialog = false;
    o.PageNumbers = cl.value(QStringLiteral("pages"));
    bool ok = true;
    o.Copies = cl.value(QStringLiteral("copies"), QStringLiteral("1")).toInt(&ok);
    if (!ok || o.Copies < 1 || o.Copies > 1000) {
        std::fputs("zdreport: --copies takes a whole number from 1 to 1000\n", stderr);
        return -1;
    }
    o.Collate = cl.has(QStringLiteral("collate"));
    o.Reverse = cl.has(QStringLiteral("reverse"));
    if (cl.has(QStringLiteral("odd")) && cl.has(QStringLiteral("even"))) {
        std::fputs("zdreport: --odd and --even exclude each other\n", stderr);
        return -1;
    }
    o.PrintPages = cl.has(QStringLiteral("odd")) ? ppOdd : cl.has(QStringLiteral("even")) ? ppEven : ppAll;
    const QString mode = cl.value(QStringLiteral("mode"), QStringLiteral("default"));
    const QStringList modes{QStringLiteral("default"), QStringLiteral("split"), QStringLiteral("join"),
                            QStringLiteral("scale")};
    if (!modes.contains(mode)) {
        std::fputs("zdreport: --mode is default, scale, split or join\n", stderr);
        return -1;
    }
    o.PrintMode = TzdPrintMode(modes.indexOf(mode));
    o.FileName = cl.value(QStringLiteral("file"));

    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    if (!selectPrinter(cl.value(QStringLiteral("print"))))
        return 1;
    printtest::SyntheticPages store(5);
    store.Options = o;
    const bool printed = store.Print();
    reportMessages(ui);
    return printed ? 0 : 1;
}

int rawCommand(const ToolCommandLine& cl)
{
    if (cl.positional.size() != 1)
        return -1;
    const QString fileName = cl.value(QStringLiteral("raw"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "zdreport: cannot read %s\n", qPrintable(fileName));
        return 1;
    }
    const QByteArray bytes = file.readAll();
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    if (!selectPrinter(cl.positional[0]))
        return 1;
    TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter();
    printer->SetTitle(QFileInfo(fileName).fileName());
    bool ok = printer->BeginRawDocument();
    if (ok) {
        printer->WriteRawData(bytes);
        ok = printer->EndRawDocument();
    }
    reportMessages(ui);
    return ok ? 0 : 1;
}

} // namespace zdtool

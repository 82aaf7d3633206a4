// zdreport --pdf OUT.pdf [--pdf-option NAME=VALUE]... [--data PACKET.xml]
//          [--clock ISO] TEMPLATE|PREPARED.zp3
// A template is prepared, or a prepared report loaded, and its pages
// exported through the PDF filter; NAME is a published property of the
// filter (Compressed, EmbeddedFonts, PrintOptimized, Quality, UserPassword,
// ProtectionFlags, PdfA, ...).

#include "zdreport_commands.h"
#include "zdreport_prepare.h"
#include "zdreport_template.h"

#include "Exceptions.h"
#include "ScriptedServices.h"
#include "ToolCommandLine.h"
#include "TypeInfo.h"
#include "Variant.h"
#include "zdClass_report.h"
#include "zdExportPDF.h"
#include "zdEngine.h"
#include "zdPreviewPages.h"

#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

namespace zdtool {

namespace {

void setOption(TzdPDFExport& Pdf, const QString& Assignment)
{
    const qsizetype eq = Assignment.indexOf(u'=');
    if (eq <= 0)
        throw plat::Exception(QStringLiteral("--pdf-option takes NAME=VALUE, not \"%1\"").arg(Assignment));
    const QString name = Assignment.left(eq), value = Assignment.mid(eq + 1);
    const plat::TPropInfo* prop = plat::FindPropInfo(&Pdf, name);
    if (!prop)
        throw plat::Exception(QStringLiteral("The PDF export has no option %1").arg(name));
    const plat::Variant current = plat::GetPropValue(&Pdf, prop);
    if (plat::VarType(current) == plat::varBoolean) {
        const QString v = value.toLower();
        if (v != u"1" && v != u"0" && v != u"true" && v != u"false")
            throw plat::Exception(QStringLiteral("%1 takes true or false").arg(name));
        plat::SetPropValue(&Pdf, prop, plat::Variant(v == u"1" || v == u"true"));
    } else {
        plat::SetPropValue(&Pdf, prop, plat::Variant(value));
    }
}

} // namespace

int pdfCommand(const ToolCommandLine& cl)
{
    if (cl.positional.size() != 1)
        return -1;
    const QString input = cl.positional[0];
    // The units start before the report exists: it makes its engine then.
    startLibrary();
    zd::startEngineUnit();
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    TzdPDFExport pdf(nullptr);
    pdf.ShowDialog = false;
    pdf.FileName = cl.value(QStringLiteral("pdf"));
    for (const QString& option : cl.repeated.count(QStringLiteral("pdf-option"))
                                     ? cl.repeated.at(QStringLiteral("pdf-option"))
                                     : QStringList())
        setOption(pdf, option);

    plat::TComponent host(nullptr);
    TzdReport report(&host);
    QElapsedTimer timer;
    timer.start();
    TzdPreviewPages* pages = nullptr;
    if (input.endsWith(QStringLiteral(".zp3"), Qt::CaseInsensitive)) {
        pages = storeOf(report);
        if (!pages || !pages->LoadFromFile(input, true))
            return 1;
    } else {
        if (!loadAndPrepare(report, host, input, cl.value(QStringLiteral("data")), cl.value(QStringLiteral("clock"))))
            return 1;
        pages = storeOf(report);
    }
    const qint64 prepared = timer.elapsed();
    const bool exported = pages->Export(&pdf);
    for (const plat::ServiceCall& call : ui.Calls())
        if (call.kind == QLatin1String("MessageBox") || call.kind == QLatin1String("MessageDlg"))
            std::fprintf(stderr, "zdreport: %s\n", qPrintable(call.text));
    for (const QString& m : pdf.Messages())
        std::fprintf(stderr, "zdreport: %s\n", qPrintable(m));
    if (!exported || !QFile::exists(pdf.FileName))
        return 1;
    std::printf("pages: %d\nprepare ms: %lld\nexport ms: %lld\n", pages->GetPageCount(), prepared,
                timer.elapsed() - prepared);
    return 0;
}

} // namespace zdtool

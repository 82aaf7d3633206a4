// zdpreview FILE.zp3|TEMPLATE [--data PACKET.xml]: opens the preview window
// on a prepared report, or shows a template as the report list does: the
// record table of the data packet bound, prepared inside the preview window
// (development tool).
//   zdpreview --synthetic PAGES   the synthetic pages of the store's tests
//
// Exits 0 when the window was closed; 1 when the file could not be shown
// (the message on standard error); 2 on a bad command line.

#include "Application.h"
#include "Exceptions.h"
#include "QtServices.h"
#include "SyntheticWriter.h"
#include "zdClass_report.h"
#include "zdPreview.h"
#include "zdPreviewForm.h"
#include "zdPreviewLink.h"
#include "zdPreviewPages.h"
#include "zdReportWindows.h"
#include "zdEngine.h"
#include "zdreport_prepare.h"
#include "zdreport_template.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: zdpreview FILE.zp3|TEMPLATE [--data PACKET.xml]\n"
               "       zdpreview --synthetic PAGES\n",
               stderr);
    return 2;
}

int show(TzdReport& report, TzdPreviewPages& pages)
{
    TzdPreviewForm form;
    report.PreviewOptions()->Maximized = false;
    form.Init(&report, &pages);
    form.show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    plat::QtServices services;
    plat::ScopedServices use(services);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage();
    try {
        if (args[0] == u"--synthetic") {
            bool ok = false;
            const int count = args.value(1).toInt(&ok);
            if (!ok || count < 1)
                return usage();
            storetest::SyntheticWriter writer;
            TzdPreviewPages pages(&writer.report);
            writer.Write(pages, count, 40);
            return show(writer.report, pages);
        }
        zd::startReportUnit();
        TzdReport report;
        TzdPreviewPages pages(&report);
        if (QFileInfo(args[0]).suffix().compare(u"zp3", Qt::CaseInsensitive) == 0) {
            pages.LoadFromFile(args[0], true);
            return show(report, pages);
        }
        const qsizetype dataArg = args.indexOf(QStringLiteral("--data"));
        if (dataArg >= 0 && dataArg + 1 >= args.size())
            return usage();
        zdtool::startLibrary();
        zd::startEngineUnit();
        zd::startPreviewUnit();
        plat::TComponent host(nullptr);
        zdtool::RowsDataSet* data = dataArg >= 0 ? zdtool::loadRecordTable(host, args[dataArg + 1]) : nullptr;
        TzdReport shown(&host);
        if (!shown.LoadFromFile(args[0], true))
            return 1;
        if (data)
            zdtool::bindRecordTable(shown, data);
        shown.PreviewOptions()->Modal = false;
        shown.PreviewOptions()->Maximized = false;
        shown.ShowReport();
        if (!shown.PreviewWindow) {
            std::fputs("zdpreview: the report opened no preview window\n", stderr);
            return 1;
        }
        return QApplication::exec();
    } catch (const plat::Exception& e) {
        std::fprintf(stderr, "zdpreview: %s\n", qPrintable(e.message()));
        return 1;
    }
}

// zdpreview FILE.zp3|TEMPLATE [--data PACKET.xml]: opens the preview window
// on a prepared report, or on a template prepared through the report's
// preparation when the program provides one (development tool).
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
        const qsizetype data = args.indexOf(QStringLiteral("--data"));
        if (data >= 0 && data + 1 >= args.size())
            return usage();
        report.LoadFromFile(args[0], true);
        const zd::PreviewReportHooks& hooks = zd::previewReportHooks();
        if (!hooks.Prepare || !hooks.Prepare(&report, true)) {
            std::fputs("zdpreview: this build cannot prepare templates yet; open a zp3 file\n", stderr);
            return 1;
        }
        TzdCustomPreviewPages* prepared = hooks.ActivePreviewPages ? hooks.ActivePreviewPages(&report) : &pages;
        TzdPreviewForm form;
        report.PreviewOptions()->Maximized = false;
        form.Init(&report, prepared);
        form.show();
        return QApplication::exec();
    } catch (const plat::Exception& e) {
        std::fprintf(stderr, "zdpreview: %s\n", qPrintable(e.message()));
        return 1;
    }
}

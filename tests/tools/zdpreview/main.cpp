// zdpreview FILE.zp3|TEMPLATE [--data PACKET.xml]: opens the preview window
// on a prepared report, or shows a template as the report list does: the
// record table of the data packet bound, prepared inside the preview window
// (development tool).
//   zdpreview --synthetic PAGES   the synthetic pages of the store's tests
//
//   --grab OUT.png                once the template is prepared, the window
//                                 (1000 x 800) saves its page area to OUT.png,
//                                 prints its status text and the page count,
//                                 and closes (for tests)
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
#include <QTimer>

#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: zdpreview FILE.zp3|TEMPLATE [--data PACKET.xml] [--grab OUT.png]\n"
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

// Waits for the preparation to end, then saves the page area and prints
// "Strana N z M" and the page count; exits 1 when no page came out.
void grabWhenPrepared(TzdReport& Report, const QString& File)
{
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [&Report, File, timer] {
        TzdPreviewForm* form = zd::PreviewReportWindows::FormOf(Report.PreviewWindow);
        // The preparation starts on a timer of the report's own.
        if (!form || Report.PrepareTimerEnabled() || Report.EngineRunning() || form->Preview()->Running())
            return;
        timer->stop();
        TzdPreview* preview = form->Preview();
        if (preview->PageCount() == 0) {
            std::fputs("zdpreview: the report has no pages\n", stderr);
            QCoreApplication::exit(1);
            return;
        }
        form->resize(1000, 800);
        preview->SetPageNo(1);
        QCoreApplication::processEvents();
        const bool saved = preview->Workspace()->viewport()->grab().save(File, "PNG");
        std::printf("%s\npages: %d\n", qPrintable(form->PanelText(0)), preview->PageCount());
        std::fflush(stdout);
        form->close();
        QCoreApplication::exit(saved ? 0 : 1);
    });
    timer->start();
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
        const qsizetype grabArg = args.indexOf(QStringLiteral("--grab"));
        if (grabArg >= 0 && grabArg + 1 >= args.size())
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
        if (grabArg >= 0)
            grabWhenPrepared(shown, args[grabArg + 1]);
        return QApplication::exec();
    } catch (const plat::Exception& e) {
        std::fprintf(stderr, "zdpreview: %s\n", qPrintable(e.message()));
        return 1;
    }
}

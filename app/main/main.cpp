#include "Application.h"
#include "Hlavni_f.h"
#include "QtServices.h"
#include "zdBarcodeView.h"
#include "zdChBox.h"
#include "zdDesgnForm.h"
#include "zdClass.h"
#include "zdDCtrl.h"
#include "zdDMPClass.h"
#include "zdEditors.h"
#include "zdEngine.h"
#include "zdReportWindows.h"
#include "zdrcExports.h"
#include "zdGradient.h"

#include <QApplication>

namespace {

// The report library's units start before the main window exists and end
// after it is gone, in reverse order.
struct ReportLibraryUnits {
    ReportLibraryUnits()
    {
        zd::startReportUnit();
        zd::startCheckBoxRTTIUnit();
        zd::startCheckBoxUnit();
        zd::startGradientRTTIUnit();
        zd::startGradientUnit();
        zd::startBarcodeViewRTTIUnit();
        zd::startBarcodeViewUnit();
        zd::startDotMatrixUnit();
        zd::startDialogControlsUnit();
        zd::startExportsResourcesUnit();
        zd::startDesignerEditorsUnit();
        zd::startEngineUnit();
        // The preview, progress and inheritance windows of the reports.
        zd::startPreviewUnit();
        // The designer window that the report list's "Editace" opens.
        zd::startDesignerFormUnit();
    }
    ~ReportLibraryUnits()
    {
        zd::endDialogControlsUnit();
        zd::endExportsResourcesUnit();
        zd::endDotMatrixUnit();
        zd::endBarcodeViewUnit();
        zd::endBarcodeViewRTTIUnit();
        zd::endGradientUnit();
        zd::endGradientRTTIUnit();
        zd::endCheckBoxUnit();
        zd::endCheckBoxRTTIUnit();
        zd::endReportUnit();
    }
    ReportLibraryUnits(const ReportLibraryUnits&) = delete;
    ReportLibraryUnits& operator=(const ReportLibraryUnits&) = delete;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sorvamet Pro"));
    // The platform's standard buttons and dialogs speak the program's language.
    plat::QtServices::InstallQtTranslation();
    plat::QtServices services;
    plat::ScopedServices useServices(services);
    plat::Application().SetTitle(QStringLiteral("Sorvamet"));
    ReportLibraryUnits reportLibrary;

    THlavni hlavni;
    hlavni.show();
    return QApplication::exec();
}

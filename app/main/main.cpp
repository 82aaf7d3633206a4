#include "Application.h"
#include "Hlavni_f.h"
#include "QtServices.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sorvamet Pro"));
    // The platform's standard buttons and dialogs speak the program's language.
    plat::QtServices::InstallQtTranslation();
    plat::QtServices services;
    plat::ScopedServices useServices(services);
    plat::Application().SetTitle(QStringLiteral("Sorvamet"));

    THlavni hlavni;
    hlavni.show();
    return QApplication::exec();
}

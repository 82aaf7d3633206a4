// The application's tests run with a QApplication (offscreen) and the
// program's title, as the program itself starts, and with a configuration
// folder of their own, so that no test touches the user's settings.
#include "Application.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    plat::Application().SetTitle(QStringLiteral("Sorvamet"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The application's tests run with a QApplication (offscreen) and the
// program's title, as the program itself starts.
#include "Application.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    plat::Application().SetTitle(QStringLiteral("Sorvamet"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Print tests run offscreen with one QApplication (printed text needs the
// GUI font database). Tests that print start a private CUPS scheduler on
// first use (CupsSandbox.h); it is stopped when the run ends.
#include "CupsSandbox.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    printtest::StopSandbox();
    return result;
}

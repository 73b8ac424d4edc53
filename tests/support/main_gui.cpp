// Test main for the windows: a QApplication on the offscreen platform, so
// window tests run without a display, with the standard error box installed
// as the program installs it; then every GoogleTest case.
#include "toolkit/desktop.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    Application::InstallErrorBox();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

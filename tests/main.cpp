#include "library/fileicons.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    // Widget tests run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // No test reaches the user's sound server: a test that needs one starts
    // its own and points PULSE_SERVER at it.
    qputenv("PULSE_SERVER", "unix:/nonexistent/vorn-tests/pulse/native");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VORN"));
    ensureIconTheme();
    return RUN_ALL_TESTS();
}

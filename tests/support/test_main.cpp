// Test entry point: a Qt application object exists for the whole run, so code
// under test can use locales, settings, fonts and event loops as in the program.
#include <gtest/gtest.h>

#if KORVAN_TEST_APP == 2
#include <QApplication>
using TestApplication = QApplication;
#elif KORVAN_TEST_APP == 1
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs the executables at build time, where there may be no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

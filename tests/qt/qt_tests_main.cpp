// Runs every Qt test class. Without a platform chosen, the tests run offscreen: they need
// no display.

#include "qt_test_suites.h"

#include <QApplication>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    int failures = 0;
    for (const auto run :
         {quorvel::test::run_main_window_tests, quorvel::test::run_secondary_windows_tests,
          quorvel::test::run_qt_host_tests}) {
        failures += run(argc, argv) != 0 ? 1 : 0;
    }
    return failures == 0 ? 0 : 1;
}

// Runs every Qt test class. Without a platform chosen, the tests run offscreen: they need
// no display. Qt's file dialog keeps its history in $XDG_CONFIG_HOME/QtProject.conf, so the
// tests never run with the user's own home: unless HOME and XDG_CONFIG_HOME already name
// another folder (CTest gives one inside the build tree), they get a fresh one of their own.

#include "qt/qt_host.h"
#include "qt_test_suites.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QTemporaryDir>

#include <cstdio>

#include <pwd.h>
#include <unistd.h>

namespace {

bool home_is_private() {
    const QByteArray home = qgetenv("HOME");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    const passwd* account = getpwuid(getuid());
    const QByteArray own = account != nullptr ? QByteArray(account->pw_dir) : QByteArray();
    return !home.isEmpty() && !config.isEmpty() && home != own && config != own + "/.config";
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir private_home;
    if (!home_is_private()) {
        if (!private_home.isValid()) {
            std::fputs("qt_tests: no private home folder could be made\n", stderr);
            return 1;
        }
        qputenv("HOME", QFile::encodeName(private_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(private_home.filePath(".config")));
    }
    quorvel::qt::keep_no_settings();
    QApplication app(argc, argv);
    // The windows are drawn for a desktop font of 8.25 points: the tests see them as drawn.
    QFont reference = QApplication::font();
    reference.setPointSizeF(8.25);
    QApplication::setFont(reference);
    int failures = 0;
    for (const auto run :
         {quorvel::test::run_main_window_tests, quorvel::test::run_secondary_windows_tests,
          quorvel::test::run_qt_host_tests}) {
        failures += run(argc, argv) != 0 ? 1 : 0;
    }
    return failures == 0 ? 0 : 1;
}

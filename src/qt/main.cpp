// quorvel: the editor's windows. Everything the program does lives in the program layer;
// this starts the toolkit, binds the main window to Form1 and runs until it closes.

#include "qt/app_icon.h"
#include "qt/main_window.h"
#include "qt/qt_host.h"
#include "ui/forms.h"

#include <QApplication>

#include <cstdio>

namespace {

// Without a display the toolkit would abort with a message about its platform plugins;
// say plainly what is missing instead. A platform chosen by hand is taken on trust.
bool display_available() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

} // namespace

int main(int /*argc*/, char** argv) {
    if (!display_available()) {
        std::fputs("quorvel needs a graphical display (X11 or Wayland); none was found.\n", stderr);
        return 1;
    }
    // The program reads no command-line argument: the toolkit sees the program's name only.
    int toolkit_argc = 1;
    QApplication app(toolkit_argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(quorvel::ui::application_name));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
    // Names the desktop entry, so that a Wayland desktop shows the entry's name and icon.
    QApplication::setDesktopFileName(QStringLiteral(QUORVEL_APP_ID));
    QApplication::setWindowIcon(quorvel::qt::app_icon());

    quorvel::qt::QtHost host;
    quorvel::ui::Form1 form(host);
    quorvel::qt::MainWindow window(form);
    host.attach(&window, [&window] { window.sync(); });
    window.show();
    return QApplication::exec();
}

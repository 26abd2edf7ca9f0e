// quorvel: the editor's windows. Everything the program does lives in the program layer;
// this starts the toolkit, binds the main window to Form1 and runs until it closes.

#include "qt/app_icon.h"
#include "qt/application.h"
#include "qt/display.h"
#include "qt/main_window.h"
#include "qt/qt_host.h"
#include "ui/forms.h"
#include "ui/speech.h"

#include <cstdio>
#include <string>

int main(int /*argc*/, char** argv) {
    // Without a display the toolkit would abort; say plainly what is missing instead.
    if (const std::string problem = quorvel::qt::display_problem(); !problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    quorvel::qt::keep_no_settings();
    // The program reads no command-line argument: the toolkit sees the program's name only.
    int toolkit_argc = 1;
    quorvel::qt::QtHost host;
    quorvel::qt::Application app(toolkit_argc, argv, host);
    QApplication::setApplicationName(QString::fromLatin1(quorvel::ui::application_name));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
    // Names the desktop entry, so that a Wayland desktop shows the entry's name and icon.
    QApplication::setDesktopFileName(QStringLiteral(QUORVEL_APP_ID));
    QApplication::setWindowIcon(quorvel::qt::app_icon());

    const auto speech = quorvel::ui::make_system_speech();
    quorvel::ui::Form1 form(host, *speech);
    quorvel::qt::MainWindow window(form);
    host.attach(&window, [&window] { window.sync(); });
    speech->start(window.reporter());
    window.show();
    const int status = QApplication::exec();
    // No report reaches the window after this, and a sound server that hangs does not hold
    // up the end.
    speech->close();
    return status;
}

// quorvel: the editor's windows. Everything the program does lives in the program layer;
// this reads the command line, starts the toolkit, binds the main window to Form1, opens the
// file named on the command line once the window is shown, and runs until the window closes.

#include "qt/app_icon.h"
#include "qt/application.h"
#include "qt/display.h"
#include "qt/main_window.h"
#include "qt/qt_host.h"
#include "speech/speech.h"
#include "ui/forms.h"
#include "ui/start_up.h"

#include <QTimer>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    // The arguments' bytes as they are: a file name need not be UTF-8.
    const quorvel::ui::StartUp start = quorvel::ui::read_start_arguments({argv + 1, argv + argc});
    if (const auto status = quorvel::ui::end_without_window(start)) {
        return *status;
    }
    // Without a display the toolkit would abort; say plainly what is missing instead.
    if (const std::string problem = quorvel::qt::display_problem(); !problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    quorvel::qt::keep_no_settings();
    // The toolkit sees the program's name only: the arguments are the program's.
    int toolkit_argc = 1;
    quorvel::qt::QtHost host;
    quorvel::qt::Application app(toolkit_argc, argv, host);
    QApplication::setApplicationName(QString::fromLatin1(quorvel::ui::application_name));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
    // Names the desktop entry, so that a Wayland desktop shows the entry's name and icon.
    QApplication::setDesktopFileName(QStringLiteral(QUORVEL_APP_ID));
    QApplication::setWindowIcon(quorvel::qt::app_icon());

    const auto speech = quorvel::speech::make_system_speech();
    quorvel::ui::Form1 form(host, *speech);
    quorvel::qt::MainWindow window(form);
    host.attach(&window, [&window] { window.sync(); });
    speech->start(window.reporter());
    window.show();
    if (!start.voice.empty()) {
        QTimer::singleShot(0, &window, [&window, &start] { window.open_chosen(start.voice); });
    }
    const int status = QApplication::exec();
    // No report reaches the window after this, and a sound server that hangs does not hold
    // up the end.
    speech->close();
    return status;
}

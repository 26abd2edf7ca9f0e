#include "qt/application.h"

namespace quorvel::qt {

Application::Application(int& argc, char** argv, ui::Host& host)
    : QApplication(argc, argv), host_(host) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    return ui::run_gesture(
        host_, [&] { return QApplication::notify(receiver, event); }, true);
}

} // namespace quorvel::qt

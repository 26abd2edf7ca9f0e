#pragma once

// The toolkit's application. Every gesture of the user reaches the program through an event:
// one that runs out of memory ends there with a message, and the windows stay open.

#include "ui/host.h"

#include <QApplication>

namespace quorvel::qt {

class Application : public QApplication {
  public:
    Application(int& argc, char** argv, ui::Host& host);
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    ui::Host& host_;
};

} // namespace quorvel::qt

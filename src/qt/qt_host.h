#pragma once

// The program's message boxes and file dialogs, shown as Qt dialogs.

#include "ui/host.h"

#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace quorvel::qt {

// "Garmin VPM" and "*.vpm" as one Qt name filter: "Garmin VPM (*.vpm)". A description that
// already ends with its pattern in brackets is taken as it is.
QString name_filter(const std::string& description, const std::string& pattern);

// The program keeps no settings between runs. Qt's own file dialog would keep its history and
// view in QtProject.conf: every settings file is sent to a folder that cannot exist, so
// nothing is read back or written. Call it before the application object is made.
void keep_no_settings();

class QtHost final : public ui::Host {
  public:
    // Dialogs open over `parent`; `sync` brings every window up to date with the program
    // before one shows, so the windows are current while it waits for the user.
    void attach(QWidget* parent, std::function<void()> sync);

    void message_box(const std::string& text) override;
    std::string open_file_dialog(const ui::FileDialogRequest& request) override;
    std::string save_file_dialog(const ui::FileDialogRequest& request) override;

  private:
    void before_showing() const;
    std::string file_dialog(const ui::FileDialogRequest& request, bool save);

    QWidget* parent_ = nullptr;
    std::function<void()> sync_;
};

} // namespace quorvel::qt

#pragma once

// The program's message boxes and file dialogs, shown by Windows itself: MessageBoxW and the
// common file dialogs, modal to the main window.

#include "ui/host.h"

#include <windows.h>

#include <functional>
#include <string>

namespace quorvel::win32 {

class Win32Host final : public ui::Host {
  public:
    // Boxes and dialogs are owned by `owner`; `sync` brings every window up to date with the
    // program before one shows, so the windows are current while it waits for the user.
    void attach(HWND owner, std::function<void()> sync);

    void message_box(const std::string& text) override;
    std::string open_file_dialog(const ui::FileDialogRequest& request) override;
    std::string save_file_dialog(const ui::FileDialogRequest& request) override;

  private:
    std::string file_dialog(const ui::FileDialogRequest& request, bool save);

    HWND owner_ = nullptr;
    std::function<void()> sync_;
};

} // namespace quorvel::win32

#pragma once

// The command line's Host: a file dialog returns the path the command names, and a message
// goes to standard error. The reminder that Save shows every time is not printed.

#include "ui/host.h"

#include <string>

namespace quorvel::cli {

class CliHost : public ui::Host {
  public:
    // The path that the next file dialog returns; a dialog nobody answered is cancelled.
    void answer_next_dialog(std::string path) { answer_ = std::move(path); }
    // True once the program showed any message other than the save reminder: it refused a
    // change, or could not read or write a file.
    bool refused() const { return refused_; }

    void message_box(const std::string& text) override;
    std::string open_file_dialog(const ui::FileDialogRequest& request) override;
    std::string save_file_dialog(const ui::FileDialogRequest& request) override;

  private:
    std::string answer_;
    bool refused_ = false;
};

// Prints a message of the program (single-byte text) to standard error in UTF-8, each CR LF
// as a newline.
void print_message(const std::string& text);

} // namespace quorvel::cli

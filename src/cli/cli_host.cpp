#include "cli/cli_host.h"

#include "ui/codepage.h"
#include "ui/forms.h"

#include <iostream>
#include <utility>

namespace quorvel::cli {

void CliHost::message_box(const std::string& text) {
    if (text == ui::save_reminder) {
        return;
    }
    refused_ = true;
    print_message(text);
}

std::string CliHost::open_file_dialog(const ui::FileDialogRequest&) {
    return std::exchange(answer_, {});
}

std::string CliHost::save_file_dialog(const ui::FileDialogRequest&) {
    return std::exchange(answer_, {});
}

void print_message(const std::string& text) {
    const std::string utf8 = ui::to_utf8(text);
    std::string shown;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (!(utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')) {
            shown += utf8[i]; // a CR LF inside a message prints as one line end
        }
    }
    std::cerr << shown << '\n';
}

} // namespace quorvel::cli

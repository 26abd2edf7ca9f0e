#pragma once

// What the editor's command line asks for, before any window: a window, with a voice file to
// open in it or none, or a text to print and an end. Every face reads its arguments here, as
// UTF-8 paths (a Linux name is taken byte for byte, valid UTF-8 or not).

#include <optional>
#include <string>
#include <vector>

namespace quorvel::ui {

// The status of a command line the editor cannot follow.
inline constexpr int usage_error_status = 2;

struct StartUp {
    enum class Outcome {
        window,      // show the main window, then open `voice` when it is not empty
        print,       // print `text` on standard output and end with status 0
        usage_error, // print `text`, one line, on standard error and end with usage_error_status
    };
    Outcome outcome = Outcome::window;
    std::string text;
    // The file to open once the window is shown, as File > Open opens the path its dialog
    // returned; a relative name is taken from the current folder.
    std::string voice;
};

// `arguments` without the program's name: at most one file, --help, --version, and "--"
// before a file whose name starts with "-".
StartUp read_start_arguments(const std::vector<std::string>& arguments);

// A start that ends without a window (print, usage error) writes its text where it belongs and
// gives the status to end with; a start that shows the window gives nothing.
std::optional<int> end_without_window(const StartUp& start);

} // namespace quorvel::ui

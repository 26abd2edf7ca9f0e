#include "ui/start_up.h"

#include "common/file_path.h"
#include "common/result.h"
#include "common/wide_path.h"

#include <cstdio>

namespace quorvel::ui {

namespace {

const char* const help =
    "Usage: quorvel [FILE]\n"
    "Edit a Garmin text-to-speech voice file (.vpm) in a window.\n"
    "\n"
    "  FILE       the voice file to open once the window is shown\n"
    "  --help     print this help and end\n"
    "  --version  print the version and end\n"
    "\n"
    "A file dropped on the window is opened as a voice file; a text file (.txt) dropped on\n"
    "it is imported into the open voice.\n";

StartUp usage_error(const std::string& problem) {
    return {StartUp::Outcome::usage_error,
            "quorvel: " + problem + "; run quorvel --help for the usage.\n",
            {}};
}

std::string quoted(const std::string& argument) {
    return "\"" + bounded(argument, true) + "\"";
}

} // namespace

StartUp read_start_arguments(const std::vector<std::string>& arguments) {
    bool help_asked = false;
    bool version_asked = false;
    bool options_end = false;
    std::vector<std::string> files;
    for (const std::string& argument : arguments) {
        if (options_end || argument.empty() || argument.front() != '-') {
            files.push_back(argument);
        } else if (argument == "--") {
            options_end = true;
        } else if (argument == "--help") {
            help_asked = true;
        } else if (argument == "--version") {
            version_asked = true;
        } else {
            return usage_error("unknown option " + quoted(argument));
        }
    }
    if (help_asked) {
        return {StartUp::Outcome::print, help, {}};
    }
    if (version_asked) {
        return {StartUp::Outcome::print, std::string("quorvel ") + QUORVEL_VERSION + "\n", {}};
    }
    if (files.size() > 1) {
        return usage_error("one file at most can be opened, " + std::to_string(files.size()) +
                           " were given");
    }
    if (files.size() == 1 && files.front().empty()) {
        return usage_error("an empty file name names no file");
    }
    return {StartUp::Outcome::window, {}, files.empty() ? "" : absolute_path(files.front())};
}

std::optional<int> end_without_window(const StartUp& start) {
    switch (start.outcome) {
    case StartUp::Outcome::window:
        return std::nullopt;
    case StartUp::Outcome::print:
        std::fputs(start.text.c_str(), stdout);
        return 0;
    case StartUp::Outcome::usage_error:
        std::fputs(start.text.c_str(), stderr);
        return usage_error_status;
    }
    return std::nullopt;
}

} // namespace quorvel::ui

// quorvel-cli: the editor's operations from the command line. Parses the command and hands it
// to the matching command of the program.

#include "cli/commands.h"

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace {

using namespace quorvel::cli;

// A text box holds one line.
std::string one_line(const std::string& text) {
    return text.find_first_of("\r\n") == std::string::npos ? "" : "a text must be one line";
}

std::string phrase_change(const std::string& arg) {
    if (!parse_phrase(arg)) {
        return "expected K=TEXT, K the phrase's number from 1 on: " + arg;
    }
    return one_line(arg);
}

void add_voice(CLI::App& command, std::string& voice) {
    command.add_option("VOICE", voice, "The voice file (.vpm)")->required();
}

void add_output(CLI::App& command, std::string& output) {
    command.add_option("-o,--output", output, "The voice file to write; may be VOICE itself")
        ->required();
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app("Edits Garmin text-to-speech voice files (.vpm) as the editor's window does.",
                 "quorvel-cli");
    app.set_version_flag("--version", std::string("quorvel-cli ") + QUORVEL_VERSION);
    app.require_subcommand(1);

    std::string voice;
    std::string text;
    std::string output;

    CLI::App* info = app.add_subcommand("info", "Show the voice file's settings");
    add_voice(*info, voice);
    bool with_phrases = false;
    info->add_flag("--phrases", with_phrases, "List the phrases too");

    CLI::App* exporting =
        app.add_subcommand("export", "Write the voice's text file (File > Export)");
    add_voice(*exporting, voice);
    exporting->add_option("OUT", text, "The text file to write; - for standard output")->required();

    CLI::App* importing =
        app.add_subcommand("import", "Apply a text file to the voice (File > Import), then save");
    add_voice(*importing, voice);
    importing->add_option("IN", text, "The text file to read")->required();
    add_output(*importing, output);

    SetRequest set_request;
    std::vector<std::string> phrase_args;
    CLI::App* set = app.add_subcommand("set", "Change the voice's settings and phrases, then save");
    add_voice(*set, set_request.voice);
    add_output(*set, set_request.output);
    set->add_option("--rate", set_request.rate, "Move the rate scroll bar to N")
        ->type_name("N")
        ->check(CLI::Range(0, 99));
    set->add_option("--volume", set_request.volume, "Move the volume scroll bar to N")
        ->type_name("N")
        ->check(CLI::Range(0, 99));
    set->add_option("--screen-name", set_request.screen_name, "Type TEXT into the screen-name box")
        ->type_name("TEXT")
        ->check(CLI::Validator(one_line, ""));
    set->add_option("--phrase", phrase_args, "Change phrase K to TEXT; may be repeated")
        ->type_name("K=TEXT")
        ->check(CLI::Validator(phrase_change, ""))
        ->allow_extra_args(false);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? success : unusable;
    }

    if (*info) {
        return show_info(voice, with_phrases);
    }
    if (*exporting) {
        return export_text(voice, text);
    }
    if (*importing) {
        return import_text(voice, text, output);
    }
    // The command left is set.
    for (const auto& arg : phrase_args) {
        set_request.phrases.push_back(*parse_phrase(arg));
    }
    return set_values(set_request);
}

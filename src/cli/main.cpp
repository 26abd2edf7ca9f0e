// quorvel-cli: the editor's operations from the command line. Parses the command and hands it
// to the matching command of the program.

#include "cli/commands.h"
#include "common/result.h"
#include "ui/host.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
#endif

namespace {

using namespace quorvel::cli;
using quorvel::bounded;

// A text box holds one line.
std::string one_line(const std::string& text) {
    return text.find_first_of("\r\n") == std::string::npos ? "" : "a text must be one line";
}

std::string phrase_change(const std::string& arg) {
    if (!parse_phrase(arg)) {
        return "expected K=TEXT, K the phrase's number from 1 on: " + bounded(arg, true);
    }
    return one_line(arg);
}

// Decimal, whatever leading zeros it has: "010" is 10.
std::optional<int> whole_number(const std::string& arg) {
    int n = -1;
    const auto [end, error] = std::from_chars(arg.data(), arg.data() + arg.size(), n);
    if (arg.empty() || error != std::errc() || end != arg.data() + arg.size() || n < 0 || n > 99) {
        return std::nullopt;
    }
    return n;
}

std::string scroll_value(const std::string& arg) {
    return whole_number(arg) ? ""
                             : "'" + bounded(arg, true) + "' is not a whole number from 0 to 99";
}

std::string file_name(const std::string& arg) {
    return arg.empty() ? "an empty file name names no file" : "";
}

// The parse error as CLI11 words it, each argument longer than max_echo characters cut. The
// checks above cut what they echo themselves: a value given as --option=VALUE is no argument
// of its own.
std::string parse_error(const CLI::ParseError& e, int argc, char** argv) {
    std::string message = e.what();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::string cut = bounded(arg, true);
        if (cut.size() < arg.size()) {
            for (auto at = message.find(arg); at != std::string::npos;
                 at = message.find(arg, at + cut.size())) {
                message.replace(at, arg.size(), cut);
            }
        }
    }
    return message;
}

void add_voice(CLI::App& command, std::string& voice) {
    command.add_option("VOICE", voice, "The voice file (.vpm)")
        ->required()
        ->check(CLI::Validator(file_name, ""));
}

void add_output(CLI::App& command, std::string& output) {
    command
        .add_option("-o,--output", output,
                    "The voice file to write; may be VOICE itself; - for standard output")
        ->required()
        ->check(CLI::Validator(file_name, ""));
}

#ifdef _WIN32
// Windows hands the arguments over as UTF-16: read them as such and make them UTF-8, as they
// are on Linux (argv would hold them in the ANSI code page, characters outside it lost).
std::vector<std::string> utf8_arguments() {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 0; wide && i < count; ++i) {
        const int size =
            ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
        arg.pop_back(); // the terminating NUL
        args.push_back(std::move(arg));
    }
    ::LocalFree(wide);
    return args;
}
#endif

} // namespace

int run(int argc, char** argv) {
    CLI::App app("Edits Garmin text-to-speech voice files (.vpm) as the editor's window does.",
                 "quorvel-cli");
    app.set_version_flag("--version", std::string("quorvel-cli ") + QUORVEL_VERSION);
    app.require_subcommand(1);
    app.allow_windows_style_options(false); // on Windows too, "/x" is a path, not an option

    std::string voice;
    std::string text;
    std::string output;

    CLI::App* info = app.add_subcommand("info", "Show the voice file's settings");
    add_voice(*info, voice);
    bool with_phrases = false;
    info->add_flag("--phrases", with_phrases, "List the phrases too");
    bool as_json = false;
    info->add_flag("--json", as_json, "Print the same facts as one JSON object");

    CLI::App* exporting =
        app.add_subcommand("export", "Write the voice's text file (File > Export)");
    add_voice(*exporting, voice);
    exporting->add_option("OUT", text, "The text file to write; - for standard output")
        ->required()
        ->check(CLI::Validator(file_name, ""));

    CLI::App* importing =
        app.add_subcommand("import", "Apply a text file to the voice (File > Import), then save");
    add_voice(*importing, voice);
    importing->add_option("IN", text, "The text file to read; - for standard input")
        ->required()
        ->check(CLI::Validator(file_name, ""));
    add_output(*importing, output);

    SetRequest set_request;
    std::vector<std::string> phrase_args;
    CLI::App* set = app.add_subcommand("set", "Change the voice's settings and phrases, then save");
    add_voice(*set, set_request.voice);
    add_output(*set, set_request.output);
    // Read as text, so that a leading zero is not taken for octal.
    std::optional<std::string> rate;
    std::optional<std::string> volume;
    set->add_option("--rate", rate, "Move the rate scroll bar to N (0 to 99)")
        ->type_name("N")
        ->check(CLI::Validator(scroll_value, ""));
    set->add_option("--volume", volume, "Move the volume scroll bar to N (0 to 99)")
        ->type_name("N")
        ->check(CLI::Validator(scroll_value, ""));
    set->add_option("--screen-name", set_request.screen_name, "Type TEXT into the screen-name box")
        ->type_name("TEXT")
        ->check(CLI::Validator(one_line, ""));
    set->add_option("--phrase", phrase_args, "Change phrase K to TEXT; may be repeated")
        ->type_name("K=TEXT")
        ->check(CLI::Validator(phrase_change, ""))
        ->allow_extra_args(false);

    CLI::App* speaking = app.add_subcommand(
        "speak", "Write phrase K as the editor's Speech > Speak says it, as a WAV file");
    add_voice(*speaking, voice);
    int phrase = 0;
    speaking->add_option("K", phrase, "The phrase's number, from 1 on")
        ->required()
        ->check(CLI::PositiveNumber);
    speaking->add_option("-o,--output", output, "The WAV file to write; - for standard output")
        ->required()
        ->check(CLI::Validator(file_name, ""));
    std::string language;
    speaking
        ->add_option("--language", language,
                     "The language's code (quorvel-cli languages); by default the one guessed "
                     "from the phrases")
        ->type_name("CODE");

    CLI::App* languages =
        app.add_subcommand("languages", "List the speech engine's languages: code and name");

    if (argc > 1 && argv[1][0] != '-' &&
        app.get_subcommands([&](const CLI::App* command) { return command->check_name(argv[1]); })
            .empty()) {
        std::cerr << "unknown command '" << bounded(argv[1], true)
                  << "'; the commands are info, export, import, set, speak "
                     "and languages.\n"
                  << "Run with --help for more information.\n";
        return unusable;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) {
            return app.exit(e) == 0 ? success : unusable;
        }
        std::cerr << parse_error(e, argc, argv) << "\nRun with --help for more information.\n";
        return unusable;
    }
    if (rate) {
        set_request.rate = whole_number(*rate);
    }
    if (volume) {
        set_request.volume = whole_number(*volume);
    }

    if (*info) {
        return show_info(voice, with_phrases, as_json);
    }
    if (*exporting) {
        return export_text(voice, text);
    }
    if (*importing) {
        return import_text(voice, text, output);
    }
    if (*speaking) {
        return speak(voice, phrase, output, language);
    }
    if (*languages) {
        return list_languages();
    }
    // The command left is set.
    for (const auto& arg : phrase_args) {
        set_request.phrases.push_back(*parse_phrase(arg));
    }
    return set_values(set_request);
}

int main(int argc, char** argv) {
#ifdef _WIN32
    // Binary streams, so that what is written is what Linux writes (no LF made CR LF) and
    // standard input is read whole.
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    std::vector<std::string> args = utf8_arguments();
    std::vector<char*> pointers;
    for (std::string& arg : args) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);
    argc = static_cast<int>(args.size());
    argv = pointers.data();
#endif
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << quorvel::ui::out_of_memory << '\n';
        return refused;
    }
}

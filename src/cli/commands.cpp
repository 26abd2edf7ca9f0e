#include "cli/commands.h"

#include "cli/cli_host.h"
#include "cli/info_json.h"
#include "speech/speech.h"
#include "ui/codepage.h"
#include "ui/forms.h"
#include "ui/messages.h"

#include "common/file_path.h"
#include "common/input_limits.h"
#include "common/result.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <new>

namespace quorvel::cli {

namespace {

// A freshly started program, with a speech engine for the commands that speak.
struct Program {
    explicit Program(speech::Speech& speech = speech::no_speech()) : form(host, speech) {}

    CliHost host;
    ui::Form1 form;

    // File > Open of `path`; false when the file cannot be read or is not a voice file.
    bool open(const std::string& path) {
        form.open_path(path);
        return form.voice_open();
    }

    // File > Export, its dialog answered with `path`.
    int export_into(const std::string& path) {
        host.answer_next_dialog(path);
        form.Export_Click();
        return status();
    }

    // File > Save, its dialog answered with `path`.
    int save_into(const std::string& path) {
        host.answer_next_dialog(path);
        form.Save_Click();
        return status();
    }

    int status() const { return host.refused() ? refused : success; }
};

// Writes `bytes` to standard output: success, or refused with a message.
int write_stdout(std::string_view bytes) {
    errno = 0;
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!std::cout.flush()) {
        const int error = errno;
        print_message(std::string("Standard output could not be written") +
                      (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) +
                      ".");
        return refused;
    }
    return success;
}

// File > Save, with the image going to standard output instead of a file: Save's refusals
// hold, and nothing is written after one.
int save_to_stdout(Program& program) {
    const auto image = program.form.image_to_save();
    if (!image) {
        print_message(image.message());
        return refused;
    }
    return write_stdout(
        std::string_view(reinterpret_cast<const char*>(image->data()), image->size()));
}

// The command's output, "-" for standard output.
int save(Program& program, const std::string& output) {
    return output == "-" ? save_to_stdout(program) : program.save_into(output);
}

// True when `output` names the file `input` (also through a link); never for standard input
// or output, or for a file that does not exist.
bool same_file(const std::string& input, const std::string& output) {
    std::error_code ec;
    return input != "-" && output != "-" &&
           std::filesystem::equivalent(file_path(input), file_path(output), ec);
}

// Standard input, whole, as the text file: at most as large as a text file may be.
Result<std::string> read_stdin() {
    std::string text;
    char chunk[1 << 16];
    for (;;) {
        const std::size_t n = std::fread(chunk, 1, sizeof chunk, stdin);
        text.append(chunk, n);
        if (text.size() > static_cast<std::size_t>(max_text_size)) {
            return failure("The text on standard input is larger than 64 MiB; the text of a "
                           "voice file is far smaller.");
        }
        if (n < sizeof chunk) {
            break;
        }
    }
    if (std::ferror(stdin) != 0) {
        return failure(std::string("Standard input could not be read: ") + std::strerror(errno));
    }
    return text;
}

// File > Export, with its text going to standard output instead of a file.
int export_to_stdout(Program& program) {
    const auto text = program.form.export_text_content();
    if (!text) {
        print_message(text.message());
        return refused;
    }
    return write_stdout(*text);
}

// The rate scroll bar moved to `rate`. The bar of a family whose rate is fixed cannot move.
bool set_rate(Program& program, int rate) {
    ui::Form1& f = program.form;
    if (!f.HScroll1.enabled()) {
        print_message("The rate of a " + f.nuvi_model.caption() + " voice file is fixed.");
        return false;
    }
    f.HScroll1.set_value(rate);
    return true;
}

// "1 character", "20 characters".
std::string counted(int n, const char* thing) {
    return std::to_string(n) + " " + thing + (n == 1 ? "" : "s");
}

// Typed into the screen-name box, which takes no more characters than its field holds.
bool type_screen_name(Program& program, const std::string& utf8) {
    ui::TextBox& box = program.form.screen_name;
    const ui::Encoded text = ui::from_utf8(utf8);
    if (!box.type(text.bytes, text.unencodable)) {
        print_message("The screen name \"" + bounded(text.bytes) +
                      "\" is longer than its field of " +
                      counted(box.max_length().value_or(0), "character") + ".");
        return false;
    }
    return true;
}

// A double click on phrase K, TEXT typed into the Modify window, then its OK.
bool modify_phrase(Program& program, const PhraseChange& change) {
    ui::Form1& f = program.form;
    if (change.k > f.List1.count()) {
        print_message("There is no phrase " + std::to_string(change.k) + ": the voice file has " +
                      counted(f.List1.count(), "phrase") + ".");
        return false;
    }
    const ui::Encoded text = ui::from_utf8(change.text);
    f.modify_phrase(change.k - 1, text.bytes, text.unencodable);
    return !program.host.refused();
}

} // namespace

std::optional<PhraseChange> parse_phrase(std::string_view arg) {
    const auto equals = arg.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view number = arg.substr(0, equals);
    int k = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), k);
    if (error != std::errc() || end != number.data() + number.size() || k < 1) {
        return std::nullopt;
    }
    return PhraseChange{k, std::string(arg.substr(equals + 1))};
}

int show_info(const std::string& voice, bool with_phrases, bool as_json) {
    Program program;
    if (!program.open(voice)) {
        return unusable;
    }
    const ui::Form1& f = program.form;
    if (as_json) {
        return write_stdout(info_json(f, with_phrases) + "\n");
    }
    const int width = f.screen_name.max_length().value_or(0);
    std::cout << "Family:       " << ui::to_utf8(f.nuvi_model.caption()) << '\n'
              << "Voice name:   " << ui::to_utf8(f.voice_name.caption()) << '\n'
              << "Screen name:  " << ui::to_utf8(f.screen_name.text()) << " (field of "
              << counted(width, "character") << ")\n"
              << "Rate:         " << f.HScroll1.value() << (f.HScroll1.enabled() ? "" : " (fixed)")
              << '\n'
              << "Volume:       " << f.HScroll2.value() << '\n'
              << "Phrases:      " << f.List1.count() << '\n'
              << "Bytes left:   " << f.char_left.caption() << '\n'
              << "Language:     " << f.language_guess() << '\n';
    if (with_phrases) {
        std::cout << '\n';
        for (const auto& entry : f.List1.items()) {
            std::cout << ui::to_utf8(entry) << '\n';
        }
    }
    return write_stdout({});
}

int export_text(const std::string& voice, const std::string& output) {
    Program program;
    if (same_file(voice, output)) {
        print_message("The text file " + ui::quoted_path(output) +
                      " is the voice file being read: nothing was written.");
        return unusable;
    }
    if (!program.open(voice)) {
        return unusable;
    }
    if (output == "-") {
        return export_to_stdout(program);
    }
    return program.export_into(output);
}

int import_text(const std::string& voice, const std::string& input, const std::string& output) {
    Program program;
    if (same_file(input, output)) {
        print_message("The voice file " + ui::quoted_path(output) +
                      " is the text file being read: nothing was written.");
        return unusable;
    }
    if (!program.open(voice)) {
        return unusable;
    }
    // Read apart from the import, so that a text file that cannot be read (status 2) is told
    // apart from a text the import refuses (status 1).
    const auto text = input == "-" ? read_stdin() : program.form.read_text_file(input);
    if (!text) {
        print_message(text.message());
        return unusable;
    }
    program.form.import_text_content(*text, input);
    if (program.host.refused()) {
        return refused;
    }
    return save(program, output);
}

int speak(const std::string& voice, int k, const std::string& output, const std::string& language) {
    const auto speech = speech::make_system_speech();
    Program program(*speech);
    if (!program.open(voice)) {
        return unusable;
    }
    const ui::Form1& f = program.form;
    if (k > f.List1.count()) {
        print_message("There is no phrase " + std::to_string(k) + ": the voice file has " +
                      std::to_string(f.List1.count()) + " phrases.");
        return unusable;
    }
    // The engine tells its languages as it tells the window.
    const auto languages = speech->languages();
    if (!languages) {
        print_message("Speech is not available: " + ui::from_utf8(languages.message()).bytes);
        return refused;
    }
    program.form.speech_report({*languages, ""});
    if (!language.empty() &&
        std::none_of(languages->list.begin(), languages->list.end(),
                     [&](const speech::SpeechLanguage& l) { return l.code == language; })) {
        print_message("There is no language \"" + bounded(ui::from_utf8(language).bytes) +
                      "\": quorvel-cli languages lists the codes.");
        return unusable;
    }
    const auto wav = program.form.phrase_wav(k - 1, language);
    if (!wav) {
        print_message(wav.message());
        return refused;
    }
    if (output == "-") {
        return write_stdout(*wav);
    }
    if (const auto written = program.form.write_sound_file(output, *wav); !written) {
        print_message(written.message());
        return refused;
    }
    return success;
}

int list_languages() {
    const auto speech = speech::make_system_speech();
    const auto languages = speech->languages();
    if (!languages) {
        print_message("Speech is not available: " + ui::from_utf8(languages.message()).bytes);
        return refused;
    }
    std::string lines;
    for (const auto& language : languages->list) {
        lines += language.code + '\t' + language.name + '\n';
    }
    return write_stdout(lines);
}

int set_values(const SetRequest& request) {
    Program program;
    if (!program.open(request.voice)) {
        return unusable;
    }
    if (request.rate && !set_rate(program, *request.rate)) {
        return refused;
    }
    if (request.volume) {
        program.form.HScroll2.set_value(*request.volume);
    }
    if (request.screen_name && !type_screen_name(program, *request.screen_name)) {
        return refused;
    }
    for (const auto& change : request.phrases) {
        if (!modify_phrase(program, change)) {
            return refused;
        }
    }
    return save(program, request.output);
}

} // namespace quorvel::cli

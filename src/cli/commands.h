#pragma once

// The commands of quorvel-cli. Each starts a fresh program, opens the voice file as File >
// Open does, drives the window's handlers and returns the exit status. Paths and texts are
// UTF-8, as the command line gives them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::cli {

enum ExitStatus : int {
    success = 0,
    refused = 1,  // the program refused a change or could not write: nothing was written
    unusable = 2, // a usage error, a file that cannot be read, or not a voice file
};

// --phrase K=TEXT: phrase K (from 1) is to read TEXT.
struct PhraseChange {
    int k = 0;
    std::string text;
};

// Empty unless `arg` is K=TEXT with K a whole number from 1 on.
std::optional<PhraseChange> parse_phrase(std::string_view arg);

struct SetRequest {
    std::string voice;
    std::string output;
    std::optional<int> rate;
    std::optional<int> volume;
    std::optional<std::string> screen_name;
    std::vector<PhraseChange> phrases;
};

// `as_json`: the same facts as one JSON object (info_json.h).
int show_info(const std::string& voice, bool with_phrases, bool as_json = false);
// A file name "-" is standard input for `input`, standard output for `output`. An output that
// is the file being read is a usage error.
int export_text(const std::string& voice, const std::string& output);
int import_text(const std::string& voice, const std::string& input, const std::string& output);
int set_values(const SetRequest& request);
// Phrase k (from 1) spoken into a WAV file, "-" for standard output; in `language` (an
// engine code), or the guessed language when it is empty.
int speak(const std::string& voice, int k, const std::string& output, const std::string& language);
// The engine's languages, one a line: code, a tab, name.
int list_languages();

} // namespace quorvel::cli

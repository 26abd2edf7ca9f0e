#include "layout/open_voice.h"

namespace quorvel {

OpenOutcome open_voice(const Bytes& image) {
    OpenOutcome outcome;
    if (match_at(image, 16, 21, "DSKIMG") != 1) {
        outcome.message = std::string(not_a_voice_file_message);
        return outcome;
    }
    std::string reason;
    auto settings = find_settings(image, reason);
    std::optional<PhraseTable> table;
    if (settings) {
        table = find_phrase_table(image, settings->model_flag, reason);
    }
    if (!table) {
        outcome.message = std::string(not_a_voice_file_message) + "\n" + reason;
        return outcome;
    }
    outcome.voice = OpenedVoice{std::move(*settings), std::move(*table)};
    return outcome;
}

std::string signed_number(std::int64_t n) {
    return (n >= 0 ? " " : "") + std::to_string(n);
}

std::string list_entry(std::int64_t k, std::string_view text) {
    std::string entry = signed_number(k);
    entry += '-';
    entry += text;
    return entry;
}

std::string_view entry_text(std::string_view entry) {
    const auto hyphen = entry.find('-');
    return hyphen == std::string_view::npos ? entry : entry.substr(hyphen + 1);
}

} // namespace quorvel

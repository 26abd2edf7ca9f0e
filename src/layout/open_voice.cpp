#include "layout/open_voice.h"

#include <string>

namespace quorvel {

Result<OpenVoice> open_voice(Bytes image) {
    const std::string refusal(not_a_voice_file_message);
    if (match_at(image, 16, 21, "DSKIMG") != 1) {
        return failure(refusal);
    }
    auto settings = find_settings(image);
    if (!settings) {
        return failure(refusal + "\n" + settings.message());
    }
    auto table = find_phrase_table(image, settings->model_flag);
    if (!table) {
        return failure(refusal + "\n" + table.message());
    }
    return OpenVoice{std::move(image), std::move(*settings), std::move(*table)};
}

} // namespace quorvel

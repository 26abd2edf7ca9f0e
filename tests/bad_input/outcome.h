#pragma once

// How a row of the bad-input catalogue names its outcome: the message the program shows,
// or what the window holds once the file opened.

#include "layout/open_voice.h"
#include "support/scripted_host.h"
#include "ui/forms.h"

#include <string>
#include <string_view>

namespace quorvel::hostile {

// The second line of each refusal, as opening words it.
namespace reason {
inline constexpr std::string_view header = "The file ends inside its header.";
inline constexpr std::string_view no_dllinfo =
    "The settings block number (\"DLLINFO\") could not be found.";
inline constexpr std::string_view block_outside = "The settings block lies outside the file.";
inline constexpr std::string_view no_rate = "The voice rate field could not be found.";
inline constexpr std::string_view no_screen = "The screen name field could not be found.";
inline constexpr std::string_view no_voice = "The voice name field could not be found.";
inline constexpr std::string_view no_volume = "The voice volume field could not be found.";
inline constexpr std::string_view volume_not_a_number =
    "The voice volume is not a number from 0 to 99.";
inline constexpr std::string_view no_calibration = "The calibration text could not be found.";
inline constexpr std::string_view no_calibration_pointer =
    "The pointer of the calibration text could not be found.";
inline constexpr std::string_view no_table = "The phrase table could not be found.";
inline constexpr std::string_view first_outside = "The first phrase lies outside the file.";
inline constexpr std::string_view no_text_area = "The phrase text area could not be found.";
inline constexpr std::string_view no_end_entry = "The phrase table has no end entry.";
inline constexpr std::string_view pointer_out_of_range =
    "A phrase pointer in the table is out of range.";
inline constexpr std::string_view phrase_outside = "A phrase lies outside the file or has no end.";
inline constexpr std::string_view table_too_large = "The phrase table is too large.";
} // namespace reason

inline std::string refused() {
    return std::string(not_a_voice_file_message);
}

inline std::string refused(std::string_view why) {
    return refused() + "\n" + std::string(why);
}

// "opens: 3 phrases, 2432 bytes left", with ", no rate field" when none was found.
inline std::string opens(int phrases, int bytes_left, bool rate_field = true) {
    return "opens: " + std::to_string(phrases) + " phrases, " + std::to_string(bytes_left) +
           " bytes left" + (rate_field ? "" : ", no rate field");
}

// Opens `image` as File > Open does once the file is read, and names the outcome: the one
// message shown, or what opened. A refused file must leave the window without a voice.
inline std::string open_outcome(const Bytes& image) {
    test::ScriptedHost host;
    ui::Form1 form(host);
    form.open_image(image);
    if (const auto& voice = form.voice()) {
        if (!host.messages.empty()) {
            return "opened with a message: " + host.messages.front();
        }
        return opens(form.List1.count(), voice->table.bytes_left(),
                     voice->settings.rate_pos.has_value());
    }
    if (host.messages.size() != 1) {
        return "refused with " + std::to_string(host.messages.size()) + " messages";
    }
    if (form.List1.count() != 0 || form.nuvi_model.caption() != "not a TTS file") {
        return "refused, but the window still shows a voice";
    }
    return host.messages.front();
}

} // namespace quorvel::hostile

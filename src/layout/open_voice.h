#pragma once

// Opening a voice file: from the bytes of a file to either a refusal with its message, or
// everything the main window shows plus every position the later edits need.
//
// Nothing in a voice file names its structures: each is found by searching the raw bytes
// for fixed tags and byte patterns within windows of positions. A file that carries the
// identity tag but whose structure cannot be found inside the image is refused as well,
// with a second line naming what was not found; no search, walk or read leaves the image.

#include "image/voice_image.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

inline constexpr std::string_view not_a_voice_file_message =
    "Selected file is not a valid Garmin VPM Text To Speech file";
inline constexpr std::string_view family_7x0_caption = "Nuvi 7x0/3x0 TTS";
inline constexpr std::string_view family_255w_caption = "Nuvi 255W/260 TTS";

// The voice settings of Part one of opening: found in the settings block.
struct VoiceSettings {
    std::uint8_t model_flag = 0;          // image byte 98; nonzero: the 7x0/3x0 family
    std::optional<std::int32_t> rate_pos; // first rate digit; empty only when a 255W/260
                                          // file has no "<voice_rate>" (its rate is never read)
    std::optional<int> rate;              // the rate read (7x0/3x0 family only)
    std::int32_t vol_pos = 0;             // first volume digit
    int volume = 0;
    std::int32_t screen_name_pos = 0;   // first byte of the blank-padded screen-name field
    std::int32_t screen_name_width = 0; // the field's width in bytes
    std::string screen_name;            // the field without its trailing blanks
    std::string voice_name;             // untrimmed
    std::string family_caption;         // "Nuvi 7x0/3x0 TTS" or "Nuvi 255W/260 TTS"
};

// The phrase pointer table and the text area.
struct PhraseTable {
    bool family_7x0 = true; // which end entry closes the table
    std::int32_t calib_pos = 0;
    std::int32_t cpp_li_pos = 0; // "C++ li" behind the calibration text, 0 when there is none
    std::int32_t ptr_delta = 0;  // image position = stored pointer value + ptr_delta
    std::int32_t ptr_table_pos = 0;
    std::int32_t first_phrase_pos = 0;
    std::int32_t buffer_capacity = 0;
    std::int32_t text_start = 0;
    std::int32_t text_end = 0;        // one past the last phrase byte in use
    std::vector<std::string> entries; // list entries " k-text", phrase k at index k - 1

    std::int32_t phrase_count() const { return static_cast<std::int32_t>(entries.size()); }
    std::int32_t bytes_left() const { return buffer_capacity - (text_end - text_start); }
};

struct OpenedVoice {
    VoiceSettings settings;
    PhraseTable table;
};

struct OpenOutcome {
    std::optional<OpenedVoice> voice; // set when the file is a voice file
    std::string message;              // otherwise the refusal to show
};

OpenOutcome open_voice(const Bytes& image);

// The two stages of opening, for a file that passed the identity check. Each returns empty
// and sets `reason` (one sentence naming what was not found) when the file is refused.
std::optional<VoiceSettings> find_settings(const Bytes& image, std::string& reason);
std::optional<PhraseTable> find_phrase_table(const Bytes& image, std::uint8_t model_flag,
                                             std::string& reason);
struct ByteRange {
    std::int64_t pos = 0;
    std::int64_t len = 0;
};

// Whether an opening of the image as it now stands finds the table's landmarks where they
// were found, given that only the `changed` ranges differ from an image for which it did.
// Costs in proportion to the changed bytes, not to the file.
bool phrase_table_unchanged(const Bytes& image, const PhraseTable& table,
                            const std::vector<ByteRange>& changed);

// A number as the program shows it: one leading blank for a non-negative number (the sign
// position), so 45 reads " 45" and -3 reads "-3".
std::string signed_number(std::int64_t n);

// The list entry of phrase k: " k-text".
std::string list_entry(std::int64_t k, std::string_view text);

// The text of a list entry behind its first hyphen (the whole entry when it has none).
std::string_view entry_text(std::string_view entry);

} // namespace quorvel

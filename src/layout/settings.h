#pragma once

// The voice settings: found in the settings block, whose number stands behind "DLLINFO",
// by searching windows around its start for the tags "<voice_rate>", "<screen_name>",
// "<tny_screen_name>" and "<voice_volume>".

#include "common/result.h"
#include "image/voice_image.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

inline constexpr std::string_view family_7x0_caption = "Nuvi 7x0/3x0 TTS";
inline constexpr std::string_view family_255w_caption = "Nuvi 255W/260 TTS";

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

// The settings of an image that carries the identity tag; fails with one sentence naming
// what was not found.
Result<VoiceSettings> find_settings(const Bytes& image);

} // namespace quorvel

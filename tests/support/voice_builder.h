#pragma once

// Builds synthetic voice images of both device families: everything opening reads, laid
// out where opening looks for it, and a neutral filler byte everywhere else. Tests,
// benchmarks, the fuzzer's seeds and the sample voice files all come from here.

#include "image/voice_image.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::test {

// How the 7x0/3x0 pointer table is found behind the calibration text.
enum class TableVariant {
    cpp_li,          // "C++ li", the table 24 bytes behind it
    cpp_li_nul_runs, // "C++ li", then runs of five NULs; the table just behind the last run
    voicefon,        // no "C++ li": the table found by the walk in front of "voicefon"
};

struct VoicePlan {
    bool family_7x0 = true;
    std::uint8_t model_flag = 2;        // 7x0/3x0 only (nonzero); the 255W/260 family always has 0
    std::int32_t settings_base = 16384; // must be a multiple of the block size
    std::int32_t dllinfo_pos = 600;

    std::string voice_name = "Tom";
    std::string screen_name = "Tom's voice";
    std::int32_t screen_name_width = 20; // the field, blank-padded; at least the name's length
    std::string rate_digits = "45";
    std::string volume_digits = "80";
    std::int32_t rate_tag_at = 16;   // "<voice_rate>", relative to settings_base
    std::int32_t screen_tag_at = 64; // "<screen_name>", then the voice name and the volume

    std::vector<std::string> phrases = {"Turn left", "Turn right", "Arrived"};
    std::string hidden_phrase = "Entry end"; // 255W/260: read behind the listed ones, not listed
    int phrases_ahead = 1; // phrases 1..n stand ahead of the text area, the rest inside it
    std::int32_t ptr_delta = -65536;
    std::int32_t end_entry = -1; // the table's end entry; -1: 1 (7x0/3x0) or 16777217 (255W/260)

    TableVariant table = TableVariant::cpp_li;
    int nul_runs = 2;     // cpp_li_nul_runs: how many runs of five NULs
    int nul_run_gap = 20; // bytes between two runs (0: one long run crossed five at a time)
    int walk_groups = 1;  // 7x0/3x0: 4-byte groups the calibration walk crosses (at least 1)

    std::int32_t total_size = 256 * 1024;
};

// The image and, for the tests, where each item was laid out.
struct BuiltVoice {
    Bytes image;
    std::int32_t rate_tag_pos = 0;
    std::int32_t rate_pos = 0;
    std::int32_t screen_tag_pos = 0;
    std::int32_t screen_name_pos = 0;
    std::int32_t voice_tag_pos = 0;
    std::int32_t volume_tag_pos = 0;
    std::int32_t vol_pos = 0;
    std::int32_t calib_pos = 0;
    std::int32_t cpp_li_pos = 0;   // 0 for the voicefon variant
    std::int32_t voicefon_pos = 0; // 0 for the other variants
    std::int32_t ptr_table_pos = 0;
    std::int32_t landmark_pos = 0;
    std::int32_t text_start = 0;
    std::int32_t text_end = 0;
    std::int32_t buffer_capacity = 0;
    std::vector<std::int32_t> phrase_pos; // every phrase read, the hidden one included
    std::vector<std::string> entries;     // the list entries opening must show
};

// Throws std::invalid_argument when the plan cannot be laid out as asked.
BuiltVoice build_voice(const VoicePlan& plan);

// A 255W/260 plan with the builder's other defaults.
VoicePlan plan_255w();

// `plan` with `change` made to it.
inline VoicePlan with(VoicePlan plan, const std::function<void(VoicePlan&)>& change) {
    change(plan);
    return plan;
}

// Damage done to an image by hand: `text` over the bytes from `pos` on, or a 32-bit
// little-endian value at `pos`.
inline void put_text(Bytes& image, std::int64_t pos, std::string_view text) {
    std::copy(text.begin(), text.end(), image.begin() + pos);
}

inline void put_long(Bytes& image, std::int64_t pos, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) {
        image[static_cast<std::size_t>(pos + k)] = static_cast<std::uint8_t>(v >> (8 * k));
    }
}

// Names a plan in test listings by its family.
inline void PrintTo(const VoicePlan& plan, std::ostream* os) {
    *os << (plan.family_7x0 ? "nuvi_7x0" : "nuvi_255w");
}

// Writes `bytes` to `path`; throws std::runtime_error on failure.
void write_file(const std::string& path, const Bytes& bytes);

} // namespace quorvel::test

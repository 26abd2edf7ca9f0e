#include "support/voice_builder.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string_view>

namespace quorvel::test {

namespace {

// Never part of a pattern opening searches for: a byte of 0x80 or above matches nothing.
constexpr std::uint8_t filler = 0xA5;
constexpr std::int32_t gap_after_table = 256; // keeps phrase NULs out of five-NUL reach
constexpr std::int32_t tail_margin = 32;      // the last searches stop 10 bytes before the end

class Writer {
  public:
    explicit Writer(Bytes& image) : image_(image) {}

    void text(std::int64_t pos, std::string_view s) {
        check(pos, static_cast<std::int64_t>(s.size()));
        std::copy(s.begin(), s.end(), image_.begin() + pos);
    }
    void byte(std::int64_t pos, std::uint8_t b) {
        check(pos, 1);
        image_[static_cast<std::size_t>(pos)] = b;
    }
    void long32(std::int64_t pos, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) {
            byte(pos + k, static_cast<std::uint8_t>(v >> (8 * k)));
        }
    }

  private:
    void check(std::int64_t pos, std::int64_t len) const {
        if (pos < 0 || pos + len > static_cast<std::int64_t>(image_.size())) {
            throw std::invalid_argument("voice builder: item outside the image");
        }
    }
    Bytes& image_;
};

void require(bool ok, const char* what) {
    if (!ok) {
        throw std::invalid_argument(std::string("voice builder: ") + what);
    }
}

std::string_view landmark(bool family_7x0) {
    return family_7x0 ? "Unable to locate" : "Entry is not fou";
}

void lay_settings(const VoicePlan& plan, Writer& w, BuiltVoice& out) {
    const std::uint8_t model = plan.family_7x0 ? plan.model_flag : 0;
    require(!plan.family_7x0 || model != 0, "the 7x0/3x0 family needs a nonzero model byte");
    require(model < 8, "model byte too large for a block number");
    const std::int32_t block = 512 << model;
    require(plan.settings_base % block == 0 && plan.settings_base / block <= 65535,
            "settings_base is not a block start");
    w.text(16, "DSKIMG");
    w.byte(98, model);
    w.text(plan.dllinfo_pos, "DLLINFO");
    const auto number = static_cast<std::uint16_t>(plan.settings_base / block);
    w.byte(plan.dllinfo_pos + 31, static_cast<std::uint8_t>(number & 0xFF));
    w.byte(plan.dllinfo_pos + 32, static_cast<std::uint8_t>(number >> 8));

    const std::int32_t base = plan.settings_base;
    out.rate_tag_pos = base + plan.rate_tag_at;
    out.rate_pos = out.rate_tag_pos + 12;
    w.text(out.rate_tag_pos, "<voice_rate>" + plan.rate_digits + "</voice_rate>");

    require(static_cast<std::int32_t>(plan.screen_name.size()) <= plan.screen_name_width,
            "screen name wider than its field");
    std::string field = plan.screen_name;
    field.resize(static_cast<std::size_t>(plan.screen_name_width), ' ');
    out.screen_tag_pos = base + plan.screen_tag_at;
    out.screen_name_pos = out.screen_tag_pos + 13;
    out.voice_tag_pos = out.screen_name_pos + plan.screen_name_width;
    out.volume_tag_pos = out.voice_tag_pos + 17 + static_cast<std::int32_t>(plan.voice_name.size());
    out.vol_pos = out.volume_tag_pos + 14;
    w.text(out.screen_tag_pos, "<screen_name>" + field + "<tny_screen_name>" + plan.voice_name +
                                   "<voice_volume>" + plan.volume_digits + "</voice_volume>");
}

// The calibration text and its stored pointer; returns the position behind them.
std::int32_t lay_calibration(const VoicePlan& plan, Writer& w, std::int32_t at, BuiltVoice& out) {
    if (plan.family_7x0) {
        // The stored pointer, then walk_groups - 1 groups whose byte 2 repeats the pointer's
        // byte 2, then the calibration text; the byte two in front of the pointer differs.
        require(plan.walk_groups >= 1, "the calibration walk crosses at least one group");
        const std::int32_t pointer_pos = at + 4;
        out.calib_pos = pointer_pos + 4 * plan.walk_groups;
        const std::int64_t stored = std::int64_t{out.calib_pos} - plan.ptr_delta;
        require(stored >= 0 && stored <= 0x7FFFFFFF, "calibration pointer out of range");
        const auto walked = static_cast<std::uint8_t>(stored >> 16);
        w.byte(pointer_pos - 2, static_cast<std::uint8_t>(walked ^ 0xFF));
        w.long32(pointer_pos, static_cast<std::uint32_t>(stored));
        for (int g = 1; g < plan.walk_groups; ++g) {
            w.byte(pointer_pos + 4 * g + 2, walked);
        }
        w.text(out.calib_pos, std::string_view("\x22\x00\x23\x00", 4));
        return out.calib_pos + 16;
    }
    out.calib_pos = at;
    w.text(out.calib_pos, "p \"v");
    return out.calib_pos + 16;
}

std::uint32_t pointer_value(const VoicePlan& plan, std::int32_t pos) {
    const std::int64_t v = std::int64_t{pos} - plan.ptr_delta;
    require(v >= 0 && v <= 0x7FFFFFFF, "phrase pointer out of range");
    if (plan.family_7x0) {
        require(v >= 50, "7x0/3x0 phrase pointer below 50");
        require(plan.table != TableVariant::voicefon || ((v >> 16) & 0xFF) != 0,
                "the voicefon walk needs a nonzero third byte in every entry");
    } else {
        require(v <= 16777216, "255W/260 phrase pointer above 16777216");
    }
    return static_cast<std::uint32_t>(v);
}

} // namespace

VoicePlan plan_255w() {
    VoicePlan plan;
    plan.family_7x0 = false;
    plan.model_flag = 0;
    plan.rate_digits = "50";
    return plan;
}

BuiltVoice build_voice(const VoicePlan& plan) {
    require(!plan.phrases.empty(), "at least one phrase");
    BuiltVoice out;
    out.image.assign(static_cast<std::size_t>(plan.total_size), filler);
    Writer w(out.image);
    lay_settings(plan, w, out);

    std::vector<std::string> read = plan.phrases;
    if (!plan.family_7x0) {
        read.push_back(plan.hidden_phrase);
    }
    const auto n = static_cast<std::int32_t>(read.size());
    const int ahead = std::clamp(plan.phrases_ahead, 1, static_cast<int>(n));
    std::int32_t ahead_bytes = 0;
    std::int32_t area_bytes = 0;
    for (std::int32_t k = 0; k < n; ++k) {
        (k < ahead ? ahead_bytes : area_bytes) += static_cast<std::int32_t>(read[k].size()) + 1;
    }
    out.buffer_capacity = plan.family_7x0 ? 2451 : 1501;
    const std::int32_t landmark_offset = plan.family_7x0 ? 32 : 16;

    // The tail, front to back: calibration, table (and its landmarks), gap, phrases ahead,
    // landmark, text area. Its length is known before any of it is placed.
    const std::int32_t table_bytes = 4 * (n + 1);
    std::int32_t table_reach = 0; // from the calibration end to the table start
    if (!plan.family_7x0) {
        table_reach = 16 + 20992 + 24;
    } else if (plan.table == TableVariant::cpp_li_nul_runs) {
        table_reach = 16 + 10 + plan.nul_runs * (5 + plan.nul_run_gap);
    } else {
        table_reach = 16 + 24 + 16; // room to align the voicefon table
    }
    const std::int32_t voicefon_room = plan.table == TableVariant::voicefon ? 192 + 16 : 0;
    const std::int32_t tail = 16 + 4 * plan.walk_groups + 16 + table_reach + table_bytes +
                              voicefon_room + gap_after_table + ahead_bytes + landmark_offset +
                              std::max(out.buffer_capacity, area_bytes);
    std::int32_t at = plan.total_size - tail_margin - tail;
    require(at > plan.settings_base + 1100, "total_size too small for the phrases");

    const std::int32_t after_calibration = lay_calibration(plan, w, at, out);
    if (plan.family_7x0 && plan.table == TableVariant::voicefon) {
        // The walk starts at byte 2 of entry n (read includes no hidden phrase here) and the
        // table starts 2 behind the zero byte 2 of the group in front of it; "voicefon" stands
        // on a 16-byte boundary 188 + 4n bytes behind the table start.
        std::int32_t t = (after_calibration + 8 + 3) / 4 * 4;
        while ((t + 188 + 4 * n) % 16 != 0) {
            t += 4;
        }
        out.ptr_table_pos = t;
        w.byte(t - 2, 0);
        out.voicefon_pos = t + 188 + 4 * n;
        w.text(out.voicefon_pos, "voicefon");
        at = out.voicefon_pos + 8;
    } else {
        out.cpp_li_pos = after_calibration;
        w.text(out.cpp_li_pos, "C++ li");
        if (!plan.family_7x0) {
            out.ptr_table_pos = out.cpp_li_pos + 20992 + 24;
            const std::int64_t stored = std::int64_t{out.calib_pos} - plan.ptr_delta;
            require(stored >= 0 && stored <= 0x7FFFFFFF, "calibration pointer out of range");
            w.long32(out.cpp_li_pos + 24, static_cast<std::uint32_t>(stored));
        } else if (plan.table == TableVariant::cpp_li_nul_runs && plan.nul_runs > 0) {
            std::int32_t run = out.cpp_li_pos + 10;
            for (int r = 0; r < plan.nul_runs; ++r) {
                w.text(run, std::string_view("\0\0\0\0\0", 5));
                out.ptr_table_pos = run + 5;
                run += 5 + plan.nul_run_gap;
            }
        } else {
            out.ptr_table_pos = out.cpp_li_pos + 24;
        }
        at = out.ptr_table_pos + table_bytes;
    }

    // Phrases: 1..ahead in front of the landmark, the rest from the text area's start on.
    at += gap_after_table;
    std::int32_t next_ahead = at;
    out.landmark_pos = at + ahead_bytes;
    out.text_start = out.landmark_pos + landmark_offset;
    std::int32_t next_area = out.text_start;
    w.text(out.landmark_pos, landmark(plan.family_7x0));
    std::int32_t highest_nul = -1;
    for (std::int32_t k = 0; k < n; ++k) {
        std::int32_t& pos = k < ahead ? next_ahead : next_area;
        out.phrase_pos.push_back(pos);
        w.text(pos, read[k]);
        w.byte(pos + static_cast<std::int32_t>(read[k].size()), 0);
        highest_nul = std::max(highest_nul, pos + static_cast<std::int32_t>(read[k].size()));
        w.long32(out.ptr_table_pos + 4 * k, pointer_value(plan, pos));
        pos += static_cast<std::int32_t>(read[k].size()) + 1;
    }
    const std::int32_t end_entry =
        plan.end_entry >= 0 ? plan.end_entry : (plan.family_7x0 ? 1 : 16777217);
    w.long32(out.ptr_table_pos + 4 * n, static_cast<std::uint32_t>(end_entry));
    out.text_end = std::max(out.text_start, highest_nul) + 1;

    for (std::size_t k = 0; k < plan.phrases.size(); ++k) {
        out.entries.push_back(" " + std::to_string(k + 1) + "-" + plan.phrases[k]);
    }

    const std::string_view calibration =
        plan.family_7x0 ? std::string_view("\x22\x00\x23\x00", 4) : std::string_view("p \"v");
    const std::int32_t len = plan.total_size;
    require(find_backward(out.image, len - 10, len - (plan.family_7x0 ? 100000 : 200000),
                          calibration) == out.calib_pos,
            "a later byte run forges the calibration text");
    return out;
}

void write_file(const std::string& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        throw std::runtime_error("cannot create " + path);
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace quorvel::test

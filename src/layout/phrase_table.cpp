#include "layout/open_voice.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace quorvel {

namespace {

// The constants that tell the two layouts apart.
struct Layout {
    std::string_view calibration;
    std::int32_t calibration_reach; // the backward search goes down to file_len - reach
    std::string_view landmark;      // the text area begins a fixed distance behind it
    std::int32_t landmark_offset;
    std::int32_t buffer_capacity;
};

constexpr Layout layout_7x0{std::string_view("\x22\x00\x23\x00", 4), 100000, "Unable to locate", 32,
                            2451};
constexpr Layout layout_255w{"p \"v", 200000, "Entry is not fou", 16, 1501};

constexpr std::string_view five_nuls("\0\0\0\0\0", 5);
constexpr std::int32_t cpp_li_to_table_255w = 20992 + 24;

// A hostile table can point every entry at one long phrase; this bounds the text listed.
constexpr std::int64_t max_listed_text = std::int64_t{64} << 20;

bool fits_int32(std::int64_t v) {
    return v >= std::numeric_limits<std::int32_t>::min() &&
           v <= std::numeric_limits<std::int32_t>::max();
}

// Step 1 of the 7x0/3x0 layout: the stored pointer stands in front of the calibration text,
// found by walking back 4 bytes at a time from calib_pos - 2 while the byte stays the same.
std::optional<std::int32_t> stored_pointer_7x0(const Bytes& image, std::int32_t calib_pos) {
    std::int64_t p = std::int64_t{calib_pos} - 2;
    const auto b = byte_at(image, p);
    if (!b) {
        return std::nullopt;
    }
    auto byte = b;
    while (byte == b) {
        p -= 4;
        byte = byte_at(image, p);
    }
    if (!byte) {
        return std::nullopt; // the walk left the image
    }
    return byte2long(image, p + 2);
}

// Step 2 without "C++ li": the table starts 2 bytes behind the first NUL met walking back
// 4 bytes at a time from near 192 bytes in front of "voicefon".
std::optional<std::int32_t> table_behind_voicefon(const Bytes& image, std::int32_t calib_pos) {
    const std::int32_t v =
        find_forward(image, calib_pos, static_cast<std::int32_t>(image.size()) - 10, "voicefon");
    if (v == 0) {
        return std::nullopt;
    }
    std::int64_t n = std::int64_t{v} - 192;
    n -= n % 16; // truncated toward zero: the remainder takes the sign of n
    n += 2;
    for (auto byte = byte_at(image, n); byte != std::uint8_t{0}; byte = byte_at(image, n)) {
        if (!byte) {
            return std::nullopt;
        }
        n -= 4;
    }
    return static_cast<std::int32_t>(n + 2);
}

// Step 2 with "C++ li" (7x0/3x0): just behind the last of a chain of five-NUL runs, each
// found within 161 bytes of the end of the one before; c + 24 when there is none.
std::int32_t table_behind_nul_runs(const Bytes& image, std::int32_t c) {
    std::int32_t z = find_forward(image, c, c + 160, five_nuls);
    if (z == 0) {
        return c + 24;
    }
    std::int32_t s = 0;
    do {
        s = z + 5;
        z = find_forward(image, s, s + 160, five_nuls);
    } while (z != 0);
    return s;
}

struct Calibration {
    std::int32_t calib_pos = 0;
    std::int32_t ptr_delta = 0;
    std::int32_t cpp_li = 0; // "C++ li" found forward from calib_pos, 0 when there is none
};

// The stored pointer of the calibration text, and from it ptr_delta.
bool find_delta(const Bytes& image, bool layout_nonzero, Calibration& cal) {
    std::optional<std::int32_t> stored;
    if (layout_nonzero) {
        stored = stored_pointer_7x0(image, cal.calib_pos);
    } else if (cal.cpp_li != 0) {
        stored = byte2long(image, std::int64_t{cal.cpp_li} + 24);
    }
    const std::int64_t delta = stored ? std::int64_t{cal.calib_pos} - *stored : 0;
    if (!stored || !fits_int32(delta)) {
        return false;
    }
    cal.ptr_delta = static_cast<std::int32_t>(delta);
    return true;
}

std::optional<Calibration> calibrate(const Bytes& image, bool layout_nonzero, const Layout& lay,
                                     std::string& reason) {
    const auto len = static_cast<std::int32_t>(image.size());
    Calibration cal;
    cal.calib_pos = find_backward(image, len - 10, len - lay.calibration_reach, lay.calibration);
    if (cal.calib_pos == 0) {
        reason = "The calibration text could not be found.";
        return std::nullopt;
    }
    cal.cpp_li = find_forward(image, cal.calib_pos, len - 10, "C++ li");
    if (!find_delta(image, layout_nonzero, cal)) {
        reason = "The pointer of the calibration text could not be found.";
        return std::nullopt;
    }
    return cal;
}

std::optional<std::int32_t> table_start(const Bytes& image, bool layout_nonzero,
                                        const Calibration& cal) {
    if (!layout_nonzero) {
        const std::int64_t pos = std::int64_t{cal.cpp_li} + cpp_li_to_table_255w;
        return fits_int32(pos) ? std::optional<std::int32_t>(static_cast<std::int32_t>(pos))
                               : std::nullopt;
    }
    if (cal.cpp_li >= 1) {
        return table_behind_nul_runs(image, cal.cpp_li);
    }
    return table_behind_voicefon(image, cal.calib_pos);
}

// The phrase at `pos`: the bytes up to, not including, the next NUL. Empty when the
// position lies outside the image or no NUL follows before its end.
std::optional<std::string_view> phrase_at(const Bytes& image, std::int64_t pos) {
    if (pos < 0 || pos >= static_cast<std::int64_t>(image.size())) {
        return std::nullopt;
    }
    const auto* begin = image.data() + pos;
    const auto* nul = static_cast<const std::uint8_t*>(
        std::memchr(begin, 0, image.size() - static_cast<std::size_t>(pos)));
    if (nul == nullptr) {
        return std::nullopt;
    }
    return std::string_view(reinterpret_cast<const char*>(begin),
                            static_cast<std::size_t>(nul - begin));
}

// Step 4: read the table up to its end entry, listing every phrase (all but the last one
// read in the 255W/260 layout) and raising text_end to one past the highest NUL.
bool read_phrases(const Bytes& image, bool layout_nonzero, PhraseTable& table,
                  std::string& reason) {
    std::int64_t text_end = table.text_start;
    std::int64_t listed = 0;
    for (std::int64_t e = table.ptr_table_pos;; e += 4) {
        const auto v = byte2long(image, e);
        if (!v) {
            reason = e + 4 > static_cast<std::int64_t>(image.size())
                         ? "The phrase table has no end entry."
                         : "A phrase pointer in the table is out of range.";
            return false;
        }
        if (layout_nonzero ? *v < 50 : *v > 16777216) {
            break;
        }
        const std::int64_t i = std::int64_t{*v} + table.ptr_delta;
        const auto text = phrase_at(image, i);
        if (!text) {
            reason = "A phrase lies outside the file or has no end.";
            return false;
        }
        listed += static_cast<std::int64_t>(text->size());
        if (listed > max_listed_text) {
            reason = "The phrase table is too large.";
            return false;
        }
        table.entries.push_back(list_entry(table.phrase_count() + 1, *text));
        text_end = std::max<std::int64_t>(text_end, i + static_cast<std::int64_t>(text->size()));
    }
    if (!layout_nonzero && !table.entries.empty()) {
        table.entries.pop_back();
    }
    table.text_end = static_cast<std::int32_t>(text_end + 1);
    return true;
}

} // namespace

namespace {

// The phrase table's landmarks (calibration, table start, text area), without the phrases.
std::optional<PhraseTable> locate_phrase_table(const Bytes& image, std::uint8_t model_flag,
                                               std::string& reason) {
    const bool layout_nonzero = model_flag != 0;
    const Layout& lay = layout_nonzero ? layout_7x0 : layout_255w;
    const auto cal = calibrate(image, layout_nonzero, lay, reason);
    if (!cal) {
        return std::nullopt;
    }
    PhraseTable table;
    table.family_7x0 = layout_nonzero;
    table.calib_pos = cal->calib_pos;
    table.ptr_delta = cal->ptr_delta;
    table.cpp_li_pos = cal->cpp_li;

    const auto start = table_start(image, layout_nonzero, *cal);
    const auto entry1 = start ? byte2long(image, *start) : std::nullopt;
    if (!entry1) {
        reason = "The phrase table could not be found.";
        return std::nullopt;
    }
    table.ptr_table_pos = *start;

    const std::int64_t first = std::int64_t{*entry1} + table.ptr_delta;
    if (first < 0 || first >= static_cast<std::int64_t>(image.size())) {
        reason = "The first phrase lies outside the file.";
        return std::nullopt;
    }
    table.first_phrase_pos = static_cast<std::int32_t>(first);
    const std::int32_t s = find_forward(image, table.first_phrase_pos,
                                        static_cast<std::int32_t>(image.size()) - 10, lay.landmark);
    if (s == 0) {
        reason = "The phrase text area could not be found.";
        return std::nullopt;
    }
    table.text_start = s + lay.landmark_offset;
    table.buffer_capacity = lay.buffer_capacity;
    return table;
}

// Whether `pattern` stands at a position in [lo, hi] that overlaps a changed byte range.
bool match_in_changes(const Bytes& image, std::string_view pattern, std::int64_t lo,
                      std::int64_t hi, const std::vector<ByteRange>& changed) {
    const auto len = static_cast<std::int64_t>(pattern.size());
    for (const ByteRange& r : changed) {
        const std::int64_t from = std::max(lo, r.pos - len + 1);
        const std::int64_t to = std::min(hi, r.pos + r.len - 1);
        for (std::int64_t i = std::max<std::int64_t>(from, 0); i <= to; ++i) {
            if (match_at(image, static_cast<std::int32_t>(i), 0, pattern) == 1) {
                return true;
            }
        }
    }
    return false;
}

// A search over [lo, hi] that found `found` (0: nothing) before the changes finds it again
// unless the changes broke that match or made one that the search meets first.
bool same_result(const Bytes& image, std::string_view pattern, std::int64_t lo, std::int64_t hi,
                 std::int32_t found, bool forward, const std::vector<ByteRange>& changed) {
    if (found != 0 && match_at(image, found, 0, pattern) != 1) {
        return false;
    }
    if (found == 0) {
        return !match_in_changes(image, pattern, lo, hi, changed);
    }
    return forward ? !match_in_changes(image, pattern, lo, found - 1, changed)
                   : !match_in_changes(image, pattern, found + 1, hi, changed);
}

} // namespace

bool phrase_table_unchanged(const Bytes& image, const PhraseTable& table,
                            const std::vector<ByteRange>& changed) {
    const bool layout_nonzero = table.family_7x0;
    const Layout& lay = layout_nonzero ? layout_7x0 : layout_255w;
    const auto len = static_cast<std::int64_t>(image.size());
    // The two searches that cross the whole end of the file: checked where the bytes changed.
    if (!same_result(image, lay.calibration, len - lay.calibration_reach - 1, len - 10,
                     table.calib_pos, false, changed) ||
        !same_result(image, "C++ li", table.calib_pos, len - 9, table.cpp_li_pos, true, changed)) {
        return false;
    }
    // The rest reads a few bytes near the table: done again.
    Calibration cal{table.calib_pos, 0, table.cpp_li_pos};
    const auto start = find_delta(image, layout_nonzero, cal)
                           ? table_start(image, layout_nonzero, cal)
                           : std::nullopt;
    const auto entry1 = start ? byte2long(image, *start) : std::nullopt;
    if (!entry1 || cal.ptr_delta != table.ptr_delta || *start != table.ptr_table_pos) {
        return false;
    }
    const std::int64_t first = std::int64_t{*entry1} + cal.ptr_delta;
    const std::int32_t landmark = table.text_start - lay.landmark_offset;
    if (first != table.first_phrase_pos) {
        // phrase 1 moved: its landmark search starts elsewhere
        return first >= 0 && first < len &&
               find_forward(image, static_cast<std::int32_t>(first),
                            static_cast<std::int32_t>(len) - 10, lay.landmark) == landmark;
    }
    return same_result(image, lay.landmark, first, len - 9, landmark, true, changed);
}

std::optional<PhraseTable> find_phrase_table(const Bytes& image, std::uint8_t model_flag,
                                             std::string& reason) {
    auto table = locate_phrase_table(image, model_flag, reason);
    if (!table || !read_phrases(image, model_flag != 0, *table, reason)) {
        return std::nullopt;
    }
    return table;
}

} // namespace quorvel

#include "layout/phrase_table.h"

#include "layout/list_entry.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace quorvel {

namespace {

// The constants that tell the two families' tables apart.
struct TableConstants {
    std::string_view calibration;
    std::int32_t calibration_reach; // the backward search goes down to file_len - reach
    std::string_view landmark;      // the text area begins a fixed distance behind it
    std::int32_t landmark_offset;
    std::int32_t buffer_capacity;
};

constexpr TableConstants constants_7x0{std::string_view("\x22\x00\x23\x00", 4), 100000,
                                       "Unable to locate", 32, 2451};
constexpr TableConstants constants_255w{"p \"v", 200000, "Entry is not fou", 16, 1501};

const TableConstants& constants_of(bool family_7x0) {
    return family_7x0 ? constants_7x0 : constants_255w;
}

constexpr std::string_view five_nuls("\0\0\0\0\0", 5);
constexpr std::int32_t cpp_li_to_table_255w = 20992 + 24;

// A hostile table can point every entry at one long phrase; this bounds the text listed.
constexpr std::int64_t max_listed_text = std::int64_t{64} << 20;

bool fits_int32(std::int64_t v) {
    return v >= std::numeric_limits<std::int32_t>::min() &&
           v <= std::numeric_limits<std::int32_t>::max();
}

// Step 1 of the 7x0/3x0 family: the stored pointer stands in front of the calibration text,
// found by walking back 4 bytes at a time from calib_pos - 2 while the byte stays the same.
std::optional<std::int64_t> stored_pointer_7x0(const Bytes& image, SearchReplay& replay,
                                               std::int32_t calib_pos) {
    const std::int32_t from = calib_pos - 2;
    return replay.walk(from, [&]() -> std::optional<std::pair<std::int64_t, std::int64_t>> {
        std::int64_t p = from;
        const auto b = byte_at(image, p);
        if (!b) {
            return std::nullopt;
        }
        auto byte = b;
        while (byte == b) {
            p -= 4;
            byte = byte_at(image, p);
        }
        const auto stored = byte ? byte2long(image, p + 2) : std::nullopt; // empty: left the image
        if (!stored) {
            return std::nullopt;
        }
        return std::pair<std::int64_t, std::int64_t>{*stored, p};
    });
}

// Step 2 without "C++ li": the table starts 2 bytes behind the first NUL met walking back
// 4 bytes at a time from near 192 bytes in front of "voicefon".
std::optional<std::int32_t> table_behind_voicefon(const Bytes& image, SearchReplay& replay,
                                                  std::int32_t calib_pos) {
    const std::int32_t v =
        replay.forward(calib_pos, static_cast<std::int32_t>(image.size()) - 10, "voicefon");
    if (v == 0) {
        return std::nullopt;
    }
    std::int64_t n = std::int64_t{v} - 192;
    n -= n % 16; // truncated toward zero: the remainder takes the sign of n
    n += 2;
    const auto start = static_cast<std::int32_t>(n);
    const auto walked =
        replay.walk(start, [&]() -> std::optional<std::pair<std::int64_t, std::int64_t>> {
            std::int64_t p = start;
            for (auto byte = byte_at(image, p); byte != std::uint8_t{0}; byte = byte_at(image, p)) {
                if (!byte) {
                    return std::nullopt;
                }
                p -= 4;
            }
            return std::pair<std::int64_t, std::int64_t>{p + 2, p};
        });
    if (!walked) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*walked);
}

// Step 2 with "C++ li" (7x0/3x0): just behind the last of a chain of five-NUL runs, each
// found within 161 bytes of the end of the one before; c + 24 when there is none.
std::int32_t table_behind_nul_runs(SearchReplay& replay, std::int32_t c) {
    std::int32_t z = replay.forward(c, c + 160, five_nuls);
    if (z == 0) {
        return c + 24;
    }
    std::int32_t s = 0;
    do {
        s = z + 5;
        z = replay.forward(s, s + 160, five_nuls);
    } while (z != 0);
    return s;
}

// Step 1: the calibration text, "C++ li" behind it, and from the calibration text's stored
// pointer, ptr_delta.
Result<TableLocation> calibrate(const Bytes& image, SearchReplay& replay, bool family_7x0) {
    const TableConstants& k = constants_of(family_7x0);
    const auto len = static_cast<std::int32_t>(image.size());
    TableLocation at;
    at.family_7x0 = family_7x0;
    at.calib_pos = replay.backward(len - 10, len - k.calibration_reach, k.calibration);
    if (at.calib_pos == 0) {
        return failure("The calibration text could not be found.");
    }
    at.cpp_li_pos = replay.forward(at.calib_pos, len - 10, "C++ li");
    std::optional<std::int64_t> stored;
    if (family_7x0) {
        stored = stored_pointer_7x0(image, replay, at.calib_pos);
    } else if (at.cpp_li_pos != 0) {
        stored = byte2long(image, std::int64_t{at.cpp_li_pos} + 24);
    }
    const std::int64_t delta = stored ? std::int64_t{at.calib_pos} - *stored : 0;
    if (!stored || !fits_int32(delta)) {
        return failure("The pointer of the calibration text could not be found.");
    }
    at.ptr_delta = static_cast<std::int32_t>(delta);
    return at;
}

std::optional<std::int32_t> table_start(const Bytes& image, SearchReplay& replay,
                                        const TableLocation& at) {
    if (!at.family_7x0) {
        const std::int64_t pos = std::int64_t{at.cpp_li_pos} + cpp_li_to_table_255w;
        return fits_int32(pos) ? std::optional<std::int32_t>(static_cast<std::int32_t>(pos))
                               : std::nullopt;
    }
    if (at.cpp_li_pos >= 1) {
        return table_behind_nul_runs(replay, at.cpp_li_pos);
    }
    return table_behind_voicefon(image, replay, at.calib_pos);
}

// Steps 1 to 3: the table's landmarks, without the phrases.
Result<TableLocation> locate(const Bytes& image, SearchReplay& replay, bool family_7x0) {
    auto at = calibrate(image, replay, family_7x0);
    if (!at) {
        return at;
    }
    const auto start = table_start(image, replay, *at);
    const auto entry1 = start ? byte2long(image, *start) : std::nullopt;
    if (!entry1) {
        return failure("The phrase table could not be found.");
    }
    at->ptr_table_pos = *start;

    const std::int64_t first = std::int64_t{*entry1} + at->ptr_delta;
    if (first < 0 || first >= static_cast<std::int64_t>(image.size())) {
        return failure("The first phrase lies outside the file.");
    }
    at->first_phrase_pos = static_cast<std::int32_t>(first);
    const TableConstants& k = constants_of(family_7x0);
    const std::int32_t s = replay.forward(at->first_phrase_pos,
                                          static_cast<std::int32_t>(image.size()) - 10, k.landmark);
    if (s == 0) {
        return failure("The phrase text area could not be found.");
    }
    at->text_start = s + k.landmark_offset;
    at->buffer_capacity = k.buffer_capacity;
    at->searches = replay.take_records();
    return at;
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
// read in the 255W/260 family) and raising text_end to one past the highest NUL.
Result<> read_phrases(const Bytes& image, PhraseTable& table) {
    std::int64_t text_end = table.text_start;
    std::int64_t listed = 0;
    for (std::int64_t e = table.ptr_table_pos;; e += 4) {
        const auto v = byte2long(image, e);
        if (!v) {
            return failure(e + 4 > static_cast<std::int64_t>(image.size())
                               ? "The phrase table has no end entry."
                               : "A phrase pointer in the table is out of range.");
        }
        if (is_end_entry(table, *v)) {
            break;
        }
        const std::int64_t i = std::int64_t{*v} + table.ptr_delta;
        const auto text = phrase_at(image, i);
        if (!text) {
            return failure("A phrase lies outside the file or has no end.");
        }
        listed += static_cast<std::int64_t>(text->size());
        if (listed > max_listed_text) {
            return failure("The phrase table is too large.");
        }
        table.entries.push_back(list_entry(table.phrase_count() + 1, *text));
        text_end = std::max<std::int64_t>(text_end, i + static_cast<std::int64_t>(text->size()));
    }
    if (!lists_last_phrase_read(table) && !table.entries.empty()) {
        table.entries.pop_back();
    }
    table.text_end = static_cast<std::int32_t>(text_end + 1);
    return {};
}

bool same_place(const TableLocation& a, const TableLocation& b) {
    return a.calib_pos == b.calib_pos && a.cpp_li_pos == b.cpp_li_pos &&
           a.ptr_delta == b.ptr_delta && a.ptr_table_pos == b.ptr_table_pos &&
           a.text_start == b.text_start;
}

} // namespace

Result<TableLocation> locate_table(const Bytes& image, std::uint8_t model_flag) {
    SearchReplay replay(image);
    return locate(image, replay, model_flag != 0);
}

Result<PhraseTable> find_phrase_table(const Bytes& image, std::uint8_t model_flag) {
    auto located = locate_table(image, model_flag);
    if (!located) {
        return failure(located.message());
    }
    PhraseTable table;
    static_cast<TableLocation&>(table) = std::move(*located);
    if (auto read = read_phrases(image, table); !read) {
        return failure(read.message());
    }
    return table;
}

std::optional<TableLocation> locate_again(const Bytes& image, const TableLocation& table,
                                          const std::vector<ByteRange>& changed) {
    SearchReplay replay(image, &table.searches, &changed);
    auto again = locate(image, replay, table.family_7x0);
    if (!again || !same_place(*again, table)) {
        return std::nullopt;
    }
    return std::move(*again);
}

} // namespace quorvel

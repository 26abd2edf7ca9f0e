#pragma once

// The phrase pointer table and the text area. Nothing names them: the calibration text is
// searched backwards from near the end of the file, the table start is found behind "C++ li"
// (or, without it, by a walk in front of "voicefon"), and the text area lies a fixed distance
// behind a landmark text searched from phrase 1 on. Each entry of the table plus ptr_delta is
// the position of a NUL-terminated phrase.

#include "common/result.h"
#include "image/voice_image.h"
#include "layout/search_replay.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Where the table and the text area lie, and the searches that found them.
struct TableLocation {
    bool family_7x0 = true; // which landmarks and which end entry the table has
    std::int32_t calib_pos = 0;
    std::int32_t cpp_li_pos = 0; // "C++ li" behind the calibration text, 0 when there is none
    std::int32_t ptr_delta = 0;  // image position = stored pointer value + ptr_delta
    std::int32_t ptr_table_pos = 0;
    std::int32_t first_phrase_pos = 0;
    std::int32_t buffer_capacity = 0;
    std::int32_t text_start = 0;
    std::vector<SearchRecord> searches; // in the order they were made
};

// How each family's table ends: at the first entry below 50 in the 7x0/3x0 family (a nonzero
// model_flag), at the first above 16777216 in the 255W/260 family (a zero model_flag). A pointer
// that a phrase edit writes must not be such an entry.
inline bool is_end_entry(const TableLocation& table, std::int64_t entry) {
    return table.family_7x0 ? entry < 50 : entry > 16777216;
}

// The 255W/260 family reads the entry in front of the end entry as a phrase too, but does not
// list it.
inline bool lists_last_phrase_read(const TableLocation& table) {
    return table.family_7x0;
}

struct PhraseTable : TableLocation {
    std::int32_t text_end = 0;        // one past the last phrase byte in use
    std::vector<std::string> entries; // list entries " k-text", phrase k at index k - 1

    std::int32_t phrase_count() const { return static_cast<std::int32_t>(entries.size()); }
    std::int32_t bytes_left() const { return buffer_capacity - (text_end - text_start); }
};

// The table of an image whose settings were found, with every phrase read; fails with one
// sentence naming what was not found. No search, walk or read leaves the image.
Result<PhraseTable> find_phrase_table(const Bytes& image, std::uint8_t model_flag);

// Where the table and the text area lie, without reading the phrases.
Result<TableLocation> locate_table(const Bytes& image, std::uint8_t model_flag);

// Locates the table again in `image`, which differs from the image `table` was located in
// only inside `changed`. A search whose result the changes cannot have altered is answered
// from its record, at a cost in proportion to the changed bytes; any other is made again, so
// a change that moves phrase 1 (where the text area's landmark is searched from) costs a
// search from its new place. The new location when it is the old one (same calibration text,
// "C++ li", delta, table start and text area), else empty.
std::optional<TableLocation> locate_again(const Bytes& image, const TableLocation& table,
                                          const std::vector<ByteRange>& changed);

} // namespace quorvel

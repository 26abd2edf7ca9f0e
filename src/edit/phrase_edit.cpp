#include "edit/phrase_edit.h"

#include <algorithm>

namespace quorvel {

namespace {

bool inside(const Bytes& image, std::int64_t pos, std::int64_t len) {
    return pos >= 0 && len >= 0 && pos + len <= static_cast<std::int64_t>(image.size());
}

void put_text(Bytes& image, std::int64_t pos, std::string_view text) {
    std::copy(text.begin(), text.end(), image.begin() + pos);
    image[static_cast<std::size_t>(pos) + text.size()] = 0;
}

// The bytes a write is about to change, to put back when the write must be undone.
struct Saved {
    std::int64_t pos;
    Bytes bytes;
};

Saved save(const Bytes& image, std::int64_t pos, std::int64_t len) {
    return {pos, Bytes(image.begin() + pos, image.begin() + pos + len)};
}

void restore(Bytes& image, const Saved& saved) {
    std::copy(saved.bytes.begin(), saved.bytes.end(), image.begin() + saved.pos);
}

constexpr const char* hides_structure =
    "This text cannot be stored: the voice file could not be opened again with it (it would hide "
    "where the phrase table lies). Nothing was changed.";

} // namespace

Result<> write_phrase(Bytes& image, PhraseTable& table, int t, std::string_view current,
                      std::string_view new_text) {
    const std::int64_t e = std::int64_t{table.ptr_table_pos} + 4 * std::int64_t{t};
    const auto stored = t >= 0 && t < table.phrase_count() ? byte2long(image, e) : std::nullopt;
    if (!stored) {
        return failure("This phrase has no entry in the phrase table. Nothing was changed.");
    }
    if (new_text.find('\0') != std::string_view::npos) {
        return failure("The new text holds a NUL byte, which would end the phrase there and hide "
                       "the rest in the voice file. Nothing was changed.");
    }
    const auto len = static_cast<std::int64_t>(new_text.size());

    if (new_text.size() <= current.size()) {
        const std::int64_t p = std::int64_t{*stored} + table.ptr_delta;
        if (!inside(image, p, len + 1)) {
            return failure("This phrase lies outside the voice file. Nothing was changed.");
        }
        const Saved before = save(image, p, len + 1);
        put_text(image, p, new_text);
        // A phrase text can forge a landmark of the phrase table (the calibration text, a
        // run of five NULs behind "C++ li", the text area's landmark): the next opening
        // would not find the table.
        auto located = locate_again(image, table, {{p, len + 1}});
        if (!located) {
            restore(image, before);
            return failure(hides_structure);
        }
        static_cast<TableLocation&>(table) = std::move(*located);
        return {};
    }
    if (table.bytes_left() - 1 < len) {
        return failure(std::string(not_enough_bytes_message));
    }
    const std::int64_t pointer = std::int64_t{table.text_end} - table.ptr_delta;
    // a pointer the table would read as its end entry would lose phrases at the next open
    if (pointer < 0 || pointer > 0x7FFFFFFF || is_end_entry(table, pointer)) {
        return failure("The new text cannot be given a valid phrase pointer in this voice "
                       "file. Nothing was changed.");
    }
    if (!inside(image, table.text_end, len + 1)) {
        return failure("The text area of this voice file reaches past its end; the new text "
                       "does not fit. Nothing was changed.");
    }
    const Saved entry = save(image, e, 4);
    const Saved area = save(image, table.text_end, len + 1);
    for (int k = 0; k < 4; ++k) {
        image[static_cast<std::size_t>(e + k)] = static_cast<std::uint8_t>(pointer >> (8 * k));
    }
    put_text(image, table.text_end, new_text);
    // Phrase 1 moved behind the text area would also hide the area's landmark.
    auto located = locate_again(image, table, {{e, 4}, {table.text_end, len + 1}});
    if (!located) {
        restore(image, area);
        restore(image, entry);
        return failure(hides_structure);
    }
    static_cast<TableLocation&>(table) = std::move(*located);
    table.text_end += static_cast<std::int32_t>(len + 1);
    return {};
}

} // namespace quorvel

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

} // namespace

PhraseEdit write_phrase(Bytes& image, PhraseTable& table, int t, std::string_view current,
                        std::string_view new_text) {
    PhraseEdit result;
    const std::int64_t e = std::int64_t{table.ptr_table_pos} + 4 * std::int64_t{t};
    const auto stored = t >= 0 && t < table.phrase_count() ? byte2long(image, e) : std::nullopt;
    if (!stored) {
        result.refusal = "This phrase has no entry in the phrase table. Nothing was changed.";
        return result;
    }
    const auto len = static_cast<std::int64_t>(new_text.size());

    if (new_text.size() <= current.size()) {
        const std::int64_t p = std::int64_t{*stored} + table.ptr_delta;
        if (!inside(image, p, len + 1)) {
            result.refusal = "This phrase lies outside the voice file. Nothing was changed.";
            return result;
        }
        put_text(image, p, new_text);
    } else {
        if (table.bytes_left() - 1 < len) {
            result.refusal = std::string(not_enough_bytes_message);
            return result;
        }
        const std::int64_t pointer = std::int64_t{table.text_end} - table.ptr_delta;
        // a pointer the table would read as its end entry would lose phrases at the next open
        const bool ends_table = table.family_7x0 ? pointer < 50 : pointer > 16777216;
        if (pointer < 0 || pointer > 0x7FFFFFFF || ends_table) {
            result.refusal = "The new text cannot be given a valid phrase pointer in this voice "
                             "file. Nothing was changed.";
            return result;
        }
        if (!inside(image, table.text_end, len + 1)) {
            result.refusal = "The text area of this voice file reaches past its end; the new text "
                             "does not fit. Nothing was changed.";
            return result;
        }
        for (int k = 0; k < 4; ++k) {
            image[static_cast<std::size_t>(e + k)] = static_cast<std::uint8_t>(pointer >> (8 * k));
        }
        put_text(image, table.text_end, new_text);
        table.text_end += static_cast<std::int32_t>(len + 1);
    }
    result.applied = true;
    return result;
}

bool write_two_digits(Bytes& image, std::int32_t pos, int v) {
    if (v < 0 || v > 99 || !inside(image, pos, 2)) {
        return false;
    }
    image[static_cast<std::size_t>(pos)] = static_cast<std::uint8_t>(v / 10 + 48);
    image[static_cast<std::size_t>(pos) + 1] = static_cast<std::uint8_t>(v % 10 + 48);
    return true;
}

} // namespace quorvel

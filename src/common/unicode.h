#pragma once

// Characters as every layer reads and writes them: one UTF-8 sequence appended or read, and
// the small letter of a capital of the alphabets a voice is written in.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

inline void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `i`, moving `i` behind it. A malformed one (a stray or
// missing continuation byte, an overlong form, a surrogate, beyond U+10FFFF) gives nothing
// and moves `i` past its first byte only.
inline std::optional<char32_t> decode_utf8(std::string_view s, std::size_t& i) {
    const auto b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80) {
        return b;
    }
    int extra = 0;
    char32_t least = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        extra = 1;
        least = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        extra = 2;
        least = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        extra = 3;
        least = 0x10000;
    } else {
        return std::nullopt;
    }
    char32_t c = b & (0x3F >> extra);
    std::size_t j = i;
    for (; extra > 0; --extra, ++j) {
        if (j >= s.size() || (static_cast<unsigned char>(s[j]) & 0xC0) != 0x80) {
            return std::nullopt;
        }
        c = (c << 6) | (static_cast<unsigned char>(s[j]) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return std::nullopt;
    }
    i = j;
    return c;
}

// The small letter of a capital of Latin-1, Latin Extended-A, Greek or Cyrillic; any other
// character is its own.
inline char32_t small_letter(char32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50; // Cyrillic capitals with a mark: Ё, Ђ, Ў, Џ...
    }
    if (c == 0x178) {
        return 0xFF; // Y with diaeresis
    }
    // Latin Extended-A pairs a capital with the small letter after it: on even code points
    // up to U+0137 and from U+014A to U+0177, on odd ones from U+0139 to U+0148 and from
    // U+0179 on (U+0130 and U+0138 to U+0149 include letters without such a pair).
    const bool pairs_on_even =
        (c >= 0x100 && c <= 0x137 && c != 0x130) || (c >= 0x14A && c <= 0x177);
    const bool pairs_on_odd = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((pairs_on_even && c % 2 == 0) || (pairs_on_odd && c % 2 == 1)) {
        return c + 1;
    }
    return c;
}

} // namespace quorvel

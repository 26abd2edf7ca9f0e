#include "ui/codepage.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace quorvel::ui {

namespace {

// 0x80..0x9F; the unassigned ones map to themselves.
constexpr std::array<char32_t, 32> high_block = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t code_point(unsigned char b) {
    return b >= 0x80 && b < 0xA0 ? high_block[b - 0x80] : static_cast<char32_t>(b);
}

void append_utf8(std::string& out, char32_t c) {
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

std::optional<unsigned char> single_byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<unsigned char>(c);
    }
    for (std::size_t i = 0; i < high_block.size(); ++i) {
        if (high_block[i] == c) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

// Decodes one UTF-8 sequence at `i`; U+FFFD for a malformed one.
char32_t decode(std::string_view s, std::size_t& i) {
    const auto b = static_cast<unsigned char>(s[i++]);
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (b < 0x80) {
        return b;
    }
    if (b < 0xC0 || b >= 0xF8) {
        return 0xFFFD;
    }
    char32_t c = b & (0x3F >> extra);
    for (; extra > 0; --extra) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            return 0xFFFD;
        }
        c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    return c;
}

} // namespace

std::string to_utf8(std::string_view single) {
    std::string out;
    out.reserve(single.size());
    for (char b : single) {
        append_utf8(out, code_point(static_cast<unsigned char>(b)));
    }
    return out;
}

Encoded from_utf8(std::string_view utf8) {
    Encoded out;
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t c = decode(utf8, i);
        if (const auto b = single_byte(c)) {
            out.bytes += static_cast<char>(*b);
        } else if (!out.unencodable) {
            out.unencodable.emplace();
            append_utf8(*out.unencodable, c);
        }
    }
    return out;
}

std::string code_point_name(std::string_view utf8) {
    std::size_t i = 0;
    const char32_t c = utf8.empty() ? 0xFFFD : decode(utf8, i);
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

std::string path_for_message(std::string_view utf8_path) {
    std::string out;
    for (std::size_t i = 0; i < utf8_path.size();) {
        const auto b = single_byte(decode(utf8_path, i));
        out += b ? static_cast<char>(*b) : '?';
    }
    return out;
}

} // namespace quorvel::ui

#include "ui/codepage.h"

#include "common/unicode.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

namespace quorvel::ui {

namespace {

// The characters of bytes 0x80 to 0xFF; below them the code page is ASCII.
using HighHalf = std::array<char32_t, 128>;

// Windows-1252: 0x80..0x9F from this table (the unassigned ones map to themselves), the rest
// Latin-1.
HighHalf windows_1252() {
    constexpr std::array<char32_t, 32> block = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    HighHalf half{};
    for (std::size_t i = 0; i < half.size(); ++i) {
        half[i] = i < block.size() ? block[i] : static_cast<char32_t>(0x80 + i);
    }
    return half;
}

#ifdef _WIN32
// Windows' ANSI code page when it is a single-byte one, as the system converts it (a byte it
// leaves unassigned maps to the control character of the same number); else Windows-1252.
HighHalf system_code_page() {
    const UINT code_page = ::GetACP();
    CPINFO info{};
    if (!::GetCPInfo(code_page, &info) || info.MaxCharSize != 1) {
        return windows_1252();
    }
    HighHalf half{};
    for (std::size_t i = 0; i < half.size(); ++i) {
        const char byte = static_cast<char>(0x80 + i);
        wchar_t c = 0;
        const bool assigned =
            ::MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, &byte, 1, &c, 1) == 1 &&
            c >= 0x80 && (c < 0xD800 || c > 0xDFFF);
        half[i] = assigned ? c : static_cast<char32_t>(0x80 + i);
    }
    // Every byte must come back from its character.
    for (std::size_t i = 0; i < half.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (half[i] == half[j]) {
                return windows_1252();
            }
        }
    }
    return half;
}
#endif

const HighHalf& high_half() {
#ifdef _WIN32
    static const HighHalf half = system_code_page();
#else
    static const HighHalf half = windows_1252();
#endif
    return half;
}

char32_t code_point(unsigned char b) {
    return b < 0x80 ? b : high_half()[b - 0x80];
}

// The small letter of a code page character as the system has it: Windows' own mapping there,
// elsewhere the program's, which agrees with Windows' for Windows-1252.
char32_t system_small_letter(char32_t c) {
#ifdef _WIN32
    wchar_t w = static_cast<wchar_t>(c); // the code page's characters lie in the BMP
    ::CharLowerBuffW(&w, 1);
    return w;
#else
    return small_letter(c);
#endif
}

std::optional<unsigned char> single_byte(char32_t c) {
    if (c < 0x80) {
        return static_cast<unsigned char>(c);
    }
    const HighHalf& half = high_half();
    if (c < 0x100 && half[c - 0x80] == c) {
        return static_cast<unsigned char>(c); // most of Windows-1252, at once
    }
    for (std::size_t i = 0; i < half.size(); ++i) {
        if (half[i] == c) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

constexpr char32_t replacement = 0xFFFD;

char32_t decode(std::string_view s, std::size_t& i) {
    return decode_utf8(s, i).value_or(replacement);
}

// Collects the code page bytes of a converted text. A character without a code is named
// once, the first; it is left out, or stands as `stand_in` when there is one.
struct Converter {
    std::optional<char> stand_in;
    Encoded out;

    void put(char32_t c) {
        if (const auto b = single_byte(c)) {
            out.bytes += static_cast<char>(*b);
            return;
        }
        if (!out.unencodable) {
            out.unencodable.emplace();
            append_utf8(*out.unencodable, c);
            out.unencodable_at = out.bytes.size();
        }
        if (stand_in) {
            out.bytes += *stand_in;
        }
    }
};

// True when `s` is well-formed UTF-8 holding at least one character beyond ASCII.
bool utf8_beyond_ascii(std::string_view s) {
    bool beyond = false;
    for (std::size_t i = 0; i < s.size();) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
        } else if (decode_utf8(s, i)) {
            beyond = true;
        } else {
            return false;
        }
    }
    return beyond;
}

// The UTF-16 code unit at `i` (two bytes; an odd last byte is U+FFFD), moving `i` behind it.
char32_t utf16_unit(std::string_view s, std::size_t& i, bool big_endian) {
    if (s.size() - i < 2) {
        i = s.size();
        return replacement;
    }
    const auto first = static_cast<unsigned char>(s[i]);
    const auto second = static_cast<unsigned char>(s[i + 1]);
    i += 2;
    return big_endian ? (char32_t{first} << 8) | second : (char32_t{second} << 8) | first;
}

void convert_utf16(std::string_view s, bool big_endian, Converter& to) {
    for (std::size_t i = 0; i < s.size();) {
        char32_t c = utf16_unit(s, i, big_endian);
        if (c >= 0xD800 && c <= 0xDBFF) {
            std::size_t j = i;
            const char32_t low = j < s.size() ? utf16_unit(s, j, big_endian) : 0;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i = j;
            } else {
                c = replacement;
            }
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            c = replacement;
        }
        to.put(c);
    }
}

void convert_utf8(std::string_view s, Converter& to) {
    to.out.bytes.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        // a run of ASCII is its own code
        std::size_t j = i;
        while (j < s.size() && static_cast<unsigned char>(s[j]) < 0x80) {
            ++j;
        }
        to.out.bytes.append(s.substr(i, j - i));
        if (j < s.size()) {
            to.put(decode(s, j));
        }
        i = j;
    }
}

} // namespace

const LowerCase& lower_case() {
    static const LowerCase table = [] {
        LowerCase lower{};
        for (std::size_t b = 0; b < lower.size(); ++b) {
            lower[b] = static_cast<unsigned char>(b >= 'A' && b <= 'Z' ? b + 0x20 : b);
        }
        for (std::size_t b = 0x80; b < lower.size(); ++b) {
            const char32_t c = code_point(static_cast<unsigned char>(b));
            const char32_t small = system_small_letter(c);
            if (const auto byte = single_byte(small); byte && small != c) {
                lower[b] = *byte;
            }
        }
        return lower;
    }();
    return table;
}

std::string to_lower(std::string_view single_byte) {
    return quorvel::to_lower(single_byte, lower_case());
}

std::string to_utf8(std::string_view single) {
    std::string out;
    out.reserve(single.size());
    for (char b : single) {
        append_utf8(out, code_point(static_cast<unsigned char>(b)));
    }
    return out;
}

Encoded from_utf8(std::string_view utf8) {
    Converter to;
    convert_utf8(utf8, to);
    return std::move(to.out);
}

std::u16string utf16_from_utf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t c = decode(utf8, i);
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string utf8_from_utf16(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        if (high && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = replacement;
        }
        append_utf8(out, c);
    }
    return out;
}

Encoded text_file_to_code_page(std::string_view file) {
    Converter to{'?', {}};
    if (file.starts_with("\xEF\xBB\xBF")) {
        convert_utf8(file.substr(3), to);
    } else if (file.starts_with("\xFF\xFE") || file.starts_with("\xFE\xFF")) {
        convert_utf16(file.substr(2), file.front() == '\xFE', to);
    } else if (utf8_beyond_ascii(file)) {
        convert_utf8(file, to);
    } else {
        to.out.bytes = file;
    }
    return std::move(to.out);
}

std::string code_point_name(std::string_view utf8) {
    std::size_t i = 0;
    const char32_t c = utf8.empty() ? replacement : decode(utf8, i);
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

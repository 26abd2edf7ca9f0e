#include "ui/codepage.h"

#include "support/test_names.h"

#include <gtest/gtest.h>

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace quorvel::ui {
namespace {

TEST(Codepage, every_byte_survives_a_round_trip) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    const auto back = from_utf8(to_utf8(all));
    EXPECT_EQ(back.bytes, all);
    EXPECT_FALSE(back.unencodable);
}

TEST(Codepage, windows_1252_letters_convert_both_ways) {
#ifdef _WIN32
    if (::GetACP() == 1251) {
        GTEST_SKIP() << "Windows' code page here is 1251 (scripts/windows-test.sh runs it so)";
    }
#endif
    EXPECT_EQ(to_utf8("\x80 \xE9 \x9F"), "\u20AC \u00E9 \u0178");
    EXPECT_EQ(from_utf8("\u20AC\u00E9\u0178").bytes, "\x80\xE9\x9F");
    // Capitals of Latin-1 and the four of 0x8A..0x9F fold; the multiplication sign does not.
    EXPECT_EQ(to_lower("AZ\xC4\xDE\xD7\x8A\x8C\x8E\x9F"), "az\xE4\xFE\xD7\x9A\x9C\x9E\xFF");
}

#ifndef _WIN32
// glibc's iconv is the independent source for bytes 0x80 to 0xFF. It refuses the five bytes
// Windows-1252 leaves unassigned: those are skipped, and checked only to map to the control
// characters of the same number.
TEST(Codepage, every_high_byte_converts_as_glibc_iconv_says) {
    const std::string unassigned = "\x81\x8D\x8F\x90\x9D";
    const iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1)) << "glibc's iconv has no WINDOWS-1252";
    for (int b = 0x80; b <= 0xFF; ++b) {
        std::string byte(1, static_cast<char>(b));
        char* in = byte.data();
        std::size_t in_left = 1;
        char utf8[8];
        char* out = utf8;
        std::size_t out_left = sizeof utf8;
        const bool converted =
            iconv(cd, &in, &in_left, &out, &out_left) != static_cast<std::size_t>(-1);
        if (unassigned.find(byte) != std::string::npos) {
            EXPECT_FALSE(converted) << "iconv now assigns 0x" << std::hex << b;
            EXPECT_EQ(to_utf8(byte), "\xC2" + byte) << "0x" << std::hex << b;
            continue;
        }
        ASSERT_TRUE(converted) << "iconv refuses 0x" << std::hex << b;
        EXPECT_EQ(to_utf8(byte), std::string(utf8, out)) << "0x" << std::hex << b;
        EXPECT_EQ(from_utf8(std::string(utf8, out)).bytes, byte) << "0x" << std::hex << b;
    }
    iconv_close(cd);
    std::puts("Skipped 0x81 0x8D 0x8F 0x90 0x9D: unassigned in Windows-1252, iconv refuses them");
}
#endif

#ifdef _WIN32
// scripts/windows-test.sh runs this with Wine's LANG selecting code page 1251.
TEST(Codepage, windows_1251_letters_convert_both_ways_where_it_is_the_system_code_page) {
    if (::GetACP() != 1251) {
        GTEST_SKIP() << "Windows' code page here is " << ::GetACP() << ", not 1251";
    }
    EXPECT_EQ(to_utf8("\xC0 \xFF \xA8 \x98"), "\u0410 \u044F \u0401 \u0098"); // 0x98 unassigned
    EXPECT_EQ(from_utf8("\u0410\u044F\u0401\u00E9").bytes, "\xC0\xFF\xA8");
    // Cyrillic capitals fold (Ч, Я, Ё); џ (0x9F) has no capital to fold from and stays.
    EXPECT_EQ(to_lower("\xD7\xDF\xA8\x9F"), "\xF7\xFF\xB8\x9F");
}
#endif

TEST(Codepage, character_without_a_code_is_named_and_left_out) {
    const auto e = from_utf8("a\u4E2Db\u0394");
    EXPECT_EQ(e.bytes, "ab");
    ASSERT_TRUE(e.unencodable);
    EXPECT_EQ(code_point_name(*e.unencodable), "U+4E2D");
    EXPECT_EQ(path_for_message("/tmp/\u4E2D\u00E9.vpm"), "/tmp/?\xE9.vpm");
}

TEST(Codepage, malformed_utf8_is_unencodable) {
    const auto e = from_utf8("a\xFF");
    EXPECT_EQ(e.bytes, "a");
    EXPECT_TRUE(e.unencodable);
}

struct Utf16Case {
    const char* name;
    std::string utf8;
    std::u16string utf16;
    std::string back; // the UTF-8 that the UTF-16 gives back
};

class Utf16 : public testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16, converts_both_ways) {
    const auto& c = GetParam();
    EXPECT_EQ(utf16_from_utf8(c.utf8), c.utf16);
    EXPECT_EQ(utf8_from_utf16(c.utf16), c.back);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf16,
    testing::Values(Utf16Case{"ascii", "Quorvel", u"Quorvel", "Quorvel"},
                    Utf16Case{"bmp", "Zo\u00EB \u2013 \u20AC \u0416",
                              u"Zo\u00EB \u2013 \u20AC \u0416", "Zo\u00EB \u2013 \u20AC \u0416"},
                    Utf16Case{"surrogate_pair", "a\U0001F600", u"a\U0001F600", "a\U0001F600"},
                    Utf16Case{"malformed_utf8", "a\xFF", u"a\uFFFD", "a\uFFFD"}),
    test::row_name);

TEST(Codepage, lone_utf16_surrogate_is_the_replacement_character) {
    EXPECT_EQ(utf8_from_utf16(std::u16string{u'a', char16_t{0xDC00}, u'b'}), "a\uFFFDb");
}

struct TextFileCase {
    const char* name;
    std::string file;
    std::string text;
    std::optional<std::string> unencodable; // its code point
    std::size_t at = 0;
};

using test::PrintTo;

class TextFile : public testing::TestWithParam<TextFileCase> {};

TEST_P(TextFile, is_read_in_its_encoding) {
    const auto& c = GetParam();
    const Encoded e = text_file_to_code_page(c.file);
    EXPECT_EQ(e.bytes, c.text);
    EXPECT_EQ(e.unencodable ? std::optional(code_point_name(*e.unencodable)) : std::nullopt,
              c.unencodable);
    EXPECT_EQ(e.unencodable_at, c.at);
}

using namespace std::string_literals;

const std::string utf16_le = "\xFF\xFE";
const std::string utf16_be = "\xFE\xFF";

INSTANTIATE_TEST_SUITE_P(
    Cases, TextFile,
    testing::Values(
        TextFileCase{"code_page", "Caf\xE9\r\n\x80", "Caf\xE9\r\n\x80", std::nullopt},
        TextFileCase{"ascii", "Cafe\r\n", "Cafe\r\n", std::nullopt},
        TextFileCase{"utf8_without_a_mark", "Caf\xC3\xA9 \xE2\x82\xAC", "Caf\xE9 \x80",
                     std::nullopt},
        TextFileCase{"utf8_with_a_mark",
                     "\xEF\xBB\xBF"
                     "Caf\xC3\xA9",
                     "Caf\xE9", std::nullopt},
        TextFileCase{"utf8_mark_before_ascii",
                     "\xEF\xBB\xBF"
                     "ab",
                     "ab", std::nullopt},
        TextFileCase{"utf16_le", utf16_le + "C\0\xE9\0\r\0\n\0\xAC\x20"s, "C\xE9\r\n\x80",
                     std::nullopt},
        TextFileCase{"utf16_be", utf16_be + "\0C\0\xE9\0\r\0\n\x20\xAC"s, "C\xE9\r\n\x80",
                     std::nullopt},
        TextFileCase{"utf16_nul_stays_a_nul", utf16_le + "a\0\0\0"s, "a\0"s, std::nullopt},
        TextFileCase{"utf8_outside_the_code_page",
                     "a\r\nb\xE4\xB8\xAD"
                     "c",
                     "a\r\nb?c", "U+4E2D", 4},
        TextFileCase{"utf16_surrogate_pair", utf16_le + "a\0\x3D\xD8\0\xDE"s, "a?", "U+1F600", 1},
        TextFileCase{"utf16_lone_surrogate", utf16_be + "\xDC\0\0a"s, "?a", "U+FFFD", 0},
        TextFileCase{"utf16_odd_last_byte", utf16_le + "a", "?", "U+FFFD", 0},
        TextFileCase{"malformed_utf8_after_a_mark",
                     "\xEF\xBB\xBF"
                     "a\xE9",
                     "a?", "U+FFFD", 1},
        TextFileCase{"code_page_that_is_not_utf8", "\xE9t\xC3\xA9", "\xE9t\xC3\xA9", std::nullopt},
        TextFileCase{"overlong_utf8_is_the_code_page", "\xC0\x80", "\xC0\x80", std::nullopt},
        TextFileCase{"utf8_surrogate_is_the_code_page", "\xED\xA0\x80", "\xED\xA0\x80",
                     std::nullopt},
        TextFileCase{"cut_utf8_sequence_is_the_code_page", "a\xE2\x82", "a\xE2\x82", std::nullopt}),
    test::row_name);

} // namespace
} // namespace quorvel::ui

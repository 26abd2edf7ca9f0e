#include "ui/codepage.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(to_utf8("\x80 \xE9 \x9F"), "\u20AC \u00E9 \u0178");
    EXPECT_EQ(from_utf8("\u20AC\u00E9\u0178").bytes, "\x80\xE9\x9F");
}

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

} // namespace
} // namespace quorvel::ui

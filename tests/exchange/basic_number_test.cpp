#include "exchange/basic_number.h"

#include "support/test_names.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvel {
namespace {

using test::PrintTo;

struct NumberCase {
    const char* name;
    const char* text;
    double value;
};

class BasicNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(BasicNumber, reads_the_number_at_the_start) {
    EXPECT_EQ(basic_number(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BasicNumber,
    testing::Values(NumberCase{"digits", "45", 45}, NumberCase{"leading_blanks", "   45", 45},
                    NumberCase{"blank_inside_digits", "4 5", 45},
                    NumberCase{"tab_and_line_feed_inside", "\t4\n5", 45},
                    NumberCase{"text_behind", "45 km/h", 45}, NumberCase{"no_number", "fast", 0},
                    NumberCase{"empty", "", 0}, NumberCase{"minus", "-3", -3},
                    NumberCase{"plus", "+7", 7}, NumberCase{"sign_alone", "-", 0},
                    NumberCase{"fraction", "2.5", 2.5}, NumberCase{"leading_point", ".5", 0.5},
                    NumberCase{"exponent", "1e3", 1000}, NumberCase{"exponent_d", "1D2", 100},
                    NumberCase{"signed_exponent", "25E-1", 2.5},
                    NumberCase{"exponent_without_digits", "7E", 7}, NumberCase{"hex", "&HFF", 255},
                    NumberCase{"hex_small_letters", "&hff", 255},
                    NumberCase{"hex_sixteen_bits_is_signed", "&HFFFF", -1},
                    NumberCase{"hex_beyond_sixteen_bits", "&H10000", 65536},
                    NumberCase{"hex_thirty_two_bits_is_signed", "&HFFFFFFFF", -1},
                    NumberCase{"octal", "&O17", 15}, NumberCase{"hex_without_digits", "&H", 0},
                    NumberCase{"huge", "1e9", 1e9}),
    test::row_name);

TEST(BasicNumber, hex_beyond_thirty_two_bits_is_huge) {
    EXPECT_TRUE(std::isinf(basic_number("&H123456789")));
}

TEST(RoundHalfEven, halves_go_to_the_even_neighbour) {
    EXPECT_EQ(round_half_even(2.5), 2);
    EXPECT_EQ(round_half_even(3.5), 4);
    EXPECT_EQ(round_half_even(2.6), 3);
    EXPECT_EQ(round_half_even(-0.5), 0);
}

} // namespace
} // namespace quorvel

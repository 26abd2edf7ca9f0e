#include "image/voice_image.h"

#include "support/temp_folder.h"
#include "support/test_names.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace quorvel {
namespace {

using test::PrintTo;

// A 40-byte image of dots with "AB" at each of the given positions.
Bytes image_with_ab_at(const std::vector<int>& positions) {
    Bytes image(40, '.');
    for (int p : positions) {
        image[static_cast<std::size_t>(p)] = 'A';
        image[static_cast<std::size_t>(p) + 1] = 'B';
    }
    return image;
}

struct SearchCase {
    const char* name;
    std::vector<int> occurrences;
    std::int32_t start;
    std::int32_t bound;
    std::int32_t expected;
};

class FindForward : public testing::TestWithParam<SearchCase> {};

TEST_P(FindForward, examines_start_up_to_one_beyond_the_bound) {
    const auto& c = GetParam();
    EXPECT_EQ(find_forward(image_with_ab_at(c.occurrences), c.start, c.bound, "AB"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, FindForward,
    testing::Values(SearchCase{"one_beyond_the_bound_is_found", {21}, 5, 20, 21},
                    SearchCase{"two_beyond_the_bound_is_not", {22}, 5, 20, 0},
                    SearchCase{"at_the_start", {5}, 5, 20, 5},
                    SearchCase{"before_the_start_is_not", {4}, 5, 20, 0},
                    SearchCase{"lower_of_two", {9, 15}, 5, 20, 9},
                    SearchCase{"start_beyond_bound_examines_start", {30}, 30, 10, 30},
                    SearchCase{"start_beyond_bound_examines_nothing_else", {31}, 30, 10, 0},
                    SearchCase{"position_zero_reads_as_not_found", {0}, 0, 20, 0},
                    SearchCase{"negative_start_searches_from_the_image_start", {3}, -50, 20, 3}),
    test::row_name);

TEST(FindForward, pattern_reaching_past_the_end_does_not_match_there) {
    Bytes image(10, '.');
    image[9] = 'A';
    EXPECT_EQ(find_forward(image, 5, 100, "AB"), 0);
}

class FindBackward : public testing::TestWithParam<SearchCase> {};

TEST_P(FindBackward, examines_start_down_to_one_below_the_bound) {
    const auto& c = GetParam();
    EXPECT_EQ(find_backward(image_with_ab_at(c.occurrences), c.start, c.bound, "AB"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, FindBackward,
    testing::Values(SearchCase{"one_below_the_bound_is_found", {9}, 30, 10, 9},
                    SearchCase{"two_below_the_bound_is_not", {8}, 30, 10, 0},
                    SearchCase{"at_the_start", {30}, 30, 10, 30},
                    SearchCase{"higher_of_two", {12, 20}, 30, 10, 20},
                    SearchCase{"start_below_bound_examines_start", {5}, 5, 20, 5},
                    SearchCase{"start_below_bound_examines_nothing_else", {4}, 5, 20, 0},
                    SearchCase{"start_past_the_end_searches_from_the_last_fit", {38}, 500, 10, 38},
                    SearchCase{"bound_below_zero_stops_at_the_image_start", {1}, 30, -100000, 1}),
    test::row_name);

TEST(FindBackward, pattern_reaching_past_the_end_does_not_match_there) {
    Bytes image(10, '.');
    image[9] = 'A';
    EXPECT_EQ(find_backward(image, 9, 0, "AB"), 0);
}

TEST(FindBackward, a_match_reads_forward_from_its_position) {
    Bytes image = image_with_ab_at({12});
    EXPECT_EQ(find_backward(image, 13, 0, "AB"), 12); // starts inside the match, finds its start
}

TEST(MatchAt, compares_every_character_and_ignores_the_end_position) {
    const Bytes image = {'x', 'D', 'S', 'K', 'I', 'M', 'G'};
    EXPECT_EQ(match_at(image, 1, 6, "DSKIMG"), 1);
    EXPECT_EQ(match_at(image, 1, 0, "DSKIMG"), 1);
    EXPECT_EQ(match_at(image, 1, 6, "DSKIMX"), 0);
    EXPECT_EQ(match_at(image, 1, 6, "dskimg"), 0);
    EXPECT_EQ(match_at(image, 2, 7, "DSKIMG"), 0); // would reach past the end
    EXPECT_EQ(match_at(image, -1, 4, "xD"), 0);
    EXPECT_EQ(match_at(image, 3, 3, ""), 1);
}

TEST(MatchAt, high_bytes_never_match_ascii) {
    const Bytes image = {0xC4, 0x00};
    EXPECT_EQ(match_at(image, 0, 1, std::string_view("\0", 1)), 0);
    EXPECT_EQ(match_at(image, 1, 1, std::string_view("\0", 1)), 1);
}

struct LongCase {
    const char* name;
    Bytes bytes;
    std::int64_t pos;
    std::optional<std::int32_t> expected;
};

class Byte2Long : public testing::TestWithParam<LongCase> {};

TEST_P(Byte2Long, reads_little_endian_inside_the_image_only) {
    const auto& c = GetParam();
    EXPECT_EQ(byte2long(c.bytes, c.pos), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Byte2Long,
    testing::Values(LongCase{"low_two_bytes", {0x01, 0x02, 0x00, 0x00}, 0, 513},
                    LongCase{"low_byte_only", {0xFF, 0x00, 0x00, 0x00}, 0, 255},
                    LongCase{"top_byte_7F", {0x00, 0x00, 0x00, 0x7F}, 0, 127 << 24},
                    LongCase{"top_byte_80_is_an_error", {0x00, 0x00, 0x00, 0x80}, 0, std::nullopt},
                    LongCase{"at_an_offset", {0xEE, 0x10, 0x00, 0x00, 0x00}, 1, 16},
                    LongCase{"three_bytes_left", {0x01, 0x02, 0x03, 0x04}, 1, std::nullopt},
                    LongCase{"before_the_image", {0x01, 0x02, 0x03, 0x04}, -1, std::nullopt}),
    test::row_name);

class LoadFile : public testing::Test {
  protected:
    std::filesystem::path dir = test::fresh_temp_folder();
    void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(LoadFile, holds_exactly_the_file_bytes_in_order) {
    Bytes bytes;
    for (int i = 0; i < 1000; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(i * 7));
    }
    const auto path = (dir / "v.vpm").string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    const auto loaded = load_file(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, bytes);
}

TEST_F(LoadFile, empty_file_gives_an_empty_image) {
    const auto path = (dir / "empty.vpm").string();
    std::ofstream(path, std::ios::binary).close();
    const auto loaded = load_file(path);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->empty());
}

TEST_F(LoadFile, missing_file_is_an_error_and_is_not_created) {
    const auto path = (dir / "missing.vpm").string();
    const auto loaded = load_file(path);
    EXPECT_FALSE(loaded);
    EXPECT_FALSE(loaded.message().empty());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(LoadFile, file_beyond_4_gib_is_too_large) {
    // Its size does not fit 32 bits: 5 GiB must not read as the 1 GiB left of it.
    const auto path = dir / "huge.vpm";
    std::ofstream(path, std::ios::binary).close();
    std::filesystem::resize_file(path, std::uintmax_t{5} << 30); // sparse: takes no room
    const auto loaded = load_file(path.string());
    EXPECT_EQ(loaded.message(), "The file is too large to be a voice file.");
}

TEST_F(LoadFile, folder_is_an_error) {
    const auto loaded = load_file(dir.string());
    EXPECT_FALSE(loaded);
    EXPECT_FALSE(loaded.message().empty());
}

} // namespace
} // namespace quorvel

#include "edit/phrase_edit.h"

#include "edit/rate_volume.h"
#include "layout/open_voice.h"
#include "support/test_names.h"
#include "support/voice_builder.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvel {
namespace {

using test::PrintTo;

struct Opened {
    Bytes image;
    PhraseTable table;
};

Opened open_built(const test::VoicePlan& plan) {
    auto opened = open_voice(test::build_voice(plan).image);
    EXPECT_TRUE(opened) << opened.message();
    return opened ? Opened{opened->image, opened->table} : Opened{};
}

std::string bytes_at(const Bytes& image, std::int64_t pos, std::size_t n) {
    return std::string(image.begin() + pos, image.begin() + pos + static_cast<std::int64_t>(n));
}

std::int64_t phrase_pos(const Opened& v, int t) {
    return *byte2long(v.image, v.table.ptr_table_pos + 4 * t) + v.table.ptr_delta;
}

test::VoicePlan eight_letter_phrase() {
    test::VoicePlan plan;
    plan.phrases = {"first", "Abcdefgh", "next"};
    plan.phrases_ahead = 0;
    return plan;
}

TEST(WritePhrase, shorter_text_ends_early_and_leaves_the_old_tail) {
    auto v = open_built(eight_letter_phrase());
    const auto p = phrase_pos(v, 1);
    const Bytes before = v.image;
    const auto end = v.table.text_end;
    ASSERT_TRUE(write_phrase(v.image, v.table, 1, "Abcdefgh", "xyz"));
    EXPECT_EQ(bytes_at(v.image, p, 10), std::string("xyz\0efgh\0n", 10));
    EXPECT_EQ(v.table.text_end, end);
    for (std::size_t i = 0; i < v.image.size(); ++i) {
        if (i < static_cast<std::size_t>(p) || i > static_cast<std::size_t>(p) + 3) {
            ASSERT_EQ(v.image[i], before[i]) << "byte " << i;
        }
    }
}

TEST(WritePhrase, same_length_and_empty_text_are_written_in_place) {
    auto v = open_built(eight_letter_phrase());
    const auto p = phrase_pos(v, 1);
    ASSERT_TRUE(write_phrase(v.image, v.table, 1, "Abcdefgh", "12345678"));
    EXPECT_EQ(bytes_at(v.image, p, 9), std::string("12345678\0", 9));
    ASSERT_TRUE(write_phrase(v.image, v.table, 1, "12345678", ""));
    EXPECT_EQ(v.image[static_cast<std::size_t>(p)], 0);
    EXPECT_EQ(bytes_at(v.image, p + 1, 8), std::string("2345678\0", 8));
}

TEST(WritePhrase, longer_text_goes_behind_the_text_in_use_and_redirects_the_pointer) {
    auto v = open_built(eight_letter_phrase());
    const auto old_pos = phrase_pos(v, 1);
    const auto end = v.table.text_end;
    const auto left = v.table.bytes_left();
    ASSERT_TRUE(write_phrase(v.image, v.table, 1, "Abcdefgh", "Abcdefghij"));
    EXPECT_EQ(phrase_pos(v, 1), end);
    EXPECT_EQ(bytes_at(v.image, end, 11), std::string("Abcdefghij\0", 11));
    EXPECT_EQ(bytes_at(v.image, old_pos, 9), std::string("Abcdefgh\0", 9));
    EXPECT_EQ(v.table.text_end, end + 11);
    EXPECT_EQ(v.table.bytes_left(), left - 11);
    EXPECT_EQ(phrase_pos(v, 2), old_pos + 9); // no other pointer changes
}

TEST(WritePhrase, exact_fit_is_taken_and_one_byte_more_is_refused) {
    auto v = open_built(eight_letter_phrase());
    const int left = v.table.bytes_left();
    const Bytes before = v.image;
    const auto end = v.table.text_end;

    const std::string too_long(static_cast<std::size_t>(left), 'x'); // needs left + 1 bytes
    const auto refused = write_phrase(v.image, v.table, 1, "Abcdefgh", too_long);
    EXPECT_EQ(refused.message(), not_enough_bytes_message);
    EXPECT_EQ(v.image, before);
    EXPECT_EQ(v.table.text_end, end);

    const std::string fits(static_cast<std::size_t>(left - 1), 'x');
    ASSERT_TRUE(write_phrase(v.image, v.table, 1, "Abcdefgh", fits));
    EXPECT_EQ(v.table.bytes_left(), 0);
}

TEST(WritePhrase, comparison_is_with_the_shown_text_not_the_room_once_held) {
    auto v = open_built(eight_letter_phrase());
    const auto end = v.table.text_end;
    ASSERT_TRUE(write_phrase(v.image, v.table, 1, "Abcdefgh", "ab"));
    ASSERT_TRUE(write_phrase(v.image, v.table, 1, "ab", "abcd"));
    EXPECT_EQ(phrase_pos(v, 1), end);
    EXPECT_EQ(v.table.text_end, end + 5);
}

struct Refusal {
    const char* name;
    std::function<void(Opened&)> setup;
    int target;
};

class WritePhraseRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(WritePhraseRefusal, changes_nothing) {
    auto v = open_built(eight_letter_phrase());
    GetParam().setup(v);
    const Bytes before = v.image;
    const auto end = v.table.text_end;
    const auto written =
        write_phrase(v.image, v.table, GetParam().target, "Abcdefgh", "A longer text");
    EXPECT_FALSE(written);
    EXPECT_FALSE(written.message().empty());
    EXPECT_EQ(v.image, before);
    EXPECT_EQ(v.table.text_end, end);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WritePhraseRefusal,
    testing::Values(Refusal{"negative_pointer",
                            [](Opened& v) { v.table.ptr_delta = v.table.text_end + 10; }, 1},
                    Refusal{"pointer_read_as_the_end_entry",
                            [](Opened& v) { v.table.ptr_delta = v.table.text_end - 49; }, 1},
                    Refusal{"text_area_past_the_end_of_the_image",
                            [](Opened& v) {
                                v.table.text_start =
                                    static_cast<std::int32_t>(v.image.size()) - 100;
                                v.table.text_end = static_cast<std::int32_t>(v.image.size()) - 3;
                            },
                            1},
                    Refusal{"target_before_the_table", [](Opened&) {}, -1},
                    Refusal{"target_beyond_the_table", [](Opened&) {}, 3}),
    test::row_name);

TEST(WritePhrase, text_that_would_forge_the_calibration_text_is_refused_and_undone) {
    test::VoicePlan plan;
    plan.phrases = {"first", "", ""};
    plan.phrases_ahead = 0;
    auto v = open_built(plan);
    ASSERT_TRUE(write_phrase(v.image, v.table, 1, "", "\""));
    const Bytes before = v.image;
    const auto end = v.table.text_end;
    // '"' NUL then '#' NUL behind it would be a calibration text nearer the end of the file
    const auto written = write_phrase(v.image, v.table, 2, "", "#");
    EXPECT_NE(written.message().find("could not be opened again"), std::string::npos);
    EXPECT_EQ(v.image, before);
    EXPECT_EQ(v.table.text_end, end);
    EXPECT_TRUE(open_voice(v.image));
}

TEST(WritePhrase, phrase_one_moved_behind_the_text_area_is_refused) {
    // the text area's landmark is searched from phrase 1 on: behind it, it would be lost
    auto v = open_built(eight_letter_phrase());
    const Bytes before = v.image;
    EXPECT_FALSE(write_phrase(v.image, v.table, 0, "first", "a longer first phrase"));
    EXPECT_EQ(v.image, before);
    EXPECT_TRUE(write_phrase(v.image, v.table, 0, "first", "fir"));
}

TEST(WriteTwoDigits, writes_ascii_digits_with_a_leading_zero_inside_the_image_only) {
    Bytes image(6, '#');
    EXPECT_TRUE(write_two_digits(image, 1, 7));
    EXPECT_TRUE(write_two_digits(image, 3, 99));
    EXPECT_EQ(std::string(image.begin(), image.end()), "#0799#");
    EXPECT_FALSE(write_two_digits(image, 5, 12));
    EXPECT_FALSE(write_two_digits(image, -1, 12));
    EXPECT_FALSE(write_two_digits(image, 0, 100));
    EXPECT_EQ(std::string(image.begin(), image.end()), "#0799#");
}

} // namespace
} // namespace quorvel

#include "layout/open_voice.h"

#include "support/test_names.h"
#include "support/voice_builder.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <tuple>

namespace quorvel {
namespace {

using test::PrintTo;

using test::BuiltVoice;
using test::TableVariant;
using test::VoicePlan;

const std::string refusal = std::string(not_a_voice_file_message);

using test::put_long;
using test::put_text;
using test::with;

OpenVoice open_ok(const Bytes& image) {
    auto opened = open_voice(image);
    if (!opened) {
        ADD_FAILURE() << "refused: " << opened.message();
        return {};
    }
    return std::move(*opened);
}

// What the builder lays out, opening must find.
struct RoundTrip {
    const char* name;
    VoicePlan plan;
};

class BuilderRoundTrip : public testing::TestWithParam<RoundTrip> {};

TEST_P(BuilderRoundTrip, opening_finds_everything_the_builder_laid_out) {
    const VoicePlan& plan = GetParam().plan;
    const BuiltVoice built = test::build_voice(plan);
    const OpenVoice voice = open_ok(built.image);
    const auto& s = voice.settings;
    const auto& t = voice.table;

    EXPECT_EQ(s.model_flag, plan.family_7x0 ? plan.model_flag : 0);
    EXPECT_EQ(s.family_caption, plan.family_7x0 ? family_7x0_caption : family_255w_caption);
    EXPECT_EQ(s.rate_pos, built.rate_pos);
    if (plan.family_7x0) {
        EXPECT_EQ(s.rate, std::stoi(plan.rate_digits));
    } else {
        EXPECT_FALSE(s.rate);
    }
    EXPECT_EQ(s.vol_pos, built.vol_pos);
    EXPECT_EQ(s.volume, std::stoi(plan.volume_digits));
    EXPECT_EQ(s.screen_name_pos, built.screen_name_pos);
    EXPECT_EQ(s.screen_name_width, plan.screen_name_width);
    EXPECT_EQ(s.screen_name, plan.screen_name);
    EXPECT_EQ(s.voice_name, plan.voice_name);

    EXPECT_EQ(t.calib_pos, built.calib_pos);
    EXPECT_EQ(t.ptr_delta, plan.ptr_delta);
    EXPECT_EQ(t.ptr_table_pos, built.ptr_table_pos);
    EXPECT_EQ(t.first_phrase_pos, built.phrase_pos.front());
    EXPECT_EQ(t.text_start, built.text_start);
    EXPECT_EQ(t.buffer_capacity, built.buffer_capacity);
    EXPECT_EQ(t.text_end, built.text_end);
    EXPECT_EQ(t.entries, built.entries);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, BuilderRoundTrip,
    testing::Values(
        RoundTrip{"nuvi_7x0_cpp_li", VoicePlan{}},
        RoundTrip{
            "nuvi_7x0_one_nul_run",
            with({}, [](auto& s) { s.table = TableVariant::cpp_li_nul_runs, s.nul_runs = 1; })},
        RoundTrip{
            "nuvi_7x0_chained_nul_runs",
            with({}, [](auto& s) { s.table = TableVariant::cpp_li_nul_runs, s.nul_runs = 4; })},
        RoundTrip{"nuvi_7x0_long_nul_stretch", with({},
                                                    [](auto& s) {
                                                        s.table = TableVariant::cpp_li_nul_runs,
                                                        s.nul_runs = 6, s.nul_run_gap = 0;
                                                    })},
        RoundTrip{"nuvi_7x0_voicefon", with({}, [](auto& s) { s.table = TableVariant::voicefon; })},
        RoundTrip{
            "nuvi_7x0_voicefon_one_phrase",
            with({}, [](auto& s) { s.table = TableVariant::voicefon, s.phrases = {"Only"}; })},
        RoundTrip{"nuvi_7x0_walk_crosses_five_groups",
                  with({}, [](auto& s) { s.walk_groups = 5; })},
        RoundTrip{"nuvi_7x0_model_byte_1", with({}, [](auto& s) { s.model_flag = 1; })},
        RoundTrip{"nuvi_7x0_positive_delta", with({}, [](auto& s) { s.ptr_delta = 1000; })},
        RoundTrip{"nuvi_7x0_all_phrases_in_the_text_area",
                  with({}, [](auto& s) { s.phrases_ahead = 0; })},
        RoundTrip{"nuvi_7x0_every_phrase_ahead_of_the_text_area",
                  with({}, [](auto& s) { s.phrases_ahead = 3; })},
        RoundTrip{"nuvi_7x0_empty_and_hyphenated_phrases",
                  with({},
                       [](auto& s) {
                           s.phrases = {"a", "", "left-right-", ""};
                       })},
        RoundTrip{"nuvi_7x0_empty_screen_name_field",
                  with({}, [](auto& s) { s.screen_name = "", s.screen_name_width = 0; })},
        RoundTrip{"nuvi_7x0_rate_and_volume_below_ten",
                  with({}, [](auto& s) { s.rate_digits = "07", s.volume_digits = "00"; })},
        RoundTrip{"nuvi_7x0_large_settings_block",
                  with({}, [](auto& s) { s.settings_base = 204800, s.total_size = 512 * 1024; })},
        RoundTrip{"nuvi_7x0_one_megabyte", with({}, [](auto& s) { s.total_size = 1 << 20; })},
        RoundTrip{"nuvi_255w", test::plan_255w()},
        RoundTrip{"nuvi_255w_one_phrase",
                  with(test::plan_255w(), [](auto& s) { s.phrases = {"x"}; })},
        RoundTrip{"nuvi_255w_negative_delta_far",
                  with(test::plan_255w(), [](auto& s) { s.ptr_delta = -3000000; })},
        RoundTrip{"nuvi_255w_voice_name_with_trailing_blanks",
                  with(test::plan_255w(), [](auto& s) { s.voice_name = "Jill  "; })}),
    test::row_name);

TEST(Identity, lower_case_tag_is_refused_with_the_bare_message) {
    auto built = test::build_voice({});
    put_text(built.image, 16, "dskimg");
    const auto opened = open_voice(built.image);
    EXPECT_FALSE(opened);
    EXPECT_EQ(opened.message(), refusal);
}

TEST(Identity, files_shorter_than_the_tag_are_refused) {
    for (std::size_t n : {0, 1, 16, 21}) {
        EXPECT_EQ(open_voice(Bytes(n, 'D')).message(), refusal) << n;
    }
}

TEST(Identity, tag_alone_passes_and_the_missing_structure_is_named) {
    Bytes image(22, '.');
    put_text(image, 16, "DSKIMG");
    EXPECT_EQ(open_voice(image).message(), refusal + "\nThe file ends inside its header.");
}

struct RefusalCase {
    const char* name;
    VoicePlan plan;
    std::function<void(const BuiltVoice&, Bytes&)> damage;
    const char* reason;
};

class Refusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, names_what_was_not_found) {
    const auto& c = GetParam();
    BuiltVoice built = test::build_voice(c.plan);
    c.damage(built, built.image);
    EXPECT_EQ(open_voice(built.image).message(), refusal + "\n" + c.reason);
}

const auto nothing = [](const BuiltVoice&, Bytes&) {};

INSTANTIATE_TEST_SUITE_P(
    Structure, Refusal,
    testing::Values(
        RefusalCase{"no_dllinfo",
                    {},
                    [](const BuiltVoice&, Bytes& i) { put_text(i, 600, "DLLINFX"); },
                    "The settings block number (\"DLLINFO\") could not be found."},
        RefusalCase{"settings_block_beyond_end",
                    {},
                    [](const BuiltVoice&, Bytes& i) { i[632] = 0x40; },
                    "The settings block lies outside the file."},
        RefusalCase{"settings_block_zero",
                    {},
                    [](const BuiltVoice&, Bytes& i) { i[631] = 0, i[632] = 0; },
                    "The settings block lies outside the file."},
        RefusalCase{"rate_tag_one_before_its_window", with({}, [](auto& s) { s.rate_tag_at = -1; }),
                    nothing, "The voice rate field could not be found."},
        RefusalCase{"rate_tag_one_past_its_window", with({}, [](auto& s) { s.rate_tag_at = 1026; }),
                    nothing, "The voice rate field could not be found."},
        RefusalCase{"rate_not_two_digits", with({}, [](auto& s) { s.rate_digits = "9:"; }), nothing,
                    "The voice rate is not a number from 0 to 99."},
        RefusalCase{"rate_below_zero", with({}, [](auto& s) { s.rate_digits = "/9"; }), nothing,
                    "The voice rate is not a number from 0 to 99."},
        RefusalCase{"volume_not_two_digits", with({}, [](auto& s) { s.volume_digits = "A0"; }),
                    nothing, "The voice volume is not a number from 0 to 99."},
        RefusalCase{"no_screen_name_tag",
                    {},
                    [](const BuiltVoice& b, Bytes& i) { i[b.screen_tag_pos + 1] = 'S'; },
                    "The screen name field could not be found."},
        RefusalCase{"no_voice_name_tag",
                    {},
                    [](const BuiltVoice& b, Bytes& i) { i[b.voice_tag_pos + 1] = 'T'; },
                    "The voice name field could not be found."},
        RefusalCase{"no_volume_tag",
                    {},
                    [](const BuiltVoice& b, Bytes& i) { i[b.volume_tag_pos + 1] = 'V'; },
                    "The voice volume field could not be found."},
        RefusalCase{"no_calibration_text",
                    {},
                    [](const BuiltVoice& b, Bytes& i) { i[b.calib_pos] = 'x'; },
                    "The calibration text could not be found."},
        RefusalCase{"no_calibration_text_255w", test::plan_255w(),
                    [](const BuiltVoice& b, Bytes& i) { i[b.calib_pos] = 'x'; },
                    "The calibration text could not be found."},
        RefusalCase{"no_cpp_li_255w", test::plan_255w(),
                    [](const BuiltVoice& b, Bytes& i) { i[b.cpp_li_pos] = 'x'; },
                    "The pointer of the calibration text could not be found."},
        RefusalCase{"no_cpp_li_and_no_voicefon",
                    {},
                    [](const BuiltVoice& b, Bytes& i) { i[b.cpp_li_pos] = 'x'; },
                    "The phrase table could not be found."},
        RefusalCase{
            "table_entry_with_top_byte_80",
            {},
            [](const BuiltVoice& b, Bytes& i) { put_long(i, b.ptr_table_pos + 4, 0x80000000u); },
            "A phrase pointer in the table is out of range."},
        RefusalCase{
            "first_entry_with_top_byte_80",
            {},
            [](const BuiltVoice& b, Bytes& i) { put_long(i, b.ptr_table_pos, 0x80000000u); },
            "The phrase table could not be found."},
        RefusalCase{"first_phrase_beyond_the_end",
                    {},
                    [](const BuiltVoice& b, Bytes& i) { put_long(i, b.ptr_table_pos, 0x7000000u); },
                    "The first phrase lies outside the file."},
        RefusalCase{
            "phrase_beyond_the_end",
            {},
            [](const BuiltVoice& b, Bytes& i) { put_long(i, b.ptr_table_pos + 4, 0x7000000u); },
            "A phrase lies outside the file or has no end."},
        RefusalCase{"phrase_without_nul_at_the_end",
                    {},
                    [](const BuiltVoice& b, Bytes& i) {
                        // phrase 2 points at the last byte of the image, which is not NUL
                        put_long(i, b.ptr_table_pos + 4,
                                 static_cast<std::uint32_t>(i.size() - 1 + 65536));
                    },
                    "A phrase lies outside the file or has no end."},
        RefusalCase{"table_without_end_entry",
                    {},
                    [](const BuiltVoice& b, Bytes& i) {
                        // phrase 1 and the landmark in front of the table; every entry from
                        // the table start to the end of the image points at phrase 1
                        const std::int32_t phrase = 20000;
                        put_text(i, phrase, std::string_view("Hello\0Unable to locate", 22));
                        for (std::size_t e = static_cast<std::size_t>(b.ptr_table_pos);
                             e + 4 <= i.size(); e += 4) {
                            put_long(i, static_cast<std::int64_t>(e), phrase + 65536);
                        }
                    },
                    "The phrase table has no end entry."},
        RefusalCase{"no_text_area_landmark",
                    {},
                    [](const BuiltVoice& b, Bytes& i) { i[b.landmark_pos] = 'u'; },
                    "The phrase text area could not be found."}),
    test::row_name);

TEST(Settings, rate_tag_at_the_last_position_of_its_window_is_found) {
    const auto built = test::build_voice(with({}, [](auto& s) { s.rate_tag_at = 1025; }));
    EXPECT_EQ(open_ok(built.image).settings.rate_pos, 16384 + 1025 + 12);
}

TEST(Settings, block_size_follows_the_model_byte) {
    // model byte 0 with block number 100: 51200; model byte 2 with block number 100: 204800
    for (auto [model, base] :
         {std::pair{std::uint8_t{0}, 51200}, std::pair{std::uint8_t{2}, 204800}}) {
        VoicePlan plan = model == 0 ? test::plan_255w() : VoicePlan{};
        plan.model_flag = model == 0 ? 2 : model;
        plan.settings_base = base;
        plan.total_size = 512 * 1024;
        const auto built = test::build_voice(plan);
        ASSERT_EQ(built.image[631], 100);
        EXPECT_EQ(open_ok(built.image).settings.rate_pos, base + 16 + 12);
    }
}

TEST(Settings, screen_name_padding_is_cut_and_sets_the_width) {
    const auto built = test::build_voice(
        with({}, [](auto& s) { s.screen_name = "Abcd", s.screen_name_width = 10; }));
    const auto s = open_ok(built.image).settings;
    EXPECT_EQ(s.screen_name, "Abcd");
    EXPECT_EQ(s.screen_name_width, 10);
    EXPECT_EQ(s.screen_name_pos, built.screen_tag_pos + 13);
}

TEST(Settings, first_of_several_volume_tags_is_used) {
    auto built = test::build_voice({});
    put_text(built.image, 16384 + 900, "<voice_volume>33<");
    EXPECT_EQ(open_ok(built.image).settings.volume, 80);
    put_text(built.image, 16384 - 400, "<voice_volume>33<");
    const auto s = open_ok(built.image).settings;
    EXPECT_EQ(s.volume, 33);
    EXPECT_EQ(s.vol_pos, 16384 - 400 + 14);
}

TEST(Settings, family_255w_never_reads_its_rate) {
    auto built = test::build_voice(with(test::plan_255w(), [](auto& s) { s.rate_digits = "zz"; }));
    auto s = open_ok(built.image).settings;
    EXPECT_FALSE(s.rate);
    EXPECT_EQ(s.rate_pos, built.rate_pos);

    built.image[built.rate_tag_pos + 1] = 'V'; // no "<voice_rate>": opens, but no rate field
    s = open_ok(built.image).settings;
    EXPECT_FALSE(s.rate_pos);
}

TEST(PhraseTable, end_entry_bounds_of_the_7x0_layout) {
    // 49 ends the table; 50 is a phrase pointer (here to a text laid at position 50)
    auto plan = with({}, [](auto& s) { s.ptr_delta = 0; });
    plan.end_entry = 49;
    EXPECT_EQ(open_ok(test::build_voice(plan).image).table.phrase_count(), 3);

    plan.end_entry = 50;
    auto built = test::build_voice(plan);
    put_text(built.image, 50, std::string_view("fifty\0", 6));
    put_long(built.image, built.ptr_table_pos + 16, 1);
    const auto table = open_ok(built.image).table;
    ASSERT_EQ(table.phrase_count(), 4);
    EXPECT_EQ(table.entries[3], " 4-fifty");
}

TEST(PhraseTable, end_entry_bounds_of_the_255w_layout) {
    // 16777217 ends the table; 16777216 is a phrase pointer, here to a text near the end
    const std::int32_t total = 256 * 1024;
    const std::int32_t far = total - 20;
    auto plan = with(test::plan_255w(), [&](auto& s) { s.ptr_delta = far - 16777216; });
    auto built = test::build_voice(plan);
    EXPECT_EQ(open_ok(built.image).table.phrase_count(), 3);

    // entry 5 (the end entry) becomes a phrase pointer, and a new end entry follows it
    put_long(built.image, built.ptr_table_pos + 16, 16777216);
    put_long(built.image, built.ptr_table_pos + 20, 16777217);
    put_text(built.image, far, std::string_view("far\0", 4));
    const auto table = open_ok(built.image).table;
    ASSERT_EQ(table.phrase_count(), 4);
    EXPECT_EQ(table.entries[3], " 4-Entry end"); // the old hidden phrase is now listed
    EXPECT_EQ(table.text_end, far + 4);          // "far" is read but not listed
}

TEST(PhraseTable, family_255w_counts_its_unlisted_phrase_in_text_end) {
    const auto built = test::build_voice(with(test::plan_255w(), [](auto& s) {
        s.phrases_ahead = 0;
        s.hidden_phrase = "the highest phrase";
    }));
    const auto table = open_ok(built.image).table;
    EXPECT_EQ(table.phrase_count(), 3);
    EXPECT_EQ(table.text_end, built.phrase_pos.back() + 18 + 1);
    EXPECT_EQ(table.bytes_left(), 1501 - (table.text_end - table.text_start));
}

TEST(PhraseTable, every_phrase_ahead_of_the_text_area_leaves_capacity_minus_one) {
    const auto built = test::build_voice(with({}, [](auto& s) { s.phrases_ahead = 3; }));
    const auto table = open_ok(built.image).table;
    EXPECT_EQ(table.text_end, table.text_start + 1);
    EXPECT_EQ(table.bytes_left(), 2450);
}

TEST(PhraseTable, list_numbers_carry_one_leading_blank_and_no_zeros) {
    VoicePlan plan;
    plan.phrases.clear();
    for (int k = 1; k <= 12; ++k) {
        plan.phrases.push_back("p" + std::to_string(k));
    }
    const auto entries = open_ok(test::build_voice(plan).image).table.entries;
    ASSERT_EQ(entries.size(), 12u);
    EXPECT_EQ(entries[8], " 9-p9");
    EXPECT_EQ(entries[9], " 10-p10");
}

TEST(PhraseTable, more_than_a_thousand_phrases_are_read_to_the_end_entry) {
    VoicePlan plan;
    plan.phrases.assign(1500, "x");
    plan.phrases_ahead = 1500;
    const auto table = open_ok(test::build_voice(plan).image).table;
    EXPECT_EQ(table.phrase_count(), 1500);
    EXPECT_EQ(table.entries.back(), " 1500-x");
}

TEST(PhraseTable, five_nul_run_counts_up_to_161_bytes_behind_cpp_li) {
    // A run starting at c + 161 is the last one the search reaches: the table moves behind it
    // (where no table stands, so the file is refused); one at c + 162 is out of reach.
    auto built = test::build_voice({});
    auto far = built.image;
    put_text(far, built.cpp_li_pos + 162, std::string_view("\0\0\0\0\0", 5));
    EXPECT_EQ(open_ok(far).table.ptr_table_pos, built.cpp_li_pos + 24);

    auto near = built.image;
    put_text(near, built.cpp_li_pos + 161, std::string_view("\0\0\0\0\0", 5));
    EXPECT_EQ(open_voice(near).message(), refusal + "\nThe phrase table could not be found.");
}

TEST(PhraseTable, voicefon_position_is_truncated_to_sixteen) {
    // "voicefon" at v and at v + 8 (same 16-byte block) give the same table start
    auto built = test::build_voice(with({}, [](auto& s) { s.table = TableVariant::voicefon; }));
    put_text(built.image, built.voicefon_pos, "xxxxxxxx");
    put_text(built.image, built.voicefon_pos + 8, "voicefon");
    EXPECT_EQ(open_ok(built.image).table.ptr_table_pos, built.ptr_table_pos);
}

// Random writes of landmark fragments near every landmark: locating the table again from
// the records of the last locating (as a phrase write does) finds what locating it from
// scratch finds, search by search.
TEST(PhraseTable, locating_again_from_the_records_agrees_with_locating_from_scratch) {
    const std::string_view fragments[] = {"Unable to locate",
                                          "Entry is not fou",
                                          "C++ li",
                                          "voicefon",
                                          std::string_view("\x22\x00\x23\x00", 4),
                                          "p \"v",
                                          std::string_view("\0\0\0\0\0", 5),
                                          std::string_view("\0", 1),
                                          "x"};
    const auto records = [](const TableLocation& at) {
        std::vector<std::tuple<int, std::string_view, std::int32_t, std::int32_t, std::int64_t>> r;
        for (const auto& s : at.searches) {
            r.emplace_back(static_cast<int>(s.kind), s.pattern, s.start, s.bound, s.result);
        }
        return r;
    };
    std::mt19937 random(2026);
    const auto pick = [&random](std::int64_t lo, std::int64_t hi) {
        return std::uniform_int_distribution<std::int64_t>(lo, hi)(random);
    };
    for (const VoicePlan& plan :
         {VoicePlan{}, with({}, [](auto& s) { s.table = TableVariant::cpp_li_nul_runs; }),
          with({}, [](auto& s) { s.table = TableVariant::voicefon; }),
          with({}, [](auto& s) { s.walk_groups = 3; }), test::plan_255w()}) {
        const BuiltVoice built = test::build_voice(plan);
        const std::uint8_t model = plan.family_7x0 ? plan.model_flag : 0;
        Bytes image = built.image;
        TableLocation table = *locate_table(image, model);
        const std::int64_t near[] = {built.calib_pos,
                                     built.cpp_li_pos,
                                     built.voicefon_pos,
                                     built.ptr_table_pos,
                                     built.landmark_pos,
                                     built.phrase_pos[0],
                                     built.calib_pos - 2 - 4 * plan.walk_groups};
        int kept = 0;
        for (int i = 0; i < 300; ++i) {
            const std::string_view fragment = fragments[pick(0, std::size(fragments) - 1)];
            const auto len = pick(1, static_cast<std::int64_t>(fragment.size()));
            const std::int64_t pos =
                std::clamp<std::int64_t>(near[pick(0, std::size(near) - 1)] + pick(-40, 200), 0,
                                         static_cast<std::int64_t>(image.size()) - len);
            const Bytes before = image;
            put_text(image, pos, fragment.substr(0, static_cast<std::size_t>(len)));

            const auto again = locate_again(image, table, {{pos, len}});
            const auto scratch = locate_table(image, model);
            const bool same = scratch && scratch->calib_pos == table.calib_pos &&
                              scratch->cpp_li_pos == table.cpp_li_pos &&
                              scratch->ptr_delta == table.ptr_delta &&
                              scratch->ptr_table_pos == table.ptr_table_pos &&
                              scratch->text_start == table.text_start;
            ASSERT_EQ(again.has_value(), same) << "write " << i << " at " << pos;
            if (again) {
                ASSERT_EQ(records(*again), records(*scratch)) << "write " << i << " at " << pos;
                ++kept;
                table = *again; // a write that is kept
            } else {
                image = before; // a write that is undone
            }
        }
        EXPECT_GT(kept, 0); // both verdicts are met
        EXPECT_LT(kept, 300);
    }
}

} // namespace
} // namespace quorvel

// Files cut short: at every landmark opening looks for, in each family and each way the
// phrase table is found, and every file of 0 to 200 bytes. Each row names its outcome; every
// file also goes through the export and import round trip without a broken rule.

#include "bad_input/hostile_input.h"
#include "bad_input/outcome.h"
#include "support/test_names.h"
#include "support/voice_builder.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvel::hostile {
namespace {

using test::BuiltVoice;
using test::PrintTo;
using test::TableVariant;
using test::VoicePlan;

enum class Variant { cpp_li, nul_runs, voicefon, nuvi_255w };

VoicePlan shape_of(Variant v) {
    VoicePlan shape = v == Variant::nuvi_255w ? test::plan_255w() : VoicePlan{};
    if (v == Variant::nul_runs) {
        shape.table = TableVariant::cpp_li_nul_runs;
        shape.nul_runs = 3;
    } else if (v == Variant::voicefon) {
        shape.table = TableVariant::voicefon;
    }
    return shape;
}

const BuiltVoice& built(Variant v) {
    static const BuiltVoice voices[] = {test::build_voice(shape_of(Variant::cpp_li)),
                                        test::build_voice(shape_of(Variant::nul_runs)),
                                        test::build_voice(shape_of(Variant::voicefon)),
                                        test::build_voice(shape_of(Variant::nuvi_255w))};
    return voices[static_cast<int>(v)];
}

struct CutRow {
    std::string name;
    Variant variant;
    std::function<std::int64_t(const BuiltVoice&)> length; // the file keeps this many bytes
    std::string outcome;
};

class CutAtLandmark : public testing::TestWithParam<CutRow> {};

TEST_P(CutAtLandmark, names_its_outcome_and_breaks_no_rule) {
    const auto& row = GetParam();
    const BuiltVoice& b = built(row.variant);
    const auto length = row.length(b);
    ASSERT_GE(length, 0);
    ASSERT_LT(length, static_cast<std::int64_t>(b.image.size()));
    const Bytes cut(b.image.begin(), b.image.begin() + length);
    EXPECT_EQ(open_outcome(cut), row.outcome);
    EXPECT_EQ(open_and_reimport(cut), "");
}

// The three phrases of the builder's voices: "Turn left" ahead of the text area, "Turn right"
// and "Arrived" inside it (and, in the 255W/260 family, the unlisted "Entry end" behind them).
constexpr int in_area_7x0 = 11 + 8;
constexpr int in_area_255w = 11 + 8 + 10;

// In front of the model byte every family's file begins alike: these rows stand once.
std::vector<CutRow> header_rows() {
    return {
        {"empty", Variant::cpp_li, [](auto&) { return 0; }, refused()},
        {"inside_the_identity_tag", Variant::cpp_li, [](auto&) { return 21; }, refused()},
        {"at_the_model_byte", Variant::cpp_li, [](auto&) { return 98; }, refused(reason::header)},
    };
}

// Rows both families share: the header from the model byte on and the settings block. The
// ways the 7x0/3x0 table is found differ only behind the settings block, so these rows stand
// once for that family.
std::vector<CutRow> settings_rows(const char* family, Variant v) {
    const std::string f = family;
    const bool nuvi_7x0 = v != Variant::nuvi_255w;
    // Without a rate, the 255W/260 family goes on to the screen name, which is cut as well.
    const std::string rate_cut = refused(nuvi_7x0 ? reason::no_rate : reason::no_screen);
    auto row = [&](const char* name, std::function<std::int64_t(const BuiltVoice&)> length,
                   std::string outcome) {
        return CutRow{f + "_" + name, v, std::move(length), std::move(outcome)};
    };
    return {
        row(
            "inside_dllinfo", [](auto&) { return 606; }, refused(reason::no_dllinfo)),
        row(
            "inside_the_block_number", [](auto&) { return 632; }, refused(reason::no_dllinfo)),
        row(
            "at_the_settings_block", [](auto& b) { return b.rate_tag_pos - 16; },
            refused(reason::block_outside)),
        row(
            "inside_the_rate_tag", [](auto& b) { return b.rate_tag_pos + 11; }, rate_cut),
        row(
            "between_the_rate_digits", [](auto& b) { return b.rate_pos + 1; }, rate_cut),
        row(
            "inside_the_screen_name_tag", [](auto& b) { return b.screen_tag_pos + 12; },
            refused(reason::no_screen)),
        row(
            "inside_the_screen_name_field", [](auto& b) { return b.screen_name_pos + 3; },
            refused(reason::no_screen)),
        row(
            "inside_the_voice_name_tag", [](auto& b) { return b.voice_tag_pos + 1; },
            refused(reason::no_voice)),
        row(
            "inside_the_voice_name", [](auto& b) { return b.voice_tag_pos + 18; },
            refused(reason::no_voice)),
        row(
            "inside_the_volume_tag", [](auto& b) { return b.volume_tag_pos + 13; },
            refused(reason::no_volume)),
        row(
            "between_the_volume_digits", [](auto& b) { return b.vol_pos + 1; },
            refused(reason::volume_not_a_number)),
        row(
            "behind_the_settings_block", [](auto& b) { return b.vol_pos + 18; },
            refused(reason::no_calibration)),
    };
}

std::vector<CutRow> all_cut_rows() {
    std::vector<CutRow> rows = header_rows();
    for (auto [family, v] :
         {std::pair{"nuvi_7x0", Variant::cpp_li}, std::pair{"nuvi_255w", Variant::nuvi_255w}}) {
        const auto shared = settings_rows(family, v);
        rows.insert(rows.end(), shared.begin(), shared.end());
    }
    const auto first_phrase = [](auto& b) { return b.phrase_pos.front() + 1; };
    const auto last_nul = [](auto& b) { return b.phrase_pos.back() + 8; };
    const std::vector<CutRow> tail = {
        // The calibration text is searched from 10 bytes before the end.
        {"nuvi_7x0_calibration_text_in_the_last_nine_bytes", Variant::cpp_li,
         [](auto& b) { return b.calib_pos + 9; }, refused(reason::no_calibration)},
        {"nuvi_7x0_behind_the_calibration_text", Variant::cpp_li,
         [](auto& b) { return b.calib_pos + 10; }, refused(reason::no_table)},
        {"nuvi_7x0_cpp_li_in_the_last_nine_bytes", Variant::cpp_li,
         [](auto& b) { return b.cpp_li_pos + 8; }, refused(reason::no_table)},
        {"nuvi_7x0_behind_cpp_li", Variant::cpp_li, [](auto& b) { return b.cpp_li_pos + 9; },
         refused(reason::no_table)},
        {"nuvi_7x0_inside_the_first_table_entry", Variant::cpp_li,
         [](auto& b) { return b.ptr_table_pos + 3; }, refused(reason::no_table)},
        {"nuvi_7x0_inside_the_end_entry", Variant::cpp_li,
         [](auto& b) { return b.ptr_table_pos + 15; }, refused(reason::first_outside)},
        {"nuvi_7x0_inside_the_first_phrase", Variant::cpp_li, first_phrase,
         refused(reason::no_text_area)},
        {"nuvi_7x0_inside_the_landmark", Variant::cpp_li,
         [](auto& b) { return b.landmark_pos + 15; }, refused(reason::no_text_area)},
        {"nuvi_7x0_behind_the_landmark", Variant::cpp_li,
         [](auto& b) { return b.landmark_pos + 16; }, refused(reason::phrase_outside)},
        {"nuvi_7x0_inside_the_last_phrase", Variant::cpp_li,
         [](auto& b) { return b.phrase_pos.back() + 3; }, refused(reason::phrase_outside)},
        {"nuvi_7x0_behind_the_last_nul", Variant::cpp_li, last_nul, opens(3, 2451 - in_area_7x0)},

        {"nuvi_7x0_nul_runs_inside_the_second_run", Variant::nul_runs,
         [](auto& b) { return b.cpp_li_pos + 10 + 25 + 3; }, refused(reason::no_table)},
        {"nuvi_7x0_nul_runs_at_the_table", Variant::nul_runs,
         [](auto& b) { return b.ptr_table_pos; }, refused(reason::no_table)},
        {"nuvi_7x0_nul_runs_inside_the_end_entry", Variant::nul_runs,
         [](auto& b) { return b.ptr_table_pos + 15; }, refused(reason::first_outside)},
        {"nuvi_7x0_nul_runs_inside_the_first_phrase", Variant::nul_runs, first_phrase,
         refused(reason::no_text_area)},
        {"nuvi_7x0_nul_runs_behind_the_last_nul", Variant::nul_runs, last_nul,
         opens(3, 2451 - in_area_7x0)},

        // "voicefon" is found only up to 9 bytes before the end.
        {"nuvi_7x0_voicefon_in_the_last_eight_bytes", Variant::voicefon,
         [](auto& b) { return b.voicefon_pos + 8; }, refused(reason::no_table)},
        {"nuvi_7x0_voicefon_behind_voicefon", Variant::voicefon,
         [](auto& b) { return b.voicefon_pos + 9; }, refused(reason::first_outside)},
        {"nuvi_7x0_voicefon_inside_the_first_phrase", Variant::voicefon, first_phrase,
         refused(reason::no_text_area)},
        {"nuvi_7x0_voicefon_behind_the_last_nul", Variant::voicefon, last_nul,
         opens(3, 2451 - in_area_7x0)},

        {"nuvi_255w_calibration_text_in_the_last_nine_bytes", Variant::nuvi_255w,
         [](auto& b) { return b.calib_pos + 9; }, refused(reason::no_calibration)},
        {"nuvi_255w_cpp_li_in_the_last_eight_bytes", Variant::nuvi_255w,
         [](auto& b) { return b.cpp_li_pos + 8; }, refused(reason::no_calibration_pointer)},
        {"nuvi_255w_inside_the_calibration_pointer", Variant::nuvi_255w,
         [](auto& b) { return b.cpp_li_pos + 27; }, refused(reason::no_calibration_pointer)},
        {"nuvi_255w_behind_the_calibration_pointer", Variant::nuvi_255w,
         [](auto& b) { return b.cpp_li_pos + 28; }, refused(reason::no_table)},
        {"nuvi_255w_inside_the_first_table_entry", Variant::nuvi_255w,
         [](auto& b) { return b.ptr_table_pos + 3; }, refused(reason::no_table)},
        {"nuvi_255w_inside_the_end_entry", Variant::nuvi_255w,
         [](auto& b) { return b.ptr_table_pos + 19; }, refused(reason::first_outside)},
        {"nuvi_255w_inside_the_first_phrase", Variant::nuvi_255w, first_phrase,
         refused(reason::no_text_area)},
        {"nuvi_255w_inside_the_landmark", Variant::nuvi_255w,
         [](auto& b) { return b.landmark_pos + 15; }, refused(reason::no_text_area)},
        {"nuvi_255w_behind_the_landmark", Variant::nuvi_255w,
         [](auto& b) { return b.landmark_pos + 16; }, refused(reason::phrase_outside)},
        {"nuvi_255w_behind_the_last_listed_nul", Variant::nuvi_255w,
         [](auto& b) { return b.phrase_pos[2] + 8; }, refused(reason::phrase_outside)},
        {"nuvi_255w_inside_the_unlisted_phrase", Variant::nuvi_255w,
         [](auto& b) { return b.phrase_pos.back() + 3; }, refused(reason::phrase_outside)},
        {"nuvi_255w_behind_the_unlisted_nul", Variant::nuvi_255w,
         [](auto& b) { return b.phrase_pos.back() + 10; }, opens(3, 1501 - in_area_255w)},
    };
    rows.insert(rows.end(), tail.begin(), tail.end());
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CutAtLandmark, testing::ValuesIn(all_cut_rows()),
                         test::row_name);

// --- files of 0 to 200 bytes ----------------------------------------------------------------

// A tiny file: the identity tag at 16, the model byte at 98, "DLLINFO" at 100 and its block
// number at 131 and 132, cut to `n` bytes.
Bytes tiny(std::size_t n, std::uint8_t model, std::uint16_t block) {
    Bytes full(200, 0xA5);
    const std::string_view tag = "DSKIMG";
    std::copy(tag.begin(), tag.end(), full.begin() + 16);
    full[98] = model;
    const std::string_view dllinfo = "DLLINFO";
    std::copy(dllinfo.begin(), dllinfo.end(), full.begin() + 100);
    full[131] = static_cast<std::uint8_t>(block & 0xFF);
    full[132] = static_cast<std::uint8_t>(block >> 8);
    return Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
}

Bytes prefix(const Bytes& image, std::size_t n) {
    return Bytes(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(n));
}

struct TinyRow {
    const char* name;
    std::function<Bytes(std::size_t)> make;
    // The outcome from each length on, up to the next row's length.
    std::vector<std::pair<std::size_t, std::string>> outcome_from;
};

class TinyFile : public testing::TestWithParam<TinyRow> {};

TEST_P(TinyFile, every_length_from_0_to_200_names_its_outcome) {
    const auto& row = GetParam();
    for (std::size_t n = 0; n <= 200; ++n) {
        std::string expected;
        for (const auto& [from, outcome] : row.outcome_from) {
            if (n >= from) {
                expected = outcome;
            }
        }
        const Bytes file = row.make(n);
        ASSERT_EQ(file.size(), n);
        EXPECT_EQ(open_outcome(file), expected) << n << " bytes";
        EXPECT_EQ(open_and_reimport(file), "") << n << " bytes";
    }
}

const std::vector<std::pair<std::size_t, std::string>> header_then_no_dllinfo = {
    {0, refused()}, {22, refused(reason::header)}, {99, refused(reason::no_dllinfo)}};

INSTANTIATE_TEST_SUITE_P(
    Catalogue, TinyFile,
    testing::Values(
        TinyRow{"start_of_a_7x0_voice",
                [](std::size_t n) { return prefix(built(Variant::cpp_li).image, n); },
                header_then_no_dllinfo},
        TinyRow{"start_of_a_255w_voice",
                [](std::size_t n) { return prefix(built(Variant::nuvi_255w).image, n); },
                header_then_no_dllinfo},
        TinyRow{"zeros", [](std::size_t n) { return Bytes(n, 0); }, {{0, refused()}}},
        TinyRow{"all_ff", [](std::size_t n) { return Bytes(n, 0xFF); }, {{0, refused()}}},
        TinyRow{"settings_block_number_one",
                [](std::size_t n) { return tiny(n, 2, 1); },
                {{0, refused()},
                 {22, refused(reason::header)},
                 {99, refused(reason::no_dllinfo)},
                 {133, refused(reason::block_outside)}}},
        TinyRow{"settings_block_number_zero",
                [](std::size_t n) { return tiny(n, 2, 0); },
                {{0, refused()},
                 {22, refused(reason::header)},
                 {99, refused(reason::no_dllinfo)},
                 {133, refused(reason::block_outside)}}},
        TinyRow{"model_byte_255",
                [](std::size_t n) { return tiny(n, 255, 0xFFFF); },
                {{0, refused()},
                 {22, refused(reason::header)},
                 {99, refused(reason::no_dllinfo)},
                 {133, refused(reason::block_outside)}}}),
    test::row_name);

} // namespace
} // namespace quorvel::hostile

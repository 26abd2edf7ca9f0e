// Builder voices damaged the way a hostile file would be: tags missing one by one in each
// family and table variant, pointers and walks leaving the image at either end, tables
// without their end entry, entries with the top byte 0x80, text area landmarks missing or
// misplaced, settings block numbers beyond the image. Each row names its outcome; every file
// also goes through the export and import round trip without a broken rule.

#include "bad_input/hostile_input.h"
#include "bad_input/outcome.h"
#include "support/test_names.h"
#include "support/voice_builder.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvel::hostile {
namespace {

using test::BuiltVoice;
using test::TableVariant;
using test::VoicePlan;

using test::PrintTo;
using test::put_long;
using test::put_text;
using test::with;

std::uint32_t pointer_to(const VoicePlan& shape, std::int64_t pos) {
    return static_cast<std::uint32_t>(pos - shape.ptr_delta);
}

const VoicePlan nul_runs = with({}, [](auto& s) {
    s.table = TableVariant::cpp_li_nul_runs;
    s.nul_runs = 3;
});
const VoicePlan voicefon = with({}, [](auto& s) { s.table = TableVariant::voicefon; });
const VoicePlan model_1 = with({}, [](auto& s) {
    s.model_flag = 1;
    s.walk_groups = 3;
});
const VoicePlan nuvi_255w = test::plan_255w();
const VoicePlan all_ahead = with({}, [](auto& s) { s.phrases_ahead = 3; });

struct DamageRow {
    std::string name;
    VoicePlan shape;
    std::function<void(const BuiltVoice&, Bytes&)> damage;
    std::string outcome;
};

class Damaged : public testing::TestWithParam<DamageRow> {};

TEST_P(Damaged, names_its_outcome_and_breaks_no_rule) {
    const auto& row = GetParam();
    BuiltVoice built = test::build_voice(row.shape);
    row.damage(built, built.image);
    EXPECT_EQ(open_outcome(built.image), row.outcome);
    EXPECT_EQ(open_and_reimport(built.image), "");
}

// --- tags missing one by one -------------------------------------------------------------
// (The default 7x0/3x0 voice and the 255W/260 calibration rows live with the opening tests.)

std::vector<DamageRow> missing_tag_rows() {
    struct Family {
        const char* name;
        VoicePlan shape;
    };
    const Family families[] = {{"nuvi_7x0_nul_runs", nul_runs},
                               {"nuvi_7x0_voicefon", voicefon},
                               {"nuvi_7x0_model_byte_1", model_1},
                               {"nuvi_255w", nuvi_255w}};
    std::vector<DamageRow> rows;
    for (const auto& f : families) {
        const std::string n = f.name;
        const bool nuvi_7x0 = f.shape.family_7x0;
        auto row = [&](const char* tag, std::function<std::int64_t(const BuiltVoice&)> at,
                       std::string outcome) {
            rows.push_back({n + "_without_" + tag, f.shape,
                            [at](const BuiltVoice& b, Bytes& i) { i[at(b)] ^= 0x20; },
                            std::move(outcome)});
        };
        row(
            "identity_tag", [](auto&) { return 16; }, refused());
        row(
            "dllinfo", [](auto&) { return 600; }, refused(reason::no_dllinfo));
        row(
            "rate_tag", [](auto& b) { return b.rate_tag_pos + 1; },
            nuvi_7x0 ? refused(reason::no_rate) : opens(3, 1501 - 29, false));
        row(
            "screen_name_tag", [](auto& b) { return b.screen_tag_pos + 1; },
            refused(reason::no_screen));
        row(
            "voice_name_tag", [](auto& b) { return b.voice_tag_pos + 1; },
            refused(reason::no_voice));
        row(
            "volume_tag", [](auto& b) { return b.volume_tag_pos + 1; }, refused(reason::no_volume));
        row(
            "text_area_landmark", [](auto& b) { return b.landmark_pos; },
            refused(reason::no_text_area));
        if (nuvi_7x0) {
            row(
                "calibration_text", [](auto& b) { return b.calib_pos; },
                refused(reason::no_calibration));
        }
        if (nuvi_7x0 && f.shape.table != TableVariant::voicefon) {
            // without "C++ li" the table is looked for in front of "voicefon"
            row(
                "cpp_li", [](auto& b) { return b.cpp_li_pos; }, refused(reason::no_table));
        }
        if (f.shape.table == TableVariant::voicefon) {
            row(
                "voicefon", [](auto& b) { return b.voicefon_pos; }, refused(reason::no_table));
        }
    }
    return rows;
}

INSTANTIATE_TEST_SUITE_P(MissingTag, Damaged, testing::ValuesIn(missing_tag_rows()),
                         test::row_name);

// --- pointers and walks leaving the image --------------------------------------------------

// Every byte the "voicefon" walk examines (4 apart, 2 behind a multiple of 16) is nonzero
// down to the start of the image. The odd length keeps the calibration text's NULs and the
// stored pointers, all four bytes nonzero with this delta, out of the walk's way.
const VoicePlan voicefon_walkable = with(voicefon, [](auto& s) {
    s.ptr_delta = -(1 << 24);
    s.total_size = 256 * 1024 + 1;
});

void nonzero_walk_to_the_start(const BuiltVoice& b, Bytes& i) {
    std::int64_t n = b.voicefon_pos - 192;
    n -= n % 16;
    for (std::int64_t p = n + 2; p >= 0; p -= 4) {
        if (i[static_cast<std::size_t>(p)] == 0) {
            i[static_cast<std::size_t>(p)] = 1;
        }
    }
}

// Phrase 1 at position 20000, far in front of the table, with a landmark right behind it;
// every entry from the table start to the end of the image points at it.
void table_to_the_end(const VoicePlan& shape, const BuiltVoice& b, Bytes& i, std::string_view text,
                      std::string_view landmark) {
    constexpr std::int64_t phrase = 20000;
    put_text(i, phrase, text);
    i[static_cast<std::size_t>(phrase) + text.size()] = 0;
    put_text(i, phrase + static_cast<std::int64_t>(text.size()) + 1, landmark);
    for (std::size_t e = static_cast<std::size_t>(b.ptr_table_pos); e + 4 <= i.size(); e += 4) {
        put_long(i, static_cast<std::int64_t>(e), pointer_to(shape, phrase));
    }
}

const VoicePlan nuvi_7x0{};
// 200,000 bytes, listed once for each of the entries up to the end of the image
const std::string long_phrase(200000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Pointers, Damaged,
    testing::Values(
        DamageRow{"voicefon_walk_leaves_the_start", voicefon_walkable, nonzero_walk_to_the_start,
                  refused(reason::no_table)},
        DamageRow{"nul_runs_reach_the_end", nul_runs,
                  [](const BuiltVoice& b, Bytes& i) {
                      std::fill(i.begin() + b.cpp_li_pos + 10, i.end(), 0);
                  },
                  refused(reason::no_table)},
        DamageRow{"calibration_pointer_puts_the_first_phrase_before_the_start", nuvi_7x0,
                  [](const BuiltVoice& b, Bytes& i) { put_long(i, b.calib_pos - 4, 0x7FFFFFFF); },
                  refused(reason::first_outside)},
        DamageRow{"first_entry_before_the_start", nuvi_7x0,
                  [](const BuiltVoice& b, Bytes& i) { put_long(i, b.ptr_table_pos, 50); },
                  refused(reason::first_outside)},
        DamageRow{"phrase_pointer_before_the_start", nuvi_7x0,
                  [](const BuiltVoice& b, Bytes& i) { put_long(i, b.ptr_table_pos + 4, 50); },
                  refused(reason::phrase_outside)},
        DamageRow{"phrase_pointer_one_past_the_end", nuvi_7x0,
                  [](const BuiltVoice& b, Bytes& i) {
                      put_long(i, b.ptr_table_pos + 4,
                               pointer_to(nuvi_7x0, static_cast<std::int64_t>(i.size())));
                  },
                  refused(reason::phrase_outside)},
        DamageRow{"phrase_pointer_one_past_the_end_255w", nuvi_255w,
                  [](const BuiltVoice& b, Bytes& i) {
                      put_long(i, b.ptr_table_pos + 4,
                               pointer_to(nuvi_255w, static_cast<std::int64_t>(i.size())));
                  },
                  refused(reason::phrase_outside)},
        DamageRow{"unlisted_phrase_one_past_the_end_255w", nuvi_255w,
                  [](const BuiltVoice& b, Bytes& i) {
                      put_long(i, b.ptr_table_pos + 12,
                               pointer_to(nuvi_255w, static_cast<std::int64_t>(i.size())));
                  },
                  refused(reason::phrase_outside)},
        DamageRow{"table_without_end_entry_255w", nuvi_255w,
                  [](const BuiltVoice& b, Bytes& i) {
                      table_to_the_end(nuvi_255w, b, i, "Hello", "Entry is not fou");
                  },
                  refused(reason::no_end_entry)},
        DamageRow{"table_without_end_entry_ending_inside_an_entry", nuvi_7x0,
                  [](const BuiltVoice& b, Bytes& i) {
                      table_to_the_end(nuvi_7x0, b, i, "Hello", "Unable to locate");
                      const std::size_t entries = (i.size() - b.ptr_table_pos) / 4;
                      i.resize(b.ptr_table_pos + 4 * (entries - 1) + 2);
                  },
                  refused(reason::no_end_entry)},
        DamageRow{"every_entry_points_at_one_long_phrase", nuvi_7x0,
                  [](const BuiltVoice& b, Bytes& i) {
                      table_to_the_end(nuvi_7x0, b, i, long_phrase, "Unable to locate");
                  },
                  refused(reason::table_too_large)}),
    test::row_name);

// --- entries with the top byte 0x80 -----------------------------------------------------------

INSTANTIATE_TEST_SUITE_P(
    TopByte80, Damaged,
    testing::Values(DamageRow{"calibration_pointer_7x0", nuvi_7x0,
                              [](const BuiltVoice& b, Bytes& i) { i[b.calib_pos - 1] = 0x80; },
                              refused(reason::no_calibration_pointer)},
                    DamageRow{"calibration_pointer_255w", nuvi_255w,
                              [](const BuiltVoice& b, Bytes& i) { i[b.cpp_li_pos + 27] = 0x80; },
                              refused(reason::no_calibration_pointer)},
                    DamageRow{"first_entry_voicefon", voicefon,
                              [](const BuiltVoice& b, Bytes& i) { i[b.ptr_table_pos + 3] = 0x80; },
                              refused(reason::no_table)},
                    DamageRow{"end_entry_7x0", nuvi_7x0,
                              [](const BuiltVoice& b, Bytes& i) { i[b.ptr_table_pos + 15] = 0x80; },
                              refused(reason::pointer_out_of_range)},
                    DamageRow{"end_entry_255w", nuvi_255w,
                              [](const BuiltVoice& b, Bytes& i) { i[b.ptr_table_pos + 19] = 0x81; },
                              refused(reason::pointer_out_of_range)},
                    DamageRow{"second_entry_255w", nuvi_255w,
                              [](const BuiltVoice& b, Bytes& i) { i[b.ptr_table_pos + 7] = 0xFF; },
                              refused(reason::pointer_out_of_range)},
                    DamageRow{"unlisted_entry_255w", nuvi_255w,
                              [](const BuiltVoice& b, Bytes& i) { i[b.ptr_table_pos + 15] = 0x80; },
                              refused(reason::pointer_out_of_range)}),
    test::row_name);

// --- the text area landmark ----------------------------------------------------------------------

INSTANTIATE_TEST_SUITE_P(
    Landmark, Damaged,
    testing::Values(DamageRow{"only_in_front_of_the_first_phrase", all_ahead,
                              [](const BuiltVoice& b, Bytes& i) {
                                  i[b.landmark_pos] = 'u';
                                  put_text(i, b.calib_pos - 200, "Unable to locate");
                              },
                              refused(reason::no_text_area)},
                    DamageRow{"half_of_it_at_the_end", all_ahead,
                              [](const BuiltVoice& b, Bytes& i) {
                                  i[b.landmark_pos] = 'u';
                                  put_text(i, static_cast<std::int64_t>(i.size()) - 8, "Unable t");
                              },
                              refused(reason::no_text_area)},
                    // The text area starts 16 bytes past the end of the image: everything opens,
                    // and no longer text can ever be written.
                    DamageRow{"in_the_last_sixteen_bytes", all_ahead,
                              [](const BuiltVoice& b, Bytes& i) {
                                  i[b.landmark_pos] = 'u';
                                  put_text(i, static_cast<std::int64_t>(i.size()) - 16,
                                           "Unable to locate");
                              },
                              opens(3, 2450)}),
    test::row_name);

// --- settings block numbers beyond the image ---------------------------------------------------

const std::int64_t size_256k = 256 * 1024;

INSTANTIATE_TEST_SUITE_P(
    SettingsBlock, Damaged,
    testing::Values(
        DamageRow{"number_at_the_image_end", nuvi_7x0,
                  [](const BuiltVoice&, Bytes& i) {
                      i[631] = static_cast<std::uint8_t>(size_256k / 2048), i[632] = 0;
                  },
                  refused(reason::block_outside)},
        DamageRow{"number_of_the_last_block", nuvi_7x0,
                  [](const BuiltVoice&, Bytes& i) {
                      i[631] = static_cast<std::uint8_t>(size_256k / 2048 - 1), i[632] = 0;
                  },
                  refused(reason::no_rate)},
        DamageRow{"number_ffff", nuvi_7x0,
                  [](const BuiltVoice&, Bytes& i) { i[631] = 0xFF, i[632] = 0xFF; },
                  refused(reason::block_outside)},
        DamageRow{"model_byte_7", nuvi_7x0, [](const BuiltVoice&, Bytes& i) { i[98] = 7; },
                  refused(reason::block_outside)},
        DamageRow{"model_byte_255", nuvi_7x0, [](const BuiltVoice&, Bytes& i) { i[98] = 255; },
                  refused(reason::block_outside)},
        DamageRow{"model_byte_255_number_zero", nuvi_7x0,
                  [](const BuiltVoice&, Bytes& i) { i[98] = 255, i[631] = 0, i[632] = 0; },
                  refused(reason::block_outside)},
        DamageRow{"number_at_the_image_end_255w", nuvi_255w,
                  [](const BuiltVoice&, Bytes& i) {
                      i[631] = 0, i[632] = static_cast<std::uint8_t>(size_256k / 512 / 256);
                  },
                  refused(reason::block_outside)}),
    test::row_name);

TEST(PhrasePointer, to_the_last_byte_opens_with_the_text_area_past_the_end) {
    // The last byte of the image is the empty phrase 2's NUL: text_end is the image length,
    // so fewer than no bytes are left.
    BuiltVoice b = test::build_voice(nuvi_7x0);
    b.image.back() = 0;
    put_long(b.image, b.ptr_table_pos + 4, pointer_to(nuvi_7x0, b.image.size() - 1));
    const auto past_the_end = static_cast<int>(b.image.size()) - b.text_start;
    EXPECT_EQ(open_outcome(b.image), opens(3, 2451 - past_the_end));
    EXPECT_EQ(open_and_reimport(b.image), "");
}

// The 7x0/3x0 calibration walk leaves the image at its start only when every fourth byte
// down to position 0 repeats the one it starts from, which the identity tag never allows;
// the table search alone must still refuse it.
TEST(CalibrationWalk, leaving_the_start_of_the_image_refuses_the_table) {
    BuiltVoice b = test::build_voice({});
    const std::uint8_t same = b.image[static_cast<std::size_t>(b.calib_pos) - 2];
    for (std::int64_t p = b.calib_pos - 2; p >= 0; p -= 4) {
        b.image[static_cast<std::size_t>(p)] = same;
    }
    EXPECT_EQ(find_phrase_table(b.image, 2).message(), reason::no_calibration_pointer);
}

} // namespace
} // namespace quorvel::hostile

#include "exchange/text_exchange.h"

#include "layout/list_entry.h"
#include "support/import_fault.h"
#include "support/test_names.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::PrintTo;

TEST(ExportText, worked_example_byte_for_byte) {
    const std::string text = export_text({"Tom",
                                          "Nuvi 7x0/3x0 TTS",
                                          " 45",
                                          " 80",
                                          "Tom's voice",
                                          {" 1-Turn left", " 2-Turn right", " 3-Arrived"}});
    EXPECT_EQ(text, "'DO NOT ALTER THE NEXT 2 LINES. \r\n"
                    "Voice Name: Tom\r\n"
                    "VPM Type: Nuvi 7x0/3x0 TTS\r\n"
                    "Voice Rate:  45\r\n"
                    "Voice Volume:  80\r\n"
                    "Screen Name: Tom's voice\r\n"
                    "\r\n"
                    " 1-Turn left\r\n"
                    " 2-Turn right\r\n"
                    " 3-Arrived\r\n");
}

TEST(ExportText, no_phrases_ends_after_the_empty_line) {
    EXPECT_EQ(export_text({"", "", "45", "80", "", {}}),
              "'DO NOT ALTER THE NEXT 2 LINES. \r\nVoice Name: \r\nVPM Type: \r\n"
              "Voice Rate: 45\r\nVoice Volume: 80\r\nScreen Name: \r\n\r\n");
}

// Records what the import drives.
class RecordingTarget : public ImportTarget {
  public:
    std::vector<std::string> entries = {" 1-one", " 2-two", " 3-three"};
    std::vector<std::string> calls;
    std::optional<int> rate_max = 99;
    int rate_value = 45;

    std::string voice_name() const override { return "Tom"; }
    std::string nuvi_model() const override { return "Nuvi 7x0/3x0 TTS"; }
    std::optional<int> rate_maximum() const override { return rate_max; }
    int rate() const override { return rate_value; }
    void set_rate(int v) override { calls.push_back("rate " + std::to_string(v)); }
    void set_volume(int v) override { calls.push_back("volume " + std::to_string(v)); }
    void set_screen_name(const std::string& t) override { calls.push_back("screen [" + t + "]"); }
    int phrase_count() const override { return static_cast<int>(entries.size()); }
    std::string entry(int p) const override { return entries[static_cast<std::size_t>(p)]; }
    void apply_phrase(int p, const std::string& text) override {
        const std::string current(entry_text(entries[static_cast<std::size_t>(p)]));
        calls.push_back("phrase " + std::to_string(p) + " [" + current + "] -> [" + text + "]");
        entries[static_cast<std::size_t>(p)] = " " + std::to_string(p + 1) + "-" + text;
    }
};

const std::string head =
    "'DO NOT ALTER THE NEXT 2 LINES. \r\nVoice Name: Tom\r\nVPM Type: Nuvi 7x0/3x0 TTS\r\n";

struct ImportCase {
    const char* name;
    std::string text;
    std::vector<std::string> calls;
    std::optional<std::string> message;
};

class ImportText : public testing::TestWithParam<ImportCase> {};

TEST_P(ImportText, drives_the_target_and_reports_the_first_fault) {
    const auto& c = GetParam();
    RecordingTarget target;
    const auto imported = import_text(c.text, target);
    EXPECT_EQ(target.calls, c.calls);
    EXPECT_EQ(imported ? std::nullopt : std::optional(imported.message()), c.message);
}

const auto fault = test::import_fault;

INSTANTIATE_TEST_SUITE_P(
    Cases, ImportText,
    testing::Values(
        ImportCase{"unchanged_export",
                   head + "Voice Rate:  45\r\nVoice Volume:  80\r\nScreen Name: "
                          "Tom\r\n\r\n 1-one\r\n 2-two\r\n 3-three\r\n",
                   {"rate 45", "volume 80", "screen [Tom]"},
                   std::nullopt},
        ImportCase{"changed_phrase_only",
                   head + "\r\n 2-deux\r\n",
                   {"phrase 1 [two] -> [deux]"},
                   std::nullopt},
        ImportCase{"cr_lf_file_keeps_a_cr_or_an_lf_alone_in_its_line",
                   head + "Screen Name: a\rb\r\n\r\n 2-x\ny\r\n 3-z\r",
                   {"screen [a\rb]", "phrase 1 [two] -> [x\ny]", "phrase 2 [three] -> [z\r]"},
                   std::nullopt},
        ImportCase{"cr_file_ends_its_lines_at_each_cr",
                   "x\rVoice Name: Tom\rVPM Type: Nuvi 7x0/3x0 TTS\rScreen Name: "
                   "a\nb\r\r 3-x\ny",
                   {"screen [a\nb]", "phrase 2 [three] -> [x\ny]"},
                   std::nullopt},
        ImportCase{"lf_file_ends_its_lines_at_each_lf",
                   "x\nVoice Name: Tom\nVPM Type: Nuvi 7x0/3x0 TTS\nVoice Volume: "
                   "5\n\n 3-x\n",
                   {"volume 5", "phrase 2 [three] -> [x]"},
                   std::nullopt},

        ImportCase{"settings_end_on_an_empty_value",
                   head + "Screen Name: \r\nVoice Volume: 12\r\n",
                   {"screen []"},
                   std::nullopt},
        ImportCase{"line_without_separator_is_skipped",
                   head + "Voice Rate:45\r\nVoice Volume: 3.5\r\n\r\n",
                   {"volume 4"},
                   std::nullopt},
        ImportCase{"phrase_named_twice_applies_twice",
                   head + "\r\n 2-a\r\n 2-b\r\n",
                   {"phrase 1 [two] -> [a]", "phrase 1 [a] -> [b]"},
                   std::nullopt},
        ImportCase{"phrase_one_is_applied_like_any_other",
                   head + "\r\n1-uno\r\n",
                   {"phrase 0 [one] -> [uno]"},
                   std::nullopt},
        ImportCase{"number_with_blanks_and_fraction",
                   head + "\r\n 2 . 6-x\r\n",
                   {"phrase 2 [three] -> [x]"},
                   std::nullopt},
        ImportCase{"wrong_voice_name", "x\r\nVoice Name: Tim\r\n", {}, fault(2, "Tim", "Tom")},
        ImportCase{"line_two_without_separator",
                   "x\r\nVoice Name:Tom\r\n",
                   {},
                   fault(2, "Voice Name:Tom", "Tom")},
        ImportCase{"line_two_is_the_voice_name_without_a_separator",
                   "x\r\nTom\r\n",
                   {},
                   fault(2, "Tom", "Tom")},
        ImportCase{"line_three_is_the_family_without_a_separator",
                   "x\r\nVoice Name: Tom\r\nNuvi 7x0/3x0 TTS\r\n",
                   {},
                   fault(3, "Nuvi 7x0/3x0 TTS", "Nuvi 7x0/3x0 TTS")},
        ImportCase{"other_family",
                   "x\r\nVoice Name: Tom\r\nVPM Type: Nuvi 255W/260 TTS\r\n",
                   {},
                   fault(3, "Nuvi 255W/260 TTS", "Nuvi 7x0/3x0 TTS")},
        ImportCase{"unknown_keyword",
                   head + "Voice Volume: 5\r\nvoice rate: 4\r\n",
                   {"volume 5"},
                   fault(5, "4", "keyword: value")},
        ImportCase{"phrase_number_beyond_the_count",
                   head + "\r\n 2-b\r\n 4-d\r\n 3-c\r\n",
                   {"phrase 1 [two] -> [b]"},
                   fault(6, " 4-d", "index_number less or equal to  3")},
        ImportCase{"phrase_number_zero",
                   head + "\r\nzero-x\r\n",
                   {},
                   fault(5, "zero-x", "index_number greater or equal to  1")},
        ImportCase{"phrase_number_negative",
                   head + "\r\n-1-x\r\n",
                   {},
                   fault(5, "-1-x", "index_number greater or equal to  1")},
        ImportCase{"phrase_number_hex_minus_one",
                   head + "\r\n&HFFFF-x\r\n",
                   {},
                   fault(5, "&HFFFF-x", "index_number greater or equal to  1")},
        ImportCase{"found_text_is_cut_after_4096_characters",
                   head + "k: " + std::string(5000, 'x') + "\r\n",
                   {},
                   fault(4, std::string(4096, 'x') + "...", "keyword: value")},
        ImportCase{"rate_out_of_range",
                   head + "Voice Rate: 100\r\n",
                   {},
                   fault(4, "100", "Voice Rate from  0 to  99")},
        ImportCase{"volume_out_of_range",
                   head + "Voice Volume: -1\r\n",
                   {},
                   fault(4, "-1", "Voice Volume from  0 to  99")},
        ImportCase{"short_file_applies_nothing", "x\r\n", {}, std::nullopt},
        ImportCase{"empty_file", "", {}, std::nullopt}),
    test::row_name);

TEST(ImportText, rate_line_for_a_file_without_a_rate_field_may_only_ask_for_the_bar_value) {
    RecordingTarget target;
    target.rate_max = std::nullopt;
    target.rate_value = 100;
    EXPECT_TRUE(import_text(head + "Voice Rate:  100\r\n", target));
    EXPECT_EQ(import_text(head + "Voice Rate:  50\r\n", target).message(),
              fault(4, " 50", "Voice Rate cannot be set for this voice file"));
    EXPECT_EQ(target.calls, std::vector<std::string>{"rate 100"});
}

struct LineCase {
    const char* name;
    std::string text;
    std::size_t offset;
    std::int64_t line;
};

class LineAt : public testing::TestWithParam<LineCase> {};

TEST_P(LineAt, counts_lines_as_the_import_ends_them) {
    EXPECT_EQ(line_at(GetParam().text, GetParam().offset), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Cases, LineAt,
                         testing::Values(LineCase{"first_byte", "a\r\nb", 0, 1},
                                         LineCase{"behind_a_cr_lf", "a\r\nb", 3, 2},
                                         LineCase{"cr_alone_in_a_cr_lf_file", "a\rb\r\nc", 2, 1},
                                         LineCase{"cr_file", "a\rb\nc\rd", 6, 3},
                                         LineCase{"lf_file", "a\nb\nc", 4, 3}),
                         test::row_name);

TEST(ImportText, fault_after_line_255_keeps_its_line_number) {
    RecordingTarget target;
    std::string text = head + "\r\n";
    for (int i = 0; i < 300; ++i) {
        text += "no hyphen here\r\n";
    }
    text += " 9-x\r\n";
    EXPECT_EQ(import_text(text, target).message(),
              fault(4 + 300 + 1, " 9-x", "index_number less or equal to  3"));
}

} // namespace
} // namespace quorvel

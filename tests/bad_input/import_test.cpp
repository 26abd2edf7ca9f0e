// Importing hostile text files through the program layer (File > Import once the file is
// read): odd line ends, binary garbage, faults deep in a file, phrase numbers the list does
// not have, settings out of range, and voices whose text area reaches past the end. Each row
// names the messages shown and the list that results; no byte changes outside the fields
// that opening found.

#include "bad_input/hostile_input.h"
#include "bad_input/outcome.h"
#include "layout/list_entry.h"
#include "support/import_fault.h"
#include "support/scripted_host.h"
#include "support/test_names.h"
#include "support/voice_builder.h"
#include "ui/forms.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvel::hostile {
namespace {

using test::BuiltVoice;
using test::VoicePlan;

const std::vector<std::string> turn = {" 1-Turn left", " 2-Turn right", " 3-Arrived"};

// Lines 1 to 3 of an export of the builder's default voice.
const std::string head =
    "'DO NOT ALTER THE NEXT 2 LINES. \r\nVoice Name: Tom\r\nVPM Type: Nuvi 7x0/3x0 TTS\r\n";
// Lines 1 to 7: the settings as exported, then the empty line.
const std::string settings =
    head + "Voice Rate:  45\r\nVoice Volume:  80\r\nScreen Name: Tom's voice\r\n\r\n";

const auto fault = test::import_fault;

// Bytes 0 to 255, `times` times over.
std::string every_byte(int times) {
    std::string s;
    for (int t = 0; t < times; ++t) {
        for (int b = 0; b < 256; ++b) {
            s += static_cast<char>(b);
        }
    }
    return s;
}

// The second line of every_byte(): from the byte behind the first CR to the byte in front
// of the next one.
std::string every_byte_line() {
    const std::string s = every_byte(2);
    return s.substr(14, 256 - 1);
}

struct Imported {
    std::vector<std::string> messages;
    std::vector<std::string> entries;
    std::string broken_rule;
};

Imported import_into(const Bytes& image, std::string_view text) {
    test::ScriptedHost host;
    ui::Form1 form(host);
    form.open_image(image);
    if (!form.voice()) {
        return {host.messages, {}, "the voice did not open"};
    }
    const FoundFields fields(image, form.voice()->settings, form.voice()->table);
    form.import_text_content(text, "import.txt");
    return {host.messages, form.List1.items(), fields.changes_outside(image, form.voice()->image)};
}

struct ImportRow {
    std::string name;
    std::function<Bytes()> voice;
    std::string text;
    std::vector<std::string> messages;
    std::vector<std::string> entries;
};

Bytes default_voice() {
    return test::build_voice({}).image;
}

Bytes voice_255w_without_rate_field() {
    BuiltVoice b = test::build_voice(test::plan_255w());
    b.image[static_cast<std::size_t>(b.rate_tag_pos) + 1] = 'V';
    return b.image;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

// `latin1` as UTF-16 with its byte-order mark: each byte is the character of that number.
std::string utf16(const std::string& latin1, bool big_endian) {
    std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : latin1) {
        out += big_endian ? std::string{'\0', c} : std::string{c, '\0'};
    }
    return out;
}

using test::PrintTo;

class ImportCatalogue : public testing::TestWithParam<ImportRow> {};

TEST_P(ImportCatalogue, names_its_outcome_and_writes_only_found_fields) {
    const auto& row = GetParam();
    const Imported got = import_into(row.voice(), row.text);
    EXPECT_EQ(got.messages, row.messages);
    EXPECT_EQ(got.entries, row.entries);
    EXPECT_EQ(got.broken_rule, "");
}

ImportRow phrase_number(const std::string& name, const std::string& line,
                        std::vector<std::string> messages,
                        std::vector<std::string> entries = turn) {
    return {name, default_voice, settings + line + "\r\n", std::move(messages), std::move(entries)};
}

const std::string beyond_count = "index_number less or equal to  3";
const std::string below_one = "index_number greater or equal to  1";

INSTANTIATE_TEST_SUITE_P(
    PhraseNumber, ImportCatalogue,
    testing::Values(
        phrase_number("zero", "0-x", {fault(8, "0-x", below_one)}),
        phrase_number("minus_one", "-1-x", {fault(8, "-1-x", below_one)}),
        phrase_number("one_e9", "1e9-x", {fault(8, "1e9-x", beyond_count)}),
        phrase_number("hex_ffff", "&HFFFF-x", {fault(8, "&HFFFF-x", below_one)}),
        phrase_number("hex_7fffffff", "&H7FFFFFFF-x", {fault(8, "&H7FFFFFFF-x", beyond_count)}),
        phrase_number("beyond_any_double", "1e999-x", {fault(8, "1e999-x", beyond_count)}),
        phrase_number("half_rounds_down_to_zero", "0.5-x", {fault(8, "0.5-x", below_one)}),
        // the count is checked before rounding: 3.5 is beyond 3
        phrase_number("three_and_a_half", "3.5-x", {fault(8, "3.5-x", beyond_count)}),
        phrase_number("three_point_four", "3.4-x", {fault(8, "3.4-x", beyond_count)}),
        phrase_number("two_and_a_half_is_two", "2.5-x", {}, {" 1-Turn left", " 2-x", " 3-Arrived"}),
        // the number ends at the first hyphen: "1e", and the text is "9-x"
        phrase_number("exponent_with_a_minus", "1e-9-x", {},
                      {" 1-9-x", " 2-Turn right", " 3-Arrived"})),
    test::row_name);

INSTANTIATE_TEST_SUITE_P(
    Settings, ImportCatalogue,
    testing::Values(ImportRow{"rate_1e9",
                              default_voice,
                              head + "Voice Rate: 1e9\r\n 2-x\r\n",
                              {fault(4, "1e9", "Voice Rate from  0 to  99")},
                              turn},
                    ImportRow{"volume_hex_ffff",
                              default_voice,
                              head + "Voice Volume: &HFFFF\r\n",
                              {fault(4, "&HFFFF", "Voice Volume from  0 to  99")},
                              turn},
                    // Without "<voice_rate>" no rate can be written; the file's own export asks
                    // for the value the bar holds, and goes on.
                    ImportRow{"export_of_a_255w_voice_without_rate_field",
                              voice_255w_without_rate_field,
                              replaced(exported_text(voice_255w_without_rate_field()),
                                       " 2-Turn right", " 2-x"),
                              {},
                              {" 1-Turn left", " 2-x", " 3-Arrived"}}),
    test::row_name);

const std::string tournez = " 2-Tournez \xE0 gauche";

INSTANTIATE_TEST_SUITE_P(
    Encodings, ImportCatalogue,
    testing::Values(ImportRow{"utf8_without_a_mark",
                              default_voice,
                              settings + " 2-Tournez \xC3\xA0 gauche\r\n",
                              {},
                              {" 1-Turn left", tournez, " 3-Arrived"}},
                    ImportRow{"utf16_le",
                              default_voice,
                              utf16(settings + tournez + "\r\n", false),
                              {},
                              {" 1-Turn left", tournez, " 3-Arrived"}},
                    ImportRow{"utf16_be",
                              default_voice,
                              utf16(settings + tournez + "\r\n", true),
                              {},
                              {" 1-Turn left", tournez, " 3-Arrived"}},
                    ImportRow{"character_outside_the_code_page_refuses_the_whole_file",
                              default_voice,
                              settings + " 2-Go\r\n 3-\xE4\xB8\xAD\r\n",
                              {"The text file \"import.txt\" holds at line 9 the character "
                               "U+4E2D, which a voice file cannot store. Nothing was imported."},
                              turn}),
    test::row_name);

INSTANTIATE_TEST_SUITE_P(
    Garbage, ImportCatalogue,
    testing::Values(
        ImportRow{"binary_garbage",
                  default_voice,
                  every_byte(4),
                  {fault(2, every_byte_line(), "Tom")},
                  turn},
        // lines end at CR LF only: the garbage is one line
        ImportRow{"binary_garbage_behind_the_header",
                  default_voice,
                  head + "\r\n" + every_byte(4),
                  {fault(5, every_byte(4), below_one)},
                  turn},
        ImportRow{"nul_in_a_phrase_refuses_that_phrase",
                  default_voice,
                  settings + std::string(" 2-a\0z", 6) + "\r\n 3-\xFF\x80z\r\n",
                  {"The new text holds a NUL byte, which would end the phrase there and hide the "
                   "rest in the voice file. Nothing was changed."},
                  {" 1-Turn left", " 2-Turn right", " 3-\xFF\x80z"}},
        ImportRow{"lf_only_line_ends",
                  default_voice,
                  "'DO NOT ALTER THE NEXT 2 LINES. \nVoice Name: Tom\nVPM Type: Nuvi 7x0/3x0 "
                  "TTS\n\n 2-x\n",
                  {},
                  {" 1-Turn left", " 2-x", " 3-Arrived"}},
        ImportRow{"cr_only_line_ends",
                  default_voice,
                  "'DO NOT ALTER THE NEXT 2 LINES. \rVoice Name: Tom\rVPM Type: Nuvi 7x0/3x0 "
                  "TTS\rVoice Rate: 50\rVoice Volume: 7\r\r 2-Go\r 3-Arrived at last\r",
                  {},
                  {" 1-Turn left", " 2-Go", " 3-Arrived at last"}}),
    test::row_name);

// Voices whose text area reaches past the end of the image: a longer text has nowhere to go.
Bytes landmark_in_the_last_sixteen_bytes() {
    VoicePlan shape;
    shape.phrases_ahead = 3;
    BuiltVoice b = test::build_voice(shape);
    b.image[static_cast<std::size_t>(b.landmark_pos)] = 'u';
    const std::string_view landmark = "Unable to locate";
    std::copy(landmark.begin(), landmark.end(), b.image.end() - 16);
    return b.image;
}

Bytes cut_behind_the_last_nul() {
    const BuiltVoice b = test::build_voice({});
    return Bytes(b.image.begin(), b.image.begin() + b.phrase_pos.back() + 8);
}

const std::string past_the_end = "The text area of this voice file reaches past its end; the new "
                                 "text does not fit. Nothing was changed.";

INSTANTIATE_TEST_SUITE_P(TextAreaPastTheEnd, ImportCatalogue,
                         testing::Values(ImportRow{"landmark_in_the_last_sixteen_bytes",
                                                   landmark_in_the_last_sixteen_bytes,
                                                   settings + " 2-Turn right now\r\n 3-Here\r\n",
                                                   {past_the_end},
                                                   {" 1-Turn left", " 2-Turn right", " 3-Here"}},
                                         ImportRow{"file_cut_behind_the_last_phrase",
                                                   cut_behind_the_last_nul,
                                                   settings + " 3-Arrived at last\r\n 2-Go\r\n",
                                                   {past_the_end},
                                                   {" 1-Turn left", " 2-Go", " 3-Arrived"}}),
                         test::row_name);

TEST(Import, cr_only_line_ends_write_what_cr_lf_line_ends_write) {
    const std::string crlf = settings + " 2-Go\r\n 3-Arrived at last\r\n";
    std::string cr = crlf;
    for (auto at = cr.find("\r\n"); at != std::string::npos; at = cr.find("\r\n", at)) {
        cr.erase(at + 1, 1);
    }
    const Bytes image = default_voice();
    test::ScriptedHost host;
    ui::Form1 with_crlf(host);
    ui::Form1 with_cr(host);
    with_crlf.open_image(image);
    with_cr.open_image(image);
    with_crlf.import_text_content(crlf, "crlf.txt");
    with_cr.import_text_content(cr, "cr.txt");
    EXPECT_TRUE(host.messages.empty());
    EXPECT_NE(with_cr.voice()->image, image);
    EXPECT_EQ(with_cr.voice()->image, with_crlf.voice()->image);
}

// A voice of 1000 phrases ahead of its text area, "Phrase 0001" to "Phrase 1000".
VoicePlan thousand_phrases() {
    VoicePlan shape;
    shape.phrases.clear();
    for (int k = 1; k <= 1000; ++k) {
        std::string n = std::to_string(k);
        shape.phrases.push_back("Phrase " + std::string(4 - n.size(), '0') + n);
    }
    shape.phrases_ahead = 1000;
    return shape;
}

TEST(Import, forty_thousand_lines_each_rewrite_a_phrase_in_place) {
    // Line i of the phrases names phrase 2 + i % 999 and flips its case: every phrase is
    // written 40 or 41 times, and ends in upper case when that count is odd.
    const VoicePlan shape = thousand_phrases();
    std::string text = settings;
    std::vector<int> writes(1000, 0);
    std::vector<std::string> expected;
    for (const auto& p : shape.phrases) {
        expected.push_back(p);
    }
    for (int i = 0; i < 40000; ++i) {
        const int k = 2 + i % 999;
        const bool upper = writes[static_cast<std::size_t>(k - 1)]++ % 2 == 0;
        std::string phrase = shape.phrases[static_cast<std::size_t>(k - 1)];
        if (upper) {
            phrase.replace(0, 6, "PHRASE");
        }
        expected[static_cast<std::size_t>(k - 1)] = phrase;
        text += " " + std::to_string(k) + "-" + phrase + "\r\n";
    }
    for (std::size_t k = 0; k < expected.size(); ++k) {
        expected[k] = list_entry(static_cast<std::int64_t>(k) + 1, expected[k]);
    }
    const Imported got = import_into(test::build_voice(shape).image, text);
    EXPECT_TRUE(got.messages.empty());
    EXPECT_EQ(got.entries, expected);
    EXPECT_EQ(got.entries[1], " 2-PHRASE 0002");      // written 41 times
    EXPECT_EQ(got.entries[999], " 1000-Phrase 1000"); // written 40 times
    EXPECT_EQ(got.broken_rule, "");
}

TEST(Import, fault_at_line_300_keeps_the_lines_before_and_applies_none_after) {
    const VoicePlan shape = thousand_phrases();
    std::string text = settings; // lines 1 to 7
    for (int line = 8; line < 300; ++line) {
        text += " " + std::to_string(line) + "-Line " + std::to_string(line) + "\r\n";
    }
    text += " 1001-x\r\n 5-never\r\n";
    const Imported got = import_into(test::build_voice(shape).image, text);
    EXPECT_EQ(got.messages, std::vector<std::string>{
                                fault(300, " 1001-x", "index_number less or equal to  1000")});
    EXPECT_EQ(got.entries[7], " 8-Line 8");
    EXPECT_EQ(got.entries[298], " 299-Line 299");
    EXPECT_EQ(got.entries[299], " 300-Phrase 0300");
    EXPECT_EQ(got.entries[4], " 5-Phrase 0005");
    EXPECT_EQ(got.broken_rule, "");
}

} // namespace
} // namespace quorvel::hostile

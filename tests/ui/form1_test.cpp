#include "ui/forms.h"

#include "exchange/text_exchange.h"
#include "support/scripted_host.h"
#include "support/scripted_speech.h"
#include "support/temp_folder.h"
#include "support/test_names.h"
#include "support/voice_builder.h"
#include "ui/start_up.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace quorvel::ui {
namespace {

namespace fs = std::filesystem;
using test::ScriptedHost;
using test::VoicePlan;

const char* const reminder = "You are about to save your modified TTS voice file. Please use the "
                             "original .vpm file name for this to work.";

class Program : public testing::Test {
  protected:
    fs::path dir = test::fresh_temp_folder();
    ScriptedHost host;
    Form1 form{host};

    void TearDown() override { fs::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }
    std::string write_voice(const std::string& name, const VoicePlan& plan) const {
        test::write_file(path(name), test::build_voice(plan).image);
        return path(name);
    }
    static std::string read(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void open(const std::string& p) {
        host.answers.push_back(p);
        form.Open_Click();
    }
    std::string export_now() {
        host.answers.push_back(path("export.txt"));
        form.Export_Click();
        return read(path("export.txt"));
    }
    void import_text(const std::string& text) {
        host.answers.push_back(write("import.txt", text));
        form.Import_Click();
    }
    std::string save_as(const std::string& name) {
        host.answers.push_back(path(name));
        form.Save_Click();
        return read(path(name));
    }
    const Bytes& image() const { return form.voice()->image; }
    std::string image_text(std::int64_t pos, std::size_t n) const {
        return std::string(image().begin() + pos,
                           image().begin() + pos + static_cast<std::int64_t>(n));
    }
    void modify(int t, const std::string& text) { form.modify_phrase(t, text); }
    void click_form2(void (Form2::*button)()) { form.click(*form.form2(), button); }
};

// --- start-up and opening -----------------------------------------------------------------

TEST_F(Program, starts_empty_with_hidden_values_and_disabled_bars) {
    EXPECT_EQ(form.voice_rate.caption(), "45");
    EXPECT_EQ(form.voice_vol.caption(), "80");
    for (const Control* hidden : std::initializer_list<const Control*>{
             &form.voice_rate, &form.voice_vol, &form.screen_name, &form.Label3, &form.char_left}) {
        EXPECT_FALSE(hidden->visible());
    }
    EXPECT_FALSE(form.HScroll1.enabled());
    EXPECT_FALSE(form.HScroll2.enabled());
    EXPECT_EQ(form.HScroll1.value(), 10);
    EXPECT_EQ(form.HScroll1.maximum(), 99);
    EXPECT_FALSE(form.screen_name.max_length());
    EXPECT_EQ(form.List1.count(), 0);
    EXPECT_FALSE(form.voice());
}

TEST_F(Program, open_asks_with_the_voice_dialog_and_shows_a_7x0_voice) {
    VoicePlan plan;
    plan.rate_digits = "07";
    plan.screen_name = "Abcd";
    plan.screen_name_width = 10;
    open(write_voice("a.vpm", plan));

    ASSERT_EQ(host.open_requests.size(), 1u);
    const auto& r = host.open_requests[0];
    EXPECT_EQ(r.title, "Open Garmin TTS Voice File...");
    EXPECT_EQ(r.filter_description, "Garmin VPM (*.vpm)");
    EXPECT_EQ(r.filter_pattern, "*.vpm");
    EXPECT_EQ(r.flags, 4u);
    EXPECT_EQ(r.initial_dir, fs::current_path().string());

    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(form.file_name(), path("a.vpm"));
    EXPECT_EQ(form.nuvi_model.caption(), "Nuvi 7x0/3x0 TTS");
    EXPECT_EQ(form.voice_name.caption(), "Tom");
    EXPECT_EQ(form.voice_rate.caption(), " 7");
    EXPECT_EQ(form.voice_vol.caption(), " 80");
    EXPECT_EQ(form.HScroll1.value(), 7);
    EXPECT_EQ(form.HScroll1.maximum(), 99);
    EXPECT_TRUE(form.HScroll1.enabled());
    EXPECT_TRUE(form.HScroll2.enabled());
    EXPECT_EQ(form.screen_name.text(), "Abcd");
    EXPECT_EQ(form.screen_name.max_length(), 10);
    EXPECT_TRUE(form.screen_name.visible());
    EXPECT_TRUE(form.char_left.visible());
    EXPECT_EQ(form.char_left.caption(), std::to_string(2451 - (form.voice()->table.text_end -
                                                               form.voice()->table.text_start)));
    EXPECT_EQ(form.List1.items(),
              (std::vector<std::string>{" 1-Turn left", " 2-Turn right", " 3-Arrived"}));
}

TEST_F(Program, open_shows_a_255w_voice_with_its_fixed_rate) {
    const auto file = write_voice("b.vpm", test::plan_255w());
    const std::string bytes = read(file);
    open(file);
    EXPECT_EQ(form.nuvi_model.caption(), "Nuvi 255W/260 TTS");
    EXPECT_EQ(form.HScroll1.maximum(), 100);
    EXPECT_EQ(form.HScroll1.value(), 100);
    EXPECT_FALSE(form.HScroll1.enabled());
    EXPECT_EQ(form.voice_rate.caption(), " 100");
    EXPECT_EQ(form.List1.count(), 3);
    EXPECT_EQ(image(), Bytes(bytes.begin(), bytes.end())); // nothing written
}

TEST_F(Program, cancelled_open_changes_nothing_but_the_file_name) {
    open(write_voice("a.vpm", {}));
    const auto items = form.List1.items();
    open("");
    EXPECT_EQ(form.file_name(), "");
    EXPECT_EQ(form.List1.items(), items);
    EXPECT_TRUE(form.voice());
}

TEST_F(Program, rejected_file_empties_the_window_and_holds_no_voice) {
    open(write_voice("a.vpm", {}));
    open(write("bad.vpm", std::string(300, 'x')));
    EXPECT_EQ(host.messages, std::vector<std::string>{
                                 "Selected file is not a valid Garmin VPM Text To Speech file"});
    EXPECT_EQ(form.nuvi_model.caption(), "not a TTS file");
    EXPECT_EQ(form.voice_name.caption(), "");
    EXPECT_FALSE(form.HScroll1.enabled());
    EXPECT_FALSE(form.HScroll2.enabled());
    EXPECT_FALSE(form.screen_name.visible());
    EXPECT_FALSE(form.char_left.visible());
    EXPECT_EQ(form.List1.count(), 0);
    EXPECT_FALSE(form.voice());
}

TEST_F(Program, missing_file_is_reported_and_nothing_changes) {
    open(write_voice("a.vpm", {}));
    const auto items = form.List1.items();
    open(path("missing.vpm"));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("missing.vpm"), std::string::npos);
    EXPECT_FALSE(fs::exists(path("missing.vpm")));
    EXPECT_EQ(form.List1.items(), items);
    EXPECT_TRUE(form.voice());
}

TEST_F(Program, second_open_replaces_the_list_entirely) {
    VoicePlan many;
    many.phrases = {"a", "b", "c", "d", "e"};
    open(write_voice("many.vpm", many));
    VoicePlan few;
    few.phrases = {"z"};
    open(write_voice("few.vpm", few));
    EXPECT_EQ(form.List1.items(), std::vector<std::string>{" 1-z"});
}

// The editor started with these arguments (without the program's name), in the test's folder;
// "@" stands for that folder's absolute path, "/" at its end. The folder holds
// "voice.vpm", "bad.vpm" (not a voice file), "caf\xE9.vpm" (a voice, its name not UTF-8) and
// "-x.vpm" (a voice).
struct StartCase {
    const char* name;
    std::vector<std::string> arguments;
    StartUp::Outcome outcome;
    std::string text;    // what is printed, or its first line for --help
    std::string voice;   // the file opened once the window is shown; "" for none
    const char* model;   // nuvi_model after that
    std::string message; // the one message that opening shows, or its start; "" for none
};

using test::PrintTo;

class StartUpArguments : public Program, public testing::WithParamInterface<StartCase> {
  protected:
    std::string at(std::string text) const {
        if (const auto i = text.find('@'); i != std::string::npos) {
            text.replace(i, 1, path(""));
        }
        return text;
    }
};

TEST_P(StartUpArguments, open_the_file_given_as_open_does_or_end_before_any_window) {
    const StartCase& row = GetParam();
    write_voice("voice.vpm", {});
    write("bad.vpm", std::string(300, 'x'));
#ifdef _WIN32
    if (std::string(row.name) == "name_not_utf8") {
        GTEST_SKIP() << "Windows: a file name is UTF-16, never bytes that are not UTF-8";
    }
#else
    write_voice("caf\xE9.vpm", {});
#endif
    write_voice("-x.vpm", {});
    std::vector<std::string> arguments;
    for (const auto& argument : row.arguments) {
        arguments.push_back(at(argument));
    }
    const fs::path started_in = fs::current_path();
    fs::current_path(dir);
    const StartUp start = read_start_arguments(arguments);
    fs::current_path(started_in);

    EXPECT_EQ(start.outcome, row.outcome);
    EXPECT_EQ(start.text.substr(0, row.text.size()), row.text);
    EXPECT_EQ(start.voice, at(row.voice));
    form.open_chosen(start.voice);
    EXPECT_EQ(form.file_name(), start.voice);
    EXPECT_EQ(form.nuvi_model.caption(), row.model);
    ASSERT_EQ(host.messages.size(), row.message.empty() ? 0u : 1u);
    if (!row.message.empty()) {
        EXPECT_EQ(host.messages[0].substr(0, at(row.message).size()), at(row.message));
    }
}

const auto window = StartUp::Outcome::window;
const auto usage = StartUp::Outcome::usage_error;
const char* const rejected = "Selected file is not a valid Garmin VPM Text To Speech file";

INSTANTIATE_TEST_SUITE_P(
    Cases, StartUpArguments,
    testing::Values(
        StartCase{"no_argument", {}, window, "", "", "", ""},
        StartCase{"voice", {"@voice.vpm"}, window, "", "@voice.vpm", "Nuvi 7x0/3x0 TTS", ""},
        StartCase{"not_a_voice", {"@bad.vpm"}, window, "", "@bad.vpm", "not a TTS file", rejected},
        StartCase{"missing_file",
                  {"@missing.vpm"},
                  window,
                  "",
                  "@missing.vpm",
                  "",
                  "The file \"@missing.vpm\" cannot be opened: "},
        StartCase{
            "name_not_utf8", {"@caf\xE9.vpm"}, window, "", "@caf\xE9.vpm", "Nuvi 7x0/3x0 TTS", ""},
        StartCase{"relative_name", {"voice.vpm"}, window, "", "@voice.vpm", "Nuvi 7x0/3x0 TTS", ""},
        StartCase{"name_after_double_dash",
                  {"--", "-x.vpm"},
                  window,
                  "",
                  "@-x.vpm",
                  "Nuvi 7x0/3x0 TTS",
                  ""},
        StartCase{"help",
                  {"@voice.vpm", "--help"},
                  StartUp::Outcome::print,
                  "Usage: quorvel [FILE]\n",
                  "",
                  "",
                  ""},
        StartCase{"version",
                  {"--version"},
                  StartUp::Outcome::print,
                  std::string("quorvel ") + QUORVEL_VERSION + "\n",
                  "",
                  "",
                  ""},
        StartCase{"unknown_option",
                  {"--bogus", "--help"},
                  usage,
                  "quorvel: unknown option \"--bogus\"; run quorvel --help for the usage.\n",
                  "",
                  "",
                  ""},
        StartCase{"two_files",
                  {"@voice.vpm", "@bad.vpm"},
                  usage,
                  "quorvel: one file at most can be opened, 2 were given; run quorvel --help for "
                  "the usage.\n",
                  "",
                  "",
                  ""},
        StartCase{"empty_name",
                  {""},
                  usage,
                  "quorvel: an empty file name names no file; run quorvel --help for the "
                  "usage.\n",
                  "",
                  "",
                  ""}),
    test::row_name);

// A drop of files on the main window. The folder holds "base.vpm" (opened first when
// `voice_open`), "voice.vpm" (one phrase), "edits.TXT" (base.vpm's export with another screen
// name) and the folder "folder"; "" stands for an item that is not a local file.
struct DropCase {
    const char* name;
    bool voice_open;
    std::vector<std::string> dropped;
    bool accepted;
    std::string message; // the one message, "" for none
    std::string file_name;
    std::vector<std::string> list;
    std::string screen_name;
};

class Drop : public Program, public testing::WithParamInterface<DropCase> {};

TEST_P(Drop, one_text_file_is_imported_one_other_file_opened_and_anything_else_refused) {
    const DropCase& row = GetParam();
    const std::string base = write_voice("base.vpm", {});
    VoicePlan one;
    one.phrases = {"Dropped"};
    write_voice("voice.vpm", one);
    fs::create_directory(path("folder"));
    {
        test::ScriptedHost other_host;
        Form1 other(other_host);
        other.open_path(base);
        other.screen_name.set_text("Dropped name");
        write("edits.TXT", *other.export_text_content());
    }
    if (row.voice_open) {
        form.open_chosen(base);
    }
    std::vector<std::string> dropped;
    for (const auto& name : row.dropped) {
        dropped.push_back(name.empty() ? name : path(name));
    }

    EXPECT_EQ(Form1::accepts_drop(dropped), row.accepted);
    form.drop(dropped);
    EXPECT_EQ(host.messages, row.message.empty() ? std::vector<std::string>{}
                                                 : std::vector<std::string>{row.message});
    EXPECT_EQ(form.file_name(), row.file_name.empty() ? "" : path(row.file_name));
    EXPECT_EQ(form.List1.items(), row.list);
    EXPECT_EQ(form.screen_name.text(), row.screen_name);
}

const std::vector<std::string> base_list = {" 1-Turn left", " 2-Turn right", " 3-Arrived"};
const char* const drop_refusal = "Drop one file on the window: a voice file to open it, or a text "
                                 "file (.txt) to import it into the open voice.";

INSTANTIATE_TEST_SUITE_P(
    Cases, Drop,
    testing::Values(
        DropCase{
            "voice", false, {"voice.vpm"}, true, "", "voice.vpm", {" 1-Dropped"}, "Tom's voice"},
        DropCase{"text_with_a_voice_open",
                 true,
                 {"edits.TXT"},
                 true,
                 "",
                 "edits.TXT",
                 base_list,
                 "Dropped name"},
        DropCase{"text_without_a_voice",
                 false,
                 {"edits.TXT"},
                 true,
                 "No voice file is open. Open a voice file before you import a text file.",
                 "",
                 {},
                 ""},
        DropCase{"two_files",
                 true,
                 {"voice.vpm", "edits.TXT"},
                 false,
                 drop_refusal,
                 "base.vpm",
                 base_list,
                 "Tom's voice"},
        DropCase{
            "folder", true, {"folder"}, false, drop_refusal, "base.vpm", base_list, "Tom's voice"},
        DropCase{"not_a_local_file",
                 true,
                 {""},
                 false,
                 drop_refusal,
                 "base.vpm",
                 base_list,
                 "Tom's voice"}),
    test::row_name);

// --- rate and volume ------------------------------------------------------------------------

TEST_F(Program, scroll_bars_write_two_digits_and_show_the_value) {
    open(write_voice("a.vpm", {}));
    const Bytes before = image();
    const auto& s = form.voice()->settings;
    form.HScroll2.set_value(7);
    form.HScroll1.set_value(99);
    EXPECT_EQ(image_text(s.vol_pos, 2), "07");
    EXPECT_EQ(form.voice_vol.caption(), " 7");
    EXPECT_EQ(image_text(*s.rate_pos, 2), "99");
    EXPECT_EQ(form.voice_rate.caption(), " 99");
    for (std::size_t i = 0; i < before.size(); ++i) {
        const auto p = static_cast<std::int32_t>(i);
        if (p != s.vol_pos && p != s.vol_pos + 1 && p != *s.rate_pos && p != *s.rate_pos + 1) {
            ASSERT_EQ(image()[i], before[i]) << "byte " << i;
        }
    }
}

TEST_F(Program, scroll_notification_runs_nested_and_only_on_a_real_change) {
    open(write_voice("a.vpm", {}));
    int runs = 0;
    form.HScroll2.on_change = [&] {
        ++runs;
        form.HScroll2_Change();
    };
    form.HScroll2.set_value(80); // the value it holds
    EXPECT_EQ(runs, 0);
    form.HScroll2.set_value(81);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(image_text(form.voice()->settings.vol_pos, 2), "81"); // written before set returns
}

TEST_F(Program, rate_of_100_writes_nothing) {
    open(write_voice("b.vpm", test::plan_255w()));
    form.HScroll1.set_value(99);
    form.HScroll1.set_value(100);
    EXPECT_EQ(form.voice_rate.caption(), " 99");
    EXPECT_EQ(image_text(*form.voice()->settings.rate_pos, 2), "99");
}

TEST_F(Program, scroll_bars_without_a_voice_write_nothing) {
    form.HScroll2.set_value(5);
    EXPECT_EQ(form.voice_vol.caption(), "80");
}

// --- phrase modification ----------------------------------------------------------------------

TEST_F(Program, double_click_refuses_phrase_one_and_ignores_no_selection) {
    open(write_voice("a.vpm", {}));
    form.List1_DblClick(); // nothing selected
    EXPECT_EQ(form.form2(), nullptr);
    form.List1.select(0);
    form.List1_DblClick();
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"Sorry! You can't modify string 1 in this release."});
    EXPECT_EQ(form.form2(), nullptr);
    EXPECT_EQ(form.find_pos(), 0);
}

TEST_F(Program, double_click_fills_the_modify_window_and_sets_find_pos) {
    VoicePlan plan;
    plan.phrases = {"a", "b", "left-right"};
    open(write_voice("a.vpm", plan));
    form.List1.select(2);
    form.List1_DblClick();
    ASSERT_NE(form.form2(), nullptr);
    EXPECT_TRUE(form.form2()->shown());
    EXPECT_EQ(form.form2()->Current.text(), "left-right");
    EXPECT_TRUE(form.form2()->Current.read_only());
    EXPECT_EQ(form.form2()->new_.text(), "");
    EXPECT_EQ(form.find_pos(), 2);

    form.form2()->new_.set_text("typed");
    form.List1.select(1);
    form.List1_DblClick(); // refilled, one window
    EXPECT_EQ(form.form2()->Current.text(), "b");
    EXPECT_EQ(form.form2()->new_.text(), "");
}

TEST_F(Program, ok_writes_in_place_or_behind_and_updates_list_and_bytes_left) {
    open(write_voice("a.vpm", {}));
    const int left = std::stoi(form.char_left.caption());
    modify(1, "Turn");
    EXPECT_EQ(form.List1.items()[1], " 2-Turn");
    EXPECT_EQ(std::stoi(form.char_left.caption()), left);
    EXPECT_EQ(form.form2(), nullptr);

    modify(2, "Arrived at last");
    EXPECT_EQ(form.List1.items()[2], " 3-Arrived at last");
    EXPECT_EQ(std::stoi(form.char_left.caption()), left - 16);
}

TEST_F(Program, ok_without_room_refuses_and_changes_nothing) {
    open(write_voice("a.vpm", {}));
    const Bytes before = image();
    const auto caption = form.char_left.caption();
    modify(1, std::string(3000, 'x'));
    EXPECT_EQ(host.messages,
              std::vector<std::string>{
                  "Sorry! Not enough bytes left in the buffer. Ignoring last change."});
    EXPECT_EQ(image(), before);
    EXPECT_EQ(form.char_left.caption(), caption);
    EXPECT_EQ(form.List1.items()[1], " 2-Turn right");
    EXPECT_EQ(form.form2(), nullptr);
}

TEST_F(Program, target_stays_fixed_when_the_selection_moves) {
    open(write_voice("a.vpm", {}));
    form.List1.select(1);
    form.List1_DblClick();
    form.List1.select(2);
    form.form2()->new_.set_text("Go");
    click_form2(&Form2::Command3_Click);
    EXPECT_EQ(form.List1.items()[1], " 2-Go");
    EXPECT_EQ(form.List1.items()[2], " 3-Arrived");
}

TEST_F(Program, cancel_and_close_box_change_nothing) {
    open(write_voice("a.vpm", {}));
    const Bytes before = image();
    form.List1.select(1);
    form.List1_DblClick();
    form.form2()->new_.set_text("x");
    click_form2(&Form2::Command1_Click);
    EXPECT_EQ(form.form2(), nullptr);
    form.List1_DblClick();
    click_form2(&Form2::close_box);
    EXPECT_EQ(form.form2(), nullptr);
    EXPECT_EQ(image(), before);
}

TEST_F(Program, text_the_code_page_cannot_hold_is_refused) {
    open(write_voice("a.vpm", {}));
    const Bytes before = image();
    form.modify_phrase(1, "ab", "\u4E2D");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("U+4E2D"), std::string::npos);
    EXPECT_EQ(image(), before);
    // The window stays open, in front, with the user's text, so it can be corrected.
    ASSERT_NE(form.form2(), nullptr);
    EXPECT_EQ(form.form2()->new_.text(), "ab");
    EXPECT_EQ(form.form2()->raise_requests(), 2u); // shown, then brought forward again
    form.form2()->new_.type("abc");
    click_form2(&Form2::Command3_Click);
    EXPECT_EQ(form.form2(), nullptr);
    EXPECT_EQ(form.List1.items()[1], " 2-abc");
}

// --- find -----------------------------------------------------------------------------------

TEST_F(Program, find_selects_the_first_match_and_find_next_goes_on_then_wraps) {
    VoicePlan plan;
    plan.phrases = {"Left", "right", "LEFT lane", "straight"};
    open(write_voice("a.vpm", plan));
    form.Find_Click();
    form.Find_Click();
    ASSERT_NE(form.find_form(), nullptr);
    EXPECT_EQ(form.find_form()->raise_requests(), 2u);
    form.find_form()->Text2Find.set_text("lEfT");
    form.click(*form.find_form(), &Find_Form::Command1_Click);
    EXPECT_EQ(form.find_form(), nullptr);
    EXPECT_EQ(form.List1.selected(), 0);
    EXPECT_EQ(form.find_text(), "left");

    form.FindNext_Click();
    EXPECT_EQ(form.List1.selected(), 2);
    form.FindNext_Click();
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"Search item not found. Hit F3 again to search from top"});
    EXPECT_EQ(form.List1.selected(), 2);
    form.FindNext_Click(); // from the top, index 0 included
    EXPECT_EQ(form.List1.selected(), 0);
}

TEST_F(Program, find_with_no_match_reports_and_closes) {
    form.Find_Click();
    form.find_form()->Text2Find.set_text("x");
    form.click(*form.find_form(), &Find_Form::Command1_Click);
    EXPECT_EQ(host.messages, std::vector<std::string>{"Search item not found"});
    EXPECT_EQ(form.find_form(), nullptr);
    EXPECT_EQ(form.find_pos(), 0);
}

TEST_F(Program, find_text_the_code_page_cannot_hold_finds_nothing_also_for_find_next) {
    open(write_voice("a.vpm", {}));
    form.Find_Click();
    form.find_form()->Text2Find.type("turn", "\u4E2D");
    form.click(*form.find_form(), &Find_Form::Command1_Click);
    form.FindNext_Click();
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{"Search item not found",
                                        "Search item not found. Hit F3 again to search from top"}));
    EXPECT_EQ(form.List1.selected(), -1);
}

TEST_F(Program, find_next_before_any_find_matches_from_entry_one) {
    open(write_voice("a.vpm", {}));
    form.FindNext_Click();
    EXPECT_EQ(form.List1.selected(), 1);
}

TEST_F(Program, find_next_continues_after_the_phrase_being_edited) {
    VoicePlan plan;
    plan.phrases = {"x", "x", "x", "x", "x", "x", "x"};
    open(write_voice("a.vpm", plan));
    form.List1.select(5);
    form.List1_DblClick();
    click_form2(&Form2::Command1_Click);
    form.FindNext_Click();
    EXPECT_EQ(form.List1.selected(), 6);
}

// --- save -----------------------------------------------------------------------------------

TEST_F(Program, save_reminds_pads_the_screen_name_and_writes_the_whole_image) {
    VoicePlan plan;
    plan.screen_name = "Old name";
    plan.screen_name_width = 10;
    const auto file = write_voice("a.vpm", plan);
    open(file);
    form.screen_name.set_text("Abcd");
    const std::string saved = save_as("saved.vpm");

    EXPECT_EQ(host.messages, std::vector<std::string>{reminder});
    ASSERT_EQ(host.save_requests.size(), 1u);
    EXPECT_EQ(host.save_requests[0].title, "Save Garmin TTS Voice File...");
    EXPECT_EQ(host.save_requests[0].flags, 6u);
    std::string expected = read(file);
    expected.replace(static_cast<std::size_t>(form.voice()->settings.screen_name_pos), 10,
                     "Abcd      ");
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(form.screen_name.text(), "Abcd");
}

TEST_F(Program, screen_name_limit_holds_typing_only) {
    VoicePlan plan;
    plan.screen_name = "Tom";
    plan.screen_name_width = 10;
    open(write_voice("a.vpm", plan));
    EXPECT_TRUE(form.screen_name.type("0123456789"));
    EXPECT_FALSE(form.screen_name.type("0123456789x"));
    EXPECT_TRUE(form.screen_name.type("012345678", "\U0001F600")); // the emoji counts as one
    EXPECT_FALSE(form.screen_name.type("0123456789", "\U0001F600"));
    form.screen_name.set_text("An imported name, longer");         // as the import sets it
    EXPECT_TRUE(form.screen_name.type("An imported name, longe")); // Backspace: one less
    EXPECT_EQ(form.screen_name.text(), "An imported name, longe");
    EXPECT_FALSE(form.screen_name.type("An imported name, longer"));
}

TEST_F(Program, screen_name_the_code_page_cannot_hold_is_refused_before_the_dialog) {
    open(write_voice("a.vpm", {}));
    const Bytes before = image();
    form.screen_name.type("Tom", "\U0001F600");
    form.Save_Click();
    form.Export_Click();
    const std::string refusal = "The screen name holds the character U+1F600, which a voice file "
                                "cannot store. Nothing was changed.";
    EXPECT_EQ(host.messages, (std::vector<std::string>{reminder, refusal, refusal}));
    EXPECT_TRUE(host.save_requests.empty());
    EXPECT_EQ(image(), before);
}

TEST_F(Program, save_over_a_longer_file_leaves_exactly_the_image) {
    const auto file = write_voice("a.vpm", {});
    open(file);
    write("long.vpm", std::string(400000, 'L'));
    EXPECT_EQ(save_as("long.vpm"), read(file));
}

TEST_F(Program, save_without_a_voice_is_refused_before_anything_else) {
    form.Save_Click();
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0], reminder);
    EXPECT_TRUE(host.save_requests.empty());
    EXPECT_EQ(form.image_to_save().message(), host.messages[0]);
}

TEST_F(Program, screen_name_holding_a_field_end_is_refused_before_the_dialog) {
    const auto file = write_voice("a.vpm", {});
    open(file);
    form.screen_name.set_text("a<voice_volume>33");
    host.answers.push_back(path("saved.vpm"));
    form.Save_Click();
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{reminder, "The screen name holds \"<\", which would end "
                                                  "its field in the voice file. Nothing was "
                                                  "saved."}));
    EXPECT_TRUE(host.save_requests.empty());
    EXPECT_FALSE(fs::exists(path("saved.vpm")));
    EXPECT_EQ(image(), test::build_voice({}).image);
}

TEST_F(Program, failed_save_is_reported_and_the_voice_stays_loaded) {
    open(write_voice("a.vpm", {}));
    host.answers.push_back(path("no/such/folder/x.vpm"));
    form.Save_Click();
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_NE(host.messages[1].find("x.vpm"), std::string::npos);
    EXPECT_TRUE(form.voice());
}

// --- export and import ------------------------------------------------------------------------

TEST_F(Program, export_before_any_open_writes_the_header_lines_only) {
    EXPECT_EQ(export_now(), "'DO NOT ALTER THE NEXT 2 LINES. \r\nVoice Name: \r\nVPM Type: \r\n"
                            "Voice Rate: 45\r\nVoice Volume: 80\r\nScreen Name: \r\n\r\n");
    EXPECT_EQ(host.save_requests[0].title, "Export Text...");
    EXPECT_EQ(host.save_requests[0].filter_description, "Text TXT (*.txt)");
    EXPECT_EQ(host.save_requests[0].flags, 6u);
}

TEST_F(Program, export_of_the_worked_example) {
    VoicePlan plan;
    plan.screen_name = "Tom's voice";
    open(write_voice("a.vpm", plan));
    form.HScroll2.set_value(80);
    EXPECT_EQ(export_now(), "'DO NOT ALTER THE NEXT 2 LINES. \r\nVoice Name: Tom\r\n"
                            "VPM Type: Nuvi 7x0/3x0 TTS\r\nVoice Rate:  45\r\nVoice Volume:  80\r\n"
                            "Screen Name: Tom's voice\r\n\r\n 1-Turn left\r\n 2-Turn right\r\n"
                            " 3-Arrived\r\n");
}

TEST_F(Program, export_after_a_refused_file_writes_no_phrases) {
    open(write_voice("a.vpm", {}));
    open(write("bad.vpm", "nothing"));
    const auto text = export_now();
    EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n");
}

struct RoundTripCase {
    const char* name;
    VoicePlan plan;
};

class RoundTrip : public Program, public testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTrip, export_then_import_unchanged_leaves_the_image_identical) {
    const auto file = write_voice("a.vpm", GetParam().plan);
    open(file);
    const std::string text = export_now();
    import_text(text);
    EXPECT_TRUE(host.messages.empty()) << host.messages[0];
    EXPECT_EQ(save_as("same.vpm"), read(file));
}

INSTANTIATE_TEST_SUITE_P(
    Families, RoundTrip,
    testing::Values(RoundTripCase{"nuvi_7x0", {}}, RoundTripCase{"nuvi_255w", test::plan_255w()},
                    RoundTripCase{
                        "phrases_holding_a_cr_or_an_lf",
                        test::with({},
                                   [](VoicePlan& p) {
                                       p.phrases = {"Turn left", "Turn\rright", "Arrived\n"};
                                   })}),
    test::row_name);

TEST_F(Program, import_applies_rate_volume_screen_name_and_changed_phrases) {
    open(write_voice("a.vpm", {}));
    std::string text = export_now();
    text.replace(text.find("Voice Rate:  45"), 15, "Voice Rate: 50");
    text.replace(text.find("Voice Volume:  80"), 17, "Voice Volume: 7");
    text.replace(text.find("Tom's voice"), 11, "New name");
    text.replace(text.find(" 2-Turn right"), 13, " 2-Turn right now");
    import_text(text);
    EXPECT_TRUE(host.messages.empty());
    const auto& s = form.voice()->settings;
    EXPECT_EQ(image_text(*s.rate_pos, 2), "50");
    EXPECT_EQ(form.voice_rate.caption(), " 50");
    EXPECT_EQ(image_text(s.vol_pos, 2), "07");
    EXPECT_EQ(form.voice_vol.caption(), " 7");
    EXPECT_EQ(form.screen_name.text(), "New name");
    EXPECT_EQ(form.List1.items()[1], " 2-Turn right now");
    EXPECT_EQ(form.List1.selected(), 1);
    EXPECT_EQ(form.List1.focus_requests(), 1u);
    EXPECT_EQ(form.form2(), nullptr);
}

TEST_F(Program, import_goes_on_after_a_phrase_without_room) {
    open(write_voice("a.vpm", {}));
    std::string text = export_now();
    text.replace(text.find(" 2-Turn right"), 13, " 2-" + std::string(3000, 'x'));
    text.replace(text.find(" 3-Arrived"), 10, " 3-Here");
    import_text(text);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{
                  "Sorry! Not enough bytes left in the buffer. Ignoring last change."});
    EXPECT_EQ(form.List1.items()[1], " 2-Turn right");
    EXPECT_EQ(form.List1.items()[2], " 3-Here");
}

TEST_F(Program, import_fault_keeps_what_was_applied_and_names_the_line) {
    open(write_voice("a.vpm", {}));
    std::string text = export_now();
    text.replace(text.find(" 3-Arrived"), 10, " 3-There\r\n 9-x");
    import_text(text);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(
        host.messages[0],
        "Incompatible/Invalid text file. Found an unexpected error at line  11:\r\nFound:  9-x\r\n"
        "Expected: index_number less or equal to  3\r\nAborting! You should reload your VPM "
        "file and import a compatible TXT file.");
    EXPECT_EQ(form.List1.items()[2], " 3-There");
}

TEST_F(Program, import_closes_an_open_modify_window_first) {
    open(write_voice("a.vpm", {}));
    form.List1.select(2);
    form.List1_DblClick();
    ASSERT_NE(form.form2(), nullptr);
    import_text(export_now());
    EXPECT_EQ(form.form2(), nullptr);
}

TEST_F(Program, import_without_a_voice_or_a_readable_file_is_refused) {
    form.Import_Click();
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(host.open_requests.empty());

    open(write_voice("a.vpm", {}));
    host.answers.push_back(path("missing.txt"));
    form.Import_Click();
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_NE(host.messages[1].find("missing.txt"), std::string::npos);
    EXPECT_EQ(host.open_requests.back().title, "Import Text...");
}

TEST_F(Program, rate_line_for_255w_sets_the_bar_and_writes_below_100) {
    open(write_voice("b.vpm", test::plan_255w()));
    std::string text = export_now();
    text.replace(text.find("Voice Rate:  100"), 16, "Voice Rate: 30");
    import_text(text);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(image_text(*form.voice()->settings.rate_pos, 2), "30");
}

// --- exit and about ---------------------------------------------------------------------------

TEST_F(Program, about_exists_once_and_exit_closes_every_window) {
    form.About_Click();
    form.About_Click();
    ASSERT_NE(form.about_form(), nullptr);
    EXPECT_EQ(form.about_form()->raise_requests(), 2u);
    EXPECT_EQ(form.about_form()->Label1.caption(), "Garmin Quorvel v2.51");
    form.Find_Click();
    form.Exit_Click();
    EXPECT_TRUE(form.closed());
    EXPECT_EQ(form.about_form(), nullptr);
    EXPECT_EQ(form.find_form(), nullptr);
}

// --- speech -----------------------------------------------------------------------------------

class Speaking : public Program {
  protected:
    test::ScriptedSpeech speech;
    Form1 speaking{host, speech};
    using Spoken = test::ScriptedSpeech::Spoken;

    void open_voice(const std::vector<std::string>& phrases) {
        VoicePlan plan;
        plan.phrases = phrases;
        host.answers.push_back(write_voice("speech.vpm", plan));
        speaking.Open_Click();
    }
    void speak(int t) {
        speaking.List1.select(t);
        speaking.Speak_Click();
    }
    void report_languages(const std::string& desktop = "en-gb") {
        speaking.speech_report(
            {speech::SpeechLanguages{{{"de", "German"}, {"en-gb", "English"}, {"fr", "French"}},
                                     desktop},
             ""});
    }
};

TEST_F(Speaking, speak_says_the_selected_phrase_text_in_utf8_never_its_number) {
    open_voice({"Unable",
                "Stra\xDF"
                "e \x80 5",
                "Turn left"});
    speaking.Speak_Click(); // nothing selected
    speak(1);
    EXPECT_EQ(speech.spoken, (std::vector<Spoken>{{"Stra\u00DFe \u20AC 5", ""}}));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(Speaking, phrase_without_speakable_text_speaks_nothing_and_says_nothing) {
    open_voice({"Unable", "...", " - ", "\x85"});
    for (int t = 1; t <= 3; ++t) {
        speak(t);
    }
    EXPECT_TRUE(speech.spoken.empty());
    EXPECT_EQ(speech.stops, 3); // what was being spoken ends
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(Speaking, modify_window_speaks_new_or_current_when_new_is_empty) {
    open_voice({"Unable", "Turn left", "Arrived"});
    report_languages();
    speaking.List1.select(1);
    speaking.List1_DblClick();
    Form2& modify = *speaking.form2();
    speaking.click(modify, &Form2::Speak_Click);
    modify.new_.type("Go left");
    speaking.click(modify, &Form2::Speak_Click);
    EXPECT_EQ(speech.spoken, (std::vector<Spoken>{{"Turn left", "en-gb"}, {"Go left", "en-gb"}}));
    EXPECT_NE(speaking.form2(), nullptr); // Speak leaves the window open
}

TEST_F(Speaking, unavailable_speech_says_why_once_at_the_first_speak_and_disables_speak) {
    open_voice({"Unable", "Turn left", "Arrived"});
    speaking.speech_report({std::nullopt, "no sound server. Install one."});
    EXPECT_TRUE(host.messages.empty());
    speak(1);
    speaking.List1_DblClick();
    speak(2);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"Speech is not available: no sound server. Install one."});
    EXPECT_TRUE(speech.spoken.empty());
    EXPECT_FALSE(speaking.Speak.enabled());
    EXPECT_FALSE(speaking.Stop.enabled());
    ASSERT_NE(speaking.form2(), nullptr);
    EXPECT_FALSE(speaking.form2()->Speak.enabled());
}

TEST_F(Speaking, failure_after_a_speak_is_shown_when_it_comes) {
    open_voice({"Unable", "Turn left"});
    speak(1);
    speaking.speech_report({std::nullopt, "no sound server."});
    speaking.speech_report({std::nullopt, "no sound server."});
    EXPECT_EQ(host.messages, std::vector<std::string>{"Speech is not available: no sound server."});
    EXPECT_FALSE(speaking.Speak.enabled());
}

TEST_F(Speaking, language_menu_lists_the_engine_and_a_choice_holds_until_automatic) {
    open_voice({"Unable", "Biegen Sie links ab", "Sie haben Ihr Ziel erreicht"});
    EXPECT_EQ(speaking.language_guess(), "de");
    EXPECT_EQ(speaking.Automatic.caption(), "Automatic");
    report_languages();
    EXPECT_EQ(speaking.Languages.items(),
              (std::vector<std::string>{"German", "English", "French"}));
    EXPECT_EQ(speaking.Automatic.caption(), "Automatic (German)");
    EXPECT_TRUE(speaking.Automatic.checked());
    EXPECT_EQ(speaking.Languages.checked(), -1);

    speaking.Languages_Click(2);
    speak(1);
    EXPECT_FALSE(speaking.Automatic.checked());
    EXPECT_EQ(speaking.Languages.checked(), 2);
    EXPECT_EQ(speaking.Automatic.caption(), "Automatic");
    speaking.Automatic_Click();
    speak(1);
    EXPECT_EQ(speech.spoken,
              (std::vector<Spoken>{{"Biegen Sie links ab", "fr"}, {"Biegen Sie links ab", "de"}}));
}

struct LanguageCase {
    const char* name;
    std::vector<std::string> phrases;
    std::string desktop;
    std::string spoken; // the engine's code Speak uses under Automatic
};

class AutomaticLanguage : public Speaking, public testing::WithParamInterface<LanguageCase> {};

TEST_P(AutomaticLanguage, speaks_the_guess_else_the_desktop_language_else_english) {
    open_voice(GetParam().phrases);
    report_languages(GetParam().desktop);
    EXPECT_EQ(speaking.speech_language(), GetParam().spoken);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutomaticLanguage,
    testing::Values(
        LanguageCase{"guess_matched_by_its_first_part",
                     {"x", "Turn left", "Keep right at the exit"},
                     "fr",
                     "en-gb"},
        LanguageCase{
            "unclear_guess_takes_the_desktop_language", {"x", "Hallo", "Bonjour"}, "fr-ca", "fr"},
        LanguageCase{
            "desktop_language_the_engine_lacks_takes_english", {"x", "1", "2"}, "ja", "en-gb"}),
    test::row_name);

TEST(Gesture, that_runs_out_of_memory_ends_with_a_message) {
    ScriptedHost host;
    EXPECT_TRUE(run_gesture(
        host, []() -> bool { throw std::bad_alloc(); }, true));
    EXPECT_EQ(host.messages, std::vector<std::string>{out_of_memory});
}

} // namespace
} // namespace quorvel::ui

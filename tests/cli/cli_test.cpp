// quorvel-cli run as a process on voice files from the builder. What it writes is compared
// with what the window writes through the program layer after the same steps.

#include "support/run_program.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_names.h"
#include "support/voice_builder.h"
#include "ui/forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace quorvel::cli {
namespace {

using test::PrintTo;

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using test::VoicePlan;

std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string replaced(std::string text, const std::string& token, const std::string& by) {
    for (auto at = text.find(token); at != std::string::npos; at = text.find(token, at)) {
        text.replace(at, token.size(), by);
        at += by.size();
    }
    return text;
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// The window, driven in this process through the program layer.
struct Window {
    test::ScriptedHost host;
    ui::Form1 form{host};

    explicit Window(const std::string& voice) { form.open_path(voice); }
    std::string export_to(const std::string& path) {
        host.answers.push_back(path);
        form.Export_Click();
        return read(path);
    }
    void import_from(const std::string& path) {
        host.answers.push_back(path);
        form.Import_Click();
    }
    std::string save_to(const std::string& path) {
        host.answers.push_back(path);
        form.Save_Click();
        return read(path);
    }
    void modify(int t, const std::string& text) { form.modify_phrase(t, text); }
};

class Cli : public testing::Test {
  protected:
    fs::path dir = test::fresh_temp_folder();

    void TearDown() override { fs::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }
    std::string write_voice(const VoicePlan& layout = {}, const std::string& name = "VOICE") {
        test::write_file(path(name), test::build_voice(layout).image);
        return path(name);
    }
    // Every file of the folder with its content.
    std::map<std::string, std::string> contents() const {
        std::map<std::string, std::string> all;
        for (const auto& entry : fs::directory_iterator(dir)) {
            all[entry.path().filename().string()] = read(entry.path().string());
        }
        return all;
    }
    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    // Runs quorvel-cli with `args`, each token VOICE, TEXT, OUT, FILE or LINK standing for the
    // file of that name in the test's folder; standard input from `input`, standard output
    // into `output` (kept as the outcome's `out` when not given).
    Outcome run(const Args& args, const std::string& input = test::null_device,
                const std::string& output = "") const {
        Args argv;
        for (const auto& arg : args) {
            const bool token =
                arg == "VOICE" || arg == "TEXT" || arg == "OUT" || arg == "FILE" || arg == "LINK";
            argv.push_back(token ? path(arg) : arg);
        }
        const int status = test::run_program(
            QUORVEL_CLI, argv, input, output.empty() ? path("stdout") : output, path("stderr"));
        Outcome result{status, read(path("stdout")), read(path("stderr"))};
        fs::remove(path("stdout"));
        fs::remove(path("stderr"));
        return result;
    }
};

TEST_F(Cli, version_is_the_program_version) {
    const Outcome r = run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("quorvel-cli ") + QUORVEL_VERSION + "\n");
}

TEST_F(Cli, every_command_has_help) {
    for (const char* command : {"info", "export", "import", "set", "speak", "languages"}) {
        const Outcome r = run({command, "--help"});
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_NE(r.out.find(std::string("Usage: quorvel-cli ") + command), std::string::npos);
    }
}

// --- usage errors and files that cannot be used: status 2, nothing written ------------------

struct UsageCase {
    const char* name;
    Args args;
    std::string message = {}; // what the message says, among other things
};

class UsageError : public Cli, public testing::WithParamInterface<UsageCase> {};

TEST_P(UsageError, exits_with_2_and_writes_nothing) {
    write_voice();
    write("TEXT", "");
#ifdef _WIN32
    if (std::count(GetParam().args.begin(), GetParam().args.end(), "LINK") != 0) {
        GTEST_SKIP() << "Windows: MinGW's standard library makes no symbolic links";
    }
#else
    fs::create_symlink("VOICE", path("LINK"));
#endif
    const auto before = contents();
    const Outcome r = run(GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err, "");
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    EXPECT_EQ(contents(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsageError,
    testing::Values(
        UsageCase{"no_command", {}},
        UsageCase{"unknown_command", {"infos", "VOICE"}, "unknown command 'infos'"},
        UsageCase{"extra_argument", {"info", "VOICE", "VOICE"}},
        UsageCase{"import_without_output", {"import", "VOICE", "TEXT"}},

        UsageCase{"rate_above_99", {"set", "VOICE", "-o", "OUT", "--rate", "100"}},
        UsageCase{"volume_below_0", {"set", "VOICE", "-o", "OUT", "--volume=-1"}},
        UsageCase{"rate_not_a_number",
                  {"set", "VOICE", "-o", "OUT", "--rate", "abc"},
                  "--rate: 'abc' is not a whole number from 0 to 99"},
        UsageCase{"rate_with_an_exponent",
                  {"set", "VOICE", "-o", "OUT", "--rate", "1e1"},
                  "--rate: '1e1' is not a whole number from 0 to 99"},
        UsageCase{"volume_with_a_fraction",
                  {"set", "VOICE", "-o", "OUT", "--volume", "5.0"},
                  "--volume: '5.0' is not a whole number from 0 to 99"},
        UsageCase{"argument_is_echoed_up_to_4096_characters",
                  {"info", "VOICE", std::string(5000, 'x')},
                  "not expected: " + std::string(4096, 'x') + "...\n"},
        UsageCase{"option_value_is_echoed_up_to_4096_characters",
                  {"set", "VOICE", "-o", "OUT", "--rate=" + std::string(5000, '7')},
                  "'" + std::string(4096, '7') + "...' is not"},
        UsageCase{"phrase_value_is_echoed_up_to_4096_characters",
                  {"set", "VOICE", "-o", "OUT", "--phrase=" + std::string(5000, 'p')},
                  "on: " + std::string(4096, 'p') + "...\n"},
        UsageCase{"unknown_command_is_echoed_up_to_4096_characters",
                  {std::string(5000, 'i')},
                  "unknown command '" + std::string(4096, 'i') + "...'"},
        UsageCase{"empty_output_name", {"set", "VOICE", "-o", ""}},
        UsageCase{"empty_text_file_name", {"export", "VOICE", ""}},
        UsageCase{"text_over_the_voice_being_read", {"export", "VOICE", "VOICE"}},
        UsageCase{"text_over_a_link_to_the_voice_being_read", {"export", "VOICE", "LINK"}},
        UsageCase{"voice_over_the_text_being_read", {"import", "VOICE", "TEXT", "-o", "TEXT"}},
        UsageCase{"phrase_without_equals", {"set", "VOICE", "-o", "OUT", "--phrase", "2 Go"}},
        UsageCase{"phrase_zero", {"set", "VOICE", "-o", "OUT", "--phrase", "0=Go"}},
        UsageCase{"phrase_of_two_lines", {"set", "VOICE", "-o", "OUT", "--phrase", "2=Go\nleft"}},
        UsageCase{"screen_name_of_two_lines",
                  {"set", "VOICE", "-o", "OUT", "--screen-name", "Tom\r\nJill"}},
        UsageCase{"speak_without_output", {"speak", "VOICE", "2"}},
        UsageCase{"speak_phrase_zero", {"speak", "VOICE", "0", "-o", "OUT"}},
        UsageCase{"speak_phrase_beyond_the_list",
                  {"speak", "VOICE", "4", "-o", "OUT"},
                  "There is no phrase 4: the voice file has 3 phrases.\n"}),
    test::row_name);

// Makes FILE, given its path.
using MakeFile = std::function<void(const std::string&)>;

struct UnusableCase {
    const char* name;
    Args args;
    MakeFile make;
    std::string message; // FILE stands for its path
};

const MakeFile no_file = [](const std::string&) {};
MakeFile holding(const std::string& content) {
    return [content](const std::string& p) { std::ofstream(p, std::ios::binary) << content; };
}

class UnusableFile : public Cli, public testing::WithParamInterface<UnusableCase> {};

TEST_P(UnusableFile, is_reported_with_status_2) {
    const auto& c = GetParam();
    write_voice();
    c.make(path("FILE"));
    if (IsSkipped()) {
        return;
    }
    const Outcome r = run(c.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, replaced(c.message, "FILE", path("FILE")));
    EXPECT_FALSE(fs::exists(path("OUT")));
}

void make_fifo(const std::string& p) {
#ifdef _WIN32
    (void)p;
    GTEST_SKIP() << "Windows: a file name cannot be a pipe";
#else
    ::mkfifo(p.c_str(), 0600);
#endif
}

const std::string not_a_voice_file =
    "Selected file is not a valid Garmin VPM Text To Speech file\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, UnusableFile,
    testing::Values(
        UnusableCase{"missing_voice_file",
                     {"info", "FILE"},
                     no_file,
                     "The file \"FILE\" cannot be opened: No such file or directory\n"},
        UnusableCase{"voice_file_is_a_folder",
                     {"info", "FILE"},
                     [](const std::string& p) { fs::create_directory(p); },
                     "The file \"FILE\" cannot be opened: It is a folder, not a file.\n"},
        UnusableCase{"not_a_voice_file", {"export", "FILE", "OUT"}, holding("x"), not_a_voice_file},
        UnusableCase{"voice_file_without_settings",
                     {"set", "FILE", "-o", "OUT"},
                     holding(std::string(16, ' ') + "DSKIMG" + std::string(300, ' ')),
                     not_a_voice_file +
                         "The settings block number (\"DLLINFO\") could not be found.\n"},
        UnusableCase{"missing_text_file",
                     {"import", "VOICE", "FILE", "-o", "OUT"},
                     no_file,
                     "The text file \"FILE\" cannot be read: No such file or directory\n"},
        UnusableCase{"text_file_is_a_fifo_and_is_not_waited_for",
                     {"import", "VOICE", "FILE", "-o", "OUT"},
                     make_fifo,
                     "The text file \"FILE\" cannot be read: It is not a regular file (a pipe, "
                     "socket or device).\n"},
        UnusableCase{"text_file_over_64_mib",
                     {"import", "VOICE", "FILE", "-o", "OUT"},
                     [](const std::string& p) {
                         std::ofstream(p).close();
                         fs::resize_file(p, (64u << 20) + 1); // sparse: nothing to write
                     },
                     "The text file \"FILE\" cannot be read: The file is larger than 64 MiB; the "
                     "text of a voice file is far smaller.\n"}),
    test::row_name);

// --- info and export --------------------------------------------------------------------------

TEST_F(Cli, info_shows_the_settings_in_utf8_and_the_phrases_on_request) {
    VoicePlan layout;
    layout.screen_name = "Caf\xE9";
    layout.screen_name_width = 12;
    layout.rate_digits = "07";
    layout.phrases[2] = "\"Go\"\\\t";
    const std::string voice = write_voice(layout);
    const std::string left = Window(voice).form.char_left.caption();
    const std::string summary = "Family:       Nuvi 7x0/3x0 TTS\n"
                                "Voice name:   Tom\n"
                                "Screen name:  Caf\u00E9 (field of 12 characters)\n"
                                "Rate:         7\n"
                                "Volume:       80\n"
                                "Phrases:      3\n"
                                "Bytes left:   " +
                                left +
                                "\n"
                                "Language:     en\n";
    EXPECT_EQ(run({"info", "VOICE"}).out, summary);
    const Outcome r = run({"info", "VOICE", "--phrases"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, summary + "\n 1-Turn left\n 2-Turn right\n 3-\"Go\"\\\t\n");
    EXPECT_EQ(
        run({"info", "VOICE", "--json", "--phrases"}).out,
        "{\"family\":\"Nuvi 7x0/3x0 TTS\",\"voice_name\":\"Tom\",\"screen_name\":\"Caf\u00E9\","
        "\"field_width\":12,\"rate\":7,\"volume\":80,\"phrase_count\":3,\"bytes_left\":" +
            left +
            ",\"language\":\"en\",\"phrases\":[\"Turn left\",\"Turn "
            "right\",\"\\\"Go\\\"\\\\\\u0009\"]}\n");
}

struct InfoCase {
    const char* name;
    VoicePlan layout;
    Args lines;       // among the lines info prints
    std::string json; // a part of what info --json prints
};

class Info : public Cli, public testing::WithParamInterface<InfoCase> {};

TEST_P(Info, shows_the_voice_in_lines_and_in_json) {
    write_voice(GetParam().layout);
    const Outcome r = run({"info", "VOICE"});
    EXPECT_EQ(r.status, 0);
    for (const auto& line : GetParam().lines) {
        EXPECT_NE(r.out.find(line + "\n"), std::string::npos) << r.out;
    }
    EXPECT_NE(run({"info", "VOICE", "--json"}).out.find(GetParam().json), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Cases, Info,
                         testing::Values(InfoCase{"fixed_rate_of_a_255w_voice",
                                                  test::plan_255w(),
                                                  {"Family:       Nuvi 255W/260 TTS",
                                                   "Rate:         100 (fixed)"},
                                                  ",\"rate\":null,"},
                                         InfoCase{"screen_name_field_of_one_character",
                                                  test::with({},
                                                             [](auto& s) {
                                                                 s.screen_name = "T";
                                                                 s.screen_name_width = 1;
                                                             }),
                                                  {"Screen name:  T (field of 1 character)"},
                                                  ",\"field_width\":1,"}),
                         test::row_name);

struct FamilyCase {
    const char* name;
    VoicePlan layout;
};

class Export : public Cli, public testing::WithParamInterface<FamilyCase> {};

TEST_P(Export, writes_what_the_window_exports_to_a_file_or_standard_output) {
    VoicePlan layout = GetParam().layout;
    layout.phrases[1] = "Caf\xE9 ahead";
    const std::string voice = write_voice(layout);
    const std::string window = Window(voice).export_to(path("window.txt"));

    const Outcome to_file = run({"export", "VOICE", "OUT"});
    EXPECT_EQ(to_file.status, 0);
    EXPECT_EQ(to_file.err, "");
    EXPECT_EQ(read(path("OUT")), window);

    const Outcome to_stdout = run({"export", "VOICE", "-"});
    EXPECT_EQ(to_stdout.status, 0);
    EXPECT_EQ(to_stdout.out, window);
    EXPECT_EQ(files(), (std::set<std::string>{"VOICE", "window.txt", "OUT"}));
}

INSTANTIATE_TEST_SUITE_P(Families, Export,
                         testing::Values(FamilyCase{"nuvi_7x0", {}},
                                         FamilyCase{"nuvi_255w", test::plan_255w()}),
                         test::row_name);

// --- import -----------------------------------------------------------------------------------

TEST_F(Cli, import_of_an_edited_export_changes_exactly_the_edit) {
    VoicePlan layout;
    layout.phrases = {"Unable to locate", "Turn left", "Turn right", "Arrived"};
    const test::BuiltVoice built = test::build_voice(layout);
    test::write_file(path("VOICE"), built.image);
    ASSERT_EQ(run({"export", "VOICE", "TEXT"}).status, 0);
    const std::string edited = replaced(read(path("TEXT")), " 3-Turn right", " 3-Go right");
    write("TEXT", edited);

    const Outcome r = run({"import", "VOICE", "TEXT", "-o", "OUT"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(run({"export", "OUT", "-"}).out, edited);

    const std::string original = read(path("VOICE"));
    const std::string imported = read(path("OUT"));
    ASSERT_EQ(imported.size(), original.size());
    // Only the bytes of phrase 3, "Turn right" and its NUL, may differ.
    const auto phrase = static_cast<std::size_t>(built.phrase_pos[2]);
    for (std::size_t i = 0; i < original.size(); ++i) {
        if (i < phrase || i > phrase + std::string("Turn right").size()) {
            ASSERT_EQ(imported[i], original[i]) << "byte " << i;
        }
    }
    Window window(path("VOICE"));
    window.import_from(path("TEXT"));
    EXPECT_EQ(imported, window.save_to(path("window.vpm")));
}

struct FailedImportCase {
    const char* name;
    std::string from; // replaced in the export by `to`
    std::string to;
    std::string message;
};

class FailedImport : public Cli, public testing::WithParamInterface<FailedImportCase> {};

TEST_P(FailedImport, writes_nothing_and_exits_with_1) {
    const auto& c = GetParam();
    write_voice();
    run({"export", "VOICE", "TEXT"});
    write("TEXT", replaced(read(path("TEXT")), c.from, c.to));
    const Outcome r = run({"import", "VOICE", "TEXT", "-o", "OUT"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, replaced(c.message, "TEXT", path("TEXT")));
    EXPECT_FALSE(fs::exists(path("OUT")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedImport,
    testing::Values(
        FailedImportCase{"faulty_line", "Voice Name: Tom", "Voice Name: Tim",
                         "Incompatible/Invalid text file. Found an unexpected error at line  2:\n"
                         "Found: Tim\nExpected: Tom\nAborting! You should reload your VPM file "
                         "and import a compatible TXT file.\n"},
        FailedImportCase{"phrase_without_room", " 2-Turn right", " 2-" + std::string(3000, 'x'),
                         "Sorry! Not enough bytes left in the buffer. Ignoring last change.\n"},
        FailedImportCase{"nul_in_a_phrase", " 2-Turn right", std::string(" 2-Turn\0right", 13),
                         "The new text holds a NUL byte, which would end the phrase there and "
                         "hide the rest in the voice file. Nothing was changed.\n"},
        FailedImportCase{"character_outside_the_code_page", " 3-Arrived", " 3-\u4E2D",
                         "The text file \"TEXT\" holds at line 10 the character U+4E2D, which a "
                         "voice file cannot store. Nothing was imported.\n"},
        FailedImportCase{"screen_name_holding_a_field_end", "Screen Name: Tom's voice",
                         "Screen Name: Tom<voice_volume>33",
                         "The screen name holds \"<\", which would end its field in the voice "
                         "file. Nothing was saved.\n"}),
    test::row_name);

// --- set --------------------------------------------------------------------------------------

TEST_F(Cli, set_applies_each_change_in_order_as_the_window_does) {
    const std::string voice = write_voice();
    const Outcome r =
        run({"set", "VOICE", "-o", "OUT", "--phrase", "2=Go", "--rate", "010", "--phrase",
             "3=Caf\u00E9", "--volume", "33", "--screen-name", "Ann", "--phrase", "2=Went"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");

    Window window(voice);
    window.form.HScroll1.set_value(10); // decimal, not octal
    window.form.HScroll2.set_value(33);
    window.form.screen_name.set_text("Ann");
    window.modify(1, "Go");
    window.modify(2, "Caf\xE9");
    window.modify(1, "Went");
    EXPECT_EQ(read(path("OUT")), window.save_to(path("window.vpm")));
    EXPECT_NE(read(path("OUT")), read(voice));
}

struct RefusalCase {
    const char* name;
    VoicePlan layout;
    Args changes;
    std::string message;
    std::string output = "OUT"; // "-": standard output
};

class SetRefusal : public Cli, public testing::WithParamInterface<RefusalCase> {};

TEST_P(SetRefusal, writes_nothing_and_exits_with_1) {
    const auto& c = GetParam();
    write_voice(c.layout);
    Args args = {"set", "VOICE", "-o", c.output};
    args.insert(args.end(), c.changes.begin(), c.changes.end());
    const Outcome r = run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.message);
    EXPECT_FALSE(fs::exists(path("OUT")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetRefusal,
    testing::Values(
        RefusalCase{"rate_of_a_255w_voice",
                    test::plan_255w(),
                    {"--rate", "50"},
                    "The rate of a Nuvi 255W/260 TTS voice file is fixed.\n"},
        RefusalCase{"screen_name_longer_than_its_field",
                    {},
                    {"--screen-name", std::string(21, 'a')},
                    "The screen name \"" + std::string(21, 'a') +
                        "\" is longer than its field of 20 characters.\n"},
        RefusalCase{"screen_name_outside_the_code_page",
                    {},
                    {"--screen-name", "\u4E2D"},
                    "The screen name holds the character U+4E2D, which a voice file cannot "
                    "store. Nothing was changed.\n"},
        RefusalCase{"screen_name_holding_a_field_end",
                    {},
                    {"--screen-name", "a<b"},
                    "The screen name holds \"<\", which would end its field in the voice file. "
                    "Nothing was saved.\n"},
        RefusalCase{"screen_name_outside_the_code_page_to_standard_output",
                    {},
                    {"--screen-name", "\u4E2D"},
                    "The screen name holds the character U+4E2D, which a voice file cannot "
                    "store. Nothing was changed.\n",
                    "-"},
        RefusalCase{"screen_name_holding_a_field_end_to_standard_output",
                    {},
                    {"--screen-name", "a<b"},
                    "The screen name holds \"<\", which would end its field in the voice file. "
                    "Nothing was saved.\n",
                    "-"},
        RefusalCase{"phrase_one",
                    {},
                    {"--phrase", "2=Go", "--phrase", "1=Go"},
                    "Sorry! You can't modify string 1 in this release.\n"},
        RefusalCase{"phrase_beyond_the_list",
                    {},
                    {"--phrase", "4=Go"},
                    "There is no phrase 4: the voice file has 3 phrases.\n"},
        RefusalCase{"phrase_without_room",
                    {},
                    {"--phrase", "2=" + std::string(3000, 'x')},
                    "Sorry! Not enough bytes left in the buffer. Ignoring last change.\n"},
        RefusalCase{"phrase_outside_the_code_page",
                    {},
                    {"--phrase", "2=\u4E2D"},
                    "The new text holds the character U+4E2D, which a voice file cannot store. "
                    "Nothing was changed.\n"}),
    test::row_name);

TEST_F(Cli, output_onto_the_input_replaces_it) {
    const std::string voice = write_voice();
    run({"export", "VOICE", "TEXT"});
    write("TEXT", replaced(read(path("TEXT")), " 2-Turn right", " 2-Go right"));
    Window window(voice);
    window.import_from(path("TEXT"));
    window.form.HScroll2.set_value(12);
    const std::string expected = window.save_to(path("window.vpm"));

    EXPECT_EQ(run({"import", "VOICE", "TEXT", "-o", "VOICE"}).status, 0);
    EXPECT_EQ(run({"set", "VOICE", "-o", "VOICE", "--volume", "12"}).status, 0);
    EXPECT_EQ(read(voice), expected);
    EXPECT_EQ(files(), (std::set<std::string>{"VOICE", "TEXT", "window.vpm"}));
}

TEST_F(Cli, dash_is_standard_input_for_the_text_and_standard_output_for_the_image) {
    const std::string voice = write_voice();
    run({"export", "VOICE", "TEXT"});
    write("TEXT", replaced(read(path("TEXT")), " 2-Turn right", " 2-Go right"));
    Window window(voice);
    window.import_from(path("TEXT"));
    const std::string expected = window.save_to(path("window.vpm"));

    EXPECT_EQ(run({"import", "VOICE", "-", "-o", "OUT"}, path("TEXT")).status, 0);
    EXPECT_EQ(read(path("OUT")), expected);
    const Outcome to_stdout = run({"import", "VOICE", "TEXT", "-o", "-"});
    EXPECT_EQ(to_stdout.status, 0);
    EXPECT_EQ(to_stdout.out, expected);
    EXPECT_EQ(to_stdout.err, "");
    const Outcome refused = run({"set", "VOICE", "-o", "-", "--phrase", "4=Go"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "There is no phrase 4: the voice file has 3 phrases.\n");
    EXPECT_EQ(files(), (std::set<std::string>{"VOICE", "TEXT", "OUT", "window.vpm"}));
}

// --- speak and languages ----------------------------------------------------------------------

#ifdef _WIN32
// Wine's SAPI makes no sound (it answers E_NOTIMPL): what a system without speech shows.
TEST_F(Cli, speak_without_a_working_engine_says_why_and_writes_nothing) {
    write_voice();
    const Outcome r = run({"speak", "VOICE", "2", "-o", "OUT"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("Speech is not available: ", 0), 0u) << r.err;
    EXPECT_FALSE(fs::exists(path("OUT")));
}
#else
TEST_F(Cli, speak_writes_the_phrase_in_the_guessed_language_to_a_file_or_standard_output) {
    write_voice();
    const Outcome to_file = run({"speak", "VOICE", "2", "-o", "OUT"});
    EXPECT_EQ(to_file.status, 0);
    EXPECT_EQ(to_file.err, "");
    const std::string wav = read(path("OUT"));
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_GT(wav.size(), 22050u); // half a second at least
    // English, as the voice's phrases are: the same sound, made again in another process.
    const Outcome english = run({"speak", "VOICE", "2", "-o", "-", "--language", "en-us"});
    EXPECT_EQ(english.status, 0);
    EXPECT_TRUE(english.out == wav);
    EXPECT_TRUE(run({"speak", "VOICE", "2", "-o", "-", "--language", "de"}).out != wav);
}

TEST_F(Cli, speak_in_a_language_the_engine_lacks_is_refused) {
    write_voice();
    const Outcome r = run({"speak", "VOICE", "2", "-o", "OUT", "--language", "xx"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "There is no language \"xx\": quorvel-cli languages lists the codes.\n");
    EXPECT_FALSE(fs::exists(path("OUT")));
}

TEST_F(Cli, languages_lists_codes_and_names) {
    const Outcome r = run({"languages"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\nde\tGerman\n"), std::string::npos);
}

TEST_F(Cli, engine_without_its_data_says_what_to_install) {
    write_voice();
    ::setenv("ESPEAK_DATA_PATH", dir.c_str(), 1);
    const Outcome r = run({"speak", "VOICE", "2", "-o", "OUT"});
    ::unsetenv("ESPEAK_DATA_PATH");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("Speech is not available: the speech engine espeak-ng cannot start (", 0),
              0u)
        << r.err;
    EXPECT_NE(r.err.find("Install the package espeak-ng-data.\n"), std::string::npos);
}
#endif

TEST_F(Cli, a_write_error_on_standard_output_exits_with_1) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows: there is no full device to write into";
#endif
    write_voice();
    const Outcome r = run({"info", "VOICE"}, test::null_device, "/dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Standard output could not be written: No space left on device.\n");
}

} // namespace
} // namespace quorvel::cli

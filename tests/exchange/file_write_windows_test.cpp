// The one writer on Windows, over every kind of target: each row makes a target in a fresh
// folder, saves over it, and names the outcome. The folder's names, files and contents are
// compared before and after, so a row also shows that nothing else changed and nothing was
// left behind.

#include "exchange/file_write.h"

#include "common/file_path.h"
#include "exchange/console_cleanup.h"
#include "support/temp_folder.h"
#include "support/test_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>
#include <tuple>
#include <vector>

#include <windows.h>

namespace quorvel {
namespace {

using test::PrintTo;
namespace fs = std::filesystem;

std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void write(const fs::path& p, const std::string& s) {
    std::ofstream(p, std::ios::binary) << s;
}

// What the tests compare of one folder entry: which file it names, and what it holds.
struct Entry {
    unsigned long long file = 0; // the file's index on its volume
    std::string content;
    bool operator==(const Entry& o) const {
        return std::tie(file, content) == std::tie(o.file, o.content);
    }
};
using Folder = std::map<std::string, Entry>;

void PrintTo(const Entry& e, std::ostream* os) {
    *os << "file " << e.file << ", " << e.content.size() << " bytes \"" << e.content.substr(0, 16)
        << "\"";
}

unsigned long long file_index(const fs::path& p) {
    const HANDLE h =
        ::CreateFileW(p.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    ::GetFileInformationByHandle(h, &info);
    ::CloseHandle(h);
    return (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}

Folder snapshot(const fs::path& dir) {
    Folder folder;
    for (const auto& item : fs::directory_iterator(dir)) {
        folder[utf8_path(item.path().filename())] = {
            file_index(item.path()), fs::is_directory(item) ? "<folder>" : read(item.path())};
    }
    return folder;
}

void link(const fs::path& from, const fs::path& to) {
    ::CreateHardLinkW(from.c_str(), to.c_str(), nullptr);
}

struct Place {
    fs::path dir;
    HANDLE held = INVALID_HANDLE_VALUE; // a file another program has open, closed after the save
    fs::path file(const std::string& utf8_name) const {
        const fs::path p = dir / file_path(utf8_name);
        std::ofstream(p, std::ios::binary) << "old content";
        return p;
    }
};

struct TargetCase {
    const char* name;
    std::function<fs::path(Place&)> make; // the path the save is given
    std::string refusal = {};             // the start of a refusal's message; empty: saved
    DWORD attributes_kept = 0;            // attributes the saved file still has
    bool in_place = false;                // the file is overwritten, not replaced
};

class SaveTarget : public test::RowInFreshFolder<TargetCase> {};

TEST_P(SaveTarget, has_its_outcome) {
    const TargetCase& c = GetParam();
    Place place{dir};
    const fs::path target = c.make(place);
    auto expected = snapshot(dir);
    const std::string bytes = "new content, longer than the old one";

    const auto saved = write_file_atomically(utf8_path(target), bytes);

    if (place.held != INVALID_HANDLE_VALUE) {
        ::CloseHandle(place.held);
    }
    const Folder after = snapshot(dir);
    if (c.refusal.empty()) {
        ASSERT_TRUE(saved) << saved.message();
        const std::string name = utf8_path(target.filename());
        if (const auto old = expected.find(name); old != expected.end()) {
            for (auto& [other, entry] : expected) {
                if (entry.file == old->second.file) {
                    entry.content = bytes; // every name of the file sees the new content
                }
            }
        }
        if (!c.in_place) {
            expected[name] = {after.count(name) ? after.at(name).file : 0, bytes};
        }
        EXPECT_EQ(::GetFileAttributesW(target.c_str()) & c.attributes_kept, c.attributes_kept);
    } else {
        ASSERT_FALSE(saved) << "saved";
        EXPECT_EQ(saved.message().substr(0, c.refusal.size()), c.refusal) << saved.message();
    }
    EXPECT_EQ(after, expected);
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

fs::path hard_linked(Place& p, const std::string& name) {
    const fs::path f = p.file(name);
    link(p.dir / "other name", f);
    return f;
}

fs::path with_attributes(Place& p, DWORD attributes) {
    const fs::path f = p.file("v.vpm");
    ::SetFileAttributesW(f.c_str(), attributes);
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Targets, SaveTarget,
    testing::Values(
        TargetCase{"plain_file", [](Place& p) { return p.file("v.vpm"); }},
        TargetCase{"new_file", [](Place& p) { return p.dir / "new.vpm"; }},
        TargetCase{"name_beyond_the_code_page",
                   [](Place& p) { return p.file("\xD0\x96 \xE4\xB8\xAD \xC3\x9C.vpm"); }},
        TargetCase{"new_name_beyond_the_code_page",
                   [](Place& p) { return p.dir / file_path("\xD0\x96 \xE4\xB8\xAD.vpm"); }},
        TargetCase{"hidden_attribute_is_kept",
                   [](Place& p) { return with_attributes(p, FILE_ATTRIBUTE_HIDDEN); },
                   {},
                   FILE_ATTRIBUTE_HIDDEN},
        TargetCase{"read_only_attribute",
                   [](Place& p) { return with_attributes(p, FILE_ATTRIBUTE_READONLY); },
                   "The file is read-only."},
        TargetCase{"file_another_program_holds_open",
                   [](Place& p) {
                       const fs::path f = p.file("v.vpm");
                       p.held = ::CreateFileW(f.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
                       return f;
                   },
                   "Another program has the file open: "},
        TargetCase{"folder",
                   [](Place& p) {
                       fs::create_directory(p.dir / "sub");
                       return p.dir / "sub";
                   },
                   "It is a folder, not a file."},
        TargetCase{"missing_folder", [](Place& p) { return p.dir / "none" / "v.vpm"; },
                   "Its folder does not exist."},
        TargetCase{"hard_link", [](Place& p) { return hard_linked(p, "v.vpm"); }, {}, 0, true},
        TargetCase{"hard_link_beside_an_earlier_copy",
                   [](Place& p) {
                       p.file(".v.vpm.saving"); // another save's: it stays
                       return hard_linked(p, "v.vpm");
                   },
                   {},
                   0,
                   true},
        TargetCase{"hard_link_with_the_longest_name",
                   [](Place& p) { return hard_linked(p, std::string(251, 'n') + ".vpm"); },
                   {},
                   0,
                   true}),
    test::row_name);

// --- console events ---------------------------------------------------------------------------

// A console event (Ctrl+C, Ctrl+Break, the console closed, logging off, shutting down) during
// a save of 4 MiB: the handler runs on a thread of its own, as the system runs it, at moments
// spread over the time one save takes. It removes the save's temporary file or copy, or waits
// for the rename under way. Here the process goes on, where the system's own handler would
// end it, so the save reports what happened: it failed and the file holds the old content, or
// it saved and the file holds the new. The folder holds nothing else either way.
struct EventCase {
    const char* name;
    DWORD event;
    bool hard_link; // the save writes in place
};

class ConsoleEvent : public test::RowInFreshFolder<EventCase> {};

TEST_P(ConsoleEvent, leaves_the_file_whole_and_nothing_else) {
    const EventCase& c = GetParam();
    constexpr std::size_t size = 4u << 20;
    constexpr int moments = 8;
    const fs::path target = dir / "voice.vpm";
    write(target, std::string(size, 'a'));
    std::vector<std::string> names = {"voice.vpm"};
    if (c.hard_link) {
        link(dir / "other name", target);
        names.insert(names.begin(), "other name");
    }

    // How long one save takes here.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(write_file_atomically(utf8_path(target), std::string(size, 'a')));
    const auto one_save = std::chrono::steady_clock::now() - start;

    int stopped = 0;
    int saved = 0;
    for (int k = 0; k < moments; ++k) {
        const char previous = read(target).at(0);
        const char fill = static_cast<char>('b' + k);
        BOOL kept = TRUE;
        std::thread event([&] {
            std::this_thread::sleep_for(one_save * k * 6 / (moments * 5));
            kept = ConsoleCleanup::handler(c.event);
        });
        const auto result = write_file_atomically(utf8_path(target), std::string(size, fill));
        event.join();

        EXPECT_FALSE(kept) << "moment " << k << ": the handler did not hand the event on";
        const std::string now = read(target);
        const bool whole = now.size() == size &&
                           std::all_of(now.begin(), now.end(), [&](char b) { return b == now[0]; });
        ASSERT_TRUE(whole) << "moment " << k << ": the file is not whole";
        EXPECT_EQ(now[0], result ? fill : previous) << "moment " << k << ": " << result.message();
        (result ? saved : stopped) += 1;
        std::vector<std::string> left;
        for (const auto& item : fs::directory_iterator(dir)) {
            left.push_back(utf8_path(item.path().filename()));
        }
        std::sort(left.begin(), left.end());
        ASSERT_EQ(left, names) << "moment " << k;
        if (c.hard_link) {
            EXPECT_EQ(read(dir / "other name"), now) << "moment " << k;
        }
    }
    std::cout << "[ events   ] " << moments << " x " << c.name << " during a 4 MiB save (one save "
              << std::chrono::duration_cast<std::chrono::milliseconds>(one_save).count()
              << " ms): stopped " << stopped << ", saved " << saved << "\n";
    RecordProperty("stopped", stopped);
    RecordProperty("saved", saved);
}

INSTANTIATE_TEST_SUITE_P(Events, ConsoleEvent,
                         testing::Values(EventCase{"ctrl_c", CTRL_C_EVENT, false},
                                         EventCase{"ctrl_break_in_place", CTRL_BREAK_EVENT, true},
                                         EventCase{"close", CTRL_CLOSE_EVENT, false},
                                         EventCase{"logoff_in_place", CTRL_LOGOFF_EVENT, true},
                                         EventCase{"shutdown", CTRL_SHUTDOWN_EVENT, false}),
                         test::row_name);

// While the writer holds the file for a rename, the handler waits; then it finds nothing armed,
// and the renamed file stays.
TEST(ConsoleCleanup, keeps_the_handler_waiting_for_a_rename) {
    const fs::path dir = test::fresh_temp_folder();
    write(dir / "temporary", "new content");
    ConsoleCleanup cleanup;
    cleanup.arm(dir / "temporary");
    std::atomic<bool> handled = false;
    std::thread event;
    {
        const ConsoleCleanup::Hold held;
        event = std::thread([&] {
            ConsoleCleanup::handler(CTRL_C_EVENT);
            handled = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(handled) << "the handler did not wait";
        EXPECT_TRUE(::MoveFileExW((dir / "temporary").c_str(), (dir / "renamed").c_str(), 0));
        cleanup.disarm();
    }
    event.join();
    EXPECT_EQ(read(dir / "renamed"), "new content");
    fs::remove_all(dir);
}

// Installed before any save arms, so below the writer's handler: while a test sends this
// process a console event, it counts the event and keeps the process running.
std::atomic<bool> awaiting_event = false;
std::atomic<int> events_kept = 0;
BOOL WINAPI keep_running(DWORD) {
    if (!awaiting_event) {
        return FALSE;
    }
    ++events_kept;
    return TRUE;
}
[[maybe_unused]] const BOOL keeps_running = ::SetConsoleCtrlHandler(keep_running, TRUE);

// Sends Ctrl+C to this process's console, after giving it one of its own when it has none to
// send it to (as under ctest): true when sent.
bool send_ctrl_c() {
    ::SetConsoleCtrlHandler(nullptr, FALSE); // Ctrl+C not ignored, whatever the parent said
    if (::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) {
        return true;
    }
    ::FreeConsole();
    return ::AllocConsole() && ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
}

// A real Ctrl+C, sent by the system, reaches the handler the first arm installed: the armed
// file goes. (Wine sends no Ctrl+Break to a whole console.)
TEST(ConsoleCleanup, removes_the_armed_file_on_a_real_ctrl_c) {
    const fs::path dir = test::fresh_temp_folder();
    write(dir / "temporary", "new content");
    ConsoleCleanup cleanup;
    cleanup.arm(dir / "temporary");
    events_kept = 0;
    awaiting_event = true;
    ASSERT_TRUE(send_ctrl_c());
    const auto start = std::chrono::steady_clock::now();
    while (events_kept == 0 &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    awaiting_event = false;
    ASSERT_EQ(events_kept, 1) << "the event did not come within 10 s";
    EXPECT_FALSE(cleanup.armed());
    EXPECT_FALSE(fs::exists(dir / "temporary"));
    fs::remove_all(dir);
}

} // namespace
} // namespace quorvel

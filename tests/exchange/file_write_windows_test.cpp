// The one writer on Windows, over every kind of target: each row makes a target in a fresh
// folder, saves over it, and names the outcome. The folder's names, files and contents are
// compared before and after, so a row also shows that nothing else changed and nothing was
// left behind.

#include "exchange/file_write.h"

#include "common/file_path.h"
#include "support/temp_folder.h"
#include "support/test_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <tuple>

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

class SaveTarget : public testing::TestWithParam<TargetCase> {
  protected:
    fs::path dir = test::fresh_temp_folder();
    void TearDown() override { fs::remove_all(dir); }
};

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

} // namespace
} // namespace quorvel

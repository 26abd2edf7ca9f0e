// The one writer over every kind of target: each row makes a target in a fresh folder, saves
// over it, and names the outcome. The whole folder is compared before and after, so a row
// also shows that nothing else changed and nothing was left behind.

#include "exchange/file_write.h"

#include "support/temp_folder.h"
#include "support/test_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <thread>
#include <tuple>

#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace quorvel {
namespace {

using test::PrintTo;
namespace fs = std::filesystem;

bool is_root() {
    return ::geteuid() == 0;
}
constexpr uid_t nobody = 65534;
constexpr uid_t stranger = 12345; // owns nothing here: a user the tests give files to

std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
void write(const fs::path& p, const std::string& s) {
    std::ofstream(p, std::ios::binary) << s;
}

// What the tests compare of one folder entry.
struct Entry {
    char type = '?'; // f file, d folder, l link, p FIFO, s socket, c device
    ino_t ino = 0;
    mode_t mode = 0;
    uid_t uid = 0;
    gid_t gid = 0;
    nlink_t links = 0;
    std::map<std::string, std::string> attributes;
    std::string content; // of a file; a link's text
    auto tie() const { return std::tie(type, ino, mode, uid, gid, links, attributes, content); }
    bool operator==(const Entry& o) const { return tie() == o.tie(); }
};
using Folder = std::map<std::string, Entry>;

void PrintTo(const Entry& e, std::ostream* os) {
    *os << e.type << " ino " << e.ino << " mode " << std::oct << e.mode << std::dec << " " << e.uid
        << ":" << e.gid << " links " << e.links << " attrs " << e.attributes.size() << " content "
        << e.content.size() << " bytes \"" << e.content.substr(0, 16) << "\"";
}

std::map<std::string, std::string> attributes(const fs::path& p) {
    std::map<std::string, std::string> out;
    char names[4096];
    const ssize_t size = ::llistxattr(p.c_str(), names, sizeof names);
    for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
        char value[4096];
        const ssize_t n = ::lgetxattr(p.c_str(), names + at, value, sizeof value);
        out[names + at] = std::string(value, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    }
    return out;
}

Folder snapshot(const fs::path& dir) {
    Folder folder;
    for (const auto& item : fs::directory_iterator(dir)) {
        struct stat st {};
        ::lstat(item.path().c_str(), &st);
        Entry e{S_ISREG(st.st_mode)    ? 'f'
                : S_ISDIR(st.st_mode)  ? 'd'
                : S_ISLNK(st.st_mode)  ? 'l'
                : S_ISFIFO(st.st_mode) ? 'p'
                : S_ISSOCK(st.st_mode) ? 's'
                                       : 'c',
                st.st_ino,
                st.st_mode & 07777,
                st.st_uid,
                st.st_gid,
                st.st_nlink,
                S_ISLNK(st.st_mode) ? std::map<std::string, std::string>{} : attributes(item),
                {}};
        if (e.type == 'f') {
            e.content = read(item.path());
        } else if (e.type == 'l') {
            e.content = fs::read_symlink(item.path()).string();
        }
        folder[item.path().filename().string()] = e;
    }
    return folder;
}

// A POSIX ACL as the kernel stores it (system.posix_acl_access): owner rw, user `stranger`
// r, group r, mask r, others none.
std::string acl_for_stranger() {
    std::string acl;
    const auto put = [&acl](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            acl += static_cast<char>((v >> (8 * i)) & 0xFF);
        }
    };
    put(2, 4); // version
    for (const auto& [tag, perm, id] :
         {std::tuple{0x01u, 6u, 0xFFFFFFFFu},
          std::tuple{0x02u, 4u, static_cast<unsigned>(stranger)},
          std::tuple{0x04u, 4u, 0xFFFFFFFFu}, std::tuple{0x10u, 4u, 0xFFFFFFFFu},
          std::tuple{0x20u, 0u, 0xFFFFFFFFu}}) {
        put(tag, 2);
        put(perm, 2);
        put(id, 4);
    }
    return acl;
}

// Why a row cannot run here, if it cannot.
using Skip = std::string;

struct Place {
    fs::path dir;
    bool as_nobody = false; // the save runs as user nobody (when the tests run as root)
    Skip skip;
    fs::path file(const std::string& name, const std::string& content = "old content") const {
        write(dir / name, content);
        return dir / name;
    }
    void attribute(const fs::path& p, const char* name, const std::string& value) {
        if (::setxattr(p.c_str(), name, value.data(), value.size(), 0) != 0) {
            skip = std::string("the file system here does not take ") + name + ": " +
                   std::strerror(errno);
        }
    }
    void open_to_nobody() {
        as_nobody = is_root();
        fs::permissions(dir, fs::perms::all);
    }
};

enum class Outcome { refused, replaced, written_in_place };

struct TargetCase {
    const char* name;
    std::function<fs::path(Place&)> make; // the path the save is given
    Outcome outcome;
    std::string message = {}; // a refusal's reason
    bool needs_root = false;
    TemporaryFile temporary = TemporaryFile::anonymous_where_possible;
};

// The save, as this process or (as_nobody) as user nobody in a child: the writer's message,
// empty on success.
std::optional<std::string> save(const fs::path& target, const std::string& bytes, bool as_nobody,
                                TemporaryFile temporary) {
    if (!as_nobody) {
        const auto saved = write_file_atomically(target.string(), bytes, temporary);
        return saved ? std::nullopt : std::optional(saved.message());
    }
    int pipe_fds[2];
    if (::pipe(pipe_fds) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe_fds[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0) {
            ::_exit(3);
        }
        const auto saved = write_file_atomically(target.string(), bytes, temporary);
        const std::string& message = saved.message();
        [[maybe_unused]] const ssize_t n = ::write(pipe_fds[1], message.data(), message.size());
        ::_exit(saved ? 0 : 1);
    }
    ::close(pipe_fds[1]);
    std::string message;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0;) {
        message.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipe_fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {
        return "the child could not become nobody";
    }
    return WEXITSTATUS(status) == 0 ? std::nullopt : std::optional(message);
}

class SaveTarget : public test::RowInFreshFolder<TargetCase> {};

TEST_P(SaveTarget, has_its_outcome) {
    const TargetCase& c = GetParam();
    if (c.needs_root && !is_root()) {
        GTEST_SKIP() << "needs root: only root can make this target";
    }
    Place place{dir, false, {}};
    const fs::path target = c.make(place);
    if (!place.skip.empty()) {
        GTEST_SKIP() << place.skip;
    }
    const Folder before = snapshot(dir);
    const std::string bytes = "new content, longer than the old one";

    const auto message = save(target, bytes, place.as_nobody, c.temporary);

    const Folder after = snapshot(dir);
    Folder expected = before;
    if (c.outcome == Outcome::refused) {
        ASSERT_TRUE(message) << "saved";
        EXPECT_EQ(*message, c.message);
    } else {
        ASSERT_FALSE(message) << *message;
        const std::string final_name =
            fs::weakly_canonical(target).filename().string(); // through a link
        const ino_t old_ino = before.at(final_name).ino;
        for (auto& [name, entry] : expected) {
            if (entry.type == 'f' && entry.ino == old_ino) {
                entry.content = bytes; // every name of the file sees the new content
            }
        }
        if (c.outcome == Outcome::replaced) {
            ASSERT_TRUE(after.count(final_name));
            expected[final_name].ino = after.at(final_name).ino;
            EXPECT_NE(after.at(final_name).ino, old_ino) << "not replaced";
        }
    }
    EXPECT_EQ(after, expected);
}

fs::path plain(Place& p) {
    return p.file("v.vpm");
}
fs::path with_mode(Place& p, fs::perms mode) {
    const fs::path f = p.file("v.vpm");
    fs::permissions(f, mode);
    return f;
}
fs::path hard_linked(Place& p, const std::string& name) {
    const fs::path f = p.file(name);
    fs::create_hard_link(f, p.dir / "other name");
    return f;
}
const std::string long_name = std::string(251, 'n') + ".vpm"; // 255 bytes

using fs::perms;

INSTANTIATE_TEST_SUITE_P(
    Targets, SaveTarget,
    testing::Values(
        TargetCase{"plain_file", plain, Outcome::replaced},
        TargetCase{"plain_file_named_temporary",
                   plain,
                   Outcome::replaced,
                   {},
                   false,
                   TemporaryFile::named},
        TargetCase{"mode_0604_is_kept", [](Place& p) { return with_mode(p, perms(0604)); },
                   Outcome::replaced},
        TargetCase{"setgid_mode_is_kept", [](Place& p) { return with_mode(p, perms(02640)); },
                   Outcome::replaced},
        TargetCase{"read_only_file", [](Place& p) { return with_mode(p, perms(0444)); },
                   Outcome::refused, "The file is read-only."},
        TargetCase{"no_write_bit_at_all", [](Place& p) { return with_mode(p, perms(0)); },
                   Outcome::refused, "The file is read-only."},
        TargetCase{"file_the_user_may_not_write",
                   [](Place& p) {
                       // root's file for nobody; for another user, write bits it lacks
                       p.open_to_nobody();
                       return with_mode(p, is_root() ? perms(0644) : perms(0466));
                   },
                   Outcome::refused, "The file is read-only: you may not write it."},
        TargetCase{"folder",
                   [](Place& p) {
                       fs::create_directory(p.dir / "sub");
                       return p.dir / "sub";
                   },
                   Outcome::refused, "It is a folder, not a file."},
        TargetCase{"link_to_a_folder",
                   [](Place& p) {
                       fs::create_directory(p.dir / "sub");
                       fs::create_directory_symlink("sub", p.dir / "link");
                       return p.dir / "link";
                   },
                   Outcome::refused, "It is a folder, not a file."},
        TargetCase{"fifo",
                   [](Place& p) {
                       ::mkfifo((p.dir / "fifo").c_str(), 0666);
                       return p.dir / "fifo";
                   },
                   Outcome::refused, "It is a pipe (FIFO), not a file."},
        TargetCase{"link_to_a_fifo",
                   [](Place& p) {
                       ::mkfifo((p.dir / "fifo").c_str(), 0666);
                       fs::create_symlink("fifo", p.dir / "link");
                       return p.dir / "link";
                   },
                   Outcome::refused, "It is a pipe (FIFO), not a file."},
        TargetCase{"socket",
                   [](Place& p) {
                       sockaddr_un address{};
                       address.sun_family = AF_UNIX;
                       const std::string path = (p.dir / "sock").string();
                       std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
                       const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
                       ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
                       ::close(fd);
                       return p.dir / "sock";
                   },
                   Outcome::refused, "It is a socket, not a file."},
        TargetCase{"device_node",
                   [](Place& p) {
                       ::mknod((p.dir / "null").c_str(), S_IFCHR | 0666, makedev(1, 3));
                       return p.dir / "null";
                   },
                   Outcome::refused, "It is a device, not a file.", true},
        TargetCase{"link_to_a_device_node",
                   [](Place& p) {
                       ::mknod((p.dir / "null").c_str(), S_IFCHR | 0666, makedev(1, 3));
                       fs::create_symlink("null", p.dir / "link");
                       return p.dir / "link";
                   },
                   Outcome::refused, "It is a device, not a file.", true},
        TargetCase{"symbolic_link_is_written_through",
                   [](Place& p) {
                       p.file("real.vpm");
                       fs::create_symlink("real.vpm", p.dir / "link.vpm");
                       return p.dir / "link.vpm";
                   },
                   Outcome::replaced},
        TargetCase{"hard_link", [](Place& p) { return hard_linked(p, "v.vpm"); },
                   Outcome::written_in_place},
        TargetCase{"hard_link_named_temporary",
                   [](Place& p) { return hard_linked(p, "v.vpm"); },
                   Outcome::written_in_place,
                   {},
                   false,
                   TemporaryFile::named},
        TargetCase{"hard_link_with_the_longest_name",
                   [](Place& p) { return hard_linked(p, long_name); }, Outcome::written_in_place},
        TargetCase{"the_longest_name", [](Place& p) { return p.file(long_name); },
                   Outcome::replaced},
        TargetCase{"other_owner_saved_by_root",
                   [](Place& p) {
                       const fs::path f = with_mode(p, perms(0640));
                       ::chown(f.c_str(), stranger, stranger);
                       return f;
                   },
                   Outcome::replaced,
                   {},
                   true},
        TargetCase{"other_owner_saved_by_a_user_who_may_write_it",
                   [](Place& p) {
                       p.open_to_nobody(); // root's file, writable by all, saved by nobody
                       return with_mode(p, perms(0666));
                   },
                   Outcome::written_in_place,
                   {},
                   true},
        TargetCase{"acl",
                   [](Place& p) {
                       const fs::path f = with_mode(p, perms(0640));
                       p.attribute(f, "system.posix_acl_access", acl_for_stranger());
                       return f;
                   },
                   Outcome::replaced},
        TargetCase{"user_extended_attribute",
                   [](Place& p) {
                       const fs::path f = plain(p);
                       p.attribute(f, "user.quorvel.note", "kept");
                       return f;
                   },
                   Outcome::replaced},
        TargetCase{"no_acl_under_a_folder_with_a_default_acl",
                   [](Place& p) {
                       const fs::path f = plain(p); // made before the folder's default ACL
                       p.attribute(p.dir, "system.posix_acl_default", acl_for_stranger());
                       return f;
                   },
                   Outcome::replaced}),
    test::row_name);

// A full disk stops the in-place write of a hard-linked file part way: the message names the
// copy, which holds the whole new content. The disk is a small tmpfs in a mount namespace of
// a child's own.
TEST(InPlaceWrite, that_fails_names_the_copy_that_holds_the_new_content) {
    if (!is_root()) {
        GTEST_SKIP() << "needs root: only root can mount the small disk";
    }
    const fs::path dir = test::fresh_temp_folder();
    const std::string bytes(40 << 10, 'n'); // the copy fits on the disk, a second one not
    const pid_t child = ::fork();
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0) {
            ::_exit(3);
        }
        const fs::path target = dir / "v.vpm";
        write(target, "old content");
        fs::create_hard_link(target, dir / "other name");
        const auto saved = write_file_atomically(target.string(), bytes);
        const fs::path copy = dir / ".v.vpm.saving";
        const bool named =
            saved.message() ==
                "No space left on device. The whole new content is in \"" + copy.string() + "\"." &&
            read(copy) == bytes;
        if (!named) {
            std::fprintf(stderr, "the writer said: %s\n", saved.message().c_str());
        }
        ::_exit(named ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    fs::remove_all(dir);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) {
        GTEST_SKIP() << "no mount namespace of its own with a tmpfs here";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// --- killed saves -----------------------------------------------------------------------------

// A save of 16 MiB over a 16 MiB file, killed at moments spread over the time one save takes:
// the file is always whole (the old content or the new), and the folder holds nothing else.
// SIGKILL cannot be caught, and in the instant between naming the finished copy and renaming
// it over the file (about one kill in a thousand here) it leaves that copy: a hidden
// ".quorvel-" name holding the whole new content, which is all it may leave.
struct KillCase {
    const char* name;
    int signal;
    TemporaryFile temporary;
};

class KilledSave : public test::RowInFreshFolder<KillCase> {};

TEST_P(KilledSave, leaves_the_file_whole_and_nothing_else) {
    const KillCase& c = GetParam();
    constexpr std::size_t size = 16u << 20;
    constexpr int kills = 24;
    const fs::path target = dir / "voice.vpm";
    write(target, std::string(size, 'a'));

    // How long one save takes here.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(write_file_atomically(target.string(), std::string(size, 'a'), c.temporary));
    const auto one_save = std::chrono::steady_clock::now() - start;

    int old_whole = 0;
    int new_whole = 0;
    int copies_left = 0;
    for (int k = 0; k < kills; ++k) {
        const char fill = k % 2 == 0 ? 'b' : 'a'; // the content the save would write
        const char previous = read(target).at(0);
        const std::string bytes(size, fill);
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(ready[0]);
            [[maybe_unused]] const ssize_t n = ::write(ready[1], "go", 2);
            const auto saved = write_file_atomically(target.string(), bytes, c.temporary);
            ::_exit(saved ? 0 : 1);
        }
        ::close(ready[1]);
        char go[2];
        ASSERT_EQ(::read(ready[0], go, 2), 2);
        ::close(ready[0]);
        // Moments from the start of the save to a little after its usual end.
        std::this_thread::sleep_for(one_save * k * 6 / (kills * 5));
        ::kill(child, c.signal);
        int status = 0;
        ::waitpid(child, &status, 0);

        const std::string now = read(target);
        const bool whole = now.size() == size &&
                           std::all_of(now.begin(), now.end(), [&](char b) { return b == now[0]; });
        ASSERT_TRUE(whole) << "kill " << k << ": the file is not whole";
        (now[0] == previous ? old_whole : new_whole) += 1;
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(dir)) {
            const std::string name = item.path().filename().string();
            if (c.signal == SIGKILL && name.size() == 19 && name.starts_with(".quorvel-") &&
                read(item.path()) == bytes) {
                fs::remove(item.path());
                ++copies_left;
            } else {
                names.push_back(name);
            }
        }
        ASSERT_EQ(names, std::vector<std::string>{"voice.vpm"}) << "kill " << k;
    }
    std::cout << "[ kills    ] " << kills << " x " << c.name << " of a 16 MiB save (one save "
              << std::chrono::duration_cast<std::chrono::milliseconds>(one_save).count()
              << " ms): old content whole " << old_whole << ", new content whole " << new_whole
              << ", new copies left " << copies_left << "\n";
    RecordProperty("kills", kills);
    RecordProperty("old_whole", old_whole);
    RecordProperty("new_whole", new_whole);
    RecordProperty("copies_left", copies_left);
}

INSTANTIATE_TEST_SUITE_P(
    Signals, KilledSave,
    testing::Values(KillCase{"sigkill", SIGKILL, TemporaryFile::anonymous_where_possible},
                    KillCase{"sigterm_named_temporary", SIGTERM, TemporaryFile::named},
                    KillCase{"sigint_named_temporary", SIGINT, TemporaryFile::named},
                    KillCase{"sighup_named_temporary", SIGHUP, TemporaryFile::named}),
    test::row_name);

} // namespace
} // namespace quorvel

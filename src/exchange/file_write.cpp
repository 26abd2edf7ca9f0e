// The POSIX writer (see file_write.h): the one place that knows how this operating system
// keeps a file whole and itself. The Windows writer is file_write_windows.cpp, beside it.

#include "exchange/file_write.h"

#include "exchange/signal_cleanup.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif

namespace quorvel {

namespace {

namespace fs = std::filesystem;

std::string reason(int error) {
    return std::strerror(error);
}

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { close(); }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // 0, or the error of the close.
    int close() {
        const int fd = std::exchange(fd_, -1);
        return fd >= 0 && ::close(fd) != 0 ? errno : 0;
    }

  private:
    int fd_;
};

// The file a path finally names, following symbolic links even when that file does not
// exist yet.
fs::path final_target(const fs::path& path) {
    fs::path target = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(target, ec))) {
            break;
        }
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) {
            break;
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

// 0, or the error that stopped the write.
int write_all(int fd, std::string_view bytes, off_t at = -1) {
    while (!bytes.empty()) {
        const ssize_t n = at < 0 ? ::write(fd, bytes.data(), bytes.size())
                                 : ::pwrite(fd, bytes.data(), bytes.size(), at);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        if (at >= 0) {
            at += n;
        }
    }
    return 0;
}

int sync_folder(const fs::path& folder) {
    Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd) {
        return errno;
    }
    if (::fsync(fd.get()) != 0 && errno != EINVAL) { // some file systems cannot sync a folder
        return errno;
    }
    return fd.close();
}

// --- temporary files -------------------------------------------------------------------------

std::string unique_name() {
    static unsigned counter = 0;
    const auto now = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    unsigned long long mix = now ^ (static_cast<unsigned long long>(::getpid()) << 32) ^
                             (static_cast<unsigned long long>(++counter) * 0x9E3779B97F4A7C15ULL);
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = ".quorvel-";
    for (int i = 0; i < 10; ++i) {
        name += digits[mix % 36];
        mix /= 36;
    }
    return name;
}

// A temporary file in `folder` for writing: anonymous where the file system offers one
// (`named` left empty), else a new named one (`named` holds its path), armed for removal on a
// signal from before it exists.
Fd open_temporary(const fs::path& folder, mode_t mode, TemporaryFile temporary,
                  SignalCleanup& cleanup, std::string& named, int& error) {
    named.clear();
#ifdef O_TMPFILE
    if (temporary == TemporaryFile::anonymous_where_possible) {
        const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd >= 0) {
            return Fd(fd);
        }
        // EISDIR and EINVAL: a kernel without O_TMPFILE; EOPNOTSUPP: a file system without.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            error = errno;
            return Fd();
        }
    }
#else
    (void)temporary;
#endif
    for (int attempt = 0; attempt < 100; ++attempt) {
        named = (folder / unique_name()).string();
        cleanup.arm(named); // a fresh random name: nobody else's file
        const int fd = ::open(named.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
        if (fd >= 0) {
            return Fd(fd);
        }
        error = errno;
        cleanup.disarm();
        if (error != EEXIST) {
            break;
        }
    }
    named.clear();
    return Fd();
}

// Gives the anonymous file `fd` the name `name`: 0, or the error (EEXIST when taken).
int link_anonymous(int fd, const std::string& name) {
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return 0;
    }
    const int error = errno;
#ifdef AT_EMPTY_PATH
    if (error != EEXIST && ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) {
        return 0; // without /proc; needs CAP_DAC_READ_SEARCH
    }
#endif
    return error;
}

// Names the anonymous file `fd` in `folder` by a fresh name from `make(attempt)`, keeping the
// name armed for removal on a signal: 0, or the error.
template <class MakeName>
int name_anonymous(int fd, SignalCleanup& cleanup, std::string& named, MakeName make) {
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        named = make(attempt);
        cleanup.arm(named);
        error = link_anonymous(fd, named);
        if (error != 0) {
            cleanup.disarm();
        }
    }
    if (error != 0) {
        named.clear();
    }
    return error;
}

// --- identity ---------------------------------------------------------------------------------

// True when a new file of this process may be given the owner and group of `old`.
bool may_give_owner(const struct stat& old) {
    if (::geteuid() == 0) {
        return true;
    }
    if (old.st_uid != ::geteuid()) {
        return false;
    }
    if (old.st_gid == ::getegid()) {
        return true;
    }
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(count > 0 ? count : 0));
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[static_cast<std::size_t>(i)] == old.st_gid) {
            return true;
        }
    }
    return false;
}

#ifdef __linux__
std::vector<std::string> attribute_names(const char* path, int fd) {
    std::vector<std::string> names;
    const ssize_t size = fd >= 0 ? ::flistxattr(fd, nullptr, 0) : ::listxattr(path, nullptr, 0);
    if (size <= 0) {
        return names;
    }
    std::vector<char> list(static_cast<std::size_t>(size));
    const ssize_t got = fd >= 0 ? ::flistxattr(fd, list.data(), list.size())
                                : ::listxattr(path, list.data(), list.size());
    for (ssize_t at = 0; at < got; at += static_cast<ssize_t>(names.back().size()) + 1) {
        names.emplace_back(list.data() + at);
    }
    return names;
}
#endif

// Gives `fd` exactly the extended attributes of `from` (ACLs among them); false when one
// cannot be copied.
bool copy_attributes(const char* from, int fd) {
#ifdef __linux__
    if (::listxattr(from, nullptr, 0) < 0 && errno != ENOTSUP) {
        return false;
    }
    const std::vector<std::string> names = attribute_names(from, -1);
    for (const std::string& name : names) {
        const ssize_t size = ::getxattr(from, name.c_str(), nullptr, 0);
        if (size < 0) {
            return false;
        }
        std::vector<char> value(static_cast<std::size_t>(size));
        const ssize_t got = ::getxattr(from, name.c_str(), value.data(), value.size());
        if (got < 0 ||
            ::fsetxattr(fd, name.c_str(), value.data(), static_cast<size_t>(got), 0) != 0) {
            return false;
        }
    }
    // What the new file inherited (a folder's default ACL) and the old one lacked goes.
    for (const std::string& name : attribute_names(nullptr, fd)) {
        if (std::find(names.begin(), names.end(), name) == names.end() &&
            ::fremovexattr(fd, name.c_str()) != 0) {
            return false;
        }
    }
#else
    (void)from;
    (void)fd;
#endif
    return true;
}

// Why an existing target may not be replaced, if it may not.
std::optional<std::string> refusal(const fs::path& target, const struct stat& st) {
    if (S_ISDIR(st.st_mode)) {
        return "It is a folder, not a file.";
    }
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) {
        return "It is a device, not a file.";
    }
    if (S_ISFIFO(st.st_mode)) {
        return "It is a pipe (FIFO), not a file.";
    }
    if (S_ISSOCK(st.st_mode)) {
        return "It is a socket, not a file.";
    }
    if (!S_ISREG(st.st_mode)) {
        return "It is not a regular file.";
    }
    if ((st.st_mode & 0222) == 0) {
        return "The file is read-only.";
    }
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        return errno == EACCES ? "The file is read-only: you may not write it." : reason(errno);
    }
    return std::nullopt;
}

// --- the two ways of writing -----------------------------------------------------------------

struct Replaced {
    int error = 0;
    bool identity_kept = true; // false: nothing was changed, write in place instead
};

// A new file in the target's place, renamed over it; `old` is the file it replaces, if any.
Replaced replace(const fs::path& target, const fs::path& folder, std::string_view bytes,
                 const struct stat* old, TemporaryFile temporary) {
    SignalCleanup cleanup;
    std::string named;
    int error = 0;
    // A new file gets what the folder and the umask give; a replacement gets the old mode.
    Fd fd = open_temporary(folder, old ? 0600 : 0666, temporary, cleanup, named, error);
    if (!fd) {
        return {error};
    }
    const auto discard = [&](Replaced outcome) {
        fd.close();
        if (!named.empty()) {
            ::unlink(named.c_str());
        }
        return outcome;
    };
    if ((error = write_all(fd.get(), bytes)) != 0) {
        return discard({error});
    }
    if (old) {
        struct stat now {};
        if (::fstat(fd.get(), &now) != 0) {
            return discard({errno});
        }
        if ((now.st_uid != old->st_uid || now.st_gid != old->st_gid) &&
            ::fchown(fd.get(), old->st_uid, old->st_gid) != 0) {
            return discard({0, false});
        }
        if (!copy_attributes(target.c_str(), fd.get())) {
            return discard({0, false});
        }
        if (::fchmod(fd.get(), old->st_mode & 07777) != 0) {
            return discard({errno});
        }
    }
    if (::fsync(fd.get()) != 0) {
        return discard({errno});
    }
    if (named.empty()) {
        if (!old) {
            // A new file takes its name at once: nothing is ever named but the target.
            if ((error = link_anonymous(fd.get(), target.string())) == 0) {
                fd.close();
                return {sync_folder(folder)};
            }
            if (error != EEXIST) {
                return discard({error});
            }
        }
        error = name_anonymous(fd.get(), cleanup, named,
                               [&](int) { return (folder / unique_name()).string(); });
        if (error != 0) {
            return discard({error});
        }
    }
    if ((error = fd.close()) != 0) {
        return discard({error});
    }
    if (::rename(named.c_str(), target.c_str()) != 0) {
        return discard({errno});
    }
    cleanup.disarm();
    return {sync_folder(folder)};
}

// The copy beside the file: ".NAME.saving", "-2", ..., cut to fit the longest file name.
std::string copy_name(const fs::path& target, int attempt) {
    const std::string suffix = attempt == 0 ? ".saving" : ".saving-" + std::to_string(attempt + 1);
    std::string name = target.filename().string();
    const std::size_t room = NAME_MAX - 1 - suffix.size();
    if (name.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
            --cut; // not inside a UTF-8 character
        }
        name.resize(cut);
    }
    return (target.parent_path() / ("." + name + suffix)).string();
}

// The careful editor's write: a complete copy beside the file, the file overwritten in place,
// the copy removed.
Result<> write_in_place(const fs::path& target, const fs::path& folder, std::string_view bytes,
                        const struct stat& old, TemporaryFile temporary) {
    SignalCleanup cleanup;
    std::string copy;
    int error = 0;
    Fd fd = open_temporary(folder, 0600, temporary, cleanup, copy, error);
    if (!fd) {
        return failure(reason(error));
    }
    const auto discard = [&](int e) -> Result<> {
        fd.close();
        if (!copy.empty()) {
            ::unlink(copy.c_str());
        }
        return failure(reason(e));
    };
    if ((error = write_all(fd.get(), bytes)) != 0 || (::fsync(fd.get()) != 0 && (error = errno))) {
        return discard(error);
    }
    const auto make = [&](int attempt) { return copy_name(target, attempt); };
    if (copy.empty()) {
        if ((error = name_anonymous(fd.get(), cleanup, copy, make)) != 0) {
            return discard(error);
        }
    } else {
        // The named temporary file takes the copy's name.
        std::string named = std::exchange(copy, {});
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (::link(named.c_str(), make(attempt).c_str()) == 0) {
                copy = make(attempt);
                break;
            }
            if (errno != EEXIST) {
                break;
            }
        }
        error = errno;
        ::unlink(named.c_str());
        if (copy.empty()) {
            fd.close();
            return failure(reason(error));
        }
        cleanup.arm(copy);
    }
    if ((error = fd.close()) != 0 || (error = sync_folder(folder)) != 0) {
        return discard(error);
    }

    Fd out(::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat now {};
    if (!out || ::fstat(out.get(), &now) != 0) {
        return discard(errno); // nothing was changed
    }
    if (!S_ISREG(now.st_mode) || now.st_ino != old.st_ino || now.st_dev != old.st_dev) {
        out.close();
        ::unlink(copy.c_str());
        return failure("The file was replaced by another while it was saved.");
    }
    // From here the copy is the only whole image until the file is: it stays if the process
    // ends.
    cleanup.disarm();
    if ((error = write_all(out.get(), bytes, 0)) != 0 ||
        (::ftruncate(out.get(), static_cast<off_t>(bytes.size())) != 0 && (error = errno)) ||
        (::fsync(out.get()) != 0 && (error = errno)) || (error = out.close()) != 0) {
        return failure(reason(error) + ". The whole new content is in \"" + copy + "\".");
    }
    ::unlink(copy.c_str());
    if ((error = sync_folder(folder)) != 0) {
        return failure(reason(error));
    }
    return {};
}

} // namespace

Result<> write_file_atomically(const std::string& path, std::string_view bytes,
                               TemporaryFile temporary) {
    if (path.empty()) {
        return failure("No file name was given.");
    }
    const fs::path target = final_target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");

    struct stat existing {};
    if (::stat(target.c_str(), &existing) != 0) {
        const int error = errno;
        struct stat place {};
        if (error != ENOENT) {
            return failure(reason(error));
        }
        if (::stat(folder.c_str(), &place) != 0) {
            return failure(errno == ENOENT ? "Its folder does not exist." : reason(errno));
        }
        const Replaced made = replace(target, folder, bytes, nullptr, temporary);
        return made.error == 0 ? Result<>() : failure(reason(made.error));
    }
    if (const auto refused = refusal(target, existing)) {
        return failure(*refused);
    }
    if (existing.st_nlink == 1 && may_give_owner(existing)) {
        const Replaced made = replace(target, folder, bytes, &existing, temporary);
        if (made.identity_kept) {
            return made.error == 0 ? Result<>() : failure(reason(made.error));
        }
    }
    return write_in_place(target, folder, bytes, existing, temporary);
}

} // namespace quorvel

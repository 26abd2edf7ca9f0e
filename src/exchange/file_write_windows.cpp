// The Windows writer (see file_write.h): the one place that knows how Windows keeps a file
// whole and itself. The new bytes go to a temporary file in the target's folder, are flushed
// to the disk, and take the target's place in one step: ReplaceFileW over an existing file
// (which keeps the file's security descriptor, attributes and streams), MoveFileExW for a new
// one. A file with more than one hard link is written in place instead, after a flushed copy
// beside it, as the POSIX writer does: a replacement would give the other names the old
// content. The temporary file is removed when a console event ends the process
// (console_cleanup). Paths are UTF-8 in the program and wide strings at every call.

#include "exchange/file_write.h"

#include "common/wide_path.h"
#include "exchange/console_cleanup.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>

#include <windows.h>

namespace quorvel {

namespace {

// The system's words for `error`, without the line end and full stop it ends them with.
std::string reason(DWORD error) {
    char* text = nullptr;
    const DWORD size = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string words = size > 0 ? std::string(text, size) : "Error " + std::to_string(error);
    ::LocalFree(text);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' ' ||
                              words.back() == '.')) {
        words.pop_back();
    }
    return words;
}

class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }
    // 0, or the error of the close.
    DWORD close() {
        const HANDLE h = std::exchange(h_, INVALID_HANDLE_VALUE);
        return h != INVALID_HANDLE_VALUE && !::CloseHandle(h) ? ::GetLastError() : 0;
    }

  private:
    HANDLE h_;
};

// 0, or the error that stopped the write.
DWORD write_all(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
            return ::GetLastError();
        }
        bytes.remove_prefix(written);
    }
    return 0;
}

// The target, opened for `access` as every write opens it.
HANDLE open_target(const std::wstring& target, DWORD access) {
    return ::CreateFileW(target.c_str(), access,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::wstring unique_name() {
    static unsigned counter = 0;
    unsigned long long mix = static_cast<unsigned long long>(
                                 std::chrono::steady_clock::now().time_since_epoch().count()) ^
                             (static_cast<unsigned long long>(::GetCurrentProcessId()) << 32) ^
                             (static_cast<unsigned long long>(++counter) * 0x9E3779B97F4A7C15ULL);
    std::wstring name = L".quorvel-";
    for (int i = 0; i < 10; ++i) {
        name += L"0123456789abcdefghijklmnopqrstuvwxyz"[mix % 36];
        mix /= 36;
    }
    return name;
}

// Why an existing target may not be written, if it may not; else what the system knows of it
// in `file`. The target is opened as a write opens it; a file another program holds without
// sharing it is "locked".
std::optional<std::string> refusal(const std::wstring& target, DWORD attributes,
                                   BY_HANDLE_FILE_INFORMATION& file) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return "It is a folder, not a file.";
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        return "The file is read-only.";
    }
    Handle opened(open_target(target, GENERIC_WRITE | DELETE));
    if (!opened) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
            return "Another program has the file open: " + reason(error) + ".";
        }
        return reason(error);
    }
    if (::GetFileType(opened.get()) != FILE_TYPE_DISK) {
        return "It is a device, not a file.";
    }
    if (!::GetFileInformationByHandle(opened.get(), &file)) {
        return reason(::GetLastError());
    }
    return std::nullopt;
}

// --- the temporary file ------------------------------------------------------------------------

// A new file of a fresh name in `folder`, its path in `temporary`, armed for removal by a
// console event from before it exists; INVALID_HANDLE_VALUE and the reason in `error` when
// none could be made.
HANDLE create_temporary(const std::wstring& folder, ConsoleCleanup& cleanup,
                        std::wstring& temporary, DWORD& error) {
    error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && error == ERROR_FILE_EXISTS; ++attempt) {
        temporary = folder + L'\\' + unique_name();
        cleanup.arm(temporary);
        const ConsoleCleanup::Hold held;
        if (!cleanup.armed()) {
            error = ERROR_OPERATION_ABORTED;
            break;
        }
        // Shared for deletion: the console handler may remove it while it is written.
        const HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE,
                                          nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            return file;
        }
        error = ::GetLastError();
    }
    return INVALID_HANDLE_VALUE;
}

// The bytes in a new temporary file in `folder`, flushed to the disk and closed: 0, or the
// error, with no temporary file left.
DWORD write_temporary(const std::wstring& folder, std::string_view bytes, ConsoleCleanup& cleanup,
                      std::wstring& temporary) {
    DWORD error = 0;
    Handle file(create_temporary(folder, cleanup, temporary, error));
    if (!file) {
        return error;
    }
    error = write_all(file.get(), bytes);
    if (error == 0 && !::FlushFileBuffers(file.get())) {
        error = ::GetLastError();
    }
    if (const DWORD closed = file.close(); error == 0) {
        error = closed;
    }
    if (error != 0) {
        ::DeleteFileW(temporary.c_str());
    }
    return error;
}

// Renames the armed file by `rename` (0, or its error) while the console handler waits, and
// only while the file is still armed. `rename` disarms or arms anew for what it made.
template <class Rename> DWORD rename_armed(ConsoleCleanup& cleanup, Rename rename) {
    const ConsoleCleanup::Hold held;
    return cleanup.armed() ? rename() : ERROR_OPERATION_ABORTED;
}

DWORD move_file(const std::wstring& from, const std::wstring& to, DWORD flags) {
    return ::MoveFileExW(from.c_str(), to.c_str(), flags | MOVEFILE_WRITE_THROUGH)
               ? 0
               : ::GetLastError();
}

// --- the two ways of writing -------------------------------------------------------------------

// A new file in the target's place: ReplaceFileW over an existing one (`attributes` its
// attributes), MoveFileExW for a new one.
Result<> replace(const std::wstring& target, const std::wstring& folder, std::string_view bytes,
                 const DWORD* attributes) {
    ConsoleCleanup cleanup;
    std::wstring temporary;
    DWORD error = write_temporary(folder, bytes, cleanup, temporary);
    if (error != 0) {
        return failure(reason(error));
    }
    // ReplaceFileW keeps the old file's security and streams, not its attributes.
    constexpr DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (attributes && (*attributes & kept) != 0 &&
        !::SetFileAttributesW(temporary.c_str(), *attributes & kept)) {
        error = ::GetLastError();
    }
    bool only_copy = false; // the old file is gone and the new one kept its temporary name
    if (error == 0) {
        error = rename_armed(cleanup, [&] {
            DWORD renamed = 0;
            if (!attributes) {
                renamed = move_file(temporary, target, MOVEFILE_REPLACE_EXISTING);
            } else if (!::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                       REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
                renamed = ::GetLastError();
                if (renamed == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
                    renamed = move_file(temporary, target, MOVEFILE_REPLACE_EXISTING);
                    only_copy = renamed != 0;
                }
            }
            if (renamed == 0 || only_copy) {
                cleanup.disarm(); // the file is the target, or the only whole new content
            }
            return renamed;
        });
    }
    if (only_copy) {
        return failure(reason(error) + ". The whole new content is in \"" + utf8_path(temporary) +
                       "\".");
    }
    if (error != 0) {
        ::DeleteFileW(temporary.c_str());
        return failure(reason(error));
    }
    return {};
}

// The copy beside the file: ".NAME.saving", "-2", ..., cut to fit the longest file name.
std::wstring copy_name(const std::wstring& target, int attempt) {
    const std::wstring suffix =
        attempt == 0 ? L".saving" : L".saving-" + std::to_wstring(attempt + 1);
    const std::size_t separator = target.find_last_of(L"\\/");
    std::wstring name = target.substr(separator + 1);
    const std::size_t room = 255 - 1 - suffix.size(); // a name's longest, in UTF-16 units
    if (name.size() > room) {
        name.resize(IS_LOW_SURROGATE(name[room]) ? room - 1 : room); // not inside a character
    }
    return target.substr(0, separator + 1) + L"." + name + suffix;
}

// The careful editor's write, for a file a replacement would not keep whole (one of several
// hard links): a complete copy beside the file, the file overwritten in place, the copy
// removed. `old` is what the system knew of the file before.
Result<> write_in_place(const std::wstring& target, const std::wstring& folder,
                        std::string_view bytes, const BY_HANDLE_FILE_INFORMATION& old) {
    ConsoleCleanup cleanup;
    std::wstring temporary;
    DWORD error = write_temporary(folder, bytes, cleanup, temporary);
    if (error != 0) {
        return failure(reason(error));
    }
    // The temporary file takes the copy's name.
    std::wstring copy;
    error = ERROR_ALREADY_EXISTS;
    for (int attempt = 0; attempt < 100 && error == ERROR_ALREADY_EXISTS; ++attempt) {
        const std::wstring name = copy_name(target, attempt);
        error = rename_armed(cleanup, [&] {
            const DWORD moved = move_file(temporary, name, 0);
            if (moved == 0) {
                cleanup.arm(name);
            }
            return moved;
        });
        if (error == 0) {
            copy = name;
        }
    }
    if (error != 0) {
        ::DeleteFileW(temporary.c_str());
        return failure(reason(error));
    }

    Handle out(open_target(target, GENERIC_WRITE));
    BY_HANDLE_FILE_INFORMATION now{};
    if (!out || !::GetFileInformationByHandle(out.get(), &now)) {
        error = ::GetLastError();
        ::DeleteFileW(copy.c_str());
        return failure(reason(error)); // nothing was changed
    }
    if (now.dwVolumeSerialNumber != old.dwVolumeSerialNumber ||
        now.nFileIndexHigh != old.nFileIndexHigh || now.nFileIndexLow != old.nFileIndexLow) {
        out.close();
        ::DeleteFileW(copy.c_str());
        return failure("The file was replaced by another while it was saved.");
    }
    // From here the copy is the only whole image until the file is: it stays if the process
    // ends. A console event that came first removed it: then nothing was changed.
    if (!cleanup.disarm()) {
        return failure(reason(ERROR_OPERATION_ABORTED));
    }
    if ((error = write_all(out.get(), bytes)) != 0 ||
        (!::SetEndOfFile(out.get()) && (error = ::GetLastError())) ||
        (!::FlushFileBuffers(out.get()) && (error = ::GetLastError())) ||
        (error = out.close()) != 0) {
        return failure(reason(error) + ". The whole new content is in \"" + utf8_path(copy) +
                       "\".");
    }
    ::DeleteFileW(copy.c_str());
    return {};
}

} // namespace

Result<> write_file_atomically(const std::string& path, std::string_view bytes, TemporaryFile) {
    if (path.empty()) {
        return failure("No file name was given.");
    }
    const std::wstring target = absolute(wide_path(path));
    const std::wstring folder = target.substr(0, target.find_last_of(L"\\/"));

    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_PATH_NOT_FOUND) {
            return failure("Its folder does not exist.");
        }
        if (error != ERROR_FILE_NOT_FOUND) {
            return failure(reason(error));
        }
        return replace(target, folder, bytes, nullptr);
    }
    BY_HANDLE_FILE_INFORMATION file{};
    if (const auto refused = refusal(target, attributes, file)) {
        return failure(*refused);
    }
    if (file.nNumberOfLinks > 1) {
        return write_in_place(target, folder, bytes, file);
    }
    return replace(target, folder, bytes, &attributes);
}

} // namespace quorvel

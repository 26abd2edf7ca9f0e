// The Windows writer (see file_write.h): the one place that knows how Windows keeps a file
// whole and itself. The new bytes go to a temporary file in the target's folder, are flushed
// to the disk, and take the target's place in one step: ReplaceFileW over an existing file
// (which keeps the file's security descriptor, attributes and streams), MoveFileExW for a new
// one. Paths are UTF-8 in the program and wide strings at every call.

#include "exchange/file_write.h"

#include "common/wide_path.h"

#include <algorithm>
#include <chrono>

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

// Why an existing target may not be replaced, if it may not. The target is opened as a
// replacement opens it; a file another program holds without sharing it is "locked".
std::optional<std::string> refusal(const std::wstring& target, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return "It is a folder, not a file.";
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        return "The file is read-only.";
    }
    Handle file(::CreateFileW(target.c_str(), GENERIC_WRITE | DELETE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
            return "Another program has the file open: " + reason(error) + ".";
        }
        return reason(error);
    }
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        return "It is a device, not a file.";
    }
    return std::nullopt;
}

// A new file of a fresh name in `folder`, its path in `temporary`.
HANDLE create_temporary(const std::wstring& folder, std::wstring& temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder + L'\\' + unique_name();
        const HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

// The full path, as the system completes a relative one.
std::wstring absolute(const std::wstring& path) {
    std::wstring full(::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    return full.empty() ? path : full;
}

} // namespace

Result<> write_file_atomically(const std::string& path, std::string_view bytes, TemporaryFile) {
    if (path.empty()) {
        return failure("No file name was given.");
    }
    const std::wstring target = absolute(wide_path(path));
    const std::wstring folder = target.substr(0, target.find_last_of(L"\\/"));

    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_PATH_NOT_FOUND) {
            return failure("Its folder does not exist.");
        }
        if (error != ERROR_FILE_NOT_FOUND) {
            return failure(reason(error));
        }
    } else if (const auto refused = refusal(target, attributes)) {
        return failure(*refused);
    }

    std::wstring temporary;
    Handle file(create_temporary(folder, temporary));
    if (!file) {
        return failure(reason(::GetLastError()));
    }
    DWORD error = write_all(file.get(), bytes);
    if (error == 0 && !::FlushFileBuffers(file.get())) {
        error = ::GetLastError();
    }
    if (const DWORD closed = file.close(); error == 0) {
        error = closed;
    }
    // ReplaceFileW keeps the old file's security and streams, not its attributes.
    constexpr DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (error == 0 && exists && (attributes & kept) != 0 &&
        !::SetFileAttributesW(temporary.c_str(), attributes & kept)) {
        error = ::GetLastError();
    }
    if (error == 0 && exists &&
        !::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                        nullptr, nullptr)) {
        error = ::GetLastError();
    }
    // ERROR_UNABLE_TO_MOVE_REPLACEMENT: the old file is gone and the new one kept its
    // temporary name, which must now become the target's.
    const bool move = error == 0 ? !exists : error == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
    if (move && !::MoveFileExW(temporary.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = ::GetLastError();
        if (exists) {
            return failure(reason(error) + ". The whole new content is in \"" +
                           utf8_path(temporary) + "\".");
        }
    } else if (move) {
        error = 0;
    }
    if (error != 0) {
        ::DeleteFileW(temporary.c_str());
        return failure(reason(error));
    }
    return {};
}

} // namespace quorvel

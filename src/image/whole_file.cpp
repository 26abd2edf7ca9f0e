#include "image/whole_file.h"

#include "common/file_path.h"
#include "common/wide_path.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>

#ifdef _WIN32
#include <io.h>
#endif

namespace quorvel {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string system_reason() {
    return std::strerror(errno);
}

#ifdef _WIN32
// Why the path names nothing to read as a file, if it names a folder.
std::optional<std::string> not_a_file(const std::string& utf8) {
    if (is_folder(utf8)) {
        return "It is a folder, not a file.";
    }
    return std::nullopt;
}

// Why the opened file is not one to read whole, if it is a pipe or a device (told only once
// it is open).
std::optional<std::string> not_on_disk(std::FILE* file) {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        return "It is not a regular file (a pipe, socket or device).";
    }
    return std::nullopt;
}

// The C library's calls that take a wide path and a 64-bit size.
std::FILE* open_for_reading(const std::string& utf8) {
    return ::_wfopen(wide_path(utf8).c_str(), L"rb");
}
#else
// Why the path names nothing to read as a file, if it names a folder, a pipe, a socket or a
// device.
std::optional<std::string> not_a_file(const std::string& utf8) {
    std::error_code ec;
    const auto status = std::filesystem::status(file_path(utf8), ec);
    if (!ec && std::filesystem::is_directory(status)) {
        return "It is a folder, not a file.";
    }
    if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return "It is not a regular file (a pipe, socket or device).";
    }
    return std::nullopt;
}

std::FILE* open_for_reading(const std::string& utf8) {
    return std::fopen(file_path(utf8).c_str(), "rb");
}
#endif

// The file's length, -1 when it cannot be found; the position is left at its end.
std::int64_t length_of(std::FILE* file) {
#ifdef _WIN32
    return ::_fseeki64(file, 0, SEEK_END) == 0 ? ::_ftelli64(file) : -1;
#else
    return ::fseeko(file, 0, SEEK_END) == 0 ? ::ftello(file) : -1;
#endif
}

} // namespace

Result<> read_whole_file(const std::string& utf8, std::int64_t limit, const char* too_large,
                         const std::function<void*(std::size_t length)>& room) {
    if (const auto refused = not_a_file(utf8)) {
        return failure(*refused);
    }
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(open_for_reading(utf8));
    if (!file) {
        return failure(system_reason());
    }
#ifdef _WIN32
    if (const auto refused = not_on_disk(file.get())) {
        return failure(*refused);
    }
#endif
    const std::int64_t length = length_of(file.get());
    if (length < 0) {
        return failure(errno != 0 ? system_reason() : "The file cannot be read.");
    }
    if (length > limit) {
        return failure(too_large);
    }
    std::rewind(file.get());
    try {
        const auto size = static_cast<std::size_t>(length);
        void* buffer = room(size);
        if (size != 0 && std::fread(buffer, 1, size, file.get()) != size) {
            return failure(std::ferror(file.get()) != 0 ? system_reason()
                                                        : "The file changed while it was read.");
        }
        return {};
    } catch (const std::bad_alloc&) {
        return failure("There is not enough memory to read it.");
    }
}

} // namespace quorvel

#include "image/whole_file.h"

#include "common/file_path.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>

namespace quorvel {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string system_reason() {
    return std::strerror(errno);
}

// The C library's calls that take a wide path and a 64-bit size where it has them.
std::FILE* open_for_reading(const std::filesystem::path& path) {
#ifdef _WIN32
    return ::_wfopen(path.c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

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
    const std::filesystem::path path = file_path(utf8);
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!ec && std::filesystem::is_directory(status)) {
        return failure("It is a folder, not a file.");
    }
    if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return failure("It is not a regular file (a pipe, socket or device).");
    }
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(open_for_reading(path));
    if (!file) {
        return failure(system_reason());
    }
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

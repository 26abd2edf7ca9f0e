#include "image/voice_image.h"

#include "common/file_path.h"

#include <algorithm>
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

// True when the whole pattern stands inside the image from `pos` on.
bool stands_at(const Bytes& image, std::int64_t pos, std::string_view pattern) {
    const auto size = static_cast<std::int64_t>(image.size());
    const auto len = static_cast<std::int64_t>(pattern.size());
    if (pos < 0 || pos + len > size) {
        return false;
    }
    return std::memcmp(image.data() + pos, pattern.data(), pattern.size()) == 0;
}

// The whole file into a container of bytes, of at most `limit` bytes. Only a regular file is
// read: a folder, FIFO, socket or device is refused before it is opened, so it never blocks.
template <class Container>
Result<Container> load_whole(const std::string& utf8, std::int64_t limit, const char* too_large) {
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
        Container bytes;
        bytes.resize(static_cast<std::size_t>(length)); // Bytes leaves them uncleared
        if (!bytes.empty() &&
            std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
            return failure(std::ferror(file.get()) != 0 ? system_reason()
                                                        : "The file changed while it was read.");
        }
        return bytes;
    } catch (const std::bad_alloc&) {
        return failure("There is not enough memory to read it.");
    }
}

} // namespace

Result<Bytes> load_file(const std::string& path) {
    return load_whole<Bytes>(path, max_image_size, "The file is too large to be a voice file.");
}

Result<std::string> load_text(const std::string& path) {
    return load_whole<std::string>(path, max_text_size,
                                   "The file is larger than 64 MiB; the text of a voice file is "
                                   "far smaller.");
}

std::uint8_t match_at(const Bytes& image, std::int32_t pos, std::int32_t /*end*/,
                      std::string_view pattern) {
    return stands_at(image, pos, pattern) ? 1 : 0;
}

std::int32_t find_forward(const Bytes& image, std::int32_t start, std::int32_t upper,
                          std::string_view pattern) {
    // Positions tried: start, start + 1, ..., up to and including max(start, upper + 1).
    const std::int64_t last = std::max<std::int64_t>(start, std::int64_t{upper} + 1);
    const auto len = static_cast<std::int64_t>(pattern.size());
    const std::int64_t first = std::max<std::int64_t>(start, 0);
    const std::int64_t stop =
        std::min<std::int64_t>(last, static_cast<std::int64_t>(image.size()) - len);
    if (first > stop) {
        return 0;
    }
    const auto begin = image.begin() + first;
    const auto end = image.begin() + stop + len;
    const auto hit =
        std::search(begin, end, pattern.begin(), pattern.end(),
                    [](std::uint8_t b, char c) { return b == static_cast<std::uint8_t>(c); });
    return hit == end ? 0 : static_cast<std::int32_t>(hit - image.begin());
}

std::int32_t find_backward(const Bytes& image, std::int32_t start, std::int32_t lower,
                           std::string_view pattern) {
    // Positions tried: start, start - 1, ..., down to and including min(start, lower - 1).
    const std::int64_t last = std::min<std::int64_t>(start, std::int64_t{lower} - 1);
    const auto len = static_cast<std::int64_t>(pattern.size());
    const std::int64_t first =
        std::min<std::int64_t>(start, static_cast<std::int64_t>(image.size()) - len);
    const std::int64_t stop = std::max<std::int64_t>(last, 0);
    if (first < stop) {
        return 0;
    }
    // The last occurrence that starts in [stop, first] is the one nearest the start.
    const auto begin = image.begin() + stop;
    const auto end = image.begin() + first + len;
    const auto hit =
        std::find_end(begin, end, pattern.begin(), pattern.end(),
                      [](std::uint8_t b, char c) { return b == static_cast<std::uint8_t>(c); });
    return hit == end ? 0 : static_cast<std::int32_t>(hit - image.begin());
}

std::optional<std::int32_t> byte2long(const Bytes& image, std::int64_t pos) {
    if (pos < 0 || pos + 4 > static_cast<std::int64_t>(image.size())) {
        return std::nullopt;
    }
    const auto* b = image.data() + pos;
    if (b[3] >= 0x80) {
        return std::nullopt;
    }
    std::int32_t v = b[3];
    for (int k = 2; k >= 0; --k) {
        v = v * 256 + b[k];
    }
    return v;
}

std::optional<std::uint8_t> byte_at(const Bytes& image, std::int64_t pos) {
    if (pos < 0 || pos >= static_cast<std::int64_t>(image.size())) {
        return std::nullopt;
    }
    return image[static_cast<std::size_t>(pos)];
}

} // namespace quorvel

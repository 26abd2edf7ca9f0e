#include "image/voice_image.h"

#include "image/whole_file.h"

#include <algorithm>
#include <cstring>

namespace quorvel {

namespace {

// True when the whole pattern stands inside the image from `pos` on.
bool stands_at(const Bytes& image, std::int64_t pos, std::string_view pattern) {
    const auto size = static_cast<std::int64_t>(image.size());
    const auto len = static_cast<std::int64_t>(pattern.size());
    if (pos < 0 || pos + len > size) {
        return false;
    }
    return std::memcmp(image.data() + pos, pattern.data(), pattern.size()) == 0;
}

} // namespace

Result<Bytes> load_file(const std::string& path) {
    Bytes bytes;
    auto read = read_whole_file(path, max_image_size, "The file is too large to be a voice file.",
                                [&bytes](std::size_t length) {
                                    bytes.resize(length); // Bytes leaves them uncleared
                                    return static_cast<void*>(bytes.data());
                                });
    if (!read) {
        return failure(read.message());
    }
    return bytes;
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

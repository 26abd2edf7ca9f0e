#pragma once

// The voice image: a whole voice file held in memory, and the byte search primitives that
// every step of opening rests on. Positions are offsets from the start of the image.
//
// Failure rule: no primitive reads outside the image. A pattern that would reach past either
// end of the image does not match there; a checked read that would leave the image returns
// an empty optional and reads nothing.

#include "common/result.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvel {

// Leaves new elements uninitialised, so that a file is read into its buffer without the
// buffer being cleared first: loading then costs what the read costs.
template <class T> struct DefaultInitAllocator : std::allocator<T> {
    template <class U> struct rebind { using other = DefaultInitAllocator<U>; };
    using std::allocator<T>::allocator;
    template <class U> void construct(U* p) { ::new (static_cast<void*>(p)) U; }
    template <class U, class... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

using Bytes = std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>>;

// Positions are signed 32-bit; a larger file is refused, so that a position plus any search
// window the program adds to it stays far inside that range.
inline constexpr std::int64_t max_image_size = std::int64_t{1} << 30;

// Reads the whole file named by `path`, or fails with the reason (the system's, or that it is
// a folder, not a regular file, too large, or that memory ran out). Creates nothing; a missing
// file is a failure. Only a regular file is read: a folder, FIFO, socket or device is refused
// without being opened, so reading never blocks.
Result<Bytes> load_file(const std::string& path);

// 1 if `pattern` stands in the image from `pos` on, else 0. `end` is accepted and not used.
std::uint8_t match_at(const Bytes& image, std::int32_t pos, std::int32_t end,
                      std::string_view pattern);

// Lowest position at or after `start` where `pattern` stands, or 0. The start is always
// examined; the last position tried is `upper` + 1. A match at position 0 also gives 0.
std::int32_t find_forward(const Bytes& image, std::int32_t start, std::int32_t upper,
                          std::string_view pattern);

// Highest position at or before `start` where `pattern` stands (reading forward), or 0. The
// start is always examined; the last position tried is `lower` - 1.
std::int32_t find_backward(const Bytes& image, std::int32_t start, std::int32_t lower,
                           std::string_view pattern);

// The signed 32-bit little-endian value of the four bytes from `pos` on. Empty when the four
// bytes are not all inside the image, or when the most significant byte is 0x80 or above.
std::optional<std::int32_t> byte2long(const Bytes& image, std::int64_t pos);

// The byte at `pos`, or empty outside the image.
std::optional<std::uint8_t> byte_at(const Bytes& image, std::int64_t pos);

} // namespace quorvel

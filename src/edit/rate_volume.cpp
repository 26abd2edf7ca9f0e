#include "edit/rate_volume.h"

namespace quorvel {

bool write_two_digits(Bytes& image, std::int32_t pos, int v) {
    if (v < 0 || v > 99 || pos < 0 ||
        std::int64_t{pos} + 2 > static_cast<std::int64_t>(image.size())) {
        return false;
    }
    image[static_cast<std::size_t>(pos)] = static_cast<std::uint8_t>(v / 10 + 48);
    image[static_cast<std::size_t>(pos) + 1] = static_cast<std::uint8_t>(v % 10 + 48);
    return true;
}

} // namespace quorvel

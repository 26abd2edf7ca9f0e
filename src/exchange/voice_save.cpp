#include "exchange/voice_save.h"

#include "exchange/file_write.h"

#include <algorithm>

namespace quorvel {

bool write_screen_name(Bytes& image, std::int32_t pos, std::int32_t width, std::string_view text) {
    if (pos < 0 || width < 0 ||
        std::int64_t{pos} + width > static_cast<std::int64_t>(image.size())) {
        return false;
    }
    for (std::int32_t i = 0; i < width; ++i) {
        const auto k = static_cast<std::size_t>(i);
        image[static_cast<std::size_t>(pos) + k] =
            k < text.size() ? static_cast<std::uint8_t>(text[k]) : std::uint8_t{' '};
    }
    return true;
}

Result<> save_image(const std::string& path, const Bytes& image) {
    return write_file_atomically(
        path, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
}

} // namespace quorvel

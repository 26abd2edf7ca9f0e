#pragma once

// Saving a voice file: the screen name goes into its field just before the whole image is
// written, byte for byte.

#include "common/result.h"
#include "image/voice_image.h"

#include <string>
#include <string_view>

namespace quorvel {

// Writes exactly `width` bytes from `pos` on: the text, blank-padded to the width or cut to
// it. Returns false, writing nothing, when the field does not lie inside the image.
bool write_screen_name(Bytes& image, std::int32_t pos, std::int32_t width, std::string_view text);

// Writes the whole image to `path` (never half-written), or fails with the system's reason.
Result<> save_image(const std::string& path, const Bytes& image);

} // namespace quorvel

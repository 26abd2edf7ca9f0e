#pragma once

// The rate and volume fields: two ASCII digits each, most significant first, rewritten in
// place whenever a scroll bar's value changes.

#include "image/voice_image.h"

#include <cstdint>

namespace quorvel {

// Writes v (0 to 99) as two ASCII digits at pos and pos + 1. Returns false, writing nothing,
// when either byte lies outside the image or v is out of range.
bool write_two_digits(Bytes& image, std::int32_t pos, int v);

} // namespace quorvel

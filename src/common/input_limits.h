#pragma once

// Sizes beyond which the program refuses an input, for every layer that reads one.

#include <cstdint>

namespace quorvel {

// A text file larger than this is refused: an export of the largest voice is far smaller.
// Standard input, as the command line's text file, is held to the same size.
inline constexpr std::int64_t max_text_size = std::int64_t{64} << 20;

} // namespace quorvel

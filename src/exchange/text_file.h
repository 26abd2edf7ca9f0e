#pragma once

// Reading the text file that the import takes.

#include "common/result.h"

#include <cstdint>
#include <string>

namespace quorvel {

// A text file larger than this is refused: an export of the largest voice is far smaller.
inline constexpr std::int64_t max_text_size = std::int64_t{64} << 20;

// Reads the whole text file named by `path`, of at most max_text_size bytes, once into its
// string; fails with the reason, as read_whole_file does.
Result<std::string> load_text(const std::string& path);

} // namespace quorvel

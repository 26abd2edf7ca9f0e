#pragma once

// Reading the text file that the import takes.

#include "common/input_limits.h"
#include "common/result.h"

#include <string>

namespace quorvel {

// Reads the whole text file named by `path`, of at most max_text_size bytes, once into its
// string; fails with the reason, as read_whole_file does.
Result<std::string> load_text(const std::string& path);

} // namespace quorvel

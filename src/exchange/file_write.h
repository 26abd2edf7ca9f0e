#pragma once

// Writing a whole file so that it is never left half-written: the bytes go to a temporary
// file in the target's folder, are flushed, and the temporary file is renamed over the
// target. A replaced file keeps its permissions; a symbolic link is written through to the
// file it names. On failure the target is left as it was and no temporary file remains.

#include "image/result.h"

#include <string>
#include <string_view>

namespace quorvel {

// Fails with the system's reason.
Result<> write_file_atomically(const std::string& path, std::string_view bytes);

} // namespace quorvel

#pragma once

// Reading a whole file into memory with one read: a voice file when it is opened, a text file
// when it is imported.

#include "common/result.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace quorvel {

// Reads the whole file named by `path`, of at most `limit` bytes, into the buffer that
// `room(length)` makes for its `length` bytes; fails with the reason (the system's, or that it
// is a folder, not a regular file, larger than `limit` (the message `too_large`), or that memory
// ran out). Creates nothing; a missing file is a failure. Only a regular file is read: a
// folder, FIFO, socket or device is refused without being opened, so reading never blocks.
Result<> read_whole_file(const std::string& path, std::int64_t limit, const char* too_large,
                         const std::function<void*(std::size_t length)>& room);

} // namespace quorvel

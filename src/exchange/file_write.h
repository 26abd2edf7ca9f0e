#pragma once

// Writing a whole file so that it is never left half-written and a replaced file stays
// itself. Window Save, window Export and the command line's -o all write through here.
//
// - The target is refused, and nothing changes, when it is read-only (a file the process may
//   not write, or, for root, a file with no write bit at all) or not a regular file (a
//   folder, device, FIFO or socket, also behind a symbolic link). Such a target is never
//   opened, so it never blocks.
// - A symbolic link is written through to the file it finally names.
// - A replacement is atomic: the new bytes go to an anonymous temporary file in the target's
//   folder (Linux O_TMPFILE; elsewhere a named one, removed on SIGINT, SIGTERM and SIGHUP, and
//   on Windows when the console ends the process: Ctrl+C, Ctrl+Break, closing, logoff,
//   shutdown), which gets the old file's owner, group, mode and extended attributes (ACLs
//   among them), is synced, and is renamed over the target.
// - When a replacement cannot keep the file's identity (it has more than one hard link, or
//   the process cannot give a new file its owner, group or attributes), the file is written
//   in place, as careful editors do: first a complete, synced copy of the new bytes beside
//   it, then the file overwritten and synced, then the copy removed. When the overwrite
//   fails, the message names the copy, which holds the whole new content.
// - On success the file and its folder are synced. On failure the target is as it was (or,
//   after a failed overwrite, the copy holds the new bytes) and no temporary file remains.
//
// This header is portable. file_write.cpp is the POSIX implementation and
// file_write_windows.cpp the Windows one, each the one place that knows its system's files;
// the build takes one of them.

#include "common/result.h"

#include <string>
#include <string_view>

namespace quorvel {

// How the writer makes its temporary file. Program code takes the default; the tests choose
// the named one to check what happens where no anonymous file is offered.
enum class TemporaryFile { anonymous_where_possible, named };

// Fails with the reason, in words for the user; the caller names the file.
Result<> write_file_atomically(const std::string& path, std::string_view bytes,
                               TemporaryFile temporary = TemporaryFile::anonymous_where_possible);

} // namespace quorvel

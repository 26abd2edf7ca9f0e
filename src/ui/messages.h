#pragma once

// Pieces of the program's messages that more than one window, or the command line, words the
// same way.

#include <string>

namespace quorvel::ui {

// A file path (UTF-8) in double quotes, as a message names the file: characters the code
// page cannot hold become "?", and a very long path is cut (common/result.h, bounded).
std::string quoted_path(const std::string& path);

// The refusal of a text holding a character the code page cannot store, the first such
// character (UTF-8) named by its code point: "The screen name holds the character U+4E2D, ...".
std::string unencodable_message(const std::string& what, const std::string& character);

} // namespace quorvel::ui

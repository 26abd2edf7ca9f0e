#pragma once

// The voice file's single-byte code page (Windows-1252) and UTF-8, for the faces. The five
// bytes Windows-1252 leaves unassigned (0x81 0x8D 0x8F 0x90 0x9D) map to the control
// characters of the same number, so every byte survives a round trip.

#include <optional>
#include <string>
#include <string_view>

namespace quorvel::ui {

std::string to_utf8(std::string_view single_byte);

struct Encoded {
    std::string bytes;                      // the characters that could be converted
    std::optional<std::string> unencodable; // the first one that could not, in UTF-8
};

Encoded from_utf8(std::string_view utf8);

// "U+4E2D" for the first character of a UTF-8 text: how a message names a character that
// the code page cannot show.
std::string code_point_name(std::string_view utf8);

// A file path (UTF-8) as a message can show it: characters the code page cannot hold
// become "?".
std::string path_for_message(std::string_view utf8_path);

} // namespace quorvel::ui

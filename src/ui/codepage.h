#pragma once

// The voice file's single-byte code page and UTF-8, for the faces. The code page is
// Windows-1252; on Windows it is the system's ANSI code page when that is a single-byte one
// (Windows-1251 on a Russian system, for one). The bytes a code page leaves unassigned (in
// Windows-1252 0x81 0x8D 0x8F 0x90 0x9D) map to the control characters of the same number, so
// every byte survives a round trip.

#include "search/find.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel::ui {

std::string to_utf8(std::string_view single_byte);

// The code page's lower-case mapping, as the system lower-cases its characters: a byte whose
// character has a small letter in the same code page maps to that letter's byte, every other
// byte to itself. Find compares texts lowered so.
const LowerCase& lower_case();
std::string to_lower(std::string_view single_byte);

struct Encoded {
    std::string bytes;                      // the characters that could be converted
    std::optional<std::string> unencodable; // the first one that could not, in UTF-8
    std::size_t unencodable_at = 0;         // where it stood in `bytes`
};

// A malformed sequence is U+FFFD, which has no code either.
Encoded from_utf8(std::string_view utf8);

// UTF-8 and UTF-16, the text of the Windows calls, both ways: a malformed sequence or a lone
// surrogate is U+FFFD.
std::u16string utf16_from_utf8(std::string_view utf8);
std::string utf8_from_utf16(std::u16string_view utf16);

// A text file's bytes as the import reads them. A file that begins with the byte-order mark
// of UTF-8 (EF BB BF), UTF-16 LE (FF FE) or UTF-16 BE (FE FF), and a file without one that
// is well-formed UTF-8 holding a character beyond ASCII, is converted (the mark dropped); a
// character without a code stands as "?" (so the lines stay as they were), and so does a
// malformed sequence (U+FFFD). Any other file already is the code page and is taken whole.
Encoded text_file_to_code_page(std::string_view file);

// "U+4E2D" for the first character of a UTF-8 text: how a message names a character that
// the code page cannot show.
std::string code_point_name(std::string_view utf8);

// A file path (UTF-8) as a message can show it: characters the code page cannot hold
// become "?".
std::string path_for_message(std::string_view utf8_path);

} // namespace quorvel::ui

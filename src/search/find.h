#pragma once

// Finding a phrase in the list by a piece of its text: case-insensitive, and only the text
// behind an entry's first hyphen takes part, never its number.

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Lower case in the single-byte code page (Windows-1252): ASCII, the Latin-1 capitals and
// the three capitals of 0x8A..0x9F.
std::string to_lower(std::string_view text);

// Whether `lowered` (already lower case) occurs in the entry behind its first hyphen.
bool entry_matches(std::string_view entry, std::string_view lowered);

// The first index from `from` on whose entry matches, or -1.
int find_entry(const std::vector<std::string>& entries, int from, std::string_view lowered);

} // namespace quorvel

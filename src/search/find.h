#pragma once

// Finding a phrase in the list by a piece of its text: case-insensitive, and only the text
// behind an entry's first hyphen takes part, never its number.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// The small letter of every byte of the code page, or the byte itself (the code page's own
// mapping: ui/codepage.h gives it).
using LowerCase = std::array<unsigned char, 256>;

std::string to_lower(std::string_view text, const LowerCase& lower);

// Whether `lowered` (already lower case) occurs in the entry behind its first hyphen.
bool entry_matches(std::string_view entry, std::string_view lowered, const LowerCase& lower);

// The first index from `from` on whose entry matches, or -1.
int find_entry(const std::vector<std::string>& entries, int from, std::string_view lowered,
               const LowerCase& lower);

} // namespace quorvel

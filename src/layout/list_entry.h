#pragma once

// How the program writes numbers and phrase list entries: the forms the list shows, the
// value labels show, export writes and the import's messages quote.

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

// A number as the program shows it: one leading blank for a non-negative number (the sign
// position), so 45 reads " 45" and -3 reads "-3".
std::string signed_number(std::int64_t n);

// The list entry of phrase k: " k-text".
std::string list_entry(std::int64_t k, std::string_view text);

// The text of a list entry behind its first hyphen (the whole entry when it has none).
std::string_view entry_text(std::string_view entry);

} // namespace quorvel

#include "search/find.h"

#include <algorithm>

namespace quorvel {

namespace {

unsigned char lower_byte(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<unsigned char>(c + 0x20);
    }
    switch (c) {
    case 0x8A: // S caron
    case 0x8C: // OE
    case 0x8E: // Z caron
        return static_cast<unsigned char>(c + 0x10);
    case 0x9F: // Y diaeresis
        return 0xFF;
    default:
        return c;
    }
}

} // namespace

std::string to_lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return static_cast<char>(lower_byte(static_cast<unsigned char>(c)));
    });
    return out;
}

bool entry_matches(std::string_view entry, std::string_view lowered) {
    const auto hyphen = entry.find('-');
    // the search starts behind the first hyphen, or at the start when there is none
    const std::size_t from = hyphen == std::string_view::npos ? 0 : hyphen + 1;
    if (lowered.empty()) {
        return from < entry.size(); // the empty text matches where any text follows
    }
    return to_lower(entry).find(lowered, from) != std::string::npos;
}

int find_entry(const std::vector<std::string>& entries, int from, std::string_view lowered) {
    for (int i = std::max(from, 0); i < static_cast<int>(entries.size()); ++i) {
        if (entry_matches(entries[static_cast<std::size_t>(i)], lowered)) {
            return i;
        }
    }
    return -1;
}

} // namespace quorvel

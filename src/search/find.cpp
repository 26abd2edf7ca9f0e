#include "search/find.h"

#include <algorithm>

namespace quorvel {

std::string to_lower(std::string_view text, const LowerCase& lower) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [&lower](char c) {
        return static_cast<char>(lower[static_cast<unsigned char>(c)]);
    });
    return out;
}

bool entry_matches(std::string_view entry, std::string_view lowered, const LowerCase& lower) {
    const auto hyphen = entry.find('-');
    // the search starts behind the first hyphen, or at the start when there is none
    const std::size_t from = hyphen == std::string_view::npos ? 0 : hyphen + 1;
    if (lowered.empty()) {
        return from < entry.size(); // the empty text matches where any text follows
    }
    return to_lower(entry, lower).find(lowered, from) != std::string::npos;
}

int find_entry(const std::vector<std::string>& entries, int from, std::string_view lowered,
               const LowerCase& lower) {
    for (int i = std::max(from, 0); i < static_cast<int>(entries.size()); ++i) {
        if (entry_matches(entries[static_cast<std::size_t>(i)], lowered, lower)) {
            return i;
        }
    }
    return -1;
}

} // namespace quorvel

#include "layout/list_entry.h"

namespace quorvel {

std::string signed_number(std::int64_t n) {
    return (n >= 0 ? " " : "") + std::to_string(n);
}

std::string list_entry(std::int64_t k, std::string_view text) {
    std::string entry = signed_number(k);
    entry += '-';
    entry += text;
    return entry;
}

std::string_view entry_text(std::string_view entry) {
    const auto hyphen = entry.find('-');
    return hyphen == std::string_view::npos ? entry : entry.substr(hyphen + 1);
}

} // namespace quorvel

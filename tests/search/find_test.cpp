#include "search/find.h"

#include "support/test_names.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::PrintTo;

// ASCII's letters; the code page's own mapping is ui/codepage's to test.
LowerCase ascii_lower_case() {
    LowerCase lower{};
    for (std::size_t b = 0; b < lower.size(); ++b) {
        lower[b] = static_cast<unsigned char>(b >= 'A' && b <= 'Z' ? b + 0x20 : b);
    }
    return lower;
}
const LowerCase ascii = ascii_lower_case();

struct MatchCase {
    const char* name;
    const char* entry;
    const char* search;
    bool matches;
};

class EntryMatches : public testing::TestWithParam<MatchCase> {};

TEST_P(EntryMatches, looks_behind_the_first_hyphen_in_any_case) {
    const auto& c = GetParam();
    EXPECT_EQ(entry_matches(c.entry, to_lower(c.search, ascii), ascii), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EntryMatches,
    testing::Values(MatchCase{"capitals_find_small_letters", " 3-turn left", "LEFT", true},
                    MatchCase{"small_letters_find_capitals", " 3-TURN LEFT", "left", true},
                    MatchCase{"number_takes_no_part", " 12-Turn", "12", false},
                    MatchCase{"number_in_the_text_matches", " 12-Exit 12", "12", true},
                    MatchCase{"first_hyphen_takes_no_part", " 4-ab", "4-a", false},
                    MatchCase{"later_hyphens_take_part", " 4-U-turn", "u-t", true},
                    MatchCase{"empty_text_matches_any_text", " 5-x", "", true},
                    MatchCase{"empty_text_needs_a_text", " 5-", "", false},
                    MatchCase{"no_hyphen_searches_everything", "abc", "b", true}),
    test::row_name);

TEST(FindEntry, returns_the_first_match_from_the_start_index) {
    const std::vector<std::string> entries = {" 1-left", " 2-right", " 3-left again"};
    EXPECT_EQ(find_entry(entries, 0, "left", ascii), 0);
    EXPECT_EQ(find_entry(entries, 1, "left", ascii), 2);
    EXPECT_EQ(find_entry(entries, 3, "left", ascii), -1);
    EXPECT_EQ(find_entry(entries, -1, "right", ascii), 1);
    EXPECT_EQ(find_entry({}, 0, "", ascii), -1);
}

} // namespace
} // namespace quorvel

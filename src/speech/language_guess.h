#pragma once

// Which language a voice speaks, guessed from its phrases: each word of the phrases that is
// one of a language's common words counts for that language. The language with the most
// counts is the guess when the count is clear: at least min_count words, and at least
// lead_factor times the count of the next language. Anything else is "unknown".

#include <string>
#include <string_view>
#include <vector>

namespace quorvel::speech {

inline constexpr const char* unknown_language = "unknown";
inline constexpr int min_count = 3;
inline constexpr double lead_factor = 1.5;

// `phrases` in UTF-8; the guess's code, or unknown_language.
std::string guess_language(const std::vector<std::string>& phrases);

// The words of a UTF-8 text, lower-cased (Latin, Greek and Cyrillic capitals); anything
// that is not a letter or a digit separates words, and one holding a digit ("A1") is no word.
std::vector<std::string> lower_case_words(std::string_view utf8);

} // namespace quorvel::speech

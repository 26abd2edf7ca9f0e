#pragma once

// Numbers in the text exchange file, read and rounded as the program's BASIC reads and rounds
// them: the import's rate, volume and phrase numbers.

#include <string_view>

namespace quorvel {

// The number at the start of a text, as the program's BASIC reads it: blanks, tabs and line
// feeds are ignored wherever they stand; an optional sign, digits, a decimal point with
// digits and an exponent (E or D); "&H" hexadecimal or "&O" octal. No number gives 0.
double basic_number(std::string_view text);

// Rounds to the nearest integer, a half to the even neighbour.
double round_half_even(double v);

} // namespace quorvel

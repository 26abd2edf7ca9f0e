#include "exchange/basic_number.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace quorvel {

namespace {

int digit_value(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

// "&H" and "&O" numbers: up to 16 bits they are signed 16-bit values, up to 32 bits signed
// 32-bit values (so "&HFFFF" is -1); beyond that they only count as very large.
double radix_number(std::string_view digits, int radix) {
    std::uint64_t v = 0;
    for (char c : digits) {
        const int d = digit_value(c);
        if (d >= radix) {
            break;
        }
        v = v * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(d);
        if (v > 0xFFFFFFFFull) {
            return HUGE_VAL;
        }
    }
    if (v <= 0xFFFF) {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

// The digits from s[i] on; i moves behind them.
std::string take_digits(std::string_view s, std::size_t& i) {
    std::string out;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        out += s[i++];
    }
    return out;
}

} // namespace

double basic_number(std::string_view text) {
    std::string s;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            s += c;
        }
    }
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        return radix_number(std::string_view(s).substr(2), 16);
    }
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'O' || s[1] == 'o')) {
        return radix_number(std::string_view(s).substr(2), 8);
    }
    std::size_t i = 0;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        number += s[i++];
    }
    number += take_digits(s, i);
    if (i < s.size() && s[i] == '.') {
        ++i;
        number += '.';
        number += take_digits(s, i);
    }
    if (number.find_first_of("0123456789") == std::string::npos) {
        return 0;
    }
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            exponent += s[j++];
        }
        const std::string digits = take_digits(s, j);
        if (!digits.empty()) {
            number += exponent + digits;
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

double round_half_even(double v) {
    return std::nearbyint(v);
}

} // namespace quorvel

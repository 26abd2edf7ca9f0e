#include "exchange/text_exchange.h"

#include "layout/open_voice.h"

#include <cmath>
#include <cstdlib>

namespace quorvel {

namespace {

constexpr std::string_view crlf = "\r\n";
constexpr std::string_view separator = ": ";

// Lines end at CR LF or at a CR alone; an LF alone stays part of its line.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : rest_(text) {}
    bool at_end() const { return rest_.empty(); }
    std::string read() {
        const auto cr = rest_.find('\r');
        std::string line(rest_.substr(0, cr));
        if (cr == std::string_view::npos) {
            rest_ = {};
        } else {
            rest_.remove_prefix(cr + 1);
            if (!rest_.empty() && rest_.front() == '\n') {
                rest_.remove_prefix(1);
            }
        }
        return line;
    }

  private:
    std::string_view rest_;
};

struct Split {
    bool has_separator = false;
    std::string keyword;
    std::string value; // the whole line when there is no separator
};

Split split(const std::string& line) {
    const auto at = line.find(separator);
    if (at == std::string::npos) {
        return {false, {}, line};
    }
    return {true, line.substr(0, at), line.substr(at + separator.size())};
}

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

std::string count_digits(std::string_view s, std::size_t& i) {
    std::string out;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        out += s[i++];
    }
    return out;
}

void fault_at(std::optional<ImportFault>& fault, std::int64_t line, const std::string& found,
              const std::string& expected) {
    fault = ImportFault{line, found, expected};
}

std::string range_text(const char* name, int maximum) {
    return std::string(name) + " from " + signed_number(0) + " to " + signed_number(maximum);
}

} // namespace

std::string export_text(const ExportFields& f) {
    std::string out;
    const auto line = [&out](std::string_view a, std::string_view b = {}) {
        out += a;
        out += b;
        out += crlf;
    };
    line("'DO NOT ALTER THE NEXT 2 LINES. ");
    line("Voice Name: ", f.voice_name);
    line("VPM Type: ", f.nuvi_model);
    line("Voice Rate: ", f.voice_rate);
    line("Voice Volume: ", f.voice_vol);
    line("Screen Name: ", f.screen_name);
    line("");
    for (const auto& entry : f.entries) {
        line(entry);
    }
    return out;
}

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
    number += count_digits(s, i);
    if (i < s.size() && s[i] == '.') {
        ++i;
        number += '.';
        number += count_digits(s, i);
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
        const std::string digits = count_digits(s, j);
        if (!digits.empty()) {
            number += exponent + digits;
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

double round_half_even(double v) {
    return std::nearbyint(v);
}

std::optional<ImportFault> import_text(std::string_view text, ImportTarget& target) {
    LineReader in(text);
    std::int64_t line_number = 0;
    std::optional<ImportFault> fault;
    std::string current;

    if (!in.at_end()) {
        in.read();
        line_number = 1;
    }
    // Lines 2 and 3 name the voice file the text belongs to.
    for (const std::string& expected : {target.voice_name(), target.nuvi_model()}) {
        if (in.at_end() || fault) {
            break;
        }
        const Split s = split(in.read());
        ++line_number;
        current = s.value;
        if (!s.has_separator || s.value != expected) {
            fault_at(fault, line_number, current, expected);
        }
    }

    // Settings, up to and including the first line whose value is empty.
    while (!in.at_end() && !current.empty() && !fault) {
        const Split s = split(in.read());
        ++line_number;
        current = s.value;
        if (s.keyword == "Voice Rate") {
            const double v = round_half_even(basic_number(current));
            const auto maximum = target.rate_maximum();
            if (!maximum) {
                fault_at(fault, line_number, current,
                         "Voice Rate cannot be set for this voice file");
            } else if (!(v >= 0 && v <= *maximum)) {
                fault_at(fault, line_number, current, range_text("Voice Rate", *maximum));
            } else {
                target.set_rate(static_cast<int>(v));
            }
        } else if (s.keyword == "Voice Volume") {
            const double v = round_half_even(basic_number(current));
            if (!(v >= 0 && v <= volume_maximum)) {
                fault_at(fault, line_number, current, range_text("Voice Volume", volume_maximum));
            } else {
                target.set_volume(static_cast<int>(v));
            }
        } else if (s.keyword == "Screen Name") {
            target.set_screen_name(current);
        } else if (!s.keyword.empty()) {
            fault_at(fault, line_number, current, "keyword: value");
        }
    }

    // Phrases: lines with a hyphen, numbered by the text in front of it.
    while (!in.at_end() && !fault) {
        current = in.read();
        ++line_number;
        const auto hyphen = current.find('-');
        if (hyphen == std::string::npos) {
            continue;
        }
        const double k = basic_number(std::string_view(current).substr(0, hyphen));
        const int count = target.phrase_count();
        if (k > count) {
            fault_at(fault, line_number, current,
                     "index_number less or equal to " + signed_number(count));
            break;
        }
        const double rounded = round_half_even(k);
        if (!(rounded >= 1)) {
            fault_at(fault, line_number, current,
                     "index_number greater or equal to " + signed_number(1));
            break;
        }
        const int position = static_cast<int>(rounded) - 1;
        const std::string entry = target.entry(position);
        if (current == entry) {
            continue;
        }
        target.apply_phrase(position, std::string(entry_text(entry)), current.substr(hyphen + 1));
    }
    return fault;
}

std::string fault_message(const ImportFault& fault) {
    std::string m = "Incompatible/Invalid text file. Found an unexpected error at line ";
    m += signed_number(fault.line);
    m += ":";
    m += crlf;
    m += "Found: " + fault.found;
    m += crlf;
    m += "Expected: " + fault.expected;
    m += crlf;
    m += "Aborting! You should reload your VPM file and import a compatible TXT file.";
    return m;
}

} // namespace quorvel

#include "exchange/text_exchange.h"

#include "exchange/basic_number.h"
#include "layout/list_entry.h"

namespace quorvel {

namespace {

constexpr std::string_view crlf = "\r\n";
constexpr std::string_view separator = ": ";

// Lines end by the file's own convention: at CR LF in a file that holds one (a CR or an LF
// alone then stays part of its line, so every export reads back as written), else at each
// CR in a file that holds one, else at each LF.
std::string_view line_end_of(std::string_view text) {
    if (text.find(crlf) != std::string_view::npos) {
        return crlf;
    }
    return text.find('\r') != std::string_view::npos ? "\r" : "\n";
}

class LineReader {
  public:
    explicit LineReader(std::string_view text) : rest_(text), end_(line_end_of(text)) {}
    bool at_end() const { return rest_.empty(); }
    std::string read() {
        const auto at = rest_.find(end_);
        std::string line(rest_.substr(0, at));
        rest_ = at == std::string_view::npos ? std::string_view() : rest_.substr(at + end_.size());
        return line;
    }

  private:
    std::string_view rest_;
    std::string_view end_;
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

namespace {

// A fault of the import: the line, what it held and what was expected there.
struct ImportFault {
    std::int64_t line = 0;
    std::string found;
    std::string expected;
};

using Fault = std::optional<ImportFault>;

// The file as the import reads it, line by line from the top.
struct Reading {
    LineReader in;
    std::int64_t line_number = 0;
    // The value of the last line read (the whole line for a line without a separator, and
    // for every line of the phrases): what a fault message shows as found.
    std::string current;

    bool at_end() const { return in.at_end(); }
    std::string next() {
        ++line_number;
        return in.read();
    }
    Fault fault(std::string expected) const {
        return ImportFault{line_number, current, std::move(expected)};
    }
};

// Lines 1 to 3: line 1 is not looked at; lines 2 and 3 name the voice file the text belongs
// to, and must carry a separator.
Fault read_identification(Reading& r, const ImportTarget& target) {
    if (r.at_end()) {
        return std::nullopt;
    }
    r.next();
    for (const std::string& expected : {target.voice_name(), target.nuvi_model()}) {
        if (r.at_end()) {
            break;
        }
        const Split s = split(r.next());
        r.current = s.value;
        if (!s.has_separator || s.value != expected) {
            return r.fault(expected);
        }
    }
    return std::nullopt;
}

// Settings, up to and including the first line whose value is empty.
Fault read_settings(Reading& r, ImportTarget& target) {
    while (!r.at_end() && !r.current.empty()) {
        const Split s = split(r.next());
        r.current = s.value;
        if (s.keyword == "Voice Rate") {
            const double v = round_half_even(basic_number(r.current));
            const auto maximum = target.rate_maximum();
            // Without a rate field the bar keeps its value: a line that asks for it (as the
            // file's own export does) changes nothing.
            if (!maximum && v != target.rate()) {
                return r.fault("Voice Rate cannot be set for this voice file");
            }
            if (maximum && !(v >= 0 && v <= *maximum)) {
                return r.fault(range_text("Voice Rate", *maximum));
            }
            target.set_rate(static_cast<int>(v));
        } else if (s.keyword == "Voice Volume") {
            const double v = round_half_even(basic_number(r.current));
            if (!(v >= 0 && v <= volume_maximum)) {
                return r.fault(range_text("Voice Volume", volume_maximum));
            }
            target.set_volume(static_cast<int>(v));
        } else if (s.keyword == "Screen Name") {
            target.set_screen_name(r.current);
        } else if (!s.keyword.empty()) {
            return r.fault("keyword: value");
        }
    }
    return std::nullopt;
}

// Phrases: lines with a hyphen, numbered by the text in front of it. The number is compared
// with the count as it stands, and rounded only to select the phrase.
Fault read_phrases(Reading& r, ImportTarget& target) {
    while (!r.at_end()) {
        r.current = r.next();
        const auto hyphen = r.current.find('-');
        if (hyphen == std::string::npos) {
            continue;
        }
        const double k = basic_number(std::string_view(r.current).substr(0, hyphen));
        const int count = target.phrase_count();
        if (k > count) {
            return r.fault("index_number less or equal to " + signed_number(count));
        }
        const double rounded = round_half_even(k);
        if (!(rounded >= 1)) {
            return r.fault("index_number greater or equal to " + signed_number(1));
        }
        const int position = static_cast<int>(rounded) - 1;
        const std::string entry = target.entry(position);
        if (r.current != entry) {
            target.apply_phrase(position, r.current.substr(hyphen + 1));
        }
    }
    return std::nullopt;
}

// The message shown for a fault, with CR LF between its lines.
std::string fault_message(const ImportFault& fault) {
    std::string m = "Incompatible/Invalid text file. Found an unexpected error at line ";
    m += signed_number(fault.line);
    m += ":";
    m += crlf;
    m += "Found: " + bounded(fault.found);
    m += crlf;
    m += "Expected: " + fault.expected;
    m += crlf;
    m += "Aborting! You should reload your VPM file and import a compatible TXT file.";
    return m;
}

} // namespace

std::int64_t line_at(std::string_view text, std::size_t offset) {
    const std::string_view end = line_end_of(text);
    std::int64_t line = 1;
    for (auto at = text.find(end); at < offset; at = text.find(end, at + end.size())) {
        ++line;
    }
    return line;
}

Result<> import_text(std::string_view text, ImportTarget& target) {
    Reading r{LineReader(text), 0, {}};
    auto fault = read_identification(r, target);
    if (!fault) {
        fault = read_settings(r, target);
    }
    if (!fault) {
        fault = read_phrases(r, target);
    }
    if (fault) {
        return failure(fault_message(*fault));
    }
    return {};
}

} // namespace quorvel

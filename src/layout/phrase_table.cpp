#include "layout/phrase_table.h"

#include "layout/list_entry.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace quorvel {

namespace {

// The constants that tell the two families' tables apart.
struct TableConstants {
    std::string_view calibration;
    std::int32_t calibration_reach; // the backward search goes down to file_len - reach
    std::string_view landmark;      // the text area begins a fixed distance behind it
    std::int32_t landmark_offset;
    std::int32_t buffer_capacity;
};

constexpr TableConstants constants_7x0{std::string_view("\x22\x00\x23\x00", 4), 100000,
                                       "Unable to locate", 32, 2451};
constexpr TableConstants constants_255w{"p \"v", 200000, "Entry is not fou", 16, 1501};

const TableConstants& constants_of(bool family_7x0) {
    return family_7x0 ? constants_7x0 : constants_255w;
}

constexpr std::string_view five_nuls("\0\0\0\0\0", 5);
constexpr std::int32_t cpp_li_to_table_255w = 20992 + 24;

// A hostile table can point every entry at one long phrase; this bounds the text listed.
constexpr std::int64_t max_listed_text = std::int64_t{64} << 20;

bool fits_int32(std::int64_t v) {
    return v >= std::numeric_limits<std::int32_t>::min() &&
           v <= std::numeric_limits<std::int32_t>::max();
}

using Kind = SearchRecord::Kind;

// The positions a search examines, as find_forward and find_backward define them, cut to
// where the whole pattern fits in the image.
struct Window {
    std::int64_t first;
    std::int64_t last;
};

Window window_of(const Bytes& image, const SearchRecord& s) {
    const auto fits =
        static_cast<std::int64_t>(image.size()) - static_cast<std::int64_t>(s.pattern.size());
    if (s.kind == Kind::forward) {
        return {std::max<std::int64_t>(s.start, 0),
                std::min(std::max<std::int64_t>(s.start, std::int64_t{s.bound} + 1), fits)};
    }
    return {std::max<std::int64_t>(std::min<std::int64_t>(s.start, std::int64_t{s.bound} - 1), 0),
            std::min<std::int64_t>(s.start, fits)};
}

// The matches of the pattern at positions from `lo` to `hi` that overlap a changed range:
// the lowest when `lowest`, else the highest; -1 when there is none.
std::int64_t changed_match(const Bytes& image, std::string_view pattern, std::int64_t lo,
                           std::int64_t hi, const std::vector<ByteRange>& changed, bool lowest) {
    const auto len = static_cast<std::int64_t>(pattern.size());
    std::int64_t best = -1;
    for (const ByteRange& r : changed) {
        const std::int64_t from = std::max({lo, r.pos - len + 1, std::int64_t{0}});
        const std::int64_t to = std::min(hi, r.pos + r.len - 1);
        for (std::int64_t i = from; i <= to; ++i) {
            if (match_at(image, static_cast<std::int32_t>(i), 0, pattern) == 1 &&
                (best < 0 || (lowest ? i < best : i > best))) {
                best = i;
            }
        }
    }
    return best;
}

bool touches(const std::vector<ByteRange>& changed, std::int64_t lo, std::int64_t hi) {
    return std::any_of(changed.begin(), changed.end(),
                       [&](const ByteRange& r) { return r.pos <= hi && r.pos + r.len - 1 >= lo; });
}

// What a recorded search finds in the image as it now stands, when that can be told from the
// changed bytes alone: its old match still stands and no changed byte makes a match that
// comes first. Empty when it must search again.
std::optional<std::int64_t> replayed(const Bytes& image, const SearchRecord& s,
                                     const std::vector<ByteRange>& changed) {
    const Window w = window_of(image, s);
    if (w.first > w.last) {
        return 0;
    }
    const bool forward = s.kind == Kind::forward;
    if (s.result != 0) {
        if (match_at(image, static_cast<std::int32_t>(s.result), 0, s.pattern) != 1) {
            return std::nullopt;
        }
        const std::int64_t earlier =
            forward ? changed_match(image, s.pattern, w.first, s.result - 1, changed, true)
                    : changed_match(image, s.pattern, s.result + 1, w.last, changed, false);
        return earlier >= 0 ? earlier : s.result;
    }
    // Nothing was found, or a match at position 0, which reads as nothing. A forward search
    // stops at such a match, so whether it stood there decides.
    if (forward && w.first == 0) {
        if (touches(changed, 0, static_cast<std::int64_t>(s.pattern.size()) - 1)) {
            return std::nullopt;
        }
        if (match_at(image, 0, 0, s.pattern) == 1) {
            return 0;
        }
    }
    const std::int64_t found = changed_match(image, s.pattern, std::max<std::int64_t>(w.first, 1),
                                             w.last, changed, forward);
    return found >= 0 ? found : 0;
}

// Locating the table goes through here: every search and walk is recorded. Given the records
// of an earlier locating and the bytes changed since, each one made again with the same
// arguments is answered from its record where the changes allow.
class Locator {
  public:
    explicit Locator(const Bytes& image, const std::vector<SearchRecord>* earlier = nullptr,
                     const std::vector<ByteRange>* changed = nullptr)
        : image_(image), earlier_(earlier), changed_(changed) {}

    std::int32_t forward(std::int32_t start, std::int32_t upper, std::string_view pattern) {
        return search({Kind::forward, pattern, start, upper, 0});
    }
    std::int32_t backward(std::int32_t start, std::int32_t lower, std::string_view pattern) {
        return search({Kind::backward, pattern, start, lower, 0});
    }

    // A walk from `start` that reads bytes from `start` + 1 down only: `run` gives its result
    // and the lowest position it read, or empty when it left the image.
    template <class Run> std::optional<std::int64_t> walk(std::int32_t start, Run run) {
        SearchRecord s{Kind::walk, {}, start, 0, 0};
        if (const SearchRecord* old = recorded(s);
            old != nullptr && !touches(*changed_, old->bound, std::int64_t{old->start} + 1)) {
            s = *old;
        } else {
            const auto walked = run();
            if (!walked) {
                return std::nullopt;
            }
            s.result = walked->first;
            s.bound = walked->second;
        }
        records_.push_back(s);
        return s.result;
    }

    std::vector<SearchRecord> take_records() { return std::move(records_); }

  private:
    std::int32_t search(SearchRecord s) {
        const SearchRecord* old = recorded(s);
        const auto known = old != nullptr ? replayed(image_, *old, *changed_) : std::nullopt;
        if (known) {
            s.result = *known;
        } else if (s.kind == Kind::forward) {
            s.result = find_forward(image_, s.start, s.bound, s.pattern);
        } else {
            s.result = find_backward(image_, s.start, s.bound, s.pattern);
        }
        records_.push_back(s);
        return static_cast<std::int32_t>(s.result);
    }

    // The earlier record of this step, when the earlier locating made the same step at this
    // point; once the steps differ, nothing further is taken from the records.
    const SearchRecord* recorded(const SearchRecord& s) {
        if (earlier_ == nullptr || next_ >= earlier_->size()) {
            return nullptr;
        }
        const SearchRecord& old = (*earlier_)[next_];
        if (old.kind != s.kind || old.pattern != s.pattern || old.start != s.start ||
            (s.kind != Kind::walk && old.bound != s.bound)) {
            next_ = earlier_->size();
            return nullptr;
        }
        ++next_;
        return &old;
    }

    const Bytes& image_;
    const std::vector<SearchRecord>* earlier_;
    const std::vector<ByteRange>* changed_;
    std::size_t next_ = 0;
    std::vector<SearchRecord> records_;
};

// Step 1 of the 7x0/3x0 family: the stored pointer stands in front of the calibration text,
// found by walking back 4 bytes at a time from calib_pos - 2 while the byte stays the same.
std::optional<std::int64_t> stored_pointer_7x0(const Bytes& image, Locator& locator,
                                               std::int32_t calib_pos) {
    const std::int32_t from = calib_pos - 2;
    return locator.walk(from, [&]() -> std::optional<std::pair<std::int64_t, std::int64_t>> {
        std::int64_t p = from;
        const auto b = byte_at(image, p);
        if (!b) {
            return std::nullopt;
        }
        auto byte = b;
        while (byte == b) {
            p -= 4;
            byte = byte_at(image, p);
        }
        const auto stored = byte ? byte2long(image, p + 2) : std::nullopt; // empty: left the image
        if (!stored) {
            return std::nullopt;
        }
        return std::pair<std::int64_t, std::int64_t>{*stored, p};
    });
}

// Step 2 without "C++ li": the table starts 2 bytes behind the first NUL met walking back
// 4 bytes at a time from near 192 bytes in front of "voicefon".
std::optional<std::int32_t> table_behind_voicefon(const Bytes& image, Locator& locator,
                                                  std::int32_t calib_pos) {
    const std::int32_t v =
        locator.forward(calib_pos, static_cast<std::int32_t>(image.size()) - 10, "voicefon");
    if (v == 0) {
        return std::nullopt;
    }
    std::int64_t n = std::int64_t{v} - 192;
    n -= n % 16; // truncated toward zero: the remainder takes the sign of n
    n += 2;
    const auto start = static_cast<std::int32_t>(n);
    const auto walked =
        locator.walk(start, [&]() -> std::optional<std::pair<std::int64_t, std::int64_t>> {
            std::int64_t p = start;
            for (auto byte = byte_at(image, p); byte != std::uint8_t{0}; byte = byte_at(image, p)) {
                if (!byte) {
                    return std::nullopt;
                }
                p -= 4;
            }
            return std::pair<std::int64_t, std::int64_t>{p + 2, p};
        });
    if (!walked) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*walked);
}

// Step 2 with "C++ li" (7x0/3x0): just behind the last of a chain of five-NUL runs, each
// found within 161 bytes of the end of the one before; c + 24 when there is none.
std::int32_t table_behind_nul_runs(Locator& locator, std::int32_t c) {
    std::int32_t z = locator.forward(c, c + 160, five_nuls);
    if (z == 0) {
        return c + 24;
    }
    std::int32_t s = 0;
    do {
        s = z + 5;
        z = locator.forward(s, s + 160, five_nuls);
    } while (z != 0);
    return s;
}

// Step 1: the calibration text, "C++ li" behind it, and from the calibration text's stored
// pointer, ptr_delta.
Result<TableLocation> calibrate(const Bytes& image, Locator& locator, bool family_7x0) {
    const TableConstants& k = constants_of(family_7x0);
    const auto len = static_cast<std::int32_t>(image.size());
    TableLocation at;
    at.family_7x0 = family_7x0;
    at.calib_pos = locator.backward(len - 10, len - k.calibration_reach, k.calibration);
    if (at.calib_pos == 0) {
        return failure("The calibration text could not be found.");
    }
    at.cpp_li_pos = locator.forward(at.calib_pos, len - 10, "C++ li");
    std::optional<std::int64_t> stored;
    if (family_7x0) {
        stored = stored_pointer_7x0(image, locator, at.calib_pos);
    } else if (at.cpp_li_pos != 0) {
        stored = byte2long(image, std::int64_t{at.cpp_li_pos} + 24);
    }
    const std::int64_t delta = stored ? std::int64_t{at.calib_pos} - *stored : 0;
    if (!stored || !fits_int32(delta)) {
        return failure("The pointer of the calibration text could not be found.");
    }
    at.ptr_delta = static_cast<std::int32_t>(delta);
    return at;
}

std::optional<std::int32_t> table_start(const Bytes& image, Locator& locator,
                                        const TableLocation& at) {
    if (!at.family_7x0) {
        const std::int64_t pos = std::int64_t{at.cpp_li_pos} + cpp_li_to_table_255w;
        return fits_int32(pos) ? std::optional<std::int32_t>(static_cast<std::int32_t>(pos))
                               : std::nullopt;
    }
    if (at.cpp_li_pos >= 1) {
        return table_behind_nul_runs(locator, at.cpp_li_pos);
    }
    return table_behind_voicefon(image, locator, at.calib_pos);
}

// Steps 1 to 3: the table's landmarks, without the phrases.
Result<TableLocation> locate(const Bytes& image, Locator& locator, bool family_7x0) {
    auto at = calibrate(image, locator, family_7x0);
    if (!at) {
        return at;
    }
    const auto start = table_start(image, locator, *at);
    const auto entry1 = start ? byte2long(image, *start) : std::nullopt;
    if (!entry1) {
        return failure("The phrase table could not be found.");
    }
    at->ptr_table_pos = *start;

    const std::int64_t first = std::int64_t{*entry1} + at->ptr_delta;
    if (first < 0 || first >= static_cast<std::int64_t>(image.size())) {
        return failure("The first phrase lies outside the file.");
    }
    at->first_phrase_pos = static_cast<std::int32_t>(first);
    const TableConstants& k = constants_of(family_7x0);
    const std::int32_t s = locator.forward(
        at->first_phrase_pos, static_cast<std::int32_t>(image.size()) - 10, k.landmark);
    if (s == 0) {
        return failure("The phrase text area could not be found.");
    }
    at->text_start = s + k.landmark_offset;
    at->buffer_capacity = k.buffer_capacity;
    at->searches = locator.take_records();
    return at;
}

// The phrase at `pos`: the bytes up to, not including, the next NUL. Empty when the
// position lies outside the image or no NUL follows before its end.
std::optional<std::string_view> phrase_at(const Bytes& image, std::int64_t pos) {
    if (pos < 0 || pos >= static_cast<std::int64_t>(image.size())) {
        return std::nullopt;
    }
    const auto* begin = image.data() + pos;
    const auto* nul = static_cast<const std::uint8_t*>(
        std::memchr(begin, 0, image.size() - static_cast<std::size_t>(pos)));
    if (nul == nullptr) {
        return std::nullopt;
    }
    return std::string_view(reinterpret_cast<const char*>(begin),
                            static_cast<std::size_t>(nul - begin));
}

// Step 4: read the table up to its end entry, listing every phrase (all but the last one
// read in the 255W/260 family) and raising text_end to one past the highest NUL.
Result<> read_phrases(const Bytes& image, PhraseTable& table) {
    std::int64_t text_end = table.text_start;
    std::int64_t listed = 0;
    for (std::int64_t e = table.ptr_table_pos;; e += 4) {
        const auto v = byte2long(image, e);
        if (!v) {
            return failure(e + 4 > static_cast<std::int64_t>(image.size())
                               ? "The phrase table has no end entry."
                               : "A phrase pointer in the table is out of range.");
        }
        if (table.family_7x0 ? *v < 50 : *v > 16777216) {
            break;
        }
        const std::int64_t i = std::int64_t{*v} + table.ptr_delta;
        const auto text = phrase_at(image, i);
        if (!text) {
            return failure("A phrase lies outside the file or has no end.");
        }
        listed += static_cast<std::int64_t>(text->size());
        if (listed > max_listed_text) {
            return failure("The phrase table is too large.");
        }
        table.entries.push_back(list_entry(table.phrase_count() + 1, *text));
        text_end = std::max<std::int64_t>(text_end, i + static_cast<std::int64_t>(text->size()));
    }
    if (!table.family_7x0 && !table.entries.empty()) {
        table.entries.pop_back();
    }
    table.text_end = static_cast<std::int32_t>(text_end + 1);
    return {};
}

bool same_place(const TableLocation& a, const TableLocation& b) {
    return a.calib_pos == b.calib_pos && a.cpp_li_pos == b.cpp_li_pos &&
           a.ptr_delta == b.ptr_delta && a.ptr_table_pos == b.ptr_table_pos &&
           a.text_start == b.text_start;
}

} // namespace

Result<TableLocation> locate_table(const Bytes& image, std::uint8_t model_flag) {
    Locator locator(image);
    return locate(image, locator, model_flag != 0);
}

Result<PhraseTable> find_phrase_table(const Bytes& image, std::uint8_t model_flag) {
    auto located = locate_table(image, model_flag);
    if (!located) {
        return failure(located.message());
    }
    PhraseTable table;
    static_cast<TableLocation&>(table) = std::move(*located);
    if (auto read = read_phrases(image, table); !read) {
        return failure(read.message());
    }
    return table;
}

std::optional<TableLocation> locate_again(const Bytes& image, const TableLocation& table,
                                          const std::vector<ByteRange>& changed) {
    Locator locator(image, &table.searches, &changed);
    auto again = locate(image, locator, table.family_7x0);
    if (!again || !same_place(*again, table)) {
        return std::nullopt;
    }
    return std::move(*again);
}

} // namespace quorvel

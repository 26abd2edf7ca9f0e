#pragma once

// Recording the searches and walks that locate the phrase table, and answering them again from
// the records after a few bytes changed. A phrase edit locates the table again after every
// write; replayed, that costs in proportion to the changed bytes instead of a search through
// the file.

#include "image/voice_image.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvel {

struct ByteRange {
    std::int64_t pos = 0;
    std::int64_t len = 0;
};

// One search or walk that locating the table made, with what it found: enough to tell, once
// some bytes have changed, whether it would find the same again without searching again.
struct SearchRecord {
    enum class Kind { forward, backward, walk };
    Kind kind = Kind::forward;
    std::string_view pattern; // searches: one of the program's constant patterns
    std::int32_t start = 0;   // where the search or walk began
    std::int32_t bound = 0;   // searches: the bound passed; walks: the lowest position read
    std::int64_t result = 0;  // what it gave (a search: its position, 0 for none)
};

// Locating the table goes through here: every search and walk is recorded. Given the records
// of an earlier locating and the bytes changed since, each one made again with the same
// arguments is answered from its record where the changes allow.
class SearchReplay {
  public:
    explicit SearchReplay(const Bytes& image, const std::vector<SearchRecord>* earlier = nullptr,
                          const std::vector<ByteRange>* changed = nullptr)
        : image_(image), earlier_(earlier), changed_(changed) {}

    // find_forward and find_backward on the image.
    std::int32_t forward(std::int32_t start, std::int32_t upper, std::string_view pattern);
    std::int32_t backward(std::int32_t start, std::int32_t lower, std::string_view pattern);

    // A walk from `start` that reads bytes from `start` + 1 down only: `run` gives its result
    // and the lowest position it read, or empty when it left the image.
    template <class Run> std::optional<std::int64_t> walk(std::int32_t start, Run run) {
        SearchRecord s{SearchRecord::Kind::walk, {}, start, 0, 0};
        if (const SearchRecord* old = unchanged_walk(s)) {
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
    std::int32_t search(SearchRecord s);
    const SearchRecord* recorded(const SearchRecord& s);
    const SearchRecord* unchanged_walk(const SearchRecord& s);

    const Bytes& image_;
    const std::vector<SearchRecord>* earlier_;
    const std::vector<ByteRange>* changed_;
    std::size_t next_ = 0;
    std::vector<SearchRecord> records_;
};

} // namespace quorvel

#include "layout/search_replay.h"

#include <algorithm>

namespace quorvel {

namespace {

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

} // namespace

std::int32_t SearchReplay::forward(std::int32_t start, std::int32_t upper,
                                   std::string_view pattern) {
    return search({Kind::forward, pattern, start, upper, 0});
}

std::int32_t SearchReplay::backward(std::int32_t start, std::int32_t lower,
                                    std::string_view pattern) {
    return search({Kind::backward, pattern, start, lower, 0});
}

std::int32_t SearchReplay::search(SearchRecord s) {
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
const SearchRecord* SearchReplay::recorded(const SearchRecord& s) {
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

// The earlier record of this walk when no byte it read has changed since.
const SearchRecord* SearchReplay::unchanged_walk(const SearchRecord& s) {
    const SearchRecord* old = recorded(s);
    return old != nullptr && !touches(*changed_, old->bound, std::int64_t{old->start} + 1)
               ? old
               : nullptr;
}

} // namespace quorvel

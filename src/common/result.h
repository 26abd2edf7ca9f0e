#pragma once

// How every step of the program that can fail says so: a value, or the message that tells the
// user why not. Loading, opening, phrase writes, saving and text writes all answer this way,
// so success reads the same everywhere: `if (saved)`, `EXPECT_TRUE(opened)`.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace quorvel {

// Why a step did not happen, in words for the user.
struct Failure {
    std::string message;
};

inline Failure failure(std::string message) {
    return Failure{std::move(message)};
}

// A message echoes a text (a found text, a given argument) of at most this many characters.
inline constexpr std::size_t max_echo = 4096;

// `text` as a message echoes it: cut after max_echo characters, ending with "...". A
// character is a byte of single-byte text, or a whole UTF-8 sequence when `utf8`.
inline std::string bounded(std::string_view text, bool utf8 = false) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // in UTF-8 a character starts at every byte that does not continue a sequence
        const bool starts = !utf8 || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts && characters++ == max_echo) {
            return std::string(text.substr(0, i)) + "...";
        }
    }
    return std::string(text);
}

template <class T = void> class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::move(value)) {}
    Result(Failure failure) : state_(std::move(failure)) {}

    explicit operator bool() const { return state_.index() == 0; }
    T& operator*() { return std::get<0>(state_); }
    const T& operator*() const { return std::get<0>(state_); }
    T* operator->() { return &std::get<0>(state_); }
    const T* operator->() const { return &std::get<0>(state_); }
    // The message of a failure; empty for a value.
    const std::string& message() const {
        static const std::string none;
        return state_.index() == 1 ? std::get<1>(state_).message : none;
    }

  private:
    std::variant<T, Failure> state_;
};

template <> class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Failure failure) : message_(std::move(failure.message)) {}

    explicit operator bool() const { return !message_; }
    const std::string& message() const {
        static const std::string none;
        return message_ ? *message_ : none;
    }

  private:
    std::optional<std::string> message_;
};

} // namespace quorvel

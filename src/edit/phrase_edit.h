#pragma once

// Changing one phrase inside the fixed text area. The new text goes over the old one when it
// is not longer, otherwise behind the last phrase byte in use with the phrase's pointer
// redirected to it, as long as the text and its NUL fit in the bytes left. No other phrase
// moves and no other pointer changes.

#include "image/voice_image.h"
#include "layout/open_voice.h"

#include <string>
#include <string_view>

namespace quorvel {

inline constexpr std::string_view not_enough_bytes_message =
    "Sorry! Not enough bytes left in the buffer. Ignoring last change.";

struct PhraseEdit {
    bool applied = false;
    std::string refusal; // the message to show when the change was not applied
};

// Writes `new_text` as the phrase at list position `t` (phrase t + 1), whose shown text is
// `current`. Only the image and text_end change; the list entry is the caller's. On a
// refusal nothing changes.
PhraseEdit write_phrase(Bytes& image, PhraseTable& table, int t, std::string_view current,
                        std::string_view new_text);

// Writes v (0 to 99) as two ASCII digits at pos and pos + 1. Returns false, writing nothing,
// when either byte lies outside the image or v is out of range.
bool write_two_digits(Bytes& image, std::int32_t pos, int v);

} // namespace quorvel

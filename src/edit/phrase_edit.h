#pragma once

// Changing one phrase inside the fixed text area. The new text goes over the old one when it
// is not longer, otherwise behind the last phrase byte in use with the phrase's pointer
// redirected to it, as long as the text and its NUL fit in the bytes left. No other phrase
// moves and no other pointer changes.

#include "common/result.h"
#include "image/voice_image.h"
#include "layout/phrase_table.h"

#include <string_view>

namespace quorvel {

inline constexpr std::string_view not_enough_bytes_message =
    "Sorry! Not enough bytes left in the buffer. Ignoring last change.";

// Writes `new_text` as the phrase at list position `t` (phrase t + 1), whose shown text is
// `current`. Only the image and the table's text_end (and, when phrase 1 moved, where its
// landmark search starts) change; the list entry is the caller's. A refusal, with the
// message to show, changes nothing. A text holding a NUL byte is refused: the phrase would
// end there.
Result<> write_phrase(Bytes& image, PhraseTable& table, int t, std::string_view current,
                      std::string_view new_text);

} // namespace quorvel

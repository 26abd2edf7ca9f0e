#pragma once

// `quorvel-cli info --json`: the facts `info` prints, as one JSON object for scripts.

#include "ui/forms.h"

#include <string>
#include <string_view>

namespace quorvel::cli {

// `utf8` as a JSON string: quoted, with '"', '\' and control characters escaped; every other
// character stays as it is.
std::string json_string(std::string_view utf8);

// The open voice shown by `form` as one JSON object on one line: family, voice_name,
// screen_name, field_width, rate (null when the family's rate is fixed), volume,
// phrase_count, bytes_left, language (the guess: a code or "unknown") and, with `with_phrases`, the
// phrase texts in list order.
std::string info_json(const ui::Form1& form, bool with_phrases);

} // namespace quorvel::cli

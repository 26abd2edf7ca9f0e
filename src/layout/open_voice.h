#pragma once

// Opening a voice file: from the bytes of a file to either a refusal with its message, or
// the open voice: the image with everything the main window shows and every position the
// later edits need.
//
// A file that carries the identity tag but whose structure cannot be found inside the image
// is refused as well, with a second line naming what was not found.

#include "common/result.h"
#include "image/voice_image.h"
#include "layout/phrase_table.h"
#include "layout/settings.h"

#include <string_view>

namespace quorvel {

inline constexpr std::string_view not_a_voice_file_message =
    "Selected file is not a valid Garmin VPM Text To Speech file";

// A voice file that opened: its image and what opening found in it.
struct OpenVoice {
    Bytes image;
    VoiceSettings settings;
    PhraseTable table;
};

Result<OpenVoice> open_voice(Bytes image);

} // namespace quorvel

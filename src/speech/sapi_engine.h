#pragma once

// The Windows engine: SAPI's voices (ISpVoice) speak through the system's sound, and write
// a WAV file through a file stream (SpStream bound to a file). The Win32 face and quorvel-cli
// take it through make_system_speech().

#include "speech/threaded_speech.h"

#include <memory>

namespace quorvel::speech {

// Made on the speech thread, which it joins to COM.
std::unique_ptr<Engine> make_sapi_engine();

} // namespace quorvel::speech

#pragma once

// The Linux engine: espeak-ng's library synthesises in this process, into memory (the same
// text gives the same samples every time), and a sink plays the samples as they come.

#include "speech/threaded_speech.h"

#include <cstdint>
#include <memory>
#include <span>

namespace quorvel::speech {

// Where the sound of one text goes.
class Sink {
  public:
    virtual ~Sink() = default;
    virtual Result<> write(std::span<const std::int16_t> samples) = 0;
    // Waits until what was written has played.
    virtual Result<> finish() = 0;
    // Drops what has not played yet.
    virtual void discard() = 0;
};

// Opens a sink for 16-bit mono samples at `rate`, when the first samples of a text are ready.
using SinkFactory = std::function<Result<std::unique_ptr<Sink>>(int rate)>;

// The sound server, through PulseAudio's simple API (PipeWire serves it too).
Result<std::unique_ptr<Sink>> open_sound_server(int rate);

// The engine; one at a time in a process (espeak-ng's state is the process's).
std::unique_ptr<Engine> make_espeak_engine(SinkFactory sink);

// The desktop's language from the environment (LANGUAGE, LC_ALL, LC_MESSAGES, LANG) as an
// engine code: "de_DE.UTF-8" is "de-de"; "en" when none is set, or C or POSIX.
std::string desktop_language_code();

} // namespace quorvel::speech

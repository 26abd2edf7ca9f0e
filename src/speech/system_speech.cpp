#include "speech/threaded_speech.h"

#ifdef _WIN32
#include "speech/sapi_engine.h"
#else
#include "speech/espeak_engine.h"
#endif

namespace quorvel::ui {

std::unique_ptr<Speech> make_system_speech() {
#ifdef _WIN32
    return std::make_unique<speech::ThreadedSpeech>([] { return speech::make_sapi_engine(); });
#else
    return std::make_unique<speech::ThreadedSpeech>(
        [] { return speech::make_espeak_engine(speech::open_sound_server); });
#endif
}

} // namespace quorvel::ui

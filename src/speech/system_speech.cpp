#include "speech/threaded_speech.h"

#ifdef _WIN32
#include "speech/sapi_engine.h"
#else
#include "speech/espeak_engine.h"
#endif

namespace quorvel::speech {

std::unique_ptr<Speech> make_system_speech() {
#ifdef _WIN32
    return std::make_unique<ThreadedSpeech>([] { return make_sapi_engine(); });
#else
    return std::make_unique<ThreadedSpeech>([] { return make_espeak_engine(open_sound_server); });
#endif
}

} // namespace quorvel::speech

#pragma once

// Everything the program asks of a speech engine: speak a text aloud, stop, list the
// languages, and, for the command line, make a sound file. The engine works on a thread of
// its own: speak and stop return at once, and what the engine learns later (its languages,
// or why it cannot speak) comes back as a report, which a face hands to the program on its
// window's thread. Texts are UTF-8.

#include "common/result.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::speech {

struct SpeechLanguage {
    std::string code; // the engine's: "de", "en-us"
    std::string name; // "German"
};

struct SpeechLanguages {
    std::vector<SpeechLanguage> list; // in the order a menu shows them
    std::string desktop;              // the code of the one closest to the desktop's language
};

// What the engine tells the program.
struct SpeechReport {
    std::optional<SpeechLanguages> languages; // once the engine started
    // Why speech cannot work, with what to install; empty when it can.
    std::string unavailable;
};

class Speech {
  public:
    using Reporter = std::function<void(const SpeechReport&)>;

    virtual ~Speech() = default;
    // Starts the engine; its reports go to `report`, called on the engine's thread (a face
    // hands each over to its window's thread). The first tells the languages, or why not.
    virtual void start(Reporter report) = 0;
    // Stops speaking and reporting: no report comes once it returns. It never waits long for
    // an engine or a sound server that does not answer.
    virtual void close() = 0;
    // Speaks `text` in `language`, stopping what is being spoken; returns at once. A failure
    // comes back as a report.
    virtual void speak(const std::string& text, const std::string& language) = 0;
    virtual void stop() = 0;

    // For the command line, which waits for the answer: the languages, and `text` spoken in
    // `language` as the bytes of a WAV file; or why not.
    virtual Result<SpeechLanguages> languages() = 0;
    virtual Result<std::string> wav(const std::string& text, const std::string& language) = 0;
};

// An engine that cannot speak, for a program built without one: its start reports why.
Speech& no_speech();

// The system's engine: espeak-ng played through PulseAudio on Linux, SAPI on Windows
// (system_speech.cpp).
std::unique_ptr<Speech> make_system_speech();

} // namespace quorvel::speech

#pragma once

// The program's Speech over an engine that may be slow, or hang in a sound server: every
// call of the engine runs on one thread of its own. speak and stop only leave a request
// there; a new request makes the engine give up the text it is speaking (it asks
// `cancelled` between pieces of sound). close waits a moment for that thread, then lets it
// go: a hung sound server never holds up the program's end.

#include "speech/speech.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace quorvel::speech {

// True once the text being spoken is to be given up.
using Cancelled = std::function<bool()>;

// A speech engine, used on the speech thread only. Failures say why in words for the user,
// with what to install.
class Engine {
  public:
    virtual ~Engine() = default;
    virtual Result<SpeechLanguages> languages() = 0;
    // Speaks to the end, or until `cancelled`.
    virtual Result<> speak(const std::string& text, const std::string& language,
                           const Cancelled& cancelled) = 0;
    virtual Result<std::string> wav(const std::string& text, const std::string& language) = 0;
};

// Makes the engine, on the speech thread (an engine may tie itself to the thread it starts
// on).
using EngineFactory = std::function<std::unique_ptr<Engine>()>;

inline constexpr std::chrono::milliseconds close_wait{500};

class ThreadedSpeech final : public Speech {
  public:
    explicit ThreadedSpeech(EngineFactory factory);
    ~ThreadedSpeech() override;
    ThreadedSpeech(const ThreadedSpeech&) = delete;
    ThreadedSpeech& operator=(const ThreadedSpeech&) = delete;

    void start(Reporter report) override;
    void close() override;
    void speak(const std::string& text, const std::string& language) override;
    void stop() override;
    Result<SpeechLanguages> languages() override;
    Result<std::string> wav(const std::string& text, const std::string& language) override;

  private:
    struct State; // shared with the speech thread, which may outlive this object
    std::shared_ptr<State> state_;
};

} // namespace quorvel::speech

#include "speech/speech.h"

namespace quorvel::speech {

namespace {

const char* const no_engine = "this program was built without a speech engine.";

class NoSpeech final : public Speech {
  public:
    void start(Reporter report) override { report({std::nullopt, no_engine}); }
    void close() override {}
    void speak(const std::string&, const std::string&) override {}
    void stop() override {}
    Result<SpeechLanguages> languages() override { return failure(no_engine); }
    Result<std::string> wav(const std::string&, const std::string&) override {
        return failure(no_engine);
    }
};

} // namespace

Speech& no_speech() {
    static NoSpeech none;
    return none;
}

} // namespace quorvel::speech

#pragma once

// A Speech that records what the program asks it to say and answers the command line's
// questions from a script. Its reports are the test's to give (Form1::speech_report).

#include "speech/speech.h"

#include <string>
#include <vector>

namespace quorvel::test {

class ScriptedSpeech : public speech::Speech {
  public:
    struct Spoken {
        std::string text;
        std::string language;
        bool operator==(const Spoken&) const = default;
    };
    std::vector<Spoken> spoken;
    int stops = 0;

    void start(Reporter) override {}
    void close() override {}
    void speak(const std::string& text, const std::string& language) override {
        spoken.push_back({text, language});
    }
    void stop() override { ++stops; }
    Result<speech::SpeechLanguages> languages() override { return failure("not scripted"); }
    Result<std::string> wav(const std::string& text, const std::string& language) override {
        return "WAV of " + text + " in " + language;
    }
};

} // namespace quorvel::test

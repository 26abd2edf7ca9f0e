// The Linux engine: espeak-ng's sound for known phrases, measured; the sound server's
// refusal; and the speech thread, which keeps every wait of the engine from the program.

#include "speech/espeak_engine.h"
#include "speech/threaded_speech.h"

#include "support/test_names.h"
#include "ui/codepage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quorvel::speech {
namespace {

using namespace std::chrono_literals;

struct Sound {
    double seconds = 0;
    double rms = 0; // of samples scaled to -1..1
};

// The length and loudness of a WAV file of 16-bit mono samples at 22050 Hz.
Sound measure(const std::string& wav) {
    const std::size_t header = 44;
    const std::size_t count = (wav.size() - header) / 2;
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const auto low = static_cast<unsigned char>(wav[header + 2 * i]);
        const auto high = static_cast<unsigned char>(wav[header + 2 * i + 1]);
        const double sample = static_cast<std::int16_t>(low | (high << 8)) / 32768.0;
        sum += sample * sample;
    }
    return {static_cast<double>(count) / 22050, count ? std::sqrt(sum / count) : 0};
}

Result<std::unique_ptr<Sink>> no_sink(int) {
    return failure("no sink in this test");
}

class Synthesis : public testing::Test {
  protected:
    std::unique_ptr<Engine> engine = make_espeak_engine(no_sink);

    std::string wav(const std::string& text, const std::string& language) {
        auto made = engine->wav(text, language);
        EXPECT_TRUE(made) << made.message();
        return made ? *made : std::string();
    }
};

TEST_F(Synthesis, turn_left_in_english_is_heard_for_a_moment) {
    const std::string sound = wav("Turn left", "en-gb");
    EXPECT_EQ(sound.substr(0, 4), "RIFF");
    const Sound s = measure(sound);
    EXPECT_GT(s.seconds, 0.3);
    EXPECT_LT(s.seconds, 2.0);
    EXPECT_GT(s.rms, 0.01);
}

struct DifferenceCase {
    const char* name;
    std::string text;
    std::string language;
    std::string other_text;
    std::string other_language;
};

class Difference : public Synthesis, public testing::WithParamInterface<DifferenceCase> {};

TEST_P(Difference, gives_other_sound) {
    const auto& c = GetParam();
    const std::string sound = wav(c.text, c.language);
    EXPECT_GT(measure(sound).rms, 0.01);
    EXPECT_TRUE(sound != wav(c.other_text, c.other_language));
}

// Windows-1252 bytes of "Straße 5 €", as the voice file holds them.
const std::string code_page_text = "Stra\xDF"
                                   "e 5 \x80";

std::string as_latin1(const std::string& bytes) {
    std::string utf8;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (b >> 6));
            utf8 += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return utf8;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Difference,
    testing::Values(DifferenceCase{"german_reading", "Turn left", "de", "Turn left", "en-gb"},
                    DifferenceCase{"code_page_text_spoken_from_utf8", ui::to_utf8(code_page_text),
                                   "de", as_latin1(code_page_text), "de"}),
    test::row_name);

TEST_F(Synthesis, language_without_data_is_refused_naming_the_package) {
    const auto made = engine->wav("Turn left", "xx");
    EXPECT_EQ(made.message(),
              "espeak-ng has no data for the language \"xx\". Install the package espeak-ng-data.");
}

TEST(SoundServer, that_cannot_be_reached_is_named_with_what_to_install) {
    ::setenv("PULSE_SERVER", "unix:/nonexistent/quorvel-test", 1);
    const auto opened = open_sound_server(22050);
    ::unsetenv("PULSE_SERVER");
    EXPECT_EQ(
        opened.message(),
        "the sound server cannot be reached (Connection refused). Install PulseAudio (the "
        "package pulseaudio) or PipeWire's PulseAudio server (pipewire-pulse), and start it.");
}

// --- the speech thread --------------------------------------------------------------------

// An engine whose speaking lasts until it is cancelled, or, when `hang`, for ever (until the
// test ends it); it fails each text "fail".
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> started;
    std::vector<std::string> cancelled;
    bool hang = false;
    bool released = false;
};

class SlowEngine final : public Engine {
  public:
    explicit SlowEngine(Gate& gate) : gate_(gate) {}
    Result<ui::SpeechLanguages> languages() override {
        return ui::SpeechLanguages{{{"en", "English"}}, "en"};
    }
    Result<> speak(const std::string& text, const std::string&, const Cancelled& c) override {
        std::unique_lock lock(gate_.mutex);
        gate_.started.push_back(text);
        gate_.changed.notify_all();
        if (text == "fail") {
            return failure("it failed.");
        }
        while (!gate_.released && (gate_.hang || !c())) {
            gate_.changed.wait_for(lock, 1ms);
        }
        gate_.cancelled.push_back(text);
        gate_.changed.notify_all();
        return {};
    }
    Result<std::string> wav(const std::string& text, const std::string&) override {
        return "WAV " + text;
    }

  private:
    Gate& gate_;
};

class Thread : public testing::Test {
  protected:
    Gate gate;
    std::mutex report_mutex;
    std::vector<ui::SpeechReport> reports;
    ThreadedSpeech speech{[this] { return std::make_unique<SlowEngine>(gate); }};

    void TearDown() override {
        {
            const std::lock_guard lock(gate.mutex);
            gate.released = true;
        }
        speech.close();
    }
    template <class Done> void wait_until(Done done) {
        std::unique_lock lock(gate.mutex);
        ASSERT_TRUE(gate.changed.wait_for(lock, 10s, done));
    }
    std::size_t report_count() {
        const std::lock_guard lock(report_mutex);
        return reports.size();
    }
    void start() {
        speech.start([this](const ui::SpeechReport& r) {
            const std::lock_guard lock(report_mutex);
            reports.push_back(r);
        });
    }
};

TEST_F(Thread, speaking_again_gives_up_the_text_being_spoken) {
    speech.speak("first", "en");
    wait_until([&] { return gate.started.size() == 1; });
    speech.speak("second", "en");
    wait_until([&] { return gate.started.size() == 2; });
    EXPECT_EQ(gate.cancelled, std::vector<std::string>{"first"});
    speech.stop();
    wait_until([&] { return gate.cancelled.size() == 2; });
    EXPECT_EQ(speech.wav("third", "en").message(), "");
}

TEST_F(Thread, reports_the_languages_and_a_failure_and_nothing_once_closed) {
    start();
    speech.speak("fail", "en");
    for (auto waited = 0ms; waited < 10s && report_count() < 2; waited += 1ms) {
        std::this_thread::sleep_for(1ms);
    }
    speech.close();
    start(); // too late: the engine is closed
    speech.speak("fail", "en");
    const std::lock_guard lock(report_mutex);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].languages->desktop, "en");
    EXPECT_EQ(reports[1].unavailable, "it failed.");
}

TEST_F(Thread, an_engine_that_hangs_holds_up_neither_speak_nor_close) {
    gate.hang = true;
    speech.speak("first", "en");
    wait_until([&] { return gate.started.size() == 1; });
    const auto before = std::chrono::steady_clock::now();
    speech.speak("second", "en");
    speech.stop();
    speech.close();
    EXPECT_LT(std::chrono::steady_clock::now() - before, close_wait + 2s);
}

} // namespace
} // namespace quorvel::speech

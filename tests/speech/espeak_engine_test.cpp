// The Linux engine: espeak-ng's sound for known phrases, measured, and the sound server's
// refusal.

#include "speech/espeak_engine.h"

#include "support/test_names.h"
#include "ui/codepage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace quorvel::speech {
namespace {

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

} // namespace
} // namespace quorvel::speech

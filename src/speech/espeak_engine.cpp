#include "speech/espeak_engine.h"

#include "speech/wav.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>
#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

namespace quorvel::speech {

namespace {

const char* const install_engine = "Install the package espeak-ng-data.";

// Sound comes from the engine in pieces this long: the first piece is ready soon, and a
// text is given up within one piece.
constexpr int piece_ms = 40;

class SoundServer final : public Sink {
  public:
    explicit SoundServer(pa_simple* stream) : stream_(stream) {}
    ~SoundServer() override { pa_simple_free(stream_); }
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    Result<> write(std::span<const std::int16_t> samples) override {
        int error = 0;
        if (pa_simple_write(stream_, samples.data(), samples.size_bytes(), &error) < 0) {
            return lost(error);
        }
        return {};
    }
    Result<> finish() override {
        int error = 0;
        if (pa_simple_drain(stream_, &error) < 0) {
            return lost(error);
        }
        return {};
    }
    void discard() override {
        int error = 0;
        pa_simple_flush(stream_, &error);
    }

  private:
    static Failure lost(int error) {
        return failure(std::string("the sound server stopped taking sound (") + pa_strerror(error) +
                       ").");
    }
    pa_simple* stream_;
};

// espeak-ng keeps its state in globals and does not start a second time in a process: it
// starts once, with the first engine, and stays. Its data is found where the system keeps it,
// or in the folder ESPEAK_DATA_PATH names. Returns why it cannot start; empty when it runs.
const std::string& start_espeak(int& rate) {
    static int started_rate = 0;
    static const std::string problem = [] {
        espeak_ng_InitializePath(nullptr);
        espeak_ng_ERROR_CONTEXT context = nullptr;
        espeak_ng_STATUS status = espeak_ng_Initialize(&context);
        espeak_ng_ClearErrorContext(&context);
        if (status == ENS_OK) {
            status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, piece_ms, nullptr);
        }
        if (status != ENS_OK) {
            char reason[512] = {};
            espeak_ng_GetStatusCodeMessage(status, reason, sizeof reason);
            return std::string("the speech engine espeak-ng cannot start (") + reason + "). " +
                   install_engine;
        }
        started_rate = espeak_ng_GetSampleRate();
        return std::string();
    }();
    rate = started_rate;
    return problem;
}

class EspeakEngine final : public Engine {
  public:
    explicit EspeakEngine(SinkFactory sink)
        : sink_(std::move(sink)), problem_(start_espeak(rate_)) {
        if (problem_.empty()) {
            espeak_SetSynthCallback(&EspeakEngine::on_samples);
        }
    }

    Result<SpeechLanguages> languages() override {
        if (!problem_.empty()) {
            return failure(problem_);
        }
        SpeechLanguages found;
        std::set<std::string> codes;
        for (const espeak_VOICE** voice = espeak_ListVoices(nullptr); *voice != nullptr; ++voice) {
            // `languages` is a priority byte, then the code; the first is the voice's own.
            const std::string code = (*voice)->languages + 1;
            if (codes.insert(code).second) {
                found.list.push_back({code, (*voice)->name});
            }
        }
        std::sort(found.list.begin(), found.list.end(),
                  [](const auto& a, const auto& b) { return a.name < b.name; });
        found.desktop = desktop_language_code();
        return found;
    }

    Result<> speak(const std::string& text, const std::string& language,
                   const Cancelled& cancelled) override {
        std::unique_ptr<Sink> sink;
        Result<> outcome;
        const Result<> made = synthesize(text, language, [&](std::span<const std::int16_t> piece) {
            if (cancelled()) {
                return false;
            }
            if (!sink) {
                auto opened = sink_(rate_);
                if (!opened) {
                    outcome = failure(opened.message());
                    return false;
                }
                sink = std::move(*opened);
            }
            outcome = sink->write(piece);
            return static_cast<bool>(outcome);
        });
        if (!made) {
            return made;
        }
        if (!outcome || !sink) {
            return outcome;
        }
        if (cancelled()) {
            sink->discard();
            return {};
        }
        return sink->finish();
    }

    Result<std::string> wav(const std::string& text, const std::string& language) override {
        std::vector<std::int16_t> samples;
        const Result<> made = synthesize(text, language, [&](std::span<const std::int16_t> p) {
            samples.insert(samples.end(), p.begin(), p.end());
            return true;
        });
        if (!made) {
            return failure(made.message());
        }
        return wav_file(samples, rate_);
    }

  private:
    using Piece = std::function<bool(std::span<const std::int16_t>)>;

    // Runs `piece` for each piece of sound as the engine makes it; stops when it says false.
    Result<> synthesize(const std::string& text, const std::string& language, const Piece& piece) {
        if (!problem_.empty()) {
            return failure(problem_);
        }
        espeak_VOICE wanted{};
        const std::string code = language.empty() ? desktop_language_code() : language;
        wanted.languages = code.c_str();
        if (espeak_SetVoiceByProperties(&wanted) != EE_OK) {
            return failure("espeak-ng has no data for the language \"" + code + "\". " +
                           install_engine);
        }
        if (text.empty()) {
            return {};
        }
        Piece callback = piece;
        if (espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                         nullptr, &callback) != EE_OK) {
            return failure("the speech engine espeak-ng failed to speak the text.");
        }
        return {};
    }

    static int on_samples(short* samples, int count, espeak_EVENT* events) {
        auto* piece = static_cast<Piece*>(events->user_data);
        if (samples == nullptr || count == 0) {
            return 0;
        }
        return (*piece)(std::span<const std::int16_t>(samples, static_cast<std::size_t>(count)))
                   ? 0
                   : 1;
    }

    SinkFactory sink_;
    int rate_ = 0;
    std::string problem_;
};

} // namespace

Result<std::unique_ptr<Sink>> open_sound_server(int rate) {
    const pa_sample_spec format{PA_SAMPLE_S16LE, static_cast<std::uint32_t>(rate), 1};
    // A short buffer: Stop and the next Speak cut the sound off soon.
    const auto target = static_cast<std::uint32_t>(pa_usec_to_bytes(100 * 1000, &format));
    const pa_buffer_attr buffer{static_cast<std::uint32_t>(-1), target,
                                static_cast<std::uint32_t>(-1), static_cast<std::uint32_t>(-1),
                                static_cast<std::uint32_t>(-1)};
    int error = 0;
    pa_simple* stream = pa_simple_new(nullptr, "Quorvel", PA_STREAM_PLAYBACK, nullptr, "Phrase",
                                      &format, nullptr, &buffer, &error);
    if (stream == nullptr) {
        return failure(std::string("the sound server cannot be reached (") + pa_strerror(error) +
                       "). Install PulseAudio (the package pulseaudio) or PipeWire's PulseAudio "
                       "server (pipewire-pulse), and start it.");
    }
    return std::unique_ptr<Sink>(std::make_unique<SoundServer>(stream));
}

std::unique_ptr<Engine> make_espeak_engine(SinkFactory sink) {
    return std::make_unique<EspeakEngine>(std::move(sink));
}

std::string desktop_language_code() {
    std::string locale;
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            locale = value;
            break;
        }
    }
    locale = locale.substr(0, locale.find_first_of(":.@"));
    if (locale.empty() || locale == "C" || locale == "POSIX") {
        return "en";
    }
    std::string code;
    for (const char c : locale) {
        code += c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return code;
}

} // namespace quorvel::speech

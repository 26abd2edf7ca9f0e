// Speech: from F5 in the main window to the first sample handed to the sound server, through
// the program layer, the speech thread and espeak-ng, with a sink in this process standing
// for the server; and espeak-ng's synthesis of a whole phrase.
//
// Target: the first sample of a 20-character phrase within 50 ms of F5 (median).

#include "targets.h"

#include "speech/espeak_engine.h"
#include "support/scripted_host.h"
#include "support/voice_builder.h"
#include "ui/forms.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace quorvel::bench {
namespace {

const std::string phrase = "Turn left at the end"; // 20 characters
constexpr double first_sample_limit_ms = 50;

// Stands for the sound server: takes samples at once, tells when the first came and when the
// text's sink is closed again.
struct FirstSample {
    std::mutex mutex;
    std::condition_variable came;
    bool arrived = false;
    bool open = false;
};

class InProcessSink final : public speech::Sink {
  public:
    explicit InProcessSink(FirstSample& first) : first_(first) {
        const std::lock_guard lock(first_.mutex);
        first_.open = true;
    }
    ~InProcessSink() override {
        const std::lock_guard lock(first_.mutex);
        first_.open = false;
        first_.came.notify_all();
    }
    InProcessSink(const InProcessSink&) = delete;
    InProcessSink& operator=(const InProcessSink&) = delete;
    Result<> write(std::span<const std::int16_t>) override {
        const std::lock_guard lock(first_.mutex);
        first_.arrived = true;
        first_.came.notify_all();
        return {};
    }
    Result<> finish() override { return {}; }
    void discard() override {}

  private:
    FirstSample& first_;
};

void BM_F5ToFirstSample(benchmark::State& state) {
    FirstSample first;
    speech::ThreadedSpeech speech([&first] {
        return speech::make_espeak_engine([&first](int) -> Result<std::unique_ptr<speech::Sink>> {
            return std::unique_ptr<speech::Sink>(std::make_unique<InProcessSink>(first));
        });
    });
    test::ScriptedHost host;
    ui::Form1 form(host, speech);
    test::VoicePlan shape;
    shape.phrases = {"Unable to locate", phrase};
    form.open_image(test::build_voice(shape).image);
    form.speech_report({*speech.languages(), ""});
    form.List1.select(1);
    std::vector<double> samples;
    for (auto _ : state) {
        std::unique_lock lock(first.mutex);
        first.arrived = false;
        lock.unlock();
        const auto start = std::chrono::steady_clock::now();
        form.Speak_Click();
        lock.lock();
        first.came.wait(lock, [&] { return first.arrived; });
        const double seconds = seconds_since(start);
        form.Stop_Click();
        // The text given up before the next F5, so that no sample of it counts then.
        first.came.wait(lock, [&] { return !first.open; });
        state.SetIterationTime(seconds);
        samples.push_back(seconds * 1000);
    }
    const double ms = median(samples);
    state.counters["first_sample_ms"] = ms;
    record_target("F5 to the first sample, 20-character phrase", ms, first_sample_limit_ms, " ms");
    speech.close();
}
BENCHMARK(BM_F5ToFirstSample)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SynthesisOfAPhrase(benchmark::State& state) {
    const auto engine = speech::make_espeak_engine(
        [](int) -> Result<std::unique_ptr<speech::Sink>> { return failure("no sink"); });
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto wav = engine->wav(phrase, "en-gb");
        bytes = wav->size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["audio_s"] = static_cast<double>(bytes - 44) / 2 / 22050;
}
BENCHMARK(BM_SynthesisOfAPhrase)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quorvel::bench

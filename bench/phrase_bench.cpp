// Import, export and Find on voices of 100 and of 1000 phrases, through the program layer.
// Every iteration times both sides, in alternating order: ten operations on 100 phrases and
// one on 1000 phrases, so each sample lasts about as long.
//
// Target: each grows linearly with the number of phrases, 1000 phrases costing at most 12x
// what 100 cost (medians).

#include "targets.h"

#include "exchange/text_exchange.h"
#include "support/scripted_host.h"
#include "support/voice_builder.h"
#include "ui/forms.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

namespace quorvel::bench {
namespace {

constexpr int small_count = 100;
constexpr int large_count = 1000;
constexpr int small_batch = large_count / small_count;

// A voice of `n` phrases, "Phrase 0001: turn left at the next junction" on, all ahead of
// the text area. Every text is longer than the library keeps inside a string object, as
// spoken phrases are, so no list grows cheaper per entry for its shorter numbers.
Bytes voice_of(int n) {
    test::VoicePlan shape;
    shape.phrases.clear();
    for (int k = 1; k <= n; ++k) {
        const std::string number = std::to_string(k);
        shape.phrases.push_back("Phrase " + std::string(4 - number.size(), '0') + number +
                                ": turn left at the next junction");
    }
    shape.phrases_ahead = n;
    return test::build_voice(shape).image;
}

// The main window with a voice of `n` phrases open.
struct Window {
    explicit Window(int n) : form(std::make_unique<ui::Form1>(host)) {
        form->open_image(voice_of(n));
    }
    test::ScriptedHost host;
    std::unique_ptr<ui::Form1> form;
};

// What File > Export writes for the window.
std::string exported(const ui::Form1& f) {
    return *f.export_text_content();
}

void side_by_side(benchmark::State& state, const std::string& what,
                  const std::function<void()>& small, const std::function<void()>& large) {
    std::vector<double> small_times;
    std::vector<double> large_times;
    std::int64_t round = 0;
    for (auto _ : state) {
        double small_time = 0;
        double large_time = 0;
        const auto run_small = [&] {
            const auto start = std::chrono::steady_clock::now();
            for (int i = 0; i < small_batch; ++i) {
                small();
            }
            small_time = seconds_since(start) / small_batch;
        };
        const auto run_large = [&] {
            const auto start = std::chrono::steady_clock::now();
            large();
            large_time = seconds_since(start);
        };
        if (round++ % 2 == 0) {
            run_small();
            run_large();
        } else {
            run_large();
            run_small();
        }
        small_times.push_back(small_time);
        large_times.push_back(large_time);
        state.SetIterationTime(large_time);
    }
    const double ratio = median(large_times) / median(small_times);
    state.counters["100_us"] = median(small_times) * 1e6;
    state.counters["1000_us"] = median(large_times) * 1e6;
    state.counters["1000/100"] = ratio;
    record_target(what + ": 1000 phrases / 100 phrases", ratio, 12, "x");
}

// Each import changes every phrase: it flips the word "Phrase" between two spellings of the
// same length, so every text is written in place.
class Importer {
  public:
    explicit Importer(int n) : window_(n) {
        back_ = exported(*window_.form);
        there_ = back_;
        for (auto at = there_.find("-Phrase "); at != std::string::npos;
             at = there_.find("-Phrase ", at)) {
            there_.replace(at, 8, "-PHRASE ");
        }
    }
    void operator()() {
        window_.form->import_text_content(flip_ ? back_ : there_, "import.txt");
        flip_ = !flip_;
    }
    bool quiet() const { return window_.host.messages.empty(); }

  private:
    Window window_;
    std::string there_;
    std::string back_;
    bool flip_ = false;
};

void BM_Import(benchmark::State& state) {
    Importer small(small_count);
    Importer large(large_count);
    side_by_side(state, "import", std::ref(small), std::ref(large));
    if (!small.quiet() || !large.quiet()) {
        state.SkipWithError("the import showed a message");
    }
}

void BM_Export(benchmark::State& state) {
    const Window small(small_count);
    const Window large(large_count);
    side_by_side(
        state, "export", [&] { benchmark::DoNotOptimize(exported(*small.form).data()); },
        [&] { benchmark::DoNotOptimize(exported(*large.form).data()); });
}

// Find with a text only the last phrase holds, so every entry is examined; true when it
// selected that phrase.
bool find_last(ui::Form1& form, const std::string& text, int last) {
    form.Find_Click();
    form.find_form()->Text2Find.set_text(text);
    form.click(*form.find_form(), &ui::Find_Form::Command1_Click);
    return form.List1.selected() == last;
}

void BM_Find(benchmark::State& state) {
    Window small(small_count);
    Window large(large_count);
    bool found = true;
    side_by_side(
        state, "find",
        [&] { found = find_last(*small.form, "phrase 0100", small_count - 1) && found; },
        [&] { found = find_last(*large.form, "phrase 1000", large_count - 1) && found; });
    if (!found) {
        state.SkipWithError("Find did not select the last phrase");
    }
}

BENCHMARK(BM_Import)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Export)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Find)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace quorvel::bench

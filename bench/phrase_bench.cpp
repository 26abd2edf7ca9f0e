// Import, export and Find on voices of 100 and of 1000 phrases, through the program layer.
// Every iteration times both sides, in alternating order: ten operations on 100 phrases and
// one on 1000 phrases, so each sample lasts about as long.
//
// Target: each grows linearly with the number of phrases, 1000 phrases costing at most 12x
// what 100 cost (medians). Beside that, a 1000-phrase import from a UTF-8 file costs at most
// 1.3x the same import from a file in the code page.

#include "targets.h"

#include "exchange/text_exchange.h"
#include "support/scripted_host.h"
#include "support/voice_builder.h"
#include "ui/codepage.h"
#include "ui/forms.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <utility>

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

// Times `first` (run `batch` times, each time counted once) and `second` in every iteration,
// in alternating order; returns the medians, first then second.
std::pair<double, double> alternate(benchmark::State& state, const std::function<void()>& first,
                                    int batch, const std::function<void()>& second) {
    std::vector<double> first_times;
    std::vector<double> second_times;
    std::int64_t round = 0;
    for (auto _ : state) {
        double first_time = 0;
        double second_time = 0;
        const auto run_first = [&] {
            const auto start = std::chrono::steady_clock::now();
            for (int i = 0; i < batch; ++i) {
                first();
            }
            first_time = seconds_since(start) / batch;
        };
        const auto run_second = [&] {
            const auto start = std::chrono::steady_clock::now();
            second();
            second_time = seconds_since(start);
        };
        if (round++ % 2 == 0) {
            run_first();
            run_second();
        } else {
            run_second();
            run_first();
        }
        first_times.push_back(first_time);
        second_times.push_back(second_time);
        state.SetIterationTime(second_time);
    }
    return {median(first_times), median(second_times)};
}

void side_by_side(benchmark::State& state, const std::string& what,
                  const std::function<void()>& small, const std::function<void()>& large) {
    const auto [small_time, large_time] = alternate(state, small, small_batch, large);
    const double ratio = large_time / small_time;
    state.counters["100_us"] = small_time * 1e6;
    state.counters["1000_us"] = large_time * 1e6;
    state.counters["1000/100"] = ratio;
    record_target(what + ": 1000 phrases / 100 phrases", ratio, 12, "x");
}

// Each import changes every phrase: it flips the word "Phrase" between two spellings of the
// same length (`one`, then `other`), so every text is written in place. The file is the code
// page as export writes it, or the same text in UTF-8.
class Importer {
  public:
    Importer(int n, const std::string& one, const std::string& other, bool utf8 = false)
        : window_(n) {
        const std::string exported_text = exported(*window_.form);
        there_ = spelled(exported_text, one);
        back_ = spelled(exported_text, other);
        if (utf8) {
            there_ = ui::to_utf8(there_);
            back_ = ui::to_utf8(back_);
        }
    }
    void operator()() {
        window_.form->import_text_content(flip_ ? back_ : there_, "import.txt");
        flip_ = !flip_;
    }
    bool quiet() const { return window_.host.messages.empty(); }

  private:
    static std::string spelled(std::string text, const std::string& word) {
        for (auto at = text.find("-Phrase "); at != std::string::npos;
             at = text.find("-Phrase ", at + 1)) {
            text.replace(at + 1, word.size(), word);
        }
        return text;
    }

    Window window_;
    std::string there_;
    std::string back_;
    bool flip_ = false;
};

void BM_Import(benchmark::State& state) {
    Importer small(small_count, "PHRASE", "Phrase");
    Importer large(large_count, "PHRASE", "Phrase");
    side_by_side(state, "import", std::ref(small), std::ref(large));
    if (!small.quiet() || !large.quiet()) {
        state.SkipWithError("the import showed a message");
    }
}

// The same 1000-phrase import from a file in the code page and from one in UTF-8.
void BM_ImportUtf8(benchmark::State& state) {
    Importer code_page(large_count, "Phr\xE4se", "Phr\xE2se");
    Importer utf8(large_count, "Phr\xE4se", "Phr\xE2se", true);
    const auto [code_page_time, utf8_time] =
        alternate(state, std::ref(code_page), 1, std::ref(utf8));
    const double ratio = utf8_time / code_page_time;
    state.counters["code_page_us"] = code_page_time * 1e6;
    state.counters["utf8_us"] = utf8_time * 1e6;
    state.counters["utf8/code_page"] = ratio;
    record_target("import, 1000 phrases: UTF-8 / code page", ratio, 1.3, "x");
    if (!code_page.quiet() || !utf8.quiet()) {
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
BENCHMARK(BM_ImportUtf8)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Export)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Find)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace quorvel::bench

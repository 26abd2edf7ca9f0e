// Opening a voice file (File > Open once its dialog returned: read the file, find its
// structure, show it) beside a plain read of the same file, the physical floor: one buffer
// that is not cleared first, one read. Both run in every iteration, in alternating order,
// on builder voices of 1, 16 and 64 MB of both families.
//
// Targets: opening costs at most 1.5x the plain read (medians), and the heap it holds at
// its peak stays within the file's size plus 1 MB.

#include "heap_count.h"
#include "targets.h"
#include "voice_folder.h"

#include "support/scripted_host.h"
#include "support/voice_builder.h"
#include "ui/forms.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace quorvel::bench {
namespace {

void BM_OpenBesideRead(benchmark::State& state) {
    const std::int64_t megabytes = state.range(0);
    const bool nuvi_7x0 = state.range(1) == 0;
    const std::string path = folder().voice(megabytes, nuvi_7x0);
    const double file_size = static_cast<double>(fs::file_size(path));
    plain_read(path); // into the page cache

    std::vector<double> reads;
    std::vector<double> opens;
    double open_peak = 0;
    std::int64_t round = 0;
    for (auto _ : state) {
        double read_time = 0;
        double open_time = 0;
        bool opened = false;
        const auto read = [&] {
            const auto start = std::chrono::steady_clock::now();
            const auto bytes = plain_read(path);
            read_time = seconds_since(start);
            benchmark::DoNotOptimize(bytes.get());
        };
        const auto open = [&] {
            test::ScriptedHost host;
            ui::Form1 form(host);
            heap_reset_peak();
            const std::size_t before = heap_live();
            const auto start = std::chrono::steady_clock::now();
            form.open_path(path);
            open_time = seconds_since(start);
            open_peak = std::max(open_peak, static_cast<double>(heap_peak() - before));
            opened = form.voice().has_value();
        };
        if (round++ % 2 == 0) {
            read();
            open();
        } else {
            open();
            read();
        }
        if (!opened) {
            state.SkipWithError("the voice did not open");
            break;
        }
        reads.push_back(read_time);
        opens.push_back(open_time);
        state.SetIterationTime(open_time);
    }
    const double ratio = median(opens) / median(reads);
    state.counters["file_MB"] = file_size / megabyte;
    state.counters["read_ms"] = median(reads) * 1000;
    state.counters["open_ms"] = median(opens) * 1000;
    state.counters["open/read"] = ratio;
    state.counters["peak_MB"] = open_peak / megabyte;
    const std::string name = "open, " + std::string(nuvi_7x0 ? "7x0/3x0" : "255W/260") + ", " +
                             std::to_string(megabytes) + " MB";
    record_target(name + ": time / plain read", ratio, 1.5, "x");
    record_target(name + ": peak heap - file size", (open_peak - file_size) / megabyte, 1.0, " MB");
}

BENCHMARK(BM_OpenBesideRead)
    ->ArgsProduct({{1, 16, 64}, {0, 1}})
    ->ArgNames({"MB", "255w"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quorvel::bench

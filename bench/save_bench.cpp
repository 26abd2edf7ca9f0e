// File > Save of a 64 MB voice over an existing file beside a plain copy of the same bytes to
// a new file (read the voice file, write a new file, sync it), the physical floor. Both run
// in every iteration, in alternating order; the copy is removed after it was timed.
//
// Targets: a save that replaces the file costs at most 1.5x the copy (medians); a save that
// writes in place, because the file has a second hard link, at most 2.5x.

#include "targets.h"
#include "voice_folder.h"

#include "support/scripted_host.h"
#include "ui/forms.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

namespace quorvel::bench {
namespace {

constexpr std::int64_t megabytes = 64;

// Reads `from` and writes its bytes to the new file `to`, synced: false when that fails.
bool plain_copy(const std::string& from, const std::string& to) {
    const auto bytes = plain_read(from);
    const int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (!bytes || fd < 0) {
        return false;
    }
    const auto size = static_cast<std::size_t>(megabytes << 20);
    bool written = true;
    for (std::size_t at = 0; written && at < size;) {
        const ssize_t n = ::write(fd, bytes.get() + at, size - at);
        written = n > 0;
        at += written ? static_cast<std::size_t>(n) : 0;
    }
    written = ::fsync(fd) == 0 && written;
    return ::close(fd) == 0 && written;
}

void BM_SaveBesideCopy(benchmark::State& state) {
    const bool in_place = state.range(0) != 0;
    const std::string voice = folder().voice(megabytes, true);
    const std::string target = (folder().path() / "saved.vpm").string();
    const std::string copy = (folder().path() / "copy.vpm").string();
    test::ScriptedHost host;
    ui::Form1 form(host);
    form.open_path(voice);
    fs::remove(target);
    fs::remove(target + ".link");
    fs::copy_file(voice, target);
    if (in_place) {
        fs::create_hard_link(target, target + ".link");
    }

    std::vector<double> copies;
    std::vector<double> saves;
    std::int64_t round = 0;
    for (auto _ : state) {
        double copy_time = 0;
        double save_time = 0;
        bool copied = false;
        const auto copy_once = [&] {
            const auto start = std::chrono::steady_clock::now();
            copied = plain_copy(voice, copy);
            copy_time = seconds_since(start);
            fs::remove(copy);
        };
        const auto save_once = [&] {
            host.answers.push_back(target);
            const auto start = std::chrono::steady_clock::now();
            form.Save_Click();
            save_time = seconds_since(start);
        };
        if (round++ % 2 == 0) {
            copy_once();
            save_once();
        } else {
            save_once();
            copy_once();
        }
        // The one message a save shows is its reminder.
        if (!copied || host.messages.size() != static_cast<std::size_t>(round)) {
            state.SkipWithError(copied ? "the save failed" : "the plain copy failed");
            break;
        }
        copies.push_back(copy_time);
        saves.push_back(save_time);
        state.SetIterationTime(save_time);
    }
    const double ratio = median(saves) / median(copies);
    state.counters["copy_ms"] = median(copies) * 1000;
    state.counters["save_ms"] = median(saves) * 1000;
    state.counters["save/copy"] = ratio;
    record_target(std::string("save, 64 MB, ") +
                      (in_place ? "in place (2 hard links)" : "replaced") + ": time / plain copy",
                  ratio, in_place ? 2.5 : 1.5, "x");
}

BENCHMARK(BM_SaveBesideCopy)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("in_place")
    ->Iterations(8)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quorvel::bench

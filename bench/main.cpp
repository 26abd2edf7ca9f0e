// Runs the benchmarks, then prints every target with what was measured, as a Markdown table,
// and exits with 1 when one was missed.

#include "targets.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>

namespace quorvel::bench {

namespace {

std::vector<Target>& all_targets() {
    static std::vector<Target> list;
    return list;
}

} // namespace

void record_target(const std::string& name, double measured, double limit,
                   const std::string& unit) {
    auto& list = all_targets();
    const auto same =
        std::find_if(list.begin(), list.end(), [&name](const Target& t) { return t.name == name; });
    const Target target{name, measured, limit, unit};
    if (same == list.end()) {
        list.push_back(target);
    } else {
        *same = target;
    }
}

const std::vector<Target>& targets() {
    return all_targets();
}

double median(std::vector<double> samples) {
    if (samples.empty()) {
        return 0;
    }
    std::sort(samples.begin(), samples.end());
    const std::size_t mid = samples.size() / 2;
    return samples.size() % 2 == 1 ? samples[mid] : (samples[mid - 1] + samples[mid]) / 2;
}

} // namespace quorvel::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    bool all_met = true;
    std::printf("\n| target | measured | limit | |\n|---|---:|---:|---|\n");
    for (const auto& t : quorvel::bench::targets()) {
        std::printf("| %s | %.2f%s | %.2f%s | %s |\n", t.name.c_str(), t.measured, t.unit.c_str(),
                    t.limit, t.unit.c_str(), t.met() ? "met" : "MISSED");
        all_met = all_met && t.met();
    }
    return all_met ? 0 : 1;
}

#pragma once

// The speed and memory targets, each a ratio measured side by side in one run. Benchmarks
// record what they measured; main() prints the table and fails when a target is missed.

#include <chrono>
#include <string>
#include <vector>

namespace quorvel::bench {

struct Target {
    std::string name;
    double measured = 0;
    double limit = 0;
    std::string unit; // "x" for a ratio, " MB" for memory
    bool met() const { return measured <= limit; }
};

// Records (or replaces, when the benchmark runs again) the target called `name`.
void record_target(const std::string& name, double measured, double limit, const std::string& unit);
const std::vector<Target>& targets();

// Seconds since `start`.
inline double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The middle of the samples (the mean of the two middle ones for an even count); 0 for none.
double median(std::vector<double> samples);

} // namespace quorvel::bench

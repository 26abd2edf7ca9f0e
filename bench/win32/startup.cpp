// Start-up of quorvel.exe beside a bare Win32 window program (bare_window.cpp), side by side
// in one run (scripts/wine-startup-bench.sh). Each is launched RUNS times, in pairs whose order
// alternates, after two pairs that warm the system's caches and are not counted. A launch is
// timed from CreateProcess to its main window being shown (looked for every millisecond); then
// it is closed and waited for.
//
// Prints each program's quartiles, the ratio of the medians, and the same ratio in each fifth
// of the pairs, whose range shows how far the figure moves with the machine's load; then the
// quartiles of each pair's own ratio, which a machine that is sometimes slower for both
// programs alike moves less.
//
// Usage: startup PROGRAM WINDOW_CLASS YARDSTICK YARDSTICK_CLASS RUNS

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double now_ms() {
    LARGE_INTEGER count{};
    LARGE_INTEGER frequency{};
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds from launch to a shown window of the class; negative when none came in 10 s.
double launch_to_window(const std::wstring& program, const wchar_t* window_class) {
    std::wstring command = L"\"" + program + L"\"";
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    const double begin = now_ms();
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &start, &process)) {
        return -1;
    }
    double elapsed = -1;
    HWND window = nullptr;
    while (now_ms() - begin < 10000) {
        window = ::FindWindowW(window_class, nullptr);
        if (window != nullptr && ::IsWindowVisible(window)) {
            elapsed = now_ms() - begin;
            break;
        }
        ::Sleep(1);
    }
    if (window != nullptr) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    DWORD status = 0;
    if (elapsed < 0 && ::GetExitCodeProcess(process.hProcess, &status)) {
        std::fprintf(stderr, "%ls: no window came within 10 s; %s %lu\n", program.c_str(),
                     status == STILL_ACTIVE ? "the program still runs, process"
                                            : "it ended with status",
                     status == STILL_ACTIVE ? process.dwProcessId : status);
    }
    if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
    }
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return elapsed;
}

// The value a fraction `at` of the way through the sorted times.
double quantile(std::vector<double> times, double at) {
    std::sort(times.begin(), times.end());
    const double place = at * static_cast<double>(times.size() - 1);
    const auto below = static_cast<std::size_t>(place);
    const std::size_t above = std::min(below + 1, times.size() - 1);
    return times[below] + (place - static_cast<double>(below)) * (times[above] - times[below]);
}

double median(const std::vector<double>& times) {
    return quantile(times, 0.5);
}

void report(const wchar_t* name, const std::vector<double>& times) {
    std::printf("%-12ls min %5.0f  q1 %5.1f  median %5.1f  q3 %5.1f  max %5.0f ms  (%zu runs)\n",
                name, quantile(times, 0), quantile(times, 0.25), median(times),
                quantile(times, 0.75), quantile(times, 1), times.size());
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: startup PROGRAM CLASS YARDSTICK YARDSTICK_CLASS RUNS\n");
        return 2;
    }
    const int runs = std::max(5, std::stoi(argv[5]));
    std::vector<double> program;
    std::vector<double> yardstick;
    constexpr int warm_up = 2;
    for (int i = 0; i < warm_up + runs; ++i) {
        double p = 0;
        double y = 0;
        if (i % 2 == 0) {
            p = launch_to_window(argv[1], argv[2]);
            y = launch_to_window(argv[3], argv[4]);
        } else {
            y = launch_to_window(argv[3], argv[4]);
            p = launch_to_window(argv[1], argv[2]);
        }
        if (p < 0 || y < 0) {
            return 1;
        }
        if (i >= warm_up) {
            program.push_back(p);
            yardstick.push_back(y);
        }
    }
    report(L"quorvel.exe", program);
    report(L"bare window", yardstick);
    std::printf("launch to main window shown, median over median: %.2f (target at most 1.5)\n",
                median(program) / median(yardstick));
    std::printf("the same in each fifth of the pairs:");
    const std::size_t fifth = program.size() / 5;
    for (std::size_t b = 0; b < 5; ++b) {
        const auto from = static_cast<std::ptrdiff_t>(b * fifth);
        const auto to = static_cast<std::ptrdiff_t>(b == 4 ? program.size() : (b + 1) * fifth);
        std::printf(" %.2f", median({program.begin() + from, program.begin() + to}) /
                                 median({yardstick.begin() + from, yardstick.begin() + to}));
    }
    std::printf("\n");
    std::vector<double> ratios;
    for (std::size_t i = 0; i < program.size(); ++i) {
        ratios.push_back(program[i] / yardstick[i]);
    }
    std::printf("each pair's ratio: q1 %.2f  median %.2f  q3 %.2f\n", quantile(ratios, 0.25),
                median(ratios), quantile(ratios, 0.75));
    return 0;
}

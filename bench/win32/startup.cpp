// Start-up of quorvel.exe beside a bare Win32 window program (bare_window.cpp), side by side
// in one run (scripts/wine-startup-bench.sh): each is launched RUNS times, turn about, and
// timed from CreateProcess to its main window being shown; then it is closed and waited for.
// Prints min, median and max of each and the ratio of the medians.
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
    if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
    }
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return elapsed;
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    return n % 2 == 1 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

void report(const wchar_t* name, const std::vector<double>& times) {
    const auto [least, most] = std::minmax_element(times.begin(), times.end());
    std::printf("%-20ls min %7.1f ms  median %7.1f ms  max %7.1f ms  (%zu runs)\n", name, *least,
                median(times), *most, times.size());
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: startup PROGRAM CLASS YARDSTICK YARDSTICK_CLASS RUNS\n");
        return 2;
    }
    const int runs = std::stoi(argv[5]);
    std::vector<double> program;
    std::vector<double> yardstick;
    for (int i = 0; i < runs; ++i) {
        program.push_back(launch_to_window(argv[1], argv[2]));
        yardstick.push_back(launch_to_window(argv[3], argv[4]));
        if (program.back() < 0 || yardstick.back() < 0) {
            std::fprintf(stderr, "a window did not come within 10 s\n");
            return 1;
        }
    }
    report(L"quorvel.exe", program);
    report(L"bare window", yardstick);
    std::printf("launch to main window shown, median over median: %.2f (target at most 1.5)\n",
                median(program) / median(yardstick));
    return 0;
}

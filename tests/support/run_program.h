#pragma once

// Runs a program as a separate process, standard input, output and error from and into files,
// and gives its exit status (-1 when it did not end by itself).

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include "common/file_path.h"

#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace quorvel::test {

#ifdef _WIN32

inline const std::string null_device = "NUL";

// One argument as CommandLineToArgvW reads it back: quoted, its backslashes doubled where
// they stand before a quote.
inline std::wstring quoted(const std::wstring& arg) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    return out.append(2 * backslashes, L'\\') + L"\"";
}

inline HANDLE inheritable(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(file_path(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Now and then, on a loaded machine, Wine 8.0 fails CreateProcessW with ERROR_INTERNAL_ERROR
// (about once in 500 starts with both cores busy): such a start is tried again, up to three
// times in all, and each repeat is noted in the file QUORVEL_WINE_REPEATS names, as
// scripts/wine-test.sh notes the runs it repeats.
// `handles`: whether the process inherits the inheritable handles; `folder`: its current
// folder, null for this process's.
inline bool start_process(const std::string& program, std::wstring& command, STARTUPINFOW& start,
                          PROCESS_INFORMATION& process, BOOL handles = TRUE,
                          const wchar_t* folder = nullptr) {
    for (int attempt = 1; attempt <= 3; ++attempt) {
        if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, handles, 0, nullptr, folder,
                             &start, &process)) {
            return true;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_INTERNAL_ERROR) {
            return false;
        }
        if (const char* repeats = std::getenv("QUORVEL_WINE_REPEATS")) {
            if (std::FILE* note = std::fopen(repeats, "a")) {
                std::fprintf(note, "run_program: %s did not start (error %lu), attempt %d of 3\n",
                             program.c_str(), error, attempt);
                std::fclose(note);
            }
        }
    }
    return false;
}

inline int run_program(const std::string& program, const std::vector<std::string>& args,
                       const std::string& in, const std::string& out, const std::string& err) {
    std::wstring command = quoted(file_path(program).wstring());
    for (const auto& arg : args) {
        command += L" " + quoted(file_path(arg).wstring());
    }
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = inheritable(in, GENERIC_READ, OPEN_EXISTING);
    start.hStdOutput = inheritable(out, GENERIC_WRITE, CREATE_ALWAYS);
    start.hStdError = inheritable(err, GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process{};
    DWORD status = static_cast<DWORD>(-1);
    if (start_process(program, command, start, process)) {
        ::WaitForSingleObject(process.hProcess, INFINITE);
        ::GetExitCodeProcess(process.hProcess, &status);
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    }
    for (HANDLE h : {start.hStdInput, start.hStdOutput, start.hStdError}) {
        ::CloseHandle(h);
    }
    return static_cast<int>(status);
}

#else

inline const std::string null_device = "/dev/null";

inline std::string quoted(const std::string& arg) {
    std::string out = "'";
    for (char c : arg) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

inline int run_program(const std::string& program, const std::vector<std::string>& args,
                       const std::string& in, const std::string& out, const std::string& err) {
    std::string command = quoted(program);
    for (const auto& arg : args) {
        command += " " + quoted(arg);
    }
    command += " <" + quoted(in) + " >" + quoted(out) + " 2>" + quoted(err);
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

#endif

} // namespace quorvel::test

#pragma once

// Paths on Windows, as the wide strings its calls take: converted by the system itself.
// (std::filesystem::path would do it too, but links the C++ library's locale machinery, which
// is most of the size of a Windows program.)

#ifdef _WIN32

#include <string>

#include <windows.h>

namespace quorvel {

inline std::wstring wide_path(const std::string& utf8) {
    const int length = static_cast<int>(utf8.size());
    std::wstring wide(static_cast<std::size_t>(
                          ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0)),
                      L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(),
                          static_cast<int>(wide.size()));
    return wide;
}

inline std::string utf8_path(const std::wstring& wide) {
    const int length = static_cast<int>(wide.size());
    std::string utf8(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length,
                                                                    nullptr, 0, nullptr, nullptr)),
                     '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(),
                          static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8;
}

// The folder the process works in.
inline std::string current_folder() {
    std::wstring folder(::GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return utf8_path(folder);
}

// The path from the current folder, as the system completes a relative one.
inline std::wstring absolute(const std::wstring& path) {
    std::wstring full(::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    return full.empty() ? path : full;
}

inline std::string absolute_path(const std::string& utf8) {
    return utf8_path(absolute(wide_path(utf8)));
}

// Whether the path names a folder.
inline bool is_folder(const std::string& utf8) {
    const DWORD attributes = ::GetFileAttributesW(wide_path(utf8).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace quorvel

#endif

#pragma once

// Paths are UTF-8 inside the program. The system takes them as a path object, which on
// Windows holds the wide string its calls need (a plain std::string would be read in the
// ANSI code page there).

#include <filesystem>
#include <string>

namespace quorvel {

inline std::filesystem::path file_path(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string utf8_path(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

#ifndef _WIN32
// The folder the process works in; "" when it cannot be told. (Windows: common/wide_path.h.)
inline std::string current_folder() {
    std::error_code ec;
    const auto folder = std::filesystem::current_path(ec);
    return ec ? std::string() : utf8_path(folder);
}

// Whether the path names a folder.
inline bool is_folder(const std::string& utf8) {
    std::error_code ec;
    return std::filesystem::is_directory(file_path(utf8), ec);
}

// The path from the current folder; the name as given when the folder cannot be read.
inline std::string absolute_path(const std::string& utf8) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(file_path(utf8), ec);
    return ec ? utf8 : utf8_path(absolute);
}
#endif

} // namespace quorvel

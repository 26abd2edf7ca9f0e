#pragma once

// The builder's voice files the benchmarks work on, written once per run into a folder of
// their own that is removed at exit, and the plain read that a benchmark compares with.

#include "support/voice_builder.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace quorvel::bench {

namespace fs = std::filesystem;

constexpr double megabyte = 1024.0 * 1024.0;

// The voice files, written once per run and removed at exit.
class VoiceFolder {
  public:
    VoiceFolder()
        : path_(fs::temp_directory_path() /
                ("quorvel_bench_" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {
        fs::create_directories(path_);
    }
    ~VoiceFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    VoiceFolder(const VoiceFolder&) = delete;
    VoiceFolder& operator=(const VoiceFolder&) = delete;

    std::string voice(std::int64_t megabytes, bool nuvi_7x0) const {
        const fs::path file = path_ / ((nuvi_7x0 ? "nuvi_7x0_" : "nuvi_255w_") +
                                       std::to_string(megabytes) + "mb.vpm");
        if (!fs::exists(file)) {
            test::VoicePlan shape = nuvi_7x0 ? test::VoicePlan{} : test::plan_255w();
            shape.total_size = static_cast<std::int32_t>(megabytes << 20);
            if (!nuvi_7x0) {
                // 255W/260 pointers stay at or below 16777216: the tail's pointers lie just
                // below 8 MB whatever the size of the file
                shape.ptr_delta = shape.total_size - (8 << 20);
            }
            test::write_file(file.string(), test::build_voice(shape).image);
        }
        return file.string();
    }

    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

inline const VoiceFolder& folder() {
    static const VoiceFolder f;
    return f;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// The whole file in one buffer that is not cleared first; empty when it cannot be read.
inline std::unique_ptr<std::uint8_t[]> plain_read(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
        return nullptr;
    }
    const long length = std::ftell(file.get());
    std::rewind(file.get());
    if (length <= 0) {
        return nullptr;
    }
    const auto n = static_cast<std::size_t>(length);
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[n]);
    if (std::fread(bytes.get(), 1, n, file.get()) != n) {
        return nullptr;
    }
    return bytes;
}

} // namespace quorvel::bench

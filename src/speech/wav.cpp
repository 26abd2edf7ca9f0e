#include "speech/wav.h"

namespace quorvel::speech {

namespace {

void put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

} // namespace

std::string wav_file(std::span<const std::int16_t> samples, int rate) {
    const auto data_size = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    put(out, 36 + data_size, 4);
    out += "WAVEfmt ";
    put(out, 16, 4);                                   // the format chunk's size
    put(out, 1, 2);                                    // PCM
    put(out, 1, 2);                                    // mono
    put(out, static_cast<std::uint32_t>(rate), 4);     // samples per second
    put(out, static_cast<std::uint32_t>(rate) * 2, 4); // bytes per second
    put(out, 2, 2);                                    // bytes per sample
    put(out, 16, 2);                                   // bits per sample
    out += "data";
    put(out, data_size, 4);
    out.reserve(out.size() + data_size);
    for (const std::int16_t sample : samples) {
        put(out, static_cast<std::uint16_t>(sample), 2);
    }
    return out;
}

} // namespace quorvel::speech

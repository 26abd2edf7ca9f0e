#pragma once

// A WAV file of 16-bit mono samples, as the speech engine makes them.

#include <cstdint>
#include <span>
#include <string>

namespace quorvel::speech {

// The file's bytes: a RIFF header with one "fmt " and one "data" chunk, little-endian.
std::string wav_file(std::span<const std::int16_t> samples, int rate);

} // namespace quorvel::speech

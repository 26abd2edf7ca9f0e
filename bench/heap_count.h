#pragma once

// Live and peak heap bytes of this process, counted by the global operator new and delete
// that the benchmark executable replaces. Memory taken with malloc directly (the C library's
// FILE buffers) is not counted.

#include <cstddef>

namespace quorvel::bench {

std::size_t heap_live();
std::size_t heap_peak();
// Starts a new peak from what is live now.
void heap_reset_peak();

} // namespace quorvel::bench

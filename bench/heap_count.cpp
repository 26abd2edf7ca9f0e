#include "heap_count.h"

#include <cstdlib>
#include <new>

namespace {

// The benchmarks run on one thread. Each block carries its size in front of it; the
// over-aligned forms of new and delete are left to the library (nothing here uses them).
std::size_t live = 0;
std::size_t peak = 0;
constexpr std::size_t header = alignof(std::max_align_t);

void* counted(std::size_t n) {
    void* block = std::malloc(n + header);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    *static_cast<std::size_t*>(block) = n;
    live += n;
    if (live > peak) {
        peak = live;
    }
    return static_cast<char*>(block) + header;
}

void uncounted(void* p) noexcept {
    if (p != nullptr) {
        void* block = static_cast<char*>(p) - header;
        live -= *static_cast<std::size_t*>(block);
        std::free(block);
    }
}

} // namespace

namespace quorvel::bench {

std::size_t heap_live() {
    return live;
}

std::size_t heap_peak() {
    return peak;
}

void heap_reset_peak() {
    peak = live;
}

} // namespace quorvel::bench

void* operator new(std::size_t n) {
    return counted(n);
}
void* operator new[](std::size_t n) {
    return counted(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return counted(n);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return counted(n);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept {
    uncounted(p);
}
void operator delete[](void* p) noexcept {
    uncounted(p);
}
void operator delete(void* p, std::size_t) noexcept {
    uncounted(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    uncounted(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    uncounted(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    uncounted(p);
}

#include "CountingAllocator.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace bench {
namespace {

// Every block carries a header in front of it with the bytes it counts: its size, or 0 when it
// was made uncounted. The header keeps the block aligned as malloc's own blocks are.
constexpr std::size_t kHeaderBytes = alignof(std::max_align_t) > sizeof(std::size_t) ? alignof(std::max_align_t)
                                                                                     : sizeof(std::size_t);

std::atomic<std::size_t> countedBytes{0};
std::atomic<std::size_t> peakBytes{0};
thread_local bool counting = true;

void* Allocate(std::size_t size) noexcept {
    void* block = std::malloc(size + kHeaderBytes);
    if (block == nullptr) {
        return nullptr;
    }
    const std::size_t counted = counting ? size : 0;
    *static_cast<std::size_t*>(block) = counted;
    if (counted != 0) {
        const std::size_t now = countedBytes.fetch_add(counted, std::memory_order_relaxed) + counted;
        std::size_t peak = peakBytes.load(std::memory_order_relaxed);
        while (now > peak && !peakBytes.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
        }
    }
    return static_cast<char*>(block) + kHeaderBytes;
}

void* AllocateOrThrow(std::size_t size) {
    void* p = Allocate(size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

void Free(void* p) noexcept {
    if (p == nullptr) {
        return;
    }
    void* block = static_cast<char*>(p) - kHeaderBytes;
    countedBytes.fetch_sub(*static_cast<std::size_t*>(block), std::memory_order_relaxed);
    std::free(block);
}

}  // namespace

std::size_t CountedBytes() {
    return countedBytes.load(std::memory_order_relaxed);
}

std::size_t PeakCountedBytes() {
    return peakBytes.load(std::memory_order_relaxed);
}

void ResetPeak() {
    peakBytes.store(countedBytes.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

UncountedScope::UncountedScope() : wasCounting_(counting) {
    counting = false;
}

UncountedScope::~UncountedScope() {
    counting = wasCounting_;
}

}  // namespace bench

// The aligned forms are left to the library: they pair among themselves and nothing measured
// here uses them.
void* operator new(std::size_t size) {
    return bench::AllocateOrThrow(size);
}
void* operator new[](std::size_t size) {
    return bench::AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return bench::Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return bench::Allocate(size);
}
void operator delete(void* p) noexcept {
    bench::Free(p);
}
void operator delete[](void* p) noexcept {
    bench::Free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    bench::Free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    bench::Free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    bench::Free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    bench::Free(p);
}

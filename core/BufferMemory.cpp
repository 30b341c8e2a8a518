#include "core/BufferMemory.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace buffer_memory {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapLarge = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMapLarge = false;
#else
constexpr bool kMapLarge = true;
#endif
#else
constexpr bool kMapLarge = true;
#endif

constexpr std::size_t kPage = 4096;
constexpr std::size_t kHugePage = std::size_t{2} * 1024 * 1024;

std::atomic<std::size_t> g_mapped{0};
std::atomic<std::size_t> g_peak{0};

void countMapped(std::size_t added, std::size_t removed) {
    const std::size_t now = (g_mapped += added) - removed;
    g_mapped -= removed;
    std::size_t peak = g_peak.load(std::memory_order_relaxed);
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}

bool mapped(std::size_t capacity) {
    return kMapLarge && capacity >= kMapAtBytes;
}

// The length of the mapping that holds capacity bytes.
std::size_t mapLength(std::size_t capacity) {
    return (capacity + kPage - 1) & ~(kPage - 1);
}

void adviseHugePages(void* p, std::size_t length) {
#ifdef MADV_HUGEPAGE
    if (length >= kHugePage)
        ::madvise(p, length, MADV_HUGEPAGE);
#else
    (void)p;
    (void)length;
#endif
}

// A new mapping; one of a huge page or more starts on a huge-page boundary
// (the room before and after the boundary given back), so that all its
// whole huge pages can be huge pages.
char* map(std::size_t capacity) {
    const std::size_t length = mapLength(capacity);
    if (length < capacity)
        throw std::bad_alloc();
    const std::size_t slack = length >= kHugePage ? kHugePage : 0;
    if (length > SIZE_MAX - slack)
        throw std::bad_alloc();
    void* p =
        ::mmap(nullptr, length + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    char* start = static_cast<char*>(p);
    if (slack > 0) {
        const std::size_t skip =
            (kHugePage - (reinterpret_cast<std::uintptr_t>(start) & (kHugePage - 1))) &
            (kHugePage - 1);
        if (skip > 0)
            ::munmap(start, skip);
        if (slack - skip > 0)
            ::munmap(start + skip + length, slack - skip);
        start += skip;
    }
    adviseHugePages(start, length);
    countMapped(length, 0);
    return start;
}

void unmap(char* p, std::size_t capacity) {
    const std::size_t length = mapLength(capacity);
    ::munmap(p, length);
    countMapped(0, length);
}

// Moves the pages of a mapping to the new length: in place when the room
// after it is free (or when it shrinks), elsewhere otherwise, still without
// copying.
char* remap(char* p, std::size_t capacity, std::size_t newCapacity) {
    const std::size_t length = mapLength(capacity);
    const std::size_t newLength = mapLength(newCapacity);
    if (newLength < newCapacity)
        throw std::bad_alloc();
    if (newLength == length)
        return p;
    void* q = ::mremap(p, length, newLength, 0);
    if (q == MAP_FAILED)
        q = ::mremap(p, length, newLength, MREMAP_MAYMOVE);
    if (q == MAP_FAILED)
        throw std::bad_alloc();
    if (newLength > length)
        adviseHugePages(q, newLength);
    countMapped(newLength, length);
    return static_cast<char*>(q);
}

} // namespace

char* resize(char* p, std::size_t capacity, std::size_t newCapacity, std::size_t keep) {
    keep = std::min({keep, capacity, newCapacity});
    if (newCapacity == 0) {
        release(p, capacity);
        return nullptr;
    }
    if (!p || capacity == 0) {
        if (mapped(newCapacity))
            return map(newCapacity);
        void* q = std::malloc(newCapacity);
        if (!q)
            throw std::bad_alloc();
        return static_cast<char*>(q);
    }
    const bool was = mapped(capacity);
    const bool will = mapped(newCapacity);
    if (was && will)
        return remap(p, capacity, newCapacity);
    if (!was && !will) {
        void* q = std::realloc(p, newCapacity);
        if (!q)
            throw std::bad_alloc();
        return static_cast<char*>(q);
    }
    char* q = nullptr;
    if (will) {
        q = map(newCapacity);
    } else {
        q = static_cast<char*>(std::malloc(newCapacity));
        if (!q)
            throw std::bad_alloc();
    }
    if (keep > 0)
        std::memcpy(q, p, keep);
    release(p, capacity);
    return q;
}

void release(char* p, std::size_t capacity) noexcept {
    if (!p)
        return;
    if (mapped(capacity))
        unmap(p, capacity);
    else
        std::free(p);
}

std::size_t mappedBytes() noexcept {
    return g_mapped.load(std::memory_order_relaxed);
}

std::size_t mappedPeak() noexcept {
    return g_peak.load(std::memory_order_relaxed);
}

void resetMappedPeak() noexcept {
    g_peak = g_mapped.load();
}

} // namespace buffer_memory

#include "core/BufferMemory.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <set>
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

// The mapped buffers: which ones they are is kept here, so that their
// owners need keep nothing but the pointer and the capacity.
std::mutex g_registryLock;
std::set<const char*>& registry() {
    static std::set<const char*> buffers;
    return buffers;
}

bool isMapped(const char* p) {
    if (!kMapLarge || !p)
        return false;
    const std::lock_guard<std::mutex> lock(g_registryLock);
    return registry().count(p) != 0;
}

void registerMapping(const char* p, const char* old) {
    const std::lock_guard<std::mutex> lock(g_registryLock);
    if (old)
        registry().erase(old);
    if (p)
        registry().insert(p);
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
    if (p && isMapped(p)) {
        char* q = remap(p, capacity, newCapacity);
        if (q != p)
            registerMapping(q, p);
        return q;
    }
    const bool large = kMapLarge && newCapacity >= kMapAtBytes;
    if (!large) {
        void* q = p ? std::realloc(p, newCapacity) : std::malloc(newCapacity);
        if (!q)
            throw std::bad_alloc();
        return static_cast<char*>(q);
    }
    char* q = map(newCapacity);
    try {
        registerMapping(q, nullptr);
    } catch (...) {
        unmap(q, newCapacity);
        throw std::bad_alloc();
    }
    if (keep > 0)
        std::memcpy(q, p, keep);
    std::free(p);
    return q;
}

void release(char* p, std::size_t capacity) noexcept {
    if (!p)
        return;
    if (isMapped(p)) {
        registerMapping(nullptr, p);
        unmap(p, capacity);
    } else {
        std::free(p);
    }
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

#pragma once

#include <cstddef>

// Memory for a buffer that grows as it fills and may become large (the texts
// and end offsets of a group of links). Smaller buffers come from malloc,
// which hands out memory the process has touched before. A buffer that asks
// for a huge page's size or more is mapped straight from the kernel on
// huge-page boundaries and asks for huge pages before any of it is touched
// (one page fault per 2 MiB instead of one per 4 KiB); it grows and shrinks
// by remapping its pages instead of copying them, and stays mapped when it
// shrinks below a huge page. Untouched room costs address space only. Under
// AddressSanitizer every buffer comes from malloc, so that it checks every
// access.
namespace buffer_memory {

inline constexpr std::size_t kMapAtBytes = std::size_t{2} * 1024 * 1024;

// Gives p (capacity bytes, nullptr when 0) newCapacity bytes, keeping its
// first `keep` bytes, and returns where they are now; nullptr for 0 bytes.
// Throws std::bad_alloc when the memory cannot be had; p is then unchanged.
char* resize(char* p, std::size_t capacity, std::size_t newCapacity, std::size_t keep);

// Frees p, which holds capacity bytes.
void release(char* p, std::size_t capacity) noexcept;

// Bytes of all mapped buffers of the process now (address space, touched
// or not), for memory accounting beside the heap's.
std::size_t mappedBytes() noexcept;
// The most mappedBytes() has been since the last resetMappedPeak().
std::size_t mappedPeak() noexcept;
void resetMappedPeak() noexcept;

} // namespace buffer_memory

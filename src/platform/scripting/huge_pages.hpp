// Memory for large tables that fill up quickly: taken from the system in whole huge pages
// (two megabytes) and offered to its transparent huge pages, so that writing it takes one page
// fault per two megabytes instead of one per four kilobytes (a fault costs more than zeroing
// the page it brings in). Requests below kLargeBytes go to the heap.
#pragma once

#include <algorithm>
#include <cstddef>
#include <new>

namespace orvex::scripting {

inline constexpr size_t kHugePageBytes = 2 * 1024 * 1024;
inline constexpr size_t kLargeBytes = 256 * 1024;

// The bytes AllocateLarge(size) gives: size, or whole huge pages from kLargeBytes on.
size_t LargeSize(size_t size);
// At least size bytes; throws std::bad_alloc. Give back with ReleaseLarge(data, size).
void* AllocateLarge(size_t size);
void ReleaseLarge(void* data, size_t size) noexcept;

// Room for one more element, grown geometrically as push_back would, made before anything is
// changed: a vector of owned blocks or entries then takes the element without failing.
template <class Vector>
void MakeRoomForOne(Vector& items) {
  if (items.size() == items.capacity()) items.reserve(std::max<size_t>(8, items.size() * 2));
}

// For the vectors of such tables.
template <class T>
struct HugePageAllocator {
  using value_type = T;
  HugePageAllocator() = default;
  template <class U>
  HugePageAllocator(const HugePageAllocator<U>&) {}
  T* allocate(size_t count) { return static_cast<T*>(AllocateLarge(count * sizeof(T))); }
  void deallocate(T* data, size_t count) noexcept { ReleaseLarge(data, count * sizeof(T)); }
  friend bool operator==(const HugePageAllocator&, const HugePageAllocator&) { return true; }
};

}  // namespace orvex::scripting

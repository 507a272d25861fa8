#include "platform/scripting/huge_pages.hpp"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace orvex::scripting {

size_t LargeSize(size_t size) {
  if (size < kLargeBytes) return size;
  return (size + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
}

void* AllocateLarge(size_t size) {
  if (size < kLargeBytes) {
    void* data = std::malloc(size == 0 ? 1 : size);
    if (data == nullptr) throw std::bad_alloc();
    return data;
  }
  // A huge page must start on a huge-page boundary: map one more and cut the ends off.
  const size_t mapped = LargeSize(size);
  const size_t reserved = mapped + kHugePageBytes;
  void* mapping =
      mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) throw std::bad_alloc();
  char* start = static_cast<char*>(mapping);
  const size_t head =
      (kHugePageBytes - reinterpret_cast<uintptr_t>(start) % kHugePageBytes) % kHugePageBytes;
  if (head > 0) munmap(start, head);
  const size_t tail = reserved - head - mapped;
  if (tail > 0) munmap(start + head + mapped, tail);
#ifdef MADV_HUGEPAGE
  // Only advice: where the system has no huge pages to give, the memory is made of small ones.
  madvise(start + head, mapped, MADV_HUGEPAGE);
#endif
  return start + head;
}

void ReleaseLarge(void* data, size_t size) noexcept {
  if (size < kLargeBytes) {
    std::free(data);
  } else {
    munmap(data, LargeSize(size));
  }
}

}  // namespace orvex::scripting

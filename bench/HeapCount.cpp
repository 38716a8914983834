#include "bench/HeapCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> gCurrent{0};
std::atomic<std::size_t> gPeak{0};
std::atomic<std::size_t> gAllocations{0};

// Each block carries its size in front of it, so that a delete knows what it frees.
void* Allocate(std::size_t size) {
  void* p = std::malloc(size + sizeof(std::max_align_t));
  if (!p) throw std::bad_alloc();
  ++gAllocations;
  *static_cast<std::size_t*>(p) = size;
  const std::size_t now = gCurrent += size;
  std::size_t peak = gPeak.load();
  while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
  }
  return static_cast<char*>(p) + sizeof(std::max_align_t);
}

void Release(void* p) noexcept {
  if (!p) return;
  void* block = static_cast<char*>(p) - sizeof(std::max_align_t);
  gCurrent -= *static_cast<std::size_t*>(block);
  std::free(block);
}
}  // namespace

std::size_t BenchAllocationCount() noexcept { return gAllocations.load(); }
std::size_t BenchHeapNow() noexcept { return gCurrent.load(); }
std::size_t BenchHeapPeak() noexcept { return gPeak.load(); }
void BenchResetHeapPeak() noexcept { gPeak = gCurrent.load(); }

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

// The replaced allocation functions behind bench/heap/heap_count.h: each allocation is counted,
// and counted as the program's when the simulated platform's mark is down.
#include "bench/heap/heap_count.h"

#include <cstdlib>
#include <new>

#include "platform/sim/device.h"

namespace {

std::uint64_t programAllocations = 0;
std::uint64_t allAllocations = 0;

void* Allocate(std::size_t size, std::size_t alignment = 0) {
  ++allAllocations;
  if (sim::PlatformDepth == 0) ++programAllocations;
  if (size == 0) size = 1;
  if (alignment == 0) return std::malloc(size);
  void* p = nullptr;
  return posix_memalign(&p, alignment < sizeof(void*) ? sizeof(void*) : alignment, size) == 0
             ? p
             : nullptr;
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment = 0) {
  void* p = Allocate(size, alignment);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

// Out of line so the compiler does not pair a replaced operator new with free().
__attribute__((noinline)) void Release(void* p) noexcept { std::free(p); }

}  // namespace

namespace bench {
std::uint64_t ProgramHeapAllocations() { return programAllocations; }
void ResetProgramHeapAllocations() { programAllocations = 0; }
std::uint64_t AllHeapAllocations() { return allAllocations; }
}  // namespace bench

using std::align_val_t;
using std::nothrow_t;
using std::size_t;

void* operator new(size_t size) { return AllocateOrThrow(size); }
void* operator new[](size_t size) { return AllocateOrThrow(size); }
void* operator new(size_t size, const nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const nothrow_t&) noexcept { return Allocate(size); }
void* operator new(size_t size, align_val_t a) { return AllocateOrThrow(size, size_t(a)); }
void* operator new[](size_t size, align_val_t a) { return AllocateOrThrow(size, size_t(a)); }
void* operator new(size_t size, align_val_t a, const nothrow_t&) noexcept {
  return Allocate(size, size_t(a));
}
void* operator new[](size_t size, align_val_t a, const nothrow_t&) noexcept {
  return Allocate(size, size_t(a));
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }
void operator delete(void* p, const nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const nothrow_t&) noexcept { Release(p); }
void operator delete(void* p, align_val_t) noexcept { Release(p); }
void operator delete[](void* p, align_val_t) noexcept { Release(p); }
void operator delete(void* p, size_t, align_val_t) noexcept { Release(p); }
void operator delete[](void* p, size_t, align_val_t) noexcept { Release(p); }
void operator delete(void* p, align_val_t, const nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, align_val_t, const nothrow_t&) noexcept { Release(p); }

#include "HeapCount.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> gBlocks{0};
std::atomic<long> gBytes{0};

}  // namespace

HeapCount LiveHeap() {
  return {gBlocks.load(), gBytes.load()};
}

// The replaceable allocation functions; the array and nothrow forms of the
// library come here too.
void* operator new(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  ++gBlocks;
  gBytes += static_cast<long>(malloc_usable_size(block));
  return block;
}

void operator delete(void* block) noexcept {
  if (block == nullptr) return;
  --gBlocks;
  gBytes -= static_cast<long>(malloc_usable_size(block));
  std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
  operator delete(block);
}

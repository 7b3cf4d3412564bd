#include "HeapCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> gBlocks{0};
std::atomic<long> gBytes{0};

// Each block carries the size it was asked for in front of it: the usable
// size the allocator reports depends on which free chunk it reused, so it
// moves with what the heap held before.
constexpr std::size_t kSizeHeader = alignof(std::max_align_t);

}  // namespace

HeapCount LiveHeap() {
  return {gBlocks.load(), gBytes.load()};
}

// The replaceable allocation functions; the array and nothrow forms of the
// library come here too.
void* operator new(std::size_t size) {
  auto* block = static_cast<unsigned char*>(std::malloc(kSizeHeader + size));
  if (block == nullptr) throw std::bad_alloc();
  *reinterpret_cast<std::size_t*>(block) = size;
  ++gBlocks;
  gBytes += static_cast<long>(size);
  return block + kSizeHeader;
}

void operator delete(void* memory) noexcept {
  if (memory == nullptr) return;
  unsigned char* block = static_cast<unsigned char*>(memory) - kSizeHeader;
  --gBlocks;
  gBytes -= static_cast<long>(*reinterpret_cast<std::size_t*>(block));
  std::free(block);
}

void operator delete(void* memory, std::size_t) noexcept {
  operator delete(memory);
}

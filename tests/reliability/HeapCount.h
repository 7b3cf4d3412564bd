#pragma once

#include <cstddef>

// The blocks this test program holds through operator new, with the bytes
// asked for: unlike the allocator's own figures, which move with its caches and
// fragmentation, these come back to the same value when nothing is kept.
struct HeapCount {
  long blocks = 0;
  long bytes = 0;

  bool operator==(const HeapCount&) const = default;
};

HeapCount LiveHeap();

#include "scan/heap_usage.h"

#include <malloc.h>

namespace scan {

std::size_t HeapBytesInUse() {
  const struct mallinfo2 info = ::mallinfo2();
  return info.uordblks + info.hblkhd;
}

void ReturnFreeHeap() { ::malloc_trim(0); }

}  // namespace scan

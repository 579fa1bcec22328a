#pragma once
// Heap bytes in use by the process, allocator overhead included: what a million
// records really cost, measured around their construction.

#include <cstddef>

namespace scan {

std::size_t HeapBytesInUse();

}  // namespace scan

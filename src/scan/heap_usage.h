#pragma once
// Heap bytes in use by the process, allocator overhead included: what a million
// records really cost, measured around their construction. And the hand-back of freed
// heap to the system, so that what a scan used only while it ran stops counting.

#include <cstddef>

namespace scan {

std::size_t HeapBytesInUse();

// Gives the system back the free pages of every allocator arena (the scan's threads
// each fill one with listings in flight, which stay mapped after they are freed).
void ReturnFreeHeap();

}  // namespace scan

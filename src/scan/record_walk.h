#pragma once
// Depth-first walks over a tree of folder records without recursion. A hostile folder
// tree or hand-off file can make records tens of thousands of levels deep, more than a
// thread's stack holds frames for; these walks keep their place on the heap instead.

#include <cstdint>
#include <vector>

namespace scan {

enum class WalkStep { Next, Descend, Stop };

// Visits the entries of `root` and of the records below it in the order a recursion
// over GetChild would: onEntry(record, i) for each entry in turn; when it answers
// Descend and the entry has a child record, the child's entries come next, then
// afterChild(record, i). Stop ends the walk at once. False when stopped.
// `Record` is CFolderInfo or const CFolderInfo.
template <typename Record, typename OnEntry, typename AfterChild>
bool WalkEntries(Record& root, OnEntry&& onEntry, AfterChild&& afterChild) {
  struct Frame {
    Record* record;
    std::uint32_t next;
  };
  std::vector<Frame> open{{&root, 0}};
  while (!open.empty()) {
    const Frame frame = open.back();
    if (frame.next == frame.record->Count()) {
      open.pop_back();
      if (!open.empty()) afterChild(*open.back().record, open.back().next - 1);
      continue;
    }
    const std::uint32_t i = open.back().next++;
    const WalkStep step = onEntry(*frame.record, i);
    if (step == WalkStep::Stop) return false;
    if (step == WalkStep::Descend) {
      if (Record* child = frame.record->GetChild(i)) open.push_back({child, 0});
    }
  }
  return true;
}

// WalkEntries with nothing to do after a child's entries.
template <typename Record, typename OnEntry>
bool WalkEntries(Record& root, OnEntry&& onEntry) {
  return WalkEntries(root, onEntry, [](Record&, std::uint32_t) {});
}

// visit(record) for `root` and every record below it, each before the records below it.
template <typename Record, typename Visit>
void ForEachRecord(Record& root, Visit&& visit) {
  visit(root);
  WalkEntries(root, [&visit](Record& record, std::uint32_t i) {
    Record* child = record.GetChild(i);
    if (child == nullptr) return WalkStep::Next;
    visit(*child);
    return WalkStep::Descend;
  });
}

}  // namespace scan

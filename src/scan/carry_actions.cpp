#include "scan/carry_actions.h"

#include <functional>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "scan/record_walk.h"

namespace scan {
namespace {

// The entries of one fresh record by name and kind, made the first time it is asked.
class EntryIndex {
 public:
  std::optional<std::uint32_t> Find(const CFolderInfo& record, std::string_view name, std::uint8_t kind) {
    auto [at, made] = byRecord_.try_emplace(&record);
    if (made) {
      for (std::uint32_t j = 0; j < record.Count(); ++j) at->second.emplace(record.names(j), j);
    }
    const auto [first, last] = at->second.equal_range(name);
    for (auto it = first; it != last; ++it) {
      if (record.kinds()[it->second] == kind) return it->second;
    }
    return std::nullopt;
  }

 private:
  std::unordered_map<const CFolderInfo*, std::unordered_multimap<std::string_view, std::uint32_t>> byRecord_;
};

// The old records holding an action somewhere below them: only those are walked into.
std::unordered_set<const CFolderInfo*> RecordsWithActions(const CFolderInfo& root) {
  std::unordered_set<const CFolderInfo*> holding;
  ForEachRecord(root, [&](const CFolderInfo& record) {
    bool any = false;
    for (const std::uint8_t action : record.actions()) any = any || action != 0;
    for (const CFolderInfo* at = &record; any && at != nullptr && holding.insert(at).second;) {
      at = at == &root ? nullptr : at->Parent();
    }
  });
  return holding;
}

}  // namespace

std::uint32_t CarryActions(const CFolderInfo& old, CFolderInfo& fresh) {
  const std::unordered_set<const CFolderInfo*> holding = RecordsWithActions(old);
  if (holding.empty()) return 0;
  std::uint32_t dropped = 0;
  EntryIndex index;
  // The fresh record standing for each old record being walked; nullptr when it is gone.
  std::vector<CFolderInfo*> into{&fresh};
  WalkEntries(
      old,
      [&](const CFolderInfo& record, std::uint32_t i) {
        CFolderInfo* target = into.back();
        const std::optional<std::uint32_t> j =
            target != nullptr ? index.Find(*target, record.names(i), record.kinds()[i]) : std::nullopt;
        if (record.actions()[i] != 0) {
          if (j) {
            target->actions()[*j] = record.actions()[i];
            target->backupDrives()[*j] = record.backupDrives()[i];
          } else {
            ++dropped;
          }
        }
        const CFolderInfo* child = record.GetChild(i);
        if (child == nullptr || !holding.contains(child)) return WalkStep::Next;
        into.push_back(j ? target->GetChild(*j) : nullptr);
        return WalkStep::Descend;
      },
      [&](const CFolderInfo&, std::uint32_t) { into.pop_back(); });
  return dropped;
}

}  // namespace scan

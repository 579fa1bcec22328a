#include "files/selected_links.h"

#include "scan/record_walk.h"

namespace files {

std::optional<SelectedLinks::Key> SelectedLinks::KeyOf(const scan::CFolderInfo& record, std::uint32_t i) {
  const scan::FileTraits* traits = record.IsFolder(i) ? nullptr : record.Traits(i);
  if (traits == nullptr || !traits->SeveralLinks()) return std::nullopt;
  return Key{traits->device, traits->inode, record.actions()[i]};
}

SelectedLinks SelectedLinks::Of(scan::CFolderInfo& root) {
  SelectedLinks tally;
  scan::WalkEntries(root, [&tally](scan::CFolderInfo& record, std::uint32_t i) {
    if (record.IsFolder(i)) return scan::WalkStep::Descend;
    if (record.actions()[i] != 0) {
      if (const auto key = KeyOf(record, i)) ++tally.names_[*key];
    }
    return scan::WalkStep::Next;
  });
  return tally;
}

std::uint64_t SelectedLinks::NamesInRun(const scan::CFolderInfo& record, std::uint32_t i) const {
  const auto key = KeyOf(record, i);
  if (!key) return 1;
  const auto found = names_.find(*key);
  return found == names_.end() ? 1 : found->second;
}

}  // namespace files

#include "scan/entry_columns.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace scan {

// Byte offsets of every column for one set of capacities. Columns are ordered by
// element width (8, 4, 1) so that each starts aligned.
struct EntryColumns::Layout {
  static constexpr std::size_t kHeaderBytes = 6 * sizeof(std::uint32_t);

  explicit Layout(const Capacity& c)
      : entries(c.entries),
        activityEntries(c.activity),
        wide(kHeaderBytes),
        children(wide + kWideCount * sizeof(std::uint64_t) * entries),
        folderActualSizes(children + sizeof(CFolderInfo*) * c.folders),
        folderFileCounts(folderActualSizes + sizeof(std::uint64_t) * c.folders),
        activity(folderFileCounts + sizeof(std::uint32_t) * c.folders),
        nameEnds(activity + kActivityCount * sizeof(std::uint32_t) * activityEntries),
        folderEntries(nameEnds + sizeof(std::uint32_t) * entries),
        bytes(folderEntries + sizeof(std::uint32_t) * c.folders),
        lastOperations(bytes + kByteCount * entries),
        names(lastOperations + activityEntries),
        total(names + c.nameBytes) {}

  std::size_t Wide(int column) const { return wide + column * sizeof(std::uint64_t) * entries; }
  std::size_t Activity(int column) const {
    return activity + column * sizeof(std::uint32_t) * activityEntries;
  }
  std::size_t Byte(int column) const { return bytes + column * entries; }

  std::size_t entries, activityEntries;
  std::size_t wide, children, folderActualSizes, folderFileCounts, activity, nameEnds,
      folderEntries, bytes, lastOperations, names, total;
};

namespace {

// Header words at the start of the block (six, so that the columns after it stay
// 8-byte aligned).
enum HeaderWord { kEntryCapacity, kFolderCapacity, kNameCapacity, kActivityCapacity, kFolderCount };

std::uint32_t* Header(std::byte* block) { return reinterpret_cast<std::uint32_t*>(block); }

std::uint32_t CheckedSize(std::size_t size) {
  if (size > std::numeric_limits<std::uint32_t>::max()) {
    throw std::length_error("folder record larger than 4 GiB entries or name bytes");
  }
  return static_cast<std::uint32_t>(size);
}

std::uint32_t Grown(std::uint32_t current, std::size_t needed) {
  if (needed <= current) return current;
  return CheckedSize(std::max<std::size_t>(needed, std::size_t{current} * 2));
}

}  // namespace

EntryColumns::EntryColumns(EntryColumns&& other) noexcept
    : block_(std::move(other.block_)), count_(other.count_), nameBytes_(other.nameBytes_) {
  other.count_ = 0;
  other.nameBytes_ = 0;
}

EntryColumns& EntryColumns::operator=(EntryColumns&& other) noexcept {
  block_ = std::move(other.block_);
  count_ = other.count_;
  nameBytes_ = other.nameBytes_;
  other.count_ = 0;
  other.nameBytes_ = 0;
  return *this;
}

EntryColumns::Capacity EntryColumns::CurrentCapacity() const {
  if (!block_) return {};
  const std::uint32_t* header = Header(block_.get());
  return {header[kEntryCapacity], header[kFolderCapacity], header[kNameCapacity],
          header[kActivityCapacity]};
}

std::uint32_t EntryColumns::FolderCount() const {
  return block_ ? Header(block_.get())[kFolderCount] : 0;
}

std::span<std::uint64_t> EntryColumns::Column(Wide column) {
  if (!block_) return {};
  const Layout layout(CurrentCapacity());
  return {reinterpret_cast<std::uint64_t*>(At(layout.Wide(column))), count_};
}

std::span<const std::uint64_t> EntryColumns::Column(Wide column) const {
  return const_cast<EntryColumns*>(this)->Column(column);
}

std::span<std::uint8_t> EntryColumns::Column(Byte column) {
  if (!block_) return {};
  const Layout layout(CurrentCapacity());
  return {reinterpret_cast<std::uint8_t*>(At(layout.Byte(column))), count_};
}

std::span<const std::uint8_t> EntryColumns::Column(Byte column) const {
  return const_cast<EntryColumns*>(this)->Column(column);
}

OptionalColumn<std::uint32_t> EntryColumns::Column(Activity column) const {
  const Capacity capacity = CurrentCapacity();
  if (capacity.activity == 0) return {nullptr, count_};
  return {reinterpret_cast<const std::uint32_t*>(At(Layout(capacity).Activity(column))), count_};
}

OptionalColumn<std::uint8_t> EntryColumns::LastOperations() const {
  const Capacity capacity = CurrentCapacity();
  if (capacity.activity == 0) return {nullptr, count_};
  return {reinterpret_cast<const std::uint8_t*>(At(Layout(capacity).lastOperations)), count_};
}

void EntryColumns::SetActivity(std::uint32_t entry, const EntryActivity& activity) {
  assert(entry < count_);
  Capacity capacity = CurrentCapacity();
  if (capacity.activity == 0) {
    if (activity == EntryActivity{}) return;
    capacity.activity = capacity.entries;
    Relayout(capacity);
  }
  const Layout layout(capacity);
  const auto set = [&](Activity column, std::uint32_t value) {
    reinterpret_cast<std::uint32_t*>(At(layout.Activity(column)))[entry] = value;
  };
  set(kReadOnlyCounts, activity.readOnly);
  set(kWriteOnlyCounts, activity.writeOnly);
  set(kReadWriteCounts, activity.readWrite);
  set(kLastAccess, activity.lastAccess);
  reinterpret_cast<std::uint8_t*>(At(layout.lastOperations))[entry] = activity.lastOperation;
}

std::string_view EntryColumns::Name(std::uint32_t entry) const {
  const Layout layout(CurrentCapacity());
  const auto* ends = reinterpret_cast<const std::uint32_t*>(At(layout.nameEnds));
  const std::uint32_t begin = entry == 0 ? 0 : ends[entry - 1];
  return {reinterpret_cast<const char*>(At(layout.names + begin)), ends[entry] - begin};
}

std::uint32_t EntryColumns::FolderIndex(std::uint32_t entry) const {
  const std::uint32_t folders = FolderCount();
  if (folders == 0) return 0;
  const Layout layout(CurrentCapacity());
  const auto* indices = reinterpret_cast<const std::uint32_t*>(At(layout.folderEntries));
  const auto* found = std::lower_bound(indices, indices + folders, entry);
  if (found == indices + folders || *found != entry) return folders;
  return static_cast<std::uint32_t>(found - indices);
}

CFolderInfo** EntryColumns::ChildSlot(std::uint32_t entry) {
  const std::uint32_t folder = FolderIndex(entry);
  if (folder == FolderCount()) return nullptr;
  return reinterpret_cast<CFolderInfo**>(At(Layout(CurrentCapacity()).children)) + folder;
}

CFolderInfo* const* EntryColumns::ChildSlot(std::uint32_t entry) const {
  return const_cast<EntryColumns*>(this)->ChildSlot(entry);
}

std::span<CFolderInfo* const> EntryColumns::Children() const {
  if (!block_) return {};
  const Layout layout(CurrentCapacity());
  return {reinterpret_cast<CFolderInfo* const*>(At(layout.children)), FolderCount()};
}

std::span<std::uint64_t> EntryColumns::FolderActualSizes() {
  if (!block_) return {};
  const Layout layout(CurrentCapacity());
  return {reinterpret_cast<std::uint64_t*>(At(layout.folderActualSizes)), FolderCount()};
}

std::span<const std::uint64_t> EntryColumns::FolderActualSizes() const {
  return const_cast<EntryColumns*>(this)->FolderActualSizes();
}

std::span<std::uint32_t> EntryColumns::FolderFileCounts() {
  if (!block_) return {};
  const Layout layout(CurrentCapacity());
  return {reinterpret_cast<std::uint32_t*>(At(layout.folderFileCounts)), FolderCount()};
}

std::span<const std::uint32_t> EntryColumns::FolderFileCounts() const {
  return const_cast<EntryColumns*>(this)->FolderFileCounts();
}

std::uint32_t EntryColumns::FolderEntry(std::uint32_t folder) const {
  assert(folder < FolderCount());
  const Layout layout(CurrentCapacity());
  return reinterpret_cast<const std::uint32_t*>(At(layout.folderEntries))[folder];
}

void EntryColumns::Reserve(std::uint32_t entries, std::uint32_t folders, std::size_t nameBytes) {
  const Capacity current = CurrentCapacity();
  Capacity wanted{std::max(current.entries, entries), std::max(current.folders, folders),
                  std::max(current.nameBytes, CheckedSize(nameBytes))};
  wanted.activity = current.activity != 0 ? wanted.entries : 0;
  if (wanted.entries != current.entries || wanted.folders != current.folders ||
      wanted.nameBytes != current.nameBytes) {
    Relayout(wanted);
  }
}

std::uint32_t EntryColumns::Append(std::string_view name, bool folder) {
  const Capacity current = CurrentCapacity();
  const std::uint32_t folders = FolderCount();
  const std::size_t names = std::size_t{nameBytes_} + name.size();
  Capacity needed{Grown(current.entries, std::size_t{count_} + 1),
                  folder ? Grown(current.folders, std::size_t{folders} + 1) : current.folders,
                  Grown(current.nameBytes, names)};
  needed.activity = current.activity != 0 ? needed.entries : 0;
  if (!block_ || needed.entries != current.entries || needed.folders != current.folders ||
      needed.nameBytes != current.nameBytes) {
    Relayout(needed);
  }

  const Layout layout(CurrentCapacity());
  const std::uint32_t entry = count_;
  for (int c = 0; c < kWideCount; ++c) {
    reinterpret_cast<std::uint64_t*>(At(layout.Wide(c)))[entry] = 0;
  }
  for (int c = 0; c < kByteCount; ++c) reinterpret_cast<std::uint8_t*>(At(layout.Byte(c)))[entry] = 0;
  if (layout.activityEntries != 0) {
    for (int c = 0; c < kActivityCount; ++c) {
      reinterpret_cast<std::uint32_t*>(At(layout.Activity(c)))[entry] = 0;
    }
    reinterpret_cast<std::uint8_t*>(At(layout.lastOperations))[entry] = 0;
  }

  if (!name.empty()) std::memcpy(At(layout.names + nameBytes_), name.data(), name.size());
  nameBytes_ = static_cast<std::uint32_t>(names);
  reinterpret_cast<std::uint32_t*>(At(layout.nameEnds))[entry] = nameBytes_;

  if (folder) {
    std::uint32_t& folderCount = Header(block_.get())[kFolderCount];
    reinterpret_cast<CFolderInfo**>(At(layout.children))[folderCount] = nullptr;
    reinterpret_cast<std::uint64_t*>(At(layout.folderActualSizes))[folderCount] = 0;
    reinterpret_cast<std::uint32_t*>(At(layout.folderFileCounts))[folderCount] = 0;
    reinterpret_cast<std::uint32_t*>(At(layout.folderEntries))[folderCount] = entry;
    ++folderCount;
  }
  ++count_;
  return entry;
}

void EntryColumns::Reset() {
  block_.reset();
  count_ = 0;
  nameBytes_ = 0;
}

std::size_t EntryColumns::BlockBytes() const {
  return block_ ? Layout(CurrentCapacity()).total : 0;
}

void EntryColumns::Relayout(const Capacity& capacity) {
  const Layout to(capacity);
  auto block = std::make_unique_for_overwrite<std::byte[]>(to.total);
  std::uint32_t* header = Header(block.get());
  header[kEntryCapacity] = capacity.entries;
  header[kFolderCapacity] = capacity.folders;
  header[kNameCapacity] = capacity.nameBytes;
  header[kActivityCapacity] = capacity.activity;
  header[kFolderCount] = FolderCount();

  const bool hadActivity = CurrentCapacity().activity != 0;
  if (block_) {
    const Layout from(CurrentCapacity());
    const std::size_t folders = FolderCount();
    auto copy = [&](std::size_t toOffset, std::size_t fromOffset, std::size_t bytes) {
      if (bytes != 0) std::memcpy(block.get() + toOffset, At(fromOffset), bytes);
    };
    for (int c = 0; c < kWideCount; ++c) {
      copy(to.Wide(c), from.Wide(c), count_ * sizeof(std::uint64_t));
    }
    copy(to.children, from.children, folders * sizeof(CFolderInfo*));
    copy(to.folderActualSizes, from.folderActualSizes, folders * sizeof(std::uint64_t));
    copy(to.folderFileCounts, from.folderFileCounts, folders * sizeof(std::uint32_t));
    copy(to.nameEnds, from.nameEnds, count_ * sizeof(std::uint32_t));
    copy(to.folderEntries, from.folderEntries, folders * sizeof(std::uint32_t));
    for (int c = 0; c < kByteCount; ++c) copy(to.Byte(c), from.Byte(c), count_);
    copy(to.names, from.names, nameBytes_);
    if (hadActivity && to.activityEntries != 0) {
      for (int c = 0; c < kActivityCount; ++c) {
        copy(to.Activity(c), from.Activity(c), count_ * sizeof(std::uint32_t));
      }
      copy(to.lastOperations, from.lastOperations, count_);
    }
  }
  // Activity columns made now start as 0 for the entries already there.
  if (to.activityEntries != 0 && !hadActivity) {
    for (int c = 0; c < kActivityCount; ++c) {
      std::memset(block.get() + to.Activity(c), 0, count_ * sizeof(std::uint32_t));
    }
    std::memset(block.get() + to.lastOperations, 0, count_);
  }
  block_ = std::move(block);
}

}  // namespace scan

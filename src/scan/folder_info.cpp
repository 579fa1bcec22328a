#include "scan/folder_info.h"

#include <algorithm>
#include <cassert>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "activity/access_tables.h"
#include "common/space.h"
#include "platform/system.h"
#include "scan/record_walk.h"

namespace scan {
namespace {

// The record keeps its cluster size in 32 bits; a larger one (no filesystem has it) is
// not adopted, and the files rounded to it are kept aside instead.
std::uint32_t ClusterSizeHeld(std::uint64_t clusterSize, std::uint32_t current) {
  return clusterSize <= std::numeric_limits<std::uint32_t>::max() ? static_cast<std::uint32_t>(clusterSize)
                                                                  : current;
}

}  // namespace

CFolderInfo::~CFolderInfo() { DeleteChildren(); }

std::uint32_t CFolderInfo::AccessCount(std::uint32_t i) const {
  return readOnlyCounts()[i] + writeOnlyCounts()[i] + readWriteCounts()[i];
}

CFolderInfo* CFolderInfo::GetChild(std::uint32_t i) {
  CFolderInfo** slot = columns_.ChildSlot(i);
  return slot ? *slot : nullptr;
}

const CFolderInfo* CFolderInfo::GetChild(std::uint32_t i) const {
  CFolderInfo* const* slot = columns_.ChildSlot(i);
  return slot ? *slot : nullptr;
}

const CFolderInfo& CFolderInfo::ChildOrEmpty(std::uint32_t i) const {
  const CFolderInfo* child = GetChild(i);
  return child ? *child : EmptyRecord();
}

const CFolderInfo& CFolderInfo::EmptyRecord() {
  static const CFolderInfo empty;
  return empty;
}

std::string CFolderInfo::path() const {
  std::vector<const CFolderInfo*> chain;
  for (const CFolderInfo* r = this; r->parent_; r = r->parent_) chain.push_back(r);
  std::string result;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    result += (*it)->parent_->names((*it)->indexInParent_);
    result += '\\';
  }
  return result;
}

CFolderInfo& CFolderInfo::DriveRecord() {
  return const_cast<CFolderInfo&>(std::as_const(*this).DriveRecord());
}

const CFolderInfo& CFolderInfo::DriveRecord() const {
  const CFolderInfo* record = this;
  while (record->parent_ && record->parent_->parent_) record = record->parent_;
  return *record;
}

void CFolderInfo::AddEntry(const NewEntry& entry, const activity::AccessTables* tables) {
  const bool folder = entry.kind == kKindFolder;
  // Allocated first, so that a failed allocation leaves the columns as they were.
  auto child = folder ? std::make_unique<CFolderInfo>() : nullptr;
  const std::uint32_t i = columns_.Append(entry.name, folder);

  sizes()[i] = entry.size;
  compressedSizes()[i] = entry.compressedSize;
  kinds()[i] = entry.kind;
  if (!folder) {
    // The first file sets the cluster size the record's files are rounded to.
    if (Count() - columns_.FolderCount() == 1) clusterSize_ = ClusterSizeHeld(entry.clusterSize, clusterSize_);
    // Files of the record's cluster size, nearly all, store nothing: no rounding here.
    if (entry.clusterSize != clusterSize_) {
      SetFileActualSize(i, common::RoundUpToCluster(entry.compressedSize, entry.clusterSize));
    }
  }

  if (child) {
    child->parent_ = this;
    child->indexInParent_ = i;
    *columns_.ChildSlot(i) = child.release();
  }
  keys()[i] = entry.key;
  if (entry.traits != nullptr && !folder) {
    FileTraits& traits = Rare().traits.emplace_back(*entry.traits);
    traits.entry = i;
  }

  // Attributes that could not be read say nothing about compression or back-ups.
  const bool known = entry.source != kSourceDrive && entry.attributes != platform::kInvalidAttributes;
  const bool compressed = known && (entry.attributes & platform::kAttrCompressed) != 0;
  // A back-up leaves its source empty and marked offline; an empty file without the mark
  // is just empty.
  const bool stub = known && !folder && entry.size == 0 && (entry.attributes & platform::kAttrOffline) != 0;
  states()[i] = compressed ? kStateCompressed : stub ? kStateBackedUp : kStateNormal;

  if (entry.source >= 'A' && entry.source <= 'Z' && tables) {
    if (const activity::AccessRecord* record = tables->Find(static_cast<char>(entry.source), entry.key)) {
      SetActivity(i, EntryActivity{record->readOnly, record->writeOnly, record->readWrite,
                                   record->lastAccess, record->lastOperation});
    }
  }
  RaiseMaxAccessCount(i);
}

const FileTraits* CFolderInfo::Traits(std::uint32_t i) const {
  if (!rare_) return nullptr;
  const auto& traits = rare_->traits;
  const auto found = std::lower_bound(traits.begin(), traits.end(), i,
                                      [](const FileTraits& t, std::uint32_t entry) { return t.entry < entry; });
  return found != traits.end() && found->entry == i ? &*found : nullptr;
}

std::span<const FileTraits> CFolderInfo::AllTraits() const {
  if (!rare_) return {};
  return rare_->traits;
}

std::span<FileTraits> CFolderInfo::AllTraits() {
  if (!rare_) return {};
  return rare_->traits;
}

// Where file i's actual size stands in the side table, or would be inserted.
auto CFolderInfo::RareFacts::ActualSizeAt(std::uint32_t i) -> ActualSizes::iterator {
  return std::lower_bound(actualSizes.begin(), actualSizes.end(), std::pair{i, std::uint64_t{0}});
}

std::uint64_t CFolderInfo::ActualSize(std::uint32_t i) const {
  if (IsFolder(i)) return columns_.FolderActualSizes()[columns_.FolderIndex(i)];
  if (rare_ && !rare_->actualSizes.empty()) {
    const auto found = rare_->ActualSizeAt(i);
    if (found != rare_->actualSizes.end() && found->first == i) return found->second;
  }
  return common::RoundUpToCluster(compressedSizes()[i], clusterSize_);
}

std::uint32_t CFolderInfo::FileCount(std::uint32_t i) const {
  return IsFolder(i) ? columns_.FolderFileCounts()[columns_.FolderIndex(i)] : 1;
}

CFolderInfo::RareFacts& CFolderInfo::Rare() {
  if (!rare_) rare_ = std::make_unique<RareFacts>();
  return *rare_;
}

// A file's actual size is derived from the record's cluster size; one rounded to another
// (a recalculation of chosen entries) is kept aside.
void CFolderInfo::SetFileActualSize(std::uint32_t i, std::uint64_t actual) {
  const bool derived = common::RoundUpToCluster(compressedSizes()[i], clusterSize_) == actual;
  if (derived && !rare_) return;
  RareFacts& rare = Rare();
  const auto found = rare.ActualSizeAt(i);
  const bool stored = found != rare.actualSizes.end() && found->first == i;
  if (derived) {
    if (stored) rare.actualSizes.erase(found);
  } else if (stored) {
    found->second = actual;
  } else {
    rare.actualSizes.insert(found, {i, actual});
  }
}

void CFolderInfo::Reserve(std::uint32_t entries, std::uint32_t folders, std::size_t nameBytes) {
  columns_.Reserve(entries, folders, nameBytes);
}

void CFolderInfo::Clear() {
  DeleteChildren();
  columns_.Reset();
  rare_.reset();
  clusterSize_ = 0;
  ResetAggregates();
  maxAccessCount = 0;
}

void CFolderInfo::Recalculate(std::uint64_t clusterSize) { Aggregate(Pass::Recalculate, clusterSize); }

void CFolderInfo::Reaggregate() { Aggregate(Pass::Reaggregate, 0); }

void CFolderInfo::RecalculateEntry(std::uint32_t i, std::uint64_t clusterSize) {
  if (CFolderInfo* child = IsFolder(i) ? GetChild(i) : nullptr) {
    child->Recalculate(clusterSize);
    CopyChildTotals(i, *child);
    RaiseMaxAccessCount(i);
  } else {
    SetFileActualSize(i, common::RoundUpToCluster(compressedSizes()[i], clusterSize));
  }
}

std::uint32_t CFolderInfo::ActivityPercent(std::uint32_t i) const {
  if (maxAccessCount == 0) return 0;
  return static_cast<std::uint32_t>(static_cast<double>(AccessCount(i)) * 100.0 / maxAccessCount);
}

std::uint32_t CFolderInfo::UsedPercent(std::uint32_t i) const {
  return common::UsedPercent(compressedSizes()[i], ActualSize(i));
}

std::uint32_t CFolderInfo::UsedPercent() const {
  return common::UsedPercent(totalCompressedSize, totalActualSize);
}

void CFolderInfo::TakeContents(CFolderInfo& scanned) {
  assert(scanned.parent_ == nullptr && &scanned != this);
  DeleteChildren();
  columns_ = std::move(scanned.columns_);
  rare_ = std::move(scanned.rare_);
  clusterSize_ = scanned.clusterSize_;
  for (CFolderInfo* child : columns_.Children()) child->parent_ = this;

  static_cast<Totals&>(*this) = scanned;
  maxAccessCount = scanned.maxAccessCount;
  subfoldersPending = scanned.subfoldersPending;
  readState = scanned.readState;
  unreadable = scanned.unreadable;
  scanned.ResetAggregates();
  scanned.maxAccessCount = 0;
}

std::size_t CFolderInfo::MemoryFootprint() const {
  std::size_t bytes = 0;
  ForEachRecord(*this, [&bytes](const CFolderInfo& record) {
    bytes += sizeof(record) + record.columns_.BlockBytes();
    if (const RareFacts* rare = record.rare_.get()) {
      bytes += sizeof(*rare) + rare->traits.capacity() * sizeof(FileTraits) +
               rare->actualSizes.capacity() * sizeof(rare->actualSizes.front());
    }
  });
  return bytes;
}

void CFolderInfo::Aggregate(Pass pass, std::uint64_t clusterSize) {
  // Every record after the records below it, each summing its own entries.
  std::vector<CFolderInfo*> records;
  ForEachRecord(*this, [&records](CFolderInfo& record) { records.push_back(&record); });
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    (*record)->AggregateEntries(pass, clusterSize);
  }
}

void CFolderInfo::AggregateEntries(Pass pass, std::uint64_t clusterSize) {
  ResetAggregates();
  // The subfolders' totals first, and no column held meanwhile: copying them may make
  // this record's activity columns, which moves every column.
  for (std::uint32_t folder = 0; folder < columns_.FolderCount(); ++folder) {
    if (const CFolderInfo* child = columns_.Children()[folder]) {
      const std::uint32_t i = columns_.FolderEntry(folder);
      CopyChildTotals(i, *child);
      if (pass == Pass::Recalculate) RaiseMaxAccessCount(i);
    }
  }
  if (pass == Pass::Recalculate) {
    const std::uint32_t held = ClusterSizeHeld(clusterSize, clusterSize_);
    if (held == clusterSize) {
      clusterSize_ = held;
      if (rare_) rare_->actualSizes.clear();
    } else {
      for (std::uint32_t i = 0; i < Count(); ++i) {
        if (!IsFolder(i)) SetFileActualSize(i, common::RoundUpToCluster(compressedSizes()[i], clusterSize));
      }
    }
  }
  const auto size = sizes();
  const auto compressed = compressedSizes();
  const auto access = lastAccess();
  const auto operations = lastOperations();
  const auto readOnly = readOnlyCounts();
  const auto writeOnly = writeOnlyCounts();
  const auto readWrite = readWriteCounts();
  const auto kind = kinds();
  const bool filesRoundedAlike = !rare_ || rare_->actualSizes.empty();

  std::uint32_t fileCount = 0;
  for (std::uint32_t i = 0; i < Count(); ++i) {
    totalSize += size[i];
    totalCompressedSize += compressed[i];
    if (kind[i] != kKindFolder) {
      ++fileCount;
      totalActualSize += filesRoundedAlike ? common::RoundUpToCluster(compressed[i], clusterSize_) : ActualSize(i);
    }
    totalReadOnly += readOnly[i];
    totalWriteOnly += writeOnly[i];
    totalReadWrite += readWrite[i];
    if (access[i] > latestAccess) {
      latestAccess = access[i];
      latestOperation = operations[i];
    }
  }
  totalFiles += fileCount;
  for (const std::uint64_t actual : columns_.FolderActualSizes()) totalActualSize += actual;
  for (const std::uint32_t files : columns_.FolderFileCounts()) totalFiles += files;
  // Later links show their sizes in their rows; the first link carries the data.
  for (const FileTraits& traits : AllTraits()) {
    if (!traits.laterLink) continue;
    totalSize -= size[traits.entry];
    totalCompressedSize -= compressed[traits.entry];
    totalActualSize -= ActualSize(traits.entry);
  }
}

void CFolderInfo::CopyChildTotals(std::uint32_t i, const Totals& child) {
  sizes()[i] = child.totalSize;
  compressedSizes()[i] = child.totalCompressedSize;
  const std::uint32_t folder = columns_.FolderIndex(i);
  assert(folder < columns_.FolderCount());
  columns_.FolderActualSizes()[folder] = child.totalActualSize;
  columns_.FolderFileCounts()[folder] = child.totalFiles;
  SetActivity(i, EntryActivity{child.totalReadOnly, child.totalWriteOnly, child.totalReadWrite,
                               child.latestAccess, child.latestOperation});
}

void CFolderInfo::RaiseMaxAccessCount(std::uint32_t i) {
  const std::uint32_t count = AccessCount(i);
  if (count > maxAccessCount) maxAccessCount = count;
}

void CFolderInfo::ResetAggregates() { static_cast<Totals&>(*this) = Totals{}; }

void CFolderInfo::DeleteChildren() {
  // Each record is emptied of its children before it is deleted, so no destructor below
  // here has any to delete: deleting level by level through the destructors would take a
  // stack frame per level.
  const auto children = columns_.Children();
  std::vector<CFolderInfo*> doomed(children.begin(), children.end());
  while (!doomed.empty()) {
    CFolderInfo* record = doomed.back();
    doomed.pop_back();
    if (record == nullptr) continue;
    const auto below = record->columns_.Children();
    doomed.insert(doomed.end(), below.begin(), below.end());
    record->columns_.Reset();
    delete record;
  }
}

std::uint32_t CountActions(const CFolderInfo& record) {
  std::uint32_t count = 0;
  ForEachRecord(record, [&count](const CFolderInfo& folder) {
    for (const std::uint8_t action : folder.actions()) count += action != 0 ? 1 : 0;
  });
  return count;
}

}  // namespace scan

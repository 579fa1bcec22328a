#pragma once
// CFolderInfo: the record of one scanned folder (and of the drive list), one column per
// property and one element per entry, plus totals over the entries.
//
// Byte quantities (sizes, compressed and actual sizes and their totals) are 64-bit: a
// 5 GB file counts 5 GB. Counters, dates and file counts are 32-bit and wrap.
//
// Only folder entries (kind 1) own a child record; a file's child is never allocated,
// and GetChild answers nullptr for it (ChildOrEmpty gives a shared empty record where a
// record is wanted). A record knows its parent, so its path is derived, never stored.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scan/entry_columns.h"
#include "scan/file_traits.h"

namespace activity { class AccessTables; }

namespace scan {

inline constexpr std::uint8_t kKindFolder = 1;
inline constexpr std::uint8_t kKindFile = 15;

// AddEntry's source: a drive letter 'A'..'Z' for a file, or one of these.
inline constexpr std::uint8_t kSourceSubfolder = 0;
inline constexpr std::uint8_t kSourceDrive = 1;

inline constexpr std::uint8_t kStateNormal = 0;
inline constexpr std::uint8_t kStateCompressed = 1;
inline constexpr std::uint8_t kStateBackedUp = 4;

// What the last scan that reached a folder did with it; the folders tree shows it.
enum class ReadState : std::uint8_t {
  NotRead,     // never listed, or listed only as an entry of its parent
  ReadPartly,  // listed by a shallow scan, or by a scan that was stopped meanwhile
  ReadFully,   // listed, and every subfolder below it too
};

struct NewEntry {
  std::uint8_t source = kSourceSubfolder;
  std::string_view name;
  std::uint64_t size = 0;
  std::uint64_t compressedSize = 0;
  std::uint64_t clusterSize = 0;
  std::uint8_t kind = kKindFile;
  std::uint64_t key = 0;
  // The entry's attributes as the listing read them (0xFFFFFFFF when unknown, which
  // counts as not compressed). An empty file marked offline is a back-up stub: state 4.
  std::uint32_t attributes = 0;
  // A file's traits, when it has any (its `entry` is ignored).
  const FileTraits* traits = nullptr;
};

// What a folder's entries add up to (valid after Recalculate or Reaggregate), and what its
// entry in the parent shows. A base rather than a member so that the record's own small
// fields fill its padding: the record does not grow.
struct Totals {
  std::uint64_t totalSize = 0;
  std::uint64_t totalActualSize = 0;
  std::uint64_t totalCompressedSize = 0;
  std::uint32_t totalFiles = 0;
  std::uint32_t latestAccess = 0;
  std::uint32_t totalReadOnly = 0;
  std::uint32_t totalWriteOnly = 0;
  std::uint32_t totalReadWrite = 0;
  std::uint8_t latestOperation = 0;
};

class CFolderInfo final : public Totals {
 public:
  CFolderInfo() = default;
  ~CFolderInfo();
  CFolderInfo(const CFolderInfo&) = delete;
  CFolderInfo& operator=(const CFolderInfo&) = delete;

  // --- entries: element i of every column is entry i --------------------------
  std::uint32_t Count() const { return columns_.Count(); }
  std::string_view names(std::uint32_t i) const { return columns_.Name(i); }

  std::span<std::uint64_t> sizes() { return columns_.Column(EntryColumns::kSizes); }
  std::span<const std::uint64_t> sizes() const { return columns_.Column(EntryColumns::kSizes); }
  std::span<std::uint64_t> compressedSizes() { return columns_.Column(EntryColumns::kCompressedSizes); }
  std::span<const std::uint64_t> compressedSizes() const {
    return columns_.Column(EntryColumns::kCompressedSizes);
  }
  // The disk space entry i takes: a file's compressed size in whole clusters of the
  // size the record was last calculated with, a folder's the sum over its subtree.
  std::uint64_t ActualSize(std::uint32_t i) const;
  std::span<std::uint64_t> keys() { return columns_.Column(EntryColumns::kKeys); }
  std::span<const std::uint64_t> keys() const { return columns_.Column(EntryColumns::kKeys); }

  // 1 for a file; for a folder, the files of its subtree.
  std::uint32_t FileCount(std::uint32_t i) const;
  // The activity columns, read-only: SetActivity writes them, all five at once.
  OptionalColumn<std::uint32_t> lastAccess() const { return columns_.Column(EntryColumns::kLastAccess); }
  OptionalColumn<std::uint32_t> readOnlyCounts() const {
    return columns_.Column(EntryColumns::kReadOnlyCounts);
  }
  OptionalColumn<std::uint32_t> writeOnlyCounts() const {
    return columns_.Column(EntryColumns::kWriteOnlyCounts);
  }
  OptionalColumn<std::uint32_t> readWriteCounts() const {
    return columns_.Column(EntryColumns::kReadWriteCounts);
  }
  OptionalColumn<std::uint8_t> lastOperations() const { return columns_.LastOperations(); }
  void SetActivity(std::uint32_t i, const EntryActivity& activity) { columns_.SetActivity(i, activity); }

  std::span<std::uint8_t> kinds() { return columns_.Column(EntryColumns::kKinds); }
  std::span<const std::uint8_t> kinds() const { return columns_.Column(EntryColumns::kKinds); }
  std::span<std::uint8_t> actions() { return columns_.Column(EntryColumns::kActions); }
  std::span<const std::uint8_t> actions() const { return columns_.Column(EntryColumns::kActions); }
  std::span<std::uint8_t> states() { return columns_.Column(EntryColumns::kStates); }
  std::span<const std::uint8_t> states() const { return columns_.Column(EntryColumns::kStates); }
  std::span<std::uint8_t> hints() { return columns_.Column(EntryColumns::kHints); }
  std::span<const std::uint8_t> hints() const { return columns_.Column(EntryColumns::kHints); }
  std::span<std::uint8_t> backupDrives() { return columns_.Column(EntryColumns::kBackupDrives); }
  std::span<const std::uint8_t> backupDrives() const {
    return columns_.Column(EntryColumns::kBackupDrives);
  }

  bool IsFolder(std::uint32_t i) const { return kinds()[i] == kKindFolder; }

  // The traits of file entry i, or nullptr for an ordinary file (and a folder).
  const FileTraits* Traits(std::uint32_t i) const;
  // Every entry's traits that has any, in entry order.
  std::span<const FileTraits> AllTraits() const;
  std::span<FileTraits> AllTraits();
  // A later link to data another entry of the drive carries: its sizes add to no total.
  bool LaterLink(std::uint32_t i) const {
    const FileTraits* traits = rare_ ? Traits(i) : nullptr;
    return traits != nullptr && traits->laterLink;
  }
  // Read-only + write-only + read-and-write, wrapping at 2^32.
  std::uint32_t AccessCount(std::uint32_t i) const;

  // The child record of a folder entry; nullptr for a file entry.
  CFolderInfo* GetChild(std::uint32_t i);
  const CFolderInfo* GetChild(std::uint32_t i) const;
  // The child record, or for a file entry the shared empty record.
  const CFolderInfo& ChildOrEmpty(std::uint32_t i) const;
  static const CFolderInfo& EmptyRecord();

  // --- the folder itself -------------------------------------------------------
  // Drive letter, colon, then each folder name followed by a backslash ("C:\Work\");
  // empty for the drive list and for a record not placed below one.
  std::string path() const;
  CFolderInfo* Parent() const { return parent_; }
  // The entry of the parent that this record belongs to.
  std::uint32_t IndexInParent() const { return indexInParent_; }
  // The drive's root record above this one (this record when it is a root or detached).
  CFolderInfo& DriveRecord();
  const CFolderInfo& DriveRecord() const;

  // --- operations ----------------------------------------------------------------
  // Appends one entry. For a file (source = drive letter) the access record is looked up
  // in `tables` by drive letter and key; without tables the five activity columns are 0.
  void AddEntry(const NewEntry& entry, const activity::AccessTables* tables = nullptr);
  // Makes room for a listing of this size, so that its entries are stored without slack.
  void Reserve(std::uint32_t entries, std::uint32_t folders, std::size_t nameBytes);
  // Empties every column, deletes the children's subtrees and zeroes every aggregate;
  // subfoldersPending and readState stay.
  void Clear();
  void Recalculate(std::uint64_t clusterSize);
  // Recalculate of this record alone, its subfolders' records being recalculated already.
  void RecalculateOwnEntries(std::uint64_t clusterSize) { AggregateEntries(Pass::Recalculate, clusterSize); }
  void Reaggregate();
  void RecalculateEntry(std::uint32_t i, std::uint64_t clusterSize);
  std::uint32_t ActivityPercent(std::uint32_t i) const;
  std::uint32_t UsedPercent(std::uint32_t i) const;
  std::uint32_t UsedPercent() const;

  // Replaces this record's entries, children, totals, subfoldersPending, readState and
  // unreadable
  // by those of `scanned` (a record with no parent), which is left empty. The old
  // children are deleted; this record keeps its place in the tree.
  void TakeContents(CFolderInfo& scanned);

  // Heap and object bytes of this record and its subtree (malloc overhead excluded).
  std::size_t MemoryFootprint() const;

  // The largest access count of an entry (valid after Recalculate).
  std::uint32_t maxAccessCount = 0;
  // 1: the folder's own entries may have been read, its subfolders' contents not.
  std::uint8_t subfoldersPending = 1;
  ReadState readState = ReadState::NotRead;
  // The last scan could not list this folder (no permission, or it vanished): its
  // emptiness says nothing about what it holds.
  bool unreadable = false;

 private:
  enum class Pass { Recalculate, Reaggregate };
  // The whole subtree, without recursion (see scan/record_walk.h).
  void Aggregate(Pass pass, std::uint64_t clusterSize);
  // This record's own entries; the records below it are aggregated already.
  void AggregateEntries(Pass pass, std::uint64_t clusterSize);
  void CopyChildTotals(std::uint32_t i, const Totals& child);
  void RaiseMaxAccessCount(std::uint32_t i);
  void ResetAggregates();
  void DeleteChildren();

  EntryColumns columns_;
  // What only a few files have: traits, and an actual size calculated with another
  // cluster size than the rest of the record's (a recalculation of chosen entries).
  // Most folders have neither, and pay one pointer for both.
  struct RareFacts {
    using ActualSizes = std::vector<std::pair<std::uint32_t, std::uint64_t>>;
    ActualSizes::iterator ActualSizeAt(std::uint32_t i);
    std::vector<FileTraits> traits;
    ActualSizes actualSizes;  // by entry, sorted
  };
  RareFacts& Rare();
  void SetFileActualSize(std::uint32_t i, std::uint64_t actual);
  std::unique_ptr<RareFacts> rare_;
  CFolderInfo* parent_ = nullptr;
  std::uint32_t indexInParent_ = 0;
  // What the files' actual sizes are rounded to (fills the record's padding).
  std::uint32_t clusterSize_ = 0;
};

// Entries, in a record and its whole subtree, whose action is not 0.
std::uint32_t CountActions(const CFolderInfo& record);

}  // namespace scan

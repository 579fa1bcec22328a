#pragma once
// The per-entry columns of one folder record, kept in a single allocation.
//
// A million scanned files make a million entries, so the layout is chosen for memory:
// every fixed-width column lies side by side in one block sized for `capacity` entries,
// followed by the names packed end to end (no terminator, no per-name allocation). Only
// folder entries have a child record: their child pointers, entry indices, actual sizes
// and file counts form short extra columns, so a file entry costs no pointer and stores
// nothing its owner can derive (a file's actual size follows from its compressed size and
// the cluster size, its file count is 1). The activity columns
// exist only in a folder where some entry has activity: most files on most drives have
// none, and for them the five columns would be a fifth of the record.
//
// The block holds plain values only. Child records are owned by the folder record that
// owns these columns; this class merely stores the pointers.

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace scan {

class CFolderInfo;

// What the activity database recorded of an entry (for a folder entry, the latest and
// the sums over its subtree); all 0 where nothing was recorded.
struct EntryActivity {
  std::uint32_t readOnly = 0;
  std::uint32_t writeOnly = 0;
  std::uint32_t readWrite = 0;
  std::uint32_t lastAccess = 0;
  std::uint8_t lastOperation = 0;
  bool operator==(const EntryActivity&) const = default;
};

// A column that a record may not hold, which then reads as all zeros.
template <typename T>
class OptionalColumn {
 public:
  OptionalColumn(const T* values, std::uint32_t count) : values_(values), count_(count) {}
  T operator[](std::uint32_t i) const {
    assert(i < count_);
    return values_ != nullptr ? values_[i] : T{};
  }
  std::uint32_t size() const { return count_; }

 private:
  const T* values_;
  std::uint32_t count_;
};

class EntryColumns {
 public:
  enum Wide : std::uint8_t { kSizes, kCompressedSizes, kKeys, kWideCount };
  enum Byte : std::uint8_t { kKinds, kActions, kStates, kHints, kBackupDrives, kByteCount };
  enum Activity : std::uint8_t {
    kReadOnlyCounts, kWriteOnlyCounts, kReadWriteCounts, kLastAccess, kActivityCount
  };

  EntryColumns() = default;
  EntryColumns(EntryColumns&& other) noexcept;
  EntryColumns& operator=(EntryColumns&& other) noexcept;
  EntryColumns(const EntryColumns&) = delete;
  EntryColumns& operator=(const EntryColumns&) = delete;
  ~EntryColumns() = default;

  std::uint32_t Count() const { return count_; }
  std::uint32_t FolderCount() const;

  std::span<std::uint64_t> Column(Wide column);
  std::span<const std::uint64_t> Column(Wide column) const;
  std::span<std::uint8_t> Column(Byte column);
  std::span<const std::uint8_t> Column(Byte column) const;
  OptionalColumn<std::uint32_t> Column(Activity column) const;
  OptionalColumn<std::uint8_t> LastOperations() const;
  // Sets entry i's activity; the activity columns are made at the first that is not 0.
  void SetActivity(std::uint32_t entry, const EntryActivity& activity);

  std::string_view Name(std::uint32_t entry) const;

  // The child pointer slot of a folder entry, or nullptr when the entry has none.
  CFolderInfo** ChildSlot(std::uint32_t entry);
  CFolderInfo* const* ChildSlot(std::uint32_t entry) const;
  // The child pointers of all folder entries, in entry order.
  std::span<CFolderInfo* const> Children() const;
  // The entry of the `folder`th folder entry (the one Children()[folder] belongs to).
  std::uint32_t FolderEntry(std::uint32_t folder) const;
  // The folder index of an entry (its place in Children()), or FolderCount() for a file.
  std::uint32_t FolderIndex(std::uint32_t entry) const;
  // Per folder entry, in the order of Children(): the subtree's actual size and file count.
  std::span<std::uint64_t> FolderActualSizes();
  std::span<const std::uint64_t> FolderActualSizes() const;
  std::span<std::uint32_t> FolderFileCounts();
  std::span<const std::uint32_t> FolderFileCounts() const;

  // Makes room for at least this many entries, folder entries and name bytes in all, so
  // that a folder listed in one go is stored without slack.
  void Reserve(std::uint32_t entries, std::uint32_t folders, std::size_t nameBytes);
  // Appends an entry whose every column is 0; a folder entry gets a null child slot.
  // Returns its index.
  std::uint32_t Append(std::string_view name, bool folder);
  // Forgets every entry and frees the block (the owner has released the children).
  void Reset();

  // Bytes of the block, for memory accounting.
  std::size_t BlockBytes() const;

 private:
  struct Capacity {
    std::uint32_t entries = 0;
    std::uint32_t folders = 0;
    std::uint32_t nameBytes = 0;
    std::uint32_t activity = 0;  // 0 without the activity columns, else `entries`
  };
  struct Layout;

  Capacity CurrentCapacity() const;
  void Relayout(const Capacity& capacity);
  std::byte* At(std::size_t offset) const { return block_.get() + offset; }

  // Header at the start of the block: the capacities and the folder entry count.
  std::unique_ptr<std::byte[]> block_;
  std::uint32_t count_ = 0;
  std::uint32_t nameBytes_ = 0;
};

}  // namespace scan

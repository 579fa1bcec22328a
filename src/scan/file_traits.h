#pragma once
// What sets a few files apart from the rest, kept for those files only (a listing or a
// folder record holds a short table of them beside its columns): a file with several
// hard links, whose identity lets its data count once per drive; a file whose data the
// filesystem shares with another file or a snapshot, which compressing would unshare;
// and anything that is not a regular file (a symbolic link, fifo, socket or device
// node), which gets no hint.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/file_type.h"

namespace platform { struct FindData; }

namespace scan {

struct FileTraits {
  std::uint32_t entry = 0;  // the file's index in its listing or record
  std::uint32_t links = 1;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  platform::FileType type = platform::FileType::Regular;
  bool sharedData = false;
  // A link met after another link to the same data: its row shows its size, but it adds
  // nothing to any total (the first link carries the data).
  bool laterLink = false;

  bool Regular() const { return type == platform::FileType::Regular; }
  bool SeveralLinks() const { return links > 1; }
  bool SameFile(const FileTraits& other) const { return device == other.device && inode == other.inode; }
};

// Which file a name stands for, as a key of the tables that gather a file's links.
struct FileIdentity {
  std::uint64_t device;
  std::uint64_t inode;
  static FileIdentity Of(const FileTraits& traits) { return {traits.device, traits.inode}; }
  bool operator==(const FileIdentity&) const = default;
};

struct FileIdentityHash {
  std::size_t operator()(const FileIdentity& identity) const {
    return std::hash<std::uint64_t>()(identity.inode * 0x9E3779B97F4A7C15ull ^ identity.device);
  }
};

// The traits of a listed file, or none when it is an ordinary file (a regular file with
// one link and data of its own) or a folder.
bool TraitsOf(const platform::FindData& found, FileTraits& traits);

}  // namespace scan

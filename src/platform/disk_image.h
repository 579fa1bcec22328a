#pragma once
// A filesystem kept in an image file and loop-mounted on a folder for as long as the
// object lives: a drive that really compresses (btrfs), or one with FAT's limits (exFAT,
// through FUSE), without a spare disk. Needs root, loop devices and the format's tools:
// mkfs.btrfs (package btrfs-progs); mkfs.exfat and mount.exfat-fuse (packages exfatprogs,
// exfat-fuse) and /dev/fuse.
//
// The mount is undone by the destructor (a lazy unmount when something still holds the
// filesystem open). A process that dies without running destructors leaves the mount
// behind until UnmountFolder or a reboot.

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

enum class ImageFormat { Btrfs, Exfat };

class DiskImage {
 public:
  // Creates a sparse image of `bytes` at `imagePath` (replacing a file there), formats
  // it as `format` and mounts it on the existing folder `mountPoint`. nullptr with
  // `whyNot` set when this machine does not allow it; nothing is left mounted then.
  static std::unique_ptr<DiskImage> Mount(ImageFormat format, const std::string& imagePath,
                                          const std::string& mountPoint, std::uint64_t bytes,
                                          std::string* whyNot);
  ~DiskImage();
  DiskImage(const DiskImage&) = delete;
  DiskImage& operator=(const DiskImage&) = delete;

  const std::string& MountPoint() const { return mountPoint_; }
  // Unmounts now; true when nothing is mounted on the folder any more. Later calls and
  // the destructor do nothing.
  bool Unmount();

 private:
  explicit DiskImage(std::string mountPoint);

  std::string mountPoint_;
  bool mounted_ = true;
};

// True when a filesystem is mounted exactly on `folder` (by the mount table).
bool IsMountPoint(const std::string& folder);

// Unmounts what is mounted on `folder`: plainly, or when something still uses it, by
// detaching it now and letting the kernel finish once the last user lets go (a loop
// device set up by "mount -o loop" goes with it). True when nothing is mounted there now.
bool UnmountFolder(const std::string& folder);

}  // namespace platform

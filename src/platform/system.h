#pragma once
// The operating-system services the program relies on, behind one interface.
//
// Paths are Windows-style everywhere above this layer ("C:\Work\a.txt"): every stored
// format, key and message keeps its exact form, and only a System turns a path into a
// host path. HostSystem is the real one; tests wrap it in decorators that fail chosen
// calls (disk full, copy failure, read-only root, absent device).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drive_map.h"
#include "platform/file_type.h"
#include "platform/recorder_channel.h"

namespace platform {

// Win32 attribute bits the program tests or sets.
inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
inline constexpr std::uint32_t kAttrNormal = 0x80;
inline constexpr std::uint32_t kAttrCompressed = 0x800;
// The data is elsewhere: set on a back-up stub, the source file a back-up emptied.
inline constexpr std::uint32_t kAttrOffline = 0x1000;
inline constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFF;
inline constexpr std::uint64_t kInvalidFileSize = 0xFFFFFFFFFFFFFFFFull;

// GetDriveTypeA answers.
enum class DriveType : std::uint32_t {
  Unknown = 0,
  NoRootDir = 1,
  Removable = 2,
  Fixed = 3,
  Remote = 4,
  CdRom = 5,
  RamDisk = 6,
};

// GetVolumeInformationA's file-system flag for per-file compression.
inline constexpr std::uint32_t kFsFileCompression = 0x10;

struct VolumeInfo {
  std::string label;
  std::uint32_t fileSystemFlags = 0;
  std::string fileSystemName;  // "ext4", "btrfs", ...
};

struct DiskSpace {
  std::uint32_t sectorsPerCluster = 0;
  std::uint32_t bytesPerSector = 0;
  std::uint64_t freeClusters = 0;
  std::uint64_t totalClusters = 0;
  std::uint64_t ClusterSize() const { return std::uint64_t{sectorsPerCluster} * bytesPerSector; }
  std::uint64_t FreeBytes() const { return freeClusters * ClusterSize(); }
  std::uint64_t TotalBytes() const { return totalClusters * ClusterSize(); }
};

// One item of a directory listing, with everything the scan needs from one statx.
struct FindData {
  std::string name;                   // as the host returns it (never holds '\')
  std::uint32_t attributes = 0;       // kAttr* bits
  std::uint64_t size = 0;             // full 64-bit size
  std::uint64_t compressedSize = 0;   // as GetCompressedFileSize would answer
  bool compressedSizeValid = true;    // false: the query would have failed
  FileType type = FileType::Regular;
  std::uint32_t links = 1;            // hard links to the file
  std::uint64_t device = 0;           // the file's identity: st_dev and st_ino
  std::uint64_t inode = 0;
  // Some of the data is shared with another file or a snapshot (reflinks): rewriting it
  // unshares it. Only asked on filesystems that can share data.
  bool sharedData = false;
  bool IsDirectory() const { return (attributes & kAttrDirectory) != 0; }
};

// How OpenFile treats an existing or missing file.
enum class OpenMode {
  OpenExisting,   // fail when missing
  OpenAlways,     // create when missing, never truncate
  CreateAlways,   // create or truncate
};

// An open file. Closing happens in the destructor; Close() reports the close's result.
class File {
 public:
  virtual ~File() = default;
  // Reads up to `size` bytes at the current position; returns the count read, or -1.
  virtual std::int64_t Read(void* buffer, std::size_t size) = 0;
  // Writes all `size` bytes at the current position; false on a short or failed write.
  virtual bool Write(const void* data, std::size_t size) = 0;
  virtual bool Seek(std::uint64_t offset) = 0;
  virtual bool Truncate(std::uint64_t length) = 0;
  virtual std::optional<std::uint64_t> Length() = 0;
  // Flushes the file's data to the device (fsync).
  virtual bool Flush() = 0;
  virtual bool Close() = 0;
};

struct OpenOptions {
  OpenMode mode = OpenMode::OpenExisting;
  bool write = false;
  // Files the program creates at a drive root are opened without following links.
  bool noFollow = false;
};

// What an action's step came to: done, or why not, in words for the message that says
// so (empty when the failure has no more to tell than the message itself).
struct StepResult {
  bool done = false;
  std::string why;
  static StepResult Done() { return {true, {}}; }
  static StepResult Refused(std::string reason) { return {false, std::move(reason)}; }
  explicit operator bool() const { return done; }
};

// What an action opens a file or folder for.
enum class OpenFor {
  Reading,  // a file read from (a back-up copy being restored)
  Writing,  // a file changed in place; read-only when writing is not allowed
  Folder,   // a folder whose compression changes
};

// A file or folder held open for an action. It was opened once, without following a
// link, after its type was checked without opening it; whatever the action does to it
// afterwards goes to this very inode, whatever happens to its name meanwhile.
class ActionFile {
 public:
  virtual ~ActionFile() = default;
  // The Windows path it was opened by.
  virtual const std::string& Path() const = 0;
  virtual std::uint64_t Size() const = 0;
  // Whether the offline mark of a back-up stub is set, and whether its filesystem can
  // keep one at all.
  virtual bool MarkedOffline() const = 0;
  virtual bool KeepsOfflineMark() const = 0;
  // Sets or clears the offline mark; refused where the filesystem cannot keep it.
  virtual StepResult SetOffline(bool offline) = 0;
  // Truncates to length 0 and flushes.
  virtual bool Empty() = 0;
  // How many names the file has now.
  virtual std::uint64_t LinkCount() const = 0;
  // As System::SetCompression, on this file or folder; data shared with another file or
  // a snapshot is refused with its reason.
  virtual StepResult SetCompression(bool compress) = 0;
};

// A folder held open by a listing, so that the folders below it are opened from it
// rather than by their whole path again. Only the System that made it can use it.
class OpenFolder {
 public:
  virtual ~OpenFolder() = default;
};

class System {
 public:
  virtual ~System() = default;

  // --- drives ---------------------------------------------------------------
  virtual const DriveMap& Drives() const = 0;
  // Host path of a Windows path; nullopt for an unmapped letter, a "." or ".."
  // component, or anything that cannot name a file on the drive.
  virtual std::optional<std::string> HostPath(std::string_view windowsPath) const = 0;
  virtual DriveType GetDriveType(char letter) const = 0;
  virtual std::optional<VolumeInfo> GetVolumeInformation(char letter) const = 0;
  virtual std::optional<DiskSpace> GetDiskFreeSpace(char letter) const = 0;
  // WNetGetConnectionA: "\\server\share" for a remote mount, nullopt otherwise.
  virtual std::optional<std::string> GetNetworkConnection(char letter) const = 0;

  // --- listing and file queries ----------------------------------------------
  // Lists a folder in the order the host returns it, skipping "." and "..", host
  // names holding '\', and never following symbolic links. False when the folder
  // cannot be opened; `visit` returning false stops the listing early. Entries carry
  // the directory and compressed bits, and the stored DOS bits of empty files only (which
  // tell a back-up stub); GetFileAttributes reads the stored bits of any file.
  virtual bool ListDirectory(std::string_view windowsFolder,
                             const std::function<bool(const FindData&)>& visit) const = 0;
  // ListDirectory of `windowsFolder`, which is the folder `name` inside `parent` when
  // `parent` is given (held open by an earlier call on the same thread, and the path
  // `windowsFolder` without its last component). `opened`, when given, receives the
  // listed folder held open, or null. A System that holds no folders open lists by path.
  virtual bool ListDirectoryIn(const OpenFolder* parent, std::string_view name,
                               std::string_view windowsFolder,
                               const std::function<bool(const FindData&)>& visit,
                               std::unique_ptr<OpenFolder>* opened) const {
    (void)parent;
    (void)name;
    if (opened != nullptr) opened->reset();
    return ListDirectory(windowsFolder, visit);
  }
  virtual std::uint32_t GetFileAttributes(std::string_view windowsPath) const = 0;
  // Sets the hidden/system/archive/offline bits (other bits are ignored); false on failure.
  virtual bool SetFileAttributes(std::string_view windowsPath, std::uint32_t attributes) = 0;
  virtual std::optional<std::uint64_t> GetFileSize(std::string_view windowsPath) const = 0;
  virtual std::uint64_t GetCompressedFileSize(std::string_view windowsPath) const = 0;

  // --- file operations ---------------------------------------------------------
  virtual std::unique_ptr<File> OpenFile(std::string_view windowsPath, const OpenOptions& options) = 0;
  // Full copy with mode and times, flushed to disk (data and folder entry) before it
  // reports success. Copying a file onto itself fails. failIfExists: fail when the
  // target exists.
  virtual bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) = 0;
  // Renames within one drive, replacing an existing target atomically.
  virtual bool MoveFile(std::string_view from, std::string_view to) = 0;
  virtual bool DeleteFile(std::string_view windowsPath) = 0;
  virtual bool FileExists(std::string_view windowsPath) const = 0;
  // Creates the folder and flushes its entry in the parent; false when either fails.
  virtual bool CreateDirectory(std::string_view windowsPath) = 0;
  // FSCTL_SET_COMPRESSION: true only when the data really is (de)compressed now.
  virtual bool SetCompression(std::string_view windowsPath, bool compress) = 0;

  // --- actions on other users' files -----------------------------------------
  // Why the drive is not the filesystem it was when this System was made (unmounted,
  // another disk in its place); nullopt while it is.
  // Includes DriveChange.
  virtual std::optional<std::string> DriveProblem(char letter) const = 0;
  // Why what was kept for the drive in earlier runs (its database record, hand-off
  // entries, back-up copies) must not be applied to it: its letter stood for another
  // filesystem then. nullopt when it did not.
  virtual std::optional<std::string> DriveChange(char letter) const = 0;
  // Opens a regular file (or, for OpenFor::Folder, a folder) for an action: refuses a
  // link, a device, a pipe or a socket before opening anything, and a drive that is not
  // the filesystem it was. nullptr with the reason in `why`.
  virtual std::unique_ptr<ActionFile> OpenForAction(std::string_view windowsPath, OpenFor purpose,
                                                    std::string* why) = 0;
  // Creates a new regular file for an action, with the owner, mode and extended attributes
  // of `like`; fails when the name exists.
  virtual std::unique_ptr<ActionFile> CreateForAction(std::string_view windowsPath, ActionFile& like,
                                                      std::string* why) = 0;
  // Whether `windowsPath` names the very file `file` is.
  virtual bool StillNames(const ActionFile& file, std::string_view windowsPath) const = 0;
  // CopyFile from an open file, keeping what makes the file its owner's: owner and group
  // (where allowed), mode (setuid and setgid only with the owner), extended attributes
  // and ACLs, times and holes. Refused before anything is written when the target cannot
  // hold something that matters; the offline mark never travels.
  virtual StepResult CopyOpenFile(ActionFile& from, std::string_view to, bool failIfExists) = 0;
  // Writes the data and times of `from` into `into`, which keeps its inode, owner, mode
  // and links; refused before anything is written when its drive lacks the room.
  virtual StepResult WriteInto(ActionFile& from, ActionFile& into) = 0;
  // CreateDirectory with the owner, mode and extended attributes of the folder `model`
  // (as far as allowed); without a model as CreateDirectory.
  virtual bool CreateDirectoryLike(std::string_view windowsPath, std::string_view modelFolder) = 0;

  // --- recorder device -------------------------------------------------------
  // Opens the recorder's channel, sends the control code and waits for its reply.
  // None when no recorder listens (which callers treat as "no device"); Refused when
  // this user may not borrow the recorder's files.
  virtual RecorderReply SendRecorderControl(std::uint32_t code) = 0;

  // --- clock -----------------------------------------------------------------
  // Seconds since the epoch (UTC). Tests fix it through a decorator.
  virtual std::int64_t Now() const = 0;
};

}  // namespace platform

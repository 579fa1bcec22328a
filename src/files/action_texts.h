#pragma once
// The action engine's own texts, exactly as the program shows them.

namespace files::texts {

inline constexpr const char* kCompressingFile = "Compressing file...";
inline constexpr const char* kCompressingFolder = "Compressing directory...";
inline constexpr const char* kDecompressingFile = "Decompressing file...";
inline constexpr const char* kDecompressingFolder = "Decompressing directory...";
inline constexpr const char* kBackingUpFile = "Backuping file...";
inline constexpr const char* kBackingUpFolder = "Backuping directory...";
inline constexpr const char* kRestoringFile = "Restoriing file...";
inline constexpr const char* kRestoringFolder = "Restoring directory...";

inline constexpr const char* kIdleAction = ".  .  .";
inline constexpr const char* kIdleFile = ".  .  .  .";

inline constexpr const char* kConfirmStop = "Are you sure want to stop processing files ?";
inline constexpr const char* kBackUpFolderError = "Error BackUping directory ";
inline constexpr const char* kRestoreFolderError = "Error Restoring directory ";
inline constexpr const char* kCantCreateFolder = "\nCan't create directory ";
inline constexpr const char* kContinueFolders = "\nDo you wish to continue processing files?";
inline constexpr const char* kBackUpFileError = "Error BackUping file ";
inline constexpr const char* kRestoreFileError = "Error Restoring file ";
inline constexpr const char* kCantCreateFile = "\nCan't create file ";
inline constexpr const char* kContinueFiles = "\nDo you wish to continue processing filse?";
inline constexpr const char* kAllProcessed = "All selected files were processed.";

// Compression refused for a reason of its own; its other failures stay silent.
inline constexpr const char* kCompressFileError = "Error Compressing file ";
inline constexpr const char* kDecompressFileError = "Error Decompressing file ";

// Reasons an action refuses, shown in place of the file that could not be made.
inline constexpr const char* kReplacedWhileCopied =
    "The file was replaced while it was being copied; it was left as it is.";

}  // namespace files::texts

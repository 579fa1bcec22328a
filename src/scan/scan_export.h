#pragma once
// A scanned subtree as JSON, for scripts (norvex-cli scan --json).
//
// Format (version 1), one JSON object:
//
//   {"format": "norvex-scan", "version": 1,
//    "path": "D:\\Work\\",          the scanned folder (a Windows path on the drive map)
//    "shallow": false,              true for a two-level (expand) scan
//    "clusterSize": 4096,           bytes; 0 when the drive's cluster size is unknown
//    "unreadableFolders": 0,        folders in FOLDER (itself included) that could not be listed
//    "folder": FOLDER}
//
//   FOLDER = {"unreadable": false,              true: it could not be listed (no
//                                               permission, or it vanished); no entries
//             "subfoldersPending": 0 or 1,
//             "read": "full" | "partly" | "no",  how the scan read the folder
//             "totals": {"size", "compressedSize", "actualSize", "files",
//                        "latestAccess", "latestOperation", "readOnly", "writeOnly",
//                        "readWrite", "maxAccessCount"},
//             "entries": [ENTRY, ...]}          in listing order
//
//   ENTRY  = {"name", "kind" (1 folder, 15 file), "size", "compressedSize", "actualSize",
//             "fileCount", "key", "lastAccess", "lastOperation", "state",
//             "readOnly", "writeOnly", "readWrite",
//             "folder": FOLDER,                 folders only
//             "type", "links", "device",        files only, and only those that are
//             "inode", "laterLink",             not ordinary (several links, shared
//             "sharedData"}                     data, or not a regular file)
//
// Sizes are bytes (64-bit integers); a folder entry carries its subtree's totals.
// "type" is "file", "link" (symbolic), "fifo", "socket", "char-device" or "block-device";
// "device" and "inode" identify the data, and every link to it but the first the scan met
// has "laterLink": true: its size shows in its entry and adds to no total. An entry
// without these fields is a regular file of one link whose data is its own.
// "key" is the 64-bit path key as 16 hex digits and "lastAccess"/"latestAccess" the DOS
// date-time as 8 hex digits, as strings (JSON numbers lose 64-bit precision).
// Names are the host's bytes: valid UTF-8 is kept as it is, and every byte that is not
// part of valid UTF-8 is written as the escape \udcXX (XX its value), the convention
// that lets a reader restore the exact bytes (Python: surrogateescape).

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "scan/folder_info.h"

namespace scan {

struct ScanJsonHeader {
  std::string path;
  bool shallow = false;
  std::uint64_t clusterSize = 0;
};

void WriteScanJson(std::ostream& out, const ScanJsonHeader& header, const CFolderInfo& folder);

// `text` as a JSON string literal, quotes included, escaped as described above.
std::string JsonString(std::string_view text);

}  // namespace scan

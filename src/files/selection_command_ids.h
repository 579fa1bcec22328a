#pragma once
// The identifiers of the six selection commands. A command that waited for the scan of
// unread folders is run again by its identifier, so the core and the window's command
// table must speak the same numbers: the window takes them from here.

namespace files {

inline constexpr int kCmdCompress = 32852;
inline constexpr int kCmdSetHint = 32854;
inline constexpr int kCmdCancelAction = 32856;
inline constexpr int kCmdDecompress = 32863;
inline constexpr int kCmdBackUp = 32865;
inline constexpr int kCmdRestore = 32866;

}  // namespace files

#pragma once
// The 64-bit key of a file's path, bit-for-bit the recorder's: the path becomes a
// counted text of 16-bit words, which a keyed hash on the GOST 28147-89 round reduces.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace activity {

// Per drive letter A..Z: the remote name of a mapped network drive with its first
// backslash dropped ("\server\share"); empty for local drives.
using NetworkNames = std::array<std::string, 26>;

std::vector<std::uint16_t> BuildKeyText(std::string_view path, const NetworkNames& networkNames);
std::uint64_t HashKeyText(std::span<const std::uint16_t> keyText);
std::uint64_t PathKey(std::string_view path, const NetworkNames& networkNames);
// Keys of several paths at once; interleaving the hashes keeps both ALUs busy.
// keys.size() must equal paths.size(). Safe to call from several threads.
void PathKeys(std::span<const std::string_view> paths, const NetworkNames& networkNames,
              std::span<std::uint64_t> keys);

}  // namespace activity

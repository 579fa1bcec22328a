#pragma once
// Builds folder records entry by entry for the hint, list and view tests.

#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/dos_time.h"
#include "scan/folder_info.h"

namespace files_test {

using Counters = scan::EntryActivity;

inline std::uint32_t Dos(int year, int month, int day, int hour = 12, int minute = 0) {
  platform::SystemTime t;
  t.year = static_cast<std::uint16_t>(year);
  t.month = static_cast<std::uint16_t>(month);
  t.day = static_cast<std::uint16_t>(day);
  t.hour = static_cast<std::uint16_t>(hour);
  t.minute = static_cast<std::uint16_t>(minute);
  return platform::PackDosDateTime(t);
}

inline std::uint32_t AddFile(scan::CFolderInfo& folder, std::string_view name, std::uint64_t size,
                             Counters counters = {}, std::uint8_t kind = scan::kKindFile) {
  scan::NewEntry entry;
  entry.source = kind == scan::kKindFolder ? scan::kSourceSubfolder : 'D';
  entry.name = name;
  entry.size = size;
  entry.compressedSize = size;
  entry.clusterSize = 512;
  entry.kind = kind;
  // A file's own key, as a scan gives it: a key of 0 has no record and gets no hint.
  entry.key = kind == scan::kKindFolder ? 0 : std::hash<std::string_view>{}(name) | 1;
  folder.AddEntry(entry);
  const std::uint32_t i = folder.Count() - 1;
  folder.SetActivity(i, counters);
  return i;
}

}  // namespace files_test

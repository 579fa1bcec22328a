// The hand-off file "ShadowTbl.NVX" as the background program reads it: decoded, checked
// against the drive map and built into the records the action engine walks. Whatever the
// bytes, a decoded file holds no more entries than its bytes allow; a planned one,
// written again from its records, holds each path once with the last action the file
// gave it; and the records, however deep, are freed.

#include <cstdint>
#include <map>
#include <span>
#include <string>

#include "scan/folder_info.h"
#include "shell/handoff_actions.h"
#include "shell/handoff_file.h"
#include "support/fuzz_check.h"
#include "support/scratch_drives.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  std::string error;
  const auto table = shell::DecodeHandOff(bytes, &error);
  if (!table) {
    FUZZ_CHECK(!error.empty());
    return 0;
  }
  // Each entry takes its 2-byte length, at least "X:" and 3 bytes of codes.
  FUZZ_CHECK(table->entries.size() <= (size - 4) / 7);

  // Plans are checked against the drive map; make the count agree so that planning goes on.
  shell::HandOffTable counted = *table;
  counted.count = static_cast<std::uint32_t>(counted.entries.size());
  auto& drives = fuzz_support::ScratchDrives::Fresh();
  auto plan = shell::PlanHandOff(counted, drives.System(), &error);
  if (!plan) {
    FUZZ_CHECK(!error.empty());
    return 0;
  }
  std::map<std::string, const shell::HandOffEntry*> last;
  for (const shell::HandOffEntry& entry : counted.entries) last[entry.path] = &entry;
  FUZZ_CHECK(plan->actions.size() == counted.entries.size());
  // Distinct records never stand for one file: an action is never performed twice.
  std::map<std::string, std::string> pathOfHost;
  for (const auto& [path, entry] : last) {
    const std::string host = drives.Host(path.size() == 2 ? path + "\\" : path);
    FUZZ_CHECK(!host.empty());
    FUZZ_CHECK(pathOfHost.emplace(host, path).second);
  }

  const std::uint32_t pending = scan::CountActions(*plan->driveList);
  FUZZ_CHECK(pending == last.size());
  std::size_t skipped = 0;
  const auto encoded = shell::EncodeHandOff(*plan->driveList, pending, &skipped);
  FUZZ_CHECK(skipped == 0);
  const auto decoded = shell::DecodeHandOff(encoded, &error);
  FUZZ_CHECK(decoded.has_value());
  FUZZ_CHECK(decoded->count == pending && decoded->entries.size() == last.size());
  for (const shell::HandOffEntry& entry : decoded->entries) {
    const auto original = last.find(entry.path);
    FUZZ_CHECK(original != last.end());
    FUZZ_CHECK(entry.action == original->second->action);
    FUZZ_CHECK(entry.kind == original->second->kind);
    FUZZ_CHECK(entry.backupDrive == original->second->backupDrive);
  }
  plan->driveList->Recalculate(4096);
  plan->driveList->Reaggregate();
  return 0;
}

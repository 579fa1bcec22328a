#include "shell/handoff_actions.h"

#include <string_view>

#include "files/action_engine.h"
#include "platform/system.h"

namespace shell {
namespace {

std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const std::size_t slash = path.find('\\');
    parts.push_back(path.substr(0, slash));
    path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
  }
  return parts;
}

// The index of `name` among the record's entries, added as `kind` when missing; nullopt
// when it is there with the other kind.
std::optional<std::uint32_t> EntryOf(scan::CFolderInfo& record, std::string_view name,
                                     std::uint8_t kind, std::uint8_t source) {
  for (std::uint32_t i = 0; i < record.Count(); ++i) {
    if (record.names(i) != name) continue;
    if (record.kinds()[i] != kind) return std::nullopt;
    return i;
  }
  scan::NewEntry entry;
  entry.source = source;
  entry.name = name;
  entry.kind = kind;
  record.AddEntry(entry);
  return record.Count() - 1;
}

}  // namespace

std::uint8_t HandedOffAction::SucceededState() const {
  switch (action) {
    case files::kActionCompress: return scan::kStateCompressed;
    case files::kActionBackUp: return scan::kStateBackedUp;
    default: return scan::kStateNormal;
  }
}

std::optional<HandOffPlan> PlanHandOff(const HandOffTable& table, const platform::System& system,
                                       std::string* error) {
  if (table.count != table.entries.size()) {
    *error = "it announces " + std::to_string(table.count) + " actions but holds " +
             std::to_string(table.entries.size());
    return std::nullopt;
  }
  HandOffPlan plan;
  plan.driveList = std::make_unique<scan::CFolderInfo>();
  for (const HandOffEntry& entry : table.entries) {
    const std::string where = "'" + entry.path + "'";
    if (!system.HostPath(entry.path.size() == 2 ? entry.path + "\\" : entry.path)) {
      *error = where + " is not a path on a mapped drive";
      return std::nullopt;
    }
    const auto parts = Components(entry.path);
    for (const std::string_view part : parts) {
      if (part.empty() || part == "." || part == "..") {
        *error = where + " has an empty, \".\" or \"..\" component";
        return std::nullopt;
      }
    }
    const char letter = parts.front()[0];
    scan::CFolderInfo* record = plan.driveList.get();
    std::optional<std::uint32_t> index;
    for (std::size_t p = 0; p < parts.size(); ++p) {
      const bool last = p + 1 == parts.size();
      const std::uint8_t kind = last ? entry.kind : scan::kKindFolder;
      const std::uint8_t source = p == 0 ? scan::kSourceDrive
                                  : kind == scan::kKindFolder ? scan::kSourceSubfolder
                                                              : static_cast<std::uint8_t>(letter);
      if (p > 0) record = record->GetChild(*index);
      index = EntryOf(*record, parts[p], kind, source);
      if (!index) {
        *error = where + " is named both as a file and as a folder";
        return std::nullopt;
      }
    }
    record->actions()[*index] = entry.action;
    record->backupDrives()[*index] = entry.backupDrive;
    // No state the engine sets: an action that did nothing is never taken for success.
    record->states()[*index] = kStateUntouched;
    plan.actions.push_back({entry.path, entry.action, record, *index});
  }
  return plan;
}

}  // namespace shell

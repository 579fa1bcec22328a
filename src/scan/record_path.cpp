#include "scan/record_path.h"

#include <string>

namespace scan {
namespace {

CFolderInfo& ChildNamed(CFolderInfo& record, std::string_view name, std::uint8_t source) {
  for (std::uint32_t i = 0; i < record.Count(); ++i) {
    if (record.IsFolder(i) && record.names(i) == name) return *record.GetChild(i);
  }
  NewEntry entry;
  entry.source = source;
  entry.name = name;
  entry.kind = kKindFolder;
  record.AddEntry(entry);
  return *record.GetChild(record.Count() - 1);
}

}  // namespace

CFolderInfo& RecordForPath(CFolderInfo& driveList, std::string_view folderPath) {
  CFolderInfo* record = &ChildNamed(driveList, folderPath.substr(0, 2), kSourceDrive);
  std::string_view rest = folderPath.size() > 3 ? folderPath.substr(3) : std::string_view{};
  while (!rest.empty()) {
    const std::size_t end = rest.find('\\');
    const std::string_view name = rest.substr(0, end);
    if (!name.empty()) record = &ChildNamed(*record, name, kSourceSubfolder);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
  }
  return *record;
}

}  // namespace scan

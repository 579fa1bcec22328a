// Names on disk, as hostile as a folder can hold them: the input is names separated by
// '/' (the one byte besides NUL no name can hold), each made a file, or a folder when its
// first byte is odd. The scan of the drive lists each once, with the key of its Windows
// path, leaves out names holding '\' and folders whose name starts with a dot, and its
// JSON export gives back every name's exact bytes.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>

#include "activity/access_tables.h"
#include "activity/path_key.h"
#include "platform/unique_fd.h"
#include "scan/directory_walk.h"
#include "scan/folder_info.h"
#include "scan/record_builder.h"
#include "scan/scan_export.h"
#include "support/fuzz_check.h"
#include "support/scratch_drives.h"

namespace {

// Reads a JSON string literal as the export writes it, back to the name's bytes.
std::string JsonStringBytes(std::string_view literal) {
  FUZZ_CHECK(literal.size() >= 2 && literal.front() == '"' && literal.back() == '"');
  std::string bytes;
  for (std::size_t i = 1; i + 1 < literal.size(); ++i) {
    const char c = literal[i];
    FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20);
    if (c != '\\') {
      bytes += c;
      continue;
    }
    const char kind = literal[++i];
    if (kind == '"' || kind == '\\') {
      bytes += kind;
    } else {
      FUZZ_CHECK(kind == 'u' && i + 4 < literal.size());
      const unsigned value = std::stoul(std::string(literal.substr(i + 1, 4)), nullptr, 16);
      FUZZ_CHECK(value < 0x20 || (value >= 0xDC80 && value <= 0xDCFF));
      bytes += static_cast<char>(value & 0xFF);
      i += 4;
    }
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_support::Input input(data, size);
  const bool listAhead = input.Byte() % 2 == 1;
  auto& drives = fuzz_support::ScratchDrives::Fresh();
  const platform::UniqueFd root(::open(drives.Root('D').c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  FUZZ_CHECK(root.Valid());

  // name -> folder?; what the scan must list
  std::map<std::string, bool> expected;
  std::string_view rest = input.Rest();
  while (!rest.empty() && expected.size() < 32) {
    const std::size_t end = rest.find('/');
    const std::string name(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    if (name.empty() || name.size() > 255 || name == "." || name == ".." ||
        name.find('\0') != std::string::npos || expected.contains(name)) {
      continue;
    }
    const bool folder = static_cast<unsigned char>(name[0]) % 2 == 1;
    if (folder ? ::mkdirat(root.Get(), name.c_str(), 0755) != 0
               : !platform::UniqueFd(::openat(root.Get(), name.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644))) {
      continue;
    }
    if (name.find('\\') != std::string::npos || (folder && name[0] == '.')) continue;
    expected.emplace(name, folder);
  }

  const activity::AccessTables tables;
  const activity::NetworkNames names{};
  scan::CFolderInfo record;
  scan::RecordBuilder builder(record, 'D', 4096, tables);
  scan::WalkOptions options;
  options.networkNames = &names;
  options.listAhead = listAhead;
  scan::ScanFolder(drives.System(), "D:\\", options, builder);
  record.Recalculate(4096);

  FUZZ_CHECK(record.Count() == expected.size());
  std::ostringstream json;
  scan::WriteScanJson(json, {"D:\\", false, 4096}, record);
  const std::string exported = json.str();
  for (std::uint32_t i = 0; i < record.Count(); ++i) {
    const std::string name(record.names(i));
    const auto found = expected.find(name);
    FUZZ_CHECK(found != expected.end());
    FUZZ_CHECK(record.IsFolder(i) == found->second);
    if (!found->second) FUZZ_CHECK(record.keys()[i] == activity::PathKey("D:\\" + name, names));
    const std::string literal = scan::JsonString(name);
    FUZZ_CHECK(JsonStringBytes(literal) == name);
    FUZZ_CHECK(exported.find("{\"name\":" + literal + ",") != std::string::npos);
  }
  return 0;
}

#include "scan/scan_export.h"

#include <cstdio>
#include <ostream>

#include "scan/record_walk.h"

namespace scan {
namespace {

std::string Hex(std::uint64_t value, int digits) {
  char text[17];
  std::snprintf(text, sizeof text, "%0*llx", digits, static_cast<unsigned long long>(value));
  return std::string("\"") + text + "\"";
}

// Length of the valid UTF-8 sequence at the start of `text`, or 0.
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  std::uint32_t minimum = 0;
  std::uint32_t code = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, minimum = 0x80, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, minimum = 0x800, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, minimum = 0x10000, code = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  return code < minimum || code > 0x10FFFF || surrogate ? 0 : length;
}

const char* TypeName(platform::FileType type) {
  switch (type) {
    case platform::FileType::Regular: return "\"file\"";
    case platform::FileType::Directory: return "\"folder\"";
    case platform::FileType::SymbolicLink: return "\"link\"";
    case platform::FileType::Fifo: return "\"fifo\"";
    case platform::FileType::Socket: return "\"socket\"";
    case platform::FileType::CharacterDevice: return "\"char-device\"";
    case platform::FileType::BlockDevice: break;
  }
  return "\"block-device\"";
}

const char* ReadName(ReadState state) {
  switch (state) {
    case ReadState::ReadFully: return "\"full\"";
    case ReadState::ReadPartly: return "\"partly\"";
    case ReadState::NotRead: break;
  }
  return "\"no\"";
}

std::uint64_t UnreadableFolders(const CFolderInfo& root) {
  std::uint64_t count = 0;
  ForEachRecord(root, [&count](const CFolderInfo& folder) { count += folder.unreadable ? 1 : 0; });
  return count;
}

// A folder's fields up to the opening of its entries.
void WriteFolderHead(std::ostream& out, const CFolderInfo& folder) {
  out << "{\"unreadable\":" << (folder.unreadable ? "true" : "false")
      << ",\"subfoldersPending\":" << int{folder.subfoldersPending}
      << ",\"read\":" << ReadName(folder.readState)
      << ",\"totals\":{\"size\":" << folder.totalSize
      << ",\"compressedSize\":" << folder.totalCompressedSize
      << ",\"actualSize\":" << folder.totalActualSize << ",\"files\":" << folder.totalFiles
      << ",\"latestAccess\":" << Hex(folder.latestAccess, 8)
      << ",\"latestOperation\":" << int{folder.latestOperation}
      << ",\"readOnly\":" << folder.totalReadOnly << ",\"writeOnly\":" << folder.totalWriteOnly
      << ",\"readWrite\":" << folder.totalReadWrite
      << ",\"maxAccessCount\":" << folder.maxAccessCount << "},\"entries\":[";
}

// An entry's fields, its closing brace left for after its folder.
void WriteEntryFields(std::ostream& out, const CFolderInfo& folder, std::uint32_t i) {
  out << (i == 0 ? "\n" : ",\n") << "{\"name\":" << JsonString(folder.names(i))
      << ",\"kind\":" << int{folder.kinds()[i]} << ",\"size\":" << folder.sizes()[i]
      << ",\"compressedSize\":" << folder.compressedSizes()[i]
      << ",\"actualSize\":" << folder.ActualSize(i)
      << ",\"fileCount\":" << folder.FileCount(i) << ",\"key\":" << Hex(folder.keys()[i], 16)
      << ",\"lastAccess\":" << Hex(folder.lastAccess()[i], 8)
      << ",\"lastOperation\":" << int{folder.lastOperations()[i]}
      << ",\"state\":" << int{folder.states()[i]}
      << ",\"readOnly\":" << folder.readOnlyCounts()[i]
      << ",\"writeOnly\":" << folder.writeOnlyCounts()[i]
      << ",\"readWrite\":" << folder.readWriteCounts()[i];
  if (const FileTraits* traits = folder.Traits(i)) {
    out << ",\"type\":" << TypeName(traits->type) << ",\"links\":" << traits->links
        << ",\"device\":" << traits->device << ",\"inode\":" << traits->inode
        << ",\"laterLink\":" << (traits->laterLink ? "true" : "false")
        << ",\"sharedData\":" << (traits->sharedData ? "true" : "false");
  }
}

void WriteFolder(std::ostream& out, const CFolderInfo& folder) {
  WriteFolderHead(out, folder);
  WalkEntries(
      folder,
      [&out](const CFolderInfo& record, std::uint32_t i) {
        WriteEntryFields(out, record, i);
        const CFolderInfo* child = record.GetChild(i);
        if (child == nullptr) {
          out << "}";
          return WalkStep::Next;
        }
        out << ",\"folder\":";
        WriteFolderHead(out, *child);
        return WalkStep::Descend;
      },
      [&out](const CFolderInfo&, std::uint32_t) { out << "]}}"; });
  out << "]}";
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  while (!text.empty()) {
    const auto c = static_cast<unsigned char>(text.front());
    const std::size_t valid = Utf8SequenceLength(text);
    char escape[8];
    if (c == '"' || c == '\\') {
      json += '\\';
      json += static_cast<char>(c);
    } else if (c < 0x20) {
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      json += escape;
    } else if (valid == 0) {
      std::snprintf(escape, sizeof escape, "\\udc%02x", c);
      json += escape;
      text.remove_prefix(1);
      continue;
    } else {
      json.append(text.substr(0, valid));
      text.remove_prefix(valid);
      continue;
    }
    text.remove_prefix(1);
  }
  return json + "\"";
}

void WriteScanJson(std::ostream& out, const ScanJsonHeader& header, const CFolderInfo& folder) {
  out << "{\"format\":\"norvex-scan\",\"version\":1,\"path\":" << JsonString(header.path)
      << ",\"shallow\":" << (header.shallow ? "true" : "false")
      << ",\"clusterSize\":" << header.clusterSize
      << ",\"unreadableFolders\":" << UnreadableFolders(folder) << ",\"folder\":";
  WriteFolder(out, folder);
  out << "}\n";
}

}  // namespace scan

#include "analysis/space_map_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/hint_savings.h"
#include "files/list_format.h"

namespace analysis {

std::string GroupedNumber(std::uint64_t value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
  return digits;
}

std::string Counted(std::uint64_t count, const char* one, const char* many) {
  return GroupedNumber(count) + " " + (count == 1 ? one : many);
}

std::string HoverText(const MapSnapshot& snapshot, std::uint32_t item) {
  const MapItem& entry = snapshot.items[item];
  std::string text = ItemPath(snapshot, item);
  text += "\nSize: " + GroupedNumber(entry.size) + " bytes, compressed " + GroupedNumber(entry.compressedSize) +
          ", actual " + GroupedNumber(entry.actualSize);
  if (!snapshot.activeDatabase) return text + "\nNo active database on this drive";
  text += "\nLast access: " + (entry.lastAccess ? files::LastAccessText(entry.lastAccess) : std::string("never"));
  text += "\nAccessed: " + std::to_string(entry.AccessCount()) + " (RO " + std::to_string(entry.readOnly) +
          ", WO " + std::to_string(entry.writeOnly) + ", RW " + std::to_string(entry.readWrite) + ")";
  const std::string letter = files::ActionLetter(entry.hint);
  text += "\nHint: " + (letter == " " ? std::string("none") : letter);
  return text;
}

std::string SavingsText(const HintSavings& savings) {
  const auto part = [](const char* letter, const HintTotal& total, const char* verb) {
    return std::string(letter) + ": " + Counted(total.files, "file", "files") + ", " +
           Counted(total.bytes, "byte", "bytes") + " " + verb;
  };
  std::string text = part("B", savings.backUp, "freed") + "   " + part("C", savings.compress, "compressible");
  if (savings.measuredRatio) {
    char ratio[32];
    std::snprintf(ratio, sizeof ratio, "%.0f%%", *savings.measuredRatio * 100);
    text += " (" + Counted(*savings.compressFrees, "byte", "bytes") + " freed at the measured " + ratio + ")";
  }
  text += "   " + part("D", savings.decompress, "back") + "   " + part("R", savings.restore, "back");
  return text;
}

namespace {

// Whole percent of `part` in `whole`; 0 of nothing.
std::string Percent(std::uint64_t part, std::uint64_t whole) {
  const double share = whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
  return std::to_string(std::lround(share)) + " %";
}

std::string AgeLine(const MapSnapshot& snapshot, std::uint32_t now) {
  std::uint64_t bytes = 0, idle = 0;
  for (const MapItem& item : snapshot.items) {
    if (item.folder) continue;
    bytes += item.Area();
    const double days = DaysSinceAccess(item.lastAccess, now);
    if (days < 0 || days > kIdleDays) idle += item.Area();
  }
  return "age: " + Percent(idle, bytes) + " of the bytes idle over " + std::to_string(std::lround(kIdleDays)) +
         " days";
}

std::string CountLine(const MapSnapshot& snapshot) {
  std::uint64_t bytes = 0, unused = 0;
  std::uint32_t most = 0;
  for (const MapItem& item : snapshot.items) {
    if (item.folder) continue;
    bytes += item.Area();
    if (item.AccessCount() == 0) unused += item.Area();
    most = std::max(most, item.AccessCount());
  }
  return "count: " + Percent(unused, bytes) + " of the bytes never accessed; the busiest file " +
         Counted(most, "access", "accesses");
}

}  // namespace

std::string MapLine(const MapSnapshot& snapshot, MapColouring colouring, std::uint32_t now) {
  if (colouring == MapColouring::Hint) return SavingsText(SumHintSavings(snapshot));
  const std::string prefix = colouring == MapColouring::Age ? "age: " : "count: ";
  // Without the recorder's figures the ages and counts mean nothing: say why instead.
  if (!snapshot.activeDatabase) return prefix + "no activity recorded on this drive";
  if (!snapshot.notRecorded.empty()) return prefix + snapshot.notRecorded;
  return colouring == MapColouring::Age ? AgeLine(snapshot, now) : CountLine(snapshot);
}

}  // namespace analysis

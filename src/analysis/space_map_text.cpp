#include "analysis/space_map_text.h"

#include <cstdio>

#include "files/list_format.h"

namespace analysis {

std::string GroupedNumber(std::uint64_t value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
  return digits;
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
    return std::string(letter) + ": " + GroupedNumber(total.files) + " files, " + GroupedNumber(total.bytes) +
           " bytes " + verb;
  };
  std::string text = part("B", savings.backUp, "freed") + "   " + part("C", savings.compress, "compressible");
  if (savings.measuredRatio) {
    char ratio[32];
    std::snprintf(ratio, sizeof ratio, "%.0f%%", *savings.measuredRatio * 100);
    text += " (" + GroupedNumber(*savings.compressFrees) + " bytes freed at the measured " + ratio + ")";
  }
  text += "   " + part("D", savings.decompress, "back") + "   " + part("R", savings.restore, "back");
  return text;
}

}  // namespace analysis

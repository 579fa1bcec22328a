#include "progress_text.h"

#include <cstdio>

namespace tools {

std::string Grouped(std::uint64_t value) {
  std::string digits = std::to_string(value);
  for (std::size_t k = digits.size(); k > 3; k -= 3) digits.insert(k - 3, 1, ',');
  return digits;
}

std::string ByteText(std::uint64_t bytes) {
  static constexpr const char* kUnits[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
  if (bytes < 1024) return std::to_string(bytes) + " B";
  double value = static_cast<double>(bytes) / 1024;
  std::size_t unit = 0;
  while (value >= 1024 && unit + 1 < std::size(kUnits)) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
  return text;
}

std::string ClockText(std::chrono::duration<double> elapsed) {
  const auto seconds = static_cast<unsigned long long>(elapsed.count() > 0 ? elapsed.count() : 0);
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
  } else {
    std::snprintf(text, sizeof text, "%llu:%02llu", seconds / 60, seconds % 60);
  }
  return text;
}

std::string ScanProgressText(const scan::ScanTally& tally, std::chrono::duration<double> elapsed) {
  std::string text = Grouped(tally.entries) + " entries, " + Grouped(tally.foldersListed) +
                     " folders, " + ByteText(tally.bytes);
  if (elapsed.count() > 0) {
    const double rate = static_cast<double>(tally.entries) / elapsed.count();
    text += ", " + Grouped(static_cast<std::uint64_t>(rate)) + " entries/s";
  }
  return text;
}

std::string ActionProgressText(std::uint64_t done, std::uint64_t total,
                               std::chrono::duration<double> elapsed, const std::string& current) {
  return Grouped(done) + " of " + Grouped(total) + " done, " + ClockText(elapsed) + ", " + current;
}

}  // namespace tools

#pragma once
// The texts of the tools' progress lines.

#include <chrono>
#include <cstdint>
#include <string>

#include "scan/scan_tally.h"

namespace tools {

// 1234567 -> "1,234,567"
std::string Grouped(std::uint64_t value);
// Bytes in the program's units (1 KB = 1024 bytes): "512 B", "4.0 KB", "1.2 GB".
std::string ByteText(std::uint64_t bytes);
// 75 s -> "1:15", 3725 s -> "1:02:05"
std::string ClockText(std::chrono::duration<double> elapsed);

// "12,345 entries, 678 folders, 1.2 GB, 45,678 entries/s" (no rate before any time
// has passed).
std::string ScanProgressText(const scan::ScanTally& tally, std::chrono::duration<double> elapsed);

// "3 of 10 done, 0:04, Backuping file... D:\Work\a.txt"
std::string ActionProgressText(std::uint64_t done, std::uint64_t total,
                               std::chrono::duration<double> elapsed, const std::string& current);

}  // namespace tools

#pragma once
// The size page's arithmetic: slider positions <-> a drive record's bucket mask, bucket
// size and name storage, and the figures shown beside them.

#include <cstdint>
#include <string>

#include "activity/drive_record.h"

namespace activity {

inline constexpr int kMaxSizePosition = 16;
inline constexpr int kMinEfficiency = 1;
inline constexpr int kMaxEfficiency = 17;
inline constexpr int kMaxNameSizeLimit = 32767;

struct ShapeSettings {
  int sizePosition = 0;   // bits of the bucket mask
  int efficiency = 1;     // bucket size
  bool storeNames = false;
  int maxNameSize = 0;
};

ShapeSettings SettingsOf(const DriveRecord& record);
// Stores the settings: mask 2^n - 1, bucket size, names state -1 when names are off,
// 0 when they are turned on, unchanged when they stay on; the name size.
void ApplySettings(const ShapeSettings& settings, DriveRecord& record);

struct ShapeFigures {
  std::string totalFiles;    // "%lu"
  std::string storedFiles;   // "%lu (%lu%%)"
  std::string sizeInMemory;  // "%lu bytes"
  std::string sizeOnDisk;    // "%lu bytes"
};
ShapeFigures FiguresOf(const ShapeSettings& settings, std::uint32_t recordsInUse);

}  // namespace activity

#include "activity/database_shape.h"

#include <algorithm>
#include <bit>

namespace activity {
namespace {

std::uint64_t CapacityOf(const ShapeSettings& settings) {
  return std::uint64_t(std::max(settings.efficiency, 0)) << std::clamp(settings.sizePosition, 0, kMaxSizePosition);
}

}  // namespace

ShapeSettings SettingsOf(const DriveRecord& record) {
  ShapeSettings settings;
  settings.sizePosition = std::bit_width(record.bucketMask);
  settings.efficiency = record.bucketSize;
  settings.storeNames = record.namesState != -1;
  settings.maxNameSize = record.maxNameSize;
  return settings;
}

void ApplySettings(const ShapeSettings& settings, DriveRecord& record) {
  const int bits = std::clamp(settings.sizePosition, 0, kMaxSizePosition);
  record.bucketMask = static_cast<std::uint16_t>((std::uint32_t{1} << bits) - 1);
  record.bucketSize = static_cast<std::uint16_t>(std::clamp(settings.efficiency, kMinEfficiency, kMaxEfficiency));
  if (!settings.storeNames) {
    record.namesState = -1;
  } else if (record.namesState == -1) {
    record.namesState = 0;
  }
  record.maxNameSize = static_cast<std::uint16_t>(std::clamp(settings.maxNameSize, 0, kMaxNameSizeLimit));
}

ShapeFigures FiguresOf(const ShapeSettings& settings, std::uint32_t recordsInUse) {
  const std::uint64_t capacity = CapacityOf(settings);
  // More records in use than the new size holds: the database is full, no more.
  const std::uint64_t percent =
      capacity == 0 ? 0 : std::min<std::uint64_t>(std::uint64_t{recordsInUse} * 100 / capacity, 100);
  const std::uint64_t memory = capacity * kAccessRecordSize;
  const std::uint64_t disk =
      memory + (settings.storeNames ? capacity * static_cast<std::uint64_t>(std::max(settings.maxNameSize, 0)) : 0);
  return {std::to_string(capacity), std::to_string(recordsInUse) + " (" + std::to_string(percent) + "%)",
          std::to_string(memory) + " bytes", std::to_string(disk) + " bytes"};
}

}  // namespace activity

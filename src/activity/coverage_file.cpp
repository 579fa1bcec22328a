#include "activity/coverage_file.h"

#include <cstring>

#include "activity/database_files.h"
#include "platform/system.h"

namespace activity {
namespace {

constexpr char kMagic[8] = {'N', 'V', 'X', 'C', 'O', 'V', 'E', 'R'};
constexpr std::uint32_t kVersion = 1;

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::uint64_t GetU64(const std::uint8_t* p) {
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}
std::uint32_t GetU32(const std::uint8_t* p) {
  // Four bytes only: the checksum is the file's last field.
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}
void PutU64(std::uint8_t* p, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
void PutU32(std::uint8_t* p, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::string PeriodDamage(std::size_t index, const char* what) {
  return "period " + std::to_string(index + 1) + " " + what;
}

// Every rule a period must keep, alone and after the one before it.
bool CheckPeriod(const CoveragePeriod& period, const CoveragePeriod* before, std::size_t index,
                 std::int64_t now, std::string* damage) {
  if (period.start <= 0 || period.lastSeen < period.start) {
    *damage = PeriodDamage(index, "ends before it starts");
  } else if (period.bootTime < 0 || period.bootTime > period.start) {
    *damage = PeriodDamage(index, "starts before its machine booted");
  } else if (period.end != PeriodEnd::Unknown && period.end != PeriodEnd::CleanStop &&
             period.end != PeriodEnd::Shutdown) {
    *damage = PeriodDamage(index, "has an unknown end");
  } else if (period.blind > Blindness::NotWatched) {
    *damage = PeriodDamage(index, "has an unknown reason for seeing nothing");
  } else if (before != nullptr && period.start < before->lastSeen) {
    *damage = PeriodDamage(index, "is out of order");
  } else if (period.lastSeen > now + kCoverageClockSlack) {
    *damage = PeriodDamage(index, "lies in the future");
  } else {
    return true;
  }
  return false;
}

}  // namespace

std::string BlindnessText(Blindness blindness) {
  switch (blindness) {
    case Blindness::NetworkDrive: return "network drive: opens are not reported to this machine";
    case Blindness::FuseDrive: return "FUSE drive: its opens are not reported to the recorder";
    case Blindness::NotWatched: return "the recorder cannot watch this drive";
    case Blindness::None: break;
  }
  return "";
}

std::string CoverageFilePath(char location, char drive) {
  return std::string{location} + ":\\FileCov" + drive + ".NVX";
}

std::string DamagedCoveragePath(char location, char drive) {
  return CoverageFilePath(location, drive) + ".damaged";
}

std::vector<std::uint8_t> SerializeCoverage(const std::vector<CoveragePeriod>& periods) {
  std::vector<std::uint8_t> bytes(kCoverageHeaderSize + kCoveragePeriodSize * periods.size() +
                                  kCoverageTrailerSize);
  std::memcpy(bytes.data(), kMagic, sizeof kMagic);
  PutU32(&bytes[8], kVersion);
  PutU32(&bytes[12], static_cast<std::uint32_t>(periods.size()));
  std::uint8_t* p = &bytes[kCoverageHeaderSize];
  for (const CoveragePeriod& period : periods) {
    PutU64(p, static_cast<std::uint64_t>(period.start));
    PutU64(p + 8, static_cast<std::uint64_t>(period.lastSeen));
    PutU64(p + 16, static_cast<std::uint64_t>(period.bootTime));
    std::memcpy(p + 24, period.bootId.data(), period.bootId.size());
    PutU32(p + 40, static_cast<std::uint32_t>(period.end));
    PutU32(p + 44, static_cast<std::uint32_t>(period.blind));
    p += kCoveragePeriodSize;
  }
  PutU32(p, Crc32(bytes.data(), bytes.size() - kCoverageTrailerSize));
  return bytes;
}

std::optional<std::vector<CoveragePeriod>> ParseCoverage(const std::vector<std::uint8_t>& bytes,
                                                         std::int64_t now, std::string* damage) {
  if (bytes.size() < kCoverageHeaderSize + kCoverageTrailerSize) {
    *damage = "it is too short (" + std::to_string(bytes.size()) + " bytes)";
    return std::nullopt;
  }
  if (std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
    *damage = "it is not a coverage file";
    return std::nullopt;
  }
  if (GetU32(&bytes[8]) != kVersion) {
    *damage = "its version " + std::to_string(GetU32(&bytes[8])) + " is unknown";
    return std::nullopt;
  }
  const std::uint32_t count = GetU32(&bytes[12]);
  if (count > kMaxCoveragePeriods ||
      bytes.size() != kCoverageHeaderSize + kCoveragePeriodSize * std::size_t{count} + kCoverageTrailerSize) {
    *damage = "its length does not match its " + std::to_string(count) + " periods";
    return std::nullopt;
  }
  if (GetU32(&bytes[bytes.size() - kCoverageTrailerSize]) !=
      Crc32(bytes.data(), bytes.size() - kCoverageTrailerSize)) {
    *damage = "its checksum is wrong";
    return std::nullopt;
  }
  std::vector<CoveragePeriod> periods(count);
  const std::uint8_t* p = &bytes[kCoverageHeaderSize];
  for (std::size_t i = 0; i < count; ++i, p += kCoveragePeriodSize) {
    CoveragePeriod& period = periods[i];
    period.start = static_cast<std::int64_t>(GetU64(p));
    period.lastSeen = static_cast<std::int64_t>(GetU64(p + 8));
    period.bootTime = static_cast<std::int64_t>(GetU64(p + 16));
    std::memcpy(period.bootId.data(), p + 24, period.bootId.size());
    period.end = static_cast<PeriodEnd>(GetU32(p + 40));
    period.blind = static_cast<Blindness>(GetU32(p + 44));
    if (!CheckPeriod(period, i == 0 ? nullptr : &periods[i - 1], i, now, damage)) return std::nullopt;
  }
  return periods;
}

CoverageLoad LoadCoverage(platform::System& system, char location, char drive, std::int64_t now) {
  CoverageLoad load;
  const std::string path = CoverageFilePath(location, drive);
  auto file = system.OpenFile(path, {platform::OpenMode::OpenExisting, false, true});
  if (!file) {
    if (system.FileExists(path)) {
      load.state = CoverageLoad::State::Damaged;
      load.damage = "it cannot be read";
    }
    return load;
  }
  const std::optional<std::uint64_t> length = file->Length();
  constexpr std::uint64_t kLargest =
      kCoverageHeaderSize + kCoveragePeriodSize * std::uint64_t{kMaxCoveragePeriods} + kCoverageTrailerSize;
  std::vector<std::uint8_t> bytes;
  std::string damage;
  if (!length || *length > kLargest) {
    damage = "its length is impossible";
  } else {
    bytes.resize(static_cast<std::size_t>(*length));
    const std::optional<std::size_t> got = ReadFully(*file, bytes.data(), bytes.size());
    if (!got || *got != bytes.size()) damage = "it cannot be read";
  }
  if (damage.empty()) {
    if (auto periods = ParseCoverage(bytes, now, &damage)) {
      load.state = CoverageLoad::State::Loaded;
      load.periods = std::move(*periods);
      return load;
    }
  }
  load.state = CoverageLoad::State::Damaged;
  load.damage = std::move(damage);
  return load;
}

bool SaveCoverage(platform::System& system, char location, char drive,
                  const std::vector<CoveragePeriod>& periods) {
  const std::vector<std::uint8_t> bytes = SerializeCoverage(periods);
  return WriteFileReplacing(system, CoverageFilePath(location, drive), bytes.size(),
                            [&bytes](platform::File& file) { return file.Write(bytes.data(), bytes.size()); });
}

}  // namespace activity

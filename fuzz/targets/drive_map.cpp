// The drive map text ("C=/srv/c,D=/data=Data"), from --drives or NORVEX_DRIVES. A text
// the parser takes is written back by ToString into a text that parses to the same map,
// which writes back unchanged; a refused text always says why.

#include <cstdint>
#include <string>

#include "platform/drive_map.h"
#include "support/fuzz_check.h"

namespace {

bool SameDrives(const platform::DriveMap& a, const platform::DriveMap& b) {
  const auto left = a.All();
  const auto right = b.All();
  if (left.size() != right.size()) return false;
  for (std::size_t i = 0; i < left.size(); ++i) {
    if (left[i].letter != right[i].letter || left[i].root != right[i].root ||
        left[i].label != right[i].label) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string error;
  const auto map = platform::DriveMap::Parse(text, &error);
  if (!map) {
    FUZZ_CHECK(!error.empty());
    return 0;
  }
  for (const platform::MappedDrive& drive : map->All()) {
    FUZZ_CHECK(drive.letter >= 'A' && drive.letter <= 'Z');
    FUZZ_CHECK(drive.root.starts_with('/'));
    FUZZ_CHECK(map->Find(drive.letter) != nullptr);
    FUZZ_CHECK(map->Owner(drive.root) != nullptr);
  }
  const std::string written = map->ToString();
  const auto again = platform::DriveMap::Parse(written, &error);
  FUZZ_CHECK(again.has_value());
  FUZZ_CHECK(SameDrives(*map, *again));
  FUZZ_CHECK(again->ToString() == written);
  return 0;
}

#pragma once
// Drive letters on Linux: each letter stands for a host directory.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct MappedDrive {
  char letter = 0;        // 'A'..'Z'
  std::string root;       // host directory, absolute, no trailing '/' (except "/")
  std::string label;      // explicit label, empty when none was given
};

class DriveMap {
 public:
  DriveMap() = default;

  // Parses "C=/srv/c,D=/data" (an optional label after a second '=': "D=/data=Data");
  // blanks around an entry, its folder and its label are not part of them, and a folder
  // is kept as the kernel names it (no "//" or "." components; ".." is refused).
  // nullopt with `error` set on bad input.
  static std::optional<DriveMap> Parse(std::string_view text, std::string* error = nullptr);

  void Set(char letter, std::string root, std::string label = {});
  const MappedDrive* Find(char letter) const;
  // The drive whose root holds hostPath (longest root wins), or nullptr.
  const MappedDrive* Owner(std::string_view hostPath) const;
  // Mapped drives in letter order.
  std::vector<MappedDrive> All() const;
  std::string ToString() const;  // the Parse format

 private:
  std::array<std::optional<MappedDrive>, 26> drives_{};
};

}  // namespace platform

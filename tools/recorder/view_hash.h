#pragma once
// Hashes std::string keys and std::string_view lookups alike, so that a lookup by a view
// of an event's name allocates no string.

#include <cstddef>
#include <functional>
#include <string_view>

namespace recorder_tool {

struct ViewHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

}  // namespace recorder_tool

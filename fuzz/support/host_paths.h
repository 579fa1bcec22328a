#pragma once
// Host paths compared as the files they name.

#include <string>
#include <string_view>

namespace fuzz_support {

// Repeated and trailing slashes say nothing more about the file.
inline std::string Collapsed(std::string_view path) {
  std::string collapsed;
  for (const char c : path) {
    if (c == '/' && !collapsed.empty() && collapsed.back() == '/') continue;
    collapsed += c;
  }
  if (collapsed.size() > 1 && collapsed.back() == '/') collapsed.pop_back();
  return collapsed;
}

}  // namespace fuzz_support

#pragma once
// The program's persistent options: named values holding "On" or "Off". The window
// keeps them with QSettings in the config directory; tests keep them in memory.

#include <string>

namespace shell {

inline constexpr const char* kAutoScanOption = "AutoScan";
inline constexpr const char* kExecutedAtLeastOneTimeOption = "ExecutedAtLeastOneTime";
inline constexpr const char* kOn = "On";
inline constexpr const char* kOff = "Off";

class OptionStore {
 public:
  virtual ~OptionStore() = default;
  // The stored text; empty when the value is missing or cannot be read.
  virtual std::string Read(const std::string& name) = 0;
  // Failures are not reported: a value that could not be written reads as off later.
  virtual void Write(const std::string& name, const std::string& value) = 0;
};

// A value counts as on only when it reads exactly "On"; anything else is off.
bool IsOn(OptionStore& store, const std::string& name);
void WriteOnOff(OptionStore& store, const std::string& name, bool on);

}  // namespace shell

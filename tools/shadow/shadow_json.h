#pragma once
// norvex-shadow --json: what became of each handed-over action, and the summary.
//
// Format "norvex-shadow", version 1, one object:
//   {"format", "version", "file": the hand-off file as given, "dryRun": bool,
//    "actions": [{"action": "compress", "decompress", "back up" or "restore",
//                 "path": "D:\\Work\\a.txt",
//                 "result": "succeeded", "failed" or "not performed" (dry run)}, ...]
//                in the order performed,
//    "succeeded": count, "failed": count}

#include <iosfwd>
#include <string>
#include <vector>

namespace shadow {

inline constexpr const char* kSucceeded = "succeeded";
inline constexpr const char* kFailed = "failed";
inline constexpr const char* kNotPerformed = "not performed";

struct ActionOutcome {
  std::string action;
  std::string path;
  const char* result = kNotPerformed;
};

void WriteShadowJson(std::ostream& out, const std::string& file, bool dryRun,
                     const std::vector<ActionOutcome>& outcomes);

}  // namespace shadow

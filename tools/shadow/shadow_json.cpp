#include "shadow_json.h"

#include <algorithm>
#include <cstring>

#include "json_writer.h"

namespace shadow {
namespace {

std::uint64_t CountOf(const std::vector<ActionOutcome>& outcomes, const char* result) {
  return static_cast<std::uint64_t>(std::count_if(outcomes.begin(), outcomes.end(), [result](const auto& o) {
    return std::strcmp(o.result, result) == 0;
  }));
}

}  // namespace

void WriteShadowJson(std::ostream& out, const std::string& file, bool dryRun,
                     const std::vector<ActionOutcome>& outcomes) {
  tools::JsonWriter json(out);
  json.Document("norvex-shadow", 1).Member("file", file).Member("dryRun", dryRun).Key("actions").Array();
  for (const ActionOutcome& outcome : outcomes) {
    json.Object()
        .Member("action", outcome.action)
        .Member("path", outcome.path)
        .Member("result", outcome.result)
        .End();
  }
  json.End()
      .Member("succeeded", CountOf(outcomes, kSucceeded))
      .Member("failed", CountOf(outcomes, kFailed))
      .End();
}

}  // namespace shadow

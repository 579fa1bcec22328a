#pragma once
// An action run's progress that shows nothing and skips every file that would be
// overwritten: for tests that only look at what the run did.

#include <cstdint>
#include <string>

#include "files/action_engine.h"

namespace testing_support {

class SilentProgress : public files::ActionProgress {
 public:
  void ShowAction(const std::string&) override {}
  void ShowCurrentFile(const std::string&) override {}
  void ShowFilesToProcess(std::uint32_t) override {}
  void StepProgress() override {}
  files::OverwriteAnswer AskOverwrite(const std::string&, const std::string&) override {
    return files::OverwriteAnswer::Skip;
  }
};

}  // namespace testing_support

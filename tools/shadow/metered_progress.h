#pragma once
// The background program's progress line: how many of the handed-over actions are done,
// the time taken and the action under way, passed on to the printed progress as well.

#include <cstdint>
#include <mutex>
#include <string>

#include "files/action_engine.h"
#include "progress_line.h"

namespace shadow {

class MeteredProgress final : public files::ActionProgress {
 public:
  MeteredProgress(files::ActionProgress& next, tools::ProgressLine& line, std::uint32_t total)
      : next_(next), line_(line), total_(total), remaining_(total) {}

  void ShowAction(const std::string& text) override;
  void ShowCurrentFile(const std::string& path) override;
  void ShowFilesToProcess(std::uint32_t count) override;
  void StepProgress() override { next_.StepProgress(); }
  files::OverwriteAnswer AskOverwrite(const std::string& existingPath,
                                      const std::string& replacementPath) override {
    return next_.AskOverwrite(existingPath, replacementPath);
  }
  void RefillList() override { next_.RefillList(); }
  void RunStopped(std::uint32_t pending) override { next_.RunStopped(pending); }

  // Puts the latest figures on the line; safe from the ticker's thread.
  void Refresh();

 private:
  files::ActionProgress& next_;
  tools::ProgressLine& line_;
  const std::uint32_t total_;
  std::mutex mutex_;
  std::uint32_t remaining_;
  std::string action_;
  std::string current_;
};

}  // namespace shadow

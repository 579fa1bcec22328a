#include "metered_progress.h"

#include <algorithm>

#include "progress_text.h"

namespace shadow {

void MeteredProgress::ShowAction(const std::string& text) {
  next_.ShowAction(text);
  const std::lock_guard lock(mutex_);
  action_ = text;
}

void MeteredProgress::ShowCurrentFile(const std::string& path) {
  next_.ShowCurrentFile(path);
  {
    const std::lock_guard lock(mutex_);
    current_ = action_ + " " + path;
  }
  Refresh();
  line_.Tick();
}

void MeteredProgress::ShowFilesToProcess(std::uint32_t count) {
  next_.ShowFilesToProcess(count);
  const std::lock_guard lock(mutex_);
  remaining_ = count;
}

void MeteredProgress::Refresh() {
  if (!line_.Enabled()) return;
  const std::lock_guard lock(mutex_);
  const std::uint32_t done = total_ - std::min(remaining_, total_);
  line_.Show(tools::ActionProgressText(done, total_, line_.Elapsed(), current_));
}

}  // namespace shadow

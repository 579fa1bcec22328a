#pragma once
// ExecutedAtLeastOneTime says that the default databases have been made; they live in the
// drive table of the state folder, so the mark lives there too, as a file beside it, and
// holds for every user of that folder. The other options stay the user's own.

#include <string>

#include "shell/options.h"

namespace shell {

inline constexpr const char* kFirstRunMarkerFile = "ExecutedAtLeastOneTime";

class StateFolderOptions final : public OptionStore {
 public:
  // `honourUserMark`: a per-user folder, where a mark in the user's own options (as
  // earlier versions kept it) still counts, so that nobody gets the databases twice. A
  // machine-wide folder ignores it: one user's first run says nothing of the machine's.
  // No folder (a window under test): the mark stays in the user's options.
  StateFolderOptions(OptionStore& userOptions, std::string stateDir, bool honourUserMark);

  std::string Read(const std::string& name) override;
  void Write(const std::string& name, const std::string& value) override;

 private:
  std::string MarkerPath() const;

  OptionStore& userOptions_;
  std::string stateDir_;
  bool honourUserMark_;
};

}  // namespace shell

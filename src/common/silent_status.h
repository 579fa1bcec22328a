#pragma once
// A status sink that shows nothing: for work run where no one watches its progress
// (the command-line tools, and tests that do not look at it).

#include <string>

#include "common/status_sink.h"

namespace common {

class SilentStatus : public StatusSink {
 public:
  void ShowStatus(const std::string&) override {}
};

}  // namespace common

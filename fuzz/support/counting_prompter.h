#pragma once
// A user who answers every message with OK, counted so a target can tell whether the
// input made the program speak up.

#include "common/prompter.h"

namespace fuzz_support {

class CountingPrompter : public common::Prompter {
 public:
  common::Answer Ask(const common::Message&) override {
    ++asked;
    return common::Answer::Ok;
  }
  int asked = 0;
};

}  // namespace fuzz_support

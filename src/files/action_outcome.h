#pragma once
// What became of each action of a run, and the words that sum it up at its end. An
// action that did not happen (it failed, or its file was skipped) stays selected with
// its hint, so the list keeps telling what is still to be done.

#include <cstdint>
#include <string>

namespace files {

enum class ActionOutcome { Done, Skipped, Failed };

class ActionTally {
 public:
  void Count(ActionOutcome outcome);
  std::uint32_t Done() const { return done_; }
  std::uint32_t Skipped() const { return skipped_; }
  std::uint32_t Failed() const { return failed_; }
  bool AllDone() const { return skipped_ == 0 && failed_ == 0; }
  // "2 action(s) done, 1 failed, 1 skipped. ..."; meant for a run where not all were done.
  std::string Summary() const;

 private:
  std::uint32_t done_ = 0;
  std::uint32_t skipped_ = 0;
  std::uint32_t failed_ = 0;
};

}  // namespace files

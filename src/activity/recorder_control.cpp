#include "activity/recorder_control.h"

#include "platform/system.h"

namespace activity {

platform::RecorderReply SendControl(platform::System& system, std::uint32_t code) {
  // No answer is not an error: without a recorder the files are simply used directly.
  return system.SendRecorderControl(code);
}

std::string MembersOnlyNote(const std::string& user) {
  return "File activity is kept for members of the group norvex only; an administrator adds "
         "you with: sudo adduser " +
         (user.empty() ? std::string("USER") : user) + " norvex (effective at your next login).";
}

RecorderHold::RecorderHold(platform::System& system)
    : system_(system), refused_(SendControl(system_, IOCTL_RECORDER_HOLD) == platform::RecorderReply::Refused) {}

RecorderHold::~RecorderHold() {
  if (!refused_) SendControl(system_, IOCTL_RECORDER_RELEASE);
}

}  // namespace activity

#include "activity/recorder_control.h"

#include "platform/system.h"

namespace activity {

void SendControl(platform::System& system, std::uint32_t code) {
  // The answer is deliberately ignored: without a recorder the files are simply used
  // directly.
  (void)system.SendRecorderControl(code);
}

RecorderHold::RecorderHold(platform::System& system) : system_(system) {
  SendControl(system_, IOCTL_RECORDER_HOLD);
}

RecorderHold::~RecorderHold() { SendControl(system_, IOCTL_RECORDER_RELEASE); }

}  // namespace activity

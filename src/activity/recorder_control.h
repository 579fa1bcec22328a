#pragma once
// The two controls that borrow the database files from the activity recorder: hold
// before the program opens the drive table or any access or name table, release once it
// is done with them.

#include <cstdint>
#include <string>

#include "platform/recorder_channel.h"

namespace platform { class System; }

namespace activity {

inline constexpr std::uint32_t IOCTL_RECORDER_HOLD = 0x12345678;
inline constexpr std::uint32_t IOCTL_RECORDER_RELEASE = 0x87654321;

// Sends one control and tells how it was answered. A recorder that is not running is not
// an error: nothing happens and nothing is reported. A refusal means this user may not
// touch the recorder's files at all.
platform::RecorderReply SendControl(platform::System& system, std::uint32_t code);

// What a user the recorder refuses is told: the machine keeps activity for one group,
// and how an administrator adds `user` to it.
std::string MembersOnlyNote(const std::string& user);

// Holds the recorder for its lifetime (for tools that read the database files and have
// no shutdown of their own to release it).
class RecorderHold {
 public:
  explicit RecorderHold(platform::System& system);
  ~RecorderHold();
  // The recorder turned this user away: its files are not to be opened.
  bool Refused() const { return refused_; }
  RecorderHold(const RecorderHold&) = delete;
  RecorderHold& operator=(const RecorderHold&) = delete;

 private:
  platform::System& system_;
  bool refused_ = false;
};

}  // namespace activity

#pragma once
// The two controls that borrow the database files from the activity recorder: hold
// before the program opens the drive table or any access or name table, release once it
// is done with them.

#include <cstdint>

namespace platform { class System; }

namespace activity {

inline constexpr std::uint32_t IOCTL_RECORDER_HOLD = 0x12345678;
inline constexpr std::uint32_t IOCTL_RECORDER_RELEASE = 0x87654321;

// Sends one control. A recorder that is not running is not an error: nothing happens
// and nothing is reported.
void SendControl(platform::System& system, std::uint32_t code);

// Holds the recorder for its lifetime (for tools that read the database files and have
// no shutdown of their own to release it).
class RecorderHold {
 public:
  explicit RecorderHold(platform::System& system);
  ~RecorderHold();
  RecorderHold(const RecorderHold&) = delete;
  RecorderHold& operator=(const RecorderHold&) = delete;

 private:
  platform::System& system_;
};

}  // namespace activity

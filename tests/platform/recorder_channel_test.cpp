#include "platform/recorder_channel.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/unique_fd.h"
#include "support/temp_drives.h"

namespace platform {
namespace {

// Listens on a socket path and answers `connections` controls, recording their codes.
class TestRecorder {
 public:
  TestRecorder(const std::string& path, int connections, bool reply = true, unsigned char answer = 1) {
    listener_ = UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    EXPECT_EQ(::bind(listener_.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::listen(listener_.Get(), 4), 0);
    thread_ = std::thread([this, connections, reply, answer] {
      for (int i = 0; i < connections; ++i) {
        const UniqueFd client(::accept(listener_.Get(), nullptr, nullptr));
        unsigned char code[4] = {};
        if (!client || ::recv(client.Get(), code, 4, MSG_WAITALL) != 4) return;
        codes_.push_back(code[0] | code[1] << 8 | code[2] << 16 | static_cast<std::uint32_t>(code[3]) << 24);
        if (reply) {
          ::send(client.Get(), &answer, 1, MSG_NOSIGNAL);
        } else {
          unsigned char ignored;
          ::recv(client.Get(), &ignored, 1, 0);  // hold the connection until the client gives up
        }
      }
    });
  }
  ~TestRecorder() { Join(); }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  const std::vector<std::uint32_t>& Codes() const { return codes_; }

 private:
  UniqueFd listener_;
  std::thread thread_;
  std::vector<std::uint32_t> codes_;
};

TEST(RecorderChannel, SendsTheCodeLittleEndianAndWaitsForTheReply) {
  testing_support::TempDrives drives("C");
  TestRecorder recorder(drives.Environment().recorderSocket, 2);
  EXPECT_EQ(drives.System().SendRecorderControl(0x12345678), RecorderReply::Done);
  EXPECT_EQ(drives.System().SendRecorderControl(0x87654321), RecorderReply::Done);
  recorder.Join();
  EXPECT_EQ(recorder.Codes(), (std::vector<std::uint32_t>{0x12345678, 0x87654321}));
}

// A caller the recorder does not serve must learn so, not take it for a missing recorder
// and open the files behind its back.
TEST(RecorderChannel, ARefusalIsToldApartFromNoRecorder) {
  testing_support::TempDrives drives("C");
  TestRecorder recorder(drives.Environment().recorderSocket, 1, true, kRecorderRefused);
  EXPECT_EQ(drives.System().SendRecorderControl(0x12345678), RecorderReply::Refused);
  recorder.Join();
}

TEST(RecorderChannel, NobodyListeningIsAQuickFailure) {
  testing_support::TempDrives drives("C");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(drives.System().SendRecorderControl(0x12345678), RecorderReply::None);
  // A socket file left behind by a recorder that is gone.
  { TestRecorder gone(drives.Environment().recorderSocket, 0); }
  EXPECT_EQ(drives.System().SendRecorderControl(0x12345678), RecorderReply::None);
  // Turned away at once, never by waiting out the reply time.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(platform::kRecorderReplyTimeoutMs));
  EXPECT_FALSE(SendRecorderCode(std::string(200, 'x'), 1));  // too long for a socket address
}

TEST(RecorderChannel, ASilentRecorderTimesOut) {
  testing_support::TempDrives drives("C");
  TestRecorder recorder(drives.Environment().recorderSocket, 1, false);
  EXPECT_FALSE(SendRecorderCode(drives.Environment().recorderSocket, 7, 200));
}

}  // namespace
}  // namespace platform

#pragma once
// The built companion programs as real processes for end-to-end tests: started with a
// pipe on their error output, so a test waits for the line that says they are ready
// (or for their end), never for a while.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/environment.h"

namespace testing_support {

// The path of a tool built beside the test executables ("" when it cannot be told).
inline std::string BuiltTool(const char* name) {
  char self[4096];
  const ssize_t size = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (size <= 0) return {};
  std::string dir(self, static_cast<std::size_t>(size));
  dir = dir.substr(0, dir.rfind('/'));
  return dir.substr(0, dir.rfind('/')) + "/tools/" + name;
}

// The global options that point a tool at a test's drives and recorder socket.
inline std::vector<std::string> GlobalOptions(const platform::Environment& env) {
  return {"--drives", env.drives.ToString(), "--state-dir", env.stateDir,
          "--config-dir", env.configDir, "--recorder", env.recorderSocket};
}

class ToolProcess {
 public:
  ToolProcess() = default;
  ~ToolProcess() { Stop(); }
  ToolProcess(const ToolProcess&) = delete;
  ToolProcess& operator=(const ToolProcess&) = delete;

  // Starts `path` with `args`; its output and error output both come to ReadUntil.
  bool Start(const std::string& path, std::vector<std::string> args) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    args.insert(args.begin(), path);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const bool started = ::posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    output_ = fds[0];
    if (!started) pid_ = -1;
    return started;
  }

  // Reads the output until it holds `text` (true) or ends or `bound` passes (false).
  bool ReadUntil(const std::string& text, std::chrono::milliseconds bound = std::chrono::seconds(30)) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (text_.find(text) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd wait{output_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0) return false;
      char buffer[4096];
      const ssize_t got = ::read(output_, buffer, sizeof buffer);
      if (got <= 0) {
        ended_ = true;
        return false;
      }
      text_.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
  }

  // Waits for the end (within `bound`) and returns the exit status; -1 when it did not
  // end by itself and was stopped.
  int Wait(std::chrono::milliseconds bound = std::chrono::seconds(30)) {
    if (pid_ <= 0) return -1;
    ReadUntil("\x01never printed\x01", bound);  // to the end of its output
    const bool stopped = !ended_;
    if (stopped) ::kill(pid_, SIGTERM);
    int status = 0;
    const bool collected = ::waitpid(pid_, &status, 0) == pid_;
    pid_ = -1;
    if (stopped || !collected || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  }

  // Ends a process that is still running (SIGTERM) and collects it.
  void Stop() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      Wait();
    }
    if (output_ >= 0) ::close(output_);
    output_ = -1;
  }

  const std::string& Output() const { return text_; }
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  bool ended_ = false;  // the output reached its end
  std::string text_;
};

}  // namespace testing_support

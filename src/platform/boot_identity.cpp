#include "platform/boot_identity.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace platform {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<BootIdBytes> ParseBootId(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
  if (text.size() != 36) return std::nullopt;
  BootIdBytes id{};
  std::size_t byte = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (text[i] != '-') return std::nullopt;
      ++i;
      continue;
    }
    const int high = HexValue(text[i]);
    const int low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    id[byte++] = static_cast<std::uint8_t>(high * 16 + low);
    i += 2;
  }
  return id;
}

std::optional<BootIdBytes> ReadBootId() {
  std::ifstream file("/proc/sys/kernel/random/boot_id");
  std::string line;
  if (!std::getline(file, line)) return std::nullopt;
  return ParseBootId(line);
}

std::optional<std::int64_t> ReadBootTime() {
  std::ifstream file("/proc/stat");
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind("btime ", 0) != 0) continue;
    std::istringstream value(line.substr(6));
    std::int64_t seconds = 0;
    if (value >> seconds && seconds > 0) return seconds;
    return std::nullopt;
  }
  return std::nullopt;
}

bool MachineShuttingDown() {
  // Without systemd as the service manager nothing tells; a stop then counts as clean,
  // which covers less, never more.
  if (::access("/run/systemd/system", F_OK) != 0) return false;
  FILE* pipe = ::popen("systemctl is-system-running 2>/dev/null", "r");
  if (pipe == nullptr) return false;
  char answer[64] = {};
  const bool read = std::fgets(answer, sizeof answer, pipe) != nullptr;
  ::pclose(pipe);
  return read && std::string_view(answer).starts_with("stopping");
}

}  // namespace platform

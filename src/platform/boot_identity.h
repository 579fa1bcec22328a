#pragma once
// Which boot of the machine this is, and whether the machine is going down: what tells
// a recorder stopped by a shutdown (the machine was off until the next boot) from one
// stopped while the machine ran on.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

using BootIdBytes = std::array<std::uint8_t, 16>;

// /proc/sys/kernel/random/boot_id: new at every boot. nullopt when unreadable.
std::optional<BootIdBytes> ReadBootId();
// The text form "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" as 16 bytes; nullopt otherwise.
std::optional<BootIdBytes> ParseBootId(std::string_view text);
// The moment the machine booted (btime of /proc/stat), UTC seconds; nullopt when unknown.
std::optional<std::int64_t> ReadBootTime();
// True while the service manager is taking the machine down (systemd: "stopping").
bool MachineShuttingDown();

}  // namespace platform

#pragma once
// The kinds of access the recorder counts, by the code stored as a record's last operation.

#include <cstdint>
#include <optional>
#include <string_view>

#include "activity/drive_record.h"

namespace activity::recorder {

enum class Operation : std::uint8_t { Read = 0, Write = 1, ReadWrite = 2, Execute = 3, Seek = 4 };

// Adds `count` accesses of `operation` at `when` (a local DOS date-time): the operation's
// counter and the total grow (saturating, never wrapping to a small number), and the last
// access and last operation become these.
void Count(AccessRecord& record, Operation operation, std::uint32_t count, std::uint32_t when);

// "read", "write", "rw", "exec", "seek" -> the operation.
std::optional<Operation> OperationNamed(std::string_view name);

}  // namespace activity::recorder

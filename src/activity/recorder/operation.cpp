#include "activity/recorder/operation.h"

#include <limits>

namespace activity::recorder {
namespace {

void Add(std::uint32_t& counter, std::uint32_t count) {
  const std::uint32_t room = std::numeric_limits<std::uint32_t>::max() - counter;
  counter += count < room ? count : room;
}

}  // namespace

void Count(AccessRecord& record, Operation operation, std::uint32_t count, std::uint32_t when) {
  if (count == 0) return;
  switch (operation) {
    case Operation::Read: Add(record.readOnly, count); break;
    case Operation::Write: Add(record.writeOnly, count); break;
    case Operation::ReadWrite: Add(record.readWrite, count); break;
    case Operation::Execute: Add(record.execute, count); break;
    case Operation::Seek: Add(record.seek, count); break;
  }
  Add(record.total, count);
  record.lastAccess = when;
  record.lastOperation = static_cast<std::uint8_t>(operation);
}

std::optional<Operation> OperationNamed(std::string_view name) {
  if (name == "read") return Operation::Read;
  if (name == "write") return Operation::Write;
  if (name == "rw") return Operation::ReadWrite;
  if (name == "exec") return Operation::Execute;
  if (name == "seek") return Operation::Seek;
  return std::nullopt;
}

}  // namespace activity::recorder

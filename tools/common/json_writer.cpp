#include "json_writer.h"

#include <cstdio>
#include <ostream>

#include "platform/dos_time.h"
#include "scan/scan_export.h"

namespace tools {

JsonWriter::~JsonWriter() { out_ << '\n'; }

JsonWriter& JsonWriter::Document(std::string_view format, int version) {
  return Object().Member("format", format).Member("version", version);
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  BeforeValue();
  out_ << scan::JsonString(key) << ':';
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::Object() {
  BeforeValue();
  out_ << '{';
  open_.push_back({'}', false});
  return *this;
}

JsonWriter& JsonWriter::Array() {
  BeforeValue();
  out_ << '[';
  open_.push_back({']', false});
  return *this;
}

JsonWriter& JsonWriter::End() {
  out_ << open_.back().closer;
  open_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view value) {
  BeforeValue();
  out_ << scan::JsonString(value);
  return *this;
}

JsonWriter& JsonWriter::Unsigned(std::uint64_t value) {
  BeforeValue();
  out_ << value;
  return *this;
}

JsonWriter& JsonWriter::Double(double value) {
  BeforeValue();
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  out_ << text;
  return *this;
}

JsonWriter& JsonWriter::Signed(std::int64_t value) {
  BeforeValue();
  out_ << value;
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ << (value ? "true" : "false");
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  out_ << "null";
  return *this;
}

JsonWriter& JsonWriter::MemberOrNull(std::string_view key, const std::optional<std::string>& value) {
  Key(key);
  return value ? String(*value) : Null();
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (open_.empty()) return;
  if (open_.back().hasItems) out_ << ',';
  open_.back().hasItems = true;
}

std::optional<std::string> DosDateTimeText(std::uint32_t dosDateTime) {
  if (dosDateTime == 0 || !platform::DosDateTimeToFileTime(dosDateTime)) return std::nullopt;
  return platform::FormatSystemTime(platform::UnpackDosDateTime(dosDateTime), "%Y-%m-%d %H:%M:%S");
}

}  // namespace tools

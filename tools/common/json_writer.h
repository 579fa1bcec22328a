#pragma once
// Writes one JSON document for the tools' --json outputs, putting the commas and
// escaping strings (host bytes that are not UTF-8 as \udcXX, as the scan's JSON does).
//
// Every document starts {"format": NAME, "version": N, ...}: a reader checks both before
// it trusts the rest.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string_view>
#include <vector>

namespace tools {

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}
  ~JsonWriter();  // ends the line after the document

  // {"format": format, "version": version — the caller adds members and calls End().
  JsonWriter& Document(std::string_view format, int version);

  JsonWriter& Key(std::string_view key);  // the next value is this member's
  JsonWriter& Object();
  JsonWriter& Array();
  JsonWriter& End();  // closes the innermost object or array

  JsonWriter& String(std::string_view value);
  JsonWriter& Unsigned(std::uint64_t value);
  JsonWriter& Signed(std::int64_t value);
  // Finite values only, with enough digits to read back the same double.
  JsonWriter& Double(double value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

  // Members in one call.
  JsonWriter& Member(std::string_view key, std::string_view value) { return Key(key).String(value); }
  JsonWriter& Member(std::string_view key, const char* value) { return Key(key).String(value); }
  JsonWriter& Member(std::string_view key, std::uint64_t value) { return Key(key).Unsigned(value); }
  JsonWriter& Member(std::string_view key, std::uint32_t value) { return Key(key).Unsigned(value); }
  JsonWriter& Member(std::string_view key, int value) { return Key(key).Signed(value); }
  JsonWriter& Member(std::string_view key, bool value) { return Key(key).Bool(value); }
  JsonWriter& MemberOrNull(std::string_view key, const std::optional<std::string>& value);

 private:
  void BeforeValue();

  std::ostream& out_;
  struct Open {
    char closer;     // '}' or ']'
    bool hasItems;
  };
  std::vector<Open> open_;  // the objects and arrays not yet ended, outermost first
  bool afterKey_ = false;
};

// A DOS date-time (the fields as stored, no time zone) as "YYYY-MM-DD HH:MM:SS";
// nullopt for 0 (never) and for values that are no date.
std::optional<std::string> DosDateTimeText(std::uint32_t dosDateTime);

}  // namespace tools

// Dates and times as they come from files and the clock: DOS date-times read from the
// access tables and drive records, file times, epoch seconds and command-line moments.
// Any value converts without fault; a value one function accepts comes back from its
// inverse unchanged; formatting any fields with any format stays in bounds.

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/dos_time.h"
#include "support/fuzz_check.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A zone with daylight saving, so that the local conversions meet skipped and repeated hours.
  ::setenv("TZ", "Europe/Berlin", 1);
  ::tzset();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace platform;
  fuzz_support::Input input(data, size);
  const std::uint32_t dos = input.U32();
  const FileTime fileTime = input.U64();
  const auto epoch = static_cast<std::int64_t>(input.U64());
  SystemTime fields;
  fields.year = input.U16();
  fields.month = input.U16();
  fields.dayOfWeek = input.U16();
  fields.day = input.U16();
  fields.hour = input.U16();
  fields.minute = input.U16();
  fields.second = input.U16();
  fields.milliseconds = input.U16();
  const std::string text(input.Rest());

  // A stored DOS date-time: an impossible one is refused, a possible one round-trips.
  const SystemTime unpacked = UnpackDosDateTime(dos);
  if (const auto asFileTime = DosDateTimeToFileTime(dos)) {
    FUZZ_CHECK(FileTimeToDosDateTime(*asFileTime) == dos);
    FUZZ_CHECK(PackDosDateTime(unpacked) == dos);
    const auto local = EpochFromLocalDosDateTime(dos);
    const auto utc = EpochFromUtcDosDateTime(dos);
    FUZZ_CHECK(utc.has_value());
    if (local) FUZZ_CHECK(std::llabs(*local - *utc) <= 24 * 3600);
  }

  // File times: fields to the millisecond and back (the last file times, in 30828, have
  // fields beyond what a time may be set to).
  if (const auto asFields = FileTimeToSystemTime(fileTime)) {
    FUZZ_CHECK(asFields->month >= 1 && asFields->month <= 12 && asFields->hour < 24);
    if (IsValidSystemTime(*asFields)) {
      FUZZ_CHECK(SystemTimeToFileTime(*asFields) == fileTime - fileTime % 10'000);
    }
    if (const auto local = FileTimeToLocalFileTime(fileTime)) LocalFileTimeToFileTime(*local);
  }
  FileTimeToDosDateTime(fileTime);

  // Epoch seconds: within the years the fields hold (1601-30827), and so a file time,
  // they come back unchanged.
  constexpr std::int64_t k1601 = -11644473600LL;
  constexpr std::int64_t kEndOf30827 = 910670515199LL;
  const SystemTime utcFields = SystemTimeFromEpoch(epoch);
  if (epoch >= k1601 && epoch <= kEndOf30827) {
    FUZZ_CHECK(EpochFromSystemTime(utcFields) == epoch);
    FUZZ_CHECK(EpochFromFileTime(FileTimeFromEpoch(epoch)) == epoch);
  }
  DosDateTimeFromUtc(epoch);
  DosDateTimeFromLocal(epoch);
  LocalSystemTimeFromEpoch(epoch);

  // Any fields: packing clamps, checking refuses, formatting stays in bounds.
  PackDosDateTime(fields);
  if (const auto asFileTime = SystemTimeToFileTime(fields)) {
    FUZZ_CHECK(IsValidSystemTime(fields));
    FUZZ_CHECK(FileTimeToSystemTime(*asFileTime).has_value());
  }
  FormatSystemTime(fields, text);
  FormatSystemTime(unpacked, text);

  // A command-line moment: what parses writes back as the same moment (seconds even).
  if (const auto moment = ParseDosDateTime(text)) {
    const SystemTime parsed = UnpackDosDateTime(*moment);
    FUZZ_CHECK(DosDateTimeToFileTime(*moment).has_value());
    FUZZ_CHECK(ParseDosDateTime(FormatSystemTime(parsed, "%Y-%m-%d %H:%M:%S")) == *moment);
  }
  return 0;
}

#include "activity/coverage.h"

#include <gtest/gtest.h>

#include <random>

#include "activity/coverage_file.h"

namespace {

using activity::BootId;
using activity::CoverageOf;
using activity::CoveragePeriod;
using activity::PeriodEnd;

constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 24 * kHour;
constexpr std::int64_t kT0 = 1'700'000'000;

BootId Boot(std::uint8_t n) { return BootId{n, 1, 2, 3}; }

CoveragePeriod Period(std::int64_t start, std::int64_t lastSeen, PeriodEnd end = PeriodEnd::CleanStop,
                      BootId boot = Boot(1), std::int64_t bootTime = 0) {
  return {start, lastSeen, bootTime, boot, end};
}

TEST(CoverageOf, CountsEachMomentOnceAndOnlyInsideTheWindow) {
  const std::vector<CoveragePeriod> periods = {Period(kT0, kT0 + 2 * kDay), Period(kT0 + 3 * kDay, kT0 + 5 * kDay)};
  EXPECT_EQ(CoverageOf(periods, kT0, kT0 + 5 * kDay).covered, 4 * kDay);
  EXPECT_EQ(CoverageOf(periods, kT0 + kDay, kT0 + 4 * kDay).covered, 2 * kDay);
  EXPECT_FALSE(CoverageOf(periods, kT0, kT0 + 5 * kDay).Enough()) << "a day's hole";
  // A clock set back makes stretches overlap: they must not add up beyond the window.
  const std::vector<CoveragePeriod> overlapping = {Period(kT0, kT0 + 4 * kDay), Period(kT0 + kDay, kT0 + 3 * kDay)};
  EXPECT_EQ(CoverageOf(overlapping, kT0, kT0 + 4 * kDay).covered, 4 * kDay);
  EXPECT_EQ(CoverageOf({}, kT0, kT0 + kDay).covered, 0);
  EXPECT_EQ(CoverageOf(periods, kT0 + kDay, kT0).length, 0);
}

TEST(CoverageOf, ToleratesFifteenUncoveredMinutes) {
  const std::vector<CoveragePeriod> periods = {Period(kT0, kT0 + kDay)};
  EXPECT_TRUE(CoverageOf(periods, kT0, kT0 + kDay + 15 * 60).Enough());
  EXPECT_FALSE(CoverageOf(periods, kT0, kT0 + kDay + 15 * 60 + 1).Enough());
}

// The machine was off between a shutdown and the next boot; it ran without the recorder
// after a clean stop, after an unknown end, and when the boot id did not change.
TEST(CoverageOf, BridgesOnlyTheTimeTheMachineWasOff) {
  const std::int64_t boot = kT0 + 3 * kDay;
  const auto next = [&](BootId id, std::int64_t start) {
    return Period(start, boot + 5 * kDay, PeriodEnd::Unknown, id, boot);
  };
  const auto covered = [&](PeriodEnd end, BootId nextBoot, std::int64_t nextStart) {
    const std::vector<CoveragePeriod> periods = {Period(kT0, kT0 + kDay, end, Boot(1), kT0 - 60),
                                                 next(nextBoot, nextStart)};
    return CoverageOf(periods, kT0, boot + 5 * kDay).covered;
  };
  const std::int64_t whole = 8 * kDay;
  EXPECT_EQ(covered(PeriodEnd::Shutdown, Boot(2), boot + 120), whole);
  EXPECT_EQ(covered(PeriodEnd::CleanStop, Boot(2), boot + 120), whole - 2 * kDay);
  EXPECT_EQ(covered(PeriodEnd::Unknown, Boot(2), boot + 120), whole - 2 * kDay);
  EXPECT_EQ(covered(PeriodEnd::Shutdown, Boot(1), boot + 120), whole - 2 * kDay) << "boot id repeats";
  EXPECT_EQ(covered(PeriodEnd::Shutdown, BootId{}, boot + 120), whole - 2 * kDay) << "boot unknown";
  // Started an hour after its boot: the machine ran that hour, and was maybe on before.
  EXPECT_EQ(covered(PeriodEnd::Shutdown, Boot(2), boot + kHour), whole - 2 * kDay - kHour);
}

std::vector<CoveragePeriod> TwoPeriods() {
  return {Period(kT0, kT0 + kDay, PeriodEnd::Shutdown, Boot(1), kT0 - 30),
          Period(kT0 + 2 * kDay, kT0 + 3 * kDay, PeriodEnd::Unknown, Boot(2), kT0 + 2 * kDay - 40)};
}

TEST(CoverageFile, RoundTripsAndRefusesDamage) {
  const std::int64_t now = kT0 + 3 * kDay;
  std::string damage;
  const auto bytes = activity::SerializeCoverage(TwoPeriods());
  ASSERT_EQ(bytes.size(), 16u + 2 * 48 + 4);
  const auto parsed = activity::ParseCoverage(bytes, now, &damage);
  ASSERT_TRUE(parsed) << damage;
  EXPECT_EQ(*parsed, TwoPeriods());

  auto truncated = bytes;
  truncated.resize(bytes.size() - 1);
  EXPECT_FALSE(activity::ParseCoverage(truncated, now, &damage));
  auto flipped = bytes;
  flipped[20] ^= 1;
  EXPECT_FALSE(activity::ParseCoverage(flipped, now, &damage));
  EXPECT_EQ(damage, "its checksum is wrong");
  std::mt19937 random(7);
  std::vector<std::uint8_t> noise(bytes.size());
  for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
  EXPECT_FALSE(activity::ParseCoverage(noise, now, &damage));

  auto reversed = TwoPeriods();
  std::swap(reversed[0], reversed[1]);
  EXPECT_FALSE(activity::ParseCoverage(activity::SerializeCoverage(reversed), now, &damage));
  EXPECT_EQ(damage, "period 2 is out of order");
  EXPECT_FALSE(activity::ParseCoverage(bytes, now - kDay, &damage));
  EXPECT_EQ(damage, "period 2 lies in the future");
}

}  // namespace

#include "activity/recorder/coverage_log.h"

#include "platform/system.h"

namespace activity::recorder {
namespace {

std::size_t DriveIndex(char drive) { return static_cast<std::size_t>(drive - 'A'); }

}  // namespace

CoverageLog::CoverageLog(platform::System& system, Machine machine) : system_(system), machine_(machine) {}

void CoverageLog::Open(const std::vector<WatchedDatabase>& databases, std::int64_t now,
                       std::vector<std::string>* warnings) {
  drives_ = {};
  for (const WatchedDatabase& database : databases) OpenDrive(database, now, warnings);
  // A drive no longer recorded starts a new period when it comes back.
  for (std::size_t slot = 0; slot < drives_.size(); ++slot) {
    if (!drives_[slot]) started_[slot].reset();
  }
}

void CoverageLog::OpenDrive(const WatchedDatabase& database, std::int64_t now, std::vector<std::string>* warnings) {
  const std::size_t slot = DriveIndex(database.drive);
  CoverageLoad load = LoadCoverage(system_, database.location, database.drive, now);
  Drive drive;
  drive.location = database.location;
  if (load.state == CoverageLoad::State::Damaged) {
    const std::string path = CoverageFilePath(database.location, database.drive);
    const std::string aside = DamagedCoveragePath(database.location, database.drive);
    if (system_.FileExists(aside) || !system_.MoveFile(path, aside)) {
      warnings->push_back(path + " is damaged (" + load.damage + ") and cannot be kept aside as " + aside +
                          ": no coverage is recorded for " + database.drive + ": until one of them is removed");
      started_[slot].reset();
      return;
    }
    warnings->push_back(path + " is damaged (" + load.damage + "); kept aside as " + aside +
                        ", coverage of " + database.drive + ": starts afresh");
  }
  drive.periods = std::move(load.periods);
  drive.blind = database.blind;
  auto& last = drive.periods;
  const bool ours = started_[slot] && !last.empty() && last.back().start == *started_[slot] &&
                    last.back().bootId == machine_.bootId && last.back().end == PeriodEnd::Unknown;
  drive.recording = ours && last.back().blind == database.blind;
  // Seeing the drive otherwise than before (a mount that came or went) ends that period.
  if (ours && !drive.recording) last.back().end = PeriodEnd::CleanStop;
  drives_[slot] = std::move(drive);
  if (!drives_[slot]->recording) Begin(slot, now);
}

void CoverageLog::Begin(std::size_t slot, std::int64_t now) {
  Drive& drive = *drives_[slot];
  started_[slot].reset();
  // A clock behind the file's last moment would put the period out of order: it opens
  // once the clock has caught up.
  if (!drive.periods.empty() && now < drive.periods.back().lastSeen) return;
  const std::int64_t bootTime = machine_.bootTime <= now ? machine_.bootTime : 0;
  drive.periods.push_back({now, now, bootTime, machine_.bootId, PeriodEnd::Unknown, drive.blind});
  drive.recording = true;
  started_[slot] = now;
}

bool CoverageLog::Flush(std::int64_t now, std::string* error) {
  bool written = true;
  for (std::size_t slot = 0; slot < drives_.size(); ++slot) {
    if (!drives_[slot]) continue;
    Drive& drive = *drives_[slot];
    if (!drive.recording) Begin(slot, now);
    if (!drive.recording) continue;
    CoveragePeriod& period = drive.periods.back();
    if (now > period.lastSeen) period.lastSeen = now;
    const char letter = static_cast<char>('A' + slot);
    if (!SaveCoverage(system_, drive.location, letter, drive.periods)) {
      *error = "could not write " + CoverageFilePath(drive.location, letter);
      written = false;
    }
  }
  return written;
}

bool CoverageLog::Suspend(std::int64_t now, std::string* error) {
  const bool written = Flush(now, error);
  drives_ = {};
  return written;
}

bool CoverageLog::End(PeriodEnd end, std::int64_t now, std::string* error) {
  for (std::optional<Drive>& drive : drives_) {
    if (drive && !drive->recording) drive.reset();  // nothing of ours to end
    if (drive) drive->periods.back().end = end;
  }
  const bool written = Flush(now, error);
  drives_ = {};
  started_ = {};
  return written;
}

}  // namespace activity::recorder

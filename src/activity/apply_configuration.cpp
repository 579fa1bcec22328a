#include "activity/apply_configuration.h"

#include <string>

#include "activity/access_tables.h"
#include "activity/coverage_file.h"
#include "activity/database_files.h"
#include "activity/drive_table.h"
#include "activity/record_drives.h"
#include "platform/system.h"
#include "common/prompter.h"

namespace activity {
namespace {

using common::Answer;

bool StoresNames(const DriveRecord& record) { return record.namesState != -1; }

std::string AccessTableOf(const DriveRecord& record) {
  return AccessTablePath(DriveLetter(record.location), DriveLetter(record.drive));
}
std::string NameTableOf(const DriveRecord& record) {
  return NameTablePath(DriveLetter(record.location), DriveLetter(record.drive));
}

std::string CoverageOf(const DriveRecord& record) {
  return CoverageFilePath(DriveLetter(record.location), DriveLetter(record.drive));
}

// The coverage goes with the counts it vouches for: an emptied or removed database
// was recorded by nobody.
void DeleteFilesOf(platform::System& system, const DriveRecord& record) {
  system.DeleteFile(AccessTableOf(record));
  system.DeleteFile(NameTableOf(record));
  system.DeleteFile(CoverageOf(record));
}

// Abort, Retry, Ignore with Retry as default: true when the user wants another try.
bool AskRetry(common::Prompter& prompter, std::string text) {
  const Answer answer = prompter.Ask(
      {std::move(text), common::Buttons::AbortRetryIgnore, common::Icon::Stop, Answer::Retry});
  return answer == Answer::Retry;
}

// Creates until it works or the user gives up.
bool CreateWithRetry(platform::System& system, common::Prompter& prompter, const std::string& path,
                     std::uint64_t size, char drive) {
  while (!CreateZeroFilledFile(system, path, size)) {
    if (!AskRetry(prompter, kCreateFailureHead + std::string(1, drive) + kCreateFailureTail)) {
      return false;
    }
  }
  return true;
}

class Applier {
 public:
  Applier(DriveTable& table, platform::System& system, common::Prompter& prompter)
      : table_(table), system_(system), prompter_(prompter) {}

  void Run() {
    std::vector<DriveRecord>& records = table_.NewState();
    for (std::size_t i = 0; i < records.size();) {
      if (ApplyRecord(i)) ++i;  // else the record at i was removed; process its successor
    }
    RemoveDropped();
  }

 private:
  // False when record i was removed from the new state.
  bool ApplyRecord(std::size_t i) {
    DriveRecord& record = table_.NewState()[i];
    const int oldIndex = table_.Find(record.drive, TableState::Old);
    const DriveRecord* old = oldIndex < 0 ? nullptr : &table_.OldState()[static_cast<std::size_t>(oldIndex)];
    // A record whose drives stood for other filesystems stays as it was, files and all.
    if (RecordDriveChange(system_, record) || (old != nullptr && RecordDriveChange(system_, *old))) {
      if (old == nullptr) {
        Remove(i);
        return false;
      }
      record = *old;
      return true;
    }
    if (old == nullptr) return Create(i);
    return ApplyChange(record, *old, i);
  }

  bool ApplyChange(DriveRecord& record, const DriveRecord& old, std::size_t i) {
    if (SameShape(record, old)) {
      if (record.location != old.location) Move(record, old);
      return true;
    }
    const std::string question = kResizeQuestionHead + std::string(1, DriveLetter(record.drive)) +
                                 kResizeQuestionTail;
    if (prompter_.Ask({question, common::Buttons::YesNo, common::Icon::Question, Answer::Ok}) !=
        Answer::Yes) {
      record = old;
      return true;
    }
    if (record.namesState != -1) record.namesState = 0;
    record.recordsInUse = 0;
    DeleteFilesOf(system_, old);
    return Create(i);
  }

  bool Create(std::size_t i) {
    const DriveRecord record = table_.NewState()[i];
    const char drive = DriveLetter(record.drive);
    const std::uint64_t capacity = record.Capacity();
    const std::string accessTable = AccessTableOf(record);
    // A new database has recorded nothing yet, whatever an old file there says.
    system_.DeleteFile(CoverageOf(record));
    if (!CreateWithRetry(system_, prompter_, accessTable, capacity * kAccessRecordSize, drive)) {
      Remove(i);
      return false;
    }
    if (StoresNames(record) &&
        !CreateWithRetry(system_, prompter_, NameTableOf(record),
                         std::uint64_t{record.maxNameSize} * capacity, drive)) {
      system_.DeleteFile(accessTable);
      Remove(i);
      return false;
    }
    return true;
  }

  void Move(DriveRecord& record, const DriveRecord& old) {
    const std::string newAccess = AccessTableOf(record);
    const std::string newNames = NameTableOf(record);
    const std::string newCoverage = CoverageOf(record);
    for (;;) {
      // The counts keep their coverage where they go; a database never recorded has none
      // to carry, and must not find a stale one at its new place.
      system_.DeleteFile(newCoverage);
      const bool copied = system_.CopyFile(AccessTableOf(old), newAccess, false) &&
                          (!StoresNames(record) || system_.CopyFile(NameTableOf(old), newNames, false)) &&
                          (!system_.FileExists(CoverageOf(old)) || system_.CopyFile(CoverageOf(old), newCoverage, false));
      if (copied) break;
      const std::string text = kMoveFailureHead + std::string(1, DriveLetter(record.drive)) +
                               kMoveFailureFrom + std::string(1, DriveLetter(old.location)) +
                               kMoveFailureTo + std::string(1, DriveLetter(record.location)) +
                               kMoveFailureTail;
      if (!AskRetry(prompter_, text)) {
        system_.DeleteFile(newAccess);
        system_.DeleteFile(newNames);
        system_.DeleteFile(newCoverage);
        record = old;
        return;
      }
    }
    DeleteFilesOf(system_, old);
  }

  void Remove(std::size_t i) {
    std::vector<DriveRecord>& records = table_.NewState();
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(i));
  }

  // Databases the new state no longer has.
  void RemoveDropped() {
    for (const DriveRecord& old : table_.OldState()) {
      if (table_.Find(old.drive, TableState::New) < 0 && !RecordDriveChange(system_, old)) DeleteFilesOf(system_, old);
    }
  }

  DriveTable& table_;
  platform::System& system_;
  common::Prompter& prompter_;
};

}  // namespace

void ApplyConfiguration(DriveTable& table, platform::System& system, common::Prompter& prompter) {
  Applier(table, system, prompter).Run();
  table.AcceptNewState();
}

}  // namespace activity

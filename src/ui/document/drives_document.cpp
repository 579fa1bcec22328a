#include "ui/document/drives_document.h"

#include <string>

#include "platform/system.h"
#include "ui/document/throttled_status_sink.h"

namespace ui {

DrivesDocument::DrivesDocument(const platform::System& system, activity::AppState& state,
                               common::StatusSink& status)
    : system_(system), scanStatus_(std::make_unique<ThrottledStatusSink>(status)) {
  scanner_ = std::make_unique<scan::ScanController>(
      system, state, *scanStatus_, static_cast<scan::ScanEvents&>(*this), [this](std::function<void()> call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
      });
}

DrivesDocument::~DrivesDocument() {
  scanner_.reset();  // joins the workers while the records still exist
}

void DrivesDocument::ShowFolder(scan::CFolderInfo* folder) {
  current_ = folder;
  emit folderShown(folder);
}

void DrivesDocument::ScanStarted(scan::CFolderInfo& record) {
  // The records below `record` go when the scan hands its own over.
  for (const scan::CFolderInfo* above = current_ == nullptr ? nullptr : current_->Parent(); above != nullptr;
       above = above->Parent()) {
    if (above == &record) {
      current_ = &record;
      break;
    }
  }
  emit scanStarted(&record);
}

void DrivesDocument::ReadDrives() {
  current_ = nullptr;
  driveList_.Clear();
  for (const platform::MappedDrive& drive : system_.Drives().All()) {
    driveList_.AddEntry({.source = scan::kSourceDrive, .name = std::string(1, drive.letter) + ':',
                         .kind = scan::kKindFolder});
  }
}

}  // namespace ui

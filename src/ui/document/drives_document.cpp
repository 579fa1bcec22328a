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

void DrivesDocument::ReadDrives() {
  driveList_.Clear();
  for (const platform::MappedDrive& drive : system_.Drives().All()) {
    driveList_.AddEntry({.source = scan::kSourceDrive, .name = std::string(1, drive.letter) + ':',
                         .kind = scan::kKindFolder});
  }
}

}  // namespace ui

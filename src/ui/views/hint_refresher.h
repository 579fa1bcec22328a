#pragma once
// Refreshes the hints of every scanned drive a short slice at a time between the
// window's events, holding the records in place until the last hint is written.

#include <QObject>
#include <QTimer>
#include <memory>

#include "scan/scan_controller.h"

namespace activity { struct AppState; }
namespace files { class HintRefresh; }
namespace platform { class System; }

namespace ui {

class HintRefresher : public QObject {
  Q_OBJECT

 public:
  // `state`, `system` and `scanner` outlive the refresher.
  HintRefresher(const activity::AppState& state, const platform::System& system, scan::ScanController& scanner,
                QObject* parent = nullptr);
  ~HintRefresher() override;

  // Starts over on the drives below `driveList`; a refresh under way is dropped.
  void Start(scan::CFolderInfo& driveList);
  // Writes the hints still left at once: what runs next sees all of them.
  void Finish();
  bool Running() const { return refresh_ != nullptr; }

 signals:
  void finished();

 private:
  void Slice();
  void End();

  const activity::AppState& state_;
  const platform::System& system_;
  scan::ScanController& scanner_;
  std::unique_ptr<files::HintRefresh> refresh_;
  scan::RecordsHold hold_;
  QTimer slices_;
};

}  // namespace ui

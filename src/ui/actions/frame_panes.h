#pragma once
// The action commands' panes in the main frame: the Files list, the folders tree and
// the drives' document they show.

#include <QPointer>

#include "ui/actions/action_panes.h"

namespace ui {

class CDriveTree;
class CFilesList;
class DrivesDocument;

class FramePanes : public ActionPanes {
 public:
  // `document` outlives this object.
  FramePanes(CFilesList& list, CDriveTree& tree, DrivesDocument& document);

  scan::CFolderInfo* ShownFolder() override;
  std::vector<std::uint32_t> SelectedEntries() const override;
  void ActionChanged(std::uint32_t) override { changed_ = true; }
  void CommandEnded() override;
  QStringList DriveTexts() const override;
  bool NeedsFullScan(const std::string& name) override;
  bool StartFullScan(const std::string& name) override;
  void WhenScanClosed(std::function<void()> call) override;
  scan::RecordsHold HoldRecords() override;

 private:
  QPointer<CFilesList> list_;
  QPointer<CDriveTree> tree_;
  DrivesDocument& document_;
  bool changed_ = false;
};

}  // namespace ui

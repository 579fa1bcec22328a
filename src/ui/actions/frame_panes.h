#pragma once
// The action commands' panes in the main frame: the Files list, the folders tree and
// the drives' document they show.

#include <QPointer>

#include "ui/actions/action_panes.h"
#include "ui/actions/tree_scan_hook.h"

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
  files::FolderScanHook& Scans() override { return scans_; }
  scan::RecordsHold HoldRecords() override;

 private:
  QPointer<CFilesList> list_;
  QPointer<CDriveTree> tree_;
  DrivesDocument& document_;
  TreeScanHook scans_;
  bool changed_ = false;
};

}  // namespace ui

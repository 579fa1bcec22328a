#pragma once
// The action commands joined to the frame's two panes.

#include <QObject>
#include <memory>

#include "ui/app/shell_context.h"

namespace ui {

class CDriveTree;
class CFilesList;
class ListSelectionView;
class SelectionCommands;
class TreeScanHook;

class PaneSelectionCommands : public QObject {
  Q_OBJECT

 public:
  // Goes before the context: give it a parent that the frame deletes with the panes.
  PaneSelectionCommands(ShellContext& context, CDriveTree& tree, CFilesList& list,
                        QObject* parent);
  ~PaneSelectionCommands() override;

 private:
  std::unique_ptr<ListSelectionView> view_;
  std::unique_ptr<TreeScanHook> hook_;
  std::unique_ptr<SelectionCommands> commands_;
};

}  // namespace ui

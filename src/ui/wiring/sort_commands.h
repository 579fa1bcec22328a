#pragma once
// The sort orders of the folders tree and of the Files list: each command sets its key,
// carries the check while its key is the one in force, and sorts the pane again.

namespace ui {

class CDriveTree;
class CFilesList;
struct ShellContext;

void RegisterSortCommands(ShellContext& context, CDriveTree& tree, CFilesList& list);

}  // namespace ui

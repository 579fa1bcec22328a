#pragma once
// What joins the panes: the subfolder opened in the list, and the Files list's cluster
// size and properties commands. Those act on what the list shows and has selected and
// borrow the tree's drive list and current item, so all of it is set up once both panes
// exist.

namespace ui {

class CDriveTree;
class CFilesList;
class DrivesDocument;
struct ShellContext;

// Opens the subfolder opened in the list. Registers Ctrl+C (change the cluster size of
// the selected entries) and Ctrl+Enter (their properties) for the list.
void WirePaneCommands(ShellContext& context, DrivesDocument& document, CDriveTree& tree, CFilesList& list);

}  // namespace ui

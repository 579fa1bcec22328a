#pragma once
// The Files list's cluster size and properties commands. They act on what the list
// shows and has selected, and borrow the tree's drive list and current item, so they are
// registered once both panes exist.

namespace ui {

class CMainFrame;

// Lists the folder the tree shows. Registers Ctrl+C (change the cluster size of the selected entries) and Ctrl+Enter
// (their properties) for the Files list. Called once the frame has created its panes.
void WirePaneCommands(CMainFrame& frame);

}  // namespace ui

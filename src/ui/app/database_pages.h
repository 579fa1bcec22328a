#pragma once
// Puts the database pages into every drive property sheet the frame opens.

namespace ui {

class CMainFrame;

// The three pages edit the frame's drive table, ask through its prompter, route the
// location list's pop-up through it and take their drive choices from its folders tree.
void InstallDatabasePages(CMainFrame& frame);

}  // namespace ui

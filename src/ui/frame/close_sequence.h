#pragma once
// The frame's close: the shutdown sequence with the folders tree's records and scan.

namespace ui {

class CMainFrame;

void InstallCloseSequence(CMainFrame& frame);

}  // namespace ui

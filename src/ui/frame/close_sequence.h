#pragma once
// The frame's close: the shutdown sequence with the folders tree's records and scan.

#include <string>

namespace ui {

class CMainFrame;

// `handOffDirectory`: where "ShadowTbl.NVX" is written.
void InstallCloseSequence(CMainFrame& frame, std::string handOffDirectory = ".");

}  // namespace ui

#pragma once
// The commands of the cluster size analysis and of the property sheets, for the folders
// tree and the files list to run. The panes hand in what only they know through these
// small interfaces.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "ui/base/shell_context.h"

namespace scan { class CFolderInfo; }

namespace ui {

// What the folders tree lends the commands.
struct TreeCommandAccess {
  const scan::CFolderInfo* driveList = nullptr;
  std::function<std::string()> currentPath;           // path of CurrentItem ("C:\Work\")
  std::function<scan::CFolderInfo*()> currentRecord;  // its record
  // CurrentItem becomes its drive (the visible selection stays) and its children fold.
  std::function<void()> collapseToDrive;
  std::function<void()> postRescan;        // "Rescan selected drive or directory", posted
  std::function<void()> showCurrentFolder; // the files list refills with CurrentItem
  std::function<void()> updateDriveIcons;
  std::function<void()> help;              // the change dialog's "&Help"
};

// "Cluster size analysis" (Alt+A).
void RunClusterAnalysis(const CommandServices& context, const TreeCommandAccess& tree);
// The analysis dialog for the last analysed drive, or the rescan question when the drive
// was not fully scanned in this run.
void ShowClusterAnalysisDialog(const CommandServices& context, const TreeCommandAccess& tree);

// Alt+C: the subtree of CurrentItem. Ctrl+C: the selected entries of the folder shown.
void RunTreeChangeClusterSize(const CommandServices& context, const TreeCommandAccess& tree);
void RunListChangeClusterSize(const CommandServices& context, const TreeCommandAccess& tree,
                              scan::CFolderInfo& shown, std::span<const std::uint32_t> selected);

// Alt+Enter and Ctrl+Enter.
void RunTreeProperties(const CommandServices& context, const TreeCommandAccess& tree,
                       const std::string& caption);
void RunListProperties(const CommandServices& context, const scan::CFolderInfo& shown,
                       std::span<const std::uint32_t> selected);

}  // namespace ui

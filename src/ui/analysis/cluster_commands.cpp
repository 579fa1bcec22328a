#include "ui/analysis/cluster_commands.h"

#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/cluster_analysis.h"
#include "analysis/cluster_recalculation.h"
#include "common/space.h"
#include "scan/folder_info.h"
#include "scan/record_search.h"
#include "activity/app_state.h"
#include "common/prompter.h"
#include "ui/analysis/change_cluster_size_dialog.h"
#include "ui/analysis/cluster_analysis_dialog.h"
#include "ui/base/shell_context.h"
#include "ui/analysis/window_memory.h"
#include "ui/properties/property_sheets.h"

namespace ui {
namespace {

constexpr const char* kPleaseWait = "Please wait.";

std::string RootOf(const std::string& path) { return path.substr(0, 3); }

// The entries of `folder` with these names, in the order of `names`; names no longer
// there are left out.
std::vector<std::uint32_t> EntriesNamed(const scan::CFolderInfo& folder, const std::vector<std::string>& names) {
  std::unordered_map<std::string_view, std::uint32_t> index;
  for (std::uint32_t i = 0; i < folder.Count(); ++i) index.emplace(folder.names(i), i);
  std::vector<std::uint32_t> entries;
  for (const std::string& name : names) {
    if (const auto found = index.find(name); found != index.end()) entries.push_back(found->second);
  }
  return entries;
}

bool RefusedWhileScanning(const CommandServices& context) {
  if (!context.state.ScanInProgress.load()) return false;
  context.prompter.Ask(common::Message{kPleaseWait, common::Buttons::Ok, common::Icon::Stop});
  return true;
}

// Runs the change dialog for the drive of `path`; the confirmed size, or nothing.
std::optional<std::uint64_t> AskClusterSize(const CommandServices& context, const TreeCommandAccess& tree,
                                            const std::string& path) {
  if (tree.driveList == nullptr || path.size() < 3) return std::nullopt;
  const std::string root = RootOf(path);
  const std::uint64_t original = common::DriveSpace(context.system, root).clusterSize;
  const std::uint64_t optimal =
      analysis::AnalyseDrive(context.system, *tree.driveList, root, context.memory.clusterAnalysis);
  CChangeClusterSizeDlg dialog(std::to_string(original), std::to_string(optimal),
                               context.memory.lastNewClusterSize,
                               [&context, &tree] { ShowClusterAnalysisDialog(context, tree); }, tree.help);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  // A rescan started from "Size analysis" may be filling the records meanwhile.
  if (RefusedWhileScanning(context)) return std::nullopt;
  return ClusterSizeOf(dialog.NewSize());
}

}  // namespace

void ShowClusterAnalysisDialog(const CommandServices& context, const TreeCommandAccess& tree) {
  const analysis::ClusterAnalysisResult& result = context.memory.clusterAnalysis;
  const char letter = result.driveRoot.empty() ? '?' : result.driveRoot[0];
  const bool scanned = letter >= 'A' && letter <= 'Z' &&
                       context.state.DriveScanned[activity::DriveIndex(letter)].load();
  if (!scanned) {
    const common::Answer answer = context.prompter.Ask(
        common::Message{RescanQuestion(result.driveRoot), common::Buttons::YesNo, common::Icon::Warning});
    if (answer == common::Answer::Yes) {
      if (tree.collapseToDrive) tree.collapseToDrive();
      context.state.PendingClusterAnalysis = true;
      if (tree.postRescan) tree.postRescan();
    }
    return;
  }
  CClusterAnalysisDlg dialog(result);
  dialog.exec();
}

void RunClusterAnalysis(const CommandServices& context, const TreeCommandAccess& tree) {
  if (RefusedWhileScanning(context) || tree.driveList == nullptr || !tree.currentPath) return;
  const std::string path = tree.currentPath();
  if (path.size() < 3) return;
  analysis::AnalyseDrive(context.system, *tree.driveList, RootOf(path), context.memory.clusterAnalysis);
  ShowClusterAnalysisDialog(context, tree);
}

void RunTreeChangeClusterSize(const CommandServices& context, const TreeCommandAccess& tree) {
  if (!tree.currentPath || !tree.currentRecord) return;
  const std::optional<std::uint64_t> size = AskClusterSize(context, tree, tree.currentPath());
  scan::CFolderInfo* record = tree.currentRecord();
  if (!size || record == nullptr) return;
  analysis::RecalculateFolder(*record, *size, context.status);
  if (tree.showCurrentFolder) tree.showCurrentFolder();
}

void RunListChangeClusterSize(const CommandServices& context, const TreeCommandAccess& tree,
                              scan::CFolderInfo& shown, std::span<const std::uint32_t> selected) {
  // "Size analysis" may rescan the drive while the dialog is open, replacing the folder's
  // record and its entries: the folder is remembered by its path, the entries by name.
  scan::CFolderInfo* const driveList = shown.DriveRecord().Parent();
  const std::string path = shown.path();
  std::vector<std::string> names;
  for (const std::uint32_t i : selected) {
    if (i < shown.Count()) names.emplace_back(shown.names(i));
  }
  const std::optional<std::uint64_t> size = AskClusterSize(context, tree, path);
  if (!size || driveList == nullptr) return;
  if (scan::CFolderInfo* folder = scan::FindRecord(*driveList, path)) {
    analysis::RecalculateEntries(*folder, EntriesNamed(*folder, names), *size, context.status);
  }
  if (tree.showCurrentFolder) tree.showCurrentFolder();
}

void RunTreeProperties(const CommandServices& context, const TreeCommandAccess& tree,
                       const std::string& caption) {
  const scan::CFolderInfo* record = tree.currentRecord ? tree.currentRecord() : nullptr;
  if (record == nullptr) return;
  CTreeProperties sheet(caption, *record, context.system, context.state.driveTable,
                        context.memory.databasePages);
  sheet.exec();
  if (sheet.IsDriveSheet() && tree.updateDriveIcons) tree.updateDriveIcons();
}

void RunListProperties(const CommandServices& context, const scan::CFolderInfo& shown,
                       std::span<const std::uint32_t> selected) {
  CListProperties sheet(shown, selected, context.system);
  sheet.exec();
}

}  // namespace ui

// The folders tree's model over records made up here: a chain far deeper than a call
// stack holds, and the order of subfolders by name and by use.

#include <QPersistentModelIndex>
#include <gtest/gtest.h>

#include "scan/folder_info.h"
#include "support/deep_records.h"
#include "ui/views/folder_tree_model.h"
#include "ui/views/tree_images.h"

namespace {

using ui::FolderTreeModel;

std::vector<FolderTreeModel::DriveLook> OneDrive() { return {FolderTreeModel::DriveLook{.text = "D:", .toolTip = {}, .typeImage = 0}}; }

TEST(FolderTreeModel, AChainDeeperThanTheStackOpensWalksUpAndIsReplaced) {
  scan::CFolderInfo driveList;
  scan::CFolderInfo& deepest = testing_support::AddFolderChain(driveList, "D:", testing_support::kDeepChainLevels);
  for (scan::CFolderInfo* r = &deepest; r != nullptr; r = r->Parent()) r->readState = scan::ReadState::ReadFully;
  const ui::TreeImages images;
  testing_support::RunOnSmallStack([&] {
    FolderTreeModel model(images, nullptr);
    model.ShowDrives(&driveList, OneDrive());
    scan::CFolderInfo& root = *driveList.GetChild(0);
    model.ScanStarted(root);
    model.SubtreePlaced(root);
    const QPersistentModelIndex bottom = model.IndexOf(&deepest);
    ASSERT_TRUE(bottom.isValid());
    EXPECT_EQ(FolderTreeModel::RecordOf(bottom), &deepest);
    int levels = 0;
    for (QModelIndex up = bottom; up.parent().isValid(); up = up.parent()) ++levels;
    EXPECT_EQ(levels, testing_support::kDeepChainLevels);
    model.SetOrder(ui::FolderOrder::ByAccessCount);
    EXPECT_EQ(FolderTreeModel::RecordOf(bottom), &deepest);

    // A rescan of the drive takes every row below it away before its records go.
    model.ScanStarted(root);
    EXPECT_FALSE(bottom.isValid());
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
  });
}

TEST(FolderTreeModel, SubfoldersComeByNameOrTheMostUsedFirstAndIndexesFollowThem) {
  scan::CFolderInfo driveList;
  driveList.AddEntry({.source = scan::kSourceDrive, .name = "D:", .kind = scan::kKindFolder});
  scan::CFolderInfo& root = *driveList.GetChild(0);
  root.readState = scan::ReadState::ReadFully;
  // Counts above 2^31 are the most used, not the least.
  const std::pair<const char*, std::uint32_t> folders[] = {{"beta", 5}, {"Alpha", 0}, {"gamma", 0x90000000u}, {"delta", 5}};
  for (const auto& [name, reads] : folders) {
    root.AddEntry({.name = name, .kind = scan::kKindFolder});
    root.SetActivity(root.Count() - 1, {.readOnly = reads});
  }
  const ui::TreeImages images;
  FolderTreeModel model(images, nullptr);
  model.ShowDrives(&driveList, OneDrive());
  model.ScanStarted(root);
  model.SubtreePlaced(root);
  const QModelIndex drive = model.index(0, 0);
  const auto names = [&] {
    QStringList shown;
    for (int row = 0; row < model.rowCount(drive); ++row) shown << model.index(row, 0, drive).data().toString();
    return shown.join(QLatin1Char(' '));
  };
  EXPECT_EQ(names(), QStringLiteral("Alpha beta delta gamma"));
  const QPersistentModelIndex alpha = model.index(0, 0, drive);

  model.SetOrder(ui::FolderOrder::ByAccessCount);
  EXPECT_EQ(names(), QStringLiteral("gamma beta delta Alpha"));
  EXPECT_EQ(alpha.row(), 3);
  EXPECT_EQ(alpha.data().toString(), QStringLiteral("Alpha"));
  model.SetOrder(ui::FolderOrder::ByName);
  EXPECT_EQ(names(), QStringLiteral("Alpha beta delta gamma"));
}

}  // namespace

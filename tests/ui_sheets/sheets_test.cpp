#include <gtest/gtest.h>

#include <QApplication>

#include "support_ui/qt_application.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

#include <unistd.h>

#include <vector>

#include "activity/drive_table.h"
#include "analysis/cluster_analysis.h"
#include "files/list_format.h"
#include "scan/scan_job.h"
#include "activity/app_state.h"
#include "common/silent_status.h"
#include "scan/folder_info.h"
#include "scan/record_path.h"
#include "support/temp_drives.h"
#include "ui/analysis/change_cluster_size_dialog.h"
#include "ui/analysis/cluster_analysis_dialog.h"
#include "ui/properties/property_pages.h"
#include "ui/properties/property_sheets.h"

namespace ui {
namespace {

using testing_support::App;

std::vector<QString> TabTitles(const QTabWidget& tabs) {
  std::vector<QString> titles;
  for (int i = 0; i < tabs.count(); ++i) titles.push_back(tabs.tabText(i));
  return titles;
}

TEST(ClusterSizeText, KeepsOnlyDigitsWithoutLeadingZeros) {
  EXPECT_EQ(FilteredClusterSizeText("00512"), "512");
  EXPECT_EQ(FilteredClusterSizeText("4k0x96"), "4096");
  EXPECT_EQ(FilteredClusterSizeText("abc"), "0");
  EXPECT_EQ(FilteredClusterSizeText(""), "0");
  EXPECT_EQ(FilteredClusterSizeText("99999999999999999999999"), "18446744073709551615");
  EXPECT_EQ(ClusterSizeOf("2048"), 2048u);
}

TEST(ChangeClusterSizeDialog, FiltersTypingAndRemembersTheConfirmedSize) {
  App();
  std::string lastNewSize;
  int analyses = 0;
  {
    CChangeClusterSizeDlg dialog("4096", "1024", lastNewSize, [&] { ++analyses; }, {});
    EXPECT_EQ(dialog.NewSizeBox().currentText(), "4096");  // the original size at first
    dialog.NewSizeBox().setEditText("00512");
    EXPECT_EQ(dialog.NewSizeBox().currentText(), "512");
    dialog.NewSizeBox().setEditText("2x0y4z8");
    EXPECT_EQ(dialog.NewSizeBox().currentText(), "2048");
    dialog.NewSizeBox().setEditText("");
    EXPECT_EQ(dialog.NewSizeBox().currentText(), "0");
    dialog.NewSizeBox().setEditText("2048");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.NewSize(), "2048");
  }
  EXPECT_EQ(lastNewSize, "2048");
  // A second dialog, even for another drive, starts with the confirmed size; Cancel
  // keeps it.
  CChangeClusterSizeDlg again("512", "512", lastNewSize, {}, {});
  EXPECT_EQ(again.NewSizeBox().currentText(), "2048");
  again.NewSizeBox().setEditText("65536");
  again.reject();
  EXPECT_EQ(lastNewSize, "2048");
}

TEST(ClusterAnalysisDialog, ShowsTheRowsOfTheAnalysis) {
  App();
  analysis::ClusterAnalysisResult result;
  result.driveRoot = "D:\\";
  result.data.fill(40000000);
  result.allocated = {41943040, 42000000, 42000000, 42000000, 42000000, 42000000, 42000000, 42000000};
  result.optimalClusterSize = 1024;
  const CClusterAnalysisDlg dialog(result);
  EXPECT_EQ(dialog.windowTitle(), "Effeciency Analysis of using space on disk D:\\");
  EXPECT_EQ(dialog.DiskSizeText(0), "Not Allowed");
  EXPECT_EQ(dialog.DiskSizeText(1), "40-63 MB");
  EXPECT_EQ(dialog.BarPosition(1), 95);
  EXPECT_EQ(dialog.FieldText(4), "1024");
  EXPECT_EQ(RescanQuestion("D:\\"),
            "To get Effeciency Analysis of using space on disk D:\\ you must rescan it first.Disk "
            "D:\\ was not rescaned yet.Do you want to rescan it and get Effeciency Analysis of "
            "using disk space?");
}

class SheetTest : public ::testing::Test {
 protected:
  SheetTest() { App(); }
  testing_support::TempDrives drives_{"CD"};
  activity::DriveTable table_;
  scan::CFolderInfo driveList_;

  // A folder as a full scan leaves it.
  scan::CFolderInfo& Folder(std::string_view path) {
    scan::CFolderInfo& folder = scan::RecordForPath(driveList_, path);
    folder.readState = scan::ReadState::ReadFully;
    return folder;
  }
  void AddFile(scan::CFolderInfo& folder, std::string_view name, std::uint64_t size,
               std::uint64_t cluster) {
    scan::NewEntry entry;
    entry.source = 'D';
    entry.name = name;
    entry.size = size;
    entry.compressedSize = size;
    entry.clusterSize = cluster;
    folder.AddEntry(entry);
  }
  activity::DriveRecord RecordOf(std::uint8_t drive, std::uint32_t inUse) {
    activity::DriveRecord record;
    record.drive = drive;
    record.recordsInUse = inUse;
    return record;
  }
};

TEST_F(SheetTest, AFolderSheetHasOneGeneralTabWithItsFigures) {
  scan::CFolderInfo& folder = Folder("D:\\Work\\");
  AddFile(folder, "a", 1000, 4096);
  AddFile(folder, "b", 4096, 4096);
  folder.Reaggregate();
  CTreeProperties sheet("Directory properties: D:\\Work\\", folder, drives_.System(), table_);
  EXPECT_EQ(TabTitles(sheet.Tabs()), std::vector<QString>{"General"});
  EXPECT_FALSE(sheet.IsDriveSheet());
  EXPECT_TRUE(sheet.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
  const auto* page = dynamic_cast<CFP_General*>(sheet.Tabs().widget(0));
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->Value("Stored files:"), "2");
  EXPECT_EQ(page->Value("Total size:"), "4 K");   // 5096 bytes
  EXPECT_EQ(page->Value("Actual size:"), "8 K");  // 8192 bytes
  EXPECT_EQ(page->Value("Actually used by data:"), "62 %");
  EXPECT_EQ(page->Value("Used in vain:"), "38 %");
  EXPECT_FALSE(page->Value("Drive space usage:").isEmpty());
  // The folder's host path is at hand beside its drive path.
  const auto* where = sheet.findChild<QLabel*>("HostPath");
  ASSERT_NE(where, nullptr);
  EXPECT_EQ(where->text(), QString::fromStdString("D:\\Work\\ = " + drives_.Root('D') + "/Work"));
}

// A drive no scan has listed has no figures to give, and no pie of them.
TEST_F(SheetTest, ADriveNeverScannedSaysSoOnItsFilesTab) {
  scan::CFolderInfo& drive = Folder("D:\\");
  drive.readState = scan::ReadState::NotRead;
  CTreeProperties sheet("Drive properties: D:", drive, drives_.System(), table_);
  const auto* files = dynamic_cast<CDP_Files*>(sheet.Tabs().widget(1));
  ASSERT_NE(files, nullptr);
  EXPECT_EQ(files->Value("Actually used by data:"), "not read yet");
  EXPECT_TRUE(files->Pie().pixmap().isNull());
}

TEST_F(SheetTest, TheDatabaseBoxAddsAndRemovesTheDatabasePagesAndCancelUndoesIt) {
  CTreeProperties sheet("Drive properties: D: Data", Folder("D:\\"), drives_.System(), table_);
  EXPECT_EQ(TabTitles(sheet.Tabs()), (std::vector<QString>{"General", "Files"}));
  ASSERT_TRUE(sheet.IsDriveSheet());
  QCheckBox& box = sheet.DrivePage()->DatabaseBox();
  EXPECT_FALSE(box.isChecked());
  box.click();
  EXPECT_EQ(TabTitles(sheet.Tabs()), (std::vector<QString>{"General", "Files", "AD: Date and time",
                                                           "AD: Size", "AD: Location"}));
  ASSERT_GE(table_.Find(4), 0);
  EXPECT_EQ(table_.NewState().back().location, 3);  // defaults: tables on C:
  EXPECT_EQ(sheet.DrivePage()->Value("Stored files number:"), "0 (0%)");
  box.click();
  EXPECT_EQ(TabTitles(sheet.Tabs()), (std::vector<QString>{"General", "Files"}));
  EXPECT_LT(table_.Find(4), 0);
  box.click();
  sheet.reject();
  EXPECT_LT(table_.Find(4), 0);  // checked, then cancelled: still no record
}

TEST_F(SheetTest, CancelPutsARemovedRecordBackAtTheEnd) {
  table_.NewState() = {RecordOf(4, 7), RecordOf(5, 1)};
  table_.AcceptNewState();
  CTreeProperties sheet("Drive properties: D:", Folder("D:\\"), drives_.System(), table_);
  EXPECT_EQ(sheet.Tabs().count(), 5);
  EXPECT_TRUE(sheet.DrivePage()->DatabaseBox().isChecked());
  EXPECT_TRUE(sheet.DrivePage()->Value("Stored files number:").startsWith("7 ("));
  sheet.DrivePage()->DatabaseBox().click();
  EXPECT_EQ(table_.NewState().size(), 1u);
  sheet.reject();
  ASSERT_EQ(table_.NewState().size(), 2u);
  EXPECT_EQ(table_.NewState()[1], RecordOf(4, 7));
}

TEST_F(SheetTest, CheckingBringsBackTheRecordLoadedAtStartUp) {
  table_.NewState() = {RecordOf(4, 42)};
  table_.AcceptNewState();
  table_.NewState().clear();
  CTreeProperties sheet("Drive properties: D:", Folder("D:\\"), drives_.System(), table_);
  sheet.DrivePage()->DatabaseBox().click();
  ASSERT_EQ(table_.NewState().size(), 1u);
  EXPECT_EQ(table_.NewState()[0].recordsInUse, 42u);
  sheet.accept();
  EXPECT_EQ(table_.NewState().size(), 1u);  // OK keeps the edit
}

TEST_F(SheetTest, ASelectionOfEmptyFilesIsAllData) {
  scan::CFolderInfo& folder = Folder("D:\\");
  AddFile(folder, "empty1", 0, 4096);
  AddFile(folder, "empty2", 0, 4096);
  AddFile(folder, "full", 100, 4096);
  folder.Reaggregate();
  const std::vector<std::uint32_t> selected = {0, 1};
  CListProperties sheet(folder, selected, drives_.System());
  EXPECT_EQ(sheet.windowTitle(), "Selected file(s) and/or folder(s) properties");
  const auto* page = dynamic_cast<CSP_General*>(sheet.Tabs().widget(0));
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->Value("Selected files:"), "2");
  EXPECT_EQ(page->Value("Total size:"), "0");
  EXPECT_EQ(page->Value("Actual size:"), "0");
  EXPECT_EQ(page->Value("Actually used by data:"), "100 %");
  EXPECT_EQ(page->Value("Used in vain:"), "0 %");

  const std::vector<std::uint32_t> withFull = {2, 0};
  CListProperties other(folder, withFull, drives_.System());
  const auto* second = dynamic_cast<CSP_General*>(other.Tabs().widget(0));
  EXPECT_EQ(second->Value("Actual size:"), "4096");
  EXPECT_EQ(second->Value("Actually used by data:"), "2 %");
  EXPECT_EQ(second->Value("Used in vain:"), "98 %");
}

// Every figure of a sheet that ends in "%", as a number.
std::vector<long> PercentFigures(const QWidget& sheet) {
  std::vector<long> figures;
  for (const QLabel* label : sheet.findChildren<QLabel*>()) {
    QString text = label->text();
    if (!text.endsWith('%')) continue;
    text.chop(1);
    figures.push_back(text.trimmed().toLong());
  }
  return figures;
}

TEST_F(SheetTest, SparseFilesNeverShowMoreThanAHundredPercent) {
  // Sparse files hold more data than they allocate: a share of a whole stays at 100 %
  // on every page and list cell all the same.
  drives_.MakeDirectory("D:\\Sparse");
  drives_.WriteFile("D:\\Sparse\\empty-1G", "");
  ASSERT_EQ(::truncate(drives_.Host("D:\\Sparse\\empty-1G").c_str(), 1 << 30), 0);
  drives_.WriteFile("D:\\Sparse\\small", "abc");
  scan::CFolderInfo& drive = Folder("D:\\");
  activity::AppState state;
  common::SilentStatus status;
  scan::ScanInPlace(drive, false, drives_.System(), state, status);
  scan::CFolderInfo& sparse = Folder("D:\\Sparse\\");
  ASSERT_EQ(sparse.Count(), 2u);
  ASSERT_GT(sparse.totalSize, sparse.totalActualSize);

  const std::vector<std::uint32_t> both = {0, 1};
  CListProperties selection(sparse, both, drives_.System());
  const auto* page = dynamic_cast<CSP_General*>(selection.Tabs().widget(0));
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->Value("Actually used by data:"), "100 %");
  EXPECT_EQ(page->Value("Used in vain:"), "0 %");
  CTreeProperties folderSheet("Directory properties: D:\\Sparse\\", sparse, drives_.System(), table_);
  CTreeProperties driveSheet("Drive properties: D:", drive, drives_.System(), table_);
  for (const QWidget* sheet : {static_cast<const QWidget*>(&selection), static_cast<const QWidget*>(&folderSheet),
                               static_cast<const QWidget*>(&driveSheet)}) {
    const std::vector<long> figures = PercentFigures(*sheet);
    EXPECT_GE(figures.size(), 2u) << sheet->windowTitle().toStdString();
    for (const long figure : figures) EXPECT_LE(figure, 100) << sheet->windowTitle().toStdString();
  }
  // The Files list's "Space used" cells and the tree caption's share.
  for (const files::ListRow& row : files::MakeRows(sparse)) EXPECT_LE(row.UsedPercent(), 100u) << row.Name();
  EXPECT_LE(sparse.UsedPercent(), 100u);
  EXPECT_LE(drive.UsedPercent(), 100u);
}

TEST_F(SheetTest, ADatabasePageFactoryReplacesTheStandInPages) {
  char askedFor = 0;
  const DatabasePageFactory made = [&](char letter, QWidget* parent) {
    askedFor = letter;
    DatabasePages pages;
    for (QWidget*& page : pages.pages) page = new QLabel("made", parent);
    return pages;
  };
  table_.NewState() = {RecordOf(4, 0)};
  CTreeProperties sheet("Drive properties: D:", Folder("D:\\"), drives_.System(), table_, made);
  EXPECT_EQ(askedFor, 'D');
  EXPECT_EQ(dynamic_cast<QLabel*>(sheet.Tabs().widget(2))->text(), "made");
}

}  // namespace
}  // namespace ui

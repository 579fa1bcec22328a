#pragma once
// The pages of the property sheets: a drive's general figures and database switch, the
// space usage of a drive's files, of a folder and of a selection.

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "activity/drive_database_switch.h"
#include "analysis/space_page_figures.h"

class QCheckBox;
class QLabel;
class QGridLayout;

namespace platform { class System; }
namespace scan { class CFolderInfo; }

namespace ui {

// Figures in rows with a pie chart and its two legend squares beside the first two rows.
class SpaceFiguresPage : public QWidget {
 public:
  explicit SpaceFiguresPage(QWidget* parent = nullptr);
  // The value shown in the row labelled `label`; empty when there is none.
  QString Value(const QString& label) const;
  QLabel& Pie() const { return *pie_; }

 protected:
  QLabel* AddRow(const QString& label, const QString& value, QRgb legend = 0);
  void ShowSpace(const analysis::SpacePageFigures& figures, bool withDriveUsage,
                 const QString& countLabel);
  QGridLayout* rows_ = nullptr;
  QLabel* pie_ = nullptr;
};

// "Files" of a drive and "General" of a folder (the latter with drive space usage).
class CDP_Files : public SpaceFiguresPage {
 public:
  CDP_Files(const scan::CFolderInfo& record, QWidget* parent = nullptr);
};
class CFP_General : public SpaceFiguresPage {
 public:
  CFP_General(const scan::CFolderInfo& record, std::uint64_t driveUsedBytes,
              QWidget* parent = nullptr);
};
// "General" of a selection of the files list.
class CSP_General : public SpaceFiguresPage {
 public:
  CSP_General(const scan::CFolderInfo& folder, std::span<const std::uint32_t> selected,
              std::uint64_t driveUsedBytes, QWidget* parent = nullptr);
};

// "General" of a drive. Its check box switches the drive's active database; the sheet
// is told so it can add or remove the database pages.
class CDP_General : public SpaceFiguresPage {
 public:
  CDP_General(char driveLetter, platform::System& system, activity::DriveTable& table,
              std::function<void(bool on)> databaseSwitched, QWidget* parent = nullptr);
  bool DatabaseOn() const;
  QCheckBox& DatabaseBox() const { return *databaseBox_; }
  // The sheet's Cancel: the drive's record as it stood when the page opened.
  void OnCancel();
  // Refreshes "Stored files number:" when the page becomes the current one again.
  void OnActivate();

 private:
  void UpdateStoredFiles();

  char letter_;
  platform::System& system_;
  activity::DriveTable& table_;
  activity::DriveDatabaseSwitch switch_;
  std::function<void(bool)> databaseSwitched_;
  QCheckBox* databaseBox_ = nullptr;
  QLabel* storedLabel_ = nullptr;
  QLabel* storedValue_ = nullptr;
};

}  // namespace ui

#pragma once
// The modal property sheets of a folders-tree item (drive or folder) and of the files
// list's selection.

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

class QTabWidget;

namespace activity { class DriveTable; }
namespace platform { class System; }
namespace scan { class CFolderInfo; }

namespace ui {

class CDP_General;

// The three pages of a drive's active database, in tab order: "AD: Date and time",
// "AD: Size", "AD: Location". The database configuration hands the sheet its own maker;
// without one each page shows which drive it belongs to.
struct DatabasePages {
  std::array<QWidget*, 3> pages{};
};
using DatabasePageFactory = std::function<DatabasePages(char driveLetter, QWidget* parent)>;
inline constexpr std::array<const char*, 3> kDatabasePageTitles = {
    "AD: Date and time", "AD: Size", "AD: Location"};

class CTreeProperties : public QDialog {
 public:
  // `caption` is "Drive properties: X: ..." for a drive or "Directory properties: PATH";
  // `record` is the item's folder record (a drive's root folder); `databasePages` makes a
  // drive's database pages (when empty, stand-ins that name the drive).
  CTreeProperties(const std::string& caption, const scan::CFolderInfo& record,
                  platform::System& system, activity::DriveTable& table,
                  DatabasePageFactory databasePages = {}, QWidget* parent = nullptr);

  QTabWidget& Tabs() const { return *tabs_; }
  CDP_General* DrivePage() const { return drivePage_; }
  bool IsDriveSheet() const { return drivePage_ != nullptr; }

  void reject() override;

 private:
  void AddDatabasePages();
  // Grows the sheet (never shrinks it) to what its tabs and its widest page need.
  void GrowToFit();
  void RemoveDatabasePages();

  QTabWidget* tabs_ = nullptr;
  CDP_General* drivePage_ = nullptr;
  char letter_ = 0;
  DatabasePageFactory makeDatabasePages_;
  DatabasePages database_;
};

class CListProperties : public QDialog {
 public:
  CListProperties(const scan::CFolderInfo& folder, std::span<const std::uint32_t> selected,
                  const platform::System& system, QWidget* parent = nullptr);
  QTabWidget& Tabs() const { return *tabs_; }

 private:
  QTabWidget* tabs_ = nullptr;
};

}  // namespace ui

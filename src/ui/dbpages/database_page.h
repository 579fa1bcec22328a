#pragma once
// What the three database pages share: the drive they configure, the table they edit,
// and the page life of a property sheet (activated when shown, deactivated when another
// page is chosen or the sheet is confirmed; a cancelled sheet deactivates nothing).

#include <QStringList>
#include <QWidget>
#include <functional>

namespace activity { class DriveTable; struct DriveRecord; }
namespace platform { class System; }
namespace common { class Prompter; }

namespace ui {

class CommandTable;

// The window that routes the location list's pop-up commands through its command table.
struct DatabaseMenuRouting {
  QWidget* window = nullptr;
  CommandTable* commands = nullptr;
  // Names the page the window sends the menu's commands to (by command identifier).
  std::function<void(QObject* owner, std::function<void(int id)> send)> claim;
};

struct DatabasePageContext {
  activity::DriveTable& table;
  platform::System& system;
  common::Prompter& prompter;
  // Without a window the page runs its pop-up's commands itself.
  DatabaseMenuRouting menuRouting;
  // The texts of the folders tree's drive items, in their order ("C: /", ...).
  std::function<QStringList()> driveTexts;
  // How long the recorder recorded a drive, as one sentence ("" when nothing to say).
  std::function<QString(char)> coverageText;
};

class DatabasePage : public QWidget {
  Q_OBJECT

 public:
  DatabasePage(char driveLetter, DatabasePageContext& context, QWidget* parent);

  std::uint8_t DriveNumber() const { return drive_; }
  // Page activation and deactivation, as the sheet's page changes drive them.
  void Activate();
  void Deactivate();

 protected:
  // The new-state record of this page's drive; null once it is gone from the table.
  activity::DriveRecord* Record() const;
  virtual void OnActivate() {}
  virtual void OnDeactivate() {}

  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

  DatabasePageContext& context_;

 private:
  std::uint8_t drive_;
  bool active_ = false;
  bool watchingSheet_ = false;
};

}  // namespace ui

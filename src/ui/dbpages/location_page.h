#pragma once
// CDP_Location, "AD: Location": on which drive the database's files are kept, with the
// space there and the other drives' databases sharing it.

#include <QString>

#include "activity/database_location.h"
#include "ui/dbpages/database_page.h"

class QComboBox;
class QLabel;
class QMenu;
class QTreeWidget;

namespace ui {

class CDP_Location : public DatabasePage {
  Q_OBJECT

 public:
  CDP_Location(char driveLetter, DatabasePageContext& context, QWidget* parent = nullptr);

  QComboBox& Drives() const { return *drives_; }
  QTreeWidget& List() const { return *list_; }
  QString Verdict() const;
  // The "K" texts of class, free space, rest and required.
  QString ClassText() const;
  QString FreeText() const;
  QString RestText() const;
  QString RequiredText() const;

  // Refreshes from the drop-down's selection.
  void Refresh();
  // The list's pop-up for the row of drive `drive` (built, not shown).
  std::unique_ptr<QMenu> BuildMenu(std::uint8_t drive);
  // 32780 (delete) and 32783-32808 (move to A: .. Z:) for the drive of the pop-up.
  void OnCommand(int id);

 protected:
  void OnActivate() override;
  void OnDeactivate() override;

 private:
  void ShowMenu(const QPoint& at);

  activity::LocationModel model_;
  QComboBox* drives_ = nullptr;
  QLabel* class_ = nullptr;
  QLabel* free_ = nullptr;
  QLabel* listLabel_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QLabel* verdict_ = nullptr;
  QLabel* rest_ = nullptr;
  QLabel* required_ = nullptr;
  std::uint8_t menuDrive_ = 0;
};

}  // namespace ui

#include "ui/dbpages/database_page.h"

#include <QDialog>

#include "activity/drive_table.h"

namespace ui {

DatabasePage::DatabasePage(char driveLetter, DatabasePageContext& context, QWidget* parent)
    : QWidget(parent), context_(context), drive_(activity::DriveNumber(driveLetter)) {}

activity::DriveRecord* DatabasePage::Record() const {
  const int index = context_.table.Find(drive_);
  return index < 0 ? nullptr : &context_.table.NewState()[static_cast<std::size_t>(index)];
}

void DatabasePage::Activate() {
  active_ = true;
  OnActivate();
}

void DatabasePage::Deactivate() {
  if (!active_) return;
  active_ = false;
  OnDeactivate();
}

void DatabasePage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!watchingSheet_) {
    // Confirming the sheet deactivates the page in front; its hide comes first, while
    // the sheet is already invisible, and a cancel must store nothing.
    if (auto* sheet = qobject_cast<QDialog*>(window())) {
      connect(sheet, &QDialog::accepted, this, &DatabasePage::Deactivate);
      watchingSheet_ = true;
    }
  }
  if (!active_) Activate();
}

void DatabasePage::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // Another page chosen while the sheet stays open.
  if (window()->isVisible()) Deactivate();
}

}  // namespace ui

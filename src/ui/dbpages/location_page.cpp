#include "ui/dbpages/location_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QTreeWidget>

#include <algorithm>

#include "activity/database_files.h"
#include "activity/drive_table.h"
#include "common/prompter.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/help/control_help.h"

namespace ui {
namespace {

// Small drive pictures by drive class: removable, fixed, remote, CD-ROM, RAM disk, other.
QIcon DriveClassIcon(int driveClass) {
  static const QColor kColours[6] = {QColor(230, 180, 60), QColor(130, 130, 130), QColor(60, 140, 60),
                                     QColor(180, 180, 220), QColor(40, 100, 200), QColor(200, 80, 80)};
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::black);
  painter.setBrush(kColours[std::clamp(driveClass, 0, 5)]);
  if (driveClass == activity::kDriveClassCdRom) {
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(6, 6, 4, 4));
  } else {
    painter.drawRect(QRectF(1.5, 4.5, 13, 7));
    painter.fillRect(QRectF(11, 7, 2, 2), Qt::green);
  }
  return QIcon(pixmap);
}

QString Kilo(std::uint64_t bytes) { return QString::fromStdString(activity::KiloText(bytes)); }

QLabel* Figure(QGridLayout& grid, int row, const QString& caption, QWidget* parent) {
  grid.addWidget(new QLabel(caption, parent), row, 0);
  auto* value = new QLabel(parent);
  grid.addWidget(value, row, 1);
  return value;
}

}  // namespace

CDP_Location::CDP_Location(char driveLetter, DatabasePageContext& context, QWidget* parent)
    : DatabasePage(driveLetter, context, parent), model_(context.system, context.table) {
  setObjectName("AD: Location");
  auto* grid = new QGridLayout(this);
  auto* caption = new QLabel("&Drive for storing File Norvex active database:", this);
  drives_ = new QComboBox(this);
  drives_->setObjectName("DatabaseDrive");
  caption->setBuddy(drives_);
  grid->addWidget(caption, 0, 0, 1, 2);
  grid->addWidget(drives_, 1, 0, 1, 2);
  class_ = Figure(*grid, 2, "Type:", this);
  free_ = Figure(*grid, 3, "Free space:", this);
  listLabel_ = new QLabel("&Contains databases of following drives:", this);
  list_ = new QTreeWidget(this);
  list_->setObjectName("DatabasesThere");
  listLabel_->setBuddy(list_);
  grid->addWidget(listLabel_, 4, 0, 1, 2);
  grid->addWidget(list_, 5, 0, 1, 2);
  verdict_ = new QLabel(this);
  verdict_->setObjectName("Verdict");
  grid->addWidget(verdict_, 6, 0, 1, 2);
  rest_ = Figure(*grid, 7, "The rest:", this);
  required_ = Figure(*grid, 8, "Required:", this);
  class_->setObjectName("DriveType");
  free_->setObjectName("FreeSpace");
  rest_->setObjectName("TheRest");
  required_->setObjectName("Required");

  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({"Drive", "Type", "Files", "Stored", "Full", "Size"});
  const int widths[6] = {40, 70, 65, 65, 40, 80};
  for (int column = 0; column < 6; ++column) {
    list_->setColumnWidth(column, widths[column]);
    if (column >= 2) list_->headerItem()->setTextAlignment(column, Qt::AlignRight);
  }
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QTreeWidget::customContextMenuRequested, this, &CDP_Location::ShowMenu);

  if (context.driveTexts) drives_->addItems(context.driveTexts());
  if (const activity::DriveRecord* record = Record()) {
    const QString letter(QChar(activity::DriveLetter(record->location)));
    for (int i = 0; i < drives_->count(); ++i) {
      if (drives_->itemText(i).startsWith(letter)) {
        drives_->setCurrentIndex(i);
        break;
      }
    }
  }
  connect(drives_, &QComboBox::currentIndexChanged, this, &CDP_Location::Refresh);
  AttachControlHelp(*this);
}

QString CDP_Location::Verdict() const { return verdict_->text(); }
QString CDP_Location::ClassText() const { return class_->text(); }
QString CDP_Location::FreeText() const { return free_->text(); }
QString CDP_Location::RestText() const { return rest_->text(); }
QString CDP_Location::RequiredText() const { return required_->text(); }

void CDP_Location::Refresh() {
  const QString text = drives_->currentText();
  activity::DriveRecord* record = Record();
  if (drives_->currentIndex() < 0 || text.isEmpty() || !record) return;
  const char letter = text.at(0).toLatin1();
  record->location = activity::DriveNumber(letter);
  const activity::LocationFigures figures = model_.Compute(DriveNumber(), letter);

  class_->setText(activity::DriveClassName(figures.driveClass));
  free_->setText(Kilo(figures.space));
  required_->setText(Kilo(figures.required));
  list_->clear();
  for (const activity::LocationRow& row : figures.rows) {
    auto* item = new QTreeWidgetItem(list_);
    item->setText(0, QString("%1:").arg(QChar(activity::DriveLetter(row.drive))));
    item->setText(1, activity::DriveClassName(row.driveClass));
    item->setIcon(1, DriveClassIcon(row.driveClass));
    item->setText(2, QString::number(row.capacity));
    item->setText(3, QString::number(row.recordsInUse));
    item->setText(4, QString("%1%").arg(row.fillPercent));
    item->setText(5, Kilo(row.sizeOnDisk));
    item->setData(0, Qt::UserRole, row.drive);
    for (int column = 2; column < 6; ++column) item->setTextAlignment(column, Qt::AlignRight);
  }
  const bool any = !figures.rows.empty();
  list_->setEnabled(any);
  listLabel_->setEnabled(any);
  // More than the databases there free: nothing is left, rather than a wrapped figure.
  rest_->setText(Kilo(figures.rest > 0 ? static_cast<std::uint64_t>(figures.rest) : 0));
  verdict_->setText(figures.verdict);
}

std::unique_ptr<QMenu> CDP_Location::BuildMenu(std::uint8_t drive) {
  menuDrive_ = drive;
  const DatabaseMenuRouting& routing = context_.menuRouting;
  auto menu = std::make_unique<QMenu>(routing.window != nullptr ? routing.window : static_cast<QWidget*>(this));
  CommandTable* commands = routing.commands;
  const auto add = [&](int id, const QString& text, bool enabled) {
    QAction* action = commands ? commands->NewAction(id, text, menu.get()) : menu->addAction(text);
    if (commands) menu->addAction(action);
    action->setEnabled(enabled);
    if (!commands) connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
  };
  add(cmd::kDeleteDatabase, "Delete database", true);
  for (int i = 0; i < drives_->count(); ++i) {
    const std::string text = drives_->itemText(i).toStdString();
    if (text.empty()) continue;
    const activity::LocationModel::MoveItem item = model_.MoveItemFor(drive, text);
    add(cmd::kMoveDatabaseFirst - 1 + activity::DriveNumber(text[0]), QString::fromStdString(item.text),
        item.enabled);
  }
  if (menu->actions().size() > 1) menu->insertSeparator(menu->actions().value(1));
  if (commands) commands->WatchMenu(menu.get());
  return menu;
}

void CDP_Location::ShowMenu(const QPoint& at) {
  const QTreeWidgetItem* item = list_->itemAt(at);
  if (!item) return;
  list_->setCurrentItem(const_cast<QTreeWidgetItem*>(item));
  const std::unique_ptr<QMenu> menu = BuildMenu(static_cast<std::uint8_t>(item->data(0, Qt::UserRole).toUInt()));
  if (context_.menuRouting.claim) context_.menuRouting.claim(this, [this](int id) { OnCommand(id); });
  menu->exec(list_->viewport()->mapToGlobal(at));
}

void CDP_Location::OnCommand(int id) {
  activity::DriveTable& table = context_.table;
  const int index = table.Find(menuDrive_);
  if (index < 0) return;
  if (id == cmd::kDeleteDatabase) {
    const std::string question = std::string(activity::kDeleteQuestionHead) +
                                 activity::DriveLetter(menuDrive_) + activity::kDeleteQuestionTail;
    if (context_.prompter.Ask({question, common::Buttons::YesNo, common::Icon::Question}) != common::Answer::Yes) {
      return;
    }
    table.NewState().erase(table.NewState().begin() + index);
  } else if (cmd::IsMoveDatabase(id)) {
    table.NewState()[static_cast<std::size_t>(index)].location =
        static_cast<std::uint8_t>(id - cmd::kMoveDatabaseFirst + 1);
  } else {
    return;
  }
  Refresh();
}

void CDP_Location::OnActivate() { Refresh(); }

void CDP_Location::OnDeactivate() {
  if (verdict_->text() != activity::kVerdictFits) {
    context_.prompter.Ask({activity::kLeaveLocationWarning, common::Buttons::Ok, common::Icon::Information});
  }
}

}  // namespace ui

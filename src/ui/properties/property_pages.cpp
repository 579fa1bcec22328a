#include "ui/properties/property_pages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "activity/database_files.h"
#include "common/space.h"
#include "platform/dos_time.h"
#include "platform/system.h"
#include "scan/folder_info.h"
#include "ui/charts/space_pie.h"
#include "ui/help/control_help.h"

namespace ui {
namespace {

constexpr QSize kPieSize{96, 64};

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

SpaceFiguresPage::SpaceFiguresPage(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  rows_ = new QGridLayout;
  rows_->setColumnStretch(2, 1);
  layout->addLayout(rows_, 1);
  pie_ = new QLabel(this);
  pie_->setFixedSize(kPieSize);
  layout->addWidget(pie_, 0, Qt::AlignTop);
}

QLabel* SpaceFiguresPage::AddRow(const QString& label, const QString& value, QRgb legend) {
  const int row = rows_->rowCount();
  if (legend != 0) {
    auto* square = new QLabel(this);
    square->setPixmap(LegendSquare(legend));
    square->setFixedSize(kLegendSquareSide, kLegendSquareSide);
    rows_->addWidget(square, row, 0);
  }
  auto* name = new QLabel(label, this);
  rows_->addWidget(name, row, 1);
  auto* shown = new QLabel(value, this);
  shown->setObjectName(label);
  shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
  rows_->addWidget(shown, row, 2);
  return shown;
}

QString SpaceFiguresPage::Value(const QString& label) const {
  const auto* shown = findChild<QLabel*>(label);
  return shown ? shown->text() : QString();
}

void SpaceFiguresPage::ShowSpace(const analysis::SpacePageFigures& figures, bool withDriveUsage,
                                 const QString& countLabel) {
  AddRow(countLabel, Text(figures.files));
  AddRow("Total size:", Text(figures.totalSize));
  AddRow("Actual size:", Text(figures.actualSize));
  AddRow("Actually used by data:", Text(figures.usedByData), kSpaceDataColour);
  AddRow("Used in vain:", Text(figures.usedInVain), kSpaceWasteColour);
  if (withDriveUsage) AddRow("Drive space usage:", Text(figures.driveUsage));
  if (!figures.hardLinks.empty()) AddRow("Hard links:", Text(figures.hardLinks));
  if (!figures.noRecord.empty()) AddRow("Activity record:", Text(figures.noRecord));
  rows_->setRowStretch(rows_->rowCount(), 1);
  if (figures.read) {
    DrawSpacePie(*pie_, figures.pieWhole, figures.piePart);
  } else {
    pie_->clear();
  }
}

CDP_Files::CDP_Files(const scan::CFolderInfo& record, QWidget* parent) : SpaceFiguresPage(parent) {
  setObjectName("DriveFiles");
  ShowSpace(analysis::FolderFigures(record, 0), false, "Stored files:");
  AttachControlHelp(*this);
}

CFP_General::CFP_General(const scan::CFolderInfo& record, std::uint64_t driveUsedBytes,
                         QWidget* parent)
    : SpaceFiguresPage(parent) {
  setObjectName("FolderGeneral");
  ShowSpace(analysis::FolderFigures(record, driveUsedBytes), true, "Stored files:");
  AttachControlHelp(*this);
}

CSP_General::CSP_General(const scan::CFolderInfo& folder, std::span<const std::uint32_t> selected,
                         std::uint64_t driveUsedBytes, QWidget* parent)
    : SpaceFiguresPage(parent) {
  setObjectName("SelectionGeneral");
  ShowSpace(analysis::SelectionFigures(folder, selected, driveUsedBytes), true, "Selected files:");
  AttachControlHelp(*this);
}

CDP_General::CDP_General(char driveLetter, platform::System& system, activity::DriveTable& table,
                         std::function<void(bool on)> databaseSwitched, QWidget* parent)
    : SpaceFiguresPage(parent),
      letter_(driveLetter),
      system_(system),
      table_(table),
      switch_(table, activity::DriveNumber(driveLetter)),
      databaseSwitched_(std::move(databaseSwitched)) {
  setObjectName("DriveGeneral");
  const std::string root = std::string(1, driveLetter) + ":\\";
  const common::DriveSpaceFigures space = common::DriveSpace(system, root);
  AddRow("Type:", Text(std::string(analysis::DriveClassName(
                      activity::DriveClass(system, activity::DriveNumber(driveLetter))))));
  AddRow("Used space:", Text(analysis::KiloText(space.usedBytes)), kSpaceDataColour);
  AddRow("Free space:", Text(analysis::KiloText(space.freeBytes)), kSpaceWasteColour);
  AddRow("Capacity:", Text(analysis::KiloText(space.capacity)));
  // Clusters and bytes give the same shares; bytes avoid a second query.
  DrawSpacePie(*pie_, space.capacity, space.freeBytes);

  const int row = rows_->rowCount();
  databaseBox_ = new QCheckBox("File Norvex active database", this);
  databaseBox_->setObjectName("ActiveDatabase");
  rows_->addWidget(databaseBox_, row, 1, 1, 2);
  storedLabel_ = new QLabel("Stored files number:", this);
  storedValue_ = new QLabel(this);
  storedValue_->setObjectName("Stored files number:");
  rows_->addWidget(storedLabel_, row + 1, 1);
  rows_->addWidget(storedValue_, row + 1, 2);
  rows_->setRowStretch(row + 2, 1);

  databaseBox_->setChecked(switch_.HadRecord());
  UpdateStoredFiles();
  AttachControlHelp(*this);
  connect(databaseBox_, &QCheckBox::clicked, this, [this](bool checked) {
    if (checked) {
      if (!switch_.SwitchOn(platform::DosDateTimeFromLocal(system_.Now()))) {
        // The table is full: the box cannot stand for a record that is not there.
        databaseBox_->setChecked(false);
        UpdateStoredFiles();
        return;
      }
    } else {
      switch_.SwitchOff();
    }
    UpdateStoredFiles();
    if (databaseSwitched_) databaseSwitched_(checked);
  });
}

bool CDP_General::DatabaseOn() const { return databaseBox_->isChecked(); }

void CDP_General::OnCancel() { switch_.Restore(); }

void CDP_General::OnActivate() { UpdateStoredFiles(); }

void CDP_General::UpdateStoredFiles() {
  const int index = table_.Find(activity::DriveNumber(letter_));
  const bool shown = databaseBox_->isChecked() && index >= 0;
  storedLabel_->setVisible(shown);
  storedValue_->setVisible(shown);
  if (!shown) return;
  const activity::DriveRecord& record = table_.NewState()[static_cast<std::size_t>(index)];
  storedValue_->setText(QString("%1 (%2%)").arg(record.recordsInUse).arg(table_.FillPercentage(index)));
}

}  // namespace ui

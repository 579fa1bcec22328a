#include "ui/dbpages/size_page.h"
#include "ui/help/control_help.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>

#include "activity/drive_table.h"

namespace ui {
namespace {

QSlider* Slider(int min, int max, QWidget* parent) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setRange(min, max);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setPageStep(1);
  return slider;
}

// "&Size:" then "Min", the slider, "Max" in one row.
void AddSliderRow(QGridLayout& grid, int row, const QString& label, QSlider* slider,
                  const QString& low, const QString& high) {
  auto* caption = new QLabel(label);
  caption->setBuddy(slider);
  grid.addWidget(caption, row, 0);
  grid.addWidget(new QLabel(low), row, 1);
  grid.addWidget(slider, row, 2);
  grid.addWidget(new QLabel(high), row, 3);
}

}  // namespace

CDP_Size::CDP_Size(char driveLetter, DatabasePageContext& context, QWidget* parent)
    : DatabasePage(driveLetter, context, parent) {
  setObjectName("AD: Size");
  auto* grid = new QGridLayout(this);
  size_ = Slider(0, activity::kMaxSizePosition, this);
  efficiency_ = Slider(activity::kMinEfficiency, activity::kMaxEfficiency, this);
  size_->setObjectName("Size");
  efficiency_->setObjectName("Efficiency");
  AddSliderRow(*grid, 0, "&Size:", size_, "Min", "Max");
  AddSliderRow(*grid, 1, "&Efficiency:", efficiency_, "High", "Low");

  storeNames_ = new QCheckBox("&Store filenames in the database", this);
  storeNames_->setObjectName("StoreFilenames");
  grid->addWidget(storeNames_, 2, 0, 1, 4);
  auto* nameRow = new QHBoxLayout;
  maxNameLabel_ = new QLabel("with &max filename size:", this);
  maxName_ = new QSpinBox(this);
  maxName_->setRange(0, activity::kMaxNameSizeLimit);
  maxName_->setObjectName("MaxFilenameSize");
  maxNameLabel_->setBuddy(maxName_);
  nameRow->addSpacing(20);
  nameRow->addWidget(maxNameLabel_);
  nameRow->addWidget(maxName_);
  nameRow->addStretch();
  grid->addLayout(nameRow, 3, 0, 1, 4);

  const char* captions[4] = {"Total file number:", "Stored files:", "Size in memory:", "Size on disk:"};
  const char* figureNames[4] = {"TotalFileNumber", "StoredFiles", "SizeInMemory", "SizeOnDisk"};
  for (int i = 0; i < 4; ++i) {
    grid->addWidget(new QLabel(captions[i], this), 4 + i, 0, 1, 2);
    figures_[i] = new QLabel(this);
    figures_[i]->setObjectName(figureNames[i]);
    grid->addWidget(figures_[i], 4 + i, 2, 1, 2);
  }
  grid->setRowStretch(8, 1);

  if (const activity::DriveRecord* record = Record()) {
    const activity::ShapeSettings settings = activity::SettingsOf(*record);
    size_->setValue(settings.sizePosition);
    efficiency_->setValue(settings.efficiency);
    storeNames_->setChecked(settings.storeNames);
    maxName_->setValue(settings.maxNameSize);
  }
  const auto namesEnabled = [this] {
    const bool on = storeNames_->isChecked();
    maxNameLabel_->setEnabled(on);
    maxName_->setEnabled(on);
  };
  namesEnabled();
  connect(size_, &QSlider::valueChanged, this, &CDP_Size::Recompute);
  connect(efficiency_, &QSlider::valueChanged, this, &CDP_Size::Recompute);
  connect(maxName_, &QSpinBox::valueChanged, this, &CDP_Size::Recompute);
  connect(storeNames_, &QCheckBox::toggled, this, [this, namesEnabled] {
    namesEnabled();
    Recompute();
  });
  initialised_ = true;
  Recompute();
  AttachControlHelp(*this);
}

activity::ShapeSettings CDP_Size::Settings() const {
  return {size_->value(), efficiency_->value(), storeNames_->isChecked(), maxName_->value()};
}

QString CDP_Size::Figure(int row) const { return figures_[row]->text(); }

void CDP_Size::Recompute() {
  if (!initialised_) return;
  const activity::DriveRecord* record = Record();
  const activity::ShapeFigures figures =
      activity::FiguresOf(Settings(), record ? record->recordsInUse : 0);
  figures_[0]->setText(QString::fromStdString(figures.totalFiles));
  figures_[1]->setText(QString::fromStdString(figures.storedFiles));
  figures_[2]->setText(QString::fromStdString(figures.sizeInMemory));
  figures_[3]->setText(QString::fromStdString(figures.sizeOnDisk));
}

void CDP_Size::OnDeactivate() {
  if (activity::DriveRecord* record = Record()) activity::ApplySettings(Settings(), *record);
}

}  // namespace ui

#pragma once
// CDP_Size, "AD: Size": how many files the drive's database holds and whether it
// stores their names.

#include "activity/database_shape.h"
#include "ui/dbpages/database_page.h"

class QCheckBox;
class QLabel;
class QSlider;
class QSpinBox;

namespace ui {

class CDP_Size : public DatabasePage {
  Q_OBJECT

 public:
  CDP_Size(char driveLetter, DatabasePageContext& context, QWidget* parent = nullptr);

  QSlider& SizeSlider() const { return *size_; }
  QSlider& EfficiencySlider() const { return *efficiency_; }
  QCheckBox& StoreNames() const { return *storeNames_; }
  QSpinBox& MaxNameSize() const { return *maxName_; }
  // The four figures: total, stored, in memory, on disk.
  QString Figure(int row) const;

 protected:
  void OnDeactivate() override;

 private:
  activity::ShapeSettings Settings() const;
  void Recompute();

  QSlider* size_ = nullptr;
  QSlider* efficiency_ = nullptr;
  QCheckBox* storeNames_ = nullptr;
  QLabel* maxNameLabel_ = nullptr;
  QSpinBox* maxName_ = nullptr;
  QLabel* figures_[4] = {};
  bool initialised_ = false;
};

}  // namespace ui

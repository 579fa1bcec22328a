#pragma once
// CDP_DateTime, "AD: Date and time": when the drive's database started recording and
// until when it records.

#include <array>
#include <cstdint>

#include "activity/database_span.h"
#include "ui/dbpages/database_page.h"

class QLabel;
class QRadioButton;
class QSpinBox;

namespace ui {

class CDP_DateTime : public DatabasePage {
  Q_OBJECT

 public:
  CDP_DateTime(char driveLetter, DatabasePageContext& context, QWidget* parent = nullptr);

  QLabel& StartLabel() const { return *start_; }
  QRadioButton& Radio(activity::SpanChoice choice) const {
    return *radios_[static_cast<std::size_t>(choice)];
  }
  activity::SpanChoice Chosen() const;
  // Day, month, year, hour, minute, second.
  QSpinBox& Spin(int field) const { return *spins_[static_cast<std::size_t>(field)]; }
  // The DOS date-time the six custom controls show.
  std::uint32_t ShownEnd() const;

 protected:
  void OnDeactivate() override;

 private:
  void Choose(activity::SpanChoice choice);
  void Show(std::uint32_t dosDateTime, int dayLimit);
  void FitDayRange();

  QLabel* start_ = nullptr;
  std::array<QRadioButton*, 5> radios_{};
  std::array<QSpinBox*, 6> spins_{};
};

}  // namespace ui

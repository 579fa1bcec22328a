#include "ui/dbpages/date_time_page.h"
#include "ui/help/control_help.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "activity/drive_table.h"
#include "platform/dos_time.h"

namespace ui {
namespace {

using activity::SpanChoice;
enum Field { kDay, kMonth, kYear, kHour, kMinute, kSecond };

// The month edit shows the month's name while its spin counts 1 to 12.
class MonthSpin : public QSpinBox {
 public:
  explicit MonthSpin(QWidget* parent) : QSpinBox(parent) { setRange(1, 12); }

 protected:
  QString textFromValue(int value) const override { return platform::MonthName(value); }
  int valueFromText(const QString& text) const override {
    for (int month = 1; month <= 12; ++month) {
      if (text.compare(platform::MonthName(month), Qt::CaseInsensitive) == 0) return month;
    }
    return value();
  }
  QValidator::State validate(QString& text, int&) const override {
    for (int month = 1; month <= 12; ++month) {
      const QString name = platform::MonthName(month);
      if (name.compare(text, Qt::CaseInsensitive) == 0) return QValidator::Acceptable;
      if (name.startsWith(text, Qt::CaseInsensitive)) return QValidator::Intermediate;
    }
    return QValidator::Invalid;
  }
};

QSpinBox* NumberSpin(int min, int max, QWidget* parent) {
  auto* spin = new QSpinBox(parent);
  spin->setRange(min, max);
  return spin;
}

}  // namespace

CDP_DateTime::CDP_DateTime(char driveLetter, DatabasePageContext& context, QWidget* parent)
    : DatabasePage(driveLetter, context, parent) {
  setObjectName("AD: Date and time");
  auto* layout = new QVBoxLayout(this);
  auto* started = new QGroupBox("Started at:", this);
  start_ = new QLabel(started);
  start_->setObjectName("StartedAt");
  auto* startedLayout = new QVBoxLayout(started);
  startedLayout->addWidget(start_);
  // What the recorder really recorded since: hints that rest on unused files need it.
  if (context.coverageText) {
    auto* coverage = new QLabel(context.coverageText(driveLetter), started);
    coverage->setObjectName("coverage");
    coverage->setWordWrap(true);
    startedLayout->addWidget(coverage);
  }
  layout->addWidget(started);

  auto* finished = new QGroupBox("Finished at:", this);
  auto* grid = new QGridLayout(finished);
  const char* names[5] = {"Do&n't know", "In a &day", "In a &week", "In a &month", "&Custom:"};
  const char* radioNames[5] = {"DontKnow", "InADay", "InAWeek", "InAMonth", "Custom"};
  for (std::size_t i = 0; i < radios_.size(); ++i) {
    radios_[i] = new QRadioButton(names[i], finished);
    radios_[i]->setObjectName(radioNames[i]);
    grid->addWidget(radios_[i], static_cast<int>(i), 0);
    connect(radios_[i], &QRadioButton::clicked, this, [this, i] { Choose(static_cast<SpanChoice>(i)); });
  }
  spins_[kDay] = NumberSpin(1, 31, finished);
  spins_[kMonth] = new MonthSpin(finished);
  spins_[kYear] = NumberSpin(1980, 2099, finished);
  spins_[kHour] = NumberSpin(0, 23, finished);
  spins_[kMinute] = NumberSpin(0, 59, finished);
  spins_[kSecond] = NumberSpin(0, 59, finished);
  const char* spinNames[6] = {"Day", "Month", "Year", "Hour", "Minute", "Second"};
  for (std::size_t i = 0; i < spins_.size(); ++i) spins_[i]->setObjectName(spinNames[i]);
  auto* date = new QHBoxLayout;
  for (int field : {kDay, kMonth, kYear}) date->addWidget(spins_[static_cast<std::size_t>(field)]);
  auto* time = new QHBoxLayout;
  time->addWidget(spins_[kHour]);
  time->addWidget(new QLabel(":", finished));
  time->addWidget(spins_[kMinute]);
  time->addWidget(new QLabel(":", finished));
  time->addWidget(spins_[kSecond]);
  grid->addLayout(date, 4, 1);
  grid->addLayout(time, 5, 1);
  layout->addWidget(finished);
  layout->addStretch();

  // A new month or year shortens or lengthens the day range and starts at day 1.
  connect(spins_[kMonth], &QSpinBox::valueChanged, this, [this] { FitDayRange(); spins_[kDay]->setValue(1); });
  connect(spins_[kYear], &QSpinBox::valueChanged, this, [this] { FitDayRange(); spins_[kDay]->setValue(1); });

  const activity::DriveRecord* record = Record();
  const std::uint32_t begin = record ? record->spanStart : 0;
  const std::uint32_t end = record ? record->spanEnd : activity::kNoSpanEnd;
  start_->setText(QString::fromStdString(activity::StartText(begin)));
  Show(end, 31);
  const SpanChoice choice = activity::ChoiceFor(begin, end);
  radios_[static_cast<std::size_t>(choice)]->setChecked(true);
  Choose(choice);
  AttachControlHelp(*this);
}

SpanChoice CDP_DateTime::Chosen() const {
  for (std::size_t i = 0; i < radios_.size(); ++i) {
    if (radios_[i]->isChecked()) return static_cast<SpanChoice>(i);
  }
  return SpanChoice::Custom;
}

void CDP_DateTime::Choose(SpanChoice choice) {
  const bool custom = choice == SpanChoice::Custom;
  for (QSpinBox* spin : spins_) spin->setEnabled(custom);
  if (custom) {
    FitDayRange();
    return;
  }
  const activity::DriveRecord* record = Record();
  Show(activity::EndFor(choice, record ? record->spanStart : 0), 31);
}

void CDP_DateTime::Show(std::uint32_t dosDateTime, int dayLimit) {
  const platform::SystemTime time = platform::UnpackDosDateTime(dosDateTime);
  const int values[6] = {time.day, time.month, time.year, time.hour, time.minute, time.second};
  spins_[kDay]->setRange(1, dayLimit);
  for (std::size_t i = 0; i < spins_.size(); ++i) {
    const QSignalBlocker quiet(spins_[i]);
    spins_[i]->setValue(values[i]);
  }
}

void CDP_DateTime::FitDayRange() {
  spins_[kDay]->setRange(1, platform::DaysInMonth(spins_[kYear]->value(), spins_[kMonth]->value()));
}

std::uint32_t CDP_DateTime::ShownEnd() const {
  const auto value = [this](int field) { return static_cast<std::uint16_t>(spins_[static_cast<std::size_t>(field)]->value()); };
  return platform::PackDosDateTime({value(kYear), value(kMonth), 0, value(kDay), value(kHour),
                                    value(kMinute), value(kSecond), 0});
}

void CDP_DateTime::OnDeactivate() {
  if (activity::DriveRecord* record = Record()) record->spanEnd = ShownEnd();
}

}  // namespace ui

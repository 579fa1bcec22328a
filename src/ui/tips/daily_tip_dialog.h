#pragma once
// "Tip of the Day": one tip at a time from the tips file, the picture band with
// "Did you know...", and the choice whether to show the dialog at start-up.

#include <QDialog>
#include <QString>

#include "analysis/tips.h"
#include "ui/tips/tip_profile_settings.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace common { class Prompter; }

namespace ui {

class CDailyTipDialog : public QDialog {
  Q_OBJECT

 public:
  // Reads the "Tip" settings from norvex.ini in `configDir` and the first tip from
  // `tipsPath`; destruction saves the position in the file.
  CDailyTipDialog(const QString& configDir, const QString& tipsPath, common::Prompter& prompter,
                  QWidget* parent = nullptr);
  ~CDailyTipDialog() override;

  bool ShowAtStartup() const { return tips_.ShowAtStartup(); }

  // "&Close", Escape or the window's close button: keeps the check box's choice for the
  // next start-up.
  void done(int result) override;

 private:
  void ShowNextTip();

  SettingsTipProfile profile_;
  analysis::DailyTips tips_;
  QLabel* tipText_ = nullptr;
  QCheckBox* startUp_ = nullptr;
  QPushButton* nextTip_ = nullptr;
};

}  // namespace ui
